#include "analyser/analyserlink.h"

#include <cmath>

#include "core/numbers.h"
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

// The history the steadiness window may look at.
constexpr qint64 kHistoryMs = 3600 * 1000;

AnalyserLink::AnalyserLink(QObject* parent) : QObject(parent) {
    connect(&port_, &AnalyserPort::linkLost, this, [this] {
        if (state_ != LinkState::Reading) return;
        state_ = LinkState::Lost;
        note(QStringLiteral("Связь потеряна: ") + port_.reason());
        Q_EMIT linkLost();
    });
    // bytes are taken as they arrive, so the framing knows when they came
    connect(&port_, &AnalyserPort::arrived, this, [this] {
        if (state_ == LinkState::Reading) drain();
    });
}

void AnalyserLink::note(const QString& text) { periodNotes_.append({now(), {}, text}); }

// Readings and refusals from the framer join the period; fragments that are no reading go
// to the log with what they were.
void AnalyserLink::take(const QList<Fragment>& fragments) {
    for (const Fragment& f : fragments) {
        const QDateTime at = f.at >= 0 ? QDateTime::fromMSecsSinceEpoch(f.at) : now();
        const QString text = core::DecodeCp1251(f.text);
        switch (f.kind) {
        case Fragment::Line: {
            Reading r = ParseReading(text, temperature_, at);
            pendingFresh_.append(r);
            periodReadings_.append(r);
            if (r.accepted) history_.append(r);
            break;
        }
        case Fragment::Cut: {
            Reading r = ParseReading(text, temperature_, at);
            r.accepted = false;
            r.refusal = QStringLiteral("Обрезанное показание: нет конца строки, пауза больше %1 с")
                            .arg(core::StoredForm(static_cast<float>(core::RoundHalfEven(framer_.pauseLimit() / 1000.0, 1))));
            pendingFresh_.append(r);
            periodReadings_.append(r);
            break;
        }
        case Fragment::Unsynced:
            periodNotes_.append({at, {}, QStringLiteral("Отброшено начало потока после открытия порта (может быть концом показания): ") + text.simplified().left(80)});
            break;
        case Fragment::Noise:
            periodNotes_.append({at, {}, QStringLiteral("Помехи: отброшено байт %1 (%2)").arg(f.dropped).arg(QString::fromLatin1(f.text.toHex(' ')))});
            break;
        }
    }
    while (!history_.isEmpty() && history_.first().time.msecsTo(now()) > kHistoryMs) history_.removeFirst();
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
    framer_.restart(nowMs());
    framer_.setPeriodMs(period_ * 1000LL);
    periodReadings_.clear();
    readings_.clear();
    fresh_.clear();
    pendingFresh_.clear();
    history_.clear();
    periodNotes_.clear();
    notes_.clear();
    bytes_ = bytesOfPeriod_ = bytesTaken_ = 0;
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
    framer_.setPeriodMs(period_ * 1000LL);
    countdown_ = period_;
}

// Takes what the port received into the framer; the readings it completed join the period
// (and fresh(), cleared at each tick).
void AnalyserLink::drain() {
    if (state_ != LinkState::Reading) return;
    if (port_.waiting() <= 0) return;  // also notices a device that is gone
    const QByteArray bytes = port_.takeAll();
    bytes_ += bytes.size();
    bytesTaken_ += bytes.size();
    take(framer_.feedAt(bytes, nowMs()));
}

TickOutcome AnalyserLink::tick() {
    if (state_ == LinkState::Stopped) return TickOutcome::Idle;
    const bool wasReading = state_ == LinkState::Reading;
    drain();
    // a tail that waited past its pause is a cut reading, told at this tick
    if (state_ == LinkState::Reading) take(framer_.expire(nowMs()));
    fresh_ = pendingFresh_;
    pendingFresh_.clear();
    const bool lostNow = wasReading && state_ == LinkState::Lost;
    --countdown_;
    if (countdown_ > 0) return lostNow ? TickOutcome::LinkLost : TickOutcome::Counting;
    restartCountdown();
    bytesOfPeriod_ = bytes_;
    bytes_ = 0;
    readings_ = periodReadings_;
    periodReadings_.clear();
    notes_ = periodNotes_;
    periodNotes_.clear();
    bool accepted = false;
    for (const Reading& r : std::as_const(readings_)) accepted = accepted || r.accepted;
    quietPeriods_ = accepted ? 0 : quietPeriods_ + 1;
    TickOutcome outcome = readings_.isEmpty() ? TickOutcome::Skipped : TickOutcome::Read;
    if (state_ == LinkState::Lost && !lostNow) {
        if (port_.open(portText_, settingsText_)) {
            // what arrived while the port was away was thrown away on opening
            framer_.restart(nowMs());
            framer_.setPeriodMs(period_ * 1000LL);
            state_ = LinkState::Reading;
            notes_.append({now(), {}, QStringLiteral("Связь восстановлена: ") + port_.device() + QStringLiteral(" открыт снова")});
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
