#include "powermeter/calibration.h"

#include "common/text.h"
#include "common/tr.h"
#include "hw/dds.h"

namespace kolm::powermeter {

int readCalibrationCount(hw::Instrument& instrument) {
  int v = 0;
  for (int k = 0; k < 5; ++k) {
    v = instrument.readDetector();
    instrument.settle(hw::delayUnitsFromMs(2));
  }
  return v;
}

std::string calibrationRequest(CalPoint point) {
  return point == CalPoint::ZeroDbm
             ? KOLM_TR("kolm", "Applicare in ingresso un segnale di 0 dBm poi premere OK")
             : KOLM_TR("kolm", "Applicare in ingresso un segnale di -60 dBm poi premere OK");
}

std::string calibrationAdvice(CalPoint point, int reading) {
  // The reading in its Str form, directly followed by the advice.
  return common::arg(
      point == CalPoint::ZeroDbm
          ? KOLM_TR("kolm", "%1    Se il numero visualizzato è tra 800 e 900 accettare premendo OK")
          : KOLM_TR("kolm",
                    "%1    Se il numero visualizzato è intorno a 200 accettare premendo OK"),
      {common::strDouble(reading)});
}

bool calibrateLevel(CalPoint point, hw::Instrument& instrument, common::Prompter& prompter,
                    Calibration& calibration) {
  if (!prompter.confirm(calibrationRequest(point))) return false;
  const int v = readCalibrationCount(instrument);
  if (instrument.portFailed()) {
    prompter.message(instrument.portFailure(), common::Icon::Critical);
    return false;
  }
  const bool zero = point == CalPoint::ZeroDbm;
  const int other = zero ? calibration.Cal60 : calibration.Cal0;
  if (v == other) {
    prompter.message(
        common::arg(KOLM_TR("kolm",
                            "The detector reads %1, the count already taken for %2: with equal "
                            "counts no level could be computed. Check the signal at the detector "
                            "input and calibrate again. The calibration was not changed."),
                    {std::to_string(v), zero ? "-60 dBm" : "0 dBm"}),
        common::Icon::Warning);
    return false;
  }
  if (!prompter.confirm(calibrationAdvice(point, v))) return false;
  (zero ? calibration.Cal0 : calibration.Cal60) = static_cast<int16_t>(v);
  return true;
}

bool calibrateDefault(common::Prompter& prompter, Calibration& calibration) {
  if (!prompter.confirm(KOLM_TR("kolm", "Vuoi applicare i valori di DEFAULT?"))) return false;
  calibration = Calibration{826, 235};
  return true;
}

}  // namespace kolm::powermeter
