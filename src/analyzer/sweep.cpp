#include "analyzer/sweep.h"

#include "chart/scale.h"
#include "common/text.h"
#include "hw/dds.h"

namespace kolm::analyzer {

namespace {
constexpr double kWordLimit = 2147483648.0;  // words travel as signed 32-bit integers

uint32_t rounded(double word) { return static_cast<uint32_t>(common::roundHalfEven(word)); }
}  // namespace

SweepPlanResult planSweep(double start, double stop, double points, double refClkMHz) {
  SweepPlanResult r;
  auto n = common::toInt16(points);
  if (!n || *n < kMinPoints || *n > kMaxPoints) {
    r.error = "The number of points must be between " + std::to_string(kMinPoints) + " and " +
              std::to_string(kMaxPoints) + ".";
    return r;
  }
  auto ws = hw::checkedTuningWord(start, refClkMHz);
  if (!ws.ok()) {
    r.error = ws.error;
    return r;
  }
  auto we = hw::checkedTuningWord(stop, refClkMHz);
  if (!we.ok()) {
    r.error = we.error;
    return r;
  }
  if (!spanUsable(start, stop)) {
    r.error = "The start and stop frequencies are equal: there is no span to sweep.";
    return r;
  }
  SweepPlan& p = r.plan;
  p.start = start;
  p.stop = stop;
  p.points = *n;
  p.startWord = ws.word;
  p.wordStep = (static_cast<double>(we.word) - ws.word) / *n;
  // A pass also measures one step past the stop; the word is stepped by repeated
  // addition, as the pass does.
  double word = p.startWord;
  for (int i = 0; i <= *n; ++i) word += p.wordStep;
  const double lastWord = common::roundHalfEven(word);
  if (lastWord < 0 || lastWord >= kWordLimit) {
    const double lastFrequency = chart::pointFrequency(start, stop, *n, *n + 1);
    r.error = "A pass also measures one step past the stop frequency, at " +
              common::shortestText(lastFrequency, 9) +
              " MHz, which the DDS cannot generate (below 0 or at or above half its clock, " +
              common::shortestText(refClkMHz / 2) + " MHz).";
  }
  return r;
}

PassJob::PassJob(hw::Instrument& instrument, const SweepPlan& plan, Channels& target, bool resetDds)
    : PortJob(instrument), plan_(plan), target_(target), resetDds_(resetDds) {}

double PassJob::progress() const { return static_cast<double>(stored()) / (plan_.points + 2); }

bool PassJob::step() {
  if (finishOpenPoint()) return true;
  if (done() || instrument_.portFailed()) return false;
  if (next_ < 0) {
    word_ = plan_.startWord;
    if (resetDds_)
      instrument_.startGenerator(rounded(word_));
    else
      instrument_.tune(rounded(word_));
    waitThen(hw::kSettleUnits, [this] {
      instrument_.readBridge();  // settling read, not stored
      next_ = 0;
    });
    return true;
  }
  const int i = next_;
  instrument_.tune(rounded(word_));
  const hw::BridgeReading reading = instrument_.readBridge();
  if (instrument_.portFailed()) return false;  // nothing stored from a failed port
  target_.returnLossCounts[i] = reading.a;
  target_.phaseCounts[i] = reading.b;
  target_.frequencies[i] =
      static_cast<float>(chart::pointFrequency(plan_.start, plan_.stop, plan_.points, i));
  word_ += plan_.wordStep;
  ++next_;
  return !done();
}

}  // namespace kolm::analyzer
