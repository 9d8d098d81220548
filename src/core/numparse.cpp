#include "core/numparse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace core {

namespace {

// The numeric prefix goes into a small buffer; digits beyond its size add nothing a float
// could hold, except to the magnitude, which the exponent bookkeeping keeps.
struct NumberBuffer {
    char data[96];
    size_t size = 0;
    int dropped = 0;  // integer digits dropped for lack of room
    bool full() const { return size + 12 >= sizeof data; }
    void push_back(char c) {
        if (size < sizeof data) data[size++] = c;
    }
    std::string_view view() const { return {data, size}; }
};

// Walks the text; with `skipAnywhere` blanks are passed over wherever they stand.
struct NumberScanner {
    std::string_view text;
    bool skipAnywhere;
    size_t i = 0;
    bool isSkip(char c) const {
        if (skipAnywhere) return c == ' ' || c == '\t' || c == '\n' || c == '\r';
        return false;
    }
    int next() {
        while (i < text.size() && isSkip(text[i])) ++i;
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    }
};

// The sign and the digits with at most one point. `magnitude`: the decimal magnitude of the
// mantissa (significant integer digits, or minus the zeros after the point before the first
// significant digit); false when there is no digit.
bool ScanMantissa(NumberScanner& in, NumberBuffer& buf, int& magnitude, bool& significant) {
    int c = in.next();
    if (c == '+' || c == '-') {
        buf.push_back(static_cast<char>(c));
        ++in.i;
    }
    bool digits = false;
    bool point = false;
    for (;;) {
        c = in.next();
        if (c >= '0' && c <= '9') {
            if (c != '0') significant = true;
            if (!point && significant) ++magnitude;
            if (point && !significant) --magnitude;
            if (!buf.full()) buf.push_back(static_cast<char>(c));
            else if (!point) ++buf.dropped;
            digits = true;
            ++in.i;
        } else if (c == '.' && !point) {
            buf.push_back('.');
            point = true;
            ++in.i;
        } else {
            break;
        }
    }
    return digits;
}

// An exponent ("E-3", with `allowD` also "D-3") into the buffer; its value, 0 without one.
// A letter without digits is no exponent and is left unread.
long ScanExponent(NumberScanner& in, NumberBuffer& buf, bool allowD) {
    const int c = in.next();
    if (!(c == 'E' || c == 'e' || (allowD && (c == 'D' || c == 'd')))) return 0;
    size_t save = in.i;
    char exp[12] = {'e'};
    size_t expSize = 1;
    ++in.i;
    int s = in.next();
    if (s == '+' || s == '-') {
        exp[expSize++] = static_cast<char>(s);
        ++in.i;
    }
    bool expDigits = false;
    const bool negativeExp = s == '-';
    long expAbs = 0;
    for (;;) {
        int d = in.next();
        if (d < '0' || d > '9') break;
        if (expAbs < 100000) expAbs = expAbs * 10 + (d - '0');
        // more than a few exponent digits only overflow; keep the text bounded
        if (expSize < 8) exp[expSize++] = static_cast<char>(d);
        expDigits = true;
        ++in.i;
    }
    if (!expDigits) {
        in.i = save;
        return 0;
    }
    for (size_t k = 0; k < expSize; ++k) buf.push_back(exp[k]);
    return negativeExp ? -expAbs : expAbs;
}

// Collects the longest numeric prefix of `text` (after the caller's blank handling) into a
// form from_chars reads, and converts it. `skipAnywhere` drops blanks wherever they stand;
// `allowD` accepts D as exponent letter.
double ParseImpl(std::string_view text, bool skipAnywhere, bool allowD, bool* overflow = nullptr) {
    NumberBuffer buf;
    NumberScanner in{text, skipAnywhere};
    // leading blanks are skipped in both modes
    while (in.i < text.size() && (text[in.i] == ' ' || text[in.i] == '\t')) ++in.i;
    int magnitude = 0;
    bool significant = false;
    if (!ScanMantissa(in, buf, magnitude, significant)) return 0.0;
    const long exponentValue = ScanExponent(in, buf, allowD);
    double v = 0.0;
    const std::string_view t = buf.view();
    const char* first = t.data();
    if (*first == '+') ++first;  // from_chars takes no plus sign
    const auto res = std::from_chars(first, t.data() + t.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // too small for a double reads as 0; too large is no number this program can hold
        if (overflow && significant && magnitude + exponentValue > 0) *overflow = true;
        return 0.0;
    }
    if (buf.dropped > 0) v *= std::pow(10.0, buf.dropped);
    if (!std::isfinite(v)) {
        if (overflow) *overflow = true;
        return 0.0;
    }
    return v;
}

// Decimal digits and exponent of a float written with `precision` significant digits.
struct Digits {
    std::string mantissa;  // digits without point, no trailing zeros
    int exponent = 0;      // value = 0.d1d2d3... * 10^(exponent)  -> we use d1.d2.. * 10^exponent
    bool negative = false;
};

Digits ShortestDigits(float value) {
    // shortest digits that read back as the same float; more than 7 significant digits are
    // cut to 7 (correctly rounded), as the stored form allows no more
    Digits d;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char* e = std::find(buf, res.ptr, 'e');
    const size_t digitCount = static_cast<size_t>(std::count_if(static_cast<const char*>(buf), e, [](char c) { return c >= '0' && c <= '9'; }));
    if (digitCount > 7) {
        res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
        e = std::find(buf, res.ptr, 'e');
    }
    // buf looks like "-1.2345e+02"
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < e; ++p)
        if (*p >= '0' && *p <= '9') d.mantissa.push_back(*p);
    if (e < res.ptr) {
        const char* q = e + 1;
        if (*q == '+') ++q;
        std::from_chars(q, res.ptr, d.exponent);
    }
    while (d.mantissa.size() > 1 && d.mantissa.back() == '0') d.mantissa.pop_back();
    return d;
}

std::string Compose(float value, bool editorForm) {
    if (!std::isfinite(value) || value == 0.0f) return editorForm ? " 0" : "0";
    Digits d = ShortestDigits(value);
    std::string out;
    if (d.negative) out.push_back('-');
    else if (editorForm) out.push_back(' ');
    const int n = static_cast<int>(d.mantissa.size());
    if (d.exponent < -4 || d.exponent >= 7) {
        // exponent form, as "1.5E-05"
        out.push_back(d.mantissa[0]);
        if (n > 1) {
            out.push_back('.');
            out.append(d.mantissa, 1, std::string::npos);
        }
        char e[8];
        std::snprintf(e, sizeof e, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        out += e;
    } else if (d.exponent < 0) {
        if (!editorForm) out.push_back('0');
        out.push_back('.');
        out.append(static_cast<size_t>(-d.exponent - 1), '0');
        out += d.mantissa;
    } else {
        const int intDigits = d.exponent + 1;
        if (n <= intDigits) {
            out += d.mantissa;
            out.append(static_cast<size_t>(intDigits - n), '0');
        } else {
            out.append(d.mantissa, 0, static_cast<size_t>(intDigits));
            out.push_back('.');
            out.append(d.mantissa, static_cast<size_t>(intDigits), std::string::npos);
        }
    }
    return out;
}

// Decodes one UTF-8 code point at s[i], advancing i; malformed bytes come back as themselves.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80 || i + 1 >= s.size()) {
        ++i;
        return c;
    }
    if ((c & 0xE0) == 0xC0) {
        char32_t cp = (static_cast<char32_t>(c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
        i += 2;
        return cp;
    }
    ++i;
    return c | 0x100000;  // other multi-byte leads compared byte by byte
}

char32_t FoldCase(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // А..Я
    if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;  // Ѐ..Џ, Ё among them
    return cp;
}

}  // namespace

double ParseNumber(std::string_view text) { return ParseImpl(text, false, false); }

bool ToFloatChecked(double value, float& out) {
    // halfway between FLT_MAX and 2^128: from here on the nearest float is infinity
    constexpr double kOverflow = 3.4028235677973366e38;
    if (!std::isfinite(value) || value >= kOverflow || value <= -kOverflow) return false;
    out = static_cast<float>(value);
    return true;
}

bool ParseStoredFloat(std::string_view text, float& out) {
    bool overflow = false;
    const double v = ParseImpl(text, false, false, &overflow);
    if (overflow) return false;
    return ToFloatChecked(v, out);
}

bool ParseEditorFloat(std::string_view text, float& out) {
    bool overflow = false;
    const double v = ParseImpl(text, true, true, &overflow);
    if (overflow) return false;
    return ToFloatChecked(v, out);
}

bool ParseWholeNumber(std::string_view text, double& out) {
    size_t b = 0, e = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    if (b == e) return false;
    const std::string_view t = text.substr(b, e - b);
    // every character must belong to the number: sign, digits, one point, an exponent
    size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') digits = true;
        else if (t[i] == '.' && !point) point = true;
        else break;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const size_t expStart = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        if (i == expStart) return false;
    }
    if (i != t.size()) return false;
    bool overflow = false;
    out = ParseImpl(t, false, false, &overflow);
    return !overflow;
}

double ParseEditorNumber(std::string_view text) { return ParseImpl(text, true, true); }

double RoundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = (decimals >= 0 && decimals <= 9) ? kPow10[decimals] : std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    // nearbyint rounds halves to even in the default rounding mode, which the program never changes
    return std::nearbyint(scaled) / scale;
}

std::string FormatStored(float value) { return Compose(value, false); }

std::string FormatEditor(float value) { return Compose(value, true); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(NextCodePoint(a, i)) != FoldCase(NextCodePoint(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

}  // namespace core
