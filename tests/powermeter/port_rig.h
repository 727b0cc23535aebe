// A recorded port for the power meter's passes: every byte written is kept, the
// detector answers scripted counts, and the long waits are noted.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "hw/instrument.h"
#include "hw/portio.h"
#include "hw/readout.h"

namespace kolm::test {

// Decodes the DDS frames in a write log: data bits are clocked by the writes 18
// and 19, a frame ends with the update strobe 20, a reset is 144.
struct DecodedWire {
  std::vector<uint32_t> words;  // register-4 frames
  int multiplierFrames = 0;
  int resets = 0;
};

inline DecodedWire decode(const std::vector<uint8_t>& writes) {
  DecodedWire d;
  std::vector<int> bytes;
  int bits = 0, value = 0;
  for (uint8_t w : writes) {
    if (w == 144) ++d.resets;
    if (w == 18 || w == 19) {
      value = value * 2 + (w & 1);
      if (++bits == 8) {
        bytes.push_back(value);
        bits = value = 0;
      }
    }
    if (w == 20) {
      if (bytes.size() == 5 && bytes[0] == 4)
        d.words.push_back(static_cast<uint32_t>(bytes[1]) << 24 | bytes[2] << 16 | bytes[3] << 8 |
                          bytes[4]);
      if (bytes.size() == 4 && bytes[0] == 1) ++d.multiplierFrames;
      bytes.clear();
    }
  }
  return d;
}

// Keeps every wait longer than one unit (the per-point delays).
struct LongWaits : hw::Delayer {
  std::vector<double>* waits;
  explicit LongWaits(std::vector<double>* w) : waits(w) {}
  void wait(double units, int) override {
    if (units > 1) waits->push_back(units);
  }
};

struct PortRig {
  explicit PortRig(double refClkMHz = 100) {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<LongWaits>(&waits));
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
};

}  // namespace kolm::test
