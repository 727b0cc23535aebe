#include "print/ui/qt_printer_backend.h"

#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <memory>

#include "common/ui/qt_text.h"
#include "print/ui/bitmap_qt.h"
#include "print/ui/page_drawing.h"
#include "print/ui/printer_properties.h"

namespace kolm::print::ui {

namespace {

bool isPdf(const std::string& name) { return name == kPdfPrinterName; }
using common::ui::q;

QPageSize pageSizeOf(int16_t paperCode, const QPageSize& fallback) {
  if (paperCode <= 0) return fallback;
  QPageSize size(QPageSize::id(paperCode));
  return size.isValid() ? size : fallback;
}

int16_t paperCodeOf(const QPageSize& size) {
  int id = size.windowsId();
  return static_cast<int16_t>(id > 0 ? id : 256);  // no usual code: "User"
}

QPageSize localPaper() {
  return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
             ? QPageSize(QPageSize::Letter)
             : QPageSize(QPageSize::A4);
}

// The printer's own current settings.
PrinterSettings ownSettings(const std::string& name) {
  PrinterSettings dm;
  dm.copies = 1;
  if (isPdf(name)) {
    dm.orientation = kPortrait;
    dm.paperCode = paperCodeOf(localPaper());
    dm.colourMode = kColour;
    return dm;
  }
  QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
  QPrinter printer(info, QPrinter::HighResolution);
  dm.orientation =
      printer.pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
  dm.paperCode = paperCodeOf(info.defaultPageSize().isValid() ? info.defaultPageSize()
                                                              : printer.pageLayout().pageSize());
  dm.colourMode = info.defaultColorMode() == QPrinter::GrayScale ? kMonochrome : kColour;
  return dm;
}

void configure(QPrinter& printer, const PrinterSettings& dm) {
  printer.setPageSize(pageSizeOf(dm.paperCode, printer.pageLayout().pageSize()));
  printer.setPageOrientation(dm.orientation == kLandscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
  printer.setColorMode(dm.colourMode == kMonochrome ? QPrinter::GrayScale : QPrinter::Color);
  printer.setCopyCount(1);  // copies are separate documents
}

SheetSize sheetOf(const QPageLayout& layout, int resolution) {
  QRectF mm = layout.paintRect(QPageLayout::Millimeter);
  QRect px = layout.paintRectPixels(resolution);
  return {static_cast<int32_t>(std::lround(mm.width())),
          static_cast<int32_t>(std::lround(mm.height())), px.width(), px.height()};
}

QImage pageImage(const Bitmap24& image, bool grey) {
  if (!grey) return imageView(image);
  Bitmap24 copy = image;
  makeGrey(copy);
  return imageView(copy).copy();
}

}  // namespace

QtPrinterBackend::QtPrinterBackend(std::function<std::string()> choosePdfFile,
                                   QWidget* dialogParent)
    : choosePdfFile_(std::move(choosePdfFile)), dialogParent_(dialogParent) {}

std::vector<std::string> QtPrinterBackend::printerNames() {
  std::vector<std::string> names;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(n.toStdString());
  names.push_back(kPdfPrinterName);
  return names;
}

std::string QtPrinterBackend::defaultPrinterName() {
  QString name = QPrinterInfo::defaultPrinterName();
  if (!name.isEmpty()) return name.toStdString();
  QStringList all = QPrinterInfo::availablePrinterNames();
  return all.isEmpty() ? std::string(kPdfPrinterName) : all.front().toStdString();
}

OpenResult QtPrinterBackend::openPrinter(const std::string& name, PrinterSettings& settings) {
  if (name.empty()) return OpenResult::NoAccess;
  if (!isPdf(name) && QPrinterInfo::printerInfo(q(name)).isNull()) return OpenResult::NoAccess;
  PrinterSettings merged = ownSettings(name);
  if (settings.orientation) merged.orientation = settings.orientation;
  if (settings.paperCode && pageSizeOf(settings.paperCode, QPageSize()).isValid())
    merged.paperCode = settings.paperCode;
  if (settings.copies) merged.copies = settings.copies;
  if (settings.colourMode) merged.colourMode = settings.colourMode;
  settings = merged;
  return OpenResult::Ok;
}

QPageLayout QtPrinterBackend::pdfLayout(const PrinterSettings& settings) {
  return QPageLayout(
      pageSizeOf(settings.paperCode, localPaper()),
      settings.orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

bool QtPrinterBackend::showProperties(const std::string& name, PrinterSettings& settings) {
  QList<QPageSize> papers = pdfPapers();
  bool colour = true;
  if (!isPdf(name)) {
    QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
    if (info.isNull()) return false;
    if (!info.supportedPageSizes().isEmpty()) papers = info.supportedPageSizes();
    colour = info.supportedColorModes().contains(QPrinter::Color);
  }
  PrinterPropertiesDialog dialog(q(name), settings, papers, colour, dialogParent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.settings();
  return true;
}

std::optional<SheetSize> QtPrinterBackend::sheetSize(const std::string& name,
                                                     const PrinterSettings& settings) {
  if (isPdf(name)) return sheetOf(pdfLayout(settings), kPdfResolution);
  QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
  if (info.isNull()) return std::nullopt;
  QPrinter printer(info, QPrinter::HighResolution);
  configure(printer, settings);
  SheetSize sheet = sheetOf(printer.pageLayout(), printer.resolution());
  if (sheet.widthMm <= 0 || sheet.heightMm <= 0) return std::nullopt;
  return sheet;
}

PageOutput QtPrinterBackend::printImage(const std::string& name, const PrinterSettings& settings,
                                        const Bitmap24& image, const PixelRect& rect, int copies,
                                        const std::string& title, const PageDrawing* drawing) {
  if (isPdf(name)) return printPdf(settings, image, rect, copies, title, drawing);
  PageOutput out;
  QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
  if (info.isNull()) {
    out.stop = PageOutput::Stop::NoDevice;
    return out;
  }
  QImage picture = imageView(image);
  QRect target(rect.x, rect.y, rect.w, rect.h);
  for (int copy = 0; copy < copies; ++copy) {
    // Each copy is a document of its own.
    QPrinter printer(info, QPrinter::HighResolution);
    configure(printer, settings);
    printer.setDocName(q(title));
    QPainter painter;
    if (!painter.begin(&printer)) {
      out.stop = PageOutput::Stop::StartDoc;
      return out;
    }
    out.pageStarted = 1;
    drawOnPage(painter, drawing, target, picture);
    out.pictureDrawn = 1;
    out.pageEnded = printer.printerState() == QPrinter::Error ? 0 : 1;
    out.documentEnded = painter.end() && printer.printerState() != QPrinter::Error ? 1 : 0;
    if (!out.pageEnded || !out.documentEnded) {
      out.stop = PageOutput::Stop::Page;
      return out;
    }
    ++out.copiesDone;
  }
  return out;
}

PageOutput QtPrinterBackend::printPdf(const PrinterSettings& settings, const Bitmap24& image,
                                      const PixelRect& rect, int copies, const std::string& title,
                                      const PageDrawing* drawing) {
  PageOutput out;
  std::string chosen = choosePdfFile_ ? choosePdfFile_() : std::string();
  if (chosen.empty()) {
    out.stop = PageOutput::Stop::Cancelled;
    return out;
  }
  QString path = q(chosen);
  if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";

  // One file, one page per copy, written whole or not at all.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    out.stop = PageOutput::Stop::StartDoc;
    return out;
  }
  QImage picture = pageImage(image, settings.colourMode == kMonochrome);
  {
    QPdfWriter writer(&file);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(pdfLayout(settings));
    writer.setTitle(q(title));
    writer.setCreator("Kolm");
    QPainter painter;
    if (!painter.begin(&writer)) {
      file.cancelWriting();
      out.stop = PageOutput::Stop::StartDoc;
      return out;
    }
    QRect target(rect.x, rect.y, rect.w, rect.h);
    for (int copy = 0; copy < copies; ++copy) {
      out.pageStarted = copy == 0 ? 1 : writer.newPage() ? 1 : 0;
      if (!out.pageStarted) break;
      drawOnPage(painter, drawing, target, picture);
      out.pictureDrawn = out.pageEnded = 1;
      ++out.copiesDone;
    }
    out.documentEnded = painter.end() ? 1 : 0;
  }
  if (out.pageStarted && out.documentEnded && file.commit()) {
    writtenFile_ = QFileInfo(path).absoluteFilePath();
    return out;
  }
  file.cancelWriting();
  out.documentEnded = 0;
  out.stop = PageOutput::Stop::Page;
  out.copiesDone = 0;
  return out;
}

}  // namespace kolm::print::ui
