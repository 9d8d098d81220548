#pragma once
// Preliminary experiments: the current regime as the main experiment beside three derived
// ones, each with its simplified balance; an option button takes one into the regime.

#include <QDialog>
#include <array>

#include "app/ui/workbench.h"
#include "tools/experiments.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace tools {

class Pricid : public QDialog {
    Q_OBJECT
public:
    explicit Pricid(app::Workbench& wb);

    std::array<QLineEdit*, 48> T{};
    std::array<QRadioButton*, 4> Option1{};
    QGroupBox *Frame1, *Frame2, *Frame3;
    QLabel *Label2, *Label3;
    QPushButton *Command2, *Command3;

    const ExperimentSheet& sheet() const { return sheet_; }

    void Pricid_Option1_Click(int k);
    void Pricid_Command2_Click();  // "Создать таблицу"

protected:
    // Escape and the close box both close the window the same way
    void reject() override { close(); }
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void Pricid_T_Change(int i);
    void showFields();

    app::Workbench& wb_;
    ExperimentSheet sheet_;
    bool showing_ = false;
    int chosen_ = kMainExperiment;
};

}  // namespace tools
