#include "powermeter/ui/ladder_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "chart/band.h"
#include "chart/scale.h"
#include "common/files.h"
#include "common/text.h"
#include "common/ui/qt_text.h"
#include "common/ui/screen_fit.h"
#include "hw/ui/ui_context.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {

constexpr const char* kCrystalBatchFilter = "crystal batch(*.csv)|*.csv";
constexpr const char* kDesignFilter = "ladder filter design(*.txt)|*.txt";

using common::ui::q;

QString number(double value, const char* pattern) {
  return q(common::formatPattern(value, pattern));
}

QString optional(const std::optional<double>& value, const char* pattern) {
  return value ? number(*value, pattern) : LadderWindow::tr("none");
}

}  // namespace

LadderWindow::LadderWindow(PowerMeterWindow& meter, common::Prompter& prompter)
    : QWidget(&meter, Qt::Window), meter_(meter), prompter_(prompter) {
  setObjectName("ladderFilterWindow");
  setWindowTitle(tr("Ladder filter"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(buildCrystals());

  layout->addWidget(buildFilter());

  auto* actions = new QHBoxLayout;
  auto button = [&](const char* name, const QString& text, auto handler) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    actions->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  button("ladderDesign", tr("Design"), [this] { makeDesign(); })->setDefault(true);
  actions->addWidget(new QLabel(tr("Parts built:")));
  parts_ = new QComboBox;
  parts_->setObjectName("ladderParts");
  parts_->addItems({tr("as designed"), tr("E12"), tr("E24")});
  parts_->setToolTip(tr("The parts the prediction on the power meter and the saved design use."));
  actions->addWidget(parts_);
  button("ladderShow", tr("Prediction to the power meter"), [this] { showOnPowerMeter(); })
      ->setToolTip(tr("Sets the power meter's span around the filter and puts the predicted "
                      "response in its memory (dashed): sweep the built filter to compare."));
  button("ladderSave", tr("Save design..."), [this] { saveDesign(); });
  actions->addStretch();
  layout->addLayout(actions);

  table_ = new QTableWidget(0, 4);
  table_->setObjectName("ladderTable");
  table_->setHorizontalHeaderLabels({tr("Part or figure"), tr("Designed"), tr("E12"), tr("E24")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  layout->addWidget(table_, 1);

  status_ = new QLabel;
  status_->setObjectName("ladderStatus");
  status_->setWordWrap(true);
  layout->addWidget(status_);

  setMinimumSize(QSize(520, 420).expandedTo(minimumSizeHint()));
  common::ui::openAtSize(this, QSize(760, 700));
  showDesign();
}

QGroupBox* LadderWindow::buildCrystals() {
  auto* crystals = new QGroupBox(tr("Crystals"));
  auto* crystalRows = new QVBoxLayout(crystals);
  auto* sourceRow = new QHBoxLayout;
  source_ = new QLabel(tr("No batch yet."));
  source_->setObjectName("ladderSource");
  source_->setWordWrap(true);
  sourceRow->addWidget(source_, 1);
  auto* fromBatch = new QPushButton(tr("From the batch window"));
  fromBatch->setObjectName("ladderFromBatch");
  connect(fromBatch, &QPushButton::clicked, this, [this] { takeBatchWindow(); });
  sourceRow->addWidget(fromBatch);
  auto* open = new QPushButton(tr("Open batch..."));
  open->setObjectName("ladderOpenBatch");
  connect(open, &QPushButton::clicked, this, [this] { openBatch(); });
  sourceRow->addWidget(open);
  crystalRows->addLayout(sourceRow);
  auto* pickRow = new QHBoxLayout;
  pickRow->addWidget(new QLabel(tr("Group:")));
  group_ = new QSpinBox;
  group_->setObjectName("ladderGroup");
  group_->setRange(1, 999);
  group_->setToolTip(tr("A group the batch window's Match (or crystal-match) formed."));
  pickRow->addWidget(group_);
  pickRow->addWidget(new QLabel(tr("or crystals:")));
  members_ = new QLineEdit;
  members_->setObjectName("ladderMembers");
  members_->setPlaceholderText(tr("labels or numbers, with commas"));
  members_->setToolTip(tr("When filled, these crystals in this order instead of the group."));
  pickRow->addWidget(members_, 1);
  crystalRows->addLayout(pickRow);
  return crystals;
}

QGroupBox* LadderWindow::buildFilter() {
  auto* filter = new QGroupBox(tr("Filter"));
  auto* form = new QHBoxLayout(filter);
  form->addWidget(new QLabel(tr("-3 dB bandwidth:")));
  bandwidth_ = new QDoubleSpinBox;
  bandwidth_->setObjectName("ladderBandwidthHz");
  bandwidth_->setRange(10, 1e6);
  bandwidth_->setDecimals(0);
  bandwidth_->setValue(2400);
  bandwidth_->setSuffix(" Hz");
  form->addWidget(bandwidth_);
  form->addWidget(new QLabel(tr("Shape:")));
  shape_ = new QComboBox;
  shape_->setObjectName("ladderShape");
  shape_->addItems({tr("Cohn (equal capacitors)"), tr("Butterworth"), tr("Chebyshev")});
  form->addWidget(shape_);
  ripple_ = new QDoubleSpinBox;
  ripple_->setObjectName("ladderRippleDb");
  ripple_->setRange(0.01, 3);
  ripple_->setValue(0.2);
  ripple_->setSuffix(" dB");
  ripple_->setToolTip(tr("The Chebyshev shape's passband ripple."));
  ripple_->setEnabled(false);
  form->addWidget(ripple_);
  connect(shape_, &QComboBox::currentIndexChanged, this,
          [this](int index) { ripple_->setEnabled(index == 2); });
  useTermination_ = new QCheckBox(tr("Termination:"));
  useTermination_->setObjectName("ladderUseTermination");
  useTermination_->setToolTip(tr("Unticked: the termination the design needs."));
  form->addWidget(useTermination_);
  termination_ = new QDoubleSpinBox;
  termination_->setObjectName("ladderTerminationOhm");
  termination_->setRange(1, 1e5);
  termination_->setDecimals(0);
  termination_->setValue(200);
  termination_->setSuffix(" \u03a9");
  termination_->setEnabled(false);
  connect(useTermination_, &QCheckBox::toggled, termination_, &QWidget::setEnabled);
  form->addWidget(termination_);
  form->addStretch();
  return filter;
}

void LadderWindow::setRows(std::vector<CrystalRow> rows, const QString& source) {
  rows_ = std::move(rows);
  int groups = 0;
  for (const CrystalRow& r : rows_)
    if (r.group) groups = std::max(groups, *r.group);
  const qsizetype crystals = rows_.size();
  source_->setText(tr("%1: %2, %3.")
                       .arg(source,
                            crystals == 1 ? tr("1 crystal") : tr("%1 crystals").arg(crystals),
                            groups == 1 ? tr("1 group") : tr("%1 groups").arg(groups)));
  design_.reset();
  showDesign();
}

void LadderWindow::takeBatchWindow() {
  setRows(meter_.crystalBatch()->rows(), tr("The batch window"));
  raise();
  activateWindow();
}

void LadderWindow::openBatch() {
  const std::string name =
      prompter_.openFileName(tr("Open crystal batch").toStdString(), kCrystalBatchFilter);
  if (name.empty()) return;
  const BatchRead read = readBatchCsv(name);
  if (!read.ok()) {
    prompter_.message(read.error, common::Icon::Warning);
    return;
  }
  setRows(read.rows, q(name));
}

void LadderWindow::makeDesign() {
  design_.reset();
  std::vector<const CrystalRow*> chosen;
  const QString members = members_->text().trimmed();
  if (members.isEmpty()) {
    for (const CrystalRow& r : rows_)
      if (r.group == group_->value()) chosen.push_back(&r);
  } else {
    for (const QString& name : members.split(',')) {
      const std::string n = name.trimmed().toStdString();
      const CrystalRow* found = nullptr;
      for (const CrystalRow& r : rows_)
        if (crystalName(r) == n || std::to_string(r.number) == n) found = &r;
      if (!found) {
        status_->setText(tr("No crystal %1 in the batch.").arg(q(n)));
        showDesign();
        return;
      }
      chosen.push_back(found);
    }
  }
  std::vector<LadderCrystal> crystals;
  for (const CrystalRow* r : chosen) {
    const auto model = crystalModel(*r);
    if (!model) {
      status_->setText(tr("Crystal %1 has no L: measure it again with its -3 dB points in the "
                          "sweep.")
                           .arg(q(crystalName(*r))));
      showDesign();
      return;
    }
    crystals.push_back({crystalName(*r), *model});
  }
  if (crystals.empty()) {
    status_->setText(tr("Group %1 has no crystals: match the batch first, or name the crystals.")
                         .arg(group_->value()));
    showDesign();
    return;
  }
  const LadderShapeSpec shape{shape_->currentIndex() == 0   ? LadderShape::Cohn
                              : shape_->currentIndex() == 1 ? LadderShape::Butterworth
                                                            : LadderShape::Chebyshev,
                              ripple_->value()};
  LadderDesign d = designLadder(
      crystals,
      {static_cast<int>(crystals.size()), bandwidth_->value(), shape,
       useTermination_->isChecked() ? std::optional<double>(termination_->value()) : std::nullopt});
  if (!d.ok()) {
    status_->setText(q(d.error));
    showDesign();
    return;
  }
  design_ = std::move(d);
  // The predictions again for crystals anywhere within their intervals.
  spreads_ = networkSpreads(design_->network, chosen);
  const LadderNetwork* nets[] = {&design_->network, &design_->e12, &design_->e24};
  const LadderResponse* predictions[] = {&design_->predicted, &design_->predictedE12,
                                         &design_->predictedE24};
  for (int i = 0; i < 3; ++i)
    spread_[i] = ladderSpread(*nets[i], *predictions[i], bandwidth_->value(), spreads_);
  QStringList notes;
  for (const std::string& w : design_->warnings) notes << q(w);
  status_->setText(notes.isEmpty() ? tr("Designed.") : notes.join("\n"));
  showDesign();
}

const LadderResponse& LadderWindow::chosenPrediction() const {
  return parts_->currentIndex() == 1   ? design_->predictedE12
         : parts_->currentIndex() == 2 ? design_->predictedE24
                                       : design_->predicted;
}

const LadderNetwork& LadderWindow::chosenNetwork() const {
  return parts_->currentIndex() == 1   ? design_->e12
         : parts_->currentIndex() == 2 ? design_->e24
                                       : design_->network;
}

void LadderWindow::showDesign() {
  table_->setRowCount(0);
  for (auto* b : {findChild<QPushButton*>("ladderShow"), findChild<QPushButton*>("ladderSave")})
    b->setEnabled(design_.has_value());
  if (!design_) return;
  const LadderDesign& d = *design_;
  const LadderNetwork* nets[] = {&d.network, &d.e12, &d.e24};
  const LadderResponse* responses[] = {&d.predicted, &d.predictedE12, &d.predictedE24};
  auto row = [&](const QString& name, auto cell) {
    const int r = table_->rowCount();
    table_->insertRow(r);
    table_->setItem(r, 0, new QTableWidgetItem(name));
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(cell(c));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c + 1, item);
    }
  };
  QStringList order;
  for (const LadderCrystal& x : d.network.crystals) order << q(x.name);
  row(tr("Crystals in order"), [&](int c) { return c == 0 ? order.join(", ") : QString(); });
  const size_t k = d.network.crystals.size();
  for (size_t i = 0; i + 1 < k; ++i)
    row(QString("c%1%2 (pF)").arg(i + 1).arg(i + 2),
        [&](int c) { return number(nets[c]->shunt[i] * 1e12, "0.0"); });
  for (size_t i = 0; i < k; ++i) {
    const bool end = i == 0 || i + 1 == k;
    if (!end && !d.network.series[i]) continue;
    row(QString(end ? "c_end%1 (pF)" : "c_s%1 (pF)").arg(i + 1), [&](int c) {
      return nets[c]->series[i] ? number(*nets[c]->series[i] * 1e12, "0.0") : tr("none");
    });
  }
  row(tr("r_term (Ω)"), [&](int c) { return number(nets[c]->rTermOhm, "0.0"); });
  row(tr("Centre (MHz)"), [&](int c) { return number(responses[c]->centreHz / 1e6, "0.000 000"); });
  row(tr("-3 dB width (Hz)"), [&](int c) { return optional(responses[c]->bw3Hz, "0"); });
  row(tr("-6 dB width (Hz)"), [&](int c) { return optional(responses[c]->bw6Hz, "0"); });
  row(tr("-60 dB width (Hz)"), [&](int c) { return optional(responses[c]->bw60Hz, "0"); });
  row(tr("Ripple (dB)"), [&](int c) { return number(responses[c]->rippleDb, "0.00"); });
  row(tr("Insertion loss (dB)"), [&](int c) { return number(responses[c]->ilDb, "0.00"); });
  row(tr("Shape factor 60/6 dB"),
      [&](int c) { return optional(responses[c]->shapeFactor, "0.00"); });
  // How far each figure may be off, rounded outward from the figure as the
  // table writes it (to `decimals`, in the spread's unit).
  auto spread = [&](const QString& name, double LadderSpread::*member, auto figure, int decimals,
                    const char* pattern) {
    row(name, [&](int c) {
      const double v = spread_[c].*member;
      return std::isfinite(v)
                 ? "\u00b1 " +
                       number(common::outwardHalfWidth(figure(*responses[c]), v, decimals), pattern)
                 : tr("not known");
    });
  };
  spread(
      tr("Centre spread (Hz)"), &LadderSpread::centreHz,
      [](const LadderResponse& r) { return r.centreHz; }, 0, "0");
  spread(
      tr("-3 dB width spread (Hz)"), &LadderSpread::bw3Hz,
      [](const LadderResponse& r) { return r.bw3Hz.value_or(0); }, 0, "0");
  spread(
      tr("Ripple spread (dB)"), &LadderSpread::rippleDb,
      [](const LadderResponse& r) { return r.rippleDb; }, 2, "0.00");
  spread(
      tr("Insertion loss spread (dB)"), &LadderSpread::ilDb,
      [](const LadderResponse& r) { return r.ilDb; }, 2, "0.00");
}

void LadderWindow::showOnPowerMeter() {
  if (!design_ || !design_->predicted.bw3Hz) return;
  const double centre = design_->predicted.centreHz, bw = *design_->predicted.bw3Hz;
  const double start = (centre - 2.5 * bw) / 1e6, stop = (centre + 2.5 * bw) / 1e6;
  meter_.setSweepSpan(start, stop);
  // The predicted levels at the next sweep's points, over the generator's level
  // (the level reference, 0 dBm where none was measured).
  const int points = meter_.pointsToSweep();
  const float s = static_cast<float>(start), e = static_cast<float>(stop);
  std::vector<double> pointMHz, through;
  std::vector<float> gains, levels;
  for (int i = 0; i <= points; ++i) {
    const double f = chart::pointFrequency(s, e, points, i);
    pointMHz.push_back(f);
    through.push_back(throughLevel(meter_.levelReference(), f, 0).levelDb);
    gains.push_back(static_cast<float>(ladderGainDb(chosenNetwork(), f * 1e6)));
    levels.push_back(static_cast<float>(through.back() + gains.back()));
  }
  // The band the crystals' intervals allow, worked out at up to 401 of the
  // points (each costs a response per corner) and spread onto all of them.
  const int samples = std::min(points, 400);
  std::vector<double> sampleHz, sampleMHz;
  for (int j = 0; j <= samples; ++j) {
    sampleMHz.push_back(chart::pointFrequency(s, e, samples, j));
    sampleHz.push_back(sampleMHz.back() * 1e6);
  }
  const LadderSpread band =
      ladderSpread(chosenNetwork(), chosenPrediction(), bandwidth_->value(), spreads_, sampleHz);
  QString name = tr("predicted (%1)").arg(parts_->currentText());
  chart::BandEdges edges;
  if (spreads_.size() == chosenNetwork().crystals.size()) {
    edges = chart::bandAtPoints(sampleMHz, band.lowDb, band.highDb, pointMHz, gains);
    for (size_t i = 0; i < edges.low.size(); ++i) {
      edges.low[i] = std::nextafter(static_cast<float>(edges.low[i] + through[i]), -HUGE_VALF);
      edges.high[i] = std::nextafter(static_cast<float>(edges.high[i] + through[i]), HUGE_VALF);
    }
    name += tr(", shaded: within the crystals' intervals");
  } else {
    name += tr(", spread not known (a crystal without its intervals)");
  }
  meter_.showInMemory(levels, s, e, name, std::move(edges));
  status_->setText(
      tr("The prediction is in the power meter's memory: sweep the built filter "
         "there to compare."));
}

bool LadderWindow::saveDesign() {
  if (!design_) return false;
  const std::string name =
      prompter_.saveFileName(tr("Save ladder filter design").toStdString(), kDesignFilter);
  if (name.empty()) return false;
  std::string error;
  if (!common::writeFileAtomic(name, formatLadderFile(chosenNetwork()), &error)) {
    prompter_.message(error, common::Icon::Warning);
    return false;
  }
  status_->setText(tr("Saved to %1 (the simulator builds it as --dut ladder:FILE).").arg(q(name)));
  return true;
}

}  // namespace kolm::powermeter::ui
