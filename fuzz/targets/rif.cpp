// level.rif and Quartz.rif: the entries read are written and read back (only
// those: the untouched rest of the table would cost most of every run).
#include "fuzz.h"
#include "powermeter/reference.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  powermeter::ReferenceTable read{};
  const int count = powermeter::parseRif(fuzz::asText(data, size), read);
  FUZZ_CHECK(count >= 0 && count <= powermeter::kRifEntries);
  powermeter::ReferenceTable back{};
  FUZZ_CHECK(powermeter::parseRif(powermeter::formatRif(read, count), back) == count);
  for (int k = 0; k < count; ++k) {
    FUZZ_CHECK(std::isfinite(read[k]));
    FUZZ_CHECK(fuzz::sameSingle(read[k], back[k]));
  }
  return 0;
}
