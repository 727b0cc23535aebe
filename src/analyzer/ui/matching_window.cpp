#include "analyzer/ui/matching_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analyzer/matching.h"
#include "common/text.h"
#include "common/typed_number.h"
#include "common/ui/number_field.h"

namespace kolm::analyzer::ui {

namespace {

// "key=value key=value" as pairs, in their order.
std::vector<std::pair<QString, QString>> pairsOf(const QString& line) {
  std::vector<std::pair<QString, QString>> pairs;
  for (const QString& word : line.split(' ', Qt::SkipEmptyParts)) {
    const qsizetype eq = word.indexOf('=');
    if (eq > 0) pairs.emplace_back(word.left(eq), word.mid(eq + 1));
  }
  return pairs;
}

}  // namespace

MatchingWindow::MatchingWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("matchingWindow");
  setWindowTitle(tr("Matching network"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  frequency_ = new QLineEdit(this);
  frequency_->setObjectName("matchFrequency");
  frequency_->setPlaceholderText(tr("the active marker's"));
  target_ = new QLineEdit("50", this);
  target_->setObjectName("matchTarget");
  series_ = new QComboBox(this);
  series_->setObjectName("matchSeries");
  series_->addItems({"E12", "E24"});
  point_ = new QLabel(this);
  point_->setObjectName("matchPoint");
  point_->setWordWrap(true);
  point_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(tr("At (MHz)"), frequency_);
  form->addRow(tr("Match to (ohm)"), target_);
  form->addRow(tr("Parts"), series_);
  layout->addLayout(form);
  layout->addWidget(point_);
  table_ = new QTableWidget(this);
  table_->setObjectName("matchSolutions");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  layout->addWidget(table_, 1);
  auto* note = new QLabel(
      tr("Elements from the load towards the source. swr_rounded: the SWR the rounded parts give "
         "at the point; swr2_low/high: where the SWR they give along the measured trace rises "
         "through 2."),
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  common::ui::makeNumberField(target_);
  for (QLineEdit* box : {frequency_, target_})
    connect(box, &QLineEdit::textChanged, this, [this] { recompute(); });
  connect(series_, &QComboBox::currentIndexChanged, this, [this] { recompute(); });
  setMinimumSize(520, 320);
  resize(900, 420);
}

void MatchingWindow::showTrace(std::shared_ptr<const TraceValues> trace,
                               std::optional<double> markerMHz) {
  trace_ = std::move(trace);
  if (markerMHz)
    frequency_->setPlaceholderText(
        tr("the active marker's: %1")
            .arg(QString::fromStdString(common::formatPattern(*markerMHz, "0.000###"))));
  markerMHz_ = markerMHz;
  recompute();
}

void MatchingWindow::recompute() {
  table_->clear();
  table_->setRowCount(0);
  table_->setColumnCount(0);
  if (!trace_) return;
  // The typed frequency, or the marker's when the box is empty.
  std::optional<double> mhz = markerMHz_;
  if (!frequency_->text().trimmed().isEmpty()) {
    const common::TypedNumber typed = common::typedNumber(frequency_->text().toStdString());
    if (!typed.value) {
      point_->setText(QString::fromStdString(typed.problem));
      return;
    }
    mhz = *typed.value;
  }
  const std::optional<double> target = common::ui::numberIn(target_);
  if (!mhz || !target || !(*target > 0)) {
    point_->setText(!mhz ? tr("Place a marker on the chart, or type a frequency.")
                         : tr("The resistance to match to is a number of ohms above 0."));
    return;
  }
  const MatchReport report = matchReport(
      *trace_, *mhz, *target,
      series_->currentIndex() == 1 ? powermeter::ESeries::E24 : powermeter::ESeries::E12);
  if (!report.error.empty()) {
    point_->setText(QString::fromStdString(report.error));
    return;
  }
  const QStringList lines = QString::fromStdString(report.text).split('\n', Qt::SkipEmptyParts);
  point_->setText(lines.value(0));
  // One row per network, one column per key, in the order the keys first come.
  QStringList keys;
  std::vector<std::vector<std::pair<QString, QString>>> rows;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    rows.push_back(pairsOf(lines[i]));
    for (const auto& [key, value] : rows.back())
      if (!keys.contains(key)) keys << key;
  }
  table_->setColumnCount(static_cast<int>(keys.size()));
  table_->setHorizontalHeaderLabels(keys);
  table_->setRowCount(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r)
    for (const auto& [key, value] : rows[r])
      table_->setItem(static_cast<int>(r), static_cast<int>(keys.indexOf(key)),
                      new QTableWidgetItem(value));
  table_->resizeColumnsToContents();
}

}  // namespace kolm::analyzer::ui
