#include "remote/commands.h"

#include <cmath>
#include <limits>

#include "analyzer/analysis.h"
#include "analyzer/bridge_check.h"
#include "analyzer/files.h"
#include "common/constants.h"
#include "common/files.h"
#include "common/text.h"
#include "hw/dds.h"
#include "powermeter/analysis.h"
#include "powermeter/calibration.h"
#include "powermeter/chart_file.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"
#include "scpi/session.h"

namespace kolm::remote {

namespace {

using scpi::Call;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The interval [value - pm, value + pm] with both ends rounded outward.
std::pair<double, double> outward(double value, double pm) {
  double low = value - pm, high = value + pm;
  if (low + pm > value) low = std::nextafter(low, -kInf);
  if (high - pm < value) high = std::nextafter(high, kInf);
  return {low, high};
}

// A command that uses the instrument: it waits while a single pass runs and
// is refused while a continuous sweep runs. False when it may not go on now.
bool instrumentFree(Call& c, Station& station) {
  if (station.continuous()) {
    c.error(scpi::kSettingsConflict, "a continuous sweep is running: INIT:CONT OFF or ABORt first");
    return false;
  }
  if (station.running()) {
    c.waitForDevice();
    return false;
  }
  return true;
}

bool refused(Call& c, const std::optional<std::pair<int, std::string>>& refusal) {
  if (refusal) c.error(refusal->first, refusal->second);
  return refusal.has_value();
}

// Report lines (key=value) as one string: the lines joined by ';'.
std::string joinedLines(const std::string& lines) {
  std::string out;
  for (size_t at = 0; at < lines.size();) {
    size_t end = lines.find('\n', at);
    if (end == std::string::npos) end = lines.size();
    if (end > at) out += (out.empty() ? "" : ";") + lines.substr(at, end - at);
    at = end + 1;
  }
  return out;
}

// The settings of a sweep as numbers, each with its limits.
void addSweepSettings(scpi::CommandTree& tree, Station& s) {
  constexpr double kTopHz = 500e6;
  auto frequency = [&tree](const char* pattern, std::function<void(double)> set,
                           std::function<double()> get, scpi::Limits limits) {
    tree.add(
        pattern,
        [set, limits](Call& c) {
          if (const auto v =
                  c.parameters(1) ? c.number(0, scpi::Quantity::Frequency, limits) : std::nullopt)
            set(*v);
        },
        [get](Call& c) {
          if (c.parameters(0)) c.replyNumber(get());
        });
  };
  frequency(
      "[SENSe]:FREQuency:STARt", [&s](double v) { s.sweep.startHz = v; },
      [&s] { return s.sweep.startHz; }, {0, kTopHz, 3e6});
  frequency(
      "[SENSe]:FREQuency:STOP", [&s](double v) { s.sweep.stopHz = v; },
      [&s] { return s.sweep.stopHz; }, {0, kTopHz, 30e6});
  frequency(
      "[SENSe]:FREQuency:CENTer",
      [&s](double v) {
        const double half = (s.sweep.stopHz - s.sweep.startHz) / 2;
        s.sweep.startHz = std::max(0.0, v - half);
        s.sweep.stopHz = v + half;
      },
      [&s] { return (s.sweep.startHz + s.sweep.stopHz) / 2; }, {0, kTopHz, 16.5e6});
  frequency(
      "[SENSe]:FREQuency:SPAN",
      [&s](double v) {
        const double centre = (s.sweep.startHz + s.sweep.stopHz) / 2;
        s.sweep.startHz = std::max(0.0, centre - v / 2);
        s.sweep.stopHz = s.sweep.startHz + v;
      },
      [&s] { return s.sweep.stopHz - s.sweep.startHz; }, {0, kTopHz, 27e6});
  tree.add(
      "[SENSe]:SWEep:POINts",
      [&s](Call& c) {
        if (const auto v = c.parameters(1) ? c.whole(0, {2, 20001, 501}) : std::nullopt)
          s.sweep.points = static_cast<int>(*v);
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyInteger(s.sweep.points);
      });
  tree.add(
      "[SENSe]:SWEep:DWELl",
      [&s](Call& c) {
        if (const auto v =
                c.parameters(1) ? c.number(0, scpi::Quantity::Time, {0, 60, 0}) : std::nullopt)
          s.sweep.dwellSeconds = *v;
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyNumber(s.sweep.dwellSeconds);
      });
  tree.add(
      "[SENSe]:AVERage:COUNt",
      [&s](Call& c) {
        if (const auto v = c.parameters(1) ? c.whole(0, {1, 100, 1}) : std::nullopt)
          s.sweep.average = static_cast<int>(*v);
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyInteger(s.sweep.average);
      });
  tree.add(
      "INSTrument[:SELect]",
      [&s](Call& c) {
        if (!c.parameters(1)) return;
        if (const auto k = c.choice(0, {"ANALyzer", "POWer"}))
          s.mode = *k == 0 ? Mode::Analyzer : Mode::PowerMeter;
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.reply(s.mode == Mode::Analyzer ? "ANAL" : "POW");
      });
}

void addSweepControl(scpi::CommandTree& tree, Station& s) {
  tree.add("INITiate[:IMMediate]", [&s](Call& c) {
    if (!c.parameters(0)) return;
    if (s.continuous()) {
      c.error(scpi::kInitIgnored, "a continuous sweep is running");
      return;
    }
    if (s.running()) {
      c.waitForDevice();
      return;
    }
    refused(c, s.startSweep(c.session().client, false));
  });
  tree.add(
      "INITiate:CONTinuous",
      [&s](Call& c) {
        const auto on = c.parameters(1) ? c.boolean(0) : std::nullopt;
        if (!on) return;
        if (!*on) {
          if (s.continuous()) s.abort();
          return;
        }
        if (s.continuous()) return;
        if (s.running()) {
          c.waitForDevice();
          return;
        }
        refused(c, s.startSweep(c.session().client, true));
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyBoolean(s.continuous());
      });
  tree.add("ABORt", [&s](Call& c) {
    if (c.parameters(0)) s.abort();
  });
}

void addSource(scpi::CommandTree& tree, Station& s) {
  tree.add(
      "SOURce:FREQuency[:CW]",
      [&s](Call& c) {
        const auto v = c.parameters(1) ? c.number(0, scpi::Quantity::Frequency, {0, 500e6, 10e6})
                                       : std::nullopt;
        if (!v) return;
        const auto word = hw::checkedTuningWord(*v / 1e6, s.instrument().params.refClockMHz);
        if (!word.ok()) {
          c.error(scpi::kDataOutOfRange, word.error);
          return;
        }
        s.sourceHz = *v;
        // A generator that is on follows at once.
        if (s.outputOn()) refused(c, s.setOutput(c.session().client, true));
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyNumber(s.sourceHz);
      });
  tree.add(
      "OUTPut[:STATe]",
      [&s](Call& c) {
        const auto on = c.parameters(1) ? c.boolean(0) : std::nullopt;
        if (!on) return;
        // Off is never refused nor delayed: it ends whatever runs.
        if (*on && !instrumentFree(c, s)) return;
        refused(c, s.setOutput(c.session().client, *on));
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyBoolean(s.outputOn());
      });
  tree.add(
      "OUTPut:PERSistent",
      [&s](Call& c) {
        if (const auto on = c.parameters(1) ? c.boolean(0) : std::nullopt) s.keepOutput = *on;
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyBoolean(s.keepOutput);
      });
}

constexpr std::string_view kQuantityNames[] = {"RL", "PHASe", "Z", "R", "X", "SWR", "LEVel"};

void addData(scpi::CommandTree& tree, Station& s) {
  tree.add("CALCulate:DATA", {}, [&s](Call& c) {
    if (!c.parameters(0, 1)) return;
    if (!s.hasTrace()) {
      c.error(scpi::kDataStale, "nothing measured yet: INITiate first");
      return;
    }
    Quantity q = s.trace().mode == Mode::Analyzer ? Quantity::Swr : Quantity::Level;
    if (c.unit().parameters.size() == 1) {
      const auto k = c.choice(0, {kQuantityNames, kQuantityNames + 7});
      if (!k) return;
      q = static_cast<Quantity>(*k);
    }
    if ((q == Quantity::Level) != (s.trace().mode == Mode::PowerMeter)) {
      c.error(scpi::kSettingsConflict, q == Quantity::Level
                                           ? "the last sweep was the analyzer's"
                                           : "the last sweep was the power meter's");
      return;
    }
    c.replyNumbers(traceRows(s.trace(), q));
  });
  tree.add("CALCulate:DATA:FREQuency", {}, [&s](Call& c) {
    if (!c.parameters(0)) return;
    if (!s.hasTrace()) {
      c.error(scpi::kDataStale, "nothing measured yet: INITiate first");
      return;
    }
    c.replyNumbers(s.trace().frequenciesHz);
  });
  tree.add("CALCulate:DATA:COUNt", {}, [&s](Call& c) {
    if (c.parameters(0)) c.replyInteger(s.sweepsDone());
  });
  tree.add(
      "CALCulate:REPort:REGion",
      [&s](Call& c) {
        if (const auto v = c.parameters(1) ? c.whole(0, {1, 3, 1}) : std::nullopt)
          s.reportRegion = static_cast<int>(*v);
      },
      [&s](Call& c) {
        if (c.parameters(0)) c.replyInteger(s.reportRegion);
      });
  tree.add("CALCulate:REPort", {}, [&s](Call& c) {
    if (!c.parameters(0)) return;
    if (!s.hasTrace()) {
      c.error(scpi::kDataStale, "nothing measured yet: INITiate first");
      return;
    }
    const Trace& t = s.trace();
    std::string lines;
    if (t.mode == Mode::Analyzer) {
      lines = analyzer::swrReport(analyzer::analyzeSwr(t.analyzer)) +
              analyzer::bandReport(analyzer::bandWidths(t.analyzer, s.reportRegion));
    } else {
      lines = powermeter::levelReport(
          powermeter::analyzeLevels(t.levels, t.startMHz, t.stopMHz, t.limits));
    }
    c.replyString(joinedLines(lines));
  });
}

void addCrystal(scpi::CommandTree& tree, Station& s) {
  tree.add("CALCulate:CRYStal", {}, [&s](Call& c) {
    if (!c.parameters(0)) return;
    const Trace& t = s.trace();
    if (!s.hasTrace() || t.mode != Mode::PowerMeter) {
      c.error(scpi::kDataStale, "no power meter sweep to fit: INST POW, then INITiate");
      return;
    }
    powermeter::ReferenceTable through{};
    std::string problem;
    if (!powermeter::readQuartzRif(through, s.settings().path(), &problem)) {
      c.error(scpi::kExecutionError,
              problem.empty() ? "no Quartz.rif: CALibration:CRYStal first" : problem);
      return;
    }
    const powermeter::PowIni ini =
        powermeter::readPowIni(s.settings().file(powermeter::kSettingsFile), &problem);
    if (!problem.empty()) {
      c.error(scpi::kExecutionError, common::unreadableText(powermeter::kSettingsFile, problem));
      return;
    }
    std::vector<float> levels(powermeter::kTraceSize, 0.f);
    std::copy(t.levels.begin(), t.levels.end(), levels.begin());
    const powermeter::CrystalSweep sweep{levels, static_cast<int16_t>(t.steps),
                                         static_cast<float>(t.startMHz),
                                         static_cast<float>(t.stopMHz)};
    const powermeter::CrystalParameters p = powermeter::fitCrystal(
        {sweep, through, ini.r0Ohm, ini.calibration, s.instrument().params.refClockMHz, {}});
    if (!p.ok()) {
      c.error(scpi::kExecutionError, "errore: " + p.error);
      return;
    }
    // SI units: Hz, ohm, H, F; NaN where the curve gives nothing.
    std::vector<double> out;
    auto put = [&out](const std::optional<powermeter::Measured>& m, double scale) {
      out.push_back(m ? m->value * scale : kNaN);
      out.push_back(m ? m->pm * scale : kNaN);
    };
    put(p.fsMHz, 1e6);
    put(p.fpMHz, 1e6);
    put(p.rOhm, 1);
    put(p.lMilliHenry, 1e-3);
    put(p.csFemtoFarad, 1e-15);
    put(p.c0PicoFarad, 1e-12);
    put(p.q, 1);
    out.push_back(p.method == powermeter::CrystalMethod::Fit ? 0 : 1);
    c.replyNumbers(out);
  });
}

// The calibration pow.ini holds when it is stored is kept as the previous one.
void storePowerCalibration(Call& c, Station& s, const powermeter::Calibration& after) {
  const auto kept = powermeter::storeCalibration(
      s.settings(), [after](const powermeter::Calibration&) { return std::optional(after); });
  if (!kept.written) c.error(scpi::kMassStorageError, kept.message());
}

std::optional<powermeter::PowIni> readPowerIni(Call& c, Station& s) {
  std::string problem;
  powermeter::PowIni ini =
      powermeter::readPowIni(s.settings().file(powermeter::kSettingsFile), &problem);
  if (problem.empty()) return ini;
  c.error(scpi::kExecutionError, common::unreadableText(powermeter::kSettingsFile, problem));
  return std::nullopt;
}

void addBridgeAndCrystalCalibration(scpi::CommandTree& tree, Station& s) {
  tree.add("CALibration:BRIDge:STANdard", [&s](Call& c) {
    if (!c.parameters(1)) return;
    const auto k = c.choice(0, {"LOAD", "OPEN", "SHORt"});
    if (!k || !instrumentFree(c, s)) return;
    const char* names[] = {"load", "open", "short"};
    const auto standard = analyzer::standardNamed(names[*k]);
    refused(c, s.startBridgeStandard(c.session().client, static_cast<int>(*standard)));
  });
  tree.add("CALibration:BRIDge:FORGet", [&s](Call& c) {
    if (!c.parameters(0)) return;
    std::string why;
    if (!analyzer::forgetBridgeFigures(s.settings(), &why)) c.error(scpi::kMassStorageError, why);
  });
  tree.add("CALibration:CRYStal[:THRough]", [&s](Call& c) {
    if (!c.parameters(0, 1)) return;
    double r0 = 0;  // the one pow.ini keeps
    if (c.unit().parameters.size() == 1) {
      const auto v = c.number(0, scpi::Quantity::None, {1e-3, 1e6, 50});
      if (!v) return;
      r0 = *v;
    }
    if (instrumentFree(c, s)) refused(c, s.startCrystalCalibration(c.session().client, r0));
  });
  tree.add("CALibration:REPort", {}, [&s](Call& c) {
    if (c.parameters(0)) c.replyString(joinedLines(s.lastReport));
  });
}

void addCalibration(scpi::CommandTree& tree, Station& s) {
  tree.add("CALibration:POWer:LEVel", [&s](Call& c) {
    if (!c.parameters(1, 2)) return;
    const auto level = c.number(0, scpi::Quantity::Decibel, {-60, 0, 0});
    if (!level) return;
    if (*level != 0 && *level != -60) {
      c.error(scpi::kIllegalParameterValue, "0 or -60 (dBm)");
      return;
    }
    double hz = powermeter::kCalibrationMHz * 1e6;
    if (c.unit().parameters.size() == 2) {
      const auto v = c.number(1, scpi::Quantity::Frequency, {0, 500e6, hz});
      if (!v) return;
      hz = *v;
    }
    if (!instrumentFree(c, s)) return;
    const auto ini = readPowerIni(c, s);
    if (!ini) return;
    const std::string wrong =
        powermeter::calibrationFrequencyProblem(hz / 1e6, s.instrument().params.refClockMHz);
    if (!wrong.empty()) {
      c.error(scpi::kDataOutOfRange, wrong);
      return;
    }
    hw::Instrument& instrument = s.instrument();
    s.abort();
    instrument.startGenerator(hw::checkedTuningWord(hz / 1e6, instrument.params.refClockMHz).word);
    instrument.settle(hw::kSettleUnits);
    const int count = powermeter::readCalibrationCount(instrument);
    instrument.switchOff(1);
    if (instrument.portFailed()) {
      c.error(scpi::kHardwareError, instrument.portFailure());
      return;
    }
    const auto point =
        *level == 0 ? powermeter::CalPoint::ZeroDbm : powermeter::CalPoint::Minus60Dbm;
    const std::string problem =
        powermeter::calibrationCountProblem(point, count, ini->calibration, hz / 1e6,
                                            {"CAL:POW:LEV 0", "CAL:POW:LEV -60", "CAL:POW:DEF"});
    if (!problem.empty()) {
      c.error(scpi::kExecutionError, problem);
      return;
    }
    powermeter::Calibration after = ini->calibration;
    (point == powermeter::CalPoint::ZeroDbm ? after.countsAt0Dbm : after.countsAtMinus60Dbm) =
        static_cast<int16_t>(count);
    storePowerCalibration(c, s, after);
  });
  tree.add("CALibration:POWer:UNDO", [&s](Call& c) {
    if (!c.parameters(0)) return;
    const auto ini = readPowerIni(c, s);
    if (!ini) return;
    std::string problem;
    const auto file = s.settings().file(powermeter::kPreviousCalibrationFile);
    const auto kept = powermeter::readPreviousCalibration(file, &problem);
    if (!kept) {
      c.error(scpi::kExecutionError, powermeter::noPreviousCalibrationText(file, problem));
      return;
    }
    storePowerCalibration(c, s, *kept);
  });
  tree.add("CALibration:POWer:DEFault", [&s](Call& c) {
    if (!c.parameters(0)) return;
    if (readPowerIni(c, s)) storePowerCalibration(c, s, powermeter::Calibration{});
  });
  tree.add("CALibration:POWer:DATA", {}, [&s](Call& c) {
    if (!c.parameters(0)) return;
    if (const auto ini = readPowerIni(c, s))
      c.reply(std::to_string(ini->calibration.countsAt0Dbm) + "," +
              std::to_string(ini->calibration.countsAtMinus60Dbm) + "," +
              (ini->calibration.isDefault() ? "1" : "0"));
  });
  addBridgeAndCrystalCalibration(tree, s);
}

void addStore(scpi::CommandTree& tree, Station& s) {
  tree.add("MMEMory:STORe:TRACe", [&s](Call& c) {
    if (!c.parameters(1)) return;
    const auto name = c.text(0);
    if (!name) return;
    if (!s.hasTrace()) {
      c.error(scpi::kDataStale, "nothing measured yet: INITiate first");
      return;
    }
    const std::string problem = storePathProblem(s.settings().path(), *name);
    if (!problem.empty()) {
      c.error(scpi::kFileNameError, problem);
      return;
    }
    const Trace& t = s.trace();
    const std::string ext = common::asciiLower(std::filesystem::path(*name).extension().string());
    std::string text;
    // What the values stand for, as every analyzer export says.
    analyzer::ExportSource source;
    source.figuresMeasured = analyzer::bridgeFiguresIn(s.settings()).measured;
    source.calibration = t.analyzer.calibration;
    if (t.mode == Mode::Analyzer && ext == ".vna")
      text = analyzer::formatVna(static_cast<int16_t>(t.steps), t.startMHz, t.stopMHz, t.channels);
    else if (t.mode == Mode::Analyzer && ext == ".csv")
      text = analyzer::formatCsv(t.analyzer, source);
    else if (t.mode == Mode::Analyzer && ext == ".s1p")
      text = analyzer::formatTouchstone(t.analyzer, &t.channels, source);
    else if (t.mode == Mode::PowerMeter && (ext == ".pwm" || ext == ".csv")) {
      powermeter::ChartFile chart;
      chart.points = static_cast<int16_t>(t.steps);
      chart.start = t.startMHz;
      chart.stop = t.stopMHz;
      chart.levels = t.levels;
      chart.reference = 0.0f;
      text = ext == ".pwm" ? powermeter::formatChartFile(chart)
                           : powermeter::formatCsv(chart, t.limits);
    } else {
      c.error(scpi::kFileNameError, t.mode == Mode::Analyzer
                                        ? "the analyzer's trace is written as .vna, .csv or .s1p"
                                        : "the power meter's trace is written as .pwm or .csv");
      return;
    }
    std::string error;
    if (!common::writeFileAtomic(s.settings().path() / *name, text, &error))
      c.error(scpi::kMassStorageError, error);
  });
}

}  // namespace

std::vector<double> traceRows(const Trace& t, Quantity quantity) {
  std::vector<double> rows;
  rows.reserve(t.frequenciesHz.size() * 4);
  if (quantity == Quantity::Level) {
    for (float level : t.levels) {
      rows.insert(rows.end(), {level, kNaN, kNaN, static_cast<double>(t.limits.mark(level))});
    }
    return rows;
  }
  const int q = static_cast<int>(quantity);
  const analyzer::TraceValues& v = t.analyzer;
  for (size_t i = 0; i < v.flags.size(); ++i) {
    const double value = q == analyzer::kReactance ? v.signedReactance(i) : v.values[q][i];
    const double pm = v.halfWidths[q][i];
    auto mark = v.mark(i, q);
    double low = kNaN, high = kNaN;
    if (std::isfinite(value)) {
      if (q == analyzer::kSwr && !std::isfinite(pm)) {
        low = v.swrLow[i];
        high = kInf;
      } else if (q == analyzer::kReactance && v.signs[i] == analyzer::ReactanceSign::Unknown) {
        // |X| read without its sign: the interval holds both.
        std::tie(low, high) = outward(0, value + pm);
        if (mark == chart::Mark::Valid) mark = chart::Mark::Approximate;
      } else {
        std::tie(low, high) = outward(value, pm);
      }
    }
    rows.insert(rows.end(), {value, low, high, static_cast<double>(mark)});
  }
  return rows;
}

std::string storePathProblem(const std::filesystem::path& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path path(name);
  if (name.empty() || path.has_root_name() || path.has_root_directory())
    return "'" + common::shortened(name) + "': give a name inside the working folder";
  for (const auto& part : path.lexically_normal())
    if (part == "..") return "'" + common::shortened(name) + "' leaves the working folder";
  std::error_code ec;
  const fs::path base = fs::weakly_canonical(folder, ec);
  const fs::path target = fs::weakly_canonical(folder / path, ec);
  const auto [end, rest] = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
  if (ec || end != base.end())
    return "'" + common::shortened(name) + "' leads out of the working folder";
  return common::outputTargetProblem(folder / path, common::OutputKind::Replaced);
}

void addCommands(scpi::CommandTree& tree, Station& station) {
  scpi::Session::addStandardCommands(tree);
  addSweepSettings(tree, station);
  addSweepControl(tree, station);
  addSource(tree, station);
  addData(tree, station);
  addCrystal(tree, station);
  addCalibration(tree, station);
  addStore(tree, station);
}

}  // namespace kolm::remote
