#pragma once
// Constants several parts of the program compute with, defined once.

#include <limits>
#include <numbers>

namespace kolm {

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2 * std::numbers::pi;
inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kDegreesPerRadian = 180 / kPi;

// The angular frequency of `mhz` megahertz, in rad/s.
inline constexpr double radiansPerSecond(double mhz) { return 2 * kPi * mhz * 1e6; }

}  // namespace kolm
