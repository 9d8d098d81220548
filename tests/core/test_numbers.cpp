#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/numbers.h"

using namespace core;

TEST(ParseNumber, LenientLeadingNumber) {
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("12,5")), 12.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view(" 12.5")), 12.5);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("-3")), -3.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view(".5")), 0.5);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("1.5E-05")), 1.5e-5);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("2e3x")), 2000.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("7e")), 7.0);  // an exponent without digits is not one
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("1.2.3")), 1.2);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("")), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("abc")), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("-")), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("1 2")), 1.0);  // blanks inside end the number
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("  8000 ккал")), 8000.0);
}

TEST(ParseNumber, VeryLongDigitRuns) {
    const std::string big = "1" + std::string(120, '0');
    EXPECT_NEAR(ParseNumber(std::string_view(big)) / 1e120, 1.0, 1e-12);
    const std::string small = "0." + std::string(150, '0') + "5";
    EXPECT_GE(ParseNumber(std::string_view(small)), 0.0);
    EXPECT_LT(ParseNumber(std::string_view(small)), 1e-100);
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("+2.5")), 2.5);
}

TEST(ParseNumber, OverflowGivesZeroNotInfinity) {
    EXPECT_DOUBLE_EQ(ParseNumber(std::string_view("1e999999")), 0.0);
    EXPECT_TRUE(std::isfinite(ParseEditorNumber(std::string_view("9e9999"))));
}

TEST(ParseEditorNumber, BlanksAnywhereAndDExponent) {
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("1 2\t3.\n5")), 123.5);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view(" - 4")), -4.0);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("1.5D-2")), 0.015);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("1.5d2")), 150.0);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("2 E 2")), 200.0);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("12,5")), 12.0);
    EXPECT_DOUBLE_EQ(ParseEditorNumber(std::string_view("x12")), 0.0);
}

TEST(StoredForm, ShortestTextUpToSevenDigits) {
    EXPECT_EQ(StoredForm(85.0f), "85");
    EXPECT_EQ(StoredForm(1021.51f), "1021.51");
    EXPECT_EQ(StoredForm(0.01876f), "0.01876");
    EXPECT_EQ(StoredForm(0.5f), "0.5");
    EXPECT_EQ(StoredForm(-3.0f), "-3");
    EXPECT_EQ(StoredForm(0.0f), "0");
    EXPECT_EQ(StoredForm(-0.0f), "0");
    EXPECT_EQ(StoredForm(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(StoredForm(1234567.0f), "1234567");
    EXPECT_EQ(StoredForm(0.0001f), "0.0001");
    EXPECT_EQ(StoredForm(1.5e-5f), "1.5E-05");
    EXPECT_EQ(StoredForm(12345678.0f), "1.234568E+07");
    EXPECT_EQ(StoredForm(-2.5e20f), "-2.5E+20");
    EXPECT_EQ(StoredForm(std::numeric_limits<float>::quiet_NaN()), "0");
    EXPECT_EQ(StoredForm(std::numeric_limits<float>::infinity()), "0");
}

TEST(StoredForm, ReadsBackAsTheSameFloat) {
    for (float v : {91.51f, 6.47f, 0.01876f, 156.05f, 1e-7f, 3.4e38f, -0.001f, 663.0f, 664.9f}) {
        const QString s = StoredForm(v);
        EXPECT_EQ(static_cast<float>(ParseNumber(s)), v) << s.toStdString();
    }
}

TEST(EditorForm, LeadingBlankAndNoZeroBeforePoint) {
    EXPECT_EQ(EditorForm(12.5f), " 12.5");
    EXPECT_EQ(EditorForm(-3.0f), "-3");
    EXPECT_EQ(EditorForm(0.0f), " 0");
    EXPECT_EQ(EditorForm(0.5f), " .5");
    EXPECT_EQ(EditorForm(-0.25f), "-.25");
    EXPECT_EQ(EditorForm(0.001f), " .001");
    EXPECT_EQ(EditorForm(1.5e-5f), " 1.5E-05");
    // the editor form goes through the editor reading rule unchanged
    for (float v : {12.5f, -0.25f, 1.5e-5f, 1021.51f})
        EXPECT_EQ(static_cast<float>(ParseEditorNumber(EditorForm(v))), v);
}

TEST(Counters, FormsAndParsing) {
    EXPECT_EQ(CounterForm(4, true), " 4");
    EXPECT_EQ(CounterForm(4, false), "4");
    EXPECT_EQ(CounterForm(0, true), " 0");
    EXPECT_EQ(CounterForm(-1, true), "-1");
    int v = -5;
    EXPECT_TRUE(ParseCounter(QStringLiteral(" 7 "), v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(ParseCounter(QStringLiteral("32767"), v));
    EXPECT_EQ(v, 32767);
    EXPECT_FALSE(ParseCounter(QStringLiteral(""), v));
    EXPECT_FALSE(ParseCounter(QStringLiteral("abc"), v));
    EXPECT_FALSE(ParseCounter(QStringLiteral("99999999999999"), v));
}

TEST(RoundHalfEven, TiesGoToEven) {
    EXPECT_DOUBLE_EQ(RoundHalfEven(84.5, 0), 84.0);
    EXPECT_DOUBLE_EQ(RoundHalfEven(85.5, 0), 86.0);
    EXPECT_DOUBLE_EQ(RoundHalfEven(-2.5, 0), -2.0);
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.125, 2), 0.12);   // exact binary tie
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(RoundHalfEven(91.5149, 2), 91.51);
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.018764, 5), 0.01876);
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.5, 0), 2.0);
    EXPECT_DOUBLE_EQ(RoundHalfEven(3.5, 0), 4.0);
}

TEST(LocaleForm, UsesTheLocaleSeparator) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QLocale c(QLocale::C);
    EXPECT_EQ(LocaleForm(91.5f, ru), "91,5");
    EXPECT_EQ(LocaleForm(91.5f, c), "91.5");
    EXPECT_EQ(LocaleForm(6.47f, ru), "6,47");  // the float's noise digits never show
    EXPECT_EQ(LocaleForm(1021.51f, ru), "1021,51");  // no group separator
    EXPECT_EQ(LocaleForm(std::nan(""), ru), "0");
}

TEST(EqualsNoCase, LatinAndCyrillic) {
    EXPECT_TRUE(EqualsNoCase("С ЭКОНОМАЙЗЕРОМ", "с экономайзером"));
    EXPECT_TRUE(EqualsNoCase("PPM", "ppm"));
    EXPECT_TRUE(EqualsNoCase("Ёлка", "ёЛКА"));
    EXPECT_FALSE(EqualsNoCase("оС", "oC"));  // Cyrillic О С against Latin o C
    EXPECT_FALSE(EqualsNoCase("кВт", "кВт "));
    EXPECT_FALSE(EqualsNoCase("а", ""));
}
