#pragma once
// A workbook written next to its target and renamed into place when complete, so a failed
// export never leaves a broken file under the chosen name and an old one stays intact.

#include <QByteArray>
#include <QString>
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

    // Closes the workbook and renames it into place.
    bool commit(QString* error);

private:
    QString path_, tmp_;
    lxw_workbook* wb_ = nullptr;
    lxw_format* bold_ = nullptr;
    bool closed_ = false;
};

// True when the whole trimmed text is one decimal number; `value` receives it.
bool WholeNumber(const QString& text, double& value);

}  // namespace tools
