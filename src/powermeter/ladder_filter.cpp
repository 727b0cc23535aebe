#include "powermeter/ladder_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <numeric>

#include "common/constants.h"
#include "common/text.h"
#include "common/tr.h"
#include "powermeter/ladder_spread.h"

namespace kolm::powermeter {

namespace {

using Complex = std::complex<double>;
constexpr int kMinPoles = circuit::kMinLadderCrystals, kMaxPoles = circuit::kMaxLadderCrystals;

// A two-port's chain matrix.
struct Abcd {
  Complex a = 1, b = 0, c = 0, d = 1;
  Abcd& series(Complex z) {
    b += a * z;
    d += c * z;
    return *this;
  }
  Abcd& shunt(Complex y) {
    a += b * y;
    c += d * y;
    return *this;
  }
  // Source and load of `r`: twice the load's voltage over the source's.
  Complex transfer(double r) const { return 2.0 / (a + b / r + c * r + d); }
};

double gainDb(Complex h) { return 20 * std::log10(std::abs(h)); }

// The low-pass prototype of elements g[1..n] between 1 ohm source and
// `load` ohm: series and shunt in turn. Gain in dB at `w` rad/s.
double prototypeGainDb(const std::vector<double>& g, double w) {
  Abcd m;
  for (size_t i = 0; i < g.size(); ++i) {
    if (i % 2 == 0)
      m.series(Complex(0, w * g[i]));
    else
      m.shunt(Complex(0, w * g[i]));
  }
  return gainDb(m.transfer(1));
}

// Where a level crosses `level` going from `from` in steps of `step`, found
// by halving once passed: falling to it, or rising above it when `rising`;
// infinity when it does not within `limit`.
template <class F>
double crossing(F gain, double from, double step, double limit, double level, bool rising = false) {
  auto passed = [&](double x) { return rising ? gain(x) > level : gain(x) <= level; };
  double before = from;
  for (double x = from + step; std::fabs(x - from) <= std::fabs(limit); x += step) {
    if (passed(x)) {
      double lo = before, hi = x;
      for (int k = 0; k < 50; ++k) {
        const double mid = (lo + hi) / 2;
        (passed(mid) ? hi : lo) = mid;
      }
      return (lo + hi) / 2;
    }
    before = x;
  }
  return HUGE_VAL;
}

// The ripple of a response sampled evenly: highest against lowest level
// between its outermost local peaks.
double rippleOf(const std::vector<double>& levels) {
  std::vector<size_t> peaks;
  for (size_t i = 1; i + 1 < levels.size(); ++i)
    if (levels[i] >= levels[i - 1] && levels[i] > levels[i + 1]) peaks.push_back(i);
  if (peaks.size() < 2) return 0;
  const auto first = levels.begin() + static_cast<long>(peaks.front());
  const auto last = levels.begin() + static_cast<long>(peaks.back()) + 1;
  return *std::max_element(first, last) - *std::min_element(first, last);
}

// The crystal's reactance, and that of the capacitors in series in its mesh.
double reactance(const CrystalModel& m, double f) { return m.impedance(f).imag(); }
double capacitorReactance(double c, double f) { return 1 / (kTwoPi * f * c); }

// Where the crystal's reactance equals `needed(f)` (which falls with f), above Fs.
double meshFrequency(const CrystalModel& m, const std::function<double(double)>& needed) {
  double lo = m.fsHz;
  double hi = m.c0Farad > 0 ? m.fsHz + 0.95 * (m.fpHz() - m.fsHz) : m.fsHz * 1.05;
  if (reactance(m, hi) < needed(hi)) return hi;
  for (int k = 0; k < 60; ++k) {
    const double mid = (lo + hi) / 2;
    (reactance(m, mid) < needed(mid) ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

}  // namespace

std::optional<LadderShapeSpec> parseLadderShape(std::string_view text, std::string* error) {
  const std::string t = common::asciiLower(common::trimBlanks(text));
  if (t == "butterworth") return LadderShapeSpec{LadderShape::Butterworth, 0};
  if (t == "cohn") return LadderShapeSpec{LadderShape::Cohn, 0};
  if (t.rfind("chebyshev:", 0) == 0) {
    const auto ripple = common::argumentNumber(t.substr(10));
    if (ripple && *ripple >= 0.01 && *ripple <= 3)
      return LadderShapeSpec{LadderShape::Chebyshev, *ripple};
    if (error) *error = "chebyshev:RIPPLE_DB takes a ripple of 0.01 to 3 dB";
    return std::nullopt;
  }
  if (error) *error = "the shape is butterworth, chebyshev:RIPPLE_DB or cohn";
  return std::nullopt;
}

LadderCoefficients ladderCoefficients(const LadderShapeSpec& spec, int n) {
  LadderCoefficients out;
  n = std::clamp(n, kMinPoles, kMaxPoles);
  std::vector<double> g(static_cast<size_t>(n) + 2, 1.0);
  const double pi = std::numbers::pi;
  switch (spec.shape) {
    case LadderShape::Butterworth:
      for (int k = 1; k <= n; ++k) g[k] = 2 * std::sin((2 * k - 1) * pi / (2 * n));
      break;
    case LadderShape::Chebyshev: {
      const double beta = std::log(1 / std::tanh(spec.rippleDb / 17.37));
      const double gamma = std::sinh(beta / (2 * n));
      auto a = [&](int k) { return std::sin((2 * k - 1) * pi / (2 * n)); };
      auto b = [&](int k) { return gamma * gamma + std::pow(std::sin(k * pi / n), 2); };
      g[1] = 2 * a(1) / gamma;
      for (int k = 2; k <= n; ++k) g[k] = 4 * a(k - 1) * a(k) / (b(k - 1) * g[k - 1]);
      g[n + 1] = n % 2 ? 1 : std::pow(1 / std::tanh(beta / 4), 2);
      const double epsilon = std::sqrt(std::pow(10.0, spec.rippleDb / 10) - 1);
      out.edgeOverBw3 = 1 / std::cosh(std::acosh(1 / epsilon) / n);
      out.rippleDb = spec.rippleDb;
      break;
    }
    case LadderShape::Cohn: {
      // All elements 1: the outermost -3 dB point w3 of that prototype is the
      // g that puts it at the band edge (scaling every element by g scales w
      // by 1/g). From 6 poles its passband dips below -3 dB near the edges.
      const std::vector<double> ones(static_cast<size_t>(n), 1.0);
      auto gain = [&](double w) { return prototypeGainDb(ones, w); };
      const double w3 = crossing(gain, 4, -1e-3, 4, -3.0103, true);
      // The low-pass passband from 0 (where the response peaks) to the last
      // peak below w3: its ripple is the band-pass filter's.
      std::vector<double> levels;
      for (int i = 0; i <= 4000; ++i) levels.push_back(gain(w3 * i / 4000.0));
      size_t lastPeak = 0;
      for (size_t i = 1; i + 1 < levels.size(); ++i)
        if (levels[i] >= levels[i - 1] && levels[i] > levels[i + 1]) lastPeak = i;
      const auto end = levels.begin() + static_cast<long>(lastPeak) + 1;
      out.rippleDb =
          *std::max_element(levels.begin(), end) - *std::min_element(levels.begin(), end);
      for (int k = 1; k <= n; ++k) g[k] = w3;
      g[n + 1] = 1;
      break;
    }
  }
  for (int i = 1; i < n; ++i) out.k.push_back(1 / std::sqrt(g[i] * g[i + 1]));
  out.q1 = g[0] * g[1];
  out.qK = g[n] * g[n + 1];
  return out;
}

std::complex<double> ladderTransfer(const LadderNetwork& net, double fHz) {
  const double w = kTwoPi * fHz;
  Abcd m;
  for (size_t i = 0; i < net.crystals.size(); ++i) {
    if (i > 0) m.shunt(Complex(0, w * net.shunt[i - 1]));
    if (i < net.series.size() && net.series[i]) m.series(Complex(0, -1 / (w * *net.series[i])));
    m.series(net.crystals[i].model.impedance(fHz));
  }
  return m.transfer(net.rTermOhm);
}

double ladderGainDb(const LadderNetwork& net, double fHz) {
  return gainDb(ladderTransfer(net, fHz));
}

namespace {

// The response's peak and its outermost points `below` dB under it; the
// widths only as far as `deepest` dB (the design's corrections need the -3 dB
// width alone).
LadderResponse response(const LadderNetwork& net, double nominalHz, double bwHz, double deepest) {
  LadderResponse r;
  auto gain = [&](double f) { return ladderGainDb(net, f); };
  // The peak on a grid over four bandwidths either side, then around the best point.
  const int steps = 800;
  const double from = nominalHz - 4 * bwHz, step = 8 * bwHz / steps;
  double peakHz = nominalHz, peak = -HUGE_VAL;
  auto consider = [&](double f) {
    const double v = gain(f);
    if (v > peak) {
      peak = v;
      peakHz = f;
    }
  };
  for (int i = 0; i <= steps; ++i) consider(from + i * step);
  const double coarse = peakHz;
  for (int i = -10; i <= 10; ++i) consider(coarse + i * step / 10);
  r.ilDb = -peak;
  // The outermost points at `below` dB under the peak, found coming in from
  // `limitHz` either side (so a dip inside the band does not end it).
  auto outermost = [&](double level, double stepHz, double limitHz, double direction) {
    const double far = peakHz + direction * limitHz;
    if (gain(far) > level) return HUGE_VAL;
    return crossing(gain, far, -direction * stepHz, limitHz, level, true);
  };
  auto width = [&](double below, double stepHz, double limitHz) -> std::optional<double> {
    if (below > deepest) return std::nullopt;
    const double hi = outermost(peak - below, stepHz, limitHz, +1);
    const double lo = outermost(peak - below, stepHz, limitHz, -1);
    if (!std::isfinite(hi) || !std::isfinite(lo)) return std::nullopt;
    if (below == 3) r.centreHz = (hi + lo) / 2;
    return hi - lo;
  };
  r.bw3Hz = width(3, bwHz / 40, 8 * bwHz);
  r.bw6Hz = width(6, bwHz / 20, 16 * bwHz);
  r.bw60Hz = width(60, bwHz / 10, 100 * bwHz);
  if (r.bw3Hz && deepest > 3) {
    std::vector<double> levels;
    const double lo = r.centreHz - *r.bw3Hz / 2;
    for (int i = 0; i <= 400; ++i) levels.push_back(gain(lo + *r.bw3Hz * i / 400));
    r.rippleDb = rippleOf(levels);
  } else if (!r.bw3Hz) {
    r.centreHz = peakHz;
  }
  if (r.bw60Hz && r.bw6Hz) r.shapeFactor = *r.bw60Hz / *r.bw6Hz;
  return r;
}

}  // namespace

LadderResponse ladderResponse(const LadderNetwork& net, double nominalHz, double bwHz,
                              double deepestDb) {
  return response(net, nominalHz, bwHz, deepestDb);
}

LadderNetwork roundedNetwork(const LadderNetwork& net, ESeries series) {
  LadderNetwork out = net;
  out.rTermOhm = preferredValue(net.rTermOhm, series);
  for (double& c : out.shunt) c = preferredValue(c, series);
  for (auto& c : out.series)
    if (c) c = preferredValue(*c, series);
  return out;
}

namespace {

// The crystals' order: the K - 2 whose series resonances lie closest together
// inside, the inner mesh pulled hardest by its capacitors taking the lowest
// of them; the other two at the ends, the lower first.
std::vector<LadderCrystal> orderCrystals(std::vector<LadderCrystal> xs,
                                         const LadderCoefficients& co) {
  std::sort(xs.begin(), xs.end(), [](const LadderCrystal& a, const LadderCrystal& b) {
    return a.model.fsHz < b.model.fsHz;
  });
  const size_t k = xs.size();
  if (k <= 2) return xs;
  size_t best = 0;
  double spread = HUGE_VAL;
  for (size_t s = 0; s + (k - 2) <= k; ++s) {
    const double d = xs[s + k - 3].model.fsHz - xs[s].model.fsHz;
    if (d < spread) {
      spread = d;
      best = s;
    }
  }
  std::vector<LadderCrystal> inner(xs.begin() + static_cast<long>(best),
                                   xs.begin() + static_cast<long>(best + k - 2));
  std::vector<LadderCrystal> ends;
  for (size_t i = 0; i < k; ++i)
    if (i < best || i >= best + k - 2) ends.push_back(xs[i]);
  // Inner positions 1 .. k-2 (0-based), by how hard their capacitors pull.
  std::vector<size_t> positions(k - 2);
  std::iota(positions.begin(), positions.end(), 1);
  std::stable_sort(positions.begin(), positions.end(), [&](size_t a, size_t b) {
    return co.k[a - 1] + co.k[a] > co.k[b - 1] + co.k[b];
  });
  std::vector<LadderCrystal> out(k);
  out.front() = ends[0];
  out.back() = ends[1];
  for (size_t i = 0; i < inner.size(); ++i) out[positions[i]] = inner[i];
  return out;
}

struct Built {
  LadderNetwork net;
  double meshHz = 0;
  std::vector<std::string> warnings;
};

Built build(const std::vector<LadderCrystal>& xs, const LadderCoefficients& co, double edgeBwHz,
            std::optional<double> rTerm) {
  Built b;
  const size_t k = xs.size();
  double f0 = 0;
  for (const auto& x : xs) f0 += x.model.fsHz / static_cast<double>(k);
  b.net.crystals = xs;
  for (size_t i = 0; i + 1 < k; ++i)
    b.net.shunt.push_back(std::sqrt(xs[i].model.csFarad() * xs[i + 1].model.csFarad()) * f0 /
                          (co.k[i] * edgeBwHz));
  const double rFirst = kTwoPi * edgeBwHz * xs.front().model.lHenry / co.q1 - xs.front().model.rOhm;
  const double rLast = kTwoPi * edgeBwHz * xs.back().model.lHenry / co.qK - xs.back().model.rOhm;
  b.net.rTermOhm = rTerm.value_or((rFirst + rLast) / 2);

  // Each mesh's frequency with the shunt capacitors around it.
  auto around = [&](size_t i, double f) {
    double x = 0;
    if (i > 0) x += capacitorReactance(b.net.shunt[i - 1], f);
    if (i + 1 < k) x += capacitorReactance(b.net.shunt[i], f);
    return x;
  };
  std::vector<double> mesh(k);
  for (size_t i = 0; i < k; ++i)
    mesh[i] = meshFrequency(xs[i].model, [&](double f) { return around(i, f); });
  double target = 0;
  for (size_t i = (k > 2 ? 1 : 0); i < (k > 2 ? k - 1 : k); ++i) target = std::max(target, mesh[i]);
  b.meshHz = target;
  // Series capacitors bring lower meshes up to the target: always at the
  // ends, inside only where a mesh is off by more than 2 % of the bandwidth.
  b.net.series.assign(k, std::nullopt);
  for (size_t i = 0; i < k; ++i) {
    const bool end = i == 0 || i + 1 == k;
    const double off = target - mesh[i];
    if (off < (end ? 1e-4 : 0.02) * edgeBwHz) {
      if (off < -0.02 * edgeBwHz)
        b.warnings.push_back(common::arg(
            KOLM_TR("kolm",
                    "The mesh of crystal %1 lies %2 Hz above the others and cannot be tuned "
                    "down: choose crystals of closer Fs."),
            {xs[i].name, common::formatPattern(-off, "0")}));
      continue;
    }
    const double excess = reactance(xs[i].model, target) - around(i, target);
    if (excess > 0) b.net.series[i] = 1 / (kTwoPi * target * excess);
  }
  return b;
}

// Why the crystals and the wish cannot make a design, or nothing.
std::string designProblem(const std::vector<LadderCrystal>& crystals, const LadderSpec& spec) {
  const int k = spec.poles;
  if (k < kMinPoles || k > kMaxPoles)
    return KOLM_TR("kolm", "A ladder filter has 2 to 8 crystals.");
  if (crystals.size() != static_cast<size_t>(k)) {
    return common::arg(KOLM_TR("kolm", "A %1-pole filter needs %1 crystals; %2 were given."),
                       {std::to_string(k), std::to_string(crystals.size())});
  }
  for (const LadderCrystal& x : crystals)
    if (!(x.model.fsHz > 0) || !(x.model.lHenry > 0) || !(x.model.rOhm >= 0) ||
        !(x.model.c0Farad >= 0))
      return common::arg(
          KOLM_TR("kolm", "Crystal %1 has no measured Fs, R and L: it cannot be used."), {x.name});
  const double f0 = crystals.front().model.fsHz;
  if (!(spec.bwHz > 0) || spec.bwHz > f0 * 0.01)
    return KOLM_TR("kolm",
                   "The bandwidth must be above 0 and at most 1 % of the crystals' frequency.");
  if (spec.rTermOhm && !(*spec.rTermOhm > 0))
    return KOLM_TR("kolm", "The termination must be above 0 ohm.");
  return {};
}

}  // namespace

LadderDesign designLadder(const std::vector<LadderCrystal>& crystals, const LadderSpec& spec) {
  LadderDesign d;
  d.askedBwHz = spec.bwHz;
  const int k = spec.poles;
  d.error = designProblem(crystals, spec);
  if (!d.error.empty()) return d;
  const LadderCoefficients co = ladderCoefficients(spec.shape, k);
  d.shapeRippleDb = co.rippleDb;
  if (co.rippleDb > 3)
    d.warnings.push_back(common::arg(
        KOLM_TR("kolm",
                "With %1 poles the equal-capacitor form's passband dips %2 dB near its edges: "
                "choose fewer poles or a Chebyshev shape."),
        {std::to_string(k), common::formatPattern(co.rippleDb, "0.0")}));
  const std::vector<LadderCrystal> ordered = orderCrystals(crystals, co);

  // Designed for a bandwidth that the prediction then corrects.
  double designBw = spec.bwHz;
  Built built;
  for (int iteration = 0; iteration < 10; ++iteration) {
    built = build(ordered, co, designBw * co.edgeOverBw3, spec.rTermOhm);
    if (!(built.net.rTermOhm > 0)) {
      d.error = KOLM_TR("kolm",
                        "The crystals lose too much for this bandwidth: the termination would be "
                        "below 0 ohm. Ask for a wider filter or choose crystals of lower R.");
      return d;
    }
    d.predicted = response(built.net, built.meshHz, spec.bwHz, 3);
    if (!d.predicted.bw3Hz) break;
    const double ratio = spec.bwHz / *d.predicted.bw3Hz;
    if (std::fabs(ratio - 1) < 0.002) break;
    designBw *= std::clamp(ratio, 0.5, 2.0);
  }
  d.predicted = ladderResponse(built.net, built.meshHz, spec.bwHz);
  d.network = built.net;
  d.warnings.insert(d.warnings.end(), built.warnings.begin(), built.warnings.end());
  d.e12 = roundedNetwork(d.network, ESeries::E12);
  d.e24 = roundedNetwork(d.network, ESeries::E24);
  d.predictedE12 = ladderResponse(d.e12, d.predicted.centreHz, spec.bwHz);
  d.predictedE24 = ladderResponse(d.e24, d.predicted.centreHz, spec.bwHz);
  if (!d.predicted.bw3Hz)
    d.warnings.push_back(KOLM_TR("kolm", "The predicted response has no -3 dB width."));
  else if (std::fabs(*d.predicted.bw3Hz / spec.bwHz - 1) > 0.05)
    d.warnings.push_back(common::arg(
        KOLM_TR("kolm", "The predicted -3 dB width is %1 Hz, not the %2 Hz asked."),
        {common::formatPattern(*d.predicted.bw3Hz, "0"), common::formatPattern(spec.bwHz, "0")}));
  if (spec.rTermOhm) {
    const double designed =
        build(ordered, co, designBw * co.edgeOverBw3, std::nullopt).net.rTermOhm;
    if (std::fabs(*spec.rTermOhm / designed - 1) > 0.1)
      d.warnings.push_back(common::arg(
          KOLM_TR("kolm",
                  "The shape needs a termination of %1 ohm; with %2 ohm the response differs "
                  "from it (see the prediction)."),
          {common::formatPattern(designed, "0.0"), common::formatPattern(*spec.rTermOhm, "0.0")}));
  }
  return d;
}

std::string ladderReport(const LadderDesign& d, const LadderSpread* spread) {
  const LadderNetwork& n = d.network;
  const size_t k = n.crystals.size();
  std::string out;
  auto line = [&](const std::string& key, const std::string& value) {
    out += key + "=" + value + "\n";
  };
  auto parts = [&](const std::string& prefix, const LadderNetwork& net) {
    auto number = [](double v) { return common::formatPattern(v, "0.0"); };
    for (size_t i = 0; i + 1 < k; ++i)
      line(prefix + "c" + std::to_string(i + 1) + std::to_string(i + 2) + "_pf",
           number(net.shunt[i] * 1e12));
    for (size_t end : {size_t{0}, k - 1})
      line(prefix + "c_end" + std::to_string(end + 1) + "_pf",
           net.series[end] ? number(*net.series[end] * 1e12) : "none");
    for (size_t i = 1; i + 1 < k; ++i)
      if (net.series[i])
        line(prefix + "c_s" + std::to_string(i + 1) + "_pf", number(*net.series[i] * 1e12));
    line(prefix + "r_term_ohm", number(net.rTermOhm));
  };
  auto prediction = [&](const std::string& prefix, const LadderResponse& r) {
    auto opt = [](const std::optional<double>& v, const char* pattern) {
      return v ? common::formatPattern(*v, pattern) : std::string("none");
    };
    line(prefix + "centre_mhz", common::formatPattern(r.centreHz / 1e6, "0.000000"));
    line(prefix + "bw3_hz", opt(r.bw3Hz, "0.0"));
    line(prefix + "bw6_hz", opt(r.bw6Hz, "0.0"));
    line(prefix + "bw60_hz", opt(r.bw60Hz, "0.0"));
    line(prefix + "ripple_db", common::formatPattern(r.rippleDb, "0.00"));
    line(prefix + "il_db", common::formatPattern(r.ilDb, "0.00"));
    line(prefix + "shape_factor", opt(r.shapeFactor, "0.00"));
  };
  parts("", n);
  std::string order;
  for (const auto& x : n.crystals) order += (order.empty() ? "" : ",") + x.name;
  line("order", order);
  prediction("", d.predicted);
  if (spread) {
    // Rounded outward from the value as printed beside it.
    auto up = [](double value, double pm, int decimals) {
      return std::isfinite(pm)
                 ? common::shortestText(common::outwardHalfWidth(value, pm, decimals), 12)
                 : std::string("none");
    };
    const LadderResponse& r = d.predicted;
    line("centre_mhz_pm", up(r.centreHz / 1e6, spread->centreHz / 1e6, 6));
    line("bw3_hz_pm", up(r.bw3Hz.value_or(0), spread->bw3Hz, 1));
    line("ripple_db_pm", up(r.rippleDb, spread->rippleDb, 2));
    line("il_db_pm", up(r.ilDb, spread->ilDb, 2));
  }
  parts("e12_", d.e12);
  prediction("e12_", d.predictedE12);
  parts("e24_", d.e24);
  prediction("e24_", d.predictedE24);
  for (const std::string& w : d.warnings) line("warning", w);
  return out;
}

}  // namespace kolm::powermeter
