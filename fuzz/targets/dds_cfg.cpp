// dds.cfg: the hardware parameters read, written and read back.
#include "fuzz.h"
#include "hw/params.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hw::HardwareParams read;
  if (!hw::parseHardwareConfig(read, fuzz::asText(data, size))) return 0;
  hw::HardwareParams back;
  FUZZ_CHECK(hw::parseHardwareConfig(back, hw::hardwareConfigText(read)));
  FUZZ_CHECK(back.refClockMultiplier == read.refClockMultiplier);
  FUZZ_CHECK(fuzz::sameDouble(read.quartzMHz, back.quartzMHz));
  FUZZ_CHECK(fuzz::sameDouble(read.refClockMHz, back.refClockMHz));
  FUZZ_CHECK(back.portAddress == read.portAddress);
  const std::string backend = fuzz::recordKeeps(read.portBackend);
  FUZZ_CHECK(back.portBackend == (backend.empty() ? "sim" : backend));
  return 0;
}
