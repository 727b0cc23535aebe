// match: the L networks that match a load to a resistance, with their parts
// rounded to preferred values.
#include <ostream>

#include "analyzer/matching.h"
#include "cli/cli.h"
#include "common/text.h"

namespace kolm::cli {

namespace {

int runMatch(Context& ctx, Args& args) {
  const double r = args.required("match", "--r");
  const double x = args.required("match", "--x");
  const double mhz = args.required("match", "--freq");
  const double target = targetOption(args);
  const circuit::ESeries series = seriesOption(args);
  args.finish();
  for (const auto& network : analyzer::matchNetworks({r, x}, mhz, target)) {
    *ctx.out << analyzer::matchLine(network, {r, x}, mhz, target, series) << "\n";
    endResult(ctx);
  }
  return 0;
}

}  // namespace

extern const Command kMatchCommand{
    "match",
    "match --r OHM --x OHM --freq MHZ [--target OHM] [--series E12|E24]\n"
    "    The L networks (one element in series, one in shunt) that show the load\n"
    "    R + jX as the target resistance (default 50 ohm) at MHZ, one line each:\n"
    "    topology= (the elements from the load towards the source, e.g.\n"
    "    shunt_C_at_load,series_L), form= (lowpass, highpass, two_L, two_C, or the\n"
    "    one element needed), l_uh= and c_pf= (l_series_uh= and l_shunt_uh=, or\n"
    "    c_series_pf= and c_shunt_pf=, where both are of a kind), the parts rounded\n"
    "    to the nearest preferred value of the series (default E12: l_e12_uh=, ...)\n"
    "    and swr_rounded=, the SWR the rounded parts give at MHZ. Needs no port.",
    runMatch, Command::Port::Never};

}  // namespace kolm::cli
