#pragma once
// Physical ranges of the regime inputs that a measuring instrument fills: a value outside
// its range cannot be a measurement (a reading cut short, noise on the line), so it is
// refused before anything is stored.

#include <QString>
#include <optional>

namespace regime {

struct InputRange {
    double low = 0, high = 0;
    bool highIncluded = true;  // O2 of 21 % is air, never flue gas
};

// The range of editor field k; nullopt for a field without one here.
std::optional<InputRange> PhysicalRange(int field);

// Empty when `value` fits field k's range, else the refusal naming the value and the range
// ("О2 = 23.5 вне допустимого диапазона от 0 до 21 (не включая 21)").
QString RangeRefusal(int field, const QString& name, double value);

}  // namespace regime
