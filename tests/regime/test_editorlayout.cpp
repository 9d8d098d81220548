#include <gtest/gtest.h>
#include <set>

#include "core/numbers.h"
#include "object/generaldata.h"
#include "regime/editorlayout.h"

using namespace regime;
using namespace object;

TEST(EditorLayout, EveryFieldHasOneRowAndAHint) {
    std::multiset<int> fields;
    for (const auto& row : EditorRows()) {
        if (row.left >= 0) fields.insert(row.left);
        if (row.right >= 0) fields.insert(row.right);
    }
    for (int k = 0; k < 43; ++k) {
        EXPECT_EQ(fields.count(k), 1u) << k;
        EXPECT_FALSE(FieldHint(k, true).isEmpty()) << k;
    }
    EXPECT_EQ(FieldHint(22, true), QStringLiteral("Температура воды до экономайзера"));
    EXPECT_EQ(FieldHint(22, false), QStringLiteral("Температура на входе в котел"));
    EXPECT_EQ(FieldHint(16, false), QStringLiteral("Давление за котлом"));
    EXPECT_EQ(FieldHint(32, true), QStringLiteral("Подожение привода заслонки"));
}

TEST(EditorLayout, VisibilityBySteamGasEconomiser) {
    QStringList g(kGeneralCount);
    g[BoilerType] = kSteamBoiler;
    g[FuelType] = kNaturalGas;
    g[Economiser] = kWithEconomiser;
    g[Q5Mode] = kQ5AtAllLoads;
    const auto v = VisibilityFor(g);
    EXPECT_TRUE(v.steam);
    EXPECT_FALSE(v.water);
    EXPECT_TRUE(v.gasFuel);
    EXPECT_FALSE(v.liquidFuel);
    EXPECT_EQ(v.fuelCaption, kNaturalGas);
    EXPECT_FALSE(v.q5Row);
    EXPECT_FALSE(v.fieldVisible(42));
    for (int k : {20, 29, 30, 31, 34, 35, 40}) EXPECT_TRUE(v.fieldVisible(k)) << k;
    EXPECT_FALSE(v.movedRight(22));
}

TEST(EditorLayout, VisibilityByHotWaterOilWithoutEconomiser) {
    QStringList g(kGeneralCount);
    g[BoilerType] = QStringLiteral("ВОДОГРЕЙНЫЙ КОТЕЛ");
    g[FuelType] = kFuelOil;
    g[Economiser] = kWithoutEconomiser;
    g[Q5Mode] = kQ5EachRegime;
    const auto v = VisibilityFor(g);
    EXPECT_TRUE(v.water);
    EXPECT_FALSE(v.steam);
    EXPECT_FALSE(v.gasFuel);
    EXPECT_TRUE(v.liquidFuel);
    EXPECT_TRUE(v.q5Row);
    for (int k : {20, 29, 30, 31, 34, 35, 36, 37, 38, 39, 40}) EXPECT_FALSE(v.fieldVisible(k)) << k;
    for (int k : {11, 17, 22, 23, 41, 42}) EXPECT_TRUE(v.fieldVisible(k)) << k;
    for (int k : {22, 24, 26, 27}) EXPECT_TRUE(v.movedRight(k));
}

TEST(EditorLayout, UnknownTypesShowEverything) {
    QStringList g(kGeneralCount);
    g[BoilerType] = QStringLiteral("Прочее");
    g[FuelType] = QStringLiteral("Уголь");
    const auto v = VisibilityFor(g);
    EXPECT_TRUE(v.water && v.steam && v.gasFuel && v.liquidFuel);
}

TEST(EditorLayout, KeyFilterAndRecalculatingFields) {
    EXPECT_EQ(core::NumberKey(u'7'), QChar(u'7'));
    EXPECT_EQ(core::NumberKey(u','), QChar(u'.'));
    EXPECT_EQ(core::NumberKey(u'.'), QChar(u'.'));
    EXPECT_EQ(core::NumberKey(QChar(8)), QChar(8));
    for (QChar c : {QChar(u'-'), QChar(u'a'), QChar(u'+'), QChar(u'е'), QChar(u' '), QChar(u'٣')})
        EXPECT_FALSE(core::NumberKey(c).has_value()) << static_cast<int>(c.unicode());
    std::set<int> calc;
    for (int k = 0; k < 43; ++k)
        if (RecalculatesOnEnter(k)) calc.insert(k);
    // 41 (water flow for the direct balance) and 42 (q5) calculate too
    EXPECT_EQ(calc, (std::set<int>{0, 1, 2, 7, 11, 12, 13, 14, 15, 16, 17, 18, 22, 23, 26, 28, 33, 35, 36, 37, 38,
                                   39, 40, 41, 42}));
}
