#pragma once
// The tuning assistant: how sure each result of a regime is, and the excess air at which
// each load step of an object loses least with the flue gas and by underburning.
//
// Load steps: the calculated regimes sorted by load; a new step starts when a regime's load
// exceeds the first load of the current step by more than 5 points. In a step with at least
// three regimes of different excess air the least-squares parabola of q2 + q3 against the
// excess air gives the optimum: its vertex when it opens upward, held to the measured range;
// otherwise the excess air of the regime with the least q2 + q3.

#include <QList>
#include <QString>
#include <QStringList>

#include "app/state.h"
#include "engine/uncertainty.h"
#include "results/instrumentlimits.h"

namespace tuning {

inline constexpr double kStepWidth = 5.0;  // load points within one step
inline const QString kTooFew = QStringLiteral("мало опытов");

// One calculated regime as the assistant sees it.
struct TunePoint {
    QString file;
    int number = 0;  // regime number
    double load = 0, alpha = 0, q23 = 0, eta = 0, co = 0;
    double u95Alpha = 0, u95Q23 = 0, u95Eta = 0, u95Co = 0;
};

struct TuneStep {
    double load = 0;  // the first (least) load of the step
    QList<TunePoint> points;  // sorted by excess air
    bool enough = false;      // at least three regimes of different excess air
    bool parabola = false;    // the fitted parabola opens upward
    double c0 = 0, c1 = 0, c2 = 0;  // q2 + q3 = c0 + c1·α + c2·α² (when enough)
    double alphaMin = 0, alphaMax = 0;
    double alphaOpt = 0, o2Opt = 0, q23Opt = 0, etaOpt = 0, coOpt = 0;
    double gainEta = 0;   // efficiency points against the step's worst regime
    double gainFuel = 0;  // kg of standard fuel per Gcal saved against it
    int recommended = -1; // index into points of the regime nearest to the optimum
    double q23At(double alpha) const { return c0 + alpha * (c1 + alpha * c2); }
    QList<int> numbers() const;
};

// Groups the points into load steps and finds each step's optimum.
QList<TuneStep> FindSteps(QList<TunePoint> points);

// A fit of y = c0 + c1 x + c2 x² by least squares; false when the x are fewer than three
// different values.
bool FitParabola(const QList<double>& x, const QList<double>& y, double& c0, double& c1, double& c2);

// O2 at an excess-air ratio, %: 21·(1 − 1/α).
double OxygenAt(double alpha);

// Every regime of the open object of `s` (its regime list, general data and units), read and
// calculated from its inputs with its uncertainty; `s` is not changed. Regimes that fail the
// data check are named in `skipped` ("file: message"). False on a regime file read error.
bool CollectPoints(const app::AppState& s, const engine::InstrumentLimits& limits, QList<TunePoint>& points,
                   QStringList* skipped = nullptr, QString* error = nullptr);

// The uncertainty of one regime's inputs under the open object's general data and units, with
// the spread kept with that regime (file name in the object). False with the reason when the
// spread file is damaged.
bool RegimeUncertaintyOf(const app::AppState& s, const QString& regimeFile,
                         const std::array<float, app::kInputCount>& inputs, const engine::InstrumentLimits& limits,
                         engine::RegimeUncertainty& u, QString* error = nullptr);

// Reads an object folder on its own (general data, units, regime list, limits from the
// template beside the objects folder) and finds its steps. Units as LoadObjectFolder takes them.
bool TuneFolder(const QString& objectFolder, QList<TuneStep>& steps, QStringList* skipped = nullptr,
                QString* error = nullptr, bool templateUnits = false, QString* unitsWarning = nullptr);

// The rows of the steps' table, for the window, the workbook and the command line:
// load, regimes, α_opt, O2, q2+q3, КПД, CO, gain in points and kg у.т./Гкал, recommended.
QStringList StepTableHeader();
QStringList StepTableRow(const TuneStep& step);

}  // namespace tuning
