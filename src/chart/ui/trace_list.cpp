#include "chart/ui/trace_list.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

#include "chart/ui/analysis_panel.h"
#include "common/files.h"
#include "common/ui/recent_files.h"

namespace kolm::chart::ui {

namespace {
// Palette colours a new trace takes in turn, away from the live and memory ones.
constexpr int kColours[] = {12, 10, 14, 9, 11, 5, 6, 3};
}  // namespace

TraceList::TraceList(common::Prompter& prompter,
                     std::function<std::optional<StoredTrace>(std::string*)> current,
                     bool reflections, QWidget* parent)
    : QWidget(parent), prompter_(prompter), current_(std::move(current)) {
  setObjectName("traceList");
  setWindowTitle(tr("Stored traces"));
  list_ = new QListWidget(this);
  list_->setObjectName("storedTraceList");
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Three traces seen at the least; more scroll.
  list_->setMinimumHeight(3 * list_->fontMetrics().height() + 2 * list_->frameWidth() + 8);
  auto button = [this](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    return b;
  };
  QPushButton* store = button(tr("Store trace"), "storeTraceButton");
  QPushButton* difference = button(tr("Difference"), "traceDifferenceButton");
  QPushButton* ratio = button(tr("Ratio"), "traceRatioButton");
  QPushButton* remove = button(tr("Remove"), "removeTraceButton");
  QPushButton* mask = button(tr("Limit mask..."), "openMaskButton");
  connect(mask, &QPushButton::clicked, this, &TraceList::openMask);
  connect(store, &QPushButton::clicked, this, &TraceList::storeCurrent);
  connect(difference, &QPushButton::clicked, this,
          [this] { combineChosen(TraceOperation::Difference); });
  connect(ratio, &QPushButton::clicked, this, [this] { combineChosen(TraceOperation::Ratio); });
  connect(remove, &QPushButton::clicked, this, &TraceList::removeChosen);
  connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int row = list_->row(item);
    if (row < 0 || row >= static_cast<int>(traces_.size())) return;
    const bool shown = item->checkState() == Qt::Checked;
    if (traces_[static_cast<size_t>(row)].shown == shown) return;
    traces_[static_cast<size_t>(row)].shown = shown;
    emit changed();
  });
  holdAction_ = new QAction(tr("Min/max hold"), this);
  holdAction_->setObjectName("holdAction");
  holdAction_->setCheckable(true);
  connect(holdAction_, &QAction::toggled, this, &TraceList::setHold);
  // Two buttons a row: the list stands in a narrow dock beside the chart.
  auto* buttons = new QGridLayout;
  int at = 0;
  std::vector<QPushButton*> row{store, remove, difference, ratio};
  if (reflections) {
    QPushButton* complex = button(tr("Complex difference"), "traceComplexDifferenceButton");
    complex->setToolTip(
        tr("How far apart the two loads' reflections lie (the size of their "
           "difference), with its interval"));
    connect(complex, &QPushButton::clicked, this,
            [this] { combineChosen(TraceOperation::ReflectionDistance); });
    row.push_back(complex);
  }
  row.push_back(mask);
  for (QPushButton* b : row) {
    buttons->addWidget(b, at / 2, at % 2);
    ++at;
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
}

void TraceList::add(StoredTrace trace) {
  if (trace.colour == 0) {
    const QColor c = paletteQColor(kColours[nextColour_++ % std::size(kColours)]);
    trace.colour = (static_cast<uint32_t>(c.red()) << 16) | (c.green() << 8) | c.blue();
  }
  traces_.push_back(std::move(trace));
  refill();
  emit changed();
}

void TraceList::replace(std::vector<StoredTrace> traces, std::optional<LimitMask> mask) {
  traces_ = std::move(traces);
  mask_ = std::move(mask);
  refill();
  emit changed();
}

void TraceList::takeDropsFrom(SweepChart* chart, FileReader read) {
  readFile_ = std::move(read);
  chart->setAcceptDrops(true);
  connect(chart, &SweepChart::filesDropped, this, &TraceList::addFiles);
}

void TraceList::addFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    std::string why;
    if (auto trace = readFile_(path.toStdString(), &why)) {
      add(std::move(*trace));
      continue;
    }
    prompter_.message(tr("%1 was not added: %2")
                          .arg(QFileInfo(path).fileName(), QString::fromStdString(why))
                          .toStdString(),
                      common::Icon::Warning);
  }
  if (paths.isEmpty()) return;
  if (auto* dock = qobject_cast<QDockWidget*>(parentWidget()))
    dock->show();
  else
    show();
}

void TraceList::refill() {
  // Made once per change, so that a redraw after each pass copies no values.
  drawn_.clear();
  for (const StoredTrace& t : traces_) drawn_.push_back(t.size() ? chartTrace(t) : Trace{});
  const QSignalBlocker hold(list_);
  list_->clear();
  for (const StoredTrace& t : traces_) {
    QPixmap swatch(12, 12);
    swatch.fill(QColor::fromRgb(static_cast<QRgb>(t.colour | 0xff000000u)));
    const QString unit =
        t.unit.empty() ? QString() : QString(" (%1)").arg(QString::fromStdString(t.unit));
    auto* item = new QListWidgetItem(QIcon(swatch), QString::fromStdString(t.name) + unit, list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(t.shown ? Qt::Checked : Qt::Unchecked);
  }
}

std::vector<int> TraceList::chosen() const {
  std::vector<int> rows;
  for (const QListWidgetItem* item : list_->selectedItems()) rows.push_back(list_->row(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TraceList::storeCurrent() {
  std::string why;
  std::optional<StoredTrace> t = current_(&why);
  if (!t) {
    prompter_.message(why, common::Icon::Information);
    return;
  }
  t->name = tr("trace %1").arg(traces_.size() + 1).toStdString();
  add(std::move(*t));
}

void TraceList::removeChosen() {
  std::vector<int> rows = chosen();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) traces_.erase(traces_.begin() + *it);
  if (rows.empty()) return;
  refill();
  emit changed();
}

void TraceList::combineChosen(TraceOperation operation) {
  std::vector<int> rows = chosen();
  if (rows.size() == 1 && rows[0] > 0) rows.insert(rows.begin(), rows[0] - 1);
  if (rows.size() != 2) {
    prompter_.message(
        tr("Choose two stored traces: the first less (or over) the second.").toStdString(),
        common::Icon::Information);
    return;
  }
  const CombinedTrace r = combineTraces(traces_[static_cast<size_t>(rows[0])],
                                        traces_[static_cast<size_t>(rows[1])], operation);
  if (!r.trace) {
    prompter_.message(r.error, common::Icon::Warning);
    return;
  }
  if (!r.note.empty()) prompter_.message(r.note, common::Icon::Information);
  StoredTrace t = *r.trace;
  t.colour = 0;
  add(std::move(t));
}

QDockWidget* dockTraceList(QMainWindow* window, AnalysisPanel* panel, TraceList* list, QMenu* menu,
                           QAction* after, const common::SettingsFolder& settings,
                           const QString& key) {
  auto* dock = new QDockWidget(TraceList::tr("Stored traces"), window);
  dock->setObjectName("traceListDock");
  dock->setWidget(list);
  const bool shown = common::ui::uiSettings(settings).value(key, false).toBool();
  panel->addCompanion(window, dock);
  dock->setVisible(shown);
  panel->refit();
  QAction* toggle = dock->toggleViewAction();
  toggle->setObjectName("storedTracesAction");
  toggle->setText(TraceList::tr("Stored traces"));
  const QList<QAction*> items = menu->actions();
  const qsizetype next = items.indexOf(after) + 1;
  menu->insertAction(next > 0 && next < items.size() ? items[next] : nullptr, toggle);
  // The user's choice is kept; a window closing or on its way out hides its
  // docks, and nothing of that is kept.
  QPointer<QMainWindow> keeper(window);
  QObject::connect(toggle, &QAction::toggled, window, [keeper, &settings, key](bool on) {
    if (keeper && qobject_cast<QMainWindow*>(static_cast<QObject*>(keeper.data())) &&
        keeper->isVisible())
      common::ui::uiSettings(settings).setValue(key, on);
  });
  return dock;
}

Trace chartTrace(const StoredTrace& s) {
  Trace t;
  t.name = QString::fromStdString(s.name);
  t.colour = QColor::fromRgb(static_cast<QRgb>(s.colour | 0xff000000u));
  t.x = std::vector<double>(s.x);
  std::vector<float> y(s.size()), low(s.size()), high(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    y[i] = static_cast<float>(s.value[i]);
    low[i] = static_cast<float>(s.low[i]);
    high[i] = static_cast<float>(s.high[i]);
  }
  t.y = std::move(y);
  if (std::all_of(low.begin(), low.end(), [](float v) { return std::isfinite(v); }) &&
      std::all_of(high.begin(), high.end(), [](float v) { return std::isfinite(v); })) {
    t.bandLow = std::move(low);
    t.bandHigh = std::move(high);
  }
  t.marks = s.marks;
  t.unit = s.unit;
  t.start = s.x.front();
  t.stop = s.x.back();
  return t;
}

std::vector<Trace> TraceList::chartTraces(
    const std::function<void(Trace&, const StoredTrace&)>& dress) const {
  std::vector<Trace> out;
  for (size_t i = 0; i < traces_.size(); ++i) {
    const StoredTrace& s = traces_[i];
    if (!s.shown || s.size() == 0) continue;
    out.push_back(drawn_[i]);
    if (dress) dress(out.back(), s);
  }
  // The held readings in colours of their own: "max hold swr (12 passes)".
  for (const std::string& quantity : heldNow_) {
    const TraceHold& h = holds_.at(quantity);
    const QString passes = tr("%n passes", nullptr, static_cast<int>(h.passes()));
    const std::tuple<const std::optional<StoredTrace>*, QString, QColor> held[] = {
        {&h.highest(), tr("max hold"), QColor(192, 64, 0)},
        {&h.lowest(), tr("min hold"), QColor(0, 96, 192)}};
    for (const auto& [trace, caption, colour] : held) {
      if (!*trace || (*trace)->size() == 0) continue;
      Trace t = chartTrace(**trace);
      t.name = QString("%1 %2 (%3)").arg(caption, QString::fromStdString(quantity), passes);
      t.colour = colour;
      if (dress) dress(t, **trace);
      out.push_back(std::move(t));
    }
  }
  return out;
}

void TraceList::setHold(bool on) {
  holding_ = on;
  holds_.clear();
  heldNow_.clear();
  emit changed();
}

void TraceList::takePass(const std::vector<StoredTrace>& live) {
  if (!holding_) return;
  heldNow_.clear();
  for (const StoredTrace& t : live) {
    holds_[t.quantity].take(t);
    heldNow_.push_back(t.quantity);
  }
}

const TraceHold* TraceList::hold(const std::string& quantity) const {
  const auto it = holds_.find(quantity);
  return it == holds_.end() ? nullptr : &it->second;
}

void TraceList::openMask() {
  const std::string path =
      prompter_.openFileName(tr("Limit mask").toStdString(), "limit mask(*.mask)|*.mask");
  if (!path.empty()) setMask(path);
}

bool TraceList::setMask(const std::string& path) {
  const common::FileRead file = common::readFile(path, common::kTableFileLimit);
  MaskRead read;
  if (file.content) read = parseLimitMask(*file.content, path);
  if (!read.mask) {
    prompter_.message(tr("The limit mask was not opened: %1 The mask in use stays.")
                          .arg(QString::fromStdString(file.content ? read.error : file.error))
                          .toStdString(),
                      common::Icon::Warning);
    return false;
  }
  mask_ = std::move(read.mask);
  emit changed();
  return true;
}

std::vector<Trace> TraceList::maskTraces(
    const std::vector<StoredTrace>& live,
    const std::function<void(Trace&, const StoredTrace&)>& dress) const {
  std::vector<Trace> out;
  if (!mask_) return out;
  for (const LimitSegment& s : mask_->segments) {
    const auto t = std::find_if(live.begin(), live.end(),
                                [&](const StoredTrace& l) { return l.quantity == s.quantity; });
    if (t == live.end()) continue;
    const common::Verdict v = judgeTrace(*t, LimitMask{{s}}).verdict;
    Trace line;
    line.x = std::vector<double>{s.fromMHz, s.toMHz};
    line.y = std::vector<float>{static_cast<float>(s.limitFrom), static_cast<float>(s.limitTo)};
    line.start = s.fromMHz;
    line.stop = s.toMHz;
    line.colour = v == common::Verdict::Pass   ? QColor(0, 170, 0)
                  : v == common::Verdict::Fail ? QColor(220, 0, 0)
                                               : QColor(230, 160, 0);
    if (dress) dress(line, *t);
    out.push_back(std::move(line));
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> TraceList::verdictRows(
    const std::vector<StoredTrace>& live) const {
  std::vector<std::pair<std::string, std::string>> rows;
  if (!mask_) return rows;
  for (const StoredTrace& t : live) {
    const std::vector<std::string> limited = mask_->quantities();
    if (std::find(limited.begin(), limited.end(), t.quantity) == limited.end()) continue;
    const MaskVerdict v = judgeTrace(t, *mask_);
    const int judged = v.passed + v.failed + v.indeterminate;
    QString value = QString::fromUtf8(common::verdictName(v.verdict).data());
    if (v.verdict == common::Verdict::Fail)
      value = tr("fail: %1 of %2 points").arg(v.failed).arg(judged);
    else if (v.verdict == common::Verdict::Indeterminate && v.indeterminate > 0)
      value = tr("indeterminate: %1 of %2 points").arg(v.indeterminate).arg(judged);
    rows.emplace_back(tr("Limits (%1):").arg(QString::fromStdString(t.quantity)).toStdString(),
                      value.toStdString());
  }
  return rows;
}

}  // namespace kolm::chart::ui
