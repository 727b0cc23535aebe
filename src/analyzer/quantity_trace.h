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

// The load's reflection from its return loss and phase (each with its
// interval and mark) and the reactance's sign: its size from the return loss,
// its angle from the phase with that sign, and a disk holding the whole ring
// sector the two intervals leave (either sign where the sign is not known or
// the phase's interval reaches 0 or 180 degrees; no size above 1). Invalid
// where either is; approximate where either is a bound, open or approximate
// (the disk then from what the mark leaves); uncertain where either is.
chart::ReflectionPoint reflectionOf(const chart::TracePoint& returnLoss,
                                    const chart::TracePoint& phase, ReactanceSign sign);
// The reflection at point i of `values`.
chart::ReflectionPoint reflectionAt(const TraceValues& values, size_t i);

// Quantity q of `values` (and, `withReflections`, the reflection at every
// point, for a trace that is kept). Each interval is the value's half-width
// either side (the SWR's low end where its interval is unbounded above); a
// reactance whose sign is not known is approximate.
chart::StoredTrace quantityTrace(std::string name, const TraceValues& values, int q,
                                 bool withReflections = false);

}  // namespace kolm::analyzer
