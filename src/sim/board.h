// The simulated board's analog parts. Two characters:
//
// - ideal: the laws the program reads with, exactly (a detector straight from
//   826 counts at 0 dBm to 235 at -60 dBm, a bridge of 512 counts at a total
//   reflection falling 512 / 30 per dB of return loss and a phase of 1024 / 180
//   counts per degree). For tests that need exact counts.
// - harsh: the typical board with a worse bridge (24 dB of directivity, the
//   phase output's ends rounded over 25 degrees), to show that the program's
//   marks follow the figures it is given, not one board.
// - typical: what parts of these kinds do, as their published behaviour
//   describes them in general terms (docs/simulator.md): a logarithmic
//   detector with its own slope and intercept drifting with frequency, a small
//   log-conformance error, a noise floor reached through a soft knee and
//   compression at the top; a gain/phase detector behind a bridge of finite
//   directivity, with soft range ends, slope and offset errors, a phase output
//   that rounds off within a few degrees of 0 and 180 degrees and no sign; and
//   the generator's output filter ripple. Readings carry seeded noise.
#pragma once

#include <complex>
#include <optional>
#include <string_view>

namespace kolm::sim {

enum class Board { Typical, Ideal, Harsh };

// "typical", "ideal" or "harsh".
std::string_view boardName(Board board);
// The board of a name (letter case ignored, blanks around it allowed); empty
// for any other text.
std::optional<Board> parseBoard(std::string_view text);

namespace typical {

// The generator's level beyond the hold's sin(x)/x: the output filter's
// passband ripple and roll-off, dB.
double generatorDb(double frequencyMHz);

// The level detector's converter count for `dbm` at its input, before noise and
// rounding (it may lie outside 0..1023; the converter clips).
double detectorCounts(double dbm, double frequencyMHz);
inline constexpr double kDetectorNoiseCounts = 0.4;

// The bridge channels for a load of reflection `gamma`, before noise and
// rounding, with the standard deviation of each channel's noise in counts.
struct BridgeOutput {
  double a = 0;
  double b = 0;
  double noiseA = 0;
  double noiseB = 0;
};
// What sets one board's bridge apart from another's.
struct BridgeParts {
  double directivity = 0;       // the error vector against the incident wave
  double phaseRoundingDeg = 0;  // how far the phase output's ends are rounded
};
// The typical board: a directivity of 30 dB and phase ends rounded so that the
// output is within 1 degree from 18 to 162 degrees. The harsh board: 24 dB and
// within 1 degree from 25 to 155 degrees.
BridgeParts typicalBridge();
BridgeParts harshBridge();
BridgeOutput bridge(std::complex<double> gamma, double frequencyMHz,
                    const BridgeParts& parts = typicalBridge());

}  // namespace typical

}  // namespace kolm::sim
