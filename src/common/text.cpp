#include "common/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "common/typed_number.h"

namespace kolm::common {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentMark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Exponents beyond this are far outside a double's range either way.
constexpr int kExponentCap = 99999;

struct Scanned {
  enum class Status { None, Number, TooLarge };
  Status status = Status::None;
  double value = 0;
  size_t used = 0;  // characters of the text taken, blanks after the number included
};

// An exponent at t[i]: its mark, a sign and digits (blanks between them where
// `lenient`), capped at kExponentCap; taken only when digits follow the mark.
struct Exponent {
  int value = 0;
  bool taken = false;
  bool inPlace = false;  // its characters as from_chars reads them, after the mantissa's
  size_t end = 0;        // after its last digit
  size_t next = 0;       // after the blanks that follow it
};

Exponent scanExponent(std::string_view t, size_t i, bool lenient, bool mantissaInPlace) {
  Exponent out;
  const size_t n = t.size();
  if (!(i < n && (lenient ? isExponentMark(t[i]) : (t[i] == 'e' || t[i] == 'E')))) return out;
  bool inPlace = mantissaInPlace && (t[i] == 'e' || t[i] == 'E');
  size_t j = i + 1;
  if (lenient)
    while (j < n && isBlank(t[j])) {
      ++j;
      inPlace = false;
    }
  bool negative = false;
  if (j < n && (t[j] == '-' || t[j] == '+')) negative = t[j++] == '-';
  bool digits = false;
  size_t last = j;
  int exponent = 0;
  while (j < n) {
    if (isDigit(t[j])) {
      inPlace = inPlace && last == j;
      digits = true;
      exponent = std::min(exponent * 10 + (t[j] - '0'), kExponentCap);
      last = ++j;
    } else if (lenient && isBlank(t[j])) {
      ++j;
    } else {
      break;
    }
  }
  if (!digits) return out;
  out.value = negative ? -exponent : exponent;
  out.taken = true;
  out.inPlace = inPlace;
  out.end = last;
  out.next = j;
  return out;
}

// Converts the mantissa t[begin, end) and `exponent` (if any) into `value`:
// in place where `contiguous` says from_chars reads them as they stand, else
// from a copy without the blanks.
std::from_chars_result converted(std::string_view t, size_t begin, size_t end, bool contiguous,
                                 const Exponent* exponent, double& value) {
  std::from_chars_result r{};
  const char* last = t.data() + (exponent ? exponent->end : end);
  if (contiguous) {
    r = std::from_chars(t.data() + begin, last, value);
    if (r.ptr == last) return r;  // else not as expected: convert the copy
  }
  std::string copy;
  for (size_t k = begin; k < end; ++k)
    if (!isBlank(t[k])) copy += t[k];
  if (exponent) {
    char buf[16] = {'e'};
    auto e = std::to_chars(buf + 1, buf + sizeof buf, exponent->value);
    copy.append(buf, e.ptr);
  }
  return std::from_chars(copy.data(), copy.data() + copy.size(), value);
}

// Reads the number at the start of `t` in one pass, then converts it with
// from_chars: in place when its characters stand together as from_chars reads
// them, else from a copy without the blanks. `lenient` is the numeric-value
// rule: blanks may stand between the sign, the digits and the exponent, and the
// exponent may be marked D as well as E.
Scanned scan(std::string_view t, bool lenient) {
  const bool blanksInside = lenient;
  Scanned out;
  const size_t n = t.size();
  size_t i = 0;
  while (i < n && isBlank(t[i])) ++i;
  bool negative = false;
  if (i < n && (t[i] == '-' || t[i] == '+')) {
    negative = t[i] == '-';
    ++i;
    if (blanksInside)
      while (i < n && isBlank(t[i])) ++i;
  }
  const size_t begin = i;
  size_t end = i;  // after the last digit or point of the mantissa
  bool contiguous = true, point = false, digits = false, nonzero = false;
  int integerDigits = 0;    // significant digits before the point
  int zerosAfterPoint = 0;  // zeros between the point and the first other digit
  while (i < n) {
    const char c = t[i];
    if (isDigit(c) || (c == '.' && !point)) {
      contiguous = contiguous && end == i;
      if (c == '.') {
        point = true;
      } else {
        digits = true;
        nonzero = nonzero || c != '0';
        if (!point && nonzero && integerDigits < kExponentCap) ++integerDigits;
        if (point && !nonzero && zerosAfterPoint < kExponentCap) ++zerosAfterPoint;
      }
      end = ++i;
    } else if (blanksInside && isBlank(c)) {
      ++i;
    } else {
      break;
    }
  }
  if (!digits) return out;

  // The exponent, taken only when digits follow its mark.
  const Exponent e = scanExponent(t, i, lenient, contiguous && i == end);
  const int exponent = e.value;
  if (e.taken) {
    contiguous = e.inPlace;
    i = e.next;
  }

  double value = 0;
  const std::from_chars_result r =
      converted(t, begin, end, contiguous, e.taken ? &e : nullptr, value);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond a double's range: the decimal order of the number says which end.
    const int order = integerDigits > 0 ? integerDigits + exponent : exponent - zerosAfterPoint;
    if (order > 0) {
      out.status = Scanned::Status::TooLarge;
      out.used = i;
      return out;
    }
    value = 0;
  } else if (r.ec != std::errc()) {
    return out;
  }
  out.status = Scanned::Status::Number;
  out.value = negative ? -value : value;
  out.used = i;
  return out;
}

bool onlyBlanksFrom(std::string_view t, size_t from) {
  for (size_t k = from; k < t.size(); ++k)
    if (!isBlank(t[k])) return false;
  return true;
}

// The usual field, "-40.12345" or "512": a sign, digits and a point, nothing
// else. With at most 15 digits its value is the quotient of two doubles held
// exactly, which one correctly rounded division gives: the same double the
// general scan finds, without it. False for anything else.
bool plainNumber(std::string_view t, double& value) {
  size_t i = 0;
  const size_t n = t.size();
  const bool negative = n > 0 && t[0] == '-';
  if (n > 0 && (t[0] == '-' || t[0] == '+')) ++i;
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; i < n; ++i) {
    const char c = t[i];
    if (isDigit(c)) {
      if (++digits > 15) return false;
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      decimals += point;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  static constexpr double kTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double magnitude = static_cast<double>(mantissa) / kTen[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

std::optional<double> wholeNumber(std::string_view text, bool lenient) {
  if (double v = 0; plainNumber(text, v)) return v;
  const Scanned s = scan(text, lenient);
  if (s.status != Scanned::Status::Number || !onlyBlanksFrom(text, s.used)) return std::nullopt;
  return s.value;
}

// The leading `precision` digits of |value| rounded halves to even, as an
// integer of exactly `precision` digits, and the decimal exponent of the first:
// |value| ~ digits x 10^(exponent - precision + 1). Exact integer arithmetic: a
// double is m x 2^e with m below 2^53, and m x 10^s x 2^e is formed in 128 bits.
// False for values it does not cover (zero, not finite, subnormal, beyond
// 10^precision or so small that 10^s would not fit), which the general
// conversion then writes.
bool roundedDigits(double value, int precision, uint64_t& digits, int& exponent) {
#ifdef __SIZEOF_INT128__
  using u128 = unsigned __int128;
  static constexpr auto kPow = [] {
    std::array<uint64_t, 20> p{1};
    for (size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
  }();
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const int field = static_cast<int>((bits >> 52) & 0x7ff);
  if (field == 0 || field == 0x7ff || precision > 17) return false;
  const uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
  const int shift = 1075 - field;  // |value| = m / 2^shift
  if (shift <= 0 || shift >= 128) return false;
  // floor(log10 |value|) or one less: floor(log2 |value|) x log10(2).
  int x = ((field - 1023) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int s = precision - 1 - x;
    if (s < 0 || s > 22) return false;
    const u128 scaled =
        s <= 19 ? static_cast<u128>(m) * kPow[s] : static_cast<u128>(m) * kPow[19] * kPow[s - 19];
    uint64_t n = static_cast<uint64_t>(scaled >> shift);
    const u128 rest = scaled & ((static_cast<u128>(1) << shift) - 1);
    const u128 half = static_cast<u128>(1) << (shift - 1);
    if (rest > half || (rest == half && (n & 1))) ++n;
    if (n >= kPow[precision]) {
      ++x;
    } else if (n < kPow[precision - 1]) {
      --x;
    } else {
      digits = n;
      exponent = x;
      return true;
    }
  }
#else
  (void)value, (void)precision, (void)digits, (void)exponent;
#endif
  return false;
}

// %.<precision>G from the rounded digits, as the C library lays it out.
void appendGeneralDigits(std::string& out, bool negative, uint64_t rounded, int exponent,
                         int precision) {
  char digits[24];
  int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, rounded).ptr - digits);
  while (count > 1 && digits[count - 1] == '0') --count;
  if (negative) out += '-';
  if (exponent < -4 || exponent >= precision) {
    out += digits[0];
    if (count > 1) {
      out += '.';
      out.append(digits + 1, static_cast<size_t>(count - 1));
    }
    out += exponent < 0 ? "E-" : "E+";
    const int e = std::abs(exponent);
    if (e < 10) out += '0';
    char eb[8];
    out.append(eb, std::to_chars(eb, eb + sizeof eb, e).ptr);
  } else if (exponent >= 0) {
    const int whole = exponent + 1;
    out.append(digits, static_cast<size_t>(std::min(whole, count)));
    if (count < whole) out.append(static_cast<size_t>(whole - count), '0');
    if (count > whole) {
      out += '.';
      out.append(digits + whole, static_cast<size_t>(count - whole));
    }
  } else {
    out += "0.";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out.append(digits, static_cast<size_t>(count));
  }
}

// The C locale's %.<digits>G: `digits` significant digits at most,
// trailing zeros dropped, an upper-case exponent of at least two digits.
void appendGeneral(std::string& out, double value, int digits) {
  char buf[64];
  const int precision = std::clamp(digits, 1, 17);
  // A whole number of at most `precision` digits is written as it stands: the
  // counts and readings of the files, without the slower general conversion.
  static constexpr double kLimit[18] = {1,   1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                        1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
  if (std::fabs(value) < kLimit[precision] && value == std::trunc(value)) {
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
    out.append(buf, r.ptr);  // -0 gives "0"
    return;
  }
  uint64_t rounded = 0;
  int exponent = 0;
  if (roundedDigits(value, precision, rounded, exponent)) {
    appendGeneralDigits(out, value < 0, rounded, exponent, precision);
    return;
  }
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
  for (char* c = buf; c != r.ptr; ++c)
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  if (r.ptr - buf == 2 && buf[0] == '-' && buf[1] == '0') {
    out += '0';
    return;
  }
  out.append(buf, r.ptr);
}

std::string strForm(double value, int digits) {
  std::string s = " ";
  appendGeneral(s, value, digits);
  if (s[1] == '-') s.erase(0, 1);                 // "-80": the sign takes the blank's place
  if (s.compare(1, 2, "0.") == 0) s.erase(1, 1);  // " 0.5" -> " .5", "-0.5" -> "-.5"
  return s;
}

}  // namespace

double numericValue(std::string_view text) { return leadingNumber(text).value_or(0.0); }

std::optional<double> leadingNumber(std::string_view text) {
  const Scanned s = scan(text, true);
  if (s.status != Scanned::Status::Number) return std::nullopt;
  return s.value;
}

std::optional<double> fieldNumber(std::string_view text) { return wholeNumber(text, true); }

std::optional<double> argumentNumber(std::string_view text) { return wholeNumber(text, false); }

bool fitsSingle(double value) { return std::isfinite(static_cast<float>(value)); }

double roundHalfEven(double value) { return std::nearbyint(value); }

std::optional<int16_t> toInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = roundHalfEven(value);
  if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
    return std::nullopt;
  return static_cast<int16_t>(r);
}

std::string strSingle(float value) { return strForm(value, 7); }

std::string strDouble(double value) { return strForm(value, 15); }

std::string shortestText(double value, int digits) {
  std::string s;
  appendGeneral(s, value, digits);
  return s;
}

void appendShortest(std::string& out, double value, int digits) {
  appendGeneral(out, value, digits);
}

double decimalOfSingle(float value) {
  if (!std::isfinite(value)) return value;
  char buf[64];
  const auto w = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                               std::chars_format::general, 7);
  double out = value;
  std::from_chars(buf, w.ptr, out);
  return out;
}

std::string formatScientific(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 2);
  for (char* c = buf; c != r.ptr; ++c)
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  return std::string(buf, r.ptr);
}

std::optional<long> leadingInteger(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (r.ec != std::errc()) return std::nullopt;
  return value;
}

std::string hexText(uint32_t value) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, 16);
  for (char* c = buf; c != r.ptr; ++c)
    if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
  return std::string(buf, r.ptr);
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

int patternDecimals(std::string_view pattern) {
  const size_t dot = pattern.find('.');
  int decimals = 0;
  if (dot != std::string_view::npos)
    for (char c : pattern.substr(dot + 1))
      if (c == '0' || c == '#') ++decimals;
  return decimals;
}

namespace {

// `needed` rounded up to a whole number of `unit`s (a hair of floating-point
// error above a whole number is not taken as another unit).
double upToUnit(double needed, double unit) {
  const double units = needed / unit;
  return std::ceil(units - 1e-9 * std::max(1.0, units)) * unit;
}

}  // namespace

double outwardHalfWidth(double value, double pm, int decimals) {
  if (!std::isfinite(pm)) return pm;
  const double scale = std::pow(10.0, decimals);
  const double written = std::round(value * scale) / scale;
  const double moved = std::isfinite(written) ? std::fabs(value - written) : 0;
  const double needed = pm + moved;
  double units = std::ceil(needed * scale);
  // A product a few last places above the whole number it stands for is that
  // number (0.3 * 10 is 3.0000000000000004).
  if (units >= 1 &&
      (units - 1) / scale >= needed * (1 - 4 * std::numeric_limits<double>::epsilon()))
    units -= 1;
  const double up = units / scale;
  return std::isfinite(up) ? std::max(up, 0.0) : pm;
}

double outwardHalfWidthSignificant(double value, int valueDigits, double pm, int digits) {
  if (!std::isfinite(pm) || !std::isfinite(value)) return pm;
  const std::string text = shortestText(value, valueDigits);
  double written = value;
  std::from_chars(text.data(), text.data() + text.size(), written);
  const double needed = pm + std::fabs(value - written);
  if (!(needed > 0)) return 0;
  const double unit = std::pow(10.0, std::floor(std::log10(needed)) - digits + 1);
  return upToUnit(needed, unit);
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
  const auto r =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return formatScientific(value);
  std::string fixed(buf, r.ptr);
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
