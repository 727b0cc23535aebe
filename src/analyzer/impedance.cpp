#include "analyzer/impedance.h"

#include <cmath>

namespace kolm::analyzer {

ComplexSingle DividiComplessi(float a, float b, float p, float q) {
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

PointResult evaluatePoint(int16_t a, int16_t b) {
  PointResult r;
  const float phase = static_cast<float>(b) * 180.0f / 1024.0f;
  const int16_t difference = static_cast<int16_t>(512 - a);
  const float returnLoss = static_cast<float>(difference * 30) / 512.0f;
  const float theta = static_cast<float>(static_cast<double>(phase) * 3.14 / 180.0);
  const float rho = static_cast<float>(std::pow(10.0, -static_cast<double>(returnLoss) / 20.0));
  const float gammaRe = static_cast<float>(rho * std::cos(static_cast<double>(theta)));
  const float gammaIm = static_cast<float>(rho * std::sin(static_cast<double>(theta)));

  const float onePlusRe = 1.0f + gammaRe;
  const float oneMinusRe = 1.0f - gammaRe;
  const ComplexSingle z = DividiComplessi(onePlusRe, gammaIm, oneMinusRe, -gammaIm);
  const float resistance = 50.0f * z.re;
  const float reactance = 50.0f * z.im;
  const float magnitude = static_cast<float>(std::sqrt(
      static_cast<double>(resistance) * resistance + static_cast<double>(reactance) * reactance));

  // Only the SWR avoids the pole of a total reflection.
  const float rhoForSwr = rho == 1.0f ? 0.999f : rho;
  const float swr = (1.0f + rhoForSwr) / (1.0f - rhoForSwr);

  r.returnLossDb = returnLoss;
  r.phaseDeg = phase;
  r.rho = rho;
  r.gammaRe = gammaRe;
  r.gammaIm = gammaIm;
  r.finite = std::isfinite(resistance) && std::isfinite(reactance) && std::isfinite(magnitude);
  r.values = {returnLoss, phase, magnitude, resistance, reactance, swr};
  return r;
}

bool CalcolaPunto(int16_t a, int16_t b, PointValues& ValoriPunto) {
  const PointResult r = evaluatePoint(a, b);
  if (!r.finite) return false;
  ValoriPunto = r.values;
  return true;
}

}  // namespace kolm::analyzer
