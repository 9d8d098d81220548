#include "results/resultrows.h"

#include <cmath>

#include "core/names.h"
#include "engine/engine.h"
#include "core/numbers.h"
#include "object/generaldata.h"

namespace results {

namespace {

bool IsSteam(const QStringList& g) { return object::IsSteamBoiler(g); }

}  // namespace

QList<ResultRow> BuildResultRows(const QStringList& g) {
    using namespace object;
    QList<ResultRow> rows;
    auto add = [&](const char* key, const char* caption, const QString& unit) {
        ResultRow row;
        row.key = QString::fromUtf8(key);
        row.caption = QString::fromUtf8(caption);
        row.unit = unit;
        rows.append(row);
    };
    const QString pct = QStringLiteral("%");
    if (!IsSteam(g)) {
        add("Q", "Q", g.value(HeatOutputUnit));
        add("КПД", "КПД обр", pct);
        add("dQ", "КПД пр", pct);
    } else {
        add("Д", "Д", QStringLiteral("т/час"));
        add("Дпр.tпв", "Дпр.tпв", QStringLiteral("т/час"));
        add("КПД", "КПД обр", pct);
        add("dД", "КПД пр", pct);
        add("Q", "Q", QStringLiteral("Гкал/час"));
    }
    add("q2", "q2", pct);
    add("q3", "q3", pct);
    add("q5", "q5", pct);
    add("КПД нетто", "КПД нетто", pct);
    add("Коэфф", "Коэфф.изб.в", QStringLiteral(" - "));
    if (HasEconomiser(g)) {
        add("Коэфф2", "Коэфф.изб.в.котла", QStringLiteral(" - "));
        add("Присос", "Присос эк", QStringLiteral(" - "));
        add("Q_2_e", "КПДэкон", QStringLiteral(" %"));
    }
    const QString fuel = g.value(FuelType);
    if (IsGaseousFuel(fuel)) {
        add("K_P", "Kp", QStringLiteral("-"));
        add("K_T", "Kt", QStringLiteral("-"));
    }
    const bool gas = IsGaseousFuel(fuel), liquid = IsLiquidFuel(fuel);
    add("Вт", "Вт", gas ? QStringLiteral("ст.м3/час") : liquid ? QStringLiteral("кг/час") : QString());
    add("Ву.т", "Вуд", gas ? QStringLiteral("ст.м3/Гкал") : liquid ? QStringLiteral("кг/Гкал") : QString());
    add("Ву.усл", "Вусл", QStringLiteral("кг.у.т/Гкал"));
    if (IsHotWaterBoiler(g)) add("V", "Vводы", QStringLiteral("м3/час"));
    add("CO", "CO", QStringLiteral("мг/м3"));
    add("CO u", "CO уд", QStringLiteral("г/Гкал"));
    add("CO m", "CO мас", QStringLiteral("мг/c"));
    add("NO", "NOx", QStringLiteral("мг/м3"));
    add("NO u", "NOх уд", QStringLiteral("г/Гкал"));
    add("NO m", "NOх мас", QStringLiteral("мг/c"));
    return rows;
}

int ResultSlot(const QString& key, const QStringList& g) {
    using namespace object;
    const bool steam = IsSteam(g);
    const QString fuel = g.value(FuelType);
    static const QList<std::pair<QString, int>> fixed = {
        {QStringLiteral("КПД"), 4},       {QStringLiteral("q2"), 5},      {QStringLiteral("q3"), 6},
        {QStringLiteral("q5"), 7},        {QStringLiteral("КПД нетто"), 8}, {QStringLiteral("Коэфф"), 9},
        {QStringLiteral("Ву.т"), 14},     {QStringLiteral("Ву.усл"), 15}, {QStringLiteral("CO"), 17},
        {QStringLiteral("NO"), 18},       {QStringLiteral("CO u"), 20},   {QStringLiteral("NO u"), 21},
        {QStringLiteral("CO m"), 23},     {QStringLiteral("NO m"), 24}};
    for (const auto& [k, slot] : fixed)
        if (k == key) return slot;
    if (!steam) {
        if (key == u"Q") return 3;
        if (key == u"dQ") return 22;
    } else {
        if (key == u"Д") return 1;
        if (key == u"Дпр.tпв") return 16;
        if (key == u"Q") return 2;
        if (key == u"dД") return 22;
    }
    if (HasEconomiser(g)) {
        if (key == u"Коэфф2") return 19;
        if (key == u"Q_2_e") return 25;
    }
    if (IsGaseousFuel(fuel)) {
        if (key == u"K_P") return 10;
        if (key == u"K_T") return 11;
        if (key == u"Вт") return 12;
    } else if (IsLiquidFuel(fuel) && key == u"Вт") {
        return 13;
    }
    if (key == u"V" && IsHotWaterBoiler(g)) return 16;
    return -1;
}

int ResultDecimals(const QString& key, const QStringList& g) {
    if (key == u"Присос") return 2;
    const int slot = ResultSlot(key, g);
    return slot >= 0 ? engine::kResultDecimals[slot] : -1;
}

void FillResultValues(QList<ResultRow>& rows, const std::array<float, 26>& r, const QStringList& g,
                      const QLocale& locale) {
    for (auto& row : rows) {
        if (row.key == u"Присос") {
            if (!object::HasEconomiser(g)) continue;
            const float leak = r[9] - r[19];
            row.value = core::LocaleForm(static_cast<float>(core::RoundHalfEven(leak, 2)), locale);
            row.warning.clear();
            continue;
        }
        // a row whose quantity this object does not have keeps its text
        const int slot = ResultSlot(row.key, g);
        if (slot < 0) continue;
        row.value = core::LocaleForm(r[slot], locale);
        // the slots whose value physics bounds carry the reason with them
        row.warning = ImplausibleReason(slot, r[slot]);
    }
}

void SetHeatOutputUnit(QList<ResultRow>& rows, const QStringList& g) {
    if (IsSteam(g)) return;
    for (auto& row : rows)
        if (row.key == u"Q") row.unit = g.value(object::HeatOutputUnit);
}

}  // namespace results
