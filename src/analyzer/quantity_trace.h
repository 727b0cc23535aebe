// One quantity of an analyzer sweep as a stored trace: each value with its
// interval and mark, the reactance with its inferred sign.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analyzer/measurement.h"
#include "chart/stored_trace.h"

namespace kolm::analyzer {

// "rl", "phase", "z", "r", "x", "swr": as masks and sessions name them.
std::string_view quantityName(int q);
std::optional<int> quantityByName(std::string_view name);

// Quantity q of `values`. Each interval is the value's half-width either side
// (the SWR's low end where its interval is unbounded above); a reactance
// whose sign is not known is approximate.
chart::StoredTrace quantityTrace(std::string name, const TraceValues& values, int q);

}  // namespace kolm::analyzer
