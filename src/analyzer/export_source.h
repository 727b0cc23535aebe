// What an export's values stand for, said in its comment lines and in the
// reports: the load at the far end of a cable taken out or the bridge's own
// end, readings corrected by a calibration or not, and the bridge figures
// their intervals rest on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analyzer/cable.h"

namespace kolm::analyzer {

struct ExportSource {
  std::optional<Cable> cable;  // taken out: the values are the load's at its far end
  // The calibration that corrected the readings, as its user knows it; empty
  // for readings taken as the bridge gave them.
  std::string calibration;
  // The figures a check of this bridge measured (bridge.cfg), or the published
  // ones, which nothing has checked on this board.
  bool figuresMeasured = false;
  // .s1p: write points whose reactance's sign is unknown as inductive (listed
  // as sign_unknown) instead of leaving them out.
  bool keepUnknownSigns = false;
  // Read on the simulated instrument: said first, with instrument=simulated.
  bool simulated = false;
};

// "published" or "measured".
const char* figuresWord(bool measured);

// The sentences that say it, one per line, without comment marks, then a
// line of key=value words for programs: instrument=simulated for values of the
// simulated instrument, end=bridge|far, the cable's
// cable_length_m=, cable_vf=, cable_loss_db_per_100m=, cable_loss_at_mhz= and
// cable_z0_ohm= when one is taken out, correction=none or the calibration's
// name, figures=published|measured.
std::vector<std::string> sourceLines(const ExportSource& source);

// The report's line: "figures=published" or "figures=measured".
std::string figuresReport(bool measured);

// Which calibration corrected the readings, as one word in key=value lines
// (exports and reports alike): "none", or the calibration's name with each
// blank written as '_'.
std::string correctionWord(const std::string& calibration);
// The report's line: "correction=" and that word.
std::string correctionReport(const std::string& calibration);

}  // namespace kolm::analyzer
