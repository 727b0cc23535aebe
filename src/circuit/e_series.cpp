#include "circuit/e_series.h"

#include <array>
#include <cmath>

namespace kolm::circuit {

double preferredValue(double value, ESeries series) {
  static constexpr std::array<double, 12> kE12 = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7,
                                                  3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
  static constexpr std::array<double, 24> kE24 = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0,
                                                  2.2, 2.4, 2.7, 3.0, 3.3, 3.6, 3.9, 4.3,
                                                  4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};
  if (!(value > 0) || !std::isfinite(value)) return value;
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  const double mantissa = value / decade;
  double best = 10, bestDistance = HUGE_VAL;
  auto consider = [&](double v) {
    const double d = std::fabs(std::log(mantissa / v));
    if (d < bestDistance) {
      bestDistance = d;
      best = v;
    }
  };
  if (series == ESeries::E12)
    for (double v : kE12) consider(v);
  else
    for (double v : kE24) consider(v);
  consider(10);
  return best * decade;
}

}  // namespace kolm::circuit
