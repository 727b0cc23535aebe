#include "analyzer/matching.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

#include "analyzer/files.h"
#include "analyzer/readouts.h"
#include "chart/edges.h"
#include "common/constants.h"
#include "common/reflection.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

using Complex = std::complex<double>;

// The part whose reactance at `mhz` is `x` (nothing for 0).
MatchPart partOfReactance(double x, double mhz) {
  if (x == 0) return {};
  if (x > 0) return {MatchPart::Kind::Inductor, x / radiansPerSecond(mhz)};
  return {MatchPart::Kind::Capacitor, -1 / (radiansPerSecond(mhz) * x)};
}

// The shunt part whose susceptance at `mhz` is `b`.
MatchPart partOfSusceptance(double b, double mhz) {
  return b == 0 ? MatchPart{} : partOfReactance(-1 / b, mhz);
}

// The susceptance of a shunt part (0 for an open).
double susceptance(const MatchPart& p, double mhz) {
  return p.kind == MatchPart::Kind::None ? 0 : -1 / p.reactance(mhz);
}

const char* letter(const MatchPart& p) { return p.kind == MatchPart::Kind::Inductor ? "L" : "C"; }

// A value small beside the impedances at hand: an element below it is nothing.
bool negligible(double v, double scale) { return std::fabs(v) <= 1e-9 * scale; }

}  // namespace

double MatchPart::reactance(double mhz) const {
  switch (kind) {
    case Kind::Inductor:
      return radiansPerSecond(mhz) * value;
    case Kind::Capacitor:
      return -1 / (radiansPerSecond(mhz) * value);
    case Kind::None:
      break;
  }
  return 0;
}

Complex MatchNetwork::input(Complex load, double mhz) const {
  const Complex series(0, this->series.reactance(mhz));
  const Complex shunt(0, susceptance(this->shunt, mhz));
  if (shuntAtLoad) return 1.0 / (1.0 / load + shunt) + series;
  return 1.0 / (1.0 / (load + series) + shunt);
}

Complex MatchNetwork::loadFor(Complex input, double mhz) const {
  const Complex series(0, this->series.reactance(mhz));
  const Complex shunt(0, susceptance(this->shunt, mhz));
  if (shuntAtLoad) return 1.0 / (1.0 / (input - series) - shunt);
  return 1.0 / (1.0 / input - shunt) - series;
}

namespace {

// The reflection against `r0` that `network` shows at `mhz` for a load Z, as
// the Moebius map (a Z + b) / (c Z + d): the series element adds j Xs, the
// shunt element takes Z to Z / (j B Z + 1), and the reflection is (Z - r0) /
// (Z + r0).
struct Moebius {
  Complex a, b, c, d;
  Moebius then(const Moebius& next) const {  // next after this
    return {next.a * a + next.b * c, next.a * b + next.b * d, next.c * a + next.d * c,
            next.c * b + next.d * d};
  }
};
Moebius reflectionMap(const MatchNetwork& network, double mhz, double r0) {
  const Moebius series{1, Complex(0, network.series.reactance(mhz)), 0, 1};
  const Moebius shunt{1, 0, Complex(0, susceptance(network.shunt, mhz)), 1};
  const Moebius reflection{1, -r0, 1, r0};
  const Moebius through = network.shuntAtLoad ? shunt.then(series) : series.then(shunt);
  return through.then(reflection);
}

// The parameters t in (0, 1) where |reflection| along the load's segment
// from `from` to `from + step` turns. |G(t)|^2 = (A t^2 + B t + C) / (E t^2
// + F t + G), a quotient of quadratics, whose derivative is zero where (AF -
// BE) t^2 + 2 (AG - CE) t + (BG - CF) is.
std::vector<double> turningPoints(const Moebius& m, Complex from, Complex step) {
  const Complex alpha = m.a * step, beta = m.a * from + m.b;
  const Complex gamma = m.c * step, delta = m.c * from + m.d;
  const double A = std::norm(alpha), B = 2 * std::real(alpha * std::conj(beta)),
               C = std::norm(beta);
  const double E = std::norm(gamma), F = 2 * std::real(gamma * std::conj(delta)),
               G = std::norm(delta);
  const double k2 = A * F - B * E, k1 = 2 * (A * G - C * E), k0 = B * G - C * F;
  std::vector<double> roots;
  // Roots taken the stable way round; a root of a nearly double pair is kept
  // as the pair's middle (a point too many costs nothing: each is a load of
  // the edge, its SWR worked out as it is).
  const double disc = std::max(k1 * k1 - 4 * k2 * k0, 0.0);
  const double q = -(k1 + std::copysign(std::sqrt(disc), k1)) / 2;
  if (k2 != 0) roots.push_back(q / k2);
  if (q != 0) roots.push_back(k0 / q);
  if (k2 != 0) roots.push_back(-k1 / (2 * k2));
  std::erase_if(roots, [](double t) { return !(t > 0 && t < 1); });
  return roots;
}

}  // namespace

std::optional<std::pair<double, double>> swrOverInterval(const MatchNetwork& network, Complex load,
                                                         double pmR, double pmX, double mhz,
                                                         double r0) {
  if (!(pmR >= 0 && pmX >= 0 && std::isfinite(pmR) && std::isfinite(pmX))) return std::nullopt;
  const double rLow = std::max(0.0, load.real() - pmR), rHigh = load.real() + pmR;
  const double xLow = load.imag() - pmX, xHigh = load.imag() + pmX;
  double least = INFINITY, greatest = 0;
  auto at = [&](Complex z) {
    const double swr = swrAgainst(network.input(z, mhz), r0);
    if (std::isnan(swr)) return;
    least = std::min(least, swr);
    greatest = std::max(greatest, swr);
  };
  // The reflection is a Moebius map of the load without a pole where R >= 0:
  // its size is greatest on the rectangle's edge, and least there unless the
  // load it matches lies inside. Along each edge it is greatest and least at
  // the edge's ends or where it turns.
  const Moebius m = reflectionMap(network, mhz, r0);
  const std::array<std::pair<Complex, Complex>, 4> edges{
      std::pair{Complex(rLow, xLow), Complex(rHigh - rLow, 0)},
      {Complex(rLow, xHigh), Complex(rHigh - rLow, 0)},
      {Complex(rLow, xLow), Complex(0, xHigh - xLow)},
      {Complex(rHigh, xLow), Complex(0, xHigh - xLow)}};
  for (const auto& [from, step] : edges) {
    at(from), at(from + step);
    for (double t : turningPoints(m, from, step)) at(from + t * step);
  }
  if (!(greatest >= least)) return std::nullopt;
  const Complex matched = network.loadFor(r0, mhz);
  if (matched.real() >= rLow && matched.real() <= rHigh && matched.imag() >= xLow &&
      matched.imag() <= xHigh)
    least = 1;
  // Outward by more than the rounding of the sums above.
  constexpr double kOutward = 1e-12;
  return std::pair{std::max(1.0, least * (1 - kOutward)), greatest * (1 + kOutward)};
}

std::string swrSpanText(const std::pair<double, double>& span) {
  const std::string low = common::formatPattern(std::floor(span.first * 100) / 100, "0.00");
  if (!std::isfinite(span.second) || span.second > 1e6) return low + " to infinite";
  return low + " to " + common::formatPattern(std::ceil(span.second * 100) / 100, "0.00");
}

MatchNetwork MatchNetwork::rounded(circuit::ESeries e) const {
  MatchNetwork out = *this;
  for (MatchPart* p : {&out.series, &out.shunt})
    if (p->kind != MatchPart::Kind::None) p->value = circuit::preferredValue(p->value, e);
  return out;
}

std::string MatchNetwork::topology() const {
  const bool hasSeries = series.kind != MatchPart::Kind::None;
  const bool hasShunt = shunt.kind != MatchPart::Kind::None;
  if (!hasSeries && !hasShunt) return "none";
  if (!hasShunt) return std::string("series_") + letter(series);
  if (!hasSeries) return std::string("shunt_") + letter(shunt);
  const std::string s = std::string("series_") + letter(series);
  const std::string p = std::string("shunt_") + letter(shunt);
  return shuntAtLoad ? p + "_at_load," + s : s + "_at_load," + p;
}

std::string MatchNetwork::form() const {
  using K = MatchPart::Kind;
  if (series.kind == K::None || shunt.kind == K::None) return topology();
  if (series.kind != shunt.kind) return series.kind == K::Inductor ? "lowpass" : "highpass";
  return series.kind == K::Inductor ? "two_L" : "two_C";
}

std::vector<MatchNetwork> matchNetworks(Complex load, double mhz, double r0) {
  std::vector<MatchNetwork> out;
  if (!(r0 > 0) || !(mhz > 0) || !std::isfinite(load.real()) || !std::isfinite(load.imag()) ||
      !(load.real() > 0))
    return out;
  auto add = [&](bool shuntAtLoad, double x, double b) {
    if (negligible(x, r0)) x = 0;
    if (negligible(b, 1 / r0)) b = 0;
    MatchNetwork n{shuntAtLoad, partOfReactance(x, mhz), partOfSusceptance(b, mhz)};
    // With one element or none, the side makes no difference.
    if (x == 0 || b == 0) n.shuntAtLoad = x == 0;
    for (const MatchNetwork& m : out)
      if (m.topology() == n.topology() &&
          std::fabs(m.series.value - n.series.value) <= 1e-9 * std::fabs(n.series.value) &&
          std::fabs(m.shunt.value - n.shunt.value) <= 1e-9 * std::fabs(n.shunt.value))
        return;
    out.push_back(n);
  };
  // The shunt element across the load.
  const Complex y = 1.0 / load;
  const double g = y.real();
  if (g <= 1 / r0 * (1 + 1e-12)) {
    const double d = std::sqrt(std::max(0.0, g / r0 - g * g));
    for (double b : {d, -d}) {
      const Complex z = 1.0 / Complex(g, b);
      add(true, -z.imag(), b - y.imag());
    }
  }
  // The series element at the load.
  const double r = load.real();
  if (r <= r0 * (1 + 1e-12)) {
    const double d = std::sqrt(std::max(0.0, r * r0 - r * r));
    for (double x : {d, -d}) {
      const Complex a = 1.0 / Complex(r, x);
      add(false, x - load.imag(), -a.imag());
    }
  }
  return out;
}

double swrAgainst(Complex z, double r0) { return common::swrOf(common::reflectionOf(z, r0)); }

std::vector<double> matchedSwr(const MatchNetwork& network, std::span<const double> mhz,
                               std::span<const double> r, std::span<const double> x, double r0) {
  std::vector<double> out(mhz.size(), NAN);
  for (size_t i = 0; i < out.size() && i < r.size() && i < x.size(); ++i)
    if (std::isfinite(r[i]) && std::isfinite(x[i]))
      out[i] = swrAgainst(network.input({r[i], x[i]}, mhz[i]), r0);
  return out;
}

std::string matchLine(const MatchNetwork& n, Complex load, double mhz, double r0,
                      circuit::ESeries e) {
  const MatchNetwork rounded = n.rounded(e);
  const std::string tag = e == circuit::ESeries::E12 ? "e12" : "e24";
  const bool twoOfAKind = n.series.kind == n.shunt.kind;
  std::string out = "topology=" + n.topology() + " form=" + n.form();
  std::string roundedText;
  for (const auto& [part, roundedPart, role] : {std::tuple{n.series, rounded.series, "series"},
                                                std::tuple{n.shunt, rounded.shunt, "shunt"}}) {
    if (part.kind == MatchPart::Kind::None) continue;
    const bool coil = part.kind == MatchPart::Kind::Inductor;
    const std::string key =
        std::string(coil ? "l" : "c") + (twoOfAKind ? "_" + std::string(role) : "");
    const std::string unit = coil ? "_uh" : "_pf";
    const double scale = coil ? 1e6 : 1e12;
    out += " " + key + unit + "=" + common::shortestText(part.value * scale, 4);
    roundedText +=
        " " + key + "_" + tag + unit + "=" + common::shortestText(roundedPart.value * scale, 4);
  }
  const double swr = swrAgainst(rounded.input(load, mhz), r0);
  return out + roundedText + " swr_rounded=" +
         (std::isfinite(swr) ? common::shortestText(std::round(swr * 1000) / 1000, 6) : "inf");
}

MatchPoint matchPoint(const TraceValues& t, double mhz, double r0, circuit::ESeries e) {
  MatchPoint out;
  const auto at = nearestPoint(t, mhz);
  auto measured = [&](size_t i) {
    for (int q : {kResistance, kReactance}) {
      const chart::Mark m = t.mark(i, q);
      if ((m != chart::Mark::Valid && m != chart::Mark::Uncertain &&
           m != chart::Mark::Approximate) ||
          !std::isfinite(t.values[q][i]))
        return false;
    }
    return true;
  };
  if (!at || !measured(*at)) {
    out.error = "the point at " + common::shortestText(mhz, 10) +
                " MHz has no finite impedance (open, invalid or outside the sweep)";
    return out;
  }
  const size_t i = out.index = *at;
  out.mhz = t.frequencies[i];
  out.r = t.values[kResistance][i];
  out.x = t.signedReactance(i);
  out.signKnown = t.signs[i] != ReactanceSign::Unknown;
  out.marks = flagWords(t, i);

  // The trace as the band's SWR needs it: R and |X| where measured, X taken
  // with its sign, or with the sign that gives the higher SWR where unknown.
  const size_t n = t.flags.size();
  std::vector<double> rs(n, NAN), plus(n, NAN), minus(n, NAN);
  for (size_t k = 0; k < n; ++k)
    if (measured(k)) {
      rs[k] = t.values[kResistance][k];
      const double x = t.values[kReactance][k];
      if (t.signs[k] != ReactanceSign::Capacitive) plus[k] = x;
      if (t.signs[k] != ReactanceSign::Inductive) minus[k] = -x;
    }
  // The point's half-widths; unbounded where the trace has none.
  auto halfWidth = [&](int q) {
    const auto& pm = t.halfWidths[q];
    return t.withIntervals && i < pm.size() ? double(pm[i]) : INFINITY;
  };
  const std::vector<ReactanceSign> candidates =
      out.signKnown ? std::vector{t.signs[i]}
                    : std::vector{ReactanceSign::Inductive, ReactanceSign::Capacitive};
  for (ReactanceSign sign : candidates) {
    const std::complex<double> load(out.r,
                                    static_cast<int>(sign) * double(t.values[kReactance][i]));
    for (const MatchNetwork& network : matchNetworks(load, out.mhz, r0)) {
      MatchSolution s;
      s.assumed = sign;
      s.network = network;
      s.rounded = network.rounded(e);
      std::vector<double> swr = matchedSwr(s.rounded, t.frequencies, rs, plus, r0);
      const std::vector<double> other = matchedSwr(s.rounded, t.frequencies, rs, minus, r0);
      for (size_t k = 0; k < n; ++k)
        if (!std::isnan(other[k]))
          swr[k] = std::isnan(swr[k]) ? other[k] : std::max(swr[k], other[k]);
      s.roundedSwr = swr[i] = swrAgainst(s.rounded.input(load, out.mhz), r0);
      s.roundedSwrSpan = swrOverInterval(s.rounded, load, halfWidth(kResistance),
                                         halfWidth(kReactance), out.mhz, r0);
      if (swr[i] <= 2) {
        const chart::Edges band = chart::walkEdges(
            std::span<const double>(t.frequencies), [&](size_t k) { return swr[k]; },
            [&](size_t k) { return std::isfinite(swr[k]); }, [](size_t) { return false; }, i, 2,
            false);
        s.swr2Low = band.low;
        s.swr2High = band.high;
        s.swr2BelowToStart = band.lowPastEnd;
        s.swr2BelowToStop = band.highPastEnd;
      }
      out.solutions.push_back(s);
    }
  }
  return out;
}

MatchReport matchReport(const TraceValues& t, double mhz, double r0, circuit::ESeries e) {
  MatchReport out;
  const MatchPoint point = matchPoint(t, mhz, r0, e);
  if (!point.error.empty()) {
    out.error = point.error;
    return out;
  }
  out.text = "match_mhz=" + common::shortestText(point.mhz, 10) +
             " r_ohm=" + common::shortestText(point.r, 5) +
             " x_ohm=" + common::shortestText(point.x, 5) +
             " sign=" + (point.signKnown ? "inferred" : "unknown");
  // The point's marks, their blanks turned into "+" so that the line keeps
  // one pair per word.
  if (std::string words = point.marks; !words.empty()) {
    std::replace(words.begin(), words.end(), ' ', '+');
    out.text += " marks=" + words;
  }
  out.text += "\n";
  for (const MatchSolution& s : point.solutions) {
    if (!point.signKnown)
      out.text +=
          s.assumed == ReactanceSign::Inductive ? "candidate=inductive " : "candidate=capacitive ";
    const std::complex<double> load(point.r, static_cast<int>(s.assumed) * std::fabs(point.x));
    out.text += matchLine(s.network, load, point.mhz, r0, e);
    out.text += " swr2_low_mhz=" + chart::reportNumber(s.swr2Low, 4) +
                " swr2_high_mhz=" + chart::reportNumber(s.swr2High, 4) + "\n";
  }
  return out;
}

std::string partValueText(const MatchPart& part, int digits) {
  struct Unit {
    double scale;
    const char* name;
  };
  static constexpr Unit coils[] = {{1e9, "nH"}, {1e6, "\u00b5H"}, {1e3, "mH"}};
  static constexpr Unit capacitors[] = {{1e12, "pF"}, {1e9, "nF"}, {1e6, "\u00b5F"}};
  if (part.kind == MatchPart::Kind::None) return {};
  const auto& units = part.kind == MatchPart::Kind::Inductor ? coils : capacitors;
  // Each next unit from a thousand of the last, but coils from 0.1 uH up in
  // uH (0.33 uH, as a coil's maker writes it).
  size_t u = 0;
  while (u + 1 < std::size(units) &&
         part.value * units[u].scale >=
             (u == 0 && part.kind == MatchPart::Kind::Inductor ? 100 : 1000))
    ++u;
  // Three digits at least: a number below 1000 then needs no exponent; one
  // beyond the largest unit's thousand is written whole.
  const double number = part.value * units[u].scale;
  return (number >= 1000 ? common::formatPattern(number, "0")
                         : common::shortestText(number, std::max(digits, 3))) +
         " " + units[u].name;
}

}  // namespace kolm::analyzer
