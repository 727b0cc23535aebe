#include "powermeter/crystal_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>
#include <span>

#include "chart/edges.h"
#include "common/constants.h"
#include "common/text.h"
#include "common/tr.h"
#include "powermeter/crystal_curve.h"

namespace kolm::powermeter {

namespace {

constexpr double kDbPerNeper = 20 / std::numbers::ln10;
constexpr int kParameters = 4;  // Fs (Hz), ln R, ln L, ln C0
// A -3 dB width needs this many sweep steps for the curve to pin four parameters.
constexpr double kMinStepsAcrossWidth = 8;
constexpr int kMaxIterations = 200;
// A fit's level may lie this many times a level's stated error off it.
constexpr double kResidualShare = 1.5;

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
  // What each loss may be misread by.
  const LossError* error = nullptr;
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

// The sum above for the points s.byLoss[begin, end), the error 0 at `start`.
double stretchBound(const std::vector<double>& weight, const Spread& s, size_t begin, size_t end,
                    double start) {
  double total = 0;
  for (size_t k = begin; k < end; ++k) total += weight[s.byLoss[k]];
  double bound = 0, stretch = 0, below = start, stretchEnd = start + kConformanceStepDb;
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
  for (size_t k = begin; k < end; ++k) {
    advance(std::max(start, s.loss[s.byLoss[k]]));
    total -= weight[s.byLoss[k]];
  }
  return bound + std::fabs(stretch);
}

double conformanceBound(const std::vector<double>& weight, const Spread& s) {
  return stretchBound(weight, s, 0, s.byLoss.size(), 0) * s.differenceFraction;
}

// With the losses corrected through the fixture's steps, what is left is each
// step's own tolerance, spread linearly between its neighbours (and beyond
// the last, in proportion to the loss), and between two steps a conformance
// error pinned at the earlier one, whose slope may lie 2 x the conformance
// off the straight line between them.
double stepsBound(const std::vector<double>& weight, const Spread& s, const LossCorrection& c) {
  const std::vector<LossKnot>& knots = c.knots();
  double bound = 0;
  for (size_t k = 1; k < knots.size(); ++k) {
    const double lo = knots[k - 1].trueDb, at = knots[k].trueDb;
    const double hi = k + 1 < knots.size() ? knots[k + 1].trueDb : HUGE_VAL;
    double share = 0;
    for (size_t i = 0; i < weight.size(); ++i) {
      const double l = s.loss[i];
      if (l > lo && l <= at)
        share += weight[i] * (l - lo) / (at - lo);
      else if (l > at && l < hi)
        share += weight[i] * (std::isfinite(hi) ? (hi - l) / (hi - at) : l / at);
    }
    bound += knots[k].pmDb * std::fabs(share);
  }
  size_t begin = 0;
  for (size_t k = 1; k <= knots.size(); ++k) {
    const double end = k < knots.size() ? knots[k].trueDb : HUGE_VAL;
    size_t stop = begin;
    while (stop < s.byLoss.size() && s.loss[s.byLoss[stop]] <= end) ++stop;
    bound += 2 * s.differenceFraction * stretchBound(weight, s, begin, stop, knots[k - 1].trueDb);
    begin = stop;
  }
  return bound;
}

// With the losses corrected through the fixture's steps, the error is a
// function of the loss bounded by the correction at each loss: points of
// nearly equal loss (within a bin) share it, and the bins are free within
// their bound.
constexpr double kLossBinDb = 0.25;

template <class Bound>
double binnedBound(const std::vector<double>& weight, const Spread& s, Bound bound) {
  double total = 0, bin = 0, binEnd = -HUGE_VAL, binBound = 0;
  for (size_t i : s.byLoss) {
    if (s.loss[i] > binEnd) {
      total += std::fabs(bin) * binBound;
      bin = 0;
      binEnd = s.loss[i] + kLossBinDb;
      binBound = bound(binEnd);
    }
    bin += weight[i];
  }
  return total + std::fabs(bin) * binBound;
}

// How far a value moves when every loss is read a fraction 1 too large (the
// slope's error is one scale for all levels).
double slopeShift(const std::vector<double>& weight, const Spread& s) {
  double shift = 0;
  for (size_t i = 0; i < weight.size(); ++i) shift += weight[i] * s.loss[i];
  return std::fabs(shift);
}

template <class F>
Measured measured(F h, const Vec& x, const Spread& spread) {
  Measured m;
  m.value = h(x);
  const Vec grad = gradientOf(h, x);
  m.stat = std::sqrt(std::max(0.0, dot(grad, times(spread.covariance, grad))));
  std::vector<double> weight(spread.perPoint.size());
  for (size_t i = 0; i < weight.size(); ++i) weight[i] = dot(grad, spread.perPoint[i]);
  const LossError& e = *spread.error;
  m.sys = std::fabs(dot(grad, spread.throughShift)) * spread.throughPm +
          (e.correction ? stepsBound(weight, spread, *e.correction)
                        : conformanceBound(weight, spread) + e.slope * slopeShift(weight, spread)) +
          binnedBound(weight, spread, [&](double l) { return e.noise(l); });
  m.common = m.sys;
  m.pm = 2 * m.stat + m.sys;
  return m;
}

// A solution's values: finite, the resonance inside the sweep, a crystal's
// ranges (C0 from 0.01 pF to 1 nF, above Cs; Q of 20 at least).
std::string physicalProblem(const CrystalModel& m, const CrystalCurve& c) {
  if (!std::isfinite(m.fsHz) || !(m.rOhm > 0) || !std::isfinite(m.lHenry) || !(m.lHenry > 0) ||
      !std::isfinite(m.c0Farad))
    return KOLM_TR("kolm", "it did not converge");
  if (m.fsHz < c.fHz.front() || m.fsHz > c.fHz.back())
    return KOLM_TR("kolm", "its series resonance lies outside the sweep");
  if (m.c0Farad < 0.01e-12 || m.c0Farad > 1e-9 || !(m.csFarad() < m.c0Farad) || m.q() < 20)
    return common::arg(KOLM_TR("kolm", "its values are no crystal's (C0 %1 pF, Q %2)"),
                       {common::shortestText(m.c0Farad * 1e12, 3), common::shortestText(m.q(), 3)});
  return {};
}

// A solution against the sweep: its Fp inside the notch the sweep shows, its
// curve within the levels' stated error of them (three times it, at all but
// a few points), and below the detector's floor where the sweep reads it.
std::string curveProblem(const CrystalModel& m, const CrystalCurve& c, double r0, double floorDbm) {
  if (c.shape.notch) {
    // The model's lowest level above its peak, on the sweep's points, must
    // lie in the notch the sweep shows (with a large R that is not at Fp).
    const Notch& n = *c.shape.notch;
    size_t low = c.shape.peak;
    double lowest = HUGE_VAL;
    for (size_t i = c.shape.peak; i < c.fHz.size(); ++i) {
      const double t = std::norm(fixtureTransfer(m, r0, c.fHz[i]));
      if (t < lowest) {
        lowest = t;
        low = i;
      }
    }
    const double at = c.fHz[low], slack = 2 * c.stepHz;
    if (at < n.lowHz - slack || at > n.highHz + slack)
      return common::arg(KOLM_TR("kolm",
                                 "its notch (%1 MHz) lies outside the one the sweep shows "
                                 "(%2 to %3 MHz)"),
                         {common::shortestText(at / 1e6, 9), common::shortestText(n.lowHz / 1e6, 9),
                          common::shortestText(n.highHz / 1e6, 9)});
  }
  // The levels: all but a few points within their stated error, the peak's
  // among them (a wrong R or Fs shows there first).
  int off = 0, counted = 0;
  for (size_t i = 0; i < c.fHz.size(); ++i) {
    if (!c.usable[i] && !c.floor[i]) continue;
    const double through = c.throughAt(c.fHz[i]);
    const double model = through + 20 * std::log10(std::abs(fixtureTransfer(m, r0, c.fHz[i])));
    const double allowed = kResidualShare * (c.countDb + c.through.pmDb +
                                             c.error.bound(std::max(0.0, through - model)));
    ++counted;
    const bool away =
        c.floor[i] ? model > floorDbm + allowed : std::fabs(c.level[i] - model) > allowed;
    if (away && i == c.shape.peak)
      return common::arg(
          KOLM_TR("kolm", "its level at the peak is %1 dB, the level read %2 dB"),
          {common::formatPattern(model, "0.00"), common::formatPattern(c.level[i], "0.00")});
    off += away;
  }
  if (off > std::max(2, counted / 50))
    return common::arg(KOLM_TR("kolm", "its curve leaves the levels read at %1 of %2 points"),
                       {std::to_string(off), std::to_string(counted)});
  return {};
}

// The covariance of the fit at `x` from the residuals as they are (the
// sandwich form around `inv`, the inverse of the normal matrix), so that
// weights that misjudge the noise do not misjudge the intervals.
Mat sandwichCovariance(const Curve& curve, const Vec& x, const Mat& inv) {
  const double dof = static_cast<double>(curve.size()) - kParameters;
  Mat meat{};
  Vec g;
  for (size_t i = 0; i < curve.size(); ++i) {
    const double r = curve.weight[i] * (curve.level[i] - modelLevel(curve, x, i, &g));
    for (int j = 0; j < kParameters; ++j)
      for (int k = 0; k < kParameters; ++k) meat[j][k] += r * r * g[j] * g[k];
  }
  Mat covariance{};
  for (int j = 0; j < kParameters; ++j)
    for (int k = 0; k < kParameters; ++k) {
      double v = 0;
      for (int a = 0; a < kParameters; ++a)
        for (int b = 0; b < kParameters; ++b) v += inv[j][a] * meat[a][b] * inv[b][k];
      covariance[j][k] = v * static_cast<double>(curve.size()) / dof;
    }
  return covariance;
}

// How the values of the fit at `x` move with each point's level and with the
// through path, the points by rising loss, and the fit's rms residual, dB.
Spread fitSpread(const CrystalCurve& c, const Curve& curve, const Vec& x, const Mat& inv,
                 double& rmsDb) {
  Spread spread;
  spread.covariance = sandwichCovariance(curve, x, inv);
  Vec g;
  Vec jOne{};
  spread.perPoint.resize(curve.size());
  spread.loss.resize(curve.size());
  double squares = 0;
  for (size_t i = 0; i < curve.size(); ++i) {
    const double m = modelLevel(curve, x, i, &g);
    squares += std::pow(curve.level[i] - m, 2);
    for (int k = 0; k < kParameters; ++k) {
      g[k] *= curve.weight[i];
      jOne[k] += g[k];
    }
    spread.perPoint[i] = times(inv, g);
    spread.loss[i] = std::max(0.0, curve.through[i] - m);
  }
  spread.byLoss.resize(curve.size());
  std::iota(spread.byLoss.begin(), spread.byLoss.end(), size_t{0});
  std::sort(spread.byLoss.begin(), spread.byLoss.end(),
            [&](size_t a, size_t b) { return spread.loss[a] < spread.loss[b]; });
  spread.throughShift = times(inv, jOne);
  spread.throughPm = c.through.pmDb;
  spread.differenceFraction = c.error.conformance;
  spread.error = &c.error;
  rmsDb = std::sqrt(squares / static_cast<double>(curve.size()));
  return spread;
}

// The values of a fit that passed its checks, with their intervals.
CrystalParameters fittedParameters(const CrystalCurve& c, const CrystalFitInput& in,
                                   const Curve& curve, const Vec& x) {
  const auto inv = inverse(normalEquations(curve, x).a);
  if (!inv)
    return edgeEstimate(
        c, in, KOLM_TR("kolm", "The curve does not pin down all four parameters of the crystal."));
  CrystalParameters p;
  const Spread spread = fitSpread(c, curve, x, *inv, p.rmsDb);
  p.method = CrystalMethod::Fit;
  p.stepHz = c.stepHz;
  p.resolutionHz = c.resolutionHz;
  p.slope = c.slope;
  p.notes = c.notes;
  p.points = static_cast<int>(curve.size());
  // Frequencies are never known finer than the DDS's step.
  auto frequency = [&](Measured m) {
    const double res = c.resolutionHz / 1e6;
    m.pm += res;
    m.sys += res;
    addClockTerm(m, in.clockTolerancePpm);
    return m;
  };
  const double ppm = in.clockTolerancePpm;
  p.fsMHz = frequency(measured([](const Vec& v) { return v[0] / 1e6; }, x, spread));
  p.rOhm = measured([](const Vec& v) { return std::exp(v[1]); }, x, spread);
  p.lMilliHenry = measured([](const Vec& v) { return std::exp(v[2]) * 1e3; }, x, spread);
  addClockTerm(*p.lMilliHenry, ppm);
  p.c0PicoFarad = measured([](const Vec& v) { return std::exp(v[3]) * 1e12; }, x, spread);
  p.csFemtoFarad = measured([](const Vec& v) { return modelOf(v).csFarad() * 1e15; }, x, spread);
  addClockTerm(*p.csFemtoFarad, ppm);
  p.fpMHz = frequency(measured([](const Vec& v) { return modelOf(v).fpHz() / 1e6; }, x, spread));
  p.q = measured([](const Vec& v) { return modelOf(v).q(); }, x, spread);
  if (in.loadPf) {
    const double load = *in.loadPf * 1e-12;
    p.loadPf = *in.loadPf;
    p.flMHz = frequency(measured(
        [load](const Vec& v) { return loadResonanceHz(modelOf(v), load) / 1e6; }, x, spread));
  }
  return p;
}

}  // namespace

std::complex<double> fixtureTransfer(const CrystalModel& crystal, double r0Ohm, double fHz) {
  return r0Ohm / (r0Ohm + crystal.impedance(fHz));
}

std::string fitProblem(const CrystalFitInput& in, const CrystalModel& m) {
  const CurveRead read = readCrystalCurve(in);
  if (!read.curve) return read.error;
  std::string why = physicalProblem(m, *read.curve);
  if (why.empty())
    why = curveProblem(m, *read.curve, in.r0Ohm, levelLimits(in.calibration).floorDbm);
  return why;
}

CrystalParameters fitCrystal(const CrystalFitInput& in) {
  const CurveRead read = readCrystalCurve(in);
  if (!read.curve) {
    CrystalParameters p;
    p.error = read.error;
    return p;
  }
  const CrystalCurve& c = *read.curve;
  auto fallback = [&](std::string why) { return edgeEstimate(c, in, std::move(why)); };
  // A curve read holds both -3 dB points.
  const std::optional<double> bw = c.shape.edges.width();
  if (*bw / c.stepHz < kMinStepsAcrossWidth)
    return fallback(common::arg(KOLM_TR("kolm",
                                        "The -3 dB width covers only %1 sweep steps: too few to "
                                        "fit. Narrow the span or take more points."),
                                {common::shortestText(*bw / c.stepHz, 2)}));
  const double r0 = in.r0Ohm;
  Curve curve;
  curve.r0 = r0;
  for (size_t i = 0; i < c.fHz.size(); ++i) {
    if (!c.usable[i]) continue;
    curve.fHz.push_back(c.fHz[i]);
    curve.level.push_back(c.level[i]);
    curve.through.push_back(c.throughAt(c.fHz[i]));
    const double loss = std::max(0.0, curve.through.back() - curve.level.back());
    curve.weight.push_back(1 / (c.countDb * c.countDb / 4 + std::pow(c.error.bound(loss), 2)));
  }
  if (curve.size() < 3 * kParameters)
    return fallback(KOLM_TR("kolm", "Too few levels above the detector's floor to fit."));

  // Starts: the edges' centre, R from the loss, L from the width; C0 from a
  // few holder capacitances and from the notch, when the sweep shows one.
  // The lowest cost that passes the checks is kept.
  const double centre = (*c.shape.edges.low + *c.shape.edges.high) / 2;
  const double rEdge = resistanceFromLoss(c.lossAt(c.shape.peak), r0);
  const double rStart = std::max(rEdge, 0.01 * r0);
  const double lStart = (rStart + r0) / (kTwoPi * *bw);
  std::vector<double> c0Starts = {2e-12, 5e-12, 15e-12};
  if (c.shape.notch && c.shape.notch->centreHz() > centre) {
    const double cs = 1 / (std::pow(kTwoPi * centre, 2) * lStart);
    c0Starts.insert(c0Starts.begin(), cs / (std::pow(c.shape.notch->centreHz() / centre, 2) - 1));
  }
  const double floorDbm = levelLimits(in.calibration).floorDbm;
  Solution best;
  std::string problem = KOLM_TR("kolm", "it did not converge");
  for (double c0 : c0Starts) {
    const Solution sol =
        levenbergMarquardt(curve, {centre, std::log(rStart), std::log(lStart), std::log(c0)});
    if (!sol.converged || !(sol.cost < best.cost)) continue;
    const CrystalModel m = modelOf(sol.x);
    std::string why = physicalProblem(m, c);
    if (why.empty()) why = curveProblem(m, c, r0, floorDbm);
    if (why.empty())
      best = sol;
    else if (!std::isfinite(best.cost))
      problem = why;
  }
  if (!std::isfinite(best.cost))
    return fallback(common::arg(
        KOLM_TR("kolm", "The fit of the crystal's circuit failed its checks: %1."), {problem}));
  return fittedParameters(c, in, curve, best.x);
}

}  // namespace kolm::powermeter
