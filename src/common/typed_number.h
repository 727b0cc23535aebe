// Numbers typed into the windows' boxes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace kolm::common
