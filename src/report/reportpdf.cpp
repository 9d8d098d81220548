#include "report/reportpdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/textfile.h"
#include "results/graphpainter.h"

namespace report {

namespace {

// The page is laid out in units of 1/96 inch, the unit the graph painter's pens are made for.
constexpr int kDpi = 96;
constexpr int kMaxRegimesPerBlock = 8;

struct Cell {
    QString text;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool bold = false;
    QColor color = Qt::black;
    QColor fill = Qt::transparent;
};

class Pages {
public:
    Pages(QPdfWriter& writer, const ReportModel& m) : writer_(writer), m_(m), p_(&writer) {
        base_ = QFont(QStringLiteral("DejaVu Sans"));
        base_.setPointSizeF(7.5);
        p_.setFont(base_);
        const QRect r = writer.pageLayout().paintRectPixels(kDpi);
        page_ = QRectF(0, 0, r.width(), r.height());
        y_ = page_.top();
    }
    QPainter& painter() { return p_; }
    QFont font(double size = 7.5, bool bold = false) const {
        QFont f = base_;
        f.setPointSizeF(size);
        f.setBold(bold);
        return f;
    }
    double width() const { return page_.width(); }
    double left() const { return page_.left(); }
    double y() const { return y_; }
    double room() const { return page_.bottom() - footer_ - y_; }
    void advance(double dy) { y_ += dy; }

    void newPage() {
        footer();
        writer_.newPage();
        y_ = page_.top();
    }
    void finish() { footer(); }

    void title(const QString& text) {
        p_.setFont(font(13, true));
        const double h = QFontMetricsF(p_.font()).height();
        p_.drawText(QRectF(left(), y_, width(), h), Qt::AlignLeft | Qt::AlignVCenter, text);
        y_ += h + 6;
        p_.setFont(base_);
    }

    void headerLines(const QList<HeaderLine>& lines) {
        // two columns of caption: value pairs
        p_.setFont(font(8));
        const QFontMetricsF fm(p_.font());
        const double h = fm.height() + 2;
        // the left column holds the long lines (boiler, fuel) and gets the larger share;
        // a value too long for its column wraps onto the next line instead of being cut
        const int half = static_cast<int>((lines.size() + 1) / 2);
        const double colW[2] = {width() * 0.6, width() * 0.4};
        double captionW = 0;
        for (const auto& l : lines) captionW = std::max(captionW, QFontMetricsF(font(8, true)).horizontalAdvance(l.caption + u':'));
        double y[2] = {y_, y_};
        for (int i = 0; i < lines.size(); ++i) {
            const int col = i < half ? 0 : 1;
            const double x = left() + (col == 0 ? 0 : colW[0]);
            const double valueW = colW[col] - captionW - 16;
            p_.setFont(font(8));
            const double lineH =
                std::max(h, p_.boundingRect(QRectF(0, 0, valueW, 1000), Qt::TextWordWrap, lines[i].value).height() + 2);
            p_.setFont(font(8, true));
            p_.drawText(QRectF(x, y[col], captionW + 4, h), Qt::AlignLeft | Qt::AlignVCenter, lines[i].caption + u':');
            p_.setFont(font(8));
            p_.drawText(QRectF(x + captionW + 10, y[col], valueW, lineH), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                        lines[i].value);
            y[col] += lineH;
        }
        y_ = std::max(y[0], y[1]) + 8;
        p_.setFont(base_);
    }

    // Word wrap, or wrap anywhere when one word alone is wider than the cell, so nothing
    // is cut off.
    int wrapFlags(const QString& text, double width, bool bold) const {
        const QFontMetricsF fm(font(7.5, bold));
        for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
            if (fm.horizontalAdvance(word) > width) return Qt::TextWrapAnywhere;
        return Qt::TextWordWrap;
    }

    double rowHeight(const QList<double>& widths, const QList<Cell>& cells) {
        double h = QFontMetricsF(base_).height() + 4;
        for (int i = 0; i < cells.size() && i < widths.size(); ++i) {
            p_.setFont(font(7.5, cells[i].bold));
            const QRectF need = p_.boundingRect(QRectF(0, 0, widths[i] - 6, 10000),
                                                wrapFlags(cells[i].text, widths[i] - 6, cells[i].bold), cells[i].text);
            h = std::max(h, need.height() + 4);
        }
        p_.setFont(base_);
        return h;
    }

    void drawRow(const QList<double>& widths, const QList<Cell>& cells, double h) {
        double x = left();
        p_.setPen(QPen(QColor(120, 120, 120), 0.6));
        for (int i = 0; i < cells.size() && i < widths.size(); ++i) {
            const QRectF r(x, y_, widths[i], h);
            if (cells[i].fill != Qt::transparent) p_.fillRect(r, cells[i].fill);
            p_.setPen(QPen(QColor(120, 120, 120), 0.6));
            p_.drawRect(r);
            p_.setFont(font(7.5, cells[i].bold));
            p_.setPen(cells[i].color);
            p_.drawText(r.adjusted(3, 2, -3, -2),
                        static_cast<int>(cells[i].align) | wrapFlags(cells[i].text, widths[i] - 6, cells[i].bold),
                        cells[i].text);
            x += widths[i];
        }
        p_.setFont(base_);
        p_.setPen(Qt::black);
        y_ += h;
    }

    // Rows flow over pages; the head row is repeated at the top of every page.
    void table(const QList<double>& widths, const QList<Cell>& head, const QList<QList<Cell>>& rows) {
        const double headH = rowHeight(widths, head);
        if (room() < headH * 3) newPage();
        drawRow(widths, head, headH);
        for (const auto& row : rows) {
            const double h = rowHeight(widths, row);
            if (room() < h) {
                newPage();
                drawRow(widths, head, headH);
            }
            drawRow(widths, row, h);
        }
        y_ += 10;
    }

    void signatures(const QList<HeaderLine>& lines) {
        const double h = QFontMetricsF(font(8)).height() + 14;
        if (room() < h * lines.size()) newPage();
        for (const auto& s : lines) {
            p_.setFont(font(8, true));
            p_.drawText(QRectF(left(), y_, 260, h), Qt::AlignLeft | Qt::AlignBottom, s.caption);
            p_.setFont(font(8));
            p_.drawLine(QPointF(left() + 270, y_ + h - 3), QPointF(left() + 470, y_ + h - 3));
            if (!s.value.isEmpty())
                p_.drawText(QRectF(left() + 480, y_, 300, h), Qt::AlignLeft | Qt::AlignBottom,
                            QStringLiteral("/ ") + s.value + QStringLiteral(" /"));
            y_ += h;
        }
        p_.setFont(base_);
    }

private:
    void footer() {
        ++number_;
        p_.setFont(font(7));
        p_.setPen(QColor(90, 90, 90));
        const double h = QFontMetricsF(p_.font()).height();
        p_.drawText(QRectF(left(), page_.bottom() - h, width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                    m_.objectName + QStringLiteral("   ") + m_.date.toString(QStringLiteral("dd.MM.yyyy")));
        p_.drawText(QRectF(left(), page_.bottom() - h, width(), h), Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("Лист ") + QString::number(number_));
        p_.setPen(Qt::black);
        p_.setFont(base_);
    }

    QPdfWriter& writer_;
    const ReportModel& m_;
    QPainter p_;
    QFont base_;
    QRectF page_;
    double y_ = 0;
    double footer_ = 18;
    int number_ = 0;
};

const QColor kHeadFill(221, 230, 240);
const QColor kSectionFill(236, 236, 236);
const QColor kNoteColor(192, 0, 0);
constexpr auto kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr auto kCenter = Qt::AlignHCenter | Qt::AlignVCenter;

void RegimeSheet(Pages& pg, const ReportModel& m, const QLocale& locale) {
    pg.title(QStringLiteral("Режимная карта котла"));
    pg.headerLines(m.header);
    const int n = static_cast<int>(m.regimes.size());
    QPainter& p = pg.painter();
    p.setFont(pg.font());
    const QFontMetricsF fm(p.font());
    double captionW = 120, unitW = 50;
    for (const auto& r : m.regimeRows) {
        if (r.kind != RowKind::Section) captionW = std::max(captionW, fm.horizontalAdvance(r.caption) + 10);
        unitW = std::max(unitW, fm.horizontalAdvance(r.unit.trimmed()) + 10);
    }
    captionW = std::min(captionW, pg.width() * 0.36);
    // regimes in blocks, so that many regimes still leave readable columns
    for (int start = 0; start < std::max(n, 1); start += kMaxRegimesPerBlock) {
        const int count = std::min(kMaxRegimesPerBlock, n - start);
        const double valueW = count > 0 ? (pg.width() - captionW - unitW) / count : 0;
        QList<double> widths = {captionW, unitW};
        QList<Cell> head = {{QStringLiteral("Параметр"), kCenter, true, Qt::black, kHeadFill},
                            {QStringLiteral("Ед. изм."), kCenter, true, Qt::black, kHeadFill}};
        for (int c = 0; c < count; ++c) {
            widths.append(valueW);
            head.append({m.regimes[start + c].title, kCenter, true, Qt::black, kHeadFill});
        }
        QList<QList<Cell>> rows;
        for (const SheetRow& r : m.regimeRows) {
            QList<Cell> cells;
            if (r.kind == RowKind::Section) {
                cells.append({r.caption, Qt::AlignLeft | Qt::AlignVCenter, true, Qt::black, kSectionFill});
                cells.append({QString(), kCenter, false, Qt::black, kSectionFill});
                for (int c = 0; c < count; ++c) cells.append({QString(), kCenter, false, Qt::black, kSectionFill});
            } else {
                cells.append({r.caption});
                cells.append({r.unit.trimmed(), kCenter});
                for (int c = 0; c < count; ++c) {
                    const int k = start + c;
                    if (r.kind == RowKind::Status)
                        cells.append({r.texts.value(k), kCenter, false, m.regimes[k].calculated ? Qt::black : kNoteColor});
                    else
                        cells.append({ValueText(r.values.value(k), locale), kRight});
                }
            }
            rows.append(cells);
        }
        pg.table(widths, head, rows);
        if (start + kMaxRegimesPerBlock < n) pg.newPage();
    }
    pg.signatures(m.signatures);
}

void Graph(QPainter& p, const QRectF& box, const ChartSpec& c, const QLocale& locale, const QFont& font) {
    p.save();
    p.setFont(font);
    const QFontMetricsF fm(font);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(box.left(), box.top(), box.width(), fm.height() + 2), Qt::AlignHCenter, c.title);
    p.setFont(font);
    p.drawText(QRectF(box.left() + 60, box.top() + fm.height() + 4, box.width() - 60, fm.height() + 2), Qt::AlignLeft,
               c.yCaption);
    const QRectF area(box.left() + 60, box.top() + 2 * fm.height() + 10, box.width() - 80,
                      box.height() - 4 * fm.height() - 24);
    results::DrawCurve(p, area, c.data, results::CurveStyle{Qt::black});
    results::DrawAxisLabels(p, area, results::ComputeRanges(c.data, area.width(), area.height()), locale);
    p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 8, area.width(), fm.height() + 2), Qt::AlignHCenter,
               c.xCaption);
    if (c.data.empty()) p.drawText(area, Qt::AlignCenter, QStringLiteral("Нет рассчитанных режимов"));
    p.restore();
}

void SummarySheet(Pages& pg, const ReportModel& m, const QLocale& locale) {
    pg.title(QStringLiteral("Сводная ведомость режимов"));
    pg.headerLines(m.header);
    const int cols = static_cast<int>(m.summaryColumns.size());
    const double regimeW = 80, noteW = 150;
    const double valueW = (pg.width() - regimeW - noteW) / std::max(cols, 1);
    QList<double> widths = {regimeW};
    QList<Cell> head = {{QStringLiteral("Режим"), kCenter, true, Qt::black, kHeadFill}};
    for (const auto& c : m.summaryColumns) {
        widths.append(valueW);
        const QString unit = c.unit.trimmed();
        head.append({unit.isEmpty() ? c.caption : c.caption + QStringLiteral(", ") + unit, kCenter, true, Qt::black,
                     kHeadFill});
    }
    widths.append(noteW);
    head.append({QStringLiteral("Примечание"), kCenter, true, Qt::black, kHeadFill});
    QList<QList<Cell>> rows;
    for (const SummaryRow& r : m.summary) {
        QList<Cell> cells = {{r.regime}};
        for (int c = 0; c < cols; ++c) cells.append({ValueText(r.values.value(c), locale), kRight});
        cells.append({r.message.isEmpty() ? QString() : QStringLiteral("Расчет не выполнен: ") + r.message,
                      Qt::AlignLeft | Qt::AlignVCenter, false, kNoteColor});
        rows.append(cells);
    }
    QList<Cell> mean = {{QStringLiteral("Среднее"), Qt::AlignLeft | Qt::AlignVCenter, true, Qt::black, kSectionFill}};
    for (int c = 0; c < cols; ++c)
        mean.append({ValueText(m.summaryMean.value(c), locale), kRight, true, Qt::black, kSectionFill});
    mean.append({QString(), kCenter, false, Qt::black, kSectionFill});
    rows.append(mean);
    pg.table(widths, head, rows);

    if (!m.charts.isEmpty()) {
        const double h = 300;
        if (pg.room() < h) pg.newPage();
        const double gap = 24;
        const double w = (pg.width() - gap * (m.charts.size() - 1)) / m.charts.size();
        for (int i = 0; i < m.charts.size(); ++i)
            Graph(pg.painter(), QRectF(pg.left() + i * (w + gap), pg.y(), w, h), m.charts[i], locale, pg.font(8));
        pg.advance(h + 12);
    }
    pg.signatures(m.signatures);
}

}  // namespace

QLocale ReportLocale() { return QLocale(QLocale::Russian, QLocale::Russia); }

QByteArray RenderReportPdf(const ReportModel& m, const QLocale& locale) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Режимная карта: ") + m.objectName);
        writer.setCreator(QStringLiteral("Kalvaro"));
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 10),
                                         QPageLayout::Millimeter));
        Pages pages(writer, m);
        RegimeSheet(pages, m, locale);
        pages.newPage();
        SummarySheet(pages, m, locale);
        pages.finish();
    }
    // the document's creation date is the date of the sheet, so the same regimes give the
    // same file; the text keeps its length, so the cross-reference offsets stay right
    QByteArray bytes = buffer.data();
    const QByteArray key = "/CreationDate (";
    const qsizetype at = bytes.indexOf(key);
    if (at >= 0 && m.date.isValid()) {
        const qsizetype from = at + key.size(), to = bytes.indexOf(')', from);
        const QByteArray stamp = "D:" + m.date.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "120000Z";
        if (to > from && to - from == stamp.size()) bytes.replace(from, stamp.size(), stamp);
    }
    return bytes;
}

bool WriteReportPdf(const QString& path, const ReportModel& m, QString* error, const QLocale& locale) {
    const QByteArray bytes = RenderReportPdf(m, locale);
    if (bytes.isEmpty()) {
        if (error) *error = QStringLiteral("the PDF could not be drawn");
        return false;
    }
    return core::WriteFileAtomic(path, bytes, error);
}

}  // namespace report
