#include "tools/workbook.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

#include "core/textfile.h"

namespace tools {

Workbook::Workbook(const QString& path) : path_(path) {
    if (!scratch_.isValid()) return;
    wb_ = workbook_new(QFile::encodeName(scratch_.filePath(QStringLiteral("book.xlsx"))).constData());
    if (wb_) {
        bold_ = workbook_add_format(wb_);
        format_set_bold(bold_);
    }
}

Workbook::~Workbook() {
    // an export given up: the scratch folder goes with its half-made file
    if (wb_ && !closed_) workbook_close(wb_);
}

lxw_worksheet* Workbook::addSheet(const QString& name) {
    return workbook_add_worksheet(wb_, name.toUtf8().constData());
}

void Workbook::text(lxw_worksheet* ws, int row, int col, const QString& text, lxw_format* format) {
    if (text.isEmpty()) return;
    worksheet_write_string(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), text.toUtf8().constData(),
                           format);
}

void Workbook::number(lxw_worksheet* ws, int row, int col, double value, lxw_format* format) {
    if (!std::isfinite(value)) return;
    worksheet_write_number(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value, format);
}

void Workbook::cell(lxw_worksheet* ws, int row, int col, const QString& t, lxw_format* format) {
    double v = 0;
    if (WholeNumber(t, v)) number(ws, row, col, v, format);
    else text(ws, row, col, t.trimmed(), format);
}

bool Workbook::commit(QString* error) {
    if (!wb_) {
        if (error) *error = path_ + QStringLiteral(": нельзя создать книгу");
        return false;
    }
    closed_ = true;
    const lxw_error rc = workbook_close(wb_);
    wb_ = nullptr;
    if (rc != LXW_NO_ERROR) {
        if (error) *error = path_ + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(rc));
        return false;
    }
    QByteArray bytes;
    return core::ReadDataFile(scratch_.filePath(QStringLiteral("book.xlsx")), bytes, error) &&
           core::WriteFileAtomic(path_, bytes, error);
}

bool WholeNumber(const QString& text, double& value) {
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString t = text.trimmed();
    if (!re.match(t).hasMatch()) return false;
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

}  // namespace tools
