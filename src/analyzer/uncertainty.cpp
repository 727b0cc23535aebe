#include "analyzer/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "analyzer/recent_readings.h"
#include "analyzer/validity.h"
#include "common/constants.h"
#include "common/reflection.h"

namespace kolm::analyzer {

namespace {

constexpr double kDbPerCount =
    static_cast<double>(kReturnLossRangeDb) / static_cast<double>(kTotalReflectionCounts);

struct Range {
  double low = kInf;
  double high = -kInf;
  void take(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

double noiseSpread(const BridgeFigures& f, int passes) {
  return f.noiseSpread * f.noiseCounts / std::sqrt(std::max(passes, 1));
}

// What the figures give for a number of passes, the same at every point.
struct Spreads {
  BridgeFigures figures;
  int passes = 1;
  double spreadA = 0;  // counts either side of a channel-A reading
  double spreadB = 0;  // and of a channel-B reading
  double trackingLow = 1, trackingHigh = 1;
  double directivity = 0;  // the error vector's size, against a reflection of 1
};

Spreads spreadsOf(const BridgeFigures& f, int passes) {
  Spreads s;
  s.figures = f;
  s.passes = passes;
  // Only the noise averages away over passes: the offset and nonlinearity are
  // fixed errors, and the resolution is kept whole too, because the noise (a
  // third of a count) is too small to dither a steady reading evenly across the
  // count steps.
  s.spreadA = channelASpread(f, passes);
  s.spreadB = f.resolutionCounts + noiseSpread(f, passes);
  s.trackingLow = std::pow(10.0, -f.trackingDb / 20);
  s.trackingHigh = std::pow(10.0, f.trackingDb / 20);
  s.directivity = std::pow(10.0, -f.directivityDb / 20) / s.trackingLow;
  return s;
}

// A circle |Γ| = r (r may be negative: the circle of -r turned half round)
// where the region's outer or inner edge runs: where R, |Z| and Im Z turn on it.
struct Arc {
  bool used = false;  // inside the unit circle
  double atZero = 0;  // Z / R0 at angle 0
  double atHalf = 0;  // and at 180 degrees
  double topAngle = 0;
  double top = 0;  // Im Z / R0 at topAngle, its largest on the circle
};

Arc arcOf(double r) {
  Arc arc;
  if (!(std::fabs(r) < 1)) return arc;
  arc.used = true;
  arc.atZero = common::impedanceOf(r, 1).real();
  arc.atHalf = common::impedanceOf(-r, 1).real();
  arc.topAngle = std::atan2(1 - r * r, 2 * r);
  arc.top = 2 * r / (1 - r * r);
  return arc;
}

// What channel A's reading gives: the reflection's size.
struct MagnitudeSide {
  double rhoLow = 0, rhoHigh = 0;  // before the directivity, taken to at most 1
  double turn = 0;                 // the directivity's angle as seen from rhoLow
  Range returnLoss, swr;
  Arc outer, inner;
  // Averaged: the point computation's reflection size one count below and
  // above the mean (for the reactance's resolution).
  std::array<float, 2> sizeAround{};
};

MagnitudeSide magnitudeSide(double a, const Spreads& s) {
  const BridgeFigures& f = s.figures;
  // The ratio the detector saw, dB.
  Range ratioDb;
  for (double counts : {a - s.spreadA, a + s.spreadA})
    for (double slope : {-f.magnitudeSlope, f.magnitudeSlope})
      ratioDb.take(readRatioDb(counts, slope));
  // At the bottom of channel A's range the ratio has no lower bound.
  const double seenLow = a - s.spreadA <= 0 ? 0 : std::pow(10.0, ratioDb.low / 20);
  const double seenHigh = std::pow(10.0, ratioDb.high / 20);
  // Back through the tracking and the directivity.
  const double rhoLow = seenLow / s.trackingHigh, rhoHigh = seenHigh / s.trackingLow;
  const double directivity = s.directivity;
  MagnitudeSide m;
  const double rhoMin = std::max(0.0, rhoLow - directivity);
  const double rhoMax = std::min(1.0, rhoHigh + directivity);  // a load is passive
  m.turn = directivity < rhoLow ? std::asin(directivity / rhoLow) : kPi;
  m.returnLoss = {common::returnLossDb(rhoMax), common::returnLossDb(rhoMin)};
  m.swr = {common::swrOfMagnitude(rhoMin), common::swrOfMagnitude(rhoMax)};
  // A passive load lies within the unit circle: a point of the region beyond it
  // is no nearer the loads within than the rim below it is.
  m.rhoLow = std::min(rhoLow, 1.0);
  m.rhoHigh = std::min(rhoHigh, 1.0);
  m.outer = arcOf(m.rhoHigh + directivity);
  m.inner = arcOf(m.rhoLow - directivity);
  if (s.passes > 1) m.sizeAround = {meanReflectionSize(a - 1), meanReflectionSize(a + 1)};
  return m;
}

// What channel B's reading gives: the reflection's angle.
struct AngleSide {
  Range phase;  // degrees, before the directivity
  double thetaLow = 0, thetaHigh = 0;
  double cosLow = 1, sinLow = 0, cosHigh = 1, sinHigh = 0;
  // Averaged: the point computation's reflection angle one count either side.
  std::array<ReflectionTurn, 2> turnAround{};
};

AngleSide angleSide(double b, const Spreads& s) {
  const BridgeFigures& f = s.figures;
  AngleSide g;
  Range& phase = g.phase;
  for (double counts : {b - s.spreadB, b + s.spreadB})
    for (double slope : {-f.phaseSlope, f.phaseSlope})
      for (double error : {-f.phaseErrorDeg, f.phaseErrorDeg})
        phase.take((counts * kDegreesPerCount - error) / (1 + slope));
  const double read = b * kDegreesPerCount;
  // Within an end region the output rounds off: the phase may be anywhere
  // from the reading to that end.
  if (read < f.phaseEndDeg) phase.low = 0;
  if (read > 180 - f.phaseEndDeg) phase.high = 180;
  phase.low = std::max(phase.low, 0.0);
  phase.high = std::min(phase.high, 180.0);
  g.thetaLow = (phase.low - f.trackingDeg) * kPi / 180;
  g.thetaHigh = (phase.high + f.trackingDeg) * kPi / 180;
  g.cosLow = std::cos(g.thetaLow), g.sinLow = std::sin(g.thetaLow);
  g.cosHigh = std::cos(g.thetaHigh), g.sinHigh = std::sin(g.thetaHigh);
  if (s.passes > 1) g.turnAround = {meanReflectionTurn(b - 1), meanReflectionTurn(b + 1)};
  return g;
}

constexpr int kTabledReadings = 1025;
// The most passes whose means are kept in tables.
constexpr int kMostTabledPasses = 128;

// Where reading `v`, the mean of `passes` passes' whole readings, is kept: the
// sum of those readings (the reading itself for one pass); -1 for a reading
// that is no such mean, worked out each time it is asked for.
long tableIndex(double v, int passes) {
  if (passes == 1)
    return v >= 0 && v < kTabledReadings && static_cast<long>(v) == v ? static_cast<long>(v) : -1;
  if (passes > kMostTabledPasses) return -1;
  const double sum = v * passes;
  // Rounded to the nearest whole (a sum halfway between two is no such mean).
  if (!(sum > -0.5 && sum < static_cast<double>(kTabledReadings) * passes - 0.5)) return -1;
  const long whole = static_cast<long>(sum + 0.5);
  return std::fabs(sum - static_cast<double>(whole)) > 1e-6 ? -1 : whole;
}

// A reading's side from `table`, worked out the first time it is asked for; that
// of a reading no table holds worked out into `own`.
template <typename Side, typename Make>
const Side& sideOf(long index, LazyArray<Side>& table, std::vector<uint8_t>& have,
                   std::optional<Side>& own, Make make) {
  if (index < 0) return own.emplace(make());
  const auto i = static_cast<size_t>(index);
  if (!have[i]) {
    have[i] = 1;
    return table.make(i, make());
  }
  return table[i];
}

// The extremes of Z / R0 = (1 + Γ) / (1 - Γ) over a set of reflections within
// the unit circle: R, Im Z (signed) and |Z|.
struct Extremes {
  Range r, im, size;

  void unbounded() {
    r.take(0), r.take(kInf);
    im.take(-kInf), im.take(kInf);
    size.take(kInf);
  }

  void at(double gr, double gi) {
    const double dr = 1 - gr, denominator = dr * dr + gi * gi;
    if (denominator < 1e-24) return unbounded();
    const double re = std::max(0.0, (1 - gr * gr - gi * gi) / denominator);
    const double x = 2 * gi / denominator;
    r.take(re), im.take(x), size.take(std::sqrt(re * re + x * x));
  }

  // Every Γ within d of (gr, gi) and within the unit circle. The map is a
  // Möbius one: with u = 1 - Γ the disc |u - u0| <= d (|u0| > d) goes to
  // 1/u's disc of centre conj(u0) / (|u0|^2 - d^2) and radius d / (|u0|^2 -
  // d^2), and Z / R0 = 2 / u - 1. The unit circle's inside is Re Z >= 0.
  void disc(double gr, double gi, double d) {
    const double ur = 1 - gr;
    const double k = ur * ur + gi * gi - d * d;
    const double twice = 2 / k;
    const double cr = twice * ur - 1, ci = twice * gi, radius = twice * d;
    if (k <= 0) {
      // Γ = 1 within: outside a circle in Z (or a half-plane).
      unbounded();
      size.take(k < 0 ? std::max(0.0, -radius - std::sqrt(cr * cr + ci * ci)) : 0);
      return;
    }
    if (cr + radius < 0) return;  // no passive load in it
    r.take(std::max(0.0, cr - radius)), r.take(cr + radius);
    const double m = std::sqrt(cr * cr + ci * ci);
    if (cr >= radius) {
      im.take(ci - radius), im.take(ci + radius);
      size.take(m - radius), size.take(m + radius);
      return;
    }
    // The disc crosses Re Z = 0: what lies left of it is cut off along a chord.
    const double chord = std::sqrt(radius * radius - cr * cr);
    const double reach = cr >= 0 ? radius : chord;
    im.take(ci - reach), im.take(ci + reach);
    size.take(cr >= 0 ? m + radius : std::fabs(ci) + chord);
    size.take(m <= radius ? 0 : cr >= 0 ? m - radius : std::max(0.0, std::fabs(ci) - chord));
  }

  // Where R, Im Z and |Z| turn along the segment Γ = t (c, s) + (qr, qi), t in
  // [t1, t2], with (qr, qi) of size d at right angles to (c, s); the ends are
  // the caller's.
  void edge(double c, double s, double qr, double qi, double d, double t1, double t2) {
    const double k = 1 - 2 * qr + d * d;  // |1 - Γ|^2 = t^2 - 2ct + k
    auto at = [&](double t) { this->at(t * c + qr, t * s + qi); };
    turns(c, -(k + 1 - d * d), c * (1 - d * d), t1, t2, at);  // R
    turns(s, 2 * qi, -(s * k + 2 * c * qi), t1, t2, at);      // Im Z
    turns(c, 2 * qr, -c * (1 + d * d), t1, t2, at);           // |Z|
  }

  // The roots of alpha t^2 + beta t + gamma within [t1, t2], each handed to f.
  // Most edges have none: that is told from the ends and the slope alone.
  template <typename F>
  static void turns(double alpha, double beta, double gamma, double t1, double t2, F f) {
    const double g1 = (alpha * t1 + beta) * t1 + gamma, g2 = (alpha * t2 + beta) * t2 + gamma;
    // Ends of one sign and a slope of one sign between them: none.
    if ((g1 < 0) == (g2 < 0) && (2 * alpha * t1 + beta < 0) == (2 * alpha * t2 + beta < 0)) return;
    rootsWithin(alpha, beta, gamma, t1, t2, g1, g2, f);
  }

  template <typename F>
  [[gnu::noinline]] static void rootsWithin(double alpha, double beta, double gamma, double t1,
                                            double t2, double g1, double g2, F f) {
    if (alpha == 0) {
      if (beta != 0 && (g1 < 0) != (g2 < 0)) f(-gamma / beta);
      return;
    }
    // Ends of one sign with the slope turning between them: two roots or none.
    const double vertex = -beta / (2 * alpha);
    if ((g1 < 0) == (g2 < 0) && ((alpha * vertex + beta) * vertex + gamma < 0) == (g1 < 0)) return;
    const double root = std::sqrt(std::max(0.0, beta * beta - 4 * alpha * gamma));
    for (double t : {(-beta - root) / (2 * alpha), (-beta + root) / (2 * alpha)})
      if (t >= t1 && t <= t2) f(t);
  }

  // The arc Γ = r e^(jθ), θ in [low, high]: its ends are the caller's.
  void arc(const Arc& a, double low, double high) {
    if (!a.used) return;
    auto within = [&](double angle) { return angle >= low && angle <= high; };
    if (within(0)) r.take(a.atZero), size.take(a.atZero), im.take(0);
    if (within(kPi)) r.take(a.atHalf), size.take(a.atHalf), im.take(0);
    if (within(a.topAngle)) im.take(a.top);
    if (within(-a.topAngle) || within(2 * kPi - a.topAngle)) im.take(-a.top);
  }
};

// Whether Γ = (x, 0), x = 1 or -1, lies within d of the sector of sizes [rhoLow,
// rhoHigh] and angles [low, high] (high < 180 degrees + low, low < 180 degrees).
bool nearSector(double x, double rhoLow, double rhoHigh, double low, double high, double d) {
  const double axis = x > 0 ? 0 : kPi;
  if (low <= axis && axis <= high) return 1 - rhoHigh <= d;
  const double edge = x > 0 ? low : high;
  const double c = std::cos(edge);
  const double t = std::clamp(x * c, rhoLow, rhoHigh);
  return 1 - 2 * x * t * c + t * t <= d * d;
}

}  // namespace

// What is kept for a set of figures and passes: both sides of every whole
// reading a converter gives (or sum of the passes' whole readings), worked out
// once, and the uncertainties of readings met lately.
struct IntervalTables {
  Spreads spreads;
  explicit IntervalTables(const Spreads& s)
      : spreads(s), magnitude(size()), angle(size()), haveMagnitude(size()), haveAngle(size()) {}
  // One entry per sum of the passes' whole readings.
  size_t size() const {
    return spreads.passes > kMostTabledPasses
               ? 0
               : static_cast<size_t>(kTabledReadings) * spreads.passes;
  }
  LazyArray<MagnitudeSide> magnitude;
  LazyArray<AngleSide> angle;
  std::vector<uint8_t> haveMagnitude, haveAngle;
  // The uncertainties of readings met lately, and their intervals alone
  // (what corrected readings ask for), each made when first asked for.
  std::unique_ptr<RecentReadings<PointUncertainty>> recent;
  std::unique_ptr<RecentReadings<PointInterval>> regions;
  // What `make` gives for the readings kept at `atA`, `atB` (-1: not kept),
  // taken from `table` when it holds them.
  template <typename T, typename Make>
  static T keptOrMade(std::unique_ptr<RecentReadings<T>>& table, long atA, long atB, Make make) {
    if (atA < 0 || atB < 0) return make();
    if (!table) table = std::make_unique<RecentReadings<T>>();
    bool held = false;
    T& kept = table->entry(atA, atB, held);
    if (!held) kept = make();
    return kept;
  }
};

// The tables of the two sets last used on this thread (a live trace and its
// memory may be averaged differently).
PointIntervals::PointIntervals(const BridgeFigures& f, int passes) {
  passes = std::max(passes, 1);
  thread_local std::array<std::shared_ptr<IntervalTables>, 2> slots;
  auto held = [&](const std::shared_ptr<IntervalTables>& t) {
    return t && t->spreads.figures == f && t->spreads.passes == passes;
  };
  if (!held(slots[0])) {
    std::swap(slots[0], slots[1]);
    if (!held(slots[0])) {
      slots[0] = std::make_shared<IntervalTables>(spreadsOf(f, passes));
    }
  }
  tables_ = slots[0];
}

double readRatioDb(double counts, double slope) {
  return (counts - kTotalReflectionCounts) * kDbPerCount / (1 + slope);
}

double channelASpread(const BridgeFigures& f, int passes) {
  return f.resolutionCounts + noiseSpread(f, passes) + f.magnitudeOffsetCounts;
}

double channelBSpread(const BridgeFigures& f, double ratio, int passes) {
  constexpr double kWeak = 0.0316227766;  // -30 dB
  const double weak = f.weakPhaseNoiseDeg / kDegreesPerCount * kWeak / std::max(ratio, 1e-3);
  return f.resolutionCounts +
         f.noiseSpread * std::hypot(f.noiseCounts, weak) / std::sqrt(std::max(passes, 1));
}

PointInterval pointInterval(double a, double b, const PointValues& shown, const BridgeFigures& f,
                            int passes) {
  return PointIntervals(f, passes)(a, b, shown);
}

const BridgeFigures& publishedBridge() {
  static const BridgeFigures figures;
  return figures;
}

namespace {

// What |X| (`x` at the readings) may move by when either reading is one count
// off: `around`, |X| at the four readings one count off either way.
float reactanceResolution(const std::array<float, 4>& around, float x) {
  float spread = 0;
  for (float c : around) {
    const float d = std::fabs(std::fabs(c) - std::fabs(x));
    spread = std::isfinite(d) ? std::max(spread, d) : std::numeric_limits<float>::infinity();
  }
  return spread;
}

// The region's own interval and the shown values taken in.
PointInterval takingIn(PointInterval region, const PointValues& shown) {
  for (int q = 0; q < kQuantities; ++q) {
    const float v = q == kReactance ? std::fabs(shown[q]) : shown[q];
    if (std::isfinite(v)) {
      region.low[q] = std::min(region.low[q], v);
      region.high[q] = std::max(region.high[q], v);
    }
  }
  return region;
}

}  // namespace

PointInterval PointIntervals::operator()(double a, double b, const PointValues& shown) const {
  const int passes = tables_->spreads.passes;
  return interval(a, tableIndex(a, passes), b, tableIndex(b, passes), shown);
}

PointInterval PointIntervals::region(double a, double b, const PointValues& shown) const {
  const int passes = tables_->spreads.passes;
  const long atA = tableIndex(a, passes), atB = tableIndex(b, passes);
  return IntervalTables::keptOrMade(tables_->regions, atA, atB,
                                    [&] { return interval(a, atA, b, atB, shown, false); });
}

PointInterval PointIntervals::interval(double a, long atA, double b, long atB,
                                       const PointValues& shown, bool resolution) const {
  IntervalTables& tables = *tables_;
  const Spreads& s = tables.spreads;
  std::optional<MagnitudeSide> ownMagnitude;
  std::optional<AngleSide> ownAngle;
  const MagnitudeSide& m = sideOf(atA, tables.magnitude, tables.haveMagnitude, ownMagnitude,
                                  [&] { return magnitudeSide(a, s); });
  const AngleSide& g =
      sideOf(atB, tables.angle, tables.haveAngle, ownAngle, [&] { return angleSide(b, s); });
  const double d = s.directivity;

  std::array<Range, kQuantities> r;
  r[kReturnLoss] = m.returnLoss;
  r[kSwr] = m.swr;
  // The reflection's angle over the region: the sector widened by the
  // directivity's circle. An angle range reaching below 0 or beyond 180 degrees
  // folds back: the region then holds a pure resistance.
  const double thetaLow = g.thetaLow, thetaHigh = g.thetaHigh;
  const double angleLow = std::max(0.0, thetaLow - m.turn),
               angleHigh = std::min(kPi, thetaHigh + m.turn);
  const bool acrossZero = thetaLow - m.turn<0, acrossHalf = thetaHigh + m.turn> kPi;
  r[kPhase] = {acrossZero ? 0 : angleLow * 180 / kPi, acrossHalf ? 180 : angleHigh * 180 / kPi};

  // The impedance over the same region, the sector of sizes [rhoLow, rhoHigh]
  // and angles [thetaLow, thetaHigh] widened by d, within the unit circle. R,
  // Im Z and log |Z| are harmonic, so they are largest and least on the region's
  // edge (or at Γ = 1 and -1): the discs about the sector's corners, the arcs
  // of its outer and inner edges moved out by d, its straight edges moved
  // sideways by d, and the part of the rim it reaches.
  const double rhoLow = m.rhoLow, rhoHigh = m.rhoHigh;
  Extremes z;
  for (double rho : {rhoLow, rhoHigh}) {
    z.disc(rho * g.cosLow, rho * g.sinLow, d);
    z.disc(rho * g.cosHigh, rho * g.sinHigh, d);
  }
  z.arc(m.outer, thetaLow, thetaHigh);
  z.arc(m.inner, thetaLow, thetaHigh);
  const double last = std::min(rhoHigh, std::sqrt(std::max(0.0, 1 - d * d)));
  if (rhoLow <= last) {
    z.edge(g.cosLow, g.sinLow, d * g.sinLow, -d * g.cosLow, d, rhoLow, last);
    z.edge(g.cosHigh, g.sinHigh, -d * g.sinHigh, d * g.cosHigh, d, rhoLow, last);
    if (last < rhoHigh) {  // where the straight edges meet the rim
      z.at(last * g.cosLow + d * g.sinLow, last * g.sinLow - d * g.cosLow);
      z.at(last * g.cosHigh - d * g.sinHigh, last * g.sinHigh + d * g.cosHigh);
    }
  }
  if (rhoHigh + d >= 1) {
    z.r.take(0);  // the rim: a pure reactance
    if (nearSector(1, rhoLow, rhoHigh, thetaLow, thetaHigh, d)) z.unbounded();
    if (nearSector(-1, rhoLow, rhoHigh, thetaLow, thetaHigh, d)) z.size.take(0);
  }
  constexpr double r0 = common::kReferenceOhm;
  r[kImpedance] = {r0 * z.size.low, r0 * z.size.high};
  r[kResistance] = {r0 * z.r.low, r0 * z.r.high};
  // |X|: zero within when Im Z changes sign over the region.
  const double xLow =
      z.im.low <= 0 && z.im.high >= 0 ? 0 : std::min(std::fabs(z.im.low), std::fabs(z.im.high));
  r[kReactance] = {r0 * xLow, r0 * std::max(std::fabs(z.im.low), std::fabs(z.im.high))};

  PointInterval region;
  // The four around a mean reading from its sides' steps, as reactancesAround
  // works them out (whole readings have theirs in its own tables).
  const bool mean = s.passes > 1 && !(a == std::trunc(a) && b == std::trunc(b));
  if (resolution) {
    const std::array<float, 4> around =
        mean ? reactancesFrom(m.sizeAround, g.turnAround) : reactancesAround(a, b);
    region.reactanceResolution = reactanceResolution(around, shown[kReactance]);
  }
  for (int q = 0; q < kQuantities; ++q) {
    region.low[q] = static_cast<float>(r[q].low);
    region.high[q] = static_cast<float>(r[q].high);
  }
  return takingIn(region, shown);
}

PointUncertainty PointIntervals::uncertainty(double a, double b, const PointResult& point) const {
  IntervalTables& tables = *tables_;
  const int passes = tables.spreads.passes;
  const long atA = tableIndex(a, passes), atB = tableIndex(b, passes);
  return IntervalTables::keptOrMade(tables.recent, atA, atB,
                                    [&] { return uncertaintyOf(a, atA, b, atB, point); });
}

PointUncertainty PointIntervals::uncertaintyOf(double a, long atA, double b, long atB,
                                               const PointResult& point) const {
  const PointInterval interval = this->interval(a, atA, b, atB, point.values);
  PointUncertainty u;
  u.reactanceResolution = interval.reactanceResolution;
  u.swrLow = interval.low[kSwr];
  u.swrHigh = interval.high[kSwr];
  u.interval = interval;
  u.returnLossLow = interval.low[kReturnLoss];
  const bool plain = point.flag == PointFlag::Valid;
  for (int q = 0; q < kQuantities; ++q) {
    const float v = q == kReactance ? std::fabs(point.values[q]) : point.values[q];
    const float pm = interval.halfWidth(q, v);
    const float half = std::isnan(pm) ? std::numeric_limits<float>::infinity() : pm;
    u.halfWidth[q] = half;
    // Only a value read as a measurement can be uncertain besides.
    if ((plain || quantityMark(point.flag, q) == chart::Mark::Valid) &&
        tooWide(q, point.values, half))
      u.uncertain |= static_cast<UncertainSet>(1u << q);
  }
  return u;
}

bool tooWide(int q, const PointValues& values, float pm) {
  if (!(pm >= 0)) return true;  // NaN
  const double half = pm;
  // The reflection's size, from the return loss (0 for a match).
  auto rho = [&] { return common::magnitudeOfReturnLoss(values[kReturnLoss]); };
  switch (q) {
    case kReturnLoss:
      // Towards the larger reflection, where the size moves most.
      return half > kUncertainReturnLossDb &&
             !(rho() * (std::pow(10.0, half / 20) - 1) <= kUncertainReflection);
    case kPhase:
      return half > kUncertainPhaseDeg && !(rho() * half * kPi / 180 <= kUncertainReflection);
    case kSwr:
      return half > std::max(kUncertainShare * std::fabs(values[kSwr]), kUncertainSwrFloor);
    default:
      return !(half <= std::max(kUncertainShare * std::fabs(values[kImpedance]),
                                kUncertainImpedanceFloorOhm));
  }
}

std::string uncertainWord(UncertainSet set) {
  static constexpr std::array<const char*, kQuantities> kNames{"rl", "phase", "z", "r", "x", "swr"};
  std::string out;
  for (int q = 0; q < kQuantities; ++q)
    if (set & (1u << q)) {
      out += out.empty() ? "uncertain:" : ",";
      out += kNames[q];
    }
  return out;
}

}  // namespace kolm::analyzer
