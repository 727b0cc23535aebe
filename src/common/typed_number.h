// Numbers typed into the windows' boxes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kolm::common {

// A number typed into a window's box: the text, blanks around it trimmed, up to
// its first blank is one number as argumentNumber reads it, and a decimal comma
// stands for the point ("14,2" is 14.2); what follows a blank is a note ("14.25
// MHz" is 14.25). A number with a comma and a point, or two commas, is refused
// rather than guessed at, and so is one with letters joined to it ("10M").
// Files keep their own reading rule.
struct TypedNumber {
  std::optional<double> value;
  // The text to keep for an accepted number: the number alone, with the point.
  std::string text;
  // Why the text is refused, in the chosen language; empty when accepted.
  std::string problem;
};
TypedNumber typedNumber(std::string_view text);

// The number at the start of a text as common::numericValue reads it, empty
// where numericValue reads 0 for want of one: for boxes that take the files'
// rule but must not take a text with no number as 0.
std::optional<double> leadingNumber(std::string_view text);

// A number a settings file keeps as its box's text: the text exactly as it
// stood (written back unchanged) and the number read from it once, where it
// was read. From a file, by the files' rule (numericValue: the leading number,
// 0 where there is none); a window gives the number its box accepted.
struct NumberText {
  NumberText() = default;
  explicit NumberText(std::string text);
  NumberText(std::string text, double value) : text(std::move(text)), value(value) {}
  std::string text;
  double value = 0;
  bool operator==(const NumberText&) const = default;
};

}  // namespace kolm::common
