// A crystal ladder filter as the simulator sees it: the parts of a design file,
// solved as a circuit by nodal analysis. The filter is taken as matched to the
// instrument's 50 ohm by lossless transformers at both ends, so what reaches the
// detector, against the through path, is twice the load's voltage over the
// source's with both terminations at the design's r_term.
#pragma once

#include <complex>

#include "circuit/ladder_network.h"

namespace kolm::sim {

std::complex<double> ladderNodalTransfer(const circuit::LadderNetwork& network, double fHz);

}  // namespace kolm::sim
