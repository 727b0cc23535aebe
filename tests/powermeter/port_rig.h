// A recorded port for the power meter's passes: every byte written is kept, the
// detector answers scripted counts, and the long waits are noted.
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

// Keeps every wait longer than one unit (the per-point delays), and where in
// the port log it came.
struct LongWaits : hw::Delayer {
  std::vector<double>* waits;
  std::vector<size_t>* at;
  const hw::RecordingPort* port;
  LongWaits(std::vector<double>* w, std::vector<size_t>* a, const hw::RecordingPort* p)
      : waits(w), at(a), port(p) {}
  void wait(double units, int) override {
    if (units <= 1) return;
    waits->push_back(units);
    at->push_back(port->log.size());
  }
};

struct PortRig {
  explicit PortRig(double refClkMHz = 100) {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<LongWaits>(&waits, &waitedAt, port));
    instrument.params.RefClkMHz = refClkMHz;
  }
  // Read-out k (10 status reads each) answers `counts(k)`, MSB first.
  void answer(std::function<int(size_t)> counts) {
    port->status = [counts](size_t n) {
      int v = counts(n / 10);
      int bit = 9 - static_cast<int>(n % 10);
      return static_cast<uint8_t>((v >> bit) & 1 ? hw::kDetectorBit : 0);
    };
  }
  hw::Instrument instrument;
  hw::RecordingPort* port;
  std::vector<double> waits;
  std::vector<size_t> waitedAt;
};

}  // namespace kolm::test
