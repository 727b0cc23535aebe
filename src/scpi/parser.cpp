#include "scpi/parser.h"

#include <charconv>
#include <cmath>

#include "scpi/errors.h"

namespace kolm::scpi {

namespace {

bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The text quoted in an error message: at most 40 characters of it.
std::string excerpt(std::string_view text) {
  return std::string(text.substr(0, 40)) + (text.size() > 40 ? "..." : "");
}

}  // namespace

std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upper(c);
  return out;
}

bool MessageParser::fail(ParseError& error, int code, std::string detail) {
  error = {code, std::move(detail)};
  at_ = text_.size();  // the rest of the message is given up
  return false;
}

void MessageParser::skipBlanks() {
  while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
}

bool MessageParser::atEnd() {
  // Units separated by ';' may leave empty ones (";;"), which say nothing.
  for (;;) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == ';') {
      ++at_;
      continue;
    }
    return at_ >= text_.size();
  }
}

bool MessageParser::next(Unit& unit, ParseError& error) {
  unit = Unit{};
  if (atEnd()) return fail(error, kSyntaxError, "nothing to read");
  const size_t begin = at_;
  if (!header(unit.header, error)) return false;
  unit.header.text = std::string(text_.substr(begin, at_ - begin));
  const bool blankAfter = at_ < text_.size() && isBlank(text_[at_]);
  skipBlanks();
  if (at_ >= text_.size() || text_[at_] == ';') {
    if (at_ < text_.size()) ++at_;
    return true;
  }
  if (!blankAfter) return fail(error, kHeaderSeparatorError, excerpt(text_.substr(begin)));
  for (;;) {
    Parameter p;
    if (!parameter(p, error)) return false;
    unit.parameters.push_back(std::move(p));
    skipBlanks();
    if (at_ >= text_.size()) return true;
    if (text_[at_] == ';') {
      ++at_;
      return true;
    }
    if (text_[at_] != ',') return fail(error, kInvalidSeparator, excerpt(text_.substr(at_)));
    ++at_;
    skipBlanks();
  }
}

bool MessageParser::header(Header& h, ParseError& error) {
  const size_t begin = at_;
  if (text_[at_] == '*') {
    h.common = true;
    ++at_;
  } else if (text_[at_] == ':') {
    h.absolute = true;
    ++at_;
  }
  for (;;) {
    const size_t start = at_;
    if (at_ >= text_.size() || !isAlpha(text_[at_]))
      return fail(error,
                  at_ < text_.size() && !isBlank(text_[at_]) ? kInvalidCharacter : kSyntaxError,
                  excerpt(text_.substr(begin)));
    while (at_ < text_.size() && (isAlpha(text_[at_]) || text_[at_] == '_')) ++at_;
    const size_t digits = at_;
    while (at_ < text_.size() && (isDigit(text_[at_]) || isAlpha(text_[at_]) || text_[at_] == '_'))
      ++at_;
    if (at_ - start > kLongestMnemonic)
      return fail(error, kMnemonicTooLong, excerpt(text_.substr(start, at_ - start)));
    Mnemonic m;
    // Digits at the end of a mnemonic are its suffix ("SENS2"); letters
    // after digits belong to the name ("CH1A" is no suffix).
    size_t nameEnd = at_;
    while (nameEnd > digits && isDigit(text_[nameEnd - 1])) --nameEnd;
    m.name = std::string(text_.substr(start, nameEnd - start));
    if (nameEnd < at_) {
      int suffix = 0;
      const auto [ptr, ec] = std::from_chars(text_.data() + nameEnd, text_.data() + at_, suffix);
      m.suffix = ec == std::errc() ? suffix : 1 << 30;
    }
    h.nodes.push_back(std::move(m));
    if (at_ < text_.size() && text_[at_] == ':' && !h.common) {
      ++at_;
      continue;
    }
    break;
  }
  if (at_ < text_.size() && text_[at_] == '?') {
    h.query = true;
    ++at_;
  }
  if (at_ < text_.size() && !isBlank(text_[at_]) && text_[at_] != ';') {
    const char c = text_[at_];
    // Data straight after the header ("FREQ1.5"): the blank between is missing.
    const bool data = c == '.' || c == '+' || c == '-' || c == '"' || c == '\'' || c == '#';
    return fail(error,
                c == ':' || c == '?' ? kSyntaxError
                : data               ? kHeaderSeparatorError
                                     : kInvalidCharacter,
                excerpt(text_.substr(begin)));
  }
  return true;
}

bool MessageParser::parameter(Parameter& p, ParseError& error) {
  if (at_ >= text_.size() || text_[at_] == ',' || text_[at_] == ';')
    return fail(error, kSyntaxError, "a parameter is missing between separators");
  const char c = text_[at_];
  if (c == '"' || c == '\'') return string(p, error);
  if (c == '#') {
    if (at_ + 1 < text_.size() && isDigit(text_[at_ + 1])) return block(p, error);
    return nonDecimal(p, error);
  }
  if (c == '(') {
    const size_t end = text_.find(')', at_);
    if (end == std::string_view::npos)
      return fail(error, kSyntaxError, "an expression without its ')'");
    p.kind = DataKind::Expression;
    p.text = std::string(text_.substr(at_, end + 1 - at_));
    at_ = end + 1;
    return true;
  }
  if (isAlpha(c)) {
    const size_t start = at_;
    while (at_ < text_.size() && (isAlpha(text_[at_]) || isDigit(text_[at_]) || text_[at_] == '_'))
      ++at_;
    if (at_ - start > kLongestMnemonic)
      return fail(error, kCharacterDataTooLong, excerpt(text_.substr(start, at_ - start)));
    if (at_ < text_.size() && !isBlank(text_[at_]) && text_[at_] != ',' && text_[at_] != ';')
      return fail(error, kInvalidCharacterData, excerpt(text_.substr(start)));
    p.kind = DataKind::Character;
    p.text = std::string(text_.substr(start, at_ - start));
    return true;
  }
  if (isDigit(c) || c == '+' || c == '-' || c == '.') return number(p, error);
  return fail(error, kInvalidCharacter, excerpt(text_.substr(at_)));
}

bool MessageParser::number(Parameter& p, ParseError& error) {
  const size_t begin = at_;
  std::string digits;  // the number without blanks, for from_chars
  size_t mantissaDigits = 0;
  if (text_[at_] == '+' || text_[at_] == '-') {
    if (text_[at_] == '-') digits += '-';
    ++at_;
  }
  auto take = [&](size_t& count) {
    while (at_ < text_.size() && isDigit(text_[at_])) {
      digits += text_[at_++];
      ++count;
    }
  };
  take(mantissaDigits);
  if (at_ < text_.size() && text_[at_] == '.') {
    digits += text_[at_++];
    take(mantissaDigits);
  }
  if (mantissaDigits == 0)
    return fail(error, kNumericDataError, "no digits in " + excerpt(text_.substr(begin)));
  if (mantissaDigits > kMostDigits) return fail(error, kTooManyDigits, {});
  // An exponent may stand after blanks; letters after blanks are a suffix.
  const size_t beforeBlanks = at_;
  skipBlanks();
  if (at_ < text_.size() && (text_[at_] == 'E' || text_[at_] == 'e')) {
    size_t look = at_ + 1;
    while (look < text_.size() && isBlank(text_[look])) ++look;
    if (look < text_.size() && text_[look] == '+') ++look;
    if (look < text_.size() && text_[look] == '-') ++look;
    if (look < text_.size() && isDigit(text_[look])) {
      digits += 'e';
      at_ += 1;
      skipBlanks();
      if (text_[at_] == '-') digits += '-';
      if (text_[at_] == '+' || text_[at_] == '-') ++at_;
      size_t exponentDigits = 0;
      take(exponentDigits);
      if (exponentDigits > 6) return fail(error, kExponentTooLarge, excerpt(text_.substr(begin)));
    } else {
      at_ = beforeBlanks;
    }
  } else {
    at_ = beforeBlanks;
  }
  double value = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc::result_out_of_range && std::fabs(value) > 1)
    return fail(error, kExponentTooLarge, excerpt(text_.substr(begin)));
  if (ptr != digits.data() + digits.size() || !std::isfinite(value))
    return fail(error, kNumericDataError, excerpt(text_.substr(begin)));
  p.kind = DataKind::Decimal;
  p.number = ec == std::errc::result_out_of_range ? 0.0 : value;
  // A suffix: letters (and '/' or digits after the first letter) after optional blanks.
  const size_t afterNumber = at_;
  skipBlanks();
  if (at_ < text_.size() && isAlpha(text_[at_])) {
    const size_t start = at_;
    while (at_ < text_.size() && (isAlpha(text_[at_]) || isDigit(text_[at_]) || text_[at_] == '/'))
      p.suffix += upper(text_[at_++]);
    if (p.suffix.size() > kLongestMnemonic)
      return fail(error, kSuffixTooLong, excerpt(text_.substr(start)));
  } else {
    at_ = afterNumber;
  }
  if (at_ < text_.size() && !isBlank(text_[at_]) && text_[at_] != ',' && text_[at_] != ';')
    return fail(error, kInvalidCharacterInNumber, excerpt(text_.substr(begin)));
  return true;
}

bool MessageParser::nonDecimal(Parameter& p, ParseError& error) {
  const size_t begin = at_;
  if (at_ + 1 >= text_.size()) return fail(error, kSyntaxError, "'#' ends the message");
  const char base = upper(text_[at_ + 1]);
  const int radix = base == 'H' ? 16 : base == 'Q' ? 8 : base == 'B' ? 2 : 0;
  if (radix == 0) return fail(error, kInvalidCharacter, excerpt(text_.substr(begin)));
  at_ += 2;
  const size_t start = at_;
  while (at_ < text_.size() && (isDigit(text_[at_]) || isAlpha(text_[at_]))) ++at_;
  uint64_t value = 0;
  const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + at_, value, radix);
  if (at_ == start || ptr != text_.data() + at_ || ec != std::errc())
    return fail(error, kInvalidCharacterInNumber, excerpt(text_.substr(begin)));
  p.kind = DataKind::NonDecimal;
  p.number = static_cast<double>(value);
  return true;
}

bool MessageParser::block(Parameter& p, ParseError& error) {
  const int lengthDigits = text_[at_ + 1] - '0';
  p.kind = DataKind::Block;
  if (lengthDigits == 0) {  // indefinite: the rest of the message
    p.text = std::string(text_.substr(at_ + 2));
    at_ = text_.size();
    return true;
  }
  const size_t start = at_ + 2;
  if (start + static_cast<size_t>(lengthDigits) > text_.size())
    return fail(error, kInvalidBlockData, "the block's length is cut short");
  size_t length = 0;
  const auto [ptr, ec] =
      std::from_chars(text_.data() + start, text_.data() + start + lengthDigits, length);
  if (ec != std::errc() || ptr != text_.data() + start + lengthDigits)
    return fail(error, kInvalidBlockData, "the block's length is not a number");
  const size_t data = start + static_cast<size_t>(lengthDigits);
  if (length > text_.size() - data)
    return fail(error, kInvalidBlockData,
                "the block says " + std::to_string(length) + " bytes and holds " +
                    std::to_string(text_.size() - data));
  p.text = std::string(text_.substr(data, length));
  at_ = data + length;
  return true;
}

bool MessageParser::string(Parameter& p, ParseError& error) {
  const char quote = text_[at_++];
  p.kind = DataKind::String;
  for (;;) {
    if (at_ >= text_.size()) return fail(error, kInvalidStringData, "a string without its end");
    if (text_[at_] == quote) {
      if (at_ + 1 < text_.size() && text_[at_ + 1] == quote) {
        p.text += quote;
        at_ += 2;
        continue;
      }
      ++at_;
      return true;
    }
    p.text += text_[at_++];
  }
}

// ---- framing ----

size_t MessageFramer::feed(std::string_view bytes, std::vector<std::string>& messages) {
  size_t overruns = 0;
  for (char c : bytes) byte(c, messages, overruns);
  return overruns;
}

void MessageFramer::byte(char c, std::vector<std::string>& messages, size_t& overruns) {
  if (dropping_) {
    // A message given up ends at the next line feed.
    if (c == '\n') {
      dropping_ = false;
      state_ = State::Plain;
    }
    return;
  }
  const bool inBlock = state_ == State::BlockBytes;
  if (c == '\n' && !inBlock) {
    messages.push_back(std::move(current_));
    current_.clear();
    state_ = State::Plain;
    hash_ = false;
    return;
  }
  current_ += c;
  const bool wasHash = hash_;
  hash_ = false;
  switch (state_) {
    case State::Plain:
      if (c == '"' || c == '\'') {
        state_ = State::Quoted;
        quote_ = c;
      } else if (c == '#') {
        hash_ = true;
      } else if (wasHash && c == '0') {
        state_ = State::Indefinite;
      } else if (wasHash && isDigit(c)) {
        state_ = State::BlockLength;
        lengthDigits_ = c - '0';
        lengthText_.clear();
      }
      break;
    case State::Quoted:
      if (c == quote_) state_ = State::Plain;  // a doubled quote opens it again
      break;
    case State::BlockLength:
      if (!isDigit(c)) {
        state_ = State::Plain;  // the parser says what is wrong
        break;
      }
      lengthText_ += c;
      if (static_cast<int>(lengthText_.size()) == lengthDigits_) {
        size_t length = 0;
        std::from_chars(lengthText_.data(), lengthText_.data() + lengthText_.size(), length);
        blockLeft_ = length;
        state_ = length > 0 ? State::BlockBytes : State::Plain;
        // A block longer than the message may be is given up at once, not
        // after its bytes have been waited for.
        if (length > limit_) current_.resize(limit_ + 1);
      }
      break;
    case State::BlockBytes:
      if (--blockLeft_ == 0) state_ = State::Plain;
      break;
    case State::Indefinite:
    case State::BlockLengthDigits:
      break;
  }
  if (current_.size() > limit_) {
    ++overruns;
    messages.emplace_back(kOverrun);
    current_.clear();
    state_ = State::Plain;
    dropping_ = c != '\n';
  }
}

}  // namespace kolm::scpi
