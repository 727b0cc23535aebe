#include "scpi/session.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kolm::scpi {

namespace {

// The factor of a suffix for `quantity`; 0 when it is not one of its units.
double unitFactor(std::string_view suffix, Quantity quantity) {
  struct UnitName {
    Quantity quantity;
    std::string_view name;
    double factor;
  };
  // MHZ is megahertz, as SCPI makes it; M elsewhere is milli.
  static constexpr UnitName kUnits[] = {
      {Quantity::Frequency, "HZ", 1},    {Quantity::Frequency, "KHZ", 1e3},
      {Quantity::Frequency, "MHZ", 1e6}, {Quantity::Frequency, "MAHZ", 1e6},
      {Quantity::Frequency, "GHZ", 1e9}, {Quantity::Time, "S", 1},
      {Quantity::Time, "MS", 1e-3},      {Quantity::Time, "US", 1e-6},
      {Quantity::Time, "NS", 1e-9},      {Quantity::Decibel, "DB", 1},
  };
  for (const UnitName& u : kUnits)
    if (u.quantity == quantity && u.name == suffix) return u.factor;
  return 0;
}

// Whether `text` (as sent) is `pattern`'s short or long form ("MINimum").
bool isMnemonic(std::string_view text, std::string_view pattern) {
  std::string shortForm;
  for (char c : pattern)
    if (c >= 'A' && c <= 'Z') shortForm += c;
  const std::string sent = upperCase(text);
  return sent == shortForm || sent == upperCase(pattern);
}

}  // namespace

std::string nr3(double value) {
  if (std::isnan(value)) return "9.91E+37";
  if (std::isinf(value)) return value > 0 ? "9.9E+37" : "-9.9E+37";
  char buffer[40];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string text(buffer, end);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

std::string definiteBlock(std::string_view bytes) {
  const std::string length = std::to_string(bytes.size());
  return "#" + std::to_string(length.size()) + length + std::string(bytes);
}

// ---- Call ----

bool Call::parameters(size_t min, size_t max) {
  const size_t n = unit_.parameters.size();
  if (n < min) error(kMissingParameter, unit_.header.text);
  if (n > max) error(kParameterNotAllowed, unit_.header.text);
  return n >= min && n <= max;
}

std::optional<double> Call::number(size_t i, Quantity quantity, const Limits& limits) {
  const Parameter& p = unit_.parameters.at(i);
  double value = 0;
  if (p.kind == DataKind::Character) {
    if (isMnemonic(p.text, "MINimum")) return limits.min;
    if (isMnemonic(p.text, "MAXimum")) return limits.max;
    if (isMnemonic(p.text, "DEFault")) return limits.def;
    error(kIllegalParameterValue, "'" + p.text + "': a number, MIN, MAX or DEF");
    return std::nullopt;
  }
  if (p.kind == DataKind::Decimal || p.kind == DataKind::NonDecimal) {
    value = p.number;
    if (!p.suffix.empty()) {
      const double factor = quantity == Quantity::None ? 0 : unitFactor(p.suffix, quantity);
      if (factor == 0) {
        error(quantity == Quantity::None ? kSuffixNotAllowed : kInvalidSuffix, p.suffix);
        return std::nullopt;
      }
      value *= factor;
    }
  } else {
    error(p.kind == DataKind::String       ? kStringDataNotAllowed
          : p.kind == DataKind::Block      ? kBlockDataNotAllowed
          : p.kind == DataKind::Expression ? kExpressionDataNotAllowed
                                           : kDataTypeError);
    return std::nullopt;
  }
  if (!(value >= limits.min && value <= limits.max)) {
    error(kDataOutOfRange,
          nr3(value) + " lies outside " + nr3(limits.min) + " to " + nr3(limits.max));
    return std::nullopt;
  }
  return value;
}

std::optional<long> Call::whole(size_t i, const Limits& limits) {
  const auto v = number(i, Quantity::None, limits);
  if (!v) return std::nullopt;
  return std::lround(*v);
}

std::optional<bool> Call::boolean(size_t i) {
  const Parameter& p = unit_.parameters.at(i);
  if (p.kind == DataKind::Character) {
    if (isMnemonic(p.text, "ON")) return true;
    if (isMnemonic(p.text, "OFF")) return false;
    error(kIllegalParameterValue, "'" + p.text + "': ON, OFF, 1 or 0");
    return std::nullopt;
  }
  if ((p.kind == DataKind::Decimal && p.suffix.empty()) || p.kind == DataKind::NonDecimal)
    return std::lround(p.number) != 0;
  error(p.kind == DataKind::Decimal ? kSuffixNotAllowed : kDataTypeError);
  return std::nullopt;
}

std::optional<size_t> Call::choice(size_t i, const std::vector<std::string_view>& patterns) {
  const Parameter& p = unit_.parameters.at(i);
  if (p.kind != DataKind::Character) {
    error(kDataTypeError, "a word is expected");
    return std::nullopt;
  }
  for (size_t k = 0; k < patterns.size(); ++k)
    if (isMnemonic(p.text, patterns[k])) return k;
  std::string words;
  for (std::string_view w : patterns) words += (words.empty() ? "" : "|") + std::string(w);
  error(kIllegalParameterValue, "'" + p.text + "': " + words);
  return std::nullopt;
}

std::optional<std::string> Call::text(size_t i) {
  const Parameter& p = unit_.parameters.at(i);
  if (p.kind == DataKind::String) return p.text;
  error(kDataTypeError, "a quoted string is expected");
  return std::nullopt;
}

void Call::reply(std::string text) { session_.replies_.push_back(std::move(text)); }
void Call::replyNumber(double value) { reply(nr3(value)); }
void Call::replyInteger(long long value) { reply(std::to_string(value)); }

void Call::replyString(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  reply(quoted + "\"");
}

void Call::replyNumbers(const std::vector<double>& values) {
  if (session_.format == DataFormat::Ascii) {
    std::string text;
    text.reserve(values.size() * 14);
    for (size_t k = 0; k < values.size(); ++k) {
      if (k) text += ',';
      text += nr3(values[k]);
    }
    reply(std::move(text));
    return;
  }
  std::string bytes(values.size() * 8, '\0');
  for (size_t k = 0; k < values.size(); ++k) {
    uint64_t bits = 0;
    std::memcpy(&bits, &values[k], 8);
    for (int b = 0; b < 8; ++b) {
      const int shift = session_.swapped ? 8 * b : 8 * (7 - b);
      bytes[k * 8 + static_cast<size_t>(b)] = static_cast<char>((bits >> shift) & 0xff);
    }
  }
  reply(definiteBlock(bytes));
}

void Call::error(int code, std::string_view detail) {
  failed_ = true;
  session_.errors_.push(code, detail);
  session_.raise(code);
}

// ---- Session ----

void Session::raise(int code) { esr_ |= eventBitOf(code); }

uint8_t Session::statusByte() {
  poll();
  uint8_t stb = 0;
  if (errors_.size() > 0) stb |= 0x04;
  if (esr_ & ese_) stb |= 0x20;
  if (operationEvent_ & operationEnable_) stb |= 0x80;
  if (stb & sre_ & ~0x40) stb |= 0x40;
  return stb;
}

void Session::poll() {
  const uint16_t condition = device_.operationCondition();
  operationEvent_ |= condition & ~lastCondition_;
  lastCondition_ = condition;
  if (opcArmed_ && !device_.busy()) {
    esr_ |= kOperationComplete;
    opcArmed_ = false;
  }
}

bool Session::run(std::string message) {
  message_ = std::move(message);
  position_ = 0;
  path_.clear();
  replies_.clear();
  waiting_ = false;
  return carryOn();
}

bool Session::resume() {
  if (!waiting_) return true;
  if (device_.busy()) return false;
  waiting_ = false;
  return carryOn();
}

bool Session::carryOn() {
  MessageParser parser(message_);
  parser.setPosition(position_);
  poll();
  while (!parser.atEnd()) {
    const size_t before = parser.position();
    Unit unit;
    ParseError error;
    if (!parser.next(unit, error)) {
      errors_.push(error.code, error.detail);
      raise(error.code);
      break;
    }
    bool wait = false;
    if (unit.header.common) {
      wait = !common(unit);
    } else {
      const Match match = tree_.find(unit.header, path_);
      if (!match.command) {
        errors_.push(match.code, unit.header.text);
        raise(match.code);
        break;  // the rest of the message is not carried out
      }
      path_ = match.path;
      Call call(*this, unit, match);
      const Handler& handler = unit.header.query ? match.command->query : match.command->set;
      handler(call);
      wait = call.waiting();
    }
    if (wait) {
      position_ = before;
      waiting_ = true;
      return false;
    }
  }
  response_.clear();
  for (size_t k = 0; k < replies_.size(); ++k) response_ += (k ? ";" : "") + replies_[k];
  if (!replies_.empty()) response_ += '\n';
  replies_.clear();
  message_.clear();
  return true;
}

std::string Session::takeResponse() { return std::move(response_); }

// A common command; false when it waits for the device.
bool Session::common(const Unit& unit) {
  const std::string name =
      "*" + upperCase(unit.header.nodes.front().name) + (unit.header.query ? "?" : "");
  const Match none;
  Call call(*this, unit, none);
  auto mask = [&](uint8_t& reg) {
    if (const auto v = call.parameters(1) ? call.whole(0, {0, 255, 0}) : std::nullopt)
      reg = static_cast<uint8_t>(*v);
  };
  if (name == "*IDN?") {
    if (call.parameters(0)) call.reply(plainAscii(device_.identity()));
  } else if (name == "*RST") {
    if (call.parameters(0)) {
      device_.reset();
      opcArmed_ = false;
      format = DataFormat::Ascii;
      swapped = false;
    }
  } else if (name == "*CLS") {
    if (call.parameters(0)) {
      errors_.clear();
      esr_ = 0;
      operationEvent_ = 0;
      opcArmed_ = false;
    }
  } else if (name == "*ESE") {
    mask(ese_);
  } else if (name == "*ESE?") {
    if (call.parameters(0)) call.replyInteger(ese_);
  } else if (name == "*ESR?") {
    if (call.parameters(0)) {
      poll();
      call.replyInteger(esr_);
      esr_ = 0;
    }
  } else if (name == "*SRE") {
    mask(sre_);
  } else if (name == "*SRE?") {
    if (call.parameters(0)) call.replyInteger(sre_);
  } else if (name == "*STB?") {
    if (call.parameters(0)) call.replyInteger(statusByte());
  } else if (name == "*OPC") {
    if (call.parameters(0)) {
      opcArmed_ = true;
      poll();
    }
  } else if (name == "*OPC?" || name == "*WAI") {
    if (!call.parameters(0)) return true;
    if (device_.busy()) return false;
    if (name == "*OPC?") call.replyInteger(1);
  } else if (name == "*TST?") {
    if (call.parameters(0)) {
      std::string why;
      const int result = device_.selfTest(why);
      if (result != 0) call.error(kDeviceError, why);
      call.replyInteger(result);
    }
  } else {
    call.error(kUndefinedHeader, unit.header.text);
  }
  return true;
}

void Session::addStandardCommands(CommandTree& tree) {
  tree.add("SYSTem:ERRor[:NEXT]", {}, [](Call& c) {
    if (c.parameters(0)) c.reply(c.session().errors().next());
  });
  tree.add("SYSTem:ERRor:COUNt", {}, [](Call& c) {
    if (c.parameters(0)) c.replyInteger(static_cast<long long>(c.session().errors().size()));
  });
  tree.add("SYSTem:VERSion", {}, [](Call& c) {
    if (c.parameters(0)) c.reply("1999.0");
  });
  tree.add("STATus:OPERation:CONDition", {}, [](Call& c) {
    if (c.parameters(0)) c.replyInteger(c.session().device().operationCondition());
  });
  tree.add("STATus:OPERation[:EVENt]", {}, [](Call& c) {
    if (!c.parameters(0)) return;
    Session& s = c.session();
    s.poll();
    c.replyInteger(s.operationEvent_);
    s.operationEvent_ = 0;
  });
  tree.add(
      "STATus:OPERation:ENABle",
      [](Call& c) {
        if (const auto v = c.parameters(1) ? c.whole(0, {0, 32767, 0}) : std::nullopt)
          c.session().operationEnable_ = static_cast<uint16_t>(*v);
      },
      [](Call& c) {
        if (c.parameters(0)) c.replyInteger(c.session().operationEnable_);
      });
  // Nothing this instrument does is questionable in the sense of these
  // registers: its readings carry their own intervals and marks.
  tree.add("STATus:QUEStionable:CONDition", {}, [](Call& c) {
    if (c.parameters(0)) c.replyInteger(0);
  });
  tree.add("STATus:QUEStionable[:EVENt]", {}, [](Call& c) {
    if (c.parameters(0)) c.replyInteger(0);
  });
  tree.add(
      "STATus:QUEStionable:ENABle",
      [](Call& c) {
        if (const auto v = c.parameters(1) ? c.whole(0, {0, 32767, 0}) : std::nullopt)
          c.session().questionableEnable_ = static_cast<uint16_t>(*v);
      },
      [](Call& c) {
        if (c.parameters(0)) c.replyInteger(c.session().questionableEnable_);
      });
  tree.add("STATus:PRESet", [](Call& c) {
    if (!c.parameters(0)) return;
    c.session().operationEnable_ = 0;
    c.session().questionableEnable_ = 0;
  });
  tree.add(
      "FORMat[:DATA]",
      [](Call& c) {
        if (!c.parameters(1, 2)) return;
        const auto kind = c.choice(0, {"ASCii", "REAL"});
        if (!kind) return;
        if (*kind == 1 && c.unit().parameters.size() == 2) {
          const auto bits = c.whole(1, {64, 64, 64});
          if (!bits) return;
        } else if (*kind == 0 && c.unit().parameters.size() == 2) {
          c.error(kParameterNotAllowed, "ASCii takes no length");
          return;
        }
        c.session().format = *kind == 0 ? DataFormat::Ascii : DataFormat::Real64;
      },
      [](Call& c) {
        if (c.parameters(0)) c.reply(c.session().format == DataFormat::Ascii ? "ASC" : "REAL,64");
      });
  tree.add(
      "FORMat:BORDer",
      [](Call& c) {
        if (!c.parameters(1)) return;
        if (const auto k = c.choice(0, {"NORMal", "SWAPped"})) c.session().swapped = *k == 1;
      },
      [](Call& c) {
        if (c.parameters(0)) c.reply(c.session().swapped ? "SWAP" : "NORM");
      });
}

}  // namespace kolm::scpi
