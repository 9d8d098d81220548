// One regime calculated and printed with the uncertainty of its results, writing nothing.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "cli/commands.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/numbers.h"
#include "object/emissionnorms.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "results/emissionverdicts.h"
#include "results/instrumentlimits.h"
#include "results/resultrows.h"

namespace cli {

namespace {

// The object and its regime `given` made current, its inputs and stored results read and
// its data checked; the exit code when the command ends here.
std::optional<int> OpenRegime(app::AppState& s, const QString& folder, const QString& given,
                              const ObjectOptions& options, QString& file) {
    QString error;
    if (!UseObjectFolder(s, folder, options, error) || !ObjectRegimeFile(s, given, file, error)) {
        Err() << error << "\n";
        return kFileError;
    }
    s.setCurrentRegime(file);
    if (!regime::LoadRegimeInputs(s, nullptr, &error)) {
        Err() << error << "\n";
        return kFileError;
    }
    if (!regime::LoadRegimeResults(s)) s.results.fill(0.0f);
    const QString check = regime::CheckRegime(s);
    if (!check.isEmpty()) {
        Out() << check << " !\n";
        return kCheckFailed;
    }
    return std::nullopt;
}

// The uncertainty of the regime from the instruments' limits of the template folder; false
// (told on the error output) when the limits or the regime's spread cannot be read.
bool Uncertainty(const app::AppState& s, const engine::CalcInputs& in, const QString& file,
                 engine::RegimeUncertainty& u) {
    QString error;
    engine::InstrumentLimits limits;
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, &error) ||
        !results::RegimeUncertaintyOf(in, limits, s.currentObjectFolder, file, u, &error)) {
        Err() << error << "\n";
        return false;
    }
    return true;
}

// The verdicts of CO and NOx against the object's limits; a damaged list or choice file is
// a file error (false, told), as a damaged limits file of the instruments is.
bool Verdicts(const app::AppState& s, const engine::RegimeUncertainty& u, QJsonObject& verdicts) {
    for (const object::Pollutant p : {object::Pollutant::CO, object::Pollutant::NOx}) {
        QString why;
        const object::AppliedLimit limit =
            object::LimitForObject(s.templateFolder, s.currentObjectFolder, s.general, p, &why);
        if (!why.isEmpty()) {
            Err() << why << "\n";
            return false;
        }
        const results::EmissionJudgement j = results::JudgeEmission(p, s.results, &u, limit);
        const QString text = object::VerdictText(j.verdict);
        verdicts.insert(object::PollutantText(p), text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text));
    }
    return true;
}

// The results, their U95 and the verdicts as one line of JSON, with the budget of the gross
// efficiency: which instrument to improve.
void PrintJson(const app::AppState& s, const engine::RegimeUncertainty& u, const QJsonObject& verdicts) {
    QJsonArray values, u95;
    for (int i = 0; i < app::kResultCount; ++i) {
        values.append(core::StoredForm(s.results[i]).toDouble());  // 91.51, not 91.5100021
        u95.append(u.computed[i] ? QJsonValue(u.u95[i]) : QJsonValue(QJsonValue::Null));
    }
    Out() << QJsonDocument(QJsonObject{{"slots", values},
                                       {"u95", u95},
                                       {"coverage", engine::kCoverage},
                                       {"budget", results::BudgetJson(u, 4)},
                                       {"verdicts", verdicts}})
                 .toJson(QJsonDocument::Compact)
          << "\n";
}

// A line for each result slot: its number, its value, "± U" where computed and its caption.
void PrintTable(const app::AppState& s, const engine::RegimeUncertainty& u) {
    // each slot's caption from the results table's rows; number and value stay the first columns
    QStringList captions(app::kResultCount);
    for (const results::ResultRow& row : results::BuildResultRows(s.general)) {
        const int slot = results::ResultSlot(row.key, s.general);
        if (slot >= 0 && slot < app::kResultCount && captions[slot].isEmpty())
            captions[slot] = row.caption.simplified() +
                             (row.unit.trimmed().isEmpty() ? QString() : QStringLiteral(", ") + row.unit.trimmed());
    }
    for (int i = 0; i < app::kResultCount; ++i) {
        Out() << i << "\t" << core::StoredForm(s.results[i]);
        // U in the decimals of its slot
        if (u.computed[i]) Out() << "\t± " << QString::number(u.u95[i], 'f', engine::kResultDecimals[i]);
        // the caption is always the fourth column: an empty third where no U is computed
        if (!captions[i].isEmpty()) Out() << (u.computed[i] ? "\t" : "\t\t") << captions[i];
        Out() << "\n";
    }
}

}  // namespace

int CalcCommand(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 2) return ProgramUsage();
    app::AppState s;
    QString file;
    if (const std::optional<int> code = OpenRegime(s, args[0], args[1], options, file)) return *code;
    const engine::CalcInputs in = s.calcInputs();
    engine::CalculateRegime(in, s.steam, s.results);
    engine::RegimeUncertainty u;
    QJsonObject verdicts;
    if (!Uncertainty(s, in, file, u) || !Verdicts(s, u, verdicts)) return kFileError;
    if (json) PrintJson(s, u, verdicts);
    else PrintTable(s, u);
    return kDone;
}

}  // namespace cli
