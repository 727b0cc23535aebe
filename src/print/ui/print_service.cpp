#include "print/ui/print_service.h"

#include <QApplication>
#include <QMessageBox>

#include "common/ui/qt_prompter.h"
#include "print/layout.h"
#include "print/ui/bitmap_qt.h"
#include "print/ui/page_drawing.h"
#include "print/ui/print_dialog.h"
#include "print/ui/qt_printer_backend.h"

namespace kolm::print::ui {

Answer askYesNoCancel(const std::string& text, const std::string& title) {
  QMessageBox box(
      QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::unique_ptr<PrintService> PrintService::create(const QString& fileFolder) {
  auto prompter = std::make_unique<common::ui::QtPrompter>(nullptr, fileFolder);
  auto backend = std::make_unique<QtPrinterBackend>(nullptr);
  QtPrinterBackend* qtBackend = backend.get();
  auto service = std::make_unique<PrintService>(std::move(backend), *prompter, askYesNoCancel);
  service->ownPrompter_ = std::move(prompter);
  qtBackend->setPdfFileChooser([s = service.get()] {
    return s->session().prompter().saveFileName("Print to PDF file", "PDF (*.pdf)|*.pdf");
  });
  return service;
}

PrintService::PrintService(std::unique_ptr<PrinterBackend> backend, common::Prompter& prompter,
                           YesNoCancel ask, QObject* parent)
    : QObject(parent), backend_(std::move(backend)) {
  setObjectName("printService");
  session_ = std::make_unique<PrintSession>(*backend_, prompter, std::move(ask));
  // A locale that writes numbers without grouping (the C locale) gets none.
  QLocale locale;
  const bool grouped = !(locale.numberOptions() & QLocale::OmitGroupSeparator);
  session_->state.locale = {QString(locale.decimalPoint()).toStdString(),
                            grouped ? QString(locale.groupSeparator()).toStdString() : ""};
}

PrintService::~PrintService() = default;

SheetMm PrintService::printableSheet(std::optional<int32_t> orientation) {
  SheetMm sheet;
  sheet.ok = session_->printableSheet(sheet.width, sheet.height, orientation);
  return sheet;
}

bool PrintService::show(const PrintSource* source, QWidget* owner, int32_t left, int32_t top,
                        int32_t width, int32_t height, int32_t orientation, const QString& title,
                        float scale) {
  if (!session_->setUp(source, left, top, width, height, orientation, title.toStdString(), scale))
    return false;
  PrintDialog dialog(*session_, owner ? owner->window() : nullptr);
  QCoreApplication::processEvents();
  if (runModal)
    runModal(dialog);
  else
    dialog.exec();
  session_->close();
  return true;
}

bool PrintService::openDialog(QWidget* object, int32_t left, int32_t top, int32_t width,
                              int32_t height, int32_t orientation, const QString& title,
                              float scale, bool pictureBoxAsControl,
                              const common::ui::PrintChart* chart) {
  if (!object) return show(nullptr, nullptr, left, top, width, height, orientation, title, scale);
  PrintSource source;
  source.name = object->objectName().toStdString();
  // A drawing area's own width is its inner width; a window's its outer width.
  source.ownWidth =
      object->isWindow() || pictureBoxAsControl ? object->width() : object->contentsRect().width();
  source.readImage = [this, object] { return readWidget(object, session_->prompter()); };
  source.drawing = windowDrawing(object);
  if (chart && !chart->size.isEmpty()) {
    auto alone = std::make_shared<PrintSource>();
    alone->name = source.name;
    alone->ownWidth = chart->size.width();
    alone->readImage = [this, c = *chart] {
      return readPicture(QPixmap::fromImage(chartImage(c)), session_->prompter());
    };
    alone->drawing = chartDrawing(*chart);
    source.chart = std::move(alone);
  }
  return show(&source, object, left, top, width, height, orientation, title, scale);
}

bool PrintService::openDialog(const QPixmap& picture, const QString& name, int32_t left,
                              int32_t top, int32_t width, int32_t height, int32_t orientation,
                              const QString& title, float scale) {
  PrintSource source;
  source.name = name.toStdString();
  source.ownWidth = picture.width();
  source.readImage = [this, &picture] { return readPicture(picture, session_->prompter()); };
  return show(&source, nullptr, left, top, width, height, orientation, title, scale);
}

QString PrintService::printWindow(QWidget* window, const QString& title,
                                  const common::ui::PrintChart* chart) {
  auto* qtBackend = dynamic_cast<QtPrinterBackend*>(backend_.get());
  if (qtBackend) qtBackend->takeWrittenFile();
  SheetMm sheet = printableSheet(kLandscape);
  // A printer that cannot be used has said so; the dialog would only say it again.
  if (sheet.width < 0) return {};
  // The window in its own proportions: stretched to the sheet's, a round chart
  // would print as an ellipse.
  MmRect fit =
      fitInSheet(window && window->height() > 0 ? double(window->width()) / window->height() : 0,
                 sheet.width, sheet.height);
  if (fit.w == 0) fit = {0, 0, sheet.width, sheet.height};
  openDialog(window, 0, 0, fit.w, fit.h, 0, title, 500000, false, chart);
  return qtBackend ? qtBackend->takeWrittenFile() : QString();
}

QString printWindow(PrintService& service, common::Prompter& prompter, QWidget* window,
                    const QString& title, const common::ui::PrintChart* chart) {
  common::Prompter& previous = service.session().prompter();
  service.setPrompter(prompter);
  QString written = service.printWindow(window, title, chart);
  service.setPrompter(previous);
  return written;
}

}  // namespace kolm::print::ui
