// Preliminary experiments: the opening, the derived experiments, the O2 rule, the balance
// and its refusals, taking an experiment into the editor, and the workbook.

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/qtprint.h"
#include "support/xlsxread.h"
#include "tools/experiments.h"

using namespace tools;

namespace {

ExperimentContext Gas() { return {QStringLiteral("Природный газ"), 11.8, 20, QStringLiteral("ppm"), 1.5}; }

// The main experiment 20/30/45/50/3.0/150 typed into a ready sheet.
ExperimentSheet MainSheet(ExperimentContext c = Gas()) {
    ExperimentSheet sheet(c);
    const int m = 12;
    sheet.setField(m + AirPressure, "20");
    sheet.setField(m + DamperAngle, "30");
    sheet.setField(m + ServoPosition, "45");
    sheet.setField(m + CO, "50");
    sheet.setField(m + O2, "3.0");
    sheet.setField(m + FlueTemp, "150");
    return sheet;
}

QStringList Column(const ExperimentSheet& s, int k, int from, int to) {
    QStringList l;
    for (int r = from; r <= to; ++r) l.append(s.field(12 * k + r));
    return l;
}

}  // namespace

TEST(Experiments, DerivedExperimentsFollowTheOffsets) {
    ExperimentSheet s = MainSheet();
    s.DeriveExperiments();
    // air pressure, damper angle, servo, CO, CO2 (from O2), O2, flue-gas temperature
    EXPECT_EQ(Column(s, 0, 0, 6), QStringList({"15", "28", "45", "60", "10.2", "2.8", "142"}));
    EXPECT_EQ(Column(s, 2, 0, 6), QStringList({"25", "32", "45", "50", "10", "3.2", "159"}));
    EXPECT_EQ(Column(s, 3, 0, 6), QStringList({"30", "33", "45", "50", "9.8", "3.5", "162"}));
    EXPECT_EQ(s.field(12 + CO2), "10.1");  // the main one's O2 rule: (21 - 3) x 11.8 / 21
}

TEST(Experiments, O2RuleFillsTheCo2OfItsOwnExperiment) {
    ExperimentSheet s(Gas());
    for (int k = 0; k < 4; ++k) {
        s.setField(ExperimentField(k, O2), "3.0");
        EXPECT_EQ(s.field(ExperimentField(k, CO2)), "10.1") << k;
    }
    s.setField(ExperimentField(2, O2), "21");
    EXPECT_EQ(s.field(ExperimentField(2, CO2)), "0");
    EXPECT_EQ(s.field(ExperimentField(3, CO2)), "10.1");
    // the rule holds before the sheet is ready, and no balance is computed then
    EXPECT_FALSE(s.ready());
    EXPECT_TRUE(s.field(ExperimentField(0, Q2)).isEmpty());
}

TEST(Experiments, BalanceOfTheMainExperiment) {
    ExperimentSheet s(Gas());
    std::array<float, app::kInputCount> in{};
    std::array<float, app::kResultCount> res{};
    in[19] = 20, in[21] = 30, in[32] = 45, in[11] = 50, in[13] = 3, in[17] = 150, in[12] = 10.1f;
    res[0] = 72, res[9] = 1.16f, res[5] = 6.2f, res[6] = 0.02f, res[4] = 92.1f, res[15] = 155;
    s.open(in, res);
    ASSERT_TRUE(s.ready());
    // q2 = 133 x (0.1683 x 0.81 x 0.7764 + 0.8257) x 100 / 2010 = 6.164; q3 = 0.017642;
    // efficiency 100 - 6.164 - 0.0176 - 1.5; fuel 14280 / 92.318; excess air 86.9 / 75.62
    EXPECT_EQ(Column(s, 1, 7, 11), QStringList({"1.15", "6.16", "0.01764", "92.32", "154.68"}));
    EXPECT_EQ(s.field(12 + CO2), " 10.1");  // the measured CO2 from the regime
    // every experiment got a balance
    for (int k : {0, 2, 3}) EXPECT_FALSE(s.field(ExperimentField(k, Efficiency)).startsWith(u' ')) << k;
}

TEST(Experiments, OpeningWritesTheRegimeWithLeadingBlanks) {
    ExperimentSheet s(Gas());
    std::array<float, app::kInputCount> in{};
    std::array<float, app::kResultCount> res{};
    in[19] = 18.5f, in[21] = 0.5f, in[32] = 40, in[11] = 12, in[13] = 4.2f, in[17] = 160, in[12] = 9.3f, in[5] = 20;
    res[0] = 65, res[12] = 101.5f, res[4] = 91.5f;
    s.open(in, res);
    EXPECT_EQ(Column(s, 1, 0, 6), QStringList({" 18.5", " .5", " 40", " 12", " 9.3", " 4.2", " 160"}));
    EXPECT_EQ(ExperimentCaption(res), QStringLiteral("Прикидочные опыты. Нагрузка   65 %"));
    EXPECT_EQ(ExperimentLoadLine(QStringLiteral("Природный газ"), in, res, "mbar", "bar"),
              QStringLiteral("Нагрузка от номинальной  65%,  Расход газа  101.5ст.м.куб/час,  Давление газа  20mbar"));
    in[9] = 12;
    res[13] = 80;
    EXPECT_EQ(ExperimentLoadLine(QStringLiteral("Мазут"), in, res, "mbar", "bar"),
              QStringLiteral("Нагрузка от номинальной  65%,  Расход топлива  80кг/час,  Давление топлива  12bar"));
    EXPECT_TRUE(ExperimentLoadLine(QStringLiteral("природный газ"), in, res, "mbar", "bar").isEmpty());
}

TEST(Experiments, ZeroCo2SuppressesEveryBalanceField) {
    ExperimentSheet s = MainSheet();
    s.DeriveExperiments();
    std::array<float, app::kInputCount> in{};
    std::array<float, app::kResultCount> res{};
    in[19] = 20, in[21] = 30, in[11] = 50, in[13] = 3, in[17] = 150, in[12] = 10.1f;
    s.open(in, res);
    s.setField(ExperimentField(3, O2), "0");
    s.setField(ExperimentField(3, CO2), "0");
    QStringList balance;
    for (int k = 0; k < 4; ++k) balance += Column(s, k, 7, 11);
    s.setField(ExperimentField(0, FlueTemp), "300");  // would change the balance of experiment 0
    s.setField(ExperimentField(2, CO), "400");
    QStringList after;
    for (int k = 0; k < 4; ++k) after += Column(s, k, 7, 11);
    EXPECT_EQ(after, balance);
    EXPECT_FALSE(s.ComputeExperimentBalance());
    s.setField(ExperimentField(3, CO2), "9.5");
    EXPECT_NE(s.field(ExperimentField(0, Q2)), balance[1]);  // computed again
}

TEST(Experiments, FuelConstantsAndCoUnits) {
    ExperimentFuel f;
    ASSERT_TRUE(ExperimentFuelConstants(QStringLiteral("Пропан-бутан"), f));
    EXPECT_EQ(f.a, 0.81);
    EXPECT_EQ(f.b, 2115);
    EXPECT_EQ(f.c, 0.85);
    EXPECT_EQ(f.d, 1000);
    ASSERT_TRUE(ExperimentFuelConstants(QStringLiteral("Мазут"), f));
    EXPECT_EQ(f.a, 0.87);
    EXPECT_EQ(f.b, 2100);
    EXPECT_EQ(f.c, 0.9);
    EXPECT_EQ(f.d, 960);
    EXPECT_FALSE(ExperimentFuelConstants(QStringLiteral("мазут"), f));  // letter case counts
    EXPECT_DOUBLE_EQ(CoUnitFactor("ppm"), 0.0001);
    EXPECT_DOUBLE_EQ(CoUnitFactor(QStringLiteral("мг/м3")), 0.0001 / 1.25);
    EXPECT_DOUBLE_EQ(CoUnitFactor(QStringLiteral("г/м3")), 0.1 / 1.25);
    EXPECT_EQ(CoUnitFactor(QStringLiteral("%")), 0);

    // diesel at the same point: q2 divisor 2100, air weight 0.9, q3 divisor 960
    ExperimentContext diesel = Gas();
    diesel.fuelType = QStringLiteral("Дизельное топливо");
    ExperimentSheet d = MainSheet(diesel);
    d.DeriveExperiments();
    d.setField(12 + CO2, "10.1");
    ExperimentSheet g = MainSheet();
    g.DeriveExperiments();
    ASSERT_TRUE(d.ComputeExperimentBalance());
    ASSERT_TRUE(g.ComputeExperimentBalance());
    EXPECT_EQ(d.field(12 + Q3), "0.01838");  // 50 x 0.0001 x 30.2 x 1.1683 x 100 / 960
    EXPECT_EQ(g.field(12 + Q3), "0.01764");
    EXPECT_NE(d.field(12 + Q2), g.field(12 + Q2));

    // mg/m3 divides by 1.25
    ExperimentContext mg = Gas();
    mg.coUnit = QStringLiteral("мг/м3");
    ExperimentSheet m = MainSheet(mg);
    m.DeriveExperiments();
    ASSERT_TRUE(m.ComputeExperimentBalance());
    EXPECT_EQ(m.field(12 + Q3), "0.01411");
}

TEST(Experiments, UnknownFuelLeavesTheBalanceFields) {
    ExperimentContext c = Gas();
    c.fuelType = QStringLiteral("Дрова");
    ExperimentSheet s(c);
    std::array<float, app::kInputCount> in{};
    std::array<float, app::kResultCount> res{};
    in[19] = 20, in[11] = 50, in[13] = 3, in[17] = 150, in[12] = 10.1f;
    res[4] = 91.2f, res[5] = 6.5f;
    s.open(in, res);
    EXPECT_EQ(s.field(12 + Efficiency), " 91.2");
    EXPECT_EQ(s.field(12 + Q2), " 6.5");
    EXPECT_TRUE(s.field(Q2).isEmpty());
    EXPECT_EQ(s.field(CO2), "10.2");  // the O2 rule and the derived experiments still work
    EXPECT_EQ(s.field(AirPressure), "15");
}

TEST(Experiments, CommasBecomePeriods) {
    ExperimentSheet s = MainSheet();
    s.DeriveExperiments();
    s.NormalizeExperimentFields();
    std::array<float, app::kInputCount> in{};
    std::array<float, app::kResultCount> res{};
    in[13] = 3, in[17] = 150, in[12] = 10.1f;
    s.open(in, res);
    s.setField(ExperimentField(2, CO), "12,5");  // recalculates, then normalises
    EXPECT_EQ(s.field(ExperimentField(2, CO)), "12.5");
    s.setField(ExperimentField(2, AirPressure), "7,5");  // not a balance field: stays until the next one
    EXPECT_EQ(s.field(ExperimentField(2, AirPressure)), "7,5");
    s.setField(ExperimentField(2, O2), "3,5");
    EXPECT_EQ(s.field(ExperimentField(2, O2)), "3.5");
    EXPECT_EQ(s.field(ExperimentField(2, AirPressure)), "7.5");
    for (const QString& f : s.fields()) EXPECT_FALSE(f.contains(u',')) << f.toStdString();
}

TEST(Experiments, TakingAnExperimentIntoTheEditorFields) {
    ExperimentSheet s = MainSheet();
    s.DeriveExperiments();
    QStringList editor(app::kInputCount, QStringLiteral(" 1"));
    const QStringList after = s.takeInto(2, editor);
    EXPECT_EQ(after[19], "25");
    EXPECT_EQ(after[21], "32");
    EXPECT_EQ(after[32], "45");
    EXPECT_EQ(after[11], "50");
    EXPECT_EQ(after[12], "10");
    EXPECT_EQ(after[13], "3.2");
    EXPECT_EQ(after[17], "159");
    int changed = 0;
    for (int k = 0; k < app::kInputCount; ++k) changed += after[k] != editor[k];
    EXPECT_EQ(changed, 7);
    EXPECT_EQ(s.takeInto(7, editor), editor);
}

TEST(Experiments, WorkbookHasFourColumnsAndTheMark) {
    ExperimentSheet s = MainSheet();
    s.DeriveExperiments();
    ASSERT_TRUE(s.ComputeExperimentBalance());
    QTemporaryDir dir;
    EXPECT_EQ(ExperimentsWorkbookName(QStringLiteral("Режим №  3.Dat")),
              QStringLiteral("Прикидочные опыты Режим 3.xlsx"));
    const QString path = dir.filePath(ExperimentsWorkbookName(QStringLiteral("Режим №  3.Dat")));
    const ExperimentExport e{QStringLiteral("Котельная"), QStringLiteral("Режим №  3.Dat"), QStringLiteral("Нагрузка"),
                             s.fields(), 2};
    QString error;
    ASSERT_TRUE(ExportExperimentsXlsx(path, e, &error)) << error.toStdString();
    const auto sheet = testing_support::ReadSheet(path);
    EXPECT_EQ(sheet.value("A6").text, QStringLiteral("Основной опыт"));
    EXPECT_EQ(sheet.value("B6").text, QStringLiteral("Опыт 1"));
    EXPECT_TRUE(sheet.value("D6").text.startsWith(QStringLiteral("Опыт 3 ")));  // the chosen one, marked
    EXPECT_EQ(sheet.value("A7").text, QStringLiteral("Давление на горелке "));
    EXPECT_EQ(sheet.value("A17").text, QStringLiteral("КПД \"брутто\" котла"));
    EXPECT_TRUE(sheet.value("B7").number);
    EXPECT_DOUBLE_EQ(sheet.value("B7").value, 15);
    EXPECT_DOUBLE_EQ(sheet.value("E13").value, 162);
    EXPECT_DOUBLE_EQ(sheet.value("C17").value, s.field(12 + Efficiency).toDouble());
    EXPECT_DOUBLE_EQ(sheet.value("C16").value, 0.01764);
}
