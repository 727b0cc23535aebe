#include "scpi/errors.h"

#include <array>
#include <utility>

namespace kolm::scpi {

namespace {

constexpr std::pair<int, std::string_view> kTexts[] = {
    {kNoError, "No error"},
    {kCommandError, "Command error"},
    {kInvalidCharacter, "Invalid character"},
    {kSyntaxError, "Syntax error"},
    {kInvalidSeparator, "Invalid separator"},
    {kDataTypeError, "Data type error"},
    {kParameterNotAllowed, "Parameter not allowed"},
    {kMissingParameter, "Missing parameter"},
    {kHeaderSeparatorError, "Header separator error"},
    {kMnemonicTooLong, "Program mnemonic too long"},
    {kUndefinedHeader, "Undefined header"},
    {kHeaderSuffixOutOfRange, "Header suffix out of range"},
    {kNumericDataError, "Numeric data error"},
    {kInvalidCharacterInNumber, "Invalid character in number"},
    {kExponentTooLarge, "Exponent too large"},
    {kTooManyDigits, "Too many digits"},
    {kInvalidSuffix, "Invalid suffix"},
    {kSuffixTooLong, "Suffix too long"},
    {kSuffixNotAllowed, "Suffix not allowed"},
    {kInvalidCharacterData, "Invalid character data"},
    {kCharacterDataTooLong, "Character data too long"},
    {kCharacterDataNotAllowed, "Character data not allowed"},
    {kInvalidStringData, "Invalid string data"},
    {kStringDataNotAllowed, "String data not allowed"},
    {kInvalidBlockData, "Invalid block data"},
    {kBlockDataNotAllowed, "Block data not allowed"},
    {kExpressionDataNotAllowed, "Expression data not allowed"},
    {kExecutionError, "Execution error"},
    {kInitIgnored, "Init ignored"},
    {kSettingsConflict, "Settings conflict"},
    {kDataOutOfRange, "Data out of range"},
    {kTooMuchData, "Too much data"},
    {kIllegalParameterValue, "Illegal parameter value"},
    {kDataStale, "Data corrupt or stale"},
    {kHardwareError, "Hardware error"},
    {kMassStorageError, "Mass storage error"},
    {kFileNameNotFound, "File name not found"},
    {kFileNameError, "File name error"},
    {kDeviceError, "Device-specific error"},
    {kQueueOverflow, "Queue overflow"},
    {kInputBufferOverrun, "Input buffer overrun"},
    {kQueryError, "Query error"},
};

// Longest error string SCPI allows, quotes included.
constexpr size_t kLongestEntry = 255;

}  // namespace

std::string_view errorText(int code) {
  for (const auto& [number, text] : kTexts)
    if (number == code) return text;
  return "Device-specific error";
}

uint8_t eventBitOf(int code) {
  if (code <= -100 && code > -200) return kCommandErrorBit;
  if (code <= -200 && code > -300) return kExecutionErrorBit;
  if (code <= -400 && code > -500) return kQueryErrorBit;
  return code == kNoError ? 0 : kDeviceErrorBit;
}

std::string plainAscii(std::string_view text) {
  static constexpr std::pair<std::string_view, std::string_view> kSpelled[] = {
      {"\u00b1", "+/-"}, {"\u03a9", "ohm"}, {"\u00b5", "u"}, {"\u00b0", " deg"}, {"\u2265", ">="},
      {"\u2264", "<="},  {"\u2212", "-"},   {"\u00d7", "x"}, {"\u2248", "~"},    {"\u2013", "-"}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f) {
      out += text[i++];
      continue;
    }
    bool spelled = false;
    for (const auto& [sign, words] : kSpelled)
      if (text.substr(i, sign.size()) == sign) {
        out += words;
        i += sign.size();
        spelled = true;
        break;
      }
    if (spelled) continue;
    out += '?';
    // The rest of a UTF-8 sequence goes with its first byte.
    for (++i; i < text.size() && (static_cast<unsigned char>(text[i]) & 0xc0) == 0x80;) ++i;
  }
  return out;
}

void ErrorQueue::push(int code, std::string_view detail) {
  if (entries_.size() >= kCapacity) {
    entries_.back() = std::to_string(kQueueOverflow) + ",\"Queue overflow\"";
    return;
  }
  std::string text(errorText(code));
  if (!detail.empty()) text += ";" + plainAscii(detail);
  const std::string number = std::to_string(code);
  std::string quoted;
  for (char c : text) {
    // The number, the comma and the two quotes stand around the text.
    if (number.size() + quoted.size() + 5 > kLongestEntry) break;
    quoted += c;
    if (c == '"') quoted += '"';
  }
  entries_.push_back(number + ",\"" + quoted + "\"");
}

std::string ErrorQueue::next() {
  if (entries_.empty()) return "0,\"No error\"";
  std::string entry = std::move(entries_.front());
  entries_.pop_front();
  return entry;
}

}  // namespace kolm::scpi
