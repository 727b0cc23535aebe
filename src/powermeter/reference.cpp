#include "powermeter/reference.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"
#include "common/tr.h"
#include "hw/dds.h"

namespace kolm::powermeter {

namespace {

constexpr double kWordLimit = 4294967296.0;  // 2^32: the DDS word has 32 bits

uint32_t wordOut(double word) { return static_cast<uint32_t>(common::roundHalfEven(word)); }

// f + 0.1 taken in double precision and kept in single, as the drawing loops step.
float nextTenth(float f) { return static_cast<float>(static_cast<double>(f) + 0.1); }

// The loops run until f reaches one step beyond the view's stop, or 160 MHz.
// The loops take at most this many steps: 0.1 MHz steps over the whole table and
// more (a start far below 0 could otherwise step for ever once 0.1 vanishes).
constexpr int kMaxDrawingSteps = 20000;

bool beyondDrawing(float f, float viewStop) {
  return static_cast<double>(f) >= static_cast<double>(viewStop) + 0.1 || f >= 160.0f;
}

}  // namespace

std::optional<size_t> referenceIndex(float mhz) {
  const float tenfold = mhz * 10.0f;
  if (!(std::fabs(tenfold) < 1e6f)) return std::nullopt;  // far outside (or not a number)
  const double index = common::roundHalfEven(tenfold);
  if (index < 0 || index >= kRifEntries) return std::nullopt;
  return static_cast<size_t>(index);
}

std::string formatRif(const ReferenceTable& table, int entries) {
  common::RecordWriter w;
  const int count = std::min(entries, kRifEntries);
  for (int k = 0; k < count; ++k) w.number(table[k], 7);
  return w.text();
}

int parseRif(std::string_view content, ReferenceTable& table) {
  common::RecordReader reader(content);
  int read = 0;
  while (read < kRifEntries) {
    auto field = reader.next();
    const auto value = field ? common::fieldNumber(*field) : std::nullopt;
    if (!value || !common::fitsSingle(*value)) break;
    table[read++] = static_cast<float>(*value);
  }
  return read;
}

std::optional<ReferenceTable> parseWholeRif(std::string_view content, std::string* problem) {
  auto refuse = [&](int line, const std::string& why) -> std::optional<ReferenceTable> {
    if (problem) *problem = common::lineProblem(line, why);
    return std::nullopt;
  };
  const std::string text = common::lenientSettingsText(content);
  common::RecordReader reader(text);
  ReferenceTable table{};
  for (int k = 0; k < kRifEntries; ++k) {
    const auto field = reader.nextView();
    if (!field)
      return refuse(k + 1, common::arg(KOLM_TR("kolm",
                                               "the table ends after %1 of its %2 levels (one a "
                                               "line)"),
                                       {std::to_string(k), std::to_string(kRifEntries)}));
    const auto value = common::fieldNumber(*field);
    if (!value || !common::fitsSingle(*value))
      return refuse(reader.line(), common::arg(KOLM_TR("kolm", "'%1' is not a level in dBm"),
                                               {common::shortened(*field, 40)}));
    if (reader.line() != k + 1)
      return refuse(reader.line(), KOLM_TR("kolm", "two levels on one line"));
    table[static_cast<size_t>(k)] = static_cast<float>(*value);
  }
  while (const auto field = reader.nextView()) {
    if (common::trimBlanks(*field).empty()) continue;  // blank lines at the end
    if (reader.line() == kRifEntries)
      return refuse(reader.line(), KOLM_TR("kolm", "two levels on one line"));
    return refuse(reader.line(),
                  common::arg(KOLM_TR("kolm", "text after the last of its %1 levels"),
                              {std::to_string(kRifEntries)}));
  }
  return table;
}

int readLevelRif(ReferenceTable& table, const std::filesystem::path& path, std::string* problem) {
  if (problem) problem->clear();
  const common::FileRead file = common::readFile(path, common::kTableFileLimit);
  std::string why = file.fault == common::ReadFault::Missing ? std::string() : file.error;
  if (file.content) {
    if (const auto whole = parseWholeRif(*file.content, &why)) {
      table = *whole;
      return kRifEntries;
    }
  }
  if (problem && !why.empty())
    *problem = common::unreadableText(path, why) + " " + KOLM_TR("kolm", "It is not used.");
  return 0;
}

std::filesystem::path findQuartzRif(const std::filesystem::path& folder) {
  std::error_code ec;
  // Anything of that exact name (a folder, a dangling link) is the file meant.
  const auto exact = folder / kQuartzRifFile;
  if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) return exact;
  const std::string wanted = common::asciiLower(kQuartzRifFile);
  std::vector<std::filesystem::path> found;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (common::asciiLower(it->path().filename().string()) == wanted) found.push_back(it->path());
  }
  if (found.empty()) return {};
  std::sort(found.begin(), found.end());  // the same file every time
  return found.front();
}

int readQuartzRif(ReferenceTable& table, const std::filesystem::path& folder,
                  std::string* problem) {
  if (problem) problem->clear();
  const auto path = findQuartzRif(folder);
  if (path.empty()) return 0;
  return readLevelRif(table, path, problem);
}

bool writeRif(const ReferenceTable& table, const std::filesystem::path& path, std::string* error) {
  return common::writeFileAtomic(path, formatRif(table), error);
}

std::optional<TableWords> tableWords(double refClkMHz, int lastIndex, std::string* error) {
  auto refuse = [&](std::string why) -> std::optional<TableWords> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  if (!(refClkMHz > 0) || !std::isfinite(refClkMHz)) return refuse(hw::noClockMessage());
  TableWords w;
  w.firstWord = hw::ddsTuningWord(0.1, refClkMHz);
  w.word160MHz = hw::ddsTuningWord(160, refClkMHz);
  w.step = (w.firstWord + w.word160MHz) / 1600.0;
  const double last = common::roundHalfEven(w.firstWord + lastIndex * w.step);
  if (last >= kWordLimit) {
    return refuse(
        "The reference table runs from 0.1 MHz to about 160 MHz, beyond what a DDS "
        "clock of " +
        common::shortestText(refClkMHz) +
        " MHz can generate. Check the quartz and the multiplier in the Parameters "
        "window.");
  }
  return w;
}

float ReferenceTableJob::readLevel() {
  return readingToDbm(instrument_.readDetector(), calibration_);
}

void ReferenceTableJob::startAtW0() {
  word_ = words_.firstWord;
  instrument_.startGenerator(wordOut(word_));
}

bool LevelReferenceJob::step() {
  if (finishOpenPoint()) return goesOn();
  if (done() || instrument_.portFailed()) return false;
  double settle = hw::delayUnitsFromMs(20);
  if (next_ == 0) {
    startAtW0();
    nextWord_ = word_;
  } else {
    // The word is kept only once its level is read: a point dropped before
    // then is measured again at the same word.
    nextWord_ = word_ + words_.step;
    instrument_.tune(wordOut(nextWord_));
    settle = hw::delayUnitsFromMs(20) / next_ + hw::delayUnitsFromMs(1);
  }
  waitThen(settle, [this] {
    word_ = nextWord_;
    table_[next_] = readLevel();
    if (!instrument_.portFailed()) ++next_;
  });
  return goesOn();
}

void QuartzReferenceJob::entry() {
  instrument_.settle(hw::delayUnitsFromMs(0.1));
  table_[next_] = readLevel();
  if (instrument_.portFailed()) return;
  word_ += words_.step;
  instrument_.tune(wordOut(word_));
  ++next_;
}

bool QuartzReferenceJob::step() {
  if (finishOpenPoint()) return goesOn();
  if (done() || instrument_.portFailed()) return false;
  if (next_ == 0) {
    startAtW0();
    waitThen(hw::kSettleUnits, [this] {
      table_[0] = readLevel();
      entry();
    });
  } else {
    entry();
  }
  return goesOn();
}

LevelReferenceDrawing levelReferenceDrawing(float viewStart, float viewStop, bool fromFile,
                                            float storedLevel,
                                            const ReferenceTable& levelReference) {
  LevelReferenceDrawing out;
  if (fromFile) {
    if (storedLevel != 0) out.flatLevel = storedLevel;
    return out;
  }
  const float tenfold = viewStart * 10.0f;
  float f = static_cast<float>(common::roundHalfEven(tenfold) / 10.0);
  if (f < 0.1) f = 0.1f;
  auto index = referenceIndex(f);
  if (!index) return out;  // a view beyond the table: no curve
  out.curve.push_back({f, levelReference[*index]});
  for (int n = 0; n < kMaxDrawingSteps && !beyondDrawing(f, viewStop); ++n) {
    f = nextTenth(f);
    index = referenceIndex(f);
    if (index) out.curve.push_back({f, levelReference[*index]});
  }
  return out;
}

std::vector<RefPoint> quartzReferenceLine(float viewStart, float viewStop,
                                          const ReferenceTable& crystalReference) {
  std::vector<RefPoint> out;
  if (!std::isfinite(viewStart) || !std::isfinite(viewStop)) return out;
  float f = std::floor(viewStart);
  auto index = referenceIndex(f);
  if (index) out.push_back({f, crystalReference[*index]});  // the start of the line
  for (int n = 0; n < kMaxDrawingSteps && !beyondDrawing(f, viewStop); ++n) {
    index = referenceIndex(f);
    if (index) out.push_back({f, crystalReference[*index]});
    f = nextTenth(f);
  }
  return out;
}

float referenceAtCentre(float start, float stop, const ReferenceTable& levelReference) {
  const float centre = (start + stop) / 2.0f;
  const auto index = referenceIndex(centre);
  return index ? levelReference[*index] : 0.0f;
}

std::string throughTableProblem(const ReferenceTable& table, const LevelLimits& limits,
                                const std::string& what) {
  int floor = 0, overload = 0;
  std::optional<size_t> firstOverload;
  float lowest = table[0], highest = table[0];
  for (size_t i = 0; i < table.size(); ++i) {
    const LevelFlag f = limits.flag(table[i]);
    floor += f == LevelFlag::Floor;
    overload += f == LevelFlag::Overload;
    if (f == LevelFlag::Overload && !firstOverload) firstOverload = i;
    lowest = std::min(lowest, table[i]);
    highest = std::max(highest, table[i]);
  }
  const std::string entries = std::to_string(kRifEntries);
  const std::string check = KOLM_TR(
      "kolm",
      "Check that the generator's output is wired straight to the detector input (for the "
      "crystal fixture: the crystal bypassed) and that the generator runs (the port and the "
      "clock in Parameters).");
  const std::string kept = KOLM_TR("kolm", "It was not stored; the table in use is unchanged.");
  if (2 * floor > kRifEntries)
    return common::arg(KOLM_TR("kolm", "%1 reads the detector's floor at %2 of %3 points. %4 %5"),
                       {what, std::to_string(floor), entries, check, kept});
  if (overload > 0)
    return common::arg(
        KOLM_TR("kolm",
                "%1 overloads the detector at %2 of %3 points (first at %4 MHz): the levels there "
                "would only be bounds. Check that nothing amplifies the signal on its way. %5"),
        {what, std::to_string(overload), entries,
         common::shortestText(static_cast<double>(*firstOverload) / 10, 6), kept});
  if (highest - lowest < 0.5f)
    return common::arg(KOLM_TR("kolm",
                               "%1 is a flat line (%2 to %3 dBm at every point), where the "
                               "generator's response was expected to fall with frequency: the "
                               "detector does not follow the generator. %4 %5"),
                       {what, common::formatPattern(lowest, "0.0"),
                        common::formatPattern(highest, "0.0"), check, kept});
  return {};
}

ThroughLevel throughLevel(const ReferenceTable& table, double fMHz, double countDb) {
  // Entry i was measured at 0.1 + i x 160.1 / 1600 MHz (the pass steps by the
  // sum of its end words).
  constexpr double kFirst = 0.1, kStep = 160.1 / 1600, kHalfWidth = 1.0;
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = 0; i < kRifEntries; ++i) {
    const double x = kFirst + i * kStep - fMHz;
    if (std::fabs(x) > kHalfWidth) continue;
    const double y = table[static_cast<size_t>(i)];
    n += 1;
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  ThroughLevel t;
  if (n == 0) {
    const int i =
        std::clamp(static_cast<int>(std::lround((fMHz - kFirst) / kStep)), 0, kRifEntries - 1);
    t.levelDb = table[static_cast<size_t>(i)];
    t.pmDb = countDb / 2;
    return t;
  }
  const double det = n * sxx - sx * sx;
  t.slopeDbPerMHz = n > 2 && det > 0 ? (n * sxy - sx * sy) / det : 0;
  t.levelDb = (sy - t.slopeDbPerMHz * sx) / n;
  double ss = 0;
  for (int i = 0; i < kRifEntries; ++i) {
    const double x = kFirst + i * kStep - fMHz;
    if (std::fabs(x) > kHalfWidth) continue;
    const double r = table[static_cast<size_t>(i)] - (t.levelDb + t.slopeDbPerMHz * x);
    ss += r * r;
  }
  const double sd = n > 2 ? std::sqrt(ss / (n - 2)) : 0;
  // Noise averages down; quantisation leaves a bias in the mean that noise
  // of sd dithers away (half a count without any noise).
  const double dithered =
      countDb > 0 ? std::exp(-2 * std::pow(std::numbers::pi * sd / countDb, 2)) : 0;
  t.pmDb = 2 * sd / std::sqrt(n) + countDb / 2 * dithered;
  return t;
}

}  // namespace kolm::powermeter
