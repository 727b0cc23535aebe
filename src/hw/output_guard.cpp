#include "hw/output_guard.h"

#include <atomic>
#include <cerrno>
#include <csignal>
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

// The guarded instrument as a fault's handler reaches it.
std::atomic<Instrument*> faultTarget{nullptr};

#ifndef _WIN32
struct sigaction beforeFault[NSIG];

extern "C" void onFault(int signal) {
  const int saved = errno;
  if (Instrument* instrument = faultTarget.exchange(nullptr)) instrument->switchOffFromSignal();
  // The earlier course: raised again, it comes when this handler returns (a
  // fault in the code comes again at once).
  sigaction(signal, &beforeFault[signal], nullptr);
  raise(signal);
  errno = saved;
}

void catchFaults() {
  struct sigaction fault {};
  fault.sa_handler = onFault;
  sigemptyset(&fault.sa_mask);
  for (int s : faultSignals()) {
    sigaction(s, nullptr, &beforeFault[s]);
    if (beforeFault[s].sa_handler != SIG_IGN) sigaction(s, &fault, nullptr);
  }
}
#else
void catchFaults() {}
#endif

}  // namespace

std::vector<int> stopSignals() {
#ifdef _WIN32
  return {};
#else
  std::vector<int> out = {SIGHUP,  SIGINT,  SIGQUIT, SIGUSR1,   SIGUSR2,
                          SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF};
#ifdef SIGIO
  out.push_back(SIGIO);
#endif
#ifdef SIGSTKFLT
  out.push_back(SIGSTKFLT);
#endif
#ifdef SIGPWR
  out.push_back(SIGPWR);
#endif
#ifdef SIGRTMIN
  for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) out.push_back(s);
#endif
  return out;
#endif
}

std::vector<int> faultSignals() {
#ifdef _WIN32
  return {};
#else
  return {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};
#endif
}

OutputGuard::OutputGuard(Instrument& instrument, std::function<void()> flush) {
  std::call_once(installed, [] {
    previousTerminate = std::set_terminate(onTerminate);
    std::atexit(onExit);
    catchFaults();
  });
  guarded = {&instrument, std::move(flush)};
  faultTarget = &instrument;
}

OutputGuard::~OutputGuard() {
  faultTarget = nullptr;
  guarded = {};
}

void OutputGuard::lastWord() {
  Guarded g = std::move(guarded);
  guarded = {};
  faultTarget = nullptr;
  if (g.instrument && g.instrument->reachable()) {
    g.instrument->dropAnyHeldPoint();
    g.instrument->switchOff();
  }
  if (g.flush) g.flush();
}

}  // namespace kolm::hw
