// What the analyzer's chart shows of its six quantities: their vertical scales,
// colours, icons, and which of them are drawn and selected.
#pragma once

#include <array>
#include <cstdint>

#include "analyzer/impedance.h"

namespace kolm::analyzer {

// The vertical scale of a quantity: the value at the chart's top edge, the value
// at its bottom edge, and the step between its eleven horizontal grid lines
// (drawn from the top value downwards).
struct QuantityScale {
  float top;
  float bottom;
  float step;
};

inline constexpr std::array<QuantityScale, kQuantities> kQuantityScales{{
    {-5.0f, 45.05f, -5.0f},  // return loss grows downwards
    {180.0f, -0.2f, 18.0f},  // phase
    {500.0f, -1.0f, 50.0f},  // abs(Z)
    {500.0f, -1.0f, 50.0f},  // R
    {500.0f, -1.0f, 50.0f},  // X
    {11.0f, 0.99f, 1.0f},    // SWR
}};
inline constexpr int kGridLines = 11;

// ColorAssign: palette numbers of the live traces (entries 0 to 5) and of the
// memory traces (entries 6 to 11), by quantity.
inline constexpr std::array<int, 2 * kQuantities> kColorTable{11, 10, 9, 15, 13, 14,
                                                              3,  2,  1, 7,  5,  6};
// The grid's palette colour.
inline constexpr int kGridColor = 12;

// The icon of each quantity, a file in the program's folder.
inline constexpr std::array<const char*, kQuantities> kIconFiles{"RL.ico",   "PH.ico", "ZETA.ico",
                                                                 "ERRE.ico", "IX.ico", "SWR.ico"};

// Tips of the check boxes and readout boxes, by quantity.
inline constexpr std::array<const char*, kQuantities> kGrafTips{
    "Return  Loss", "Phase", " Impedence", "Resistance", "Reactance", "Standing Wave Ratio"};
inline constexpr std::array<const char*, kQuantities> kCalcTips{
    "RL Value", "PH Value", "Z Value", "R Value", "X Value", "SWL Value"};

// Which quantities are drawn (TracceAttive) and which one is selected
// (GrandezzaScelta): its scale is on the grid, its icon beside the chart and the
// cursor's height is read on its scale.
struct TraceSelection {
  std::array<bool, kQuantities> TracceAttive{};
  int16_t GrandezzaScelta = 0;

  // Graf_Click: a click on the check box of quantity `index`. Without `combine`
  // it toggles that trace (several accumulate); when the selected trace is
  // hidden, the highest enabled quantity becomes the selected one (the selection
  // stays when none is left). With `combine` (single-chart mode) only that
  // quantity is drawn and selected.
  void Graf_Click(int index, bool combine);
};

}  // namespace kolm::analyzer
