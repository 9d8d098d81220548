// The general data's object entry after the object folder got a new name, and the result
// checks that the results table and the graphs mark.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>

#include "store/objectcopy.h"
#include "store/objectstore.h"
#include "core/names.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "results/graphpainter.h"
#include "results/resultrows.h"
#include "support/scripted_dialogs.h"
#include "support/testdirs.h"

using testing_support::HotWaterGasGeneral;
using testing_support::ScriptedDialogs;
using testing_support::TestHome;

namespace {

QString Entry(const QString& folder) {
    QStringList g;
    EXPECT_TRUE(object::ReadGeneralData(folder, g));
    return g.value(object::ObjectName);
}

struct ObjectEntryTest : ::testing::Test {
    TestHome home;
    app::AppState s;
    ScriptedDialogs d;
    void SetUp() override { home.apply(s); }
    QString folder(const QString& name) { return core::JoinPath(home.objects(), name); }
};

TEST_F(ObjectEntryTest, CopyTakesTheNewNameWhereTheEntryHeldTheOldOne) {
    home.makeObject(QStringLiteral("Котельная школы №3"), HotWaterGasGeneral(QStringLiteral("Котельная школы №3")));
    s.setCurrentObject(QStringLiteral("Котельная школы №3"));
    d.inputs = {QStringLiteral("Котельная школы №4")};
    ASSERT_EQ(store::CreateObjectCopy(s, d), store::CommandResult::Done);
    EXPECT_EQ(Entry(folder(QStringLiteral("Котельная школы №4"))), QStringLiteral("Котельная школы №4"));
    EXPECT_EQ(Entry(folder(QStringLiteral("Котельная школы №3"))), QStringLiteral("Котельная школы №3"));
    // the rest of the record is copied unchanged
    QStringList a, b;
    object::ReadGeneralData(folder(QStringLiteral("Котельная школы №3")), a);
    object::ReadGeneralData(folder(QStringLiteral("Котельная школы №4")), b);
    a[object::ObjectName] = b[object::ObjectName];
    EXPECT_EQ(a, b);
}

TEST_F(ObjectEntryTest, RenameFollowsAnEntryEqualToTheFolderIgnoringCase) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("котельная а"));
    home.makeObject(QStringLiteral("Котельная А"), g);
    s.setCurrentObject(QStringLiteral("Котельная А"));
    d.inputs = {QStringLiteral("Котельная Б")};
    ASSERT_EQ(store::RenameObject(s, d), store::CommandResult::Done);
    EXPECT_EQ(Entry(folder(QStringLiteral("Котельная Б"))), QStringLiteral("Котельная Б"));
    EXPECT_TRUE(d.messages().isEmpty());
}

TEST_F(ObjectEntryTest, AnEntryOfItsOwnStaysAndAFailedWriteIsReported) {
    home.makeObject(QStringLiteral("К1"), HotWaterGasGeneral(QStringLiteral("Котельная на Садовой")));
    EXPECT_TRUE(object::FollowFolderName(folder(QStringLiteral("К1")), QStringLiteral("К1"), QStringLiteral("К2")));
    EXPECT_EQ(Entry(folder(QStringLiteral("К1"))), QStringLiteral("Котельная на Садовой"));
    // no general data file: nothing to follow, and the caller hears of it
    EXPECT_FALSE(object::FollowFolderName(folder(QStringLiteral("нет такого")), QStringLiteral("a"), QStringLiteral("b")));
}

TEST(ResultChecks, WhatPhysicsDoesNotAllow) {
    using results::ImplausibleReason;
    for (int slot : {4, 8, 22}) {
        EXPECT_TRUE(ImplausibleReason(slot, 100.0f).isEmpty()) << slot;
        EXPECT_FALSE(ImplausibleReason(slot, 100.01f).isEmpty()) << slot;
        EXPECT_TRUE(ImplausibleReason(slot, 0.0f).isEmpty()) << slot;
    }
    for (int slot : {5, 6, 7}) {
        EXPECT_TRUE(ImplausibleReason(slot, 0.0f).isEmpty()) << slot;
        EXPECT_FALSE(ImplausibleReason(slot, -0.01f).isEmpty()) << slot;
    }
    for (int slot : {9, 19}) {
        EXPECT_TRUE(ImplausibleReason(slot, 0.0f).isEmpty()) << slot;  // not calculated yet
        EXPECT_TRUE(ImplausibleReason(slot, 1.0f).isEmpty()) << slot;
        EXPECT_FALSE(ImplausibleReason(slot, 0.99f).isEmpty()) << slot;
        EXPECT_FALSE(ImplausibleReason(slot, -4.78f).isEmpty()) << slot;
    }
    // loads, flows and emissions have no such bound here
    EXPECT_TRUE(ImplausibleReason(0, 130.0f).isEmpty());
    EXPECT_TRUE(ImplausibleReason(17, -1.0f).isEmpty());
    EXPECT_TRUE(ImplausibleReason(4, 104.0f).contains(QStringLiteral("100")));
}

TEST(ResultChecks, RowsCarryTheReasonWithTheValueAsComputed) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("К"));
    QList<results::ResultRow> rows = results::BuildResultRows(g);
    std::array<float, 26> r{};
    r[4] = 104.25f;
    r[5] = -1.5f;
    r[9] = 1.18f;
    results::FillResultValues(rows, r, g, QLocale::c());
    auto row = [&](const QString& key) {
        for (const auto& x : rows)
            if (x.key == key) return x;
        return results::ResultRow{};
    };
    EXPECT_EQ(row(QStringLiteral("КПД")).value, "104.25");  // shown as computed
    EXPECT_FALSE(row(QStringLiteral("КПД")).warning.isEmpty());
    EXPECT_FALSE(row("q2").warning.isEmpty());
    EXPECT_TRUE(row(QStringLiteral("Коэфф")).warning.isEmpty());
    EXPECT_TRUE(row("q3").warning.isEmpty());
    // a second fill with sound values clears the reasons
    r[4] = 91.0f;
    r[5] = 6.0f;
    results::FillResultValues(rows, r, g, QLocale::c());
    EXPECT_TRUE(row(QStringLiteral("КПД")).warning.isEmpty());
    EXPECT_TRUE(row("q2").warning.isEmpty());
}

int RedRingPixels(const results::GraphData& d) {
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    results::DrawCurve(p, QRectF(0, 0, 300, 200), d, results::CurveStyle{});
    p.end();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

TEST(ResultChecks, TheGraphRingsADoubtfulPoint) {
    results::GraphData d;
    d.x = {100, 200, 300};
    d.y = {90, 104, 92};
    d.regimes = {"a", "b", "c"};
    d.doubtful = {QString(), QString(), QString()};
    EXPECT_EQ(RedRingPixels(d), 0);
    d.doubtful[1] = results::ImplausibleReason(4, 104.0f);
    EXPECT_GT(RedRingPixels(d), 20);
}

TEST(Units, OnlyTheUnitsTheCalculationReadsAskForARecalculation) {
    const QStringList before = object::DefaultUnits();
    for (int unit = 0; unit < object::kUnitCount; ++unit) {
        QStringList after = before;
        after[unit] = after[unit] + QStringLiteral("x");
        const bool read = unit == 0 || unit == 2 || unit == 7 || unit == 11 || unit == 14;
        EXPECT_EQ(object::CalculationUnitsChanged(before, after), read) << unit;
    }
    QStringList same = before;
    same[11] = same[11].toUpper();  // letter case is no change
    EXPECT_FALSE(object::CalculationUnitsChanged(before, same));
}

}  // namespace
