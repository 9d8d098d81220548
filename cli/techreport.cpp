// The technical report of one object without a display.

#include "cli/techreport.h"

#include <QDir>
#include <QElapsedTimer>

#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "report/reportmodel.h"
#include "report/techreport.h"

namespace cli {

namespace {
const char kUsage[] = "kalvaro-cli techreport OBJECTDIR [--odt FILE] [--pdf FILE]\n";
}

int TechReportCommand(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    options.writes = true;
    QString odt, pdf;
    for (int i = 0; i < args.size();) {
        if ((args[i] == u"--odt" || args[i] == u"--pdf") && i + 1 < args.size()) {
            (args[i] == u"--odt" ? odt : pdf) = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(u"--")) {
            return UsageExit(QStringLiteral("unknown option ") + args[i], kUsage);
        } else {
            ++i;
        }
    }
    if (args.size() != 1) return UsageExit(QString(), kUsage);
    const QString folder = QDir(args[0]).absolutePath();
    if (odt.isEmpty()) odt = core::JoinPath(folder, report::kTechReportOdt);
    if (pdf.isEmpty()) pdf = core::JoinPath(folder, report::kTechReportPdf);
    QString error;
    for (const QString& target : {odt, pdf})
        if (!CheckOutputPath(target, error)) {
            Err() << error << "\n";
            return 1;
        }
    app::AppState s;
    if (!UseObjectFolder(s, folder, options, error)) {
        Err() << error << "\n";
        return 1;
    }
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) Err() << args[0] << ": " << listWarning << "\n";
    // every regime, stale results recalculated first, as the card does
    for (auto& row : s.regimeList.rows) row.ticked = true;
    QElapsedTimer timer;
    timer.start();
    report::ReportModel card;
    const report::CardRun run = report::PrepareReport(s, card, QDate::currentDate());
    if (run.status != report::CardStatus::Built) {
        Err() << args[0] << ": " << run.message << "\n";
        return 1;
    }
    report::TextDoc doc;
    if (!report::BuildTechReport(s, card, doc, &error) || !report::WriteTechReport(doc, odt, pdf, &error)) {
        Err() << error << "\n";
        return 1;
    }
    Out() << card.objectName << "\n";
    for (const QString& file : card.recalculated) Out() << "  пересчитан (результаты устарели): " << file << "\n";
    Out() << "  " << odt << "\n  " << pdf << "\n";
    Out() << "  " << timer.elapsed() << " мс\n";
    return card.calculatedCount() < card.regimes.size() ? 3 : 0;
}

}  // namespace cli
