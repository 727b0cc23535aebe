// The analyzer's stored traces: the selected quantity kept at a click, and
// .vna charts dropped on the chart (their selected quantity, computed with the
// bridge figures and calibration in use), each drawn on its quantity's scale.
#include <QFileInfo>

#include "analyzer/quantity_trace.h"
#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/trace_list.h"

namespace kolm::analyzer::ui {

void AnalyzerWindow::setUpStoredTraces() {
  storedTraces_ = new chart::ui::TraceList(
      context_.prompter, [this](std::string* why) { return traceToStore(why); }, this);
  connect(storedTraces_, &chart::ui::TraceList::changed, this, [this] { redraw(); });
  chart_->setAcceptDrops(true);
  connect(chart_, &chart::ui::SweepChart::filesDropped, this,
          [this](const QStringList& paths) { addTraceFiles(paths); });
}

std::optional<chart::StoredTrace> AnalyzerWindow::traceToStore(std::string* why) const {
  if (!chart_->note().isEmpty() || !liveValues_ || liveValues_->frequencies.empty()) {
    *why = tr("There is no measurement to store: sweep first, or open a chart.").toStdString();
    return std::nullopt;
  }
  return quantityTrace("", *liveValues_, selection_.selectedQuantity);
}

void AnalyzerWindow::addTraceFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    const QString name = QFileInfo(path).fileName();
    if (QFileInfo(path).suffix().toLower() != "vna") {
      context_.prompter.message(
          tr("%1 was not added: the analyzer stores .vna charts.").arg(name).toStdString(),
          common::Icon::Warning);
      continue;
    }
    const VnaReadResult read = readVna(path.toStdString());
    if (!read.ok()) {
      context_.prompter.message(
          tr("%1 was not added: %2").arg(name, QString::fromStdString(read.error)).toStdString(),
          common::Icon::Warning);
      continue;
    }
    const ChartData& c = read.chart;
    Channels channels;
    std::copy(c.returnLossCounts.begin(), c.returnLossCounts.end(),
              channels.returnLossCounts.begin());
    std::copy(c.phaseCounts.begin(), c.phaseCounts.end(), channels.phaseCounts.begin());
    const TraceValues values = exportTrace(c.points, c.start, c.stop, channels, figures_);
    storedTraces_->add(quantityTrace(name.toStdString(), values, selection_.selectedQuantity));
  }
  if (!paths.isEmpty()) storedTraces_->show();
}

namespace {
// A trace on the scale of its quantity (a difference or ratio on that of the
// quantity it is made of).
void onQuantityScale(chart::ui::Trace& t, const chart::StoredTrace& s) {
  const auto q = quantityByName(s.quantity.substr(0, s.quantity.find_first_of("-/")));
  if (!q) return;
  const auto scale = chart::analyzerQuantityScale(*q);
  if (scale) t.vertical = chart::VerticalScale{scale->top, scale->bottom, -scale->step};
}
}  // namespace

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
