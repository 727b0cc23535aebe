#include "powermeter/chart_file.h"

#include "chart/scale.h"
#include "common/files.h"
#include "common/records.h"
#include "common/text.h"

namespace kolm::powermeter {

namespace {
constexpr int kMaxFileSteps = 20002;
}

std::string formatChartFile(const ChartFile& chart) {
  common::RecordWriter w;
  w.reserve((chart.levels.size() + 4) * 12);  // "-123.4567" and CR LF at most, mostly
  w.number(chart.points);
  w.number(chart.start, 7);
  w.number(chart.stop, 7);
  for (size_t i = 0; i <= static_cast<size_t>(chart.points) && i < chart.levels.size(); ++i)
    w.number(chart.levels[i], 7);
  if (chart.reference) w.number(*chart.reference, 7);
  return std::move(w).text();
}

ChartFileRead parseChartFile(std::string_view content) {
  ChartFileRead out;
  common::RecordReader reader(content);
  size_t line = 0;
  // The next value, which the file keeps in single precision (the step count is
  // checked on its own).
  auto number = [&](double& value) {
    auto field = reader.nextView();
    ++line;
    if (!field) {
      out.error = "The file ends at line " + std::to_string(line) + " before its last level.";
      return false;
    }
    const auto v = common::fieldNumber(*field);
    if (!v) {
      out.error = "Line " + std::to_string(line) + " holds no number.";
      return false;
    }
    if (!common::fitsSingle(*v)) {
      out.error = "Line " + std::to_string(line) + " holds " + common::shortestText(*v) +
                  ", beyond the range of the single-precision values of a chart file.";
      return false;
    }
    value = *v;
    return true;
  };
  ChartFile chart;
  double n = 0, start = 0, stop = 0;
  if (!number(n) || !number(start) || !number(stop)) return out;
  if (n != common::roundHalfEven(n) || n < 1 || n > kMaxFileSteps) {
    out.error = "The number of steps must be a whole number from 1 to 20002.";
    return out;
  }
  chart.points = static_cast<int16_t>(n);
  chart.start = static_cast<float>(start);
  chart.stop = static_cast<float>(stop);
  chart.levels.resize(chart.points + 1);
  for (auto& level : chart.levels) {
    double v = 0;
    if (!number(v)) return out;
    level = static_cast<float>(v);
  }
  // The reference level; blank lines at the end are not a value.
  while (auto field = reader.nextView()) {
    ++line;
    if (field->find_first_not_of(" \t") == std::string_view::npos) continue;
    const auto v = common::fieldNumber(*field);
    if (!v || !common::fitsSingle(*v)) {
      out.error = "The reference level after the levels, line " + std::to_string(line) +
                  ", is not a single-precision number.";
      return out;
    }
    chart.reference = static_cast<float>(*v);
    break;
  }
  // A step count lowered by hand would leave levels here: they would be drawn
  // at the wrong frequencies, or lost.
  if (reader.moreText()) {
    out.error = "The file holds more values after its reference level (line " +
                std::to_string(line) + "): its step count, " + std::to_string(chart.points) +
                ", does not match its levels. Nothing was opened.";
    return out;
  }
  out.chart = std::move(chart);
  return out;
}

ChartFileRead readChartFile(const std::filesystem::path& path) {
  auto file = common::readFile(path, common::kChartFileLimit);
  if (!file.content) {
    ChartFileRead out;
    out.error = file.error;
    return out;
  }
  return parseChartFile(*file.content);
}

bool writeChartFile(const std::filesystem::path& path, const ChartFile& chart, std::string* error) {
  return common::writeFileAtomic(path, formatChartFile(chart), error);
}

double ChartFile::frequencyMHz(size_t k) const {
  if (points <= 0) return start;
  return chart::pointFrequency(start, stop, points, static_cast<double>(k));
}

std::string formatCsv(const ChartFile& chart, const LevelLimits& limits, bool simulated) {
  std::string out =
      simulated ? "# Simulated instrument: these levels were not measured on hardware.\r\n" : "";
  out += "freq_mhz,level_dbm,flag\r\n";
  for (size_t k = 0; k <= static_cast<size_t>(chart.points) && k < chart.levels.size(); ++k) {
    out += common::shortestText(chart.frequencyMHz(k), 10);
    out += ',';
    out += common::shortestText(chart.levels[k], 7);
    out += ',';
    out += flagWords(chart.levels[k], limits);
    out += "\r\n";
  }
  return out;
}

}  // namespace kolm::powermeter
