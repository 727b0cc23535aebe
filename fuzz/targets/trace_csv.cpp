// The CSV exports read back as stored traces: a table that reads gives a trace
// whose frequencies rise and whose values lie within their intervals; one that
// does not says why.
#include "analyzer/measurement.h"
#include "analyzer/trace_import.h"
#include "chart/stored_trace.h"
#include "fuzz.h"
#include "powermeter/level_trace.h"

using namespace kolm;

namespace {
void check(const std::optional<chart::StoredTrace>& trace, const std::string& error) {
  FUZZ_CHECK(trace.has_value() == error.empty());
  if (trace) FUZZ_CHECK(trace->size() > 0 && chart::traceProblem(*trace).empty());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::asText(data, size);
  const powermeter::LevelTraceRead levels = powermeter::levelTraceFromCsv("f", text);
  check(levels.trace, levels.error);
  for (int q = 0; q < analyzer::kQuantities; ++q) {
    const analyzer::TraceImport read = analyzer::quantityTraceFromCsv("f", text, q);
    check(read.trace, read.error);
  }
  return 0;
}
