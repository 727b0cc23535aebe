#include "analyzer/calibration.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "chart/scale.h"
#include "common/constants.h"
#include "common/files.h"
#include "common/reflection.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

constexpr size_t kTermValues = 8 + kTermParts;  // a terms= line

// The stated accuracy of a standard's parts.
constexpr double kResistorShare = 0.01, kResistorOhm = 0.05;
constexpr double kCapacitorShare = 0.02, kCapacitorF = 0.5e-12;
constexpr double kInductanceShare = 0.05, kInductanceH = 2e-9;

Complex impedanceOf(const StandardValue& v, double mhz) {
  const double w = radiansPerSecond(mhz);
  Complex z(v.r, w * v.l);
  if (v.c > 0) z += 1.0 / Complex(0, w * v.c);
  return z;
}

// "100p", "2.2n", "50", "0".
std::string siText(double v) {
  if (v == 0) return "0";
  static constexpr std::array<std::pair<double, const char*>, 6> kScales{
      {{1e3, "k"}, {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}, {1e-12, "p"}}};
  for (const auto& [scale, suffix] : kScales)
    if (std::fabs(v) >= scale * 0.9999999) return common::shortestText(v / scale, 6) + suffix;
  return common::shortestText(v / 1e-12, 6) + "p";
}

std::optional<double> siNumber(std::string_view text) {
  text = common::trimBlanks(text);
  if (text.empty()) return std::nullopt;
  double scale = 1;
  switch (text.back()) {
    case 'p':
      scale = 1e-12;
      break;
    case 'n':
      scale = 1e-9;
      break;
    case 'u':
      scale = 1e-6;
      break;
    case 'm':
      scale = 1e-3;
      break;
    case 'k':
      scale = 1e3;
      break;
    default:
      break;
  }
  if (scale != 1) text.remove_suffix(1);
  const auto v = common::fieldNumber(text);
  if (!v || !std::isfinite(*v)) return std::nullopt;
  return *v * scale;
}

// The fields of "a,b,c" (`separator` between them).
std::vector<std::string_view> fieldsOf(std::string_view text, char separator = ',') {
  std::vector<std::string_view> out;
  for (size_t from = 0;;) {
    const size_t at = text.find(separator, from);
    out.push_back(
        text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return out;
    from = at + 1;
  }
}

// Gives each key=value line of `text` (blank lines and # comments left out) to
// `take`, which says what is wrong with it or nothing; the first problem as
// "line N: WHY", or nothing.
template <typename Take>
std::string eachLine(std::string_view text, Take take) {
  int line = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view row = common::trimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++line;
    if (row.empty() || row.front() == '#') continue;
    const size_t eq = row.find('=');
    const std::string why =
        eq == std::string_view::npos ? "no key=value" : take(row.substr(0, eq), row.substr(eq + 1));
    if (!why.empty()) return common::lineProblem(line, why);
  }
  return {};
}

std::optional<std::array<double, 3>> sweepOf(std::string_view value) {
  const auto f = fieldsOf(value);
  if (f.size() != 3) return std::nullopt;
  const auto start = common::fieldNumber(f[0]), stop = common::fieldNumber(f[1]),
             steps = common::fieldNumber(f[2]);
  if (!start || !stop || !steps || *steps < 1 || *steps > kMaxPoints - 1 ||
      *steps != std::floor(*steps) || !(*start >= 0) || !(*stop > *start))
    return std::nullopt;
  return std::array<double, 3>{*start, *stop, *steps};
}

std::string sweepText(double start, double stop, int points) {
  return common::shortestText(start, 15) + "," + common::shortestText(stop, 15) + "," +
         std::to_string(points);
}

}  // namespace

// ---- Standards ----

Complex standardReflection(const StandardValue& v, double mhz) {
  if (v.open) {
    return common::reflectionOfAdmittance(Complex(0, radiansPerSecond(mhz) * v.c));
  }
  return common::reflectionOf(impedanceOf(v, mhz));
}

double standardReflectionPm(const StandardValue& v, double mhz) {
  const double w = radiansPerSecond(mhz), r0 = common::kReferenceOhm;
  if (v.open) {
    const Complex y(0, w * v.c);
    const double dy = w * (kCapacitorShare * v.c + kCapacitorF);
    return 2 * r0 * dy / std::norm(1.0 + r0 * y);
  }
  const Complex z = impedanceOf(v, mhz);
  double dz = kResistorShare * v.r + kResistorOhm + w * (kInductanceShare * v.l + kInductanceH);
  if (v.c > 0) dz += (kCapacitorShare * v.c + kCapacitorF) / (w * v.c * v.c);
  return 2 * r0 * dz / std::norm(z + r0);
}

std::string standardValueText(const StandardValue& v) {
  if (v.open) return "c=" + siText(v.c);
  std::string out;
  auto add = [&](const char* key, double value) {
    out += (out.empty() ? "" : ",") + std::string(key) + "=" + siText(value);
  };
  if (v.r > 0) add("r", v.r);
  if (v.l > 0) add("l", v.l);
  if (v.c > 0) add("c", v.c);
  return out.empty() ? "l=0" : out;
}

std::optional<StandardValue> parseStandardValue(std::string_view text, bool open,
                                                std::string* why) {
  StandardValue v;
  v.open = open;
  for (std::string_view field : fieldsOf(text)) {
    const size_t eq = field.find('=');
    const std::string key(common::asciiLower(common::trimBlanks(field.substr(0, eq))));
    const auto value = eq == std::string_view::npos ? std::nullopt : siNumber(field.substr(eq + 1));
    std::string problem;
    if (!value || *value < 0)
      problem = "'" + common::shortened(field) + "' is not KEY=VALUE with a value of 0 or more";
    else if (open && key != "c")
      problem = "an open is stated by its capacitance alone (c=0.5p)";
    else if (key == "r")
      v.r = *value;
    else if (key == "l")
      v.l = *value;
    else if (key == "c")
      v.c = *value;
    else
      problem = "'" + common::shortened(key) + "' is none of r, l and c";
    if (!problem.empty()) {
      if (why) *why = problem;
      return std::nullopt;
    }
  }
  return v;
}

const std::vector<CalibrationStandard>& calibrationStandards() {
  static const std::vector<CalibrationStandard> standards{
      {"open", {0, 0, 0, true}, "open", "nothing connected"},
      {"short", {0, 0, 0, false}, "short", "the bridge's terminals joined, as short as can be"},
      {"load", {50, 0, 0, false}, "r=50", "a 50 ohm resistor"},
      {"r75", {75, 0, 0, false}, "r=75", "a 50 ohm resistor in series with two in parallel"},
      {"r33", {100.0 / 3, 0, 0, false}, "r=33.3333", "a 50 ohm resistor across two in series"},
      {"rc100p",
       {50, 0, 100e-12, false},
       "rlc:r=50,c=100p",
       "a 50 ohm resistor in series with a 100 pF capacitor"},
      {"rc1n",
       {50, 0, 1e-9, false},
       "rlc:r=50,c=1n",
       "a 50 ohm resistor in series with a 1 nF capacitor"},
  };
  return standards;
}

const CalibrationStandard* calibrationStandard(std::string_view name) {
  const std::string wanted = common::asciiLower(common::trimBlanks(name));
  for (const CalibrationStandard& s : calibrationStandards())
    if (wanted == s.name) return &s;
  return nullptr;
}

std::string standardsList() {
  std::string out;
  for (const CalibrationStandard& s : calibrationStandards())
    out += std::string(s.name) + " " + standardValueText(s.nominal) + " " + s.simLoad + "\n";
  return out;
}

// ---- The run under way ----

bool CalibrationRun::over(double start, double stop, int steps) const {
  return startMHz == start && stopMHz == stop && points == steps;
}

bool CalibrationRun::take(size_t standard, double start, double stop, int steps,
                          MeasuredStandard measured) {
  bool dropped = false;
  if (!over(start, stop, steps)) {
    for (auto& s : standards) dropped = dropped || s.has_value(), s.reset();
    startMHz = start, stopMHz = stop, points = steps;
  }
  standards[standard] = std::move(measured);
  return dropped;
}

std::vector<std::string> CalibrationRun::missing() const {
  std::vector<std::string> out;
  for (size_t k = 0; k < standards.size(); ++k)
    if (!standards[k]) out.emplace_back(calibrationStandards()[k].name);
  return out;
}

double CalibrationRun::frequencyMHz(int i) const {
  return chart::pointFrequency(startMHz, stopMHz, points, i);
}

std::string formatCalibrationRun(const CalibrationRun& run) {
  std::string out =
      "# The bridge calibration under way: each standard measured, as VALUE;PASSES;READINGS\n";
  out += "sweep=" + sweepText(run.startMHz, run.stopMHz, run.points) + "\n";
  for (size_t k = 0; k < run.standards.size(); ++k) {
    const auto& s = run.standards[k];
    if (!s) continue;
    out += std::string(calibrationStandards()[k].name) + "=" + standardValueText(s->value) + ";" +
           std::to_string(s->passes) + ";";
    for (size_t i = 0; i < s->readings.returnLossCounts.size(); ++i) {
      if (i) out += ',';
      out += common::shortestText(s->readings.returnLossCounts[i], 8) + "/" +
             common::shortestText(s->readings.phaseCounts[i], 8);
    }
    out += '\n';
  }
  return out;
}

std::optional<CalibrationRun> parseCalibrationRun(std::string_view text, std::string* why) {
  CalibrationRun run;
  bool sweep = false;
  std::string problem = eachLine(text, [&](std::string_view key, std::string_view value) {
    if (key == "sweep") {
      const auto s = sweepOf(value);
      if (!s) return std::string("the sweep is not START,STOP,STEPS");
      run.startMHz = (*s)[0], run.stopMHz = (*s)[1], run.points = static_cast<int>((*s)[2]);
      sweep = true;
      return std::string();
    }
    const CalibrationStandard* standard = calibrationStandard(key);
    if (!standard) return "unknown standard '" + common::shortened(key) + "'";
    if (!sweep) return std::string("readings before the sweep line");
    const auto parts = fieldsOf(value, ';');
    if (parts.size() != 3) return std::string("not VALUE;PASSES;READINGS");
    MeasuredStandard m;
    std::string bad;
    const auto v = parseStandardValue(parts[0], standard->nominal.open, &bad);
    if (!v) return bad;
    m.value = *v;
    const auto passes = common::fieldNumber(parts[1]);
    if (!passes || *passes < 1 || *passes > 100 || *passes != std::floor(*passes))
      return std::string("the passes are not 1 to 100");
    m.passes = static_cast<int>(*passes);
    const auto readings = fieldsOf(parts[2]);
    if (readings.size() != static_cast<size_t>(run.points) + 1)
      return std::to_string(readings.size()) + " readings where the sweep has " +
             std::to_string(run.points + 1);
    for (std::string_view f : readings) {
      const size_t slash = f.find('/');
      const auto a = common::fieldNumber(f.substr(0, slash));
      const auto b =
          slash == std::string_view::npos ? std::nullopt : common::fieldNumber(f.substr(slash + 1));
      if (!a || !b || !(*a >= -1 && *a <= 1024 && *b >= -1 && *b <= 1024))
        return std::string("a reading is not A/B with counts of 0 to 1023");
      m.readings.returnLossCounts.push_back(*a);
      m.readings.phaseCounts.push_back(*b);
    }
    run.standards[static_cast<size_t>(standard - calibrationStandards().data())] = std::move(m);
    return std::string();
  });
  if (problem.empty() && !sweep) problem = "no sweep line";
  if (problem.empty()) return run;
  if (why) *why = problem;
  return std::nullopt;
}

std::string instrumentSetup(const hw::Instrument& instrument) {
  const hw::PortIo* port = instrument.port();
  return (port ? port->setup() : std::string("no port")) + ", " +
         common::shortestText(instrument.params.quartzMHz, 9) + " MHz x " +
         std::to_string(instrument.params.refClockMultiplier);
}

// ---- The calibration ----

double BridgeCalibration::frequencyMHz(int i) const {
  return chart::pointFrequency(startMHz, stopMHz, points, i);
}

std::string BridgeCalibration::name() const {
  return measured + ", " + common::shortestText(startMHz, 9) + "-" +
         common::shortestText(stopMHz, 9) + " MHz in " + std::to_string(points) + " steps";
}

namespace {

constexpr double kCalibrationOwnFrequency =
    1e-6;  // a point's own frequency as kept in single precision

std::array<double, kTermParts> termPartsOf(const ErrorTerms& e) {
  return {e.directivity.real(), e.directivity.imag(), e.tracking.real(), e.tracking.imag(),
          e.sourceMatch.real(), e.sourceMatch.imag(), e.countsPerDb};
}

// What a straight line between points i and i + 1 may miss at its middle, on
// each part: half the larger second difference around them, times 1 / 4.
std::array<double, kTermParts> calibrationBends(const std::vector<ErrorTerms>& terms, int points,
                                                int i) {
  // The parts of the terms from i - 1 to i + 2, those that exist.
  std::array<std::array<double, kTermParts>, 4> parts{};
  for (int n = std::max(i - 1, 0); n <= std::min(i + 2, points); ++n)
    parts[static_cast<size_t>(n - i + 1)] = termPartsOf(terms[static_cast<size_t>(n)]);
  std::array<double, kTermParts> most{};
  for (size_t u = 0; u < kTermParts; ++u)
    for (int n : {i, i + 1}) {
      if (n < 1 || n >= points) continue;
      const auto at = [&](int m) { return parts[static_cast<size_t>(m - i + 1)][u]; };
      most[u] = std::max(most[u], std::fabs(at(n - 1) - 2 * at(n) + at(n + 1)));
    }
  return most;
}

}  // namespace

std::array<double, kTermParts> BridgeCalibration::stepBends(int i, CalibrationMemo* memo) const {
  if (!memo) return calibrationBends(terms, points, i);
  CalibrationMemo& m = memo->forTerms(terms.data());
  const size_t slot = static_cast<size_t>(i & 1);
  if (m.step[slot] != i) {
    m.step[slot] = i;
    m.bends[slot] = calibrationBends(terms, points, i);
  }
  return m.bends[slot];
}

std::optional<ErrorTerms> BridgeCalibration::at(double mhz, double* share,
                                                CalibrationMemo* memo) const {
  if (terms.empty() || points < 1) return std::nullopt;
  const double x = (mhz - startMHz) / (stopMHz - startMHz) * points;
  constexpr double kEdge = kCalibrationOwnFrequency;
  if (!(x >= -kEdge && x <= points + kEdge)) return std::nullopt;
  const int i = std::clamp(static_cast<int>(std::floor(x)), 0, points - 1);
  const double t = std::clamp(x - i, 0.0, 1.0);
  const ErrorTerms& p = terms[static_cast<size_t>(i)];
  const ErrorTerms& q = terms[static_cast<size_t>(i) + 1];
  if (t < kEdge || t > 1 - kEdge) {
    if (share) *share = 0;
    return t < kEdge ? p : q;
  }
  ErrorTerms out;
  out.directivity = p.directivity + t * (q.directivity - p.directivity);
  out.tracking = p.tracking + t * (q.tracking - p.tracking);
  out.sourceMatch = p.sourceMatch + t * (q.sourceMatch - p.sourceMatch);
  out.countsPerDb = p.countsPerDb + t * (q.countsPerDb - p.countsPerDb);
  // The truth within (1 - t) of p's residual errors and t of q's, and what a
  // straight line between the two may miss: half the larger second difference
  // around them, times t (1 - t), on each part.
  const auto most = stepBends(i, memo);
  std::array<double, kTermParts> bends{};
  for (size_t u = 0; u < kTermParts; ++u) {
    bends[u] = t * (1 - t) / 2 * most[u] * 1.5;
    out.pm[u] = (1 - t) * p.pm[u] + t * q.pm[u] + bends[u];
  }
  const double interpolation = std::hypot(bends[kDirectivityRe], bends[kDirectivityIm]);
  const double directivityPm = std::hypot(out.pm[kDirectivityRe], out.pm[kDirectivityIm]);
  if (share) *share = directivityPm > 0 ? interpolation / directivityPm : 0;
  return out;
}

namespace {

// How far from its point (in steps) each cell on either side reaches: the
// first holds the points' own frequencies as single precision keeps them.
constexpr std::array<double, 3> kCellReach{1e-4, 1.0 / 4, 1.0 / 2};
constexpr int kCellsPerPoint = 1 + 2 * static_cast<int>(kCellReach.size());

}  // namespace

int BridgeCalibration::cellOf(double mhz) const {
  if (terms.empty() || points < 1) return -1;
  const double x = (mhz - startMHz) / (stopMHz - startMHz) * points;
  if (!(x >= -kCalibrationOwnFrequency && x <= points + kCalibrationOwnFrequency)) return -1;
  const int i = std::clamp(static_cast<int>(std::lround(x)), 0, points);
  const double off = x - i;
  if (std::fabs(off) < kCalibrationOwnFrequency) return kCellsPerPoint * i;
  const auto reach = std::lower_bound(kCellReach.begin(), kCellReach.end(), std::fabs(off));
  const int bin =
      static_cast<int>(std::min(reach - kCellReach.begin(), std::ptrdiff_t{kCellReach.size() - 1}));
  return kCellsPerPoint * i + 1 + (off < 0 ? 0 : static_cast<int>(kCellReach.size())) + bin;
}

ErrorTerms BridgeCalibration::cellTerms(int cell, CalibrationMemo* memo) const {
  if (!memo) return worstInCell(cell, nullptr);
  CalibrationMemo& m = memo->forTerms(terms.data());
  if (m.cell != cell) m.cellTerms = worstInCell(cell, &m), m.cell = cell;
  return m.cellTerms;
}

ErrorTerms BridgeCalibration::worstInCell(int cell, CalibrationMemo* memo) const {
  const int i = cell / kCellsPerPoint, k = cell % kCellsPerPoint - 1;
  ErrorTerms out = terms[static_cast<size_t>(i)];
  if (k < 0) return out;
  const int bins = static_cast<int>(kCellReach.size());
  const int n = k < bins ? i - 1 : i + 1;
  const double most = kCellReach[static_cast<size_t>(k % bins)];
  // The terms at a fraction t <= `most` (at most 1/2) of the way to the next
  // point n lie within (1 - t) pm_i + t pm_n + t (1 - t) / 2 x 1.5 x the larger
  // second difference (as at() takes them), and t of the step from here: each
  // at most its value at t = `most` (the first at either end).
  const auto bends = stepBends(std::min(i, n), memo);
  const auto here = termPartsOf(out), there = termPartsOf(terms[static_cast<size_t>(n)]);
  const ErrorTerms& next = terms[static_cast<size_t>(n)];
  for (size_t u = 0; u < kTermParts; ++u)
    out.pm[u] = std::max(out.pm[u], (1 - most) * out.pm[u] + most * next.pm[u]) +
                most * (1 - most) / 2 * bends[u] * 1.5 + most * std::fabs(there[u] - here[u]);
  return out;
}

std::string formatCalibration(const BridgeCalibration& c) {
  std::string out =
      "# The bridge's error terms measured by Calibrate the bridge; the analyzer corrects\n"
      "# every reading in this sweep's span with them (kolm-cli bridge-calibrate --forget).\n"
      "# terms=MHZ,DIRECTIVITY_RE,_IM,TRACKING_RE,_IM,SOURCE_MATCH_RE,_IM,COUNTS_PER_DB,\n"
      "#   then what each of these seven may be off by, in the same order\n";
  out += "measured=" + c.measured + "\n";
  out += "setup=" + c.setup + "\n";
  out += "sweep=" + sweepText(c.startMHz, c.stopMHz, c.points) + "\n";
  for (const std::string& s : c.standards) out += "standard=" + s + "\n";
  for (size_t i = 0; i < c.terms.size(); ++i) {
    const ErrorTerms& t = c.terms[i];
    out += "terms=" + common::shortestText(c.frequencyMHz(static_cast<int>(i)), 12);
    for (double v : {t.directivity.real(), t.directivity.imag(), t.tracking.real(),
                     t.tracking.imag(), t.sourceMatch.real(), t.sourceMatch.imag(), t.countsPerDb})
      out += "," + common::shortestText(v, 10);
    for (double v : t.pm) out += "," + common::shortestText(v, 6);
    out += "\n";
  }
  return out;
}

std::optional<BridgeCalibration> parseCalibration(std::string_view text, std::string* why) {
  BridgeCalibration c;
  bool sweep = false;
  std::string problem = eachLine(text, [&](std::string_view key, std::string_view value) {
    if (key == "measured") {
      c.measured = std::string(value);
    } else if (key == "setup") {
      c.setup = std::string(value);
    } else if (key == "standard") {
      c.standards.emplace_back(value);
    } else if (key == "sweep") {
      const auto s = sweepOf(value);
      if (!s) return std::string("the sweep is not START,STOP,STEPS");
      c.startMHz = (*s)[0], c.stopMHz = (*s)[1], c.points = static_cast<int>((*s)[2]);
      sweep = true;
    } else if (key == "terms") {
      if (!sweep) return std::string("terms before the sweep line");
      const auto f = fieldsOf(value);
      std::vector<double> v;
      for (std::string_view field : f) {
        const auto n = common::fieldNumber(field);
        if (!n || !std::isfinite(*n)) return std::string("terms that are not 15 numbers");
        v.push_back(*n);
      }
      if (v.size() != kTermValues) return std::string("terms that are not 15 numbers");
      const int i = static_cast<int>(c.terms.size());
      if (i > c.points) return std::string("more terms than the sweep has points");
      const double mhz = c.frequencyMHz(i);
      if (std::fabs(v[0] - mhz) > 1e-9 * std::max(1.0, mhz))
        return "terms for " + common::shortestText(v[0], 6) + " MHz where the sweep's point " +
               std::to_string(i) + " is " + common::shortestText(mhz, 6) + " MHz";
      ErrorTerms t;
      t.directivity = {v[1], v[2]}, t.tracking = {v[3], v[4]}, t.sourceMatch = {v[5], v[6]};
      t.countsPerDb = v[7];
      std::copy(v.begin() + 8, v.end(), t.pm.begin());
      const bool shape = *std::min_element(t.pm.begin(), t.pm.end()) >= 0;
      const double size = std::abs(t.tracking);
      if (!shape || !(size > 0.5 && size < 2) || !(t.countsPerDb > 5 && t.countsPerDb < 50) ||
          std::abs(t.directivity) > 0.5 || std::abs(t.sourceMatch) > 0.5 ||
          *std::max_element(t.pm.begin(), t.pm.begin() + kCountsPerDb) > 0.5)
        return std::string("terms no bridge has");
      c.terms.push_back(t);
    } else {
      return "unknown key '" + common::shortened(key) + "'";
    }
    return std::string();
  });
  if (problem.empty() && !sweep) problem = "no sweep line";
  if (problem.empty() && c.terms.size() != static_cast<size_t>(c.points) + 1)
    problem = "it holds the terms of " + std::to_string(c.terms.size()) + " of the " +
              std::to_string(c.points + 1) + " points of its sweep (a file cut short?)";
  if (problem.empty()) return c;
  if (why) *why = problem;
  return std::nullopt;
}

}  // namespace kolm::analyzer
