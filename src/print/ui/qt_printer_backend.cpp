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

#include "print/ui/bitmap_qt.h"
#include "print/ui/page_drawing.h"
#include "print/ui/printer_properties.h"

namespace kolm::print::ui {

namespace {

bool isPdf(const std::string& name) { return name == kPdfPrinterName; }
QString q(const std::string& s) { return QString::fromStdString(s); }

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
DevMode ownSettings(const std::string& name) {
  DevMode dm;
  dm.dmCopies = 1;
  if (isPdf(name)) {
    dm.dmOrientation = kPortrait;
    dm.dmPaperSize = paperCodeOf(localPaper());
    dm.dmColor = kColour;
    return dm;
  }
  QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
  QPrinter printer(info, QPrinter::HighResolution);
  dm.dmOrientation =
      printer.pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
  dm.dmPaperSize = paperCodeOf(info.defaultPageSize().isValid() ? info.defaultPageSize()
                                                                : printer.pageLayout().pageSize());
  dm.dmColor = info.defaultColorMode() == QPrinter::GrayScale ? kMonochrome : kColour;
  return dm;
}

void configure(QPrinter& printer, const DevMode& dm) {
  printer.setPageSize(pageSizeOf(dm.dmPaperSize, printer.pageLayout().pageSize()));
  printer.setPageOrientation(dm.dmOrientation == kLandscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
  printer.setColorMode(dm.dmColor == kMonochrome ? QPrinter::GrayScale : QPrinter::Color);
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
  GrayScaleDib(copy);
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

OpenResult QtPrinterBackend::openPrinter(const std::string& name, DevMode& devMode) {
  if (name.empty()) return OpenResult::NoAccess;
  if (!isPdf(name) && QPrinterInfo::printerInfo(q(name)).isNull()) return OpenResult::NoAccess;
  DevMode merged = ownSettings(name);
  if (devMode.dmOrientation) merged.dmOrientation = devMode.dmOrientation;
  if (devMode.dmPaperSize && pageSizeOf(devMode.dmPaperSize, QPageSize()).isValid())
    merged.dmPaperSize = devMode.dmPaperSize;
  if (devMode.dmCopies) merged.dmCopies = devMode.dmCopies;
  if (devMode.dmColor) merged.dmColor = devMode.dmColor;
  devMode = merged;
  return OpenResult::Ok;
}

QPageLayout QtPrinterBackend::pdfLayout(const DevMode& devMode) {
  return QPageLayout(
      pageSizeOf(devMode.dmPaperSize, localPaper()),
      devMode.dmOrientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

bool QtPrinterBackend::showProperties(const std::string& name, DevMode& devMode) {
  QList<QPageSize> papers = pdfPapers();
  bool colour = true;
  if (!isPdf(name)) {
    QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
    if (info.isNull()) return false;
    if (!info.supportedPageSizes().isEmpty()) papers = info.supportedPageSizes();
    colour = info.supportedColorModes().contains(QPrinter::Color);
  }
  PrinterPropertiesDialog dialog(q(name), devMode, papers, colour, dialogParent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  devMode = dialog.settings();
  return true;
}

std::optional<SheetSize> QtPrinterBackend::sheetSize(const std::string& name,
                                                     const DevMode& devMode) {
  if (isPdf(name)) return sheetOf(pdfLayout(devMode), kPdfResolution);
  QPrinterInfo info = QPrinterInfo::printerInfo(q(name));
  if (info.isNull()) return std::nullopt;
  QPrinter printer(info, QPrinter::HighResolution);
  configure(printer, devMode);
  SheetSize sheet = sheetOf(printer.pageLayout(), printer.resolution());
  if (sheet.widthMm <= 0 || sheet.heightMm <= 0) return std::nullopt;
  return sheet;
}

PageOutput QtPrinterBackend::printImage(const std::string& name, const DevMode& devMode,
                                        const Bitmap24& image, const PixelRect& rect, int copies,
                                        const std::string& title, const PageDrawing* drawing) {
  if (isPdf(name)) return printPdf(devMode, image, rect, copies, title, drawing);
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
    configure(printer, devMode);
    printer.setDocName(q(title));
    QPainter painter;
    if (!painter.begin(&printer)) {
      out.stop = PageOutput::Stop::StartDoc;
      return out;
    }
    out.r1 = 1;
    drawOnPage(painter, drawing, target, picture);
    out.r2 = 1;
    out.r3 = printer.printerState() == QPrinter::Error ? 0 : 1;
    out.r4 = painter.end() && printer.printerState() != QPrinter::Error ? 1 : 0;
    if (!out.r3 || !out.r4) {
      out.stop = PageOutput::Stop::Page;
      return out;
    }
    ++out.copiesDone;
  }
  return out;
}

PageOutput QtPrinterBackend::printPdf(const DevMode& devMode, const Bitmap24& image,
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
  QImage picture = pageImage(image, devMode.dmColor == kMonochrome);
  {
    QPdfWriter writer(&file);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(pdfLayout(devMode));
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
      out.r1 = copy == 0 ? 1 : writer.newPage() ? 1 : 0;
      if (!out.r1) break;
      drawOnPage(painter, drawing, target, picture);
      out.r2 = out.r3 = 1;
      ++out.copiesDone;
    }
    out.r4 = painter.end() ? 1 : 0;
  }
  if (out.r1 && out.r4 && file.commit()) {
    writtenFile_ = QFileInfo(path).absoluteFilePath();
    return out;
  }
  file.cancelWriting();
  out.r4 = 0;
  out.stop = PageOutput::Stop::Page;
  out.copiesDone = 0;
  return out;
}

}  // namespace kolm::print::ui
