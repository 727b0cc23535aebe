// The preferred values of resistors and capacitors.
#pragma once

namespace kolm::circuit {

// E12 (12 values per decade) or E24.
enum class ESeries { E12 = 12, E24 = 24 };

// The value of `series` nearest to `value` (by ratio); a value that is not a
// finite number above 0 comes back as it is.
double preferredValue(double value, ESeries series);

}  // namespace kolm::circuit
