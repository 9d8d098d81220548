#include "report/reportxlsx.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <xlsxwriter.h>

#include "core/textfile.h"

namespace report {

namespace {

struct Formats {
    lxw_format *title, *bold, *head, *text, *number, *section, *note, *mean, *meanText;
};

Formats MakeFormats(lxw_workbook* wb) {
    Formats f{};
    f.title = workbook_add_format(wb);
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    f.bold = workbook_add_format(wb);
    format_set_bold(f.bold);
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
    f.number = workbook_add_format(wb);
    format_set_border(f.number, LXW_BORDER_THIN);
    format_set_num_format(f.number, "General");
    f.section = workbook_add_format(wb);
    format_set_bold(f.section);
    format_set_border(f.section, LXW_BORDER_THIN);
    format_set_bg_color(f.section, 0xEFEFEF);
    f.note = workbook_add_format(wb);
    format_set_border(f.note, LXW_BORDER_THIN);
    format_set_text_wrap(f.note);
    format_set_font_color(f.note, 0xC00000);
    f.mean = workbook_add_format(wb);
    format_set_bold(f.mean);
    format_set_border(f.mean, LXW_BORDER_THIN);
    format_set_num_format(f.mean, "General");
    f.meanText = workbook_add_format(wb);
    format_set_bold(f.meanText);
    format_set_border(f.meanText, LXW_BORDER_THIN);
    return f;
}

void Text(lxw_worksheet* ws, int row, int col, const QString& text, lxw_format* f) {
    worksheet_write_string(ws, row, col, text.toUtf8().constData(), f);
}

void Number(lxw_worksheet* ws, int row, int col, const Value& v, lxw_format* f) {
    if (v) worksheet_write_number(ws, row, col, CellNumber(*v), f);
    else worksheet_write_blank(ws, row, col, f);
}

int WriteHeader(lxw_worksheet* ws, const ReportModel& m, const QString& title, const Formats& f, int lastCol) {
    Text(ws, 0, 0, title, f.title);
    int row = 2;
    for (const auto& h : m.header) {
        Text(ws, row, 0, h.caption, f.bold);
        if (lastCol > 1) worksheet_merge_range(ws, row, 1, row, lastCol, h.value.toUtf8().constData(), nullptr);
        else Text(ws, row, 1, h.value, nullptr);
        ++row;
    }
    return row + 1;
}

void WriteSignatures(lxw_worksheet* ws, const ReportModel& m, int row, const Formats& f) {
    for (const auto& s : m.signatures) {
        Text(ws, row, 0, s.caption, f.bold);
        Text(ws, row, 1, QStringLiteral("____________________"), nullptr);
        if (!s.value.isEmpty()) Text(ws, row, 2, QStringLiteral("/ ") + s.value + QStringLiteral(" /"), nullptr);
        row += 2;
    }
}

void WriteRegimeSheet(lxw_workbook* wb, const ReportModel& m, const Formats& f) {
    const QByteArray name = QStringLiteral("Режимная карта").toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.constData());
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);  // A4
    worksheet_fit_to_pages(ws, 1, 0);
    const int n = static_cast<int>(m.regimes.size());
    int row = WriteHeader(ws, m, QStringLiteral("Режимная карта котла"), f, std::max(2, n + 1));
    Text(ws, row, 0, QStringLiteral("Параметр"), f.head);
    Text(ws, row, 1, QStringLiteral("Ед. изм."), f.head);
    for (int c = 0; c < n; ++c) Text(ws, row, 2 + c, m.regimes[c].title, f.head);
    worksheet_repeat_rows(ws, row, row);
    ++row;
    for (const SheetRow& r : m.regimeRows) {
        if (r.kind == RowKind::Section) {
            Text(ws, row, 0, r.caption, f.section);
            for (int c = 1; c < n + 2; ++c) worksheet_write_blank(ws, row, c, f.section);
        } else {
            Text(ws, row, 0, r.caption, f.text);
            Text(ws, row, 1, r.unit.trimmed(), f.text);
            for (int c = 0; c < n; ++c) {
                if (r.kind == RowKind::Status)
                    Text(ws, row, 2 + c, r.texts.value(c), m.regimes[c].calculated ? f.text : f.note);
                else
                    Number(ws, row, 2 + c, r.values.value(c), f.number);
            }
        }
        ++row;
    }
    worksheet_set_column(ws, 0, 0, 48, nullptr);
    worksheet_set_column(ws, 1, 1, 12, nullptr);
    if (n > 0) worksheet_set_column(ws, 2, 1 + n, 14, nullptr);
    WriteSignatures(ws, m, row + 2, f);
}

void WriteSummarySheet(lxw_workbook* wb, const ReportModel& m, const Formats& f) {
    const QString sheet = QStringLiteral("Сводная ведомость");
    const QByteArray name = sheet.toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.constData());
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9);
    worksheet_fit_to_pages(ws, 1, 0);
    const int cols = static_cast<int>(m.summaryColumns.size());
    int row = WriteHeader(ws, m, QStringLiteral("Сводная ведомость режимов"), f, cols + 1);
    Text(ws, row, 0, QStringLiteral("Режим"), f.head);
    for (int c = 0; c < cols; ++c) {
        const auto& col = m.summaryColumns[c];
        const QString unit = col.unit.trimmed();
        Text(ws, row, 1 + c, unit.isEmpty() ? col.caption : col.caption + QStringLiteral(", ") + unit, f.head);
    }
    Text(ws, row, 1 + cols, QStringLiteral("Примечание"), f.head);
    worksheet_set_row(ws, row, 32, nullptr);
    const int first = row + 1;
    ++row;
    for (const SummaryRow& r : m.summary) {
        Text(ws, row, 0, r.regime, f.text);
        for (int c = 0; c < cols; ++c) Number(ws, row, 1 + c, r.values.value(c), f.number);
        if (r.message.isEmpty()) worksheet_write_blank(ws, row, 1 + cols, f.text);
        else Text(ws, row, 1 + cols, QStringLiteral("Расчет не выполнен: ") + r.message, f.note);
        ++row;
    }
    const int last = row - 1;
    Text(ws, row, 0, QStringLiteral("Среднее"), f.meanText);
    for (int c = 0; c < cols; ++c) Number(ws, row, 1 + c, m.summaryMean.value(c), f.mean);
    worksheet_write_blank(ws, row, 1 + cols, f.meanText);
    ++row;
    worksheet_set_column(ws, 0, 0, 16, nullptr);
    worksheet_set_column(ws, 1, cols, 11, nullptr);
    worksheet_set_column(ws, 1 + cols, 1 + cols, 30, nullptr);

    // the charts read the table's columns, so they follow any correction made in the table
    int chartRow = row + 2;
    int chartCol = 0;
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
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        lxw_chart_options options = {};
        options.x_scale = 1.3;
        options.y_scale = 1.3;
        worksheet_insert_chart_opt(ws, chartRow, chartCol, chart, &options);
        chartCol += 7;
    }
    WriteSignatures(ws, m, chartRow + 22, f);
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
            const QByteArray author = m.signatures.value(0).value.toUtf8();
            lxw_doc_properties props = {};
            props.title = const_cast<char*>(title.constData());
            props.author = const_cast<char*>(author.constData());
            // created on the date of the sheet, so the same regimes give the same workbook
            props.created = QDateTime(m.date, QTime(12, 0), QTimeZone::utc()).toSecsSinceEpoch();
            workbook_set_properties(wb, &props);
            const Formats f = MakeFormats(wb);
            WriteRegimeSheet(wb, m, f);
            WriteSummarySheet(wb, m, f);
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
