#pragma once
// The instruments' error limits of the program (a list file in the template folder) and the
// "± U" the results table shows beside the results that the regime test is about.

#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

#include "engine/uncertainty.h"
#include "results/resultrows.h"

namespace results {

// One line per regime input 0..42: "absolute percent" (the limit is the larger of the two
// at a reading, the absolute one in the input's stated unit), then the named lines "q5 %",
// "CO2max %", "Patm kPa" and "CO2fromO2 1|0". A file of 43 lines (an earlier version) keeps
// the defaults of the four.
inline const QString kLimitsFile = QStringLiteral("Погрешности приборов.txt");

// Reads the limits; a missing file gives the defaults (and true). A file of the wrong shape
// (not 43 or 47 lines, a line without two numbers, a negative limit) is a read error naming
// the file; `limits` then holds the defaults.
bool ReadInstrumentLimits(const QString& templateFolder, engine::InstrumentLimits& limits, QString* error = nullptr);
bool WriteInstrumentLimits(const QString& templateFolder, const engine::InstrumentLimits& limits,
                           QString* error = nullptr);

// The unit the absolute limit of a regime input is stated in ("ppm", "К", …); "" for a
// flow (a share of the reading only) and an input the calculation does not read.
QString StatedUnitText(int input);

// A short name of a regime input that carries a limit ("O2", "Температура воздуха").
QString LimitInputName(int input);
// The name of a component of the uncertainty: its input, "… (повторяемость)" for the spread
// of averaged readings, "q5", "CO2max топлива", "Атмосферное давление".
QString ComponentName(const engine::Component& c);
// Its key in the command line's JSON: the input's number, or "q5", "CO2max", "Patm".
QJsonValue ComponentKey(const engine::Component& c);
// The budget of a slot for the JSON: [{"input", "type" ("A"|"B"), "u", "c", "share"}],
// largest share first.
QJsonArray BudgetJson(const engine::RegimeUncertainty& u, int slot);

// The uncertainty of a regime of an object: the instruments' limits and the spread kept with
// the regime where its values were averaged. False with the reason when the regime's spread
// file is damaged (the uncertainty is then of the limits alone).
bool RegimeUncertaintyOf(const engine::CalcInputs& inputs, const engine::InstrumentLimits& limits,
                         const QString& objectFolder, const QString& regimeFile, engine::RegimeUncertainty& u,
                         QString* error = nullptr, const QSet<QString>* spreadFiles = nullptr);

// The rows that carry "± U": gross, net and direct efficiency, q2, q3, excess air, CO and NOx.
bool ShowsUncertainty(const QString& rowKey);

// Appends " ± U" to the values of those rows (U in the row's decimals and the locale's form)
// where the slot was computed.
void AddUncertainty(QList<ResultRow>& rows, const engine::RegimeUncertainty& u, const QStringList& general,
                    const QLocale& locale = QLocale());

// "± 0.35": U of a slot in the given decimals and locale.
QString UncertaintyText(double u95, int decimals, const QLocale& locale = QLocale());

}  // namespace results
