#include "hw/params.h"
#include "hw/port_factory.h"

#include <gtest/gtest.h>

#include "common/files.h"
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
  HardwareParams p;
  p.refClockMultiplier = 20;
  p.quartzMHz = 20;
  p.refClockMHz = 400;
  p.portAddress = kLpt2;
  p.portBackend = "ppdev:/dev/parport0";
  ASSERT_TRUE(writeHardwareConfig(p, file));
  EXPECT_EQ(readTextFile(file).value(),
            "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n\"ppdev:/dev/parport0\"\r\n");
  HardwareParams q;
  EXPECT_TRUE(readHardwareConfig(q, file));
  EXPECT_EQ(q.portAddress, 632);
  EXPECT_EQ(q.portBackend, "ppdev:/dev/parport0");
}

TEST(DdsCfg, StopsAtTheFirstFailureKeepingWhatWasRead) {
  kolm::test::TempDir dir;
  const auto file = dir.path() / "dds.cfg";
  struct Row {
    const char* name;
    const char* text;  // none: no file
    bool ok;
    int16_t multiplier;
    double quartz, clock;
    int32_t base;
  };
  const Row rows[] = {
      {"unquoted, LF only", "20\n20\n400\n888", true, 20, 20, 400, 888},
      {"comma separated", "\"20\",\"20\",\"400\",\"888\"\r\n", true, 20, 20, 400, 888},
      {"a first record not a number: all four unchanged",
       "\"abc\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n", false, 4, 50, 200, 956},
      {"two records: the first two taken", "\"10\"\r\n\"30\"\r\n", false, 10, 30, 200, 956},
      {"a base beyond 16 bits stops at the fourth", "20\r\n20\r\n400\r\n70000\r\n", false, 20, 20,
       400, 956},
      {"no file", nullptr, false, 4, 50, 200, 956},
      {"a clock of 0, like a missing file", "\"20\"\r\n\"20\"\r\n\"0\"\r\n\"888\"\r\n", true, 20,
       20, 0, 888},
      {"the base rounded, halves to even", "20\r\n20\r\n400\r\n888.5\r\n", true, 20, 20, 400, 888},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::filesystem::remove(file);
    if (r.text) {
      ASSERT_TRUE(writeFileAtomic(file, r.text));
    }
    HardwareParams q;
    q.refClockMultiplier = 4;
    q.quartzMHz = 50;
    q.refClockMHz = 200;
    q.portAddress = 956;
    EXPECT_EQ(readHardwareConfig(q, file), r.ok);
    EXPECT_EQ(q.refClockMultiplier, r.multiplier);
    EXPECT_EQ(q.quartzMHz, r.quartz);
    EXPECT_EQ(q.refClockMHz, r.clock);
    EXPECT_EQ(q.portAddress, r.base);
  }
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
}
