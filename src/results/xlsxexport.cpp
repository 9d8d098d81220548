#include "results/xlsxexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <xlsxwriter.h>

#include "core/textfile.h"

namespace results {

namespace {

QByteArray Utf8(const QString& s) { return s.toUtf8(); }

// The double of the shortest decimal that reads back as the same float, so a stored 627.78
// goes into the workbook as 627.78 and not as the float's exact 627.780029296875. Values
// that are not finite become 0, as nowhere else in the program shows them either.
double CellNumber(float v) {
    if (!std::isfinite(v)) return 0.0;
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, v);
    *r.ptr = '\0';
    return std::strtod(text, nullptr);
}

}  // namespace

QString GraphFileName(const QString& yCaption, const QString& extension) {
    QString name;
    for (QChar c : yCaption) {
        if (QStringLiteral("/\\?<>*|:\"").contains(c)) continue;
        name.append(c == u'%' ? QChar(u' ') : c);
    }
    name = name.simplified();
    while (name.endsWith(u',') || name.endsWith(u'.')) name.chop(1);
    if (name.isEmpty()) name = QStringLiteral("График");
    return name.left(100).trimmed() + u'.' + extension;
}

namespace {

bool WriteGraphWorkbook(const QString& file, const GraphExport& graph, QString* error) {
    const QByteArray fileName = QFile::encodeName(file);
    lxw_workbook* wb = workbook_new(fileName.constData());
    if (!wb) {
        if (error) *error = QStringLiteral("книга не создана");
        return false;
    }
    const QByteArray sheetName = Utf8(QStringLiteral("График"));
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName.constData());
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    // a value that cannot be right carries the pane's mark, its reason beside it
    lxw_format* doubtful = workbook_add_format(wb);
    format_set_bg_color(doubtful, 0xFFD6CC);
    format_set_font_color(doubtful, 0xA00000);

    worksheet_write_string(ws, 0, 0, Utf8(QStringLiteral("Объект")).constData(), bold);
    worksheet_write_string(ws, 0, 1, Utf8(graph.objectName).constData(), nullptr);
    worksheet_write_string(ws, 1, 0, Utf8(QStringLiteral("Ось Y")).constData(), bold);
    worksheet_write_string(ws, 1, 1, Utf8(graph.yCaption).constData(), nullptr);
    worksheet_write_string(ws, 2, 0, Utf8(QStringLiteral("Ось X")).constData(), bold);
    worksheet_write_string(ws, 2, 1, Utf8(graph.xCaption).constData(), nullptr);

    const int header = 4;
    worksheet_write_string(ws, header, 0, Utf8(QStringLiteral("Режим")).constData(), bold);
    worksheet_write_string(ws, header, 1, "X", bold);
    worksheet_write_string(ws, header, 2, "Y", bold);
    const auto& d = graph.data;
    bool anyDoubt = false;
    for (int k = 0; k < d.x.size(); ++k) {
        const QString doubt = d.doubtful.value(k);
        lxw_format* mark = doubt.isEmpty() ? nullptr : doubtful;
        worksheet_write_string(ws, header + 1 + k, 0, Utf8(d.regimes.value(k)).constData(), nullptr);
        worksheet_write_number(ws, header + 1 + k, 1, CellNumber(d.x[k]), mark);
        worksheet_write_number(ws, header + 1 + k, 2, CellNumber(d.y[k]), mark);
        if (!doubt.isEmpty()) {
            worksheet_write_string(ws, header + 1 + k, 3, Utf8(doubt).constData(), doubtful);
            anyDoubt = true;
        }
    }
    if (anyDoubt) worksheet_write_string(ws, header, 3, Utf8(QStringLiteral("Примечание")).constData(), bold);
    worksheet_set_column(ws, 0, 0, 18, nullptr);
    worksheet_set_column(ws, 1, 2, 12, nullptr);
    if (anyDoubt) worksheet_set_column(ws, 3, 3, 60, nullptr);

    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
    if (!d.empty()) {
        const int first = header + 1, last = header + static_cast<int>(d.x.size());
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, sheetName.constData(), first, 1, last, 1);
        chart_series_set_values(series, sheetName.constData(), first, 2, last, 2);
        chart_series_set_name(series, Utf8(graph.yCaption).constData());
    }
    chart_title_set_name(chart, Utf8(graph.yCaption).constData());
    chart_axis_set_name(chart->x_axis, Utf8(graph.xCaption).constData());
    chart_axis_set_name(chart->y_axis, Utf8(graph.yCaption).constData());
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    lxw_chart_options options = {};
    options.x_scale = 1.6;
    options.y_scale = 1.4;
    // right of the table and of its notes
    worksheet_insert_chart_opt(ws, 1, 4, chart, &options);

    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR) {
        if (error) *error = QString::fromUtf8(lxw_strerror(rc));
        return false;
    }
    return true;
}

}  // namespace

bool ExportGraphXlsx(const QString& path, const GraphExport& graph, QString* error) {
    // the library writes a file of its own in a private folder; its bytes then replace the
    // chosen file in one step, so a failure keeps the old workbook and no name beside the
    // target is ever taken
    return core::WriteFileProduced(
        path, [&](const QString& scratch, QString* why) { return WriteGraphWorkbook(scratch, graph, why); }, error);
}

}  // namespace results
