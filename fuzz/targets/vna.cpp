// .vna chart files: a chart that opens is saved and opens again the same.
#include "vna_round_trip.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = analyzer::parseVna(fuzz::asText(data, size));
  if (read.ok()) fuzz::checkSavedAndOpenedAgain(read.chart);
  return 0;
}
