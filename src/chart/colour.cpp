#include "chart/colour.h"

#include <cmath>

namespace kolm::chart {

namespace {
double linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb mix(const Rgb& from, const Rgb& to, double t) {
  auto channel = [t](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}
}  // namespace

double relativeLuminance(const Rgb& c) {
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrastRatio(const Rgb& a, const Rgb& b) {
  const double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb legibleColour(const Rgb& colour, const Rgb& background, double minRatio) {
  if (contrastRatio(colour, background) >= minRatio) return colour;
  // Towards the end (white or black) that stands furthest from the background.
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  const Rgb end =
      contrastRatio(white, background) >= contrastRatio(black, background) ? white : black;
  // The smallest mix, in steps of 1/64, that meets the ratio.
  for (int step = 1; step <= 64; ++step) {
    Rgb c = mix(colour, end, step / 64.0);
    if (contrastRatio(c, background) >= minRatio) return c;
  }
  return end;
}

double colourDistance(const Rgb& a, const Rgb& b) {
  const double mean = (a.r + b.r) / 2.0;
  const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return std::sqrt((2 + mean / 256) * dr * dr + 4 * dg * dg + (2 + (255 - mean) / 256) * db * db);
}

Rgb traceColour(const Rgb& colour, const Rgb& line, const Rgb& background) {
  const Rgb legible = legibleColour(colour, background);
  if (colourDistance(legible, line) >= kMinLineDistance) return legible;
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  for (int step = 1; step <= 64; ++step)
    for (const Rgb& end : {white, black}) {
      const Rgb c = mix(legible, end, step / 64.0);
      if (colourDistance(c, line) >= kMinLineDistance &&
          contrastRatio(c, background) >= kMinTraceContrast)
        return c;
    }
  return legible;
}

}  // namespace kolm::chart
