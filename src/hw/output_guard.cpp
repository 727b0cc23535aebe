#include "hw/output_guard.h"

#include <cstdlib>
#include <exception>
#include <mutex>

namespace kolm::hw {

namespace {

struct Guarded {
  Instrument* instrument = nullptr;
  std::function<void()> flush;
};
Guarded guarded;
std::once_flag installed;
std::terminate_handler previousTerminate = nullptr;

[[noreturn]] void onTerminate() {
  OutputGuard::lastWord();
  if (previousTerminate) previousTerminate();
  std::abort();
}

extern "C" void onExit() { OutputGuard::lastWord(); }

}  // namespace

OutputGuard::OutputGuard(Instrument& instrument, std::function<void()> flush) {
  std::call_once(installed, [] {
    previousTerminate = std::set_terminate(onTerminate);
    std::atexit(onExit);
  });
  guarded = {&instrument, std::move(flush)};
}

OutputGuard::~OutputGuard() { guarded = {}; }

void OutputGuard::lastWord() {
  Guarded g = std::move(guarded);
  guarded = {};
  if (g.instrument && g.instrument->reachable()) {
    g.instrument->dropAnyHeldPoint();
    g.instrument->switchOff();
  }
  if (g.flush) g.flush();
}

}  // namespace kolm::hw
