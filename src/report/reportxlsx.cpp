#include "report/reportxlsx.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <xlsxwriter.h>

#include <algorithm>
#include <vector>

#include "core/textfile.h"

namespace report {

namespace {

constexpr int kMaxRegimesPerBlock = 8;  // regimes per printed page width, as in the PDF
constexpr int kMaxDecimals = kMaxRowDecimals;

struct Formats {
    lxw_format *title, *subtitle, *bold, *plain, *head, *text, *section, *note, *approval, *approvalHead;
    lxw_format* number[kMaxDecimals + 1];  // fixed decimals 0..6
    lxw_format* marked[kMaxDecimals + 1];  // the same in red: the value cannot be right
};

QByteArray NumberFormat(int decimals) {
    return decimals <= 0 ? QByteArray("0") : QByteArray("0.") + QByteArray(decimals, '0');
}

Formats MakeFormats(lxw_workbook* wb) {
    Formats f{};
    f.title = workbook_add_format(wb);
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    format_set_align(f.title, LXW_ALIGN_CENTER);
    f.subtitle = workbook_add_format(wb);
    format_set_align(f.subtitle, LXW_ALIGN_CENTER);
    format_set_text_wrap(f.subtitle);
    f.bold = workbook_add_format(wb);
    format_set_bold(f.bold);
    format_set_text_wrap(f.bold);
    format_set_align(f.bold, LXW_ALIGN_VERTICAL_TOP);
    f.plain = workbook_add_format(wb);
    format_set_text_wrap(f.plain);
    format_set_align(f.plain, LXW_ALIGN_VERTICAL_TOP);
    f.approvalHead = workbook_add_format(wb);
    format_set_bold(f.approvalHead);
    f.approval = workbook_add_format(wb);
    f.head = workbook_add_format(wb);
    format_set_bold(f.head);
    format_set_border(f.head, LXW_BORDER_THIN);
    format_set_bg_color(f.head, 0xDDE6F0);
    format_set_text_wrap(f.head);
    format_set_align(f.head, LXW_ALIGN_CENTER);
    format_set_align(f.head, LXW_ALIGN_VERTICAL_CENTER);
    f.text = workbook_add_format(wb);
    format_set_border(f.text, LXW_BORDER_THIN);
    format_set_text_wrap(f.text);
    format_set_align(f.text, LXW_ALIGN_VERTICAL_CENTER);
    for (int d = 0; d <= kMaxDecimals; ++d) {
        const QByteArray nf = NumberFormat(d);
        f.number[d] = workbook_add_format(wb);
        format_set_border(f.number[d], LXW_BORDER_THIN);
        format_set_num_format(f.number[d], nf.constData());
        f.marked[d] = workbook_add_format(wb);
        format_set_border(f.marked[d], LXW_BORDER_THIN);
        format_set_num_format(f.marked[d], (nf + "\"*\"").constData());
        format_set_font_color(f.marked[d], 0xC00000);
        format_set_bold(f.marked[d]);
    }
    f.section = workbook_add_format(wb);
    format_set_bold(f.section);
    format_set_border(f.section, LXW_BORDER_THIN);
    format_set_bg_color(f.section, 0xEFEFEF);
    f.note = workbook_add_format(wb);
    format_set_border(f.note, LXW_BORDER_THIN);
    format_set_text_wrap(f.note);
    format_set_font_color(f.note, 0xC00000);
    return f;
}

void Text(lxw_worksheet* ws, int row, int col, const QString& text, lxw_format* f) {
    worksheet_write_string(ws, row, col, text.toUtf8().constData(), f);
}

void Number(lxw_worksheet* ws, int row, int col, const Value& v, int decimals, bool marked, const Formats& f) {
    const int d = std::clamp(decimals, 0, kMaxDecimals);
    lxw_format* format = marked ? f.marked[d] : f.number[d];
    if (v) worksheet_write_number(ws, row, col, CellNumber(*v), format);
    else worksheet_write_blank(ws, row, col, f.number[d]);
}

void Merged(lxw_worksheet* ws, int row, int first, int last, const QString& text, lxw_format* f) {
    if (last > first) worksheet_merge_range(ws, row, first, row, last, text.toUtf8().constData(), f);
    else Text(ws, row, first, text, f);
}

// Rows of caption: value pairs from `row`; values merged over columns 1..lastCol.
int WriteHeaderLines(lxw_worksheet* ws, const QList<HeaderLine>& lines, int row, const Formats& f, int lastCol) {
    for (const auto& h : lines) {
        Text(ws, row, 0, h.caption, f.bold);
        Merged(ws, row, 1, lastCol, h.value, f.plain);
        // a long value wraps over more height instead of running out of its cells
        if (h.value.size() > 90) worksheet_set_row(ws, row, 15.0 * (1 + h.value.size() / 90), nullptr);
        ++row;
    }
    return row;
}

int WriteNotes(lxw_worksheet* ws, const QStringList& notes, int row) {
    for (const QString& n : notes) worksheet_write_string(ws, row++, 0, n.toUtf8().constData(), nullptr);
    return row;
}

void WriteSignatures(lxw_worksheet* ws, const ReportModel& m, int row, const Formats& f, int nameCol) {
    for (const auto& s : m.signatures) {
        Text(ws, row, 0, s.caption, f.bold);
        Text(ws, row, 1, QStringLiteral("____________________"), nullptr);
        if (!s.value.isEmpty()) Text(ws, row, nameCol, QStringLiteral("/ ") + s.value + QStringLiteral(" /"), nullptr);
        worksheet_set_row(ws, row, 30, nullptr);
        row += 2;
    }
}

void PageSetup(lxw_worksheet* ws) {
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);  // A4
    worksheet_set_margins(ws, 0.4, 0.4, 0.5, 0.5);
}

// The regime table over `columns` from `row` on; the annex leaves out the card's operating
// rows. Returns the row after it.
int WriteRegimeTable(lxw_worksheet* ws, const ReportModel& m, const QList<int>& columns, bool annex, int row,
                     const Formats& f) {
    const int n = static_cast<int>(columns.size());
    Text(ws, row, 0, QStringLiteral("Параметр"), f.head);
    Text(ws, row, 1, QStringLiteral("Ед. изм."), f.head);
    for (int c = 0; c < n; ++c) Text(ws, row, 2 + c, m.regimes[columns[c]].title, f.head);
    worksheet_repeat_rows(ws, row, row);
    ++row;
    for (const SheetRow& r : m.regimeRows) {
        if (annex && r.cardOnly) continue;
        if (r.kind == RowKind::Section) {
            Text(ws, row, 0, r.caption, f.section);
            for (int c = 1; c < n + 2; ++c) worksheet_write_blank(ws, row, c, f.section);
        } else {
            Text(ws, row, 0, r.caption, f.text);
            Text(ws, row, 1, r.unit, f.text);
            for (int c = 0; c < n; ++c) {
                const int k = columns[c];
                if (r.kind == RowKind::Status)
                    Text(ws, row, 2 + c, r.texts.value(k), m.regimes[k].calculated ? f.text : f.note);
                else Number(ws, row, 2 + c, r.values.value(k), r.decimals, !r.warnings.value(k).isEmpty(), f);
            }
            if (r.caption.size() > 46) worksheet_set_row(ws, row, 15.0 * (1 + r.caption.size() / 46), nullptr);
        }
        ++row;
    }
    worksheet_set_column(ws, 0, 0, 48, nullptr);
    worksheet_set_column(ws, 1, 1, 10, nullptr);
    if (n > 0) worksheet_set_column(ws, 2, 1 + n, 12, nullptr);
    // printed like the PDF: blocks of regimes side by side on pages, caption and unit
    // repeated on each, at a scale that fits one block to the page width
    worksheet_repeat_columns(ws, 0, 1);
    std::vector<lxw_col_t> breaks;
    for (int c = kMaxRegimesPerBlock; c < n; c += kMaxRegimesPerBlock) breaks.push_back(static_cast<lxw_col_t>(2 + c));
    breaks.push_back(0);
    if (breaks.size() > 1) worksheet_set_v_pagebreaks(ws, breaks.data());
    worksheet_set_print_scale(ws, 85);
    return row;
}

void WriteRegimeSheet(lxw_workbook* wb, const ReportModel& m, const Formats& f) {
    const QByteArray name = QStringLiteral("Режимная карта").toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.constData());
    PageSetup(ws);
    const int n = static_cast<int>(m.cardColumns.size());
    const int lastCol = std::max(3, 1 + std::min(n, kMaxRegimesPerBlock));
    // the approval at the right of the first page
    int row = 0;
    const int approvalCol = std::max(2, lastCol - 3);
    for (int i = 0; i < m.approval.size(); ++i)
        Merged(ws, row++, approvalCol, lastCol, m.approval[i], i == 0 ? f.approvalHead : f.approval);
    ++row;
    Merged(ws, row++, 0, lastCol, m.title, f.title);
    Merged(ws, row, 0, lastCol, m.subtitle, f.subtitle);
    worksheet_set_row(ws, row++, 30, nullptr);
    ++row;
    row = WriteHeaderLines(ws, m.header, row, f, lastCol) + 1;
    row = WriteRegimeTable(ws, m, m.cardColumns, false, row, f);
    row = WriteNotes(ws, m.closingLines(), row + 1);
    WriteSignatures(ws, m, row + 1, f, lastCol - 1);
}

// The annex: the regimes of the test that are not the card's settings, with the same rows.
void WriteAnnexSheet(lxw_workbook* wb, const ReportModel& m, const Formats& f) {
    if (m.annexColumns.isEmpty()) return;
    const QByteArray name = QStringLiteral("Приложение").toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.constData());
    PageSetup(ws);
    const int lastCol = std::max(3, 1 + std::min(static_cast<int>(m.annexColumns.size()), kMaxRegimesPerBlock));
    Merged(ws, 0, 0, lastCol, kAnnexTitle, f.title);
    Merged(ws, 1, 0, lastCol, m.subtitle, f.subtitle);
    WriteRegimeTable(ws, m, m.annexColumns, true, 3, f);
}

void WriteSummarySheet(lxw_workbook* wb, const ReportModel& m, const Formats& f) {
    const QString sheet = QStringLiteral("Сводная ведомость");
    const QByteArray name = sheet.toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.constData());
    PageSetup(ws);
    worksheet_fit_to_pages(ws, 1, 0);
    const int cols = static_cast<int>(m.summaryColumns.size());
    int row = 0;
    Merged(ws, row++, 0, cols + 1, QStringLiteral("СВОДНАЯ ВЕДОМОСТЬ РЕЖИМОВ"), f.title);
    Merged(ws, row, 0, cols + 1, m.subtitle, f.subtitle);
    worksheet_set_row(ws, row++, 30, nullptr);
    ++row;
    QList<HeaderLine> header;
    for (const auto& h : m.header)
        if (h.caption == u"Объект" || h.caption == u"Котел" || h.caption == u"Топливо" || h.caption == u"Даты испытаний")
            header.append(h);
    row = WriteHeaderLines(ws, header, row, f, cols + 1) + 1;
    Text(ws, row, 0, QStringLiteral("Режим"), f.head);
    for (int c = 0; c < cols; ++c) {
        const auto& col = m.summaryColumns[c];
        Text(ws, row, 1 + c, col.unit.isEmpty() ? col.caption : col.caption + QStringLiteral(", ") + col.unit, f.head);
    }
    Text(ws, row, 1 + cols, QStringLiteral("Примечание"), f.head);
    worksheet_set_row(ws, row, 58, nullptr);
    worksheet_repeat_rows(ws, row, row);
    const int first = row + 1;
    ++row;
    for (const SummaryRow& r : m.summary) {
        Text(ws, row, 0, r.regime, f.text);
        for (int c = 0; c < cols; ++c)
            Number(ws, row, 1 + c, r.values.value(c), m.summaryColumns[c].decimals, !r.warnings.value(c).isEmpty(), f);
        if (r.message.isEmpty()) worksheet_write_blank(ws, row, 1 + cols, f.text);
        else Text(ws, row, 1 + cols, QStringLiteral("Расчет не выполнен: ") + r.message, f.note);
        ++row;
    }
    const int last = row - 1;
    worksheet_set_column(ws, 0, 0, 16, nullptr);
    worksheet_set_column(ws, 1, cols, 12, nullptr);
    worksheet_set_column(ws, 1 + cols, 1 + cols, 30, nullptr);
    // the footnotes of the marks this table carries
    QStringList notes;
    for (const SummaryRow& r : m.summary)
        for (const QString& w : r.warnings)
            if (!w.isEmpty() && !notes.contains(kDoubtMark + u' ' + w)) notes.append(kDoubtMark + u' ' + w);
    row = WriteNotes(ws, notes, row + 1);

    // the charts read the table's columns, so they follow any correction made in the table;
    // one under the other, apart, with round scale steps and the quantities' decimals
    int chartRow = row + 1;
    for (const ChartSpec& spec : m.charts) {
        lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
        if (last >= first) {
            lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
            chart_series_set_categories(series, name.constData(), first, 1 + spec.xColumn, last, 1 + spec.xColumn);
            chart_series_set_values(series, name.constData(), first, 1 + spec.yColumn, last, 1 + spec.yColumn);
            chart_series_set_name(series, spec.yCaption.toUtf8().constData());
        }
        chart_title_set_name(chart, spec.title.toUtf8().constData());
        chart_axis_set_name(chart->x_axis, spec.xCaption.toUtf8().constData());
        chart_axis_set_name(chart->y_axis, spec.yCaption.toUtf8().constData());
        for (auto [axis, scale] : {std::pair{chart->x_axis, spec.x}, std::pair{chart->y_axis, spec.y}}) {
            chart_axis_set_min(axis, scale.min);
            chart_axis_set_max(axis, scale.max);
            chart_axis_set_major_unit(axis, scale.step);
            chart_axis_set_num_format(axis, NumberFormat(scale.decimals).constData());
        }
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        lxw_chart_options options = {};
        options.x_scale = 1.5;
        options.y_scale = 1.2;
        worksheet_insert_chart_opt(ws, chartRow, 0, chart, &options);
        chartRow += 20;  // a chart 1.2 x 288 px high spans 18 rows of 20 px: two rows apart
    }
    WriteSignatures(ws, m, chartRow + 1, f, 5);
}

}  // namespace

bool WriteWorkbookAtomic(const QString& path, const std::function<bool(const QByteArray&, QString*)>& build,
                         QString* error) {
    return core::WriteFileProduced(
        path, [&](const QString& scratch, QString* why) { return build(QFile::encodeName(scratch), why); }, error);
}

bool WriteReportXlsx(const QString& path, const ReportModel& m, QString* error) {
    return WriteWorkbookAtomic(
        path,
        [&](const QByteArray& tmpName, QString* why) {
            lxw_workbook* wb = workbook_new(tmpName.constData());
            if (!wb) {
                if (why) *why = QStringLiteral("cannot create ") + path;
                return false;
            }
            const QByteArray title = (QStringLiteral("Режимная карта: ") + m.objectName).toUtf8();
            const QByteArray author = m.signatures.value(0).value.toUtf8();  // the performer
            lxw_doc_properties props = {};
            props.title = const_cast<char*>(title.constData());
            props.author = const_cast<char*>(author.constData());
            // created on the date of the sheet, so the same regimes give the same workbook
            props.created = QDateTime(m.date, QTime(12, 0), QTimeZone::utc()).toSecsSinceEpoch();
            workbook_set_properties(wb, &props);
            const Formats f = MakeFormats(wb);
            WriteRegimeSheet(wb, m, f);
            WriteSummarySheet(wb, m, f);
            WriteAnnexSheet(wb, m, f);
            const lxw_error rc = workbook_close(wb);
            if (rc != LXW_NO_ERROR) {
                if (why) *why = QString::fromUtf8(lxw_strerror(rc));
                return false;
            }
            return true;
        },
        error);
}

}  // namespace report
