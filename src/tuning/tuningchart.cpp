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

// The band of the fitted q2 + q3: the mean U95 of the step's q2 + q3.
double BandOf(const TuneStep& step) {
    double u = 0;
    for (const auto& p : step.points) u += p.u95Q23;
    return step.points.isEmpty() ? 0.0 : u / step.points.size();
}

}  // namespace

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

// The range everything drawn covers: the points with their U95 and, for the losses, the
// fitted curve with its band (sampled into `curve`).
void ChartExtent(const TuneStep& step, bool losses, double band, QList<QPointF>& curve, double& xLo, double& xHi,
                 double& yLo, double& yHi) {
    const int samples = 60;
    xLo = 1e300, xHi = -1e300, yLo = 1e300, yHi = -1e300;
    auto take = [&](double x, double y) {
        xLo = std::min(xLo, x), xHi = std::max(xHi, x), yLo = std::min(yLo, y), yHi = std::max(yHi, y);
    };
    for (const auto& pt : step.points) {
        const double y = losses ? pt.q23 : pt.co, u = losses ? pt.u95Q23 : pt.u95Co;
        take(pt.alpha, y - u);
        take(pt.alpha, y + u);
    }
    if (losses && step.enough) {
        for (int i = 0; i <= samples; ++i) {
            const double a = step.alphaMin + (step.alphaMax - step.alphaMin) * i / samples;
            curve.append(QPointF(a, step.q23At(a)));
            take(a, step.q23At(a) + band);
            take(a, step.q23At(a) - band);
        }
    }
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

// The fitted losses with their band, or the line through the CO readings.
void DrawCurve(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses, const QList<QPointF>& curve,
               double band) {
    if (losses && step.enough) {
        QPolygonF upper, lower, line;
        for (const QPointF& c : curve) {
            upper.append(at(c.x(), c.y() + band));
            lower.prepend(at(c.x(), c.y() - band));
            line.append(at(c.x(), c.y()));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 160, 230, 70));
        p.drawPolygon(upper + lower);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawPolyline(line);
    } else if (!losses) {
        QPolygonF line;
        for (const auto& pt : step.points) line.append(at(pt.alpha, pt.co));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawPolyline(line);
    }
}

// The measured points with their U95 as a bar and their numbers.
void DrawPoints(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses) {
    for (const auto& pt : step.points) {
        const double y = losses ? pt.q23 : pt.co, u = losses ? pt.u95Q23 : pt.u95Co;
        p.setPen(QPen(QColor(0, 0, 255), 1));
        p.drawLine(at(pt.alpha, y - u), at(pt.alpha, y + u));
        p.setPen(QPen(QColor(0, 0, 255), 7, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(at(pt.alpha, y));
        p.setPen(Qt::darkGray);
        p.drawText(at(pt.alpha, y) + QPointF(6, -6), QString::number(pt.number));
    }
}

// The optimum: a dashed line at its α, a ring on the curve, and its α and O2 named.
void DrawOptimum(QPainter& p, const ChartMap& at, const TuneStep& step, bool losses, const QFontMetricsF& fm,
                 const QLocale& locale) {
    const QRectF& area = at.area;
    const double optX = at(step.alphaOpt, at.ay.min).x();
    p.setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    p.drawLine(QPointF(optX, area.top()), QPointF(optX, area.bottom()));
    const QPointF opt = at(step.alphaOpt, losses ? step.q23Opt : step.coOpt);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(opt, 5.5, 5.5);
    p.setBrush(Qt::NoBrush);
    const QString label = QStringLiteral("α опт = %1 (O2 %2 %)")
                              .arg(locale.toString(step.alphaOpt, 'f', 2), locale.toString(step.o2Opt, 'f', 1));
    const double w = fm.horizontalAdvance(label);
    double x = opt.x() + 8;
    if (x + w > area.right()) x = opt.x() - 8 - w;
    p.drawText(QPointF(x, area.top() + fm.ascent() + 4), label);
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

    // everything drawn decides the scale: points, curve and band
    const double band = BandOf(step);
    QList<QPointF> curve;
    double xLo, xHi, yLo, yHi;
    ChartExtent(step, losses, band, curve, xLo, xHi, yLo, yHi);
    p.fillRect(area, results::CurveStyle().background);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), box.top() + 4, area.width(), 20), Qt::AlignLeft,
               losses ? QStringLiteral("q2 + q3, %") : QStringLiteral("CO, мг/м3"));
    p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 8, area.width(), 20), Qt::AlignHCenter,
               QStringLiteral("Коэффициент избытка воздуха α"));
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
    DrawCurve(p, at, step, losses, curve, band);
    DrawPoints(p, at, step, losses);
    if (step.enough) DrawOptimum(p, at, step, losses, fm, locale);
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
    const QStringList ph{QStringLiteral("Нагрузка ступени, %"), QStringLiteral("Режим"), QStringLiteral("Нагрузка, %"),
                         QStringLiteral("α"), QStringLiteral("q2+q3, %"), QStringLiteral("± U95"),
                         QStringLiteral("КПД, %"), QStringLiteral("± U95"), QStringLiteral("CO, мг/м3"),
                         QStringLiteral("± U95"), QStringLiteral("q2+q3 по параболе, %")};
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
    lxw_format* const forms[] = {one, whole, one, two, two, two, two, two, whole, whole, two};
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
            const double values[] = {s.load,  double(pt.number), pt.load,   pt.alpha,  pt.q23, pt.u95Q23,
                                     pt.eta, pt.u95Eta,         pt.co,     pt.u95Co};
            for (int c = 0; c < 10; ++c) wb.number(pts, row, c, shortest(values[c]), forms[c]);
            if (s.enough) wb.number(pts, row, 10, shortest(s.q23At(pt.alpha)), forms[10]);
            ++row;
        }
    worksheet_set_column(pts, 0, 10, 12, nullptr);
    return wb.commit(error);
}

}  // namespace tuning
