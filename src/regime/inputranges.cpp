#include "regime/inputranges.h"

#include "core/numbers.h"

namespace regime {

std::optional<InputRange> PhysicalRange(int field) {
    switch (field) {
    case 11:
    case 35:  // CO, ppm or mg/m3: at most the whole gas
    case 14:
    case 38:  // NO
        return InputRange{0, 1.0e6, true};
    case 13:
    case 37:  // O2, % by volume: below that of air
        return InputRange{0, 21, false};
    case 12:
    case 36:  // CO2, % by volume: the largest of any fuel is about 21
        return InputRange{0, 30, true};
    case 17:
    case 40:  // flue-gas temperature, °C
        return InputRange{-60, 1500, true};
    default: return std::nullopt;
    }
}

QString RangeRefusal(int field, const QString& name, double value) {
    const std::optional<InputRange> r = PhysicalRange(field);
    if (!r) return {};
    const bool above = r->highIncluded ? value > r->high : value >= r->high;
    if (value >= r->low && !above) return {};
    auto form = [](double v) { return core::StoredForm(static_cast<float>(v)); };
    return name + QStringLiteral(" = ") + form(value) + QStringLiteral(" вне допустимого диапазона от ") + form(r->low) +
           QStringLiteral(" до ") + form(r->high) +
           (r->highIncluded ? QString() : QStringLiteral(" (не включая ") + form(r->high) + u')');
}

}  // namespace regime
