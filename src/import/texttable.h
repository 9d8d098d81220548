#pragma once
// A text table of measurements as analyser programs and spreadsheets export it: the file
// checked (no binary, no empty file, nothing over 16 MB), its form detected (encoding,
// separator, lines before the header, the header itself, the decimal sign of each column,
// the columns that hold dates and times) and the cells read by that form. Every detected
// choice can be overridden, and the table is then read again by the corrected form.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace importer {

// Largest file the import reads: a day of readings is a few hundred kilobytes.
constexpr qint64 kMaxImportFileSize = 16 * 1024 * 1024;

enum class Encoding { Utf8, Cp1251 };
// Blanks: runs of blanks and tabs separate the cells (fixed-width listings).
enum class Separator { Semicolon, Comma, Tab, Blanks };
enum class ColumnKind { Text, Number, DateTime, Date, Time };

struct TableFormat {
    Encoding encoding = Encoding::Utf8;
    bool bom = false;  // a UTF-8 byte-order mark stood before the text (detected only)
    Separator separator = Separator::Semicolon;
    int skipLines = 0;   // non-empty lines before the header (a device's heading)
    bool header = true;  // the first line after them names the columns
    // per column: whether the decimal sign is a comma (else a point)
    QList<bool> decimalComma;
};

struct TableRow {
    int line = 0;  // line number in the file, from 1, counting every line
    QStringList cells;
};

struct Table {
    TableFormat format;
    QStringList names;        // column names: the header's, or "Столбец N" without one
    QList<ColumnKind> kinds;  // detected from the cells
    QList<TableRow> rows;     // the data rows, blank lines left out
    int columns() const { return static_cast<int>(names.size()); }
};

// Reads the file whole after its checks: a folder, a device, a file over 16 MB, an empty
// file or one that holds binary bytes is refused with a message naming it.
bool ReadImportFile(const QString& path, QByteArray& bytes, QString* error = nullptr);

// The form the bytes most likely have.
TableFormat DetectFormat(const QByteArray& bytes);

// Reads the bytes by `format` (the decimal signs of columns the format does not list are
// detected). Fails, naming `fileName`, when the text holds no table: fewer than two columns,
// or no data row.
bool ReadTable(const QByteArray& bytes, const TableFormat& format, Table& table, const QString& fileName,
               QString* error = nullptr);

// Detects, then reads: what the window and the command line start from.
bool LoadTable(const QString& path, Table& table, QString* error = nullptr);

// Cells of one line split at the separator; double quotes enclose a cell ("" is a quote).
QStringList SplitCells(const QString& line, Separator separator);

// A cell that is wholly one number with the given decimal sign ("12,5" with a comma,
// "12.5" with a point, "-3", "1e3"); nullopt for anything else.
std::optional<double> CellNumber(const QString& cell, bool decimalComma);
// Digits after the decimal sign of a number cell (0 for a whole number).
int CellDecimals(const QString& cell);

// Date and time cells: "09.12.2026 10:15:30", "09.12.2026 10:15", "2026-12-09 10:15",
// "2026-12-09T10:15:30", a date alone, a time alone ("10:15:30", "10:15").
std::optional<QDateTime> CellDateTime(const QString& cell);
std::optional<QDate> CellDate(const QString& cell);
std::optional<QTime> CellTime(const QString& cell);

// The texts the preview and the command line show for the choices.
QString EncodingText(Encoding e, bool bom);
QString SeparatorText(Separator s);
QString KindText(ColumnKind k);

}  // namespace importer
