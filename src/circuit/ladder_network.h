// A crystal ladder filter as built, and its design file.
//
// Topology: a source of resistance r_term; an optional series capacitor
// (c_end1); the K crystals in series; a capacitor to ground at each junction
// between two crystals (c12, c23, ...); an optional series capacitor at the
// other end (c_endK); a load of r_term. Inner meshes may have a series
// capacitor too (c_s2, ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "circuit/crystal.h"

namespace kolm::circuit {

// The crystals a ladder filter may hold.
inline constexpr int kMinLadderCrystals = 2;
inline constexpr int kMaxLadderCrystals = 8;

struct LadderCrystal {
  std::string name;
  CrystalModel model;
  bool operator==(const LadderCrystal&) const = default;
};

// The crystals in order, a shunt capacitor at each of the K - 1 junctions, a
// series capacitor in any mesh (first and last: the end capacitors), both
// terminations r_term. Capacitances in farad.
struct LadderNetwork {
  double rTermOhm = 0;
  std::vector<LadderCrystal> crystals;
  std::vector<double> shunt;                  // K - 1
  std::vector<std::optional<double>> series;  // K
  bool operator==(const LadderNetwork&) const = default;
};

// The network as a design file: "ladder_filter=1", r_term_ohm=, c_end1_pf=,
// crystal1=NAME fs_mhz=F r_ohm=R l_mh=L c0_pf=C, c12_pf=, ..., one per line.
std::string formatLadderFile(const LadderNetwork& network);
// Reads what formatLadderFile writes (keys in any order, either line end);
// empty with the reason, naming the line, when it is not a whole design.
std::optional<LadderNetwork> parseLadderFile(std::string_view content, std::string* error);

}  // namespace kolm::circuit
