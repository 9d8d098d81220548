#include "import/texttable.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

#include "core/numparse.h"
#include "core/textfile.h"

namespace importer {

namespace {

QString Named(const QString& path, const QString& why) { return path + QStringLiteral(": ") + why; }

bool HasBom(const QByteArray& bytes) { return bytes.startsWith("\xEF\xBB\xBF"); }

bool ValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString Decode(const QByteArray& bytes, Encoding encoding) {
    if (encoding == Encoding::Cp1251) return core::DecodeCp1251(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInvalidToNull);
    QString text = decoder.decode(HasBom(bytes) ? bytes.mid(3) : bytes);
    if (!text.isEmpty() && text.front() == QChar(0xFEFF)) text.remove(0, 1);
    return text;
}

struct Line {
    int number;
    QString text;
};

// The non-empty lines with their numbers in the file (CR LF, LF or CR ends a line).
QList<Line> NonEmptyLines(const QString& text, int limit = -1) {
    QList<Line> lines;
    int number = 1;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        const bool end = i == n;
        const QChar c = end ? QChar() : text.at(i);
        if (!end && c != u'\n' && c != u'\r') continue;
        const QStringView view = QStringView(text).mid(start, i - start);
        if (!view.trimmed().isEmpty()) {
            lines.append({number, view.toString()});
            if (limit > 0 && lines.size() >= limit) return lines;
        }
        if (!end && c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
        ++number;
        start = i + 1;
    }
    return lines;
}

QChar SeparatorChar(Separator s) {
    switch (s) {
    case Separator::Semicolon: return u';';
    case Separator::Comma: return u',';
    case Separator::Tab: return u'\t';
    case Separator::Blanks: return u' ';
    }
    return u';';
}

// The cell count most lines share (at least two cells) and how many lines have it.
std::pair<int, int> ModalCount(const QList<int>& counts) {
    QHash<int, int> tally;
    for (int c : counts)
        if (c >= 2) ++tally[c];
    int best = 0, lines = 0;
    for (auto it = tally.cbegin(); it != tally.cend(); ++it)
        if (it.value() > lines || (it.value() == lines && it.key() > best)) {
            best = it.key();
            lines = it.value();
        }
    return {best, lines};
}

// A cell that reads as a measurement or a moment rather than as a name.
bool DataLike(const QString& cell) {
    const QString t = cell.trimmed();
    return CellNumber(t, true) || CellNumber(t, false) || CellDateTime(t) || CellDate(t) || CellTime(t);
}

int DataLikeCount(const QStringList& cells) {
    return static_cast<int>(std::count_if(cells.cbegin(), cells.cend(), DataLike));
}

}  // namespace

bool ReadImportFile(const QString& path, QByteArray& bytes, QString* error) {
    bytes.clear();
    const QFileInfo info(path);
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!info.exists()) return fail(Named(path, QStringLiteral("файл не найден")));
    if (!info.isFile()) return fail(core::NotDataFileMessage(path));
    if (info.size() > kMaxImportFileSize)
        return fail(Named(path, QStringLiteral("файл больше 16 МБ, это не таблица показаний")));
    if (!core::ReadDataFile(path, bytes, error)) return false;
    if (bytes.trimmed().isEmpty() || bytes == "\xEF\xBB\xBF") {
        bytes.clear();
        return fail(Named(path, QStringLiteral("файл пуст")));
    }
    // text holds no NUL and hardly any control characters besides tab, line ends and form feed
    qsizetype controls = 0;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0) {
            controls = bytes.size();
            break;
        }
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) ++controls;
    }
    if (controls * 100 > bytes.size()) {
        bytes.clear();
        return fail(Named(path, QStringLiteral("двоичный файл, а не текстовая таблица")));
    }
    return true;
}

QStringList SplitCells(const QString& line, Separator separator) {
    QStringList cells;
    const QChar sep = SeparatorChar(separator);
    const bool blanks = separator == Separator::Blanks;
    auto isSep = [&](QChar c) { return blanks ? (c == u' ' || c == u'\t') : c == sep; };
    const qsizetype n = line.size();
    qsizetype i = 0;
    if (blanks)
        while (i < n && isSep(line.at(i))) ++i;
    while (i <= n) {
        QString cell;
        // blanks before an opening quote do not count
        qsizetype j = i;
        while (j < n && !isSep(line.at(j)) && line.at(j).isSpace()) ++j;
        if (j < n && line.at(j) == u'"') {
            i = j + 1;
            while (i < n) {
                if (line.at(i) == u'"') {
                    if (i + 1 < n && line.at(i + 1) == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line.at(i++);
            }
            while (i < n && !isSep(line.at(i))) cell += line.at(i++);  // text after the closing quote
        } else {
            while (i < n && !isSep(line.at(i))) cell += line.at(i++);
        }
        cells.append(cell.trimmed());
        if (i >= n) break;
        ++i;  // the separator
        if (blanks) {
            while (i < n && isSep(line.at(i))) ++i;
            if (i >= n) break;
        }
    }
    return cells;
}

std::optional<double> CellNumber(const QString& cell, bool decimalComma) {
    const QChar decimal = decimalComma ? u',' : u'.';
    const QString t = cell.trimmed();
    if (t.isEmpty() || t.size() > 40) return std::nullopt;
    std::string ascii;
    ascii.reserve(static_cast<size_t>(t.size()));
    bool digits = false, point = false, exponent = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == decimal && !point && !exponent) {
            point = true;
            ascii += '.';
            continue;
        } else if ((c == u'+' || c == u'-') && (i == 0 || t.at(i - 1) == u'e' || t.at(i - 1) == u'E')) {
        } else if ((c == u'e' || c == u'E') && digits && !exponent && i + 1 < t.size()) {
            exponent = true;
        } else {
            return std::nullopt;
        }
        ascii += static_cast<char>(c.unicode());
    }
    double v = 0;
    if (!digits || !core::ParseWholeNumber(ascii, v) || !std::isfinite(v)) return std::nullopt;
    return v;
}

int CellDecimals(const QString& cell) {
    const QString t = cell.trimmed();
    qsizetype at = t.indexOf(u',');
    if (at < 0) at = t.indexOf(u'.');
    if (at < 0) return 0;
    int n = 0;
    for (qsizetype i = at + 1; i < t.size() && t.at(i).isDigit(); ++i) ++n;
    return n;
}

namespace {

int Year(const QString& y) {
    const int v = y.toInt();
    return y.size() == 2 ? 2000 + v : v;
}

std::optional<QTime> TimeOf(const QRegularExpressionMatch& m, int first) {
    const int s = m.captured(first + 2).isEmpty() ? 0 : m.captured(first + 2).toInt();
    const QTime t(m.captured(first).toInt(), m.captured(first + 1).toInt(), s);
    if (!t.isValid()) return std::nullopt;
    return t;
}

}  // namespace

std::optional<QDateTime> CellDateTime(const QString& cell) {
    static const QRegularExpression dotted(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4}|\\d{2})[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QString t = cell.trimmed();
    if (t.size() < 12 || t.size() > 25) return std::nullopt;
    QRegularExpressionMatch m = dotted.match(t);
    QDate date;
    if (m.hasMatch()) {
        date = QDate(Year(m.captured(3)), m.captured(2).toInt(), m.captured(1).toInt());
    } else if ((m = iso.match(t)).hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else {
        return std::nullopt;
    }
    const auto time = TimeOf(m, 4);
    if (!date.isValid() || !time) return std::nullopt;
    return QDateTime(date, *time);
}

std::optional<QDate> CellDate(const QString& cell) {
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4}|\\d{2})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QString t = cell.trimmed();
    if (t.size() < 6 || t.size() > 10) return std::nullopt;
    QDate date;
    QRegularExpressionMatch m = dotted.match(t);
    if (m.hasMatch()) date = QDate(Year(m.captured(3)), m.captured(2).toInt(), m.captured(1).toInt());
    else if ((m = iso.match(t)).hasMatch()) date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<QTime> CellTime(const QString& cell) {
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QString t = cell.trimmed();
    if (t.size() < 4 || t.size() > 8) return std::nullopt;
    const QRegularExpressionMatch m = time.match(t);
    if (!m.hasMatch()) return std::nullopt;
    return TimeOf(m, 1);
}

TableFormat DetectFormat(const QByteArray& bytes) {
    TableFormat f;
    f.bom = HasBom(bytes);
    f.encoding = f.bom || ValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp1251;
    const QList<Line> lines = NonEmptyLines(Decode(bytes, f.encoding), 400);

    // the separator that gives the most lines of one count of cells; on a tie the first of
    // ";", tab, ",", blanks (a ";" table with decimal commas splits evenly at "," too)
    int bestCount = 0, bestLines = 0;
    QList<int> bestCounts;
    for (Separator s : {Separator::Semicolon, Separator::Tab, Separator::Comma, Separator::Blanks}) {
        QList<int> counts;
        for (const Line& l : lines) counts.append(static_cast<int>(SplitCells(l.text, s).size()));
        const auto [count, n] = ModalCount(counts);
        if (count >= 2 && n > bestLines) {
            bestCount = count;
            bestLines = n;
            bestCounts = counts;
            f.separator = s;
        }
    }
    if (bestCount < 2) return f;
    // the table starts at the first line of that count whose next line has it too
    int first = 0;
    for (; first < bestCounts.size(); ++first)
        if (bestCounts[first] == bestCount && (first + 1 == bestCounts.size() || bestCounts[first + 1] == bestCount))
            break;
    if (first >= bestCounts.size()) first = 0;
    f.skipLines = first;
    // a header names the columns: fewer of its cells read as data than of the line below
    const QStringList top = SplitCells(lines[first].text, f.separator);
    if (first + 1 < lines.size()) f.header = DataLikeCount(top) < DataLikeCount(SplitCells(lines[first + 1].text, f.separator));
    else f.header = DataLikeCount(top) == 0;
    return f;
}

bool ReadTable(const QByteArray& bytes, const TableFormat& format, Table& table, const QString& fileName,
               QString* error) {
    table = Table{};
    table.format = format;
    const QList<Line> lines = NonEmptyLines(Decode(bytes, format.encoding));
    auto fail = [&](const QString& why) {
        if (error) *error = Named(fileName, why);
        table.rows.clear();
        return false;
    };
    qsizetype at = std::max(0, format.skipLines);
    QStringList header;
    if (format.header && at < lines.size()) header = SplitCells(lines[at++].text, format.separator);
    QList<int> counts;
    for (qsizetype i = at; i < lines.size(); ++i) {
        TableRow row{lines[i].number, SplitCells(lines[i].text, format.separator)};
        counts.append(static_cast<int>(row.cells.size()));
        table.rows.append(std::move(row));
    }
    int columns = static_cast<int>(header.size());
    if (!format.header) columns = ModalCount(counts).first;
    // a separator after the last cell adds an empty cell that is no column
    while (columns > 0 && format.header && header.value(columns - 1).isEmpty()) --columns;
    if (columns < 2) return fail(QStringLiteral("это не таблица: не найдено хотя бы двух столбцов"));
    if (table.rows.isEmpty()) return fail(QStringLiteral("это не таблица: нет ни одной строки показаний"));
    for (TableRow& row : table.rows) {
        while (row.cells.size() > columns && row.cells.back().isEmpty()) row.cells.removeLast();
        while (row.cells.size() < columns) row.cells.append(QString());
    }
    for (int c = 0; c < columns; ++c) {
        const QString name = header.value(c).trimmed();
        table.names.append(name.isEmpty() ? QStringLiteral("Столбец %1").arg(c + 1) : name);
    }
    // the decimal sign of each column the format leaves open, by the cells' majority
    table.format.decimalComma = format.decimalComma.mid(0, columns);
    for (int c = static_cast<int>(table.format.decimalComma.size()); c < columns; ++c) {
        int comma = 0, point = 0;
        for (const TableRow& row : table.rows) {
            const QString& cell = row.cells[c];
            if (cell.contains(u',') && CellNumber(cell, true)) ++comma;
            else if (cell.contains(u'.') && CellNumber(cell, false)) ++point;
        }
        table.format.decimalComma.append(comma > point);
    }
    for (int c = 0; c < columns; ++c) {
        int filled = 0, dateTimes = 0, dates = 0, times = 0, numbers = 0;
        const bool comma = table.format.decimalComma[c];
        for (const TableRow& row : table.rows) {
            const QString& cell = row.cells[c];
            if (cell.isEmpty()) continue;
            ++filled;
            if (CellNumber(cell, comma)) ++numbers;
            else if (CellDateTime(cell)) ++dateTimes;
            else if (CellTime(cell)) ++times;
            else if (CellDate(cell)) ++dates;
        }
        ColumnKind kind = ColumnKind::Text;
        const int half = filled / 2;
        if (filled == 0) kind = ColumnKind::Text;
        else if (dateTimes > half) kind = ColumnKind::DateTime;
        else if (times > half) kind = ColumnKind::Time;
        else if (dates > half) kind = ColumnKind::Date;
        else if (numbers > half) kind = ColumnKind::Number;
        table.kinds.append(kind);
    }
    return true;
}

bool LoadTable(const QString& path, Table& table, QString* error) {
    QByteArray bytes;
    if (!ReadImportFile(path, bytes, error)) return false;
    return ReadTable(bytes, DetectFormat(bytes), table, path, error);
}

QString EncodingText(Encoding e, bool bom) {
    if (e == Encoding::Cp1251) return QStringLiteral("Windows-1251");
    return bom ? QStringLiteral("UTF-8 (с BOM)") : QStringLiteral("UTF-8");
}

QString SeparatorText(Separator s) {
    switch (s) {
    case Separator::Semicolon: return QStringLiteral("«;»");
    case Separator::Comma: return QStringLiteral("«,»");
    case Separator::Tab: return QStringLiteral("табуляция");
    case Separator::Blanks: return QStringLiteral("пробелы");
    }
    return {};
}

QString KindText(ColumnKind k) {
    switch (k) {
    case ColumnKind::Text: return QStringLiteral("текст");
    case ColumnKind::Number: return QStringLiteral("число");
    case ColumnKind::DateTime: return QStringLiteral("дата и время");
    case ColumnKind::Date: return QStringLiteral("дата");
    case ColumnKind::Time: return QStringLiteral("время");
    }
    return {};
}

}  // namespace importer
