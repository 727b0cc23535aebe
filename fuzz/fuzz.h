// What every fuzz target shares: the input as text, a check that stops the run
// (libFuzzer keeps the input that broke it), and "equal to the digits the
// writer keeps" for numbers that went through a file.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace kolm::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Single-precision values are written with 7 significant digits, doubles with 15.
inline bool sameSingle(double a, double b) {
  return a == b || std::fabs(a - b) <= 1e-6 * std::fabs(a) + 1e-44;
}
inline bool sameDouble(double a, double b) {
  return a == b || std::fabs(a - b) <= 1e-14 * std::fabs(a) + 1e-320;
}

// What a quoted record keeps of a text: no double quotes (nor line breaks).
inline std::string recordKeeps(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '"' && c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace kolm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
