#include "tuning/tuningchart.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "report/reportmodel.h"
#include "results/graphpainter.h"
#include "tools/workbook.h"

namespace tuning {

namespace {

// From the values of a step to the chart's area, over scales of round numbers.
struct ChartMap {
    QRectF area;
    report::Axis ax, ay;
    QPointF operator()(double x, double y) const {
        return QPointF(area.left() + (x - ax.min) / (ax.max - ax.min) * area.width(),
                       area.bottom() - (y - ay.min) / (ay.max - ay.min) * area.height());
    }
};

// The range everything drawn covers: the points with their U95, the fitted curve (sampled
// into `curve`), the set point's band and, for CO, the ceiling.
void ChartExtent(const TuneStep& step, bool losses, QList<QPointF>& curve, double& xLo, double& xHi, double& yLo,
                 double& yHi) {
    const int samples = 60;
    xLo = 1e300, xHi = -1e300, yLo = 1e300, yHi = -1e300;
    auto take = [&](double x, double y) {
        xLo = std::min(xLo, x), xHi = std::max(xHi, x), yLo = std::min(yLo, y), yHi = std::max(yHi, y);
    };
    for (const auto& pt : step.points) {
        const double y = losses ? pt.q23 : pt.co, u = losses ? pt.u95Q23 : pt.u95Co;
        take(pt.o2, y - u);
        take(pt.o2, y + u);
    }
    const bool fitted = losses ? step.enough : step.coFit;
    if (fitted)
        for (int i = 0; i <= samples; ++i) {
            const double x = step.o2Min + (step.o2Max - step.o2Min) * i / samples;
            curve.append(QPointF(x, losses ? step.q23At(x) : step.coAt(x)));
            take(x, curve.last().y());
        }
    if (step.hasSetPoint()) {
        take(step.o2Set - step.o2SetU95, yLo);
        take(step.o2Set + step.o2SetU95, yLo);
    }
    if (!losses) take(xLo, std::min(step.ceiling * 1.1, std::max(yHi, step.ceiling * 1.1)));
}

// The grid lines of both scales with their values.
void DrawScales(QPainter& p, const ChartMap& at, const QFontMetricsF& fm, const QLocale& locale) {
    const report::Axis& ax = at.ax;
    const report::Axis& ay = at.ay;
    const QRectF& area = at.area;
    const int xSteps = static_cast<int>(std::lround((ax.max - ax.min) / ax.step));
    const int ySteps = static_cast<int>(std::lround((ay.max - ay.min) / ay.step));
    for (int i = 0; i <= xSteps; ++i) {
        const double x = at(ax.min + i * ax.step, ay.min).x();
        p.setPen(QPen(results::CurveStyle().grid, 1));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(Qt::black);
        const QString text = locale.toString(ax.min + i * ax.step, 'f', ax.decimals);
        p.drawText(QPointF(x - fm.horizontalAdvance(text) / 2, area.bottom() + fm.ascent() + 4), text);
    }
    for (int i = 0; i <= ySteps; ++i) {
        const double y = at(ax.min, ay.min + i * ay.step).y();
        p.setPen(QPen(results::CurveStyle().grid, 1));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(Qt::black);
        const QString text = locale.toString(ay.min + i * ay.step, 'f', ay.decimals);
        p.drawText(QPointF(area.left() - fm.horizontalAdvance(text) - 6, y + fm.ascent() / 2 - 1), text);
    }
}

// The fitted curve (the parabola of the losses, the exponential of CO), or the line through
// the CO readings without a fit.
void DrawCurve(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses, const QList<QPointF>& curve) {
    QPolygonF line;
    if (!curve.isEmpty())
        for (const QPointF& c : curve) line.append(at(c.x(), c.y()));
    else if (!losses)
        for (const auto& pt : step.points) line.append(at(pt.o2, pt.co));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawPolyline(line);
}

// The measured points with their U95 as a bar and their numbers; the regime marked as found
// is a ring.
void DrawPoints(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses) {
    for (int i = 0; i < step.points.size(); ++i) {
        const auto& pt = step.points[i];
        const double y = losses ? pt.q23 : pt.co, u = losses ? pt.u95Q23 : pt.u95Co;
        p.setPen(QPen(QColor(0, 0, 255), 1));
        p.drawLine(at(pt.o2, y - u), at(pt.o2, y + u));
        p.setPen(QPen(QColor(0, 0, 255), 7, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(at(pt.o2, y));
        if (i == step.asFound) {
            p.setPen(QPen(QColor(0, 0, 255), 1.5));
            p.drawEllipse(at(pt.o2, y), 7, 7);
        }
        p.setPen(Qt::darkGray);
        // the number beside its point, to the left where the right edge would cut it
        const QString label = QString::number(pt.number) + (i == step.asFound ? QStringLiteral(" исх.") : QString());
        const double w = QFontMetricsF(p.font()).horizontalAdvance(label);
        const QPointF spot = at(pt.o2, y);
        p.drawText(spot + QPointF(spot.x() + 6 + w > at.area.right() ? -6 - w : 6, -6), label);
    }
}

// The CO ceiling (CO chart) and the rich limit where the CO line reaches it.
void DrawCeiling(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses, const QFontMetricsF& fm,
                 const QLocale& locale) {
    const QRectF& area = at.area;
    const QColor orange(220, 120, 0);
    if (!losses) {
        const double y = at(at.ax.min, step.ceiling).y();
        p.setPen(QPen(orange, 1.5, Qt::DashLine));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.drawText(QPointF(area.right() - fm.horizontalAdvance(QStringLiteral("предел CO 0000")), y - 4),
                   QStringLiteral("предел CO ") + locale.toString(step.ceiling, 'f', 0));
    }
    const double x = at(step.o2Rich, at.ay.min).x();
    p.setPen(QPen(orange, 1.5, Qt::DotLine));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
}

// The set point: its band, a dashed line at it, a ring on the curve, and its O2 named.
void DrawSetPoint(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses, const QFontMetricsF& fm,
                  const QLocale& locale) {
    const QRectF& area = at.area;
    const double lo = at(step.o2Set - step.o2SetU95, at.ay.min).x(), hi = at(step.o2Set + step.o2SetU95, at.ay.min).x();
    p.fillRect(QRectF(QPointF(lo, area.top()), QPointF(hi, area.bottom())), QColor(230, 80, 80, 50));
    const double x = at(step.o2Set, at.ay.min).x();
    p.setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    const QPointF set = at(step.o2Set, losses ? step.q23AtSet : step.coAtSet);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(set, 5.5, 5.5);
    p.setBrush(Qt::NoBrush);
    const QString label = QStringLiteral("O2 = %1 ± %2 % (α %3)")
                              .arg(locale.toString(step.o2Set, 'f', 1), locale.toString(step.o2SetU95, 'f', 1),
                                   locale.toString(step.alphaSet, 'f', 2));
    const double w = fm.horizontalAdvance(label);
    double lx = x + 8;
    if (lx + w > area.right()) lx = x - 8 - w;
    p.drawText(QPointF(std::max(area.left() + 2, lx), area.top() + fm.ascent() + 4), label);
}

}  // namespace

void DrawStepChart(QPainter& p, const QRectF& box, const TuneStep& step, Chart chart, const QLocale& locale) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const QRectF area(box.left() + 62, box.top() + 26, box.width() - 80, box.height() - 64);
    const bool losses = chart == Chart::Losses;

    // everything drawn decides the scale: points, curve, band and ceiling
    QList<QPointF> curve;
    double xLo, xHi, yLo, yHi;
    ChartExtent(step, losses, curve, xLo, xHi, yLo, yHi);
    p.fillRect(area, results::CurveStyle().background);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), box.top() + 4, area.width(), 20), Qt::AlignLeft,
               losses ? QStringLiteral("q2 + q3, %") : QStringLiteral("CO, мг/м3"));
    p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 8, area.width(), 20), Qt::AlignHCenter,
               QStringLiteral("Содержание O2, %"));
    if (step.points.isEmpty()) {
        p.restore();
        return;
    }
    // scales of round numbers, as on the card's charts; neither losses nor CO go below zero,
    // whatever the uncertainty band says
    const ChartMap at{area, report::NiceAxis(xLo, xHi), report::NiceAxis(std::max(0.0, yLo), yHi)};
    DrawScales(p, at, fm, locale);
    // the band and the bars reach beyond the scale only where it stops at zero
    p.setClipRect(area.adjusted(-4, -4, 4, 4));
    if (step.hasSetPoint()) DrawSetPoint(p, at, step, losses, fm, locale);
    if (step.coFit) DrawCeiling(p, at, step, losses, fm, locale);
    DrawCurve(p, at, step, losses, curve);
    DrawPoints(p, at, step, losses);
    p.restore();
}

QImage RenderStep(const TuneStep& step, const QSize& size, const QLocale& locale) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const double half = size.width() / 2.0;
    DrawStepChart(p, QRectF(0, 0, half, size.height()), step, Chart::Losses, locale);
    DrawStepChart(p, QRectF(half, 0, half, size.height()), step, Chart::Co, locale);
    return image;
}

bool WriteTuningWorkbook(const QString& path, const QString& objectName, const QList<TuneStep>& steps, QString* error) {
    tools::Workbook wb(path);
    if (!wb.ok()) {
        if (error) *error = path;
        return false;
    }
    lxw_worksheet* ws = wb.addSheet(QStringLiteral("Ступени"));
    wb.text(ws, 0, 0, QStringLiteral("Оптимальный избыток воздуха: ") + objectName, wb.bold());
    const QStringList header = StepTableHeader();
    for (int c = 0; c < header.size(); ++c) wb.text(ws, 2, c, header[c], wb.bold());
    int row = 3;
    for (const auto& s : steps) {
        const QStringList cells = StepTableRow(s);
        for (int c = 0; c < cells.size(); ++c) wb.cell(ws, row, c, cells[c]);
        ++row;
    }
    lxw_worksheet* pts = wb.addSheet(QStringLiteral("Опыты"));
    const QStringList ph{QStringLiteral("Нагрузка ступени, %"),
                         QStringLiteral("Режим"),
                         QStringLiteral("Нагрузка, %"),
                         QStringLiteral("O2, %"),
                         QStringLiteral("q2+q3, %"),
                         QStringLiteral("± U95"),
                         QStringLiteral("КПД, %"),
                         QStringLiteral("± U95"),
                         QStringLiteral("CO, мг/м3"),
                         QStringLiteral("± U95"),
                         QStringLiteral("q2+q3 по параболе, %")};
    for (int c = 0; c < ph.size(); ++c) wb.text(pts, 0, c, ph[c], wb.bold());
    // each column in the decimals it is read in, and every value as the single-precision
    // number the results are kept in shows it (1.21, not 1.210000038146973)
    auto numberFormat = [&](const char* form) {
        lxw_format* f = workbook_add_format(wb.book());
        format_set_num_format(f, form);
        return f;
    };
    lxw_format* whole = numberFormat("0");
    lxw_format* one = numberFormat("0.0");
    lxw_format* two = numberFormat("0.00");
    lxw_format* const forms[] = {one, whole, one, one, two, two, two, two, whole, whole, two};
    auto shortest = [](double v) {
        const float f = static_cast<float>(v);
        if (!std::isfinite(f)) return v;  // left out by the writer
        char text[32];
        const auto r = std::to_chars(text, text + sizeof text - 1, f);
        *r.ptr = '\0';
        return std::strtod(text, nullptr);
    };
    row = 1;
    for (const auto& s : steps)
        for (const auto& pt : s.points) {
            const double values[] = {s.load, double(pt.number), pt.load, pt.o2,   pt.q23, pt.u95Q23,
                                     pt.eta, pt.u95Eta,         pt.co,   pt.u95Co};
            for (int c = 0; c < 10; ++c) wb.number(pts, row, c, shortest(values[c]), forms[c]);
            if (s.enough) wb.number(pts, row, 10, shortest(s.q23At(pt.o2)), forms[10]);
            ++row;
        }
    worksheet_set_column(pts, 0, 10, 12, nullptr);
    return wb.commit(error);
}

}  // namespace tuning
