#include "sim/simulated_instrument.h"

#include <cmath>
#include <numbers>

#include "common/text.h"
#include "hw/params.h"
#include "hw/wire.h"

namespace kolm::sim {

namespace {

using namespace hw::wire;

constexpr int kMultiplierRegister = 1;
constexpr int kWordRegister = 4;

// The converters' 10-bit range.
int toCounts(double x) {
  if (!(x > 0)) return 0;  // also -inf and NaN
  if (x >= 1023) return 1023;
  return static_cast<int>(common::roundHalfEven(x));
}

uint64_t splitmix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

SimulatedInstrument::SimulatedInstrument(SimSettings settings, Dut dut, Load load)
    : settings_(settings), dut_(std::move(dut)), load_(std::move(load)) {
  rng_ = settings_.seed;
  recompute();
}

void SimulatedInstrument::setSettings(const SimSettings& settings) {
  settings_ = settings;
  rng_ = settings_.seed;
  haveSpare_ = false;
  recompute();
}

void SimulatedInstrument::setDut(Dut dut) {
  dut_ = std::move(dut);
  recompute();
}

std::string SimulatedInstrument::configure(const SimulatorOptions& options) {
  auto dut = parseDut(options.dut);
  auto load = parseLoad(options.load);
  auto board = parseBoard(options.board);
  auto quartz = parseQuartz(options.quartz);
  std::string error;
  for (const std::string* e : {&dut.error, &load.error, &quartz.error})
    if (!e->empty()) error += (error.empty() ? "" : "; ") + *e;
  if (!board)
    error += (error.empty() ? "" : "; ") + std::string("board '") + options.board +
             "': typical, ideal or harsh";
  if (!error.empty()) return error;
  dut_ = std::move(*dut.value);
  load_ = std::move(*load.value);
  settings_.board = *board;
  settings_.quartzFollowsParams = !*quartz.value;
  if (*quartz.value) settings_.quartzMHz = **quartz.value;
  recompute();
  return {};
}

std::string SimulatedInstrument::connectLoad(std::string_view text) {
  auto load = parseLoad(text);
  if (!load.ok()) return load.error;
  load_ = std::move(*load.value);
  recompute();
  return {};
}

void SimulatedInstrument::attach(const hw::HardwareParams* params) {
  params_ = params;
  recompute();
}

double SimulatedInstrument::quartzMHz() const {
  if (settings_.quartzFollowsParams && params_ && params_->quartzMHz > 0) return params_->quartzMHz;
  return settings_.quartzMHz;
}

std::string SimulatedInstrument::setup() const {
  std::string out = "sim, " + std::string(boardName(settings_.board)) + " board";
  if (quartzSetApart()) out += ", its quartz " + common::shortestText(quartzMHz(), 9) + " MHz";
  return out;
}

bool SimulatedInstrument::quartzSetApart() const {
  return params_ && params_->quartzMHz > 0 && quartzMHz() != params_->quartzMHz;
}

void SimulatedInstrument::writeData(uint8_t value) {
  const uint8_t before = last_;
  const uint8_t rising = value & ~before;
  last_ = value;

  // DDS: held cleared while the reset line is high.
  if (value & kResetLine) {
    if (rising & kResetLine) resetDds();
  } else {
    if (rising & kSerialClock) shiftDdsBit(value & kSerialData);
    if (rising & kUpdateLine) {
      word_ = bufferWord_;
      multiplier_ = bufferMultiplier_;
      recompute();
    }
  }

  // Converters: the select line falling starts a conversion and puts the most
  // significant bit out; each rising clock edge while selected moves to the next.
  if (value & kConverterSelect) {
    if (rising & kConverterSelect) {
      bitIndex_ = -1;
      status_ = 0;
    }
  } else if (before & kConverterSelect) {
    startConversion();
  } else if (rising & kConverterClock) {
    if (bitIndex_ >= 0) --bitIndex_;
    presentBit();
  }
}

void SimulatedInstrument::resetDds() {
  shift_ = 0;
  bits_ = 0;
  bytesLeft_ = 0;
  instruction_ = 0;
  bufferWord_ = 0;
  bufferMultiplier_ = 0;
  word_ = 0;
  multiplier_ = 0;
  recompute();
}

void SimulatedInstrument::shiftDdsBit(int bit) {
  shift_ = (shift_ << 1) | static_cast<uint64_t>(bit);
  if (++bits_ < 8) return;
  const int byte = static_cast<int>(shift_ & 0xFF);
  bits_ = 0;
  if (bytesLeft_ == 0) {
    // An instruction byte: the register it names and how many bytes follow.
    // Registers this instrument does not use take four bytes, which are dropped.
    instruction_ = byte;
    bytesLeft_ = instruction_ == kMultiplierRegister ? 3 : 4;
    shift_ = 0;
    return;
  }
  if (--bytesLeft_ > 0) return;
  if (instruction_ == kWordRegister) bufferWord_ = static_cast<uint32_t>(shift_ & 0xFFFFFFFFu);
  if (instruction_ == kMultiplierRegister) bufferMultiplier_ = (byte >> 3) & 0x1F;
  shift_ = 0;
}

void SimulatedInstrument::recompute() {
  clockMHz_ = hw::systemClockMHz(multiplier_, quartzMHz());
  double f = static_cast<double>(word_) * clockMHz_ / 4294967296.0;
  // Above half the clock the DDS puts out the image below it.
  outputMHz_ = f <= clockMHz_ / 2 ? f : clockMHz_ - f;
  outputOn_ = word_ != 0 && clockMHz_ > 0 && outputMHz_ > 0;

  // The harsh board is the typical one with a worse bridge.
  const bool typical = settings_.board != Board::Ideal;
  if (!outputOn_) {
    detectorDbm_ = -HUGE_VAL;
    gamma_ = 0.0;
  } else {
    // Zero-order hold: sin(x)/x of f / clock.
    const double x = std::numbers::pi * outputMHz_ / clockMHz_;
    const double holdDb = 20.0 * std::log10(std::abs(std::sin(x) / x));
    const double filterDb = typical ? typical::generatorDb(outputMHz_) : 0;
    detectorDbm_ = settings_.levelDbm + holdDb + filterDb + dut_.gainDb(outputMHz_);
    gamma_ = load_.gamma(outputMHz_);
  }
  detNoise_ = settings_.detectorNoiseCounts;
  aNoise_ = bNoise_ = settings_.bridgeNoiseCounts;
  if (typical) {
    // With the output off the detector reads its noise floor and the bridge
    // channels their own bottoms.
    detBase_ = typical::detectorCounts(detectorDbm_, outputMHz_);
    const typical::BridgeOutput bridge = typical::bridge(
        outputOn_ ? gamma_ : 0.0, outputMHz_,
        settings_.board == Board::Harsh ? typical::harshBridge() : typical::typicalBridge());
    aBase_ = bridge.a;
    bBase_ = bridge.b;
    detNoise_ = std::hypot(detNoise_, typical::kDetectorNoiseCounts);
    aNoise_ = std::hypot(aNoise_, bridge.noiseA);
    bNoise_ = std::hypot(bNoise_, bridge.noiseB);
  } else if (!outputOn_) {
    detBase_ = aBase_ = bBase_ = -HUGE_VAL;
  } else {
    const double slope = (settings_.countsAt0Dbm - settings_.countsAtMinus60Dbm) / 60.0;
    detBase_ = settings_.countsAt0Dbm + detectorDbm_ * slope;
    const double rho = std::abs(gamma_);
    const double returnLoss = rho > 0 ? -20.0 * std::log10(rho) : HUGE_VAL;
    aBase_ = 512.0 - returnLoss * 512.0 / 30.0;
    const double phase = std::abs(std::arg(gamma_)) * 180.0 / std::numbers::pi;
    bBase_ = phase * 1024.0 / 180.0;
  }
  detCount_ = toCounts(detBase_);
  aCount_ = toCounts(aBase_);
  bCount_ = toCounts(bBase_);
}

void SimulatedInstrument::startConversion() {
  auto noisy = [this](double base, double sigma, int clean) {
    return sigma > 0 ? toCounts(base + sigma * gaussian()) : clean;
  };
  latchedDet_ = noisy(detBase_, detNoise_, detCount_);
  latchedA_ = noisy(aBase_, aNoise_, aCount_);
  latchedB_ = noisy(bBase_, bNoise_, bCount_);
  bitIndex_ = 9;
  presentBit();
}

void SimulatedInstrument::presentBit() {
  if (bitIndex_ < 0) {
    status_ = 0;
    return;
  }
  const int i = bitIndex_;
  status_ = static_cast<uint8_t>((((latchedDet_ >> i) & 1) ? kDetectorBit : 0) |
                                 (((latchedA_ >> i) & 1) ? kBridgeABit : 0) |
                                 (((latchedB_ >> i) & 1) ? kBridgeBBit : 0));
}

double SimulatedInstrument::gaussian() {
  if (haveSpare_) {
    haveSpare_ = false;
    return spare_;
  }
  // Box-Muller on two uniform numbers in (0, 1].
  const double u1 = (static_cast<double>(splitmix(rng_) >> 11) + 1.0) * 0x1.0p-53;
  const double u2 = static_cast<double>(splitmix(rng_) >> 11) * 0x1.0p-53;
  const double radius = std::sqrt(-2.0 * std::log(u1));
  const double angle = 2.0 * std::numbers::pi * u2;
  spare_ = radius * std::sin(angle);
  haveSpare_ = true;
  return radius * std::cos(angle);
}

SimulatedInstrument* findSimulator(hw::PortIo* port) {
  if (auto* sim = dynamic_cast<SimulatedInstrument*>(port)) return sim;
  if (auto* tracing = dynamic_cast<hw::TracingPort*>(port)) return findSimulator(&tracing->inner());
  return nullptr;
}

}  // namespace kolm::sim
