#include "analyzer/export_source.h"

#include "common/text.h"

namespace kolm::analyzer {

const char* figuresWord(bool measured) { return measured ? "measured" : "published"; }

std::vector<std::string> sourceLines(const ExportSource& s) {
  using common::shortestText;
  std::vector<std::string> lines;
  std::string keys = s.simulated ? "instrument=simulated " : "";
  if (s.simulated)
    lines.emplace_back("Simulated instrument: these values were not measured on hardware.");
  if (s.cable) {
    lines.push_back(
        "Values of the load at the far end of the cable taken out: " + cableText(*s.cable) + ".");
    keys += "end=far cable_length_m=" + shortestText(s.cable->lengthM, 6) +
            " cable_vf=" + shortestText(s.cable->velocityFactor, 4) +
            " cable_loss_db_per_100m=" + shortestText(s.cable->lossDbPer100m, 4) +
            " cable_loss_at_mhz=" + shortestText(s.cable->lossAtMHz, 6) +
            " cable_z0_ohm=" + shortestText(s.cable->z0Ohm, 6);
  } else {
    lines.emplace_back("Values at the bridge: no cable taken out.");
    keys += "end=bridge";
  }
  lines.push_back(s.calibration.empty()
                      ? "Readings uncorrected: no calibration applied."
                      : "Readings corrected by the calibration " + s.calibration + ".");
  lines.emplace_back(s.figuresMeasured
                         ? "Intervals from the bridge figures its check measured (bridge.cfg)."
                         : "Intervals from the published bridge figures, never checked on this "
                           "board.");
  keys +=
      " correction=" + correctionWord(s.calibration) + " figures=" + figuresWord(s.figuresMeasured);
  lines.push_back(keys);
  return lines;
}

std::string figuresReport(bool measured) {
  return std::string("figures=") + figuresWord(measured) + "\n";
}

std::string correctionWord(const std::string& calibration) {
  if (calibration.empty()) return "none";
  std::string word;
  for (char c : calibration) word += c == ' ' ? '_' : c;
  return word;
}

std::string correctionReport(const std::string& calibration) {
  return "correction=" + correctionWord(calibration) + "\n";
}

}  // namespace kolm::analyzer
