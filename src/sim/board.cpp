#include "sim/board.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "common/constants.h"
#include "common/text.h"

namespace kolm::sim {

std::string_view boardName(Board board) {
  switch (board) {
    case Board::Ideal:
      return "ideal";
    case Board::Harsh:
      return "harsh";
    case Board::Typical:
      break;
  }
  return "typical";
}

std::optional<Board> parseBoard(std::string_view text) {
  std::string t;
  for (char c : text)
    if (!common::isBlank(c)) t += c;
  t = common::asciiLower(t);
  if (t == "typical") return Board::Typical;
  if (t == "ideal") return Board::Ideal;
  if (t == "harsh") return Board::Harsh;
  return std::nullopt;
}

namespace typical {

namespace {

// ln(1 + e^z) without overflow.
double softplus(double z) {
  return z > 30 ? z + std::log1p(std::exp(-z)) : std::log1p(std::exp(z));
}

// --- Generator: the output filter after the DAC.
constexpr double kRippleDb = 0.2;         // passband ripple, peak
constexpr double kRipplePeriodMHz = 45;   // one ripple per 45 MHz
constexpr double kFilterCutoffMHz = 180;  // -3 dB
constexpr int kFilterOrder = 5;

// --- Level detector: a logarithmic detector into the 10-bit converter.
constexpr double kSlopeCounts = 10.2;          // counts per dB at low frequency
constexpr double kSlopeDriftPerMHz = -0.0004;  // relative change of the slope
constexpr double kInterceptDbm = -80;          // the input level that reads count 0
constexpr double kInterceptDriftDbPerMHz = 0.012;
constexpr double kNoiseFloorAboveIntercept = 4;  // dB: the detector's own noise
constexpr double kCompressionDbm = 21;           // where the output stops rising
constexpr double kCompressionKneeDb = 1.5;
constexpr double kConformanceRippleDb = 0.1;  // ripple of the stage-by-stage detection
constexpr double kConformancePeriodDb = 14;   // one ripple per stage gain
constexpr double kConformanceBowDb = 1.0;     // bow across the range, ends against middle
constexpr double kRangeDb = 100;              // the detector's span above its intercept

// --- Bridge and gain/phase detector.
constexpr double kDirectivityDb = -30;
constexpr double kHarshDirectivityDb = -24;
constexpr double kDirectivityPhaseDeg = 90;  // against an open's reflection, at 0 Hz
constexpr double kDirectivityTurnDegPerMHz = 1.5;
constexpr double kTracking = 0.998;  // reflected path against incident
constexpr double kTrackingTurnDegPerMHz = -0.03;
constexpr double kMagnitudeFloorDb = -32;  // the magnitude output's soft bottom
constexpr double kMagnitudeKneeDb = 1.5;
constexpr double kMagnitudeSlopeError = 0.02;  // +2 % at low frequency
constexpr double kMagnitudeSlopeDriftPerMHz = -0.0001;
constexpr double kMagnitudeOffsetCounts = -0.5;  // at a total reflection
// The phase output's ends: sqrt(p^2 + w^2) near 0 degrees (and the same near
// 180), 1 degree off at p = 18 degrees with w = 6.1; 1 degree off at 25 with
// w = 7.1.
constexpr double kPhaseRoundingDeg = 6.1;
constexpr double kHarshPhaseRoundingDeg = 7.1;
// The converters' offset and integral nonlinearity: half a count of offset and
// a bow of 0.8 counts at mid-scale.
constexpr double kConverterOffsetCounts = 0.5;
constexpr double kConverterBowCounts = 0.8;
constexpr double kPhaseSlopeError = -0.005;
constexpr double kPhaseOffsetDeg = 0.4;
constexpr double kMagnitudeNoiseCounts = 0.35;
constexpr double kPhaseNoiseDeg = 0.1;               // with a strong reflection
constexpr double kPhaseNoiseAtDirectivityDeg = 0.5;  // more as the reflection shrinks
constexpr double kPhaseNoiseMaxDeg = 5;

constexpr double kCountsPerDegree = 1024.0 / 180.0;
constexpr double kCountsPerDbA = 512.0 / 30.0;

// The level the detector's output follows: the input plus its own noise, then
// compressed at the top.
double detectedDbm(double dbm, double noiseFloorDbm) {
  const double withNoise =
      10 * std::log10(std::pow(10.0, dbm / 10) + std::pow(10.0, noiseFloorDbm / 10));
  return withNoise -
         kCompressionKneeDb * softplus((withNoise - kCompressionDbm) / kCompressionKneeDb);
}

// A 10-bit converter's own error at `counts`.
double converterError(double counts) {
  const double u = (counts - 512) / 512;
  return kConverterOffsetCounts + kConverterBowCounts * (1 - u * u);
}

// The phase output: |phase| with its two ends rounded.
double roundedPhaseDeg(double degrees, double rounding) {
  const double r2 = rounding * rounding;
  const double trim = r2 / 180;  // keeps the two halves meeting at 90 degrees
  if (degrees <= 90) return std::sqrt(degrees * degrees + r2) - trim;
  const double fromEnd = 180 - degrees;
  return 180 - (std::sqrt(fromEnd * fromEnd + r2) - trim);
}

std::complex<double> turn(double magnitude, double degrees) {
  return std::polar(magnitude, degrees * kPi / 180);
}

}  // namespace

double generatorDb(double f) {
  const double ripple = kRippleDb * std::sin(2 * kPi * f / kRipplePeriodMHz);
  const double rollOff = -10 * std::log10(1 + std::pow(f / kFilterCutoffMHz, 2 * kFilterOrder));
  return ripple + rollOff;
}

double detectorCounts(double dbm, double f) {
  const double intercept = kInterceptDbm + kInterceptDriftDbPerMHz * f;
  const double slope = kSlopeCounts * (1 + kSlopeDriftPerMHz * f);
  const double detected = detectedDbm(dbm, intercept + kNoiseFloorAboveIntercept);
  const double above = detected - intercept;
  const double bow = (above - kRangeDb / 2) / (kRangeDb / 2);
  const double conformance =
      kConformanceRippleDb * std::sin(2 * kPi * above / kConformancePeriodDb) +
      kConformanceBowDb * (bow * bow - 0.25);
  return slope * (above + conformance);
}

BridgeParts typicalBridge() { return {std::pow(10.0, kDirectivityDb / 20), kPhaseRoundingDeg}; }
BridgeParts harshBridge() {
  return {std::pow(10.0, kHarshDirectivityDb / 20), kHarshPhaseRoundingDeg};
}

BridgeOutput bridge(std::complex<double> gamma, double f, const BridgeParts& parts) {
  const std::complex<double> seen =
      turn(kTracking, kTrackingTurnDegPerMHz * f) * gamma +
      turn(parts.directivity, kDirectivityPhaseDeg + kDirectivityTurnDegPerMHz * f);
  const double rho = std::abs(seen);
  BridgeOutput out;
  // Magnitude: the ratio in dB, flattening softly into the detector's bottom.
  const double ratioDb = rho > 0 ? 20 * std::log10(rho) : -HUGE_VAL;
  const double soft = kMagnitudeFloorDb +
                      kMagnitudeKneeDb * softplus((ratioDb - kMagnitudeFloorDb) / kMagnitudeKneeDb);
  const double slope = kCountsPerDbA * (1 + kMagnitudeSlopeError + kMagnitudeSlopeDriftPerMHz * f);
  out.a = 512 + slope * soft + kMagnitudeOffsetCounts;
  out.a += converterError(out.a);
  out.noiseA = kMagnitudeNoiseCounts;
  // Phase: no sign, rounded ends, and noisier as the reflection shrinks.
  const double degrees = std::abs(std::arg(seen)) * 180 / kPi;
  out.b = (roundedPhaseDeg(degrees, parts.phaseRoundingDeg) * (1 + kPhaseSlopeError) +
           kPhaseOffsetDeg) *
          kCountsPerDegree;
  out.b += converterError(out.b);
  const double weak = rho > 0 ? parts.directivity / rho : 1e9;
  out.noiseB = kCountsPerDegree *
               std::min(kPhaseNoiseMaxDeg, kPhaseNoiseDeg + kPhaseNoiseAtDirectivityDeg * weak);
  return out;
}

}  // namespace typical

}  // namespace kolm::sim
