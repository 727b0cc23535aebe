// Colours a chart can be read in: every trace stands out from the background by
// a contrast ratio of at least 3:1 (the ratio of the relative luminances, as for
// graphical objects on screens).
#pragma once

#include "chart/scale.h"

namespace kolm::chart {

inline constexpr double kMinTraceContrast = 3.0;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double relativeLuminance(const Rgb& c);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double contrastRatio(const Rgb& a, const Rgb& b);

// `colour` itself when it meets `minRatio` against `background`; otherwise the
// colour mixed towards white (on a dark background) or black (on a light one)
// just far enough to meet it, so its hue stays recognisable.
Rgb legibleColour(const Rgb& colour, const Rgb& background, double minRatio = kMinTraceContrast);

// How far apart two colours look (the weighted "redmean" distance, 0 to about
// 765): a trace drawn over a grid line of a colour closer than kMinLineDistance
// would be taken for the line.
double colourDistance(const Rgb& a, const Rgb& b);
inline constexpr double kMinLineDistance = 150;

// A trace colour that is legible on `background` (legibleColour) and stands apart
// from the grid lines of `line` it may lie on: mixed towards white or black,
// whichever takes it further from the line, until it does.
Rgb traceColour(const Rgb& colour, const Rgb& line, const Rgb& background);

}  // namespace kolm::chart
