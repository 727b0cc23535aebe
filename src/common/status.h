// The status line's texts: what a command or a pass just did.
#pragma once

#include <string>

namespace kolm::common {

// "Sweep stopped at point 412 of 1001"
std::string stoppedAtText(int point, int points);
// "Pass done in 1.2 s" (tenths of a second; milliseconds below one second)
std::string passDoneText(double seconds);
// "Saved to /home/ham/lp30.pwm"
std::string savedToText(const std::string& path);
// "PDF written to /home/ham/chart.pdf"
std::string pdfWrittenText(const std::string& path);

}  // namespace kolm::common
