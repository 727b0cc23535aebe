// A batch of crystals measured one after another with the crystal meter: the
// table of their parameters with their intervals, kept as a CSV file, and the
// matching of crystals into groups of nearly equal series resonance (and
// motional resistance), as a ladder filter needs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "powermeter/crystal_fit.h"
#include "powermeter/ladder_spread.h"

namespace kolm::powermeter {

// A value of a batch: the half-width of its interval and, over repeated
// passes, their spread; empty where not known (a table written before either
// was kept).
struct BatchValue {
  double value = 0;
  std::optional<double> pm;
  std::optional<double> sd;
  BatchValue(double v = 0, std::optional<double> pm = {}, std::optional<double> sd = {})
      : value(v), pm(pm), sd(sd) {}
  bool operator==(const BatchValue&) const = default;
};

// One crystal of a batch. What the measurement could not give is empty: L, Cs
// and Q when the level does not fall 3 dB inside the sweep on both sides of the
// peak, Fp and C0 when neither a fit nor a notch gave them.
struct CrystalRow {
  int number = 0;
  std::string label;
  BatchValue fsMHz;
  std::optional<BatchValue> fpMHz;
  BatchValue rOhm;
  std::optional<BatchValue> lMilliHenry;
  std::optional<BatchValue> csFemtoFarad;
  std::optional<BatchValue> c0PicoFarad;
  std::optional<BatchValue> q;
  // The frequency of oscillation at the load capacitance asked for.
  std::optional<BatchValue> flMHz;
  std::optional<double> loadPf;
  // The half-widths for comparing crystals of one batch: what moves crystals
  // alike (the detector's stated error, the through path) left out. Empty: pm.
  std::optional<double> fsRelPmMHz;
  std::optional<double> rRelPmOhm;
  int repeats = 1;
  std::optional<double> stepHz;  // the sweep's step
  std::string method;            // "fit", "edges", or empty when not known
  std::string calibration;       // "default", "level", "steps", or empty when not known
  std::string verdict;           // "pass", "fail", "indeterminate", or empty: not sorted
  std::optional<int> group;      // set by matching
  std::vector<std::string> warnings;
  bool operator==(const CrystalRow&) const = default;
};

// The row of a measurement (p.ok()).
CrystalRow crystalRow(int number, std::string label, const CrystalParameters& p,
                      std::vector<std::string> warnings);

// The row's crystal as a circuit in SI units, C0 0 when it was not measured;
// empty when the row has no L (its sweep did not hold the -3 dB points).
std::optional<CrystalModel> crystalModel(const CrystalRow& row);

// The half-widths the row's crystal is known within, as a ladder filter's
// prediction carries them (none where the row keeps none).
CrystalSpread crystalSpread(const CrystalRow& row);

// The half-widths of the network's crystals, in its order, each from the
// first of `rows` that names it. A crystal whose row keeps no interval for
// Fs, R or L (a table written before they were kept) gives none, and the list
// is then shorter than the network: its spread is not known.
std::vector<CrystalSpread> networkSpreads(const LadderNetwork& network,
                                          const std::vector<const CrystalRow*>& rows);

// Why a result may not be trusted beyond its intervals: the fall-back to the
// edge estimate, Fs within a tenth of the span from an end of the sweep.
std::vector<std::string> crystalFitWarnings(const CrystalParameters& p, const CrystalSweep& sweep);

// The lines the command line prints for one crystal: for each of fs_mhz,
// fp_mhz, r_ohm, l_mh, cs_ff, c0_pf and q (and fl_mhz, then load_pf=, when a
// load was asked for) the value with the digits its interval deserves,
// KEY_pm= its interval's half-width and, after repeated passes, KEY_sd= their
// spread ("none" for what was not measured); then fs_mhz_pm_rel= and
// r_ohm_pm_rel=, calibration=, method=fit|edges, passes=N, verdict= when
// sorted, and one warning= line per warning.
std::string crystalLines(const CrystalRow& row);

// Why a label cannot name a crystal (it holds a comma, a double quote or a
// control character, or is longer than 40 characters); empty when it can.
std::string labelProblem(std::string_view label);

// The table as CSV: the header "number,label,fs_mhz,fs_mhz_pm,fs_mhz_sd,
// fs_mhz_pm_rel,fp_mhz,...,r_ohm,r_ohm_pm,r_ohm_sd,r_ohm_pm_rel,l_mh,...,cs_ff,
// ...,c0_pf,...,q,q_pm,q_sd,fl_mhz,fl_mhz_pm,fl_mhz_sd,load_pf,passes,step_hz,
// method,calibration,verdict,group,warnings", then one
// line per crystal (empty fields for what is not known, the warnings joined
// with " | "), CR LF line ends.
std::string formatBatchCsv(const std::vector<CrystalRow>& rows);

struct BatchRead {
  std::vector<CrystalRow> rows;
  std::string error;  // names the line that could not be read; empty when all were
  bool ok() const { return error.empty(); }
};
// Reads what formatBatchCsv writes (either line end), and tables with fewer
// columns (number, label, fs_mhz, r_ohm and warnings at least, as earlier
// versions wrote them). A file without such a header, with a column it does
// not know or with a line that is not a crystal is refused whole.
BatchRead parseBatchCsv(std::string_view content);
// The batch file at `path`; a missing file is an empty batch.
BatchRead readBatchCsv(const std::filesystem::path& path);

// A group of crystals for one filter: indices into the table, by rising Fs.
struct CrystalGroup {
  std::vector<size_t> members;
  double fsSpreadHz = 0;    // highest minus lowest Fs
  double fsSpreadPmHz = 0;  // how much more the true spread may be
  double rSpreadPct = 0;    // highest over lowest R, less 1, in percent
};

// Disjoint groups of `size` crystals (2 to 12) whose Fs intervals (Fs within
// the batch's half-width, fs_mhz_pm_rel or else pm) lie within `toleranceHz`
// of each other and, when `rTolerancePct` is given, whose highest R interval
// reaches at most that percentage above the lowest. The tightest group (least
// spread of the intervals, then least R spread) is taken first, then the
// tightest of the rest, until no group is left; returned by rising spread.
// Crystals with a negative R (a peak above the reference) never match.
std::vector<CrystalGroup> matchCrystals(const std::vector<CrystalRow>& rows, int size,
                                        double toleranceHz,
                                        std::optional<double> rTolerancePct = std::nullopt);

// "tolerance below resolution" when `toleranceHz` is below twice a crystal's
// Fs half-width or below its sweep step; empty otherwise. `crystals` counts
// the crystals it is true of.
std::string toleranceWarning(const std::vector<CrystalRow>& rows, double toleranceHz,
                             int* crystals = nullptr);

// Each crystal's group number (1 for the first group) in its row; crystals in
// no group lose theirs.
void setGroups(std::vector<CrystalRow>& rows, const std::vector<CrystalGroup>& groups);

// The lines the command line prints: "group=N fs_spread_hz=S fs_spread_hz_pm=P
// members=A,B,...", labels (or numbers, for a crystal without a label);
// "group=none" when there are no groups.
std::string matchReport(const std::vector<CrystalRow>& rows,
                        const std::vector<CrystalGroup>& groups);

// The name a crystal goes by: its label, or its number when it has none.
std::string crystalName(const CrystalRow& row);

}  // namespace kolm::powermeter
