// Stored traces from files the analyzer or another program wrote: the CSV of
// the analyzer's export, and a one-port reflection table (.s1p).
#pragma once

#include <complex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chart/stored_trace.h"

namespace kolm::analyzer {

struct TraceImport {
  std::optional<chart::StoredTrace> trace;
  std::string error;  // "line N: ..." when there is no trace
};

// Quantity q of a CSV as formatCsv writes it: each value with the interval of
// its _pm column (empty for an SWR unbounded above: from 1 up; inf: unbounded)
// and the mark its flag words give (the point's flag, "uncertain:", a
// reactance of unknown sign approximate), and the load's reflection at each
// point from the return loss, phase and reactance columns (reflectionOf).
// Comment lines are passed over; the frequencies must rise.
TraceImport quantityTraceFromCsv(std::string name, std::string_view text, int q);

// Quantity q of reflections against 50 ohm at rising frequencies (MHz), as a
// one-port file gives them, with the reflections. Such a file states no
// interval: every value (and reflection) is approximate, its interval
// unbounded. A value without a finite number (|Z|
// at a reflection of 1) is open; a reflection above 1 (no passive load gives
// it; one within a millionth of 1 is taken as 1) is invalid.
chart::StoredTrace reflectionTrace(std::string name, std::span<const double> frequencyMHz,
                                   std::span<const std::complex<double>> gamma, int q);

}  // namespace kolm::analyzer
