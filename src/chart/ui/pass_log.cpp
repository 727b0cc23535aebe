#include "chart/ui/pass_log.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QVBoxLayout>
#include <cmath>

#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "common/text.h"
#include "common/ui/qt_text.h"

namespace kolm::chart::ui {

namespace {
using common::ui::text;
}  // namespace

StripChart::StripChart(QWidget* parent)
    : QWidget(parent, Qt::Tool), chart_(new SweepChart(this)), marker_(new QComboBox(this)) {
  setObjectName("stripChart");
  setWindowTitle(tr("Strip chart"));
  chart_->setObjectName("stripChartChart");
  marker_->setObjectName("stripMarkerBox");
  marker_->addItem(tr("Active marker"));
  for (int n = 1; n <= 4; ++n) marker_->addItem(tr("Marker %1").arg(n));
  connect(marker_, &QComboBox::currentIndexChanged, this, &StripChart::clear);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(marker_, 0, Qt::AlignLeft);
  layout->addWidget(chart_);
  setMinimumSize(360, 200);
  resize(520, 280);
}

void StripChart::add(double seconds, const TracePoint& reading, const StoredTrace& of,
                     double atMHz) {
  // Another quantity, or the marker moved: a strip of its own.
  if (of.quantity != quantity_ || atMHz != atMHz_) strip_.clear();
  quantity_ = of.quantity;
  atMHz_ = atMHz;
  unit_ = of.unit;
  strip_.add(seconds, reading);
  const StoredTrace t = strip_.trace(quantity_, unit_);
  const StripView view = stripView(t);
  chart_->setScale(view.scale);
  chart_->setGrid(view.grid);
  Trace line = chartTrace(t);
  line.name = tr("%1 at %2 MHz")
                  .arg(QString::fromStdString(quantity_),
                       QString::fromStdString(common::shortestText(atMHz, 9)));
  line.colour = QColor(0, 0, 160);
  chart_->setTraces({std::move(line)});
}

void StripChart::clear() {
  strip_.clear();
  chart_->setTraces({});
}

std::optional<int> StripChart::chosenMarker() const {
  if (marker_->currentIndex() <= 0) return std::nullopt;
  return marker_->currentIndex();
}

PassLog::PassLog(QMenu* menu, common::Prompter& prompter, QWidget* window, const SweepChart* chart)
    : QObject(window), prompter_(prompter), chart_(chart), strip_(new StripChart(window)) {
  menu->addSeparator();
  logAction_ = menu->addAction(tr("Log passes to a file..."));
  logAction_->setObjectName("logPassesAction");
  logAction_->setCheckable(true);
  connect(logAction_, &QAction::triggered, this, [this](bool on) {
    if (!on) {
      stop();
      return;
    }
    const std::string path =
        prompter_.saveFileName(text(tr("Log passes")), "CSV or NDJSON log (*.csv *.ndjson)|*.csv");
    if (path.empty() || !start(path)) logAction_->setChecked(false);
  });
  markerOnly_ = menu->addAction(tr("Log the active marker only"));
  markerOnly_->setObjectName("logMarkerAction");
  markerOnly_->setCheckable(true);
  QAction* strip = menu->addAction(tr("Strip chart..."));
  strip->setObjectName("stripChartAction");
  connect(strip, &QAction::triggered, this, [this] {
    began_ = std::chrono::steady_clock::now();
    strip_->clear();
    strip_->show();
    strip_->raise();
  });
}

bool PassLog::start(const std::string& path) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (suffix != "csv" && suffix != "ndjson") {
    prompter_.message(text(tr("A log is a .csv or a .ndjson file; nothing was logged.")),
                      common::Icon::Warning);
    return false;
  }
  std::string why;
  auto log = common::AppendLog::open(path, &why);
  if (!log) {
    prompter_.message(text(tr("The log was not started: %1").arg(QString::fromStdString(why))),
                      common::Icon::Warning);
    return false;
  }
  log_.emplace(std::move(*log));
  path_ = path;
  format_ = suffix == "csv" ? LogFormat::Csv : LogFormat::Ndjson;
  passes_ = 0;
  logAction_->setChecked(true);
  return true;
}

bool PassLog::markerOnly() const { return markerOnly_->isChecked(); }

void PassLog::setMarkerOnly(bool on) { markerOnly_->setChecked(on); }

void PassLog::stop() {
  log_.reset();
  logAction_->setChecked(false);
}

void PassLog::takePass(const StoredTrace& pass) {
  auto markerAt = [this](std::optional<int> number) -> std::optional<double> {
    if (!number) number = chart_->markers().active();
    const auto* m = number ? chart_->markers().find(*number) : nullptr;
    return m ? std::optional(m->x) : std::nullopt;
  };
  const std::optional<double> markerMHz = markerAt(std::nullopt);
  if (const auto stripMHz = markerAt(strip_->chosenMarker()); strip_->isVisible() && stripMHz) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
    TracePoint reading{NAN, -INFINITY, INFINITY, Mark::Invalid};
    if (const auto at = pointAt(pass, *stripMHz)) reading = *at;
    strip_->add(seconds, reading, pass, *stripMHz);
  }
  if (!log_ || pass.size() == 0) return;
  // Only the marker's reading: a pass without a marker is not logged.
  const bool markerOnly = markerOnly_->isChecked();
  if (markerOnly && !markerMHz) return;
  std::string rows;
  if (passes_ == 0 && log_->fresh()) rows = logHeader(pass, format_);
  appendLogRows(rows, pass, passes_ + 1, std::chrono::system_clock::now(), format_,
                markerOnly ? markerMHz : std::nullopt);
  std::string why;
  if (!log_->append(rows, &why)) {
    stop();
    prompter_.message(text(tr("The log stopped: %1. It holds every pass before this one whole.")
                               .arg(QString::fromStdString(why))),
                      common::Icon::Warning);
    return;
  }
  ++passes_;
}

}  // namespace kolm::chart::ui
