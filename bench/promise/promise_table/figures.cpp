// The figures of the promise table, each read from a `Reading` (the sweeps of
// every load on one board, read one way). Helpers give each point's truth
// (`truthOf`), whether a quantity's interval holds it (`holds`) and medians.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "analyzer/analysis.h"
#include "analyzer/calibration.h"
#include "common/reflection.h"
#include "promise.h"

namespace kolm::promise {
namespace {

using analyzer::TraceValues;

// The six quantities of a reflection, the reactance signed.
analyzer::PointValues truthOf(Complex gamma) {
  const double rho = std::abs(gamma);
  const Complex z = common::impedanceOf(gamma);
  return {static_cast<float>(-20 * std::log10(rho)),
          static_cast<float>(std::fabs(std::arg(gamma)) * 180 / std::numbers::pi),
          static_cast<float>(std::abs(z)),
          static_cast<float>(z.real()),
          static_cast<float>(z.imag()),
          static_cast<float>((1 + rho) / (1 - rho))};
}

// Whether quantity q's value at point i, with its interval, holds `truth`; a
// bound holds it on its side. A reactance of known sign is compared signed.
bool holds(const TraceValues& t, size_t i, int q, double truth) {
  const chart::Mark mark = t.mark(i, q);
  double v = t.values[q][i];
  const double pm = t.halfWidths[q][i];
  if (q == analyzer::kReactance) {
    if (t.signs[i] == analyzer::ReactanceSign::Unknown)
      truth = std::fabs(truth);
    else
      v = t.signedReactance(i);
  }
  if (mark == chart::Mark::AtLeast) return truth >= v - pm;
  if (mark == chart::Mark::AtMost) return truth <= v + pm;
  return std::fabs(truth - v) <= pm;
}

// A value to compare: the truth finite, the value a number.
bool comparable(const TraceValues& t, size_t i, int q, double truth) {
  const chart::Mark mark = t.mark(i, q);
  return std::isfinite(truth) && mark != chart::Mark::Open && mark != chart::Mark::Invalid;
}

double median(std::vector<double> v) {
  if (v.empty()) return NAN;
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

std::string text(const char* format, double v) {
  if (!std::isfinite(v)) return "-";
  char out[48];
  std::snprintf(out, sizeof out, format, v);
  return out;
}

constexpr const char* kNames[analyzer::kQuantities] = {"rl", "phase", "z", "r", "x", "swr"};

// The share of values of quantity q whose truth lies inside the interval or
// that carry a mark, %.
std::string covered(const Reading& r, int q) {
  long values = 0, good = 0;
  for (const Sweep& s : r.sweeps)
    for (size_t i = 0; i < s.truth.size(); ++i) {
      const double truth = truthOf(s.truth[i])[q];
      if (!comparable(s.trace, i, q, truth)) continue;
      ++values;
      good += holds(s.trace, i, q, truth) || s.trace.mark(i, q) != chart::Mark::Valid;
    }
  return text("%.2f %%", 100.0 * static_cast<double>(good) / static_cast<double>(values));
}

// Unmarked values outside their interval, per quantity.
std::string unmarkedMisses(const Reading& r) {
  std::string out;
  for (int q = 0; q < analyzer::kQuantities; ++q) {
    long misses = 0;
    for (const Sweep& s : r.sweeps)
      for (size_t i = 0; i < s.truth.size(); ++i) {
        const double truth = truthOf(s.truth[i])[q];
        const bool miss = comparable(s.trace, i, q, truth) &&
                          s.trace.mark(i, q) == chart::Mark::Valid && !holds(s.trace, i, q, truth);
        misses += miss;
        if (miss && std::getenv("KOLM_PROMISE_MISSES"))
          std::fprintf(stderr, "%s %s: %s %s at %g MHz reads %g +- %g, truth %g (flag %d)\n",
                       r.board.c_str(), r.mode.c_str(), s.load->name.c_str(), kNames[q],
                       s.trace.frequencies[i], s.trace.values[q][i], s.trace.halfWidths[q][i],
                       truth, static_cast<int>(s.trace.flags[i]));
      }
    out += (q ? "/" : "") + std::to_string(misses);
  }
  return out;
}

// The median half-width of quantity q relative to its value, %, over the
// points of the loads `pick` takes (between `fromMHz` and `toMHz`).
std::string relativeWidth(const Reading& r, int q, const std::function<bool(const LoadCase&)>& pick,
                          double fromMHz = kStartMHz, double toMHz = kStopMHz) {
  std::vector<double> shares;
  for (const Sweep& s : r.sweeps) {
    if (!pick(*s.load)) continue;
    for (size_t i = 0; i < s.truth.size(); ++i) {
      const double f = s.trace.frequencies[i], v = std::fabs(s.trace.values[q][i]);
      if (f < fromMHz || f > toMHz || !(v > 0) || !std::isfinite(v)) continue;
      const double pm = s.trace.halfWidths[q][i];
      shares.push_back(std::isfinite(pm) ? 100 * pm / v : 1e9);
    }
  }
  return text("%.1f %%", median(shares));
}

auto resistor(double ohm) {
  return [ohm](const LoadCase& c) { return c.kind == Kind::Resistor && c.ohm == ohm; };
}
auto named(std::string name) {
  return [name](const LoadCase& c) { return c.name == name; };
}

// Two figures at once: R and |Z|.
std::string rAndZ(const Reading& r, const std::function<bool(const LoadCase&)>& pick,
                  double fromMHz = kStartMHz, double toMHz = kStopMHz) {
  return relativeWidth(r, analyzer::kResistance, pick, fromMHz, toMHz) + " / " +
         relativeWidth(r, analyzer::kImpedance, pick, fromMHz, toMHz);
}

// The median phase half-width where the truth's reflection is at least 0.2 and
// its phase outside the detector's end regions.
std::string phaseWidth(const Reading& r) {
  std::vector<double> pm;
  const double end = analyzer::publishedBridge().phaseEndDeg;
  for (const Sweep& s : r.sweeps)
    for (size_t i = 0; i < s.truth.size(); ++i) {
      const analyzer::PointValues t = truthOf(s.truth[i]);
      if (std::abs(s.truth[i]) < 0.2 || t[analyzer::kPhase] < end ||
          t[analyzer::kPhase] > 180 - end)
        continue;
      pm.push_back(s.trace.halfWidths[analyzer::kPhase][i]);
    }
  return text("%.2f deg", median(pm));
}

// Resistors of `low` to `high` ohm, or of the values `only` names.
std::function<bool(const LoadCase&)> resistors(double low, double high,
                                               std::vector<double> only = {}) {
  return [=](const LoadCase& c) {
    return c.kind == Kind::Resistor && c.ohm >= low && c.ohm <= high &&
           (only.empty() || std::find(only.begin(), only.end(), c.ohm) != only.end());
  };
}

// The share of readings of the resistors `pick` takes with a mark:
// `uncertain` ones alone, or any.
std::string markedShare(const Reading& r, bool uncertainOnly,
                        const std::function<bool(const LoadCase&)>& pick = resistors(10, 300)) {
  long points = 0, marked = 0;
  for (const Sweep& s : r.sweeps) {
    if (!pick(*s.load)) continue;
    for (size_t i = 0; i < s.truth.size(); ++i) {
      ++points;
      bool any = false;
      for (int q = 0; q < analyzer::kQuantities; ++q) {
        const chart::Mark m = s.trace.mark(i, q);
        any = any || (uncertainOnly ? m == chart::Mark::Uncertain : chart::flagged(m));
      }
      marked += any;
    }
  }
  return text("%.1f %%", 100.0 * static_cast<double>(marked) / static_cast<double>(points));
}

// The signs stated for the loads `pick` takes, against the truth's: right and
// wrong shares of the stated ones, the share left unknown, and the wrong ones
// that carry no mark on the reactance (wrong without uncertain:x).
std::string signs(const Reading& r, const std::function<bool(const LoadCase&)>& pick) {
  long points = 0, right = 0, wrong = 0, unknown = 0, unmarked = 0;
  for (const Sweep& s : r.sweeps) {
    if (!pick(*s.load)) continue;
    for (size_t i = 0; i < s.truth.size(); ++i) {
      const double x = truthOf(s.truth[i])[analyzer::kReactance];
      if (!comparable(s.trace, i, analyzer::kReactance, x) || x == 0) continue;
      ++points;
      const analyzer::ReactanceSign sign = s.trace.signs[i];
      if (sign == analyzer::ReactanceSign::Unknown) {
        ++unknown;
      } else if ((sign == analyzer::ReactanceSign::Inductive) == (x > 0)) {
        ++right;
      } else {
        ++wrong;
        unmarked += s.trace.mark(i, analyzer::kReactance) == chart::Mark::Valid;
      }
    }
  }
  const double stated = static_cast<double>(std::max(right + wrong, 1L));
  return text("%.1f", 100.0 * static_cast<double>(right) / stated) + "/" +
         text("%.1f", 100.0 * static_cast<double>(wrong) / stated) + "/" +
         text("%.0f %%", 100.0 * static_cast<double>(unknown) / static_cast<double>(points)) + " " +
         std::to_string(unmarked);
}

// Loads whose resonance has a Q of 5 or more (series RLC, parallel RLC).
bool sharp(const LoadCase& c) {
  return c.name == "rlc:r=12.5,l=2u,c=62.8p" || c.name == "rlc:r=35,l=4u,c=32p" ||
         c.name == "par:r=1000,l=1u,c=120p";
}

// The model's lowest SWR (which = 0) or the zero of its reactance nearest it
// (1), MHz; NaN when there is none.
double modelFrequency(const Sweep& s, int which) {
  double lowest = kStartMHz, best = 2, zero = NAN;
  Complex before = s.model(kStartMHz);
  for (double f = kStartMHz; f <= kStopMHz; f += 1e-3) {
    const Complex g = s.model(f);
    if (std::abs(g) < best) best = std::abs(g), lowest = f;
    const double x = common::impedanceOf(g).imag(), was = common::impedanceOf(before).imag();
    if (f > kStartMHz && (x > 0) != (was > 0) && std::isfinite(x) && std::isfinite(was) &&
        std::fabs(x - was) < 1e3 &&
        (std::isnan(zero) || std::fabs(f - lowest) < std::fabs(zero - lowest)))
      zero = f;
    before = g;
  }
  return which == 0 ? lowest : zero;
}

// The frequency found against the model's, % (signed), for each sharp load
// in turn: swr_min_mhz (which = 0) or res_mhz (1); "none" where none is found.
std::string frequencyErrors(const Reading& r, int which) {
  std::string out;
  for (const Sweep& s : r.sweeps) {
    if (!sharp(*s.load)) continue;
    const analyzer::SwrAnalysis a = analyzer::analyzeSwr(s.trace);
    const std::optional<double> v = which == 0 ? a.minMHz : a.resMHz;
    const double truth = modelFrequency(s, which);
    out += (out.empty() ? "" : " ") +
           (v && !std::isnan(truth) ? text("%+.2f", 100 * (*v - truth) / truth) : "none");
  }
  return out;
}

// swr_min_mhz (which = 0) or res_mhz (1) of the sharp loads against the
// model's: "within 1 % / truth inside its interval / found / loads" (a load
// whose sweep finds none, where the signs around its resonance stay unknown,
// counts in the last only).
std::string frequencies(const Reading& r, int which) {
  int loads = 0, found = 0, close = 0, inside = 0;
  for (const Sweep& s : r.sweeps) {
    if (!sharp(*s.load)) continue;
    ++loads;
    const analyzer::SwrAnalysis a = analyzer::analyzeSwr(s.trace);
    const double truth = modelFrequency(s, which);
    const std::optional<double> v = which == 0 ? a.minMHz : a.resMHz;
    const std::optional<double> pm = which == 0 ? a.minPm : a.resPm;
    if (!v || std::isnan(truth)) continue;
    ++found;
    close += std::fabs(*v - truth) <= 0.01 * truth;
    inside += pm && std::fabs(*v - truth) <= *pm + 1e-3;
  }
  return std::to_string(close) + "/" + std::to_string(inside) + "/" + std::to_string(found) + "/" +
         std::to_string(loads);
}

// The share of readings of 10 to 300 ohm resistors whose quantity q is
// uncertain, %.
double uncertainShare(const Reading& r, int q) {
  long points = 0, marked = 0;
  for (const Sweep& s : r.sweeps) {
    if (s.load->kind != Kind::Resistor || s.load->ohm < 10 || s.load->ohm > 300) continue;
    for (size_t i = 0; i < s.truth.size(); ++i, ++points)
      marked += s.trace.mark(i, q) == chart::Mark::Uncertain;
  }
  return 100.0 * static_cast<double>(marked) / static_cast<double>(std::max(points, 1L));
}

}  // namespace

std::vector<Figure> figures() {
  std::vector<Figure> out;
  for (int q = 0; q < analyzer::kQuantities; ++q)
    out.push_back({std::string("covered ") + kNames[q], ">= 98 %",
                   [q](const Reading& r) { return covered(r, q); }});
  out.push_back({"unmarked outside rl/ph/z/r/x/swr", "0", unmarkedMisses});
  out.push_back(
      {"R / |Z| pm, 25 ohm", "<= 7 %", [](const Reading& r) { return rAndZ(r, resistor(25)); }});
  out.push_back(
      {"R / |Z| pm, 50 ohm", "<= 6 %", [](const Reading& r) { return rAndZ(r, resistor(50)); }});
  out.push_back(
      {"R / |Z| pm, 100 ohm", "<= 7 %", [](const Reading& r) { return rAndZ(r, resistor(100)); }});
  out.push_back({"R / |Z| pm, 50+j50 @10-20 MHz", "<= 8 %",
                 [](const Reading& r) { return rAndZ(r, named("rlc:r=50,l=568n"), 10, 20); }});
  out.push_back({"R / |Z| pm, 20-j30 @10-20 MHz", "<= 8 %",
                 [](const Reading& r) { return rAndZ(r, named("rlc:r=20,c=379p"), 10, 20); }});
  out.push_back({"R / |Z| pm, reactive loads", "-", [](const Reading& r) {
                   return rAndZ(r, [](const LoadCase& c) { return c.kind == Kind::Reactive; });
                 }});
  out.push_back({"R / |Z| pm, 100 ohm behind RG58 out", "<= 10 %",
                 [](const Reading& r) { return rAndZ(r, named("RG58 10 m out, r=100")); }});
  out.push_back({"phase pm, |G| >= 0.2, mid-range", "<= 4 deg", phaseWidth});
  out.push_back(
      {"uncertain, 10-300 ohm", "<= 10 %", [](const Reading& r) { return markedShare(r, true); }});
  out.push_back({"uncertain, 10, 200, 300 ohm", "-", [](const Reading& r) {
                   return markedShare(r, true, resistors(10, 300, {10, 200, 300}));
                 }});
  out.push_back({"uncertain, 25-150 ohm", "<= 10 %",
                 [](const Reading& r) { return markedShare(r, true, resistors(25, 150)); }});
  out.push_back(
      {"any mark, 10-300 ohm", "-", [](const Reading& r) { return markedShare(r, false); }});
  out.push_back({"sign ok/wrong/unknown unmarked, lumped", ">=98 % 0", [](const Reading& r) {
                   return signs(r, [](const LoadCase& c) { return c.kind == Kind::Reactive; });
                 }});
  out.push_back({"sign ok/wrong/unknown unmarked, lines", ">=90 % 0", [](const Reading& r) {
                   return signs(r, [](const LoadCase& c) { return c.kind == Kind::Line; });
                 }});
  out.push_back({"swr_min_mhz 1 %/in/found/loads, Q>=5", "all",
                 [](const Reading& r) { return frequencies(r, 0); }});
  out.push_back({"swr_min_mhz off %, the 3 Q>=5 loads", "+-1",
                 [](const Reading& r) { return frequencyErrors(r, 0); }});
  out.push_back({"res_mhz 1 %/in/found/loads, Q>=5", "all",
                 [](const Reading& r) { return frequencies(r, 1); }});
  out.push_back({"res_mhz off %, the 3 Q>=5 loads", "+-1",
                 [](const Reading& r) { return frequencyErrors(r, 1); }});
  out.push_back({"uncertain rl/ph/z/r/x/swr, 10-300 ohm", "-", [](const Reading& r) {
                   std::string out;
                   for (int q = 0; q < analyzer::kQuantities; ++q)
                     out += (q ? "/" : "") + text("%.0f", uncertainShare(r, q));
                   return out;
                 }});
  out.push_back({"values computed, us per point", "-",
                 [](const Reading& r) { return text("%.3f", r.secondsPerPoint * 1e6); }});
  return out;
}

}  // namespace kolm::promise
