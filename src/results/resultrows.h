#pragma once
// The rows of the results table: which quantities an object shows, with caption and unit,
// and how the regime results array fills their values.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

#include "object/emissionnorms.h"
#include "regime/plausibility.h"

namespace results {

struct ResultRow {
    QString key;      // fixed key used to find the row when filling it
    QString caption;  // column "Параметр "
    QString unit;     // column "Ед. изм."
    QString value;    // column "Величина"
    QString warning;  // why the value cannot be right, empty when it can
    QString tooltip;  // what the value rests on (a verdict's value, U95 and limit), or empty
    object::Verdict verdict = object::Verdict::None;  // of an emission verdict row
};

// The plausibility of a result is the regime's own definition, shared by every view of it.
using regime::ImplausibleReason;

// The row set for an object's general data (boiler type, fuel, heat output unit, economiser).
QList<ResultRow> BuildResultRows(const QStringList& general);

// The slot of the regime results array that fills row `key` for this object, or -1 (no such
// row, or a row without a value such as "Вт" for an unknown fuel, or "Присос", which is a
// difference of two slots).
int ResultSlot(const QString& key, const QStringList& general);
// The decimals with which the row's value is stored (its slot's, 2 for "Присос"); -1 for none.
int ResultDecimals(const QString& key, const QStringList& general);

// Writes the values of the regime results array into the rows that exist; rows missing from
// the set are skipped. Values use the locale's decimal separator; "Присос" is slot 9 minus
// slot 19 rounded to 2 decimals.
void FillResultValues(QList<ResultRow>& rows, const std::array<float, 26>& results, const QStringList& general,
                      const QLocale& locale = QLocale());

// Sets the unit of row "Q" (hot-water variant) after the heat output unit changed.
void SetHeatOutputUnit(QList<ResultRow>& rows, const QStringList& general);

}  // namespace results
