#include "tools/toolnumbers.h"

#include <cmath>

#include "core/numbers.h"

namespace tools {

namespace {

QString Fixed(double value, int decimals) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    QString s = QString::number(value, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    if (s == u"-0") s = QStringLiteral("0");
    return s;
}

}  // namespace

QString RoundedText(double value, int decimals) { return Fixed(core::RoundHalfEven(value, decimals), decimals); }

QString PlainText(double value) { return Fixed(value, 10); }

double FieldValue(const QString& text) { return core::ParseNumber(text); }

}  // namespace tools
