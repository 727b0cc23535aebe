// .pwm chart files: a chart that opens is saved and opens again the same.
#include "fuzz.h"
#include "powermeter/chart_file.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = powermeter::parseChartFile(fuzz::asText(data, size));
  if (!read.chart) {
    FUZZ_CHECK(!read.error.empty());
    return 0;
  }
  const powermeter::ChartFile& a = *read.chart;
  FUZZ_CHECK(a.levels.size() == static_cast<size_t>(a.points) + 1);
  const auto back = powermeter::parseChartFile(powermeter::formatChartFile(a));
  FUZZ_CHECK(back.chart);
  const powermeter::ChartFile& b = *back.chart;
  FUZZ_CHECK(a.points == b.points);
  FUZZ_CHECK(fuzz::sameSingle(a.start, b.start) && fuzz::sameSingle(a.stop, b.stop));
  for (size_t i = 0; i < a.levels.size(); ++i)
    FUZZ_CHECK(fuzz::sameSingle(a.levels[i], b.levels[i]));
  FUZZ_CHECK(a.reference.has_value() == b.reference.has_value());
  if (a.reference) FUZZ_CHECK(fuzz::sameSingle(*a.reference, *b.reference));
  return 0;
}
