#include "sim/touchstone.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "common/reflection.h"
#include "common/text.h"
#include "common/words.h"

namespace kolm::sim {

namespace {

std::vector<std::string_view> tokens(std::string_view line) {
  return common::blankSeparatedWords(line);
}

bool number(std::string_view text, double& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::complex<double> OnePortTable::at(double f) const {
  if (frequencyMHz.empty()) return 0.0;
  if (f <= frequencyMHz.front()) return gamma.front();
  if (f >= frequencyMHz.back()) return gamma.back();
  auto it = std::upper_bound(frequencyMHz.begin(), frequencyMHz.end(), f);
  size_t hi = static_cast<size_t>(it - frequencyMHz.begin());
  size_t lo = hi - 1;
  double t = (f - frequencyMHz[lo]) / (frequencyMHz[hi] - frequencyMHz[lo]);
  return gamma[lo] + (gamma[hi] - gamma[lo]) * t;
}

namespace {

// What the option line says: the frequencies' unit, the parameter (S, Z or
// Y), the values' format and the reference resistance.
struct Options {
  double unitMHz = 1000.0;  // GHz
  char parameter = 's';
  std::string format = "ma";
  double reference = common::kReferenceOhm;
};

// Reads an option line's words into `o`; says what is wrong with them, or nothing.
std::string readOptions(const std::vector<std::string_view>& words, Options& o) {
  std::vector<std::string> opts;
  if (words.front().size() > 1) opts.push_back(common::asciiLower(words.front().substr(1)));
  for (size_t k = 1; k < words.size(); ++k) opts.push_back(common::asciiLower(words[k]));
  for (size_t k = 0; k < opts.size(); ++k) {
    const std::string& word = opts[k];
    if (word == "hz") {
      o.unitMHz = 1e-6;
    } else if (word == "khz") {
      o.unitMHz = 1e-3;
    } else if (word == "mhz") {
      o.unitMHz = 1.0;
    } else if (word == "ghz") {
      o.unitMHz = 1e3;
    } else if (word == "s" || word == "z" || word == "y") {
      o.parameter = word[0];
    } else if (word == "db" || word == "ma" || word == "ri") {
      o.format = word;
    } else if (word == "r") {
      if (k + 1 >= opts.size() || !number(opts[k + 1], o.reference) || !(o.reference > 0))
        return "R in the option line needs a resistance above 0";
      ++k;
    } else {
      return "'" + word + "' in the option line is not understood (a one-port file has " +
             "# Hz|kHz|MHz|GHz S|Z|Y DB|MA|RI R ohm)";
    }
  }
  return {};
}

// The reflection coefficient of a data line's two values (a, b).
std::complex<double> reflectionFrom(const Options& o, double a, double b) {
  std::complex<double> value;
  if (o.format == "ri") {
    value = {a, b};
  } else {
    double mag = o.format == "db" ? std::pow(10.0, a / 20.0) : a;
    value = std::polar(mag, b * std::numbers::pi / 180.0);
  }
  std::complex<double> gamma;
  if (o.parameter == 's') {
    if (o.reference == common::kReferenceOhm) {
      gamma = value;
    } else {
      std::complex<double> den = 1.0 - value;
      gamma = std::abs(den) == 0 ? std::complex<double>(1.0)
                                 : common::reflectionOf(common::impedanceOf(value, o.reference));
    }
  } else if (o.parameter == 'z') {
    gamma = common::reflectionOf(value * o.reference);
  } else {  // y, normalised admittance
    gamma = std::abs(value) == 0 ? std::complex<double>(1.0)
                                 : common::reflectionOf(o.reference / value);
  }
  return gamma;
}

}  // namespace

TouchstoneParse parseTouchstone(std::string_view text) {
  TouchstoneParse out;
  Options options;
  bool optionSeen = false;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    out.error = "line " + std::to_string(lineNo) + ": " + why;
    out.table = {};
    return out;
  };

  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    ++lineNo;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    pos = end + 1;

    if (auto bang = line.find('!'); bang != std::string_view::npos) line = line.substr(0, bang);
    auto words = tokens(line);
    if (words.empty()) continue;

    if (words.front().front() == '[')
      return fail("keyword lines such as " + std::string(words.front()) +
                  " are not read; save the file in the one-port format with an option line");

    if (words.front().front() == '#') {
      if (optionSeen) continue;  // later option lines are ignored
      if (!out.table.frequencyMHz.empty())
        return fail("the option line (# ...) must come before the data");
      optionSeen = true;
      if (std::string why = readOptions(words, options); !why.empty()) return fail(why);
      continue;
    }

    if (words.size() != 3)
      return fail("a one-port data line has 3 numbers (frequency and two values), found " +
                  std::to_string(words.size()));
    double v[3];
    for (int k = 0; k < 3; ++k)
      if (!number(words[k], v[k])) return fail("'" + std::string(words[k]) + "' is not a number");
    double f = v[0] * options.unitMHz;
    if (f < 0) return fail("a frequency below 0");
    if (!std::isfinite(f))
      return fail("a frequency beyond any range (" + std::string(words[0]) + ")");
    if (!out.table.frequencyMHz.empty() && !(f > out.table.frequencyMHz.back()))
      return fail("the frequencies must increase");

    const std::complex<double> gamma = reflectionFrom(options, v[1], v[2]);
    if (!std::isfinite(gamma.real()) || !std::isfinite(gamma.imag()))
      return fail("no finite reflection coefficient follows from these values");
    out.table.frequencyMHz.push_back(f);
    out.table.gamma.push_back(gamma);
  }
  if (out.table.frequencyMHz.empty()) {
    out.error = "no data lines";
    return out;
  }
  return out;
}

}  // namespace kolm::sim
