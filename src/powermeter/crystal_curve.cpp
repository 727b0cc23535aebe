#include "powermeter/crystal_curve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/scale.h"
#include "common/text.h"
#include "common/tr.h"
#include "powermeter/calibration.h"

namespace kolm::powermeter {

namespace {

constexpr double kWordsPerClock = 4294967296.0;  // 2^32
constexpr double kNotchRiseDb = 3;

}  // namespace

double LossError::smoothBound(double lossDb) const {
  return correction ? correction->bound(lossDb) : (conformance + slope) * std::fabs(lossDb);
}

double LossError::noise(double lossDb) const {
  // A reading r holds the signal's power and at most the noise's: the signal
  // lies down to 10 log(10^(r/10) - 10^(n/10)).
  const double below = noiseDbm - (throughDbm - lossDb);
  if (below > -0.5) return 10 * std::log10(1 / (1 - std::pow(10.0, -0.05)));
  return -10 * std::log10(1 - std::pow(10.0, below / 10));
}

double CrystalCurve::throughAt(double f) const {
  return through.levelDb + through.slopeDbPerMHz * (f - centreHz) / 1e6;
}

std::vector<double> pointFrequenciesHz(const CrystalSweep& s, double clockMHz, double offsetPpm) {
  std::vector<double> f(static_cast<size_t>(s.points) + 1);
  const double scale = 1 + offsetPpm * 1e-6;
  if (clockMHz > 0) {
    const double perMHz = kWordsPerClock / clockMHz;
    const double first = common::roundHalfEven(s.traceStartMHz * perMHz);
    const double last = common::roundHalfEven(s.traceStopMHz * perMHz);
    const double step = (last - first) / s.points;
    double word = first;
    for (size_t i = 0; i < f.size(); ++i) {
      f[i] = common::roundHalfEven(word) / perMHz * 1e6 * scale;
      word += step;
    }
  } else {
    for (size_t i = 0; i < f.size(); ++i)
      f[i] =
          chart::pointFrequency(s.traceStartMHz, s.traceStopMHz, s.points, static_cast<double>(i)) *
          1e6 * scale;
  }
  return f;
}

double resistanceFromLoss(double lossDb, double r0) {
  return r0 * (std::pow(10.0, lossDb / 20) - 1);
}

void addClockTerm(Measured& m, double ppm, double factor) {
  const double term = std::fabs(m.value) * ppm * 1e-6 * factor;
  m.pm += term;
  m.sys += term;
  m.common += term;
}

double loadResonanceHz(const CrystalModel& m, double loadFarad) {
  return m.fsHz * std::sqrt(1 + m.csFarad() / (m.c0Farad + loadFarad));
}

CurveShape curveShape(std::span<const double> fHz, const std::vector<float>& level,
                      const std::vector<char>& usable, const std::vector<char>& floor,
                      double floorDbm, double tieDb) {
  CurveShape s;
  const size_t n = fHz.size();
  s.peak = n;
  for (size_t i = 0; i < n; ++i)
    if (usable[i] && (s.peak == n || level[i] > level[s.peak])) s.peak = i;
  if (s.peak == n) return s;
  const double top = level[s.peak];
  s.edges = chart::walkEdges(
      fHz, [&](size_t i) { return double{level[i]}; }, [&](size_t i) { return usable[i] != 0; },
      [](size_t) { return false; }, s.peak, top - 3, true);
  // The notch: the lowest reading above the peak, or the run at the floor,
  // with the level rising again by some dB after it. Readings within `tieDb`
  // of the lowest may hide it as well as the lowest: the run spans them all.
  size_t first = n, last = n;
  for (size_t i = s.peak + 1; i < n; ++i) {
    if (floor[i]) {
      if (first == n || !floor[first]) first = i;
      last = i;
    } else if (usable[i] && (first == n || (!floor[first] && level[i] < level[first]))) {
      first = last = i;
    }
  }
  if (first == n) return s;
  if (!floor[first]) {
    for (size_t i = s.peak + 1; i < n; ++i)
      if (usable[i] && level[i] <= level[first] + tieDb) {
        first = std::min(first, i);
        last = std::max(last, i);
      }
  }
  if (first <= s.peak + 1 || last + 1 >= n) return s;
  // A run at the floor lies at most at the floor's level, or at its highest
  // reading between.
  double bottom = floor[first] ? floorDbm : level[first];
  for (size_t i = first; i <= last; ++i)
    if (usable[i]) bottom = std::max<double>(bottom, level[i]);
  double after = -HUGE_VAL;
  for (size_t i = last + 1; i < n; ++i)
    if (usable[i]) after = std::max<double>(after, level[i]);
  if (after >= bottom + kNotchRiseDb) s.notch = Notch{fHz[first - 1], fHz[last + 1]};
  return s;
}

namespace {

// Why the curve does not hold its resonance whole (no 3 dB fall on either
// side, the highest level at an end, a fall on one side only), or nothing.
std::string unwholeResonance(const CrystalCurve& c) {
  const chart::Edges& e = c.shape.edges;
  if (!e.low && !e.high)
    return KOLM_TR("kolm",
                   "No resonance in the sweep: the level does not fall 3 dB on either "
                   "side of its highest point. Widen the span over the crystal, or let "
                   "the meter find it.");
  size_t firstUsable = 0, lastUsable = c.fHz.size() - 1;
  while (!c.usable[firstUsable]) ++firstUsable;
  while (!c.usable[lastUsable]) --lastUsable;
  // At an end: the end's level is the highest read (a count's rounding may
  // hide which of the last points is).
  const double top = c.level[c.shape.peak];
  const bool atStart = c.level[firstUsable] >= top - c.countDb / 2;
  const bool atEnd = c.level[lastUsable] >= top - c.countDb / 2;
  if (atStart || atEnd)
    return common::arg(
        KOLM_TR("kolm",
                "The highest level lies at the sweep's %1 (%2 MHz): the resonance may lie "
                "beyond it. Move the span over it, or let the meter find it."),
        {atStart ? KOLM_TR("kolm", "start") : KOLM_TR("kolm", "end"),
         common::shortestText(c.fHz[atStart ? firstUsable : lastUsable] / 1e6, 10)});
  if (!e.low || !e.high)
    return common::arg(
        KOLM_TR("kolm",
                "The level falls 3 dB only above or only below its highest point: the "
                "resonance reaches beyond the sweep's %1. Widen the span over it, or let the "
                "meter find it."),
        {e.low ? KOLM_TR("kolm", "end") : KOLM_TR("kolm", "start")});
  return {};
}

}  // namespace

CurveRead readCrystalCurve(const CrystalFitInput& in, bool whole) {
  const CrystalSweep& s = in.sweep;
  const int n = s.points;
  auto refuse = [](std::string why) { return CurveRead{std::nullopt, std::move(why)}; };
  if (n < kMinCrystalPoints || s.trace.size() <= static_cast<size_t>(n))
    return refuse(KOLM_TR("kolm", "The sweep needs at least 7 points."));
  if (!(in.r0Ohm > 0))
    return refuse(
        common::arg(KOLM_TR("kolm", "R0 is 0 ohm: enter the fixture's resistance with %1."),
                    {menuPath({"CrystalMeter", "calQuarz"})}));
  if (!(s.traceStopMHz > s.traceStartMHz)) return refuse(KOLM_TR("kolm", "The sweep has no span."));
  if (!in.calibration.usable())
    return refuse(KOLM_TR("kolm", "The calibration counts are equal: no level can be read."));

  CrystalCurve c;
  c.countDb = 60.0 / std::abs(in.calibration.countsAt0Dbm - in.calibration.countsAtMinus60Dbm);
  c.fHz = pointFrequenciesHz(s, in.clockMHz, in.clockOffsetPpm);
  c.stepHz = (c.fHz.back() - c.fHz.front()) / n;
  c.resolutionHz = in.clockMHz > 0 ? in.clockMHz * 1e6 / kWordsPerClock : 0;
  const LevelLimits limits = levelLimits(in.calibration);
  c.level.assign(s.trace.begin(), s.trace.begin() + n + 1);
  c.usable.resize(c.level.size());
  c.floor.resize(c.level.size());
  for (size_t i = 0; i < c.level.size(); ++i) {
    const LevelFlag flag = limits.flag(c.level[i]);
    c.usable[i] = std::isfinite(c.level[i]) && flag == LevelFlag::Valid;
    c.floor[i] = std::isfinite(c.level[i]) && flag == LevelFlag::Floor;
  }
  CurveShape raw = curveShape(c.fHz, c.level, c.usable, c.floor, limits.floorDbm, c.countDb);
  if (raw.peak == c.fHz.size())
    return refuse(KOLM_TR("kolm", "No level of the sweep lies above the detector's floor."));
  c.centreHz = raw.edges.width() ? (*raw.edges.low + *raw.edges.high) / 2 : c.fHz[raw.peak];
  if (!(c.centreHz / 1e6 >= 0.05 && c.centreHz / 1e6 <= 160.2))
    return refuse(KOLM_TR("kolm",
                          "The series resonance lies outside the through-path reference (0.1 to "
                          "160 MHz)."));

  // The through path as the present counts read it.
  const FixtureRecord none;
  const FixtureRecord& record = in.fixture ? *in.fixture : none;
  const ReferenceTable table =
      record.through ? inCalibration(in.through, *record.through, in.calibration) : in.through;
  c.through = throughLevel(table, c.centreHz / 1e6, c.countDb);
  const DetectorFigures& d = detectorFigures();
  c.error.correction =
      lossCorrection(record, table, in.calibration, c.centreHz / 1e6, in.terms.differenceFraction);
  if (!record.steps.empty() && !c.error.correction)
    c.notes.push_back(KOLM_TR("kolm",
                              "The fixture's loss steps do not read larger losses for larger "
                              "attenuators: they are not used. Measure them again."));
  c.error.conformance = in.terms.differenceFraction;
  if (c.error.correction) {
    c.slope = SlopeSource::Steps;
    for (size_t i = 0; i < c.level.size(); ++i)
      if (c.usable[i]) {
        const double t = c.throughAt(c.fHz[i]);
        c.level[i] = static_cast<float>(t - c.error.correction->corrected(t - c.level[i]));
      }
  } else {
    c.slope = !withinDetectorFigures(in.calibration) ? SlopeSource::Suspect
              : in.calibration.isDefault()           ? SlopeSource::Default
                                                     : SlopeSource::Level;
    c.error.slope = in.terms.slopeFraction.value_or(
        c.slope == SlopeSource::Level     ? d.calibratedSlopeTolerance
        : c.slope == SlopeSource::Default ? d.slopeTolerance
                                          : slopeErrorFromFigures(in.calibration));
  }
  c.error.throughDbm = c.through.levelDb;
  if (limits.rising) c.error.noiseDbm = limits.floorDbm - kFloorMarginDb + d.noiseAboveZeroDb;
  c.shape = curveShape(c.fHz, c.level, c.usable, c.floor, limits.floorDbm, c.countDb);
  if (!whole) return {std::move(c), {}};
  if (std::string why = unwholeResonance(c); !why.empty()) return refuse(std::move(why));
  return {std::move(c), {}};
}

}  // namespace kolm::powermeter
