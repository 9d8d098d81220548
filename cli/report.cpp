// The report documents of one object without a display.

#include "cli/report.h"

#include <QDir>
#include <QJsonDocument>

#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"

namespace cli {

namespace {

// What the command line asks: the object and where its two documents go.
struct ReportOptions {
    ObjectOptions object;
    QString given, folder;  // the object folder as given and as an absolute path
    QString xlsx, pdf;
    bool json = false;
};

// Reads the command line into `o`, the documents into the object folder unless named; false
// (told with the usage) when it is wrong.
bool ParseOptions(QStringList args, ReportOptions& o) {
    TakeObjectOptions(args, o.object);
    o.object.writes = true;
    o.json = args.removeAll(QStringLiteral("--json")) > 0;
    for (int i = 0; i < args.size();) {
        if ((args[i] == u"--xlsx" || args[i] == u"--pdf") && i + 1 < args.size()) {
            (args[i] == u"--xlsx" ? o.xlsx : o.pdf) = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(u"--")) {
            Err() << "unknown option " << args[i] << "\n";
            return false;
        } else {
            ++i;
        }
    }
    if (args.size() != 1) {
        Err() << "Usage: kalvaro-cli report OBJECTDIR [--xlsx FILE] [--pdf FILE] [--json]\n";
        return false;
    }
    o.given = args[0];
    o.folder = QDir(o.given).absolutePath();
    if (o.xlsx.isEmpty()) o.xlsx = core::JoinPath(o.folder, report::kReportXlsx);
    if (o.pdf.isEmpty()) o.pdf = core::JoinPath(o.folder, report::kReportPdf);
    return true;
}

// Builds the card of every regime of the object and writes the workbook and the PDF; false
// (told on the error output) on a file error.
bool WriteReport(const ReportOptions& o, app::AppState& s, report::ReportModel& model) {
    QString error;
    for (const QString& target : {o.xlsx, o.pdf})
        if (!CheckOutputPath(target, error)) {
            Err() << error << "\n";
            return false;
        }
    // the object as every command reads it: its own units (or the template's when asked
    // for), its lock taken for the documents written into it
    if (!UseObjectFolder(s, o.folder, o.object, error)) {
        Err() << error << "\n";
        return false;
    }
    // a regime without readable results is recalculated below, so the list's warning is told
    // and the card still made
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) Err() << o.given << ": " << listWarning << "\n";
    // the command reports every regime, also one whose results file is missing yet; stale
    // results are recalculated and stored first, as the workbench does
    for (auto& row : s.regimeList.rows) row.ticked = true;
    const report::CardRun run = report::PrepareReport(s, model, QDate::currentDate());
    if (run.status != report::CardStatus::Built) {
        Err() << o.given << ": " << run.message << "\n";
        return false;
    }
    if (!report::WriteReportXlsx(o.xlsx, model, &error)) {
        Err() << o.xlsx << ": " << error << "\n";
        return false;
    }
    if (!report::WriteReportPdf(o.pdf, model, &error)) {
        Err() << o.pdf << ": " << error << "\n";
        return false;
    }
    return true;
}

// A line for each regime of the card: its load and efficiency with the verdicts of CO and
// NOx, or why it was not calculated; the number of regimes not calculated.
int PrintRegimes(const report::ReportModel& model) {
    // the card's verdict rows of CO and NOx (none when the object compares with no limits)
    QList<const report::SheetRow*> verdicts;
    for (const auto& row : model.regimeRows)
        if (row.kind == report::RowKind::Status && row.key.endsWith(QStringLiteral(" норма"))) verdicts.append(&row);
    int failed = 0;
    for (int c = 0; c < model.regimes.size(); ++c) {
        const auto& r = model.regimes[c];
        Out() << "  " << r.title << "\t";
        if (r.calculated) {
            Out() << "Нагрузка " << report::ValueText(r.results[0], 0, QLocale::c()) << " %, КПД "
                  << report::ValueText(r.results[4], 2, QLocale::c()) << " %";
            for (const report::SheetRow* v : verdicts) {
                const QString text = v->texts.value(c);
                Out() << ", " << v->key.section(u' ', 0, 0) << ": "
                      << (text.isEmpty() ? QStringLiteral("предел не задан") : text);
            }
            Out() << "\n";
        } else {
            Out() << r.message << " !\n";
            ++failed;
        }
    }
    return failed;
}

}  // namespace

int Report(QStringList args) {
    ReportOptions o;
    if (!ParseOptions(args, o)) return 2;
    app::AppState s;
    report::ReportModel model;
    if (!WriteReport(o, s, model)) return 1;
    // an entry named like a regime that is no file is missing from the card: no success
    QStringList files, others;
    const bool listed =
        core::ListFiles(s.currentObjectFolder, regime::kRegimePattern, files, &others) && others.isEmpty();
    if (o.json) {
        Out() << QJsonDocument(report::ReportJson(model)).toJson(QJsonDocument::Indented);
        if (!listed) return 1;
        return model.calculatedCount() < model.regimes.size() ? 3 : 0;
    }
    Out() << model.objectName << "\n";
    for (const QString& file : model.recalculated) Out() << "  пересчитан (результаты устарели): " << file << "\n";
    const int failed = PrintRegimes(model);
    Out() << "  " << o.xlsx << "\n  " << o.pdf << "\n";
    if (!listed) return 1;
    return failed > 0 ? 3 : 0;
}

}  // namespace cli
