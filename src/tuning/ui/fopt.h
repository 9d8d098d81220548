#pragma once
// "Оптимальный избыток воздуха": per load step, q2 + q3 and CO against the excess air with
// the measured points, the fitted parabola, its U95 band and the optimum; below, the table
// of steps. "Погрешности приборов..." edits the program's instrument limits.

#include <QDialog>

#include "app/ui/workbench.h"
#include "tuning/tuning.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tuning {

class StepChart : public QWidget {
    Q_OBJECT
public:
    explicit StepChart(QWidget* parent = nullptr);
    void setStep(const TuneStep* step);
    QSize sizeHint() const override { return QSize(960, 360); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TuneStep* step_ = nullptr;
};

class fOpt : public QDialog {
    Q_OBJECT
public:
    explicit fOpt(app::Workbench& wb);

    QComboBox* Steps;
    QDoubleSpinBox* Ceiling;  // the CO ceiling, mg/m3 at α = 1.4
    QDoubleSpinBox* Margin;   // the margin above the rich limit, % O2
    QComboBox* AsFound;       // the step's regime as found before tuning, or none
    QComboBox* OnCard;        // the step's regime on the card, or the default choice
    StepChart* Chart;
    QLabel* Summary;
    QTableWidget* Table;
    QPushButton *Limits, *Export, *Close;

    const QList<TuneStep>& steps() const { return steps_; }
    void fOpt_Steps_Click(int index);
    void fOpt_Export_Click();
    void fOpt_Limits_Click();
    // the ceiling, the margin or the as-found regime changed: kept with the object, steps anew
    void fOpt_Settings_Change();

private:
    void recalculate();
    void fillAsFound(int index);

    app::Workbench& wb_;
    QList<TuneStep> steps_;
    TuneSettings settings_;  // as the object keeps them (the ceiling before the CO limit)
};

// The instrument limits editor: one row per regime input with its absolute limit and its
// share of the reading; "Сохранить" writes the list file of the template folder.
class fPogr : public QDialog {
    Q_OBJECT
public:
    fPogr(app::Workbench& wb, QWidget* parent);
    QTableWidget* Table;  // limits: name, absolute, its unit, % of the reading
    QCheckBox* Co2FromO2;
    QLabel* BudgetCaption;
    QTableWidget* Budget;  // the current regime's gross efficiency, largest share first
    bool save();

private:
    void showLimits(const engine::InstrumentLimits& l);
    void showBudget();
    // the limits as the table holds them; false (with the cell) for a cell that is no number
    bool readTable(engine::InstrumentLimits& l, int* badRow = nullptr, int* badColumn = nullptr) const;

    app::Workbench& wb_;
    engine::InstrumentLimits limits_;
};

}  // namespace tuning
