// Room for what is drawn over a chart: the axis labels and units stand where the
// grid puts them, and a marker's tag, its line, the readout box and the legend
// keep clear of them.
#pragma once

#include <utility>
#include <vector>

namespace kolm::chart {

// A rectangle in pixels, y growing downwards.
struct Box {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double right() const { return left + width; }
  double bottom() const { return top + height; }
  // Overlap of some area: boxes that only touch do not intersect.
  bool intersects(const Box& other) const;
  bool operator==(const Box&) const = default;
};

// `box` moved by (dx, dy) a step at a time until it meets none of `taken`; after
// `maxSteps` steps without finding room it stays where it was asked for.
Box clearOf(Box box, const std::vector<Box>& taken, double dx, double dy, int maxSteps);

// The stretches [from, to] of a vertical line at x, from `top` to `bottom`,
// that cross none of `taken`: the line leaves a gap across every label it meets.
std::vector<std::pair<double, double>> openStretches(double x, double top, double bottom,
                                                     const std::vector<Box>& taken);

}  // namespace kolm::chart
