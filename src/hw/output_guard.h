// The generator switched off on the ways out that pass a front end's own close
// sequence by: std::terminate (an exception nobody catches, a noexcept broken)
// and exit() called from inside a library (the windowing library calls exit(1)
// when its connection to the display breaks).
#pragma once

#include <functional>

#include "hw/instrument.h"

namespace kolm::hw {

// While a guard lives, such an end sends the word 0 to its instrument and then
// runs `flush` (a trace written whole), as far as the process still runs code.
// SIGKILL and a power loss end the process with no code run at all. One guard
// at a time; the newest one counts.
class OutputGuard {
 public:
  explicit OutputGuard(Instrument& instrument, std::function<void()> flush = {});
  ~OutputGuard();
  OutputGuard(const OutputGuard&) = delete;
  OutputGuard& operator=(const OutputGuard&) = delete;

  // What the handlers do, once: the word 0 and the flush. For tests and for the
  // front ends' own last resort.
  static void lastWord();
};

}  // namespace kolm::hw
