// The print dialog object: what it keeps between calls (printer, settings, copies),
// the two operations the measuring windows call, the printer operations and the
// dialog's events apart from the widgets. Messages go through the Prompter as one
// critical box titled " Errore in frmStampaFCPB/" and the procedure's name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/prompter.h"
#include "print/layout.h"
#include "print/printer_backend.h"
#include "print/state.h"

namespace kolm::print {

enum class Answer { Yes, No, Cancel };
// A question with Yes, No and Cancel buttons and the question icon.
using YesNoCancel = std::function<Answer(const std::string& text, const std::string& title)>;

// What went wrong in the set-up or the page output, as its message says it: a
// number ("Codice di errore = 482") and a description.
enum class PrintError { BadArgument, Printer };
int errorNumber(PrintError error);
std::string errorDescription(PrintError error);

// A picture handed to the print dialog.
struct PrintSource {
  std::string name;     // shown as the title when none is given
  double ownWidth = 0;  // the scale's base when no scale is given
  // Reads the picture; empty when it cannot be read (after its own message).
  std::function<std::optional<Bitmap24>()> readImage;
  // The same picture drawn at the printer's resolution (none: the bitmap is printed).
  std::shared_ptr<const PageDrawing> drawing;
  // The window's chart alone, offered as "Chart only" (none: the dialog has no
  // such choice).
  std::shared_ptr<const PrintSource> chart;
};

class PrintSession {
 public:
  PrintSession(PrinterBackend& backend, common::Prompter& prompter, YesNoCancel ask);

  PrintDialogState state;

  PrinterBackend& backend() { return *backend_; }
  common::Prompter& prompter() { return *prompter_; }
  void setPrompter(common::Prompter& prompter) { prompter_ = &prompter; }

  // ---- the callers' operations ----
  // Sets the orientation (1 portrait, 2 landscape) of the current printer and gives
  // its printable sheet in mm; -1 and -1 with false when the printer cannot be used.
  bool printableSheet(int32_t& widthMm, int32_t& heightMm,
                      std::optional<int32_t> newOrientation = {});
  // Opening the print dialog, up to its showing: printer, arguments, picture and the
  // layout's starting values. Without a source the dialog only chooses the printer.
  // False after a failure (its message shown, nothing kept of this opening).
  bool setUp(const PrintSource* source, int32_t docXMm, int32_t docYMm, int32_t docWidthMm,
             int32_t docHeightMm, int32_t orientation, const std::string& title, float scale);

  // ---- printer operations ----
  std::string defaultPrinterName();
  // An empty name means the default printer (the name comes back filled in); a
  // printer that cannot be used comes back as an empty name.
  bool openPrinter(std::string& name);
  bool applySettings(const std::string& name);
  void showPrinterProperties(const std::string& name);
  bool sheetSize(const std::string& name, int32_t& widthMm, int32_t& heightMm,
                 int32_t& orientation);
  // The whole print: fit check, mm to printer pixels, one page per copy.
  bool printDocument(const MmRect& rect, const std::string& title);

  // ---- dialog events ----
  // Each time the dialog shows: keeps the settings and copies for Exit, fills the
  // printer list and selects the kept printer (reading its sheet).
  void activate();
  void selectPrinter(int index);
  void showSheet();
  void editPrinterProperties();
  // True when the print went through and the dialog closes; a copies box that
  // holds no count of at least 1 is refused with its message, nothing printed.
  bool print();
  // OK: the chosen printer is kept; the dialog closes.
  void accept();
  // Exit: the settings and copies kept by activate() come back; the dialog closes.
  void cancel();
  // "Chart only" chosen or left: the picture becomes the chart alone (or the
  // whole window again), and the rectangle the largest of its proportions on the
  // sheet. False (nothing changed) when there is no chart or it cannot be read.
  bool setChartOnly(bool chartOnly);
  // The copies box as typed.
  void setCopiesText(std::string text);
  // Why the copies box cannot be printed: empty when it holds a number that
  // rounds to 1 or more.
  std::string copiesProblem() const;
  // The dialog closes: the picture is released.
  void close();

  // "  Printer settings " or "  Print of: " and the title.
  std::string caption() const;

 private:
  void critical(const std::string& text, const std::string& procedure);
  bool setUpFailure(const std::string& text, PrintError error);
  bool printPicture(const PixelRect& rect, bool device, const std::string& title);
  void resetLayout();

  // The picture of this opening (the window's or its chart).
  const PrintSource* shown() const;

  PrinterBackend* backend_;
  common::Prompter* prompter_;
  YesNoCancel ask_;
  std::optional<PrintSource> source_;
};

}  // namespace kolm::print
