#pragma once
// The 31 unit texts of an object and their file "Ediny.txt".

#include <QString>
#include <QStringList>

#include "engine/engine.h"

namespace object {

using engine::kUnitCount;
inline const QString kUnitsFile = QStringLiteral("Ediny.txt");

// Units offered for unit text i (the units window's list).
QStringList OfferedUnits(int unit);
// Label of unit i in the units window.
QString UnitLabel(int unit);
// Regime input that unit text i belongs to.
int InputOfUnit(int unit);

// The default units of a new object (also the template's "Ediny.txt").
QStringList DefaultUnits();

// The NO unit for an analyser that reports NO in mg/m3 of NO (the calculation counts it as
// NO2 with the factor 46/30); "мг/м3" means NO already counted as NO2.
inline const QString kNoAsNoUnit = QStringLiteral("мг/м3 NO");

// Unit 15 follows 14 and unit 20 follows 6.
void ApplyUnitFollowers(QStringList& units);
// The NO2 unit that goes with a NO unit: the same, "мг/м3" for kNoAsNoUnit.
QString NitrogenDioxideUnit(const QString& noUnit);

// Whether the calculation reads stored regimes differently with `after` than with
// `before`: the gas flow (0) at standard or working conditions, the meter pressure (2), the
// liquid fuel in litres or kilograms (7), CO (11) and NO (14) in ppm or mg/m3. Other units
// only label the fields.
bool CalculationUnitsChanged(const QStringList& before, const QStringList& after);

bool ReadUnits(const QString& folder, QStringList& units, QString* error = nullptr);
// The units an open object works with: its own "Ediny.txt", or, when that is missing or
// short, the template's default units (the built-in set when the template's file cannot be
// read either). Display and calculation then use the same set. Returns false, with the
// warning to show, when the object's own file was not used.
bool LoadObjectUnits(const QString& objectFolder, const QString& templateFolder, QStringList& units,
                     QString* warning = nullptr);
// Writes exactly 31 quoted lines (followers applied).
bool WriteUnits(const QString& folder, const QStringList& units, QString* error = nullptr);

}  // namespace object
