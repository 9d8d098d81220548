#include "report/reportpdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/textfile.h"

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
    // `total`: the number of pages, for "Лист N из M" (0 while it is being counted)
    Pages(QPdfWriter& writer, const ReportModel& m, int total = 0)
        : writer_(writer), m_(m), p_(&writer), total_(total) {
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
    // the size of the table text; a table too wide for the page takes a smaller one
    void setTableSize(double size) { tableSize_ = size; }
    double tableSize() const { return tableSize_; }

    void newPage() {
        footer();
        writer_.newPage();
        y_ = page_.top();
    }
    void finish() { footer(); }
    int pages() const { return number_; }

    // Text wrapped at word boundaries inside `width`; the height it takes.
    double wrappedHeight(const QString& text, double width, const QFont& f) {
        p_.setFont(f);
        return p_.boundingRect(QRectF(0, 0, width, 10000), wrapFlags(text, width, f), text).height();
    }
    // Word wrap, or wrap anywhere when one word alone is wider than the room, so nothing is
    // ever cut off.
    static int wrapFlags(const QString& text, double width, const QFont& f) {
        const QFontMetricsF fm(f);
        for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
            if (fm.horizontalAdvance(word) > width) return Qt::TextWrapAnywhere;
        return Qt::TextWordWrap;
    }
    double text(const QRectF& box, const QString& t, const QFont& f, Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
        p_.setFont(f);
        const double h = wrappedHeight(t, box.width(), f);
        p_.drawText(QRectF(box.left(), box.top(), box.width(), std::max(h, box.height())),
                    static_cast<int>(align) | wrapFlags(t, box.width(), f), t);
        return h;
    }

    // The owner's approval at the top right.
    void approval(const QStringList& lines) {
        if (lines.isEmpty()) return;
        const double w = width() * 0.36, x = left() + width() - w;
        double y = y_;
        for (int i = 0; i < lines.size(); ++i) {
            const QFont f = font(i == 0 ? 9.5 : 8.5, i == 0);
            y += text(QRectF(x, y, w, 0), lines[i], f) + (i == 0 ? 4 : 3);
        }
        y_ = y + 6;
        p_.setFont(base_);
    }

    void title(const QString& text, const QString& subtitle = QString()) {
        const double h = this->text(QRectF(left(), y_, width(), 0), text, font(13, true), Qt::AlignHCenter | Qt::AlignTop);
        y_ += h + 2;
        if (!subtitle.isEmpty()) y_ += this->text(QRectF(left(), y_, width(), 0), subtitle, font(9), Qt::AlignHCenter | Qt::AlignTop) + 2;
        y_ += 6;
        p_.setFont(base_);
    }

    void headerLines(const QList<HeaderLine>& lines) {
        // two columns of caption: value pairs; a long value wraps onto the next line
        const QFont plain = font(8), bold = font(8, true);
        const double h = QFontMetricsF(plain).height() + 2;
        const int half = static_cast<int>((lines.size() + 1) / 2);
        const double colW[2] = {width() * 0.55, width() * 0.45};
        double captionW[2] = {0, 0};
        for (int i = 0; i < lines.size(); ++i)
            captionW[i < half ? 0 : 1] =
                std::max(captionW[i < half ? 0 : 1], QFontMetricsF(bold).horizontalAdvance(lines[i].caption + u':'));
        double y[2] = {y_, y_};
        for (int i = 0; i < lines.size(); ++i) {
            const int col = i < half ? 0 : 1;
            const double x = left() + (col == 0 ? 0 : colW[0]);
            const double valueW = colW[col] - captionW[col] - 20;
            const double lineH = std::max(h, wrappedHeight(lines[i].value, valueW, plain) + 2);
            text(QRectF(x, y[col], captionW[col] + 4, h), lines[i].caption + u':', bold);
            text(QRectF(x + captionW[col] + 8, y[col], valueW, lineH), lines[i].value, plain);
            y[col] += lineH;
        }
        y_ = std::max(y[0], y[1]) + 8;
        p_.setFont(base_);
    }

    double rowHeight(const QList<double>& widths, const QList<Cell>& cells) {
        double h = QFontMetricsF(font(tableSize_)).height() + 4;
        for (int i = 0; i < cells.size() && i < widths.size(); ++i)
            h = std::max(h, wrappedHeight(cells[i].text, widths[i] - 6, font(tableSize_, cells[i].bold)) + 4);
        p_.setFont(base_);
        return h;
    }

    void drawRow(const QList<double>& widths, const QList<Cell>& cells, double h) {
        double x = left();
        for (int i = 0; i < cells.size() && i < widths.size(); ++i) {
            const QRectF r(x, y_, widths[i], h);
            if (cells[i].fill != Qt::transparent) p_.fillRect(r, cells[i].fill);
            p_.setPen(QPen(QColor(120, 120, 120), 0.6));
            p_.drawRect(r);
            const QFont f = font(tableSize_, cells[i].bold);
            p_.setFont(f);
            p_.setPen(cells[i].color);
            p_.drawText(r.adjusted(3, 2, -3, -2), static_cast<int>(cells[i].align) | wrapFlags(cells[i].text, widths[i] - 6, f),
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
        for (int i = 0; i < rows.size(); ++i) {
            const auto& row = rows[i];
            const double h = rowHeight(widths, row);
            // a section heading keeps its first row on its page
            const bool section = !row.isEmpty() && row[0].fill == kSectionFillPdf && i + 1 < rows.size();
            const double need = section ? h + rowHeight(widths, rows[i + 1]) : h;
            if (room() < need) {
                newPage();
                drawRow(widths, head, headH);
            }
            drawRow(widths, row, h);
        }
        y_ += 6;
    }

    void notes(const QStringList& lines) {
        for (const QString& l : lines) {
            const double h = wrappedHeight(l, width(), font(7.5)) + 2;
            if (room() < h) newPage();
            // the card's conditions in black, the footnotes of marked values in red
            p_.setPen(l == m_.conditions || l == m_.instruments ? QColor(Qt::black) : kNoteColorPdf);
            text(QRectF(left(), y_, width(), h), l, font(7.5));
            p_.setPen(Qt::black);
            y_ += h;
        }
        if (!lines.isEmpty()) y_ += 6;
    }

    // Role, a line to sign on, and the name; role and name wrap, nothing is cut.
    void signatures(const QList<HeaderLine>& lines) {
        const QFont plain = font(8.5), bold = font(8.5, true);
        const double roleW = width() * 0.42, lineW = 170, nameX = left() + roleW + 16 + lineW + 10;
        const double nameW = left() + width() - nameX;
        double need = 0;
        QList<double> heights;
        for (const auto& s : lines) {
            const QString name = s.value.isEmpty() ? QString() : QStringLiteral("/ ") + s.value + QStringLiteral(" /");
            const double h = std::max({wrappedHeight(s.caption, roleW, bold), wrappedHeight(name, nameW, plain),
                                       QFontMetricsF(plain).height()}) + 14;
            heights.append(h);
            need += h;
        }
        if (room() < need) newPage();
        for (int i = 0; i < lines.size(); ++i) {
            const auto& s = lines[i];
            const double h = heights[i];
            const double base = y_ + h - 4;
            const double roleH = wrappedHeight(s.caption, roleW, bold);
            text(QRectF(left(), base - roleH, roleW, roleH), s.caption, bold, Qt::AlignLeft | Qt::AlignBottom);
            p_.setPen(QPen(Qt::black, 0.8));
            p_.drawLine(QPointF(left() + roleW + 16, base - 2), QPointF(left() + roleW + 16 + lineW, base - 2));
            if (!s.value.isEmpty()) {
                const QString name = QStringLiteral("/ ") + s.value + QStringLiteral(" /");
                const double nameH = wrappedHeight(name, nameW, plain);
                text(QRectF(nameX, base - nameH, nameW, nameH), name, plain, Qt::AlignLeft | Qt::AlignBottom);
            }
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
        p_.drawText(QRectF(left(), page_.bottom() - h, width() * 0.8, h), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Режимная карта: ") + m_.objectName + QStringLiteral("   ") +
                        m_.date.toString(QStringLiteral("dd.MM.yyyy")));
        p_.drawText(QRectF(left(), page_.bottom() - h, width(), h), Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("Лист ") + QString::number(number_) +
                        (total_ > 0 ? QStringLiteral(" из ") + QString::number(total_) : QString()));
        p_.setPen(Qt::black);
        p_.setFont(base_);
    }

    static inline const QColor kNoteColorPdf = QColor(192, 0, 0);
    static inline const QColor kSectionFillPdf = QColor(236, 236, 236);
    QPdfWriter& writer_;
    const ReportModel& m_;
    QPainter p_;
    QFont base_;
    QRectF page_;
    double y_ = 0;
    double footer_ = 18;
    double tableSize_ = 7.5;
    int number_ = 0;
    int total_ = 0;
};

const QColor kHeadFill(221, 230, 240);
const QColor kSectionFill(236, 236, 236);
const QColor kNoteColor(192, 0, 0);
constexpr auto kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr auto kCenter = Qt::AlignHCenter | Qt::AlignVCenter;

// A value cell: fixed decimals, and the mark in red when the value cannot be right.
Cell ValueCell(const Value& v, int decimals, const QString& warning, const QLocale& locale) {
    if (!warning.isEmpty() && v) return {ValueText(v, decimals, locale) + kDoubtMark, kRight, true, kNoteColor};
    return {ValueText(v, decimals, locale), kRight};
}

// The widest single word of a text in a font: a column narrower than that would break it.
double WidestWord(const QString& text, const QFont& f) {
    const QFontMetricsF fm(f);
    double w = 0;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) w = std::max(w, fm.horizontalAdvance(word));
    return w;
}

// The regime table over `columns` (indices into m.regimes), in blocks of regimes, so that many
// regimes still leave readable columns; the annex leaves out the card's operating rows.
void RegimeTable(Pages& pg, const ReportModel& m, const QList<int>& columns, bool annex, const QLocale& locale) {
    const int n = static_cast<int>(columns.size());
    const QFont f = pg.font(pg.tableSize());
    const QFontMetricsF fm(f);
    double captionW = 160, unitW = 46;
    for (const auto& r : m.regimeRows) {
        if (annex && r.cardOnly) continue;
        if (r.kind != RowKind::Section) captionW = std::max(captionW, fm.horizontalAdvance(r.caption) + 10);
        unitW = std::max(unitW, WidestWord(r.unit, f) + 10);
    }
    captionW = std::min(captionW, pg.width() * 0.34);
    for (int start = 0; start < std::max(n, 1); start += kMaxRegimesPerBlock) {
        const int count = std::min(kMaxRegimesPerBlock, n - start);
        // a block of few regimes keeps the width of a full one, so numbers do not drift apart
        const double valueW = (pg.width() - captionW - unitW) / std::max(count, 4);
        QList<double> widths = {captionW, unitW};
        QList<Cell> head = {{QStringLiteral("Параметр"), kCenter, true, Qt::black, kHeadFill},
                            {QStringLiteral("Ед. изм."), kCenter, true, Qt::black, kHeadFill}};
        for (int c = 0; c < count; ++c) {
            widths.append(valueW);
            // "№" stays with its number when a narrow column wraps the title
            QString title = m.regimes[columns[start + c]].title;
            title.replace(QStringLiteral("№ "), QStringLiteral("№\u00a0"));
            head.append({title, kCenter, true, Qt::black, kHeadFill});
        }
        QList<QList<Cell>> rows;
        for (const SheetRow& r : m.regimeRows) {
            if (annex && r.cardOnly) continue;
            QList<Cell> cells;
            if (r.kind == RowKind::Section) {
                cells.append({r.caption, Qt::AlignLeft | Qt::AlignVCenter, true, Qt::black, kSectionFill});
                cells.append({QString(), kCenter, false, Qt::black, kSectionFill});
                for (int c = 0; c < count; ++c) cells.append({QString(), kCenter, false, Qt::black, kSectionFill});
            } else {
                cells.append({r.caption});
                cells.append({r.unit, kCenter});
                for (int c = 0; c < count; ++c) {
                    const int k = columns[start + c];
                    if (r.kind == RowKind::Status)
                        cells.append({r.texts.value(k), kCenter, false, m.regimes[k].calculated ? Qt::black : kNoteColor});
                    else
                        cells.append(ValueCell(r.values.value(k), r.decimals, r.warnings.value(k), locale));
                }
            }
            rows.append(cells);
        }
        if (start > 0 && pg.room() < 200) pg.newPage();
        pg.table(widths, head, rows);
    }
}

void RegimeSheet(Pages& pg, const ReportModel& m, const QLocale& locale) {
    pg.approval(m.approval);
    pg.title(m.title, m.subtitle);
    pg.headerLines(m.header);
    RegimeTable(pg, m, m.cardColumns, false, locale);
    pg.notes(m.closingLines());
    pg.signatures(m.signatures);
}

// The regimes of the test that are not the card's settings, after the signed pages.
void AnnexSheet(Pages& pg, const ReportModel& m, const QLocale& locale) {
    pg.title(kAnnexTitle, m.subtitle);
    RegimeTable(pg, m, m.annexColumns, true, locale);
}

// A graph with round scale steps: grid at every step, the values at the grid lines, the
// points joined in load order, a red ring round a point whose value cannot be right.
void Graph(QPainter& p, const QRectF& box, const ChartSpec& c, const QLocale& locale, const QFont& font) {
    p.save();
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF fm(font);
    p.setFont(bold);
    p.drawText(QRectF(box.left(), box.top(), box.width(), fm.height() + 2), Qt::AlignHCenter, c.title);
    p.setFont(font);
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    auto label = [&](double v, int decimals) { return l.toString(v, 'f', decimals); };
    double labelW = 0;
    for (double v = c.y.min; v <= c.y.max + c.y.step / 2; v += c.y.step)
        labelW = std::max(labelW, fm.horizontalAdvance(label(v, c.y.decimals)));
    p.drawText(QRectF(box.left(), box.top() + fm.height() + 4, box.width(), fm.height() + 2), Qt::AlignLeft, c.yCaption);
    const QRectF area(box.left() + labelW + 10, box.top() + 2 * fm.height() + 12, box.width() - labelW - 24,
                      box.height() - 4 * fm.height() - 26);
    p.fillRect(area, QColor(250, 250, 250));
    auto X = [&](double v) { return area.left() + (v - c.x.min) / (c.x.max - c.x.min) * area.width(); };
    auto Y = [&](double v) { return area.bottom() - (v - c.y.min) / (c.y.max - c.y.min) * area.height(); };
    p.setPen(QPen(QColor(205, 205, 205), 0.6));
    for (double v = c.x.min; v <= c.x.max + c.x.step / 2; v += c.x.step) p.drawLine(QPointF(X(v), area.top()), QPointF(X(v), area.bottom()));
    for (double v = c.y.min; v <= c.y.max + c.y.step / 2; v += c.y.step) p.drawLine(QPointF(area.left(), Y(v)), QPointF(area.right(), Y(v)));
    p.setPen(QPen(Qt::black, 0.8));
    p.drawRect(area);
    for (double v = c.x.min; v <= c.x.max + c.x.step / 2; v += c.x.step) {
        const QString t = label(v, c.x.decimals);
        p.drawText(QPointF(X(v) - fm.horizontalAdvance(t) / 2, area.bottom() + fm.ascent() + 3), t);
    }
    for (double v = c.y.min; v <= c.y.max + c.y.step / 2; v += c.y.step) {
        const QString t = label(v, c.y.decimals);
        p.drawText(QPointF(area.left() - fm.horizontalAdvance(t) - 4, Y(v) + fm.ascent() / 2 - 1), t);
    }
    QPolygonF points;
    for (int k = 0; k < c.data.x.size(); ++k) points.append(QPointF(X(c.data.x[k]), Y(c.data.y[k])));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.4));
    if (points.size() > 1) p.drawPolyline(points);
    p.setPen(QPen(QColor(0, 0, 200), 5, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& pt : points) p.drawPoint(pt);
    p.setPen(QPen(kNoteColor, 1.4));
    for (int k = 0; k < points.size() && k < c.data.doubtful.size(); ++k)
        if (!c.data.doubtful[k].isEmpty()) p.drawEllipse(points[k], 6.0, 6.0);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.bottom() + fm.height() + 6, area.width(), fm.height() + 2), Qt::AlignHCenter,
               c.xCaption);
    if (c.data.empty()) p.drawText(area, Qt::AlignCenter, QStringLiteral("Нет рассчитанных режимов"));
    p.restore();
}

void SummarySheet(Pages& pg, const ReportModel& m, const QLocale& locale) {
    pg.title(QStringLiteral("СВОДНАЯ ВЕДОМОСТЬ РЕЖИМОВ"), m.subtitle);
    QList<HeaderLine> header;
    for (const auto& h : m.header)
        if (h.caption == u"Объект" || h.caption == u"Котел" || h.caption == u"Топливо" || h.caption == u"Даты испытаний")
            header.append(h);
    pg.headerLines(header);
    const int cols = static_cast<int>(m.summaryColumns.size());
    QList<Cell> head = {{QStringLiteral("Режим"), kCenter, true, Qt::black, kHeadFill}};
    for (const auto& c : m.summaryColumns)
        head.append({c.unit.isEmpty() ? c.caption : c.caption + QStringLiteral(", ") + c.unit, kCenter, true, Qt::black,
                     kHeadFill});
    head.append({QStringLiteral("Примечание"), kCenter, true, Qt::black, kHeadFill});
    QList<QList<Cell>> rows;
    for (const SummaryRow& r : m.summary) {
        QList<Cell> cells = {{r.regime}};
        for (int c = 0; c < cols; ++c)
            cells.append(ValueCell(r.values.value(c), m.summaryColumns[c].decimals, r.warnings.value(c), locale));
        cells.append({r.message.isEmpty() ? QString() : QStringLiteral("Расчет не выполнен: ") + r.message,
                      Qt::AlignLeft | Qt::AlignVCenter, false, kNoteColor});
        rows.append(cells);
    }
    // each column at least as wide as its widest word and value, so no heading breaks inside
    // a word; the rest of the page is shared out; a table still too wide takes a smaller font
    QList<double> widths;
    for (double size : {7.5, 7.0, 6.5, 6.0, 5.5}) {
        pg.setTableSize(size);
        const QFont f = pg.font(size), fb = pg.font(size, true);
        QList<double> need;
        for (int c = 0; c < head.size(); ++c) {
            double w = WidestWord(head[c].text, fb);
            for (const auto& row : rows)
                if (c != head.size() - 1) w = std::max(w, QFontMetricsF(row[c].bold ? fb : f).horizontalAdvance(row[c].text));
            need.append(w + 10);
        }
        need.last() = std::max(need.last(), 90.0);
        double sum = 0;
        for (double w : need) sum += w;
        if (sum <= pg.width() || size == 5.5) {
            const double extra = std::max(0.0, pg.width() - sum);
            widths = need;
            // the note column takes a larger share of the room left
            for (int c = 0; c < widths.size(); ++c) widths[c] += extra * (c == widths.size() - 1 ? 0.3 : 0.7 / (widths.size() - 1));
            break;
        }
    }
    pg.table(widths, head, rows);
    pg.setTableSize(7.5);
    // the footnotes of the marks this table carries
    QStringList notes;
    for (const SummaryRow& r : m.summary)
        for (const QString& w : r.warnings)
            if (!w.isEmpty() && !notes.contains(kDoubtMark + u' ' + w)) notes.append(kDoubtMark + u' ' + w);
    pg.notes(notes);

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
    // drawn twice: the first time counts the pages that "Лист N из M" names
    auto render = [&](int total, int* count) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(QStringLiteral("Режимная карта: ") + m.objectName);
            writer.setCreator(QStringLiteral("Kalvaro"));
            writer.setResolution(kDpi);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                             QMarginsF(12, 12, 12, 10), QPageLayout::Millimeter));
            Pages pages(writer, m, total);
            RegimeSheet(pages, m, locale);
            pages.newPage();
            SummarySheet(pages, m, locale);
            if (!m.annexColumns.isEmpty()) {
                pages.newPage();
                AnnexSheet(pages, m, locale);
            }
            pages.finish();
            if (count) *count = pages.pages();
        }
        return buffer.data();
    };
    int total = 0;
    render(0, &total);
    QByteArray bytes = render(total, nullptr);
    // the document's creation date is the date of the sheet, so the same regimes give the
    // same file; the text keeps its length, so the cross-reference offsets stay right
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
