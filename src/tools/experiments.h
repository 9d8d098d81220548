#pragma once
// Preliminary experiments: the current regime as the main experiment and three more derived
// from it by fixed offsets, each with a simplified heat balance of its own.
//
// The sheet holds 48 text fields: experiment k (0..3) uses fields 12k .. 12k+11, in the
// order air pressure, damper angle, servo position, CO, CO2, O2, flue-gas temperature,
// excess-air ratio, q2, q3, gross efficiency, specific standard-fuel consumption.
// Experiment 1 is the main one. setField() is the change handler of a field: an O2 field
// fills the CO2 of its experiment, and once the sheet is ready a change of a CO, CO2, O2 or
// flue-gas temperature field recomputes the balance of all four experiments.

#include <QString>
#include <QStringList>
#include <array>

#include "app/state.h"

namespace tools {

constexpr int kExperimentCount = 4;
constexpr int kExperimentFieldCount = 48;
constexpr int kMainExperiment = 1;

enum ExperimentRow { AirPressure = 0, DamperAngle = 1, ServoPosition = 2, CO = 3, CO2 = 4, O2 = 5, FlueTemp = 6,
                     ExcessAir = 7, Q2 = 8, Q3 = 9, Efficiency = 10, StandardFuel = 11 };

inline int ExperimentField(int experiment, ExperimentRow row) { return 12 * experiment + row; }

// The row captions, in row order (the efficiency caption keeps its quotation marks).
QStringList ExperimentRowCaptions();

// What the balance needs beside the fields.
struct ExperimentContext {
    QString fuelType;      // general data entry 5, compared exactly
    double co2Max = 0;     // general data entry 11
    double airTemp = 0;    // editor field 18
    QString coUnit;        // unit label of CO: "ppm", "мг/м3" or "г/м3"
    double q5 = 0;         // result 7 of the current regime
};

// q2 constants of a fuel; false for a fuel type that is none of the four.
struct ExperimentFuel {
    double a = 0, b = 0, c = 0, d = 0;
};
bool ExperimentFuelConstants(const QString& fuelType, ExperimentFuel& out);
// Factor K of q3 for a CO unit; 0 for any other unit text.
double CoUnitFactor(const QString& unit);

class ExperimentSheet {
public:
    explicit ExperimentSheet(ExperimentContext context = {});

    const QStringList& fields() const { return T; }
    QString field(int i) const { return T.value(i); }
    const ExperimentContext& context() const { return ctx_; }
    bool ready() const { return ready_; }

    // The change handler of field i: stores the text, then the O2 rule and the recalculation.
    void setField(int i, const QString& text);

    // The opening sequence from the current regime's inputs and results.
    void open(const std::array<float, app::kInputCount>& inputs, const std::array<float, app::kResultCount>& results);

    void DeriveExperiments();
    // False when nothing was computed (a CO2 of 0, or a fuel type outside the four).
    bool ComputeExperimentBalance();
    void NormalizeExperimentFields();

    // The editor texts after taking experiment k: fields 19, 21, 32, 11, 13, 12, 17 get the
    // experiment's air pressure, damper angle, servo position, CO, O2, CO2, flue-gas
    // temperature, as they stand.
    QStringList takeInto(int experiment, QStringList editorFields) const;

private:
    double value(int i) const;
    void put(int i, const QString& text) { setField(i, text); }

    QStringList T;
    ExperimentContext ctx_;
    bool ready_ = false;
};

// Label2: the load line; "" for a fuel type outside the four (the label keeps its text).
QString ExperimentLoadLine(const QString& fuelType, const std::array<float, app::kInputCount>& inputs,
                           const std::array<float, app::kResultCount>& results, const QString& gasPressureUnit,
                           const QString& liquidPressureUnit);
// The window caption with the load.
QString ExperimentCaption(const std::array<float, app::kResultCount>& results);

// The workbook of "Создать таблицу": the four experiments as columns, the row captions, the
// chosen experiment marked.
struct ExperimentExport {
    QString objectName, regime, loadLine;
    QStringList fields;  // 48
    int chosen = kMainExperiment;
};
bool ExportExperimentsXlsx(const QString& path, const ExperimentExport& data, QString* error = nullptr);
// "Прикидочные опыты Режим N.xlsx" for regime N.
QString ExperimentsWorkbookName(const QString& regimeFile);

}  // namespace tools
