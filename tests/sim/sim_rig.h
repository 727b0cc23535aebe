// An instrument wired to the simulator with a 20 MHz x 20 = 400 MHz clock and no
// delays; the ideal board (the read-out laws exactly) unless a test asks for the
// typical one.
#pragma once

#include <cmath>
#include <memory>
#include <string>

#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "hw/dds.h"
#include "hw/instrument.h"
#include "hw/readout.h"
#include "sim/simulated_instrument.h"

namespace kolm::test {

struct SimRig {
  explicit SimRig(const std::string& dut = "through", const std::string& load = "r=50",
                  sim::SimSettings settings = {}, sim::Board board = sim::Board::Ideal) {
    auto port = std::make_unique<sim::SimulatedInstrument>(settings);
    sim = port.get();
    std::string error = sim->configure({dut, load, std::string(sim::boardName(board))});
    if (!error.empty()) throw std::runtime_error(error);
    instrument.setPort(std::move(port));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};  // 20 MHz x 20
    instrument.refreshReachable();
  }

  uint32_t wordFor(double mhz) const {
    return static_cast<uint32_t>(hw::ddsTuningWord(mhz, instrument.params.refClockMHz));
  }
  // Reset, multiplier and the word for `mhz`, as the instruments start a pass.
  void tune(double mhz) {
    hw::ddsReset(instrument);
    hw::ddsSetMultiplier(instrument);
    hw::ddsSendWord(instrument, wordFor(mhz));
  }
  void step(double mhz) { hw::ddsSendWord(instrument, wordFor(mhz)); }
  int detector() { return hw::readDetector(instrument); }
  hw::BridgeReading bridge() { return hw::readBridge(instrument); }
  // One analyzer pass from `start` to `stop` MHz in `steps`: the bridge's readings.
  analyzer::Channels pass(double start, double stop, int steps) {
    analyzer::Channels c;
    analyzer::PassJob job(instrument, analyzer::planSweep(start, stop, steps, 400).plan, c, true);
    job.runToEnd();
    return c;
  }

  hw::Instrument instrument;
  sim::SimulatedInstrument* sim = nullptr;
};

}  // namespace kolm::test
