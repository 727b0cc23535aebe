// The power meter's stored traces: the whole trace kept at a click, and .pwm
// charts dropped on the chart, listed beside it and drawn with their bands.
#include <QFileInfo>

#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "powermeter/level_trace.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::setUpStoredTraces() {
  storedTraces_ = new chart::ui::TraceList(
      context_.prompter, [this](std::string* why) { return traceToStore(why); }, this);
  connect(storedTraces_, &chart::ui::TraceList::changed, this, [this] { redraw(); });
  chart_->setAcceptDrops(true);
  connect(chart_, &chart::ui::SweepChart::filesDropped, this,
          [this](const QStringList& paths) { addTraceFiles(paths); });
}

std::optional<chart::StoredTrace> PowerMeterWindow::traceToStore(std::string* why) const {
  if (!m_.whole()) {
    *why = tr("There is no whole trace to store: sweep first, or open a chart.").toStdString();
    return std::nullopt;
  }
  const size_t n = static_cast<size_t>(m_.Points) + 1;
  return levelTrace("", std::span(m_.levels.data(), n), m_.TraceStart, m_.TraceStop, m_.limits);
}

std::vector<chart::StoredTrace> PowerMeterWindow::liveStoredTraces() const {
  std::string why;
  auto t = traceToStore(&why);
  if (!t) return {};
  return {std::move(*t)};
}

void PowerMeterWindow::addTraceFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    const QString name = QFileInfo(path).fileName();
    if (QFileInfo(path).suffix().toLower() != "pwm") {
      context_.prompter.message(
          tr("%1 was not added: the power meter stores .pwm charts.").arg(name).toStdString(),
          common::Icon::Warning);
      continue;
    }
    const ChartFileRead read = readChartFile(path.toStdString());
    if (!read.chart) {
      context_.prompter.message(
          tr("%1 was not added: %2").arg(name, QString::fromStdString(read.error)).toStdString(),
          common::Icon::Warning);
      continue;
    }
    const ChartFile& c = *read.chart;
    storedTraces_->add(
        levelTrace(name.toStdString(), c.levels, c.start, c.stop, levelLimits(calibration_)));
  }
  if (!paths.isEmpty()) storedTraces_->show();
}

}  // namespace kolm::powermeter::ui
