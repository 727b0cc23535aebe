#include "app/stop_signals.h"

#include <QSocketNotifier>

#include "hw/output_guard.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace kolm::app {

#ifndef _WIN32

namespace {

int pipeEnds[2] = {-1, -1};
// Every signal whose default would end the program with the generator running
// (the faults are the output guard's); SIGPIPE and SIGXFSZ are ignored.
constexpr int kIgnored[] = {SIGPIPE, SIGXFSZ};
struct sigaction previous[NSIG];

extern "C" void onStopSignal(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
  errno = saved;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::readPipe);
  struct sigaction stop {};
  stop.sa_handler = onStopSignal;
  sigemptyset(&stop.sa_mask);
  stop.sa_flags = SA_RESTART;
  for (int s : hw::stopSignals()) {
    sigaction(s, nullptr, &previous[s]);
    // A signal ignored on entry (nohup) stays ignored.
    if (previous[s].sa_handler != SIG_IGN) sigaction(s, &stop, nullptr);
  }
  // A closed pipe and a file past its size limit show as a write error, never
  // as the end of the program.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  for (int s : kIgnored) sigaction(s, &ignore, &previous[s]);
}

StopSignals::~StopSignals() {
  if (!notifier_) return;
  for (int s : hw::stopSignals()) sigaction(s, &previous[s], nullptr);
  for (int s : kIgnored) sigaction(s, &previous[s], nullptr);
  delete notifier_;
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void StopSignals::readPipe() {
  unsigned char number = 0;
  while (::read(pipeEnds[0], &number, 1) == 1) emit stopRequested(number);
}

#else  // no such signals to turn into an exit

StopSignals::StopSignals(QObject* parent) : QObject(parent) {}
StopSignals::~StopSignals() = default;
void StopSignals::readPipe() {}

#endif

}  // namespace kolm::app
