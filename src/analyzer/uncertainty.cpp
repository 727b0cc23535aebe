#include "analyzer/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "common/reflection.h"

namespace kolm::analyzer {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDbPerCount =
    static_cast<double>(kReturnLossRangeDb) / static_cast<double>(kTotalReflectionCounts);
constexpr double kDegPerCount = 180.0 / static_cast<double>(kHalfTurnCounts);

struct Range {
  double low = kInf;
  double high = -kInf;
  void take(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

}  // namespace

const BridgeFigures& publishedBridge() {
  static const BridgeFigures figures;
  return figures;
}

float PointInterval::halfWidth(int q, float value) const {
  return std::max(value - low[q], high[q] - value);
}

PointInterval pointInterval(double a, double b, const PointValues& shown, const BridgeFigures& f,
                            int passes) {
  // The ratio the detector saw, dB, and its phase, degrees. Only the noise
  // averages away over passes: the offset and nonlinearity are fixed errors,
  // and the resolution is kept whole too, because the noise (a third of a count)
  // is too small to dither a steady reading evenly across the count steps.
  const double noise = f.noiseSpread * f.noiseCounts / std::sqrt(std::max(passes, 1));
  const double spreadA = f.resolutionCounts + noise + f.magnitudeOffsetCounts;
  const double spreadB = f.resolutionCounts + noise;
  Range ratioDb, phase;
  for (double counts : {a - spreadA, a + spreadA})
    for (double slope : {-f.magnitudeSlope, f.magnitudeSlope})
      ratioDb.take((counts - kTotalReflectionCounts) * kDbPerCount / (1 + slope));
  for (double counts : {b - spreadB, b + spreadB})
    for (double slope : {-f.phaseSlope, f.phaseSlope})
      for (double error : {-f.phaseErrorDeg, f.phaseErrorDeg})
        phase.take((counts * kDegPerCount - error) / (1 + slope));
  const double read = b * kDegPerCount;
  // Within an end region the output rounds off: the phase may be anywhere
  // from the reading to that end.
  if (read < f.phaseEndDeg) phase.low = 0;
  if (read > 180 - f.phaseEndDeg) phase.high = 180;
  phase.low = std::max(phase.low, 0.0);
  phase.high = std::min(phase.high, 180.0);
  // At the bottom of channel A's range the ratio has no lower bound.
  const double seenLow = a - spreadA <= 0 ? 0 : std::pow(10.0, ratioDb.low / 20);
  const double seenHigh = std::pow(10.0, ratioDb.high / 20);

  // Back through the tracking and the directivity.
  const double trackingLow = std::pow(10.0, -f.trackingDb / 20);
  const double trackingHigh = std::pow(10.0, f.trackingDb / 20);
  const double rhoLow = seenLow / trackingHigh, rhoHigh = seenHigh / trackingLow;
  const double thetaLow = (phase.low - f.trackingDeg) * kPi / 180;
  const double thetaHigh = (phase.high + f.trackingDeg) * kPi / 180;
  const double directivity = std::pow(10.0, -f.directivityDb / 20) / trackingLow;

  std::array<Range, kQuantities> r;
  // The reflection's size and angle over the region are known in closed form:
  // the rectangle in size and angle widened by the directivity's circle.
  const double rhoMin = std::max(0.0, rhoLow - directivity);
  const double rhoMax = std::min(1.0, rhoHigh + directivity);  // a load is passive
  const double turn = directivity < rhoLow ? std::asin(directivity / rhoLow) : kPi;
  const double angleLow = std::max(0.0, thetaLow - turn),
               angleHigh = std::min(kPi, thetaHigh + turn);
  // An angle range reaching below 0 or beyond 180 degrees folds back: the
  // region then holds a pure resistance.
  const bool acrossZero = thetaLow - turn<0, acrossHalf = thetaHigh + turn> kPi;
  r[kReturnLoss] = {-20 * std::log10(rhoMax), rhoMin > 0 ? -20 * std::log10(rhoMin) : kInf};
  r[kPhase] = {acrossZero ? 0 : angleLow * 180 / kPi, acrossHalf ? 180 : angleHigh * 180 / kPi};
  r[kSwr] = {(1 + rhoMin) / (1 - rhoMin), rhoMax < 1 ? (1 + rhoMax) / (1 - rhoMax) : kInf};
  // The impedance at the corners and edges of the rectangle, each widened by the
  // directivity in eight directions. Written out in real arithmetic: this runs
  // 81 times a point, and the library's complex division and magnitude (which
  // guard against overflow no reflection of at most 1 can cause) cost several
  // times the rest of the point.
  static const std::array<std::complex<double>, 8> kCompass = [] {
    std::array<std::complex<double>, 8> c;
    for (int k = 0; k < 8; ++k) c[static_cast<size_t>(k)] = std::polar(1.0, k * kPi / 4);
    return c;
  }();
  std::array<double, 8> offsetRe{}, offsetIm{};
  for (size_t k = 0; k < 8; ++k) {
    offsetRe[k] = directivity * kCompass[k].real();
    offsetIm[k] = directivity * kCompass[k].imag();
  }
  double zLow = kInf, zHigh = -kInf, rLow = kInf, rHigh = -kInf, xLow = kInf, xHigh = -kInf;
  auto take = [&](double gr, double gi) {
    // A passive load: a reflection beyond 1 is taken back onto the rim.
    if (const double n = gr * gr + gi * gi; n > 1) {
      const double size = std::sqrt(n);
      gr /= size;
      gi /= size;
    }
    // Z = R0 (1 + Γ) / (1 - Γ).
    const double dr = 1 - gr, denominator = dr * dr + gi * gi;
    if (denominator < 1e-24) {
      zHigh = rHigh = xHigh = kInf;
      return;
    }
    const double scale = common::kReferenceOhm / denominator;
    const double re = scale * (1 - gr * gr - gi * gi), im = std::fabs(scale * 2 * gi);
    const double size2 = re * re + im * im;  // |Z| squared: one root at the end
    zLow = std::min(zLow, size2), zHigh = std::max(zHigh, size2);
    rLow = std::min(rLow, re), rHigh = std::max(rHigh, re);
    xLow = std::min(xLow, im), xHigh = std::max(xHigh, im);
  };
  const std::array<double, 3> thetas{thetaLow, (thetaLow + thetaHigh) / 2, thetaHigh};
  std::array<double, 3> cosines{}, sines{};
  for (size_t t = 0; t < 3; ++t) {
    cosines[t] = std::cos(thetas[t]);
    sines[t] = std::sin(thetas[t]);
  }
  for (double rho : {rhoLow, (rhoLow + rhoHigh) / 2, rhoHigh})
    for (size_t t = 0; t < 3; ++t) {
      const double sr = rho * cosines[t], si = rho * sines[t];
      take(sr, si);
      for (size_t k = 0; k < 8; ++k) take(sr + offsetRe[k], si + offsetIm[k]);
    }
  r[kImpedance].take(std::sqrt(zLow)), r[kImpedance].take(std::sqrt(zHigh));
  r[kResistance].take(rLow), r[kResistance].take(rHigh);
  r[kReactance].take(xLow), r[kReactance].take(xHigh);
  if (acrossZero || acrossHalf) r[kReactance].low = 0;

  PointInterval out;
  for (int q = 0; q < kQuantities; ++q) {
    double low = r[q].low, high = r[q].high;
    const double v = q == kReactance ? std::fabs(shown[q]) : shown[q];
    if (std::isfinite(v)) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
    out.low[q] = static_cast<float>(low);
    out.high[q] = static_cast<float>(high);
  }
  return out;
}

bool tooWide(int q, float value, float pm) {
  if (!(pm >= 0)) return true;  // NaN
  switch (q) {
    case kReturnLoss:
      return pm > kUncertainReturnLossDb;
    case kPhase:
      return pm > kUncertainPhaseDeg;
    case kSwr:
      return pm > std::max(kUncertainShare * std::fabs(value), kUncertainSwrFloor);
    default:
      return pm > std::max(kUncertainShare * std::fabs(value), kUncertainImpedanceFloorOhm);
  }
}

std::string uncertainWord(UncertainSet set) {
  static constexpr std::array<const char*, kQuantities> kNames{"rl", "phase", "z", "r", "x", "swr"};
  std::string out;
  for (int q = 0; q < kQuantities; ++q)
    if (set & (1u << q)) {
      out += out.empty() ? "uncertain:" : ",";
      out += kNames[q];
    }
  return out;
}

}  // namespace kolm::analyzer
