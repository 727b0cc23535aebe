// Kolm's command tree for remote control: the generator, the power meter's
// and the analyzer's sweeps, their data with intervals and marks, the
// crystal meter, the calibrations and the exports, on a Station.
#pragma once

#include "remote/station.h"
#include "scpi/tree.h"

namespace kolm::remote {

// The standard commands and Kolm's own, carried out on `station`.
void addCommands(scpi::CommandTree& tree, Station& station);

// The quantities CALCulate:DATA? gives, by name.
enum class Quantity { ReturnLoss, Phase, Impedance, Resistance, Reactance, Swr, Level };

// Four numbers per point for `quantity` of `trace`: the value, the low and
// high ends of its interval (NaN where the instrument states none) and its
// mark (chart::Mark: 0 a plain reading, 1 at least, 2 at most, 3
// approximate, 4 open, 5 invalid, 6 uncertain).
std::vector<double> traceRows(const Trace& trace, Quantity quantity);

// Whether `name` may be written by MMEMory:STORe in `folder`: a relative
// path that stays inside it. Empty when it may; else why not.
std::string storePathProblem(const std::filesystem::path& folder, const std::string& name);

}  // namespace kolm::remote
