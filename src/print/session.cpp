#include "print/session.h"

#include <algorithm>

#include "common/settings_file.h"
#include "common/tr.h"
#include "common/typed_number.h"

namespace kolm::print {

namespace {
constexpr const char* kErrorTitle = KOLM_TR_NOOP("kolm", " Errore in frmStampaFCPB/");

std::string printFailureTail(PrintError error) {
  return common::arg(KOLM_TR("kolm",
                             "La funzione di Stampa\nha trovato una situazione imprevista.\n\n"
                             "Codice di errore = %1\n"),
                     {std::to_string(errorNumber(error))}) +
         errorDescription(error);
}
}  // namespace

int errorNumber(PrintError error) { return error == PrintError::BadArgument ? 5 : 482; }

std::string errorDescription(PrintError error) {
  return error == PrintError::BadArgument ? "Invalid procedure call or argument" : "Printer error";
}

PrintSession::PrintSession(PrinterBackend& backend, common::Prompter& prompter, YesNoCancel ask)
    : backend_(&backend), prompter_(&prompter), ask_(std::move(ask)) {}

void PrintSession::critical(const std::string& text, const std::string& procedure) {
  prompter_->message(text, common::Icon::Critical, KOLM_TR("kolm", kErrorTitle) + procedure);
}

// ---- printer operations ----

std::string PrintSession::defaultPrinterName() {
  std::string name = backend_->defaultPrinterName();
  if (name.empty())
    critical(KOLM_TR("kolm", "Stampante di default non specificata."), "GetDefPrinterName");
  return name;
}

bool PrintSession::openPrinter(std::string& name) {
  state.printerOpen = false;
  if (name.empty()) name = defaultPrinterName();
  if (name.empty()) return false;
  PrinterSettings merged = state.printerSettings;
  switch (backend_->openPrinter(name, merged)) {
    case OpenResult::Ok:
      state.printerSettings = merged;
      state.printerOpen = true;
      return true;
    case OpenResult::NoAccess:
      critical(KOLM_TR("kolm", "Non posso accedere alla stampante richiesta.\n"), "OpenDocPrinter");
      break;
    case OpenResult::SettingsRefused:
      critical(KOLM_TR("kolm", "DocumentProperties non funziona.\n"), "OpenDocPrinter");
      break;
  }
  name.clear();
  return false;
}

bool PrintSession::applySettings(const std::string& name) {
  if (!state.printerOpen) return false;
  PrinterSettings merged = state.printerSettings;
  bool ok = backend_->openPrinter(name, merged) == OpenResult::Ok;
  state.printerSettings = merged;
  return ok;
}

void PrintSession::showPrinterProperties(const std::string& name) {
  if (!state.printerOpen) return;
  PrinterSettings edited = state.printerSettings;
  if (backend_->showProperties(name, edited)) state.printerSettings = edited;
}

bool PrintSession::sheetSize(const std::string& name, int32_t& widthMm, int32_t& heightMm,
                             int32_t& orientation) {
  if (name.empty()) {
    widthMm = heightMm = orientation = -1;
    return false;
  }
  orientation = state.printerSettings.orientation;
  auto sheet = backend_->sheetSize(name, state.printerSettings);
  widthMm = sheet ? sheet->widthMm : 0;
  heightMm = sheet ? sheet->heightMm : 0;
  return sheet.has_value();
}

bool PrintSession::printDocument(const MmRect& rect, const std::string& title) {
  const std::string& name = state.printerName;
  std::optional<SheetSize> sheet;
  if (!name.empty()) sheet = backend_->sheetSize(name, state.printerSettings);
  if (!sheet) return printPicture({}, false, title);

  MmRect r = rect;
  if (exceedsSheet(r, sheet->widthMm, sheet->heightMm)) {
    Answer answer =
        ask_ ? ask_(KOLM_TR("kolm", kFitQuestion), KOLM_TR("kolm", kFitTitle)) : Answer::Cancel;
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) r = shrinkToSheet(r, sheet->widthMm, sheet->heightMm);
  }
  PixelRect px = mmToPixels(r, sheet->widthPx, sheet->heightPx, sheet->widthMm, sheet->heightMm);
  return printPicture(px, true, title);
}

bool PrintSession::printPicture(const PixelRect& rect, bool device, const std::string& title) {
  auto fail = [this](const std::string& stop) {
    critical(stop + printFailureTail(PrintError::Printer), "Print_FCPB");
    return false;
  };
  if (!device || !state.image || state.image->empty())
    return fail("prhDC = " + std::to_string(device ? 1 : 0) + "\n");
  if (state.copies <= 0) return true;  // nothing to output
  const PrintSource* source = shown();
  PageOutput out =
      backend_->printImage(state.printerName, state.printerSettings, *state.image, rect,
                           state.copies, title, source ? source->drawing.get() : nullptr);
  switch (out.stop) {
    case PageOutput::Stop::None:
      return true;
    case PageOutput::Stop::Cancelled:
      return false;
    case PageOutput::Stop::NoDevice:
      return fail("prhDC = 0\n");
    case PageOutput::Stop::StartDoc:
      return fail(KOLM_TR("kolm", "Errore di StartDoc.\n"));
    case PageOutput::Stop::Page:
      return fail(
          KOLM_TR("kolm", "Stampa interrotta.\n") + "R1 = " + std::to_string(out.pageStarted) +
          "\nR2 = " + std::to_string(out.pictureDrawn) + "\nR3 = " + std::to_string(out.pageEnded) +
          "\nR4 = " + std::to_string(out.documentEnded) + "\n");
  }
  return false;
}

// ---- the callers' operations ----

bool PrintSession::printableSheet(int32_t& widthMm, int32_t& heightMm,
                                  std::optional<int32_t> newOrientation) {
  if (!openPrinter(state.printerName)) {
    widthMm = heightMm = -1;
    return false;
  }
  if (newOrientation) {
    if (*newOrientation != kPortrait && *newOrientation != kLandscape) {
      critical(KOLM_TR("kolm", "Orientamento errato"), "FoglioStampa");
      widthMm = heightMm = -1;
      return false;
    }
    state.printerSettings.orientation = static_cast<int16_t>(*newOrientation);
    applySettings(state.printerName);
  }
  int32_t orientation = 0;
  return sheetSize(state.printerName, widthMm, heightMm, orientation);
}

void PrintSession::resetLayout() {
  // The controls start from their design values at every opening.
  PrintDialogState fresh;
  auto& s = state;
  s.sheetWidthMm = s.sheetHeightMm = 0;
  s.docXMm = s.docYMm = s.docWidthMm = s.docHeightMm = 0;
  s.aspectRatio = 1;
  s.scaleBase = 0;
  s.xText = s.yText = s.widthText = s.heightText = s.scaleText = s.copiesText = "";
  s.scaleLabel = fresh.scaleLabel;
  s.scaleEditable = fresh.scaleEditable;
  s.keepProportions = fresh.keepProportions;
  s.centred = fresh.centred;
  s.previewed = {};
  s.outOfSheet = s.blinkRed = false;
  s.printers.clear();
  s.printerIndex = -1;
  s.selectedPrinter.clear();
  s.hasSource = false;
  s.chartOffered = s.chartOnly = false;
  s.docTitle.clear();
  s.image.reset();
  source_.reset();
}

const PrintSource* PrintSession::shown() const {
  if (!source_) return nullptr;
  return state.chartOnly && source_->chart ? source_->chart.get() : &*source_;
}

bool PrintSession::setChartOnly(bool chartOnly) {
  auto& s = state;
  if (!s.hasSource || !source_ || !source_->chart || chartOnly == s.chartOnly) return false;
  const PrintSource& next = chartOnly ? *source_->chart : *source_;
  std::optional<Bitmap24> picture = next.readImage ? next.readImage() : std::nullopt;
  if (!picture || picture->empty()) return false;
  s.chartOnly = chartOnly;
  s.image = std::move(picture);
  // The new picture's own proportions, as large as the sheet allows.
  s.aspectRatio = float(s.image->width) / float(s.image->height);
  MmRect fit = fitInSheet(s.aspectRatio, s.sheetWidthMm, s.sheetHeightMm);
  if (fit.w == 0) fit = {0, 0, s.docWidthMm, roundToInt(s.docWidthMm / double(s.aspectRatio))};
  setRectText(s, RectField::X, "0");
  setRectText(s, RectField::Y, "0");
  setRectText(s, RectField::W, std::to_string(fit.w));
  setRectText(s, RectField::H, std::to_string(fit.h));
  updatePreview(s);
  return true;
}

bool PrintSession::setUpFailure(const std::string& text, PrintError error) {
  critical(text + "\n\n" + errorDescription(error), "StampaFCPB");
  close();
  return false;
}

bool PrintSession::setUp(const PrintSource* source, int32_t docXMm, int32_t docYMm,
                         int32_t docWidthMm, int32_t docHeightMm, int32_t orientation,
                         const std::string& title, float scale) {
  resetLayout();
  if (state.printerName.empty() && !openPrinter(state.printerName)) return false;
  if (source) {
    state.hasSource = true;
    if (docWidthMm <= 0 || docHeightMm <= 0)
      return setUpFailure(
          KOLM_TR("kolm",
                  "Parametri errati.\n\nLa larghezza e l' altezza di stampa\nrichieste "
                  "devono essere > 0."),
          PrintError::BadArgument);
    state.scaleBase =
        scale != 0 ? float(double(docWidthMm) * scale) : static_cast<float>(source->ownWidth);
    setRectText(state, RectField::X, std::to_string(docXMm));
    setRectText(state, RectField::Y, std::to_string(docYMm));
    setRectText(state, RectField::W, std::to_string(docWidthMm));
    setRectText(state, RectField::H, std::to_string(docHeightMm));
    state.aspectRatio = float(docWidthMm) / float(docHeightMm);
    std::optional<Bitmap24> picture = source->readImage ? source->readImage() : std::nullopt;
    if (!picture || picture->empty())
      return setUpFailure(KOLM_TR("kolm",
                                  "Si e' verificata una condizione\ninaspettata "
                                  "elaborando l' immagine."),
                          PrintError::Printer);
    state.image = std::move(picture);
    state.docTitle = title.empty() ? source->name : title;
    source_ = *source;
    state.chartOffered = source->chart != nullptr;
  }
  state.requestedOrientation = orientation;
  return true;
}

// ---- dialog events ----

void PrintSession::activate() {
  auto& s = state;
  s.savedPrinterSettings = s.printerSettings;
  s.colourMode = s.printerSettings.colourMode;
  if (s.requestedOrientation == kPortrait || s.requestedOrientation == kLandscape)
    s.printerSettings.orientation = static_cast<int16_t>(s.requestedOrientation);

  s.printers = backend_->printerNames();
  s.printerIndex = -1;
  if (!s.printers.empty()) {
    auto it = std::find(s.printers.begin(), s.printers.end(), s.printerName);
    selectPrinter(it == s.printers.end() ? 0 : int(it - s.printers.begin()));
  }

  s.savedCopies = s.copies;
  setCopiesText(std::to_string(s.copies == 0 ? 1 : s.copies));
}

void PrintSession::selectPrinter(int index) {
  auto& s = state;
  if (index < 0 || index >= int(s.printers.size())) return;
  s.printerIndex = index;
  s.selectedPrinter = s.printers[index];
  if (!openPrinter(s.selectedPrinter)) return;
  int32_t orientation = 0;
  sheetSize(s.selectedPrinter, s.sheetWidthMm, s.sheetHeightMm, orientation);
  s.colourMode = s.printerSettings.colourMode;
  showSheet();
}

void PrintSession::showSheet() {
  if (state.hasSource) updatePreview(state);
}

void PrintSession::editPrinterProperties() {
  auto& s = state;
  // An empty copies field asks the printer for one copy.
  int32_t typed = s.copiesText.empty() ? 1 : wholeNumber(s.copiesText);
  s.printerSettings.copies = static_cast<int16_t>(std::clamp(typed, 0, 32767));
  showPrinterProperties(s.selectedPrinter);
  int32_t orientation = 0;
  sheetSize(s.selectedPrinter, s.sheetWidthMm, s.sheetHeightMm, orientation);
  if (s.copiesText.empty() || wholeNumber(s.copiesText) != s.printerSettings.copies)
    setCopiesText(std::to_string(s.printerSettings.copies));
  s.colourMode = s.printerSettings.colourMode;
  s.printerSettings.copies = 1;  // copies are made by the page loop, never by the printer
  showSheet();
}

bool PrintSession::print() {
  if (const std::string problem = copiesProblem(); !problem.empty()) {
    prompter_->message(problem, common::Icon::Warning, KOLM_TR("kolm", "Print"));
    return false;
  }
  state.printerName = state.selectedPrinter;
  if (!printDocument(state.rect(), state.docTitle)) return false;
  close();
  return true;
}

void PrintSession::accept() {
  state.printerName = state.selectedPrinter;
  close();
}

void PrintSession::cancel() {
  state.copies = state.savedCopies;
  state.printerSettings = state.savedPrinterSettings;
  close();
}

void PrintSession::setCopiesText(std::string text) {
  state.copiesText = std::move(text);
  state.copies = wholeNumber(state.copiesText);
}

std::string PrintSession::copiesProblem() const {
  const std::optional<double> typed = common::leadingNumber(state.copiesText);
  if (typed && roundToInt(*typed) >= 1) return {};
  if (state.copiesText.find_first_not_of(" \t") == std::string::npos)
    return KOLM_TR("kolm", "Type the number of copies: 1 or more.");
  return common::arg(KOLM_TR("kolm", "'%1' is not a number of copies: type 1 or more."),
                     {common::shortened(state.copiesText)});
}

void PrintSession::close() {
  state.image.reset();
  source_.reset();
  state.outOfSheet = false;
}

std::string PrintSession::caption() const {
  if (!state.hasSource) return KOLM_TR("kolm", "  Printer settings ");
  return KOLM_TR("kolm", "  Print of: ") + state.docTitle;
}

}  // namespace kolm::print
