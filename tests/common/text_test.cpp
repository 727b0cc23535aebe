#include "common/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "common/status.h"
#include "common/tr.h"

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
  const double none = -999;  // stands for "no number"
  struct Case {
    const char* text;
    double field;     // fieldNumber: blanks anywhere, nothing else
    double argument;  // argumentNumber: no blanks between the digits
  };
  const Case cases[] = {
      {" 20 ", 20, 20},     {"-1.5", -1.5, -1.5},  {"+7", 7, 7},           {".5", 0.5, 0.5},
      {"5.", 5, 5},         {"1E-07", 1e-7, 1e-7}, {"2D3", 2000, none},    {"1 2", 12, none},
      {"- 3", -3, none},    {"1 e3", 1000, none},  {"1E -7", 1e-7, none},  {"20x", none, none},
      {"7MHz", none, none}, {"abc", none, none},   {"", none, none},       {"-", none, none},
      {".", none, none},    {"1,5", none, none},   {"inf", none, none},    {"nan", none, none},
      {"0x10", none, none}, {"1e400", none, none}, {"-1e400", none, none}, {"1e-400", 0, 0},
      {"3e", none, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fieldNumber(c.text).value_or(none), c.field) << c.text;
    EXPECT_EQ(argumentNumber(c.text).value_or(none), c.argument) << c.text;
  }
  // 16 digits are more than a double holds exactly: correctly rounded, not 10.
  EXPECT_EQ(fieldNumber("9.999999999999999"), 9.999999999999999);
  // Beyond a double's range the leading number is not taken at all.
  EXPECT_EQ(numericValue("1e400 MHz"), 0);
  EXPECT_EQ(numericValue("0.001e-400"), 0);
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
  struct Case {
    double value;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {0.5, 15, "0.5"},
      {1e-7, 15, "1E-07"},
      {-0.0, 15, "0"},
      {0.00012345678, 7, "0.0001234568"},
      {0.000012345, 7, "1.2345E-05"},
      {1234567.5, 7, "1234568"},
      {9999999.5, 7, "1E+07"},
      {99.999996, 7, "100"},
      {2.5, 1, "2"},
      {3.5, 1, "4"},
      {-40.123455f, 7, "-40.12346"},
      {123456789.0, 7, "1.234568E+08"},
      {0.1, 17, "0.10000000000000001"},
      {5e-324, 15, "4.94065645841247E-324"},
  };
  for (const Case& c : cases) EXPECT_EQ(shortestText(c.value, c.digits), c.text) << c.value;
}

TEST(Patterns, OptionalDigitsBlanksRoundingSignsAndExponents) {
  const struct {
    double value;
    const char *pattern, *text;
  } cases[] = {
      {14.34, "#.### ###", "14.34"},
      {14.0255, "#.### ###", "14.025 5"},
      {0.5, "#.### ###", ".5"},
      {1234, "### ###", "1 234"},
      {1234567, "### ###", "1234 567"},
      {1234.567, "### ###.00", "1 234.57"},
      {0.3, "#,###,##0.##", "0.3"},
      {1234567.891, "#,###,##0.##", "1,234,567.89"},
      {1234.5, "000.000000", "1234.500000"},
      {0.0000004, "0.000 000", "0.000 000"},
      {-12.34, "0.0", "-12.3"},
      {-0.04, "0.0", "0.0"},
      {50.04, "0.#", "50"},
      {49.96, "0.#", "50"},
      {1.5, "0.00", "1.50"},
      {2.0004, "0.000", "2.000"},
      {3.375, "scientific", "3.38E+00"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value;
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
