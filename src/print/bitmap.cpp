#include "print/bitmap.h"

#include <algorithm>
#include <iterator>

namespace kolm::print {

Bitmap24 Bitmap24::blank(int32_t width, int32_t height) {
  Bitmap24 b;
  int64_t size = bitmapBytes(24, width, height, &b.stride);
  if (size <= 0) return {};
  b.width = width;
  b.height = height;
  b.bits.assign(static_cast<size_t>(size), 0);
  return b;
}

int64_t bitmapBytes(int bitCount, int32_t width, int32_t height, int32_t* stride) {
  int64_t w = width < 0 ? 0 : width;
  static constexpr int kBitCounts[] = {1, 4, 8, 16, 24, 32};
  const bool known =
      std::find(std::begin(kBitCounts), std::end(kBitCounts), bitCount) != std::end(kBitCounts);
  int64_t line = known ? (w * bitCount + 7) / 8 : 0;  // whole bytes
  line = (line + 3) / 4 * 4;
  if (stride) *stride = static_cast<int32_t>(line);
  int64_t h = height < 0 ? 0 : height;
  return line * h;
}

void makeGrey(Bitmap24& bitmap) {
  for (int32_t y = 0; y < bitmap.height; ++y) {
    uint8_t* p = bitmap.row(y);
    for (int32_t x = 0; x < bitmap.width; ++x, p += 3) {
      int sum = p[0] + p[1] + p[2];
      int grey = sum / 3;
      int rest = sum % 3;  // thirds never tie, so rounding to nearest is enough
      if (rest == 2) ++grey;
      p[0] = p[1] = p[2] = static_cast<uint8_t>(grey);
    }
  }
}

}  // namespace kolm::print
