#include "analyser/ui/trendview.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace analyser {

TrendView::TrendView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Trend"));
    setMinimumHeight(120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TrendView::sizeHint() const { return {400, 180}; }

void TrendView::add(const QDateTime& time, double o2, double co, double temperature) {
    points_.append({time, {o2, co, temperature}});
    const QDateTime from = time.addSecs(-kMinutes * 60);
    while (!points_.isEmpty() && points_.first().time < from) points_.removeFirst();
    update();
}

void TrendView::clear() {
    points_.clear();
    update();
}

void TrendView::setWindow(int seconds, const QString& verdict, bool steady) {
    windowSeconds_ = seconds;
    verdict_ = verdict;
    steady_ = steady;
    update();
}

void TrendView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QString names[3] = {QStringLiteral("O2, %"), QStringLiteral("CO"), QStringLiteral("Тух.г")};
    const QColor colours[3] = {QColor(0, 90, 200), QColor(200, 40, 40), QColor(0, 140, 60)};
    const QFontMetrics fm(font());
    const int left = fm.horizontalAdvance(QStringLiteral("00000.0")) + 8, right = 6, top = 2;
    const int bottom = fm.height() + 4;
    const int strip = (height() - top - bottom) / 3;
    const int w = width() - left - right;
    // the time axis grows with the readings from two minutes up to kMinutes
    const QDateTime end = points_.isEmpty() ? QDateTime::currentDateTime() : points_.last().time;
    const qint64 held = points_.isEmpty() ? 0 : points_.first().time.msecsTo(end);
    const int minutes = std::clamp(static_cast<int>((held + 59999) / 60000), 2, kMinutes);
    const QDateTime start = end.addSecs(-minutes * 60);
    auto x = [&](const QDateTime& t) { return left + w * double(start.msecsTo(t)) / (minutes * 60 * 1000.0); };
    // the steadiness window, ending at the newest reading
    if (!points_.isEmpty()) {
        const double from = std::max<double>(left, x(end.addSecs(-windowSeconds_)));
        const QRectF shade(from, top, x(end) - from, 3 * strip - 3);
        p.fillRect(shade, steady_ ? QColor(220, 245, 220) : QColor(253, 240, 210));
        if (!verdict_.isEmpty()) {
            p.setPen(steady_ ? QColor(0, 110, 40) : QColor(150, 80, 0));
            p.drawText(QRectF(left + 4, top + strip - fm.height() - 4, w - 8, fm.height()), Qt::AlignRight, verdict_);
        }
    }
    const int step = minutes <= 5 ? 1 : 2;
    for (int m = 0; m <= minutes; m += step) {
        const double gx = left + w * double(minutes - m) / minutes;
        p.setPen(QColor(225, 225, 225));
        p.drawLine(QPointF(gx, top), QPointF(gx, top + 3 * strip));
        p.setPen(QColor(90, 90, 90));
        if (m == 0)
            p.drawText(QRectF(gx - 60, top + 3 * strip + 2, 60, fm.height()), Qt::AlignRight, QStringLiteral("0 мин"));
        else
            p.drawText(QRectF(gx - 30, top + 3 * strip + 2, 60, fm.height()), Qt::AlignHCenter,
                       QStringLiteral("-%1").arg(m));
    }
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 3; ++k) {
        const QRect box(left, top + k * strip, w, strip - 3);
        p.setPen(QColor(170, 170, 170));
        p.drawRect(box);
        double lo = 0, hi = 0;
        for (int i = 0; i < points_.size(); ++i) {
            const double v = points_[i].v[k];
            lo = i == 0 ? v : std::min(lo, v);
            hi = i == 0 ? v : std::max(hi, v);
        }
        const double pad = std::max((hi - lo) * 0.15, std::max(std::fabs(hi) * 0.02, 0.1));
        lo -= pad;
        hi += pad;
        auto y = [&](double v) { return box.bottom() - (v - lo) / (hi - lo) * box.height(); };
        p.setPen(colours[k]);
        p.drawText(QRect(box.left() + 4, box.top() + 1, box.width() - 8, fm.height()), Qt::AlignLeft, names[k]);
        p.setPen(QColor(90, 90, 90));
        if (!points_.isEmpty()) {
            p.drawText(QRect(0, box.top(), left - 4, fm.height()), Qt::AlignRight,
                       core::StoredForm(float(core::RoundHalfEven(hi, 1))));
            p.drawText(QRect(0, box.bottom() - fm.height(), left - 4, fm.height()), Qt::AlignRight,
                       core::StoredForm(float(core::RoundHalfEven(lo, 1))));
        }
        QPainterPath path;
        for (int i = 0; i < points_.size(); ++i) {
            const QPointF pt(x(points_[i].time), y(points_[i].v[k]));
            if (i == 0) path.moveTo(pt);
            else path.lineTo(pt);
        }
        p.setPen(QPen(colours[k], 1.6));
        p.drawPath(path);
        for (const Point& pt : points_) p.drawEllipse(QPointF(x(pt.time), y(pt.v[k])), 1.8, 1.8);
    }
}

}  // namespace analyser
