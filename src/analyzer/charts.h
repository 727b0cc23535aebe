// What the analyzer's chart shows of its six quantities: their colours, icons and
// tips, and which of them are drawn and selected. Their vertical scales are the
// chart engine's (chart::analyzerQuantityScale).
#pragma once

#include <array>
#include <cstdint>

#include "analyzer/impedance.h"
#include "analyzer/measurement.h"
#include "chart/smith.h"
#include "common/tr.h"

namespace kolm::analyzer {

// Palette numbers of the live traces (entries 0 to 5) and of the
// memory traces (entries 6 to 11), by quantity.
inline constexpr std::array<int, 2 * kQuantities> kColorTable{11, 10, 9, 15, 13, 14,
                                                              3,  2,  1, 7,  5,  6};
// The grid's palette colour.
inline constexpr int kGridColor = 12;

// The icon of each quantity, a file in the program's folder.
inline constexpr std::array<const char*, kQuantities> kIconFiles{"RL.ico",   "PH.ico", "ZETA.ico",
                                                                 "ERRE.ico", "IX.ico", "SWR.ico"};

// The unit of each quantity's readout (SWR has none).
inline constexpr std::array<const char*, kQuantities> kQuantityUnits{"dB",     "\u00b0", "\u03a9",
                                                                     "\u03a9", "\u03a9", ""};

// Tips of the check boxes and readout boxes, by quantity.
inline constexpr std::array<const char*, kQuantities> kQuantityTips{
    KOLM_TR_NOOP("kolm", "Return  Loss"), KOLM_TR_NOOP("kolm", "Phase"),
    KOLM_TR_NOOP("kolm", " Impedence"),   KOLM_TR_NOOP("kolm", "Resistance"),
    KOLM_TR_NOOP("kolm", "Reactance"),    KOLM_TR_NOOP("kolm", "Standing Wave Ratio")};
inline constexpr std::array<const char*, kQuantities> kReadoutTips{
    KOLM_TR_NOOP("kolm", "RL Value"), KOLM_TR_NOOP("kolm", "PH Value"),
    KOLM_TR_NOOP("kolm", "Z Value"),  KOLM_TR_NOOP("kolm", "R Value"),
    KOLM_TR_NOOP("kolm", "X Value"),  KOLM_TR_NOOP("kolm", "SWL Value")};

// Which quantities are drawn (shownTraces) and which one is selected
// (selectedQuantity): its scale is on the grid, its icon beside the chart and the
// cursor's height is read on its scale.
struct TraceSelection {
  std::array<bool, kQuantities> shownTraces{};
  Quantity selectedQuantity = kReturnLoss;

  // Quantity `q` chosen. Unless `alone`, its trace is toggled (several
  // accumulate); when the selected trace is hidden, the highest one drawn
  // becomes the selected one (the selection stays when none is left). When
  // `alone` (single-chart mode) only `q` is drawn, and selected.
  void select(Quantity q, bool alone);
};

// Points 0 to `points` of `values` as the Smith and polar charts draw them:
// the reflection of R and the signed X on the reference resistance, marked by
// the worse of the two quantities' marks, and which points' sign is unknown.
void diskTraceOf(const TraceValues& values, int points, chart::DiskTrace& out);

}  // namespace kolm::analyzer
