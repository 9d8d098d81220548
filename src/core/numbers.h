#pragma once
// Every number form of the program, on QString. The plain C++ work is in numparse.h.

#include <QLocale>
#include <QString>
#include <optional>

#include "core/numparse.h"

namespace core {

double ParseNumber(const QString& text);
double ParseEditorNumber(const QString& text);

QString StoredForm(float value);   // "12.5", "0.5", "-3", "1.5E-05"
QString EditorForm(float value);   // " 12.5", " .5", "-3", " 0"

// Counter files: a blank before a non-negative number (creation paths) or the digits alone
// (the deletion path).
QString CounterForm(int value, bool leadingBlank);
// Whole number of a counter line: blanks around it skipped; fails when the line holds
// anything else ("1e39", "3.5", "7 шт") or a number outside the 16-bit range of counters.
bool ParseCounter(const QString& text, int& value);

// A value written in the user's locale for result lists and scale values: shortest form up
// to 7 significant digits, the locale's decimal separator, no group separators.
QString LocaleForm(double value, const QLocale& locale = QLocale());

// The character a key typed into a number field puts there, or nothing when it is dropped:
// ASCII digits, "." and backspace pass, "," becomes "."; the minus is the field's business.
std::optional<QChar> NumberKey(QChar c);

}  // namespace core
