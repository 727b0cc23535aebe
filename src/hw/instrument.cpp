#include "hw/instrument.h"

#include "hw/wire.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

#if defined(__x86_64__) || defined(_M_X64)
#include <cpuid.h>
#include <x86intrin.h>
#endif

#include "common/text.h"
#include "hw/dds.h"
#include "hw/readout.h"

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

namespace {

using Monotonic = std::chrono::steady_clock;

// Waits from this length on are anchored on the monotonic clock: over
// a millisecond the counter and the clock can drift apart by a few hundred
// nanoseconds (a virtual machine's clock is steered against its host's).
constexpr double kAnchoredUnits = delayUnitsFromMs(0.2);

#if defined(__x86_64__) || defined(_M_X64)
inline uint64_t ticksNow() { return __rdtsc(); }

bool constantRateCounter() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(0x80000000u, &a, &b, &c, &d) || a < 0x80000007u) return false;
  __get_cpuid(0x80000007u, &a, &b, &c, &d);
  return (d & (1u << 8)) != 0;  // invariant time-stamp counter
}
#else
inline uint64_t ticksNow() { return 0; }
bool constantRateCounter() { return false; }
#endif

// A reading of the monotonic clock between two counter readings as close
// together as a few tries give.
struct Bracket {
  uint64_t before = 0, after = ~uint64_t{0};
  Monotonic::time_point at;
};

Bracket bracket(int tries = 32) {
  Bracket best;
  for (int k = 0; k < tries; ++k) {
    const uint64_t before = ticksNow();
    const auto at = Monotonic::now();
    const uint64_t after = ticksNow();
    if (after - before < best.after - best.before) best = {before, after, at};
  }
  return best;
}

// Counter ticks per nanosecond, an upper bound (0 when the counter is not to
// be used). Measured over 5 ms or more: the ticks from the first bracket's
// start to the second's end, over the clock's interval between them, can only
// exceed the true rate; a margin of 10 ppm covers later drift between the two.
double measureTickRate() {
  if (!constantRateCounter()) return 0;
  const Bracket a = bracket();
  while (Monotonic::now() - a.at < std::chrono::milliseconds(5)) {
  }
  const Bracket b = bracket();
  const double ns = std::chrono::duration<double, std::nano>(b.at - a.at).count();
  if (!(ns > 0) || b.after <= a.before) return 0;
  const double rate = static_cast<double>(b.after - a.before) / ns * (1 + 1e-5);
  // A counter far outside any processor's clock is not what it claims to be.
  return rate > 0.05 && rate < 20 ? rate : 0;
}

double tickRate() {
  static const double rate = measureTickRate();
  return rate;
}

void spinTo(uint64_t end) {
  while (ticksNow() < end) {
  }
}

// Waits `ns` from the counter reading `start` by the monotonic clock, with the
// last stretch timed on the counter. Every step errs late: the clock's time of
// `start` is bounded from above by a bracket's reading less the ticks before
// it (at the rate's upper bound), and the end is counted from the tick after
// the last bracket's reading.
void waitAnchored(uint64_t start, double ns, double rate) {
  const Bracket first = bracket(8);
  const double before = static_cast<double>(first.before - start) / rate;
  const auto deadline =
      first.at + std::chrono::nanoseconds(static_cast<int64_t>(std::ceil(ns - std::floor(before))));
  uint64_t from = first.after;
  double left = std::chrono::duration<double, std::nano>(deadline - first.at).count();
  // Stretches on the counter, each stopping short of the deadline by a margin
  // wider than the drift over it, then a fresh bracket.
  while (left > 20000) {
    spinTo(from + static_cast<uint64_t>((left - 10000 - left / 1000) * rate));
    const Bracket b = bracket(8);
    left = std::chrono::duration<double, std::nano>(deadline - b.at).count();
    from = b.after;
  }
  if (left > 0) spinTo(from + static_cast<uint64_t>(std::ceil(left * rate)));
}

}  // namespace

BusyWaitDelayer::BusyWaitDelayer(Clock clock) : ticks_(clock == Clock::Best) {}

bool BusyWaitDelayer::calibrate() { return tickRate() > 0; }

void BusyWaitDelayer::wait(double units, int loopFactor) {
  // The wait counts from here: the counter is read before anything else.
  const uint64_t start = ticksNow();
  if (!(units * loopFactor >= 1)) return;
  const double ns = std::ceil(units * 100.0);
  if (ticks_ && ns < 1e15 && tickRate() > 0) {
    if (units >= kAnchoredUnits) return waitAnchored(start, ns, tickRate());
    spinTo(start + static_cast<uint64_t>(std::ceil(ns * tickRate())));
    return;
  }
  const auto deadline =
      Monotonic::now() + std::chrono::nanoseconds(static_cast<int64_t>(std::min(ns, 1e18)));
  while (Monotonic::now() < deadline) {
  }
}

Instrument::Instrument(std::unique_ptr<PortIo> port)
    : port_(port ? std::move(port) : std::make_unique<NullPort>()),
      delayer_(std::make_unique<BusyWaitDelayer>()) {
  port_->attach(&params);
  refreshReachable();
}

void Instrument::setPort(std::unique_ptr<PortIo> port) {
  hold_ = {};  // a point held on the old port is not finished on the new one
  port_ = port ? std::move(port) : std::make_unique<NullPort>();
  port_->attach(&params);
  refreshReachable();
}

void Instrument::resetGenerator() {
  ddsReset(*this);
  ddsSetMultiplier(*this);
}

void Instrument::startGenerator(uint32_t word) {
  resetGenerator();
  tune(word);
}

void Instrument::tune(uint32_t word) {
  tunedWord_ = word;
  ddsSendWord(*this, word);
}

void Instrument::settle(double units) {
  if (!stopRequested_ || !(units > kStopSliceUnits)) return delayer_->wait(units, loopFactor_);
  for (double left = units; left > 0 && !stopRequested_(); left -= kStopSliceUnits)
    delayer_->wait(std::min(left, kStopSliceUnits), loopFactor_);
}

void Instrument::switchOff(double settleUnits) {
  tune(0);
  settle(settleUnits);
}

void Instrument::switchOffFromSignal() noexcept {
  PortIo* port = port_.get();
  if (!reachable_ || !port) return;
  for (uint8_t value : kDdsWordZeroFrame) {
    if (!port->writeDataFromSignal(value)) return;
#ifndef _WIN32
    // clock_gettime is safe in a handler; the link needs 0.1 us per write.
    timespec start{}, now{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    do clock_gettime(CLOCK_MONOTONIC, &now);
    while ((now.tv_sec - start.tv_sec) * 1000000000L + (now.tv_nsec - start.tv_nsec) < 1000);
#endif
  }
  tunedWord_ = 0;
}

void Instrument::switchOffAndIdle(double settleUnits) {
  switchOff(settleUnits);
  out(wire::kLinesLow);
}

int16_t Instrument::readDetector() { return hw::readDetector(*this); }

BridgeReading Instrument::readBridge() { return hw::readBridge(*this); }

void Instrument::setDelayer(std::unique_ptr<Delayer> delayer) {
  delayer_ = delayer ? std::move(delayer) : std::make_unique<BusyWaitDelayer>();
}

bool Instrument::waitInPoint(double units, const void* owner, std::function<void()> rest) {
  if (!owner || !(units >= kHeldWaitUnits) || !delayer_->waitsRealTime() ||
      !(units * loopFactor_ >= 1) || !(units < 1e15)) {
    settle(units);
    rest();
    return false;
  }
  hold_ = {owner, Clock::now() + std::chrono::nanoseconds(static_cast<int64_t>(units * 100)),
           std::move(rest)};
  return true;
}

std::optional<Instrument::Clock::time_point> Instrument::heldUntil() const {
  if (!hold_.owner) return std::nullopt;
  return hold_.until;
}

void Instrument::finishHeldPoint() {
  if (!hold_.owner) return;
  Hold held = std::move(hold_);
  hold_ = {};
  const double left = std::chrono::duration<double, std::nano>(held.until - Clock::now()).count();
  if (left > 0) settle(std::ceil(left / 100));
  held.rest();
}

void Instrument::dropHeldPoint(const void* owner) {
  if (holds(owner)) hold_ = {};
}

void Instrument::refreshReachable() {
  reachable_ = port_ && !port_->failed() &&
               (!port_->addressed() || isParallelPortAddress(params.portAddress));
}

std::string Instrument::portFailure() const {
  if (!port_->failed()) return {};
  return "The port " + port_->name() + " stopped working: " + port_->failure() +
         ". Nothing more is sent to it; check the port card or USB adapter and the cable, "
         "then choose the port again in Parameters (OK).";
}

void Instrument::notePortFailure() { reachable_ = false; }

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

void calibrateDelayLoop(Instrument& instrument, const SecondsTimer& timer) {
  BusyWaitDelayer::calibrate();
  constexpr double kSteps = 1'000'000;
  float t0 = timer();
  countLoop(kSteps);
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
  instrument.setLoopFactor(loopFactorFor(dt));
}

}  // namespace kolm::hw
