#include "chart/scale.h"

#include <cmath>

namespace kolm::chart {

bool ChartScale::valid() const {
  return std::isfinite(left) && std::isfinite(top) && std::isfinite(width) &&
         std::isfinite(height) && width != 0 && height != 0 && std::isfinite(left + width) &&
         std::isfinite(top + height);
}

ChartScale powerMeterScale(float viewStart, float viewStop, float levelTop, float levelBottom) {
  ChartScale s;
  s.left = viewStart;
  s.top = levelTop;
  s.width = static_cast<float>(viewStop - viewStart);
  s.height = static_cast<float>(levelBottom - levelTop);
  return s;
}

std::optional<QuantityScale> analyzerQuantityScale(int quantity) {
  switch (quantity) {
    case 0:
      return QuantityScale{-5.0f, 45.05f, -5.0f, "dB"};
    case 1:
      return QuantityScale{180.0f, -0.2f, 18.0f, "\u00b0"};
    case 2:
    case 3:
    case 4:
      return QuantityScale{500.0f, -1.0f, 50.0f, "\u03a9"};
    case 5:
      return QuantityScale{11.0f, 0.99f, 1.0f, "SWR"};
    default:
      return std::nullopt;
  }
}

ChartScale analyzerScale(const QuantityScale& quantity, double viewStart, double viewStop) {
  ChartScale s;
  s.left = static_cast<float>(viewStart);
  s.width = static_cast<float>(viewStop - viewStart);
  s.top = quantity.top;
  s.height = static_cast<float>(quantity.bottom - quantity.top);
  return s;
}

void guardSpan(float& start, float& stop) {
  if (start == stop) stop = start + 0.1f;
  // Far from 0 a tenth of a MHz may vanish in single precision: widen further.
  if (start == stop) stop = std::nextafter(start, INFINITY);
}

void guardLevels(float& top, float& bottom) {
  if (top == bottom) bottom = bottom - 1.0f;
  if (top == bottom) bottom = std::nextafter(top, -INFINITY);
}

Rgb paletteColour(int index) {
  static constexpr Rgb kPalette[16] = {
      {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
      {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
      {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
  };
  if (index < 0 || index > 15) return {};
  return kPalette[index];
}

}  // namespace kolm::chart
