#include "analyzer/term_spread.h"

#include <cmath>

#include "common/constants.h"
#include "common/reflection.h"

namespace kolm::analyzer {

using Complex = std::complex<double>;

namespace {

// How much further than its first order `total` G may move when the terms
// are off by their bounds, with |u| = |w - e00| at most `u`, the ratio's own
// move `dw` and |D| = |T + e11 u| at least `dSize`: the denominator's own
// change, the source match's change times the directivity's, and the ratio's
// exponential in the counts per dB. Infinite where D may vanish.
double secondOrderMove(const TermBounds& bounds, double total, double u, double dw, double dSize) {
  const double de = bounds.directivity, dt = bounds.tracking, ds = bounds.sourceMatch;
  const double dd = dt + ds * (u + de + dw) + (bounds.sourceMatchSize + ds) * (de + dw);
  const double room = dSize - dd;
  return room > 0 ? total * dd / room + (u + dw) * ds * (de + dw) / (dSize * room) +
                        bounds.trackingSize / (dSize * room) * dw * dw
                  : kInf;
}

}  // namespace

TermBounds::TermBounds(const ErrorTerms& t)
    : directivity(std::hypot(t.pm[kDirectivityRe], t.pm[kDirectivityIm])),
      tracking(std::hypot(t.pm[kTrackingRe], t.pm[kTrackingIm])),
      sourceMatch(std::hypot(t.pm[kSourceMatchRe], t.pm[kSourceMatchIm])),
      trackingSize(quickModulus(t.tracking)),
      sourceMatchSize(quickModulus(t.sourceMatch)) {}

DiscMap::DiscMap(const ErrorTerms& t)
    : alpha(1.0 + t.sourceMatch),
      gamma(t.sourceMatch - 1.0),
      delta(t.tracking - gamma * t.directivity),
      poleOffset(quickQuotient(delta, gamma)),
      k(quickQuotient((t.tracking - alpha * t.directivity) * gamma - alpha * delta, gamma * gamma)),
      zOffset(quickQuotient(alpha, gamma)),
      kSize(quickModulus(k)),
      gammaSize(quickModulus(gamma)),
      pmSums{t.pm[kDirectivityRe] + t.pm[kDirectivityIm], t.pm[kTrackingRe] + t.pm[kTrackingIm],
             t.pm[kSourceMatchRe] + t.pm[kSourceMatchIm]} {}

double ratioMovePerSlope(const ErrorTerms& t, double a) {
  return std::log(10.0) * -(a - kTotalReflectionCounts) / (20 * t.countsPerDb * t.countsPerDb);
}

std::array<double, 5> termSpread(const ErrorTerms& t, const TermBounds& bounds, Complex w,
                                 double x) {
  const Complex u = w - t.directivity, d = t.tracking + t.sourceMatch * u;
  const Complex inverse = quickQuotient(1.0, d * d);
  // How G moves per unit of each term's real part (its imaginary part moves it
  // by -i times as much): -T / D^2, -u / D^2, -u^2 / D^2; and per count per dB.
  const Complex byDirectivity = -t.tracking * inverse, byTracking = -u * inverse;
  const Complex g = -byTracking * d;
  const Complex oneLess = 1.0 - g;
  const Complex zSlope = quickQuotient(2.0, oneLess * oneLess);
  const Complex z = common::impedancePerReferenceOf(g);
  const double size = quickModulus(g), zSize = quickModulus(z);
  const Complex along = size > 0 ? std::conj(g) / size : 1.0;
  const Complex zAlong = zSize > 0 ? std::conj(z) / zSize : 1.0;
  std::array<double, 5> s{};
  double total = 0;
  // A move v times the real part's pm `re` and -i v times the imaginary
  // part's `im`: the projection of -i v is the other part of v's, turned.
  auto add = [&](Complex v, double re, double im) {
    total += quickModulus(v) * (re + im);
    const Complex p = v * along, q = zSlope * v, r = zAlong * q;
    s[0] += std::fabs(p.real()) * re + std::fabs(p.imag()) * im;
    s[1] += size > 0 ? (std::fabs(p.imag()) * re + std::fabs(p.real()) * im) / size : kInf;
    s[2] += std::fabs(q.real()) * re + std::fabs(q.imag()) * im;
    s[3] += std::fabs(q.imag()) * re + std::fabs(q.real()) * im;
    s[4] += std::fabs(r.real()) * re + std::fabs(r.imag()) * im;
  };
  add(byDirectivity, t.pm[kDirectivityRe], t.pm[kDirectivityIm]);
  add(byTracking, t.pm[kTrackingRe], t.pm[kTrackingIm]);
  add(byTracking * u, t.pm[kSourceMatchRe], t.pm[kSourceMatchIm]);
  add(byDirectivity * (w * -x), t.pm[kCountsPerDb], 0);
  // What the first order leaves out of dG.
  const double dw = quickModulus(w) * std::fabs(x) * t.pm[kCountsPerDb];
  const double second = secondOrderMove(bounds, total, quickModulus(u), dw, quickModulus(d));
  const double within = total + second;  // how far G may move
  // And what the quantities' own first order leaves out over that distance:
  // dZ - Z' dG = 2 dG^2 / ((1 - G)^2 (1 - G - dG)).
  const double near = quickModulus(oneLess) - within;
  const double zSecond = near > 0 ? 2 * within * within / (std::norm(oneLess) * near) : kInf;
  const double zGradient = near > 0 ? 2 / (near * near) : kInf;
  constexpr double kRounding = 1.001;
  s[0] = kRounding * s[0] + second;
  // The angle: the first order's own remainder asin(r) - r, and the second
  // order's move seen from G.
  const double r = within / size;
  s[1] = r < 1 ? kRounding * s[1] + (std::asin(r) - r) + second / (size - within) : kInf;
  for (size_t k = 2; k < 5; ++k) s[k] = kRounding * s[k] + second * zGradient + zSecond;
  return s;
}

ReactanceRange reactanceOverDisc(const ErrorTerms& t, const TermBounds& bounds, const DiscMap& m,
                                 Complex centre, double radius, double x) {
  constexpr ReactanceRange kAll{-kInf, kInf};
  // Z / R0 = (alpha w + beta) / (gamma w + delta) with u = w - e00 and D = T
  // + e11 u: (D + u) / (D - u). A disc not holding the pole goes to a disc.
  const Complex off = centre + m.poleOffset;  // from the pole
  const double room = std::norm(off) - radius * radius;
  if (!(room > 0) || !(std::norm(m.gamma) > 0)) return kAll;
  const Complex zCentre = m.zOffset + m.k * std::conj(off) / room;
  const double zRadius = m.kSize * radius / room;
  // termSpread's every factor at its worst over the disc: |u| and |w| largest,
  // |D| and |1 - G| = |D - u| / |D| least.
  const Complex uCentre = centre - t.directivity;
  const double uMax = quickModulus(uCentre) + radius, wMax = quickModulus(centre) + radius;
  const double dNear = quickModulus(t.tracking + t.sourceMatch * uCentre);
  const double dMin = dNear - bounds.sourceMatchSize * radius;
  const double dMax = dNear + bounds.sourceMatchSize * radius;
  const double oMin = (quickModulus(t.tracking + m.gamma * uCentre) - m.gammaSize * radius) / dMax;
  const double tSize = bounds.trackingSize;
  const double total = (tSize * m.pmSums[0] + uMax * m.pmSums[1] + uMax * uMax * m.pmSums[2] +
                        tSize * wMax * x * t.pm[kCountsPerDb]) /
                       (dMin * dMin);
  if (!(dMin > 0) || !(oMin > 0)) return kAll;
  const double second = secondOrderMove(bounds, total, uMax, wMax * x * t.pm[kCountsPerDb], dMin);
  if (!std::isfinite(second)) return kAll;
  const double within = total + second;
  const double near = oMin - within;
  if (!(near > 0)) return kAll;
  const double spread = 1.001 * 2 / (oMin * oMin) * total + second * 2 / (near * near) +
                        2 * within * within / (oMin * oMin * near);
  const double reach = zRadius + spread;
  // With room for rounding, which the sector's own computation also has.
  const double margin = 1e-6 * (quickModulus(zCentre) + reach);
  if (!std::isfinite(reach + margin + zCentre.imag())) return kAll;
  return {zCentre.imag() - reach - margin, zCentre.imag() + reach + margin};
}

}  // namespace kolm::analyzer
