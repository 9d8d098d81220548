#pragma once
// "Импорт показаний из файла": a text table of an analyser or a spreadsheet previewed as read,
// with every detected choice correctable; its columns mapped to regime inputs with their
// units; its rows grouped; each group sent to a new or an existing regime. "Записать" asks
// with the summary first and lists the regimes made afterwards.

#include <QDialog>

#include "app/ui/workbench.h"
#include "import/importmodel.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;

namespace importer {

class fImport : public QDialog {
    Q_OBJECT
public:
    explicit fImport(app::Workbench& wb);

    // Reads the file and shows it; false (with a message) when it is refused.
    bool openFile(const QString& path);

    QLineEdit* FileName;
    QPushButton *Browse, *SaveProfileButton, *Write, *Close;
    QComboBox *Profiles, *EncodingBox, *SeparatorBox, *GroupBox, *GroupColumn;
    QSpinBox* SkipLines;
    QCheckBox* HeaderRow;
    QDoubleSpinBox* GapMinutes;
    QLabel *Detected, *Summary;
    QTableWidget *Preview, *Columns, *Groups;
    QListWidget* BadRows;

    const Table& table() const { return table_; }
    const Mapping& mapping() const { return mapping_; }
    const ImportPlan& plan() const { return plan_; }
    // Field and unit of table column `column` as the user chose them in the columns table.
    void mapColumn(int column, int field, const QString& unit = {});
    // The regime group `group` goes to (empty: a new one).
    void setTarget(int group, const QString& regimeFile);

    void fImport_Browse_Click();
    void fImport_Write_Click();
    void fImport_SaveProfile_Click();
    void fImport_Profile_Click();

private:
    void buildFileRow(QVBoxLayout* layout);
    void buildFormatFrame(QVBoxLayout* layout);
    void buildTables(QVBoxLayout* layout);
    QVBoxLayout* buildGroupsPanel(QWidget* middle);
    void buildButtons(QVBoxLayout* layout);
    void connectSignals();
    void formatChanged();
    void readTable(bool proposeMapping);
    void showTable();
    void showColumns();
    void rebuildPlan();
    Grouping grouping() const;
    QStringList targets() const;

    app::Workbench& wb_;
    QByteArray bytes_;
    TableFormat format_;
    Table table_;
    Mapping mapping_;
    ImportPlan plan_;
    QStringList notes_;
    bool filling_ = false;
};

}  // namespace importer
