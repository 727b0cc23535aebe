#include "powermeter/level_trace.h"

#include <cmath>

#include "chart/scale.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

namespace {
// The 0 dBm signal of a calibration is known within this (DetectorFigures).
constexpr double kReferenceLevelDb = 0.3;
}  // namespace

double levelHalfWidthDb(double level, bool calibrated) {
  const DetectorFigures& d = detectorFigures();
  const double slope = calibrated ? d.calibratedSlopeTolerance : d.slopeTolerance;
  return kReferenceLevelDb + (slope + ReadoutTerms{}.differenceFraction) * std::fabs(level) +
         0.5 / d.countsPerDb;
}

chart::StoredTrace levelTrace(std::string name, std::span<const float> levels, double start,
                              double stop, const LevelLimits& limits) {
  chart::StoredTrace t{std::move(name), "level", "dBm"};
  const size_t n = levels.size();
  t.x.resize(n);
  t.value.resize(n);
  t.low.resize(n);
  t.high.resize(n);
  for (size_t i = 0; i < n; ++i) {
    t.x[i] = n < 2
                 ? start
                 : chart::pointFrequency(start, stop, static_cast<int>(n - 1), static_cast<int>(i));
    const double v = levels[i];
    const double pm = std::isfinite(v) ? levelHalfWidthDb(v, limits.calibrated) : 0;
    t.value[i] = v;
    t.low[i] = std::isfinite(v) ? v - pm : -HUGE_VAL;
    t.high[i] = std::isfinite(v) ? v + pm : HUGE_VAL;
  }
  t.marks = levelMarks(levels.data(), n, limits);
  // With the default counts every level is a few dB off: approximate.
  if (!limits.calibrated) t.marks.assign(n, chart::Mark::Approximate);
  for (size_t i = 0; i < n; ++i)
    if (!std::isfinite(t.value[i])) {
      if (t.marks.empty()) t.marks.assign(n, chart::Mark::Valid);
      t.marks[i] = chart::Mark::Invalid;
    }
  return t;
}

}  // namespace kolm::powermeter
