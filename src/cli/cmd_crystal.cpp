// The crystal meter without a display: the fixture's through calibration
// (Quartz.rif and R0), the measurement of one crystal, optionally added to a
// batch table, and the matching of a batch into groups for ladder filters.
#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "cli/level_pass.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"

namespace kolm::cli {

namespace {

int runCrystalCalibrate(Context& ctx, Args& args) {
  const auto r0 = args.number("--r0");
  args.finish();
  powermeter::PowIni ini = readPowIniWhole(ctx);
  if (r0) {
    // As single precision, where pow.ini keeps it: 1e-320 would be 0 there.
    if (!(static_cast<float>(*r0) > 0) || !common::fitsSingle(*r0))
      throw UsageError{"--r0: the fixture's source and load in ohm, above 0"};
    ini.R0 = static_cast<float>(*r0);
  }
  if (!(ini.R0 > 0))
    throw UsageError{"pow.ini holds no R0: give the fixture's resistance with --r0 OHM"};
  const auto quartzFile = ctx.settings.file(powermeter::kQuartzRifFile);
  const auto settingsFile = ctx.settings.file(powermeter::kSettingsFile);
  checkOutput("Quartz.rif", quartzFile.string());
  // R0 goes into pow.ini after the pass: a pow.ini that cannot take it is said
  // before Quartz.rif is replaced.
  checkOutput("pow.ini", settingsFile.string());
  std::string error = powermeter::calibrationError(ini.calibration);
  auto words =
      powermeter::tableWords(ctx.instrument.params.refClockMHz, powermeter::kRifEntries, &error);
  if (!words || !error.empty()) throw UsageError{error};

  powermeter::QuartzReferenceJob job(ctx.instrument, *words, ini.calibration);
  const bool complete = runPass(ctx, job, "crystal-calibrate", powermeter::kRifEntries, [&job] {
    return static_cast<int>(job.progress() * powermeter::kRifEntries);
  });
  switchOff(ctx, 1);
  if (!complete) {
    *ctx.err << "crystal-calibrate: stopped; Quartz.rif and pow.ini not changed\n";
    return 0;
  }
  const std::string wrong = powermeter::throughTableProblem(
      job.table(), powermeter::levelLimits(ini.calibration), "The crystal fixture's through path");
  if (!wrong.empty()) {
    *ctx.err << "kolm-cli: " << wrong << " Quartz.rif and pow.ini were not changed.\n";
    return kWriteError;
  }
  if (!powermeter::writeRif(job.table(), quartzFile, &error)) {
    *ctx.err << "kolm-cli: " << error << "\n";
    return kWriteError;
  }
  // R0 where the window keeps it, the other settings as pow.ini holds them now.
  auto text = [](double v) { return common::shortestText(v, 7); };
  powermeter::PowIniChange change;
  if (r0) change.R0 = ini.R0;
  if (const auto kept = powermeter::changePowIni(ctx.settings, change); !kept.written) {
    *ctx.err << "kolm-cli: " << kept.message() << " R0 is not kept\n";
    return kWriteError;
  }
  *ctx.out << "file=" << powermeter::kQuartzRifFile << " entries=" << powermeter::kRifEntries
           << " r0_ohm=" << text(ini.R0) << "\n";
  return 0;
}

int runCrystal(Context& ctx, Args& args) {
  const double start = args.required("crystal", "--start");
  const double stop = args.required("crystal", "--stop");
  const double points = args.required("crystal", "--points", true);
  const double delayMs = args.number("--delay").value_or(0);
  const double repeat = args.wholeNumber("--repeat").value_or(1);
  const int average = args.averagePasses();
  const auto append = args.option("--append");
  const auto label = args.option("--label");
  args.finish();
  if (repeat < 1 || repeat > 100) throw UsageError{"--repeat: 1 to 100 passes"};
  if (points < powermeter::kMinCrystalPoints)
    throw UsageError{"--points: the crystal meter needs at least " +
                     std::to_string(powermeter::kMinCrystalPoints) + " points"};
  if (label && !append) throw UsageError{"--label names the crystal in the --append table"};
  if (label && !powermeter::labelProblem(*label).empty())
    throw UsageError{"--label: " + powermeter::labelProblem(*label)};
  powermeter::BatchRead batch;
  if (append) {
    checkOutput("--append", *append);
    batch = powermeter::readBatchCsv(*append);
    if (!batch.ok()) throw UsageError{"--append: " + batch.error};
  }
  powermeter::ReferenceTable crystalReference{};
  if (powermeter::findQuartzRif(ctx.settings.path()).empty())
    throw UsageError{"no Quartz.rif in the working folder: run crystal-calibrate first"};
  powermeter::readQuartzRif(crystalReference, ctx.settings.path());
  const powermeter::PowIni ini = readPowIniWhole(ctx);

  // Each pass fitted on its own; the passes then averaged.
  std::vector<powermeter::CrystalParameters> passes;
  std::optional<LevelPass> pass;
  for (int k = 0; k < static_cast<int>(repeat); ++k) {
    // Each pass fitted is the mean curve of `average` passes.
    pass = runLevelPass(ctx, "crystal", start, stop, points, delayMs, ini.calibration, average);
    if (!pass) return 0;  // the stop signal gives the exit status
    const powermeter::CrystalSweep sweep{pass->trace, pass->plan.Points, pass->plan.ViewStart,
                                         pass->plan.ViewStop};
    passes.push_back(powermeter::fitCrystal(
        {sweep, crystalReference, ini.R0, ini.calibration, ctx.instrument.params.refClockMHz, {}}));
    if (!passes.back().ok()) {
      *ctx.err << "kolm-cli: errore\n" << passes.back().error << "\n";
      return kWriteError;
    }
  }
  const powermeter::CrystalParameters result = powermeter::combineRepeats(passes);
  const powermeter::CrystalSweep sweep{pass->trace, pass->plan.Points, pass->plan.ViewStart,
                                       pass->plan.ViewStop};
  powermeter::CrystalRow row = powermeter::crystalRow(
      0, label.value_or(""), result, powermeter::crystalFitWarnings(result, sweep));
  // The crystal measured is printed whatever becomes of its row.
  *ctx.out << powermeter::crystalLines(row) << std::flush;
  if (!append) return 0;
  // The table as it is now, read again under the lock: another program may
  // have added its crystal meanwhile, and waits while this one adds its own.
  const common::FolderLock lock(*append);
  batch = powermeter::readBatchCsv(*append);
  if (batch.ok()) {
    row.number = 1;
    for (const auto& r : batch.rows) row.number = std::max(row.number, r.number + 1);
    batch.rows.push_back(row);
    if (writeResult(ctx, *append, powermeter::formatBatchCsv(batch.rows))) return 0;
  } else {
    *ctx.err << "kolm-cli: --append: " << batch.error << "\n";
  }
  *ctx.err << "kolm-cli: the crystal above is not in '" << common::shortened(*append) << "'\n";
  return kWriteError;
}

int runCrystalMatch(Context& ctx, Args& args) {
  const auto size = args.wholeNumber("--size");
  const auto tolerance = args.number("--tolerance-hz");
  const auto rTolerance = args.number("--r-tolerance-pct");
  const auto files = args.takePositional();
  args.finish();
  if (files.size() != 1 || !size || !tolerance)
    throw UsageError{"crystal-match needs FILE.csv --size K --tolerance-hz HZ"};
  if (*size < 2 || *size > 12) throw UsageError{"--size: 2 to 12 crystals"};
  if (!(*tolerance >= 0)) throw UsageError{"--tolerance-hz: 0 Hz or more"};
  if (rTolerance && !(*rTolerance >= 0)) throw UsageError{"--r-tolerance-pct: 0 % or more"};
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

extern const Command kCrystalCalibrateCommand{
    "crystal-calibrate",
    "crystal-calibrate [--r0 OHM]\n"
    "    The crystal fixture's through calibration, the crystal bypassed (on the\n"
    "    simulator: --dut through): 1601 levels from 0.1 to 160 MHz into Quartz.rif,\n"
    "    and R0 (the fixture's source plus load; default the one pow.ini keeps) into\n"
    "    pow.ini. Prints file=Quartz.rif entries=1601 r0_ohm=R0. A through path at\n"
    "    the detector's floor, overloading it, or flat (the detector not following\n"
    "    the generator) is refused: exit 1, nothing written.",
    runCrystalCalibrate};

extern const Command kCrystalCommand{
    "crystal",
    "crystal --start MHZ --stop MHZ --points N [--delay MS] [--repeat N] [--average N]\n"
    "        [--append FILE.csv [--label TEXT]]\n"
    "    Measures the crystal in the fixture with a pass across its series\n"
    "    resonance, against Quartz.rif of the working folder (exit 2 without it):\n"
    "    its equivalent circuit fitted to the whole curve (or, when the sweep holds\n"
    "    too little of it, estimated from the -3 dB points, with the reason in a\n"
    "    warning). Prints fs_mhz=, fp_mhz=, r_ohm=, l_mh=, cs_ff=, c0_pf= and q=\n"
    "    with the digits their intervals deserve, each followed by KEY_pm= (its\n"
    "    interval's half-width) and, with --repeat N (1 to 100 passes, averaged),\n"
    "    KEY_sd= (their spread); none for what the sweep cannot give. Then\n"
    "    fs_mhz_pm_rel= and r_ohm_pm_rel= (the half-widths for comparing crystals\n"
    "    of one batch), method=fit|edges, passes=N and a warning= line for each\n"
    "    reason the result may not be trusted. --append adds the crystal, numbered,\n"
    "    to a batch table (created when missing). Exit 1 when nothing can be\n"
    "    computed. --average N (1 to 100) fits the mean curve of N passes (levels\n"
    "    averaged in linear power) instead of one pass; with --repeat each repeat\n"
    "    is such a mean.",
    runCrystal};

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
