#include "core/numbers.h"

#include <cmath>

namespace core {

double ParseNumber(const QString& text) { return ParseNumber(std::string_view(text.toStdString())); }

double ParseEditorNumber(const QString& text) {
    return ParseEditorNumber(std::string_view(text.toStdString()));
}

QString StoredForm(float value) { return QString::fromStdString(FormatStored(value)); }

QString EditorForm(float value) { return QString::fromStdString(FormatEditor(value)); }

QString CounterForm(int value, bool leadingBlank) {
    const QString digits = QString::number(value);
    return (leadingBlank && value >= 0) ? u' ' + digits : digits;
}

bool ParseCounter(const QString& text, int& value) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+')) ++i;
    const qsizetype digitsStart = i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 0x80) ++i;
    // a whole number and nothing else: "1e39" or "3.5" is no counter (it would read as 1 or 3)
    if (i == digitsStart || i != t.size() || i - digitsStart > 9) return false;
    const int v = t.toInt();
    if (v < -32768 || v > 32767) return false;  // counters are 16-bit numbers
    value = v;
    return true;
}

QString LocaleForm(double value, const QLocale& locale) {
    if (!std::isfinite(value)) value = 0;
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    QString s = l.toString(static_cast<double>(static_cast<float>(value)), 'g', 7);
    // 'g' switches to exponent form for large values; keep plain digits up to 7 places
    if (std::fabs(value) >= 1e6 && std::fabs(value) < 1e12) s = l.toString(value, 'f', 0);
    return s;
}

std::optional<QChar> NumberKey(QChar c) {
    if (c.isDigit() && c.unicode() < 0x80) return c;
    if (c == u'.' || c == QChar(8)) return c;
    if (c == u',') return QChar(u'.');
    return std::nullopt;
}

}  // namespace core
