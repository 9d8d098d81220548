#include "regime/calculation.h"

#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"
#include "object/generalranges.h"
#include "regime/inputranges.h"
#include "regime/plausibility.h"
#include "regime/regimestore.h"

namespace regime {

QString CheckRegime(const app::AppState& s, const std::array<float, app::kInputCount>& inputs) {
    // impossible general data fail every regime of the object with the same words
    const QString general = object::GeneralDataRangeError(s.general);
    if (!general.isEmpty()) return general;
    const QString range = RegimeRangeError(inputs, s.units, s.general);
    if (!range.isEmpty()) return range;
    engine::CalcInputs in = s.calcInputs();
    in.in = inputs;
    return QString::fromStdString(engine::CheckRegimeData(in));
}

QString CheckRegime(const app::AppState& s) { return CheckRegime(s, s.inputs); }

CalcResult CalculateCurrentRegime(app::AppState& s, const std::function<void(const QString&)>& notice) {
    const QString message = CheckRegime(s);
    if (!message.isEmpty()) {
        // what shows this regime says so, and no longer its old results as current
        ShowRegimeResults(s);
        if (notice) notice(message);
        return {CalcOutcome::CheckFailed, message};
    }
    const engine::CalcInputs in = s.calcInputs();
    engine::CalculateRegime(in, s.steam, s.results);
    ShowRegimeResults(s);
    QString error;
    if (!SaveRegimeResults(s, &error)) return {CalcOutcome::FileError, error};
    return {};
}

namespace {

// What has gone of the object while it was recalculated (the folder removed, the regime
// file deleted), or empty: writing on would leave results files in a half-removed folder.
// One look at the regime file (listed under its exact name) per regime: a removed folder
// takes its regime files with it.
QString Vanished(const app::AppState& s, const QString& regimeFile) {
    if (core::ExistsNoCase(s.currentObjectFolder, regimeFile)) return {};
    if (!core::ExistsNoCase(s.currentObjectFolder, object::kGeneralFile))
        return s.currentObjectFolder +
               QStringLiteral(": папка объекта удалена во время расчета; расчет остановлен, больше ничего не записано");
    return core::JoinPath(s.currentObjectFolder, regimeFile) +
           QStringLiteral(": файл режима удален во время расчета; расчет остановлен, больше ничего не записано");
}

// The list rows for which `wanted(row)` holds (every row without a `wanted`), in list order.
QList<int> WantedRows(const app::AppState& s, const std::function<bool(const app::RegimeRow&)>& wanted) {
    QList<int> rows;
    for (int i = 0; i < s.regimeList.rows.size(); ++i)
        if (!wanted || wanted(s.regimeList.rows[i])) rows.append(i);
    return rows;
}

// Starts the current regime from its stored results, from zeros when they cannot be read.
void LoadStoredResults(app::AppState& s, app::RegimeRow& row, RecalcLine& line) {
    // Slots a regime does not write keep that regime's own stored values, not those of
    // the regime calculated before it; a missing or broken results file starts from
    // zeros and is written anew once calculated.
    if (LoadRegimeResults(s)) {
        // a regime that then fails its check shows no load: its stored one is not current
        row.load = core::StoredForm(s.results[0]);
    } else {
        s.results.fill(0.0f);
        row.load.clear();
        line.repaired = true;
    }
}

// Shows the freshly written results of a regime in its list row and counts it as calculated.
void RecordCalculated(const app::AppState& s, app::RegimeRow& row, RecalcLine& line, RecalcReport& report) {
    row.load = LoadText(s.results[0]);
    row.checkMessage.clear();
    row.warning = ImplausibleResults(s.results);
    if (line.repaired) ++report.repaired;
    line.calculated = true;
    line.load = row.load;
    ++report.calculated;
    report.lines.append(line);
}

// Recalculates one regime of the list and adds its outcome to the report; false when the
// object vanished under it and the run has to stop.
bool RecalculateRow(app::AppState& s, app::RegimeRow& row, RecalcReport& report) {
    RecalcLine line;
    line.file = row.key;
    s.setCurrentRegime(row.key);
    QString error;
    if (!LoadRegimeInputs(s, nullptr, &error)) {
        if (const QString gone = Vanished(s, row.key); !gone.isEmpty()) {
            report.stopped = gone;
            ++report.failed;
            return false;
        }
        line.message = error;
        ++report.failed;
        ++report.readFailed;
        report.lines.append(line);
        return true;
    }
    LoadStoredResults(s, row, line);
    const QString check = CheckRegime(s);
    if (!check.isEmpty()) {
        line.message = check;
        // stored results these inputs cannot give are not shown as current
        if (Calculated(s.results)) {
            row.load.clear();
            row.checkMessage = check;
        }
        ++report.skipped;
        report.lines.append(line);
        return true;
    }
    const engine::CalcInputs in = s.calcInputs();
    engine::CalculateRegime(in, s.steam, s.results);
    if (const QString gone = Vanished(s, row.key); !gone.isEmpty()) {
        if (!LoadRegimeResults(s)) s.results.fill(0.0f);
        report.stopped = gone;
        ++report.failed;
        return false;
    }
    if (!SaveRegimeResults(s, &error)) {
        // what is shown stays what is stored: the results that could not be written
        // are dropped
        if (!LoadRegimeResults(s)) s.results.fill(0.0f);
        line.message = error;
        ++report.failed;
        report.lines.append(line);
        return true;
    }
    RecordCalculated(s, row, line, report);
    return true;
}

// Returns the user to the regime that was current before the run.
void RestoreCurrent(app::AppState& s, const QString& current, RecalcReport& report) {
    // The user stays on the regime that was current: it becomes current again with what
    // it holds now. Without one (after a delete) the last regime calculated stays current.
    if (!current.isEmpty() && s.regimeList.find(current) >= 0 &&
        s.currentRegimeFile.compare(current, Qt::CaseInsensitive) != 0) {
        s.setCurrentRegime(s.regimeList.rows[s.regimeList.find(current)].key);
        if (!LoadRegimeInputs(s)) ++report.failed;
        if (!LoadRegimeResults(s)) s.results.fill(0.0f);
    }
}

// Recalculates the regimes of the list for which `wanted(row)` holds, in list order, as
// "Всех" does; then sorts the list and makes the regime that was current current again.
RecalcReport Recalculate(app::AppState& s, const std::function<bool(const app::RegimeRow&)>& wanted,
                         const std::function<bool(int, int)>& progress) {
    RecalcReport report;
    const QString current = s.currentRegimeFile;
    const QList<int> rows = WantedRows(s, wanted);
    const int total = static_cast<int>(rows.size());
    for (int n = 0; n < total; ++n) {
        if (progress && !progress(n, total)) break;
        if (!RecalculateRow(s, s.regimeList.rows[rows[n]], report)) break;
    }
    if (progress) progress(total, total);
    report.listWarning = SortRegimeList(s);
    if (s.regimeList.rows.isEmpty()) return report;
    RestoreCurrent(s, current, report);
    ShowRegimeResults(s);
    return report;
}

}  // namespace

RecalcReport RecalculateAllRegimes(app::AppState& s, const std::function<bool(int, int)>& progress) {
    return Recalculate(s, {}, progress);
}

QStringList StaleRegimes(const app::AppState& s, const QStringList& files) {
    // private arrays: the state, its editor and its windows see nothing of the check
    app::AppState work = s.privateCopy();
    QStringList stale;
    for (const QString& file : files) {
        work.setCurrentRegime(file);
        if (!LoadRegimeInputs(work)) continue;  // unreadable: the caller meets the read error
        const bool stored = LoadRegimeResults(work);
        if (!stored) work.results.fill(0.0f);
        const engine::CalcInputs in = work.calcInputs();
        if (!engine::CheckRegimeData(in).empty()) continue;  // nothing a recalculation would store
        const std::array<float, app::kResultCount> before = work.results;
        engine::CalculateRegime(in, work.steam, work.results);
        if (!stored || work.results != before) stale.append(file);
    }
    return stale;
}

RecalcReport RecalculateRegimes(app::AppState& s, const QStringList& files,
                                const std::function<bool(int, int)>& progress) {
    return Recalculate(
        s,
        [&](const app::RegimeRow& row) {
            for (const QString& f : files)
                if (f.compare(row.key, Qt::CaseInsensitive) == 0) return true;
            return false;
        },
        progress);
}

}  // namespace regime
