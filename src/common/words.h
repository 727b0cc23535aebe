// The words of a line: the runs of characters between blanks.
#pragma once

#include <string_view>
#include <vector>

#include "common/text.h"

namespace kolm::common {

inline std::vector<std::string_view> blankSeparatedWords(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    size_t j = i;
    while (j < line.size() && !isBlank(line[j])) ++j;
    if (j > i) out.push_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

}  // namespace kolm::common
