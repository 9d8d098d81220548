#pragma once
// The q5 calculator: up to eight outer surfaces of the boiler, their heat-transfer
// coefficients and losses, the total and q5 of the chosen regime, kept in the regime's q5
// file; "Принять q5" hands q5 to the regime and recalculates it.

#include <QDialog>
#include <array>

#include "app/ui/workbench.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tools {

class fQ5 : public QDialog {
    Q_OBJECT
public:
    explicit fQ5(app::Workbench& wb);

    // Cells 0..65: a line edit, or a drop-down list for the orientation and material cells.
    std::array<QWidget*, 66> C{};
    QLineEdit* edit(int cell) const;
    QComboBox* choice(int cell) const;
    QString cellText(int cell) const;
    void setCellText(int cell, const QString& text);
    QStringList cellTexts() const;
    void setCellTexts(const QStringList& texts);

    QLineEdit* Text1;
    QComboBox *Combo1, *Combo2;
    QLabel* Label4;
    QPushButton *Command1, *Command2, *Command3, *Command4;

    // The q5 file that "Рассчитать" writes (that of Combo2's regime).
    QString q5FileName() const { return fileName_; }

    bool fQ5_Command3_Click();  // "Рассчитать"; false when the q5 file could not be written
    // "Рассчитать" when a surface's entries changed since they were read or calculated.
    void commitPendingCells();
    void fQ5_Command1_Click();  // "Принять q5"
    void fQ5_Command4_Click();  // "В таблицу >"
    void fQ5_Combo2_Click(int index);
    void fQ5_Combo1_Click(int index);
    void fQ5_Form_Activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Escape and the close box both close the window the same way
    void reject() override { close(); }
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    QGridLayout* buildRegimeRows();
    QGroupBox* buildSurfaces();
    QHBoxLayout* buildButtons();
    QString regimeAt(int index) const;  // regime file name of a combo position
    void loadCells(int index);
    void computeHeatOutput();
    void setLabel4(int position);

    app::Workbench& wb_;
    QString fileName_;
    QStringList savedInputs_;  // the surfaces' entries (area to material) as read or last calculated
    QStringList inputCells() const;
};

}  // namespace tools
