#include "analyser/analyserlink.h"

#include <cmath>

#include "core/textfile.h"

namespace analyser {

bool ParsePeriod(const QString& text, int& seconds) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    const double rounded = std::nearbyint(v);  // the default rounding mode: halves to even
    if (v < kMinPeriod || rounded > kMaxPeriod) return false;
    seconds = static_cast<int>(rounded);
    return true;
}

AnalyserLink::AnalyserLink(QObject* parent) : QObject(parent) {
    connect(&port_, &AnalyserPort::linkLost, this, [this] {
        if (state_ != LinkState::Reading) return;
        state_ = LinkState::Lost;
        Q_EMIT linkLost();
    });
}

bool AnalyserLink::start(const QString& portText, const QString& settingsText, const QString& periodText) {
    stop();
    int period = 0;
    if (!ParsePeriod(periodText, period)) return false;
    if (!port_.open(portText, settingsText)) return false;
    portText_ = portText;
    settingsText_ = settingsText;
    periodText_ = periodText;
    period_ = period;
    countdown_ = period_;
    framer_.restart();
    periodReadings_.clear();
    readings_.clear();
    fresh_.clear();
    bytes_ = bytesOfPeriod_ = 0;
    quietPeriods_ = 0;
    state_ = LinkState::Reading;
    return true;
}

void AnalyserLink::stop() {
    port_.close();
    state_ = LinkState::Stopped;
}

void AnalyserLink::setPeriodText(const QString& text) { periodText_ = text; }

void AnalyserLink::restartCountdown() {
    int period = 0;
    if (ParsePeriod(periodText_, period)) period_ = period;
    countdown_ = period_;
}

// Takes what the port received into the framer; the readings it completed join the period.
void AnalyserLink::drain() {
    fresh_.clear();
    if (state_ != LinkState::Reading) return;
    if (port_.waiting() <= 0) return;  // also notices a device that is gone
    const QByteArray bytes = port_.takeAll();
    bytes_ += bytes.size();
    const QDateTime now = QDateTime::currentDateTime();
    for (const QByteArray& line : framer_.feed(bytes)) fresh_.append(ParseReading(core::DecodeCp1251(line), temperature_, now));
    periodReadings_ += fresh_;
}

TickOutcome AnalyserLink::tick() {
    if (state_ == LinkState::Stopped) return TickOutcome::Idle;
    const bool wasReading = state_ == LinkState::Reading;
    drain();
    const bool lostNow = wasReading && state_ == LinkState::Lost;
    --countdown_;
    if (countdown_ > 0) return lostNow ? TickOutcome::LinkLost : TickOutcome::Counting;
    restartCountdown();
    bytesOfPeriod_ = bytes_;
    bytes_ = 0;
    readings_ = periodReadings_;
    periodReadings_.clear();
    bool accepted = false;
    for (const Reading& r : std::as_const(readings_)) accepted = accepted || r.accepted;
    quietPeriods_ = accepted ? 0 : quietPeriods_ + 1;
    TickOutcome outcome = readings_.isEmpty() ? TickOutcome::Skipped : TickOutcome::Read;
    if (state_ == LinkState::Lost && !lostNow) {
        if (port_.open(portText_, settingsText_)) {
            // what arrived while the port was away was thrown away on opening
            framer_.restart();
            state_ = LinkState::Reading;
            if (outcome != TickOutcome::Read) outcome = TickOutcome::Reopened;
        } else if (outcome != TickOutcome::Read) {
            outcome = TickOutcome::StillLost;
        }
    } else if (lostNow && outcome != TickOutcome::Read) {
        outcome = TickOutcome::LinkLost;
    }
    return outcome;
}

}  // namespace analyser
