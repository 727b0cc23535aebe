#include "analyzer/impedance.h"

#include <array>
#include <cmath>

#include "common/reflection.h"

namespace kolm::analyzer {

ComplexSingle divideComplex(float a, float b, float p, float q) {
  const double pd = p;
  const double qd = q;
  const double divisor = pd * pd + qd * qd;
  const float realNumerator = a * p + b * q;
  const float imagNumerator = b * p - a * q;
  ComplexSingle r;
  r.re = static_cast<float>(realNumerator / divisor);
  r.im = static_cast<float>(imagNumerator / divisor);
  return r;
}

namespace {

float phaseOf(int16_t b) {
  return static_cast<float>(b) * 180.0f / static_cast<float>(kHalfTurnCounts);
}

float returnLossOf(int16_t a) {
  const int16_t difference = static_cast<int16_t>(kTotalReflectionCounts - a);
  return static_cast<float>(difference * kReturnLossRangeDb) /
         static_cast<float>(kTotalReflectionCounts);
}

float rhoOfReturnLoss(float returnLoss) {
  return static_cast<float>(common::magnitudeOfReturnLoss(returnLoss));
}

float rhoOf(int16_t a) { return rhoOfReturnLoss(returnLossOf(a)); }

using Turn = ReflectionTurn;

// The phase turned into radians with the constant 3.14, in single precision.
Turn turnOfDegrees(float degrees) {
  const float theta = static_cast<float>(static_cast<double>(degrees) * 3.14 / 180.0);
  return {std::cos(static_cast<double>(theta)), std::sin(static_cast<double>(theta))};
}

Turn turnOf(int16_t b) { return turnOfDegrees(phaseOf(b)); }

// The power and the trigonometry depend on one reading each: for the readings a
// converter gives (and the simulated 1024) they are worked out once, with the
// very same operations, so a redraw of 20001 points costs little.
constexpr int kTabled = 1025;
struct Tables {
  std::array<float, kTabled> rho;
  std::array<Turn, kTabled> turn;
};

const Tables& tables() {
  static const Tables t = [] {
    Tables x;
    for (int16_t v = 0; v < kTabled; ++v) {
      x.rho[v] = rhoOf(v);
      x.turn[v] = turnOf(v);
    }
    return x;
  }();
  return t;
}

}  // namespace

namespace {

// The point from its phase, return loss, reflection size and angle.
PointResult pointFrom(float phase, float returnLoss, float rho, Turn turn, PointFlag flag) {
  PointResult r;
  const float gammaRe = static_cast<float>(rho * turn.cos);
  const float gammaIm = static_cast<float>(rho * turn.sin);

  const float onePlusRe = 1.0f + gammaRe;
  const float oneMinusRe = 1.0f - gammaRe;
  const ComplexSingle z = divideComplex(onePlusRe, gammaIm, oneMinusRe, -gammaIm);
  constexpr float kReference = static_cast<float>(common::kReferenceOhm);
  const float resistance = kReference * z.re;
  const float reactance = kReference * z.im;
  const float magnitude = static_cast<float>(std::sqrt(
      static_cast<double>(resistance) * resistance + static_cast<double>(reactance) * reactance));

  // Only the SWR avoids the pole of a total reflection.
  const float rhoForSwr = rho == 1.0f ? 0.999f : rho;
  const float swr = (1.0f + rhoForSwr) / (1.0f - rhoForSwr);

  r.returnLossDb = returnLoss;
  r.phaseDeg = phase;
  r.finite = std::isfinite(resistance) && std::isfinite(reactance) && std::isfinite(magnitude);
  r.flag = flag;
  r.values = {returnLoss, phase, magnitude, resistance, reactance, swr};
  return r;
}

}  // namespace

float reactanceFrom(float rho, ReflectionTurn turn) {
  const float gammaRe = static_cast<float>(rho * turn.cos);
  const float gammaIm = static_cast<float>(rho * turn.sin);
  return static_cast<float>(common::kReferenceOhm) *
         divideComplex(1.0f + gammaRe, gammaIm, 1.0f - gammaRe, -gammaIm).im;
}

std::array<float, 4> reactancesFrom(const std::array<float, 2>& sizes,
                                    const std::array<ReflectionTurn, 2>& turns) {
  return {reactanceFrom(sizes[0], turns[0]), reactanceFrom(sizes[0], turns[1]),
          reactanceFrom(sizes[1], turns[0]), reactanceFrom(sizes[1], turns[1])};
}

namespace {

bool whole16(double v) { return v == std::nearbyint(v) && std::fabs(v) <= 32767; }

// A mean reading's steps: those of single readings, in the same precisions.
float meanPhase(double b) { return static_cast<float>(b * 180.0 / kHalfTurnCounts); }
float meanReturnLoss(double a) {
  return static_cast<float>((kTotalReflectionCounts - a) * kReturnLossRangeDb /
                            kTotalReflectionCounts);
}

}  // namespace

float meanReflectionSize(double a) { return rhoOfReturnLoss(meanReturnLoss(a)); }
ReflectionTurn meanReflectionTurn(double b) { return turnOfDegrees(meanPhase(b)); }

PointResult evaluatePoint(int16_t a, int16_t b) {
  const Tables& t = tables();
  const float rho = a >= 0 && a < kTabled ? t.rho[a] : rhoOf(a);
  const Turn turn = b >= 0 && b < kTabled ? t.turn[b] : turnOf(b);
  return pointFrom(phaseOf(b), returnLossOf(a), rho, turn, pointFlag(a, b));
}

std::array<float, 4> reactancesAround(int16_t a, int16_t b) {
  const Tables& t = tables();
  auto rho = [&](int v) {
    return v >= 0 && v < kTabled ? t.rho[v] : rhoOf(static_cast<int16_t>(v));
  };
  auto turn = [&](int v) {
    return v >= 0 && v < kTabled ? t.turn[v] : turnOf(static_cast<int16_t>(v));
  };
  return reactancesFrom({rho(a - 1), rho(a + 1)}, {turn(b - 1), turn(b + 1)});
}

std::array<float, 4> reactancesAround(double a, double b) {
  if (whole16(a) && whole16(b)) {
    if (std::fabs(a) < 32767 && std::fabs(b) < 32767)
      return reactancesAround(static_cast<int16_t>(a), static_cast<int16_t>(b));
    std::array<float, 4> far;  // a neighbour beyond the whole readings
    for (int i = 0; i < 4; ++i)
      far[i] = evaluateMeanPoint(a + (i < 2 ? -1 : 1), b + (i % 2 ? 1 : -1)).values[kReactance];
    return far;
  }
  // evaluateMeanPoint's steps, the size and the turn of each reading once.
  return reactancesFrom({meanReflectionSize(a - 1), meanReflectionSize(a + 1)},
                        {meanReflectionTurn(b - 1), meanReflectionTurn(b + 1)});
}

PointResult evaluateMeanPoint(double a, double b) {
  if (whole16(a) && whole16(b))
    return evaluatePoint(static_cast<int16_t>(a), static_cast<int16_t>(b));
  const float phase = meanPhase(b);
  const float returnLoss = meanReturnLoss(a);
  return pointFrom(phase, returnLoss, rhoOfReturnLoss(returnLoss), turnOfDegrees(phase),
                   pointFlag(a, b));
}

}  // namespace kolm::analyzer
