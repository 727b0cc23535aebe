// The analyzer window's file, memory and print commands.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "analyzer/files.h"
#include "analyzer/ui/analyzer_view.h"
#include "common/files.h"
#include "common/status.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/ui/recent_files.h"
#include "print/ui/stampa.h"

namespace kolm::analyzer::ui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

// ---- printing ----

void AnalyzerWindow::PrintScreen_Click() {
  // The window is printed as it looks: a pass must not change it under the dialog.
  stopSweep();
  // On paper the chart stands on the button-face colour, its labels in black.
  chart_->setColours(palette().color(QPalette::Button), Qt::black,
                     chart::ui::paletteQColor(kGridColor));
  Visualizza();
  QCoreApplication::processEvents();
  text_[6]->setText("Screen");
  const QString written = print::ui::printWindow(context_.prompter, this, text_[6]->text());
  if (!written.isEmpty()) setStatus(common::pdfWrittenText(written.toStdString()));
  chart_->setColours(Qt::black, palette().color(QPalette::Window),
                     chart::ui::paletteQColor(kGridColor));
  graph_sizing();
  griglia();
  Visualizza();
}

// ---- files and the memory trace ----

void AnalyzerWindow::showFileName(const std::string& name) {
  label1_->show();
  text_[6]->setText(qs(name));
}

// A chart just read becomes the live measurement, shown whole. A pass under way
// would overwrite it, so it is stopped first.
void AnalyzerWindow::showOpenedChart(const ChartData& chart) {
  stopSweep();
  m_.openChart(chart);
  chart_->setNote({});
  newHome();
  text_[1]->setText(qs(common::shortestText(m_.ViewStart)));
  text_[2]->setText(qs(common::shortestText(m_.ViewStop)));
  text_[3]->setText(QString::number(m_.Points));
  graph_sizing();
  Visualizza();
}

void AnalyzerWindow::Mfilevna_Click() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVnaFilter);
  if (!name.empty()) openVna(name);
}

void AnalyzerWindow::openVna(const std::string& name) {
  showFileName(name);
  const VnaReadResult read = readVna(name);
  if (!read.ok()) {
    context_.prompter.message(
        tr("The chart file cannot be read.\n%1").arg(qs(read.error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  recent_->add(qs(name));
  showOpenedChart(read.chart);
}

void AnalyzerWindow::Mfilevec_Click() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVecFilter);
  if (!name.empty()) openVec(name);
}

void AnalyzerWindow::openVec(const std::string& name) {
  showFileName(name);
  const VecReadResult read = readVec(name);
  if (!read.ok()) {
    context_.prompter.message(read.message(), common::Icon::Warning);
    return;
  }
  recent_->add(qs(name));
  showOpenedChart(read.chart);
}

void AnalyzerWindow::openRecent(const QString& path) {
  if (path.endsWith(".vec", Qt::CaseInsensitive))
    openVec(path.toStdString());
  else
    openVna(path.toStdString());
}

void AnalyzerWindow::Save_Click() {
  const std::string name =
      context_.prompter.saveFileName(KOLM_TR_NOOP("kolm", "Save File "), kVnaFilter);
  showFileName(name);
  if (name.empty()) return;
  std::string error;
  if (!common::writeFileAtomic(name, formatVna(m_.savedChart()), &error)) {
    context_.prompter.message(
        tr("The chart file cannot be written.\n%1").arg(qs(error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  recent_->add(qs(name));
  setStatus(common::savedToText(name));
}

void AnalyzerWindow::ScrMem_Click() {
  m_.copyLiveToMemory();
  memoryName_ = tr("this screen");
  check1_->setChecked(true);
  Visualizza();
}

void AnalyzerWindow::FilinMem_Click() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVnaFilter);
  if (name.empty()) return;
  showFileName(name);
  const VnaReadResult read = readVna(name);
  if (!read.ok()) {
    context_.prompter.message(
        tr("The chart file cannot be read.\n%1").arg(qs(read.error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  m_.loadMemory(read.chart);
  memoryName_ = QFileInfo(qs(name)).fileName();
  check1_->setChecked(true);
  Visualizza();
}

void AnalyzerWindow::Check1_Click() {
  // Ticked with nothing in memory: the screen goes there first, so the memory
  // traces start out on the live ones. Clearing the box never refills it.
  if (check1_->isChecked() && m_.memoryEmpty()) {
    ScrMem_Click();
    return;
  }
  Visualizza();
}

}  // namespace kolm::analyzer::ui
