// The program-wide instrument context: hardware parameters, the calibrated delay,
// the last tuning word and the port. Engines take it by reference; there are no
// globals.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "hw/params.h"
#include "hw/portio.h"

namespace kolm::hw {

// How PortDelay waits. One unit is 0.1 microseconds.
class Delayer {
 public:
  virtual ~Delayer() = default;
  virtual void wait(double units, int loopFactor) = 0;
};

// Spins on the monotonic clock to a deadline of units x 100 ns: never shorter.
// Nothing is waited when units x loopFactor is below 1, as with the counted loop
// the delay unit was first defined by.
class BusyWaitDelayer : public Delayer {
 public:
  void wait(double units, int loopFactor) override;
};

// Waits nothing: for the simulator in tests and benchmarks.
class NoDelayer : public Delayer {
 public:
  void wait(double, int) override {}
};

class Instrument {
 public:
  explicit Instrument(std::unique_ptr<PortIo> port = nullptr);
  // The port keeps the address of `params` (PortIo::attach): an instrument stays
  // where it was made.
  Instrument(const Instrument&) = delete;
  Instrument& operator=(const Instrument&) = delete;

  HardwareParams params;
  int16_t LoopFactor = 1;
  double LastTuningWord = 0;

  // Also attaches the port to `params`.
  void setPort(std::unique_ptr<PortIo> port);
  PortIo* port() { return port_.get(); }
  const PortIo* port() const { return port_.get(); }
  bool simulated() const { return port_ && port_->simulated(); }

  void setDelayer(std::unique_ptr<Delayer> delayer);

  // Out32(LptBase, value): a write to the data register.
  void out(uint8_t value) {
    if (!reachable_) return;
    port_->writeData(value);
    if (port_->failed()) notePortFailure();
  }
  // Inp32(LptBase + 1): the status byte, 0 when the port cannot be reached.
  uint8_t in() {
    if (!reachable_) return 0;
    const uint8_t v = port_->readStatus();
    if (port_->failed()) {
      notePortFailure();
      return 0;
    }
    return v;
  }
  // PortDelay: n units of about 0.1 us.
  void delay(double units) { delayer_->wait(units, LoopFactor); }

  // True when writes reach the port: a back end on real I/O addresses needs
  // LptBase to be one of the three parallel-port addresses, and a port that
  // failed is reached no more.
  bool reachable() const { return reachable_; }
  // Call after changing params.LptBase.
  void refreshReachable();

  // A port that failed mid-way stops every later access (nothing is sent, the
  // status reads 0) until another port is set; passes check this and stop.
  bool portFailed() const { return port_->failed(); }
  // Why, in plain words, for the user; empty while the port works.
  std::string portFailure() const;
  // Called once, when an access fails; the command line throws from it.
  std::function<void(const std::string& why)> onPortFailure;

 private:
  void notePortFailure();

  std::unique_ptr<PortIo> port_;
  std::unique_ptr<Delayer> delayer_;
  bool reachable_ = false;
};

// Calibration of the delay loop: LoopFactor := busy-loop steps per 0.1 us,
// measured over 1,000,000 steps with `secondsSinceMidnight` (single precision).
// A measured interval of zero or below (a coarse timer, midnight) is measured
// again on the monotonic clock; the result is never below 1.
using SecondsTimer = std::function<float()>;
float secondsSinceMidnight();
void Orologio(Instrument& instrument, const SecondsTimer& timer = secondsSinceMidnight);

}  // namespace kolm::hw
