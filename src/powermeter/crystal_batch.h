// A batch of crystals measured one after another with the crystal meter: the
// table of their parameters, kept as a CSV file, and the matching of crystals
// into groups of nearly equal series resonance (and motional resistance), as a
// ladder filter needs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "powermeter/crystal.h"

namespace kolm::powermeter {

// One crystal of a batch. What the measurement could not give is empty: Fp when
// the trace does not rise again after the notch, C0 without Fp, and Q, L and Cs
// when the level does not fall 3 dB inside the sweep on both sides of the peak.
struct CrystalRow {
  int number = 0;
  std::string label;
  double fsMHz = 0;
  std::optional<double> fpMHz;
  double rOhm = 0;
  std::optional<double> lMilliHenry;
  std::optional<double> csFemtoFarad;
  std::optional<double> c0PicoFarad;
  std::optional<double> q;
  std::vector<std::string> warnings;
  bool operator==(const CrystalRow&) const = default;
};

// The row of a measurement that succeeded (result.ok()), analysed from `sweep`.
// C0 follows from Fp^2 = Fs^2 (1 + Cs / C0).
CrystalRow crystalRow(int number, std::string label, const CrystalResult& result,
                      const CrystalSweep& sweep, std::vector<std::string> warnings);

// The lines the command line prints for one crystal: fs_mhz=, fp_mhz=, r_ohm=,
// l_mh=, cs_ff=, c0_pf=, q= ("none" for what was not measured), then one
// warning= line per warning.
std::string crystalLines(const CrystalRow& row);

// Why a label cannot name a crystal (it holds a comma, a double quote or a
// control character, or is longer than 40 characters); empty when it can.
std::string labelProblem(std::string_view label);

// The table as CSV: the header "number,label,fs_mhz,fp_mhz,r_ohm,l_mh,cs_ff,
// c0_pf,q,warnings", then one line per crystal (empty fields for what was not
// measured, the warnings joined with " | "), CR LF line ends.
std::string formatBatchCsv(const std::vector<CrystalRow>& rows);

struct BatchRead {
  std::vector<CrystalRow> rows;
  std::string error;  // names the line that could not be read; empty when all were
  bool ok() const { return error.empty(); }
};
// Reads what formatBatchCsv writes (either line end). A file without the header
// or with a line that is not a crystal is refused whole.
BatchRead parseBatchCsv(std::string_view content);
// The batch file at `path`; a missing file is an empty batch.
BatchRead readBatchCsv(const std::filesystem::path& path);

// A group of crystals for one filter: indices into the table, by rising Fs.
struct CrystalGroup {
  std::vector<size_t> members;
  double fsSpreadHz = 0;  // highest minus lowest Fs
  double rSpreadPct = 0;  // highest over lowest R, less 1, in percent
};

// Disjoint groups of `size` crystals (2 to 12) whose Fs lie within
// `toleranceHz` of each other and, when `rTolerancePct` is given, whose highest
// R is at most that percentage above the lowest. The tightest group (least Fs
// spread, then least R spread) is taken first, then the tightest of the rest,
// until no group is left; returned by rising Fs spread. Crystals with a
// negative R (a peak above the reference) never match.
std::vector<CrystalGroup> matchCrystals(const std::vector<CrystalRow>& rows, int size,
                                        double toleranceHz,
                                        std::optional<double> rTolerancePct = std::nullopt);

// The lines the command line prints: "group=N fs_spread_hz=S members=A,B,...",
// labels (or numbers, for a crystal without a label); "group=none" when there
// are no groups.
std::string matchReport(const std::vector<CrystalRow>& rows,
                        const std::vector<CrystalGroup>& groups);

// The name a crystal goes by: its label, or its number when it has none.
std::string crystalName(const CrystalRow& row);

}  // namespace kolm::powermeter
