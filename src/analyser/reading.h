#pragma once
// The analyser's text as measurements: the stream cut into readings at their line ends,
// each reading checked (seven numbers, the stored ones within their physical range), the
// readings of one period reduced to the values to store (the newest, or their mean), the
// store into the current regime, and the reading log beside the regime.
//
// Framing rule. A line feed always ends a reading; a carriage return directly before it
// belongs to it (CR LF). Until a line feed has come, a carriage return ends a reading too
// (analysers that end their readings with CR alone). Once a line feed has come, a carriage
// return ends a reading only where the line before it holds seven values; if it holds them
// only counting a part before an earlier carriage return, that part is a fragment of its
// own and the last group is the reading (readings of a CR-only analyser after a stray line
// feed are never glued). A carriage return followed by anything but a line feed after such
// an end means the analyser ends its readings with CR alone again. So any single stray CR or
// LF costs at most the reading it falls into.
// Time: a tail that got no byte for longer than the pause limit (the analyser's own interval
// between line ends, or one polling period while that is unknown, plus a quarter and at
// least 0.25 s) is a cut reading: given as such and never joined to what comes next, which
// starts a reading. What arrives before the first line end or pause after opening is dropped
// (it may be the end of a reading whose start was sent before). Control bytes other than
// blanks, tabs and line ends (a run of NUL from a waking adapter) are noise and are dropped.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "analyser/portsettings.h"
#include "app/state.h"
#include "regime/calculation.h"

namespace analyser {

constexpr int kValueCount = 7;
// Longest tail kept while waiting for its line end; a longer one is noise and is dropped.
constexpr int kMaxReadingBytes = 4096;

enum class SamplingPoint {
    AfterEconomiser,   // fields 11 to 14 and 17 (also "after the boiler" without economiser)
    BeforeEconomiser,  // fields 35 to 38 and 40
};

// False when the general data entry `Economiser` is exactly "без экономайзера" (letter case
// counts): such an object has one sampling point, right after the boiler.
bool BeforeEconomiserAllowed(const QStringList& general);

// What the framer made of the bytes.
struct Fragment {
    enum Kind {
        Line,      // a complete line: a reading to parse
        Cut,       // a tail without line end followed by a pause: a cut reading
        Noise,     // control bytes dropped, or a tail too long to be a reading
        Unsynced,  // what came before the first line end after opening
    };
    Kind kind = Line;
    QByteArray text;  // the line or the tail without line end; for Noise the first bytes dropped
    qint64 at = -1;   // when it ended, in the clock's milliseconds (-1: untimed)
    int dropped = 0;  // Noise: bytes dropped
};

// Cuts the received bytes into readings by the framing rule above.
class ReadingFramer {
public:
    // The port was opened or opened again at `ms`: drop everything up to the next line end
    // or pause.
    void restart(qint64 ms = -1);
    // The polling period: the pause limit while the analyser's interval is not known yet.
    void setPeriodMs(qint64 ms) { periodMs_ = ms; }
    // Adds bytes as they came; gives the texts of the readings they completed, without
    // their line ends. Readings that hold nothing but blanks are left out. Untimed: no tail
    // is ever cut by a pause.
    QList<QByteArray> feed(const QByteArray& bytes);
    // The same with the time the bytes arrived, giving every fragment with its kind.
    QList<Fragment> feedAt(const QByteArray& bytes, qint64 ms);
    // A tail waiting at `ms` longer than the pause limit is given as Cut (Unsynced before
    // the first line end) and dropped; the next byte starts a reading.
    QList<Fragment> expire(qint64 ms);
    // Bytes of an unterminated reading waiting for their rest.
    qsizetype pending() const { return tail_.size(); }
    bool lineFeeds() const { return lineFeeds_; }
    // The analyser's interval between line ends (median of the last few), -1 while unknown.
    qint64 deviceInterval() const;
    qint64 pauseLimit() const;

private:
    void endLine(QList<Fragment>& out, qint64 ms);
    void emitText(QList<Fragment>& out, const QByteArray& text, qint64 ms);
    void carriageReturn(QList<Fragment>& out, qint64 ms);
    void flushNoise(QList<Fragment>& out, qint64 ms);

    QByteArray tail_;
    bool synced_ = false;
    bool lineFeeds_ = false;
    bool afterCr_ = false;       // the last byte was a CR that ended a reading
    bool crInLfMode_ = false;    // ... and it did so while line feeds were expected
    qint64 lastByteMs_ = -1;
    qint64 lastLineEndMs_ = -1;
    qint64 periodMs_ = 4000;
    QList<qint64> intervals_;
    QByteArray noise_;
    int noiseCount_ = 0;
};

// True when carriage returns in a line separate two or more groups of seven values each:
// readings ended by CR alone glued together, never one reading.
bool GluedReadings(QByteArrayView line);

// One complete reading and what the checks made of it.
struct Reading {
    QDateTime time;
    QString text;          // the reading as received
    QStringList values;    // its values as received, at most seven
    std::array<double, kValueCount> numbers{};
    bool accepted = false;
    QString refusal;       // why it was refused
};

// Values separated by blanks, tabs or carriage returns; a decimal comma reads as a point.
// Refused: fewer than seven values ("Неполное показание ..."), a value that is not wholly a
// number, or a stored value outside its physical range (the temperature only when it is
// read). Values after the seventh are ignored.
Reading ParseReading(const QString& text, bool temperature, const QDateTime& time = {});

// The editor fields of value 1 (CO), 2 (NO), 3 (O2), 4 (CO2) and 7 (flue-gas temperature).
struct FieldMap {
    int co, no, o2, co2, temperature;
};
FieldMap FieldsOf(SamplingPoint point);

// What a period gives to store.
struct PeriodValues {
    int used = 0;        // accepted readings behind the values (1 for the newest)
    std::array<double, kValueCount> values{};
    bool averaged = false;
    // Spread (standard deviation) of O2, CO and the flue-gas temperature over the averaged
    // readings, and whether the period counts as steady (see Steady()).
    double sdO2 = 0, sdCO = 0, sdTemperature = 0;
    bool steady = false;
    // The mean over the steadiness window: over how many readings and seconds, and the
    // spread of every value (the Type A part of its uncertainty, n = used).
    bool fromWindow = false;
    double windowSpan = 0;
    int windowSeconds = 0;
    std::array<double, kValueCount> sd{};
};

// Steady period: at least three readings averaged, and a spread of O2 within 0.2 % by
// volume, of CO within 10 units or 10 % of its mean (the larger), and of the flue-gas
// temperature within 2 degrees. The period alone; the mark shown is the window's below.
bool Steady(const PeriodValues& p);

// ------------------------------------------------------------------ steadiness over time

// Length of the steadiness window in seconds: default, smallest and largest.
constexpr int kDefaultSteadyWindow = 60;
constexpr int kMinSteadyWindow = 10;
constexpr int kMaxSteadyWindow = 3600;

// The verdict on the accepted readings of the last `seconds` before `now`, whatever the
// polling period. Steady: at least three readings spanning at least three quarters of the
// window, and for O2, CO and (when read) the flue-gas temperature both the spread (sample
// standard deviation) and the trend (least-squares slope over the window times its length)
// within the limits of Steady(). The mean of every value over the window, with its spread
// and count, goes with it.
struct Steadiness {
    int seconds = kDefaultSteadyWindow;  // the window
    int readings = 0;                    // accepted readings inside it
    double span = 0;                     // seconds from the oldest to the newest of them
    bool steady = false;
    QString verdict;                     // "Стабильно", or why not
    std::array<double, kValueCount> mean{}, sd{}, change{};  // change: slope times the window
};
Steadiness JudgeSteadiness(const QList<Reading>& history, const QDateTime& now, int seconds, bool temperature);

// The newest accepted reading of the period, or with `average` the mean of all accepted
// ones (each value rounded to one decimal more than its most precise reading had, halves to
// even). used == 0 when none was accepted.
PeriodValues CombineReadings(const QList<Reading>& readings, bool average);

// What to store at the end of a period: with `average` and a steady window the mean over
// the window (fromWindow), else as CombineReadings. used == 0 when the period accepted none.
PeriodValues CombineWithWindow(const QList<Reading>& readings, const Steadiness& window, bool average);

// The text a value goes into its field as: the editor form of the single-precision number.
QString FieldText(double value);

// The NO2 field of a sampling point (the analyser sends no NO2).
int No2FieldOf(SamplingPoint point);
// The NO2 a choice gives beside a measured NO: 0, or NO x 0.05 / 0.95 to two decimals.
double No2Of(No2Policy p, double no);
// Which fields of the analysis the analyser does not measure, and what became of them:
// "Не измеряются анализатором: NO2 (NO2 не измеряется: 0), Тух.г (оставлено введённое)".
QString UnmeasuredNote(No2Policy p, bool temperature);

// Puts values 1 to 4 (and 7 when `temperature`) into the 43 field texts, and NO2 by the
// choice (Keep leaves it).
void PutAnalyserValues(QStringList& fields, const std::array<double, kValueCount>& values, SamplingPoint point,
                       bool temperature, No2Policy no2 = No2Policy::Keep);

struct StoreOutcome {
    bool saved = false;       // the regime file was written
    bool regimeGone = false;  // the regime file no longer exists: nothing was written
    QString error;            // why it was not
    regime::CalcResult calc;  // the calculation (only when saved)
    QString sortWarning;      // warning of the list sort, if any
};

// Reads the current regime file again (so what someone else saved meanwhile is kept), puts
// the analyser's four or five values in, saves, calculates and sorts the list. A regime file
// that is gone is never created again. `fields` come back as stored, the new values in them.
StoreOutcome StoreAnalyserValues(app::AppState& s, QStringList& fields, const PeriodValues& values, SamplingPoint point,
                                 bool temperature, const std::function<void(const QString&)>& notice = {},
                                 No2Policy no2 = No2Policy::Keep);

// ------------------------------------------------------------------ the reading log

// "Анализатор Режим 3.csv" for "Режим №  3.Dat".
QString ReadingLogName(const QString& regimeFile);
// The number in a regime file name (3 for "Режим №  3.Dat"), -1 when it holds none.
int RegimeNumberOf(const QString& regimeFile);

struct LogRow {
    QDateTime time;
    QStringList values;  // as received (refused) or as numbers (accepted, the mean)
    QString outcome;     // stored, not used, or why refused
    bool received = false;  // values are texts as received: quoted in the log
};

// The log rows of one period: each reading with what became of it, and the mean when the
// values stored were a mean. `stored` false with `why`: the values were not stored. `no2`:
// the NO2 choice, named in the row of what was stored. `notes` (rows without values: a
// fragment dropped, noise, the link lost and back) go in among them by time.
QList<LogRow> LogRowsOf(const QList<Reading>& readings, const PeriodValues& values, bool stored,
                        const QString& why = {}, const QString& no2 = {}, const QList<LogRow>& notes = {});

// Appends rows to the regime's log in the object folder: ";"-separated, Windows-1251,
// CR LF, a header line when the file is new. Written whole through the atomic writer.
bool AppendReadingLog(const QString& objectFolder, const QString& regimeFile, const QList<LogRow>& rows,
                      QString* error = nullptr);

}  // namespace analyser
