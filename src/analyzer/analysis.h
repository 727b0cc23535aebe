// What an analyzer sweep tells about the load: the frequency of its lowest SWR,
// the SWR, R and X (with its inferred sign) there, and the bands around it
// where the SWR stays at or under 2 and 1.5 (edges interpolated between sweep
// points), with their widths.
// A flagged reading is never taken as the minimum or an edge: what cannot be
// found from measured values is left empty.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/measurement.h"
#include "chart/edges.h"
#include "common/bands.h"

namespace kolm::analyzer {

struct SwrAnalysis {
  std::optional<double> minMHz;
  // Where the lowest SWR of the sweep may lie, from the SWR's intervals: the
  // farthest from minMHz (none where the trace carries no intervals).
  std::optional<double> minPm;
  std::optional<double> swrMin;
  // Whether swrMin is a measured value or the bound of the bridge's return-loss
  // limit (the SWR is that or lower).
  bool minIsBound = false;
  // Whether the SWR there may be unbounded above (a lossless load, or one read
  // too near the bridge's ends): swrMin then holds the lowest it can be.
  bool minAtLeast = false;
  std::optional<double> rOhm;  // R at the minimum
  std::optional<double> xOhm;  // |X| at the minimum
  // The reactance's sign there as inferred: unknown unless the middle points agree.
  ReactanceSign xSign = ReactanceSign::Unknown;
  // The half-widths of their intervals (none for a bound, and where the trace
  // carries no intervals).
  std::optional<double> swrMinPm, rPm, xPm;
  // Where the SWR rises above 2 and 1.5, with the spans the SWR's intervals
  // leave each edge (chart::edgeSpans).
  chart::Edges swr2, swr15;
  // Where the inferred signed reactance crosses zero (the one nearest the
  // minimum), interpolated between the points of known sign around it, and
  // how far the crossing may lie from it (none when a side has no point whose
  // sign holds within its interval).
  std::optional<double> resMHz;
  std::optional<double> resPm;
};

// The minimum is the centre of the run of equal lowest SWR readings
// (chart::extremeRun), halfway between its two middle points when it has an
// even number. A point at the bridge's return-loss limit has an SWR of at most
// its value (the bound its interval gives, the directivity that remains taken
// in): when that is the lowest, the minimum is the centre of the run of such
// points and its SWR is that bound (minIsBound). R and |X| are
// given only where measured (not approximate), at the centre (the mean of the
// two middle points). The bands are walked out from the centre. An edge is
// found where the walk meets the first measured SWR at or above its bound; a
// walk meeting another flagged point (points at the limit lie inside both
// bands) or the end of the trace finds nothing, and a minimum above the bound
// has no band.
SwrAnalysis analyzeSwr(const TraceValues& trace);

// A key=value line per quantity, as the command line prints them: swr_min,
// swr_min_kind (value, bound, or at_least when swr_min is the lowest an
// unbounded SWR can be), swr_min_mhz, r_at_min_ohm, x_at_min_ohm,
// swr2_low_mhz, swr2_high_mhz, swr2_bw_mhz, swr15_low_mhz, swr15_high_mhz,
// swr15_bw_mhz, then res_mhz, each value followed by its half-width
// (swr_min_pm, swr_min_mhz_pm, ..., res_mhz_pm); "none" for what was not found
// or has no interval.
std::string swrReport(const SwrAnalysis& analysis);

// The analysis as the window's panel shows it: a caption and the value with its
// unit (or "none") per line.
std::vector<std::pair<std::string, std::string>> swrAnalysisRows(const SwrAnalysis& analysis);

// What a marker at `mhz` adds to its frequency where it stands on one of the
// frequencies the analysis found (the nearest within `near` of it, half a
// sweep step): the half-width around the marker's own frequency that holds
// where that frequency truly lies (its interval, and how far the marker stands
// from it), in kHz rounded outward, and which one it is:
// " ± 12.4 kHz (SWR min)". Empty elsewhere, and for a frequency without an
// interval.
std::string markerFrequencyNote(const SwrAnalysis& analysis, double mhz, double near);

// How much of an amateur band the load takes at an SWR of at most 2 and 1.5:
// the widths inside the band, MHz, the SWR interpolated linearly between
// measured points (a point at the return-loss limit counts at its bound), and
// the width the sweep does not reach or where a flagged point leaves the SWR
// unknown.
struct BandWidths {
  common::AmateurBand band;
  double swr2MHz = 0;
  double swr15MHz = 0;
  double unmeasuredMHz = 0;
};
// Every band of `region` the sweep reaches.
std::vector<BandWidths> bandWidths(const TraceValues& trace, int region);
// band_NAME_low_mhz=, band_NAME_high_mhz=, band_NAME_swr2_mhz=,
// band_NAME_swr15_mhz= and band_NAME_unmeasured_mhz= lines per band.
std::string bandReport(const std::vector<BandWidths>& bands);

}  // namespace kolm::analyzer
