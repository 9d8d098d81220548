#include "results/graphpainter.h"

#include <QBuffer>

#include "core/textfile.h"

namespace results {

void DrawCurve(QPainter& p, const QRectF& area, const GraphData& data, const CurveStyle& style) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double W = area.width(), H = area.height();
    if (style.clear) {
        p.fillRect(area, style.background);
        if (style.grid5) {
            p.setPen(QPen(style.grid, 1));
            for (int i = 1; i <= 5; ++i) {
                const double x = area.left() + i * W / 5;
                p.drawLine(QPointF(x, area.top() + H), QPointF(x, area.top()));
            }
            for (int i = 1; i <= 5; ++i) {
                const double y = area.top() + i * H / 5;
                p.drawLine(QPointF(area.left() + W, y), QPointF(area.left(), y));
            }
        }
    }
    if (!data.empty()) {
        const Ranges r = GraphRanges(data, W, H);
        QPolygonF points;
        for (int k = 0; k < data.x.size(); ++k)
            points.append(QPointF(area.left() + PointX(r, data.x[k], W), area.top() + PointY(r, data.y[k], H)));
        p.setPen(QPen(style.curve, 1.5));
        p.drawPolyline(points);
        p.setPen(QPen(QColor(0, 0, 255), 6, Qt::SolidLine, Qt::RoundCap));
        for (const QPointF& pt : points) p.drawPoint(pt);
        // a point whose result physics does not allow gets a red ring
        p.setPen(QPen(QColor(220, 0, 0), 2));
        p.setBrush(Qt::NoBrush);
        for (int k = 0; k < points.size() && k < data.doubtful.size(); ++k)
            if (!data.doubtful[k].isEmpty()) p.drawEllipse(points[k], 7.0, 7.0);
    }
    p.restore();
}

void DrawAxisLabels(QPainter& p, const QRectF& area, const Ranges& ranges, const QLocale& locale) {
    const QStringList xs = ScaleValuesX(ranges, locale), ys = ScaleValuesY(ranges, locale);
    const QFontMetricsF fm(p.font());
    p.save();
    p.setPen(Qt::black);
    for (int i = 0; i <= 5; ++i) {
        const double x = area.left() + i * area.width() / 5;
        const double w = fm.horizontalAdvance(xs[i]);
        p.drawText(QPointF(x - w / 2, area.bottom() + fm.ascent() + 4), xs[i]);
        const double y = area.top() + i * area.height() / 5;
        p.drawText(QPointF(area.left() - fm.horizontalAdvance(ys[i]) - 6, y + fm.ascent() / 2 - 1), ys[i]);
    }
    p.restore();
}

QImage RenderGraphImage(const GraphData& data, const QString& yCaption, const QString& xCaption, const QString& title,
                        const QColor& curve, const QSize& size, const QLocale& locale) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont f = p.font();
    f.setPixelSize(13);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const QRectF area(90, 64, size.width() - 150, size.height() - 140);
    p.setPen(Qt::black);
    QFont bold = f;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(0, 6, size.width(), 22), Qt::AlignHCenter, title);
    p.setFont(f);
    p.drawText(QRectF(area.left(), 34, area.width(), 22), Qt::AlignLeft, yCaption);
    DrawCurve(p, area, data, CurveStyle{curve});
    DrawAxisLabels(p, area, GraphRanges(data, area.width(), area.height()), locale);
    p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 14, area.width(), 22), Qt::AlignHCenter, xCaption);
    if (data.empty())
        p.drawText(area, Qt::AlignCenter, QStringLiteral("Нет отмеченных режимов"));
    return image;
}

bool SaveGraphPng(const QString& path, const QImage& image, QString* error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        if (error) *error = path + QStringLiteral(": рисунок не удалось построить");
        return false;
    }
    return core::WriteFileAtomic(path, bytes, error);
}

}  // namespace results
