// Page layout of a print: the rules that keep the print rectangle's numbers in
// range, proportional and centred, the shown scale, the out-of-sheet indication,
// the fit check at print time, millimetres to printer pixels, the small on-screen
// sheet and the paper names. Plain arithmetic on PrintDialogState.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/tr.h"
#include "print/state.h"

namespace kolm::print {

inline constexpr int32_t kLimitMm = 2000;
inline constexpr int32_t kSmallSheetTwips = 1905;  // long side of the small sheet

// Ranges of the up-down controls (each steps its text box by 1).
struct SpinRange {
  int32_t min;
  int32_t max;
};
inline constexpr SpinRange kCopiesRange{1, 100};
inline constexpr SpinRange kSizeRange{2, 2000};
inline constexpr SpinRange kMarginRange{-2000, 2000};

// The fit question asked when the rectangle passes the right or bottom edge.
inline constexpr const char* kFitTitle = KOLM_TR_NOOP("kolm", " Errore di Scala");
inline constexpr const char* kFitQuestion =
    KOLM_TR_NOOP("kolm",
                 "Le dimensioni di stampa richieste\nsono superiori a quelle del foglio\n"
                 "della stampante selezionata.\n\nPosso cambiare la scala?");

enum class RectField { X, Y, W, H };

// The largest rectangle of proportions `aspect` (width over height) on the sheet,
// at its top-left corner, in whole mm (at least 1 by 1); all 0 without a sheet.
MmRect fitInSheet(double aspect, int32_t sheetW, int32_t sheetH);

// Paper code -> name; codes not in the table give "Unknown".
std::string paperName(int paperCode);
// " Sheet: A4,  Portrait" (nothing after the name for an orientation other than 1 or 2).
std::string sheetCaption(int paperCode, int orientation);

std::string& rectText(PrintDialogState& s, RectField field);

// A rectangle text box changed: out-of-range numbers are replaced (-2000..2000 for
// the margins, 1..2000 for the sizes) and the field takes the rounded number. A
// width change also refreshes the scale text. A text with no number at its
// start (an empty one reads 0) is kept as typed and refused: the field keeps
// its number and the reason is returned; empty when the text was taken.
std::string setRectText(PrintDialogState& s, RectField field, std::string text);

// Both sizes above 1: the condition for redrawing after a size edit.
bool sizesDrawable(const PrintDialogState& s);

// The user edited the width (or the height): with fixed proportions the other size
// follows. True when the preview is to be redrawn.
bool widthEdited(PrintDialogState& s);
bool heightEdited(PrintDialogState& s);

// "&Fix Dimensions" clicked. True when the preview is to be redrawn.
bool setFixProportions(PrintDialogState& s, bool checked);
// "Center Print" clicked; redraws.
void setCentred(PrintDialogState& s, bool checked);
// "M a x": the largest rectangle on the sheet; redraws.
void maximise(PrintDialogState& s);
// Margins to 0; redraws.
void moveToOrigin(PrintDialogState& s);

// Centring, then the out-of-sheet indication, then the rectangle the small sheet shows.
void updatePreview(PrintDialogState& s);
bool isOutOfSheet(const MmRect& r, int32_t sheetW, int32_t sheetH);
// One tick of the blink timer (only while out of the sheet).
void blinkTick(PrintDialogState& s);

// The scale text: scaleBase / docWidthMm with the pattern "#,###,##0.##" in the
// locale's separators.
std::string scaleText(double scaleBase, int32_t docW, const LocaleSeparators& locale);
// The scale typed back: grouping separators dropped, the locale's decimal separator
// (and ",") read as the point. Empty when the text holds no positive number.
std::optional<double> readScale(std::string_view text, const LocaleSeparators& locale);
// Enter in the scale field, leaving it, or its OK button. True when the preview
// is to be redrawn.
bool enterScale(PrintDialogState& s);

// The small sheet's size in twips (long side 1905).
struct SmallSheet {
  int32_t w = 0, h = 0;
};
SmallSheet smallSheetTwips(int32_t sheetW, int32_t sheetH);

// The print rectangle on a preview area of sw x sh units (empty for a sheet
// without a size).
PixelRect previewRect(const MmRect& r, int32_t sheetW, int32_t sheetH, int32_t sw, int32_t sh);

// The fit check: true when the rectangle passes the right or bottom edge.
bool exceedsSheet(const MmRect& r, int32_t sheetW, int32_t sheetH);
// The rectangle shrunk to the sheet (the answer Yes to the fit question).
MmRect shrinkToSheet(const MmRect& r, int32_t sheetW, int32_t sheetH);

// Millimetres to printer pixels from the printable area in pixels and in mm.
PixelRect mmToPixels(const MmRect& r, int32_t horzRes, int32_t vertRes, int32_t sheetW,
                     int32_t sheetH);

// An up-down click on the number in `text`: the number stepped, then held to the
// range (a number outside the range comes back to its nearer end).
int32_t stepSpin(std::string_view text, int delta, SpinRange range);

// The enlarged preview: the sheet's box inside an inner area of innerW x innerH
// (twips or pixels), keeping the sheet's proportion, centred, `margin` inside.
struct ZoomBox {
  int32_t x = 0, y = 0, w = 0, h = 0;
};
ZoomBox zoomSheet(int32_t innerW, int32_t innerH, int32_t sheetW, int32_t sheetH, int32_t margin);

// The number at the start of a text rounded to a whole number (halves to even)
// and held to the 32-bit range.
int32_t wholeNumber(std::string_view text);
// Rounded half to even into the 32-bit range.
int32_t roundToInt(double value);

}  // namespace kolm::print
