// Number texts of reports, drawings, listings and files, and the reading of file values.
#include "NumberFormat.h"
#include "plsLangConsts.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

class FormatFixedTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, RoundsOnceAtFiveDigitsOrTheDecimals) {
    EXPECT_EQ(FormatFixed(GetParam().value, GetParam().decimals).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFixedTest,
    ::testing::Values(FixedCase{100, 0, "100"}, FixedCase{-12.5, 1, "-12.5"},
                      FixedCase{0, 1, "0.0"}, FixedCase{90, 1, "90.0"},
                      FixedCase{1.23456, 3, "1.235"}, FixedCase{12345.6, 1, "12346.0"},
                      FixedCase{0.123456, 1, "0.1"}, FixedCase{-0.04, 1, "0.0"},
                      FixedCase{99999.4, 0, "99999"}, FixedCase{7.0710678, 4, "7.0711"}));

struct FileRealCase {
    double value;
    const char* text;
};

class FormatFileRealTest : public ::testing::TestWithParam<FileRealCase> {};

TEST_P(FormatFileRealTest, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FormatFileReal(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFileRealTest,
    ::testing::Values(FileRealCase{10, "10"}, FileRealCase{90, "90"}, FileRealCase{0, "0"},
                      FileRealCase{-2.5, "-2.5"}, FileRealCase{0.1, "0.1"},
                      FileRealCase{1.0 / 3, "0.333333333333333"}, FileRealCase{0.00001, "0.00001"},
                      FileRealCase{0.000001, "1E-6"}, FileRealCase{1e20, "1E20"},
                      FileRealCase{123456789012345, "123456789012345"},
                      FileRealCase{1.5e15, "1.5E15"}));

TEST(FormatFileReal, EveryWrittenValueReadsBackToTheSameDouble) {
    for (double v : {10.0, 0.1, 1.0 / 3, -7.25, 12345.678, 1e-9, 6.02e23})
        EXPECT_NEAR(ParseFileReal(FormatFileReal(v)).value(), v, std::fabs(v) * 1e-14) << v;
}

// Rounded to fifteen digits, the largest doubles would lie beyond the largest one and read back
// as nothing (0); they are written with all seventeen digits.
TEST(FormatFileReal, TheLargestDoublesReadBack) {
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(FormatFileReal(largest).toStdString(), "1.7976931348623157E308");
    EXPECT_EQ(FormatFileReal(-largest).toStdString(), "-1.7976931348623157E308");
    const double belowRoundingUp = 1.797693134862315e308;
    EXPECT_EQ(FormatFileReal(belowRoundingUp).toStdString(), "1.79769313486231E308");
    EXPECT_EQ(FormatFileReal(std::nextafter(belowRoundingUp, largest)).toStdString(),
              "1.7976931348623151E308");
    // Written with all seventeen digits they read back exactly; with fifteen, to within the
    // file's precision and never as infinity.
    for (double v : {largest, -largest})
        EXPECT_EQ(ParseFileReal(FormatFileReal(v)), std::optional<double>(v)) << v;
    for (double v : {std::nextafter(largest, 0.0), belowRoundingUp}) {
        const auto back = ParseFileReal(FormatFileReal(v));
        ASSERT_TRUE(back.has_value()) << v;
        EXPECT_NEAR(*back / v, 1.0, 1e-14) << v;
    }
    // The smallest doubles need no more digits than the others.
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(FormatFileReal(tiny).toStdString(), "4.94065645841247E-324");
    EXPECT_EQ(ParseFileReal(FormatFileReal(tiny)), std::optional<double>(tiny));
}

TEST(ParseFileReal, TakesBothDecimalSeparators) {
    EXPECT_DOUBLE_EQ(ParseFileReal("2.5").value(), 2.5);
    EXPECT_DOUBLE_EQ(ParseFileReal("2,5").value(), 2.5);
    EXPECT_DOUBLE_EQ(ParseFileReal("-1,5E2").value(), -150);
    EXPECT_DOUBLE_EQ(ParseFileReal("+4").value(), 4);
}

TEST(ParseFileReal, RefusesWhatIsNotANumber) {
    for (const char* bad : {"", "abc", "1.2.3", "1,2.3", "inf", "nan", "1e", "--1", "0x10", "1 2"})
        EXPECT_FALSE(ParseFileReal(bad).has_value()) << bad;
}

TEST(ParseFileInteger, DecimalAndHexadecimal) {
    EXPECT_EQ(ParseFileInteger("40").value(), 40);
    EXPECT_EQ(ParseFileInteger("-40").value(), -40);
    EXPECT_EQ(ParseFileInteger("$1F").value(), 31);
    EXPECT_EQ(ParseFileInteger("0x1f").value(), 31);
    EXPECT_EQ(ParseFileInteger("0X10").value(), 16);
    EXPECT_EQ(ParseFileInteger("2147483647").value(), 2147483647);
}

TEST(ParseFileInteger, RefusesWhatIsNotAnInteger) {
    for (const char* bad : {"", "1.5", "abc", "$", "0x", "2147483648", "12a", "--3", "$-1"})
        EXPECT_FALSE(ParseFileInteger(bad).has_value()) << bad;
}

TEST(FormatListingValue, PrintfWidthOfSevenWithOneDecimal) {
    EXPECT_EQ(FormatListingValue(1.0L).toStdString(), "    1.0");
    EXPECT_EQ(FormatListingValue(-10.0L).toStdString(), "  -10.0");
    EXPECT_EQ(FormatListingValue(123456.75L).toStdString(), "123456.8");
}

TEST(NumberFormat, UsesTheLocaleDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    EXPECT_EQ(FormatFixed(-12.5, 1).toStdString(), "-12,5");
    EXPECT_EQ(FormatFileReal(2.5).toStdString(), "2,5");
    EXPECT_EQ(FormatListingValue(0.5L).toStdString(), "    0,5");
    QLocale::setDefault(QLocale::c());
}

struct ThousandsCase {
    double Value;
    const char* Text;
};

class FormatThousandsTest : public ::testing::TestWithParam<ThousandsCase> {};

TEST_P(FormatThousandsTest, GroupsOfThreeWithoutDecimals) {
    EXPECT_EQ(FormatThousands(GetParam().Value).toStdString(), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatThousandsTest,
    ::testing::Values(ThousandsCase{12345.678, "12,346"}, ThousandsCase{0, "0"},
                      ThousandsCase{999.4, "999"}, ThousandsCase{999.5, "1,000"},
                      ThousandsCase{1234567890, "1,234,567,890"}, ThousandsCase{-1234.5, "-1,235"},
                      ThousandsCase{-0.2, "0"}, ThousandsCase{100000, "100,000"}));

TEST(FormatThousands, UsesTheLocaleGroupSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatThousands(12345678).toStdString(), "12.345.678");
    QLocale::setDefault(QLocale::c());
}

TEST(FormatConst, FillsTheFirstPlaceholderOnly) {
    EXPECT_EQ(FormatConst(QStringLiteral("Čas: %f ms"), QStringLiteral("1.25")),
              QStringLiteral("Čas: 1.25 ms"));
    EXPECT_EQ(FormatConst(QStringLiteral("Soubor \"%s\" a %s"), QStringLiteral("a%sb")),
              QStringLiteral("Soubor \"a%sb\" a %s"));
    EXPECT_EQ(FormatConst(QStringLiteral("bez"), QStringLiteral("x")), QStringLiteral("bez"));
    EXPECT_EQ(FormatConst(QStringLiteral("100%% %d"), QStringLiteral("7")),
              QStringLiteral("100%% 7"));
}

} // namespace
