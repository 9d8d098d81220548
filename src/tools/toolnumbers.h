#pragma once
// Number texts of the calculators: values rounded half to even and written as plain
// decimals with a point, never NaN, infinity, "-0" or float noise.

#include <QString>

namespace tools {

// Rounds `value` to `decimals` places (halves to even) and writes it without trailing
// zeros: 3.409, 750, -1.5. A value that is not finite is written as "0".
QString RoundedText(double value, int decimals);

// A plain decimal text of a computed value, to at most 10 decimals (so sums such as
// 0.1 + 0.2 read 0.3), no exponent.
QString PlainText(double value);

// Lenient read of a field: leading blanks skipped, the leading number taken, "" or text
// that is no number gives 0 (the same rule as every field of the program).
double FieldValue(const QString& text);

}  // namespace tools
