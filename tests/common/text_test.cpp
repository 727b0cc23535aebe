#include "common/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "common/status.h"
#include "common/tr.h"
#include "support/golden.h"

using namespace kolm::common;

TEST(NumericValue, TakesTheLeadingNumberAndSkipsBlanks) {
  EXPECT_DOUBLE_EQ(numericValue("12.5 MHz"), 12.5);
  EXPECT_DOUBLE_EQ(numericValue("  -3"), -3);
  EXPECT_DOUBLE_EQ(numericValue("1 000"), 1000);
  EXPECT_DOUBLE_EQ(numericValue("abc"), 0);
  EXPECT_DOUBLE_EQ(numericValue("-"), 0);
  EXPECT_DOUBLE_EQ(numericValue("3e"), 3);   // an exponent without digits is not taken
  EXPECT_DOUBLE_EQ(numericValue("1,5"), 1);  // the comma is no decimal separator
}

TEST(NumericValue, FieldsAndArgumentsAreOneNumberOrNone) {
  for (const auto& c : kolm::test::goldenRows("numbers.tsv", 3)) {
    auto number = [](const std::string& f) {
      return f == "none" ? std::optional<double>() : kolm::test::goldenNumber(f);
    };
    EXPECT_EQ(fieldNumber(c[0]), number(c[1])) << c[0];
    EXPECT_EQ(argumentNumber(c[0]), number(c[2])) << c[0];
  }
  // 16 digits are more than a double holds exactly: correctly rounded, not 10.
  EXPECT_EQ(fieldNumber("9.999999999999999"), 9.999999999999999);
  // Beyond a double's range the leading number is not taken at all.
  EXPECT_EQ(numericValue("1e400 MHz"), 0);
  EXPECT_EQ(numericValue("0.001e-400"), 0);
  // A whole number in either base, as /proc and the command line write them.
  EXPECT_EQ(std::tuple(leadingInteger(" 888 rest"), leadingInteger("0x378"), leadingInteger("x")),
            std::tuple(std::optional<long>(888), std::optional<long>(888), std::optional<long>()));
  // Long texts convert exactly, in place or with blanks taken out.
  const std::string digits = "1" + std::string(400, '0') + "e-400";
  EXPECT_EQ(numericValue(digits), 1);
  EXPECT_EQ(numericValue("1 " + digits.substr(1)), 1);
}

TEST(NumericValue, ReadAndWrittenWithThePointInADecimalCommaLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const std::locale cppBefore = std::locale::global(std::locale("de_DE.UTF-8"));
  EXPECT_EQ(numericValue("12.5 MHz"), 12.5);
  EXPECT_EQ(fieldNumber("-3.25E-02").value_or(0), -0.0325);
  EXPECT_EQ(shortestText(12.5), "12.5");
  EXPECT_EQ(strSingle(-0.5f), "-.5");
  EXPECT_EQ(formatPattern(7.05, "000.000 000"), "007.050 000");
  EXPECT_EQ(formatScientific(0.04376), "4.38E-02");
  EXPECT_EQ(decimalOfSingle(3.1f), 3.1);
  std::locale::global(cppBefore);
  std::setlocale(LC_ALL, before.c_str());
}

TEST(Rounding, HalvesGoToEven) {
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(3.5), 4);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(2.6), 3);
  EXPECT_EQ(toInt16(32767.4).value(), 32767);
  EXPECT_FALSE(toInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_FALSE(toInt16(-40000).has_value());
  // A single's decimal: the one it stands for.
  EXPECT_EQ(decimalOfSingle(14.35f), 14.35);
  EXPECT_EQ(shortestText(decimalOfSingle(3.1f)), "3.1");
}

TEST(StrForm, LeadingBlankNoZeroBeforeThePoint) {
  EXPECT_EQ(strSingle(14.35f), " 14.35");
  EXPECT_EQ(strSingle(-80.f), "-80");
  EXPECT_EQ(strSingle(0.5f), " .5");
  EXPECT_EQ(strSingle(1e-7f), " 1E-07");
  EXPECT_EQ(strSingle(1.0000001f), " 1");  // 7 significant digits at most
  EXPECT_EQ(strDouble(7.05), " 7.05");
  EXPECT_EQ(strDouble(123456789012345.0), " 123456789012345");
}

TEST(ShortestText, RoundsHalvesToEvenAndCarriesIntoTheExponent) {
  for (const auto& c : kolm::test::goldenRows("shortest_text.tsv", 3))
    EXPECT_EQ(shortestText(kolm::test::goldenNumber(c[0]), std::stoi(c[1])), c[2]) << c[0];
}

TEST(Patterns, OptionalDigitsBlanksRoundingSignsAndExponents) {
  for (const auto& c : kolm::test::goldenRows("patterns.tsv", 3))
    EXPECT_EQ(formatPattern(kolm::test::goldenNumber(c[0]), c[1]), c[2]) << c[0];
  EXPECT_EQ(formatScientific(1.25), "1.25E+00");
}

TEST(StatusTexts, SayWhatWasDone) {
  EXPECT_EQ(stoppedAtText(412, 1001), "Sweep stopped at point 412 of 1001");
  EXPECT_EQ(passDoneText(2.345), "Pass done in 2.3 s");
  EXPECT_EQ(passDoneText(0.0424), "Pass done in 42 ms");
  EXPECT_EQ(savedToText("/tmp/lp30.pwm"), "Saved to /tmp/lp30.pwm");
  EXPECT_EQ(pdfWrittenText("/tmp/a.pdf"), "PDF written to /tmp/a.pdf");
  // Arguments are put in once: a %2 inside the first stays as it is.
  EXPECT_EQ(arg("%1 and %2, %3", {"a%2", "b"}), "a%2 and b, %3");
}

// The value and half-width as written hold the interval computed, and are no
// wider than one last digit beyond what writing the value moved it.
TEST(OutwardHalfWidth, TheWrittenIntervalHoldsTheComputedOne) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> decade(-5, 7), share(-10, 0), sign(-1, 1);
  std::uniform_int_distribution<int> places(-2, 9), significant(1, 5);
  const auto parse = [](const std::string& text) { return kolm::test::goldenNumber(text); };
  for (int i = 0; i < 5000; ++i) {
    const double value = std::copysign(std::pow(10.0, decade(random)), sign(random));
    const double pm = std::fabs(value) * std::pow(10.0, share(random));
    const double slack = 1e-13 * std::fabs(value);

    const int decimals = places(random);
    std::string pattern = "0";
    if (decimals > 0) pattern += "." + std::string(static_cast<size_t>(decimals), '0');
    const double written =
        decimals >= 0 ? parse(formatPattern(value, pattern))
                      : std::round(value / std::pow(10.0, -decimals)) * std::pow(10.0, -decimals);
    const double half = outwardHalfWidth(value, pm, decimals);
    ASSERT_LE(written - half, value - pm + slack) << value << " " << pm << " " << decimals;
    ASSERT_GE(written + half, value + pm - slack) << value << " " << pm << " " << decimals;
    ASSERT_LE(half, pm + std::fabs(value - written) + std::pow(10.0, -decimals) + slack);

    const int valueDigits = significant(random) + 3, digits = significant(random);
    const double shown = parse(shortestText(value, valueDigits));
    const double halfShown = outwardHalfWidthSignificant(value, valueDigits, pm, digits);
    ASSERT_LE(shown - halfShown, value - pm + slack) << value << " " << pm;
    ASSERT_GE(shown + halfShown, value + pm - slack) << value << " " << pm;
  }
}
