#pragma once
// A workbook written in a private temporary folder and put in place of its target only when
// complete, through the atomic writer: a failed export never leaves a broken file under the
// chosen name, the old one stays intact, and no name beside the target is ever taken.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace tools {

class Workbook {
public:
    explicit Workbook(const QString& path);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool ok() const { return wb_ != nullptr; }
    lxw_workbook* book() const { return wb_; }
    lxw_worksheet* addSheet(const QString& name);
    lxw_format* bold() const { return bold_; }

    // Texts and numbers; a number that is not finite is left out.
    void text(lxw_worksheet* ws, int row, int col, const QString& text, lxw_format* format = nullptr);
    void number(lxw_worksheet* ws, int row, int col, double value, lxw_format* format = nullptr);
    // A cell text: as a number when the text is wholly a number, else as text ("" is skipped).
    void cell(lxw_worksheet* ws, int row, int col, const QString& text, lxw_format* format = nullptr);

    // Closes the workbook and writes its bytes over the target.
    bool commit(QString* error);

private:
    QString path_;
    QTemporaryDir scratch_;
    lxw_workbook* wb_ = nullptr;
    lxw_format* bold_ = nullptr;
    bool closed_ = false;
};

// True when the whole trimmed text is one decimal number; `value` receives it.
bool WholeNumber(const QString& text, double& value);

}  // namespace tools
