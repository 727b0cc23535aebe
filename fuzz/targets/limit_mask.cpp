// Limit masks: a mask that reads is written and reads back the same; one that
// does not names the file and its line.
#include "chart/limit_mask.h"
#include "fuzz.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const chart::MaskRead read = chart::parseLimitMask(fuzz::asText(data, size), "f");
  if (!read.mask) {
    FUZZ_CHECK(read.error.rfind("f:", 0) == 0);
    return 0;
  }
  FUZZ_CHECK(!read.mask->segments.empty());
  for (const chart::LimitSegment& s : read.mask->segments) FUZZ_CHECK(s.fromMHz < s.toMHz);
  const chart::MaskRead back = chart::parseLimitMask(chart::formatLimitMask(*read.mask), "f");
  FUZZ_CHECK(back.mask);
  FUZZ_CHECK(back.mask->segments.size() == read.mask->segments.size());
  for (size_t i = 0; i < back.mask->segments.size(); ++i) {
    chart::LimitSegment a = read.mask->segments[i], b = back.mask->segments[i];
    a.line = b.line = 0;  // written one statement a line
    FUZZ_CHECK(a == b);
  }
  return 0;
}
