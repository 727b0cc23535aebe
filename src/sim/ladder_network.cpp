#include "sim/ladder_network.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace kolm::sim {

namespace {

using Complex = std::complex<double>;

// A quartz crystal: the motional arm (R, L and the C that resonates with L at
// Fs) with the holder's capacitance across it, as an admittance.
Complex crystalAdmittance(const circuit::CrystalModel& m, double fHz) {
  const double w = 2 * std::numbers::pi * fHz;
  const double ws = 2 * std::numbers::pi * m.fsHz;
  const double c = 1 / (ws * ws * m.lHenry);
  const Complex arm = Complex(m.rOhm, w * m.lHenry) + 1.0 / Complex(0, w * c);
  return 1.0 / arm + Complex(0, w * m.c0Farad);
}

}  // namespace

std::complex<double> ladderNodalTransfer(const circuit::LadderNetwork& n, double fHz) {
  const double w = 2 * std::numbers::pi * fHz;
  const size_t k = n.crystals.size();
  if (k == 0 || !(fHz > 0)) return 0.0;
  // Nodes: 0 the source's end of the chain; each series part adds the node
  // after it; the crystals' junctions carry the shunt capacitors.
  struct Branch {
    size_t from, to;
    Complex y;
  };
  std::vector<Branch> branches;
  std::vector<Complex> toGround(1, 0.0);
  size_t node = 0;
  auto series = [&](Complex y) {
    toGround.push_back(0.0);
    branches.push_back({node, node + 1, y});
    ++node;
  };
  for (size_t i = 0; i < k; ++i) {
    if (i > 0) toGround[node] += Complex(0, w * n.shunt[i - 1]);
    if (i < n.series.size() && n.series[i]) series(Complex(0, w * *n.series[i]));
    series(crystalAdmittance(n.crystals[i].model, fHz));
  }
  const double g = 1 / n.rTermOhm;
  toGround.front() += g;
  toGround.back() += g;
  // Y V = I, the source's Norton current (1 V behind r_term) into node 0.
  const size_t size = toGround.size();
  std::vector<std::vector<Complex>> y(size, std::vector<Complex>(size + 1, 0.0));
  for (size_t i = 0; i < size; ++i) y[i][i] += toGround[i];
  for (const Branch& b : branches) {
    y[b.from][b.from] += b.y;
    y[b.to][b.to] += b.y;
    y[b.from][b.to] -= b.y;
    y[b.to][b.from] -= b.y;
  }
  y[0][size] = g;
  for (size_t c = 0; c < size; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < size; ++r)
      if (std::abs(y[r][c]) > std::abs(y[pivot][c])) pivot = r;
    std::swap(y[c], y[pivot]);
    for (size_t r = c + 1; r < size; ++r) {
      const Complex m = y[r][c] / y[c][c];
      for (size_t j = c; j <= size; ++j) y[r][j] -= m * y[c][j];
    }
  }
  std::vector<Complex> v(size);
  for (size_t r = size; r-- > 0;) {
    Complex s = y[r][size];
    for (size_t j = r + 1; j < size; ++j) s -= y[r][j] * v[j];
    v[r] = s / y[r][r];
  }
  return 2.0 * v.back();
}

}  // namespace kolm::sim
