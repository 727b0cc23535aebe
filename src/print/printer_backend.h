// What the print dialog asks of the printing system: the installed printers, the
// default one, a printer's settings merged with the kept ones, its own settings
// dialog, the printable sheet, and the output of one picture in a number of copies.
// The Qt implementation lives in print/ui; tests use a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "print/bitmap.h"

namespace kolm::print {

inline constexpr int16_t kPortrait = 1;
inline constexpr int16_t kLandscape = 2;
inline constexpr int16_t kMonochrome = 1;
inline constexpr int16_t kColour = 2;

// The kept printer settings. A field of 0 is not set: the printer's own current
// setting is used for it. Paper codes are the usual numeric paper codes (9 = A4,
// 1 = Letter ...; see paperName).
struct PrinterSettings {
  int16_t orientation = 0;  // 1 portrait, 2 landscape
  int16_t paperCode = 0;
  int16_t copies = 0;
  int16_t colourMode = 0;  // 1 monochrome, 2 colour
  bool operator==(const PrinterSettings&) const = default;
};

// The printable area of the sheet for a set of settings.
struct SheetSize {
  int32_t widthMm = 0;  // whole millimetres
  int32_t heightMm = 0;
  int32_t widthPx = 0;  // printer pixels
  int32_t heightPx = 0;
};

struct PixelRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class OpenResult { Ok, NoAccess, SettingsRefused };

// A picture the back end draws itself, at the page's own resolution: a window
// painted anew at the printer's pixels, or a chart drawn as lines and text. The
// kept bitmap is then the preview's only. What it holds is the back end's
// business (the windows make the Qt one); a back end that cannot draw it prints
// the bitmap.
class PageDrawing {
 public:
  virtual ~PageDrawing() = default;
};

// How the output of a print went.
struct PageOutput {
  enum class Stop {
    None,       // every copy was output
    NoDevice,   // the printer could not be reached for output
    StartDoc,   // a document could not be started
    Page,       // a page step failed: the four steps below tell which
    Cancelled,  // the user gave up (for instance no file chosen for a file printer)
  };
  Stop stop = Stop::None;
  int copiesDone = 0;
  // The steps of the last copy, non-zero where the step succeeded; a document
  // not ended keeps the previous copy's value (0 on the first).
  int pageStarted = 0, pictureDrawn = 0, pageEnded = 0, documentEnded = 0;
};

class PrinterBackend {
 public:
  virtual ~PrinterBackend() = default;
  // Installed printers by name, in the system's order.
  virtual std::vector<std::string> printerNames() = 0;
  // The default printer's name; empty when there is none.
  virtual std::string defaultPrinterName() = 0;
  // Reaches the printer and merges the fields set in `settings` into its current
  // settings; `settings` receives the full result.
  virtual OpenResult openPrinter(const std::string& name, PrinterSettings& settings) = 0;
  // The printer's own settings dialog over `settings`; true (and `settings` updated)
  // when the user confirmed it.
  virtual bool showProperties(const std::string& name, PrinterSettings& settings) = 0;
  // The printable area for these settings; empty when the printer gives none.
  virtual std::optional<SheetSize> sheetSize(const std::string& name,
                                             const PrinterSettings& settings) = 0;
  // Stretches the whole picture into `rect` (printer pixels from the top-left
  // corner of the printable area) on one page, once per copy; `drawing`, when
  // given, is drawn there instead of the bitmap.
  virtual PageOutput printImage(const std::string& name, const PrinterSettings& settings,
                                const Bitmap24& image, const PixelRect& rect, int copies,
                                const std::string& title, const PageDrawing* drawing) = 0;
};

}  // namespace kolm::print
