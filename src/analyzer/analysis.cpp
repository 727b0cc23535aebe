#include "analyzer/analysis.h"

#include <algorithm>
#include <cmath>

#include "analyzer/validity.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::analyzer {

SwrAnalysis analyzeSwr(const TraceValues& trace) {
  SwrAnalysis a;
  const std::vector<float>& swr = trace.values[kSwr];
  const size_t n = std::min({swr.size(), trace.flags.size(), trace.frequencies.size()});
  auto measured = [&](size_t i, int q) {
    return quantityMark(trace.flags[i], q) == chart::Mark::Valid &&
           std::isfinite(trace.values[q][i]);
  };
  auto usable = [&](size_t i) { return measured(i, kSwr); };
  // At the return-loss limit the SWR is at most its bound, below both thresholds.
  auto inside = [&](size_t i) { return trace.flags[i] == PointFlag::RlLimit; };

  std::optional<size_t> centre;
  for (size_t i = 0; i < n && !centre; ++i)
    if (inside(i)) centre = i;
  if (!centre) {
    for (size_t i = 0; i < n; ++i)
      if (usable(i) && (!centre || swr[i] < swr[*centre])) centre = i;
    if (!centre) return a;
    a.minMHz = trace.frequencies[*centre];
    a.swrMin = swr[*centre];
    if (measured(*centre, kResistance)) a.rOhm = trace.values[kResistance][*centre];
    if (measured(*centre, kReactance)) a.xOhm = std::fabs(trace.values[kReactance][*centre]);
  }

  const std::span<const double> frequencies(trace.frequencies.data(), n);
  auto value = [&](size_t i) { return static_cast<double>(swr[i]); };
  auto band = [&](double bound) {
    if (a.swrMin && *a.swrMin > bound) return chart::Edges{};
    return chart::walkEdges(frequencies, value, usable, inside, *centre, bound, false);
  };
  a.swr2 = band(2);
  a.swr15 = band(1.5);
  return a;
}

std::string swrReport(const SwrAnalysis& a) {
  using chart::reportApproximate;
  using chart::reportLine;
  return reportLine("swr_min", a.swrMin, 3) + reportLine("swr_min_mhz", a.minMHz, 6) +
         reportLine("r_at_min_ohm", a.rOhm, 2) + reportLine("x_at_min_ohm", a.xOhm, 2) +
         reportLine("swr2_low_mhz", a.swr2.low, 6) + reportLine("swr2_high_mhz", a.swr2.high, 6) +
         reportLine("swr2_bw_mhz", a.swr2.width(), 6) + reportApproximate("swr2_approx", a.swr2) +
         reportLine("swr15_low_mhz", a.swr15.low, 6) +
         reportLine("swr15_high_mhz", a.swr15.high, 6) +
         reportLine("swr15_bw_mhz", a.swr15.width(), 6) +
         reportApproximate("swr15_approx", a.swr15);
}

std::vector<std::pair<std::string, std::string>> swrAnalysisRows(const SwrAnalysis& a) {
  const auto& text = chart::panelText;
  // Values from edges interpolated across coarse steps are marked.
  auto mhz = [](const std::optional<double>& v, const chart::Edges& e) {
    return chart::markApproximate(v, chart::panelMHz(v), e.approximate());
  };
  auto khz = [](const chart::Edges& e) {
    return chart::markApproximate(e.width(), chart::panelKHz(e.width(), "0.0"), e.approximate());
  };
  return {
      {KOLM_TR("kolm", "SWR min"), text(a.swrMin, "0.000", "")},
      {KOLM_TR("kolm", "at"), chart::panelMHz(a.minMHz)},
      {KOLM_TR("kolm", "R there"), text(a.rOhm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "|X| there"), text(a.xOhm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "SWR 2 low"), mhz(a.swr2.low, a.swr2)},
      {KOLM_TR("kolm", "SWR 2 high"), mhz(a.swr2.high, a.swr2)},
      {KOLM_TR("kolm", "SWR 2 width"), khz(a.swr2)},
      {KOLM_TR("kolm", "SWR 1.5 low"), mhz(a.swr15.low, a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 high"), mhz(a.swr15.high, a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 width"), khz(a.swr15)},
  };
}

}  // namespace kolm::analyzer
