#include "analyzer/bridge_check.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "analyzer/impedance.h"
#include "chart/scale.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

// What such a bridge gives: home-built resistive bridges measure 24 to 30 dB of
// directivity at HF and read an open and a short within a few tenths of a dB.
// Worse than these is a load that is not 50 ohm, a standard that is not what
// it was said to be or a loose connector, not the bridge.
constexpr double kPoorDirectivityDb = 20;
constexpr double kPoorTrackingDb = 1;
// A load reading closer than this to a total reflection is an open, a short or
// nothing at all.
constexpr double kNoLoadDb = 6;
// The directivity the figures file may state: above the read-out's own range
// would be a claim no check can make.
constexpr double kMaxStatedDirectivityDb = kReturnLossRangeDb;

// A tracking worse than this is no bridge at all.
constexpr double kMaxStatedTrackingDb = 20;
// The phase output's end regions cannot reach past the middle of its range.
constexpr double kMaxPhaseEndDeg = 90;

// A run of 20001 points of three standards is about 1.2 MB.
constexpr uint64_t kCheckRunLimitBytes = 4 << 20;

constexpr const char* kStandardNames[kStandards] = {"load", "open", "short"};

double linear(double db) { return std::pow(10.0, db / 20); }
double decibels(double ratio) { return 20 * std::log10(ratio); }

std::string figureText(double v, int digits = 4) { return common::shortestText(v, digits); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Gives each key=value line of `text` (blank lines and # comments left out) to
// `take`, which says what is wrong with it or nothing. The problem of the first
// line that has one ("line 6: WHY"), or nothing; `lines` counts the lines read.
template <typename Take>
std::string eachSetting(std::string_view text, Take take, int& lines) {
  lines = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view row = common::trimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lines;
    if (row.empty() || row.front() == '#') continue;
    const size_t eq = row.find('=');
    const std::string why =
        eq == std::string_view::npos ? "no key=value" : take(row.substr(0, eq), row.substr(eq + 1));
    if (!why.empty()) return common::lineProblem(lines, why);
  }
  return {};
}

}  // namespace

const char* standardName(Standard standard) { return kStandardNames[static_cast<int>(standard)]; }

std::optional<Standard> standardNamed(std::string_view name) {
  for (int k = 0; k < kStandards; ++k)
    if (common::asciiLower(common::trimBlanks(name)) == kStandardNames[k])
      return static_cast<Standard>(k);
  return std::nullopt;
}

bool BridgeCheckRun::complete() const {
  return std::all_of(readings.begin(), readings.end(), [](const auto& r) { return r.has_value(); });
}

bool BridgeCheckRun::take(Standard standard, double start, double stop, int steps,
                          StandardReadings measured) {
  bool dropped = false;
  if (!over(start, stop, steps)) {
    for (auto& r : readings) dropped = dropped || r.has_value(), r.reset();
    startMHz = start, stopMHz = stop, points = steps;
  }
  readings[static_cast<size_t>(standard)] = std::move(measured);
  return dropped;
}

StandardReadings standardReadings(const Channels& channels, int points) {
  StandardReadings r;
  for (size_t k = 0; k <= static_cast<size_t>(points); ++k) {
    r.returnLossCounts.push_back(channels.averaged() ? channels.meanReturnLoss[k]
                                                     : channels.returnLossCounts[k]);
    r.phaseCounts.push_back(channels.averaged() ? channels.meanPhase[k] : channels.phaseCounts[k]);
  }
  return r;
}

bool BridgeCheckRun::over(double start, double stop, int steps) const {
  return startMHz == start && stopMHz == stop && points == steps;
}

double BridgeCheckRun::frequencyMHz(int i) const {
  return chart::pointFrequency(startMHz, stopMHz, points, i);
}

std::string formatCheckRun(const BridgeCheckRun& run) {
  std::string out = "# The bridge check under way: the mean readings of each standard measured\n";
  out += "sweep=" + figureText(run.startMHz, 15) + "," + figureText(run.stopMHz, 15) + "," +
         std::to_string(run.points) + "\n";
  for (int k = 0; k < kStandards; ++k) {
    const auto& r = run.readings[static_cast<size_t>(k)];
    if (!r) continue;
    out += kStandardNames[k];
    out += '=';
    for (size_t i = 0; i < r->returnLossCounts.size(); ++i) {
      if (i) out += ',';
      out += figureText(r->returnLossCounts[i], 8) + "/" + figureText(r->phaseCounts[i], 8);
    }
    out += '\n';
  }
  return out;
}

std::optional<BridgeCheckRun> parseCheckRun(std::string_view text, std::string* why) {
  BridgeCheckRun run;
  bool sweep = false;
  auto take = [&](std::string_view key, std::string_view value) -> std::string {
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
      const size_t comma = value.find(',', from);
      fields.push_back(value.substr(from, comma - from));
      if (comma == std::string_view::npos) break;
      from = comma + 1;
    }
    if (key == "sweep") {
      const auto start = common::fieldNumber(fields[0]);
      const auto stop = fields.size() == 3 ? common::fieldNumber(fields[1]) : std::nullopt;
      const auto steps = fields.size() == 3 ? common::fieldNumber(fields[2]) : std::nullopt;
      if (!start || !stop || !steps || *steps < 1 || *steps > kMaxPoints - 1 ||
          *steps != std::floor(*steps))
        return "the sweep is not START,STOP,STEPS";
      run.startMHz = *start, run.stopMHz = *stop, run.points = static_cast<int>(*steps);
      sweep = true;
      return {};
    }
    const auto standard = standardNamed(key);
    if (!standard) return "unknown key '" + common::shortened(key) + "'";
    if (!sweep) return "readings before the sweep line";
    if (fields.size() != static_cast<size_t>(run.points) + 1)
      return std::to_string(fields.size()) + " readings where the sweep has " +
             std::to_string(run.points + 1);
    StandardReadings r;
    for (std::string_view f : fields) {
      const size_t slash = f.find('/');
      const auto a = common::fieldNumber(f.substr(0, slash));
      const auto b =
          slash == std::string_view::npos ? std::nullopt : common::fieldNumber(f.substr(slash + 1));
      if (!a || !b) return "a reading is not A/B";
      r.returnLossCounts.push_back(*a);
      r.phaseCounts.push_back(*b);
    }
    run.readings[static_cast<size_t>(*standard)] = std::move(r);
    return {};
  };
  int lines = 0;
  std::string problem = eachSetting(text, take, lines);
  if (problem.empty() && !sweep) problem = common::lineProblem(lines, "no sweep line");
  if (problem.empty()) return run;
  if (why) *why = problem;
  return std::nullopt;
}

namespace {

// What the readings show that a well-made measurement does not, and where
// each is first seen.
struct Oddities {
  bool openLikeShort = false, shortLikeOpen = false, inconsistent = false;
  double openPhaseMHz = 0, shortPhaseMHz = 0, inconsistentMHz = 0;
};

// The warnings for `odd`, the load that reflects almost all (`noLoad`) and
// figures poorer than such a bridge gives.
void addWarnings(BridgeCheckResult& out, const Oddities& odd, bool noLoad) {
  auto at = [](double mhz) { return " at " + figureText(mhz, 6) + " MHz"; };
  if (odd.openLikeShort)
    out.warnings.push_back("What was measured as the open reads like a short (a phase near 180" +
                           std::string("\xc2\xb0") + at(odd.openPhaseMHz) +
                           "). Measure the open again with the open connected.");
  if (odd.shortLikeOpen)
    out.warnings.push_back("What was measured as the short reads like an open (a phase near 0" +
                           std::string("\xc2\xb0") + at(odd.shortPhaseMHz) +
                           "). Measure the short again with the short connected.");
  if (noLoad)
    out.warnings.push_back("What was measured as the 50 \xce\xa9 load reflects almost all" +
                           at(out.directivityMinMHz) +
                           ", like an open or a short. Measure the load again with the load "
                           "connected.");
  else if (out.directivityMinDb < kPoorDirectivityDb)
    out.warnings.push_back(
        "The 50 \xce\xa9 load reads a return loss of only " + figureText(out.directivityMinDb, 3) +
        " dB" + at(out.directivityMinMHz) +
        ": a bridge like this one gives 24 dB or more. Is the load a 50 \xce\xa9 load, and is its "
        "connector tight?");
  if (odd.inconsistent)
    out.warnings.push_back(
        "The open and the short read further apart" + at(odd.inconsistentMHz) +
        " than a bridge with the directivity the load shows allows: one of the three was not "
        "measured well (a loose connector?). Measure them again.");
  else if (out.trackingMaxDb > kPoorTrackingDb)
    out.warnings.push_back("The open and the short read up to " + figureText(out.trackingMaxDb, 3) +
                           " dB from a total reflection" + at(out.trackingMaxMHz) +
                           ": a bridge like this one reads them within a few tenths of a dB. Are "
                           "they an open and a short, and is the connector tight?");
}

}  // namespace

BridgeCheckResult evaluateBridgeCheck(const BridgeCheckRun& run, const BridgeFigures& f) {
  BridgeCheckResult out;
  const StandardReadings& load = *run.readings[static_cast<size_t>(Standard::Load)];
  const StandardReadings& open = *run.readings[static_cast<size_t>(Standard::Open)];
  const StandardReadings& shorted = *run.readings[static_cast<size_t>(Standard::Short)];
  // How far a mean reading may be from what the detector saw (its noise taken
  // as that of one pass).
  const double spread = channelASpread(f);
  double statedDirectivity = kMaxStatedDirectivityDb, statedTracking = 0;
  Oddities odd;
  for (int i = 0; i <= run.points; ++i) {
    const auto k = static_cast<size_t>(i);
    const double mhz = run.frequencyMHz(i);
    out.frequencies.push_back(mhz);
    // The load: what comes back is the directivity vector.
    const double a = load.returnLossCounts[k];
    out.directivityAtLimit.push_back(a <= 0);
    out.directivityDb.push_back(std::max(-readRatioDb(std::max(a, 0.0), 0), 0.0));
    const double leastDirectivity = std::min(-readRatioDb(a + spread, f.magnitudeSlope),
                                             -readRatioDb(a + spread, -f.magnitudeSlope));
    statedDirectivity = std::min(statedDirectivity, leastDirectivity);
    const double directivity = linear(-leastDirectivity);
    // The open and the short: each between its reading's far ends.
    auto low = [&](double counts) {
      return linear(std::min(readRatioDb(counts - spread, f.magnitudeSlope),
                             readRatioDb(counts - spread, -f.magnitudeSlope)));
    };
    auto high = [&](double counts) {
      return linear(std::max(readRatioDb(counts + spread, f.magnitudeSlope),
                             readRatioDb(counts + spread, -f.magnitudeSlope)));
    };
    const double o = open.returnLossCounts[k], s = shorted.returnLossCounts[k];
    // The two differ by at most twice the directivity vector.
    if (std::max(low(o) - high(s), low(s) - high(o)) > 2 * directivity && !odd.inconsistent)
      odd.inconsistent = true, odd.inconsistentMHz = mhz;
    // Their mean is the tracking to the second order of the directivity:
    // |T + D| + |T - D| is at least 2|T|, and at most 2 sqrt(|T|^2 + |D|^2).
    const double mean = (linear(readRatioDb(o, 0)) + linear(readRatioDb(s, 0))) / 2;
    out.trackingDb.push_back(std::fabs(decibels(mean)));
    const double meanLow = (low(o) + low(s)) / 2, meanHigh = (high(o) + high(s)) / 2;
    const double trackingLow = meanLow - directivity * directivity / (2 * meanLow);
    const double worst =
        trackingLow > 0 ? std::max(std::fabs(decibels(trackingLow)), std::fabs(decibels(meanHigh)))
                        : HUGE_VAL;
    statedTracking = std::max(statedTracking, worst);
    // An open reads near 0 degrees, a short near 180.
    if (open.phaseCounts[k] * kDegreesPerCount > 90 && !odd.openLikeShort)
      odd.openLikeShort = true, odd.openPhaseMHz = mhz;
    if (shorted.phaseCounts[k] * kDegreesPerCount < 90 && !odd.shortLikeOpen)
      odd.shortLikeOpen = true, odd.shortPhaseMHz = mhz;
  }
  const auto least = std::min_element(out.directivityDb.begin(), out.directivityDb.end());
  const auto n = static_cast<size_t>(least - out.directivityDb.begin());
  out.directivityMinDb = *least;
  out.directivityMinMHz = out.frequencies[n];
  out.directivityMinAtLimit = out.directivityAtLimit[n];
  out.directivityMedianDb = median(out.directivityDb);
  const auto most = std::max_element(out.trackingDb.begin(), out.trackingDb.end());
  out.trackingMaxDb = *most;
  out.trackingMaxMHz = out.frequencies[static_cast<size_t>(most - out.trackingDb.begin())];
  out.figures = f;
  // Rounded the safe way, to what the file keeps: a hundredth of a dB down, a
  // thousandth up.
  out.figures.directivityDb = std::max(std::floor(statedDirectivity * 100) / 100, 0.0);
  out.figures.trackingDb = std::ceil(statedTracking * 1000) / 1000;
  // Standards that are not what they were said to be give no figures.
  const bool noLoad = out.directivityMinDb < kNoLoadDb;
  out.storable = !odd.openLikeShort && !odd.shortLikeOpen && !odd.inconsistent && !noLoad &&
                 statedTracking <= kMaxStatedTrackingDb;

  addWarnings(out, odd, noLoad);
  return out;
}

std::string bridgeCheckReport(const BridgeCheckResult& r) {
  std::string out;
  out += "directivity_db_min=" + figureText(r.directivityMinDb) + "\n";
  out += "directivity_db_min_mhz=" + figureText(r.directivityMinMHz, 6) + "\n";
  // At the bottom of the read-out the load only says the bridge is at least
  // that good.
  out += std::string("directivity_db_min_kind=") + (r.directivityMinAtLimit ? "bound" : "value") +
         "\n";
  out += "directivity_db_median=" + figureText(r.directivityMedianDb) + "\n";
  out += "tracking_db_max=" + figureText(r.trackingMaxDb) + "\n";
  out += "tracking_db_max_mhz=" + figureText(r.trackingMaxMHz, 6) + "\n";
  out += "stated_directivity_db=" + figureText(r.figures.directivityDb) + "\n";
  out += "stated_tracking_db=" + figureText(r.figures.trackingDb) + "\n";
  for (const std::string& w : r.warnings) out += "warning=" + w + "\n";
  return out;
}

std::string formatBridgeFigures(const BridgeCheckRun& run, const BridgeCheckResult& r,
                                const std::string& when) {
  std::string out =
      "# The bridge's figures as measured by its check; the analyzer's intervals use them.\n"
      "# Delete this file to go back to the published figures.\n";
  out += "directivity_db=" + figureText(r.figures.directivityDb, 6) + "\n";
  out += "tracking_db=" + figureText(r.figures.trackingDb, 6) + "\n";
  // The width of the phase output's end regions is stated, not measured: kept
  // when it is not the published one.
  if (r.figures.phaseEndDeg != publishedBridge().phaseEndDeg)
    out += "phase_end_deg=" + figureText(r.figures.phaseEndDeg, 6) + "\n";
  out += "measured=" + when + "\n";
  out += "sweep=" + figureText(run.startMHz, 15) + "," + figureText(run.stopMHz, 15) + "," +
         std::to_string(run.points) + "\n";
  out += "directivity_db_min=" + figureText(r.directivityMinDb) + "\n";
  out += "directivity_db_median=" + figureText(r.directivityMedianDb) + "\n";
  out += "tracking_db_max=" + figureText(r.trackingMaxDb) + "\n";
  return out;
}

std::optional<BridgeFigures> parseBridgeFigures(std::string_view text, std::string* why) {
  BridgeFigures f = publishedBridge();
  std::optional<double> directivity, tracking;
  int lines = 0;
  const std::string problem = eachSetting(
      text,
      [&](std::string_view key, std::string_view value) {
        if (key == "directivity_db") directivity = common::fieldNumber(value);
        if (key == "tracking_db") tracking = common::fieldNumber(value);
        if (key == "phase_end_deg") {
          const auto end = common::fieldNumber(value);
          if (!end || !(*end >= 0 && *end <= kMaxPhaseEndDeg))
            return std::string("phase_end_deg must be a number from 0 to 90");
          f.phaseEndDeg = *end;
        }
        return std::string();  // the other keys say how the figures were found
      },
      lines);
  if (!problem.empty()) {
    if (why) *why = problem;
    return std::nullopt;
  }
  // A directivity below 0 dB or a tracking above 20 dB is no bridge at all.
  if (!directivity || !(*directivity >= 0 && *directivity <= kMaxStatedDirectivityDb) ||
      !tracking || !(*tracking >= 0 && *tracking <= kMaxStatedTrackingDb)) {
    if (why) *why = "no directivity_db from 0 to 30 and tracking_db from 0 to 20";
    return std::nullopt;
  }
  f.directivityDb = *directivity;
  f.trackingDb = *tracking;
  return f;
}

BridgeFiguresInUse bridgeFiguresIn(const common::SettingsFolder& folder) {
  BridgeFiguresInUse out;
  const std::filesystem::path path = folder.file(kBridgeFiguresFile);
  const common::SettingsRead read = common::readSettingsFile(path, 64 * 1024);
  if (!read.content || !read.problem.empty()) {
    if (!read.problem.empty()) out.problem = common::unreadableText(path, read.problem);
    return out;
  }
  std::string why;
  if (auto f = parseBridgeFigures(*read.content, &why)) {
    out.figures = *f;
    out.measured = true;
  } else {
    out.problem = common::unreadableText(path, why) +
                  " The analyzer uses the published figures of such a bridge.";
  }
  return out;
}

namespace {

// The check under way in `folder`, or nothing with `why` (the line and what is
// wrong with it) when its file is there but cannot be read.
std::optional<BridgeCheckRun> readCheckRun(const common::SettingsFolder& folder, std::string& why) {
  const auto read = common::readSettingsFile(folder.file(kBridgeCheckFile), kCheckRunLimitBytes);
  why = read.problem;
  if (!read.content)
    return why.empty() ? std::optional<BridgeCheckRun>(BridgeCheckRun{}) : std::nullopt;
  if (!why.empty()) return std::nullopt;
  return parseCheckRun(*read.content, &why);
}

}  // namespace

BridgeCheckRun checkRunIn(const common::SettingsFolder& folder, bool* unreadable) {
  std::string why;
  const auto run = readCheckRun(folder, why);
  *unreadable = !run;
  return run.value_or(BridgeCheckRun{});
}

namespace {

// "2026-12-07 21:50 UTC": the same on every machine and locale.
std::string measuredWhen() {
  const std::tm t = common::utcNow();
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(t.tm_year + 1900) + "-" + two(t.tm_mon + 1) + "-" + two(t.tm_mday) + " " +
         two(t.tm_hour) + ":" + two(t.tm_min) + " UTC";
}

// `content` into `file`, a file there that could not be read kept aside first.
bool writeKept(common::SettingsKeeper& keeper, const std::filesystem::path& file,
               const std::string& content, bool unreadable, std::string& message,
               const std::string& problem = {}) {
  if (unreadable) {
    const auto kept =
        keeper.keep(file, problem.empty() ? "its text is not what it should be" : problem);
    message += kept.message;
    if (!kept.mayWrite) return false;
  }
  if (common::writeFileAtomic(file, content)) return true;
  message += (message.empty() ? "" : "\n") + file.string() + " could not be written.";
  return false;
}

}  // namespace

CheckKept keepCheck(common::SettingsFolder& folder, const BridgeCheckRun& run,
                    const BridgeCheckResult* result, bool runUnreadable) {
  CheckKept out;
  if (!result || !result->storable) {
    // The file kept aside is named with its line and what is wrong there.
    std::string why;
    if (runUnreadable) readCheckRun(folder, why);
    out.ok = writeKept(folder.keeper(), folder.file(kBridgeCheckFile), formatCheckRun(run),
                       runUnreadable, out.message, why);
    return out;
  }
  const BridgeFiguresInUse before = bridgeFiguresIn(folder);
  const bool figuresUnreadable = !before.problem.empty();
  // A phase end width stated in the file stays stated.
  BridgeCheckResult kept = *result;
  if (before.measured) kept.figures.phaseEndDeg = before.figures.phaseEndDeg;
  out.ok = writeKept(folder.keeper(), folder.file(kBridgeFiguresFile),
                     formatBridgeFigures(run, kept, measuredWhen()), figuresUnreadable, out.message,
                     before.problem);
  out.figuresStored = out.ok;
  std::error_code ec;
  if (out.ok) std::filesystem::remove(folder.file(kBridgeCheckFile), ec);  // the check is done
  return out;
}

bool forgetBridgeFigures(const common::SettingsFolder& folder, std::string* why) {
  std::error_code ec;
  for (const char* name : {kBridgeFiguresFile, kBridgeCheckFile}) {
    std::filesystem::remove(folder.file(name), ec);
    if (ec) {
      *why = std::string(name) + " could not be removed: " + ec.message();
      return false;
    }
  }
  return true;
}

}  // namespace kolm::analyzer
