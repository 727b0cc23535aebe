// The power meter's stored traces: the whole trace kept at a click, and .pwm
// charts and CSV exports dropped on the chart, listed beside it and drawn with
// their bands.
#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "chart/ui/pass_log.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"
#include "powermeter/level_trace.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::setUpStoredTraces() {
  storedTraces_ = new chart::ui::TraceList(
      context_.prompter, [this](std::string* why) { return traceToStore(why); }, false, this);
  connect(storedTraces_, &chart::ui::TraceList::changed, this, [this] { redraw(); });
  auto* compare = findChild<QMenu*>("compareMenu");
  chart::ui::dockTraceList(this, analysis_, storedTraces_, compare,
                           findChild<QAction*>("fileToMemoryAction"), context_.settings,
                           "PowerMeter/traceList");
  compare->addAction(storedTraces_->holdAction());
  passLog_ = new chart::ui::PassLog(compare, context_.prompter, this, chart_);
  storedTraces_->takeDropsFrom(chart_, [this](const std::string& path, std::string* why) {
    return traceFromFile(path, why);
  });
}

std::optional<chart::StoredTrace> PowerMeterWindow::traceToStore(std::string* why) const {
  if (!m_.whole()) {
    *why = tr("There is no whole trace to store: sweep first, or open a chart.").toStdString();
    return std::nullopt;
  }
  const size_t n = static_cast<size_t>(m_.points) + 1;
  return levelTrace("", std::span(m_.levels.data(), n), m_.traceStartMHz, m_.traceStopMHz,
                    m_.limits);
}

std::vector<chart::StoredTrace> PowerMeterWindow::liveStoredTraces() const {
  std::string why;
  auto t = traceToStore(&why);
  if (!t) return {};
  return {std::move(*t)};
}

std::optional<chart::StoredTrace> PowerMeterWindow::traceFromFile(const std::string& path,
                                                                  std::string* why) const {
  const QFileInfo file(QString::fromStdString(path));
  if (file.suffix().toLower() == "csv") {
    const common::FileRead read = common::readFile(path, common::kChartFileLimit);
    if (!read.content) {
      *why = read.error;
      return std::nullopt;
    }
    LevelTraceRead t = levelTraceFromCsv(file.fileName().toStdString(), *read.content);
    *why = t.error;
    return std::move(t.trace);
  }
  if (file.suffix().toLower() != "pwm") {
    *why = tr("the power meter stores .pwm charts and its CSV exports.").toStdString();
    return std::nullopt;
  }
  const ChartFileRead read = readChartFile(path);
  if (!read.chart) {
    *why = read.error;
    return std::nullopt;
  }
  const ChartFile& c = *read.chart;
  return levelTrace(file.fileName().toStdString(), c.levels, c.start, c.stop,
                    levelLimits(calibration_));
}

}  // namespace kolm::powermeter::ui
