#include "circuit/ladder_network.h"

#include <map>
#include <utility>

#include "common/text.h"

namespace kolm::circuit {

namespace {

std::string pf(double farad) { return common::shortestText(farad * 1e12, 6); }

}  // namespace

std::string formatLadderFile(const LadderNetwork& n) {
  const size_t k = n.crystals.size();
  std::string out =
      "ladder_filter=1\r\nr_term_ohm=" + common::shortestText(n.rTermOhm, 10) + "\r\n";
  for (size_t i = 0; i < k; ++i) {
    const std::string index = std::to_string(i + 1);
    if (i > 0) out += "c" + std::to_string(i) + index + "_pf=" + pf(n.shunt[i - 1]) + "\r\n";
    const std::string seriesKey = (i == 0 || i + 1 == k) ? "c_end" : "c_s";
    if (n.series[i] || i == 0 || i + 1 == k)
      out += seriesKey + index + "_pf=" + (n.series[i] ? pf(*n.series[i]) : "none") + "\r\n";
    const CrystalModel& m = n.crystals[i].model;
    out += "crystal" + index + "=" + n.crystals[i].name +
           " fs_mhz=" + common::shortestText(m.fsHz / 1e6, 12) +
           " r_ohm=" + common::shortestText(m.rOhm, 8) +
           " l_mh=" + common::shortestText(m.lHenry * 1e3, 10) +
           " c0_pf=" + common::shortestText(m.c0Farad * 1e12, 8) + "\r\n";
  }
  return out;
}

namespace {

// Crystal number `index`'s line (line `at`), "NAME fs_mhz=F r_ohm=R l_mh=L
// c0_pf=C"; nothing, with `why` said, where it is not one.
std::optional<LadderCrystal> crystalOf(const std::string& text, size_t at, const std::string& index,
                                       std::string& why) {
  auto fault = [&](std::string message) -> std::optional<LadderCrystal> {
    why = std::move(message);
    return std::nullopt;
  };
  std::map<std::string, double> fields;
  std::string name;
  size_t p = 0;
  bool first = true;
  while (p < text.size()) {
    while (p < text.size() && text[p] == ' ') ++p;
    size_t q = text.find(' ', p);
    if (q == std::string::npos) q = text.size();
    const std::string word = text.substr(p, q - p);
    p = q;
    if (word.empty()) continue;
    const size_t eq = word.find('=');
    if (first && eq == std::string::npos) {
      name = word;
    } else if (eq != std::string::npos) {
      const auto v = common::argumentNumber(word.substr(eq + 1));
      if (!v) return fault("line " + std::to_string(at) + ": " + word + " is not key=number");
      fields[word.substr(0, eq)] = *v;
    } else {
      return fault("line " + std::to_string(at) + ": " + word + " is not key=number");
    }
    first = false;
  }
  for (const char* key : {"fs_mhz", "r_ohm", "l_mh", "c0_pf"})
    if (!fields.count(key) || !(fields[key] >= 0) ||
        (fields[key] == 0 && key[0] != 'r' && key[0] != 'c'))
      return fault("line " + std::to_string(at) + ": crystal" + index +
                   " needs fs_mhz=, r_ohm=, l_mh= and c0_pf=");
  return LadderCrystal{
      name,
      {fields["fs_mhz"] * 1e6, fields["r_ohm"], fields["l_mh"] * 1e-3, fields["c0_pf"] * 1e-12}};
}

}  // namespace

std::optional<LadderNetwork> parseLadderFile(std::string_view content, std::string* error) {
  std::map<std::string, std::pair<std::string, size_t>> values;
  size_t lineNumber = 0;
  auto fail = [&](const std::string& why) -> std::optional<LadderNetwork> {
    if (error) *error = why;
    return std::nullopt;
  };
  for (size_t pos = 0; pos < content.size();) {
    size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view text = common::trimBlanks(content.substr(pos, end - pos));
    pos = end + 1;
    ++lineNumber;
    if (text.empty()) continue;
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos)
      return fail("line " + std::to_string(lineNumber) + ": not key=value");
    const std::string key(common::trimBlanks(text.substr(0, eq)));
    if (values.count(key))
      return fail("line " + std::to_string(lineNumber) + ": " + key + " again");
    values[key] = {std::string(common::trimBlanks(text.substr(eq + 1))), lineNumber};
  }
  if (!values.count("ladder_filter") || values["ladder_filter"].first != "1")
    return fail("not a ladder filter design (its first line is ladder_filter=1)");
  auto number = [&](const std::string& key, bool noneAllowed,
                    std::optional<double>& out) -> std::string {
    const auto it = values.find(key);
    if (it == values.end()) return key + " is missing";
    if (noneAllowed && it->second.first == "none") return {};
    const auto v = common::argumentNumber(it->second.first);
    if (!v || !(*v > 0))
      return "line " + std::to_string(it->second.second) + ": " + key + " is not a number above 0";
    out = *v;
    return {};
  };
  LadderNetwork n;
  std::optional<double> r;
  if (std::string why = number("r_term_ohm", false, r); !why.empty()) return fail(why);
  n.rTermOhm = *r;
  size_t k = 0;
  while (values.count("crystal" + std::to_string(k + 1))) ++k;
  if (k < kMinLadderCrystals || k > kMaxLadderCrystals)
    return fail("a design holds crystal1 to crystalK, K 2 to 8");
  for (size_t i = 0; i < k; ++i) {
    const std::string index = std::to_string(i + 1);
    const auto& [text, at] = values["crystal" + index];
    std::string why;
    const auto crystal = crystalOf(text, at, index, why);
    if (!crystal) return fail(why);
    n.crystals.push_back(*crystal);
    std::optional<double> c;
    if (i > 0) {
      if (std::string why = number("c" + std::to_string(i) + index + "_pf", false, c); !why.empty())
        return fail(why);
      n.shunt.push_back(*c * 1e-12);
    }
    c.reset();
    const bool end = i == 0 || i + 1 == k;
    const std::string seriesKey = (end ? "c_end" : "c_s") + index + "_pf";
    if (end || values.count(seriesKey))
      if (std::string why = number(seriesKey, true, c); !why.empty()) return fail(why);
    n.series.push_back(c ? std::optional<double>(*c * 1e-12) : std::nullopt);
  }
  return n;
}

}  // namespace kolm::circuit
