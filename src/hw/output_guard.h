// The generator switched off on the ways out that pass a front end's own close
// sequence by: std::terminate (an exception nobody catches, a noexcept broken),
// exit() called from inside a library (the windowing library calls exit(1)
// when its connection to the display breaks) and a fault (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS, raised or sent).
#pragma once

#include <functional>
#include <vector>

#include "hw/instrument.h"

namespace kolm::hw {

// While a guard lives, such an end sends the word 0 to its instrument and then
// runs `flush` (a trace written whole), as far as the process still runs code;
// a fault's handler only sends the word 0 (Instrument::switchOffFromSignal) and
// then lets the signal take its earlier course (the default: the program ends).
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

// The signals a front end turns into its orderly stop (the output off, the
// files kept): every signal whose default action ends the program, real-time
// signals included, but SIGKILL, the faults above, and SIGPIPE and SIGXFSZ
// (ignored: the write fails and says so). Empty where there are no such signals.
std::vector<int> stopSignals();
// The faults a guard's handler answers.
std::vector<int> faultSignals();

}  // namespace kolm::hw
