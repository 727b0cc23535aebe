// pow.ini: read, written from what was read (as the window's boxes would show
// it) and read back.
#include "common/text.h"
#include "fuzz.h"
#include "powermeter/settings.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const powermeter::PowIni read = powermeter::parsePowIni(fuzz::asText(data, size));
  const powermeter::PowIni back = powermeter::parsePowIni(powermeter::formatPowIni(
      {common::strSingle(read.viewStartMHz), common::strSingle(read.viewStopMHz),
       std::to_string(read.points), common::strSingle(read.topDbm),
       common::strSingle(read.bottomDbm), read.calibration, read.delayMs.text, read.r0Ohm}));
  FUZZ_CHECK(fuzz::sameSingle(read.viewStartMHz, back.viewStartMHz));
  FUZZ_CHECK(fuzz::sameSingle(read.viewStopMHz, back.viewStopMHz));
  FUZZ_CHECK(read.points == back.points);
  FUZZ_CHECK(fuzz::sameSingle(read.topDbm, back.topDbm));
  FUZZ_CHECK(fuzz::sameSingle(read.bottomDbm, back.bottomDbm));
  FUZZ_CHECK(read.calibration == back.calibration);
  FUZZ_CHECK(back.delayMs.text == fuzz::recordKeeps(read.delayMs.text));
  FUZZ_CHECK(fuzz::sameSingle(read.r0Ohm, back.r0Ohm));
  return 0;
}
