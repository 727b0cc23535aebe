#include "common/status.h"

#include "common/text.h"
#include "common/tr.h"

namespace kolm::common {

std::string stoppedAtText(int point, int points) {
  return arg(KOLM_TR("status", "Sweep stopped at point %1 of %2"),
             {std::to_string(point), std::to_string(points)});
}

std::string passDoneText(double seconds) {
  if (seconds < 1)
    return arg(KOLM_TR("status", "Pass done in %1 ms"),
               {std::to_string(static_cast<long>(roundHalfEven(seconds * 1000)))});
  return arg(KOLM_TR("status", "Pass done in %1 s"), {formatPattern(seconds, "0.0")});
}

std::string savedToText(const std::string& path) {
  return arg(KOLM_TR("status", "Saved to %1"), {path});
}

std::string pdfWrittenText(const std::string& path) {
  return arg(KOLM_TR("status", "PDF written to %1"), {path});
}

}  // namespace kolm::common
