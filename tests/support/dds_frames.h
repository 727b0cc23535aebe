// Reads the DDS traffic back from the data-register writes, strictly: a reset
// pulse is the reset value then idle, a bit is its value with the serial clock
// low then high, the update strobe its value then idle (hw/wire.h). Anything
// else shows up as "bad NN" so a test sees it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hw/dds.h"
#include "hw/wire.h"

namespace kolm::test {

// The event of the word that tunes the DDS to `mhz` on a clock of `clockMHz`.
inline std::string wordFor(double mhz, double clockMHz = 400) {
  return "word " + std::to_string(hw::checkedTuningWord(mhz, clockMHz).word);
}

// "reset", "reg1 <last byte>" (the multiplier register), "word <N>" (register 4),
// or "frame <bits>" for a frame of another shape.
inline std::vector<std::string> ddsEvents(const std::vector<uint8_t>& writes) {
  std::vector<std::string> events;
  std::vector<int> bits;
  auto closeFrame = [&] {
    auto byteAt = [&](size_t i) {
      unsigned v = 0;
      for (size_t k = 0; k < 8; ++k) v = v * 2 + static_cast<unsigned>(bits[i * 8 + k]);
      return v;
    };
    if (bits.size() == 40 && byteAt(0) == 4) {
      uint32_t w = (byteAt(1) << 24) | (byteAt(2) << 16) | (byteAt(3) << 8) | byteAt(4);
      events.push_back("word " + std::to_string(w));
    } else if (bits.size() == 32 && byteAt(0) == 1 && byteAt(1) == 0 && byteAt(2) == 0) {
      events.push_back("reg1 " + std::to_string(byteAt(3)));
    } else {
      events.push_back("frame " + std::to_string(bits.size()));
    }
    bits.clear();
  };
  for (size_t i = 0; i < writes.size(); ++i) {
    const uint8_t a = writes[i];
    const int b = i + 1 < writes.size() ? writes[i + 1] : -1;
    using namespace hw::wire;
    if (a == kDdsReset && b == kDdsIdle) {
      events.push_back("reset");
      ++i;
    } else if ((a == ddsBit(0) || a == ddsBit(1)) && b == (a | kSerialClock)) {
      bits.push_back(a == ddsBit(1) ? 1 : 0);
      ++i;
    } else if (a == kDdsUpdate && b == kDdsIdle) {
      closeFrame();
      ++i;
    } else {
      events.push_back("bad " + std::to_string(a));
    }
  }
  if (!bits.empty()) events.push_back("open " + std::to_string(bits.size()));
  return events;
}

// The DDS traffic of a kolm-cli trace file ("W hh" and "R hh" lines), decoded.
inline std::vector<std::string> traceEvents(const std::string& trace) {
  std::vector<uint8_t> writes;
  size_t at = 0;
  while (at + 4 <= trace.size()) {
    if (trace[at] == 'W')
      writes.push_back(static_cast<uint8_t>(std::stoi(trace.substr(at + 2, 2), nullptr, 16)));
    const size_t end = trace.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return ddsEvents(writes);
}

}  // namespace kolm::test
