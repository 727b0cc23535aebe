#include "analyzer/quantity_trace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

#include "analyzer/charts.h"
#include "common/constants.h"
#include "common/reflection.h"

namespace kolm::analyzer {

namespace {
constexpr std::array<std::string_view, kQuantities> kQuantityNames{"rl", "phase", "z",
                                                                   "r",  "x",     "swr"};
// The farthest a point of the ring sector |g| in [r0, r1], arg g in [a0, a1]
// (radians, a1 - a0 <= 2 pi) lies from c: for each radius at an end of the
// angles or straight across from c, for each angle at either radius.
double farthestInSector(std::complex<double> c, double r0, double r1, double a0, double a1) {
  double across = std::arg(c) + kPi;
  while (across > a1) across -= kTwoPi;
  while (across < a0) across += kTwoPi;
  double far = 0;
  for (double a : {a0, a1, across}) {
    if (a > a1) continue;
    for (double r : {r0, r1}) far = std::max(far, std::abs(c - std::polar(r, a)));
  }
  return far;
}

}  // namespace

chart::ReflectionPoint reflectionOf(const chart::TracePoint& rl, const chart::TracePoint& phase,
                                    ReactanceSign known) {
  if (rl.mark == chart::Mark::Invalid || phase.mark == chart::Mark::Invalid ||
      !std::isfinite(rl.value) || !std::isfinite(phase.value))
    return {{}, kInf, chart::Mark::Invalid};
  const double sign = known == ReactanceSign::Capacitive ? -1 : 1;
  constexpr double kRadian = kPi / 180;
  chart::ReflectionPoint g;
  g.value = std::polar(std::min(1.0, common::magnitudeOfReturnLoss(rl.value)),
                       sign * phase.value * kRadian);
  const auto [rlLow, rlHigh] = chart::markedInterval(rl);
  const auto [phaseLow, phaseHigh] = chart::markedInterval(phase);
  const double r0 = common::magnitudeOfReturnLoss(rlHigh);
  const double r1 = std::min(1.0, common::magnitudeOfReturnLoss(rlLow));
  const double p0 = std::clamp(phaseLow, 0.0, 180.0) * kRadian;
  const double p1 = std::clamp(phaseHigh, 0.0, 180.0) * kRadian;
  // The angles a0 to a1 the sector spans: one side where the sign is known
  // and the phase clear of its ends, else across 0 or 180 degrees, the
  // shorter way, to take in the other side.
  const bool either = known == ReactanceSign::Unknown;
  double a0 = sign > 0 ? p0 : -p1, a1 = sign > 0 ? p1 : -p0;
  if (p0 <= 0 && p1 >= kPi)
    a0 = -kPi, a1 = kPi;
  else if (p0 <= 0 || (either && p1 <= kPi - p0))
    a0 = -p1, a1 = p1;
  else if (p1 >= kPi || either)
    a0 = p0, a1 = kTwoPi - p0;
  g.radius = farthestInSector(g.value, std::min(r0, r1), r1, a0, a1) * (1 + 1e-12) + 1e-15;
  const bool uncertain = rl.mark == chart::Mark::Uncertain || phase.mark == chart::Mark::Uncertain;
  g.mark = !chart::numeric(rl.mark) || !chart::numeric(phase.mark) ? chart::Mark::Approximate
           : uncertain                                             ? chart::Mark::Uncertain
                                                                   : chart::Mark::Valid;
  return g;
}

chart::ReflectionPoint reflectionAt(const TraceValues& t, size_t i) {
  auto point = [&](int q) {
    const double v = t.values[q][i];
    const double pm = i < t.halfWidths[q].size() ? t.halfWidths[q][i] : kInf;
    return chart::TracePoint{v, v - pm, v + pm, t.mark(i, q)};
  };
  return reflectionOf(point(kReturnLoss), point(kPhase), t.signs[i]);
}

std::string_view quantityName(int q) { return kQuantityNames[static_cast<size_t>(q)]; }

std::optional<int> quantityByName(std::string_view name) {
  for (int q = 0; q < kQuantities; ++q)
    if (kQuantityNames[static_cast<size_t>(q)] == name) return q;
  return std::nullopt;
}

chart::StoredTrace quantityTrace(std::string name, const TraceValues& t, int q,
                                 bool withReflections) {
  chart::StoredTrace s{std::move(name), std::string(quantityName(q)), kQuantityUnits[q]};
  const size_t n = t.frequencies.size();
  const bool intervals = t.halfWidths[q].size() >= n;
  s.x.assign(t.frequencies.begin(), t.frequencies.end());
  s.value.resize(n);
  s.low.resize(n);
  s.high.resize(n);
  s.marks.resize(n);
  bool anyMark = false;
  for (size_t i = 0; i < n; ++i) {
    const double v = q == kReactance ? t.signedReactance(i) : t.values[q][i];
    chart::Mark m = t.mark(i, q);
    if (q == kReactance && m == chart::Mark::Valid && t.signs[i] == ReactanceSign::Unknown)
      m = chart::Mark::Approximate;
    // Without intervals a value is known no closer than its mark says.
    if (!intervals && m == chart::Mark::Valid) m = chart::Mark::Approximate;
    const double pm = intervals ? t.halfWidths[q][i] : HUGE_VAL;
    s.value[i] = std::isfinite(v) ? v : NAN;
    s.low[i] = v - pm;
    s.high[i] = v + pm;
    if (q == kSwr && !std::isfinite(pm) && i < t.swrLow.size()) s.low[i] = t.swrLow[i];
    if (!std::isfinite(v)) {
      s.low[i] = -HUGE_VAL, s.high[i] = HUGE_VAL;
      if (m != chart::Mark::Open) m = chart::Mark::Invalid;
    }
    s.marks[i] = m;
    anyMark = anyMark || m != chart::Mark::Valid;
  }
  if (!anyMark) s.marks.clear();
  if (withReflections && t.signs.size() >= n && t.flags.size() >= n) {
    s.reflection.resize(n);
    for (size_t i = 0; i < n; ++i) s.reflection[i] = reflectionAt(t, i);
  }
  return s;
}

}  // namespace kolm::analyzer
