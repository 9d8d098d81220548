// The q5 calculator: surfaces, totals, heat output, the q5 files, taking q5 into the regime
// and the workbook.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <string_view>

#include "core/names.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "support/testdirs.h"
#include "support/xlsxread.h"
#include "tools/q5.h"
#include "tools/toolnumbers.h"

using namespace tools;
using testing_support::ReadBytes;
using testing_support::TestHome;
using testing_support::WriteBytes;

namespace {

QStringList Surface(int s, const QString& area, const QString& tp, const QString& tv, const QString& orientation,
                    const QString& material, QStringList cells = QStringList(kQ5CellCount)) {
    cells[Q5Cell(s, Area)] = area;
    cells[Q5Cell(s, SurfaceTemp)] = tp;
    cells[Q5Cell(s, AirTemp)] = tv;
    cells[Q5Cell(s, Orientation)] = orientation;
    cells[Q5Cell(s, Material)] = material;
    return cells;
}

const QString kVertical = QStringLiteral("Вертикаль.");
const QString kSteel = QStringLiteral("Сталь");

}  // namespace

TEST(Q5Numbers, RoundHalvesToEvenAndWriteNoNoise) {
    EXPECT_EQ(RoundedText(0.0625, 3), "0.062");
    EXPECT_EQ(RoundedText(0.1875, 3), "0.188");
    EXPECT_EQ(RoundedText(750.0, 2), "750");
    EXPECT_EQ(RoundedText(-0.0001, 3), "0");  // never "-0"
    EXPECT_EQ(RoundedText(std::numeric_limits<double>::infinity(), 3), "0");
    EXPECT_EQ(PlainText(0.1 + 0.2), "0.3");
    EXPECT_EQ(PlainText(3.0 - 0.2), "2.8");
    EXPECT_EQ(PlainText(-8), "-8");
}

TEST(Q5Surface, VerticalSteelExample) {
    QStringList c = Surface(1, "10", "50", "20", kVertical, kSteel);
    ComputeQ5Surface(c, 1);
    EXPECT_EQ(c[5], "6.085");
    EXPECT_EQ(c[6], "5.279");  // 4.5 x R 35.196 / 30
    EXPECT_EQ(c[7], "3.409");
    // the same surface in position 8 uses cells 56..63 and nothing else
    QStringList d = Surface(8, "10", "50", "20", kVertical, kSteel);
    ComputeQ5Surface(d, 8);
    EXPECT_EQ(d.mid(61, 3), QStringList({"6.085", "5.279", "3.409"}));
    EXPECT_TRUE(d[5].isEmpty());
}

TEST(Q5Surface, OrientationAndMaterialTables) {
    EXPECT_DOUBLE_EQ(*ConvectiveFactor(QStringLiteral("Горизонталь.")), 3.3);
    EXPECT_DOUBLE_EQ(*ConvectiveFactor(QStringLiteral("цилиндр.")), 2.95);
    EXPECT_FALSE(ConvectiveFactor(QString()).has_value());
    EXPECT_EQ(RadiationCoefficient(QStringLiteral("Штукатурка")), 4.95f);
    EXPECT_EQ(RadiationCoefficient(QStringLiteral("Алюминий")), 2.6f);
    EXPECT_EQ(RadiationCoefficient(QStringLiteral("Дерево")), 0.0f);
    // a horizontal brick surface: 3.3 x 30^0.25 = 7.723, 5.3 x 35.196 / 30 = 6.218
    QStringList c = Surface(2, "4", "50", "20", QStringLiteral("Горизонталь."), QStringLiteral("Кирпич"));
    ComputeQ5Surface(c, 2);
    EXPECT_EQ(c[Q5Cell(2, Convective)], "7.723");
    EXPECT_EQ(c[Q5Cell(2, Radiative)], "6.218");
    EXPECT_EQ(c[Q5Cell(2, SurfaceLoss)], "1.673");  // 30 x 4 x 13.941 / 1000
}

TEST(Q5Surface, EqualTemperaturesClearTheResultCellsAndAddNothing) {
    // surface 3 was calculated at 50 °C, then switched off (its temperature set to the air's)
    QStringList c = Surface(1, "10", "50", "20", kVertical, kSteel);
    c = Surface(3, "10", "50", "20", kVertical, kSteel, c);
    ComputeQ5(c, 1000);
    ASSERT_EQ(c[Q5Cell(3, SurfaceLoss)], "3.409");
    ASSERT_EQ(c[kQ5TotalCell], "6.818");
    c[Q5Cell(3, SurfaceTemp)] = "20";
    const QStringList before = c;
    ComputeQ5(c, 1000);
    for (Q5Column col : {Convective, Radiative, SurfaceLoss}) EXPECT_TRUE(c[Q5Cell(3, col)].isEmpty()) << col;
    EXPECT_EQ(c[kQ5TotalCell], before[Q5Cell(1, SurfaceLoss)]);  // only surface 1 counts
    EXPECT_EQ(c[Q5Cell(3, Area)], "10");                          // the inputs stay
    // an empty surface reads 0 and 0: skipped as well
    QStringList empty(kQ5CellCount);
    ComputeQ5(empty, 0);
    for (int i = 0; i < kQ5TotalCell; ++i) EXPECT_TRUE(empty[i].isEmpty()) << i;
    EXPECT_EQ(empty[kQ5TotalCell], "0");
}

TEST(Q5Surface, NoMaterialGivesNoRadiationAndNoOrientationKeepsTheConvectiveCell) {
    QStringList c = Surface(1, "10", "50", "20", kVertical, QString());
    ComputeQ5Surface(c, 1);
    EXPECT_EQ(c[6], "0");
    EXPECT_EQ(c[7], "1.826");  // 30 x 10 x 6.085 / 1000 = 1.8255, half to even
    QStringList d = Surface(1, "10", "50", "20", QString(), kSteel);
    d[5] = "2";  // typed by the user: used as it stands
    ComputeQ5Surface(d, 1);
    EXPECT_EQ(d[5], "2");
    EXPECT_EQ(d[6], "5.279");
    EXPECT_EQ(d[7], "2.184");  // 30 x 10 x 7.279 / 1000
}

TEST(Q5Surface, ColderSurfaceGainsHeatWithoutFailing) {
    QStringList c = Surface(1, "10", "10", "20", kVertical, kSteel);
    ComputeQ5Surface(c, 1);
    EXPECT_EQ(c[5], "4.624");  // 2.6 x 10^0.25
    const double al = FieldValue(c[6]);
    EXPECT_GT(al, 4.0);
    EXPECT_LT(al, 5.0);
    EXPECT_LT(FieldValue(c[7]), 0);
    EXPECT_EQ(c[7], RoundedText(-10 * 10 * (al + 4.624) * 0.001, 3));
    ComputeQ5Totals(c, 100);
    EXPECT_EQ(c[64], c[7]);  // the total is the net loss
    EXPECT_LT(FieldValue(c[65]), 0);
    for (const QString& t : c) EXPECT_FALSE(t.contains("nan", Qt::CaseInsensitive) || t.contains("inf"));
}

TEST(Q5Totals, SumTheRoundedCellsAndKeepQ5WhenThereIsNoOutput) {
    // three surfaces of 0.0014 kW each: the cells show 0.001 and the total is 0.003, not 0.004
    QStringList c(kQ5CellCount);
    for (int s = 1; s <= 3; ++s) c = Surface(s, "0.0041", "50", "20", kVertical, kSteel, c);
    ComputeQ5(c, 930.233);
    EXPECT_EQ(c[7], "0.001");
    EXPECT_EQ(c[64], "0.003");
    EXPECT_EQ(c[65], "0");

    QStringList d = Surface(1, "10", "50", "20", kVertical, kSteel);
    d[65] = "1.5";
    ComputeQ5(d, 0);
    EXPECT_EQ(d[64], "3.409");
    EXPECT_EQ(d[65], "1.5");
    EXPECT_FALSE(UpdateQ5Percent(d, 0));
    ComputeQ5(d, 930.233);
    EXPECT_EQ(d[65], "0.366");  // 3.409 x 100 / 930.233
    d[64] = "9.302";  // the user's own total is what the percentage follows
    EXPECT_TRUE(UpdateQ5Percent(d, 930.233));
    EXPECT_EQ(d[65], "1");
}

TEST(Q5Files, NamesFollowTheRegimeNumber) {
    EXPECT_EQ(Q5FileName(QStringLiteral("Режим №  3.Dat")), QStringLiteral("Режим  3q5.txt"));
    EXPECT_EQ(Q5FileName(QStringLiteral("РЕЖИМ №  12.DAT")), QStringLiteral("Режим  12q5.txt"));
    EXPECT_EQ(Q5FileName(QStringLiteral("Режим старый.dat")), QStringLiteral("Режим старыйq5.txt"));
    EXPECT_EQ(*RegimeNumberOf(QStringLiteral("Режим №  7.Dat")), 7);
    EXPECT_FALSE(RegimeNumberOf(QStringLiteral("Режим.dat")).has_value());
    EXPECT_EQ(Q5ComboEntry(2), QStringLiteral("Режим  2"));
    EXPECT_EQ(Q5WorkbookName(QStringLiteral("Режим №  3.Dat")), QStringLiteral("q5 Режим 3.xlsx"));
}

TEST(Q5Files, SixtySixQuotedLinesWrittenAndReadBack) {
    QTemporaryDir dir;
    const QString name = Q5FileName(QStringLiteral("Режим №  2.Dat"));
    ASSERT_TRUE(WriteQ5File(dir.path(), name, QStringList(kQ5CellCount)));
    QByteArray expected;
    for (int i = 0; i < 66; ++i) expected += "\"\"\r\n";
    EXPECT_EQ(ReadBytes(core::JoinPath(dir.path(), QStringLiteral("Режим  2q5.txt"))), expected);

    QStringList cells = Surface(1, "10", "50", "20", kVertical, kSteel);
    ComputeQ5(cells, 930.233);
    ASSERT_TRUE(WriteQ5File(dir.path(), name, cells));
    const QByteArray bytes = ReadBytes(core::JoinPath(dir.path(), name));
    EXPECT_EQ(bytes.count("\r\n"), 66);
    EXPECT_TRUE(bytes.startsWith("\"10\"\r\n\"50\"\r\n\"20\"\r\n\"" + core::EncodeCp1251(kVertical) + "\"\r\n"));
    QStringList back;
    bool found = false;
    ASSERT_TRUE(ReadQ5File(dir.path(), name, back, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(back, cells);
}

TEST(Q5Files, MissingOrShortFilesEmptyTheCells) {
    QTemporaryDir dir;
    QStringList cells{"x"};
    bool found = true;
    ASSERT_TRUE(ReadQ5File(dir.path(), QStringLiteral("Режим  5q5.txt"), cells, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(cells, QStringList(kQ5CellCount));
    // a short file (found whatever its case) may have lost any of its lines: a read error
    // naming it, never cells read shifted
    WriteBytes(core::JoinPath(dir.path(), QStringLiteral("Режим  5q5.txt")), "\"12,5\"\n\"30\"\n");
    QString why;
    EXPECT_FALSE(ReadQ5File(dir.path(), QStringLiteral("режим  5Q5.TXT"), cells, &found, &why));
    EXPECT_TRUE(found);
    EXPECT_TRUE(why.contains(QStringLiteral("Режим  5q5.txt: в файле 2 строк, нужно 66"))) << why.toStdString();
    EXPECT_EQ(cells.size(), kQ5CellCount);
    EXPECT_TRUE(cells[0].isEmpty());
    // a folder that cannot take the file reports it
    EXPECT_FALSE(WriteQ5File(dir.filePath("missing"), QStringLiteral("Режим  5q5.txt"), cells));
}

namespace {

struct Q5RegimeFixture : ::testing::Test {
    TestHome home;
    app::AppState s;
    QString folder;
    void SetUp() override {
        home.apply(s);
        QStringList g = testing_support::HotWaterGasGeneral(QStringLiteral("Котельная"));
        g[object::Q5Mode] = object::kQ5EachRegime;
        folder = home.makeObject(QStringLiteral("Котельная"), g);
        s.setCurrentObject(QStringLiteral("Котельная"));
        s.general = g;
        ASSERT_TRUE(object::ReadUnits(folder, s.units));
        ASSERT_TRUE(regime::ReadRegimeCounters(s));
        regime::FillRegimeList(s);
        ASSERT_TRUE(regime::NewRegime(s));
        ASSERT_TRUE(regime::SaveRegimeInputs(s, completeRegime()));
    }
    // a hot-water gas regime that passes the data check; flow 100 ст.м3/h
    static QStringList completeRegime() {
        QStringList f(app::kInputCount, QStringLiteral(" 0"));
        const QList<QPair<int, QString>> v = {{0, "100"}, {1, "11"},   {2, "18"},   {11, "20"}, {12, "9"},
                                              {13, "5"},   {14, "38"},  {15, "2"},   {17, "134"}, {18, "18"},
                                              {22, "70"},  {23, "84.6"}, {41, "38.4"}};
        for (const auto& [k, t] : v) f[k] = t;
        return f;
    }
};

}  // namespace

TEST_F(Q5RegimeFixture, HeatOutputFromTheFuelFlowAndCalorificValue) {
    auto q = Q5HeatOutput(s);
    ASSERT_TRUE(q.has_value());
    EXPECT_DOUBLE_EQ(*q, 930.233);  // 100 x 8000 / 860
    s.units[0] = QStringLiteral("н.м3/час");
    EXPECT_DOUBLE_EQ(*Q5HeatOutput(s), 995.349);  // 107 x 8000 / 860 = 995.3488
    s.general[object::FuelType] = object::kDiesel;
    s.general[object::CalorificValue] = QStringLiteral("10200");
    s.general[object::FuelDensity] = QStringLiteral("0.85");
    s.units[7] = QStringLiteral("л/час");
    s.inputs[7] = 100;
    EXPECT_DOUBLE_EQ(*Q5HeatOutput(s), 1008.14);  // 85 kg/h x 10200 / 860 = 1008.1395
    s.general[object::FuelType] = QStringLiteral("Дрова");
    EXPECT_FALSE(Q5HeatOutput(s).has_value());
}

TEST_F(Q5RegimeFixture, ComputeRegimeWritesNothingAndTakeQ5RecalculatesTheRegime) {
    const QString regimeFile = s.currentRegimeFile;
    QStringList cells = Surface(1, "10", "50", "20", kVertical, kSteel);
    cells = Surface(2, "6", "60", "20", QStringLiteral("Цилиндр."), QStringLiteral("Алюминий"), cells);
    ASSERT_TRUE(WriteQ5File(folder, Q5FileName(regimeFile), cells));
    const QByteArray stored = ReadBytes(core::JoinPath(folder, Q5FileName(regimeFile)));
    Q5Computation c;
    ASSERT_TRUE(ComputeRegimeQ5(s, regimeFile, c));
    EXPECT_TRUE(c.fileFound);
    EXPECT_EQ(c.heatOutput, "930.233");
    EXPECT_EQ(c.cells[7], "3.409");
    EXPECT_FALSE(c.cells[15].isEmpty());
    EXPECT_EQ(c.cells[64], RoundedText(3.409f + static_cast<float>(FieldValue(c.cells[15])), 3));
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, Q5FileName(regimeFile))), stored);

    QStringList fields = completeRegime();
    const TakeQ5Outcome r = TakeQ5(s, fields, c.cells[65]);
    ASSERT_TRUE(r.saved);
    EXPECT_EQ(r.calc.outcome, regime::CalcOutcome::Calculated) << r.calc.message.toStdString();
    EXPECT_EQ(fields[42], c.cells[65]);
    EXPECT_FLOAT_EQ(s.inputs[42], static_cast<float>(FieldValue(c.cells[65])));
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(folder, regimeFile), lines));
    EXPECT_FLOAT_EQ(lines[42].toFloat(), s.inputs[42]);
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(folder, regime::kResultsPrefix + regimeFile), lines));
    EXPECT_FLOAT_EQ(lines[7].toFloat(), static_cast<float>(core::RoundHalfEven(FieldValue(c.cells[65]), 3)));
    EXPECT_GT(lines[0].toFloat(), 0);  // calculated: the load is there
}

TEST_F(Q5RegimeFixture, TakeQ5WithAFailedCheckSavesButLeavesTheResults) {
    QStringList fields = completeRegime();
    fields[17] = "0";  // no flue-gas temperature
    QStringList notices;
    const TakeQ5Outcome r = TakeQ5(s, fields, "1.25", [&](const QString& m) { notices.append(m); });
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(r.calc.outcome, regime::CalcOutcome::CheckFailed);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_FLOAT_EQ(s.inputs[42], 1.25f);
    QStringList results;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(folder, s.currentResultsFile), results));
    EXPECT_EQ(results[7], "0");
    // a regime file that cannot be written ends the command before the calculation
    s.setCurrentRegime(QStringLiteral("нет/такого.Dat"));
    EXPECT_FALSE(TakeQ5(s, fields, "1").saved);
}

TEST_F(Q5RegimeFixture, DeletingTheQ5FileOfARegime) {
    const QString regimeFile = s.currentRegimeFile;
    EXPECT_TRUE(DeleteQ5File(folder, regimeFile));  // none: nothing to do
    ASSERT_TRUE(WriteQ5File(folder, Q5FileName(regimeFile), QStringList(kQ5CellCount)));
    ASSERT_TRUE(QFile::exists(core::JoinPath(folder, Q5FileName(regimeFile))));
    EXPECT_TRUE(DeleteQ5File(folder, regimeFile));
    EXPECT_FALSE(QFile::exists(core::JoinPath(folder, Q5FileName(regimeFile))));
}

TEST(Q5Workbook, NumbersStayNumbers) {
    QTemporaryDir dir;
    QStringList cells = Surface(1, "10", "50", "20", kVertical, kSteel);
    cells = Surface(2, "2.5", "45", "20", QStringLiteral("Горизонталь."), QStringLiteral("Кирпич"), cells);
    ComputeQ5(cells, 930.233);
    const Q5Export e{QStringLiteral("Котельная школы №3"), QStringLiteral("Режим №  3.Dat"), Q5ComboEntry(2),
                     QStringLiteral("930.233"), cells};
    const QString path = dir.filePath(Q5WorkbookName(e.regime));
    QString error;
    ASSERT_TRUE(ExportQ5Xlsx(path, e, &error)) << error.toStdString();
    const auto sheet = testing_support::ReadSheet(path);
    EXPECT_EQ(sheet.value("B2").text, QStringLiteral("Котельная школы №3"));
    EXPECT_EQ(sheet.value("B3").text, QStringLiteral("Режим № 3.Dat"));
    EXPECT_TRUE(sheet.value("B4").number);
    EXPECT_DOUBLE_EQ(sheet.value("B4").value, 930.233);
    EXPECT_EQ(sheet.value("G6").text, QStringLiteral("αк, Вт/(м2·К)"));
    EXPECT_EQ(sheet.value("A7").text, QStringLiteral("Поверхность 1"));
    EXPECT_TRUE(sheet.value("B7").number);
    EXPECT_DOUBLE_EQ(sheet.value("B7").value, 10);
    EXPECT_EQ(sheet.value("E7").text, kVertical);
    EXPECT_EQ(sheet.value("F8").text, QStringLiteral("Кирпич"));
    EXPECT_DOUBLE_EQ(sheet.value("G7").value, 6.085);
    EXPECT_DOUBLE_EQ(sheet.value("I7").value, 3.409);
    EXPECT_TRUE(sheet.value("I8").number);
    EXPECT_FALSE(sheet.contains("B9"));  // an empty surface stays empty
    EXPECT_DOUBLE_EQ(sheet.value("I15").value, FieldValue(cells[64]));
    EXPECT_DOUBLE_EQ(sheet.value("I16").value, FieldValue(cells[65]));
    EXPECT_EQ(sheet.value("H16").text, QStringLiteral("q5, %"));
    // replacing keeps one file; a folder that does not exist is reported
    ASSERT_TRUE(ExportQ5Xlsx(path, e));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(ExportQ5Xlsx(dir.filePath("missing/x.xlsx"), e, &error));
    EXPECT_FALSE(error.isEmpty());
    // a file of the user's beside the target, named as a temporary file might be, is never
    // taken, and a failed write keeps the old workbook byte for byte
    testing_support::WriteBytes(path + ".part", "mine");
    const QByteArray before = testing_support::ReadBytes(path);
    ASSERT_TRUE(ExportQ5Xlsx(path, e));
    EXPECT_EQ(testing_support::ReadBytes(path + ".part"), QByteArray("mine"));
    core::SetWriteFaultHook([](const char* step) { return std::string_view(step) == "write" ? ENOSPC : 0; });
    EXPECT_FALSE(ExportQ5Xlsx(path, e, &error));
    core::SetWriteFaultHook({});
    EXPECT_TRUE(error.contains(QStringLiteral("нет места на диске"))) << error.toStdString();
    EXPECT_EQ(testing_support::ReadBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
