#pragma once
// Text files of the program: Windows-1251 contents, CR LF line ends on write, CR LF, LF or
// CR accepted on read, and every write atomic (temporary file, then rename).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace core {

// Largest data file the readers accept; anything bigger is not one of ours.
constexpr qint64 kMaxTextFileSize = 16 * 1024 * 1024;

QString DecodeCp1251(const QByteArray& bytes);
// Characters Windows-1251 cannot hold come out as "?".
QByteArray EncodeCp1251(const QString& text);

// Splits on CR LF, LF or CR. A final line end does not make an extra empty line.
QStringList SplitLines(const QString& text);

// Reads the whole file as lines. Fails (with a message in `error`) when the file is missing,
// unreadable or larger than kMaxTextFileSize.
bool ReadTextLines(const QString& path, QStringList& lines, QString* error = nullptr);

// Writes the lines, each ended by CR LF, as Windows-1251, atomically. On failure the old file
// stays as it was and `error` says why.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// Writes bytes atomically through a temporary file in the same folder and a rename.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Quoted-field records: each value in double quotes on its own line.
// A double quote cannot be stored inside a value; it is written as an apostrophe.
QStringList QuoteLines(const QStringList& values);
// Takes the value of one quoted line: from the first double quote up to the next one, commas
// included; the rest of the line is ignored. A line without a quote gives the line trimmed.
QString UnquoteLine(const QString& line);

// Reads exactly `count` quoted values. Fewer lines than `count` is a read error; `values`
// then holds the values read before it.
bool ReadQuotedFile(const QString& path, int count, QStringList& values, QString* error = nullptr);
bool WriteQuotedFile(const QString& path, const QStringList& values, QString* error = nullptr);

}  // namespace core
