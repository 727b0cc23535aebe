// sim.cfg: the texts of what the simulator has connected (and the board and
// its quartz when kept), read, kept and read back.
#include "fuzz.h"
#include "sim/sim_port.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = sim::parsePortOptions(fuzz::asText(data, size));
  if (!read) return 0;
  const auto text = sim::portOptionsText(*read);
  if (!text) {
    FUZZ_CHECK((read->dut + read->load + read->board + read->quartz).find('"') !=
               std::string::npos);
    return 0;
  }
  const auto back = sim::parsePortOptions(*text);
  FUZZ_CHECK(back && back->dut == read->dut && back->load == read->load &&
             back->board == read->board && back->quartz == read->quartz);
  return 0;
}
