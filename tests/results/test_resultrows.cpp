#include <gtest/gtest.h>

#include "object/generaldata.h"
#include "results/resultrows.h"

using namespace results;
using namespace object;

namespace {

QStringList General(const QString& boiler, const QString& fuel, const QString& economiser,
                    const QString& heatUnit = QStringLiteral("кВт")) {
    QStringList g(kGeneralCount);
    g[BoilerType] = boiler;
    g[FuelType] = fuel;
    g[Economiser] = economiser;
    g[HeatOutputUnit] = heatUnit;
    return g;
}

QStringList Captions(const QList<ResultRow>& rows) {
    QStringList l;
    for (const auto& r : rows) l.append(r.caption);
    return l;
}

const ResultRow* Row(const QList<ResultRow>& rows, const QString& key) {
    for (const auto& r : rows)
        if (r.key == key) return &r;
    return nullptr;
}

}  // namespace

TEST(ResultRows, SteamGasWithEconomiser) {
    const auto rows = BuildResultRows(General(kSteamBoiler, kNaturalGas, kWithEconomiser));
    EXPECT_EQ(Captions(rows),
              QStringList({"Д", "Дпр.tпв", "КПД обр", "КПД пр", "Q", "q2", "q3", "q5", "КПД нетто", "Коэфф.изб.в",
                           "Коэфф.изб.в.котла", "Присос эк", "КПДэкон", "Kp", "Kt", "Вт", "Вуд", "Вусл", "CO", "CO уд",
                           "CO мас", "NOx", "NOх уд", "NOх мас"}));
    EXPECT_EQ(Row(rows, "Q")->unit, QStringLiteral("Гкал/час"));
    EXPECT_EQ(Row(rows, "Q_2_e")->unit, " %");
}

TEST(ResultRows, HotWaterFuelOilWithoutEconomiser) {
    const auto rows = BuildResultRows(General(kHotWaterBoiler, kFuelOil, kWithoutEconomiser, QStringLiteral("МВт")));
    EXPECT_EQ(Captions(rows), QStringList({"Q", "КПД обр", "КПД пр", "q2", "q3", "q5", "КПД нетто", "Коэфф.изб.в", "Вт",
                                           "Вуд", "Вусл", "Vводы", "CO", "CO уд", "CO мас", "NOx", "NOх уд", "NOх мас"}));
    EXPECT_EQ(Row(rows, "Q")->unit, QStringLiteral("МВт"));
    EXPECT_EQ(Row(rows, QStringLiteral("Вт"))->unit, QStringLiteral("кг/час"));
    EXPECT_EQ(Row(rows, "NO m")->unit, QStringLiteral("мг/c"));
    EXPECT_TRUE(QStringLiteral("мг/c").endsWith(QChar(u'c')));  // Latin c
    // the specific emissions are mass flow per heat output
    EXPECT_EQ(Row(rows, "CO u")->unit, QStringLiteral("г/Гкал"));
    EXPECT_EQ(Row(rows, "NO u")->unit, QStringLiteral("г/Гкал"));
}

TEST(ResultRows, UnknownTypesKeepRowsSafe) {
    auto rows = BuildResultRows(General(QStringLiteral("Котел-утилизатор"), QStringLiteral("Уголь"), QString()));
    EXPECT_EQ(Captions(rows).mid(0, 3), QStringList({"Q", "КПД обр", "КПД пр"}));
    EXPECT_FALSE(Captions(rows).contains(QStringLiteral("Vводы")));
    EXPECT_FALSE(Captions(rows).contains("Kp"));
    EXPECT_TRUE(Row(rows, QStringLiteral("Вт"))->unit.isEmpty());
    EXPECT_TRUE(Row(rows, QStringLiteral("Ву.т"))->unit.isEmpty());
    std::array<float, 26> r{};
    r[12] = 5;
    r[13] = 6;
    FillResultValues(rows, r, General(QStringLiteral("Котел-утилизатор"), QStringLiteral("Уголь"), QString()));
    EXPECT_TRUE(Row(rows, QStringLiteral("Вт"))->value.isEmpty());
}

TEST(ResultRows, ValuesInTheLocaleWithLeakRounded) {
    const QStringList g = General(kSteamBoiler, kDiesel, kWithEconomiser);
    auto rows = BuildResultRows(g);
    std::array<float, 26> r{};
    for (int i = 0; i < 26; ++i) r[i] = static_cast<float>(i) + 0.5f;
    r[4] = 91.50f;
    r[9] = 1.32f;
    r[19] = 1.15f;
    r[6] = 0.01876f;
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    FillResultValues(rows, r, g, ru);
    EXPECT_EQ(Row(rows, QStringLiteral("КПД"))->value, "91,5");
    EXPECT_EQ(Row(rows, QStringLiteral("Присос"))->value, "0,17");
    EXPECT_EQ(Row(rows, "q3")->value, "0,01876");
    EXPECT_EQ(Row(rows, QStringLiteral("Д"))->value, "1,5");
    EXPECT_EQ(Row(rows, QStringLiteral("Дпр.tпв"))->value, "16,5");
    EXPECT_EQ(Row(rows, "Q")->value, "2,5");
    EXPECT_EQ(Row(rows, QStringLiteral("dД"))->value, "22,5");
    EXPECT_EQ(Row(rows, QStringLiteral("Вт"))->value, "13,5");  // liquid fuel takes slot 13
    EXPECT_EQ(Row(rows, "NO m")->value, "24,5");
    FillResultValues(rows, r, g, QLocale::c());
    EXPECT_EQ(Row(rows, QStringLiteral("КПД"))->value, "91.5");
}

TEST(ResultRows, FillingSkipsMissingRowsAndFollowsTheUnit) {
    QStringList g = General(kHotWaterBoiler, kNaturalGas, kWithoutEconomiser);
    auto rows = BuildResultRows(g);
    std::array<float, 26> r{};
    r[12] = 120;
    r[16] = 43.92f;
    // the object gains an economiser after the rows were built: filling must not fail
    g[Economiser] = kWithEconomiser;
    FillResultValues(rows, r, g, QLocale::c());
    EXPECT_EQ(Row(rows, QStringLiteral("Вт"))->value, "120");
    EXPECT_EQ(Row(rows, "V")->value, "43.92");
    EXPECT_EQ(Row(rows, QStringLiteral("Присос")), nullptr);
    g[HeatOutputUnit] = QStringLiteral("Гкал/час");
    SetHeatOutputUnit(rows, g);
    EXPECT_EQ(Row(rows, "Q")->unit, QStringLiteral("Гкал/час"));
}
