// An interval band around a trace: at each point the lowest and the highest
// value it may have, shaded beneath it so that the reader sees how far the
// trace is known (a prediction's spread, a reading's interval).
#pragma once

#include <span>
#include <vector>

#include "chart/polyline.h"

namespace kolm::chart {

// The band's outline in pixels: the low edge from left to right, then the
// high edge back, each as tracePolyline draws it (infinite values pinned to
// the area's edge, NaN points left out). Empty when either edge draws nothing.
void bandOutline(const TraceSamples& low, const TraceSamples& high, const PixelMap& map,
                 std::vector<PixelPoint>& out);

// The band of a dense trace in pixel columns: in each column either edge
// reaches, one run from the top of the two edges' lines there to the bottom.
// Between two edges that never cross, every row a point's interval covers lies
// inside its column's run, so a column filled once shows all the outline's fill
// does, in a fraction of the time (at most one run per column). The runs rise in
// x; `scratch` as for traceColumnRuns.
void bandColumns(const TraceSamples& low, const TraceSamples& high, const PixelMap& map,
                 std::vector<ColumnRun>& out, ColumnScratch& scratch);

// The band's edges at a trace's points `x` (rising), from a band worked out
// only at `sampleX` (rising, at least one): a point between two samples takes
// the lower low and the higher high of the two (beyond the ends, the nearest
// sample's), and the band always holds the trace's own value `y` there. A
// band that is costly to compute is thus shown at every point of a dense
// trace, never narrower than its samples say.
struct BandEdges {
  std::vector<float> low, high;
};
BandEdges bandAtPoints(std::span<const double> sampleX, std::span<const double> sampleLow,
                       std::span<const double> sampleHigh, std::span<const double> x,
                       std::span<const float> y);

}  // namespace kolm::chart
