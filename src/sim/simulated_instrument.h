// The simulated instrument: a port back end that reacts to exactly the bytes the
// program writes, as the instrument's chips would.
//
// Data register: bit 0 serial data, bit 1 serial clock (the DDS takes bit 0 on
// its rising edge), bit 2 update strobe, bit 7 DDS reset; bit 3 converter clock,
// bit 4 converter select (high = idle). Status register: bit 6 the level
// detector, bits 5 and 4 the bridge's return-loss and phase channels, each a
// serial 10-bit converter shifting out its most significant bit first.
//
// The analog side (output frequency, level at the detector, reflection on the
// bridge) is worked out once per DDS update or change of what is connected, so a
// port access costs only a few bit operations.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "hw/port_factory.h"
#include "hw/portio.h"
#include "hw/readout.h"
#include "sim/board.h"
#include "sim/connection.h"

namespace kolm::sim {

// What the simulated instrument has connected (see the connection grammar):
// between generator and detector, and on the bridge; which board it models
// ("typical" parts or the "ideal" read-out laws); and its own quartz in MHz when
// it is set apart from the hardware parameters (empty: it follows them).
struct SimulatorOptions : hw::PortSettings {
  SimulatorOptions(std::string dut = "through", std::string load = "r=50",
                   std::string board = "typical", std::string quartz = "")
      : dut(std::move(dut)),
        load(std::move(load)),
        board(std::move(board)),
        quartz(std::move(quartz)) {}
  std::string dut;
  std::string load;
  std::string board;
  std::string quartz;
};

// The simulator's own hardware, for tests and for users who want it noisier.
struct SimSettings {
  Board board = Board::Typical;
  // The DDS's quartz follows the hardware parameters it is attached to (dds.cfg)
  // unless set apart; then, or when the parameters hold none, it is `quartzMHz`.
  bool quartzFollowsParams = true;
  double quartzMHz = 20;
  double levelDbm = 0;  // generator output at low frequency
  // The ideal board's detector law: counts linear in dBm.
  double countsAt0Dbm = hw::kNominalCountsAt0Dbm;
  double countsAtMinus60Dbm = hw::kNominalCountsAtMinus60Dbm;
  // Gaussian noise added on either board (the typical board has its own too),
  // standard deviation in counts.
  double detectorNoiseCounts = 0;
  double bridgeNoiseCounts = 0;
  uint64_t seed = 1;  // the noise repeats for the same seed
};

class SimulatedInstrument final : public hw::PortIo {
 public:
  explicit SimulatedInstrument(SimSettings settings = {}, Dut dut = {}, Load load = {});

  void writeData(uint8_t value) override;
  // The simulated generator ends with the program: nothing to switch off.
  bool writeDataFromSignal(uint8_t) noexcept override { return true; }
  uint8_t readStatus() override { return status_; }
  std::string name() const override { return "sim"; }
  std::string setup() const override;
  bool simulated() const override { return true; }
  bool addressed() const override { return false; }
  void attach(const hw::HardwareParams* params) override;

  const SimSettings& settings() const { return settings_; }
  // Also restarts the noise from the seed.
  void setSettings(const SimSettings& settings);
  const Dut& dut() const { return dut_; }
  const Load& load() const { return load_; }
  void setDut(Dut dut);
  // Connects what `options` describe: both parts or, when either is malformed,
  // neither. Returns the error (empty when applied).
  std::string configure(const SimulatorOptions& options);
  // Connects `text` (the --load form) on the bridge, the rest as it is;
  // returns the error (empty when connected), nothing changed then.
  std::string connectLoad(std::string_view text);

  // The quartz the DDS runs from now, and whether it is set apart from the
  // hardware parameters it is attached to (they say another quartz).
  double quartzMHz() const;
  bool quartzSetApart() const;

  // What the DDS is running with (after the last update).
  uint32_t tuningWord() const { return word_; }
  int multiplier() const { return multiplier_; }
  double systemClockMHz() const { return clockMHz_; }
  // The output frequency: word x clock / 2^32, folded below half the clock.
  double outputMHz() const { return outputMHz_; }
  bool outputOn() const { return outputOn_; }
  // Level at the detector's input, dBm (very low when the output is off).
  double detectorDbm() const { return detectorDbm_; }
  // Noise-free readings the converters would give now.
  int detectorCounts() const { return detCount_; }
  int bridgeA() const { return aCount_; }
  int bridgeB() const { return bCount_; }
  std::complex<double> bridgeGamma() const { return gamma_; }

 private:
  void resetDds();
  void shiftDdsBit(int bit);
  void recompute();
  void startConversion();
  void presentBit();
  double gaussian();

  SimSettings settings_;
  const hw::HardwareParams* params_ = nullptr;
  Dut dut_;
  Load load_;

  uint8_t last_ = 0;  // data lines as last written
  uint8_t status_ = 0;

  // DDS serial port and registers.
  uint64_t shift_ = 0;
  int bits_ = 0;       // bits in `shift_`
  int bytesLeft_ = 0;  // data bytes still expected; 0 while waiting for an instruction
  int instruction_ = 0;
  uint32_t bufferWord_ = 0;
  int bufferMultiplier_ = 0;
  uint32_t word_ = 0;
  int multiplier_ = 0;

  // Analog side, worked out by recompute().
  double clockMHz_ = 0;
  double outputMHz_ = 0;
  bool outputOn_ = false;
  double detectorDbm_ = 0;
  double detBase_ = 0, aBase_ = 0, bBase_ = 0;     // before rounding and noise
  double detNoise_ = 0, aNoise_ = 0, bNoise_ = 0;  // standard deviations, counts
  int detCount_ = 0, aCount_ = 0, bCount_ = 0;
  std::complex<double> gamma_;

  // Serial converters: values latched when the select line falls.
  int latchedDet_ = 0, latchedA_ = 0, latchedB_ = 0;
  int bitIndex_ = -1;  // bit now on the status lines; -1 none

  // Noise generator.
  uint64_t rng_ = 0;
  bool haveSpare_ = false;
  double spare_ = 0;
};

// The simulated instrument inside `port` (directly or under a tracing port), or
// null when the port is a real one.
SimulatedInstrument* findSimulator(hw::PortIo* port);

}  // namespace kolm::sim
