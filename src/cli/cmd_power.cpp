// power-sweep: one power meter pass without a display, with the calibration the
// power meter window keeps in pow.ini, saved as a chart file or as CSV.
#include <filesystem>
#include <ostream>
#include <tuple>

#include "cli/cli.h"
#include "cli/level_pass.h"
#include "cli/limits.h"
#include "common/text.h"
#include "powermeter/analysis.h"
#include "powermeter/chart_file.h"
#include "powermeter/level_trace.h"
#include "powermeter/normalise.h"
#include "powermeter/settings.h"
#include "powermeter/sweep.h"

namespace kolm::cli {

namespace {

int runPowerSweep(Context& ctx, Args& args) {
  auto startOption = args.number("--start");
  auto stopOption = args.number("--stop");
  const int region = regionOption(args);
  if (const auto span = bandOption(args, region, ctx.instrument.params.refClockMHz)) {
    if (startOption || stopOption)
      throw UsageError{"--band sets the span: leave out --start and --stop"};
    std::tie(startOption, stopOption) = *span;
  }
  if (!startOption) throw UsageError{"power-sweep needs --start (or --band)"};
  if (!stopOption) throw UsageError{"power-sweep needs --stop (or --band)"};
  const double start = *startOption, stop = *stopOption;
  const double points = args.required("power-sweep", "--points", true);
  const double delayMs = args.number("--delay").value_or(0);
  auto out = args.option("--out");
  const bool report = args.flag("--report");
  const bool normalise = args.flag("--normalise");
  const int average = args.averagePasses();
  const auto mask = limitsOption(args, "power-sweep", {"level"});
  args.finish();
  if (!out) throw UsageError{"power-sweep needs --out FILE"};
  const std::string ext = common::asciiLower(std::filesystem::path(*out).extension().string());
  if (ext != ".pwm" && ext != ".csv")
    throw UsageError{"--out: the file name must end in .pwm or .csv"};
  checkOutput("--out", *out);
  // Relative levels need the level reference, and only CSV holds them.
  powermeter::ReferenceTable rif{};
  std::string rifProblem;
  const int rifEntries =
      normalise
          ? powermeter::readLevelRif(rif, ctx.settings.file(powermeter::kLevelRifFile), &rifProblem)
          : 0;
  if (normalise && ext != ".csv")
    throw UsageError{"--normalise: relative levels are written as CSV only (.pwm keeps levels)"};
  if (normalise && !rifProblem.empty()) throw UsageError{"--normalise: " + rifProblem};
  if (normalise && rifEntries < 1)
    throw UsageError{"--normalise: no level reference (level.rif) in the working folder"};

  const powermeter::PowIni ini = readPowIniWhole(ctx);
  const auto pass =
      runLevelPass(ctx, "power-sweep", start, stop, points, delayMs, ini.calibration, average);
  if (!pass) return 0;  // the stop signal gives the exit status
  const powermeter::SweepPlan& plan = pass->plan;
  const std::vector<float>& trace = pass->trace;

  powermeter::ChartFile chart;
  chart.points = plan.points;
  chart.start = plan.viewStartMHz;
  chart.stop = plan.viewStopMHz;
  chart.levels.assign(trace.begin(), trace.begin() + plan.points + 1);
  chart.reference = 0.0f;
  const powermeter::LevelLimits limits = powermeter::levelLimits(ini.calibration);
  const std::string content =
      ext == ".pwm" ? powermeter::formatChartFile(chart)
      : normalise   ? powermeter::formatRelativeCsv(chart, limits, {rif, rifEntries})
                    : powermeter::formatCsv(chart, limits, ctx.instrument.simulated());
  if (!writeResult(ctx, *out, content)) return kWriteError;
  *ctx.out << "levels=" << plan.points + 1
           << " start=" << common::shortestText(plan.viewStartMHz, 7)
           << " stop=" << common::shortestText(plan.viewStopMHz, 7) << " file=" << *out;
  if (average > 1) *ctx.out << " passes=" << average;
  *ctx.out << "\n";
  if (report)
    *ctx.out << powermeter::levelReport(
        powermeter::analyzeLevels(chart.levels, plan.viewStartMHz, plan.viewStopMHz, limits));
  if (mask) {
    endResult(ctx);
    return printVerdicts(ctx, *mask,
                         {powermeter::levelTrace("sweep", chart.levels, plan.viewStartMHz,
                                                 plan.viewStopMHz, limits)});
  }
  return 0;
}

}  // namespace

extern const Command kPowerSweepCommand{
    "power-sweep",
    "power-sweep (--start MHZ --stop MHZ | --band NAME [--region 1|2|3]) --points N\n"
    "        [--delay MS] [--average N] [--normalise] --out FILE [--report]\n"
    "        [--limits MASK]\n"
    "    One power meter pass in N steps (N + 1 levels, 1 <= N <= 20000), MS ms per\n"
    "    point (default 0), converted with the calibration of pow.ini in the working\n"
    "    folder. FILE ending in .pwm is a chart file (reference level 0); .csv gives\n"
    "    freq_mhz,level_dbm,flag rows (flag empty, floor: within 10 dB of the\n"
    "    detector's bottom count, or overload: within 3 dB of its top; the word\n"
    "    uncalibrated added to every row while pow.ini holds the default counts\n"
    "    826 and 235, whose levels may be a few dB off, or counts the detector\n"
    "    cannot give, said on standard error: see calibrate). Start above\n"
    "    stop is exchanged; equal ones sweep 0.1 MHz. Progress on standard error\n"
    "    for passes longer than a second. --average N (1 to 100) makes N passes\n"
    "    and writes the mean of each level in linear power (flags follow the mean);\n"
    "    the first line then ends in passes=N. --band sweeps an amateur band of the\n"
    "    IARU region (default 1) with a quarter of its width (at least 25 kHz)\n"
    "    either side, as analyze --band does.\n"
    "    --report prints, after the file is written, peak_mhz, peak_dbm, bw3_low_mhz,\n"
    "    bw3_high_mhz, bw3_mhz, bw6_mhz, bw60_mhz and shape_factor (-60 dB over -6 dB\n"
    "    width) as key=value lines: edges 3, 6 and 60 dB under the highest measured\n"
    "    level, interpolated; none for what a flagged or missing level hides.\n"
    "    bw3_approx, bw6_approx and bw60_approx say yes when an edge of that width\n"
    "    was interpolated across a step wider than a tenth of the width.\n"
    "    calibration=stored, or calibration=default while the default counts are\n"
    "    in use, calibration=suspect while counts the detector cannot give are.\n"
    "    --limits MASK judges the levels against the mask's limits of quantity\n"
    "    level (see analyze); levels read with the default counts cannot be told.",
    runPowerSweep};

}  // namespace kolm::cli
