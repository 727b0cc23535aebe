// The edge estimate: the crystal from its peak, its interpolated -3 dB points
// and its notch, when the sweep holds too little of the curve for a fit. Its
// intervals hold the detector's terms (its resolution, its stated error on
// the losses read), the notch's bracket, and what the estimate's own
// approximations give on this sweep's points: the estimate is run again on
// the curves of crystals like the one read (C0 over what it may be, the
// resonance anywhere within a step) and its error there bounds its error here.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/constants.h"
#include "powermeter/crystal_curve.h"

namespace kolm::powermeter {

namespace {

// Without a notch to measure it, C0 is taken from this to this: the holders
// crystals come in.
constexpr double kSmallestC0 = 0.5e-12;
constexpr double kLargestC0 = 10e-12;

struct Range {
  double lo = 0, hi = 0;
};

// What the estimate reads from a curve.
struct Reading {
  double fsHz = 0;
  double lossDb = 0;  // at the peak
  std::optional<double> bwHz;
  std::optional<Notch> notch;
};

Reading readingOf(const CurveShape& s, std::span<const double> fHz, const std::vector<float>& level,
                  double throughDb) {
  Reading r;
  r.fsHz = s.edges.width() ? (*s.edges.low + *s.edges.high) / 2 : fHz[s.peak];
  r.lossDb = throughDb - level[s.peak];
  r.bwHz = s.edges.width();
  r.notch = s.notch;
  return r;
}

// The most the estimate is off on crystals like `m` (C0 anywhere in `c0`, the
// resonance anywhere within a step) swept on the same points: Fs in Hz, R in
// ohm, the width and Fp as fractions.
struct Bias {
  double fsHz = 0, rOhm = 0, bw = 0, fpHz = 0;
  bool widthFound = true;
};

Bias estimateBias(const CrystalCurve& c, const CrystalModel& m, Range c0, double r0,
                  double floorLossDb) {
  Bias b;
  std::vector<float> level(c.fHz.size());
  std::vector<char> usable(c.fHz.size()), floor(c.fHz.size());
  for (double cap : {c0.lo, c0.hi})
    for (double shift : {0.0, 0.25, 0.5, 0.75}) {
      CrystalModel t = m;
      t.fsHz += shift * c.stepHz;
      t.c0Farad = cap;
      for (size_t i = 0; i < c.fHz.size(); ++i) {
        const double loss = -20 * std::log10(std::abs(fixtureTransfer(t, r0, c.fHz[i])));
        floor[i] = loss >= floorLossDb;
        usable[i] = !floor[i];
        level[i] = static_cast<float>(-loss);
      }
      const CurveShape s = curveShape(c.fHz, level, usable, floor, -floorLossDb, 0);
      if (s.peak == c.fHz.size()) continue;
      const Reading r = readingOf(s, c.fHz, level, 0);
      b.fsHz = std::max(b.fsHz, std::fabs(r.fsHz - t.fsHz));
      b.rOhm = std::max(b.rOhm, std::fabs(resistanceFromLoss(r.lossDb, r0) - t.rOhm));
      const double bw = (t.rOhm + r0) / (kTwoPi * t.lHenry);
      if (r.bwHz)
        b.bw = std::max(b.bw, std::fabs(*r.bwHz / bw - 1));
      else
        b.widthFound = false;
      if (r.notch)
        b.fpHz = std::max(
            b.fpHz, std::max(0.0, std::max(r.notch->lowHz - t.fpHz(), t.fpHz() - r.notch->highHz)));
    }
  return b;
}

// The -3 dB width as read when the drop itself may be off by `dDb`: the
// width a Lorentzian has where it has fallen 3 -/+ dDb.
Range widthRange(double bw, double dDb) {
  auto u = [](double d) { return std::sqrt(std::pow(10.0, std::max(d, 0.01) / 10) - 1); };
  const double at3 = u(10 * std::log10(2.0));
  return {bw * at3 / u(10 * std::log10(2.0) + dDb), bw * at3 / u(10 * std::log10(2.0) - dDb)};
}

Measured fromRange(double value, Range r) {
  const double pm = std::max({r.hi - value, value - r.lo, 0.0});
  return {value, pm, 0, pm, 0, 0};
}

struct Estimate {
  Measured fs, r;
  std::optional<Measured> l, cs, q, fp, c0, fl;
};

// The values and their intervals with the level terms `lossPm` (at the peak)
// and `dropPm` (on the 3 dB drop).
Estimate estimate(const CrystalCurve& c, const Reading& read, const Bias& bias, double r0,
                  double lossPm, double dropPm, std::optional<double> loadF) {
  Estimate e;
  const double r = resistanceFromLoss(read.lossDb, r0);
  const Range rr{resistanceFromLoss(read.lossDb - lossPm, r0) - bias.rOhm,
                 resistanceFromLoss(read.lossDb + lossPm, r0) + bias.rOhm};
  e.r = fromRange(r, rr);
  // Each -3 dB point may be read a count off, where the level falls 8.7 dB
  // per width.
  const double fsPm = bias.fsHz + c.resolutionHz + *read.bwHz * c.countDb / 17.4;
  const Range fs{read.fsHz - fsPm, read.fsHz + fsPm};
  e.fs = fromRange(read.fsHz / 1e6, {fs.lo / 1e6, fs.hi / 1e6});
  if (!bias.widthFound) return e;
  const Range bw0 = widthRange(*read.bwHz, dropPm);
  const Range bw{bw0.lo * (1 - bias.bw), bw0.hi * (1 + bias.bw)};
  const double l = (r + r0) / (kTwoPi * *read.bwHz);
  const Range lr{(std::max(rr.lo, 0.0) + r0) / (kTwoPi * bw.hi), (rr.hi + r0) / (kTwoPi * bw.lo)};
  e.l = fromRange(l * 1e3, {lr.lo * 1e3, lr.hi * 1e3});
  auto csOf = [](double f, double ind) { return 1 / (std::pow(kTwoPi * f, 2) * ind); };
  const double cs = csOf(read.fsHz, l);
  const Range csr{csOf(fs.hi, lr.hi), csOf(fs.lo, lr.lo)};
  e.cs = fromRange(cs * 1e15, {csr.lo * 1e15, csr.hi * 1e15});
  const double w = kTwoPi * read.fsHz;
  if (rr.lo > 0)
    e.q = fromRange(w * l / r, {kTwoPi * fs.lo * lr.lo / rr.hi, kTwoPi * fs.hi * lr.hi / rr.lo});
  if (!read.notch) return e;
  const double fpPm = bias.fpHz + c.resolutionHz;
  const Range fp{read.notch->lowHz - fpPm, read.notch->highHz + fpPm};
  if (!(fp.lo > fs.hi)) return e;
  const double fpHz = read.notch->centreHz();
  e.fp = fromRange(fpHz / 1e6, {fp.lo / 1e6, fp.hi / 1e6});
  auto c0Of = [](double csv, double fsv, double fpv) { return csv / (std::pow(fpv / fsv, 2) - 1); };
  const double c0 = c0Of(cs, read.fsHz, fpHz);
  const Range c0r{c0Of(csr.lo, fs.lo, fp.hi), c0Of(csr.hi, fs.hi, fp.lo)};
  e.c0 = fromRange(c0 * 1e12, {c0r.lo * 1e12, c0r.hi * 1e12});
  if (loadF) {
    auto flOf = [&](double fsv, double csv, double c0v) {
      return fsv * std::sqrt(1 + csv / (c0v + *loadF));
    };
    e.fl = fromRange(flOf(read.fsHz, cs, c0) / 1e6,
                     {flOf(fs.lo, csr.lo, c0r.hi) / 1e6, flOf(fs.hi, csr.hi, c0r.lo) / 1e6});
  }
  return e;
}

// `m` with the part of its interval that moves crystals alike: what is left
// without the common terms is `alone`'s.
Measured split(Measured m, const Measured& alone) {
  m.common = std::max(0.0, m.pm - alone.pm);
  return m;
}
std::optional<Measured> split(const std::optional<Measured>& m, const std::optional<Measured>& a) {
  if (!m) return std::nullopt;
  return split(*m, a ? *a : *m);
}

}  // namespace

CrystalParameters edgeEstimate(const CrystalCurve& c, const CrystalFitInput& in, std::string why) {
  CrystalParameters p;
  p.method = CrystalMethod::Edges;
  p.fallback = std::move(why);
  p.stepHz = c.stepHz;
  p.resolutionHz = c.resolutionHz;
  p.slope = c.slope;
  p.notes = c.notes;
  const Reading read = readingOf(c.shape, c.fHz, c.level, c.throughAt(c.fHz[c.shape.peak]));
  const double r0 = in.r0Ohm;
  const double r = resistanceFromLoss(read.lossDb, r0);
  // The crystal read, for the estimate's own bias; C0 from the notch when
  // there is one, over what holders come in otherwise.
  CrystalModel m{read.fsHz, std::max(r, 0.01 * r0), (std::max(r, 0.0) + r0) / (kTwoPi * *read.bwHz),
                 0};
  Range c0{kSmallestC0, kLargestC0};
  if (read.notch && read.notch->lowHz > read.fsHz) {
    const double cs = m.csFarad();
    c0 = {cs / (std::pow(read.notch->highHz / read.fsHz, 2) - 1),
          cs / (std::pow(read.notch->lowHz / read.fsHz, 2) - 1)};
  }
  const LevelLimits limits = levelLimits(in.calibration);
  const double floorLoss = c.through.levelDb - limits.floorDbm;
  const Bias bias = estimateBias(c, m, c0, r0, floorLoss);
  // The level terms: resolution alone, and with what moves crystals alike.
  const double lossAlone = c.countDb / 2;
  const double lossAll = lossAlone + c.through.pmDb + c.error.bound(read.lossDb);
  const double dropAlone = c.countDb;
  const double dropAll =
      dropAlone + c.error.noise(read.lossDb + 3) +
      (c.error.correction ? c.error.bound(read.lossDb) + c.error.bound(read.lossDb + 3)
                          : (c.error.conformance + c.error.slope) * 3);
  const std::optional<double> loadF =
      in.loadPf ? std::optional<double>(*in.loadPf * 1e-12) : std::nullopt;
  const Estimate all = estimate(c, read, bias, r0, lossAll, dropAll, loadF);
  const Estimate alone = estimate(c, read, bias, r0, lossAlone, dropAlone, loadF);
  p.fsMHz = split(all.fs, alone.fs);
  p.rOhm = split(all.r, alone.r);
  p.lMilliHenry = split(all.l, alone.l);
  p.csFemtoFarad = split(all.cs, alone.cs);
  p.q = split(all.q, alone.q);
  p.fpMHz = split(all.fp, alone.fp);
  p.c0PicoFarad = split(all.c0, alone.c0);
  p.flMHz = split(all.fl, alone.fl);
  if (p.flMHz) p.loadPf = *in.loadPf;
  const double ppm = in.clockTolerancePpm;
  addClockTerm(p.fsMHz, ppm);
  for (std::optional<Measured>* f : {&p.fpMHz, &p.flMHz, &p.lMilliHenry, &p.csFemtoFarad})
    if (*f) addClockTerm(**f, ppm);
  return p;
}

}  // namespace kolm::powermeter
