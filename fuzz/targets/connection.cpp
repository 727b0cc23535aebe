// What the simulator has connected (--dut, --load): a text that parses is kept
// in sim.cfg, read back and parses to the same device.
#include "sim/connection.h"
#include "common/text.h"
#include "fuzz.h"
#include "sim/sim_port.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::asText(data, size);
  if (common::asciiLower(text).find("s1p") != std::string::npos) return 0;  // reads files
  const auto dut = sim::parseDut(text);
  const auto load = sim::parseLoad(text);
  FUZZ_CHECK(dut.ok() != !dut.error.empty() && load.ok() != !load.error.empty());
  if (!dut.ok() || !load.ok()) return 0;
  const auto kept = sim::portOptionsText({dut.value->text, load.value->text});
  if (!kept) return 0;  // a text with a double quote cannot be kept (and says so)
  const auto back = sim::parsePortOptions(*kept);
  FUZZ_CHECK(back);
  const auto d = sim::parseDut(back->dut);
  const auto l = sim::parseLoad(back->load);
  FUZZ_CHECK(d.ok() && l.ok());
  FUZZ_CHECK(d.value->kind == dut.value->kind && d.value->attenDb == dut.value->attenDb &&
             d.value->cutoffMHz == dut.value->cutoffMHz && d.value->order == dut.value->order &&
             d.value->fsMHz == dut.value->fsMHz && d.value->r == dut.value->r &&
             d.value->c == dut.value->c && d.value->c0 == dut.value->c0 &&
             d.value->r0 == dut.value->r0);
  FUZZ_CHECK(l.value->kind == load.value->kind && l.value->r == load.value->r &&
             l.value->l == load.value->l && l.value->c == load.value->c);
  for (double f : {0.0, 1.0, 14.2, 160.0}) {
    FUZZ_CHECK(std::isfinite(std::abs(d.value->transfer(f))));
    FUZZ_CHECK(std::isfinite(std::abs(l.value->gamma(f))));
  }
  return 0;
}
