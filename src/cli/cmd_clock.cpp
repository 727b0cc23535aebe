// The DDS clock's accuracy as dds.cfg keeps it: the stated tolerance, or an
// offset measured against a counter (or a crystal of known frequency) with
// the measurement's own uncertainty in its place.
#include <cmath>
#include <ostream>

#include "cli/cli.h"
#include "common/files.h"
#include "common/text.h"
#include "hw/dds.h"
#include "hw/params.h"

namespace kolm::cli {

namespace {

// One unit of the last digit typed: what a reading shows it to.
double lastDigit(const std::string& text) {
  const size_t point = text.find('.');
  if (point == std::string::npos) return 1;
  size_t digits = 0;
  for (size_t i = point + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
  return std::pow(10.0, -static_cast<double>(digits));
}

int runClock(Context& ctx, Args& args) {
  const auto tolerance = args.number("--tolerance-ppm");
  const auto at = args.number("--at");
  const auto readsText = args.option("--reads");
  const auto readsPm = args.number("--reads-pm-hz");
  const auto measuredText = args.option("--measured-fs");
  const auto knownText = args.option("--known-fs");
  args.finish();
  hw::HardwareParams& p = ctx.instrument.params;
  if (measuredText || knownText) {
    // A crystal of known Fs as the crystal meter measured it (its offset
    // already applied): the clock's offset follows from the two.
    if (!measuredText || !knownText || at || readsText || tolerance || readsPm)
      throw UsageError{"--measured-fs MHZ and --known-fs MHZ come together, alone"};
    const double measuredFs =
        args.inRange("--measured-fs", parseNumber(*measuredText, "--measured-fs"), *measuredText);
    const double known =
        args.inRange("--known-fs", parseNumber(*knownText, "--known-fs"), *knownText);
    if (!(measuredFs > 0) || !(known > 0))
      throw UsageError{"--measured-fs and --known-fs: above 0 MHz"};
    const double offset = (known / measuredFs * (1 + p.clockOffsetPpm * 1e-6) - 1) * 1e6;
    const double ppm =
        (lastDigit(*measuredText) / measuredFs + lastDigit(*knownText) / known) * 1e6;
    if (const std::string why = hw::clockPpmProblem(ppm, offset); !why.empty())
      throw UsageError{why + " Are both the same crystal's series resonance?"};
    p.clockOffsetPpm = offset;
    p.clockTolerancePpm = ppm;
  }
  const bool measured = at || readsText;
  if (measured && (!at || !readsText)) throw UsageError{"--at MHZ and --reads MHZ come together"};
  if (measured && tolerance)
    throw UsageError{"--tolerance-ppm states the clock; --at and --reads measure it"};
  if (readsPm && !measured) throw UsageError{"--reads-pm-hz goes with --reads"};
  if (tolerance) {
    if (const std::string why = hw::clockPpmProblem(*tolerance); !why.empty())
      throw UsageError{"--tolerance-ppm: " + why};
    p.clockTolerancePpm = *tolerance;
    p.clockOffsetPpm = 0;
  } else if (measured) {
    const double reads = args.inRange("--reads", parseNumber(*readsText, "--reads"), *readsText);
    if (!(*at > 0) || !(reads > 0)) throw UsageError{"--at and --reads: frequencies above 0 MHz"};
    const hw::TuningWord word = hw::checkedTuningWord(*at, p.refClockMHz);
    if (!word.error.empty()) throw UsageError{"--at: " + word.error};
    // The frequency the DDS makes at --at with the nominal clock.
    const double nominal = word.word * p.refClockMHz / 4294967296.0;
    const double pmHz = readsPm.value_or(lastDigit(*readsText) * 1e6);
    if (!(pmHz >= 0)) throw UsageError{"--reads-pm-hz: 0 Hz or more"};
    const double offset = (reads / nominal - 1) * 1e6;
    const double ppm = pmHz / (reads * 1e6) * 1e6;
    if (const std::string why = hw::clockPpmProblem(ppm, offset); !why.empty())
      throw UsageError{why + " Is --reads the frequency the DDS makes at --at?"};
    p.clockOffsetPpm = offset;
    p.clockTolerancePpm = ppm;
  }
  if (tolerance || measured || measuredText) {
    const auto file = ctx.settings.file(hw::kHardwareConfigFile);
    checkOutput("dds.cfg", file.string());
    std::string error;
    if (!hw::writeHardwareConfig(p, file, ctx.settings.keeper(), &error)) {
      *ctx.err << "kolm-cli: dds.cfg could not be written: " << error << "\n";
      return kWriteError;
    }
  }
  *ctx.out << "clock_mhz=" << common::shortestText(p.refClockMHz)
           << "\nclock_offset_ppm=" << common::shortestText(p.clockOffsetPpm, 6)
           << "\nclock_tolerance_ppm=" << common::shortestText(p.clockTolerancePpm, 3) << "\n";
  return 0;
}

}  // namespace

extern const Command kClockCommand{
    "clock",
    "clock [--tolerance-ppm PPM | --at MHZ --reads MHZ [--reads-pm-hz HZ] |\n"
    "       --measured-fs MHZ --known-fs MHZ]\n"
    "    The DDS clock's accuracy, which every absolute crystal frequency carries:\n"
    "    prints clock_mhz=, clock_offset_ppm= and clock_tolerance_ppm= as dds.cfg\n"
    "    keeps them (50 ppm and no offset until stated). --tolerance-ppm states the\n"
    "    clock's tolerance (0 to 10000 ppm; the offset back to 0). --at MHZ --reads\n"
    "    MHZ measures it instead: the DDS set to MHZ reads MHZ on a counter you\n"
    "    trust, within --reads-pm-hz (default one unit of the last digit typed);\n"
    "    the offset found and that uncertainty replace the stated figure.\n"
    "    --measured-fs MHZ --known-fs MHZ does the same from a crystal of known\n"
    "    series resonance as the crystal command measured it (each within a unit\n"
    "    of its last digit typed). Both are written into dds.cfg (records six and\n"
    "    seven, which readers of four records never look at). Needs no port.",
    runClock, Command::Port::WhenNeeded};

}  // namespace kolm::cli
