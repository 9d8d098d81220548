#pragma once
// The reading cycle of the analyser link, without any window: each second what the port
// received is cut into readings (reading.h); a countdown of whole seconds from the polling
// period hands out the readings of the period when it runs out; in the lost-link state the
// same port is tried again at each period until it opens or the user stops.
// The window and the command-line capture both drive it with a one-second timer.

#include <QObject>
#include <QString>
#include <functional>

#include "analyser/analyserport.h"
#include "analyser/reading.h"

namespace analyser {

enum class LinkState { Stopped, Reading, Lost };

enum class TickOutcome {
    Counting,   // the countdown went on (readings that came in are in fresh())
    Read,       // the period ended with complete readings: readings()
    Skipped,    // the period ended without a complete reading
    LinkLost,   // the device went away at this tick
    Reopened,   // the port opened again; reading goes on from the next period
    StillLost,  // the port could not be opened again
    Idle,       // stopped: nothing to do
};

// Smallest and largest polling period in seconds (the countdown is a 16-bit number).
constexpr int kMinPeriod = 1;
constexpr int kMaxPeriod = 32767;
inline const QString kPeriodRefusal = QStringLiteral("Период опроса должен быть числом от 1 до 32767 сек.");

// The period of a text such as "4" or "2.5", rounded to whole seconds, halves to even.
// False for a text that is not a number or gives a period outside kMinPeriod..kMaxPeriod.
bool ParsePeriod(const QString& text, int& seconds);

class AnalyserLink : public QObject {
    Q_OBJECT
public:
    explicit AnalyserLink(QObject* parent = nullptr);

    // Opens the port and starts the countdown from `periodText`. False when the period is
    // refused (failure() None, nothing opened) or the port fails (failure() and reason()).
    bool start(const QString& portText, const QString& settingsText, const QString& periodText);
    void stop();
    // The period text is read again each time the countdown restarts; a text that is not
    // a valid period keeps the last good one.
    void setPeriodText(const QString& text);

    // Whether value 7 (the flue-gas temperature) is stored, so checked against its range.
    void setReadTemperature(bool on) { temperature_ = on; }
    // The clock of the reading times and of the framing's pauses, in milliseconds since
    // the epoch; the system clock unless a test drives time itself.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    qint64 nowMs() const { return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch(); }
    QDateTime now() const { return QDateTime::fromMSecsSinceEpoch(nowMs()); }

    // One second has passed.
    TickOutcome tick();

    LinkState state() const { return state_; }
    int countdown() const { return countdown_; }
    int period() const { return period_; }
    // The complete readings of the period that ended at the last Read, oldest first.
    const QList<Reading>& readings() const { return readings_; }
    // The complete readings that came in at the last tick.
    const QList<Reading>& fresh() const { return fresh_; }
    // What else the period that ended at the last Read or Skipped left for the log: fragments
    // dropped at opening, noise, the link lost and back. Rows without values.
    const QList<LogRow>& notes() const { return notes_; }
    // The accepted readings of the last hour, oldest first, for the steadiness window.
    const QList<Reading>& history() const { return history_; }
    const ReadingFramer& framer() const { return framer_; }
    // Bytes received in the period that ended last (to tell silence from noise).
    qint64 bytesOfPeriod() const { return bytesOfPeriod_; }
    // Bytes taken from the port since the start.
    qint64 bytesTaken() const { return bytesTaken_; }
    // Periods in a row, up to the last one, that gave no accepted reading (a lost link too).
    int quietPeriods() const { return quietPeriods_; }
    PortFailure failure() const { return port_.failure(); }
    QString reason() const { return port_.reason(); }
    AnalyserPort& port() { return port_; }

Q_SIGNALS:
    // The port went away between ticks; state() is now Lost.
    void linkLost();

private:
    void restartCountdown();
    void drain();
    void take(const QList<Fragment>& fragments);
    void note(const QString& text);

    AnalyserPort port_;
    LinkState state_ = LinkState::Stopped;
    QString portText_, settingsText_, periodText_;
    int period_ = 4;
    int countdown_ = 0;
    bool temperature_ = false;
    ReadingFramer framer_;
    QList<Reading> periodReadings_, readings_, fresh_, pendingFresh_, history_;
    QList<LogRow> periodNotes_, notes_;
    std::function<qint64()> clock_;
    qint64 bytes_ = 0, bytesOfPeriod_ = 0, bytesTaken_ = 0;
    int quietPeriods_ = 0;
};

}  // namespace analyser
