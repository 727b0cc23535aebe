// The analyzer's promise table: every figure the analyzer promises about its
// readings, measured over many loads on the simulated boards and printed as a
// table, one line per figure and one column per way of reading a board.
//
//   scripts/promise-table.sh [build-dir]     (builds, then runs this program)
//   promise_table [--points N] [--loads resistors|reactive|lines|all]
//   KOLM_PROMISE_MISSES=1 promise_table     also lists every unmarked miss on stderr
//   KOLM_PROMISE_DUMP=FILE promise_table    also writes every point's values, half-widths,
//                                           flag, marks and sign to FILE, exactly (hex), to
//                                           compare two builds point by point
//
// Each load is swept (1 to 60 MHz, 200 steps unless --points says otherwise) on
// each board, its readings computed as the analyzer window and kolm-cli compute
// them (computeTraceValues with the figures in use), and compared point by
// point with the load's own reflection from the simulator's circuit model.
// Each board is read with the figures in use there (the published ones; the
// harsh board's own check) and again corrected, calibrated with the
// procedure's standards as the simulator presents them (200 steps).
//
// The parts sit in promise_table/: the loads (loads.cpp), the boards and the
// ways of reading them (boards.cpp) and the figures (figures.cpp).
// To add a figure: write a function from a `Reading` (the sweeps of every load
// on one board, read one way) to its text and add a line for it to `figures()`
// with its name and its goal. Helpers there give each point's truth
// (`truthOf`), whether a quantity's interval holds it (`holds`) and medians.
// To add a way of reading (a column): add it to `readings()` in boards.cpp.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "promise_table/promise.h"

namespace {

using namespace kolm;
using namespace kolm::promise;
using analyzer::TraceValues;

// Every point of every column, each number exactly.
void dump(const std::vector<Reading>& columns, const char* path) {
  std::FILE* out = std::fopen(path, "w");
  if (!out) {
    std::fprintf(stderr, "promise_table: cannot write %s\n", path);
    std::exit(2);
  }
  for (const Reading& r : columns)
    for (const Sweep& s : r.sweeps)
      for (size_t i = 0; i < s.truth.size(); ++i) {
        const TraceValues& t = s.trace;
        std::fprintf(out, "%s %s %s %a %d %d %u", r.board.c_str(), r.mode.c_str(),
                     s.load->name.c_str(), t.frequencies[i], static_cast<int>(t.flags[i]),
                     i < t.signs.size() ? static_cast<int>(t.signs[i]) : -1,
                     i < t.uncertain.size() ? static_cast<unsigned>(t.uncertain[i]) : 0u);
        for (int q = 0; q < analyzer::kQuantities; ++q)
          std::fprintf(out, " %a %a", static_cast<double>(t.values[q][i]),
                       static_cast<double>(t.halfWidths[q][i]));
        std::fprintf(out, "\n");
      }
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  int points = 200;
  std::string which = "all";
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--points")
      points = std::atoi(argv[k + 1]);
    else if (option == "--loads")
      which = argv[k + 1];
  }
  if (points < 1 || points > 20000 || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: promise_table [--points N] [--loads resistors|reactive|lines|all]\n");
    return 2;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kolm-promise-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::vector<LoadCase> cases = loads(folder, which);
  const std::vector<Reading> columns = readings(cases, points);
  std::filesystem::remove_all(folder);
  if (const char* path = std::getenv("KOLM_PROMISE_DUMP")) dump(columns, path);

  std::printf("Promise table: %zu loads, %g to %g MHz in %d steps\n\n", cases.size(), kStartMHz,
              kStopMHz, points);
  std::printf("%-36s %-9s", "figure", "goal");
  for (const Reading& r : columns) std::printf(" %-17s", (r.board + ", " + r.mode).c_str());
  std::printf("\n");
  for (const Figure& f : figures()) {
    std::printf("%-36s %-9s", f.name.c_str(), f.goal.c_str());
    for (const Reading& r : columns) std::printf(" %-17s", f.value(r).c_str());
    std::printf("\n");
  }
  return 0;
}
