// An instrument on a recording port for the tests of what goes over the wire, and
// its port log read back as events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/text.h"
#include "hw/instrument.h"
#include "hw/portio.h"
#include "hw/readout.h"
#include "hw/wire.h"
#include "support/dds_frames.h"
#include "support/recording_port.h"

namespace kolm::test {

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
      return static_cast<uint8_t>((v >> bit) & 1 ? hw::wire::kDetectorBit : 0);
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

// The port log read back as what the instrument saw, one event a line: the DDS
// events, a whole read-out ("detector read" from 8, "bridge read" from 24, then
// ten times 0, read, 8, and 24 to end) and "wait N" for each wait of more than
// one unit (one begun inside a read-out comes after it).
inline std::string wireText(const PortRig& rig) {
  std::string text;
  std::vector<uint8_t> frames;
  auto flush = [&] {
    for (const std::string& e : ddsEvents(frames)) text += e + "\n";
    frames.clear();
  };
  const auto& log = rig.port->log;
  size_t wait = 0;
  for (size_t k = 0; k <= log.size(); ++k) {
    for (; wait < rig.waits.size() && rig.waits[wait].at <= k; ++wait) {
      if (rig.waits[wait].units <= 1) continue;
      flush();
      text += "wait " + common::shortestText(rig.waits[wait].units) + "\n";
    }
    if (k == log.size()) break;
    if ((log[k].value == 8 || log[k].value == 24) && k + 31 < log.size() && !log[k + 2].write) {
      flush();
      bool whole = log[k + 31].write && log[k + 31].value == 24;
      for (int j = 0; j < 10 && whole; ++j)
        whole = log[k + 1 + 3 * j].value == 0 && !log[k + 2 + 3 * j].write &&
                log[k + 3 + 3 * j].value == 8;
      text += !whole ? "broken read\n" : log[k].value == 8 ? "detector read\n" : "bridge read\n";
      k += 31;
    } else if (log[k].write) {
      frames.push_back(log[k].value);
    }
  }
  flush();
  return text;
}

}  // namespace kolm::test
