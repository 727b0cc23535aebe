#include "powermeter/analysis.h"

#include <cmath>

#include "chart/scale.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::powermeter {

LevelAnalysis analyzeLevels(std::span<const float> levels, double start, double stop,
                            const LevelLimits& limits, const ReferenceTable* through) {
  LevelAnalysis a;
  a.calibrated = limits.calibrated;
  a.withinFigures = limits.withinFigures;
  const size_t n = levels.size();
  if (n == 0) return a;
  std::vector<double> frequencies(n);
  for (size_t i = 0; i < n; ++i)
    frequencies[i] =
        n > 1 ? chart::pointFrequency(start, stop, static_cast<int>(n - 1), static_cast<double>(i))
              : start;

  auto usable = [&](size_t i) {
    return std::isfinite(levels[i]) && limits.flag(levels[i]) == LevelFlag::Valid;
  };
  std::optional<size_t> peak;
  for (size_t i = 0; i < n; ++i) {
    if (limits.flag(levels[i]) == LevelFlag::Overload) return a;
    if (usable(i) && (!peak || levels[i] > levels[*peak])) peak = i;
  }
  if (!peak) return a;
  a.peakMHz = frequencies[*peak];
  a.peakDbm = levels[*peak];

  auto value = [&](size_t i) { return static_cast<double>(levels[i]); };
  auto never = [](size_t) { return false; };
  auto edges = [&](double drop) {
    return chart::walkEdges(frequencies, value, usable, never, *peak, *a.peakDbm - drop, true);
  };
  a.at3 = edges(3);
  a.at6 = edges(6);
  a.at60 = edges(60);
  if (a.at3.width()) a.centreMHz = (*a.at3.low + *a.at3.high) / 2;
  if (a.at60.width() && a.at6.width() && *a.at6.width() > 0)
    a.shapeFactor = *a.at60.width() / *a.at6.width();
  if (through) {
    if (const auto index = referenceIndex(static_cast<float>(*a.peakMHz)))
      a.insertionLossDb = (*through)[*index] - *a.peakDbm;
  }
  return a;
}

std::string levelReport(const LevelAnalysis& a) {
  using chart::reportApproximate;
  using chart::reportLine;
  return reportLine("peak_mhz", a.peakMHz, 6) + reportLine("peak_dbm", a.peakDbm, 2) +
         reportLine("bw3_low_mhz", a.at3.low, 6) + reportLine("bw3_high_mhz", a.at3.high, 6) +
         reportLine("bw3_mhz", a.at3.width(), 6) + reportApproximate("bw3_approx", a.at3) +
         reportLine("bw6_mhz", a.at6.width(), 6) + reportApproximate("bw6_approx", a.at6) +
         reportLine("bw60_mhz", a.at60.width(), 6) + reportApproximate("bw60_approx", a.at60) +
         reportLine("shape_factor", a.shapeFactor, 3) +
         (a.calibrated       ? "calibration=stored\n"
          : !a.withinFigures ? "calibration=suspect\n"
                             : "calibration=default\n");
}

std::vector<std::pair<std::string, std::string>> levelAnalysisRows(const LevelAnalysis& a) {
  const auto& text = chart::panelText;
  // Values from edges interpolated across coarse steps are marked.
  auto mhz = [](const std::optional<double>& v, bool rough) {
    return chart::markApproximate(v, chart::panelMHz(v), rough);
  };
  auto khz = [](const chart::Edges& e) {
    return chart::panelWidth(
        e, chart::markApproximate(e.width(), chart::panelKHz(e.width(), "0.000"), e.approximate()));
  };
  const bool rough3 = a.at3.approximate();
  const bool roughShape = a.at6.approximate() || a.at60.approximate();
  // With the default calibration the levels are a few dB off (the chart's note
  // says why): approximate.
  const std::string maximum =
      chart::markApproximate(a.peakDbm, text(a.peakDbm, "0.00", " dBm"), !a.calibrated);
  return {
      {KOLM_TR("kolm", "Maximum"), maximum},
      {KOLM_TR("kolm", "at"), chart::panelMHz(a.peakMHz)},
      {KOLM_TR("kolm", "-3 dB low"), chart::panelLowEdge(a.at3, mhz(a.at3.low, rough3))},
      {KOLM_TR("kolm", "-3 dB high"), chart::panelHighEdge(a.at3, mhz(a.at3.high, rough3))},
      {KOLM_TR("kolm", "Centre"), mhz(a.centreMHz, rough3)},
      {KOLM_TR("kolm", "BW -3 dB"), khz(a.at3)},
      {KOLM_TR("kolm", "BW -6 dB"), khz(a.at6)},
      {KOLM_TR("kolm", "BW -60 dB"), khz(a.at60)},
      {KOLM_TR("kolm", "Shape -60/-6"),
       chart::markApproximate(a.shapeFactor, text(a.shapeFactor, "0.00", ""), roughShape)},
      {KOLM_TR("kolm", "Insertion loss"), text(a.insertionLossDb, "0.00", " dB")},
  };
}

}  // namespace kolm::powermeter
