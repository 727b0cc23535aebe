#include <ostream>

#include "cli/cli.h"
#include "hw/dds.h"

namespace kolm::cli {

uint32_t tuneDds(Context& ctx, double mhz) {
  auto word = hw::checkedTuningWord(mhz, ctx.instrument.params.refClockMHz);
  if (!word.ok()) throw UsageError{word.error};
  ctx.instrument.startGenerator(word.word);
  requirePort(ctx);
  return word.word;
}

namespace {
int runDds(Context& ctx, Args& args) {
  auto mhz = args.number("--freq");
  args.finish();
  if (!mhz) throw UsageError{"dds needs --freq MHZ"};
  uint32_t word = tuneDds(ctx, *mhz);
  *ctx.out << "word=" << word << "\n";
  return 0;
}
}  // namespace

extern const Command kDdsCommand{
    "dds",
    "dds --freq MHZ\n"
    "    Reset the DDS, load the multiplier and the tuning word for MHZ; prints word=N.",
    runDds};

}  // namespace kolm::cli
