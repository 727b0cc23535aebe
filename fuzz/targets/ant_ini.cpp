// ant.ini: read, written from what was read and read back.
#include "analyzer/files.h"
#include "common/text.h"
#include "fuzz.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const analyzer::AntSettings read = analyzer::parseAntIni(fuzz::asText(data, size));
  FUZZ_CHECK(read.points >= analyzer::kMinPoints && read.points <= analyzer::kMaxPoints);
  FUZZ_CHECK(analyzer::spanUsable(read.start, read.stop));
  const analyzer::AntSettings back =
      analyzer::parseAntIni(analyzer::antIniText(analyzer::antIniBoxes(read)));
  FUZZ_CHECK(fuzz::sameDouble(read.start, back.start));
  FUZZ_CHECK(fuzz::sameDouble(read.stop, back.stop));
  FUZZ_CHECK(read.points == back.points);
  return 0;
}
