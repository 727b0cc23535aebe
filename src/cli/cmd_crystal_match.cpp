// The matching of a batch's crystals into groups for ladder filters.
#include <ostream>

#include "cli/cli.h"
#include "common/files.h"
#include "powermeter/crystal_batch.h"

namespace kolm::cli {

namespace {

int runCrystalMatch(Context& ctx, Args& args) {
  const auto size = args.wholeNumber("--size");
  const auto tolerance = args.number("--tolerance-hz");
  const auto rTolerance = args.number("--r-tolerance-pct");
  const auto files = args.takePositional();
  args.finish();
  if (files.size() != 1 || !size || !tolerance)
    throw UsageError{"crystal-match needs FILE.csv --size K --tolerance-hz HZ"};
  if (*size < 2 || *size > 12) throw UsageError{"--size: 2 to 12 crystals"};
  requireInputFile(files[0]);
  checkOutput("FILE.csv", files[0]);
  const common::FolderLock lock(files[0]);  // no crystal is added meanwhile
  powermeter::BatchRead batch = powermeter::readBatchCsv(files[0]);
  if (!batch.ok()) throw UsageError{batch.error};
  const auto groups =
      powermeter::matchCrystals(batch.rows, static_cast<int>(*size), *tolerance, rTolerance);
  // Each crystal's group goes into the table, for ladder-design --group.
  powermeter::setGroups(batch.rows, groups);
  if (!writeResult(ctx, files[0], powermeter::formatBatchCsv(batch.rows))) return kWriteError;
  printResults(ctx, powermeter::matchReport(batch.rows, groups), {"group="});
  const std::string warning = powermeter::toleranceWarning(batch.rows, *tolerance);
  if (!warning.empty()) *ctx.out << "warning=" << warning << "\n";
  return 0;
}

}  // namespace

extern const Command kCrystalMatchCommand{
    "crystal-match",
    "crystal-match FILE.csv --size K --tolerance-hz HZ [--r-tolerance-pct P]\n"
    "    Groups of K crystals (2 to 12) of a batch table whose Fs intervals lie\n"
    "    within HZ of each other and whose highest R interval reaches at most P %\n"
    "    above the lowest, the tightest first: one line group=N fs_spread_hz=S\n"
    "    fs_spread_hz_pm=P members=LABEL,... per group, by rising spread, or\n"
    "    group=none; then warning=tolerance below resolution when HZ is below\n"
    "    twice a crystal's Fs interval or its sweep step. Each crystal's group\n"
    "    number is written into the table's group column. Needs no port.",
    runCrystalMatch, Command::Port::Never};

}  // namespace kolm::cli
