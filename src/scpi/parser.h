// Program messages as IEEE 488.2 writes them: headers (common "*IDN?" and
// compound "SENS:FREQ:STAR"), parameters (decimal numbers with a unit suffix,
// non-decimal numbers #H #Q #B, character data, strings, definite and
// indefinite length blocks), units separated by ';'. One message (its
// terminator taken off) is read a unit at a time, so that the units before a
// faulty one are carried out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::scpi {

// One node of a header: its letters as sent and its numeric suffix (-1 when
// none was sent: the node's own default of 1 then holds).
struct Mnemonic {
  std::string name;
  int suffix = -1;
};

struct Header {
  bool common = false;    // "*RST"
  bool absolute = false;  // led by ':': starts at the root of the tree
  bool query = false;     // ends in '?'
  std::vector<Mnemonic> nodes;
  std::string text;  // as sent, for error messages
};

enum class DataKind { Decimal, NonDecimal, Character, String, Block, Expression };

struct Parameter {
  DataKind kind = DataKind::Decimal;
  double number = 0;   // Decimal and NonDecimal
  std::string suffix;  // Decimal: the unit as sent, upper case ("MHZ"); empty when none
  std::string text;    // Character: as sent; String: its content; Block: its bytes
};

struct Unit {
  Header header;
  std::vector<Parameter> parameters;
};

struct ParseError {
  int code = 0;
  std::string detail;
};

// Longest mnemonic, character data and suffix (IEEE 488.2: 12 characters).
inline constexpr size_t kLongestMnemonic = 12;
// Most digits a decimal number may have.
inline constexpr size_t kMostDigits = 255;

class MessageParser {
 public:
  explicit MessageParser(std::string_view message) : text_(message) {}
  // Whether every unit has been read (or the message was given up after an error).
  bool atEnd();
  // The next unit. An error gives up the rest of the message.
  bool next(Unit& unit, ParseError& error);
  // Where the parser stands, to go on later with the same message.
  size_t position() const { return at_; }
  void setPosition(size_t at) { at_ = at; }

 private:
  bool header(Header& header, ParseError& error);
  bool parameter(Parameter& parameter, ParseError& error);
  bool number(Parameter& parameter, ParseError& error);
  bool nonDecimal(Parameter& parameter, ParseError& error);
  bool block(Parameter& parameter, ParseError& error);
  bool string(Parameter& parameter, ParseError& error);
  void skipBlanks();
  bool fail(ParseError& error, int code, std::string detail);

  std::string_view text_;
  size_t at_ = 0;
};

// `text` with its ASCII letters in upper case (headers and words match whatever the case).
std::string upperCase(std::string_view text);

// White space of IEEE 488.2: every byte from 0 to 32 but the line feed.
inline bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32 && c != '\n'; }

// The parts of a message stream: bytes in, whole messages out. A message
// ends at a line feed outside a block (a block's bytes may hold line feeds);
// one longer than `limit` is given up: the bytes up to its end are dropped
// and kOverrun stands in its place.
class MessageFramer {
 public:
  // What stands for a message given up (no message can be a lone line feed).
  static constexpr std::string_view kOverrun = "\n";
  explicit MessageFramer(size_t limit) : limit_(limit) {}
  // Adds bytes received. Complete messages are appended to `messages`
  // (without their line feed; a carriage return before it is blank), in
  // order. Returns the number of messages given up for their length.
  size_t feed(std::string_view bytes, std::vector<std::string>& messages);
  // Bytes held of a message not yet complete.
  size_t pending() const { return current_.size(); }

 private:
  enum class State { Plain, Quoted, BlockLengthDigits, BlockLength, BlockBytes, Indefinite };
  void byte(char c, std::vector<std::string>& messages, size_t& overruns);

  size_t limit_;
  std::string current_;
  bool dropping_ = false;
  State state_ = State::Plain;
  char quote_ = 0;
  int lengthDigits_ = 0;
  std::string lengthText_;
  size_t blockLeft_ = 0;
  bool hash_ = false;  // the byte before was '#' outside a string
};

}  // namespace kolm::scpi
