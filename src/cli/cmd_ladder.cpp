// A crystal ladder filter designed from crystals of a batch table: a matched
// group or crystals named one by one.
#include <filesystem>
#include <ostream>

#include "cli/cli.h"
#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/ladder_filter.h"
#include "powermeter/ladder_spread.h"

namespace kolm::cli {

namespace {

int runLadderDesign(Context& ctx, Args& args) {
  const auto group = args.wholeNumber("--group");
  const auto members = args.option("--members");
  const auto bw = args.number("--bw-hz");
  const auto shapeText = args.option("--shape");
  const auto rTerm = args.number("--r-term");
  const auto out = args.option("--out");
  const auto parts = args.option("--parts");
  const auto files = args.takePositional();
  args.finish();
  if (files.size() != 1 || group.has_value() == members.has_value() || !bw || !shapeText)
    throw UsageError{
        "ladder-design needs FILE.csv, --group N or --members X1,X2,..., --bw-hz HZ and --shape"};
  std::string error;
  const auto shape = powermeter::parseLadderShape(*shapeText, &error);
  if (!shape) throw UsageError{"--shape: " + error};
  if (parts && *parts != "exact" && *parts != "e12" && *parts != "e24")
    throw UsageError{"--parts: exact, e12 or e24"};
  if (parts && !out) throw UsageError{"--parts chooses the parts --out writes"};
  if (out) checkOutput("--out", *out);
  requireInputFile(files[0]);
  const powermeter::BatchRead batch = powermeter::readBatchCsv(files[0]);
  if (!batch.ok()) throw UsageError{batch.error};

  // The crystals: the group's, or the ones named (by label or number), in order.
  std::vector<const powermeter::CrystalRow*> chosen;
  if (group) {
    for (const auto& row : batch.rows)
      if (row.group == static_cast<int>(*group)) chosen.push_back(&row);
    if (chosen.empty())
      throw UsageError{files[0] + " has no crystal in group " + common::shortestText(*group) +
                       " (crystal-match writes the groups)"};
  } else {
    for (size_t at = 0; at <= members->size();) {
      size_t comma = members->find(',', at);
      if (comma == std::string::npos) comma = members->size();
      const std::string name(common::trimBlanks(members->substr(at, comma - at)));
      at = comma + 1;
      const powermeter::CrystalRow* found = nullptr;
      for (const auto& row : batch.rows)
        if (powermeter::crystalName(row) == name || std::to_string(row.number) == name)
          found = &row;
      if (!found) throw UsageError{"--members: no crystal " + name + " in " + files[0]};
      chosen.push_back(found);
    }
  }
  std::vector<powermeter::LadderCrystal> crystals;
  for (const powermeter::CrystalRow* row : chosen) {
    const auto model = powermeter::crystalModel(*row);
    if (!model)
      throw UsageError{"crystal " + powermeter::crystalName(*row) +
                       " has no L: measure it with a sweep that holds its -3 dB points"};
    crystals.push_back({powermeter::crystalName(*row), *model});
  }
  const powermeter::LadderDesign design =
      powermeter::designLadder(crystals, {static_cast<int>(crystals.size()), *bw, *shape, rTerm});
  if (!design.ok()) throw UsageError{design.error};
  // The prediction again for crystals anywhere within their intervals.
  const std::vector<powermeter::CrystalSpread> spreads =
      powermeter::networkSpreads(design.network, chosen);
  const powermeter::LadderSpread spread =
      powermeter::ladderSpread(design.network, design.predicted, *bw, spreads);
  if (out) {
    const powermeter::LadderNetwork& built = parts == "e12"   ? design.e12
                                             : parts == "e24" ? design.e24
                                                              : design.network;
    if (!writeResult(ctx, *out, powermeter::formatLadderFile(built))) return kWriteError;
  }
  *ctx.out << powermeter::ladderReport(design, &spread);
  for (const powermeter::CrystalRow* row : chosen)
    if (!row->c0PicoFarad)
      *ctx.out << "warning=crystal " << powermeter::crystalName(*row)
               << " has no C0: predicted without it\n";
  return 0;
}

}  // namespace

extern const Command kLadderDesignCommand{
    "ladder-design",
    "ladder-design FILE.csv (--group N | --members X1,X2,...) --bw-hz HZ\n"
    "        --shape butterworth|chebyshev:RIPPLE_DB|cohn [--r-term OHM]\n"
    "        [--out DESIGN [--parts exact|e12|e24]]\n"
    "    A crystal ladder filter of the batch's crystals (2 to 8: a group that\n"
    "    crystal-match wrote, or crystals named by label or number) with a -3 dB\n"
    "    bandwidth of HZ, designed from each crystal's measured Fs, R, L and C0.\n"
    "    Prints the parts (c12_pf=, ..., c_end1_pf=, c_endK_pf= or none, c_sN_pf=\n"
    "    where an inner mesh needs tuning, r_term_ohm=, order=), the predicted\n"
    "    response (centre_mhz=, bw3_hz=, bw6_hz=, bw60_hz=, ripple_db=, il_db=,\n"
    "    shape_factor=) and how far the crystals' intervals let the built filter\n"
    "    differ from it (centre_mhz_pm=, bw3_hz_pm=, ripple_db_pm=, il_db_pm=),\n"
    "    then the same with E12 and E24 parts (e12_..., e24_...) and warning=\n"
    "    lines. --r-term sets the termination instead of the\n"
    "    designed one. --out writes the design (its exact, E12 or E24 parts) for\n"
    "    the simulator's --dut ladder:DESIGN. Needs no port.",
    runLadderDesign, Command::Port::Never};

}  // namespace kolm::cli
