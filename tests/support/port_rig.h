// An instrument on a recording port for the tests of what goes over the wire, and
// the DDS traffic of its log decoded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hw/instrument.h"
#include "hw/portio.h"
#include "hw/readout.h"
#include "support/recording_port.h"
#include "vfo/dds_frames.h"

namespace kolm::test {

// The DDS traffic of a write log, counted: the register-4 words in order, the
// multiplier frames and the resets (read-outs between them are passed over).
struct DecodedWire {
  std::vector<uint32_t> words;
  int multiplierFrames = 0;
  int resets = 0;
};

inline DecodedWire decode(const std::vector<uint8_t>& writes) {
  DecodedWire d;
  for (const std::string& e : ddsEvents(writes)) {
    if (e == "reset") ++d.resets;
    if (e.rfind("reg1 ", 0) == 0) ++d.multiplierFrames;
    if (e.rfind("word ", 0) == 0) d.words.push_back(static_cast<uint32_t>(std::stoul(e.substr(5))));
  }
  return d;
}

// An instrument on a recording port that never really waits: every access is
// kept, status read n answers `port->status(n)` (or `answer` scripts whole
// read-outs), and every wait is noted with where in the port log it came.
class PortRig {
 public:
  struct Wait {
    double units;
    size_t at;  // the port log's length when it began
  };
  explicit PortRig(double refClkMHz = 100, int16_t multiplier = 0) {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<Noting>(this));
    instrument.params.refClockMHz = refClkMHz;
    instrument.params.refClockMultiplier = multiplier;
  }
  PortRig(const PortRig&) = delete;
  PortRig& operator=(const PortRig&) = delete;

  // Read-out k (10 status reads each) answers `counts(k)`, MSB first.
  void answer(std::function<int(size_t)> counts) {
    port->status = [counts](size_t n) {
      int v = counts(n / 10);
      int bit = 9 - static_cast<int>(n % 10);
      return static_cast<uint8_t>((v >> bit) & 1 ? hw::kDetectorBit : 0);
    };
  }
  // The units of the waits longer than `above` (1: the per-point delays).
  std::vector<double> waitUnits(double above = 1) const {
    std::vector<double> out;
    for (const Wait& w : waits)
      if (w.units > above) out.push_back(w.units);
    return out;
  }

  hw::Instrument instrument;
  hw::RecordingPort* port;
  std::vector<Wait> waits;

 private:
  struct Noting : hw::Delayer {
    explicit Noting(PortRig* r) : rig(r) {}
    void wait(double units, int) override {
      const auto* now = dynamic_cast<const hw::RecordingPort*>(rig->instrument.port());
      rig->waits.push_back({units, now ? now->log.size() : 0});
    }
    PortRig* rig;
  };
};

}  // namespace kolm::test
