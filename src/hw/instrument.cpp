#include "hw/instrument.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "common/text.h"

namespace kolm::hw {

namespace {

// The counted loop the delay unit is defined by: `steps` empty steps.
void countLoop(double steps) {
  volatile double i = 1;
  while (i <= steps) i = i + 1.0;
}

int16_t loopFactorFor(double seconds) {
  double f = common::roundHalfEven(0.1 / seconds);
  if (!(f >= 1)) return 1;
  if (f > 32767) return 32767;
  return static_cast<int16_t>(f);
}

}  // namespace

void BusyWaitDelayer::wait(double units, int loopFactor) {
  if (!(units * loopFactor >= 1)) return;
  using clock = std::chrono::steady_clock;
  auto deadline =
      clock::now() + std::chrono::nanoseconds(static_cast<int64_t>(std::ceil(units * 100.0)));
  while (clock::now() < deadline) {
  }
}

Instrument::Instrument(std::unique_ptr<PortIo> port)
    : port_(port ? std::move(port) : std::make_unique<NullPort>()),
      delayer_(std::make_unique<BusyWaitDelayer>()) {
  port_->attach(&params);
  refreshReachable();
}

void Instrument::setPort(std::unique_ptr<PortIo> port) {
  port_ = port ? std::move(port) : std::make_unique<NullPort>();
  port_->attach(&params);
  refreshReachable();
}

void Instrument::setDelayer(std::unique_ptr<Delayer> delayer) {
  delayer_ = delayer ? std::move(delayer) : std::make_unique<BusyWaitDelayer>();
}

void Instrument::refreshReachable() {
  reachable_ =
      port_ && !port_->failed() && (!port_->addressed() || isParallelPortAddress(params.LptBase));
}

std::string Instrument::portFailure() const {
  if (!port_->failed()) return {};
  return "The port " + port_->name() + " stopped working: " + port_->failure() +
         ". Nothing more is sent to it; check the port card or USB adapter and the cable, "
         "then choose the port again in Parameters (OK).";
}

void Instrument::notePortFailure() {
  reachable_ = false;
  if (onPortFailure) onPortFailure(portFailure());
}

float secondsSinceMidnight() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  auto sub = std::chrono::duration<double>(now.time_since_epoch()).count();
  double frac = sub - std::floor(sub);
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + frac);
}

void Orologio(Instrument& instrument, const SecondsTimer& timer) {
  instrument.LoopFactor = 1;
  constexpr double kSteps = 1'000'000;
  float t0 = timer();
  countLoop(kSteps * instrument.LoopFactor);
  float t1 = timer();
  float dt = t1 - t0;
  if (!(dt > 0)) {
    // The timer did not move (or wrapped at midnight): measure on the monotonic clock.
    auto a = std::chrono::steady_clock::now();
    countLoop(kSteps);
    auto b = std::chrono::steady_clock::now();
    dt = static_cast<float>(std::chrono::duration<double>(b - a).count());
    if (!(dt > 0)) dt = 1;  // no usable clock at all: one step per unit
  }
  instrument.LoopFactor = loopFactorFor(dt);
}

}  // namespace kolm::hw
