#include "powermeter/ui/crystal_batch_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/files.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"
#include "common/ui/qt_text.h"
#include "common/ui/screen_fit.h"
#include "hw/ui/ui_context.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {

constexpr const char* kBatchFilter = "crystal batch(*.csv)|*.csv";

using common::ui::q;

// A value with the digits its interval deserves and the interval, or "none".
QString value(const std::optional<BatchValue>& v, int decimals, double scale = 1) {
  if (!v) return CrystalBatchWindow::tr("none");
  if (!v->pm) return q(common::shortestText(v->value * scale, 10));
  const DeservedText t = deservedText(v->value * scale, *v->pm * scale, decimals);
  return q(t.value) + " \u00b1 " + q(t.pm);
}

// A frequency in MHz with the digits its interval deserves, the interval in Hz.
QString frequency(const std::optional<BatchValue>& v) {
  if (!v || !v->pm) return value(v, 6);
  const DeservedText t = deservedText(v->value, *v->pm, 6);
  return q(t.value) + " \u00b1 " + q(halfWidthText(t.pmShown * 1e6, 0)) + " Hz";
}

// The tip of a value: its spread over the passes, when repeated.
QString spread(const std::optional<BatchValue>& v, int passes, double scale = 1) {
  if (!v || !v->sd) return {};
  return CrystalBatchWindow::tr("Spread over %1 passes: %2")
      .arg(passes)
      .arg(q(deservedText(*v->sd * scale, *v->sd * scale, 2).value));
}

// The load resonance's tip: the load it was given at.
QString loadTip(const CrystalRow& row) {
  if (!row.flMHz || !row.loadPf) return {};
  return CrystalBatchWindow::tr("At a load of %1 pF.").arg(q(common::shortestText(*row.loadPf)));
}

constexpr int kColumns = 13;
constexpr int kLoadColumn = 4;
constexpr int kVerdictColumn = 11;

// The verdict's colour: green, red, or amber for what the intervals cannot tell.
QColor verdictColour(const std::string& verdict) {
  if (verdict == "pass") return {0, 120, 0};
  if (verdict == "fail") return {180, 0, 0};
  return {170, 100, 0};
}

// One light background per group, repeated after six.
QColor groupColour(size_t group) {
  static const QColor colours[] = {{200, 235, 200}, {200, 220, 245}, {245, 225, 190},
                                   {230, 205, 240}, {245, 245, 190}, {190, 235, 235}};
  return colours[group % std::size(colours)];
}

}  // namespace

CrystalBatchWindow::CrystalBatchWindow(PowerMeterWindow& meter, common::Prompter& prompter)
    : QWidget(&meter, Qt::Window), meter_(meter), prompter_(prompter) {
  setObjectName("crystalBatchWindow");
  setWindowTitle(tr("Crystal batch"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buildMeasureRow());
  connect(load_, &QLineEdit::editingFinished, this, [this] {
    if (!load_->isModified()) return;
    load_->setModified(false);
    if (!meter_.setCrystalLoad(load_->text().toStdString())) showLoad();
  });
  connect(measure_, &QPushButton::clicked, this, [this] { measure(); });
  connect(label_, &QLineEdit::returnPressed, this, [this] { measure(); });

  table_ = new QTableWidget(0, kColumns);
  table_->setObjectName("batchTable");
  table_->setHorizontalHeaderLabels({tr("No."), tr("Label"), tr("Fs (MHz)"), tr("Fp (MHz)"),
                                     tr("Fl (MHz)"), tr("R (Ω)"), tr("L (mH)"), tr("Cs (fF)"),
                                     tr("C0 (pF)"), tr("Q"), tr("Group"), tr("Verdict"),
                                     tr("Warnings")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_, 3);

  layout->addWidget(buildMatching());

  matchWarning_ = new QLabel;
  matchWarning_->setObjectName("matchWarning");
  matchWarning_->setWordWrap(true);
  matchWarning_->setStyleSheet("color: #b00000;");
  matchWarning_->hide();
  layout->addWidget(matchWarning_);

  layout->addWidget(buildSorting());

  groupList_ = new QListWidget;
  groupList_->setObjectName("matchGroups");
  layout->addWidget(groupList_, 1);

  auto* fileRow = new QHBoxLayout;
  auto button = [&](const char* name, const QString& text, auto handler) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    fileRow->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  button("batchOpen", tr("Open..."), [this] { open(); });
  button("batchSave", tr("Save..."), [this] { save(); });
  button("batchRemove", tr("Remove crystal"), [this] { removeSelected(); });
  status_ = new QLabel;
  status_->setObjectName("batchStatus");
  status_->setWordWrap(true);
  fileRow->addWidget(status_, 1);
  layout->addLayout(fileRow);

  // Never narrower than the matching row, whatever the language of its labels.
  setMinimumSize(QSize(560, 360).expandedTo(minimumSizeHint()));
  common::ui::openAtSize(this, QSize(980, 560));
  showLoad();
  updateButtons();
}

QHBoxLayout* CrystalBatchWindow::buildMeasureRow() {
  auto* measureRow = new QHBoxLayout;
  measureRow->addWidget(new QLabel(tr("Label of the next crystal:")));
  label_ = new QLineEdit;
  label_->setObjectName("batchLabel");
  label_->setMaxLength(40);
  label_->setToolTip(
      tr("Any name for the crystal in the fixture (no commas); empty: its number names it."));
  measureRow->addWidget(label_, 1);
  measure_ = new QPushButton(tr("Measure crystal"));
  measure_->setObjectName("batchMeasure");
  measure_->setToolTip(
      tr("Sweeps with the power meter's span and points (Repeat times), fitted as Quarzo "
         "does, added as the next row."));
  measure_->setDefault(true);
  measureRow->addWidget(measure_);
  measureRow->addWidget(new QLabel(tr("Repeat")));
  repeat_ = new QSpinBox;
  repeat_->setObjectName("batchRepeat");
  repeat_->setRange(1, 100);
  repeat_->setValue(1);
  repeat_->setToolTip(
      tr("Passes per crystal: each is fitted, the values averaged and their spread kept."));
  measureRow->addWidget(repeat_);
  measureRow->addWidget(new QLabel(tr("Fl at")));
  load_ = new QLineEdit;
  load_->setObjectName("batchLoadPf");
  load_->setMaximumWidth(70);
  load_->setPlaceholderText(tr("none"));
  load_->setToolTip(
      tr("The load capacitance, pF, each crystal's load resonance Fl is given at; empty: "
         "none."));
  measureRow->addWidget(load_);
  measureRow->addWidget(new QLabel(tr("pF")));
  return measureRow;
}

QGroupBox* CrystalBatchWindow::buildMatching() {
  auto* matching = new QGroupBox(tr("Matching for a ladder filter"));
  auto* matchRow = new QHBoxLayout(matching);
  matchRow->addWidget(new QLabel(tr("Crystals per group:")));
  size_ = new QSpinBox;
  size_->setObjectName("matchSize");
  size_->setRange(2, 12);
  size_->setValue(4);
  matchRow->addWidget(size_);
  matchRow->addWidget(new QLabel(tr("Fs within:")));
  toleranceHz_ = new QDoubleSpinBox;
  toleranceHz_->setObjectName("matchToleranceHz");
  toleranceHz_->setRange(0, 1e6);
  toleranceHz_->setDecimals(0);
  toleranceHz_->setValue(50);
  toleranceHz_->setSuffix(" Hz");
  matchRow->addWidget(toleranceHz_);
  useR_ = new QCheckBox(tr("R within:"));
  useR_->setObjectName("matchUseR");
  useR_->setChecked(true);
  matchRow->addWidget(useR_);
  rTolerancePct_ = new QDoubleSpinBox;
  rTolerancePct_->setObjectName("matchRTolerancePct");
  rTolerancePct_->setRange(0, 1000);
  rTolerancePct_->setDecimals(1);
  rTolerancePct_->setValue(10);
  rTolerancePct_->setSuffix(" %");
  matchRow->addWidget(rTolerancePct_);
  connect(useR_, &QCheckBox::toggled, rTolerancePct_, &QWidget::setEnabled);
  auto* matchButton = new QPushButton(tr("Match"));
  matchButton->setObjectName("batchMatch");
  matchRow->addWidget(matchButton);
  matchRow->addStretch();
  connect(matchButton, &QPushButton::clicked, this, [this] { match(); });
  return matching;
}

QGroupBox* CrystalBatchWindow::buildSorting() {
  auto* sorting = new QGroupBox(tr("Sorting against limits"));
  sorting->setObjectName("sortingGroup");
  auto* sortRow = new QHBoxLayout(sorting);
  auto limitBox = [&](const char* name, const QString& caption, const QString& tip) {
    sortRow->addWidget(new QLabel(caption));
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setToolTip(tip);
    e->setMaximumWidth(110);
    sortRow->addWidget(e);
    connect(e, &QLineEdit::returnPressed, this, [this] { sort(); });
    return e;
  };
  fsMin_ = limitBox("limitFsMin", tr("Fs from"), tr("The lowest series resonance, MHz."));
  fsMax_ = limitBox("limitFsMax", tr("to"), tr("The highest series resonance, MHz."));
  rMax_ = limitBox("limitRMax", tr("R at most"), tr("The highest motional resistance, ohm."));
  qMin_ = limitBox("limitQMin", tr("Q at least"), tr("The lowest unloaded Q."));
  auto* sortButton = new QPushButton(tr("Sort"));
  sortButton->setObjectName("batchSort");
  sortButton->setAutoDefault(false);
  sortButton->setToolTip(
      tr("Each crystal passes when its whole interval meets every limit, fails when an interval "
         "lies wholly beyond one, and is indeterminate when an interval straddles a limit. Empty "
         "boxes: no limit; all empty clears the verdicts."));
  sortRow->addWidget(sortButton);
  sortRow->addStretch();
  connect(sortButton, &QPushButton::clicked, this, [this] { sort(); });
  return sorting;
}

void CrystalBatchWindow::measure() {
  if (measuring_ || meter_.sweeping()) return;
  const std::string label = label_->text().trimmed().toStdString();
  const std::string problem = labelProblem(label);
  if (!problem.empty()) {
    prompter_.message(problem, common::Icon::Warning);
    return;
  }
  if (!meter_.readFixture()) return;
  measuring_ = true;
  measuringLabel_ = label;
  passes_.clear();
  updateButtons();
  if (!startPass()) {
    measuring_ = false;
    setStatus(tr("The power meter is busy: nothing was measured."));
    updateButtons();
  }
}

bool CrystalBatchWindow::startPass() {
  setStatus(repeat_->value() > 1
                ? tr("Measuring, pass %1 of %2...").arg(passes_.size() + 1).arg(repeat_->value())
                : tr("Measuring..."));
  return meter_.startSingleSweep([this](bool completed) {
    if (!completed) {
      measuring_ = false;
      setStatus(tr("The sweep did not run to its end: nothing was added."));
      updateButtons();
      return;
    }
    const CrystalSweep sweep{meter_.trace(), meter_.points(), meter_.traceStart(),
                             meter_.traceStop()};
    passes_.push_back(fitCrystal(meter_.crystalInput(sweep)));
    if (passes_.back().ok() && static_cast<int>(passes_.size()) < repeat_->value()) {
      // The next pass once this one's window events are done.
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (!startPass()) {
              measuring_ = false;
              setStatus(tr("The power meter is busy: nothing was added."));
              updateButtons();
            }
          },
          Qt::QueuedConnection);
      return;
    }
    measuring_ = false;
    measured();
    updateButtons();
  });
}

void CrystalBatchWindow::measured() {
  const CrystalParameters& last = passes_.back();
  if (!last.ok()) {
    setStatus(tr("Not added: %1").arg(q(last.error)));
    prompter_.message(KOLM_TR("kolm", "errore") + "\n" + last.error, common::Icon::Warning);
    return;
  }
  const CrystalSweep sweep{meter_.trace(), meter_.points(), meter_.traceStart(),
                           meter_.traceStop()};
  const CrystalParameters p = combineRepeats(passes_);
  int number = 1;
  for (const CrystalRow& row : rows_) number = std::max(number, row.number + 1);
  rows_.push_back(crystalRow(number, measuringLabel_, p, meter_.crystalWarnings(p, sweep)));
  judge(rows_.back());
  saved_ = false;
  groups_.clear();
  showRows();
  showGroups();
  table_->scrollToBottom();
  setStatus(tr("Crystal %1 added.").arg(number));
  label_->clear();
  label_->setFocus();
}

void CrystalBatchWindow::match() {
  groups_ = matchCrystals(
      rows_, size_->value(), toleranceHz_->value(),
      useR_->isChecked() ? std::optional<double>(rTolerancePct_->value()) : std::nullopt);
  setGroups(rows_, groups_);
  saved_ = false;
  int below = 0;
  const bool coarse = !toleranceWarning(rows_, toleranceHz_->value(), &below).empty();
  matchWarning_->setText(
      tr("The tolerance lies below what the measurement resolves (twice the Fs interval or the "
         "sweep step) for %n crystal(s): groups within it cannot be told apart.",
         nullptr, below));
  matchWarning_->setVisible(coarse);
  showRows();
  showGroups();
  setStatus(groups_.empty()
                ? tr("No group of %1 crystals within these tolerances.").arg(size_->value())
                : tr("%n group(s) found.", nullptr, static_cast<int>(groups_.size())));
}

bool CrystalBatchWindow::sort() {
  QStringList parts;
  const std::pair<QLineEdit*, const char*> boxes[] = {
      {fsMin_, "fs_min"}, {fsMax_, "fs_max"}, {rMax_, "r_max"}, {qMin_, "q_min"}};
  for (const auto& [box, key] : boxes) {
    if (box->text().trimmed().isEmpty()) continue;
    const common::TypedNumber n = common::typedNumber(box->text().toStdString());
    if (!n.value) {
      prompter_.message(n.problem, common::Icon::Warning);
      box->setFocus();
      return false;
    }
    parts << QString::fromLatin1(key) + '=' + q(n.text);
  }
  std::optional<CrystalLimits> limits;
  if (!parts.isEmpty()) {
    std::string error;
    limits = parseCrystalLimits(parts.join(',').toStdString(), &error);
    if (!limits) {
      prompter_.message(error, common::Icon::Warning);
      return false;
    }
  }
  limits_ = limits;
  judgeAll();
  showRows();
  if (!limits_) {
    setStatus(tr("No limits: the verdicts are cleared."));
    return true;
  }
  int counts[3] = {0, 0, 0};
  for (const CrystalRow& row : rows_)
    ++counts[row.verdict == "pass" ? 0 : row.verdict == "fail" ? 1 : 2];
  setStatus(tr("Sorted: %1 pass, %2 fail, %3 indeterminate.")
                .arg(counts[0])
                .arg(counts[1])
                .arg(counts[2]));
  return true;
}

void CrystalBatchWindow::judge(CrystalRow& row) const {
  row.verdict = limits_ ? std::string(verdictName(judgeCrystal(row, *limits_).verdict)) : "";
}

bool CrystalBatchWindow::judgeAll() {
  bool changed = false;
  for (CrystalRow& row : rows_) {
    const std::string before = row.verdict;
    judge(row);
    changed = changed || row.verdict != before;
  }
  // The verdicts are kept in the file: new ones are not saved yet.
  if (changed) saved_ = false;
  return changed;
}

bool CrystalBatchWindow::save() {
  const std::string name =
      prompter_.saveFileName(tr("Save crystal batch").toStdString(), kBatchFilter);
  if (name.empty()) return false;
  std::string error;
  if (!common::writeFileAtomic(name, formatBatchCsv(rows_), &error)) {
    prompter_.message(error, common::Icon::Warning);
    return false;
  }
  saved_ = true;
  setStatus(tr("Saved to %1.").arg(q(name)));
  return true;
}

void CrystalBatchWindow::open() {
  if (!saved_ && !rows_.empty() &&
      !prompter_.confirm(
          tr("The crystals measured here are not saved. Open another batch anyway?").toStdString()))
    return;
  const std::string name =
      prompter_.openFileName(tr("Open crystal batch").toStdString(), kBatchFilter);
  if (name.empty()) return;
  const BatchRead read = readBatchCsv(name);
  if (!read.ok()) {
    prompter_.message(read.error, common::Icon::Warning);
    return;
  }
  rows_ = read.rows;
  groups_.clear();
  saved_ = true;
  // Against the limits typed here, which may differ from the file's.
  const bool rejudged = limits_ && judgeAll();
  showRows();
  showGroups();
  setStatus(rejudged ? tr("%1 crystals read from %2, sorted again against the limits here (not "
                          "saved yet).")
                           .arg(rows_.size())
                           .arg(q(name))
                     : tr("%1 crystals read from %2.").arg(rows_.size()).arg(q(name)));
}

void CrystalBatchWindow::removeSelected() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_.erase(rows_.begin() + row);
  saved_ = false;
  groups_.clear();
  showRows();
  showGroups();
}

void CrystalBatchWindow::showRows() {
  // Why a crystal did not pass, on hover over its verdict.
  auto verdictReasons = [this](const CrystalRow& r) {
    if (!limits_ || r.verdict.empty()) return QString();
    QStringList reasons;
    for (const std::string& why : judgeCrystal(r, *limits_).reasons) reasons << q(why);
    return reasons.join("\n");
  };
  table_->setRowCount(static_cast<int>(rows_.size()));
  for (size_t i = 0; i < rows_.size(); ++i) {
    const CrystalRow& r = rows_[i];
    std::string warnings;
    for (const std::string& w : r.warnings) warnings += (warnings.empty() ? "" : "\n") + w;
    // Short words in the cell, the whole text on hover.
    QStringList words;
    if (r.method == "edges") words << tr("not fitted");
    if (static_cast<size_t>(words.size()) < r.warnings.size()) words << tr("see note");
    const QString cells[] = {QString::number(r.number),
                             q(r.label),
                             frequency(r.fsMHz),
                             frequency(r.fpMHz),
                             frequency(r.flMHz),
                             value(r.rOhm, 1),
                             value(r.lMilliHenry, 3),
                             value(r.csFemtoFarad, 2),
                             value(r.c0PicoFarad, 2),
                             value(r.q, 0),
                             r.group ? QString::number(*r.group) : QString(),
                             q(r.verdict),
                             words.join(", ")};
    const QString tips[] = {{},
                            {},
                            spread(r.fsMHz, r.repeats),
                            spread(r.fpMHz, r.repeats),
                            (loadTip(r) + "\n" + spread(r.flMHz, r.repeats)).trimmed(),
                            spread(r.rOhm, r.repeats),
                            spread(r.lMilliHenry, r.repeats),
                            spread(r.csFemtoFarad, r.repeats),
                            spread(r.c0PicoFarad, r.repeats),
                            spread(r.q, r.repeats),
                            {},
                            verdictReasons(r),
                            q(warnings)};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c != 1 && c < kVerdictColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c == kVerdictColumn && !r.verdict.empty()) item->setForeground(verdictColour(r.verdict));
      if (!tips[c].isEmpty()) item->setToolTip(tips[c]);
      table_->setItem(static_cast<int>(i), c, item);
    }
  }
  for (size_t g = 0; g < groups_.size(); ++g)
    for (size_t m : groups_[g].members)
      for (int c = 0; c < kColumns; ++c)
        table_->item(static_cast<int>(m), c)->setBackground(groupColour(g));
  showLoadColumn();
  table_->resizeColumnsToContents();
  updateButtons();
}

void CrystalBatchWindow::showLoad() {
  const std::optional<double> pf = meter_.crystalLoadPf();
  load_->setText(pf ? q(common::shortestText(*pf)) : QString());
  load_->setModified(false);
  showLoadColumn();
}

void CrystalBatchWindow::showLoadColumn() {
  // The load resonance where one is asked for or was given.
  table_->setColumnHidden(
      kLoadColumn,
      !meter_.crystalLoadPf() &&
          std::none_of(rows_.begin(), rows_.end(), [](const CrystalRow& r) { return r.flMHz; }));
}

void CrystalBatchWindow::showGroups() {
  groupList_->clear();
  for (size_t g = 0; g < groups_.size(); ++g) {
    QStringList names;
    for (size_t m : groups_[g].members) names << q(crystalName(rows_[m]));
    auto* item = new QListWidgetItem(
        tr("Group %1: Fs spread %2 Hz (at most %3 Hz), R spread %4 %: %5")
            .arg(g + 1)
            .arg(q(common::formatPattern(groups_[g].fsSpreadHz, "0.0")))
            .arg(q(common::formatPattern(groups_[g].fsSpreadHz + groups_[g].fsSpreadPmHz, "0.0")))
            .arg(q(common::formatPattern(groups_[g].rSpreadPct, "0.0")))
            .arg(names.join(", ")));
    item->setBackground(groupColour(g));
    groupList_->addItem(item);
  }
}

void CrystalBatchWindow::setStatus(const QString& text) { status_->setText(text); }

void CrystalBatchWindow::updateButtons() {
  measure_->setEnabled(!measuring_);
  repeat_->setEnabled(!measuring_);
  findChild<QPushButton*>("batchSave")->setEnabled(!rows_.empty());
  findChild<QPushButton*>("batchRemove")->setEnabled(!rows_.empty());
}

void CrystalBatchWindow::closeEvent(QCloseEvent* event) {
  if (!saved_ && !rows_.empty() &&
      !prompter_.confirm(
          tr("The crystals measured here are not saved. Close the batch anyway?").toStdString())) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace kolm::powermeter::ui
