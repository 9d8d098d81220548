// The report documents of one object without a display.

#include "cli/report.h"

#include <QDir>
#include <QTextStream>

#include "core/names.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"

namespace cli {

int Report(QStringList args) {
    QTextStream out(stdout), err(stderr);
    QString xlsx, pdf;
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
        err << "Usage: kalvaro-cli report OBJECTDIR [--xlsx FILE] [--pdf FILE]\n";
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath();
    if (xlsx.isEmpty()) xlsx = core::JoinPath(folder, report::kReportXlsx);
    if (pdf.isEmpty()) pdf = core::JoinPath(folder, report::kReportPdf);

    report::ReportModel model;
    QString error;
    // stale results of a regime are recalculated and stored first, as the workbench does
    if (!report::BuildReportForFolder(folder, model, QDate::currentDate(), &error)) {
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
    out << model.objectName << "\n";
    for (const QString& file : model.recalculated)
        out << "  пересчитан (результаты устарели): " << file << "\n";
    int failed = 0;
    for (const auto& r : model.regimes) {
        out << "  " << r.title << "\t";
        if (r.calculated) {
            out << "Нагрузка " << report::ValueText(r.results[0], 0, QLocale::c()) << " %, КПД "
                << report::ValueText(r.results[4], 2, QLocale::c()) << " %\n";
        } else {
            out << r.message << " !\n";
            ++failed;
        }
    }
    out << "  " << xlsx << "\n  " << pdf << "\n";
    return failed > 0 ? 3 : 0;
}

}  // namespace cli
