#pragma once
// The object list window: every folder of the objects folder, a search filter, a summary
// of the selected object, and the commands that open, copy, send and import objects.

#include <QWidget>

#include "app/ui/workbench.h"
#include "store/ui/objectlistview.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QAction;

namespace store {

class frOpen : public QWidget {
    Q_OBJECT
public:
    explicit frOpen(app::Workbench& workbench, QWidget* parent = nullptr);

    // The load steps: picture, main window commands, filter, list, close bar.
    void frOpen_Form_Load();

    // FillObjectList for this window: refills lvAll and the header (also status panel 2).
    void fillObjectList();

    // Select, by entry name (the list's click does the same).
    void frOpen_lvAll_ItemClick(const QString& name);
    // Open the current object (double click, Enter).
    void frOpen_lvAll_Open();
    // "Найти"
    void frOpen_Command1_Click();
    // Command bar buttons 1..5 by key ("Вид", "Копию", "Загрузить", "Копировать", "Выход").
    void frOpen_Toolbar6_ButtonClick(const QString& key);

    // Called by the main window after its rename and delete commands.
    void objectRenamed();
    void objectDeleted();

    bool closingForOpen() const { return forOpen_; }
    // Set by the workbench before it closes the list to open an object.
    void markClosingForOpen() { forOpen_ = true; }

    ObjectListView* lvAll;
    QLineEdit* Text1;
    QPushButton* Command1;
    QToolBar* Toolbar1;
    QToolBar* Toolbar6;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Image1;
    QLabel* Captions[7];  // "Установка:" ... "Исполнитель:"
    QLabel* L1[7];        // values in caption order; L1[2] the station number
    QLabel* Economiser;   // beside the station number

    QAction* toolbarButton(const QString& key) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbars();
    void buildListAndFilter();
    QGridLayout* buildSummary();
    void clearSummary();
    void setCaptionsVisible(bool visible);

    app::Workbench& wb_;
    bool forOpen_ = false;
    QList<QAction*> commands_;
};

}  // namespace store
