// .vec files (binary, read only): a file that opens is saved as a .vna chart,
// which opens again the same.
#include "vna_round_trip.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = analyzer::parseVec(fuzz::asText(data, size));
  if (!read.ok()) {
    FUZZ_CHECK(!read.reason.empty() && read.chart.returnLossCounts.empty());
    return 0;
  }
  fuzz::checkSavedAndOpenedAgain(read.chart);
  return 0;
}
