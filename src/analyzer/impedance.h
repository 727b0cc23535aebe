// The bridge's two readings turned into the six quantities of a sweep point:
// return loss, phase, impedance magnitude, resistance, reactance and SWR.
//
// Precision is that of the instrument's original arithmetic: every stored value is
// single precision, powers, roots and trigonometric functions are evaluated in
// double precision and rounded to single, and the phase is turned into radians
// with the constant 3.14.
#pragma once

#include <array>
#include <cstdint>

namespace kolm::analyzer {

// The bridge's converters. Channel A reads a total reflection as 512 counts and
// falls by 512 counts over the bridge's 30 dB of return loss; channel B reads
// 1024 counts over 180 degrees of phase.
inline constexpr int kTotalReflectionCounts = 512;
inline constexpr int kReturnLossRangeDb = 30;
inline constexpr int kHalfTurnCounts = 1024;

// Quantity index, shared by the charts, the readout boxes and the files.
enum Quantity : int {
  kReturnLoss = 0,  // dB
  kPhase = 1,       // degrees
  kImpedance = 2,   // abs(Z), ohm
  kResistance = 3,  // R, ohm
  kReactance = 4,   // X, ohm
  kSwr = 5,         // ratio
};
inline constexpr int kQuantities = 6;

// The six values of a point, by quantity index.
using PointValues = std::array<float, kQuantities>;

struct ComplexSingle {
  float re = 0;
  float im = 0;
};

// (a + jb) / (p + jq). Products and sums in single precision, the squares and
// the quotient in double, each result rounded to single. A zero divisor gives
// non-finite parts.
ComplexSingle divideComplex(float a, float b, float p, float q);

// What a pair of readings can tell (see analyzer/validity.h for the limits and
// what each flag means for the six quantities).
enum class PointFlag : uint8_t {
  Valid,
  RlLimit,     // channel A at 0 (or below): return loss at least, SWR at most, a bound
  PhaseLimit,  // channel B within 5 degrees of 0 or 180 (or beyond its range)
  Open,        // channel A at 510 to 512 with the phase at its 0-degree end
  Invalid,     // channel A above 512: a reflection above 1, which no load gives
};

// The flag of readings `a` and `b`, in this order of precedence: invalid, open,
// rl_limit, phase_limit.
PointFlag pointFlag(int a, int b);
// The same limits for mean readings (an average of passes): a point is flagged
// as its averaged readings stand, not as any one pass read.
PointFlag pointFlag(double a, double b);

// Everything one point gives, including what the chart does not keep.
struct PointResult {
  float returnLossDb = 0;
  float phaseDeg = 0;
  // False when the impedance has no finite value (a reading of 512 with a phase
  // of 0: the bridge sees an open circuit, 1 - gamma = 0). Then `values` holds
  // return loss, phase and SWR only; the impedance entries are not meaningful.
  bool finite = false;
  PointFlag flag = PointFlag::Valid;
  PointValues values{};
};

// The computation for channel-A reading `a` and channel-B reading `b`.
PointResult evaluatePoint(int16_t a, int16_t b);
// The computation for mean readings, carried as real numbers (an average of
// passes resolves below one count); whole readings give evaluatePoint's values
// exactly.
PointResult evaluateMeanPoint(double a, double b);
// evaluatePoint's reactance alone, by the same steps, at the four readings one
// count off either way: (a - 1, b - 1), (a - 1, b + 1), (a + 1, b - 1) and
// (a + 1, b + 1).
std::array<float, 4> reactancesAround(int16_t a, int16_t b);
// The same for mean readings: evaluateMeanPoint's reactance at the four.
std::array<float, 4> reactancesAround(double a, double b);

// evaluateMeanPoint's steps for a reading that is no whole count, each hanging
// on one reading (so that tables can keep them), and its reactance from them:
// the reflection's size from channel A's reading, its angle's cosine and sine
// from channel B's.
struct ReflectionTurn {
  double cos;
  double sin;
};
float meanReflectionSize(double a);
ReflectionTurn meanReflectionTurn(double b);
float reactanceFrom(float rho, ReflectionTurn turn);
// reactanceFrom at each size with each turn: (size 0, turn 0), (0, 1), (1, 0), (1, 1).
std::array<float, 4> reactancesFrom(const std::array<float, 2>& sizes,
                                    const std::array<ReflectionTurn, 2>& turns);

}  // namespace kolm::analyzer
