#include "hw/params.h"
#include "hw/port_factory.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/files.h"
#include "support/golden.h"
#include "support/temp_dir.h"

using namespace kolm::hw;
using kolm::common::readTextFile;
using kolm::common::writeFileAtomic;

TEST(SystemClock, MultiplierIsBypassedBelowFourAndTheClockValidated) {
  EXPECT_EQ(systemClockMHz(3, 100), 100);
  EXPECT_EQ(systemClockMHz(4, 100), 400);
  EXPECT_EQ(systemClockMHz(0, 20), 20);
  EXPECT_EQ(systemClockMHz(20, 30), 600);
  // Above 501 MHz the clock is over the maximum; a zero is refused.
  HardwareParams p;
  p.refClockMultiplier = 20;
  p.quartzMHz = 30;
  p.refClockMHz = 600;
  EXPECT_EQ(validateParameters(p).value(), "Ref Frequency over the maximum!");
  p.refClockMHz = 501;
  p.quartzMHz = 25.05;
  EXPECT_FALSE(validateParameters(p).has_value());
  p.quartzMHz = 0;  // refused even beside a clock left from before
  EXPECT_TRUE(validateParameters(p).has_value());
  p.refClockMHz = 0;
  EXPECT_TRUE(validateParameters(p).has_value());
}

TEST(DdsCfg, WritesFourQuotedRecordsPlusThePortAndReadsThemBack) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "dds.cfg";
  kolm::common::SettingsKeeper keeper;
  ASSERT_TRUE(writeHardwareConfig({20, 20, 400, kLpt2, "ppdev:/dev/parport0"}, file, keeper));
  EXPECT_EQ(
      readTextFile(file).value(),
      "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n\"ppdev:/dev/parport0\"\r\n\"50\"\r\n\"0\"\r\n");
  HardwareParams q;
  EXPECT_TRUE(readHardwareConfig(q, file));
  EXPECT_EQ(q.portAddress, 632);
  EXPECT_EQ(q.portBackend, "ppdev:/dev/parport0");
}

// The clock's tolerance and offset follow the port as records six and seven;
// a file without them states the usual tolerance, one with a wrong one is
// not used at all.
TEST(DdsCfg, TheClockRecordsAreReadOrTheFileRefused) {
  const std::string four = "20\r\n20\r\n400\r\n888\r\n\"sim\"\r\n";
  for (const auto& c : kolm::test::goldenRows("dds_cfg_clock.tsv", 4)) {
    HardwareParams q;
    q.clockTolerancePpm = 7;
    q.clockOffsetPpm = 3;
    std::string problem;
    EXPECT_EQ(parseHardwareConfig(q, four + c[0], &problem), c[1] == "read") << c[0] << problem;
    EXPECT_EQ(std::pair(q.clockTolerancePpm, q.clockOffsetPpm),
              std::pair(kolm::test::goldenNumber(c[2]), kolm::test::goldenNumber(c[3])))
        << c[0];
  }
}

// dds.cfg is used whole or not at all; damage the way editors and copies do it
// is read as the writer meant it.
TEST(DdsCfg, ReadWholeOrNotAtAll) {
  kolm::test::TempDir dir;
  const auto file = dir.path() / "dds.cfg";
  auto rows = kolm::test::goldenRows("dds_cfg.tsv", 7);
  rows.push_back({"over 64 kB", "20\r\n20\r\n400\r\n888\r\n" + std::string(70000, ' '),
                  "larger than 64 kB", "4", "50", "200", "956"});
  for (const auto& r : rows) {
    SCOPED_TRACE(r[0]);
    std::filesystem::remove(file);
    if (r[1] != "-") {
      ASSERT_TRUE(writeFileAtomic(file, r[1]));
    }
    HardwareParams q;
    q.refClockMultiplier = 4;
    q.quartzMHz = 50;
    q.refClockMHz = 200;
    q.portAddress = 956;
    q.portBackend = "sim";
    std::string problem;
    const bool said = r[2] != "-";
    EXPECT_EQ(readHardwareConfig(q, file, &problem), r[3] != "4" || r[4] != "50");
    EXPECT_EQ(problem.empty(), !said);
    EXPECT_NE(problem.find(said ? r[2] : ""), std::string::npos) << problem;
    const auto n = [](const std::string& f) { return kolm::test::goldenNumber(f); };
    EXPECT_EQ(q.refClockMultiplier, n(r[3]));
    EXPECT_EQ(q.quartzMHz, n(r[4]));
    EXPECT_EQ(q.refClockMHz, n(r[5]));
    EXPECT_EQ(q.portAddress, n(r[6]));
    // Four records (none of these has a fifth) are an existing installation's
    // file: the real port at the address read, never the simulator.
    EXPECT_EQ(q.portBackend,
              said || r[1] == "-" ? "sim" : portAtAddress(static_cast<int32_t>(n(r[6]))));
  }
}

TEST(DdsCfg, AClockThatCannotBeRightIsNamed) {
  auto params = [](int m, double quartz, double clock) {
    HardwareParams p;
    p.refClockMultiplier = static_cast<int16_t>(m);
    p.quartzMHz = quartz;
    p.refClockMHz = clock;
    return p;
  };
  EXPECT_FALSE(clockProblem(params(20, 20, 400)));
  EXPECT_FALSE(clockProblem(params(3, 100, 100)));  // bypassed: the quartz itself
  EXPECT_FALSE(clockProblem(params(20, 25, 500)));
  EXPECT_NE(clockProblem(params(4, 100, 40)).value_or("").find("(4 x 100 MHz = 400 MHz)"),
            std::string::npos);
  EXPECT_NE(clockProblem(params(20, 30, 600)).value_or("").find("above the 501 MHz"),
            std::string::npos);
  EXPECT_TRUE(clockProblem(params(0, 1e308, 1e308)));
  EXPECT_FALSE(clockProblem(params(20, 20, 0)));  // no clock: asked for as such
}

TEST(Ppdev, DeviceIsMatchedByItsBaseAddress) {
  kolm::test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "parport0");
  std::filesystem::create_directories(dir.path() / "parport1");
  ASSERT_TRUE(writeFileAtomic(dir.path() / "parport0" / "base-addr", "53504\t53512\n"));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "parport1" / "base-addr", "888\t1912\n"));
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(888, dir.path().string()), "/dev/parport1");
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(53504, dir.path().string()), "/dev/parport0");
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(632, dir.path().string()), "");
  // A dds.cfg without the port choice means the port at its address.
#ifndef _WIN32
  EXPECT_EQ(kolm::hw::portAtAddress(888, dir.path().string()), "ppdev");
  EXPECT_EQ(kolm::hw::portAtAddress(632, dir.path().string()), "direct");
#endif
}
