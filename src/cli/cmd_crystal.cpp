// The crystal meter without a display: the measurement of one crystal (found
// from a wide sweep when asked), its load resonance, its verdict against
// limits, optionally added to a batch table.
#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "cli/level_pass.h"
#include "cli/limits.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_find.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/crystal_limits.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"

namespace kolm::cli {

namespace {

struct CrystalOptions {
  double start = 0, stop = 0, points = 0, delayMs = 0;
  int repeat = 1, average = 1;
  bool find = false;
  std::optional<double> loadPf;
  std::optional<powermeter::CrystalLimits> limits;
  std::optional<std::string> append, label;
};

CrystalOptions crystalOptions(Args& args) {
  CrystalOptions o;
  o.start = args.required("crystal", "--start");
  o.stop = args.required("crystal", "--stop");
  o.points = args.required("crystal", "--points", true);
  o.delayMs = args.number("--delay").value_or(0);
  const double repeat = args.wholeNumber("--repeat").value_or(1);
  o.average = args.averagePasses();
  o.find = args.flag("--find");
  o.loadPf = args.number("--cl");
  const auto limits = args.option("--limits");
  o.append = args.option("--append");
  o.label = args.option("--label");
  args.finish();
  if (repeat < 1 || repeat > 100) throw UsageError{"--repeat: 1 to 100 passes"};
  o.repeat = static_cast<int>(repeat);
  if (o.points < powermeter::kMinCrystalPoints)
    throw UsageError{"--points: the crystal meter needs at least " +
                     std::to_string(powermeter::kMinCrystalPoints) + " points"};
  if (o.loadPf && !powermeter::loadProblem(*o.loadPf).empty())
    throw UsageError{"--cl: " + powermeter::loadProblem(*o.loadPf)};
  if (limits) {
    std::string error;
    o.limits = powermeter::parseCrystalLimits(*limits, &error);
    if (!o.limits) throw UsageError{"--limits: " + error};
  }
  if (o.label && !o.append) throw UsageError{"--label names the crystal in the --append table"};
  if (o.label && !powermeter::labelProblem(*o.label).empty())
    throw UsageError{"--label: " + powermeter::labelProblem(*o.label)};
  return o;
}

// The warnings a front end without menus gives: how to narrow intervals the
// default counts widen, besides the result's own.
std::vector<std::string> crystalWarnings(const powermeter::CrystalParameters& p,
                                         const powermeter::CrystalSweep& sweep) {
  std::vector<std::string> out = powermeter::crystalFitWarnings(p, sweep);
  const std::string advice = powermeter::slopeAdvice(p.slope, "kolm-cli calibrate",
                                                     "kolm-cli crystal-calibrate --step-db 10");
  if (!advice.empty()) out.push_back(advice);
  for (const std::string& note : p.notes) out.push_back(note);
  return out;
}

// Appends the row to the table, re-read under its lock: another program may
// have added its crystal meanwhile, and waits while this one adds its own.
bool appendRow(Context& ctx, const std::string& file, powermeter::CrystalRow row) {
  const common::FolderLock lock(file);
  powermeter::BatchRead batch = powermeter::readBatchCsv(file);
  if (batch.ok()) {
    row.number = 1;
    for (const auto& r : batch.rows) row.number = std::max(row.number, r.number + 1);
    batch.rows.push_back(row);
    if (writeResult(ctx, file, powermeter::formatBatchCsv(batch.rows))) return true;
  } else {
    *ctx.err << "kolm-cli: --append: " << batch.error << "\n";
  }
  *ctx.err << "kolm-cli: the crystal above is not in '" << common::shortened(file) << "'\n";
  return false;
}

// The crystal's row judged against the limits (if any), printed and appended
// to the batch (if asked); the exit status.
int judgeAndReport(Context& ctx, const CrystalOptions& o,
                   const powermeter::CrystalParameters& result,
                   const powermeter::CrystalSweep& sweep) {
  powermeter::CrystalRow row =
      powermeter::crystalRow(0, o.label.value_or(""), result, crystalWarnings(result, sweep));
  int status = 0;
  if (o.limits) {
    const powermeter::CrystalVerdict v = powermeter::judgeCrystal(row, *o.limits);
    row.verdict = std::string(powermeter::verdictName(v.verdict));
    for (const std::string& why : v.reasons) row.warnings.push_back(why);
    status = v.verdict == powermeter::Verdict::Fail            ? kVerdictFail
             : v.verdict == powermeter::Verdict::Indeterminate ? kVerdictIndeterminate
                                                               : 0;
  }
  // The crystal measured is printed whatever becomes of its row.
  *ctx.out << powermeter::crystalLines(row) << std::flush;
  if (o.append && !appendRow(ctx, *o.append, row)) return kWriteError;
  return status;
}

int runCrystal(Context& ctx, Args& args) {
  CrystalOptions o = crystalOptions(args);
  if (o.append) {
    checkOutput("--append", *o.append);
    const powermeter::BatchRead batch = powermeter::readBatchCsv(*o.append);
    if (!batch.ok()) throw UsageError{"--append: " + batch.error};
  }
  const powermeter::ReferenceTable through = throughReference(ctx);
  std::string error;
  const auto record =
      powermeter::readFixtureRecord(ctx.settings.file(powermeter::kFixtureRecordFile), &error);
  if (!record) throw UsageError{error + " (run crystal-calibrate again, or remove it)"};
  const powermeter::PowIni ini = readPowIniWhole(ctx);
  const hw::HardwareParams& params = ctx.instrument.params;

  std::optional<LevelPass> pass;
  auto sweep = [&] {
    return powermeter::CrystalSweep{pass->trace, pass->plan.points, pass->plan.viewStartMHz,
                                    pass->plan.viewStopMHz};
  };
  auto input = [&] {
    return powermeter::CrystalFitInput{.sweep = sweep(),
                                       .through = through,
                                       .r0Ohm = ini.r0Ohm,
                                       .calibration = ini.calibration,
                                       .clockMHz = params.refClockMHz,
                                       .fixture = &*record,
                                       .clockOffsetPpm = params.clockOffsetPpm,
                                       .clockTolerancePpm = params.clockTolerancePpm,
                                       .loadPf = o.loadPf};
  };
  auto run = [&](double start, double stop, double points) {
    pass = runLevelPass(ctx, "crystal", start, stop, points, o.delayMs, ini.calibration, o.average);
    return pass.has_value();
  };
  if (!run(o.start, o.stop, o.points)) return 0;  // the stop signal gives the exit status
  // Finding the crystal: the sweeps it takes, each said as it starts.
  for (int done = 1; o.find; ++done) {
    const powermeter::FindStep next =
        powermeter::nextFindStep(input(), done, static_cast<int>(o.points));
    if (next.kind == powermeter::FindStep::Kind::NotFound) {
      *ctx.err << "kolm-cli: " << next.error << "\n";
      return kWriteError;
    }
    if (next.kind == powermeter::FindStep::Kind::Fit) break;
    *ctx.err << "crystal: sweep " << done + 1 << " of at most " << powermeter::kFindSweeps << " ("
             << powermeter::findStageText(next.stage)
             << "): " << common::shortestText(next.startMHz, 10) << " to "
             << common::shortestText(next.stopMHz, 10) << " MHz, " << next.points << " points\n";
    o.start = next.startMHz;
    o.stop = next.stopMHz;
    o.points = next.points;
    if (!run(o.start, o.stop, o.points)) return 0;
  }
  // Each pass fitted on its own (each the mean curve of --average passes);
  // the passes then averaged.
  std::vector<powermeter::CrystalParameters> passes;
  for (int k = 0; k < o.repeat; ++k) {
    if (k > 0 && !run(o.start, o.stop, o.points)) return 0;
    passes.push_back(powermeter::fitCrystal(input()));
    if (!passes.back().ok()) {
      *ctx.err << "kolm-cli: errore\n" << passes.back().error << "\n";
      return kWriteError;
    }
  }
  const powermeter::CrystalParameters result = powermeter::combineRepeats(passes);
  return judgeAndReport(ctx, o, result, sweep());
}

}  // namespace

extern const Command kCrystalCommand{
    "crystal",
    "crystal --start MHZ --stop MHZ --points N [--delay MS] [--repeat N] [--average N]\n"
    "        [--find] [--cl PF] [--limits LIMITS] [--append FILE.csv [--label TEXT]]\n"
    "    Measures the crystal in the fixture with a pass across its series\n"
    "    resonance, against Quartz.rif of the working folder (exit 2 without it)\n"
    "    and the loss steps of Quartz.cfg: its equivalent circuit fitted to the\n"
    "    whole curve and checked (or, when the sweep holds too little of it or the\n"
    "    fit fails its checks, estimated from the -3 dB points and the notch, with\n"
    "    the reason in a warning). Prints fs_mhz=, fp_mhz=, r_ohm=, l_mh=, cs_ff=,\n"
    "    c0_pf= and q= with the digits their intervals deserve, each followed by\n"
    "    KEY_pm= (its interval's half-width: the fit's noise, the detector's stated\n"
    "    error as the calibration leaves it, the DDS clock's tolerance of dds.cfg\n"
    "    for Fs and Fp) and, with --repeat N (1 to 100 passes, averaged), KEY_sd=\n"
    "    (their spread); none for what the sweep cannot give. Then fs_mhz_pm_rel=\n"
    "    and r_ohm_pm_rel= (the half-widths for comparing crystals of one batch:\n"
    "    without what moves them alike), calibration=default|level|steps|suspect\n"
    "    (what the detector's slope is known from), method=fit|edges, passes=N and\n"
    "    a warning= line for each reason the result may not be trusted. A sweep\n"
    "    without a resonance, or one the sweep's end cuts, is refused: exit 1,\n"
    "    nothing printed or appended.\n"
    "    --find takes the first pass as any sweep that holds the resonance (3 to 30\n"
    "    MHz will do): the crystal is located and swept again, coarsely then over\n"
    "    about 5 widths either side, in at most 3 passes, each said on standard\n"
    "    error; the last one is measured (and repeated).\n"
    "    --cl PF adds fl_mhz= (with _pm) and load_pf=: the frequency the crystal\n"
    "    oscillates at with PF (above 0, up to 1000 pF) across it.\n"
    "    --limits fs_min=MHZ,fs_max=MHZ,r_max=OHM,q_min=Q (any of them) sorts the\n"
    "    crystal by its intervals: verdict=pass (exit 0), fail (exit 4: an\n"
    "    interval wholly beyond a limit) or indeterminate (exit 5: an interval\n"
    "    straddles a limit), with a warning= line for each limit not met.\n"
    "    --append adds the crystal, numbered, to a batch table (created when\n"
    "    missing). --average N (1 to 100) fits the mean curve of N passes (levels\n"
    "    averaged in linear power) instead of one pass; with --repeat each repeat\n"
    "    is such a mean.",
    runCrystal};

}  // namespace kolm::cli
