// Text conventions shared by every window and file of the program: reading the
// number at the start of a text, rounding halves to even, the "Str" form of a
// number and the display patterns ("000.000 000", "#.### ###", ...).
//
// Numbers are read and written with "." whatever the locale of the process:
// nothing here consults the C or C++ locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::common {

// The leading decimal number of a text: blanks are skipped (also between the
// digits), "." is the decimal separator, an optional exponent (E or D) is taken,
// and a text without a number gives 0, as does one beyond the range of a double.
// "12.5 MHz" gives 12.5, "abc" gives 0, "  -3" gives -3, "1 000" gives 1000.
double numericValue(std::string_view text);

// A record field that is one number and nothing else (blanks aside, as above);
// empty when the field holds other text, no number or one beyond the range of a
// double. A number too small for a double reads as 0.
std::optional<double> fieldNumber(std::string_view text);

// A command-line number: the whole text is one number, blanks allowed only
// around it (not between its digits), an optional sign, "." as the decimal
// separator and an optional E exponent. "1 2", "7MHz" and "" give nothing.
std::optional<double> argumentNumber(std::string_view text);

// True when a double read from a file keeps a finite value in single precision.
bool fitsSingle(double value);

// Nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Rounded (halves to even) into a 16-bit signed integer; empty when the value
// does not fit.
std::optional<int16_t> toInt16(double value);

// The Str form: shortest decimal text, a leading blank for values that are not
// negative, no zero before the point (" 14.35", "-80", " .5", " 1E-07").
// Single precision keeps at most 7 significant digits, double at most 15.
std::string strSingle(float value);
std::string strDouble(double value);

// Shortest decimal text with at most `digits` significant digits, no leading
// blank, "0.5" with its zero; exponent form ("1E-07") for very small or large
// values. Used for bare numbers in record files.
std::string shortestText(double value, int digits = 15);
// The same, appended to `out`.
void appendShortest(std::string& out, double value, int digits = 15);

// The decimal number a single-precision value stands for, as a double: 3.1f gives
// 3.1, not 3.0999999046. For single-precision spans shown or stored as doubles.
double decimalOfSingle(float value);

// Display patterns: '0' a digit always shown, '#' a digit shown only when
// significant, '.' the decimal point, ' ' a blank printed between digits,
// ',' thousands grouping (with `thousandsSeparator`). The value is rounded to the
// pattern's number of decimals. A point with no decimal shown after it is left
// out. "scientific" gives d.ddE+xx.
std::string formatPattern(double value, std::string_view pattern, char thousandsSeparator = ',');

// The decimals a display pattern writes.
int patternDecimals(std::string_view pattern);

// A half-width `pm` about `value`, both written with `decimals` decimals
// (negative: to tens, hundreds...), rounded outward: up to a whole last digit
// and widened by what writing the value moves it, so that the written value
// plus and minus the written half-width hold every number within pm of
// `value`. Infinite and NaN half-widths are returned as they are.
double outwardHalfWidth(double value, double pm, int decimals);

// A half-width `pm` about `value`, the value written with `valueDigits`
// significant digits and the half-width with `digits`, rounded outward: the
// written value plus and minus the written half-width hold every number within
// pm of `value` (the value's own rounding taken in). Infinite and NaN
// half-widths are returned as they are.
double outwardHalfWidthSignificant(double value, int valueDigits, double pm, int digits);

// d.ddE+xx: one digit, the point, two decimals, E, a sign and two exponent digits.
std::string formatScientific(double value);

// The whole number at the start of a text (blanks before it skipped): decimal,
// or hexadecimal after 0x. Empty when there is none or it does not fit.
std::optional<long> leadingInteger(std::string_view text);
// Upper-case hexadecimal digits without a prefix: 888 gives "378".
std::string hexText(uint32_t value);

// ASCII only, whatever the locale: a blank (space, tab, line feed, carriage
// return, form feed, vertical tab) and lower case.
inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
std::string asciiLower(std::string_view text);
// The text without blanks at either end.
std::string_view trimBlanks(std::string_view text);

}  // namespace kolm::common
