// pow.ini: read, written from what was read (as the window's boxes would show
// it) and read back.
#include "common/text.h"
#include "fuzz.h"
#include "powermeter/settings.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const powermeter::PowIni read = powermeter::parsePowIni(fuzz::asText(data, size));
  const powermeter::PowIni back = powermeter::parsePowIni(powermeter::formatPowIni(
      {common::strSingle(read.ViewStart), common::strSingle(read.ViewStop),
       std::to_string(read.Points), common::strSingle(read.LevelTop),
       common::strSingle(read.LevelBottom), read.calibration, read.delayText, read.R0}));
  FUZZ_CHECK(fuzz::sameSingle(read.ViewStart, back.ViewStart));
  FUZZ_CHECK(fuzz::sameSingle(read.ViewStop, back.ViewStop));
  FUZZ_CHECK(read.Points == back.Points);
  FUZZ_CHECK(fuzz::sameSingle(read.LevelTop, back.LevelTop));
  FUZZ_CHECK(fuzz::sameSingle(read.LevelBottom, back.LevelBottom));
  FUZZ_CHECK(read.calibration == back.calibration);
  FUZZ_CHECK(back.delayText == fuzz::recordKeeps(read.delayText));
  FUZZ_CHECK(fuzz::sameSingle(read.R0, back.R0));
  return 0;
}
