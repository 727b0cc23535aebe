// One remote-control conversation: a client's messages carried out unit by
// unit against a command tree, with the status registers and the error queue
// of IEEE 488.2 (*ESR, *ESE, *SRE, *STB, *OPC, *WAI) and the SCPI status and
// system commands every instrument has. Several sessions may share one
// instrument (the Device); each keeps its own errors, registers and data format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scpi/errors.h"
#include "scpi/parser.h"
#include "scpi/tree.h"

namespace kolm::scpi {

// What the sessions need of the instrument behind them.
class Device {
 public:
  virtual ~Device() = default;
  // *IDN?: maker, model, serial (or "0") and version, separated by commas.
  virtual std::string identity() const = 0;
  // *RST: the instrument's settings as at start, any operation ended.
  virtual void reset() = 0;
  // *TST?: 0 when the self-test passed, else a code with `why` said.
  virtual int selfTest(std::string& why) = 0;
  // An operation (a sweep, a calibration pass) has not ended yet.
  virtual bool busy() const = 0;
  // STATus:OPERation:CONDition? bits.
  virtual uint16_t operationCondition() const = 0;
};

// Operation status bits.
inline constexpr uint16_t kSweepingBit = 1u << 3;
inline constexpr uint16_t kMeasuringBit = 1u << 4;
inline constexpr uint16_t kCalibratingBit = 1u << 0;

enum class DataFormat { Ascii, Real64 };

// How a number of a parameter is read.
enum class Quantity { None, Frequency, Time, Decibel };
struct Limits {
  double min = 0;
  double max = 0;
  double def = 0;
};

class Session;

// One unit being carried out, with the helpers a handler reads its
// parameters and gives its answer with. A helper that finds a parameter
// wrong puts the error in the queue and returns nothing.
class Call {
 public:
  Call(Session& session, const Unit& unit, const Match& match)
      : session_(session), unit_(unit), match_(match) {}
  const Unit& unit() const { return unit_; }
  // The numeric suffix sent with node `node` of the pattern (1 by default).
  int suffix(size_t node) const { return match_.suffixes[node]; }
  Session& session() { return session_; }

  // Exactly `count` parameters (or between `min` and `max`); else -109 or -108.
  bool parameters(size_t min, size_t max);
  bool parameters(size_t count) { return parameters(count, count); }
  // Parameter `i` as a number of `quantity`, in its base unit (Hz, s, dB),
  // with MIN, MAX and DEF; -222 outside [min, max].
  std::optional<double> number(size_t i, Quantity quantity, const Limits& limits);
  // A whole number (a decimal rounded to the nearest).
  std::optional<long> whole(size_t i, const Limits& limits);
  // ON, OFF, or a number (0 is OFF).
  std::optional<bool> boolean(size_t i);
  // Character data matching one of `patterns` ("ASCii", "REAL"): its index.
  std::optional<size_t> choice(size_t i, const std::vector<std::string_view>& patterns);
  // A string parameter's content.
  std::optional<std::string> text(size_t i);

  void reply(std::string text);
  void replyNumber(double value);
  void replyInteger(long long value);
  void replyBoolean(bool value) { replyInteger(value ? 1 : 0); }
  void replyString(std::string_view text);
  // Numbers as the session's format says: NR3 separated by commas, or a
  // definite length block of 64-bit reals.
  void replyNumbers(const std::vector<double>& values);
  void error(int code, std::string_view detail = {});
  // The unit is carried out again once the device is no longer busy (*WAI,
  // *OPC?, a command that needs the instrument while a pass runs).
  void waitForDevice() { waiting_ = true; }
  bool waiting() const { return waiting_; }
  bool failed() const { return failed_; }

 private:
  Session& session_;
  const Unit& unit_;
  const Match& match_;
  bool waiting_ = false;
  bool failed_ = false;
};

class Session {
 public:
  Session(const CommandTree& tree, Device& device) : tree_(tree), device_(device) {}

  // Carries out a message (its line feed taken off). True when it ended;
  // false when it waits for the device (resume() goes on with it).
  bool run(std::string message);
  // Goes on with a message that waited, when the device is no longer busy.
  bool resume();
  bool waiting() const { return waiting_; }
  // The response to send (with its line feed), taken once a message ended.
  std::string takeResponse();
  // Looks at the device after its state may have changed: an armed *OPC is
  // set, the operation event register latches what began.
  void poll();

  ErrorQueue& errors() { return errors_; }
  // An error that arose outside a command (a message too long, the port
  // failing during a pass): queued, and its event status bit set.
  void error(int code, std::string_view detail) {
    errors_.push(code, detail);
    raise(code);
  }
  DataFormat format = DataFormat::Ascii;
  bool swapped = false;  // FORMat:BORDer SWAPped: little-endian reals
  Device& device() { return device_; }
  // Who this session is, for the device (the client that switched the output on).
  int client = 0;

  // The common commands and the status, system and format subsystems every
  // instrument has.
  static void addStandardCommands(CommandTree& tree);

 private:
  friend class Call;
  bool carryOn();
  bool common(const Unit& unit);
  uint8_t statusByte();
  void raise(int code);

  const CommandTree& tree_;
  Device& device_;
  ErrorQueue errors_;
  uint8_t esr_ = 0x80;  // power on
  uint8_t ese_ = 0;
  uint8_t sre_ = 0;
  bool opcArmed_ = false;
  uint16_t operationEvent_ = 0;
  uint16_t operationEnable_ = 0;
  uint16_t questionableEnable_ = 0;
  uint16_t lastCondition_ = 0;

  std::string message_;
  size_t position_ = 0;
  std::vector<PatternNode> path_;
  std::vector<std::string> replies_;
  std::string response_;
  bool waiting_ = false;
};

// A number as NR3 in its shortest exact form ("1.42E+07"); infinity as
// 9.9E+37, NaN as 9.91E+37, as SCPI writes them.
std::string nr3(double value);
// `bytes` as a definite length block: #, the digits of the length, the length, the bytes.
std::string definiteBlock(std::string_view bytes);

}  // namespace kolm::scpi
