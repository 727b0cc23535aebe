// The error queue of a remote-control conversation, with the standard error
// numbers and texts of IEEE 488.2 and SCPI, and the event status bits each
// class of error sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace kolm::scpi {

// The standard numbers this program reports.
enum ErrorCode : int {
  kNoError = 0,
  kCommandError = -100,
  kInvalidCharacter = -101,
  kSyntaxError = -102,
  kInvalidSeparator = -103,
  kDataTypeError = -104,
  kParameterNotAllowed = -108,
  kMissingParameter = -109,
  kHeaderSeparatorError = -111,
  kMnemonicTooLong = -112,
  kUndefinedHeader = -113,
  kHeaderSuffixOutOfRange = -114,
  kNumericDataError = -120,
  kInvalidCharacterInNumber = -121,
  kExponentTooLarge = -123,
  kTooManyDigits = -124,
  kInvalidSuffix = -131,
  kSuffixTooLong = -134,
  kSuffixNotAllowed = -138,
  kInvalidCharacterData = -141,
  kCharacterDataTooLong = -144,
  kCharacterDataNotAllowed = -148,
  kInvalidStringData = -151,
  kStringDataNotAllowed = -158,
  kInvalidBlockData = -161,
  kBlockDataNotAllowed = -168,
  kExpressionDataNotAllowed = -178,
  kExecutionError = -200,
  kInitIgnored = -213,
  kSettingsConflict = -221,
  kDataOutOfRange = -222,
  kTooMuchData = -223,
  kIllegalParameterValue = -224,
  kDataStale = -230,
  kHardwareError = -240,
  kMassStorageError = -250,
  kFileNameNotFound = -256,
  kFileNameError = -257,
  kDeviceError = -300,
  kQueueOverflow = -350,
  kInputBufferOverrun = -363,
  kQueryError = -400,
};

// The standard text of `code` ("Undefined header"); "Device-specific error"
// for a number of this program's own.
std::string_view errorText(int code);

// Standard event status register bits.
inline constexpr uint8_t kOperationComplete = 0x01;
inline constexpr uint8_t kQueryErrorBit = 0x04;
inline constexpr uint8_t kDeviceErrorBit = 0x08;
inline constexpr uint8_t kExecutionErrorBit = 0x10;
inline constexpr uint8_t kCommandErrorBit = 0x20;
// The event status bit an error of `code` sets.
uint8_t eventBitOf(int code);

// Errors as SYSTem:ERRor? gives them, oldest first. A full queue keeps its
// oldest entries and says "Queue overflow" in place of the newest.
class ErrorQueue {
 public:
  static constexpr size_t kCapacity = 32;
  // Adds `code` with its standard text and, after a ';', `detail` (made
  // plain ASCII, quotes doubled, the whole kept under 256 characters).
  void push(int code, std::string_view detail = {});
  // The oldest entry, removed: `-113,"Undefined header;FREQ:FOO"`, or
  // `0,"No error"` when the queue is empty.
  std::string next();
  size_t size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  std::deque<std::string> entries_;
};

// `text` as 7-bit printable ASCII: the few non-ASCII signs Kolm's messages use
// spelled out (± as +/-, Ω as ohm), any other byte outside printable ASCII as '?'.
std::string plainAscii(std::string_view text);

}  // namespace kolm::scpi
