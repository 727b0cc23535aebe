// Options several commands share.
#include "cli/cli.h"
#include "common/bands.h"
#include "common/text.h"

namespace kolm::cli {

powermeter::ESeries seriesOption(Args& args) {
  const auto text = args.option("--series");
  if (!text || common::asciiLower(*text) == "e12") return powermeter::ESeries::E12;
  if (common::asciiLower(*text) == "e24") return powermeter::ESeries::E24;
  throw UsageError{"--series: E12 or E24, not '" + *text + "'"};
}

double targetOption(Args& args) {
  const double target = args.number("--target").value_or(50);
  if (!(target > 0)) throw UsageError{"--target: a resistance above 0 ohm"};
  return target;
}

int regionOption(Args& args) {
  const double region = args.wholeNumber("--region").value_or(1);
  if (region != 1 && region != 2 && region != 3)
    throw UsageError{"--region: the IARU region, 1, 2 or 3"};
  return static_cast<int>(region);
}

std::optional<std::pair<double, double>> bandOption(Args& args, int region, double clockMHz) {
  const auto name = args.option("--band");
  if (!name) return std::nullopt;
  const auto band = common::findBand(*name, region);
  if (!band) {
    std::string names;
    for (const auto& b : common::amateurBands(region)) names += std::string(" ") + b.name;
    throw UsageError{"--band: '" + *name + "' is not a band of region " + std::to_string(region) +
                     " (" + names.substr(1) + ")"};
  }
  // The highest frequency a pass may reach: below half the clock.
  if (clockMHz > 0 && !common::bandFits(*band, clockMHz / 2))
    throw UsageError{"--band: the " + std::string(band->name) + " band's span reaches " +
                     common::shortestText(common::bandSpan(*band).second) +
                     " MHz; the DDS clock of " + common::shortestText(clockMHz) +
                     " MHz sweeps below " + common::shortestText(clockMHz / 2) + " MHz"};
  return common::bandSpan(*band);
}

}  // namespace kolm::cli
