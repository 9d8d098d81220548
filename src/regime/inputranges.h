#pragma once
// The physical range of every regime input, beside the input table: a value outside it
// cannot have been measured (a flue-gas temperature of 10^19 °C, 30 % of oxygen, a negative
// flow). The editor, the analyser link and the command line refuse such a value with the
// same words; the calculation treats a stored one as a failed data check. The general data
// have theirs by fuel in object/generalranges.h; the data check gives those first.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "engine/engine.h"

namespace regime {

struct InputRange {
    double min = 0.0, max = 0.0;  // in the field's own unit
    QString unit;                 // that unit as the user sees it ("оС", "mbar", "%", ...)
    bool maxIncluded = true;      // 21 % of oxygen is air, never flue gas
};

// The range of input k (0..42) with the object's unit texts; nullopt for an input without
// one. Pressures are gauge pressures: from full vacuum up to 250 bar, converted into the
// field's unit when the unit is a known pressure unit (otherwise the mbar figures hold).
std::optional<InputRange> RangeOf(int field, const QStringList& units);

// Why `value` cannot stand in input k: "Поле «<hint>»: значение <v> вне пределов от <min>
// до <max> <unit>", or an empty text when it can (or the input has no range).
QString InputRangeError(int field, double value, const QStringList& units, bool economiser);

// The first input the object uses (its groups, see the editor) that holds a value outside its
// range, as InputRangeError words it; an empty text when all are within.
QString RegimeRangeError(const std::array<float, engine::kInputCount>& inputs, const QStringList& units,
                         const QStringList& general);

}  // namespace regime
