#include "common/text.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace kolm::common {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the leading number of a text (blanks skipped) into a plain C string
// that strtod understands. Returns the number of characters of `text` consumed.
size_t scanNumber(std::string_view text, std::string& out) {
  size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && isBlank(text[i])) ++i;
  };
  skip();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    out += text[i++];
    skip();
  }
  bool digits = false;
  bool point = false;
  while (i < text.size()) {
    char c = text[i];
    if (isDigit(c)) {
      out += c;
      digits = true;
    } else if (c == '.' && !point) {
      out += c;
      point = true;
    } else if (!isBlank(c)) {
      break;
    }
    ++i;
  }
  if (!digits) {
    out.clear();
    return 0;
  }
  // Optional exponent, taken only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    size_t j = i + 1;
    std::string exponent = "e";
    while (j < text.size() && isBlank(text[j])) ++j;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) exponent += text[j++];
    bool expDigits = false;
    while (j < text.size() && (isDigit(text[j]) || isBlank(text[j]))) {
      if (isDigit(text[j])) {
        exponent += text[j];
        expDigits = true;
      }
      ++j;
    }
    if (expDigits) {
      out += exponent;
      i = j;
    }
  }
  return i;
}

// printf %g with `digits` significant digits, upper-case exponent.
std::string generalForm(double value, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", digits, value);
  std::string s = buf;
  if (s == "-0") s = "0";
  return s;
}

std::string toStrForm(std::string s) {
  // "0.5" -> ".5", "-0.5" -> "-.5"
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  if (s.empty() || s[0] != '-') s.insert(s.begin(), ' ');
  return s;
}

}  // namespace

double numericValue(std::string_view text) {
  std::string number;
  scanNumber(text, number);
  if (number.empty()) return 0.0;
  double v = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(v)) return 0.0;
  return v;
}

bool isNumeric(std::string_view text) {
  std::string number;
  size_t used = scanNumber(text, number);
  if (number.empty()) return false;
  for (size_t i = used; i < text.size(); ++i)
    if (!isBlank(text[i])) return false;
  return std::isfinite(std::strtod(number.c_str(), nullptr));
}

double roundHalfEven(double value) { return std::nearbyint(value); }

std::optional<int16_t> toInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = roundHalfEven(value);
  if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
    return std::nullopt;
  return static_cast<int16_t>(r);
}

std::string strSingle(float value) { return toStrForm(generalForm(value, 7)); }

std::string strDouble(double value) { return toStrForm(generalForm(value, 15)); }

std::string shortestText(double value, int digits) { return generalForm(value, digits); }

double decimalOfSingle(float value) {
  if (!std::isfinite(value)) return value;
  return std::strtod(generalForm(value, 7).c_str(), nullptr);
}

std::string formatScientific(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2E", value);
  return buf;
}

std::string formatPattern(double value, std::string_view pattern, char thousandsSeparator) {
  if (pattern == "scientific") return formatScientific(value);
  size_t dot = pattern.find('.');
  std::string_view intPattern = pattern.substr(0, dot);
  std::string_view fracPattern = dot == std::string_view::npos ? "" : pattern.substr(dot + 1);

  int decimals = 0;
  for (char c : fracPattern)
    if (c == '0' || c == '#') ++decimals;

  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
  std::string fixed = buf;
  std::string intDigits = fixed.substr(0, fixed.find('.'));
  std::string fracDigits = decimals > 0 ? fixed.substr(fixed.find('.') + 1) : "";
  bool negative = value < 0 && fixed.find_first_not_of("0.") != std::string::npos;

  // Integer part: digits right to left over the placeholders.
  int minDigits = 0;
  bool grouping = false;
  for (char c : intPattern) {
    if (c == '0') ++minDigits;
    if (c == ',') grouping = true;
  }
  if (intDigits == "0") intDigits.clear();
  while (static_cast<int>(intDigits.size()) < minDigits) intDigits.insert(intDigits.begin(), '0');

  std::string intText;
  if (grouping) {
    int count = 0;
    for (auto it = intDigits.rbegin(); it != intDigits.rend(); ++it) {
      if (count > 0 && count % 3 == 0) intText.insert(intText.begin(), thousandsSeparator);
      intText.insert(intText.begin(), *it);
      ++count;
    }
  } else {
    int remaining = static_cast<int>(intDigits.size());
    for (auto p = intPattern.rbegin(); p != intPattern.rend() && remaining > 0; ++p) {
      if (*p == '0' || *p == '#') {
        intText.insert(intText.begin(), intDigits[--remaining]);
      } else if (*p == ' ') {
        intText.insert(intText.begin(), ' ');
      }
    }
    intText.insert(0, intDigits.substr(0, remaining));
    // A blank of the pattern only stands between digits.
    while (!intText.empty() && intText.front() == ' ') intText.erase(intText.begin());
  }

  // Fraction part: '#' positions drop trailing zeros.
  std::string placeholders;
  for (char c : fracPattern)
    if (c == '0' || c == '#') placeholders += c;
  int last = decimals;  // how many decimals are shown
  while (last > 0 && placeholders[last - 1] == '#' && fracDigits[last - 1] == '0') --last;
  std::string fracText;
  int placed = 0;
  for (char c : fracPattern) {
    if (placed >= last) break;
    if (c == '0' || c == '#') {
      fracText += fracDigits[placed++];
    } else if (c == ' ') {
      fracText += ' ';
    }
  }

  std::string out = negative ? "-" : "";
  out += intText;
  if (!fracText.empty()) out += "." + fracText;
  if (out.empty() || out == "-") out = "0";
  return out;
}

}  // namespace kolm::common
