#include "analyzer/calibration.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/constants.h"
#include "common/files.h"
#include "common/text.h"

// The error terms fitted to the standards' readings, frequency by frequency.

namespace kolm::analyzer {

namespace {

constexpr int kTerms = 7;  // directivity, tracking, source match (re, im each), counts per dB
using Vector = std::array<double, kTerms>;
using Matrix = std::array<Vector, kTerms>;

// "2026-12-07 21:50 UTC".
std::string nowText() {
  const std::tm t = common::utcNow();
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(t.tm_year + 1900) + "-" + two(t.tm_mon + 1) + "-" + two(t.tm_mday) + " " +
         two(t.tm_hour) + ":" + two(t.tm_min) + " UTC";
}

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

// The terms that best meet `observations` and the prior, by Gauss-Newton
// steps from `p` (left there); false when the steps fail.
bool bestTerms(const std::vector<Observation>& observations, const Prior& prior, Vector& p) {
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
    if (!inverted(normal, inverse)) return false;
    double moved = 0;
    for (int i = 0; i < kTerms; ++i) {
      double step = 0;
      for (int j = 0; j < kTerms; ++j) step += inverse[i][j] * g[j];
      p[i] += step;
      moved = std::max(moved, std::fabs(step) / prior.width[i]);
    }
    if (!std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); })) return false;
    if (moved < 1e-9) break;
  }
  return true;
}

// The terms at one frequency from `observations`, starting from `start`.
Fit fitTerms(const std::vector<Observation>& observations, const Prior& prior, Vector start) {
  Fit out;
  Vector p = start;
  if (!bestTerms(observations, prior, p)) return out;
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

std::string atText(double mhz) { return " at " + common::shortestText(mhz, 6) + " MHz"; }

// The readings at point i that the fit takes, with what each may be off by.
std::vector<Observation> observationsAt(const CalibrationRun& run, int i, const BridgeFigures& f,
                                        const Prior& prior) {
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
  return observations;
}

// What was measured as a standard and does not read as one (at more than one
// frequency in twenty), said as the fault; empty when each reads as itself.
std::string misreadStandard(const CalibrationRun& run, const BridgeFigures& f) {
  const auto& catalog = calibrationStandards();
  for (size_t k = 0; k < run.standards.size(); ++k) {
    const MeasuredStandard& s = *run.standards[k];
    int wrong = 0;
    double firstMHz = 0;
    for (int i = 0; i <= run.points; ++i)
      if (!readsAsItself(s, static_cast<size_t>(i), run.frequencyMHz(i), f) && wrong++ == 0)
        firstMHz = run.frequencyMHz(i);
    if (wrong * 20 > run.points + 1)
      return std::string("What was measured as the ") + catalog[k].name + " (" +
             standardValueText(s.value) + ") does not read as one" + atText(firstMHz) + " and " +
             std::to_string(wrong - 1) +
             " more frequencies: was another standard connected, or is its value another? "
             "Measure it again.";
  }
  return {};
}

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
  out.fault = misreadStandard(run, f);
  if (!out.fault.empty()) return out;
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
    const std::vector<Observation> observations = observationsAt(run, i, f, prior);
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
  out += "directivity_pm_max=" + common::shortestText(r.directivityPmMax, 4) + "\n";
  out += "tracking_pm_max=" + common::shortestText(r.trackingPmMax, 4) + "\n";
  out += "source_match_pm_max=" + common::shortestText(r.sourceMatchPmMax, 4) + "\n";
  out += "slope_pm_max=" + common::shortestText(r.countsPerDbPmMax, 4) + "\n";
  return out;
}
}  // namespace kolm::analyzer
