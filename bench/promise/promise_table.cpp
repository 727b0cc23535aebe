// The analyzer's promise table: every figure the analyzer promises about its
// readings, measured over many loads on the simulated boards and printed as a
// table, one line per figure and one column per way of reading a board.
//
//   scripts/promise-table.sh [build-dir]     (builds, then runs this program)
//   promise_table [--points N] [--loads resistors|reactive|lines|all]
//   KOLM_PROMISE_MISSES=1 promise_table     also lists every unmarked miss on stderr
//   KOLM_PROMISE_DUMP=FILE promise_table    also writes every point's values, half-widths,
//                                           flag, marks and sign to FILE, exactly (hex), to
//                                           compare two builds point by point
//
// Each load is swept (1 to 60 MHz, 200 steps unless --points says otherwise) on
// each board, its readings computed as the analyzer window and kolm-cli compute
// them (computeTraceValues with the figures in use), and compared point by
// point with the load's own reflection from the simulator's circuit model.
// Each board is read with the figures in use there (the published ones; the
// harsh board's own check) and again corrected, calibrated with the
// procedure's standards as the simulator presents them (200 steps).
//
// To add a figure: write a function from a `Reading` (the sweeps of every load
// on one board, read one way) to its text and add a line for it to `figures()`
// with its name and its goal. Helpers below give each point's truth
// (`truthOf`), whether a quantity's interval holds it (`holds`) and medians.
// To add a way of reading (a column): add it to `readings()`.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "analyzer/analysis.h"
#include "analyzer/bridge_check.h"
#include "analyzer/cable.h"
#include "analyzer/calibration.h"
#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "common/reflection.h"
#include "hw/dds.h"
#include "hw/instrument.h"
#include "sim/simulated_instrument.h"

namespace {

using namespace kolm;
using analyzer::TraceValues;
using Complex = std::complex<double>;

constexpr double kStartMHz = 1, kStopMHz = 60;
constexpr int kCalibrationSteps = 200;

// What is on the bridge. Parallel networks are written to a Touchstone file the
// simulator reads (its loads are series ones); `cable` is taken out of the
// readings when set, the truth then being `far`'s reflection.
enum class Kind { Resistor, Reactive, Line };
struct LoadCase {
  LoadCase(std::string n, std::string l, Kind k = Kind::Resistor, double r = 0)
      : name(std::move(n)), load(std::move(l)), kind(k), ohm(r) {}
  std::string name;  // as the table names it
  std::string load;  // the simulator's --load text
  Kind kind = Kind::Resistor;
  double ohm = 0;  // a resistor's value
  std::optional<analyzer::Cable> cable;
  std::string far;  // the load at the cable's far end (--load form)
};

// A parallel R, L, C (0 leaves a part out) as a Touchstone file, 0.1 MHz steps.
std::string parallelFile(const std::filesystem::path& folder, const std::string& name, double r,
                         double l, double c) {
  const std::filesystem::path path = folder / (name + ".s1p");
  std::ofstream out(path);
  out << "# MHz S RI R 50\n";
  for (int k = 0; k <= 700; ++k) {
    const double f = 0.1 * k, w = 2 * std::numbers::pi * f * 1e6;
    Complex y = r > 0 ? 1 / r : 0;
    if (l > 0 && f > 0) y += 1.0 / Complex(0, w * l);
    if (c > 0) y += Complex(0, w * c);
    const Complex g = std::abs(y) == 0 ? Complex(1) : common::reflectionOf(1.0 / y);
    char line[96];
    std::snprintf(line, sizeof line, "%.4f %.12g %.12g\n", f, g.real(), g.imag());
    out << line;
  }
  return "s1p:" + path.string();
}

std::vector<LoadCase> loads(const std::filesystem::path& folder, const std::string& which) {
  std::vector<LoadCase> out;
  const bool all = which == "all";
  if (all || which == "resistors")
    for (double r : {5, 10, 25, 33, 50, 56, 75, 100, 150, 200, 300, 450, 1000}) {
      char name[32];
      std::snprintf(name, sizeof name, "r=%g", r);
      out.push_back({name, name, Kind::Resistor, r});
    }
  if (all || which == "reactive") {
    // 50 + j50 and 20 - j30 at 14 MHz among them.
    for (const char* l :
         {"rlc:r=50,l=568n", "rlc:r=20,c=379p", "rlc:r=10,c=470p", "rlc:r=50,c=100p",
          "rlc:r=100,c=47p", "rlc:r=10,l=1u", "rlc:r=200,l=2u", "rlc:r=12.5,l=2u,c=62.8p",
          "rlc:r=50,l=1u,c=129.2p", "rlc:r=35,l=4u,c=32p", "rlc:r=200,l=5u,c=20p", "rlc:r=0,l=1u",
          "rlc:r=0,c=100p"})
      out.push_back({l, l, Kind::Reactive});
    struct Parallel {
      const char* name;
      double r, l, c;
    };
    for (const Parallel& p :
         {Parallel{"par:r=100,c=100p", 100, 0, 100e-12}, Parallel{"par:r=200,l=1u", 200, 1e-6, 0},
          Parallel{"par:r=1000,l=1u,c=120p", 1000, 1e-6, 120e-12},
          Parallel{"par:r=300,l=2u,c=60p", 300, 2e-6, 60e-12}})
      out.push_back({p.name, parallelFile(folder, p.name + 4, p.r, p.l, p.c), Kind::Reactive});
  }
  if (all || which == "lines") {
    for (const char* far : {"r=100", "r=25", "rlc:r=35,l=4u,c=32p", "open"}) {
      const std::string load = std::string("line:z0=50,len=10,vf=0.66,loss=16.1@100,load=") + far;
      out.push_back({std::string("RG58 10 m + ") + far, load, Kind::Line});
    }
    // The same taken out again with the cable's published figures.
    std::string why;
    const auto rg58 = analyzer::parseCable("RG58:10", &why);
    for (const char* far : {"r=100", "r=25"}) {
      LoadCase c{std::string("RG58 10 m out, ") + far,
                 std::string("line:z0=50,len=10,vf=0.66,loss=16.1@100,load=") + far, Kind::Line};
      c.cable = rg58;
      c.far = far;
      out.push_back(c);
    }
    out.push_back({"450 ohm line 5 m + r=200", "line:z0=450,len=5,vf=0.91,loss=1@100,load=r=200",
                   Kind::Line});
  }
  return out;
}

// One load swept: its values as the analyzer gives them and the truth.
struct Sweep {
  const LoadCase* load = nullptr;
  TraceValues trace;
  std::vector<Complex> truth;            // the reflection the values stand for, per point
  std::function<Complex(double)> model;  // that reflection at any frequency, MHz
};

// Every load on one board, read one way: a column of the table.
struct Reading {
  std::string board, mode;
  std::vector<Sweep> sweeps;
  double secondsPerPoint = 0;  // computing the values from the readings
};

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

// Runs every load on `board`; `figures` read the readings.
Reading readBoard(sim::Board board, const std::string& mode, const analyzer::BridgeFigures& figures,
                  const std::vector<LoadCase>& cases, int points) {
  Reading r{std::string(sim::boardName(board)), mode, {}, 0};
  double seconds = 0;
  long computed = 0;
  for (const LoadCase& c : cases) {
    auto port = std::make_unique<sim::SimulatedInstrument>();
    sim::SimulatedInstrument* simulator = port.get();
    const std::string error =
        simulator->configure({"through", c.load, std::string(sim::boardName(board))});
    if (!error.empty()) {
      std::fprintf(stderr, "promise_table: %s: %s\n", c.load.c_str(), error.c_str());
      std::exit(2);
    }
    hw::Instrument instrument;
    instrument.setPort(std::move(port));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};
    instrument.refreshReachable();
    const auto planned = analyzer::planSweep(kStartMHz, kStopMHz, points, 400);
    analyzer::Channels channels;
    analyzer::PassJob job(instrument, planned.plan, channels, true);
    job.runToEnd();
    Sweep s;
    s.load = &c;
    const auto begin = std::chrono::steady_clock::now();
    analyzer::computeTraceValues(channels, points, s.trace, figures);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    computed += points + 1;
    std::optional<sim::Load> far;
    if (c.cable) {
      s.trace = analyzer::withoutCable(s.trace, *c.cable);
      far = sim::parseLoad(c.far).value;
    }
    s.model = far ? std::function<Complex(double)>([l = *far](double f) { return l.gamma(f); })
                  : [l = simulator->load()](double f) { return l.gamma(f); };
    for (int i = 0; i <= points; ++i) {
      const double f = channels.frequencies[i];
      s.truth.push_back(far ? far->gamma(f) : simulator->load().gamma(f));
    }
    r.sweeps.push_back(std::move(s));
  }
  r.secondsPerPoint = seconds / static_cast<double>(std::max(computed, 1L));
  return r;
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

// swr_min_mhz (which = 0) or res_mhz (1) of the sharp loads against the
// model's: "within 1 % / truth inside its interval / found / loads" (a load
// whose sweep finds none, where the signs around its resonance stay unknown,
// counts in the last only).
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

struct Figure {
  std::string name;
  std::string goal;
  std::function<std::string(const Reading&)> value;
};

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

// The ways each board is read: the columns.
std::vector<Reading> readings(const std::vector<LoadCase>& cases, int points) {
  std::vector<Reading> out;
  for (sim::Board board : {sim::Board::Ideal, sim::Board::Typical, sim::Board::Harsh}) {
    analyzer::BridgeFigures figures = analyzer::publishedBridge();
    std::string mode = "published";
    if (board == sim::Board::Harsh) {
      // The harsh bridge is read with the figures its own check finds and its
      // phase ends stated.
      analyzer::BridgeCheckRun run;
      for (int k = 0; k < analyzer::kStandards; ++k) {
        const std::vector<LoadCase> standard{{"", k == 0 ? "r=50" : k == 1 ? "open" : "short"}};
        const Reading read = readBoard(board, "", figures, standard, 40);
        analyzer::StandardReadings m;
        // The check reads the rounded counts the pass stored.
        for (size_t i = 0; i < read.sweeps[0].trace.flags.size(); ++i) {
          m.returnLossCounts.push_back(read.sweeps[0].trace.returnLossCounts[i]);
          m.phaseCounts.push_back(read.sweeps[0].trace.phaseCounts[i]);
        }
        run.take(static_cast<analyzer::Standard>(k), kStartMHz, kStopMHz, 40, m);
      }
      figures = analyzer::evaluateBridgeCheck(run).figures;
      figures.phaseEndDeg = 25;
      mode = "own check";
    }
    out.push_back(readBoard(board, mode, figures, cases, points));
    // Calibrated over the same span in 200 steps, each standard as the
    // simulator presents it.
    analyzer::CalibrationRun run;
    const auto& standards = analyzer::calibrationStandards();
    for (size_t k = 0; k < standards.size(); ++k) {
      const std::vector<LoadCase> standard{{standards[k].name, standards[k].simLoad}};
      const Reading read = readBoard(board, "", figures, standard, kCalibrationSteps);
      analyzer::MeasuredStandard m;
      m.value = standards[k].nominal;
      m.readings.returnLossCounts = read.sweeps[0].trace.returnLossCounts;
      m.readings.phaseCounts = read.sweeps[0].trace.phaseCounts;
      run.take(k, kStartMHz, kStopMHz, kCalibrationSteps, m);
    }
    const analyzer::CalibrationResult solved =
        analyzer::solveCalibration(run, std::string(sim::boardName(board)), figures);
    if (!solved.calibration) {
      std::fprintf(stderr, "promise_table: %s: %s\n", std::string(sim::boardName(board)).c_str(),
                   solved.fault.c_str());
      continue;
    }
    figures.calibration = std::make_shared<const analyzer::BridgeCalibration>(*solved.calibration);
    out.push_back(readBoard(board, "corrected", figures, cases, points));
  }
  return out;
}

// Every point of every column, each number exactly.
void dump(const std::vector<Reading>& columns, const char* path) {
  std::FILE* out = std::fopen(path, "w");
  if (!out) {
    std::fprintf(stderr, "promise_table: cannot write %s\n", path);
    std::exit(2);
  }
  for (const Reading& r : columns)
    for (const Sweep& s : r.sweeps)
      for (size_t i = 0; i < s.truth.size(); ++i) {
        const TraceValues& t = s.trace;
        std::fprintf(out, "%s %s %s %a %d %d %u", r.board.c_str(), r.mode.c_str(),
                     s.load->name.c_str(), t.frequencies[i], static_cast<int>(t.flags[i]),
                     i < t.signs.size() ? static_cast<int>(t.signs[i]) : -1,
                     i < t.uncertain.size() ? static_cast<unsigned>(t.uncertain[i]) : 0u);
        for (int q = 0; q < analyzer::kQuantities; ++q)
          std::fprintf(out, " %a %a", static_cast<double>(t.values[q][i]),
                       static_cast<double>(t.halfWidths[q][i]));
        std::fprintf(out, "\n");
      }
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  int points = 200;
  std::string which = "all";
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--points")
      points = std::atoi(argv[k + 1]);
    else if (option == "--loads")
      which = argv[k + 1];
  }
  if (points < 1 || points > 20000 || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: promise_table [--points N] [--loads resistors|reactive|lines|all]\n");
    return 2;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kolm-promise-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::vector<LoadCase> cases = loads(folder, which);
  const std::vector<Reading> columns = readings(cases, points);
  std::filesystem::remove_all(folder);
  if (const char* path = std::getenv("KOLM_PROMISE_DUMP")) dump(columns, path);

  std::printf("Promise table: %zu loads, %g to %g MHz in %d steps\n\n", cases.size(), kStartMHz,
              kStopMHz, points);
  std::printf("%-36s %-9s", "figure", "goal");
  for (const Reading& r : columns) std::printf(" %-17s", (r.board + ", " + r.mode).c_str());
  std::printf("\n");
  for (const Figure& f : figures()) {
    std::printf("%-36s %-9s", f.name.c_str(), f.goal.c_str());
    for (const Reading& r : columns) std::printf(" %-17s", f.value(r).c_str());
    std::printf("\n");
  }
  return 0;
}
