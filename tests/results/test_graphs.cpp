#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <tuple>

#include "core/names.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "results/graphcatalogue.h"
#include "results/plotter.h"
#include "results/xlsxexport.h"
#include "support/testdirs.h"

using namespace results;
using namespace object;

namespace {

QStringList General(const QString& boiler, const QString& fuel, const QString& economiser) {
    QStringList g(kGeneralCount);
    g[BoilerType] = boiler;
    g[FuelType] = fuel;
    g[Economiser] = economiser;
    g[HeatOutputUnit] = QStringLiteral("кВт");
    return g;
}

QStringList Keys(const QList<GraphEntry>& l) {
    QStringList k;
    for (const auto& e : l) k.append(e.key);
    return k;
}

const GraphEntry* Find(const QList<GraphEntry>& l, const QString& key) {
    for (const auto& e : l)
        if (e.key == key) return &e;
    return nullptr;
}

GraphData Points(std::initializer_list<std::pair<float, float>> xy) {
    GraphData d;
    for (auto [x, y] : xy) {
        d.x.append(x);
        d.y.append(y);
        d.regimes.append(QStringLiteral("Режим"));
    }
    return d;
}

}  // namespace

TEST(GraphKeys, ParsingExamples) {
    app::GraphSelection s;
    ASSERT_TRUE(ChooseGraph("R4 R3", s));
    EXPECT_EQ(s.ySource, "R");
    EXPECT_EQ(s.yIndex, 4);
    EXPECT_EQ(s.xSource, "R");
    EXPECT_EQ(s.xIndex, 3);
    EXPECT_TRUE(s.chosen);
    ASSERT_TRUE(ChooseGraph(" P19 P9 ", s));
    EXPECT_EQ(QStringList({s.ySource, s.xSource}), QStringList({"P", "P"}));
    EXPECT_EQ(s.yIndex, 19);
    EXPECT_EQ(s.xIndex, 9);
    ASSERT_TRUE(ChooseGraph("r13 p32", s));  // letters compared ignoring case
    EXPECT_EQ(s.ySource, "R");
    EXPECT_EQ(s.yIndex, 13);
    EXPECT_EQ(s.xSource, "P");
    EXPECT_EQ(s.xIndex, 32);
    // refused keys leave the selection as it was
    for (const char* bad : {"", "R4", "X4 R3", "R26 R3", "P43 R3", "R R3", "R4 R99999"}) {
        EXPECT_FALSE(ChooseGraph(QString::fromUtf8(bad), s)) << bad;
        EXPECT_EQ(s.yIndex, 13);
    }
}

TEST(GraphCatalogue, SteamDieselWithoutEconomiserHas19Entries) {
    QStringList units = DefaultUnits();
    units[9] = "bar";
    units[19] = QStringLiteral("Па");
    units[30] = QStringLiteral("делений");
    const auto l = BuildGraphList(General(kSteamBoiler, kDiesel, kWithoutEconomiser), units);
    EXPECT_EQ(Keys(l), QStringList({"R4 R16", "R5 R16", "R7 R16", "R6 R16", "R13 R16", "R13 P32", "R14 R16", "R15 R16",
                                    "R9 R16", "P17 R16", "P9 R16", "P19 P9", "P19 R16", "R17 R16", "R18 R16", "R20 R16",
                                    "R21 R16", "R23 R16", "R24 R16"}));
    EXPECT_EQ(Find(l, "R4 R16")->yCaption, QStringLiteral("КПД брутто котла, %"));
    EXPECT_EQ(Find(l, "R4 R16")->xCaption, QStringLiteral("Паропроизводительность, т/час"));
    EXPECT_EQ(Find(l, "R13 P32")->xCaption, QStringLiteral("Положение сервопривода, делений"));
    EXPECT_EQ(Find(l, "P19 P9")->yCaption, QStringLiteral("Давление воздуха на горелке, Па"));
    EXPECT_EQ(Find(l, "P19 P9")->xCaption, QStringLiteral("Давление топлива на форсунке, bar"));
    EXPECT_EQ(Find(l, "R17 R16")->yCaption, QStringLiteral("Содерж. СО в продуктах сгорания, ppm"));
    EXPECT_EQ(Find(l, "R15 R16")->yCaption,
              QStringLiteral("Уд. расход усл. топлива на 1 Гкал тепла, кг.у.т/1Гкал"));
    EXPECT_EQ(Find(l, "R5 R16")->picture, 3);
}

TEST(GraphCatalogue, HotWaterWithUnknownFuel) {
    const QStringList units = DefaultUnits();
    const auto with = BuildGraphList(General(kHotWaterBoiler, QStringLiteral("Уголь"), kWithEconomiser), units);
    const auto without = BuildGraphList(General(kHotWaterBoiler, QStringLiteral("Уголь"), kWithoutEconomiser), units);
    EXPECT_EQ(with.size(), 17);
    EXPECT_EQ(without.size(), 15);
    for (const auto& e : with) {
        EXPECT_FALSE(e.key.startsWith("R12") || e.key.startsWith("R13") || e.key.startsWith("P5 ") ||
                     e.key.startsWith("P9 ") || e.key.endsWith("P5") || e.key.endsWith("P9"))
            << e.key.toStdString();
    }
    EXPECT_NE(Find(with, "P19 R3"), nullptr);
    EXPECT_NE(Find(with, "R19 R3"), nullptr);
    EXPECT_NE(Find(with, "P40 R3"), nullptr);
    EXPECT_EQ(Find(with, "R4 R3")->xCaption, QStringLiteral("Теплопроизводительность, кВт"));
    // any boiler type but the steam one gets the hot-water catalogue
    const auto other = BuildGraphList(General(QStringLiteral("Прочее"), kNaturalGas, kWithoutEconomiser), units);
    EXPECT_EQ(other.first().key, "R4 R3");
    EXPECT_EQ(Find(other, "P5 R3")->yCaption, QStringLiteral("Давление газа на горелке, mbar"));
}

TEST(Plotter, RangesAndPositionsOfThreePoints) {
    const GraphData d = Points({{1, 90}, {2, 92}, {3, 91}});
    const double W = 7935, H = 5175;
    const Ranges r = ComputeRanges(d, W, H);
    EXPECT_FLOAT_EQ(r.maxX, 3);
    EXPECT_FLOAT_EQ(r.minX, 1);
    EXPECT_FLOAT_EQ(r.upperX, 3.2f);
    EXPECT_FLOAT_EQ(r.lowerX, 0.8f);
    EXPECT_FLOAT_EQ(r.maxY, 92);
    EXPECT_FLOAT_EQ(r.minY, 90);
    EXPECT_FLOAT_EQ(r.upperY, 92.2f);
    EXPECT_FLOAT_EQ(r.lowerY, 89.8f);
    EXPECT_NEAR(PointX(r, 2, W), W / 2, 0.01);
    EXPECT_NEAR(PointY(r, 92, H), H - 2.2 / 2.4 * H, 0.05);
    const QLocale c = QLocale::c();
    EXPECT_EQ(ScaleValuesX(r, c), QStringList({" 0.8", " 1.28", " 1.76", " 2.24", " 2.72", " 3.2"}));
    EXPECT_EQ(ScaleValuesY(r, c), QStringList({" 92.2", " 91.72", " 91.24", " 90.76", " 90.28", " 89.8"}));
    EXPECT_EQ(ScaleValuesX(r, QLocale(QLocale::Russian)).at(1), " 1,28");
}

// The graph windows' scales: five equal round steps that hold every point with its margin,
// and six scale values without float noise.
TEST(Plotter, GraphWindowScalesHaveFiveRoundSteps) {
    const double W = 640, H = 400;
    const QList<QList<std::pair<float, float>>> cases = {
        {{0.25f, 88.25f}, {0.5f, 88.8f}, {0.53f, 88.3f}},
        {{1, 90}, {2, 92}, {3, 91}},
        {{120, -3.5f}, {980, 12.25f}},
        {{1e-4f, 1e5f}, {3e-4f, 3e5f}},
    };
    for (const auto& points : cases) {
        GraphData d;
        for (auto [x, y] : points) {
            d.x.append(x);
            d.y.append(y);
            d.regimes.append(QStringLiteral("Режим"));
        }
        const Ranges plain = ComputeRanges(d, W, H);
        const Ranges r = GraphRanges(d, W, H);
        for (auto [lo, hi, plainLo, plainHi] : {std::tuple{r.lowerX, r.upperX, plain.lowerX, plain.upperX},
                                                std::tuple{r.lowerY, r.upperY, plain.lowerY, plain.upperY}}) {
            EXPECT_LE(lo, plainLo);
            EXPECT_GE(hi, plainHi);
            const double step = (double(hi) - lo) / 5;
            const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-6));
            const double m = step / power;
            EXPECT_TRUE(std::abs(m - 1) < 1e-4 || std::abs(m - 2) < 1e-4 || std::abs(m - 2.5) < 1e-4 ||
                        std::abs(m - 5) < 1e-4)
                << step;
            EXPECT_NEAR(lo / step, std::round(lo / step), 1e-3) << lo << " " << step;
            // no more than twice the plain range: the curve keeps its room
            EXPECT_LE(double(hi) - lo, 2.5 * (double(plainHi) - plainLo));
        }
        for (int k = 0; k < d.x.size(); ++k) {
            EXPECT_GE(PointX(r, d.x[k], W), 0);
            EXPECT_LE(PointX(r, d.x[k], W), W);
            EXPECT_GE(PointY(r, d.y[k], H), 0);
            EXPECT_LE(PointY(r, d.y[k], H), H);
        }
    }
    const QLocale c = QLocale::c();
    // worked by hand: x 0.8 .. 3.2 needs steps of 0.5 from 0.5 (to 3.0, short) or of 1 from 0;
    // y 89.8 .. 92.2 in the same way from 89, top to bottom
    const Ranges three = GraphRanges(Points({{1, 90}, {2, 92}, {3, 91}}), W, H);
    EXPECT_EQ(ScaleValuesX(three, c), QStringList({" 0", " 1", " 2", " 3", " 4", " 5"}));
    EXPECT_EQ(ScaleValuesY(three, c), QStringList({" 94", " 93", " 92", " 91", " 90", " 89"}));
    const QStringList xs = ScaleValuesX(GraphRanges(Points({{0.25f, 88.25f}, {0.5f, 88.8f}, {0.53f, 88.3f}}), W, H), c);
    for (const QString& v : xs) EXPECT_LE(v.trimmed().size(), 4) << v.toStdString();
    // a single point keeps its plain range
    const Ranges one = GraphRanges(Points({{4, 7}}), W, H);
    EXPECT_DOUBLE_EQ(PointX(one, 4, W), W / 2);
}

TEST(Plotter, SinglePointEqualAndUnsortedX) {
    const double W = 100, H = 50;
    Ranges r = ComputeRanges(Points({{4, 7}}), W, H);
    EXPECT_FLOAT_EQ(r.scaleX, 0);
    EXPECT_FLOAT_EQ(r.scaleY, 0);
    EXPECT_DOUBLE_EQ(PointX(r, 4, W), W / 2);
    EXPECT_DOUBLE_EQ(PointY(r, 7, H), H / 2);
    for (const QString& v : ScaleValuesX(r, QLocale::c())) EXPECT_EQ(v, " 4");
    for (const QString& v : ScaleValuesY(r, QLocale::c())) EXPECT_EQ(v, " 7");

    r = ComputeRanges(Points({{10, 1}, {5, 2}}), W, H);
    EXPECT_FLOAT_EQ(r.upperX, 10.5f);
    EXPECT_FLOAT_EQ(r.lowerX, 4.5f);
    EXPECT_NEAR(PointX(r, 10, W), 11.0 / 12 * W, 1e-3);
    EXPECT_NEAR(PointX(r, 5, W), W / 12, 1e-3);

    r = ComputeRanges(Points({{3, 1}, {3, 2}, {3, 5}}), W, H);
    EXPECT_FLOAT_EQ(r.scaleX, 0);
    EXPECT_DOUBLE_EQ(PointX(r, 3, W), W / 2);
}

TEST(Plotter, ScaleTextsAndMeans) {
    const QLocale c = QLocale::c();
    EXPECT_EQ(ScaleText(-0.0004, c), " 0");  // rounds to zero, no minus sign
    EXPECT_EQ(ScaleText(-1.5, c), "-1.5");
    EXPECT_EQ(ScaleText(1.0005, c), " 1");   // 1.0005 is just below the tie in binary
    EXPECT_EQ(ScaleText(2.0625, c), " 2.062");  // an exact tie goes to even
    EXPECT_EQ(ScaleText(1234.5, c), " 1234.5");
    EXPECT_EQ(MeanText({}, c), QStringLiteral("Сред."));
    EXPECT_EQ(MeanText({90, 92, 91.5f}, c), "91.17");
    EXPECT_EQ(MeanText({1.125f, 1.125f}, c), "1.12");
    // an empty graph has zero ranges and no division by zero
    const Ranges r = ComputeRanges(GraphData(), 10, 10);
    EXPECT_FLOAT_EQ(r.scaleX, 0);
}

TEST(Plotter, CollectsTickedRegimesThroughPrivateArrays) {
    testing_support::TestHome home;
    app::AppState s;
    home.apply(s);
    home.makeObject("Obj", testing_support::HotWaterGasGeneral("Obj"));
    s.setCurrentObject("Obj");
    ASSERT_TRUE(regime::ReadRegimeCounters(s));
    object::LoadObjectUnits(s.currentObjectFolder, s.templateFolder, s.units);
    s.general = testing_support::HotWaterGasGeneral("Obj");
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(regime::NewRegime(s));
        QStringList fields = testing_support::MeasuredGasRegimeFields();
        fields[17] = QString::number(100 + i);
        ASSERT_TRUE(regime::SaveRegimeInputs(s, fields));
        s.results.fill(0);
        s.results[0] = 10.0f * (4 - i);  // loads 30, 20, 10
        s.results[4] = 90.0f + i;
        ASSERT_TRUE(regime::SaveRegimeResults(s));
    }
    ASSERT_TRUE(regime::FillRegimeList(s).isEmpty());
    s.regimeList.rows[1].ticked = false;
    s.regimeList.rows[0].selected = true;
    s.setCurrentRegime(s.regimeList.rows[0].key);
    s.inputs.fill(-1);
    ASSERT_TRUE(ChooseGraph("R4 P17", s.graph));
    GraphData d;
    ASSERT_TRUE(CollectGraphData(s, d));
    EXPECT_EQ(d.y, QList<float>({93, 91}));    // list order (by load), unticked row skipped
    EXPECT_EQ(d.x, QList<float>({103, 101}));
    EXPECT_EQ(s.currentRegimeFile, s.regimeList.rows[0].key);
    EXPECT_FLOAT_EQ(s.inputs[0], -1);           // the editor's arrays are untouched
    QFile::remove(core::JoinPath(s.currentObjectFolder, regime::kResultsPrefix + s.regimeList.rows[2].key));
    QString error;
    EXPECT_FALSE(CollectGraphData(s, d, &error));
    EXPECT_FALSE(error.isEmpty());
    s.graph.chosen = false;
    EXPECT_FALSE(CollectGraphData(s, d));
}

TEST(Workbook, HoldsTheTableAndAScatterChart) {
    QTemporaryDir dir;
    GraphExport g{QStringLiteral("Котельная №1"), QStringLiteral("КПД брутто, %"),
                  QStringLiteral("Теплопроизводительность, кВт"), Points({{301.5f, 92.1f}, {650, 91.8f}})};
    const QString path = dir.filePath(GraphFileName(g.yCaption, "xlsx"));
    EXPECT_TRUE(path.endsWith(QStringLiteral("КПД брутто.xlsx")));
    QString error;
    ASSERT_TRUE(ExportGraphXlsx(path, g, &error)) << error.toStdString();
    auto unzip = [&](const QString& part) {
        QProcess p;
        p.start("unzip", {"-p", path, part});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString sheet = unzip("xl/worksheets/sheet1.xml");
    const QString strings = unzip("xl/sharedStrings.xml");
    const QString chart = unzip("xl/charts/chart1.xml");
    EXPECT_TRUE(strings.contains(QStringLiteral("Котельная №1")));
    EXPECT_TRUE(strings.contains(QStringLiteral("Теплопроизводительность, кВт")));
    EXPECT_TRUE(sheet.contains("<v>301.5</v>"));
    EXPECT_TRUE(sheet.contains("<v>650</v>"));
    EXPECT_TRUE(chart.contains("scatterChart"));
    EXPECT_TRUE(chart.contains(QStringLiteral("$B$6:$B$7")));
    EXPECT_TRUE(chart.contains(QStringLiteral("$C$6:$C$7")));
    EXPECT_TRUE(chart.contains(QStringLiteral("КПД брутто, %")));
    QProcess test;
    test.start("unzip", {"-tq", path});
    test.waitForFinished();
    EXPECT_EQ(test.exitCode(), 0);
    // no part file is left, and a folder that does not exist is reported
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(ExportGraphXlsx(dir.filePath("missing/x.xlsx"), g, &error));
}

namespace {

// Stored values are single precision; the workbook gets the double of the shortest decimal
// that reads back as the same float (what Excel holds when the user types 627.78), never the
// float's binary noise 627.780029296875.
TEST(Workbook, NumbersInTheirStoredFormWithoutFloatNoise) {
    QTemporaryDir dir;
    const QList<std::pair<float, float>> points = {{627.78f, 91.51f}, {0.1f, 1021.51f}, {1e-5f, -3.3f}};
    const char* shortest[] = {"627.78", "91.51", "0.1", "1021.51", "1e-05", "-3.3"};
    GraphExport g{QStringLiteral("О"), QStringLiteral("Y"), QStringLiteral("X"),
                  Points({points[0], points[1], points[2]})};
    const QString path = dir.filePath(QStringLiteral("n.xlsx"));
    ASSERT_TRUE(ExportGraphXlsx(path, g));
    QProcess p;
    p.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
    p.waitForFinished();
    const QString sheet = QString::fromUtf8(p.readAllStandardOutput());
    QStringList cells;
    const QRegularExpression number(QStringLiteral("<c r=\"[BC][6-8]\"><v>([^<]*)</v>"));
    for (auto it = number.globalMatch(sheet); it.hasNext();) cells.append(it.next().captured(1));
    ASSERT_EQ(cells.size(), 6) << sheet.toStdString();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cells[i].toDouble(), std::strtod(shortest[i], nullptr)) << cells[i].toStdString();
        // what a spreadsheet shows (15 significant digits) is the stored decimal
        EXPECT_EQ(QString::number(cells[i].toDouble(), 'g', 15), QString::number(std::strtod(shortest[i], nullptr), 'g', 15));
    }
    EXPECT_FALSE(sheet.contains("627.780029")) << sheet.toStdString();
    EXPECT_FALSE(sheet.contains("0.100000001"));
    EXPECT_FALSE(sheet.contains("91.5100021"));
}

}  // namespace
