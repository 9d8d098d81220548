#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "report/reportmodel.h"
#include "report/reportxlsx.h"
#include "results/resultrows.h"
#include "support/testdirs.h"
#include "support/xlsxread.h"

using namespace testing_support;

namespace {

const QString kDemo = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты");

QString DemoObject(const QString& name) { return core::JoinPath(kDemo, name); }

// Copies an object folder of the demo into `dir` and returns the copy's folder.
QString CopyObject(const QTemporaryDir& dir, const QString& name) {
    const QString to = core::JoinPath(core::JoinPath(dir.path(), QStringLiteral("Все объекты")), name);
    QDir().mkpath(to);
    QDirIterator it(DemoObject(name), QDir::Files);
    while (it.hasNext()) {
        const QString f = it.next();
        QFile::copy(f, core::JoinPath(to, QFileInfo(f).fileName()));
    }
    return to;
}

struct StoredRegime {
    QString file;
    QStringList results;  // the 26 lines of its results file
};

// The regimes of an object folder in load order, read straight from the files.
QList<StoredRegime> StoredRegimes(const QString& folder) {
    QStringList files;
    core::ListFiles(folder, QStringLiteral("Режим*.dat"), files);
    QList<StoredRegime> list;
    for (const QString& f : files) {
        StoredRegime r{f, {}};
        core::ReadTextLines(core::JoinPath(folder, QStringLiteral("Расчет") + f), r.results);
        list.append(r);
    }
    std::stable_sort(list.begin(), list.end(), [](const StoredRegime& a, const StoredRegime& b) {
        return core::ParseNumber(a.results.value(0)) < core::ParseNumber(b.results.value(0));
    });
    return list;
}

// Row number (1-based) whose column A holds `caption`.
int FindRow(const QMap<QString, QString>& cells, const QString& caption) {
    for (auto it = cells.begin(); it != cells.end(); ++it)
        if (it.key().startsWith(u'A') && it.value() == caption && it.key().mid(1).toInt() > 0) return it.key().mid(1).toInt();
    return -1;
}

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KALVARO_CLI), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Sets regime input `input` of a regime file to `value` (the file keeps its other lines).
void SetInput(const QString& folder, const QString& file, int input, const QString& value) {
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(folder, file), lines));
    lines[input] = value;
    ASSERT_TRUE(core::WriteTextLines(core::JoinPath(folder, file), lines));
}

}  // namespace

TEST(ReportWorkbook, RegimeSheetHoldsTheStoredResultsInLoadOrder) {
    for (const QString& name : {QStringLiteral("Котельная школы №3"), QStringLiteral("Молокозавод, паровая котельная"),
                               QStringLiteral("ТЭЦ-2 водогрейный котел 4")}) {
        SCOPED_TRACE(name.toStdString());
        report::ReportModel m;
        QString error;
        ASSERT_TRUE(report::BuildReportForFolder(DemoObject(name), m, QDate(2026, 5, 14), &error)) << error.toStdString();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.xlsx"));
        ASSERT_TRUE(report::WriteReportXlsx(path, m, &error)) << error.toStdString();

        const QList<StoredRegime> stored = StoredRegimes(DemoObject(name));
        ASSERT_EQ(m.regimes.size(), stored.size());
        const auto cells = SheetCells(path, 1);
        const int head = FindRow(cells, QStringLiteral("Параметр"));
        ASSERT_GT(head, 0);
        const int eff = FindRow(cells, QStringLiteral("КПД обр")), q2 = FindRow(cells, QStringLiteral("q2")),
                  nox = FindRow(cells, QStringLiteral("NOx (α = 1,4)"));
        ASSERT_GT(eff, head);
        ASSERT_GT(q2, eff);
        ASSERT_GT(nox, q2);
        for (int i = 0; i < stored.size(); ++i) {
            SCOPED_TRACE(stored[i].file.toStdString());
            // the regime's title heads its column, in load order
            EXPECT_EQ(cells.value(CellRef(2 + i, head)), stored[i].file.chopped(4).simplified());
            // the cells read back as the stored decimals exactly, not as the float's binary
            // value (91.51f would read 91.51000213623047)
            EXPECT_EQ(cells.value(CellRef(2 + i, eff)).toDouble(), stored[i].results[4].toDouble());
            EXPECT_EQ(cells.value(CellRef(2 + i, q2)).toDouble(), stored[i].results[5].toDouble());
            EXPECT_EQ(cells.value(CellRef(2 + i, nox)).toDouble(), stored[i].results[18].toDouble());
        }
        // the object's header and one chart part per chart
        EXPECT_EQ(cells.value(QStringLiteral("B3")), name);
        const QStringList parts = ZipParts(path);
        EXPECT_TRUE(parts.contains(QStringLiteral("xl/charts/chart1.xml")));
        EXPECT_TRUE(parts.contains(QStringLiteral("xl/charts/chart2.xml")));
        EXPECT_FALSE(parts.contains(QStringLiteral("xl/charts/chart3.xml")));
        // the summary sheet: one row per regime and the mean row below
        const auto summary = SheetCells(path, 2);
        const int sumHead = FindRow(summary, QStringLiteral("Режим"));
        ASSERT_GT(sumHead, 0);
        EXPECT_EQ(summary.value(CellRef(0, sumHead + stored.size() + 1)), QStringLiteral("Среднее"));
        EXPECT_TRUE(summary.value(CellRef(2, sumHead)).startsWith(m.summaryColumns[1].caption + u','));
        const QString chart = QString::fromUtf8(ZipPart(path, QStringLiteral("xl/charts/chart1.xml")));
        EXPECT_TRUE(chart.contains(QStringLiteral("КПД брутто от производительности")));
    }
}

TEST(ReportModel, RowsFollowTheResultsDefinitionAndTheObject) {
    const QString name = QStringLiteral("Котельная школы №3");
    report::ReportModel m;
    ASSERT_TRUE(report::BuildReportForFolder(DemoObject(name), m, QDate(2026, 5, 14)));
    QStringList general;
    ASSERT_TRUE(core::ReadQuotedFile(core::JoinPath(DemoObject(name), "OData.txt"), 19, general));
    const QList<results::ResultRow> definition = results::BuildResultRows(general);
    QList<report::SheetRow> resultRows;
    QStringList inputCaptions;
    for (const auto& r : m.regimeRows) {
        if (r.kind == report::RowKind::Result && r.key != u"load") resultRows.append(r);
        if (r.kind == report::RowKind::Input) inputCaptions.append(r.caption);
    }
    ASSERT_EQ(resultRows.size(), definition.size());
    for (int i = 0; i < definition.size(); ++i) {
        EXPECT_EQ(resultRows[i].key, definition[i].key);
        EXPECT_TRUE(resultRows[i].caption.startsWith(definition[i].caption));
        EXPECT_EQ(resultRows[i].unit, definition[i].unit);
    }
    // a gas-fired hot-water boiler: gas and water inputs, no liquid-fuel or steam inputs
    EXPECT_TRUE(inputCaptions.contains(QStringLiteral("Давление газа на горелке")));
    EXPECT_TRUE(inputCaptions.contains(QStringLiteral("Температура воды на выходе из котла")));
    EXPECT_FALSE(inputCaptions.contains(QStringLiteral("Давление топлива на форсунке горелки")));
    EXPECT_FALSE(inputCaptions.contains(QStringLiteral("Давление пара в котле (избыточное)")));
    // the units come from the object's unit texts
    for (const auto& r : m.regimeRows)
        if (r.key == u"P0") {
            EXPECT_EQ(r.unit, QStringLiteral("м3/час"));
        }

    // emissions at 3 % O2 are the computed ones times 1.2, rounded to one decimal
    for (const auto& r : m.regimeRows) {
        if (r.kind != report::RowKind::Converted) continue;
        const int slot = r.key.startsWith(u"CO") ? 17 : 18;
        for (int c = 0; c < m.regimes.size(); ++c) {
            ASSERT_TRUE(r.values[c].has_value());
            EXPECT_FLOAT_EQ(*r.values[c], static_cast<float>(core::RoundHalfEven(m.regimes[c].results[slot] * 1.2, 1)));
        }
    }
    // the mean row is the mean over the regimes, and each chart has one point per regime
    ASSERT_EQ(m.charts.size(), 2);
    EXPECT_EQ(m.charts[0].data.x.size(), m.regimes.size());
    double sum = 0;
    for (const auto& row : m.summary) sum += *row.values[2];
    EXPECT_FLOAT_EQ(*m.summaryMean[2], static_cast<float>(core::RoundHalfEven(sum / m.summary.size(), 2)));
    // the header names the fuel with its calorific value and CO2max
    bool fuel = false;
    for (const auto& h : m.header)
        if (h.caption == u"Топливо") fuel = h.value == QStringLiteral("Природный газ;  Qн = 8000 ккал/ст.м3,  CO2max = 11.8 %");
    EXPECT_TRUE(fuel);
}

TEST(ReportModel, ARegimeFailingTheCheckShowsItsMessageAndNoResults) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    SetInput(folder, QStringLiteral("Режим №  2.Dat"), 0, QStringLiteral("0"));  // no gas flow
    report::ReportModel m;
    ASSERT_TRUE(report::BuildReportForFolder(folder, m, QDate(2026, 5, 14)));
    EXPECT_EQ(m.calculatedCount(), m.regimes.size() - 1);
    int failed = -1;
    for (int c = 0; c < m.regimes.size(); ++c)
        if (!m.regimes[c].calculated) failed = c;
    ASSERT_GE(failed, 0);
    EXPECT_EQ(m.regimes[failed].file, QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(m.regimes[failed].message, QStringLiteral("Нет данных по газу"));
    for (const auto& r : m.regimeRows) {
        if (r.kind == report::RowKind::Status) {
            EXPECT_TRUE(r.texts[failed].contains(QStringLiteral("Нет данных по газу")));
        } else if (r.kind == report::RowKind::Result || r.kind == report::RowKind::Converted) {
            EXPECT_FALSE(r.values[failed].has_value()) << r.caption.toStdString();
        } else if (r.kind == report::RowKind::Input) {
            EXPECT_TRUE(r.values[failed].has_value());
        }
    }
    // left out of the summary's means and of the graphs
    EXPECT_EQ(m.summary[failed].message, QStringLiteral("Нет данных по газу"));
    EXPECT_EQ(m.charts[0].data.x.size(), m.regimes.size() - 1);
    double sum = 0;
    int n = 0;
    for (const auto& row : m.summary)
        if (row.values[2]) sum += *row.values[2], ++n;
    EXPECT_EQ(n, m.regimes.size() - 1);
    EXPECT_FLOAT_EQ(*m.summaryMean[2], static_cast<float>(core::RoundHalfEven(sum / n, 2)));
}

TEST(ReportModel, OnlyTickedRegimesOfTheOpenListAreReported) {
    app::AppState s;
    s.objectsFolder = kDemo;
    s.setCurrentObject(QStringLiteral("Котельная школы №3"));
    ASSERT_TRUE(core::ReadQuotedFile(core::JoinPath(s.currentObjectFolder, "OData.txt"), 19, s.general));
    ASSERT_TRUE(core::ReadQuotedFile(core::JoinPath(s.currentObjectFolder, "Ediny.txt"), 31, s.units));
    for (const auto& r : StoredRegimes(s.currentObjectFolder)) s.regimeList.rows.append({r.file, r.results[0], true, false});
    s.regimeList.rows[1].ticked = false;
    report::ReportModel m;
    ASSERT_TRUE(report::BuildReport(s, m, QDate(2026, 5, 14)));
    ASSERT_EQ(m.regimes.size(), s.regimeList.rows.size() - 1);
    EXPECT_EQ(m.regimes[1].file, s.regimeList.rows[2].key);
    // a regime file that cannot be read fails the report
    s.regimeList.rows.append({QStringLiteral("Режим №  99.Dat"), QString(), true, false});
    QString error;
    EXPECT_FALSE(report::BuildReport(s, m, QDate(2026, 5, 14), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Режим №  99.Dat")));
}

TEST(ReportCli, WritesBothDocumentsAndReportsFailedChecks) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Молокозавод, паровая котельная"));
    CliRun r = Cli({"report", folder});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString xlsx = core::JoinPath(folder, report::kReportXlsx), pdf = core::JoinPath(folder, report::kReportPdf);
    ASSERT_TRUE(QFile::exists(xlsx));
    ASSERT_TRUE(QFile::exists(pdf));
    // the PDF opens, is A4 landscape, and its text holds the object and every efficiency
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("842 x 595")) || info.contains(QStringLiteral("841.89 x 595.276")))
        << info.toStdString();
    const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Молокозавод, паровая котельная")));
    EXPECT_TRUE(text.contains(QStringLiteral("Сводная ведомость режимов")));
    for (const StoredRegime& s : StoredRegimes(folder)) {
        const QString eff = core::LocaleForm(core::ParseNumber(s.results[4]), QLocale(QLocale::Russian));
        EXPECT_TRUE(text.contains(eff)) << eff.toStdString();
    }

    // a regime failing its check: documents written, exit code 3, the message in the PDF
    SetInput(folder, QStringLiteral("Режим №  3.Dat"), 28, QStringLiteral("0"));  // no steam pressure
    r = Cli({"report", folder, "--xlsx", dir.filePath("a.xlsx"), "--pdf", dir.filePath("a.pdf")});
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Нет данных по пару !")));
    // a narrow cell wraps its text; in content order the words still follow one another
    const QString failedText =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), dir.filePath("a.pdf"), QStringLiteral("-")})
            .simplified();
    EXPECT_TRUE(failedText.contains(QStringLiteral("Нет данных по пару"))) << failedText.toStdString();
    const auto summary = SheetCells(dir.filePath("a.xlsx"), 2);
    bool marked = false;
    for (const QString& v : summary) marked |= v == QStringLiteral("Расчет не выполнен: Нет данных по пару");
    EXPECT_TRUE(marked);
}

TEST(ReportCli, RefusesBadUsageAndReportsFileErrors) {
    EXPECT_EQ(Cli({"report"}).code, 2);
    EXPECT_EQ(Cli({"report", DemoObject("Котельная школы №3"), "--bogus", "x"}).code, 2);
    QTemporaryDir dir;
    const CliRun missing = Cli({"report", dir.filePath("nothing here")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(missing.err.isEmpty());
    // an output folder that does not exist: a file error, and nothing is claimed
    const CliRun unwritable = Cli({"report", DemoObject("Котельная школы №3"), "--xlsx", dir.filePath("no/such/a.xlsx"),
                                   "--pdf", dir.filePath("a.pdf")});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.pdf")));
    // an existing workbook is replaced whole
    WriteBytes(dir.filePath("b.xlsx"), "old");
    ASSERT_EQ(Cli({"report", DemoObject("Котельная школы №3"), "--xlsx", dir.filePath("b.xlsx"), "--pdf",
                   dir.filePath("b.pdf")})
                  .code,
              0);
    EXPECT_TRUE(ReadBytes(dir.filePath("b.xlsx")).startsWith("PK"));
}
