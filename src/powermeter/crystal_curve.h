// A crystal's sweep as the crystal meter's analyses read it (the fit, the
// edge estimate, finding the crystal): each point's frequency at its tuning
// word, whether its level is a reading or the detector's floor or top, the
// through path's level there, the losses corrected through the fixture's loss
// steps, how far a loss may be misread, and the peak, its -3 dB edges and the
// notch of the parallel resonance.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chart/edges.h"
#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

// How far the detector may misread a loss below the through path (dB): its
// slope and conformance (a fraction of the loss, or what the correction
// through the fixture's loss steps leaves), and near its floor its own noise,
// which a reading holds besides the signal's power (a reading there is high).
struct LossError {
  // Without steps, fractions of the loss: the conformance (which turns over
  // along the levels) and the slope (one scale for all of them).
  double conformance = 0;
  double slope = 0;
  std::optional<LossCorrection> correction;
  double throughDbm = 0;                    // the level losses are read below
  double noiseDbm = -HUGE_VAL;              // the most the detector's own noise reads
  double smoothBound(double lossDb) const;  // slope and conformance
  double noise(double lossDb) const;
  double bound(double lossDb) const { return smoothBound(lossDb) + noise(lossDb); }
};

// Where the curve's notch lies: the parallel resonance is between the points
// either side of its lowest reading (or of its run at the detector's floor).
struct Notch {
  double lowHz = 0;
  double highHz = 0;
  double centreHz() const { return (lowHz + highHz) / 2; }
};

// The highest point, its -3 dB edges and the notch above it, of any curve.
struct CurveShape {
  size_t peak = 0;
  chart::Edges edges;
  std::optional<Notch> notch;
};
// `level`, which points are readings (`usable`) and which lie at the
// detector's floor, at most `floorDbm`; readings within `tieDb` of the
// notch's lowest may hold it too. The peak is fHz.size() when no point is
// usable.
CurveShape curveShape(std::span<const double> fHz, const std::vector<float>& level,
                      const std::vector<char>& usable, const std::vector<char>& floor,
                      double floorDbm, double tieDb);

struct CrystalCurve {
  std::vector<double> fHz;
  std::vector<float> level;  // as read; corrected through the loss steps when there are
  std::vector<char> usable;  // a reading: neither the floor nor the top
  std::vector<char> floor;   // at the detector's floor
  double countDb = 0;        // one count in dB
  double stepHz = 0;         // the mean step
  double resolutionHz = 0;   // the DDS's step
  ThroughLevel through;      // at centreHz
  double centreHz = 0;
  LossError error;
  SlopeSource slope = SlopeSource::Default;
  std::vector<std::string> notes;
  CurveShape shape;
  double throughAt(double fHz) const;
  double lossAt(size_t i) const { return throughAt(fHz[i]) - level[i]; }
};

struct CurveRead {
  std::optional<CrystalCurve> curve;
  std::string error;  // why the sweep cannot hold a crystal
};
// With `whole`, a sweep without a resonance whose -3 dB points it holds is
// refused; without, any sweep with a level above the floor is read.
CurveRead readCrystalCurve(const CrystalFitInput& in, bool whole = true);

// The frequency of every point: at its rounded tuning word when the clock is
// known (as the sweep sends them), else evenly spaced; scaled by the clock's
// measured offset.
std::vector<double> pointFrequenciesHz(const CrystalSweep& s, double clockMHz,
                                       double offsetPpm = 0);

// The crystal's resistance from the loss at resonance against the through path.
double resistanceFromLoss(double lossDb, double r0);

// The edge estimate from a read curve (what a sweep too coarse for a fit
// gives), `why` its reason.
CrystalParameters edgeEstimate(const CrystalCurve& curve, const CrystalFitInput& in,
                               std::string why);

// What the clock's tolerance adds to a value's interval: `ppm` of a
// frequency, or `factor` times that share of another value.
void addClockTerm(Measured& m, double ppm, double factor = 1);

// The load resonance Fs sqrt(1 + Cs / (C0 + CL)).
double loadResonanceHz(const CrystalModel& m, double loadFarad);

}  // namespace kolm::powermeter
