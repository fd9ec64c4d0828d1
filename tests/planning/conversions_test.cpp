// The two number texts and the general number format.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/number_text.h"
#include "text/vt_error.h"

using namespace planning;

namespace {

std::string decimalError(const std::string& text, char sep = '.') {
    try {
        parseDecimal(text, sep);
    } catch (const text::VtError& e) {
        return e.what();
    }
    return "(accepted)";
}

}  // namespace

TEST(DecimalText, AcceptsBlanksSignSeparatorAndExponent) {
    EXPECT_EQ(parseDecimal("12340", '.'), 12340.0L);
    EXPECT_EQ(parseDecimal("  -1.5  ", '.'), -1.5L);
    EXPECT_EQ(parseDecimal("+.25", '.'), 0.25L);
    EXPECT_EQ(parseDecimal("3.", '.'), 3.0L);
    EXPECT_EQ(parseDecimal("1e2", '.'), 100.0L);
    EXPECT_EQ(parseDecimal("1E+2", '.'), 100.0L);
    EXPECT_EQ(parseDecimal("25e-2", '.'), 0.25L);
    EXPECT_EQ(parseDecimal("7e", '.'), 7.0L);  // exponent digits may be absent
    EXPECT_EQ(parseDecimal("7e-", '.'), 7.0L);
    EXPECT_EQ(parseDecimal("1,5", ','), 1.5L);
}

TEST(DecimalText, LoneSeparatorReadsAsZero) {
    EXPECT_EQ(parseDecimal(".", '.'), 0.0L);
    EXPECT_EQ(parseDecimal(" -. ", '.'), 0.0L);
    EXPECT_EQ(parseDecimal(".e5", '.'), 0.0L);
}

TEST(DecimalText, RejectsOtherTextsQuotingThemExactly) {
    for (const char* bad : {"", " ", "+", "-", "e5", "1.2.3", "1 2", "$10", "0x10", "1e5x", "1..", "inf", "nan", "\t1",
                            "1\t", "++1", "1,5"})
        EXPECT_EQ(decimalError(bad), std::string("'") + bad + "' は浮動小数点数ではありません") << bad;
    // Another locale's separator is not a digit.
    EXPECT_EQ(decimalError("1.5", ','), "'1.5' は浮動小数点数ではありません");
    // Operator text is never a format.
    EXPECT_EQ(decimalError("%s%n"), "'%s%n' は浮動小数点数ではありません");
}

TEST(DecimalText, ExponentDigitsAreReadWhileBelow500) {
    EXPECT_EQ(parseDecimal("1e0000000000000000002", '.'), 100.0L);
    EXPECT_EQ(parseDecimal("1e500", '.'), parseDecimal("10e499", '.'));
    // "1e5000": 5, 50, 500 -> reading stops and the last 0 is left over.
    EXPECT_EQ(decimalError("1e5000"), "'1e5000' は浮動小数点数ではありません");
    EXPECT_EQ(decimalError("1e-5000"), "'1e-5000' は浮動小数点数ではありません");
    // 4999 is read in full (499 < 500) and overflows the extended range.
    EXPECT_EQ(decimalError("1e4999"), "'1e4999' は浮動小数点数ではありません");
    EXPECT_EQ(parseDecimal("1e-4999", '.'), 0.0L);  // too small for the format: zero
}

TEST(DecimalText, ExtendedRangeAndSignificand) {
    EXPECT_TRUE(std::isfinite(parseDecimal("1.1e4932", '.')));
    EXPECT_EQ(decimalError("1.2e4932"), "'1.2e4932' は浮動小数点数ではありません");
    EXPECT_EQ(decimalError("-1.2e4932"), "'-1.2e4932' は浮動小数点数ではありません");
    EXPECT_GT(parseDecimal("1e-4950", '.'), 0.0L);  // subnormal extended
    EXPECT_EQ(parseDecimal("1e-4990", '.'), 0.0L);
    // 2^64 + 1 needs 65 bits: ties to even gives 2^64.
    EXPECT_EQ(parseDecimal("18446744073709551617", '.'), 0x1p64L);
    // 2^63 + 1 fits the 64-bit significand exactly (a double would lose it).
    EXPECT_EQ(parseDecimal("9223372036854775809", '.'), 0x1p63L + 1.0L);
    // A long run of digits is rounded once, not digit by digit.
    EXPECT_EQ(parseDecimal("0." + std::string(3000, '0') + "1e3001", '.'), 1.0L);
}

TEST(WholeText, DecimalAndHexadecimalForms) {
    EXPECT_EQ(parseWhole("12"), 12);
    EXPECT_EQ(parseWhole("  -12"), -12);
    EXPECT_EQ(parseWhole("+7"), 7);
    EXPECT_EQ(parseWhole("$10"), 16);
    EXPECT_EQ(parseWhole("x1f"), 31);
    EXPECT_EQ(parseWhole("X1F"), 31);
    EXPECT_EQ(parseWhole("0x10"), 16);
    EXPECT_EQ(parseWhole("-$10"), -16);
    EXPECT_EQ(parseWhole("2147483647"), INT32_MAX);
    EXPECT_EQ(parseWhole("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseWhole("$7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(parseWhole("0000000000000000000012"), 12);
}

TEST(WholeText, RejectsFractionsExponentsTrailingBlanksAndOverflow) {
    for (const char* bad : {"", " ", "-", "$", "0x", "100.0", "1e2", "12 ", "1 2", "2147483648", "-2147483649",
                            "$80000000", "99999999999999999999", "0xG", "12a", "%s%n"}) {
        EXPECT_FALSE(tryParseWhole(bad).has_value()) << bad;
        try {
            parseWhole(bad);
            ADD_FAILURE() << bad;
        } catch (const text::VtError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' は整数ではありません");
        }
    }
}

TEST(GeneralFormat, FixedAndScientificBoundaries) {
    EXPECT_EQ(formatGeneral(12340.0 / 100.0, '.'), "123.4");
    EXPECT_EQ(formatGeneral(0.0001, '.'), "0.0001");
    EXPECT_EQ(formatGeneral(0.00001, '.'), "1E-5");
    EXPECT_EQ(formatGeneral(1.5e20, '.'), "1.5E20");
    EXPECT_EQ(formatGeneral(0.0, '.'), "0");
    EXPECT_EQ(formatGeneral(-0.0, '.'), "0");
    EXPECT_EQ(formatGeneral(-2.5, ','), "-2,5");
    EXPECT_EQ(formatGeneral(100.0, '.'), "100");
    EXPECT_EQ(formatGeneral(999999999999999.0, '.'), "999999999999999");
    EXPECT_EQ(formatGeneral(1e15, '.'), "1E15");
    // Rounds to 15 digits first: this becomes 10^15 and so scientific.
    EXPECT_EQ(formatGeneral(999999999999999.9, '.'), "1E15");
    EXPECT_EQ(formatGeneral(0.000099999999999999999, '.'), "0.0001");
    EXPECT_EQ(formatGeneral(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(formatGeneral(123456789.123456789, '.'), "123456789.123457");
    EXPECT_EQ(formatGeneral(-1.25e-7, '.'), "-1.25E-7");
}
