// Edges either side of an extreme of a swept trace, found by walking out from
// it to where the trace crosses a threshold, and how reports write a value that
// may not have been found. Shared by the analyses of both swept instruments.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kolm::chart {

// Two frequencies either side of a maximum (or minimum), MHz, and the sweep
// steps each was interpolated across.
struct Edges {
  std::optional<double> low;
  std::optional<double> high;
  double origin = 0;  // the extreme the walks started from
  double lowStep = 0, highStep = 0;
  // Where each edge may lie, from the intervals of the trace's values
  // (edgeSpans): [from, to] MHz; empty where no interval bounds it, and when
  // the trace has no intervals (`withIntervals` false).
  std::optional<std::pair<double, double>> lowSpan, highSpan;
  bool withIntervals = false;
  // Where an edge is none because its walk reached the trace's end (the trace
  // stays short of the threshold out to there), not an unusable point.
  bool lowPastEnd = false, highPastEnd = false;
  std::optional<double> width() const {
    if (!low || !high) return std::nullopt;
    return *high - *low;
  }
  // The half-widths of the edges and the width: the farthest the span lets
  // the truth lie from the value (the width's, the sum of its edges').
  std::optional<double> lowPm() const { return spanPm(low, lowSpan); }
  std::optional<double> highPm() const { return spanPm(high, highSpan); }
  std::optional<double> widthPm() const {
    if (!lowPm() || !highPm()) return std::nullopt;
    return *lowPm() + *highPm();
  }
  static std::optional<double> spanPm(const std::optional<double>& edge,
                                      const std::optional<std::pair<double, double>>& span) {
    if (!edge || !span) return std::nullopt;
    return std::max(std::fabs(*edge - span->first), std::fabs(span->second - *edge));
  }
  // Whether an edge was interpolated across a step wider than a tenth of the
  // width it bounds (with one edge found, its distance from the extreme): the
  // trace's shape between two points is a guess there.
  // An edge found where its intervals leave it unbounded (the sweep ends
  // before the trace is surely beyond the threshold) is approximate too.
  bool approximate() const {
    if (withIntervals && ((low && !lowSpan) || (high && !highSpan))) return true;
    if (auto w = width()) return std::max(lowStep, highStep) > *w / 10;
    if (low) return lowStep > (origin - *low) / 10;
    if (high) return highStep > (*high - origin) / 10;
    return false;
  }
};

// The walk out from `from` to the first value at or beyond `threshold`
// (below it when `falling`, above it otherwise), interpolated linearly between
// that point and the one before. `usable(i)` says whether point i is a measured
// value; a walk meeting an unusable point or an end of the trace finds nothing.
// `inside(i)` says whether an unusable point is known to lie inside
// the threshold, so the walk goes on over it (but never interpolates from it).
template <class Value, class Usable, class Inside>
Edges walkEdges(std::span<const double> frequencies, Value value, Usable usable, Inside inside,
                size_t from, double threshold, bool falling) {
  Edges edges;
  const size_t n = frequencies.size();
  auto beyond = [&](double v) { return falling ? v <= threshold : v >= threshold; };
  auto find = [&](int step) -> std::optional<double> {
    for (size_t i = from;;) {
      if ((step < 0 && i == 0) || (step > 0 && i + 1 >= n)) {
        (step < 0 ? edges.lowPastEnd : edges.highPastEnd) = true;
        return std::nullopt;
      }
      const size_t next = step < 0 ? i - 1 : i + 1;
      if (!usable(next)) {
        if (!inside(next)) return std::nullopt;
      } else if (beyond(value(next))) {
        if (!usable(i)) return std::nullopt;
        const double a = value(i), b = value(next);
        const double t = a == b ? 0 : (threshold - a) / (b - a);
        (step < 0 ? edges.lowStep : edges.highStep) = std::abs(frequencies[next] - frequencies[i]);
        return frequencies[i] + t * (frequencies[next] - frequencies[i]);
      }
      i = next;
    }
  };
  if (from < n) edges.origin = frequencies[from];
  edges.low = find(-1);
  edges.high = find(+1);
  return edges;
}

// Fills `edges`' spans: where the truth crosses the threshold on each side of
// `from`, given that point i's true value lies in [lowOf(i), highOf(i)] (NaN
// ends for a point whose truth nothing bounds) and crosses the threshold once
// on each side. Walking out from `from`, the crossing lies between the last
// point whose interval lies wholly on the extreme's side and the first whose
// interval lies wholly beyond (at or past the threshold); a side that meets no
// such point before the end of the trace gets no span, and neither side does
// when the extreme's own interval reaches the threshold.
template <class Low, class High>
void edgeSpans(Edges& edges, std::span<const double> frequencies, Low lowOf, High highOf,
               size_t from, double threshold, bool falling) {
  edges.withIntervals = true;
  const size_t n = frequencies.size();
  // An extreme that may lie beyond the threshold may have no edges at all.
  if (from >= n || !(falling ? lowOf(from) > threshold : highOf(from) < threshold)) return;
  auto span = [&](int step) -> std::optional<std::pair<double, double>> {
    double inner = frequencies[from];
    for (size_t i = from; !((step < 0 && i == 0) || (step > 0 && i + 1 >= n));) {
      i = step < 0 ? i - 1 : i + 1;
      const double low = lowOf(i), high = highOf(i);
      const bool beyond = falling ? high <= threshold : low >= threshold;
      const bool inside = falling ? low > threshold : high < threshold;
      if (beyond)
        return std::pair{std::min(inner, frequencies[i]), std::max(inner, frequencies[i])};
      if (inside) inner = frequencies[i];
    }
    return std::nullopt;
  };
  if (edges.low) edges.lowSpan = span(-1);
  if (edges.high) edges.highSpan = span(+1);
}

// The run of equal extreme values of a trace: the longest run of consecutive
// candidate points that all hold the lowest (or highest) value, the first one
// when several are as long. A flat bottom is one reading repeated, so its
// centre, not its first point, is where the extreme lies.
struct ExtremeRun {
  size_t first = 0;
  size_t last = 0;
  // The middle point (the lower of the two middle ones of an even run).
  size_t centre() const { return first + (last - first) / 2; }
  bool even() const { return (last - first) % 2 == 1; }
};

// `candidate(i)` says whether point i may be the extreme, `value(i)` its value.
template <class Value, class Candidate>
std::optional<ExtremeRun> extremeRun(size_t count, Value value, Candidate candidate, bool maximum) {
  std::optional<double> best;
  for (size_t i = 0; i < count; ++i) {
    if (!candidate(i)) continue;
    const double v = value(i);
    if (!best || (maximum ? v > *best : v < *best)) best = v;
  }
  if (!best) return std::nullopt;
  std::optional<ExtremeRun> run;
  for (size_t i = 0; i < count; ++i) {
    if (!candidate(i) || value(i) != *best) continue;
    size_t j = i;
    while (j + 1 < count && candidate(j + 1) && value(j + 1) == *best) ++j;
    if (!run || j - i > run->last - run->first) run = ExtremeRun{i, j};
    i = j;
  }
  return run;
}

// A value as a report writes it: fixed `decimals`, or "none".
std::string reportNumber(const std::optional<double>& value, int decimals);
// A half-width `pm` as written with `decimals` beside `value` written with as
// many: rounded up, and widened by what rounding the value moves it, so the
// interval written holds the one computed.
std::optional<double> outwardPm(const std::optional<double>& value, const std::optional<double>& pm,
                                int decimals);
// One report line: "key=value\n" with the value as reportNumber writes it.
std::string reportLine(std::string_view key, const std::optional<double>& value, int decimals);
// A value as an analysis panel shows it: the number in `pattern` (see
// common::formatPattern) followed by `unit`, or "none" in the user's language.
std::string panelText(const std::optional<double>& value, std::string_view pattern,
                      std::string_view unit);
// "key=yes" or "key=no": whether `edges` are approximate (see Edges).
std::string reportApproximate(std::string_view key, const Edges& edges);
// A panel text marked "≈ " when `approximate` and there is a value.
std::string markApproximate(const std::optional<double>& value, std::string text, bool approximate);
// A frequency in MHz as a panel shows it, to the hertz.
std::string panelMHz(const std::optional<double>& mhz);
// A width in MHz as a panel shows it in kHz, in `pattern`.
std::string panelKHz(const std::optional<double>& mhz, std::string_view pattern);
// An edge or a width as a panel shows it: `found` (the value's own text), or,
// where the walk reached the sweep's end, that the edge lies beyond it, so
// that "none" is left to a band that is not there at all.
std::string panelLowEdge(const Edges& edges, std::string found);
std::string panelHighEdge(const Edges& edges, std::string found);
std::string panelWidth(const Edges& edges, std::string found);

}  // namespace kolm::chart
