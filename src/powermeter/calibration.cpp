#include "powermeter/calibration.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"
#include "hw/dds.h"
#include "powermeter/settings.h"

namespace kolm::powermeter {

namespace {

const char* pointName(CalPoint point) { return point == CalPoint::ZeroDbm ? "0 dBm" : "-60 dBm"; }

std::string mhzText(double mhz) { return common::shortestText(mhz, 9); }

// What the step wants connected to the detector.
std::string connectionText(CalPoint point, bool external) {
  if (external)
    return point == CalPoint::ZeroDbm
               ? KOLM_TR("kolm", "an external signal of 0 dBm to the detector input")
               : KOLM_TR("kolm", "an external signal of -60 dBm to the detector input");
  return point == CalPoint::ZeroDbm
             ? KOLM_TR("kolm", "the generator's output straight to the detector input")
             : KOLM_TR("kolm", "the generator's output to the detector input through 60 dB");
}

}  // namespace

int DetectorFigures::floorCount() const {
  return static_cast<int>(std::lround(countsPerDb * kFloorMarginDb));
}

int DetectorFigures::topCount() const {
  return kMaxDetectorCount - static_cast<int>(std::lround(countsPerDb * kOverloadMarginDb));
}

const DetectorFigures& detectorFigures() {
  static const DetectorFigures figures;
  return figures;
}

CalibrationCommands windowCalibrationCommands() {
  return {menuPath({"Calibrate", "0 dBm"}), menuPath({"Calibrate", "-60 dBm"}),
          menuPath({"Calibrate", "default"})};
}

std::string calibrationFrequencyProblem(double mhz, double refClkMHz) {
  if (!(mhz > 0))
    return KOLM_TR("kolm",
                   "At 0 MHz the generator gives no signal: calibrate at a frequency above 0.");
  const hw::TuningWord word = hw::checkedTuningWord(mhz, refClkMHz);
  return word.error;
}

namespace {

std::string countProblemText(CalPoint point, int count, int other, const std::string& reads,
                             bool external, const CalibrationCommands& commands) {
  const DetectorFigures& d = detectorFigures();
  const bool zero = point == CalPoint::ZeroDbm;
  const std::string applied = connectionText(point, external);
  if (count <= d.floorCount() && external)
    return common::arg(KOLM_TR("kolm",
                               "%1, at the bottom of its converter: no signal reaches it. Check "
                               "the cable (%2) and that the signal source is on."),
                       {reads, applied});
  if (count <= d.floorCount())
    return common::arg(KOLM_TR("kolm",
                               "%1, at the bottom of its converter: no signal reaches it. Check "
                               "the cable (%2) and that the generator runs (the port and the clock "
                               "in Parameters)."),
                       {reads, applied});
  if (count >= d.topCount())
    return common::arg(KOLM_TR("kolm",
                               "%1, at the top of its converter: the signal is too strong. Check "
                               "the level applied (%2)."),
                       {reads, applied});
  const double slope = (zero ? count - other : other - count) / 60.0;
  const double lowest = d.countsPerDb * (1 - d.slopeTolerance);
  const double highest = d.countsPerDb * (1 + d.slopeTolerance);
  if (slope >= lowest && slope <= highest) return {};
  return common::arg(
      KOLM_TR("kolm",
              "%1; with %2 counts for %3 that makes %4 counts per dB, where the detector gives "
              "%5 to %6. Check the level applied (%7), or take %3 again (%8) or the default "
              "counts (%9) first."),
      {reads, std::to_string(other), zero ? "-60 dBm" : "0 dBm",
       common::formatPattern(slope, "0.00"), common::formatPattern(lowest, "0.0"),
       common::formatPattern(highest, "0.0"), applied,
       zero ? commands.minus60Dbm : commands.zeroDbm, commands.defaults});
}

}  // namespace

CountWarning calibrationCountWarning(CalPoint point, int count, const Calibration& current,
                                     std::optional<double> mhz,
                                     const CalibrationCommands& commands) {
  const bool zero = point == CalPoint::ZeroDbm;
  const std::string reads =
      mhz ? common::arg(KOLM_TR("kolm", "The detector reads %1 at %2 MHz for %3"),
                        {std::to_string(count), mhzText(*mhz), pointName(point)})
          : common::arg(KOLM_TR("kolm", "The detector reads %1 from the external signal for %2"),
                        {std::to_string(count), pointName(point)});
  const int other = zero ? current.countsAtMinus60Dbm : current.countsAt0Dbm;
  CountWarning out;
  out.overrulable = count != other;  // equal counts give no slope at all
  out.problem = countProblemText(point, count, other, reads, !mhz, commands);
  return out;
}

std::string calibrationCountProblem(CalPoint point, int count, const Calibration& current,
                                    double mhz, const CalibrationCommands& commands) {
  const std::string problem = calibrationCountWarning(point, count, current, mhz, commands).problem;
  if (problem.empty()) return {};
  return problem + " " + KOLM_TR("kolm", "The calibration was not changed.");
}

namespace {

double countsPerDb(const Calibration& c) { return (c.countsAt0Dbm - c.countsAtMinus60Dbm) / 60.0; }

}  // namespace

bool withinDetectorFigures(const Calibration& c) {
  const DetectorFigures& d = detectorFigures();
  const double slope = countsPerDb(c);
  auto clear = [&](int count) { return count > d.floorCount() && count < d.topCount(); };
  return clear(c.countsAt0Dbm) && clear(c.countsAtMinus60Dbm) &&
         slope >= d.countsPerDb * (1 - d.slopeTolerance) &&
         slope <= d.countsPerDb * (1 + d.slopeTolerance);
}

std::string detectorFiguresProblem(const Calibration& c) {
  if (withinDetectorFigures(c)) return {};
  const DetectorFigures& d = detectorFigures();
  return common::arg(
      KOLM_TR("kolm",
              "The calibration counts %1 (0 dBm) and %2 (-60 dBm) make %3 counts per dB, where "
              "the detector gives %4 to %5 between counts %6 and %7: levels read with them are "
              "marked approximate and may be far off. Calibrate again, or choose the default "
              "counts."),
      {std::to_string(c.countsAt0Dbm), std::to_string(c.countsAtMinus60Dbm),
       common::formatPattern(countsPerDb(c), "0.00"),
       common::formatPattern(d.countsPerDb * (1 - d.slopeTolerance), "0.0"),
       common::formatPattern(d.countsPerDb * (1 + d.slopeTolerance), "0.0"),
       std::to_string(d.floorCount() + 1), std::to_string(d.topCount() - 1)});
}

double slopeErrorFromFigures(const Calibration& c) {
  const DetectorFigures& d = detectorFigures();
  const double slope = countsPerDb(c);  // falling counts turn every difference round
  if (slope == 0) return std::numeric_limits<double>::infinity();
  // A difference read with `slope` is the true one times true slope / slope.
  const double low = d.countsPerDb * (1 - d.slopeTolerance) / slope - 1;
  const double high = d.countsPerDb * (1 + d.slopeTolerance) / slope - 1;
  return std::max(std::abs(low), std::abs(high));
}

int readCalibrationCount(hw::Instrument& instrument) {
  int v = 0;
  for (int k = 0; k < 5; ++k) {
    v = instrument.readDetector();
    instrument.settle(hw::delayUnitsFromMs(2));
  }
  return v;
}

std::string simulatorConnection(CalPoint point) {
  return point == CalPoint::ZeroDbm ? "through" : "atten:60";
}

std::string calibrationRequest(CalPoint point, std::optional<double> mhz, bool simulated) {
  // The request is one of the specified Italian messages: what follows it in
  // the same box is written in its language (the English translation renders
  // the whole box in English).
  const bool zero = point == CalPoint::ZeroDbm;
  const std::string request =
      zero ? KOLM_TR("kolm", "Applicare in ingresso un segnale di 0 dBm poi premere OK")
           : KOLM_TR("kolm", "Applicare in ingresso un segnale di -60 dBm poi premere OK");
  if (!mhz)
    return request + "\n\n" +
           (zero ? KOLM_TR("kolm",
                           "Il generatore resta spento: la calibrazione vale alla frequenza del "
                           "segnale esterno. Collegare un segnale esterno di 0 dBm all'ingresso "
                           "del rivelatore.")
                 : KOLM_TR("kolm",
                           "Il generatore resta spento: la calibrazione vale alla frequenza del "
                           "segnale esterno. Collegare un segnale esterno di -60 dBm "
                           "all'ingresso del rivelatore."));
  std::string text =
      request + "\n\n" +
      common::arg(zero ? KOLM_TR("kolm",
                                 "Il generatore ora invia %1 MHz: la calibrazione vale a quella "
                                 "frequenza. Collegare l'uscita del generatore direttamente "
                                 "all'ingresso del rivelatore.")
                       : KOLM_TR("kolm",
                                 "Il generatore ora invia %1 MHz: la calibrazione vale a quella "
                                 "frequenza. Collegare l'uscita del generatore all'ingresso del "
                                 "rivelatore attraverso 60 dB."),
                  {mhzText(*mhz)});
  if (simulated) text += "\n\n" + simulatorConnectionHint(simulatorConnection(point));
  return text;
}

std::string simulatorConnectionHint(const std::string& connection) {
  return common::arg(KOLM_TR("kolm",
                             "Sullo strumento simulato: %1 tra generatore e rivelatore nella "
                             "finestra Simulator, oppure il pulsante qui sotto lo collega."),
                     {connection});
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

bool calibrateLevel(CalPoint point, std::optional<double> mhz, hw::Instrument& instrument,
                    common::Prompter& prompter, Calibration& calibration,
                    const common::PromptHelp& connect) {
  const std::string wrong =
      mhz ? calibrationFrequencyProblem(*mhz, instrument.params.refClockMHz) : std::string();
  if (!wrong.empty()) {
    prompter.message(wrong, common::Icon::Warning);
    return false;
  }
  // The generator runs at the stated frequency while the user connects it, or
  // stays off for an external signal.
  if (mhz)
    instrument.startGenerator(hw::checkedTuningWord(*mhz, instrument.params.refClockMHz).word);
  else
    instrument.switchOff();
  // Connecting the generator on the simulator means nothing while it is off.
  const common::PromptHelp help = mhz ? connect : common::PromptHelp{};
  const auto taken = [&]() -> std::optional<int> {
    if (!common::confirmWithHelp(prompter, calibrationRequest(point, mhz, bool(help.act)), help))
      return std::nullopt;
    const int v = readCalibrationCount(instrument);
    if (instrument.portFailed()) {
      prompter.message(instrument.portFailure(), common::Icon::Critical);
      return std::nullopt;
    }
    const CountWarning check =
        calibrationCountWarning(point, v, calibration, mhz, windowCalibrationCommands());
    if (!check.problem.empty() && !check.overrulable) {
      prompter.message(check.problem + " " + KOLM_TR("kolm", "The calibration was not changed."),
                       common::Icon::Warning);
      return std::nullopt;
    }
    // The user may know better (a detector of another slope, a level known
    // otherwise): the count is taken when they say so.
    if (!check.problem.empty() && !prompter.confirmAs(check.problem, KOLM_TR("kolm", "Use anyway")))
      return std::nullopt;
    if (!prompter.confirm(calibrationAdvice(point, v))) return std::nullopt;
    return v;
  }();
  instrument.switchOff();
  if (!taken) return false;
  (point == CalPoint::ZeroDbm ? calibration.countsAt0Dbm : calibration.countsAtMinus60Dbm) =
      static_cast<int16_t>(*taken);
  return true;
}

bool calibrateDefault(common::Prompter& prompter, Calibration& calibration) {
  if (!prompter.confirm(KOLM_TR("kolm", "Vuoi applicare i valori di DEFAULT?"))) return false;
  calibration = Calibration{};
  return true;
}

// ---- The previous calibration ----

std::string formatPreviousCalibration(const Calibration& calibration) {
  common::RecordWriter w;
  w.quoted(common::strDouble(calibration.countsAt0Dbm));
  w.quoted(common::strDouble(calibration.countsAtMinus60Dbm));
  return w.text();
}

std::optional<Calibration> readPreviousCalibration(const std::filesystem::path& path,
                                                   std::string* problem) {
  const common::SettingsRead file = common::readSettingsFile(path, common::kSettingsFileLimit);
  if (!file.content || !file.problem.empty()) {
    if (problem) *problem = file.problem;
    return std::nullopt;
  }
  common::RecordReader reader(*file.content);
  int16_t counts[2] = {0, 0};
  for (int16_t& c : counts) {
    const auto field = reader.next();
    const auto v = field ? common::fieldNumber(*field) : std::nullopt;
    const auto n = v ? common::toInt16(*v) : std::nullopt;
    if (!n || *n < 0 || *n > kMaxDetectorCount) {
      if (problem)
        *problem = common::lineProblem(
            reader.line(), field ? "'" + common::shortened(*field) + "' is no detector count"
                                 : "a detector count is missing");
      return std::nullopt;
    }
    c = *n;
  }
  const Calibration calibration{counts[0], counts[1]};
  if (reader.moreText() || !calibration.usable()) {
    if (problem)
      *problem = reader.moreText() ? "text after the two counts" : "the two counts are equal";
    return std::nullopt;
  }
  return calibration;
}

std::string noPreviousCalibrationText(const std::filesystem::path& path,
                                      const std::string& problem) {
  if (!problem.empty()) return common::unreadableText(path.filename(), problem);
  return common::arg(KOLM_TR("kolm",
                             "There is no previous calibration yet (%1): one is kept each time a "
                             "calibration changes the counts."),
                     {path.filename().string()});
}

namespace {

// pow.ini's calibration made by `change`, the one it held kept as the
// previous one; the caller holds the folder.
common::SettingsChange replaceCalibration(common::SettingsFolder& folder,
                                          const CalibrationChange& change, Calibration* stored) {
  common::SettingsChange out;
  std::string problem;
  const PowIni now = readPowIni(folder.file(kSettingsFile), &problem);
  if (!problem.empty()) {
    // The calibration a damaged pow.ini holds is not one to keep or restore.
    out.error = common::unreadableText(kSettingsFile, problem) + " " +
                KOLM_TR("kolm", "The calibration was not changed.");
    return out;
  }
  if (stored) *stored = now.calibration;
  const std::optional<Calibration> made = change(now.calibration);
  if (!made) return out;
  const Calibration& to = *made;
  if (!(now.calibration == to) &&
      !common::writeFileAtomic(folder.file(kPreviousCalibrationFile),
                               formatPreviousCalibration(now.calibration), &out.error)) {
    out.error += " " + std::string(KOLM_TR("kolm", "The calibration was not changed."));
    return out;
  }
  PowIniChange into;
  into.calibration = to;
  out = changePowIni(folder, into);
  if (out.written && stored) *stored = to;
  return out;
}

}  // namespace

common::SettingsChange storeCalibration(common::SettingsFolder& folder,
                                        const CalibrationChange& change, Calibration* stored) {
  const common::SettingsFolder::Hold hold(folder);
  return replaceCalibration(folder, change, stored);
}

std::optional<Calibration> bringBackPreviousCalibration(common::SettingsFolder& folder,
                                                        std::string* error) {
  const common::SettingsFolder::Hold hold(folder);
  const auto path = folder.file(kPreviousCalibrationFile);
  std::string problem;
  const auto previous = readPreviousCalibration(path, &problem);
  if (!previous) {
    if (error) *error = noPreviousCalibrationText(path, problem);
    return std::nullopt;
  }
  const common::SettingsChange changed = replaceCalibration(
      folder, [&previous](const Calibration&) { return previous; }, nullptr);
  if (!changed.written) {
    if (error) *error = changed.message();
    return std::nullopt;
  }
  return previous;
}

}  // namespace kolm::powermeter
