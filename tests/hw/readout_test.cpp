#include "hw/readout.h"

#include <gtest/gtest.h>

#include <map>

#include "support/port_rig.h"

using namespace kolm::hw;

namespace {
struct Rig : kolm::test::PortRig {
  explicit Rig(std::function<uint8_t(size_t)> status) { port->status = std::move(status); }
};

// Status read n gives `set[n]`, every other read `rest`.
std::function<uint8_t(size_t)> reads(std::map<size_t, uint8_t> set, uint8_t rest = 0) {
  return [set, rest](size_t n) { return set.contains(n) ? set.at(n) : rest; };
}
}  // namespace

// Ten reads, the most significant bit first, each channel on its own status line.
TEST(ReadOut, TenBitsMsbFirstEachChannelOnItsOwnLine) {
  const uint8_t D = kDetectorBit, A = kBridgeABit, B = kBridgeBBit;
  const struct {
    std::function<uint8_t(size_t)> status;
    int detector, a, b;
  } cases[] = {
      {reads({}, D | A | B), 1023, 1023, 1023},
      {reads({{0, D}}), 512, 0, 0},
      {reads({{0, A}, {1, B}, {9, A}}), 0, 513, 256},  // 0b1000000001 and 0b0100000000
      {reads({}, 0xBF), 0, 1023, 1023},                // every line high but the detector's
      {reads({}, D), 1023, 0, 0},
  };
  for (const auto& c : cases) {
    Rig detector(c.status), bridge(c.status);
    EXPECT_EQ(readDetector(detector.instrument), c.detector);
    const BridgeReading r = readBridge(bridge.instrument);
    EXPECT_EQ(r.a, c.a);
    EXPECT_EQ(r.b, c.b);
  }
}

// The detector starts from 8, the bridge from 24; each bit is a clock pulse (0, 8)
// read while the clock is low, and the lines end at 24.
TEST(ReadOut, WireSequence) {
  for (const bool bridge : {false, true}) {
    Rig rig(reads({}));
    bridge ? (void)readBridge(rig.instrument) : (void)readDetector(rig.instrument);
    std::vector<uint8_t> expected{static_cast<uint8_t>(bridge ? 24 : 8)};
    for (int i = 0; i < 10; ++i) expected.insert(expected.end(), {0, 8});
    expected.push_back(24);
    EXPECT_EQ(rig.port->writes(), expected) << bridge;
    EXPECT_EQ(rig.port->readCount(), 10u);
    for (size_t i = 0; i + 1 < rig.port->log.size(); ++i) {
      if (!rig.port->log[i + 1].write) {
        EXPECT_EQ(rig.port->log[i].value, 0) << bridge;
      }
    }
  }
}
