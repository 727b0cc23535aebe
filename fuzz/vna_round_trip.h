// A .vna chart (opened from a .vna or a .vec file) is saved and opens again the same.
#pragma once

#include "analyzer/files.h"
#include "fuzz.h"

namespace kolm::fuzz {

inline void checkSavedAndOpenedAgain(const analyzer::ChartData& a) {
  FUZZ_CHECK(a.points >= analyzer::kMinPoints && a.points <= analyzer::kMaxPoints);
  FUZZ_CHECK(a.returnLossCounts.size() == static_cast<size_t>(a.points) + 1);
  FUZZ_CHECK(a.phaseCounts.size() == a.returnLossCounts.size());
  const auto back = analyzer::parseVna(analyzer::formatVna(a));
  FUZZ_CHECK(back.ok());
  FUZZ_CHECK(back.chart.points == a.points);
  FUZZ_CHECK(sameDouble(a.start, back.chart.start));
  FUZZ_CHECK(sameDouble(a.stop, back.chart.stop));
  FUZZ_CHECK(back.chart.returnLossCounts == a.returnLossCounts &&
             back.chart.phaseCounts == a.phaseCounts);
}

}  // namespace kolm::fuzz
