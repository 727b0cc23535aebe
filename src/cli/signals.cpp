// Stop requests from the system: a flag the passes look at between points.
#include <csignal>

#include "cli/cli.h"
#include "hw/output_guard.h"

namespace kolm::cli {

namespace {
volatile std::sig_atomic_t received = 0;
extern "C" void onStopSignal(int signal) {
  if (received == 0) received = signal;
}
}  // namespace

int stopSignal() { return received; }

#ifdef _WIN32

void catchStopSignals() {
  for (int s : {SIGINT, SIGTERM, SIGBREAK})
    if (std::signal(s, onStopSignal) == SIG_IGN) std::signal(s, SIG_IGN);
}

#else

void catchStopSignals() {
  struct sigaction stop {};
  stop.sa_handler = onStopSignal;
  sigemptyset(&stop.sa_mask);
  stop.sa_flags = SA_RESTART;  // file and port writes carry on; the pass stops between points
  // Every signal whose default would end the program with the generator
  // running: Ctrl-C, SIGTERM, a closed terminal, Ctrl-\ (quit), the user signals,
  // the timers, a CPU-time limit (ulimit -t; its hard limit still kills), a power
  // failure, the real-time signals. The faults are the output guard's.
  for (int s : hw::stopSignals()) {
    // A signal ignored on entry (nohup, a background job) stays ignored.
    struct sigaction before {};
    if (sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(s, &stop, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  for (int s : {SIGPIPE, SIGXFSZ}) sigaction(s, &ignore, nullptr);
}

#endif

}  // namespace kolm::cli
