// cable-measure: a stub's velocity factor, electrical length and loss from
// the resonances an analyzer pass finds at its near end.
#include <ostream>

#include "analyzer/cable.h"
#include "analyzer/files.h"
#include "cli/cli.h"
#include "common/text.h"

namespace kolm::cli {

namespace {

int runCableMeasure(Context& ctx, Args& args) {
  const double length = args.required("cable-measure", "--length");
  const auto endText = args.option("--end");
  auto start = args.number("--start");
  auto stop = args.number("--stop");
  const double points = args.wholeNumber("--points").value_or(2000);
  const double z0 = args.number("--z0").value_or(50);
  args.finish();
  if (!endText || (*endText != "open" && *endText != "short"))
    throw UsageError{"cable-measure needs --end open or --end short (the stub's far end)"};
  const auto end = *endText == "open" ? analyzer::StubEnd::Open : analyzer::StubEnd::Short;
  // By default the span that holds two resonances at any velocity factor from
  // 0.5 to 1, kept below the highest frequency the clock allows.
  const auto [low, high] = analyzer::stubSpan(length, end);
  if (!start) start = low;
  if (!stop) stop = std::min(high, 0.45 * ctx.instrument.params.refClockMHz);
  auto planned = analyzer::planSweep(*start, *stop, points, ctx.instrument.params.refClockMHz);
  if (!planned.ok()) throw UsageError{planned.error};
  if (*start <= 0) throw UsageError{"--start: sweep from above 0 MHz"};

  analyzer::Channels channels;
  if (!analyzerPass(ctx, planned.plan, "cable-measure", channels)) return 0;
  const analyzer::StubFigures figures =
      analyzer::measureStub(analyzer::exportTrace(planned.plan.points, planned.plan.start,
                                                  planned.plan.stop, channels, bridgeFigures(ctx)),
                            length, end, z0);
  if (!figures.ok()) {
    *ctx.err << "kolm-cli: cable-measure: " << figures.error << "\n";
    return kUsageError;
  }
  *ctx.out << analyzer::stubReport(figures);
  return 0;
}

}  // namespace

extern const Command kCableMeasureCommand{
    "cable-measure",
    "cable-measure --length M --end open|short [--start MHZ --stop MHZ --points N]\n"
    "        [--z0 OHM]\n"
    "    A stub of M metres, open or shorted at its far end, on the bridge: one\n"
    "    analyzer pass (default: the span where any velocity factor from 0.5 to 1\n"
    "    shows two resonances, 2000 steps). Its series resonances are the |Z|\n"
    "    minima of the stretches where |Z| lies below Z0 (unless the inferred sign\n"
    "    of the reactance falls through them, or the readings' intervals cannot\n"
    "    tell the dip from noise); the velocity factor is fitted to all of them,\n"
    "    the loss taken from R = Z0 tanh(alpha l) at the lowest (Z0 default 50\n"
    "    ohm). Prints vf= and vf_pm= (its half-width, from where each resonance\n"
    "    may lie), electrical_length_m= (the length light travels in the stub's\n"
    "    delay) and electrical_length_m_pm=, loss_db_per_100m= and\n"
    "    loss_db_per_100m_pm= (from R's interval), at_mhz= and resonances=. Exit\n"
    "    status 2, with the reason, when no resonance is found, when one alone\n"
    "    fits several velocity factors, when the resonances are not spaced as a\n"
    "    stub's (noise, or another far end) or give a velocity factor no cable has.",
    runCableMeasure};

}  // namespace kolm::cli
