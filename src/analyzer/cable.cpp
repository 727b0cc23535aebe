#include "analyzer/cable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "analyzer/validity.h"
#include "chart/edges.h"
#include "circuit/transmission_line.h"
#include "common/constants.h"
#include "common/reflection.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

using Complex = std::complex<double>;
constexpr double kLight = common::kSpeedOfLight;  // m/s

// Typical published figures of each type: 50 ohm coaxial cables with a solid
// (VF 0.66) or foamed dielectric, and open-wire ladder line.
constexpr CableType kTypes[] = {
    {"RG58", 50, 0.66, 16.1, 100},  {"RG8X", 50, 0.78, 12.1, 100},
    {"RG213", 50, 0.66, 6.9, 100},  {"RG174", 50, 0.66, 29.2, 100},
    {"LMR400", 50, 0.85, 3.9, 100}, {"LADDER450", 450, 0.91, 1.0, 100},
};

std::string withoutDashes(std::string_view text) {
  std::string out;
  for (char c : common::asciiLower(common::trimBlanks(text)))
    if (c != '-' && c != '_') out += c;
  return out;
}

std::optional<double> numberOf(std::string_view text) {
  return common::argumentNumber(std::string(common::trimBlanks(text)));
}

// The six quantities of a reflection against 50 ohm, X signed.
PointValues quantitiesOf(Complex g) {
  PointValues v{};
  const double rho = std::abs(g);
  v[kReturnLoss] = static_cast<float>(common::returnLossDb(rho));
  v[kPhase] = static_cast<float>(std::fabs(std::arg(g)) * 180 / std::numbers::pi);
  const Complex z = std::norm(1.0 - g) < 1e-24 ? Complex(kInf, 0) : common::impedanceOf(g);
  v[kImpedance] = static_cast<float>(std::abs(z));
  v[kResistance] = static_cast<float>(z.real());
  v[kReactance] = static_cast<float>(z.imag());
  v[kSwr] = static_cast<float>(common::swrOf(g));
  return v;
}

struct Span {
  double low = kInf, high = -kInf;
  void take(double v) {
    if (std::isnan(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

}  // namespace

std::span<const CableType> cableTypes() { return kTypes; }

std::string cableText(const Cable& c) {
  using common::shortestText;
  return (c.name.empty() ? "" : c.name + ", ") + shortestText(c.lengthM, 6) + " m, VF " +
         shortestText(c.velocityFactor, 4) + ", " + shortestText(c.lossDbPer100m, 4) +
         " dB per 100 m at " + shortestText(c.lossAtMHz, 6) + " MHz, " + shortestText(c.z0Ohm, 6) +
         " ohm";
}

std::string cableSpec(const Cable& c) {
  auto n = [](double v) { return common::shortestText(v, 17); };
  for (const CableType& t : kTypes)
    if (c.name == t.name && c.z0Ohm == t.z0Ohm && c.velocityFactor == t.velocityFactor &&
        c.lossDbPer100m == t.lossDbPer100m && c.lossAtMHz == t.atMHz)
      return c.name + ":" + n(c.lengthM);
  return n(c.lengthM) + "," + n(c.velocityFactor) + "," + n(c.lossDbPer100m) + "@" +
         n(c.lossAtMHz) + "," + n(c.z0Ohm);
}

std::optional<Cable> parseCable(std::string_view text, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<Cable> {
    if (error) *error = why;
    return std::nullopt;
  };
  Cable c;
  if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    const std::string name = withoutDashes(text.substr(0, colon));
    const CableType* type = nullptr;
    for (const CableType& t : kTypes)
      if (withoutDashes(t.name) == name) type = &t;
    if (!type) {
      std::string names;
      for (const CableType& t : kTypes) names += (names.empty() ? "" : ", ") + std::string(t.name);
      return fail("'" + std::string(common::trimBlanks(text.substr(0, colon))) +
                  "' is not a cable type this program knows (" + names + ")");
    }
    c = {{type->z0Ohm, 0, type->velocityFactor, type->lossDbPer100m, type->atMHz}, type->name};
    const auto length = numberOf(text.substr(colon + 1));
    if (!length) return fail("TYPE:LEN_M needs the length in metres after the colon");
    c.lengthM = *length;
  } else {
    std::vector<std::string_view> fields;
    for (size_t at = 0; at <= text.size();) {
      const size_t comma = std::min(text.find(',', at), text.size());
      fields.push_back(text.substr(at, comma - at));
      at = comma + 1;
    }
    const size_t atSign = fields.size() >= 3 ? fields[2].find('@') : std::string_view::npos;
    if ((fields.size() != 3 && fields.size() != 4) || atSign == std::string_view::npos)
      return fail("a cable is LEN_M,VF,LOSS_DB_PER_100M@MHZ[,Z0_OHM] or TYPE:LEN_M");
    const auto length = numberOf(fields[0]), vf = numberOf(fields[1]),
               loss = numberOf(fields[2].substr(0, atSign)),
               at = numberOf(fields[2].substr(atSign + 1));
    const auto z0 = fields.size() == 4 ? numberOf(fields[3]) : std::optional<double>(50);
    if (!length || !vf || !loss || !at || !z0)
      return fail("'" + std::string(text) + "': every figure must be a number");
    c = {{*z0, *length, *vf, *loss, *at}, {}};
  }
  if (!(c.lengthM >= 0) || c.lengthM > 100000) return fail("the length must be 0 to 100000 m");
  // Ranges no line made of wire and dielectric leaves (and within which the
  // line's maths stays finite).
  if (!(c.velocityFactor >= 0.1) || c.velocityFactor > 1)
    return fail("the velocity factor must be 0.1 to 1");
  if (!(c.lossDbPer100m >= 0 && c.lossDbPer100m <= 10000) ||
      !(c.lossAtMHz >= 0.001 && c.lossAtMHz <= 100000))
    return fail("the loss must be 0 to 10000 dB per 100 m, at 0.001 to 100000 MHz");
  if (!(c.z0Ohm >= 1 && c.z0Ohm <= 1000))
    return fail("the characteristic impedance must be 1 to 1000 ohm");
  return c;
}

Complex farEndReflection(const Cable& cable, double mhz, Complex near) {
  return circuit::farEndReflection(cable, mhz, near);
}

namespace {

// The far end's impedance when the near end shows `nearZ`.
Complex farEndImpedance(const Cable& cable, double mhz, Complex nearZ) {
  return common::impedanceOf(farEndReflection(cable, mhz, common::reflectionOf(nearZ)));
}

}  // namespace

namespace {

// Every load the near end's reading of point i allows, through the line: each
// quantity's range (X signed), and whether they include a match or an open.
struct CarriedRange {
  std::array<Span, kQuantities> range;
  bool matchInside = false, openInside = false;
};

// The near end's reflection lies in the sector its return loss and phase
// intervals give (on the side of its sign, or either side when the sign is
// unknown). The line maps that sector conformally, so each quantity's extremes
// over it lie on its image's boundary, or where the image holds the centre (a
// match) or the real axis (X = 0). The sector is sampled on a 9 x 9 grid of
// size and angle through the line, every sample kept passive; each range is
// widened by the largest change between neighbouring samples, so that the
// boundary between them is covered too.
CarriedRange carriedRange(const TraceValues& in, size_t i, const Cable& cable) {
  constexpr int kGrid = 9;
  const double mhz = in.frequencies[i];
  const double rl = in.values[kReturnLoss][i], rlPm = in.halfWidths[kReturnLoss][i];
  const double ph = in.values[kPhase][i], phPm = in.halfWidths[kPhase][i];
  const double rhoLow = std::isfinite(rlPm) ? common::magnitudeOfReturnLoss(rl + rlPm) : 0;
  const double rhoHigh = std::min(1.0, common::magnitudeOfReturnLoss(rl - rlPm));
  const double thetaLow = std::max(0.0, ph - phPm) * std::numbers::pi / 180;
  const double thetaHigh = std::min(180.0, ph + phPm) * std::numbers::pi / 180;
  const int sign = static_cast<int>(in.signs[i]);
  CarriedRange out;
  std::array<double, kQuantities> step{};
  std::vector<PointValues> grid(kGrid * kGrid);
  for (int side : {1, -1}) {
    if (sign != 0 && side != sign) continue;
    for (int a = 0; a < kGrid; ++a)
      for (int b = 0; b < kGrid; ++b) {
        const double rho = rhoLow + (rhoHigh - rhoLow) * a / (kGrid - 1);
        const double theta = thetaLow + (thetaHigh - thetaLow) * b / (kGrid - 1);
        Complex g = farEndReflection(cable, mhz, std::polar(rho, side * theta));
        if (std::abs(g) > 1) g /= std::abs(g);
        PointValues& s = grid[static_cast<size_t>(a * kGrid + b)];
        s = quantitiesOf(g);
        for (int q = 0; q < kQuantities; ++q) {
          out.range[static_cast<size_t>(q)].take(s[q]);
          for (int back : {1, kGrid}) {  // the neighbours below and to the left
            const int k = a * kGrid + b - back;
            if ((back == 1 && b == 0) || (back == kGrid && a == 0)) continue;
            const double d = std::fabs(s[q] - grid[static_cast<size_t>(k)][q]);
            step[static_cast<size_t>(q)] =
                std::max(step[static_cast<size_t>(q)], std::isnan(d) ? kInf : d);
          }
        }
      }
  }
  for (int q = 0; q < kQuantities; ++q) {
    out.range[static_cast<size_t>(q)].low -= step[static_cast<size_t>(q)];
    out.range[static_cast<size_t>(q)].high += step[static_cast<size_t>(q)];
  }
  // Where the image holds a match or an open, the extremes lie inside.
  auto inSector = [&](Complex far) {
    const Complex g = circuit::nearEndReflection(cable, mhz, far);
    const double angle = std::fabs(std::arg(g));
    return std::abs(g) >= rhoLow && std::abs(g) <= rhoHigh && angle >= thetaLow &&
           angle <= thetaHigh && (sign == 0 || sign * g.imag() >= 0);
  };
  out.matchInside = inSector(0);
  out.openInside = inSector(1);
  return out;
}

// What the far end's |X| may move by when the near end's R or X moves by its
// resolution (the change the sign inference can tell from the noise).
float farResolution(const Cable& cable, double mhz, Complex nearZ, float resolution) {
  const double x = farEndImpedance(cable, mhz, nearZ).imag();
  double most = 0;
  for (Complex d : {Complex(resolution, 0), Complex(-resolution, 0), Complex(0, resolution),
                    Complex(0, -resolution)})
    most = std::max(most, std::fabs(farEndImpedance(cable, mhz, nearZ + d).imag() - x));
  return std::isfinite(most) ? static_cast<float>(most) : std::numeric_limits<float>::infinity();
}

// The far end's signs where the loads the reading allows do not settle them
// (`settled`): inferred along the far end's own trace from the points whose near
// end's sign is known, as for a load on the bridge.
void inferFarSigns(const TraceValues& near, const Cable& cable, const std::vector<uint8_t>& settled,
                   TraceValues& far) {
  const size_t n = far.flags.size();
  if (near.reactanceResolution.size() != n) return;
  std::vector<uint8_t> measured(n), zeroInside(n);
  std::vector<float> resolution(n, std::numeric_limits<float>::infinity());
  for (size_t i = 0; i < n; ++i) {
    const float x = far.values[kReactance][i];
    measured[i] = far.flags[i] == PointFlag::Valid && near.signs[i] != ReactanceSign::Unknown &&
                  std::isfinite(x) && std::isfinite(near.values[kResistance][i]);
    if (measured[i])
      resolution[i] = farResolution(cable, far.frequencies[i],
                                    {near.values[kResistance][i], near.signedReactance(i)},
                                    near.reactanceResolution[i]);
    zeroInside[i] = far.halfWidths[kReactance][i] >= x;
  }
  std::vector<ReactanceSign> inferred;
  inferReactanceSigns({far.frequencies, far.values[kReactance], far.values[kResistance], resolution,
                       measured, zeroInside},
                      inferred);
  for (size_t i = 0; i < n; ++i)
    if (!settled[i]) far.signs[i] = inferred[i];
}

// The interval of each quantity of the far end's load: what the reading
// allows (`carried`), widened to hold `v`, a load being passive.
PointInterval loadInterval(const CarriedRange& carried, const PointValues& v) {
  PointInterval interval;
  for (int q = 0; q < kQuantities; ++q) {
    Span s = carried.range[static_cast<size_t>(q)];
    if (q == kReactance) {  // |X|: 0 where the signed range holds it
      const double low = s.low, high = s.high;
      s.low = low <= 0 && high >= 0 ? 0 : std::min(std::fabs(low), std::fabs(high));
      s.high = std::max(std::fabs(low), std::fabs(high));
    }
    if (carried.matchInside) {
      if (q == kReturnLoss) s.high = kInf;
      if (q == kSwr) s.low = 1;
      if (q == kPhase) s = {0, 180};
    }
    if (carried.openInside) {
      if (q == kReturnLoss || q == kPhase) s.low = 0;
      if (q == kImpedance || q == kResistance || q == kReactance || q == kSwr) s.high = kInf;
    }
    // A load is passive.
    if (q == kReturnLoss || q == kResistance || q == kImpedance) s.low = std::max(s.low, 0.0);
    if (q == kSwr) s.low = std::max(s.low, 1.0);
    if (q == kPhase) s = {std::max(s.low, 0.0), std::min(s.high, 180.0)};
    interval.low[q] = static_cast<float>(std::min(s.low, static_cast<double>(v[q])));
    interval.high[q] = static_cast<float>(std::max(s.high, static_cast<double>(v[q])));
  }
  return interval;
}

}  // namespace

TraceValues withoutCable(const TraceValues& given, const Cable& cable) {
  // The load sits behind the line: the near end's signs are told again by the
  // turn of the reflection alone (a trace without the resolution the inference
  // needs keeps its own).
  TraceValues near = given;
  if (near.reactanceResolution.size() == near.flags.size() &&
      near.values[kReactance].size() == near.flags.size())
    inferSigns(near, true);
  const TraceValues& in = near;
  TraceValues out = in;
  out.returnLossCounts.clear();
  out.phaseCounts.clear();
  const size_t n = in.flags.size();
  // Points whose far end's sign the reading settles, or leaves open for good.
  std::vector<uint8_t> settled(n, 1);
  for (size_t i = 0; i < n; ++i) {
    const double mhz = in.frequencies[i];
    const double r = in.values[kResistance][i];
    const double x = in.signedReactance(i);
    if (std::isnan(r) || std::isnan(x)) {
      out.flags[i] = PointFlag::Invalid;
      for (int q = 0; q < kQuantities; ++q) out.values[q][i] = out.halfWidths[q][i] = NAN;
      out.uncertain[i] = 0;
      out.signs[i] = ReactanceSign::Unknown;
      continue;
    }
    const Complex near =
        std::isinf(r) || std::isinf(x) ? Complex(1, 0) : common::reflectionOf({r, x});
    const Complex far = farEndReflection(cable, mhz, near);
    PointValues v = quantitiesOf(far);
    const bool passive = std::abs(far) <= 1 + 1e-9;
    out.flags[i] = passive ? PointFlag::Valid : PointFlag::Invalid;
    v[kReactance] = std::fabs(v[kReactance]);
    if (!passive)
      for (int q : {kImpedance, kResistance, kReactance, kSwr}) v[q] = NAN;

    const CarriedRange carried = carriedRange(in, i, cable);
    // The far end's sign is the one every load the reading allows shares; the
    // inference along the far end's trace may tell it where they may have a
    // reactance of zero, not where they may pass through an open.
    const Span xRange = carried.range[kReactance];
    out.signs[i] = !passive || carried.matchInside || carried.openInside ? ReactanceSign::Unknown
                   : xRange.low > 0                                      ? ReactanceSign::Inductive
                   : xRange.high < 0                                     ? ReactanceSign::Capacitive
                                                                         : ReactanceSign::Unknown;
    settled[i] = out.signs[i] != ReactanceSign::Unknown || !passive || carried.openInside;
    const PointInterval interval = loadInterval(carried, v);
    UncertainSet uncertain = 0;
    for (int q = 0; q < kQuantities; ++q) {
      out.values[q][i] = v[q];
      const float pm = interval.halfWidth(q, v[q]);
      out.halfWidths[q][i] = std::isnan(pm) ? std::numeric_limits<float>::infinity() : pm;
      if (passive && tooWide(q, v, out.halfWidths[q][i]))
        uncertain |= static_cast<UncertainSet>(1u << q);
    }
    out.uncertain[i] = uncertain;
    out.swrLow[i] = interval.low[kSwr];
  }
  inferFarSigns(in, cable, settled, out);
  return out;
}

std::pair<double, double> stubSpan(double lengthM, StubEnd end) {
  const double quarterWave = kLight / (4 * lengthM) / 1e6;  // MHz, at a velocity factor of 1
  return {0.4 * quarterWave, (end == StubEnd::Open ? 3.3 : 4.4) * quarterWave};
}

namespace {

// A series resonance: where |Z| is least, and where the true least |Z| may lie.
struct Resonance {
  double mhz, low, high;
  size_t at;
};

// The series resonances in `t`: one in each run of points whose |Z| lies below
// Z0 (a stub's |Z| swings far above and below Z0 between them), at its |Z|
// minimum, where the readings tell a dip from noise.
std::vector<Resonance> seriesResonances(const TraceValues& t, double z0) {
  const size_t n = std::min(t.flags.size(), t.signs.size());
  const std::vector<float>& z = t.values[kImpedance];
  const std::vector<float>& zPm = t.halfWidths[kImpedance];
  auto hasZ = [&](size_t i) {
    return (t.flags[i] == PointFlag::Valid || t.flags[i] == PointFlag::PhaseLimit) &&
           std::isfinite(z[i]) && std::isfinite(t.values[kResistance][i]);
  };
  // The ends of |Z|'s interval (a trace without intervals: the readings).
  auto pm = [&](size_t i) {
    return zPm.size() == n ? (std::isnan(zPm[i]) ? kInf : static_cast<double>(zPm[i])) : 0.0;
  };
  auto lower = [&](size_t i) { return z[i] - pm(i); };
  auto upper = [&](size_t i) { return z[i] + pm(i); };
  std::vector<Resonance> found;
  for (size_t first = 0; first < n;) {
    if (!hasZ(first) || !(z[first] < z0)) {
      ++first;
      continue;
    }
    // Points without a value inside the run (a reading past a total
    // reflection near a sharp resonance) do not end it.
    size_t last = first;
    for (size_t k = first + 1; k < n && (!hasZ(k) || z[k] < z0); ++k)
      if (hasZ(k)) last = k;
    size_t best = first;
    for (size_t k = first; k <= last; ++k)
      if (hasZ(k) && z[k] < z[best]) best = k;
    // The centre of a run of equal lowest readings, or for a single lowest
    // one the vertex of the parabola through |Z|^2 there (R^2 + k^2 (f -
    // f0)^2 near a resonance).
    size_t end = best;
    while (end < last && hasZ(end + 1) && z[end + 1] == z[best]) ++end;
    double mhz = (t.frequencies[best] + t.frequencies[end]) / 2;
    if (end == best && best > first && best < last && hasZ(best - 1) && hasZ(best + 1)) {
      auto squared = [&](size_t k) { return static_cast<double>(z[k]) * z[k]; };
      const double a = squared(best - 1), b = squared(best), c = squared(best + 1);
      const double h = (t.frequencies[best + 1] - t.frequencies[best - 1]) / 2;
      if (a - 2 * b + c > 0) mhz += std::clamp(h * (a - c) / (2 * (a - 2 * b + c)), -h, h);
    }
    // A dip: on either side of the minimum a point whose |Z| is surely higher
    // (a run cut off by noise where |Z| passes Z0, or a slope whose readings
    // jump across Z0, has its lowest reading at an end). The true minimum
    // lies beside a point whose |Z| may be as low as the minimum's.
    bool left = false, right = false;
    size_t from = best, to = end;
    for (size_t k = first; k <= last; ++k) {
      if (!hasZ(k)) continue;
      const bool higher = lower(k) > upper(best);
      left |= k < best && higher;
      right |= k > end && higher;
      if (!higher) from = std::min(from, k), to = std::max(to, k);
    }
    auto knownSign = [&](size_t from, size_t to, int step) {
      for (size_t k = from; k != to; k += static_cast<size_t>(step))
        if (t.signs[k] != ReactanceSign::Unknown) return t.signs[k];
      return ReactanceSign::Unknown;
    };
    const bool falling = knownSign(best, first - 1, -1) == ReactanceSign::Inductive &&
                         knownSign(end, last + 1, 1) == ReactanceSign::Capacitive;
    // A minimum at an end of the sweep may lie beyond it.
    if (best > 0 && end + 1 < n && !falling && left && right)
      found.push_back({mhz, t.frequencies[from > 0 ? from - 1 : 0],
                       t.frequencies[std::min(to + 1, n - 1)], best});
    first = last + 1;
  }
  return found;
}

std::string frequenciesText(const std::vector<Resonance>& found) {
  std::string out;
  for (const Resonance& r : found)
    out += (out.empty() ? "" : ", ") + common::shortestText(r.mhz, 5);
  return out + " MHz";
}

// A first quarter wave (MHz) from the resonances found: half the median gap
// between them, or from one alone the order that gives a velocity factor from
// 0.5 to 1; nothing, with `error` said, where several orders would.
std::optional<double> quarterWave(const std::vector<Resonance>& found, double lengthM, int parity,
                                  std::string& error) {
  double quarter = 0;
  if (found.size() >= 2) {
    std::vector<double> gaps;
    for (size_t k = 1; k < found.size(); ++k) gaps.push_back(found[k].mhz - found[k - 1].mhz);
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<long>(gaps.size() / 2), gaps.end());
    quarter = gaps[gaps.size() / 2] / 2;
  } else {
    // One resonance: the order that gives a velocity factor from 0.5 to 1.
    int fits = 0;
    for (int m = parity == 1 ? 1 : 2; m < 200; m += 2) {
      const double vf = 4 * lengthM * found[0].mhz * 1e6 / (m * kLight);
      if (vf >= 0.5 && vf <= 1) {
        ++fits;
        quarter = found[0].mhz / m;
      }
    }
    if (fits != 1) {
      error = "one resonance found, which stubs of " + common::shortestText(lengthM) +
              " m with different velocity factors could give: sweep a span that holds two";
      return std::nullopt;
    }
  }
  return quarter;
}

}  // namespace

StubFigures measureStub(const TraceValues& t, double lengthM, StubEnd end, double z0) {
  StubFigures out;
  const std::vector<Resonance> found = seriesResonances(t, z0);
  if (found.empty()) {
    out.error =
        "no resonance found in the sweep (no dip of |Z| below Z0 that the readings tell from "
        "noise): sweep a wider span, check the stub's far end, or give a Z0 (--z0) the bridge "
        "can resolve";
    return out;
  }
  // The quarter-wave numbers: odd for an open stub, even for a shorted one.
  const int parity = end == StubEnd::Open ? 1 : 0;
  auto nearestOrder = [&](double x) {
    const int m = 2 * static_cast<int>(std::lround((x - parity) / 2)) + parity;
    return std::max(m, parity == 1 ? 1 : 2);
  };
  const auto first = quarterWave(found, lengthM, parity, out.error);
  if (!first) return out;
  double quarter = *first;  // MHz
  // The fit is linear in each resonance's frequency: the ends of their
  // intervals give the ends of the velocity factor's.
  double sumMf = 0, sumMm = 0, sumLow = 0, sumHigh = 0;
  std::vector<int> orders;
  for (const Resonance& r : found) {
    const int m = nearestOrder(r.mhz / quarter);
    orders.push_back(m);
    sumMf += m * r.mhz;
    sumLow += m * r.low;
    sumHigh += m * r.high;
    sumMm += m * m;
  }
  quarter = sumMf / sumMm;
  // A stub's resonances sit at the quarter wave's odd (open) or even (short)
  // multiples; one that does not, or two at one multiple, is noise or a far
  // end that is not what was said.
  for (size_t k = 0; k < found.size(); ++k)
    if (std::fabs(found[k].mhz - orders[k] * quarter) > 0.1 * quarter ||
        (k > 0 && orders[k] == orders[k - 1])) {
      out.error = "the resonances found (" + frequenciesText(found) +
                  ") are not spaced as a stub's: noise taken for a resonance, or a far end "
                  "that is not " +
                  (end == StubEnd::Open ? "open" : "shorted") +
                  "; sweep again with fewer points, or check the far end";
      return out;
    }
  const double toVf = 4 * lengthM * 1e6 / kLight;
  out.velocityFactor = toVf * quarter;
  out.electricalLengthM = lengthM / out.velocityFactor;
  out.resonances = static_cast<int>(found.size());
  if (out.velocityFactor > 1.02 || out.velocityFactor < 0.3) {
    out.error = "the resonances give a velocity factor of " +
                common::shortestText(out.velocityFactor, 3) +
                ", which no cable has: check the length and the far end (open or short)";
    return out;
  }
  const double vfLow = toVf * sumLow / sumMm, vfHigh = toVf * sumHigh / sumMm;
  if (t.halfWidths[kImpedance].size() == t.flags.size() && vfLow > 0) {
    out.velocityFactorPm = std::max(out.velocityFactor - vfLow, vfHigh - out.velocityFactor);
    out.electricalLengthPm =
        std::max(lengthM / vfLow - out.electricalLengthM, out.electricalLengthM - lengthM / vfHigh);
  }
  // At a series resonance the stub reads Z0 tanh(alpha l).
  const Resonance& lowest = found.front();
  out.atMHz = lowest.mhz;
  const double r = t.values[kResistance][lowest.at];
  const double pm = t.halfWidths[kResistance][lowest.at];
  auto lossOf = [&](double ohm) {
    return std::atanh(std::clamp(ohm, 0.0, z0) / z0) * circuit::kDbPerNeper / lengthM * 100;
  };
  if (r < z0) {
    out.lossDbPer100m = lossOf(r);
    out.lossPm = std::max(lossOf(r + pm) - *out.lossDbPer100m, *out.lossDbPer100m - lossOf(r - pm));
    if (!std::isfinite(*out.lossPm)) out.lossPm.reset();
  }
  return out;
}

std::string stubReport(const StubFigures& f) {
  return chart::reportLine("vf", f.velocityFactor, 3) +
         chart::reportLine("vf_pm", chart::outwardPm(f.velocityFactor, f.velocityFactorPm, 3), 3) +
         chart::reportLine("electrical_length_m", f.electricalLengthM, 3) +
         chart::reportLine("electrical_length_m_pm",
                           chart::outwardPm(f.electricalLengthM, f.electricalLengthPm, 3), 3) +
         chart::reportLine("loss_db_per_100m", f.lossDbPer100m, 2) +
         chart::reportLine("loss_db_per_100m_pm", chart::outwardPm(f.lossDbPer100m, f.lossPm, 2),
                           2) +
         chart::reportLine("at_mhz", f.atMHz, 4) + "resonances=" + std::to_string(f.resonances) +
         "\n";
}

}  // namespace kolm::analyzer
