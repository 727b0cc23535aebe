// How the analyzer's readouts, markers and panel write a quantity of a sweep
// point: a marked value in words ("≥ 30.0 dB", "open"), a number with its unit,
// the reactance with its inferred sign ("-j159.2 Ω", "±j2.1 Ω" when the sign is
// not known).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "analyzer/measurement.h"

namespace kolm::analyzer {

// Quantity `q` of point `i` of `trace`; `value`, when given, replaces the
// point's own value (a marker's reading between two points), the point still
// deciding the marks and the sign. Numbers are written with `pattern` (the
// readout boxes' "0.0"; see common::formatPattern).
std::string quantityText(const TraceValues& trace, size_t i, int q,
                         std::optional<double> value = std::nullopt,
                         std::string_view pattern = "0.0");

// What a reactance of the sign `sign` is written after: "+j", "−j", or "±j"
// when the sign is not known.
const char* reactancePrefix(ReactanceSign sign);

// The words a marker adds after the reactance: ", sign inferred" or
// ", sign unknown" (empty for a value in words).
std::string signNote(const TraceValues& trace, size_t i);

// The point of `trace` nearest to `mhz`, if the trace has any.
std::optional<size_t> nearestPoint(const TraceValues& trace, double mhz);

}  // namespace kolm::analyzer
