#include "powermeter/ui/power_meter_window.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "print/ui/stampa.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/markers_menu.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/window_exports.h"
#include "common/status.h"
#include "common/text.h"
#include "common/ui/about_box.h"
#include "common/ui/recent_files.h"
#include "hw/dds.h"
#include "powermeter/chart_file.h"
#include "powermeter/settings.h"
#include "powermeter/ui/crystal_batch_window.h"

namespace kolm::powermeter::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

// The pictures of the two sweep buttons: one ramp for a single pass, three for
// passes back to back.
QIcon sweepIcon(int ramps) {
  QPixmap pm(32, 32);
  pm.fill(QColor(16, 22, 28));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 90, 110), 1));
  p.drawLine(4, 27, 28, 27);
  QPainterPath path;
  const double w = 24.0 / ramps;
  path.moveTo(4, 26);
  for (int r = 0; r < ramps; ++r) {
    path.lineTo(4 + w * (r + 1), 6);
    if (r + 1 < ramps) path.lineTo(4 + w * (r + 1), 26);
  }
  p.setPen(QPen(QColor(90, 230, 120), 2));
  p.drawPath(path);
  return QIcon(pm);
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int width, const QString& tip = {}) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setFixedWidth(width);
  if (!tip.isEmpty()) e->setToolTip(tip);
  return e;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->adjustSize();
  return l;
}

}  // namespace

PowerMeterWindow::PowerMeterWindow(common::ui::UiContext& context) : context_(context) {
  setObjectName("Power_Meter");
  setWindowTitle(tr("Power Meter Sweep"));
  setAttribute(Qt::WA_DeleteOnClose);
  buildMenus();

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(common::ui::makeSimBanner(context_, central));
  area_ = new QWidget(central);
  area_->setObjectName("ChartArea");
  area_->installEventFilter(this);
  outer->addWidget(area_, 1);
  setCentralWidget(central);
  buildControls(area_);
  chart::ui::addMarkersMenu(menuBar(), findChild<QMenu*>("Print")->menuAction(), Pc1,
                            context_.prompter, tr("level"));
  // CSV of the whole trace as measured (absolute levels, flags under the
  // calibration it was converted with).
  chart::ui::addExportItems(
      this, findChild<QMenu*>("file"), recent_->menu()->menuAction(), Pc1, context_.prompter,
      {{"ExportCsv", tr("Export CSV..."), "CSV (*.csv)|*.csv",
        [this](QString& why) -> std::optional<std::string> {
          if (runner_.running() || validLevels_ != Points + 1) {
            why = tr("There is no whole trace to export yet.");
            return std::nullopt;
          }
          ChartFile c{Points,
                      TraceStart,
                      TraceStop,
                      std::vector<float>(Traccia.begin(), Traccia.begin() + Points + 1),
                      {}};
          return formatCsv(c, traceLimits_);
        }}});

  connect(&runner_, &common::ui::JobRunner::progressed, this, [this](double fraction) {
    progress_->setValue(static_cast<int>(fraction * 1000));
    if (activeJob_ != Job::Sweep) return;
    if (job_) validLevels_ = std::max(validLevels_, job_->measured());
    showTrace();
  });
  connect(&runner_, &common::ui::JobRunner::finished, this,
          [this](bool completed) { jobFinished(completed); });
  connect(&runner_, &common::ui::JobRunner::failed, this, [this](const QString& why) {
    context_.prompter.message(why.toStdString(), common::Icon::Critical);
  });

  // Form_Load.
  ReadVar();
  Text1->setText(q(common::strSingle(ViewStart)));
  Text2->setText(q(common::strSingle(ViewStop)));
  Text3->setText(QString::number(Points));
  Text8->setText(q(common::shortestText(LevelTop, 7)));
  Text9->setText(q(common::shortestText(LevelBottom, 7)));
  TraceStart = ViewStart;
  TraceStop = ViewStart;
  rifEntries_ = readLevelRif(RifLivello);
  readQuartzRif(RifQuarzo);
  chart::guardSpan(ViewStart, ViewStop);
  chart::guardLevels(LevelTop, LevelBottom);
  setMinimumSize(900, 480);
  common::ui::openAtSize(this, QSize(1000, 720));
  if (rifEntries_ > 0 && common::ui::uiSettings().value("PowerMeter/normalised", false).toBool())
    action("Normalise")->setChecked(true);
  analysis_ = chart::ui::addAnalysisPanel(this, "levelAnalysis");
  newHome();
  Visualizza();
  updateActions();
}

PowerMeterWindow::~PowerMeterWindow() {
  closed_ = true;
  runner_.stop();
}

void PowerMeterWindow::buildMenus() {
  auto* file = menuBar()->addMenu(tr("File"));
  file->setObjectName("file");
  auto add = [](QMenu* menu, const char* name, const QString& caption, bool enabled = false) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setEnabled(enabled);
    return a;
  };
  QAction* open = add(file, "open", tr("Open Chart"), true);
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(open, &QAction::triggered, this, [this] { open_Click(); });
  QAction* saveas = add(file, "saveas", tr("Save Chart as"), true);
  saveas->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveas, &QAction::triggered, this, [this] { saveas_Click(); });
  QAction* exit = add(file, "Exit_Power_Meter", tr("Exi Power Meter"), true);
  connect(exit, &QAction::triggered, this, [this] { close(); });
  recent_ = new common::ui::RecentFiles(file, exit, "PowerMeter/recent",
                                        [this](const QString& path) { openChart(s(path)); });
  file->insertSeparator(exit);
  common::ui::addExitProgram(context_, file);

  QAction* parametri = menuBar()->addAction(tr("Parameters"));
  parametri->setObjectName("Parametri");
  connect(parametri, &QAction::triggered, this, [this] { context_.showParameters(this); });

  auto* compare = menuBar()->addMenu(tr("Compare"));
  compare->setObjectName("Compare");
  QAction* scrMem = add(compare, "ScrMem", tr("This Chart in memory"), true);
  connect(scrMem, &QAction::triggered, this, [this] { ScrMem_Click(); });
  QAction* finMem = add(compare, "finMem", tr("File in memory"), true);
  connect(finMem, &QAction::triggered, this, [this] { finMem_Click(); });
  compare->addSeparator();
  QAction* normalise = add(compare, "Normalise", tr("Levels relative to level.rif"), true);
  normalise->setCheckable(true);
  connect(normalise, &QAction::triggered, this, [this](bool on) { setNormalised(on); });

  auto* calibr = menuBar()->addMenu(tr("Calibrate"));
  calibr->setObjectName("Calibr");
  QAction* cal0 = add(calibr, "Cal_0dbm", tr("0 dBm"), true);
  connect(cal0, &QAction::triggered, this, [this] { Cal_0dbm_Click(); });
  QAction* cal60 = add(calibr, "Cal_60dbm", tr("-60 dBm"), true);
  connect(cal60, &QAction::triggered, this, [this] { Cal_60dbm_Click(); });
  QAction* calDef = add(calibr, "Cal_def", tr("default"), true);
  connect(calDef, &QAction::triggered, this, [this] { Cal_def_Click(); });

  QAction* refer = menuBar()->addAction(tr("Reference_Level"));
  refer->setObjectName("refer");
  connect(refer, &QAction::triggered, this, [this] { refer_Click(); });

  auto* util = menuBar()->addMenu(tr("CrystalMeter"));
  util->setObjectName("util");
  QAction* quarz = add(util, "quarz", tr("Quarzo"), true);
  connect(quarz, &QAction::triggered, this, [this] { quarz_Click(); });
  QAction* calQuarz = add(util, "calQuarz", tr("calQuarz"), true);
  connect(calQuarz, &QAction::triggered, this, [this] { calQuarz_Click(); });
  QAction* batch = add(util, "crystalBatch", tr("Crystal batch"), true);
  connect(batch, &QAction::triggered, this, [this] { crystalBatch(); });

  auto* print = menuBar()->addMenu(tr("Print"));
  print->setObjectName("Print");
  QAction* printScreen = add(print, "Print_Screen", tr("Print_Screen"), true);
  printScreen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(printScreen, &QAction::triggered, this, [this] { Print_Screen_Click(); });

  QAction* about = menuBar()->addAction(tr("About_Power_Meter"));
  about->setObjectName("About_Power_Meter");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about, &QAction::triggered, this,
          [] { common::ui::showAboutBox(common::ui::AboutKind::PowerMeter); });

  // Stop a running pass: the button beside the sweep buttons, or Esc.
  stopAction_ = new QAction(tr("Stop"), this);
  stopAction_->setObjectName("StopSweep");
  stopAction_->setShortcut(QKeySequence(Qt::Key_Escape));
  stopAction_->setShortcutContext(Qt::WindowShortcut);
  stopAction_->setToolTip(tr("Stop the sweep or the reference measurement (Esc)"));
  stopAction_->setEnabled(false);
  addAction(stopAction_);
  connect(stopAction_, &QAction::triggered, this, [this] { stopSweep(); });
  // The sweep buttons from the keyboard: F5 one pass, Shift+F5 passes back to back.
  auto* single = new QAction(tr("Single sweep"), this);
  single->setObjectName("SingleSweep");
  single->setShortcut(QKeySequence(Qt::Key_F5));
  connect(single, &QAction::triggered, this, [this] { option1Clicked(); });
  auto* continuous = new QAction(tr("Continuous sweep"), this);
  continuous->setObjectName("ContinuousSweep");
  continuous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  connect(continuous, &QAction::triggered, this, [this] { option2Clicked(); });
  addActions({single, continuous});
}

void PowerMeterWindow::buildControls(QWidget* area) {
  Label5 = label(area, "Label5", tr("POWER METER SWEEP"));
  QFont heading = Label5->font();
  heading.setPointSize(16);
  heading.setBold(true);
  Label5->setFont(heading);
  Label5->adjustSize();

  Pc1 = new chart::ui::SweepChart(area);
  Pc1->setObjectName("Pc1");
  Pc1->setColours(QColor(0, 0, 0), kForeground, chart::ui::paletteQColor(12));
  connect(Pc1, &chart::ui::SweepChart::mousePressed, this,
          [this](double x, double y, Qt::MouseButton b) { mouseDown(x, y, b); });
  connect(Pc1, &chart::ui::SweepChart::mouseMoved, this,
          [this](double x, double y, Qt::MouseButtons) { mouseMove(x, y); });
  connect(Pc1, &chart::ui::SweepChart::mouseReleased, this,
          [this](double x, double y, Qt::MouseButton b) { mouseUp(x, y, b); });
  connect(Pc1, &chart::ui::SweepChart::doubleClicked, this, [this](double, double) { dblClick(); });
  connect(Pc1, &chart::ui::SweepChart::cursorChanged, this,
          [this](double x, double y) { showReadout(x, y); });
  connect(Pc1, &chart::ui::SweepChart::viewRequested, this,
          [this](const chart::View& v) { applyView(v); });

  Text6 = lineEdit(area, "Text6", 420, tr("File name"));
  Text6->setReadOnly(true);
  Text6->setFrame(false);
  Text6->setFixedHeight(Text6->fontMetrics().height() + 2);
  Text6->setStyleSheet("QLineEdit { background: transparent; }");

  Check1 = new QCheckBox(tr("Compare"), area);
  Check1->setObjectName("Check1");
  Check1->adjustSize();
  connect(Check1, &QCheckBox::toggled, this, [this] { Visualizza(); });

  Label1 = label(area, "Label1", tr("Delay"));
  Text7 = lineEdit(area, "Text7", 52, tr("Delay in msec"));
  Text7->setText(tr("0"));
  connect(Text7, &QLineEdit::textChanged, this, [this] { Text7_Change(); });

  Label4 = label(area, "Label4", tr("Points"));
  Text3 = lineEdit(area, "Text3", 60, tr("Frequency Axsis Points"));
  connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });

  Text8 = lineEdit(area, "Text8", 38, tr("Level at the top, dBm"));
  Text9 = lineEdit(area, "Text9", 38, tr("Level at the bottom, dBm"));
  for (QLineEdit* e : {Text8, Text9})
    connect(e, &QLineEdit::returnPressed, this, [this] { typedView(); });

  Text4 = lineEdit(area, "Text4", 230, tr("Cursor: MHz and dBm"));
  Text4->setReadOnly(true);
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  Text4->setFont(mono);
  levelReadout_ = lineEdit(area, "LevelReadout", 280, tr("The traces' levels at the cursor"));
  levelReadout_->setReadOnly(true);
  levelReadout_->setFont(mono);

  // The status line: what the last command did, the progress of a pass and its
  // Stop button.
  status_ = new QLabel(this);
  status_->setObjectName("StatusLine");
  statusBar()->addWidget(status_, 1);
  sweepPanel_ = new QWidget(this);
  sweepPanel_->setObjectName("SweepPanel");
  auto* panel = new QHBoxLayout(sweepPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  progress_ = new QProgressBar(sweepPanel_);
  progress_->setObjectName("SweepProgress");
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedHeight(14);
  progress_->setFixedWidth(160);
  auto* stop = new QToolButton(sweepPanel_);
  stop->setObjectName("StopButton");
  stop->setDefaultAction(stopAction_);
  panel->addWidget(progress_, 1);
  panel->addWidget(stop);
  statusBar()->addPermanentWidget(sweepPanel_);

  Frame2 = new QGroupBox(tr("Signal Generator"), area);
  Frame2->setObjectName("Frame2");
  auto* gen = new QHBoxLayout(Frame2);
  gen->setContentsMargins(6, 2, 6, 4);
  gen->setSpacing(4);
  Text1 = lineEdit(Frame2, "Text1", 56, tr("Start frequency, MHz"));
  Text5 = lineEdit(Frame2, "Text5", 200);
  Text5->setText(tr("Start<----------MHz--------->Stop"));
  Text5->setFixedWidth(Text5->fontMetrics().horizontalAdvance(Text5->text()) + 12);
  Text5->setReadOnly(true);
  Text5->setFocusPolicy(Qt::NoFocus);
  Text5->setAlignment(Qt::AlignCenter);
  Text2 = lineEdit(Frame2, "Text2", 56, tr("Stop frequency, MHz"));
  Option1 = new QToolButton(Frame2);
  Option1->setObjectName("Option1");
  Option1->setIcon(sweepIcon(1));
  Option1->setToolTip(tr("Single sweep (F5)"));
  Option2 = new QToolButton(Frame2);
  Option2->setObjectName("Option2");
  Option2->setIcon(sweepIcon(3));
  Option2->setToolTip(tr("Continuous sweep (Shift+F5)"));
  for (QToolButton* b : {Option1, Option2}) {
    b->setCheckable(true);
    b->setIconSize(QSize(28, 28));
    b->setFixedSize(32, 32);
  }
  connect(Option1, &QToolButton::clicked, this, [this] { option1Clicked(); });
  connect(Option2, &QToolButton::clicked, this, [this] { option2Clicked(); });
  gen->addWidget(Text1);
  gen->addWidget(Text5);
  gen->addWidget(Text2);
  gen->addSpacing(4);
  gen->addWidget(Option1);
  gen->addWidget(Option2);
  Frame2->adjustSize();
  Frame2->setFixedSize(Frame2->sizeHint());
}

bool PowerMeterWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_ && event->type() == QEvent::Resize) {
    DisponiControlli();
    Visualizza();
  }
  return QMainWindow::eventFilter(watched, event);
}

// The controls stand at their fractions of the area (the chart at 5 % / 9 %,
// 90.5 % x 80 % of it); where a fraction would put one control over another, or
// out of the area, on a small window, the chart gives way: the top row keeps
// its height above the chart and the bottom row its height below it.
void PowerMeterWindow::DisponiControlli() {
  const double W = area_->width(), H = area_->height();
  auto px = [](double v) { return static_cast<int>(std::lround(v)); };
  auto at = [&](QWidget* w, double x, double y) { w->move(px(x), px(y)); };
  // Top row: Compare, Delay and Points at 5 %, the file name at 6.5 %.
  const int rowTop = std::max(px(0.05 * H), Label5->height());
  at(Check1, 0.6 * W, rowTop);
  at(Label1, 0.7 * W, rowTop + (Text7->height() - Label1->height()) / 2);
  at(Text7, 0.76 * W, rowTop);
  at(Label4, 0.85 * W, rowTop + (Text3->height() - Label4->height()) / 2);
  at(Text3, std::min(0.905 * W, W - Text3->width() - 2), rowTop);
  at(Label5, 0.325 * W, 0);
  Text6->setFixedWidth(std::max(40, std::min(420, px(0.55 * W) - 8)));
  at(Text6, 0.05 * W, std::max(0.065 * H, static_cast<double>(Label5->height())));
  const int chartTop =
      std::max({px(0.09 * H), rowTop + Text7->height() + 2, Text6->y() + Text6->height() + 2});
  // Bottom row: the generator frame, the cursor readouts.
  const int frameTop = std::min(px(0.89 * H), area_->height() - Frame2->height() - 2);
  at(Frame2, std::min(0.563 * W, W - Frame2->width() - 2), frameTop);
  at(Text4, 0.05 * W, std::min(px(0.9 * H), frameTop + 4));
  at(levelReadout_, 0.05 * W + Text4->width() + 6, Text4->y());
  levelReadout_->setFixedWidth(std::max(120, std::min(280, Frame2->x() - levelReadout_->x() - 6)));
  const int chartBottom = std::min({px(0.89 * H), frameTop, Text4->y()}) - 2;
  Pc1->setGeometry(px(0.05 * W), chartTop, px(0.905 * W), std::max(10, chartBottom - chartTop));
  // The level boxes at the chart's top and bottom edges, in the margin beside it.
  for (QLineEdit* e : {Text8, Text9}) e->setFixedWidth(std::min(38, px(0.04 * W) - 2));
  at(Text8, 0.01 * W, chartTop);
  at(Text9, 0.01 * W, std::min(px(0.85 * H), chartBottom - Text9->height()));
  Text6->raise();
}

void PowerMeterWindow::ReadVar() {
  const PowIni ini = powermeter::readPowIni();
  ViewStart = ini.ViewStart;
  ViewStop = ini.ViewStop;
  Points = ini.Points;
  LevelTop = ini.LevelTop;
  LevelBottom = ini.LevelBottom;
  calibration_ = ini.calibration;
  R0 = ini.R0;
  // The delay box is filled as the file holds it, without the time warning.
  QSignalBlocker quiet(Text7);
  Text7->setText(q(ini.delayText));
  delayMs_ = common::numericValue(ini.delayText);
}

void PowerMeterWindow::SaveVar() {
  powermeter::savePowIni({s(Text1->text()), s(Text2->text()), s(Text3->text()), s(Text8->text()),
                          s(Text9->text()), calibration_, s(Text7->text()), R0});
}

void PowerMeterWindow::Text3_Change() {
  if (auto limited = limitPoints(common::numericValue(s(Text3->text()))))
    Text3->setText(QString::number(*limited));
}

void PowerMeterWindow::Text7_Change() {
  delayMs_ = common::numericValue(s(Text7->text()));
  if (auto warning = sweepTimeWarning(common::numericValue(s(Text3->text())), delayMs_))
    context_.prompter.message(*warning, common::Icon::None);
}

void PowerMeterWindow::option1Clicked() {
  if (activeJob_ != Job::None && activeJob_ != Job::Sweep) {
    Option1->setChecked(false);  // a reference table is being measured
    return;
  }
  Option1->setChecked(true);
  Option2->setChecked(false);
  // During a pass: one more pass after it, then the sweeping ends. A pass that
  // has not measured anything yet is that one more pass.
  if (runner_.running()) {
    pendingSingle_ = job_ && job_->measured() > 0;
    return;
  }
  EseguiSweep();
}

void PowerMeterWindow::option2Clicked() {
  if (activeJob_ != Job::None && activeJob_ != Job::Sweep) {
    Option2->setChecked(false);
    return;
  }
  Option2->setChecked(true);
  Option1->setChecked(false);
  pendingSingle_ = false;
  // During a pass the loop simply goes on after it.
  if (runner_.running()) return;
  EseguiSweep();
}

bool PowerMeterWindow::startSingleSweep(std::function<void(bool)> whenDone) {
  if (runner_.running() || closed_) return false;
  sweepDone_ = std::move(whenDone);
  Option1->setChecked(true);
  Option2->setChecked(false);
  EseguiSweep();
  return true;
}

void PowerMeterWindow::EseguiSweep() {
  Text6->clear();
  GraficoDaFile = false;
  showRifQ_ = false;
  const auto number = [](const QLineEdit* box) { return common::numericValue(s(box->text())); };
  SweepPreparation prepared =
      prepareSweep({number(Text1), number(Text2), number(Text3), number(Text8), number(Text9)},
                   context_.instrument.params.RefClkMHz, calibration_);
  if (prepared.startMHz) Text1->setText(q(*prepared.startMHz));
  if (prepared.stopMHz) Text2->setText(q(*prepared.stopMHz));
  if (!prepared.plan) {
    context_.prompter.message(prepared.error, common::Icon::Warning);
    endSweeping(false);
    return;
  }
  const SweepPlan& plan = *prepared.plan;
  const bool samePoints = validLevels_ == Points + 1 && plan.Points == Points &&
                          plan.ViewStart == TraceStart && plan.ViewStop == TraceStop;
  ViewStart = plan.ViewStart;
  ViewStop = plan.ViewStop;
  TraceStart = ViewStart;
  TraceStop = ViewStop;
  Points = plan.Points;
  LevelTop = plan.LevelTop;
  LevelBottom = plan.LevelBottom;
  validLevels_ = samePoints ? Points + 1 : 0;
  traceLimits_ = levelLimits(calibration_);
  newHome();
  job_ = std::make_unique<SweepJob>(
      context_.instrument, plan, calibration_, [this] { return delayMs_; }, Traccia);
  activeJob_ = Job::Sweep;
  progress_->setValue(0);
  passClock_.start();
  runner_.start(job_.get());
  updateActions();
  Visualizza();
}

void PowerMeterWindow::jobFinished(bool completed) {
  const Job finished = activeJob_;
  activeJob_ = Job::None;
  switch (finished) {
    case Job::Sweep:
      passFinished(completed);
      break;
    case Job::LevelReference:
      levelReferenceFinished(completed);
      break;
    case Job::QuartzReference:
      quartzReferenceFinished(completed);
      break;
    case Job::None:
      break;
  }
  if (!closed_) updateActions();
}

void PowerMeterWindow::passFinished(bool completed) {
  if (completed) progress_->setValue(1000);
  if (job_) validLevels_ = std::max(validLevels_, job_->measured());
  if (closed_) return;
  if (completed) {
    status_->setText(q(common::passDoneText(passClock_.elapsed() / 1000.0)));
  } else {
    status_->setText(q(common::stoppedAtText(job_ ? job_->measured() : 0, Points + 1)));
    progress_->setValue(0);
  }
  Visualizza();
  if (!completed) {
    endSweeping(false);
    return;
  }
  if (pendingSingle_) {
    pendingSingle_ = false;
    EseguiSweep();
    return;
  }
  if (Option2->isChecked()) {
    EseguiSweep();
    return;
  }
  endSweeping(true);
}

void PowerMeterWindow::Print_Screen_Click() {
  // The window is printed as it looks: nothing may change it under the dialog
  // (the item waits for a running job, like the other commands).
  if (runner_.running()) return;
  // On paper the chart stands on the button-face colour, its labels in black.
  Pc1->setColours(palette().color(QPalette::Button), Qt::black, chart::ui::paletteQColor(12));
  Visualizza();
  QCoreApplication::processEvents();
  Text6->setText(tr("Screen"));
  const QString written = print::ui::printWindow(context_.prompter, this, Text6->text());
  if (!written.isEmpty()) status_->setText(q(common::pdfWrittenText(s(written))));
  Pc1->setColours(QColor(0, 0, 0), kForeground, chart::ui::paletteQColor(12));
  DisponiControlli();
  Visualizza();
}

void PowerMeterWindow::stopSweep() {
  pendingSingle_ = false;
  Option2->setChecked(false);
  runner_.stop();
}

void PowerMeterWindow::endSweeping(bool completed) {
  job_.reset();
  pendingSingle_ = false;
  Option1->setChecked(false);
  Option2->setChecked(false);
  updateActions();
  Text1->setFocus();
  if (auto done = std::exchange(sweepDone_, nullptr)) done(completed);
}

void PowerMeterWindow::updateActions() {
  const bool busy = runner_.running();
  stopAction_->setEnabled(busy);
  // Commands that send to the instrument or replace the trace wait for the job.
  for (const char* name :
       {"open", "saveas", "Cal_0dbm", "Cal_60dbm", "refer", "quarz", "calQuarz", "Print_Screen"})
    action(name)->setEnabled(!busy);
  const bool table = activeJob_ == Job::LevelReference || activeJob_ == Job::QuartzReference;
  Option1->setEnabled(!table);
  Option2->setEnabled(!table);
}

QAction* PowerMeterWindow::action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void PowerMeterWindow::mouseDown(double x, double y, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  band_.press(x, y);
  Pc1->setRubberBand(band_.rect());
}

void PowerMeterWindow::mouseMove(double x, double y) {
  Pc1->setCursorAt(x, y);
  if (band_.visible()) {
    band_.drag(x, y);
    Pc1->setRubberBand(band_.rect());
  }
}

void PowerMeterWindow::mouseUp(double, double, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  auto rect = band_.release();
  Pc1->setRubberBand(std::nullopt);
  if (!rect) return;
  auto zoomed = chart::Zoom(view(), *rect, common::numericValue(s(Text1->text())),
                            common::numericValue(s(Text2->text())),
                            common::numericValue(s(Text3->text())), chart::kPowerMeterZoom);
  if (!zoomed.accepted) return;
  Pc1->pushView(zoomed.view);
}

void PowerMeterWindow::dblClick() {
  band_.hide();
  Pc1->setRubberBand(std::nullopt);
  Pc1->resetZoom();
}

void PowerMeterWindow::typedView() {
  Pc1->pushView(chart::powerMeterReset(
      common::numericValue(s(Text1->text())), common::numericValue(s(Text2->text())),
      common::numericValue(s(Text8->text())), common::numericValue(s(Text9->text()))));
}

void PowerMeterWindow::applyView(const chart::View& v) {
  ViewStart = static_cast<float>(v.start);
  ViewStop = static_cast<float>(v.stop);
  LevelTop = static_cast<float>(v.top);
  LevelBottom = static_cast<float>(v.bottom);
  // The boxes follow the view: the next sweep covers what is shown.
  Text1->setText(q(common::strSingle(ViewStart)));
  Text2->setText(q(common::strSingle(ViewStop)));
  Text8->setText(q(common::shortestText(LevelTop, 7)));
  Text9->setText(q(common::shortestText(LevelBottom, 7)));
  Visualizza();
}

void PowerMeterWindow::newHome() {
  Pc1->setHomeView(view());
  Pc1->setZoomRule(chart::kPowerMeterZoom, TraceStart, TraceStop, Points);
}

void PowerMeterWindow::closeEvent(QCloseEvent* event) {
  // The batch goes first: it may hold crystals not saved yet.
  if (!closed_ && batch_ && !batch_->close()) {
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    pendingSingle_ = false;
    sweepDone_ = nullptr;
    runner_.stop();  // at the point boundary: the pass or table ends here, unsaved
    job_.reset();
    levelJob_.reset();
    quartzJob_.reset();
    SaveVar();
    context_.instrument.switchOff();
  }
  event->accept();
}

CrystalBatchWindow* PowerMeterWindow::crystalBatch() {
  if (!batch_) batch_ = new CrystalBatchWindow(*this, context_.prompter);
  batch_->show();
  batch_->raise();
  batch_->activateWindow();
  return batch_;
}

QWidget* createPowerMeterWindow(common::ui::UiContext& context) {
  return new PowerMeterWindow(context);
}

}  // namespace kolm::powermeter::ui
