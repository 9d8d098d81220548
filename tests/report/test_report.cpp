#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/emissionnorms.h"
#include "object/generaldata.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "report/carddata.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"
#include "results/resultrows.h"
#include "store/objectstore.h"
#include "support/testdirs.h"
#include "support/xlsxread.h"
#include "tuning/tuning.h"

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
        // the card holds one regime per load step, the annex the others: each regime once
        EXPECT_EQ(m.cardColumns.size() + m.annexColumns.size(), stored.size());
        EXPECT_EQ(m.cardColumns.size(), m.steps.size());
        const auto cells = SheetCells(path, 1);
        auto checkSheet = [&](const QMap<QString, QString>& sheet, const QList<int>& columns) {
            const int head = FindRow(sheet, QStringLiteral("Параметр"));
            ASSERT_GE(head, 0);
            const int eff = FindRow(sheet, QStringLiteral("КПД котла брутто по обратному балансу")),
                      q2 = FindRow(sheet, QStringLiteral("Потери тепла с уходящими газами q2")),
                      nox = FindRow(sheet, QStringLiteral("Концентрация NOx в уходящих газах (при α = 1,4)"));
            ASSERT_GT(eff, head);
            ASSERT_GT(q2, eff);
            ASSERT_GT(nox, q2);
            for (int i = 0; i < columns.size(); ++i) {
                const StoredRegime& r = stored[columns[i]];
                SCOPED_TRACE(r.file.toStdString());
                if (i > 0) EXPECT_LT(columns[i - 1], columns[i]);  // in load order
                // the regime's title heads its column
                EXPECT_EQ(sheet.value(CellRef(2 + i, head)), r.file.chopped(4).simplified());
                // the cells read back as the stored decimals exactly, not as the float's binary
                // value (91.51f would read 91.51000213623047)
                EXPECT_EQ(sheet.value(CellRef(2 + i, eff)).toDouble(), r.results[4].toDouble());
                EXPECT_EQ(sheet.value(CellRef(2 + i, q2)).toDouble(), r.results[5].toDouble());
                EXPECT_EQ(sheet.value(CellRef(2 + i, nox)).toDouble(), r.results[18].toDouble());
            }
        };
        checkSheet(cells, m.cardColumns);
        if (!m.annexColumns.isEmpty()) {
            const auto annex = SheetCells(path, 3);
            EXPECT_EQ(annex.value(CellRef(0, 1)), report::kAnnexTitle);
            checkSheet(annex, m.annexColumns);
            // the card's operating rows stay on the card
            EXPECT_LT(FindRow(annex, QStringLiteral("Содержание O2 за котлом (уставка регулятора)")), 0);
        }
        // the object's header and one chart part per chart
        EXPECT_EQ(cells.value(CellRef(1, FindRow(cells, QStringLiteral("Объект")))), name);
        const QStringList parts = ZipParts(path);
        EXPECT_TRUE(parts.contains(QStringLiteral("xl/charts/chart1.xml")));
        EXPECT_TRUE(parts.contains(QStringLiteral("xl/charts/chart2.xml")));
        EXPECT_FALSE(parts.contains(QStringLiteral("xl/charts/chart3.xml")));
        // the summary sheet: one row per regime and no mean row below (a mean across load
        // steps means nothing on a card)
        const auto summary = SheetCells(path, 2);
        const int sumHead = FindRow(summary, QStringLiteral("Режим"));
        ASSERT_GT(sumHead, 0);
        EXPECT_EQ(summary.value(CellRef(0, sumHead + stored.size())), stored.last().file.chopped(4).simplified());
        EXPECT_EQ(FindRow(summary, QStringLiteral("Среднее")), -1);
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
        // the card's full caption, not the pane's terse one, and the unit in print form
        EXPECT_GT(resultRows[i].caption.size(), definition[i].caption.size()) << resultRows[i].caption.toStdString();
        EXPECT_EQ(resultRows[i].unit, report::PrintUnit(definition[i].unit));
    }
    // a gas-fired hot-water boiler: gas and water inputs, no liquid-fuel or steam inputs
    EXPECT_TRUE(inputCaptions.contains(QStringLiteral("Давление газа на горелке")));
    EXPECT_TRUE(inputCaptions.contains(QStringLiteral("Температура воды на выходе из котла")));
    EXPECT_FALSE(inputCaptions.contains(QStringLiteral("Давление топлива на форсунке горелки")));
    EXPECT_FALSE(inputCaptions.contains(QStringLiteral("Давление пара в котле (избыточное)")));
    // the units come from the object's unit texts
    for (const auto& r : m.regimeRows)
        if (r.key == u"P0") {
            EXPECT_EQ(r.unit, QStringLiteral("м³/ч"));
        }

    // emissions at 3 % O2 are the computed ones times 1.2, rounded to one decimal
    for (const auto& r : m.regimeRows) {
        if (r.kind != report::RowKind::Converted || !r.key.endsWith(u" 3%")) continue;
        const int slot = r.key.startsWith(u"CO") ? 17 : 18;
        for (int c = 0; c < m.regimes.size(); ++c) {
            ASSERT_TRUE(r.values[c].has_value());
            EXPECT_FLOAT_EQ(*r.values[c], static_cast<float>(core::RoundHalfEven(m.regimes[c].results[slot] * 1.2, 1)));
        }
    }
    // each chart has one point per regime
    ASSERT_EQ(m.charts.size(), 2);
    EXPECT_EQ(m.charts[0].data.x.size(), m.regimes.size());
    // the header names the fuel with its calorific value and CO2max, with the decimal comma
    bool fuel = false;
    for (const auto& h : m.header)
        if (h.caption == u"Топливо") fuel = h.value == QStringLiteral("Природный газ;  Qн = 8000 ккал/ст.м³,  CO2max = 11,8 %");
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
    // a regime not calculated is no operating setting: it goes to the annex
    EXPECT_TRUE(m.annexColumns.contains(failed));
    for (const auto& r : m.regimeRows) {
        if (r.cardOnly) {
            EXPECT_TRUE(r.texts.value(failed).isEmpty()) << r.caption.toStdString();
        } else if (r.kind == report::RowKind::Status) {
            EXPECT_TRUE(r.texts[failed].contains(QStringLiteral("Нет данных по газу")));
        } else if (r.kind == report::RowKind::Result || r.kind == report::RowKind::Converted) {
            EXPECT_FALSE(r.values[failed].has_value()) << r.caption.toStdString();
        } else if (r.kind == report::RowKind::Input) {
            EXPECT_TRUE(r.values[failed].has_value());
        }
    }
    // marked in the summary and left out of the graphs
    EXPECT_EQ(m.summary[failed].message, QStringLiteral("Нет данных по газу"));
    EXPECT_EQ(m.charts[0].data.x.size(), m.regimes.size() - 1);
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
    EXPECT_TRUE(text.contains(QStringLiteral("СВОДНАЯ ВЕДОМОСТЬ РЕЖИМОВ")));
    for (const StoredRegime& s : StoredRegimes(folder)) {
        const QString eff = report::ValueText(static_cast<float>(core::ParseNumber(s.results[4])), 2, QLocale(QLocale::Russian));
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

namespace {

QString PdfText(const QString& pdf, const char* mode = "-raw") {
    return RunTool(QStringLiteral("pdftotext"), {QString::fromLatin1(mode), pdf, QStringLiteral("-")});
}

// The values of the workbook row whose column A holds `caption`, from column C on.
QList<double> RowNumbers(const QMap<QString, QString>& cells, const QString& caption, int count) {
    const int row = FindRow(cells, caption);
    QList<double> v;
    for (int c = 0; c < count && row > 0; ++c) v.append(cells.value(CellRef(2 + c, row)).toDouble());
    return v;
}

// The number format of a worksheet cell ("0.00"), through its style in styles.xml.
QString CellFormat(const QString& xlsx, int sheet, const QString& ref) {
    const QString ws = QString::fromUtf8(ZipPart(xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    const QRegularExpression cell(QStringLiteral("<c r=\"%1\" s=\"(\\d+)\"").arg(ref));
    const auto cm = cell.match(ws);
    if (!cm.hasMatch()) return {};
    const QString styles = QString::fromUtf8(ZipPart(xlsx, QStringLiteral("xl/styles.xml")));
    const QString xfs = styles.mid(styles.indexOf(QStringLiteral("<cellXfs")));
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("<xf numFmtId=\"(\\d+)\"")).globalMatch(xfs);
    QString id;
    for (int i = 0; it.hasNext(); ++i) {
        const auto m = it.next();
        if (i == cm.captured(1).toInt()) id = m.captured(1);
    }
    const auto fm = QRegularExpression(QStringLiteral("<numFmt numFmtId=\"%1\" formatCode=\"([^\"]*)\"").arg(id)).match(styles);
    return fm.hasMatch() ? fm.captured(1).replace(QStringLiteral("&quot;"), QStringLiteral("\"")) : id;
}

QString ResultsLine(const QString& folder, const QString& regime, int slot) {
    QStringList lines;
    core::ReadTextLines(core::JoinPath(folder, QStringLiteral("Расчет") + regime), lines);
    return lines.value(slot);
}

}  // namespace

TEST(ReportCard, StaleRegimesAreRecalculatedAndStoredBeforeTheCardAndOrderItsColumns) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    const QString r1 = QStringLiteral("Режим №  1.Dat"), r2 = QStringLiteral("Режим №  2.Dat");
    // regime 1's gas flow changed and was saved without a calculation: its stored load (33)
    // is older than its inputs, which now give the highest load
    SetInput(folder, r1, 0, QStringLiteral("150"));
    app::AppState s;
    s.objectsFolder = QFileInfo(folder).absolutePath();
    s.setCurrentObject(QFileInfo(folder).fileName());
    ASSERT_TRUE(store::LoadObjectData(s));
    ASSERT_TRUE(regime::FillRegimeList(s).isEmpty());
    EXPECT_EQ(s.regimeList.rows.first().key, r1);
    s.setCurrentRegime(r2);
    ASSERT_TRUE(regime::LoadRegimeInputs(s));
    report::ReportModel m;
    const report::CardRun run = report::PrepareReport(s, m, QDate(2026, 5, 14));
    ASSERT_EQ(run.status, report::CardStatus::Built) << run.message.toStdString();
    EXPECT_EQ(m.recalculated, QStringList{r1});
    // stored, the list sorted by the stored loads, the user's regime still current
    EXPECT_GT(ResultsLine(folder, r1, 0).toDouble(), 101.0);
    EXPECT_EQ(s.regimeList.rows.last().key, r1);
    EXPECT_EQ(s.currentRegimeFile, r2);
    float previous = -1;
    for (const auto& r : m.regimes) {
        EXPECT_GE(r.results[0], previous) << r.file.toStdString();  // experiments may share a load
        previous = r.results[0];
    }

    // the command line does the same and names what it recalculated
    const QString other = CopyObject(dir, QStringLiteral("Котельная школы №3 копия"));
    for (const QString& f : QDir(DemoObject(QStringLiteral("Котельная школы №3"))).entryList(QDir::Files))
        QFile::copy(core::JoinPath(DemoObject(QStringLiteral("Котельная школы №3")), f), core::JoinPath(other, f));
    SetInput(other, r1, 0, QStringLiteral("150"));
    CliRun c = Cli({"report", other});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains(QStringLiteral("пересчитан (результаты устарели): ") + r1)) << c.out.toStdString();
    EXPECT_EQ(ResultsLine(other, r1, 0), ResultsLine(folder, r1, 0));
    const auto cells = SheetCells(core::JoinPath(other, report::kReportXlsx), 1);
    // one column per load step (56, 79 with its three air settings, 101, and regime 1 now above)
    const QList<double> loads = RowNumbers(cells, QStringLiteral("Нагрузка котла"), 4);
    ASSERT_EQ(loads.size(), 4);
    EXPECT_TRUE(std::is_sorted(loads.begin(), loads.end())) << loads[0] << " " << loads[3];
    EXPECT_EQ(loads.last(), ResultsLine(other, r1, 0).toDouble());
    // nothing is stale any more: the next card recalculates nothing
    c = Cli({"report", other});
    EXPECT_EQ(c.code, 0);
    EXPECT_FALSE(c.out.contains(QStringLiteral("пересчитан"))) << c.out.toStdString();
    // staleness is judged by what the inputs give now, so a changed calorific value in the
    // general data makes every regime stale, whatever the file times say
    QStringList all;
    for (const auto& row : s.regimeList.rows) all.append(row.key);
    EXPECT_TRUE(regime::StaleRegimes(s, all).isEmpty());
    s.general[object::CalorificValue] = QStringLiteral("8500");
    EXPECT_EQ(regime::StaleRegimes(s, all).size(), all.size());
}

TEST(ReportCard, NoRegimesOrNoneTickedWritesNothing) {
    TestHome home;
    const QString folder = home.makeObject(QStringLiteral("Пустой"), HotWaterGasGeneral(QStringLiteral("Пустой")));
    const CliRun c = Cli({"report", folder});
    EXPECT_EQ(c.code, 1);
    EXPECT_TRUE(c.err.contains(report::kNoRegimes)) << c.err.toStdString();
    EXPECT_FALSE(QFile::exists(core::JoinPath(folder, report::kReportXlsx)));
    EXPECT_FALSE(QFile::exists(core::JoinPath(folder, report::kReportPdf)));

    QTemporaryDir dir;
    const QString demo = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    app::AppState s;
    s.objectsFolder = QFileInfo(demo).absolutePath();
    s.setCurrentObject(QFileInfo(demo).fileName());
    ASSERT_TRUE(store::LoadObjectData(s));
    ASSERT_TRUE(regime::FillRegimeList(s).isEmpty());
    for (auto& row : s.regimeList.rows) row.ticked = false;
    report::ReportModel m;
    const report::CardRun run = report::PrepareReport(s, m, QDate(2026, 5, 14));
    EXPECT_EQ(run.status, report::CardStatus::NoRegimes);
    EXPECT_EQ(run.message, report::kNoTickedRegimes);
    EXPECT_TRUE(m.regimes.isEmpty());
}

TEST(ReportCard, HeadingApprovalAndSignatoriesFollowTheObjectAndItsCardFile) {
    QTemporaryDir dir;
    const QString gas = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    QStringList card(report::kCardEntryCount);
    card[report::ApproverPosition] = QStringLiteral("Главный инженер МУП «Теплосеть»");
    card[report::ApproverName] = QStringLiteral("Кузнецов В. П.");
    card[report::OwnerOrganisation] = QStringLiteral("МУП «Теплосеть» г. Энска");
    card[report::TestOrganisation] = QStringLiteral("ООО «Наладка-Сервис»");
    card[report::TestDates] = QStringLiteral("12.05.2026 – 14.05.2026");
    card[report::Validity] = QStringLiteral("3 года");
    card[report::GasResponsible] = QStringLiteral("Смирнова О. Л.");
    card[report::BoilerResponsible] = QStringLiteral("Иванов Д. С.");
    card[report::PerformerPosition] = QStringLiteral("инженер-наладчик");
    ASSERT_TRUE(report::WriteCardData(gas, card));
    QStringList back;
    ASSERT_TRUE(report::ReadCardData(gas, back));
    EXPECT_EQ(back, card);
    // a long performer name is never cut on the signature line
    QStringList general;
    ASSERT_TRUE(object::ReadGeneralData(gas, general));
    const QString performer = QStringLiteral("Преображенский Александр Вениаминович");
    general[object::Performer] = performer;
    ASSERT_TRUE(object::WriteGeneralData(gas, general));

    ASSERT_EQ(Cli({"report", gas}).code, 0);
    const QString text = PdfText(core::JoinPath(gas, report::kReportPdf)).simplified();
    for (const QString& expected : card + QStringList{QStringLiteral("УТВЕРЖДАЮ"), QStringLiteral("РЕЖИМНАЯ КАРТА"),
                                                      QStringLiteral("Ответственный за газовое хозяйство"),
                                                      QStringLiteral("/ ") + performer + QStringLiteral(" /")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    QStringList cellTexts = SheetCells(core::JoinPath(gas, report::kReportXlsx), 1).values();
    const QString sheet = cellTexts.join(u'\n');
    for (const QString& expected : card) EXPECT_TRUE(sheet.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("Ответственный за газовое хозяйство")));

    // a liquid fuel has no gas facilities to answer for; the boiler's safe operation always
    const QString oil = CopyObject(dir, QStringLiteral("Молокозавод, паровая котельная"));
    ASSERT_EQ(Cli({"report", oil}).code, 0);
    const QString oilText = PdfText(core::JoinPath(oil, report::kReportPdf)).simplified();
    EXPECT_FALSE(oilText.contains(QStringLiteral("газовое хозяйство")));
    EXPECT_TRUE(oilText.contains(QStringLiteral("Ответственный за исправное состояние и безопасную эксплуатацию котла")));
    EXPECT_TRUE(oilText.contains(QStringLiteral("/ Сидоров И.П. /")));
    const QString oilSheet = SheetCells(core::JoinPath(oil, report::kReportXlsx), 1).values().join(u'\n');
    EXPECT_FALSE(oilSheet.contains(QStringLiteral("газовое хозяйство")));
    // without a card file the entries are lines to fill in by hand, and validity proposed
    EXPECT_TRUE(oilText.contains(QStringLiteral("Срок действия карты: 3 года"))) << oilText.toStdString();

    // a card file of the wrong shape is a read error naming it; no card is written
    WriteBytes(core::JoinPath(oil, report::kCardFile), "\"a\"\r\n\"b\"\r\n");
    QString error;
    EXPECT_FALSE(report::ReadCardData(oil, back, &error));
    EXPECT_TRUE(error.contains(report::kCardFile)) << error.toStdString();
    const CliRun broken = Cli({"report", oil, "--xlsx", dir.filePath("x.xlsx"), "--pdf", dir.filePath("x.pdf")});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(broken.err.contains(report::kCardFile));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));
}

TEST(ReportCard, EachQuantityHasOneNumberOfDecimalsAndTheDecimalComma) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    ASSERT_EQ(Cli({"report", folder}).code, 0);
    const QString pdf = core::JoinPath(folder, report::kReportPdf), xlsx = core::JoinPath(folder, report::kReportXlsx);
    const QString text = PdfText(pdf, "-layout");
    // the direct-balance efficiency is stored with one decimal: 89,3  94,0  90,5  87,9
    // (four on the card, one per load step, and two in the annex)
    QString line;
    for (const QString& l : text.split(u'\n'))
        if (l.contains(QStringLiteral("КПД котла брутто по прямому балансу"))) line += u' ' + l;
    const QStringList numbers = line.split(u' ', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^[0-9]")));
    ASSERT_EQ(numbers.size(), 6) << line.toStdString();
    for (const QString& n : numbers) EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+,\\d$")).match(n).hasMatch()) << n.toStdString();
    EXPECT_TRUE(numbers.contains(QStringLiteral("94,0")));
    EXPECT_TRUE(text.contains(QStringLiteral("CO2max = 11,8 %")));
    EXPECT_FALSE(text.contains(QStringLiteral("11.8")));
    EXPECT_FALSE(text.contains(QStringLiteral("Среднее")));
    // the workbook holds the numbers with a fixed format per quantity
    const auto cells = SheetCells(xlsx, 1);
    const int row = FindRow(cells, QStringLiteral("КПД котла брутто по прямому балансу"));
    ASSERT_GT(row, 0);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(CellFormat(xlsx, 1, CellRef(2 + c, row)), QStringLiteral("0.0"));
    EXPECT_EQ(CellFormat(xlsx, 1, CellRef(2, FindRow(cells, QStringLiteral("Потери тепла от химической неполноты сгорания q3")))),
              QStringLiteral("0.00000"));
    EXPECT_EQ(cells.value(CellRef(3, row)).toDouble(), 94.0);
}

TEST(ReportCard, AnImpossibleValueCarriesThePanesMarkAndAFootnote) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    // ten times the water flow: the direct balance gives an efficiency far above 100 %
    SetInput(folder, QStringLiteral("Режим №  2.Dat"), 41, QStringLiteral("384"));
    report::ReportModel m;
    ASSERT_TRUE(report::BuildReportForFolder(folder, m, QDate(2026, 5, 14)));
    const report::SheetRow* direct = nullptr;
    for (const auto& r : m.regimeRows)
        if (r.key == u"dQ") direct = &r;
    ASSERT_NE(direct, nullptr);
    int marked = 0;
    for (int c = 0; c < m.regimes.size(); ++c) {
        // the same definition as the results pane
        EXPECT_EQ(direct->warnings[c], results::ImplausibleReason(22, *direct->values[c]));
        marked += !direct->warnings[c].isEmpty();
    }
    EXPECT_EQ(marked, 1);
    ASSERT_EQ(m.notes.size(), 1);
    EXPECT_EQ(m.notes[0], report::kDoubtMark + u' ' + results::ImplausibleReason(22, 500.0f));
    ASSERT_EQ(Cli({"report", folder}).code, 0);
    const QString text = PdfText(core::JoinPath(folder, report::kReportPdf)).simplified();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\d{3},\\d\\*")))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("КПД больше 100 % физически невозможен.")));
}

TEST(ReportCard, ScalesUseRoundStepsAndASingleRegimeGetsARange) {
    for (const auto& [lo, hi] : {std::pair{305.157, 493.444}, std::pair{0.93, 0.97}, std::pair{88.2, 94.0},
                                 std::pair{-3.5, 12.0}, std::pair{1200.0, 1200.0}, std::pair{0.0, 0.0}}) {
        const report::Axis a = report::NiceAxis(lo, hi);
        SCOPED_TRACE(std::to_string(lo) + " .. " + std::to_string(hi));
        EXPECT_LE(a.min, lo);
        EXPECT_GE(a.max, hi);
        EXPECT_LT(a.min, a.max);
        const double mantissa = a.step / std::pow(10.0, std::floor(std::log10(a.step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9)
            << a.step;
        EXPECT_NEAR(a.min / a.step, std::round(a.min / a.step), 1e-6);
        EXPECT_LE((a.max - a.min) / a.step, 10.5);
        // the scale prints as many decimals as its step needs
        EXPECT_EQ(a.decimals, std::max(0, static_cast<int>(-std::floor(std::log10(a.step) + 1e-9))));
        if (lo == hi) {
            EXPECT_LT(a.min, lo);
            EXPECT_GT(a.max, hi);
        }
    }
}

// A verdict row per pollutant: each regime judged with the card's own value and U95 rows, the
// limit's document in a footnote of its own; none for an object that compares with no limits.
TEST(ReportCard, VerdictRowsJudgeEachRegimeWithItsU95) {
    QTemporaryDir dir;
    const QString folder = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    report::ReportModel m;
    ASSERT_TRUE(report::BuildReportForFolder(folder, m, QDate(2026, 5, 14)));
    auto find = [&](const QString& key) -> const report::SheetRow* {
        for (const auto& r : m.regimeRows)
            if (r.key == key) return &r;
        return nullptr;
    };
    const report::SheetRow *co = find(QStringLiteral("CO норма")), *nox = find(QStringLiteral("NOx норма"));
    const report::SheetRow *value = find(QStringLiteral("NO")), *u95 = find(QStringLiteral("NO U95"));
    ASSERT_TRUE(co && nox && value && u95);
    EXPECT_EQ(co->caption, QStringLiteral("CO: предел не задан"));
    EXPECT_EQ(nox->caption, QStringLiteral("NOx: предел 125 мг/м³ при α = 1,4¹"));
    EXPECT_EQ(m.limitNotes,
              QStringList{QStringLiteral("¹ Предел NOx: ГОСТ Р 55173-2012, табл. 3 (набор норм «Общие»)")});
    object::AppliedLimit limit;
    limit.found = true;
    limit.limit = 125;
    ASSERT_EQ(nox->texts.size(), m.regimes.size());
    for (int c = 0; c < m.regimes.size(); ++c) {
        ASSERT_TRUE(value->values[c] && u95->values[c]);
        const double u = core::RoundHalfEven(*u95->values[c], 1);
        EXPECT_EQ(nox->texts[c], object::VerdictText(object::Judge(*value->values[c], u, limit))) << c;
        EXPECT_FALSE(nox->texts[c].isEmpty());
        EXPECT_EQ(co->texts[c], QString());
    }
    // the footnote reaches the PDF
    ASSERT_EQ(Cli({"report", folder}).code, 0);
    EXPECT_TRUE(PdfText(core::JoinPath(folder, report::kReportPdf))
                    .simplified()
                    .contains(QStringLiteral("Предел NOx: ГОСТ Р 55173-2012, табл. 3")));

    ASSERT_TRUE(object::WriteObjectNorms(folder, object::kNoNorms));
    ASSERT_TRUE(report::BuildReportForFolder(folder, m, QDate(2026, 5, 14)));
    EXPECT_EQ(find(QStringLiteral("NOx норма")), nullptr);
    EXPECT_TRUE(m.limitNotes.isEmpty());
}

namespace {

QJsonObject ReportJsonOf(const QString& folder) {
    const CliRun r = Cli({"report", folder, "--json"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

QStringList Titles(const QJsonObject& table) {
    QStringList t;
    for (const QJsonValue& v : table["columns"].toArray()) t.append(v.toString());
    return t;
}

}  // namespace

// The card runs the boiler by one regime per load step; the air-setting experiments and the
// other regimes go to the annex, which keeps every row but the operating settings. The
// engineer's choice (kept in the set-point file) overrides the default. A one-regime object
// has no annex; a 40-regime object's numbers have the same digits in the PDF and the workbook.
TEST(ReportCard, OneColumnPerLoadStepTheOthersInTheAnnex) {
    QTemporaryDir dir;
    const QString school = CopyObject(dir, QStringLiteral("Котельная школы №3"));
    QJsonObject j = ReportJsonOf(school);
    QJsonArray steps = j["steps"].toArray();
    ASSERT_EQ(steps.size(), 4);
    const QJsonObject tuned = steps[2].toObject();  // 79 %: regimes 3, 5 and 6
    EXPECT_EQ(tuned["regime"].toString(), QStringLiteral("Режим № 5"));
    EXPECT_EQ(tuned["why"].toString(), QStringLiteral("ближайший к уставке O2"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d,\\d ± \\d,\\d$")).match(tuned["o2"].toString()).hasMatch())
        << tuned["o2"].toString().toStdString();
    EXPECT_EQ(steps[0].toObject()["why"].toString(), QStringLiteral("единственный режим ступени"));
    EXPECT_TRUE(steps[0].toObject()["o2"].toString().endsWith(QStringLiteral(" по опыту")));
    EXPECT_EQ(Titles(j["card"].toObject()), QStringList({QStringLiteral("Режим № 1"), QStringLiteral("Режим № 2"),
                                                         QStringLiteral("Режим № 5"), QStringLiteral("Режим № 4")}));
    EXPECT_EQ(Titles(j["annex"].toObject()), QStringList({QStringLiteral("Режим № 3"), QStringLiteral("Режим № 6")}));
    auto keys = [](const QJsonObject& table) {
        QStringList k;
        for (const QJsonValue& r : table["rows"].toArray()) k.append(r["key"].toString());
        return k;
    };
    EXPECT_TRUE(keys(j["card"].toObject()).contains(QStringLiteral("O2 set")));
    EXPECT_FALSE(keys(j["annex"].toObject()).contains(QStringLiteral("O2 set")));
    EXPECT_EQ(keys(j["card"].toObject()).size(), keys(j["annex"].toObject()).size() + 5);  // the operating rows
    // the gas pressure at the burner with its 5 %: regime 5's 4.9 mbar
    for (const QJsonValue& r : j["card"].toObject()["rows"].toArray())
        if (r["key"].toString() == u"P5 tol")
            EXPECT_EQ(r["values"].toArray()[2].toString(), QStringLiteral("4,9 ± 0,25"));

    // the PDF: sheet N of M on every page, the annex after the signed pages, the conditions
    const QString pdf = core::JoinPath(school, report::kReportPdf);
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    ASSERT_GT(pages, 3);
    const QString text = PdfText(pdf);
    for (int p = 1; p <= pages; ++p) EXPECT_TRUE(text.contains(QStringLiteral("Лист %1 из %2").arg(p).arg(pages))) << p;
    EXPECT_GT(text.indexOf(report::kAnnexTitle), text.lastIndexOf(QStringLiteral("Проверил")));
    EXPECT_TRUE(text.contains(QStringLiteral("Составил")));
    EXPECT_TRUE(
        text.simplified().contains(QStringLiteral("при изменении топлива или реконструкции карта пересоставляется")));

    // the instruments used, as the object names them from the program's list
    ASSERT_TRUE(report::WriteObjectInstruments(
        school,
        {QStringLiteral("Газоанализатор ГА-1, зав. № 123, поверен до 01.06.2027"), QStringLiteral("Термометр ТМ-2")}));
    ASSERT_EQ(Cli({"report", school}).code, 0);
    EXPECT_TRUE(PdfText(pdf).simplified().contains(QStringLiteral(
        "Средства измерений: 1) Газоанализатор ГА-1, зав. № 123, поверен до 01.06.2027; 2) Термометр ТМ-2.")));

    // the engineer runs the step by regime 6: it takes the column, 5 goes to the annex
    ASSERT_TRUE(core::WriteTextLines(
        core::JoinPath(school, tuning::kSetPointFile),
        {QStringLiteral("CO 270"), QStringLiteral("O2 0.5"), QStringLiteral("карта Режим №  6.Dat")}));
    j = ReportJsonOf(school);
    EXPECT_EQ(j["steps"].toArray()[2].toObject()["regime"].toString(), QStringLiteral("Режим № 6"));
    EXPECT_EQ(j["steps"].toArray()[2].toObject()["why"].toString(), QStringLiteral("выбран инженером"));
    EXPECT_EQ(Titles(j["annex"].toObject()), QStringList({QStringLiteral("Режим № 3"), QStringLiteral("Режим № 5")}));

    // one regime: its own step, no annex in either document
    const QString one = CopyObject(dir, QStringLiteral("ТЭЦ-2 водогрейный котел 4"));
    QStringList files;
    core::ListFiles(one, QStringLiteral("Режим*.dat"), files);
    for (int i = 1; i < files.size(); ++i) {
        QFile::remove(core::JoinPath(one, files[i]));
        QFile::remove(core::JoinPath(one, QStringLiteral("Расчет") + files[i]));
    }
    WriteBytes(core::JoinPath(one, QStringLiteral("Col_RAll.txt")), " 1\r\n");
    j = ReportJsonOf(one);
    EXPECT_EQ(j["steps"].toArray().size(), 1);
    EXPECT_TRUE(j["annex"].toObject()["columns"].toArray().isEmpty());
    EXPECT_FALSE(PdfText(core::JoinPath(one, report::kReportPdf)).contains(report::kAnnexTitle));

    // forty regimes, one NO2 typed with seven decimals: six in both documents
    const QString many = CopyObject(dir, QStringLiteral("Котельная школы №3 много"));
    for (const QString& f : QDir(school).entryList(QDir::Files))
        QFile::copy(core::JoinPath(school, f), core::JoinPath(many, f));
    QFile::remove(core::JoinPath(many, tuning::kSetPointFile));
    for (int n = 7; n <= 40; ++n) {
        const QString name = regime::RegimeFileName(n);
        QFile::copy(core::JoinPath(many, QStringLiteral("Режим №  3.Dat")), core::JoinPath(many, name));
        SetInput(many, name, 13, QString::number(3.0 + 0.05 * n));  // air settings around the 79 % step
    }
    SetInput(many, QStringLiteral("Режим №  3.Dat"), 15, QStringLiteral("2.1234567"));
    WriteBytes(core::JoinPath(many, QStringLiteral("Col_RAll.txt")), " 40\r\n");
    WriteBytes(core::JoinPath(many, QStringLiteral("Col_R.txt")), " 40\r\n");
    j = ReportJsonOf(many);
    EXPECT_EQ(j["card"].toObject()["columns"].toArray().size() + j["annex"].toObject()["columns"].toArray().size(), 40);
    const QString manyText = PdfText(core::JoinPath(many, report::kReportPdf));
    EXPECT_TRUE(manyText.contains(QStringLiteral("2,123457"))) << "seven decimals printed";
    EXPECT_FALSE(manyText.contains(QStringLiteral("2,1234567")));
    const QString xlsx = core::JoinPath(many, report::kReportXlsx);
    const auto annex = SheetCells(xlsx, 3);
    int no2 = -1;
    for (auto it = annex.begin(); it != annex.end(); ++it)
        if (it.key().startsWith(u'A') && QRegularExpression(QStringLiteral("^Содержание N[OО]2 за котлоагрегатом$"))
                                             .match(it.value().simplified())
                                             .hasMatch())
            no2 = it.key().mid(1).toInt();
    ASSERT_GT(no2, 0);
    bool found = false;
    for (int c = 2; c < 45 && no2 > 0; ++c)
        if (annex.value(CellRef(c, no2)).startsWith(QStringLiteral("2.12345"))) {
            found = true;
            EXPECT_EQ(CellFormat(xlsx, 3, CellRef(c, no2)), QStringLiteral("0.000000"));
        }
    EXPECT_TRUE(found);
}
