#include "analyzer/calibration.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "chart/scale.h"
#include "common/files.h"
#include "common/reflection.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kTerms = 7;  // directivity, tracking, source match (re, im each), counts per dB
constexpr size_t kTermValues = 8 + kTermParts;  // a terms= line
using Vector = std::array<double, kTerms>;
using Matrix = std::array<Vector, kTerms>;

// The stated accuracy of a standard's parts.
constexpr double kResistorShare = 0.01, kResistorOhm = 0.05;
constexpr double kCapacitorShare = 0.02, kCapacitorF = 0.5e-12;
constexpr double kInductanceShare = 0.05, kInductanceH = 2e-9;

// A calibration of 20001 points of seven standards is about 4 MB.
constexpr uint64_t kRunLimitBytes = 8 << 20;
constexpr uint64_t kCalibrationLimitBytes = 8 << 20;

std::string number(double v, int digits = 6) { return common::shortestText(v, digits); }

double omega(double mhz) { return 2 * kPi * mhz * 1e6; }

Complex impedanceOf(const StandardValue& v, double mhz) {
  const double w = omega(mhz);
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
    if (std::fabs(v) >= scale * 0.9999999) return number(v / scale, 6) + suffix;
  return number(v / 1e-12, 6) + "p";
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
  return number(start, 15) + "," + number(stop, 15) + "," + std::to_string(points);
}

// "2026-12-07 21:50 UTC".
std::string nowText() {
  const std::tm t = common::utcNow();
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(t.tm_year + 1900) + "-" + two(t.tm_mon + 1) + "-" + two(t.tm_mday) + " " +
         two(t.tm_hour) + ":" + two(t.tm_min) + " UTC";
}

}  // namespace

// ---- Standards ----

Complex standardReflection(const StandardValue& v, double mhz) {
  if (v.open) {
    const Complex y(0, omega(mhz) * v.c);
    return (1.0 - common::kReferenceOhm * y) / (1.0 + common::kReferenceOhm * y);
  }
  return common::reflectionOf(impedanceOf(v, mhz));
}

double standardReflectionPm(const StandardValue& v, double mhz) {
  const double w = omega(mhz), r0 = common::kReferenceOhm;
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
      out +=
          number(s->readings.returnLossCounts[i], 8) + "/" + number(s->readings.phaseCounts[i], 8);
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
         number(instrument.params.quartzMHz, 9) + " MHz x " +
         std::to_string(instrument.params.refClockMultiplier);
}

// ---- The calibration ----

double BridgeCalibration::frequencyMHz(int i) const {
  return chart::pointFrequency(startMHz, stopMHz, points, i);
}

std::string BridgeCalibration::name() const {
  return measured + ", " + number(startMHz, 9) + "-" + number(stopMHz, 9) + " MHz in " +
         std::to_string(points) + " steps";
}

std::optional<ErrorTerms> BridgeCalibration::at(double mhz, double* share) const {
  if (terms.empty() || points < 1) return std::nullopt;
  const double x = (mhz - startMHz) / (stopMHz - startMHz) * points;
  constexpr double kEdge = 1e-6;  // a point's own frequency as kept in single precision
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
  std::array<double, kTermParts> bends{};
  for (int k = 0; k < kTermParts; ++k) {
    double most = 0;
    for (int n : {i, i + 1}) {
      if (n < 1 || n >= points) continue;
      const auto at = [&](int m) { return terms[static_cast<size_t>(m)].part(k); };
      most = std::max(most, std::fabs(at(n - 1) - 2 * at(n) + at(n + 1)));
    }
    const auto u = static_cast<size_t>(k);
    bends[u] = t * (1 - t) / 2 * most * 1.5;
    out.pm[u] = (1 - t) * p.pm[u] + t * q.pm[u] + bends[u];
  }
  const double interpolation = std::hypot(bends[kDirectivityRe], bends[kDirectivityIm]);
  const double directivityPm = std::hypot(out.pm[kDirectivityRe], out.pm[kDirectivityIm]);
  if (share) *share = directivityPm > 0 ? interpolation / directivityPm : 0;
  return out;
}

namespace {

// One reading of one standard that the fit takes: channel A or B, its value,
// what it may be off by, and the standard's reflection.
struct Observation {
  bool phase = false;
  double value = 0;
  double pm = 0;
  Complex gamma;
  size_t standard = 0;
};

constexpr double kDbPerNeper = 20 / std::numbers::ln10;
constexpr double kCountsPerRadian = kHalfTurnCounts / kPi;

ErrorTerms termsOf(const Vector& p) {
  ErrorTerms e;
  e.directivity = {p[0], p[1]};
  e.tracking = {p[2], p[3]};
  e.sourceMatch = {p[4], p[5]};
  e.countsPerDb = p[6];
  return e;
}

// The reading an observation predicts, and its derivatives by the terms.
double predicted(const Observation& o, const Vector& p, Vector* gradient) {
  const ErrorTerms e = termsOf(p);
  const Complex denominator = 1.0 - e.sourceMatch * o.gamma;
  Complex w = detectorRatio(e, o.gamma);
  if (std::abs(w) < 1e-4) w = 1e-4;  // no ratio of 0: its logarithm has no end
  // dw by each complex term, over w.
  const std::array<Complex, 3> q{1.0 / w, o.gamma / denominator / w,
                                 e.tracking * o.gamma * o.gamma / (denominator * denominator) / w};
  const double sign = std::arg(w) < 0 ? -1 : 1;
  for (size_t k = 0; k < 3 && gradient; ++k) {
    if (o.phase) {
      (*gradient)[2 * k] = sign * kCountsPerRadian * q[k].imag();
      (*gradient)[2 * k + 1] = sign * kCountsPerRadian * q[k].real();
    } else {
      (*gradient)[2 * k] = e.countsPerDb * kDbPerNeper * q[k].real();
      (*gradient)[2 * k + 1] = -e.countsPerDb * kDbPerNeper * q[k].imag();
    }
  }
  const double db = kDbPerNeper * std::log(std::abs(w));
  if (gradient) (*gradient)[6] = o.phase ? 0 : db;
  return o.phase ? kCountsPerRadian * std::fabs(std::arg(w))
                 : kTotalReflectionCounts + e.countsPerDb * db;
}

// The inverse of a symmetric positive-definite matrix (Cholesky); false when
// it is not one.
bool inverted(Matrix m, Matrix& out) {
  Matrix l{};
  for (int i = 0; i < kTerms; ++i)
    for (int j = 0; j <= i; ++j) {
      double s = m[i][j];
      for (int k = 0; k < j; ++k) s -= l[i][k] * l[j][k];
      if (i == j) {
        if (!(s > 0)) return false;
        l[i][i] = std::sqrt(s);
      } else {
        l[i][j] = s / l[j][j];
      }
    }
  for (int c = 0; c < kTerms; ++c) {
    Vector y{};
    for (int i = 0; i < kTerms; ++i) {
      double s = i == c ? 1 : 0;
      for (int k = 0; k < i; ++k) s -= l[i][k] * y[k];
      y[i] = s / l[i][i];
    }
    for (int i = kTerms - 1; i >= 0; --i) {
      double s = y[i];
      for (int k = i + 1; k < kTerms; ++k) s -= l[k][i] * out[k][c];
      out[i][c] = s / l[i][i];
    }
  }
  return true;
}

// The largest c . x over x with a x <= b (b >= 0, so x = 0 is feasible; the
// set bounded), by the simplex method on the split x = u - v, u, v >= 0, from
// the slacks' basis, with Bland's rule; empty when it does not end.
std::optional<double> largest(const std::vector<Vector>& a, const std::vector<double>& b,
                              const Vector& c) {
  const size_t rows = a.size(), columns = 2 * kTerms + rows;
  // The tableau: a row per constraint, then the objective's row (reduced costs).
  std::vector<std::vector<double>> t(rows + 1, std::vector<double>(columns + 1, 0));
  std::vector<size_t> basis(rows);
  for (size_t i = 0; i < rows; ++i) {
    for (int k = 0; k < kTerms; ++k) t[i][k] = a[i][k], t[i][kTerms + k] = -a[i][k];
    t[i][2 * kTerms + i] = 1;
    t[i][columns] = std::max(b[i], 0.0);
    basis[i] = 2 * kTerms + i;
  }
  for (int k = 0; k < kTerms; ++k) t[rows][k] = -c[k], t[rows][kTerms + k] = c[k];
  for (int pivot = 0; pivot < 500; ++pivot) {
    size_t enter = columns;
    for (size_t j = 0; j < columns; ++j)
      if (t[rows][j] < -1e-12) {
        enter = j;
        break;
      }
    if (enter == columns) return t[rows][columns];
    size_t leave = rows;
    double ratio = HUGE_VAL;
    for (size_t i = 0; i < rows; ++i)
      if (t[i][enter] > 1e-12) {
        const double r = t[i][columns] / t[i][enter];
        if (r < ratio - 1e-15 || (r <= ratio + 1e-15 && leave < rows && basis[i] < basis[leave]))
          ratio = r, leave = i;
      }
    if (leave == rows) return std::nullopt;  // unbounded
    const double scale = t[leave][enter];
    for (double& v : t[leave]) v /= scale;
    for (size_t i = 0; i <= rows; ++i) {
      if (i == leave || t[i][enter] == 0) continue;
      const double f = t[i][enter];
      for (size_t j = 0; j <= columns; ++j) t[i][j] -= f * t[leave][j];
    }
    basis[leave] = enter;
  }
  return std::nullopt;
}

// What the published figures say each term is before any standard is read:
// the middle and the half-width of each.
struct Prior {
  Vector middle;
  // |g . (p - middle)| <= width for each row.
  std::vector<std::pair<Vector, double>> rows;
  Vector width;  // each term's own, the scale of its steps
};

Prior priorOf(const BridgeFigures& f) {
  Prior p;
  const double k = static_cast<double>(kTotalReflectionCounts) / kReturnLossRangeDb;
  const double directivity = std::pow(10.0, -f.directivityDb / 20);
  // The published tracking holds for every load: T / (1 - e11 G) within it
  // at G = 1, -1, j and -j, to first order T - 1 + e11 G (what that leaves
  // out, |T - 1| |e11|, in the margin).
  const double size = (std::pow(10.0, f.trackingDb / 20) - 1) * 1.02;
  const double turn = std::sin(f.trackingDeg * kPi / 180) * 1.02;
  p.middle = {0, 0, 1, 0, 0, 0, k};
  p.width = {directivity, directivity, size, turn, size + turn, size + turn, f.magnitudeSlope * k};
  const double diagonal = std::sqrt(0.5);
  // The directivity at any angle: within an octagon about its circle.
  p.rows.push_back({{1, 0, 0, 0, 0, 0, 0}, directivity});
  p.rows.push_back({{0, 1, 0, 0, 0, 0, 0}, directivity});
  p.rows.push_back({{diagonal, diagonal, 0, 0, 0, 0, 0}, directivity});
  p.rows.push_back({{diagonal, -diagonal, 0, 0, 0, 0, 0}, directivity});
  for (const Complex g : {Complex(1, 0), Complex(-1, 0), Complex(0, 1), Complex(0, -1)}) {
    // e11 G = (e11r gr - e11i gi) + j (e11r gi + e11i gr)
    p.rows.push_back({{0, 0, 1, 0, g.real(), -g.imag(), 0}, size});
    p.rows.push_back({{0, 0, 0, 1, g.imag(), g.real(), 0}, turn});
  }
  p.rows.push_back({{0, 0, 0, 0, 0, 0, 1}, f.magnitudeSlope * k});
  return p;
}

struct Fit {
  Vector terms{}, pm{};
  bool ok = false;
  double worst = 0;  // the largest residual against its bound
  size_t worstStandard = 0;
  bool worstPhase = false;
  double worstCounts = 0;
};

// The terms at one frequency from `observations`, starting from `start`.
Fit fitTerms(const std::vector<Observation>& observations, const Prior& prior, Vector start) {
  Fit out;
  Vector p = start;
  Matrix inverse{};
  Matrix normal{};
  for (int iteration = 0; iteration < 30; ++iteration) {
    normal = Matrix{};
    Vector g{};
    for (const auto& [row, width] : prior.rows) {
      const double weight = 1 / (width * width);
      double off = 0;
      for (int k = 0; k < kTerms; ++k) off += row[k] * (p[k] - prior.middle[k]);
      for (int i = 0; i < kTerms; ++i) {
        g[i] -= weight * row[i] * off;
        for (int j = 0; j < kTerms; ++j) normal[i][j] += weight * row[i] * row[j];
      }
    }
    for (const Observation& o : observations) {
      Vector d{};
      const double r = o.value - predicted(o, p, &d);
      const double weight = 1 / (o.pm * o.pm);
      for (int i = 0; i < kTerms; ++i) {
        g[i] += weight * d[i] * r;
        for (int j = 0; j < kTerms; ++j) normal[i][j] += weight * d[i] * d[j];
      }
    }
    if (!inverted(normal, inverse)) return out;
    double moved = 0;
    for (int i = 0; i < kTerms; ++i) {
      double step = 0;
      for (int j = 0; j < kTerms; ++j) step += inverse[i][j] * g[j];
      p[i] += step;
      moved = std::max(moved, std::fabs(step) / prior.width[i]);
    }
    if (!std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); })) return out;
    if (moved < 1e-9) break;
  }
  // Where the terms may be: every reading within its bound of what they
  // predict and every term within its published figure, to first order about
  // the fit (a polytope); each term's least and largest there, by linear
  // programming, give its middle and how far the truth may be from it.
  std::vector<std::pair<Vector, std::array<double, 2>>> rows;  // g . delta <= b
  for (const Observation& o : observations) {
    Vector d{};
    const double r = o.value - predicted(o, p, &d);
    const double share = std::fabs(r) / o.pm;
    if (share > out.worst)
      out.worst = share, out.worstStandard = o.standard, out.worstPhase = o.phase,
      out.worstCounts = r;
    // |r - d . delta| <= pm, widened to hold the fit itself.
    const double pm = std::max(o.pm, std::fabs(r) * 1.0001);
    rows.push_back({d, {r + pm, pm - r}});
  }
  for (const auto& [row, stated] : prior.rows) {
    double off = 0;
    for (int k = 0; k < kTerms; ++k) off += row[k] * (p[k] - prior.middle[k]);
    const double width = std::max(stated, std::fabs(off) * 1.0001);
    rows.push_back({row, {width - off, width + off}});
  }
  std::vector<Vector> a;
  std::vector<double> b;
  for (const auto& [g, bounds] : rows) {
    Vector minus{};
    for (int k = 0; k < kTerms; ++k) minus[k] = -g[k];
    a.push_back(g), b.push_back(bounds[0]);
    a.push_back(minus), b.push_back(bounds[1]);
  }
  // Each part's least and largest there: the box about them.
  out.terms = p;
  for (int k = 0; k < kTerms; ++k) {
    Vector c{};
    c[k] = 1;
    const auto high = largest(a, b, c);
    c[k] = -1;
    const auto low = largest(a, b, c);
    if (!high || !low) return out;
    out.terms[k] += (*high - *low) / 2;
    out.pm[static_cast<size_t>(k)] = (*high + *low) / 2;
  }
  out.ok = true;
  return out;
}

// Whether standard `s`'s reading at point i reads as what it was said to be,
// within the published figures' intervals (and a margin for the standard's
// own accuracy): a swapped or mistaken standard does not.
bool readsAsItself(const MeasuredStandard& s, size_t i, double mhz, const BridgeFigures& f) {
  const double a = s.readings.returnLossCounts[i], b = s.readings.phaseCounts[i];
  const PointResult point = evaluateMeanPoint(a, b);
  const PointInterval range = pointInterval(a, b, point.values, f, s.passes);
  const PointValues expected = valuesOf(standardReflection(s.value, mhz));
  const double pm = standardReflectionPm(s.value, mhz);
  const double rho = std::abs(standardReflection(s.value, mhz));
  const double rlSlack = 20 * std::log10((rho + pm) / std::max(rho - pm, 1e-6)) + 0.5;
  const double phaseSlack = (rho > pm ? std::asin(pm / rho) * 180 / kPi : 180) + 2;
  return expected[kReturnLoss] >= range.low[kReturnLoss] - rlSlack &&
         expected[kReturnLoss] <= range.high[kReturnLoss] + rlSlack &&
         expected[kPhase] >= range.low[kPhase] - phaseSlack &&
         expected[kPhase] <= range.high[kPhase] + phaseSlack;
}

std::string atText(double mhz) { return " at " + number(mhz, 6) + " MHz"; }

}  // namespace

CalibrationResult solveCalibration(const CalibrationRun& run, const std::string& setup,
                                   const BridgeFigures& f) {
  CalibrationResult out;
  const auto& catalog = calibrationStandards();
  if (const auto missing = run.missing(); !missing.empty()) {
    out.fault = "still to measure: " + missing.front();
    for (size_t k = 1; k < missing.size(); ++k) out.fault += ", " + missing[k];
    return out;
  }
  // Every standard read as what it was said to be, first on its own.
  for (size_t k = 0; k < run.standards.size(); ++k) {
    const MeasuredStandard& s = *run.standards[k];
    int wrong = 0;
    double firstMHz = 0;
    for (int i = 0; i <= run.points; ++i)
      if (!readsAsItself(s, static_cast<size_t>(i), run.frequencyMHz(i), f) && wrong++ == 0)
        firstMHz = run.frequencyMHz(i);
    if (wrong * 20 > run.points + 1) {
      out.fault = std::string("What was measured as the ") + catalog[k].name + " (" +
                  standardValueText(s.value) + ") does not read as one" + atText(firstMHz) +
                  " and " + std::to_string(wrong - 1) +
                  " more frequencies: was another standard connected, or is its value another? "
                  "Measure it again.";
      return out;
    }
  }
  const Prior prior = priorOf(f);
  BridgeCalibration cal;
  cal.setup = setup;
  cal.startMHz = run.startMHz, cal.stopMHz = run.stopMHz, cal.points = run.points;
  for (size_t k = 0; k < run.standards.size(); ++k)
    cal.standards.push_back(std::string(catalog[k].name) + " " +
                            standardValueText(run.standards[k]->value));
  std::vector<int> disagreements(run.standards.size());
  std::vector<double> firstDisagreement(run.standards.size());
  Vector start = prior.middle;
  for (int i = 0; i <= run.points; ++i) {
    const double mhz = run.frequencyMHz(i);
    std::vector<Observation> observations;
    for (size_t k = 0; k < run.standards.size(); ++k) {
      const MeasuredStandard& s = *run.standards[k];
      const double a = s.readings.returnLossCounts[static_cast<size_t>(i)];
      const double b = s.readings.phaseCounts[static_cast<size_t>(i)];
      const Complex gamma = standardReflection(s.value, mhz);
      const double gammaPm = standardReflectionPm(s.value, mhz);
      const double noise = f.noiseSpread * f.noiseCounts / std::sqrt(s.passes);
      // Channel A above the bottom of its range.
      const double spreadA = f.resolutionCounts + noise + f.magnitudeOffsetCounts;
      // What the standard's own accuracy moves its readings by, seen from the
      // ratio the detector read.
      const double ratio = ratioSize(termsOf(prior.middle), a);
      if (a - spreadA > f.magnitudeFloorCounts && a < kTotalReflectionCounts + 8) {
        const double counts = prior.middle[6] * kDbPerNeper * std::log1p(gammaPm / ratio);
        observations.push_back({false, a, spreadA + counts, gamma, k});
      }
      // Channel B outside its end regions.
      const double degrees = b * kDegreesPerCount;
      const double margin = f.phaseEndDeg + 2;
      if (degrees > margin && degrees < 180 - margin && gammaPm < ratio / 2) {
        const double turn = std::asin(gammaPm / ratio) * kCountsPerRadian;
        const double pm = channelBSpread(f, ratio, s.passes) +
                          (f.phaseErrorDeg + f.phaseSlope * degrees) / kDegreesPerCount + turn;
        observations.push_back({true, b, pm, gamma, k});
      }
    }
    Fit fit = fitTerms(observations, prior, start);
    if (!fit.ok) fit = fitTerms(observations, prior, prior.middle);
    if (!fit.ok) {
      out.fault = "The standards' readings give no error terms" + atText(mhz) + ".";
      return out;
    }
    start = fit.terms;
    if (fit.worst > 1.5 && disagreements[fit.worstStandard]++ == 0)
      firstDisagreement[fit.worstStandard] = mhz;
    ErrorTerms terms = termsOf(fit.terms);
    constexpr double kMargin = 1.1;  // for what the first order leaves out
    for (size_t k = 0; k < kTermParts; ++k) terms.pm[k] = kMargin * fit.pm[k];
    auto most = [&](double& m, int re, int im) {
      m = std::max(m, im < 0 ? terms.pm[static_cast<size_t>(re)]
                             : std::hypot(terms.pm[static_cast<size_t>(re)],
                                          terms.pm[static_cast<size_t>(im)]));
    };
    most(out.directivityPmMax, kDirectivityRe, kDirectivityIm);
    most(out.trackingPmMax, kTrackingRe, kTrackingIm);
    most(out.sourceMatchPmMax, kSourceMatchRe, kSourceMatchIm);
    most(out.countsPerDbPmMax, kCountsPerDb, -1);
    cal.terms.push_back(terms);
  }
  for (size_t k = 0; k < run.standards.size(); ++k)
    if (disagreements[k] * 20 > run.points + 1) {
      out.fault = std::string("The ") + catalog[k].name + " (" +
                  standardValueText(run.standards[k]->value) +
                  ") does not agree with the other standards" + atText(firstDisagreement[k]) +
                  " and " + std::to_string(disagreements[k] - 1) +
                  " more frequencies: is its stated value right, and was it connected well? "
                  "Measure it again.";
      return out;
    }
  cal.measured = nowText();
  out.calibration = std::move(cal);
  return out;
}

std::string calibrationReport(const CalibrationResult& r) {
  std::string out;
  if (!r.calibration) return "fault=" + r.fault + "\n";
  out += "calibration=" + r.calibration->name() + "\n";
  out += "directivity_pm_max=" + number(r.directivityPmMax, 4) + "\n";
  out += "tracking_pm_max=" + number(r.trackingPmMax, 4) + "\n";
  out += "source_match_pm_max=" + number(r.sourceMatchPmMax, 4) + "\n";
  out += "slope_pm_max=" + number(r.countsPerDbPmMax, 4) + "\n";
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
    out += "terms=" + number(c.frequencyMHz(static_cast<int>(i)), 12);
    for (double v : {t.directivity.real(), t.directivity.imag(), t.tracking.real(),
                     t.tracking.imag(), t.sourceMatch.real(), t.sourceMatch.imag(), t.countsPerDb})
      out += "," + number(v, 10);
    for (double v : t.pm) out += "," + number(v, 6);
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
        return "terms for " + number(v[0]) + " MHz where the sweep's point " + std::to_string(i) +
               " is " + number(mhz) + " MHz";
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

// ---- The files ----

CalibrationInUse calibrationIn(const common::SettingsFolder& folder, const std::string& setup) {
  CalibrationInUse out;
  const auto path = folder.file(kCalibrationFile);
  const common::SettingsRead read = common::readSettingsFile(path, kCalibrationLimitBytes);
  if (!read.content) {
    if (!read.problem.empty())
      out.problem = common::unreadableText(path, read.problem) + " Readings are uncorrected.";
    return out;
  }
  std::string why;
  auto c = parseCalibration(*read.content, &why);
  if (!c) {
    out.problem = common::unreadableText(path, why) + " Readings are uncorrected.";
    return out;
  }
  if (c->setup != setup) {
    out.problem = "The bridge was calibrated on " + c->setup + "; the analyzer now runs on " +
                  setup + ". Readings are uncorrected until the bridge is calibrated again.";
    return out;
  }
  out.calibration = std::make_shared<const BridgeCalibration>(std::move(*c));
  return out;
}

CalibrationRun calibrationRunIn(const common::SettingsFolder& folder, bool* unreadable) {
  const auto read = common::readSettingsFile(folder.file(kCalibrationRunFile), kRunLimitBytes);
  *unreadable = !read.problem.empty();
  if (!read.content) return {};
  std::string why;
  if (auto run = parseCalibrationRun(*read.content, &why)) return *run;
  *unreadable = true;
  return {};
}

namespace {

bool writeAside(common::SettingsFolder& folder, const std::filesystem::path& file,
                const std::string& content, bool unreadable, std::string& message) {
  if (unreadable) {
    const auto kept = folder.keeper().keep(file, "its text is not what it should be");
    message += kept.message;
    if (!kept.mayWrite) return false;
  }
  std::string error;
  if (common::writeFileAtomic(file, content, &error)) return true;
  message += (message.empty() ? "" : "\n") + file.string() + " could not be written: " + error;
  return false;
}

std::optional<std::string> textOf(const std::filesystem::path& path) {
  const auto read = common::readSettingsFile(path, kCalibrationLimitBytes);
  return read.content;
}

}  // namespace

CalibrationKept keepCalibration(common::SettingsFolder& folder, const CalibrationRun& run,
                                const CalibrationResult* result, bool runUnreadable) {
  CalibrationKept out;
  if (!result || !result->calibration) {
    out.ok = writeAside(folder, folder.file(kCalibrationRunFile), formatCalibrationRun(run),
                        runUnreadable, out.message);
    return out;
  }
  // The calibration it replaces becomes the previous one.
  if (const auto current = textOf(folder.file(kCalibrationFile));
      current && parseCalibration(*current, nullptr)) {
    std::string error;
    if (!common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
      out.ok = false;
      out.message = folder.file(kPreviousCalibrationFile).string() +
                    " could not be written: " + error + " The calibration in use is kept.";
      return out;
    }
  }
  out.ok = writeAside(folder, folder.file(kCalibrationFile),
                      formatCalibration(*result->calibration), false, out.message);
  out.stored = out.ok;
  std::error_code ec;
  if (out.ok) std::filesystem::remove(folder.file(kCalibrationRunFile), ec);
  return out;
}

bool swapPreviousCalibration(const common::SettingsFolder& folder, std::string* why) {
  const auto previous = textOf(folder.file(kPreviousCalibrationFile));
  std::string problem;
  if (!previous || !parseCalibration(*previous, &problem)) {
    *why = previous ? "The previous calibration cannot be read (" + problem + ")."
                    : "There is no previous calibration: one is kept each time a calibration "
                      "replaces another.";
    return false;
  }
  const auto current = textOf(folder.file(kCalibrationFile));
  std::string error;
  if (current && parseCalibration(*current, nullptr)) {
    if (!common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
      *why = error;
      return false;
    }
  } else {
    std::error_code ec;
    std::filesystem::remove(folder.file(kPreviousCalibrationFile), ec);
  }
  if (!common::writeFileAtomic(folder.file(kCalibrationFile), *previous, &error)) {
    *why = error;
    return false;
  }
  return true;
}

bool forgetCalibration(const common::SettingsFolder& folder, std::string* why) {
  const auto current = textOf(folder.file(kCalibrationFile));
  std::string error;
  if (current && parseCalibration(*current, nullptr) &&
      !common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
    *why = error;
    return false;
  }
  std::error_code ec;
  for (const char* name : {kCalibrationFile, kCalibrationRunFile}) {
    std::filesystem::remove(folder.file(name), ec);
    if (ec) {
      *why = std::string(name) + " could not be removed: " + ec.message();
      return false;
    }
  }
  return true;
}

}  // namespace kolm::analyzer
