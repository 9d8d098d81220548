#pragma once
// The tuning assistant: how sure each result of a regime is, and the O2 an engineer sets on
// the burner at each load step of an object.
//
// Load steps: the calculated regimes sorted by load; a new step starts when a regime's load
// exceeds the first load of the current step by more than 5 points. Per step:
//   * q2 + q3 is fitted against the measured O2 by a least-squares parabola (three O2
//     settings at least); its vertex is the fitted minimum when it opens upward, otherwise
//     the measured regime with the least q2 + q3;
//   * ln(CO) is fitted against O2 by a least-squares line (two settings at least); CO at or
//     below the analyser's resolution counts as the resolution. The O2 where the line reaches
//     the CO ceiling is the rich limit; where it stays below the ceiling over the measured
//     range, the rich limit is the lowest measured O2 (no experiment shows CO below it);
//   * the set point O2_set is the fitted minimum, raised to the rich limit plus the margin
//     where it lies below, held to the measured O2 range; α at it by the engine's own excess-
//     air relation;
//   * a Monte-Carlo over the regimes' inputs (the instruments' limits, 2 000 draws) gives the
//     95 % half-width of O2_set and the U95 of the gain;
//   * the gain is against the regime marked as found before tuning, else the step's worst.

#include <QList>
#include <QString>
#include <QStringList>

#include "app/state.h"
#include "engine/uncertainty.h"
#include "results/instrumentlimits.h"

namespace tuning {

inline constexpr double kStepWidth = 5.0;  // load points within one step
inline const QString kTooFew = QStringLiteral("мало опытов");
inline constexpr double kCoResolution = 1.0;  // mg/m3: CO at or below counts as this
// Draws of the set point's Monte-Carlo: 2 000, fewer for a step of many regimes (at least 200,
// at most 50 000 regime calculations a step).
inline constexpr int kSetPointDraws = 2000;
inline constexpr int kSetPointCalculations = 50000;

// The engineer's choices kept with the object in "Уставка O2.txt": the CO ceiling in mg/m3 at
// α = 1.4 (270 is 300 ppm in air-free flue gas, the usual re-check threshold), the margin in
// % O2 above the rich limit, the regimes marked "исходный" (as found before tuning) and those
// chosen as a step's operating setting on the card ("карта"). Lines: "CO 270", "O2 0.5", then
// "исходный Режим №  3.Dat", "карта Режим №  5.Dat".
inline const QString kSetPointFile = QStringLiteral("Уставка O2.txt");
struct TuneSettings {
    double ceiling = 270.0;
    double margin = 0.5;
    QStringList asFound;      // regime file names, at most one per step
    QStringList cardRegimes;  // the same: the step's regime on the card
};
// Marks `file` in `list` as the one of its step (`stepFiles`): the step's others are dropped;
// an empty `file` leaves the step without one.
void MarkInStep(QStringList& list, const QStringList& stepFiles, const QString& file);
bool ReadTuneSettings(const QString& objectFolder, TuneSettings& settings, QString* error = nullptr);
bool WriteTuneSettings(const QString& objectFolder, const TuneSettings& settings, QString* error = nullptr);

// One calculated regime as the assistant sees it.
struct TunePoint {
    QString file;
    int number = 0;  // regime number
    double load = 0, alpha = 0, o2 = 0, q23 = 0, eta = 0, co = 0;
    double u95Alpha = 0, u95Q23 = 0, u95Eta = 0, u95Co = 0;
    bool hasInputs = false;  // `inputs` hold the regime, for the Monte-Carlo of the set point
    engine::CalcInputs inputs;
};

struct TuneStep {
    double load = 0;                // the first (least) load of the step
    QList<TunePoint> points;        // sorted by O2
    int settings = 0;               // distinct O2 settings (to one decimal)
    bool enough = false;            // at least three settings: the parabola is fitted
    bool parabola = false;          // it opens upward
    double c0 = 0, c1 = 0, c2 = 0;  // q2 + q3 = c0 + c1·O2 + c2·O2² (when enough)
    bool coFit = false;             // ln CO = coA + coB·O2 (two settings at least)
    double coA = 0, coB = 0;
    double o2Min = 0, o2Max = 0;
    double ceiling = 270.0;  // the CO ceiling applied (never above the object's CO limit)
    double o2Fit = 0;        // the fitted minimum of q2 + q3, held to the range
    double o2Rich = 0;       // the rich limit
    double o2Set = 0, o2SetU95 = 0, alphaSet = 0, coAtSet = 0, q23AtSet = 0, etaAtSet = 0;
    double alphaOpt = 0;   // α at o2Fit (the earlier form's optimum, for scripts)
    int recommended = -1;  // index into points of the measured regime nearest to O2_set
    int asFound = -1;      // index of the regime marked as found, -1 for none
    int baseline = -1;     // the regime the gain is against: as found, else the worst
    double gainEta = 0, gainFuel = 0, gainU95 = 0;
    // the step's operating setting on the card: the regime the engineer chose, else the set
    // point's recommended one, else the step's only regime, else the one of the highest gross
    // efficiency whose CO is under the ceiling (the highest of all when none is)
    int cardRegime = -1;
    QString cardWhy;  // "выбран инженером", "ближайший к уставке O2", …
    QStringList warnings;
    bool hasSetPoint() const { return recommended >= 0; }
    double q23At(double o2) const { return c0 + o2 * (c1 + o2 * c2); }
    double coAt(double o2) const;
    QList<int> numbers() const;
};

// Groups the points into load steps and finds each step's set point. With `limits` and
// points that carry their inputs, the set point's band and the gain's U95 are drawn.
QList<TuneStep> FindSteps(QList<TunePoint> points, const TuneSettings& settings = {},
                          const engine::InstrumentLimits* limits = nullptr);

// A fit of y = c0 + c1 x + c2 x² by least squares; false when the x are fewer than three
// different values.
bool FitParabola(const QList<double>& x, const QList<double>& y, double& c0, double& c1, double& c2);
// A least-squares line y = a + b x; false when the x are fewer than two different values.
bool FitLine(const QList<double>& x, const QList<double>& y, double& a, double& b);

// The engine's excess air at this O2 for a regime like `inputs` (CO2 following O2 as the
// analyser computes it).
double ExcessAirAtO2(const engine::CalcInputs& inputs, double o2);

// Every regime of the open object of `s` (its regime list, general data and units), read and
// calculated from its inputs with its uncertainty; `s` is not changed. Regimes that fail the
// data check are named in `skipped` ("file: message"). False on a regime file read error.
bool CollectPoints(const app::AppState& s, const engine::InstrumentLimits& limits, QList<TunePoint>& points,
                   QStringList* skipped = nullptr, QString* error = nullptr);
// The settings of the object with its CO limit applied to the ceiling, for FindSteps.
bool ObjectTuneSettings(const app::AppState& s, TuneSettings& settings, QString* error = nullptr);

// The uncertainty of one regime's inputs under the open object's general data and units, with
// the spread kept with that regime (file name in the object). False with the reason when the
// spread file is damaged.
bool RegimeUncertaintyOf(const app::AppState& s, const QString& regimeFile,
                         const std::array<float, app::kInputCount>& inputs, const engine::InstrumentLimits& limits,
                         engine::RegimeUncertainty& u, QString* error = nullptr,
                         const QSet<QString>* spreadFiles = nullptr);

// Reads an object folder on its own (general data, units, regime list, limits from the
// template beside the objects folder) and finds its steps. Units as LoadObjectFolder takes them.
bool TuneFolder(const QString& objectFolder, QList<TuneStep>& steps, QStringList* skipped = nullptr,
                QString* error = nullptr, bool templateUnits = false, QString* unitsWarning = nullptr);

// The rows of the steps' table (the O2 trim curve), for the window, the workbook and the
// command line: load, regimes, O2_set ± U95, rich limit, α, q2+q3, КПД, CO at the set point,
// gain in points ± U95 and kg у.т./Гкал, its baseline, recommended regime, warnings.
QStringList StepTableHeader();
QStringList StepTableRow(const TuneStep& step);

}  // namespace tuning
