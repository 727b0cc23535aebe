// The analyzer's stored traces: the selected quantity kept at a click, and
// files dropped on the chart (their selected quantity: a .vna chart computed
// with the bridge figures and calibration in use, a CSV export with its
// intervals, an .s1p file's reflections), each drawn on its quantity's scale.
#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "analyzer/quantity_trace.h"
#include "analyzer/trace_import.h"
#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/pass_log.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"
#include "sim/touchstone.h"

namespace kolm::analyzer::ui {

void AnalyzerWindow::setUpStoredTraces() {
  storedTraces_ = new chart::ui::TraceList(
      context_.prompter, [this](std::string* why) { return traceToStore(why); }, true, this);
  connect(storedTraces_, &chart::ui::TraceList::changed, this, [this] { redraw(); });
  auto* compare = findChild<QMenu*>("compareMenu");
  chart::ui::dockTraceList(this, analysis_, storedTraces_, compare,
                           findChild<QAction*>("fileToMemoryAction"), context_.settings,
                           "AntennaAnalyzer/traceList");
  compare->addAction(storedTraces_->holdAction());
  passLog_ = new chart::ui::PassLog(compare, context_.prompter, this, chart_);
  storedTraces_->takeDropsFrom(chart_, [this](const std::string& path, std::string* why) {
    return traceFromFile(path, why);
  });
}

std::optional<chart::StoredTrace> AnalyzerWindow::traceToStore(std::string* why) const {
  if (!chart_->note().isEmpty() || !liveValues_ || liveValues_->frequencies.empty()) {
    *why = tr("There is no measurement to store: sweep first, or open a chart.").toStdString();
    return std::nullopt;
  }
  return quantityTrace("", *liveValues_, selection_.selectedQuantity, true);
}

std::optional<chart::StoredTrace> AnalyzerWindow::traceFromFile(const std::string& path,
                                                                std::string* why) const {
  const QFileInfo file(QString::fromStdString(path));
  const QString suffix = file.suffix().toLower();
  const std::string name = file.fileName().toStdString();
  const int q = selection_.selectedQuantity;
  if (suffix == "csv" || suffix == "s1p") {
    const common::FileRead read = common::readFile(
        path, suffix == "csv" ? common::kChartFileLimit : common::kTouchstoneFileLimit);
    if (!read.content) {
      *why = read.error;
      return std::nullopt;
    }
    if (suffix == "csv") {
      TraceImport t = quantityTraceFromCsv(name, *read.content, q);
      *why = t.error;
      return std::move(t.trace);
    }
    const sim::TouchstoneParse table = sim::parseTouchstone(*read.content);
    if (!table.ok()) {
      *why = table.error;
      return std::nullopt;
    }
    return reflectionTrace(name, table.table.frequencyMHz, table.table.gamma, q);
  }
  if (suffix != "vna") {
    *why = tr("the analyzer stores .vna charts, its CSV exports and .s1p files.").toStdString();
    return std::nullopt;
  }
  const VnaReadResult read = readVna(path);
  if (!read.ok()) {
    *why = read.error;
    return std::nullopt;
  }
  const ChartData& c = read.chart;
  Channels channels;
  std::copy(c.returnLossCounts.begin(), c.returnLossCounts.end(),
            channels.returnLossCounts.begin());
  std::copy(c.phaseCounts.begin(), c.phaseCounts.end(), channels.phaseCounts.begin());
  const TraceValues values = exportTrace(c.points, c.start, c.stop, channels, figures_);
  return quantityTrace(name, values, q, true);
}

namespace {
// A trace on the scale of its quantity (a difference or ratio on that of the
// quantity it is made of, the reflections' distance from 0 to 1).
void onQuantityScale(chart::ui::Trace& t, const chart::StoredTrace& s) {
  if (s.quantity == chart::kReflectionDistance) {
    t.vertical = chart::VerticalScale{1, 0, -0.1};
    return;
  }
  const auto q = quantityByName(s.quantity.substr(0, s.quantity.find_first_of("-/")));
  if (!q) return;
  const auto scale = chart::analyzerQuantityScale(*q);
  if (scale) t.vertical = chart::VerticalScale{scale->top, scale->bottom, -scale->step};
}
}  // namespace

void AnalyzerWindow::takeShownPass() {
  std::vector<chart::StoredTrace> shown;
  if (storedTraces_->holding())
    for (int q = 0; q < kQuantities; ++q)
      if (selection_.shownTraces[q]) shown.push_back(quantityTrace("", *liveValues_, q));
  storedTraces_->takePass(shown);
  passLog_->takePass(quantityTrace("", *liveValues_, selection_.selectedQuantity));
}

std::vector<chart::ui::Trace> AnalyzerWindow::storedChartTraces() const {
  if (!storedTraces_) return {};
  std::vector<chart::ui::Trace> out = storedTraces_->chartTraces(onQuantityScale);
  for (chart::ui::Trace& t : storedTraces_->maskTraces(liveStoredTraces(), onQuantityScale))
    out.push_back(std::move(t));
  return out;
}

std::vector<chart::StoredTrace> AnalyzerWindow::liveStoredTraces() const {
  std::vector<chart::StoredTrace> out;
  if (!storedTraces_ || !storedTraces_->mask() || !chart_->note().isEmpty() || !liveValues_ ||
      liveValues_->frequencies.empty())
    return out;
  for (const std::string& name : storedTraces_->mask()->quantities())
    if (const auto q = quantityByName(name)) out.push_back(quantityTrace("", *liveValues_, *q));
  return out;
}

std::vector<std::pair<std::string, std::string>> AnalyzerWindow::storedVerdictRows() const {
  if (!storedTraces_) return {};
  return storedTraces_->verdictRows(liveStoredTraces());
}

}  // namespace kolm::analyzer::ui
