#include "object/generalranges.h"

#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"

namespace object {

std::optional<GeneralRange> GeneralRangeOf(int entry, const QString& fuel) {
    struct FuelRanges {
        const QString& fuel;
        GeneralRange calorific, density, co2;
    };
    const QString gasHeat = QStringLiteral("ккал/ст.м3"), liquidHeat = QStringLiteral("ккал/кг");
    const QString gasDensity = QStringLiteral("кг/м3"), liquidDensity = QStringLiteral("т/м3");
    const QString pct = QStringLiteral("%");
    const FuelRanges table[] = {
        {kNaturalGas, {7000, 9500, gasHeat}, {0.6, 0.9, gasDensity}, {11.0, 12.5, pct}},
        {kPropane, {20000, 28000, gasHeat}, {1.8, 2.7, gasDensity}, {13.0, 14.5, pct}},
        {kDiesel, {9800, 10500, liquidHeat}, {0.80, 0.90, liquidDensity}, {15.0, 16.0, pct}},
        {kFuelOil, {9000, 10000, liquidHeat}, {0.88, 1.05, liquidDensity}, {15.5, 17.0, pct}},
    };
    switch (entry) {
    case NominalOutput: return GeneralRange{0.0, 0.0, QString(), false, true};
    case OwnNeedsLoss: return GeneralRange{0.0, 10.0, pct};
    case CalorificValue:
    case FuelDensity:
    case Co2Max:
        for (const FuelRanges& f : table)
            if (core::SameName(fuel, f.fuel))
                return entry == CalorificValue ? f.calorific : entry == FuelDensity ? f.density : f.co2;
        return std::nullopt;
    default: return std::nullopt;
    }
}

namespace {

QString Caption(int entry) {
    switch (entry) {
    case CalorificValue: return QStringLiteral("Теплота сгорания топлива");
    case FuelDensity: return QStringLiteral("Плотность топлива");
    case Co2Max: return QStringLiteral("СО2max в продуктах  сгорания");
    case NominalOutput: return QStringLiteral("Номинальная  тепловая мощность");
    case OwnNeedsLoss: return QStringLiteral("Потери на собственные нужды");
    default: return {};
    }
}

// A bound in its shortest plain form ("0.6", "9500").
QString BoundText(double v) { return core::StoredForm(static_cast<float>(v)); }

}  // namespace

QString GeneralRangeError(int entry, const QString& text, const QString& fuel) {
    if (text.trimmed().isEmpty()) return {};
    const auto r = GeneralRangeOf(entry, fuel);
    if (!r) return {};
    // read as the calculation reads it
    const double value = core::ParseNumber(text);
    const bool aboveMin = r->minIncluded ? value >= r->min : value > r->min;
    const bool belowMax = r->open || value <= r->max;
    if (std::isfinite(value) && aboveMin && belowMax) return {};
    const QString shown = std::isfinite(value) ? core::StoredForm(static_cast<float>(value)) : QStringLiteral("?");
    QString out = QStringLiteral("Общие данные «") + Caption(entry) + QStringLiteral("»: значение ") + shown;
    if (r->open) return out + QStringLiteral(" должно быть больше ") + BoundText(r->min);
    out += QStringLiteral(" вне пределов от ") + BoundText(r->min) + QStringLiteral(" до ") + BoundText(r->max) + u' ' +
           r->unit;
    if (entry == CalorificValue || entry == FuelDensity || entry == Co2Max)
        out += QStringLiteral(" (") + fuel.trimmed() + u')';
    return out;
}

QString GeneralDataRangeError(const QStringList& general) {
    for (int entry : {CalorificValue, FuelDensity, Co2Max, NominalOutput, OwnNeedsLoss}) {
        const QString e = GeneralRangeError(entry, general.value(entry), general.value(FuelType));
        if (!e.isEmpty()) return e;
    }
    return {};
}

}  // namespace object
