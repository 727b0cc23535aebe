#include "analyzer/correction.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <optional>

#include "analyzer/term_spread.h"
#include "common/constants.h"
#include "common/reflection.h"

namespace kolm::analyzer {

namespace {

struct Bounds {
  double low = kInf;
  double high = -kInf;
  void take(double v) {
    if (std::isnan(v)) v = kInf;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  void all() { low = -kInf, high = kInf; }
};

double wrapped(double angle) { return angle - kTwoPi * std::floor(angle / kTwoPi); }

// The extremes of the quantities over a region of detector ratios, from the
// images of the pieces of its boundary (and of points the caller knows lie in
// it). G = (w - e00) / (T + e11 (w - e00)); Z / R0 = (1 + G) / (1 - G).
class RegionExtremes {
 public:
  // `toReference`: the turn that takes the reflection the angles are taken
  // against onto the positive real axis.
  RegionExtremes(const ErrorTerms& terms, Complex toReference)
      : terms_(terms), reference_(toReference) {}

  Bounds size, turn, r, x, z;  // |G|, arg G against the reference, Re Z, Im Z, |Z| (per R0)
  bool turnAll = false;

  // arg G's range once every piece is in: the angles of the reflections
  // whose directions came first and last (see turnOrder).
  void settleTurn() {
    if (firstOrder_ > lastOrder_) return;
    turn.take(std::arg(firstAt_));
    turn.take(std::arg(lastAt_));
  }

  // A ratio's reflection and impedance (per R0; `finite` when it has one),
  // worked out once for every piece of boundary it ends.
  struct Image {
    Complex g, z;
    bool finite;
  };
  Image imageOf(Complex w) const {
    const Complex g = correctedReflection(terms_, w);
    const bool finite = std::norm(1.0 - g) > 1e-30;
    return {g, finite ? common::impedancePerReferenceOf(g) : Complex(), finite};
  }
  // An arc (or a segment) of ratios through the images i0, im and i1 in this
  // order.
  void piece(const Image& i0, const Image& im, const Image& i1) { images({i0, im, i1}, false); }
  // A whole circle of ratios.
  void circle(Complex centre, double radius) {
    if (radius <= 0) return point(centre);
    images(
        {imageOf(centre + radius), imageOf(centre + Complex(0, radius)), imageOf(centre - radius)},
        true);
  }
  void point(Complex w) {
    const Complex g = correctedReflection(terms_, w);
    gammaAt(g);
    impedanceAt(g);
  }
  void impedanceUnbounded() { r.take(0), r.take(kInf), x.all(), z.take(kInf); }

 private:
  void gammaAt(Complex g) {
    size.take(quickModulus(g));
    const Complex v = g * reference_;
    const double order = turnOrder(v);
    if (std::isnan(order)) return turn.take(std::arg(v));
    if (order < firstOrder_) firstOrder_ = order, firstAt_ = v;
    if (order > lastOrder_) lastOrder_ = order, lastAt_ = v;
  }
  // A stand-in for arg v, in the same order over (-pi, pi] and without its
  // cost: 1 - x / (|x| + |y|) runs from 0 to 2 as the angle goes from 0 to pi,
  // and is negated where y is (its sign as atan2 takes it, -0 included). NaN
  // at v = 0 or not finite.
  static double turnOrder(Complex v) {
    const double x = v.real(), y = v.imag(), sum = std::fabs(x) + std::fabs(y);
    if (!(sum > 0) || !std::isfinite(sum)) return NAN;
    const double p = 1 - x / sum;
    return std::signbit(y) ? -p : p;
  }
  void impedanceAt(Complex g) {
    const Complex d = 1.0 - g;
    if (std::norm(d) < 1e-30) return impedanceUnbounded();
    const Complex zz = common::impedancePerReferenceOf(g);
    r.take(zz.real()), x.take(zz.imag()), z.take(quickModulus(zz));
  }

  void images(const std::array<Image, 3>& at, bool whole) {
    const std::array<Complex, 3> g{at[0].g, at[1].g, at[2].g};
    const bool finite = at[0].finite && at[1].finite && at[2].finite;
    const std::array<Complex, 3> zz{at[0].z, at[1].z, at[2].z};
    // |G| and arg G along the image arc: |G| turns on the line through the
    // centre, arg G where the ray from G = 0 touches the circle.
    alongArc(
        g, whole, [&](Complex p) { gammaAt(p); },
        [&](Complex c, double radius, auto on) {
          const double m2 = std::norm(c);
          if (m2 > 0) {
            const Complex out = c * (radius / std::sqrt(m2));
            on(c + out), on(c - out);
          }
          if (m2 > radius * radius) {
            const double k = radius * radius / m2;
            const Complex across =
                Complex(0, 1) * c * (radius * std::sqrt(m2 - radius * radius) / m2);
            on(c * (1 - k) + across), on(c * (1 - k) - across);
          } else if (whole) {
            turnAll = true;  // a circle about G = 0
          }
        },
        [&] { size.take(kInf), turnAll = true; });
    if (!finite) return impedanceUnbounded();
    alongArc(
        zz, whole, [&](Complex p) { r.take(p.real()), x.take(p.imag()), z.take(quickModulus(p)); },
        [&](Complex c, double radius, auto on) {
          on(c + radius), on(c - radius);
          on(c + Complex(0, radius)), on(c - Complex(0, radius));
          const double m = quickModulus(c);
          if (m > 0) on(c + c * (radius / m)), on(c - c * (radius / m));
        },
        [&] { impedanceUnbounded(); });
  }

  // The arc through p[0], p[1], p[2] (whole: the circle through them): `take`
  // at its ends and at each point of the circle `candidates` names that lies
  // on the arc (on p[1]'s side of the chord from p[0] to p[2]); `far` when it
  // passes through infinity.
  template <typename Take, typename Candidates, typename Far>
  static void alongArc(const std::array<Complex, 3>& p, bool whole, Take take,
                       Candidates candidates, Far far) {
    const Complex a = p[1] - p[0], b = p[2] - p[0];
    const double det = 2 * (a.real() * b.imag() - a.imag() * b.real());
    const double scale = std::norm(a) + std::norm(b);
    if (!(std::fabs(det) > 1e-12 * scale)) {
      // On a line: a segment when the middle point lies between the ends.
      if (whole || std::real((p[0] - p[1]) * std::conj(p[2] - p[1])) > 0) return far();
      take(p[0]), take(p[2]);
      // |.| least at the foot of the perpendicular from 0.
      const Complex d = p[2] - p[0];
      const double t = std::norm(d) > 0 ? -std::real(p[0] * std::conj(d)) / std::norm(d) : 0;
      if (t > 0 && t < 1) take(p[0] + t * d);
      return;
    }
    const Complex u((std::norm(a) * b.imag() - std::norm(b) * a.imag()) / det,
                    (std::norm(b) * a.real() - std::norm(a) * b.real()) / det);
    const Complex centre = p[0] + u;
    const double radius = quickModulus(u);
    if (!whole) take(p[0]), take(p[2]);
    auto cross = [](Complex x, Complex y) { return x.real() * y.imag() - x.imag() * y.real(); };
    const double side = cross(b, a);
    candidates(centre, radius, [&](Complex point) {
      if (whole || cross(b, point - p[0]) * side > 0) take(point);
    });
  }

  const ErrorTerms& terms_;
  Complex reference_;
  // The least and largest turnOrder met, and where.
  double firstOrder_ = kInf, lastOrder_ = -kInf;
  Complex firstAt_, lastAt_;
};

// A ratio with its size, worked out once for every sector it is tried
// against.
struct PolarRatio {
  explicit PolarRatio(Complex w) : w(w), size(quickModulus(w)) {}
  Complex w;
  double size;
};

// The ratios where the correction meets a particular load: G = 0, G = -1
// (Z = 0), G = 1 (Z unbounded) and the correction's own pole (none without a
// source match), the same for every sector of a point.
struct SpecialRatios {
  explicit SpecialRatios(const ErrorTerms& terms)
      : matched(terms.directivity),
        shorted(detectorRatio(terms, -1.0)),
        open(detectorRatio(terms, 1.0)),
        hasPole(std::abs(terms.sourceMatch) > 0),
        pole(hasPole ? terms.directivity + terms.tracking / terms.sourceMatch : Complex()) {}
  PolarRatio matched, shorted, open;
  bool hasPole;
  PolarRatio pole;
};

// What every sector corrected with the same terms shares, kept for the last
// terms asked for (a sweep's readings come cell after cell): the terms'
// residual sizes and the special ratios.
struct TermsShared {
  ErrorTerms of;
  TermBounds bounds;
  SpecialRatios special;
  DiscMap disc;
};
static_assert(sizeof(ErrorTerms) == 14 * sizeof(double), "compared as its bytes");
const TermsShared& termsShared(const ErrorTerms& t) {
  thread_local std::optional<TermsShared> last;
  if (!last || std::memcmp(&last->of, &t, sizeof t) != 0)
    last.emplace(TermsShared{t, TermBounds(t), SpecialRatios(t), DiscMap(t)});
  return *last;
}

// The directions of a sector's edges and middle, angles low, low + span / 2
// and low + span, worked out once for every point taken along them.
struct SectorAngles {
  SectorAngles(double low, double span)
      : low(low),
        span(span),
        units{std::polar(1.0, low), std::polar(1.0, low + span / 2), std::polar(1.0, low + span)} {}
  double low, span;
  std::array<Complex, 3> units;  // low, middle, high
  // std::polar(rho, angle k) to the last bit: (rho cos, rho sin).
  Complex at(double rho, size_t k) const { return {rho * units[k].real(), rho * units[k].imag()}; }
};

// Whether `ratio` lies in the sector of sizes [rhoLow, rhoHigh] and angles
// `angles`: past its first edge and before its last, turning
// counter-clockwise (within the half plane about its middle up to a span of
// pi; beyond, outside the smaller sector left over).
bool insideSector(const PolarRatio& ratio, double rhoLow, double rhoHigh,
                  const SectorAngles& angles) {
  if (ratio.size < rhoLow || ratio.size > rhoHigh) return false;
  if (angles.span >= kTwoPi) return true;
  auto cross = [](Complex x, Complex y) { return x.real() * y.imag() - x.imag() * y.real(); };
  const Complex p = ratio.w;
  const bool afterFirst = cross(angles.units[0], p) >= 0;
  const bool beforeLast = cross(p, angles.units[2]) >= 0;
  if (angles.span > kPi) return afterFirst || beforeLast;
  return afterFirst && beforeLast && std::real(p * std::conj(angles.units[1])) >= 0;
}

// The ranges over the sector of ratios of sizes [rhoLow, rhoHigh] and angles
// [low, low + span].
RegionExtremes overSector(const ErrorTerms& terms, Complex toReference, double rhoLow,
                          double rhoHigh, const SectorAngles& angles,
                          const SpecialRatios& special) {
  RegionExtremes e(terms, toReference);
  auto at = [&](double rho, size_t k) { return angles.at(rho, k); };
  if (angles.span >= kTwoPi) {
    e.circle(0, rhoHigh);
    if (rhoLow > 0) e.circle(0, rhoLow);
  } else {
    // The corners' images, each shared by an arc and an edge.
    const std::array<RegionExtremes::Image, 2> outer{e.imageOf(at(rhoHigh, 0)),
                                                     e.imageOf(at(rhoHigh, 2))};
    e.piece(outer[0], e.imageOf(at(rhoHigh, 1)), outer[1]);
    // Without an inner arc both edges start at the ratio 0.
    const bool inner = rhoLow > 0;
    const RegionExtremes::Image first = e.imageOf(at(rhoLow, 0));
    const std::array<RegionExtremes::Image, 2> start{first,
                                                     inner ? e.imageOf(at(rhoLow, 2)) : first};
    if (inner) e.piece(start[0], e.imageOf(at(rhoLow, 1)), start[1]);
    const double rhoMid = (rhoLow + rhoHigh) / 2;
    for (size_t side : {0u, 1u}) {
      const size_t edge = 2 * side;
      if (rhoHigh > rhoLow)
        e.piece(start[side], e.imageOf(at(rhoMid, edge)), outer[side]);
      else
        e.point(at(rhoLow, edge));
    }
  }
  // What lies inside: G = 0 (every angle), G = -1 (Z = 0), G = 1 (Z unbounded)
  // and the correction's own pole.
  auto inside = [&](const PolarRatio& w) { return insideSector(w, rhoLow, rhoHigh, angles); };
  if (inside(special.matched)) e.size.take(0), e.turnAll = true;
  if (inside(special.shorted)) e.z.take(0);
  if (inside(special.open)) e.impedanceUnbounded();
  if (special.hasPole && inside(special.pole)) {
    e.size.take(kInf), e.turnAll = true, e.impedanceUnbounded();
  }
  e.settleTurn();
  return e;
}

// The interval of every quantity from the ranges (X signed).
PointInterval intervalOf(const RegionExtremes& e, double turn, const PointValues& shown) {
  PointInterval out;
  const double rhoHigh = std::min(e.size.high, 1.0);  // a load is passive
  const double rhoLow = std::max(std::min(e.size.low, 1.0), 0.0);
  auto set = [&](int q, double low, double high) {
    out.low[q] = static_cast<float>(low);
    out.high[q] = static_cast<float>(high);
  };
  set(kReturnLoss, common::returnLossDb(rhoHigh), rhoLow > 0 ? common::returnLossDb(rhoLow) : kInf);
  set(kSwr, common::swrOfMagnitude(rhoLow), common::swrOfMagnitude(rhoHigh));
  // |phase|: the turn's range folded onto 0 to 180 degrees.
  double phaseLow = 0, phaseHigh = 180;
  if (!e.turnAll) {
    const double a = e.turn.low + turn, b = e.turn.high + turn;
    auto folded = [](double angle) {
      return std::fabs(angle - kTwoPi * std::round(angle / kTwoPi));
    };
    const bool acrossZero = std::floor(a / kTwoPi) != std::floor(b / kTwoPi) || wrapped(a) == 0;
    const bool acrossHalf = std::floor((a - kPi) / kTwoPi) != std::floor((b - kPi) / kTwoPi);
    phaseLow = acrossZero ? 0 : std::min(folded(a), folded(b)) * kDegreesPerRadian;
    phaseHigh = acrossHalf ? 180 : std::max(folded(a), folded(b)) * kDegreesPerRadian;
  }
  set(kPhase, phaseLow, phaseHigh);
  constexpr double r0 = common::kReferenceOhm;
  set(kResistance, r0 * std::max(e.r.low, 0.0), r0 * std::max(e.r.high, 0.0));
  set(kReactance, r0 * e.x.low, r0 * e.x.high);
  set(kImpedance, r0 * std::max(e.z.low, 0.0), r0 * e.z.high);
  for (int q = 0; q < kQuantities; ++q)
    if (std::isfinite(shown[q])) {
      out.low[q] = std::min(out.low[q], shown[q]);
      out.high[q] = std::max(out.high[q], shown[q]);
    }
  return out;
}

}  // namespace

namespace {

// The ratios readings `a`, `b` allow.
RatioSector ratioSector(double a, double b, const ErrorTerms& t, const BridgeFigures& f,
                        int passes) {
  RatioSector out{};
  const double spreadA = channelASpread(f, passes);
  out.rhoLow = a - spreadA <= f.magnitudeFloorCounts ? 0 : ratioSize(t, a - spreadA);
  out.rhoHigh = ratioSize(t, a + spreadA);
  Bounds phaseRange;
  const double spreadB = channelBSpread(f, std::max(out.rhoLow, 1e-3), passes);
  for (double counts : {b - spreadB, b + spreadB})
    for (double slope : {-f.phaseSlope, f.phaseSlope})
      for (double error : {-f.phaseErrorDeg, f.phaseErrorDeg})
        phaseRange.take((counts * kDegreesPerCount - error) / (1 + slope));
  const double read = b * kDegreesPerCount;
  if (read < f.phaseEndDeg) phaseRange.low = 0;
  if (read > 180 - f.phaseEndDeg) phaseRange.high = 180;
  out.low = std::max(phaseRange.low, 0.0) / kDegreesPerRadian;
  out.high = std::min(phaseRange.high, 180.0) / kDegreesPerRadian;
  return out;
}

// The interval over a sector of ratios of the readings' sizes, angles [from,
// from + span], widened by what the terms may be off by there.
class SectorIntervals {
 public:
  SectorIntervals(const ErrorTerms& t, const TermBounds& bounds, double a,
                  const RatioSector& sector)
      : t_(t),
        bounds_(bounds),
        x_(ratioMovePerSlope(t, a)),
        rhoLow_(sector.rhoLow),
        rhoHigh_(sector.rhoHigh),
        special_(termsShared(t).special) {}

  PointInterval operator()(Complex reference, const PointValues& shown, double from,
                           double span) const {
    const SectorAngles angles(from, span);
    const double turn = std::arg(reference), referenceSize = std::abs(reference);
    const Complex toReference = referenceSize > 0 && referenceSize < kInf
                                    ? std::conj(reference) / referenceSize
                                    : std::polar(1.0, -turn);
    RegionExtremes e = overSector(t_, toReference, rhoLow_, rhoHigh_, angles, special_);
    std::array<double, 5> most{};
    auto sample = [&](Complex w) {
      const auto spread = termSpread(t_, bounds_, w, x_);
      for (size_t k = 0; k < most.size(); ++k) most[k] = std::max(most[k], spread[k]);
    };
    sample(angles.at(referenceSize, 1));
    for (double size : {rhoLow_, rhoHigh_})
      for (size_t k : {0u, 2u}) sample(angles.at(size, k));
    if (span >= kTwoPi)
      for (double angle : {kPi / 2, kPi, 3 * kPi / 2}) sample(std::polar(rhoHigh_, angle));
    e.size.low -= most[0], e.size.high += most[0];
    e.turn.low -= most[1], e.turn.high += most[1];
    if (!(most[1] < kPi / 2)) e.turnAll = true;
    e.r.low -= most[2], e.r.high += most[2];
    e.x.low -= most[3], e.x.high += most[3];
    e.z.low -= most[4], e.z.high += most[4];
    return intervalOf(e, turn, shown);
  }

 private:
  const ErrorTerms& t_;
  const TermBounds& bounds_;
  const double x_, rhoLow_, rhoHigh_;
  const SpecialRatios special_;
};

// `range` widened to hold `values` (those finite).
void holding(PointInterval& range, const PointValues& values) {
  for (int q = 0; q < kQuantities; ++q)
    if (std::isfinite(values[q])) {
      range.low[q] = std::min(range.low[q], values[q]);
      range.high[q] = std::max(range.high[q], values[q]);
    }
}

}  // namespace

SectorStart sectorStart(double a, double b, const ErrorTerms& t, const BridgeFigures& f,
                        int passes) {
  return {ratioSector(a, b, t, f, passes), correctedBothWays(a, b, t), termsShared(t).bounds};
}

void correctRanges(CorrectedReading& out, double a, double b, const ErrorTerms& t,
                   const BridgeFigures& f, int passes, unsigned sectors) {
  correctRanges(out, a, t, sectorStart(a, b, t, f, passes), sectors);
}

void correctRanges(CorrectedReading& out, double a, const ErrorTerms& t, const SectorStart& start,
                   unsigned sectors) {
  const auto [gPlus, gMinus] = start.corrected;
  const RatioSector& sector = start.ratios;
  const double low = sector.low, high = sector.high;
  const SectorIntervals over(t, start.bounds, a, sector);
  out.merged = low <= 0 || high >= kPi;
  if (out.merged) {
    // Within an end region both signs are one region about that end.
    const bool both = low <= 0 && high >= kPi;
    const double from = both ? 0 : low <= 0 ? -high : low;
    const double span = both ? kTwoPi : low <= 0 ? 2 * high : kTwoPi - 2 * low;
    out.plusRange = over(gPlus, out.plus, from, span);
    holding(out.plusRange, out.minus);
    out.minusRange = out.plusRange;
  } else {
    if (sectors & kPlusSector) out.plusRange = over(gPlus, out.plus, low, high - low);
    if (sectors & kMinusSector) out.minusRange = over(gMinus, out.minus, -high, high - low);
  }
  out.plusRange.reactanceResolution = out.minusRange.reactanceResolution = out.resolution;
}

ReactanceBounds reactanceBounds(double a, double b, const ErrorTerms& t, const BridgeFigures& f,
                                int passes) {
  return reactanceBounds(a, t, sectorStart(a, b, t, f, passes));
}

ReactanceBounds reactanceBounds(double a, const ErrorTerms& t, const SectorStart& start) {
  const RatioSector& sector = start.ratios;
  ReactanceBounds out;
  out.merged = sector.low <= 0 || sector.high >= kPi;
  if (out.merged) return out;
  // A disc about the sector's middle holding it (a ratio of size rho at angle
  // theta lies within |rho - mid| + rho 2 sin(|theta - middle| / 2) of it) and
  // the ratio of the reading's corrected size at the middle angle, where
  // SectorIntervals also takes the terms' spread.
  const double mid = (sector.rhoLow + sector.rhoHigh) / 2;
  const Complex unit = std::polar(1.0, (sector.low + sector.high) / 2);
  const double across = (sector.rhoHigh - sector.rhoLow) / 2 +
                        sector.rhoHigh * 2 * std::sin((sector.high - sector.low) / 4);
  const auto& corrected = start.corrected;
  const TermBounds& bounds = start.bounds;
  const DiscMap& disc = termsShared(t).disc;
  const double slopeMove = std::fabs(ratioMovePerSlope(t, a));
  for (size_t k : {0u, 1u}) {
    const double radius =
        (1 + 1e-9) * std::max(across, std::fabs(quickModulus(corrected[k]) - mid)) + 1e-12;
    const Complex centre = mid * (k == 0 ? unit : std::conj(unit));
    const ReactanceRange x = reactanceOverDisc(t, bounds, disc, centre, radius, slopeMove);
    out.low[k] = common::kReferenceOhm * x.low;
    out.high[k] = common::kReferenceOhm * x.high;
  }
  return out;
}

CorrectedReading correctReading(double a, double b, const ErrorTerms& t, const BridgeFigures& f,
                                int passes) {
  CorrectedReading out = correctedValues(a, b, t);
  correctRanges(out, a, b, t, f, passes);
  return out;
}

void holdValues(CorrectedReading& c, const CorrectedReading& ranges, unsigned sectors) {
  c.merged = ranges.merged;
  if (c.merged) sectors = kBothSectors;
  if (sectors & kPlusSector) {
    c.plusRange = ranges.plusRange;
    holding(c.plusRange, c.plus);
  }
  if (sectors & kMinusSector) {
    c.minusRange = ranges.minusRange;
    holding(c.minusRange, c.minus);
  }
  if (c.merged) {
    holding(c.plusRange, c.minus);
    c.minusRange = c.plusRange;
  }
  c.plusRange.reactanceResolution = c.minusRange.reactanceResolution = c.resolution;
}

}  // namespace kolm::analyzer
