#include <filesystem>
#include <ostream>

#include "analyzer/analysis.h"
#include "analyzer/files.h"
#include "analyzer/sweep.h"
#include "cli/cli.h"
#include "common/pass_average.h"
#include "common/text.h"

namespace kolm::cli {

namespace {

int runAnalyze(Context& ctx, Args& args) {
  auto start = args.number("--start");
  auto stop = args.number("--stop");
  auto points = args.wholeNumber("--points");
  auto out = args.option("--out");
  const bool report = args.flag("--report");
  const int average = args.averagePasses();
  args.finish();
  if (!start || !stop || !points || !out)
    throw UsageError{"analyze needs --start MHZ --stop MHZ --points N --out FILE"};
  const std::string ext = common::asciiLower(std::filesystem::path(*out).extension().string());
  if (ext != ".vna" && ext != ".csv" && ext != ".s1p")
    throw UsageError{"--out: the file must end in .vna, .csv or .s1p"};
  checkOutput("--out", *out);
  // The output at 0 Hz is still: that point would read as a matched load
  // whatever is connected.
  if (*start == 0 || *stop == 0)
    throw UsageError{
        "--start, --stop: at 0 MHz the generator gives no signal, so the bridge "
        "cannot measure the load; sweep from above 0"};

  auto planned = analyzer::planSweep(*start, *stop, *points, ctx.instrument.params.refClockMHz);
  if (!planned.ok()) throw UsageError{planned.error};
  const analyzer::SweepPlan& plan = planned.plan;

  analyzer::Channels channels;
  common::PassAverage ring(average);
  for (int k = 0; k < average; ++k) {
    analyzer::ReadWriteJob job(ctx.instrument, plan, channels, k == 0);
    const bool complete =
        runPass(ctx, job, "analyze", plan.points + 2, [&job] { return job.stored(); });
    if (!complete) {
      // The generator off and every data line low, as the window leaves them.
      switchOff(ctx);
      ctx.instrument.out(0);
      *ctx.err << "analyze: stopped after " << job.stored() << " points";
      if (average > 1) *ctx.err << " of pass " << k + 1 << " of " << average;
      *ctx.err << "; nothing written\n";
      return 0;  // the stop signal gives the exit status
    }
    // The counts averaged before any point is computed.
    analyzer::averageChannels(ring, channels, plan.points + 1);
  }
  switchOff(ctx);
  ctx.instrument.out(0);

  std::string text;
  if (ext == ".vna")
    text = analyzer::formatVna(plan.points, plan.start, plan.stop, channels);
  else if (ext == ".csv")
    text = analyzer::formatCsv(plan.points, plan.start, plan.stop, channels);
  else
    text = analyzer::formatTouchstone(plan.points, plan.start, plan.stop, channels);
  if (!writeResult(ctx, *out, text)) return kWriteError;
  *ctx.out << "points=" << plan.points + 1 << " file=" << *out;
  if (average > 1) *ctx.out << " passes=" << average;
  *ctx.out << "\n";
  if (report) {
    analyzer::TraceValues values;
    analyzer::computeTraceValues(channels, plan.points, values);
    *ctx.out << analyzer::swrReport(analyzer::analyzeSwr(values));
  }
  return 0;
}

}  // namespace

extern const Command kAnalyzeCommand{
    "analyze",
    "analyze --start MHZ --stop MHZ --points N [--average N] --out FILE [--report]\n"
    "    One antenna-analyzer pass of N steps (--average N: N passes, 1 to 100, each\n"
    "    point's two readings averaged before its values, flags and intervals are\n"
    "    computed; the .vna file keeps the means rounded to whole counts; the first\n"
    "    line then ends in passes=N); FILE.vna (chart file), FILE.csv\n"
    "    (freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr, then each value's interval\n"
    "    as a half-width: rl_db_pm,phase_deg_pm,z_ohm_pm,r_ohm_pm,x_ohm_pm,swr_pm\n"
    "    (empty for an SWR unbounded above), then flag) or FILE.s1p (Touchstone,\n"
    "    reflection coefficient in RI form against 50 ohm; flagged frequencies listed\n"
    "    in a ! comment line). x_ohm and the Touchstone file carry the sign of the\n"
    "    reactance inferred from how |X| changes with frequency. flag holds words\n"
    "    separated by a blank: rl_limit (return loss 30 dB or more), phase_limit\n"
    "    (phase within 5 degrees of 0 or 180: phase and reactance approximate), open\n"
    "    (no finite impedance) or invalid (a reflection above 1); uncertain: and the\n"
    "    quantities whose interval is too wide (uncertain:r,z,swr); sign_unknown for\n"
    "    a reactance whose sign could not be told (written positive). --report\n"
    "    prints, after the file is written, swr_min (the centre of the lowest run of\n"
    "    readings), swr_min_kind (value; bound when the lowest stretch is at the\n"
    "    return-loss limit and swr_min its bound; at_least when the SWR there may be\n"
    "    unbounded and swr_min the lowest it can be), swr_min_mhz, r_at_min_ohm,\n"
    "    x_at_min_ohm (|X|), each value with a _pm key (its half-width),\n"
    "    swr2_low_mhz, swr2_high_mhz, swr2_bw_mhz, swr15_low_mhz, swr15_high_mhz,\n"
    "    swr15_bw_mhz and res_mhz (where the signed reactance crosses zero) as\n"
    "    key=value lines (band edges interpolated); none for what a flagged point\n"
    "    hides or the sweep does not reach; swr2_approx and swr15_approx say yes\n"
    "    when an edge of that band was interpolated across a step wider than a\n"
    "    tenth of its width.",
    runAnalyze};

}  // namespace kolm::cli
