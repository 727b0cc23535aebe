// The .vec reader: binary, little-endian, n from the file's length, the five
// blocks, the 877 - M conversion and every way a file is refused.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <limits>

#include "analyzer/files.h"
#include "analyzer/vec_bytes.h"
#include "support/temp_dir.h"

using namespace kolm::analyzer;
using kolm::test::ramp;
using kolm::test::vec;

TEST(Vec, ThousandPointsConvertedWithTheFirstRepeatingTheSecond) {
  const std::string bytes = ramp(1000, 1.8f, 30.5f);
  ASSERT_EQ(bytes.size(), 16024u);
  const auto r = parseVec(bytes);
  ASSERT_TRUE(r.ok()) << r.message();
  const ChartData& c = r.chart;
  EXPECT_EQ(c.points, 1000);
  ASSERT_EQ(c.returnLossCounts.size(), 1001u);
  // 877 - M: M = 365 + i gives 512 - i.
  EXPECT_EQ(c.returnLossCounts[1], 511);
  EXPECT_EQ(c.returnLossCounts[499], 13);
  EXPECT_EQ(c.phaseCounts[7], 14);
  EXPECT_EQ(c.returnLossCounts[0], c.returnLossCounts[1]);
  EXPECT_EQ(c.phaseCounts[0], c.phaseCounts[1]);
  // The single-precision span as the decimals it stands for.
  EXPECT_EQ(c.start, 1.8);
  EXPECT_EQ(c.stop, 30.5);
}

TEST(Vec, MagnitudeAndPhaseConversion) {
  // M = 365 is a return loss of 0 dB (512), M = 877 is 30 dB (0); halves go to
  // the even integer. Bytes after the stop that make no whole step are ignored.
  const auto r =
      parseVec(vec({0, 365, 877, 364.5f, 363.5f, 1000}, {0, 90, 10.5f, 11.5f, -3, 0}, 10, 20) +
               std::string(7, '\x7f'));
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(r.chart.points, 5);
  EXPECT_EQ(r.chart.returnLossCounts, (std::vector<int16_t>{512, 512, 0, 512, 514, -123}));
  EXPECT_EQ(r.chart.phaseCounts, (std::vector<int16_t>{90, 90, 10, 12, -3, 0}));
}

TEST(Vec, EqualSpanIsErroreWithTheExclamationAndComesFirst) {
  // 24 bytes: n = 0, one value from each block.
  const auto equal = parseVec(vec({365}, {0}, 14, 14));
  EXPECT_EQ(equal.fault, VecFault::EqualSpan);
  EXPECT_EQ(equal.message().substr(0, 8), "ERRORE!\n");
  const auto zero = parseVec(vec({365}, {0}, 14, 15));
  EXPECT_EQ(zero.fault, VecFault::Invalid);
  EXPECT_EQ(zero.message().substr(0, 7), "ERRORE\n");
  EXPECT_NE(zero.reason.find("n = 0"), std::string::npos);
  // Equal start and stop also before values that would not fit.
  EXPECT_EQ(parseVec(vec({1e9f, 0}, {0, 0}, 7, 7)).fault, VecFault::EqualSpan);
  // One float step apart is the same decimal span: refused alike, so no chart
  // with a span of 0 is opened (or saved as a .vna that cannot be read back).
  const float start = 3.1f, next = std::nextafter(3.1f, 4.0f);
  EXPECT_EQ(parseVec(vec({365, 365}, {0, 0}, start, next)).fault, VecFault::EqualSpan);
  const auto apart = parseVec(vec({365, 365}, {0, 0}, 3.1f, 3.100001f));
  ASSERT_TRUE(apart.ok()) << apart.reason;
  EXPECT_TRUE(parseVna(formatVna(apart.chart)).ok());
  EXPECT_TRUE(equal.chart.returnLossCounts.empty());
}

TEST(Vec, MalformedFilesAreErroreWithTheReason) {
  auto refused = [](const std::string& bytes, const char* words) {
    const auto r = parseVec(bytes);
    EXPECT_EQ(r.fault, VecFault::Invalid) << words;
    EXPECT_EQ(r.message().rfind("ERRORE\n", 0), 0u) << r.message();
    EXPECT_NE(r.reason.find(words), std::string::npos) << r.reason;
    EXPECT_TRUE(r.chart.returnLossCounts.empty());
  };
  refused("", "0 bytes");
  refused(std::string(23, '\0'), "at least 24");
  // The step count from the length rounds halves to even: 32 bytes are n = 0.5.
  refused(vec({365}, {0}, 1, 2) + std::string(8, '\0'), "n = 0");
  // 33 bytes: n rounds to 1, which needs 40.
  refused(vec({365}, {0}, 1, 2) + std::string(9, '\0'), "n = 1 needs 40");
  // 80 bytes: 3.5 rounds to 4 steps, which need 88.
  refused(vec({1, 2, 3, 4}, {1, 2, 3, 4}, 1, 2) + std::string(8, '\0'), "n = 4 needs 88");
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  refused(vec({365, 365}, {0, 0}, nan, 2), "not a finite number");
  refused(vec({365, 365}, {0, 0}, 1, inf), "not a finite number");
  refused(vec({365, nan}, {0, 0}, 1, 2), "Magnitude value 1");
  refused(vec({365, -40000}, {0, 0}, 1, 2), "Magnitude value 1");
  refused(vec({365, 365, 365}, {0, 0, inf}, 1, 2), "Phase value 2");
  refused(vec({365, 365}, {40000, 0}, 1, 2), "Phase value 0");
  // More steps than the arrays take.
  refused(ramp(kMaxPoints + 1, 1, 2), "at most 20001");
}

TEST(Vec, LargestFileReadsAndFilesOnDisk) {
  kolm::test::TempDir dir;
  const auto largest = dir.path() / "largest.vec";
  {
    std::ofstream out(largest, std::ios::binary);
    out << ramp(kMaxPoints, 0.1f, 60);
  }
  const auto r = readVec(largest);
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(r.chart.points, kMaxPoints);
  EXPECT_EQ(r.chart.stop, 60);

  const auto missing = readVec(dir.path() / "none.vec");
  EXPECT_EQ(missing.fault, VecFault::Invalid);
  EXPECT_NE(missing.reason.find("cannot be opened"), std::string::npos);
  EXPECT_EQ(readVec(dir.path()).fault, VecFault::Invalid);  // a folder

  // Far too large: refused from its length alone.
  const auto huge = dir.path() / "huge.vec";
  { std::ofstream out(huge, std::ios::binary); }
  std::filesystem::resize_file(huge, 100u << 20);
  const auto big = readVec(huge);
  EXPECT_EQ(big.fault, VecFault::Invalid);
  EXPECT_NE(big.reason.find("at most 20001"), std::string::npos);
}
