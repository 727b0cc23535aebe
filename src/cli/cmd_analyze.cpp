#include <filesystem>
#include <ostream>
#include <tuple>

#include "analyzer/analysis.h"
#include "analyzer/cable.h"
#include "analyzer/files.h"
#include "analyzer/matching.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/sweep.h"
#include "cli/cli.h"
#include "cli/limits.h"
#include "cli/sweep_run.h"
#include "common/text.h"

namespace kolm::cli {

namespace {

// The analyzer's passes into `channels`, the counts averaged before any point
// is computed; the generator off and every data line low at the end, as the
// window leaves them.
class AnalyzerSweep : public CommandSweep {
 public:
  AnalyzerSweep(Context& ctx, const analyzer::SweepPlan& plan, const char* command,
                analyzer::Channels& channels, int average)
      : CommandSweep(ctx, command, {plan.start, plan.stop, plan.points, average}),
        sweepPlan_(plan),
        channels_(channels) {}

 private:
  int totalPoints() const override { return sweepPlan_.points + 2; }
  int measuredPoints() const override { return job_ ? job_->stored() : 0; }
  common::SteppedJob& beginPass(bool firstOfSweep, bool) override {
    job_.emplace(ctx_.instrument, sweepPlan_, channels_, firstOfSweep);
    return *job_;
  }
  void passCompleted(common::PassAverage& average) override {
    if (average.depth() > 1) analyzer::averageChannels(average, channels_, sweepPlan_.points + 1);
  }
  void leavePort() override { switchOff(ctx_, 0, true); }

  analyzer::SweepPlan sweepPlan_;
  analyzer::Channels& channels_;
  std::optional<analyzer::PassJob> job_;
};

}  // namespace

bool analyzerPass(Context& ctx, const analyzer::SweepPlan& plan, const char* command,
                  analyzer::Channels& channels, int average) {
  return AnalyzerSweep(ctx, plan, command, channels, average).run();
}

namespace {

// Checks the output file's kind against the options that depend on it, and
// reads the cable to take out, if any.
std::optional<analyzer::Cable> checkedOutput(const std::string& out, const std::string& ext,
                                             const std::optional<std::string>& unknownSigns,
                                             const std::optional<std::string>& cableOption) {
  if (ext != ".vna" && ext != ".csv" && ext != ".s1p")
    throw UsageError{"--out: the file must end in .vna, .csv or .s1p"};
  if (unknownSigns && *unknownSigns != "keep" && *unknownSigns != "leave")
    throw UsageError{"--s1p-unknown: keep or leave"};
  if (unknownSigns && ext != ".s1p")
    throw UsageError{"--s1p-unknown: only a .s1p file leaves points out"};
  checkOutput("--out", out);
  std::optional<analyzer::Cable> cable;
  if (cableOption) {
    std::string why;
    cable = analyzer::parseCable(*cableOption, &why);
    if (!cable) throw UsageError{"--cable: " + why};
    if (ext == ".vna")
      throw UsageError{
          "--cable: a .vna chart file keeps the bridge's readings; the cable is "
          "taken out in a .csv or .s1p file"};
  }
  return cable;
}

// The networks that match the load at `matchAt` and the limits' verdicts,
// each a result of its own; the exit status.
int matchAndVerdicts(Context& ctx, const analyzer::TraceValues& values,
                     std::optional<double> matchAt, double target, circuit::ESeries series,
                     const std::optional<chart::LimitMask>& mask) {
  if (matchAt) {
    const analyzer::MatchReport match = analyzer::matchReport(values, *matchAt, target, series);
    if (!match.error.empty()) {
      *ctx.err << "kolm-cli: --match-at: " << match.error << "\n";
      return kWriteError;
    }
    endResult(ctx);  // the report is one result, the match point and each network others
    printResults(ctx, match.text, {"topology=", "candidate="});
  }
  if (mask) {
    endResult(ctx);
    std::vector<chart::StoredTrace> traces;
    for (const std::string& q : mask->quantities())
      traces.push_back(analyzer::quantityTrace("sweep", values, *analyzer::quantityByName(q)));
    return printVerdicts(ctx, *mask, traces);
  }
  return 0;
}

int runAnalyze(Context& ctx, Args& args) {
  auto start = args.number("--start");
  auto stop = args.number("--stop");
  const int region = regionOption(args);
  if (const auto span = bandOption(args, region, ctx.instrument.params.refClockMHz)) {
    if (start || stop) throw UsageError{"--band sets the span: leave out --start and --stop"};
    std::tie(start, stop) = *span;
  }
  auto points = args.wholeNumber("--points");
  auto out = args.option("--out");
  const bool report = args.flag("--report");
  const int average = args.averagePasses();
  const auto matchAt = args.number("--match-at");
  const double target = targetOption(args);
  const circuit::ESeries series = seriesOption(args);
  const auto cableOption = args.option("--cable");
  const auto unknownSigns = args.option("--s1p-unknown");
  const auto mask = limitsOption(args, "analyze", {"rl", "phase", "z", "r", "x", "swr"});
  args.finish();
  if (!start || !stop || !points || !out)
    throw UsageError{"analyze needs --start MHZ --stop MHZ (or --band) --points N --out FILE"};
  const std::string ext = common::asciiLower(std::filesystem::path(*out).extension().string());
  const std::optional<analyzer::Cable> cable = checkedOutput(*out, ext, unknownSigns, cableOption);
  // The output at 0 Hz is still: that point would read as a matched load
  // whatever is connected.
  if (*start == 0 || *stop == 0)
    throw UsageError{
        "--start, --stop: at 0 MHz the generator gives no signal, so the bridge "
        "cannot measure the load; sweep from above 0"};

  auto planned = analyzer::planSweep(*start, *stop, *points, ctx.instrument.params.refClockMHz);
  if (!planned.ok()) throw UsageError{planned.error};
  const analyzer::SweepPlan& plan = planned.plan;
  if (matchAt && !((*matchAt - plan.start) * (*matchAt - plan.stop) <= 0))
    throw UsageError{"--match-at: " + common::shortestText(*matchAt) +
                     " MHz lies outside the sweep"};

  analyzer::Channels channels;
  // The stop signal gives the exit status.
  if (!analyzerPass(ctx, plan, "analyze", channels, average)) return 0;

  const analyzer::BridgeFiguresInUse figures = bridgeFiguresInUse(ctx);
  analyzer::TraceValues values =
      analyzer::exportTrace(plan.points, plan.start, plan.stop, channels, figures.figures);
  analyzer::ExportSource source;
  source.figuresMeasured = figures.measured;
  source.calibration = values.calibration;
  source.keepUnknownSigns = unknownSigns == "keep";
  source.simulated = ctx.instrument.simulated();
  if (cable) {
    values = analyzer::withoutCable(values, *cable);
    source.cable = cable;
  }
  if (ext == ".s1p" && analyzer::touchstonePoints(values, source) == 0) {
    *ctx.err << "kolm-cli: analyze: the sign of every point's reactance is unknown, so the .s1p "
                "file would hold no point; nothing written (--s1p-unknown keep writes them "
                "inductive)\n";
    return kWriteError;
  }
  std::string text;
  if (ext == ".vna")
    text = analyzer::formatVna(plan.points, plan.start, plan.stop, channels);
  else if (ext == ".csv")
    text = analyzer::formatCsv(values, source);
  else
    text = analyzer::formatTouchstone(values, cable ? nullptr : &channels, source);
  if (!writeResult(ctx, *out, text)) return kWriteError;
  *ctx.out << "points=" << plan.points + 1 << " file=" << *out;
  if (average > 1) *ctx.out << " passes=" << average;
  *ctx.out << "\n";
  if (report)
    *ctx.out << analyzer::figuresReport(figures.measured)
             << analyzer::swrReport(analyzer::analyzeSwr(values))
             << analyzer::correctionReport(values.calibration)
             << analyzer::bandReport(analyzer::bandWidths(values, region));
  return matchAndVerdicts(ctx, values, matchAt, target, series, mask);
}

}  // namespace

extern const Command kAnalyzeCommand{
    "analyze",
    "analyze (--start MHZ --stop MHZ | --band NAME) [--region 1|2|3] --points N\n"
    "        [--average N] --out FILE [--report] [--s1p-unknown keep|leave]\n"
    "        [--cable LEN_M,VF,LOSS_DB_PER_100M@MHZ[,Z0] | --cable TYPE:LEN_M]\n"
    "        [--match-at MHZ [--target OHM] [--series E12|E24]] [--limits MASK]\n"
    "    One antenna-analyzer pass of N steps (--average N: N passes, 1 to 100, each\n"
    "    point's two readings averaged before its values, flags and intervals are\n"
    "    computed; the .vna file keeps the means rounded to whole counts; the first\n"
    "    line then ends in passes=N); FILE.vna (chart file), FILE.csv (lines led\n"
    "    by # saying what the values stand for: the bridge's end or a cable's far\n"
    "    end, corrected or not, which bridge figures; the last of them key=value\n"
    "    words: end=bridge|far, the cable's figures, correction=, figures=; then\n"
    "    freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr, then each value's interval\n"
    "    as a half-width: rl_db_pm,phase_deg_pm,z_ohm_pm,r_ohm_pm,x_ohm_pm,swr_pm\n"
    "    (empty for an SWR unbounded above), then flag) or FILE.s1p (Touchstone,\n"
    "    reflection coefficient in RI form against 50 ohm; the same statements and\n"
    "    the flagged frequencies in ! comment lines; a point whose reactance's sign\n"
    "    is unknown is left out and listed, or written with X = 0 where zero lies\n"
    "    within its interval; --s1p-unknown keep writes them all inductive instead,\n"
    "    flagged sign_unknown). x_ohm and the Touchstone file carry the sign of the\n"
    "    reactance inferred along the sweep. flag holds words\n"
    "    separated by a blank: rl_limit (channel A at the bottom of its range:\n"
    "    rl_db is the least the return loss can be and swr the most the SWR can\n"
    "    be, the bridge's directivity taken in), phase_limit\n"
    "    (phase within 5 degrees of 0 or 180: phase and reactance approximate), open\n"
    "    (no finite impedance) or invalid (a reflection above 1); uncertain: and the\n"
    "    quantities whose interval is too wide (uncertain:r,z,swr); sign_unknown for\n"
    "    a reactance whose sign could not be told (written positive). --report\n"
    "    prints, after the file is written, figures=published (the bridge figures\n"
    "    the intervals rest on were never checked on this board) or\n"
    "    figures=measured (bridge-check's), swr_min (the centre of the lowest run of\n"
    "    readings), swr_min_kind (value; bound when the lowest stretch is at the\n"
    "    return-loss limit and swr_min its bound; at_least when the SWR there may be\n"
    "    unbounded and swr_min the lowest it can be), swr_min_mhz, r_at_min_ohm,\n"
    "    x_at_min_ohm (|X|), each value with a _pm key (its half-width),\n"
    "    swr2_low_mhz, swr2_high_mhz, swr2_bw_mhz, swr15_low_mhz, swr15_high_mhz,\n"
    "    swr15_bw_mhz and res_mhz (where the signed reactance crosses zero) as\n"
    "    key=value lines (band edges interpolated), each frequency and width with a\n"
    "    _pm key: how far the truth may lie from it by the readings' intervals\n"
    "    (none where they leave it unbounded); none for what a flagged point\n"
    "    hides or the sweep does not reach; swr2_approx and swr15_approx say yes\n"
    "    when an edge of that band was interpolated across a step wider than a\n"
    "    tenth of its width, or its interval is unbounded; correction=none, or the\n"
    "    calibration that corrected the readings (its name, blanks as _, as the\n"
    "    files' key line has it). Then, for each amateur\n"
    "    band of the IARU region (--region, default 1) the sweep reaches,\n"
    "    band_NAME_low_mhz=,\n"
    "    band_NAME_high_mhz=, band_NAME_swr2_mhz= and band_NAME_swr15_mhz= (the\n"
    "    widths inside the band where the SWR is at most 2 and 1.5) and\n"
    "    band_NAME_unmeasured_mhz= (the width the sweep does not reach or a\n"
    "    flagged point hides). --band sweeps a band (160m, 80m, 60m, 40m, 30m, 20m,\n"
    "    17m, 15m, 12m, 10m, 6m where the clock reaches it) with a quarter of its\n"
    "    width (at least 25 kHz) either side.\n"
    "    --match-at prints, after the file is written, the L networks for the\n"
    "    measured point nearest MHZ as match does (match_mhz=, r_ohm=, x_ohm=,\n"
    "    sign=inferred|unknown and marks= first), each line followed by\n"
    "    swr2_low_mhz= and swr2_high_mhz= where the rounded parts keep the\n"
    "    measured load under SWR 2. A point of unknown sign gives both sets, each\n"
    "    line led by candidate=inductive or candidate=capacitive.\n"
    "    --cable takes a cable between the bridge and the load out: the .csv or\n"
    "    .s1p file, the report and --match-at then hold the load at its far end,\n"
    "    each interval carried through the line (the loss scales with the square\n"
    "    root of the frequency; Z0 defaults to 50 ohm), the reactance's sign told\n"
    "    at the far end (sign_unknown where the readings leave it open). TYPE is\n"
    "    one of RG58, RG8X, RG213, RG174, LMR400, LADDER450 (typical published\n"
    "    figures).\n"
    "    --limits MASK judges the sweep against a limit mask, a text file:\n"
    "    \"kolm-mask 1\", then \"quantity NAME\" (rl, phase, z, r, x or swr; level\n"
    "    for power-sweep) and under it limit lines \"upper|lower FROM_MHZ TO_MHZ\n"
    "    LIMIT [LIMIT_AT_TO]\" (# begins a comment). After the other results it\n"
    "    prints, per quantity, limits=NAME verdict=pass|fail|indeterminate and the\n"
    "    points that pass, fail or cannot be told by their intervals\n"
    "    (pass=N fail=N indeterminate=N), limit_note= lines for the first\n"
    "    points that do not pass and the limits the sweep does not cover, and\n"
    "    verdict=: exit 0 for pass, 4 for fail, 5 for indeterminate. A mask that\n"
    "    cannot be read is refused before the sweep, naming its file and line.",
    runAnalyze};

}  // namespace kolm::cli
