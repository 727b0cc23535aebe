// Everything the print dialog object keeps. The printer fields, the kept settings
// and the copies live as long as the program; the layout fields and the picture
// are set afresh each time the dialog opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "print/bitmap.h"
#include "print/printer_backend.h"

#include "common/tr.h"

namespace kolm::print {

// Separators of the user's locale, used to show and read the scale.
struct LocaleSeparators {
  std::string decimal = ".";
  std::string thousands = ",";
};

struct MmRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
  bool operator==(const MmRect&) const = default;
};

struct PrintDialogState {
  // ---- layout: the sheet and the print rectangle, in mm ----
  int32_t sheetWidthMm = 0;
  int32_t sheetHeightMm = 0;
  int32_t docXMm = 0;
  int32_t docYMm = 0;
  int32_t docWidthMm = 0;
  int32_t docHeightMm = 0;
  float aspectRatio = 1;
  float scaleBase = 0;

  // The text boxes are the masters of the rectangle fields.
  std::string xText, yText, widthText, heightText;
  std::string scaleText;
  std::string scaleLabel = KOLM_TR_NOOP("kolm", "Sca&le:");
  bool scaleEditable = true;
  bool keepProportions = true;  // "&Fix Dimensions"
  bool centred = false;         // "Center Print"

  // What the last Preview showed: the rectangle drawn on the small sheet and the
  // out-of-sheet indication (label visible and blink timer running).
  MmRect previewed;
  bool outOfSheet = false;
  bool blinkRed = false;

  // ---- printer ----
  std::string printerName;            // used for printing, kept for the next call
  std::string selectedPrinter;        // chosen in the list
  std::vector<std::string> printers;  // the list's entries
  int printerIndex = -1;              // the entry selected in it
  bool printerOpen = false;
  PrinterSettings printerSettings;
  PrinterSettings savedPrinterSettings;
  int32_t copies = 0;
  int32_t savedCopies = 0;
  std::string copiesText;
  std::optional<int16_t> colourMode;

  // ---- this opening ----
  bool hasSource = false;
  bool chartOffered = false;  // the picture has a chart that prints alone
  bool chartOnly = false;     // "Chart only": it does
  int32_t requestedOrientation = 0;
  std::string docTitle;
  std::optional<Bitmap24> image;  // the kept picture
  LocaleSeparators locale;

  MmRect rect() const { return {docXMm, docYMm, docWidthMm, docHeightMm}; }
};

}  // namespace kolm::print
