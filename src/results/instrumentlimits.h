#pragma once
// The instruments' error limits of the program (a list file in the template folder) and the
// "± U" the results table shows beside the results that the regime test is about.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

#include "engine/uncertainty.h"
#include "results/resultrows.h"

namespace results {

// One line per regime input 0..42: "absolute percent" (the limit is the larger of the two
// at a reading).
inline const QString kLimitsFile = QStringLiteral("Погрешности приборов.txt");

// Reads the limits; a missing file gives the defaults (and true). A file of the wrong shape
// (fewer than 43 lines, a line without two numbers, a negative limit) is a read error naming
// the file; `limits` then holds the defaults.
bool ReadInstrumentLimits(const QString& templateFolder, engine::InstrumentLimits& limits, QString* error = nullptr);
bool WriteInstrumentLimits(const QString& templateFolder, const engine::InstrumentLimits& limits,
                           QString* error = nullptr);

// The rows that carry "± U": gross and net efficiency, q2, q3, excess air, CO and NOx.
bool ShowsUncertainty(const QString& rowKey);

// Appends " ± U" to the values of those rows (U in the row's decimals and the locale's form)
// where the slot was computed.
void AddUncertainty(QList<ResultRow>& rows, const engine::RegimeUncertainty& u, const QStringList& general,
                    const QLocale& locale = QLocale());

// "± 0.35": U of a slot in the given decimals and locale.
QString UncertaintyText(double u95, int decimals, const QLocale& locale = QLocale());

}  // namespace results
