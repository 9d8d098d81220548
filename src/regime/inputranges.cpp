#include "regime/inputranges.h"

#include <cmath>

#include "core/numbers.h"
#include "regime/editorlayout.h"

namespace regime {

namespace {

enum class Kind { None, Flow, Pressure, GasTemperature, AirTemperature, FuelTemperature, FlueTemperature,
                  WaterTemperature, Gas21, Emission, Angle, Percent };

Kind KindOf(int k) {
    switch (k) {
    case 0: case 7: case 41: return Kind::Flow;
    case 2: case 3: case 4: case 5: case 6: case 8: case 9: case 16: case 19: case 20:
    case 24: case 25: case 27: case 28: case 30: case 34: return Kind::Pressure;
    case 1: return Kind::GasTemperature;
    case 18: return Kind::AirTemperature;
    case 10: return Kind::FuelTemperature;
    case 17: case 40: return Kind::FlueTemperature;
    case 22: case 23: case 26: case 29: case 31: case 33: return Kind::WaterTemperature;
    case 12: case 13: case 36: case 37: return Kind::Gas21;
    case 11: case 14: case 15: case 35: case 38: case 39: return Kind::Emission;
    case 21: case 32: return Kind::Angle;
    case engine::kQ5Input: return Kind::Percent;
    default: return Kind::None;
    }
}

// The unit label slot of input k, as the editor's rows give it; -1 when none.
int UnitSlot(int k) {
    for (const EditorRow& r : EditorRows())
        if (r.left == k || r.right == k) return r.unit;
    return -1;
}

// Whether the object uses input k: its group is shown for the object, and the field itself.
bool Used(const EditorVisibility& v, int k) {
    if (!v.fieldVisible(k)) return false;
    for (const EditorRow& r : EditorRows())
        if (r.left == k || r.right == k) switch (r.group) {
            case Group::GasFuel: return v.gasFuel;
            case Group::LiquidFuel: return v.liquidFuel;
            case Group::Water: return v.water;
            case Group::Steam: return v.steam;
            default: return true;
            }
    return true;
}

// Pascals per unit of a pressure unit text, letter case and blanks ignored; 0 when unknown.
double PascalsPer(const QString& unit) {
    QString u = unit.toLower();
    u.remove(u' ');
    u.remove(u'.');
    if (u == u"mbar" || u == u"мбар") return 100.0;
    if (u == u"bar" || u == u"бар") return 1e5;
    if (u == u"кгс/см2" || u == u"kgf/cm2" || u == u"атм" || u == u"at") return 98066.5;
    if (u == u"кпа" || u == u"kpa") return 1e3;
    if (u == u"мпа" || u == u"mpa") return 1e6;
    if (u == u"па" || u == u"pa") return 1.0;
    if (u == u"ммвод" || u == u"ммводст" || u == u"ммвст" || u == u"мм" || u == u"mmh2o" || u == u"кгс/м2")
        return 9.80665;
    if (u == u"ммртст" || u == u"mmhg") return 133.322;
    return 0.0;
}

// A bound in its shortest plain form ("-1013.25", "250000").
QString BoundText(double v) { return core::StoredForm(static_cast<float>(v)); }

}  // namespace

std::optional<InputRange> RangeOf(int field, const QStringList& units) {
    const int slot = UnitSlot(field);
    const QString unit = slot >= 0 ? units.value(slot).trimmed() : QString();
    switch (KindOf(field)) {
    case Kind::None: return std::nullopt;
    case Kind::Flow: return InputRange{0.0, 1e7, unit};
    case Kind::Pressure: {
        // gauge pressure: not below full vacuum, not above 250 bar
        double per = PascalsPer(unit);
        if (per == 0.0) per = 100.0;
        return InputRange{-101325.0 / per, 2.5e7 / per, unit};
    }
    case Kind::GasTemperature: return InputRange{-60.0, 100.0, unit};
    case Kind::AirTemperature: return InputRange{-60.0, 150.0, unit};
    case Kind::FuelTemperature: return InputRange{-60.0, 300.0, unit};
    case Kind::FlueTemperature: return InputRange{-60.0, 1200.0, unit};
    case Kind::WaterTemperature: return InputRange{0.0, 400.0, unit};
    case Kind::Gas21: return InputRange{0.0, 21.0, QStringLiteral("%"), field != 13 && field != 37};
    case Kind::Emission: return InputRange{0.0, 100000.0, unit};
    case Kind::Angle: return InputRange{0.0, 360.0, unit};
    case Kind::Percent: return InputRange{0.0, 100.0, QStringLiteral("%")};
    }
    return std::nullopt;
}

QString InputRangeError(int field, double value, const QStringList& units, bool economiser) {
    const auto r = RangeOf(field, units);
    if (!r) return {};
    if (std::isfinite(value) && value >= r->min && (r->maxIncluded ? value <= r->max : value < r->max)) return {};
    const QString shown = std::isfinite(value) ? core::StoredForm(static_cast<float>(value)) : QStringLiteral("?");
    QString text = QStringLiteral("Поле «") + FieldHint(field, economiser).trimmed() + QStringLiteral("»: значение ") +
                   shown + QStringLiteral(" вне пределов от ") + BoundText(r->min) + QStringLiteral(" до ") +
                   BoundText(r->max);
    if (!r->unit.isEmpty()) text += u' ' + r->unit;
    if (!r->maxIncluded) text += QStringLiteral(" (не включая ") + BoundText(r->max) + u')';
    return text;
}

QString RegimeRangeError(const std::array<float, engine::kInputCount>& inputs, const QStringList& units,
                         const QStringList& general) {
    const EditorVisibility vis = VisibilityFor(general);
    for (int k = 0; k < engine::kInputCount; ++k) {
        if (!Used(vis, k)) continue;
        const QString e = InputRangeError(k, inputs[k], units, vis.economiser);
        if (!e.isEmpty()) return e;
    }
    return {};
}

}  // namespace regime
