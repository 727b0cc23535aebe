#include "sim/connection.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

#include "common/constants.h"
#include "common/files.h"
#include "common/reflection.h"
#include "common/text.h"
#include "sim/ladder_network.h"

namespace kolm::sim {

namespace {

using common::asciiLower;
std::string_view trim(std::string_view s) { return common::trimBlanks(s); }

struct BadText {
  std::string why;
};

// "key=value" pairs separated by commas, each key once and known to the kind.
class Params {
 public:
  Params(std::string_view kind, std::string_view text, std::vector<std::string> known)
      : kind_(kind), known_(std::move(known)) {
    if (trim(text).empty()) throw BadText{kind_ + " needs its parameters (" + usage() + ")"};
    size_t pos = 0;
    while (pos <= text.size()) {
      size_t comma = text.find(',', pos);
      if (comma == std::string_view::npos) comma = text.size();
      std::string_view part = trim(text.substr(pos, comma - pos));
      pos = comma + 1;
      if (part.empty()) throw BadText{"an empty parameter between commas (" + usage() + ")"};
      size_t eq = part.find('=');
      if (eq == std::string_view::npos)
        throw BadText{"'" + std::string(part) + "' is not name=value (" + usage() + ")"};
      std::string key = asciiLower(trim(part.substr(0, eq)));
      std::string value(trim(part.substr(eq + 1)));
      bool isKnown = false;
      for (const auto& k : known_) isKnown = isKnown || k == key;
      if (!isKnown)
        throw BadText{"unknown parameter '" + std::string(trim(part.substr(0, eq))) + "' (" +
                      usage() + ")"};
      for (const auto& e : entries_)
        if (e.key == key) throw BadText{"'" + key + "' is given twice"};
      entries_.push_back({key, value, std::string(part)});
    }
  }

  bool has(const std::string& key) const { return find(key) != nullptr; }

  // The value of `key` (with SI suffix), or `fallback` when absent; `required`
  // makes an absent key an error. A key given in a unit of its own (`unit`:
  // fc in MHz) takes no suffix: 10M would be 10 THz.
  double number(const std::string& key, bool required, double fallback = 0,
                const char* unit = nullptr) const {
    const Entry* e = find(key);
    if (!e) {
      if (required) throw BadText{kind_ + " needs " + key + "= (" + usage() + ")"};
      return fallback;
    }
    auto v = parseSiNumber(e->value);
    if (!v)
      throw BadText{e->text + ": '" + e->value +
                    "' is not a number (digits with an optional suffix f p n u m k M G)"};
    const std::string_view value = trim(e->value);
    const char last = value.back();  // a number: not empty
    if (unit && ((last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z')))
      throw BadText{e->text + ": " + key + " is given in " + unit +
                    ", as a number without a unit letter"};
    return *v;
  }

  std::string text(const std::string& key) const { return find(key)->text; }
  // The value of `key` as written (empty when absent).
  std::string raw(const std::string& key) const {
    const Entry* e = find(key);
    return e ? e->value : std::string();
  }

 private:
  struct Entry {
    std::string key, value, text;
  };
  const Entry* find(const std::string& key) const {
    for (const auto& e : entries_)
      if (e.key == key) return &e;
    return nullptr;
  }
  std::string usage() const {
    std::string s = kind_ + " takes ";
    for (size_t k = 0; k < known_.size(); ++k) s += (k ? ", " : "") + known_[k] + "=";
    return s;
  }

  std::string kind_;
  std::vector<std::string> known_;
  std::vector<Entry> entries_;
};

void require(bool condition, const std::string& why) {
  if (!condition) throw BadText{why};
}

// Splits "kind:rest" (no colon: the whole text is the kind).
std::pair<std::string, std::string_view> split(std::string_view text, bool& hasColon) {
  size_t colon = text.find(':');
  hasColon = colon != std::string_view::npos;
  if (!hasColon) return {asciiLower(trim(text)), {}};
  return {asciiLower(trim(text.substr(0, colon))), text.substr(colon + 1)};
}

Dut dutFrom(std::string_view text) {
  bool colon = false;
  auto [kind, rest] = split(text, colon);
  Dut d;
  if (kind == "through") {
    require(!colon, "through takes no parameters");
    d.kind = Dut::Kind::Through;
  } else if (kind == "atten") {
    require(colon && !trim(rest).empty(), "atten needs the attenuation in dB: atten:DB");
    auto v = parseSiNumber(trim(rest));
    require(v.has_value(), "'" + std::string(trim(rest)) + "' is not a number of dB (atten:DB)");
    require(*v >= 0, "atten: the attenuation " + std::string(trim(rest)) +
                         " dB is below 0 (an attenuator only attenuates)");
    d.kind = Dut::Kind::Atten;
    d.attenDb = *v;
  } else if (kind == "amp") {
    require(colon && !trim(rest).empty(), "amp needs the gain in dB: amp:DB");
    auto v = parseSiNumber(trim(rest));
    require(v.has_value(), "'" + std::string(trim(rest)) + "' is not a number of dB (amp:DB)");
    require(*v >= 0 && *v <= 60,
            "amp: the gain " + std::string(trim(rest)) + " dB is not between 0 and 60");
    d.kind = Dut::Kind::Amp;
    d.ampDb = *v;
  } else if (kind == "lowpass") {
    Params p("lowpass", rest, {"fc", "order"});
    d.kind = Dut::Kind::Lowpass;
    d.cutoffMHz = p.number("fc", true, 0, "MHz");
    require(d.cutoffMHz > 0, p.text("fc") + ": the cut-off frequency must be above 0 MHz");
    double n = p.number("order", true);
    require(n >= 1 && n <= 20 && n == std::floor(n),
            p.text("order") + ": the order must be a whole number from 1 to 20");
    d.order = static_cast<int>(n);
  } else if (kind == "crystal") {
    Params p("crystal", rest, {"fs", "r", "c", "c0", "r0"});
    d.kind = Dut::Kind::Crystal;
    d.fsMHz = p.number("fs", true, 0, "MHz");
    d.r = p.number("r", true);
    d.c = p.number("c", true);
    d.c0 = p.number("c0", false, 0);
    d.r0 = p.number("r0", true);
    require(d.fsMHz > 0, p.text("fs") + ": the series resonance must be above 0 MHz");
    require(d.r >= 0, p.text("r") + ": the motional resistance must be 0 or more");
    require(d.c > 0, p.text("c") + ": the motional capacitance must be above 0");
    require(d.c0 >= 0, "c0 must be 0 or more");
    require(d.r0 > 0, p.text("r0") + ": the fixture resistance must be above 0");
  } else if (kind == "ladder") {
    const std::string path(trim(rest));
    require(colon && !path.empty(), "ladder needs the path of a design file: ladder:PATH");
    auto file = common::readFile(path, common::kTableFileLimit);
    require(file.content.has_value(), file.error);
    std::string why;
    auto network = circuit::parseLadderFile(*file.content, &why);
    require(network.has_value(), path + ": " + why);
    d.kind = Dut::Kind::Ladder;
    d.ladder = std::make_shared<const circuit::LadderNetwork>(std::move(*network));
  } else {
    throw BadText{"unknown kind '" +
                  std::string(trim(colon ? text.substr(0, text.find(':')) : text)) +
                  "' (through, atten:DB, amp:DB, lowpass:fc=MHZ,order=N, "
                  "crystal:fs=MHZ,r=OHM,c=F,c0=F,r0=OHM, ladder:PATH)"};
  }
  return d;
}

// A line with its far load, "line:z0=OHM,len=M,vf=V,loss=DB@MHZ,load=LOAD"
// (`rest` after the colon, if `colon`).
Load lineLoad(std::string_view rest, bool colon) {
  Load l;
  // The far load comes last and may hold commas of its own.
  const size_t at = rest.find("load=");
  require(colon && at != std::string_view::npos && (at == 0 || rest[at - 1] == ','),
          "line needs the load at its far end, last: line:z0=OHM,len=M,vf=V,loss=DB@MHZ,load=LOAD");
  std::string_view figures = rest.substr(0, at);
  if (!figures.empty()) figures.remove_suffix(1);
  Params p("line", figures, {"z0", "len", "vf", "loss"});
  l.kind = Load::Kind::Line;
  l.line.z0Ohm = p.number("z0", false, 50);
  l.line.lengthM = p.number("len", true);
  l.line.velocityFactor = p.number("vf", true);
  require(l.line.z0Ohm > 0,
          p.has("z0") ? p.text("z0") + ": the line's impedance must be above 0" : "");
  require(l.line.lengthM >= 0, p.text("len") + ": the length must be 0 m or more");
  require(l.line.velocityFactor > 0 && l.line.velocityFactor <= 1,
          p.text("vf") + ": the velocity factor must be above 0 and at most 1");
  if (p.has("loss")) {
    const std::string loss = p.raw("loss");
    const size_t sign = loss.find('@');
    const std::string_view where =
        sign == std::string::npos ? "" : std::string_view(loss).substr(sign + 1);
    const double db = parseSiNumber(std::string_view(loss).substr(0, sign)).value_or(-1);
    const double mhz = parseSiNumber(where).value_or(0);
    require(
        db >= 0 && mhz > 0,
        p.text("loss") + ": the loss is DB@MHZ, dB per 100 m (0 or more) at a frequency above 0");
    l.line.lossDbPer100m = db;
    l.line.lossAtMHz = mhz;
  }
  auto far = parseLoad(rest.substr(at + 5));
  require(far.ok(), "load=" + std::string(trim(rest.substr(at + 5))) + ": " + far.error);
  l.far = std::make_shared<const Load>(std::move(*far.value));
  return l;
}

Load loadFrom(std::string_view text) {
  Load l;
  std::string_view t = trim(text);
  std::string low = asciiLower(t);
  if (low.rfind("r=", 0) == 0 || low.rfind("r ", 0) == 0) {
    size_t eq = t.find('=');
    require(eq != std::string_view::npos, "a resistor is written r=OHM");
    std::string_view value = trim(t.substr(eq + 1));
    require(!value.empty(), "r= needs a resistance in ohms (r=OHM)");
    auto v = parseSiNumber(value);
    require(v.has_value(), "'" + std::string(value) +
                               "' is not a number of ohms (digits with an optional suffix "
                               "f p n u m k M G)");
    require(*v >= 0, "r=" + std::string(value) + ": a resistance below 0");
    l.kind = Load::Kind::Resistor;
    l.r = *v;
    return l;
  }
  bool colon = false;
  auto [kind, rest] = split(text, colon);
  if (kind == "open" || kind == "short") {
    require(!colon, kind + " takes no parameters");
    l.kind = kind == "open" ? Load::Kind::Open : Load::Kind::Short;
  } else if (kind == "rlc") {
    Params p("rlc", rest, {"r", "l", "c"});
    l.kind = Load::Kind::SeriesRlc;
    l.r = p.number("r", false, 0);
    l.l = p.number("l", false, 0);
    l.c = p.number("c", false, 0);
    require(l.r >= 0, p.has("r") ? p.text("r") + ": a resistance below 0" : "");
    require(l.l >= 0, p.has("l") ? p.text("l") + ": an inductance below 0" : "");
    require(
        !p.has("c") || l.c > 0,
        p.has("c") ? p.text("c") + ": the capacitance must be above 0 (leave c out for none)" : "");
  } else if (kind == "line") {
    l = lineLoad(rest, colon);
  } else if (kind == "s1p") {
    std::string path(trim(rest));
    require(colon && !path.empty(), "s1p needs the path of a one-port Touchstone file: s1p:PATH");
    auto file = common::readFile(path, common::kTouchstoneFileLimit);
    require(file.content.has_value(), file.error);
    auto parsed = parseTouchstone(*file.content);
    require(parsed.ok(), path + ": " + parsed.error);
    l.kind = Load::Kind::Touchstone;
    l.table = std::make_shared<OnePortTable>(std::move(parsed.table));
  } else {
    throw BadText{"unknown kind '" +
                  std::string(trim(colon ? text.substr(0, text.find(':')) : text)) +
                  "' (r=OHM, rlc:r=OHM,l=H,c=F, open, short, s1p:PATH, line:...)"};
  }
  return l;
}

}  // namespace

std::optional<double> parseSiNumber(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  std::string_view suffix(end, static_cast<size_t>(text.data() + text.size() - end));
  static constexpr std::pair<char, double> kSuffixes[] = {{'f', 1e-15}, {'p', 1e-12}, {'n', 1e-9},
                                                          {'u', 1e-6},  {'m', 1e-3},  {'k', 1e3},
                                                          {'M', 1e6},   {'G', 1e9}};
  double scale = 1;
  if (!suffix.empty()) {
    const auto* it = std::find_if(std::begin(kSuffixes), std::end(kSuffixes),
                                  [&](const auto& s) { return s.first == suffix.front(); });
    if (suffix.size() != 1 || it == std::end(kSuffixes)) return std::nullopt;
    scale = it->second;
  }
  // A suffix can carry a number beyond a double's range.
  if (!std::isfinite(value * scale)) return std::nullopt;
  return value * scale;
}

Parsed<Dut> parseDut(std::string_view input) {
  Parsed<Dut> out;
  std::string text(trim(input));
  try {
    if (text.empty())
      throw BadText{"nothing given (through, atten:DB, amp:DB, lowpass:..., crystal:...)"};
    out.value = dutFrom(text);
    out.value->text = text;
  } catch (const BadText& e) {
    out.error = "DUT '" + text + "': " + e.why;
  }
  return out;
}

Parsed<Load> parseLoad(std::string_view input) {
  Parsed<Load> out;
  std::string text(trim(input));
  try {
    if (text.empty()) throw BadText{"nothing given (r=OHM, rlc:..., open, short, s1p:PATH)"};
    out.value = loadFrom(text);
    out.value->text = text;
  } catch (const BadText& e) {
    out.error = "load '" + text + "': " + e.why;
  }
  return out;
}

Parsed<std::optional<double>> parseQuartz(std::string_view input) {
  Parsed<std::optional<double>> out;
  const std::string text(trim(input));
  if (text.empty() || common::asciiLower(text) == "follow") {
    out.value.emplace();
    return out;
  }
  auto v = parseSiNumber(text);
  if (!v || !(*v > 0) || *v > 501) {
    out.error = "quartz '" + text + "': a frequency in MHz above 0 and up to 501, or follow";
    return out;
  }
  out.value.emplace(*v);
  return out;
}

std::complex<double> Dut::transfer(double f) const {
  switch (kind) {
    case Kind::Through:
      return 1.0;
    case Kind::Atten:
      return std::pow(10.0, -attenDb / 20.0);
    case Kind::Amp:
      return std::pow(10.0, ampDb / 20.0);
    case Kind::Lowpass:
      return 1.0 / std::sqrt(1.0 + std::pow(f / cutoffMHz, 2.0 * order));
    case Kind::Crystal: {
      if (!(f > 0)) return 0.0;  // the series capacitor blocks DC
      const double w = radiansPerSecond(f);
      const double ws = radiansPerSecond(fsMHz);
      const double inductance = 1.0 / (ws * ws * c);
      std::complex<double> zs(r, w * inductance - 1.0 / (w * c));
      std::complex<double> z = zs;
      if (c0 > 0) {
        std::complex<double> zc0(0.0, -1.0 / (w * c0));
        z = zs * zc0 / (zs + zc0);
      }
      return r0 / (r0 + z);
    }
    case Kind::Ladder:
      return ladder ? ladderNodalTransfer(*ladder, f * 1e6) : 0.0;
  }
  return 1.0;
}

double Dut::gainDb(double f) const {
  double m = std::abs(transfer(f));
  return m > 0 ? 20.0 * std::log10(m) : -HUGE_VAL;
}

std::complex<double> Load::gamma(double f) const {
  switch (kind) {
    case Kind::Resistor:
      return common::reflectionOf(r);
    case Kind::Open:
      return 1.0;
    case Kind::Short:
      return -1.0;
    case Kind::SeriesRlc: {
      if (!(f > 0)) return c > 0 ? 1.0 : common::reflectionOf(r);  // DC: the capacitor is open
      const double w = radiansPerSecond(f);
      double x = w * l - (c > 0 ? 1.0 / (w * c) : 0.0);
      return common::reflectionOf({r, x});
    }
    case Kind::Touchstone:
      return table ? table->at(f) : 0.0;
    case Kind::Line:
      return circuit::nearEndReflection(line, f, far ? far->gamma(f) : 1.0);
  }
  return 0.0;
}

std::string connectionGrammar() {
  return "DUT, between generator and detector (--dut):\n"
         "  through                     a plain cable (the default)\n"
         "  atten:DB                    an attenuator of DB dB\n"
         "  amp:DB                      an amplifier of DB dB (0 to 60)\n"
         "  lowpass:fc=MHZ,order=N      a Butterworth low-pass of order N (1 to 20)\n"
         "  crystal:fs=MHZ,r=OHM,c=F,c0=F,r0=OHM\n"
         "                              a quartz crystal: series resonance fs, motional R\n"
         "                              and C, parallel C0 (may be left out), in a fixture\n"
         "                              whose source and load total r0 ohm\n"
         "  ladder:PATH                 a crystal ladder filter built from a design file\n"
         "                              (kolm-cli ladder-design --out PATH), matched to\n"
         "                              50 ohm by lossless transformers\n"
         "LOAD, on the bridge (--load):\n"
         "  r=OHM                       a resistor (the default is r=50)\n"
         "  rlc:r=OHM,l=H,c=F           R, L and C in series (leave out l or c for none)\n"
         "  open, short                 nothing connected, a short circuit\n"
         "  s1p:PATH                    a one-port Touchstone file, interpolated\n"
         "  line:z0=OHM,len=M,vf=V,loss=DB@MHZ,load=LOAD\n"
         "                              a line of M metres (impedance z0, default 50;\n"
         "                              velocity factor V; loss DB dB per 100 m at MHZ,\n"
         "                              scaled with the square root of the frequency,\n"
         "                              default none) in front of LOAD, given last\n"
         "Values take the SI suffixes f p n u m k M G (m is milli, M mega): c=20f, l=1.5u;\n"
         "MHz values (fc, fs) take none.";
}

}  // namespace kolm::sim
