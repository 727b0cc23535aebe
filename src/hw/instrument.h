// The program-wide instrument context: hardware parameters, the calibrated delay,
// the last tuning word and the port. Engines take it by reference; there are no
// globals.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hw/params.h"
#include "hw/portio.h"

namespace kolm::hw {

// The delay unit: 0.1 microseconds. A time in milliseconds in delay units.
constexpr double delayUnitsFromMs(double ms) { return ms * 10000; }
// What the detector and the bridge are given to settle after the first word of
// a pass, before the read-out that is thrown away (10 ms).
inline constexpr double kSettleUnits = delayUnitsFromMs(10);
static_assert(delayUnitsFromMs(0.1) == 1000 && delayUnitsFromMs(0.2) == 2000);

// How Instrument::settle waits. One unit is 0.1 microseconds.
class Delayer {
 public:
  virtual ~Delayer() = default;
  virtual void wait(double units, int loopFactor) = 0;
  // True when wait() takes the time asked: only then may a long wait inside a
  // point be left to a timer (Instrument::waitInPoint).
  virtual bool waitsRealTime() const { return false; }
};

// Spins to a deadline of units x 100 ns: never shorter. Nothing is waited when
// units x loopFactor is below 1, as with the counted loop the delay unit was
// first defined by.
//
// Where the processor has a constant-rate time-stamp counter, the spin reads it
// (about 10 ns a read, where the monotonic clock takes about 30) against a count
// of ticks per nanosecond measured once on the monotonic clock and rounded up,
// so that the wait ends within a few nanoseconds of its deadline. Waits of 200 us
// and more keep to the monotonic clock, checked against it every few tens of
// microseconds and timed on the counter between. Elsewhere it spins on the
// monotonic clock.
class BusyWaitDelayer : public Delayer {
 public:
  enum class Clock { Best, Monotonic };
  explicit BusyWaitDelayer(Clock clock = Clock::Best);
  void wait(double units, int loopFactor) override;
  bool waitsRealTime() const override { return true; }

  // Measures the counter's rate (5 ms) now rather than at the first wait:
  // start-up does this, so that no port frame waits for it. True when the
  // counter can be used.
  static bool calibrate();

 private:
  bool ticks_;
};

// Waits nothing: for the simulator in tests and benchmarks.
class NoDelayer : public Delayer {
 public:
  void wait(double, int) override {}
};

// The bridge's two converters read at once.
struct BridgeReading {
  int16_t a = 0;  // return-loss channel
  int16_t b = 0;  // phase channel
};

// The instrument on its port: what every job and front end drives it through
// (the generator started, tuned and switched off, the detector and the bridge
// read, the analog parts given time to settle), its hardware parameters, the
// calibrated delay, and the port itself.
class Instrument {
 public:
  explicit Instrument(std::unique_ptr<PortIo> port = nullptr);
  // The port keeps the address of `params` (PortIo::attach): an instrument stays
  // where it was made.
  Instrument(const Instrument&) = delete;
  Instrument& operator=(const Instrument&) = delete;

  HardwareParams params;

  // ---- the instrument's operations ----
  // Resets the DDS and loads its multiplier (params.refClockMultiplier): the
  // generator runs at the configured clock whatever ran before.
  void resetGenerator();
  // resetGenerator, then `word`: how every pass and one-off setting starts.
  void startGenerator(uint32_t word);
  // Loads the tuning word `word` into the running DDS.
  void tune(uint32_t word);
  // The word 0 (0 Hz), then `settleUnits` of delay: every instrument does this
  // on its way out.
  void switchOff(double settleUnits = 0);
  // The word 0 sent from a signal handler, as far as the port can write from
  // one (PortIo::writeDataFromSignal): no lock, no allocation, about 1 us
  // between writes. What a fault's handler does before the program ends.
  void switchOffFromSignal() noexcept;
  // switchOff, then every data line low: the generator off and the lines idle,
  // as the analyzer leaves the port.
  void switchOffAndIdle(double settleUnits = 0);
  // The level detector's count (0 to 1023).
  int16_t readDetector();
  // The bridge's two counts.
  BridgeReading readBridge();
  // Waits `units` of 0.1 us for what was sent to settle; never shorter, unless
  // a stop is requested: a wait longer than a slice of 10 ms then ends within
  // one slice (what it was waiting for is not read; the pass stops).
  void settle(double units);
  // What settle() asks whether a stop has been requested (a front end's signal
  // flag); none: waits always run to their end.
  void setStopRequest(std::function<bool()> requested) { stopRequested_ = std::move(requested); }
  static constexpr double kStopSliceUnits = delayUnitsFromMs(10);
  // The word the generator was last tuned to; 0 once it is switched off.
  uint32_t tunedWord() const { return tunedWord_; }

  // Busy-loop steps per 0.1 us (calibrateDelayLoop): a wait shorter than one
  // step is not waited at all.
  int16_t loopFactor() const { return loopFactor_; }
  void setLoopFactor(int16_t steps) { loopFactor_ = steps < 1 ? int16_t{1} : steps; }

  // Also attaches the port to `params`.
  void setPort(std::unique_ptr<PortIo> port);
  PortIo* port() { return port_.get(); }
  const PortIo* port() const { return port_.get(); }
  bool simulated() const { return port_ && port_->simulated(); }

  void setDelayer(std::unique_ptr<Delayer> delayer);

  // ---- a point held open across its wait ----
  // A pass stepped from an event loop need not spin a long wait inside a point
  // (after its word, before its read-out): the wait may be held, and the window
  // runs meanwhile. Until the point is finished nothing else reaches the port:
  // the first other access finishes it first (what is left of the wait spun,
  // then the read-out), so points stay whole on the wire.
  using Clock = std::chrono::steady_clock;
  // Waits shorter than this are always spun.
  static constexpr double kHeldWaitUnits = delayUnitsFromMs(2);
  // The wait of `units` inside a point, followed by `rest` (its read-out).
  // Without an `owner`, or when the wait is short or the delayer does not wait
  // real time, the wait is spun and `rest` runs at once; otherwise the point is
  // held for `owner` until finishHeldPoint(). True when held.
  bool waitInPoint(double units, const void* owner, std::function<void()> rest);
  // The end of the wait of the point held open, if there is one (anyone's).
  std::optional<Clock::time_point> heldUntil() const;
  bool holds(const void* owner) const { return owner && hold_.owner == owner; }
  // Finishes the held point: the rest of its wait spun out, then its `rest`.
  void finishHeldPoint();
  // Forgets `owner`'s held point without its read-out (its pass was stopped).
  void dropHeldPoint(const void* owner);
  // Forgets whichever point is held, unread: the program is ending.
  void dropAnyHeldPoint() { hold_ = {}; }

  // True when writes reach the port: a back end on real I/O addresses needs
  // portAddress to be one of the three parallel-port addresses, and a port that
  // failed is reached no more.
  bool reachable() const { return reachable_; }
  // Call after changing params.portAddress.
  void refreshReachable();

  // A port that failed mid-way stops every later access (nothing is sent, the
  // status reads 0) until another port is set. This is how a lost port is
  // reported: passes check it and stop with it as their failure(), front ends
  // check it before they show or write what was measured.
  bool portFailed() const { return port_->failed(); }
  // Why, in plain words, for the user; empty while the port works.
  std::string portFailure() const;

 private:
  friend class Wire;  // the raw access, hw's own (hw/wire.h)
  // A write to the data register (port address portAddress).
  void out(uint8_t value) {
    if (hold_.owner) finishHeldPoint();
    if (!reachable_) return;
    port_->writeData(value);
    if (port_->failed()) notePortFailure();
  }
  // A read of the status register (portAddress + 1): the status byte, 0 when the port
  // cannot be reached.
  uint8_t in() {
    if (hold_.owner) finishHeldPoint();
    if (!reachable_) return 0;
    const uint8_t v = port_->readStatus();
    if (port_->failed()) {
      notePortFailure();
      return 0;
    }
    return v;
  }
  void notePortFailure();

  struct Hold {
    const void* owner = nullptr;
    Clock::time_point until;
    std::function<void()> rest;
  };

  std::unique_ptr<PortIo> port_;
  std::unique_ptr<Delayer> delayer_;
  int16_t loopFactor_ = 1;
  uint32_t tunedWord_ = 0;
  bool reachable_ = false;
  Hold hold_;
  std::function<bool()> stopRequested_;
};

// Calibration of the delay loop: loopFactor := busy-loop steps per 0.1 us,
// measured over 1,000,000 steps with `secondsSinceMidnight` (single precision).
// A measured interval of zero or below (a coarse timer, midnight) is measured
// again on the monotonic clock; the result is never below 1.
using SecondsTimer = std::function<float()>;
float secondsSinceMidnight();
void calibrateDelayLoop(Instrument& instrument, const SecondsTimer& timer = secondsSinceMidnight);

}  // namespace kolm::hw
