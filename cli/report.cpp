// The report documents of one object without a display.

#include "cli/report.h"

#include <QDir>
#include <QJsonDocument>
#include <QTextStream>

#include "cli/objectfolder.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"

namespace cli {

int Report(QStringList args) {
    QTextStream out(stdout), err(stderr);
    ObjectOptions options;
    TakeObjectOptions(args, options);
    options.writes = true;
    QString xlsx, pdf;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    for (int i = 0; i < args.size();) {
        if ((args[i] == u"--xlsx" || args[i] == u"--pdf") && i + 1 < args.size()) {
            (args[i] == u"--xlsx" ? xlsx : pdf) = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(u"--")) {
            err << "unknown option " << args[i] << "\n";
            return 2;
        } else {
            ++i;
        }
    }
    if (args.size() != 1) {
        err << "Usage: kalvaro-cli report OBJECTDIR [--xlsx FILE] [--pdf FILE] [--json]\n";
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath();
    if (xlsx.isEmpty()) xlsx = core::JoinPath(folder, report::kReportXlsx);
    if (pdf.isEmpty()) pdf = core::JoinPath(folder, report::kReportPdf);

    report::ReportModel model;
    QString error, warning;
    for (const QString& target : {xlsx, pdf})
        if (!CheckOutputPath(target, error)) {
            err << error << "\n";
            return 1;
        }
    // the object as every command reads it: its own units (or the template's when asked
    // for), its lock taken for the documents written into it
    app::AppState s;
    if (!UseObjectFolder(s, folder, options, error, warning)) {
        err << error << "\n";
        return 1;
    }
    if (!warning.isEmpty()) err << s.currentObjectFolder << ": " << warning << "\n";
    // a regime without readable results is recalculated below, so the list's warning is told
    // and the card still made
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) err << args[0] << ": " << listWarning << "\n";
    // the command reports every regime, also one whose results file is missing yet; stale
    // results are recalculated and stored first, as the workbench does
    for (auto& row : s.regimeList.rows) row.ticked = true;
    const report::CardRun run = report::PrepareReport(s, model, QDate::currentDate());
    if (run.status != report::CardStatus::Built) {
        error = run.message;
        err << args[0] << ": " << error << "\n";
        return 1;
    }
    if (!report::WriteReportXlsx(xlsx, model, &error)) {
        err << xlsx << ": " << error << "\n";
        return 1;
    }
    if (!report::WriteReportPdf(pdf, model, &error)) {
        err << pdf << ": " << error << "\n";
        return 1;
    }
    // an entry named like a regime that is no file is missing from the card: no success
    QStringList files, others;
    const bool listed =
        core::ListFiles(s.currentObjectFolder, regime::kRegimePattern, files, &others) && others.isEmpty();
    if (json) {
        out << QJsonDocument(report::ReportJson(model)).toJson(QJsonDocument::Indented);
        if (!listed) return 1;
        return model.calculatedCount() < model.regimes.size() ? 3 : 0;
    }
    out << model.objectName << "\n";
    for (const QString& file : model.recalculated)
        out << "  пересчитан (результаты устарели): " << file << "\n";
    // the card's verdict rows of CO and NOx (none when the object compares with no limits)
    QList<const report::SheetRow*> verdicts;
    for (const auto& row : model.regimeRows)
        if (row.kind == report::RowKind::Status && row.key.endsWith(QStringLiteral(" норма"))) verdicts.append(&row);
    int failed = 0;
    for (int c = 0; c < model.regimes.size(); ++c) {
        const auto& r = model.regimes[c];
        out << "  " << r.title << "\t";
        if (r.calculated) {
            out << "Нагрузка " << report::ValueText(r.results[0], 0, QLocale::c()) << " %, КПД "
                << report::ValueText(r.results[4], 2, QLocale::c()) << " %";
            for (const report::SheetRow* v : verdicts) {
                const QString text = v->texts.value(c);
                out << ", " << v->key.section(u' ', 0, 0) << ": "
                    << (text.isEmpty() ? QStringLiteral("предел не задан") : text);
            }
            out << "\n";
        } else {
            out << r.message << " !\n";
            ++failed;
        }
    }
    out << "  " << xlsx << "\n  " << pdf << "\n";
    if (!listed) return 1;
    return failed > 0 ? 3 : 0;
}

}  // namespace cli
