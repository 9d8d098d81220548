#pragma once
// The reading cycle of the analyser link, without any window: a countdown of whole
// seconds from the polling period, one reading when it runs out, and the lost-link state
// in which the same port is tried again at each period until it opens or the user stops.
// The window and the command-line capture both drive it with a one-second timer.

#include <QObject>
#include <QString>

#include "analyser/analyserport.h"

namespace analyser {

enum class LinkState { Stopped, Reading, Lost };

enum class TickOutcome {
    Counting,   // the countdown went on
    Read,       // a reading was taken: text()
    Skipped,    // fewer than two characters were waiting
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

    // One second has passed.
    TickOutcome tick();

    LinkState state() const { return state_; }
    int countdown() const { return countdown_; }
    int period() const { return period_; }
    // Text of the last reading (the analyser input text).
    QString text() const { return text_; }
    PortFailure failure() const { return port_.failure(); }
    QString reason() const { return port_.reason(); }
    AnalyserPort& port() { return port_; }

Q_SIGNALS:
    // The port went away between ticks; state() is now Lost.
    void linkLost();

private:
    void restartCountdown();

    AnalyserPort port_;
    LinkState state_ = LinkState::Stopped;
    QString portText_, settingsText_, periodText_;
    int period_ = 4;
    int countdown_ = 0;
    QString text_;
};

}  // namespace analyser
