// Options several commands share.
#include <algorithm>

#include "cli/cli.h"
#include "common/bands.h"
#include "common/text.h"
#include "hw/params.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/sweep.h"

namespace kolm::cli {

namespace {

// What a number option can mean physically, wider than any instrument's own
// limits (which the commands check besides, with their reasons): a value
// beyond it is a typing error or a hostile one, and 1e-320 or 1e300 would turn
// into infinities and NaN in the maths.
constexpr double kMegaOhm = 1e6;
constexpr OptionRange kRanges[] = {
    {nullptr, "--start", 0, 1000, "MHz"},
    {nullptr, "--stop", 0, 1000, "MHz"},
    {nullptr, "--freq", 0, 1000, "MHz"},
    {nullptr, "--delay", 0, powermeter::kMaxDelayMs, "ms"},
    {nullptr, "--target", 0.001, kMegaOhm, "ohm"},
    {"analyze", "--match-at", 0.001, 1000, "MHz"},
    {"calibrate", "--level", -60, 0, "dBm"},
    {"match", "--freq", 0.001, 1000, "MHz"},
    {"match", "--r", 0.001, kMegaOhm, "ohm"},
    {"match", "--x", -kMegaOhm, kMegaOhm, "ohm"},
    {"cable-measure", "--length", 0.01, 10000, "m"},
    {"cable-measure", "--z0", 1, 1000, "ohm"},
    {"crystal", "--cl", 0.1, powermeter::kMaxLoadPf, "pF"},
    {"crystal-calibrate", "--r0", 0.1, 10000, "ohm"},
    {"crystal-calibrate", "--step-db", powermeter::kMinStepDb, powermeter::kMaxStepDb, "dB"},
    {"crystal-calibrate", "--step-pm-db", 0, 10, "dB"},
    {"crystal-match", "--tolerance-hz", 0, 1e6, "Hz"},
    {"crystal-match", "--r-tolerance-pct", 0, 1000, "%"},
    {"ladder-design", "--bw-hz", 1, 1e6, "Hz"},
    {"ladder-design", "--r-term", 0.1, kMegaOhm, "ohm"},
    {"clock", "--at", 0.001, 1000, "MHz"},
    {"clock", "--reads", 0.001, 1000, "MHz"},
    {"clock", "--reads-pm-hz", 0, 1e6, "Hz"},
    {"clock", "--measured-fs", 0.001, 1000, "MHz"},
    {"clock", "--known-fs", 0.001, 1000, "MHz"},
    {"clock", "--tolerance-ppm", 0, hw::kMaxClockPpm, "ppm"},
};

}  // namespace

std::span<const OptionRange> optionRanges() { return kRanges; }

const OptionRange* optionRange(std::string_view command, std::string_view option) {
  const OptionRange* any = nullptr;
  for (const OptionRange& r : kRanges) {
    if (option != r.option) continue;
    if (r.command && command == r.command) return &r;
    if (!r.command) any = &r;
  }
  return any;
}

std::string optionRangesHelp() {
  std::string text =
      "Ranges of the number options (a value outside is refused before the port is\n"
      "opened; the commands' own limits, above, may be narrower):\n";
  for (const OptionRange& r : kRanges) {
    std::string line =
        "  " + std::string(r.option) + " (" + (r.command ? r.command : "any command") + ")";
    line.resize(std::max<size_t>(line.size() + 1, 36), ' ');
    text += line + common::shortestText(r.low) + " to " + common::shortestText(r.high) + " " +
            r.unit + "\n";
  }
  return text;
}

circuit::ESeries seriesOption(Args& args) {
  const auto text = args.option("--series");
  if (!text || common::asciiLower(*text) == "e12") return circuit::ESeries::E12;
  if (common::asciiLower(*text) == "e24") return circuit::ESeries::E24;
  throw UsageError{"--series: E12 or E24, not '" + *text + "'"};
}

double targetOption(Args& args) { return args.number("--target").value_or(50); }

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
