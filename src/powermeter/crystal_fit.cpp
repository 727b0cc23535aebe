#include "powermeter/crystal_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>
#include <span>

#include "chart/edges.h"
#include "chart/scale.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"

namespace kolm::powermeter {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kDbPerNeper = 20 / std::numbers::ln10;
constexpr int kParameters = 4;  // Fs (Hz), ln R, ln L, ln C0
// A -3 dB width needs this many sweep steps for the curve to pin four parameters.
constexpr double kMinStepsAcrossWidth = 8;
// Without a notch to measure it, C0 is taken as at most this in the edge
// estimate's bound on how far it pulls the -3 dB points.
constexpr double kLargestC0 = 10e-12;
constexpr int kMaxIterations = 200;

using Vec = std::array<double, kParameters>;
using Mat = std::array<Vec, kParameters>;

// The inverse of a symmetric positive definite matrix (Gauss-Jordan with
// partial pivoting); empty when it is singular.
std::optional<Mat> inverse(Mat a) {
  Mat inv{};
  for (int i = 0; i < kParameters; ++i) inv[i][i] = 1;
  for (int c = 0; c < kParameters; ++c) {
    int pivot = c;
    for (int r = c + 1; r < kParameters; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 0)) return std::nullopt;
    std::swap(a[c], a[pivot]);
    std::swap(inv[c], inv[pivot]);
    const double d = a[c][c];
    for (int k = 0; k < kParameters; ++k) {
      a[c][k] /= d;
      inv[c][k] /= d;
    }
    for (int r = 0; r < kParameters; ++r) {
      if (r == c) continue;
      const double m = a[r][c];
      for (int k = 0; k < kParameters; ++k) {
        a[r][k] -= m * a[c][k];
        inv[r][k] -= m * inv[c][k];
      }
    }
  }
  for (const Vec& row : inv)
    for (double v : row)
      if (!std::isfinite(v)) return std::nullopt;
  return inv;
}

Vec times(const Mat& m, const Vec& v) {
  Vec out{};
  for (int i = 0; i < kParameters; ++i)
    for (int k = 0; k < kParameters; ++k) out[i] += m[i][k] * v[k];
  return out;
}

double dot(const Vec& a, const Vec& b) {
  double s = 0;
  for (int i = 0; i < kParameters; ++i) s += a[i] * b[i];
  return s;
}

CrystalModel modelOf(const Vec& x) {
  return {x[0], std::exp(x[1]), std::exp(x[2]), std::exp(x[3])};
}

// The points the fit uses: frequency, measured level and through level.
struct Curve {
  std::vector<double> fHz, level, through;
  // Each level's weight: 1 / its expected error squared (the read-out's and
  // the detector's, which grows with the loss).
  std::vector<double> weight;
  double r0 = 50;
  size_t size() const { return fHz.size(); }
};

// The model's level at point i and, when `gradient` is given, its derivatives
// by the four parameters.
double modelLevel(const Curve& c, const Vec& x, size_t i, Vec* gradient) {
  const double w = kTwoPi * c.fHz[i];
  const double ws = kTwoPi * x[0];
  const double r = std::exp(x[1]), l = std::exp(x[2]), c0 = std::exp(x[3]);
  const double reactance = l * (w - ws) * (w + ws) / w;
  const std::complex<double> zm(r, reactance);
  const std::complex<double> z = 1.0 / (1.0 / zm + std::complex<double>(0, w * c0));
  const std::complex<double> d = c.r0 + z;
  const double level = c.through[i] - 10 * std::log10(std::norm(d) / (c.r0 * c.r0));
  if (gradient) {
    const std::complex<double> byZm = (z / zm) * (z / zm);
    const std::complex<double> dz[kParameters] = {
        byZm * std::complex<double>(0, -2 * l * ws * kTwoPi / w), byZm * r,
        byZm * std::complex<double>(0, reactance), -z * z * std::complex<double>(0, w * c0)};
    for (int k = 0; k < kParameters; ++k) (*gradient)[k] = -kDbPerNeper * std::real(dz[k] / d);
  }
  return level;
}

double cost(const Curve& c, const Vec& x) {
  double s = 0;
  for (size_t i = 0; i < c.size(); ++i) {
    const double r = c.level[i] - modelLevel(c, x, i, nullptr);
    s += c.weight[i] * r * r;
  }
  return std::isfinite(s) ? s : HUGE_VAL;
}

struct Normal {
  Mat a{};  // J^T J
  Vec g{};  // J^T residual
};

Normal normalEquations(const Curve& c, const Vec& x) {
  Normal n;
  Vec grad;
  for (size_t i = 0; i < c.size(); ++i) {
    const double r = c.level[i] - modelLevel(c, x, i, &grad);
    const double w = c.weight[i];
    for (int j = 0; j < kParameters; ++j) {
      n.g[j] += w * grad[j] * r;
      for (int k = 0; k <= j; ++k) n.a[j][k] += w * grad[j] * grad[k];
    }
  }
  for (int j = 0; j < kParameters; ++j)
    for (int k = j + 1; k < kParameters; ++k) n.a[j][k] = n.a[k][j];
  return n;
}

struct Solution {
  Vec x{};
  double cost = HUGE_VAL;
  bool converged = false;
};

// Levenberg-Marquardt with Marquardt's scaling of the damping.
Solution levenbergMarquardt(const Curve& c, Vec x) {
  Solution s;
  double current = cost(c, x);
  double lambda = 1e-3;
  for (int iteration = 0; iteration < kMaxIterations && std::isfinite(current); ++iteration) {
    const Normal n = normalEquations(c, x);
    bool improved = false;
    while (lambda < 1e12) {
      Mat damped = n.a;
      for (int j = 0; j < kParameters; ++j) damped[j][j] += lambda * n.a[j][j];
      const auto inv = inverse(damped);
      if (!inv) {
        lambda *= 10;
        continue;
      }
      const Vec step = times(*inv, n.g);
      Vec next = x;
      for (int j = 0; j < kParameters; ++j) next[j] += step[j];
      const double trial = cost(c, next);
      if (trial < current) {
        const double gain = current - trial;
        x = next;
        lambda = std::max(lambda / 4, 1e-9);
        improved = true;
        if (gain <= 1e-10 * current + 1e-24) {
          s.converged = true;
          current = trial;
          s.x = x;
          s.cost = current;
          return s;
        }
        current = trial;
        break;
      }
      lambda *= 4;
    }
    if (!improved) {
      // No step lowers the cost: at a minimum (or stuck where the cost is flat).
      s.converged = true;
      break;
    }
  }
  s.x = x;
  s.cost = current;
  return s;
}

// A derived value's gradient by the parameters, by central differences.
template <class F>
Vec gradientOf(F h, const Vec& x) {
  Vec grad{};
  for (int k = 0; k < kParameters; ++k) {
    const double step = k == 0 ? std::max(1e-6, std::fabs(x[0]) * 1e-10) : 1e-6;
    Vec up = x, down = x;
    up[k] += step;
    down[k] -= step;
    grad[k] = (h(up) - h(down)) / (2 * step);
  }
  return grad;
}

// What the fit knows about its parameters.
struct Spread {
  Mat covariance{};
  Vec throughShift{};  // how far the parameters move per dB of through-path error
  double throughPm = 0;
  // How far the parameters move per dB at each point, and each point's loss
  // below the through path (the model's), the points by rising loss.
  std::vector<Vec> perPoint;
  std::vector<double> loss;
  std::vector<size_t> byLoss;
  double differenceFraction = 0;
};

// The most a derived value with these per-point sensitivities can move when
// the detector's error on each level, as a function of the level, changes by
// at most `fraction` of any change in level and is 0 at the through level. A
// detector's conformance error is smooth (it turns over once per stage gain,
// some 10 to 15 dB), so its slope is taken as constant over each stretch of
// kConformanceStepDb and free within the bound from one stretch to the next:
// the worst case is fraction x the sum over the stretches of |the integral
// over the stretch of the sensitivities of the points lossier than u|.
constexpr double kConformanceStepDb = 3;

double conformanceBound(const std::vector<double>& weight, const Spread& s) {
  double total = 0;
  for (double w : weight) total += w;
  double bound = 0, stretch = 0, below = 0, stretchEnd = kConformanceStepDb;
  auto advance = [&](double to) {
    // Up to `to`, closing the stretches passed on the way.
    while (to > stretchEnd) {
      stretch += total * (stretchEnd - below);
      below = stretchEnd;
      bound += std::fabs(stretch);
      stretch = 0;
      stretchEnd += kConformanceStepDb;
    }
    stretch += total * (to - below);
    below = to;
  };
  for (size_t i : s.byLoss) {
    advance(s.loss[i]);
    total -= weight[i];
  }
  bound += std::fabs(stretch);
  return bound * s.differenceFraction;
}

template <class F>
Measured measured(F h, const Vec& x, const Spread& spread) {
  Measured m;
  m.value = h(x);
  const Vec grad = gradientOf(h, x);
  m.stat = std::sqrt(std::max(0.0, dot(grad, times(spread.covariance, grad))));
  std::vector<double> weight(spread.perPoint.size());
  for (size_t i = 0; i < weight.size(); ++i) weight[i] = dot(grad, spread.perPoint[i]);
  m.sys = std::fabs(dot(grad, spread.throughShift)) * spread.throughPm +
          conformanceBound(weight, spread);
  m.pm = 2 * m.stat + m.sys;
  return m;
}

Measured plain(double value, double pm) { return {value, pm, 0, pm, 0}; }

// The frequency of every point: at its rounded tuning word when the clock is
// known (as the sweep sends them), else evenly spaced.
std::vector<double> pointFrequenciesHz(const CrystalSweep& s, double clockMHz) {
  std::vector<double> f(static_cast<size_t>(s.Points) + 1);
  if (clockMHz > 0) {
    const double perMHz = 4294967296.0 / clockMHz;
    const double first = common::roundHalfEven(s.TraceStart * perMHz);
    const double last = common::roundHalfEven(s.TraceStop * perMHz);
    const double step = (last - first) / s.Points;
    double word = first;
    for (size_t i = 0; i < f.size(); ++i) {
      f[i] = common::roundHalfEven(word) / perMHz * 1e6;
      word += step;
    }
  } else {
    for (size_t i = 0; i < f.size(); ++i)
      f[i] =
          chart::pointFrequency(s.TraceStart, s.TraceStop, s.Points, static_cast<double>(i)) * 1e6;
  }
  return f;
}

// The crystal's resistance from the loss at resonance against the through path.
double resistanceFromLoss(double lossDb, double r0) {
  return r0 * (std::pow(10.0, lossDb / 20) - 1);
}

}  // namespace

double CrystalModel::csFarad() const {
  const double w = kTwoPi * fsHz;
  return 1 / (w * w * lHenry);
}

double CrystalModel::fpHz() const { return fsHz * std::sqrt(1 + csFarad() / c0Farad); }

double CrystalModel::q() const { return kTwoPi * fsHz * lHenry / rOhm; }

std::complex<double> CrystalModel::impedance(double fHz) const {
  const double w = kTwoPi * fHz, ws = kTwoPi * fsHz;
  const std::complex<double> zm(rOhm, lHenry * (w - ws) * (w + ws) / w);
  if (!(c0Farad > 0)) return zm;
  return 1.0 / (1.0 / zm + std::complex<double>(0, w * c0Farad));
}

std::complex<double> fixtureTransfer(const CrystalModel& crystal, double r0Ohm, double fHz) {
  return r0Ohm / (r0Ohm + crystal.impedance(fHz));
}

ThroughLevel throughLevel(const ReferenceTable& table, double fMHz, double countDb) {
  // Entry i was measured at 0.1 + i x 160.1 / 1600 MHz (the pass steps by the
  // sum of its end words).
  constexpr double kFirst = 0.1, kStep = 160.1 / 1600, kHalfWidth = 1.0;
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = 0; i < kRifEntries; ++i) {
    const double x = kFirst + i * kStep - fMHz;
    if (std::fabs(x) > kHalfWidth) continue;
    const double y = table[static_cast<size_t>(i)];
    n += 1;
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  ThroughLevel t;
  if (n == 0) {
    const int i =
        std::clamp(static_cast<int>(std::lround((fMHz - kFirst) / kStep)), 0, kRifEntries - 1);
    t.levelDb = table[static_cast<size_t>(i)];
    t.pmDb = countDb / 2;
    return t;
  }
  const double det = n * sxx - sx * sx;
  t.slopeDbPerMHz = n > 2 && det > 0 ? (n * sxy - sx * sy) / det : 0;
  t.levelDb = (sy - t.slopeDbPerMHz * sx) / n;
  double ss = 0;
  for (int i = 0; i < kRifEntries; ++i) {
    const double x = kFirst + i * kStep - fMHz;
    if (std::fabs(x) > kHalfWidth) continue;
    const double r = table[static_cast<size_t>(i)] - (t.levelDb + t.slopeDbPerMHz * x);
    ss += r * r;
  }
  const double sd = n > 2 ? std::sqrt(ss / (n - 2)) : 0;
  // Noise averages down; quantisation leaves a bias in the mean that noise
  // of sd dithers away (half a count without any noise).
  const double dithered =
      countDb > 0 ? std::exp(-2 * std::pow(std::numbers::pi * sd / countDb, 2)) : 0;
  t.pmDb = 2 * sd / std::sqrt(n) + countDb / 2 * dithered;
  return t;
}

int decimalsFor(double pm, int fallback) {
  if (!(pm > 0) || !std::isfinite(pm)) return fallback;
  int decimals = 1 - static_cast<int>(std::floor(std::log10(pm)));
  // 0.0996 shows as 0.10: one decimal fewer.
  const double scale = std::pow(10.0, decimals);
  if (std::round(pm * scale) >= 100) --decimals;
  return decimals;
}

double roundToDecimals(double value, int decimals) {
  if (decimals >= 0) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    return std::isfinite(rounded) ? rounded : value;
  }
  const double unit = std::pow(10.0, -decimals);
  return std::round(value / unit) * unit;
}

DeservedText deservedText(double value, double pm, int fallback) {
  const int decimals = decimalsFor(pm, fallback);
  const std::string pattern =
      decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
  return {common::formatPattern(roundToDecimals(value, decimals), pattern),
          common::formatPattern(roundToDecimals(pm, decimals), pattern)};
}

std::optional<float> r0FromText(std::string_view text) {
  const auto v = common::typedNumber(text).value;
  if (!v || !(*v > 0) || !common::fitsSingle(*v) || !(static_cast<float>(*v) > 0))
    return std::nullopt;
  return static_cast<float>(*v);
}

CrystalParameters fitCrystal(const CrystalFitInput& in) {
  CrystalParameters p;
  const CrystalSweep& s = in.sweep;
  const int n = s.Points;
  if (n < kMinCrystalPoints || s.trace.size() <= static_cast<size_t>(n)) {
    p.error = KOLM_TR("kolm", "The sweep needs at least 7 points.");
    return p;
  }
  if (!(in.r0Ohm > 0)) {
    p.error = common::arg(KOLM_TR("kolm", "R0 is 0 ohm: enter the fixture's resistance with %1."),
                          {menuPath({"CrystalMeter", "calQuarz"})});
    return p;
  }
  if (!(s.TraceStop > s.TraceStart)) {
    p.error = KOLM_TR("kolm", "The sweep has no span.");
    return p;
  }
  if (!in.calibration.usable()) {
    p.error = KOLM_TR("kolm", "The calibration counts are equal: no level can be read.");
    return p;
  }
  const double countDb = 60.0 / std::abs(in.calibration.Cal0 - in.calibration.Cal60);
  const LevelLimits limits = levelLimits(in.calibration);
  const std::vector<double> fHz = pointFrequenciesHz(s, in.clockMHz);
  p.stepHz = (fHz.back() - fHz.front()) / n;
  const auto usable = [&](size_t i) {
    return std::isfinite(s.trace[i]) && limits.flag(s.trace[i]) == LevelFlag::Valid;
  };

  // The peak, the interpolated -3 dB points and the loss there.
  size_t peak = fHz.size();
  for (size_t i = 0; i < fHz.size(); ++i)
    if (usable(i) && (peak == fHz.size() || s.trace[i] > s.trace[peak])) peak = i;
  if (peak == fHz.size()) {
    p.error = KOLM_TR("kolm", "No level of the sweep lies above the detector's floor.");
    return p;
  }
  const double top = s.trace[peak];
  const chart::Edges edges = chart::walkEdges(
      std::span<const double>(fHz), [&](size_t i) { return double{s.trace[i]}; }, usable,
      [](size_t) { return false; }, peak, top - 3, true);
  const double centreHz = edges.width() ? (*edges.low + *edges.high) / 2 : fHz[peak];
  if (!(centreHz / 1e6 >= 0.05 && centreHz / 1e6 <= 160.2)) {
    p.error = KOLM_TR("kolm",
                      "The series resonance lies outside the through-path reference (0.1 to "
                      "160 MHz).");
    return p;
  }
  const ThroughLevel through = throughLevel(in.through, centreHz / 1e6, countDb);
  const auto throughAt = [&](double f) {
    return through.levelDb + through.slopeDbPerMHz * (f - centreHz) / 1e6;
  };
  const double r0 = in.r0Ohm;
  const double loss = throughAt(fHz[peak]) - top;
  const double rEdge = resistanceFromLoss(loss, r0);
  const double dRdLoss = r0 * std::pow(10.0, loss / 20) * std::numbers::ln10 / 20;

  // The edge estimate: what a sweep too coarse or too narrow for the fit gives.
  auto edgeEstimate = [&](std::string why) {
    CrystalParameters e;
    e.method = CrystalMethod::Edges;
    e.fallback = std::move(why);
    e.stepHz = p.stepHz;
    // The peak read between two points lies up to half a step off the top.
    double lossPm = through.pmDb + in.terms.differenceFraction * std::fabs(loss) + countDb / 2;
    if (edges.width()) lossPm += 10 * std::log10(1 + std::pow(p.stepHz / *edges.width(), 2));
    e.rOhm = plain(rEdge, dRdLoss * lossPm);
    double fsPm = p.stepHz / 2;
    if (edges.width()) {
      const double bw = *edges.width();
      const double l = (rEdge + r0) / (kTwoPi * bw);
      // C0 pulls both -3 dB points; the notch gives it, else a large one is assumed.
      double c0 = kLargestC0;
      std::optional<double> notchHz;
      size_t low = peak;
      for (size_t i = peak; i < fHz.size(); ++i)
        if (usable(i) && s.trace[i] < s.trace[low]) low = i;
      if (low + 1 < fHz.size() && low > peak && s.trace[low] + 1 < s.trace[fHz.size() - 1])
        notchHz = fHz[low];
      const double cs = 1 / std::pow(kTwoPi * centreHz, 2) / l;
      if (notchHz && *notchHz > centreHz) {
        c0 = cs / (std::pow(*notchHz / centreHz, 2) - 1);
        const double c0Pm = c0 * (2 * p.stepHz / (*notchHz - centreHz));
        e.c0PicoFarad = plain(c0 * 1e12, c0Pm * 1e12);
        e.fpMHz = plain(*notchHz / 1e6, p.stepHz / 1e6);
      }
      const double w = kTwoPi * centreHz;
      fsPm += 2 * w * c0 * std::pow(r0 + rEdge, 2) / (2 * kTwoPi * l);
      // Each interpolated -3 dB point may be off by up to a step on a coarse sweep.
      const double lRel = p.stepHz / bw + e.rOhm.pm / (rEdge + r0);
      e.lMilliHenry = plain(l * 1e3, l * 1e3 * lRel);
      e.csFemtoFarad = plain(cs * 1e15, cs * 1e15 * (lRel + 2 * fsPm / centreHz));
      const double q = w * l / rEdge;
      e.q = plain(q, std::fabs(q) * (lRel + e.rOhm.pm / std::fabs(rEdge)));
    }
    e.fsMHz = plain(centreHz / 1e6, fsPm / 1e6);
    return e;
  };

  if (!edges.width())
    return edgeEstimate(KOLM_TR("kolm",
                                "The level does not fall 3 dB on both sides of the peak inside "
                                "the sweep: too little of the curve to fit."));
  const double bw = *edges.width();
  if (bw / p.stepHz < kMinStepsAcrossWidth)
    return edgeEstimate(
        common::arg(KOLM_TR("kolm",
                            "The -3 dB width covers only %1 sweep steps: too few to fit. "
                            "Narrow the span or take more points."),
                    {common::shortestText(bw / p.stepHz, 2)}));

  // The curve: every usable point.
  Curve curve;
  curve.r0 = r0;
  std::vector<double> tdiff;
  for (size_t i = 0; i < fHz.size(); ++i) {
    if (!usable(i)) continue;
    curve.fHz.push_back(fHz[i]);
    curve.level.push_back(s.trace[i]);
    curve.through.push_back(throughAt(fHz[i]));
    const double lossDb = std::max(0.0, curve.through.back() - curve.level.back());
    curve.weight.push_back(
        1 / (countDb * countDb / 4 + std::pow(in.terms.differenceFraction * lossDb, 2)));
  }
  if (curve.size() < 3 * kParameters)
    return edgeEstimate(KOLM_TR("kolm", "Too few levels above the detector's floor to fit."));

  // Starts: the edges' centre, R from the loss, L from the width; C0 from a few
  // holder capacitances, the best fit kept.
  const double rStart = std::max(rEdge, 0.01 * r0);
  const double lStart = (rStart + r0) / (kTwoPi * bw);
  Solution best;
  for (double c0 : {2e-12, 5e-12, 15e-12}) {
    const Solution sol =
        levenbergMarquardt(curve, {centreHz, std::log(rStart), std::log(lStart), std::log(c0)});
    if (sol.converged && sol.cost < best.cost) best = sol;
  }
  const CrystalModel fitted = modelOf(best.x);
  if (!std::isfinite(best.cost) || !(fitted.rOhm > 0) || !std::isfinite(fitted.lHenry))
    return edgeEstimate(KOLM_TR("kolm", "The fit of the crystal's circuit did not converge."));
  if (fitted.fsHz < fHz.front() || fitted.fsHz > fHz.back())
    return edgeEstimate(KOLM_TR(
        "kolm", "The fitted series resonance lies outside the sweep: the fit is not used."));

  // The fit's covariance and the shifts the stated error terms can cause.
  const Normal normal = normalEquations(curve, best.x);
  const auto inv = inverse(normal.a);
  if (!inv)
    return edgeEstimate(
        KOLM_TR("kolm", "The curve does not pin down all four parameters of the crystal."));
  // The covariance from the residuals as they are (the sandwich form), so that
  // weights that misjudge the noise do not misjudge the intervals.
  const double dof = static_cast<double>(curve.size()) - kParameters;
  Mat meat{};
  {
    Vec g;
    for (size_t i = 0; i < curve.size(); ++i) {
      const double r = curve.weight[i] * (curve.level[i] - modelLevel(curve, best.x, i, &g));
      for (int j = 0; j < kParameters; ++j)
        for (int k = 0; k < kParameters; ++k) meat[j][k] += r * r * g[j] * g[k];
    }
  }
  Spread spread;
  for (int j = 0; j < kParameters; ++j)
    for (int k = 0; k < kParameters; ++k) {
      double v = 0;
      for (int a = 0; a < kParameters; ++a)
        for (int b = 0; b < kParameters; ++b) v += (*inv)[j][a] * meat[a][b] * (*inv)[b][k];
      spread.covariance[j][k] = v * static_cast<double>(curve.size()) / dof;
    }
  Vec jOne{};
  Vec grad;
  spread.perPoint.resize(curve.size());
  spread.loss.resize(curve.size());
  for (size_t i = 0; i < curve.size(); ++i) {
    const double m = modelLevel(curve, best.x, i, &grad);
    for (int k = 0; k < kParameters; ++k) {
      grad[k] *= curve.weight[i];
      jOne[k] += grad[k];
    }
    spread.perPoint[i] = times(*inv, grad);
    spread.loss[i] = std::max(0.0, curve.through[i] - m);
  }
  spread.byLoss.resize(curve.size());
  std::iota(spread.byLoss.begin(), spread.byLoss.end(), size_t{0});
  std::sort(spread.byLoss.begin(), spread.byLoss.end(),
            [&](size_t a, size_t b) { return spread.loss[a] < spread.loss[b]; });
  spread.throughShift = times(*inv, jOne);
  spread.throughPm = through.pmDb;
  spread.differenceFraction = in.terms.differenceFraction;

  p.method = CrystalMethod::Fit;
  p.points = static_cast<int>(curve.size());
  double squares = 0;
  for (size_t i = 0; i < curve.size(); ++i)
    squares += std::pow(curve.level[i] - modelLevel(curve, best.x, i, nullptr), 2);
  p.rmsDb = std::sqrt(squares / static_cast<double>(curve.size()));
  p.fsMHz = measured([](const Vec& x) { return x[0] / 1e6; }, best.x, spread);
  p.rOhm = measured([](const Vec& x) { return std::exp(x[1]); }, best.x, spread);
  p.lMilliHenry = measured([](const Vec& x) { return std::exp(x[2]) * 1e3; }, best.x, spread);
  p.c0PicoFarad = measured([](const Vec& x) { return std::exp(x[3]) * 1e12; }, best.x, spread);
  p.csFemtoFarad =
      measured([](const Vec& x) { return modelOf(x).csFarad() * 1e15; }, best.x, spread);
  p.fpMHz = measured([](const Vec& x) { return modelOf(x).fpHz() / 1e6; }, best.x, spread);
  p.q = measured([](const Vec& x) { return modelOf(x).q(); }, best.x, spread);
  return p;
}

CrystalParameters combineRepeats(const std::vector<CrystalParameters>& passes) {
  if (passes.empty()) return {};
  if (passes.size() == 1) return passes.front();
  CrystalParameters out = passes.front();
  const double count = static_cast<double>(passes.size());
  out.repeats = static_cast<int>(passes.size());
  for (const CrystalParameters& p : passes)
    if (p.method == CrystalMethod::Edges) {
      out.method = CrystalMethod::Edges;
      out.fallback = p.fallback;
    }
  auto combine = [&](auto member) -> std::optional<Measured> {
    std::vector<Measured> values;
    for (const CrystalParameters& p : passes) {
      const std::optional<Measured> v = member(p);
      if (!v) return std::nullopt;
      values.push_back(*v);
    }
    Measured m;
    double stat = 0;
    for (const Measured& v : values) {
      m.value += v.value / count;
      stat += v.stat / count;
      m.sys = std::max(m.sys, v.sys);
    }
    double ss = 0;
    for (const Measured& v : values) ss += (v.value - m.value) * (v.value - m.value);
    m.sd = std::sqrt(ss / (count - 1));
    m.stat = std::max(m.sd, stat) / std::sqrt(count);
    m.pm = 2 * m.stat + m.sys;
    return m;
  };
  out.fsMHz = *combine([](const CrystalParameters& p) { return std::optional(p.fsMHz); });
  out.rOhm = *combine([](const CrystalParameters& p) { return std::optional(p.rOhm); });
  out.fpMHz = combine([](const CrystalParameters& p) { return p.fpMHz; });
  out.lMilliHenry = combine([](const CrystalParameters& p) { return p.lMilliHenry; });
  out.csFemtoFarad = combine([](const CrystalParameters& p) { return p.csFemtoFarad; });
  out.c0PicoFarad = combine([](const CrystalParameters& p) { return p.c0PicoFarad; });
  out.q = combine([](const CrystalParameters& p) { return p.q; });
  double rms = 0;
  for (const CrystalParameters& p : passes) rms += p.rmsDb / count;
  out.rmsDb = rms;
  return out;
}

namespace {

// A value with the decimals its interval deserves, in a display pattern whose
// decimals are grouped by three when `grouped`.
std::string valueText(double value, double pm, int fallbackDecimals, bool thousands = false) {
  const int decimals = decimalsFor(pm, fallbackDecimals);
  std::string pattern = thousands ? "#,##0" : "0";
  for (int k = 0; k < decimals; ++k) pattern += k == 0 ? ".0" : "0";
  return common::formatPattern(roundToDecimals(value, decimals), pattern, ' ');
}

std::string pmText(double pm, bool thousands = false) { return valueText(pm, pm, 0, thousands); }

std::string line(const Measured& m, double scale, int fallbackDecimals, std::string_view unit,
                 bool thousands = false) {
  return valueText(m.value * scale, m.pm * scale, fallbackDecimals, thousands) + std::string(unit) +
         " \u00b1 " + pmText(m.pm * scale, thousands) + std::string(unit);
}

std::string frequencyLine(const std::optional<Measured>& m) {
  if (!m) return " ";
  // MHz to the digits the interval deserves (at least to the hertz), the
  // interval itself in hertz.
  const int decimals = std::max(6, decimalsFor(m->pm, 6));
  std::string pattern = "0.";
  for (int k = 0; k < decimals; ++k) {
    if (k > 0 && k % 3 == 0) pattern += ' ';
    pattern += '0';
  }
  return common::formatPattern(m->value, pattern) + " MHz \u00b1 " + pmText(m->pm * 1e6) + " Hz";
}

}  // namespace

std::string crystalParametersReport(const CrystalParameters& p) {
  std::string text = "Fs  " + frequencyLine(p.fsMHz) + "\n";
  text += "Fp  " + frequencyLine(p.fpMHz) + "\n";
  text += "Q:  " + (p.q ? line(*p.q, 1, 0, "", true) : std::string(" ")) + "\n\n";
  text += "R: " + line(p.rOhm, 1, 1, " \u03a9");
  if (!p.lMilliHenry)
    text += "\nL(microH):  ";
  else if (p.lMilliHenry->value > 1)
    text += "\nL(mH): " + line(*p.lMilliHenry, 1, 2, "");
  else
    text += "\nL(microH): " + line(*p.lMilliHenry, 1e3, 3, "");
  if (!p.csFemtoFarad)
    text += "\nCs(fF):  ";
  else if (p.csFemtoFarad->value < 1000)
    text += "\nCs(fF): " + line(*p.csFemtoFarad, 1, 1, "");
  else
    text += "\nCs(pF): " + line(*p.csFemtoFarad, 1e-3, 2, "");
  if (p.c0PicoFarad) text += "\nC0(pF): " + line(*p.c0PicoFarad, 1, 2, "");
  text += "\n\n";
  if (p.method == CrystalMethod::Fit)
    text += common::arg(KOLM_TR("kolm",
                                "Fitted to %1 levels (rms residual %2 dB); intervals hold the "
                                "fit's noise, the read-out's resolution and the detector's "
                                "stated error."),
                        {std::to_string(p.points), common::formatPattern(p.rmsDb, "0.000")});
  else
    text += KOLM_TR("kolm", "From the peak and the interpolated -3 dB points, not fitted: ") +
            p.fallback;
  if (p.repeats > 1)
    text += "\n" + common::arg(KOLM_TR("kolm", "Mean of %1 passes."), {std::to_string(p.repeats)});
  return text;
}

}  // namespace kolm::powermeter
