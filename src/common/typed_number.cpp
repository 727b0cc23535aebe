#include "common/typed_number.h"

#include <algorithm>

#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::common {

TypedNumber typedNumber(std::string_view text) {
  TypedNumber out;
  const std::string_view t = trimBlanks(text);
  out.text = t.substr(0, t.find_first_of(" \t\r\n"));
  if (t.empty()) {
    out.problem = KOLM_TR("Fields", "Type a number here.");
    return out;
  }
  if (std::count(out.text.begin(), out.text.end(), ',') == 1 &&
      out.text.find('.') == std::string::npos)
    out.text[out.text.find(',')] = '.';
  out.value = argumentNumber(out.text);
  if (!out.value)
    out.problem =
        arg(KOLM_TR("Fields",
                    "'%1' is not a number: type digits, with a point or a comma before the "
                    "decimals."),
            {shortened(t)});
  return out;
}

NumberText::NumberText(std::string text) : text(std::move(text)), value(numericValue(this->text)) {}

}  // namespace kolm::common
