// Rows of a log over time: a stored trace (or its reading at one frequency)
// with the time of its pass, as CSV lines or one NDJSON object per pass. Each
// value is written with 7 significant digits and its interval as a half-width
// rounded outward; a bound, approximate, open or invalid value has none and
// its mark says why.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "chart/stored_trace.h"

namespace kolm::chart {

enum class LogFormat { Csv, Ndjson };

// The CSV log's first lines: "# quantity=NAME unit=UNIT", then the header
// time_utc,pass,freq_mhz,value,pm,mark. NDJSON has none.
std::string logHeader(const StoredTrace& trace, LogFormat format);

// "2026-12-08T17:01:02.345Z".
std::string utcText(std::chrono::system_clock::time_point time);

// The lines of pass `pass` taken at `time`: every point of the trace, or with
// `atMHz` its reading there (pointAt; a frequency outside the trace is
// written as invalid). Appended to `out`.
void appendLogRows(std::string& out, const StoredTrace& trace, long pass,
                   std::chrono::system_clock::time_point time, LogFormat format,
                   std::optional<double> atMHz = std::nullopt);

// "at_least", "at_most", "approximate", "open", "invalid", "uncertain", "".
std::string_view markWord(Mark mark);

}  // namespace kolm::chart
