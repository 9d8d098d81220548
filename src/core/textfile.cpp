#include "core/textfile.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

namespace core {

QString DecodeCp1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray EncodeCp1251(const QString& text) {
    // Table of the upper half of the code page, built once from the decoder.
    static const QHash<char16_t, char> upper = [] {
        QHash<char16_t, char> table;
        QByteArray all;
        for (int b = 0x80; b <= 0xFF; ++b) all.append(static_cast<char>(b));
        const QString decoded = DecodeCp1251(all);
        for (qsizetype i = 0; i < decoded.size() && i < all.size(); ++i) {
            const char16_t u = decoded.at(i).unicode();
            if (u != 0xFFFD) table.insert(u, all.at(i));
        }
        return table;
    }();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
            continue;
        }
        // a character outside the code page (a surrogate pair counts as one) becomes '?'
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out.append(upper.value(u, '?'));
    }
    return out;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
            start = i + 1;
        }
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

bool ReadTextLines(const QString& path, QStringList& lines, QString* error) {
    lines.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    if (f.size() > kMaxTextFileSize) {
        if (error) *error = QStringLiteral("file too large");
        return false;
    }
    const QByteArray bytes = f.read(kMaxTextFileSize + 1);
    if (bytes.size() > kMaxTextFileSize) {
        if (error) *error = QStringLiteral("file too large");
        return false;
    }
    lines = SplitLines(DecodeCp1251(bytes));
    return true;
}

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    if (f.write(bytes) != bytes.size()) {
        if (error) *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeCp1251(line);
        bytes += "\r\n";
    }
    return WriteFileAtomic(path, bytes, error);
}

QStringList QuoteLines(const QStringList& values) {
    QStringList lines;
    lines.reserve(values.size());
    for (QString v : values) {
        v.replace(u'"', u'\'');
        v.replace(u'\r', u' ');
        v.replace(u'\n', u' ');
        lines.append(u'"' + v + u'"');
    }
    return lines;
}

QString UnquoteLine(const QString& line) {
    const qsizetype open = line.indexOf(u'"');
    if (open < 0) return line.trimmed();
    const qsizetype close = line.indexOf(u'"', open + 1);
    if (close < 0) return line.mid(open + 1);
    return line.mid(open + 1, close - open - 1);
}

bool ReadQuotedFile(const QString& path, int count, QStringList& values, QString* error) {
    values.clear();
    QStringList lines;
    if (!ReadTextLines(path, lines, error)) return false;
    for (int i = 0; i < count; ++i) {
        if (i >= lines.size()) {
            if (error) *error = QStringLiteral("too few values");
            return false;
        }
        values.append(UnquoteLine(lines.at(i)));
    }
    return true;
}

bool WriteQuotedFile(const QString& path, const QStringList& values, QString* error) {
    return WriteTextLines(path, QuoteLines(values), error);
}

}  // namespace core
