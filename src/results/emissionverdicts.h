#pragma once
// The verdicts of a regime's CO and NOx against the object's limits, and the rows the
// results pane adds for them and for the emissions at 3 % O2.

#include <QList>
#include <QLocale>
#include <QString>
#include <array>

#include "engine/uncertainty.h"
#include "object/emissionnorms.h"
#include "results/resultrows.h"

namespace results {

// Concentrations at α = 1.4 referred to 3 % O2 (α = 21/18): at 1.4 the gas holds 6 % O2, so
// the same gas is (21 − 3)/(21 − 6) = 1.2 times richer at 3 %.
inline constexpr double kThreePercentO2Factor = 1.2;

struct EmissionJudgement {
    object::Pollutant pollutant = object::Pollutant::NOx;
    double value = 0;  // mg/m3 at α = 1.4, as stored (one decimal)
    double u95 = 0;    // in the value's decimals; 0 when not computed
    bool hasU95 = false;
    object::AppliedLimit limit;
    object::Verdict verdict = object::Verdict::None;
};

// The verdict of slot 17 (CO) or 18 (NOx) of a calculated regime, with the U95 of the slot
// rounded to its stored decimals, so that the rule reads the numbers the user sees. `u` may
// be null (then U95 counts as 0 and hasU95 is false).
EmissionJudgement JudgeEmission(object::Pollutant p, const std::array<float, 26>& results,
                                const engine::RegimeUncertainty* u, const object::AppliedLimit& limit);

// "NOx = 73,1 ± 6,2 мг/м3 (α = 1,4); предел 125 мг/м3 — ГОСТ Р 55173-2012, табл. 3" or, without
// a limit, "NOx = 73,1 мг/м3 (α = 1,4); предел не задан".
QString JudgementText(const EmissionJudgement& j, const QLocale& locale = QLocale());

// Row keys the pane adds: a verdict row after "CO" and after "NO", the emissions at 3 % O2
// after the last NOx row.
inline const QString kCoVerdictKey = QStringLiteral("CO норма");
inline const QString kNoxVerdictKey = QStringLiteral("NO норма");
inline const QString kCoAt3Key = QStringLiteral("CO 3%");
inline const QString kNoxAt3Key = QStringLiteral("NO 3%");
void AddEmissionRows(QList<ResultRow>& rows);

// Fills the added rows: the verdict text (empty without a limit), `verdict` and `tooltip`
// of the verdict rows; the 3 % O2 values with "± U95 × 1.2" where U95 was computed. `u` may
// be null.
void FillEmissionRows(QList<ResultRow>& rows, const std::array<float, 26>& results, const engine::RegimeUncertainty* u,
                      const object::AppliedLimit& co, const object::AppliedLimit& nox,
                      const QLocale& locale = QLocale());

}  // namespace results
