#include <ostream>

#include "cli/cli.h"
#include "common/prompter.h"
#include "common/text.h"
#include "hw/dds.h"
#include "vfo/vfo.h"

namespace kolm::cli {

namespace {

std::string mhzText(double mhz) { return common::formatPattern(mhz, "0.000000"); }

int runTune(Context& ctx, Args& args) {
  auto modeText = args.option("--mode");
  auto ifText = args.option("--if");
  auto words = args.takePositional();
  args.finish();
  if (words.size() != 1) throw UsageError{"tune needs one frequency in MHz"};
  const double mhz = parseNumber(words[0], "frequency");

  common::ScriptedPrompter prompter;
  vfo::Vfo vfo(ctx.instrument, prompter, ctx.settings);
  if (modeText) {
    if (*modeText == "gen")
      vfo.settings.mode = vfo::Mode::GEN;
    else if (*modeText == "rtx")
      vfo.settings.mode = vfo::Mode::RTX;
    else if (*modeText == "rtx2")
      vfo.settings.mode = vfo::Mode::RTX2;
    else
      throw UsageError{"--mode: '" + *modeText + "' is not gen, rtx or rtx2"};
  }
  if (ifText) {
    vfo.settings.IF1 = common::NumberText(*ifText, parseNumber(*ifText, "--if"));
  }
  vfo.settings.ifChoice = vfo::IfChoice::IF1;
  vfo.settings.workingMHz = mhz;
  const double clock = ctx.instrument.params.refClockMHz;
  if (!(clock > 0)) throw UsageError{hw::noClockMessage()};
  // Strict, unlike the window: a result the VFO would have to hold at its limit
  // is refused before anything is sent.
  const vfo::Tuning planned = vfo::tune(mhz, vfo.settings.mode, vfo.settings.IF1.value, clock);
  if (planned.tooHigh)
    throw UsageError{std::string(vfo::kTooHighMessage) + ": the DDS would have to run at " +
                     common::shortestText(planned.requestedDdsMHz) + " MHz, above its limit of " +
                     common::shortestText(vfo::kMaxOutputShare * clock) +
                     " MHz (0.4 x the clock); nothing was sent"};

  vfo.ddsReset();
  requirePort(ctx);
  for (const std::string& m : prompter.messages()) *ctx.err << "kolm-cli: " << m << "\n";
  const auto& out = vfo.output();
  if (!out || !out->sent) throw UsageError{"nothing was sent to the DDS"};
  *ctx.out << "working=" << mhzText(vfo.settings.workingMHz) << " dds=" << mhzText(out->ddsMHz)
           << " word=" << out->word << "\n";
  return 0;
}

}  // namespace

extern const Command kTuneCommand{
    "tune",
    "tune MHZ [--mode gen|rtx|rtx2] [--if MHZ]\n"
    "    Tune as the VFO does: the working frequency MHZ (a negative one in gen mode\n"
    "    is held at 0), the DDS at it (gen), at |MHZ + IF| (rtx) or twice that (rtx2),\n"
    "    IF 10 MHz unless given. A DDS frequency above 0.4 x the clock is refused\n"
    "    (\"Frequency too High\", exit 2, nothing sent; the window would hold it at\n"
    "    the limit). Resets the DDS, loads the multiplier and the word; prints\n"
    "    working=MHZ dds=MHZ word=N. radio.ini is neither read nor written.",
    runTune};

}  // namespace kolm::cli
