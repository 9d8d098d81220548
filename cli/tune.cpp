// The tuning assistant without a display.

#include "cli/tune.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/objectfolder.h"
#include "cli/output.h"
#include "tuning/tuning.h"

namespace cli {

namespace {

// One load step for scripts: its set point with the figures there, the regime to keep and
// the gain against the regime as found; nulls where the step has no set point.
QJsonObject StepJson(const tuning::TuneStep& s) {
    QJsonArray numbers;
    for (int n : s.numbers()) numbers.append(n);
    QJsonObject o{{"load", s.load}, {"regimes", numbers}};
    const bool set = s.hasSetPoint();
    auto value = [&](double v) { return set ? QJsonValue(v) : QJsonValue(QJsonValue::Null); };
    auto number = [&](int i) { return set && i >= 0 ? QJsonValue(s.points[i].number) : QJsonValue(QJsonValue::Null); };
    o[QStringLiteral("o2_set")] = value(s.o2Set);
    o[QStringLiteral("o2_set_u95")] = value(s.o2SetU95);
    o[QStringLiteral("o2_rich_limit")] = value(s.o2Rich);
    o[QStringLiteral("co_ceiling")] = s.ceiling;
    o[QStringLiteral("alpha_set")] = value(s.alphaSet);
    o[QStringLiteral("co_at_set")] = value(s.coAtSet);
    o[QStringLiteral("q23_at_set")] = value(s.q23AtSet);
    o[QStringLiteral("eta_at_set")] = value(s.etaAtSet);
    o[QStringLiteral("recommended")] = number(s.recommended);
    o[QStringLiteral("as_found")] = number(s.asFound);
    o[QStringLiteral("gain")] = set ? QJsonValue(QJsonObject{{"eta", s.gainEta},
                                                             {"fuel", s.gainFuel},
                                                             {"u95", s.gainU95},
                                                             {"against", s.points[s.baseline].number},
                                                             {"as_found", s.asFound >= 0}})
                                    : QJsonValue(QJsonValue::Null);
    o[QStringLiteral("warnings")] = QJsonArray::fromStringList(s.warnings);
    // the earlier form's optimum (the fitted minimum without the CO ceiling), for scripts
    o[QStringLiteral("alpha_opt")] = value(s.alphaOpt);
    o[QStringLiteral("o2_opt")] = value(s.o2Fit);
    return o;
}

}  // namespace

int TuneCommand(QStringList args) {
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    ObjectOptions options;
    TakeObjectOptions(args, options);
    if (args.size() != 1 || args[0].startsWith(u"--")) return UsageExit(QString(), kTuneUsage);
    QList<tuning::TuneStep> steps;
    QStringList skipped;
    QString error, warning;
    const QString folder = CleanFolder(args[0]);
    if (!tuning::TuneFolder(folder, steps, &skipped, &error, options.templateUnits, &warning)) {
        Err() << error << "\n";
        return 1;
    }
    if (!warning.isEmpty()) Err() << folder << ": " << warning << "\n";
    for (const QString& s : skipped) Err() << s << " !\n";
    if (json) {
        QJsonArray list;
        for (const auto& s : steps) list.append(StepJson(s));
        Out() << QJsonDocument(QJsonObject{{"steps", list}}).toJson(QJsonDocument::Indented);
    } else {
        Out() << tuning::StepTableHeader().join(u'\t') << "\n";
        for (const auto& s : steps) Out() << tuning::StepTableRow(s).join(u'\t') << "\n";
    }
    return skipped.isEmpty() ? 0 : 3;
}

}  // namespace cli
