#pragma once
// Calculating the current regime and recalculating every regime of the open object.

#include <QString>
#include <QStringList>
#include <functional>

#include "app/state.h"

namespace regime {

enum class CalcOutcome { Calculated, CheckFailed, FileError };

struct CalcResult {
    CalcOutcome outcome = CalcOutcome::Calculated;
    QString message;  // the check's message, or the file error
};

// The data check of a regime: every input the object uses within its physical range, then
// the calculation's own check. Its message, or an empty text when the regime can be
// calculated. The second form checks `inputs` with the current object's units and general data.
QString CheckRegime(const app::AppState& s);
QString CheckRegime(const app::AppState& s, const std::array<float, app::kInputCount>& inputs);

// Checks the current regime's inputs; a failed check goes to `notice` and nothing changes.
// Otherwise fills the results array, shows it and writes the results file.
CalcResult CalculateCurrentRegime(app::AppState& s, const std::function<void(const QString&)>& notice = {});

struct RecalcLine {
    QString file;
    bool calculated = false;
    bool repaired = false;  // its results file was missing or broken and has been written anew
    QString load;     // load text of a calculated regime
    QString message;  // check message of a skipped regime, or the file error
};

struct RecalcReport {
    QList<RecalcLine> lines;
    // skipped: failed the data check; readFailed: the regime file itself could not be read;
    // failed: every file error (read or write), readFailed included
    int calculated = 0, skipped = 0, failed = 0, readFailed = 0, repaired = 0;
    QString listWarning;  // warning of the final sort, if any
    // set when the object folder or a regime file disappeared during the run: nothing more
    // was written from that moment, and this says what vanished
    QString stopped;
};

// Recalculates every regime of the list in list order; regimes that fail the check are
// skipped silently with their stored results untouched. A missing or broken results file is
// written anew from the regime's inputs; only an unreadable regime file skips a regime. Then sorts the list and makes the
// regime that was current before current again (loaded and shown); without one, the last
// regime calculated. `progress(done, total)` may return false to stop early.
RecalcReport RecalculateAllRegimes(app::AppState& s, const std::function<bool(int, int)>& progress = {});

// The regimes among `files` whose stored results are not what their inputs, the general
// data and the units give now: the results file is missing or broken, or a calculation in
// private arrays gives other numbers. Decided by content, not by file times, which a copy
// or an archive resets. Regimes that fail the check or cannot be read are not listed (a
// recalculation would store nothing for them). `s` is not changed.
QStringList StaleRegimes(const app::AppState& s, const QStringList& files);

// Recalculates the regimes of the list named in `files` exactly as RecalculateAllRegimes
// does the whole list: results stored, list sorted by load, the current regime kept.
RecalcReport RecalculateRegimes(app::AppState& s, const QStringList& files,
                                const std::function<bool(int, int)>& progress = {});

}  // namespace regime
