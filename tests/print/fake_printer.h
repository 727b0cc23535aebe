// A printing system for tests: a few printers with their own settings and sheets,
// a scriptable properties dialog, and a record of every print.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "print/printer_backend.h"

namespace kolm::test {

struct FakePrinter {
  std::string name;
  print::PrinterSettings current{print::kPortrait, 9, 1, print::kColour};
  bool accessible = true;
  bool refusesSettings = false;
};

class FakePrinterBackend : public print::PrinterBackend {
 public:
  static constexpr int kPxPerMm = 24;

  struct Job {
    print::PixelRect rect;
    int copies = 0;
    int imageWidth = 0, imageHeight = 0;  // the kept picture's
    const print::PageDrawing* drawing = nullptr;
  };

  std::vector<FakePrinter> printers{{"Laser"}, {"Inkjet"}};
  std::string defaultName = "Laser";
  // The properties dialog: changes the settings and answers OK (true) or Cancel.
  std::function<bool(print::PrinterSettings&)> propertiesDialog;
  std::vector<print::PrinterSettings> propertiesShownWith;
  std::optional<print::PageOutput> failure;  // answered instead of printing
  std::vector<Job> jobs;

  // Printable area in portrait by paper code.
  static print::SheetSize portraitSheet(int paper) {
    int w = 200, h = 287;              // A4
    if (paper == 1) w = 206, h = 269;  // Letter
    if (paper == 8) w = 287, h = 410;  // A3
    return {w, h, w * kPxPerMm, h * kPxPerMm};
  }

  FakePrinter* find(const std::string& name) {
    for (auto& p : printers)
      if (p.name == name) return &p;
    return nullptr;
  }

  std::vector<std::string> printerNames() override {
    std::vector<std::string> out;
    for (const auto& p : printers) out.push_back(p.name);
    return out;
  }
  std::string defaultPrinterName() override { return defaultName; }

  print::OpenResult openPrinter(const std::string& name, print::PrinterSettings& dm) override {
    FakePrinter* p = find(name);
    if (!p || !p->accessible) return print::OpenResult::NoAccess;
    if (p->refusesSettings) return print::OpenResult::SettingsRefused;
    // What the caller asks for over the printer's own settings.
    for (auto field : {&print::PrinterSettings::orientation, &print::PrinterSettings::paperCode,
                       &print::PrinterSettings::copies, &print::PrinterSettings::colourMode})
      if (!(dm.*field)) dm.*field = p->current.*field;
    return print::OpenResult::Ok;
  }

  bool showProperties(const std::string&, print::PrinterSettings& dm) override {
    propertiesShownWith.push_back(dm);
    return propertiesDialog ? propertiesDialog(dm) : false;
  }

  std::optional<print::SheetSize> sheetSize(const std::string& name,
                                            const print::PrinterSettings& dm) override {
    FakePrinter* p = find(name);
    if (!p) return std::nullopt;
    print::SheetSize s = portraitSheet(dm.paperCode ? dm.paperCode : p->current.paperCode);
    if (dm.orientation == print::kLandscape) {
      std::swap(s.widthMm, s.heightMm);
      std::swap(s.widthPx, s.heightPx);
    }
    return s;
  }

  print::PageOutput printImage(const std::string&, const print::PrinterSettings&,
                               const print::Bitmap24& image, const print::PixelRect& rect,
                               int copies, const std::string&,
                               const print::PageDrawing* drawing) override {
    if (failure) return *failure;
    jobs.push_back({rect, copies, image.width, image.height, drawing});
    print::PageOutput out;
    out.copiesDone = copies;
    return out;
  }
};

}  // namespace kolm::test
