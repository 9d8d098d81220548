// The tuning assistant without a display.

#include "cli/tune.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "cli/objectfolder.h"
#include "tuning/tuning.h"

namespace cli {

int TuneCommand(QStringList args) {
    QTextStream out(stdout), err(stderr);
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    ObjectOptions options;
    TakeObjectOptions(args, options);
    if (args.size() != 1 || args[0].startsWith(u"--")) {
        err << "Usage:\n" << kTuneUsage;
        return 2;
    }
    QList<tuning::TuneStep> steps;
    QStringList skipped;
    QString error, warning;
    const QString folder = CleanFolder(args[0]);
    if (!tuning::TuneFolder(folder, steps, &skipped, &error, options.templateUnits, &warning)) {
        err << error << "\n";
        return 1;
    }
    if (!warning.isEmpty()) err << folder << ": " << warning << "\n";
    for (const QString& s : skipped) err << s << " !\n";
    if (json) {
        QJsonArray list;
        for (const auto& s : steps) {
            QJsonArray numbers;
            for (int n : s.numbers()) numbers.append(n);
            QJsonObject o{{"load", s.load}, {"regimes", numbers}};
            auto value = [&](double v) { return s.enough ? QJsonValue(v) : QJsonValue(QJsonValue::Null); };
            o[QStringLiteral("alpha_opt")] = value(s.alphaOpt);
            o[QStringLiteral("o2_opt")] = value(s.o2Opt);
            o[QStringLiteral("q23_opt")] = value(s.q23Opt);
            o[QStringLiteral("eta_opt")] = value(s.etaOpt);
            o[QStringLiteral("recommended")] =
                s.enough ? QJsonValue(s.points[s.recommended].number) : QJsonValue(QJsonValue::Null);
            list.append(o);
        }
        out << QJsonDocument(QJsonObject{{"steps", list}}).toJson(QJsonDocument::Indented);
    } else {
        out << tuning::StepTableHeader().join(u'\t') << "\n";
        for (const auto& s : steps) out << tuning::StepTableRow(s).join(u'\t') << "\n";
    }
    return skipped.isEmpty() ? 0 : 3;
}

}  // namespace cli
