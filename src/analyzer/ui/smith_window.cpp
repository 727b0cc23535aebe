#include "analyzer/ui/smith_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

#include "analyzer/charts.h"
#include "analyzer/readouts.h"
#include "chart/ui/chart_export.h"
#include "chart/ui/disk_chart.h"
#include "chart/ui/sweep_chart.h"
#include "common/reflection.h"
#include "common/status.h"
#include "common/text.h"

namespace kolm::analyzer::ui {

namespace {

QString cursorText(chart::Gamma g) {
  if (std::abs(g) > 1) return QObject::tr("outside the chart: |Γ| > 1");
  const auto z = chart::impedanceOf(g, common::kReferenceOhm);
  const double swr = chart::swrOf(g);
  return QObject::tr("cursor: Z = %1 %2 j%3 Ω, SWR %4, |Γ| %5 at %6°")
      .arg(QString::fromStdString(common::formatPattern(z.real(), "0.0")))
      .arg(z.imag() < 0 ? "-" : "+")
      .arg(QString::fromStdString(common::formatPattern(std::abs(z.imag()), "0.0")))
      .arg(std::isfinite(swr) ? QString::fromStdString(common::formatPattern(swr, "0.00"))
                              : QString("∞"))
      .arg(QString::fromStdString(common::formatPattern(std::abs(g), "0.000")))
      .arg(QString::fromStdString(
          common::formatPattern(std::arg(g) * 180 / std::numbers::pi, "0.0")));
}

}  // namespace

SmithWindow::SmithWindow(hw::ui::UiContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
  setObjectName("smithWindow");
  setWindowTitle(tr("Smith chart"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  kind_ = new QComboBox(this);
  kind_->setObjectName("diskKind");
  kind_->addItems({tr("Smith chart (impedance)"), tr("Polar chart (reflection coefficient)")});
  auto* exportButton = new QPushButton(tr("Export picture..."), this);
  exportButton->setObjectName("exportPicture");
  auto* print = new QPushButton(tr("Print"), this);
  print->setObjectName("print");
  auto* whole = new QPushButton(tr("Whole chart"), this);
  whole->setObjectName("wholeChart");
  row->addWidget(kind_);
  row->addStretch();
  row->addWidget(whole);
  row->addWidget(exportButton);
  row->addWidget(print);
  layout->addLayout(row);
  chart_ = new chart::ui::DiskChart(this);
  layout->addWidget(chart_, 1);
  status_ = new QLabel(tr("Drag to zoom, wheel to zoom about the pointer, double-click for the "
                          "whole chart."),
                       this);
  status_->setObjectName("statusLine");
  status_->setWordWrap(true);  // whole at the window's smallest width
  layout->addWidget(status_);
  connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) {
    chart_->setKind(index == 1 ? chart::DiskKind::Polar : chart::DiskKind::Smith);
  });
  connect(whole, &QPushButton::clicked, this, [this] { chart_->setView({}); });
  connect(exportButton, &QPushButton::clicked, this, &SmithWindow::exportPicture);
  connect(print, &QPushButton::clicked, this, &SmithWindow::print);
  connect(chart_, &chart::ui::DiskChart::cursorMoved, this,
          [this](chart::Gamma g) { status_->setText(cursorText(g)); });
  // The row of buttons whole, and the chart's kind with its longest name.
  kind_->setMinimumWidth(kind_->sizeHint().width());
  setMinimumSize(layout->minimumSize().expandedTo(QSize(470, 480)));
  resize(640, 700);
}

void SmithWindow::showTraces(const TraceValues& live, int points, const TraceValues* memory,
                             int memoryPoints, const chart::MarkerSet& markers) {
  std::vector<chart::ui::DiskTraceView> liveViews(1), memoryViews;
  diskTraceOf(live, points, liveViews[0].trace);
  liveViews[0].colour = chart::ui::paletteQColor(kColorTable[kReturnLoss]);
  liveViews[0].name = tr("live sweep");
  if (memory) {
    memoryViews.resize(1);
    diskTraceOf(*memory, memoryPoints, memoryViews[0].trace);
    memoryViews[0].colour = chart::ui::paletteQColor(kColorTable[kQuantities + kReturnLoss]);
    memoryViews[0].name = tr("memory (dashed)");
    memoryViews[0].dashed = true;
  }
  // Each marker stands on the live point nearest to its frequency and reads it.
  std::vector<chart::ui::DiskMarker> shown;
  QStringList readout;
  for (const auto& m : markers.markers()) {
    const auto i = nearestPoint(live, m.x);
    if (!i || *i >= liveViews[0].trace.points.size() ||
        liveViews[0].trace.marks[*i] == chart::Mark::Invalid)
      continue;
    shown.push_back({m.number, liveViews[0].trace.points[*i]});
    readout << QString("%1: %2 MHz  SWR %3")
                   .arg(m.number)
                   .arg(
                       QString::fromStdString(common::formatPattern(live.frequencies[*i], "0.000")))
                   .arg(QString::fromStdString(quantityText(live, *i, kSwr, std::nullopt, "0.00")))
            << QString("    R %1  X %2%3")
                   .arg(QString::fromStdString(quantityText(live, *i, kResistance)))
                   .arg(QString::fromStdString(quantityText(live, *i, kReactance)))
                   .arg(QString::fromStdString(signNote(live, *i)));
  }
  chart_->setTraces(std::move(liveViews), std::move(memoryViews));
  chart_->setMarkers(std::move(shown), readout);
}

void SmithWindow::setHeading(const QString& heading, bool simulated) {
  heading_ = heading;
  simulated_ = simulated;
}

void SmithWindow::print() {
  const QString title = heading_.isEmpty() ? windowTitle() : windowTitle() + ", " + heading_;
  const common::ui::PrintChart alone = chart::ui::printChart(
      {chart_->size(), chart_->font(), chart_->background(), chart_->foreground(),
       [this](QPainter& p, const QSize& size) { chart_->paintChart(p, size); },
       chart::ui::simulatedNote(simulated_)},
      title);
  const QString written = context_.printWindow(context_.prompter, this, windowTitle(), &alone);
  if (!written.isEmpty())
    status_->setText(QString::fromStdString(common::pdfWrittenText(written.toStdString())));
}

void SmithWindow::exportPicture() {
  const std::string path =
      context_.prompter.saveFileName(tr("Export picture").toStdString(), chart::ui::kPictureFilter);
  if (path.empty()) return;
  const QString error = chart::ui::savePicture(
      {chart_->size(), chart_->font(), chart_->background(), chart_->foreground(),
       [this](QPainter& p, const QSize& size) { chart_->paintChart(p, size); },
       chart::ui::simulatedNote(simulated_)},
      QString::fromStdString(path),
      heading_.isEmpty() ? windowTitle() : windowTitle() + ", " + heading_);
  if (!error.isEmpty()) {
    context_.prompter.message(error.toStdString(), common::Icon::Warning);
    return;
  }
  status_->setText(QString::fromStdString(common::savedToText(path)));
}

}  // namespace kolm::analyzer::ui
