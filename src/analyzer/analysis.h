// What an analyzer sweep tells about the load: the frequency of its lowest SWR,
// the SWR, R and |X| there, and the bands around it where the SWR stays at or
// under 2 and 1.5 (edges interpolated between sweep points), with their widths.
// A flagged reading is never taken as the minimum or an edge: what cannot be
// found from measured values is left empty.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/measurement.h"
#include "chart/edges.h"

namespace kolm::analyzer {

struct SwrAnalysis {
  std::optional<double> minMHz;
  std::optional<double> swrMin;
  std::optional<double> rOhm;  // R at the minimum
  std::optional<double> xOhm;  // |X| at the minimum (the bridge does not know its sign)
  chart::Edges swr2, swr15;    // where the SWR rises above 2 and 1.5
};

// The minimum is the first lowest SWR of the points whose SWR is measured. A
// point at the bridge's return-loss limit has an SWR of at most 1.065, lower
// than any measured one: with such a point the minimum (its SWR, frequency, R
// and X) is not found, and the bands are walked from the first of those points
// (which lie inside both bands). R and |X| are given only where measured (not
// approximate). An edge is found where the walk meets the first measured SWR at
// or above its bound; a walk meeting another flagged point or the end of the
// trace finds nothing, and a minimum above the bound has no band.
SwrAnalysis analyzeSwr(const TraceValues& trace);

// A key=value line per quantity, as the command line prints them: swr_min,
// swr_min_mhz, r_at_min_ohm, x_at_min_ohm, swr2_low_mhz, swr2_high_mhz,
// swr2_bw_mhz, swr15_low_mhz, swr15_high_mhz, swr15_bw_mhz; "none" for what was
// not found.
std::string swrReport(const SwrAnalysis& analysis);

// The analysis as the window's panel shows it: a caption and the value with its
// unit (or "none") per line.
std::vector<std::pair<std::string, std::string>> swrAnalysisRows(const SwrAnalysis& analysis);

}  // namespace kolm::analyzer
