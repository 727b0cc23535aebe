// The printing system through Qt: the CUPS printers, plus a file printer that
// writes the page to a PDF file, so that a machine without printers can print.
#pragma once

#include <utility>

#include <QPageLayout>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "print/printer_backend.h"

class QPrinter;

namespace kolm::print::ui {

inline constexpr const char* kPdfPrinterName = "Print to PDF file";

class QtPrinterBackend : public PrinterBackend {
 public:
  // `choosePdfFile` names the file of a print on the file printer (empty: the
  // print is given up).
  explicit QtPrinterBackend(std::function<std::string()> choosePdfFile,
                            QWidget* dialogParent = nullptr);

  void setPdfFileChooser(std::function<std::string()> choosePdfFile) {
    choosePdfFile_ = std::move(choosePdfFile);
  }

  std::vector<std::string> printerNames() override;
  std::string defaultPrinterName() override;
  OpenResult openPrinter(const std::string& name, PrinterSettings& settings) override;
  bool showProperties(const std::string& name, PrinterSettings& settings) override;
  std::optional<SheetSize> sheetSize(const std::string& name,
                                     const PrinterSettings& settings) override;
  PageOutput printImage(const std::string& name, const PrinterSettings& settings,
                        const Bitmap24& image, const PixelRect& rect, int copies,
                        const std::string& title, const PageDrawing* drawing) override;

  // The file the last print on the file printer wrote (empty after a failure),
  // taken once.
  QString takeWrittenFile() { return std::exchange(writtenFile_, QString()); }

  // The page of the file printer for these settings.
  static QPageLayout pdfLayout(const PrinterSettings& settings);
  // The file printer's pixels per inch: a window prints at this resolution.
  static constexpr int kPdfResolution = 300;

 private:
  PageOutput printPdf(const PrinterSettings& settings, const Bitmap24& image, const PixelRect& rect,
                      int copies, const std::string& title, const PageDrawing* drawing);

  std::function<std::string()> choosePdfFile_;
  QPointer<QWidget> dialogParent_;
  QString writtenFile_;
};

}  // namespace kolm::print::ui
