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
    text_.clear();
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

TickOutcome AnalyserLink::tick() {
    if (state_ == LinkState::Stopped) return TickOutcome::Idle;
    --countdown_;
    if (countdown_ > 0) return TickOutcome::Counting;
    restartCountdown();
    if (state_ == LinkState::Lost) {
        if (!port_.open(portText_, settingsText_)) return TickOutcome::StillLost;
        // what arrived while the port was away was thrown away on opening
        state_ = LinkState::Reading;
        return TickOutcome::Reopened;
    }
    const qint64 waiting = port_.waiting();
    if (state_ == LinkState::Lost || !port_.isOpen()) {
        state_ = LinkState::Lost;
        return TickOutcome::LinkLost;
    }
    if (waiting < 2) return TickOutcome::Skipped;
    text_ = core::DecodeCp1251(port_.takeAll());
    return TickOutcome::Read;
}

}  // namespace analyser
