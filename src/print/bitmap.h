// The kept picture of a print: one 24-bit device-independent bitmap, rows padded
// to four bytes. Every copy of a print and every redraw of the preview stretches
// from it; the preview's grey version is made on a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kolm::print {

struct Bitmap24 {
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;         // bytes per row
  std::vector<uint8_t> bits;  // rows top to bottom, each pixel blue, green, red

  bool empty() const { return width <= 0 || height <= 0 || bits.empty(); }
  // A bitmap of the given size, every pixel black.
  static Bitmap24 blank(int32_t width, int32_t height);
  uint8_t* row(int32_t y) { return bits.data() + static_cast<size_t>(y) * stride; }
  const uint8_t* row(int32_t y) const { return bits.data() + static_cast<size_t>(y) * stride; }
};

// Bytes of a bitmap of `bitCount` bits per pixel: the row length rounded up to a
// multiple of 4, times the height. Bit counts other than 1, 4, 8, 16, 24 and 32
// give 0. `stride` (when given) receives the padded row length.
int64_t bitmapBytes(int bitCount, int32_t width, int32_t height, int32_t* stride = nullptr);

// Every pixel becomes grey: round((blue + green + red) / 3), halves to even.
void makeGrey(Bitmap24& bitmap);

}  // namespace kolm::print
