#pragma once
// Plain C++ number helpers shared by the calculation engine and the Qt model.
// No Qt here, so the engine can use them without depending on Qt.

#include <string>
#include <string_view>

namespace core {

// Lenient parse: leading blanks and tabs skipped, optional sign, digits with at most one
// '.', optional exponent (E or e, optional sign, digits). Parsing stops at the first
// character that cannot continue the number; empty or non-numeric text gives 0.
double ParseNumber(std::string_view text);

// The editor reading rule: like ParseNumber, but blanks, tabs, CR and LF are ignored
// wherever they stand, and the exponent letter may be E or D (either case).
double ParseEditorNumber(std::string_view text);

// Checked forms for stored numbers. A value beyond the single-precision range (or beyond any
// double) fails instead of turning into an infinity or a silent 0; text that holds no number
// still reads as 0, as the lenient rule says.
bool ToFloatChecked(double value, float& out);
bool ParseStoredFloat(std::string_view text, float& out);
bool ParseEditorFloat(std::string_view text, float& out);
// A text that is wholly one number (blanks around allowed), read without the C locale, so a
// Russian locale's decimal comma never changes what "33.5" means.
bool ParseWholeNumber(std::string_view text, double& out);

// Rounds to `decimals` places with halves going to the even digit.
double RoundHalfEven(double value, int decimals);

// The stored form of a single-precision value: shortest text with at most 7 significant
// digits that reads back as the same float; "." as separator; no leading blank;
// exponent form ("1.5E-05", "3.4E+38") for very small or very large magnitudes.
// A value that is not finite is written as "0".
std::string FormatStored(float value);

// The editor form: the stored form with a blank in place of the plus sign of a
// non-negative value, and no zero before the point of a value between -1 and 1:
// " 12.5", "-3", " 0", " .5", "-.25".
std::string FormatEditor(float value);

// Case-insensitive equality of UTF-8 texts for Latin and Cyrillic letters (the only
// letters the program's fixed list texts use). Other characters compare exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace core
