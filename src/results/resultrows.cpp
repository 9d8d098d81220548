#include "results/resultrows.h"

#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"

namespace results {

namespace {

bool IsSteam(const QStringList& g) { return object::IsSteamBoiler(g); }

void Set(QList<ResultRow>& rows, const QString& key, const QString& value, const QString& warning = QString()) {
    for (auto& r : rows)
        if (r.key == key) {
            r.value = value;
            r.warning = warning;
            return;
        }
}

}  // namespace

QList<ResultRow> BuildResultRows(const QStringList& g) {
    using namespace object;
    QList<ResultRow> rows;
    auto add = [&](const char* key, const char* caption, const QString& unit) {
        rows.append({QString::fromUtf8(key), QString::fromUtf8(caption), unit, QString()});
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
    add("CO u", "CO уд", QStringLiteral("мг/Гкал"));
    add("CO m", "CO мас", QStringLiteral("мг/c"));
    add("NO", "NOx", QStringLiteral("мг/м3"));
    add("NO u", "NOх уд", QStringLiteral("мг/Гкал"));
    add("NO m", "NOх мас", QStringLiteral("мг/c"));
    return rows;
}

void FillResultValues(QList<ResultRow>& rows, const std::array<float, 26>& r, const QStringList& g,
                      const QLocale& locale) {
    using namespace object;
    auto v = [&](int slot) { return core::LocaleForm(r[slot], locale); };
    // the slots whose value physics bounds carry the reason with them
    auto Checked = [&](QList<ResultRow>& rs, const QString& key, int slot) {
        Set(rs, key, v(slot), ImplausibleReason(slot, r[slot]));
    };
    if (!IsSteam(g)) {
        Set(rows, "Q", v(3));
        Checked(rows, "dQ", 22);
    } else {
        Set(rows, QStringLiteral("Д"), v(1));
        Set(rows, QStringLiteral("Дпр.tпв"), v(16));
        Set(rows, "Q", v(2));
        Checked(rows, QStringLiteral("dД"), 22);
    }
    Checked(rows, QStringLiteral("КПД"), 4);
    Checked(rows, "q2", 5);
    Checked(rows, "q3", 6);
    Checked(rows, "q5", 7);
    Checked(rows, QStringLiteral("КПД нетто"), 8);
    Checked(rows, QStringLiteral("Коэфф"), 9);
    if (HasEconomiser(g)) {
        Checked(rows, QStringLiteral("Коэфф2"), 19);
        const float leak = r[9] - r[19];
        Set(rows, QStringLiteral("Присос"),
            core::LocaleForm(static_cast<float>(core::RoundHalfEven(leak, 2)), locale));
        Set(rows, "Q_2_e", v(25));
    }
    const QString fuel = g.value(FuelType);
    if (IsGaseousFuel(fuel)) {
        Set(rows, "K_P", v(10));
        Set(rows, "K_T", v(11));
        Set(rows, QStringLiteral("Вт"), v(12));
    } else if (IsLiquidFuel(fuel)) {
        Set(rows, QStringLiteral("Вт"), v(13));
    }
    Set(rows, QStringLiteral("Ву.т"), v(14));
    Set(rows, QStringLiteral("Ву.усл"), v(15));
    if (IsHotWaterBoiler(g)) Set(rows, "V", v(16));
    Set(rows, "CO", v(17));
    Set(rows, "NO", v(18));
    Set(rows, "CO u", v(20));
    Set(rows, "NO u", v(21));
    Set(rows, "CO m", v(23));
    Set(rows, "NO m", v(24));
}

void SetHeatOutputUnit(QList<ResultRow>& rows, const QStringList& g) {
    if (IsSteam(g)) return;
    for (auto& row : rows)
        if (row.key == u"Q") row.unit = g.value(object::HeatOutputUnit);
}

}  // namespace results
