#include "print/layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/settings_file.h"
#include "common/text.h"

#include "common/tr.h"
#include "common/typed_number.h"

namespace kolm::print {

namespace {

struct PaperRow {
  int code;
  const char* name;
};

constexpr PaperRow kPapers[] = {
    {1, "Letter"},
    {2, "Letter Small"},
    {3, "Tabloid"},
    {4, "Ledger"},
    {5, "Legal"},
    {6, "Statement"},
    {7, "Executive"},
    {8, "A3"},
    {9, "A4"},
    {10, "A4 Small"},
    {11, "A5"},
    {12, "B4"},
    {13, "B5"},
    {14, "Folio"},
    {15, "Quarto"},
    {16, "10X14"},
    {17, "11X17"},
    {18, "Note"},
    {19, "Envelope 9"},
    {20, "Envelope 10"},
    {21, "Envelope 11"},
    {22, "Envelope 12"},
    {23, "Envelope 14"},
    {24, "C Sheet"},
    {25, "D Sheet"},
    {26, "E Sheet"},
    {27, "Envelope DL"},
    {28, "Envelope C5"},
    {29, "Envelope C3"},
    {30, "Envelope C4"},
    {31, "Envelope C6"},
    {32, "Envelope C65"},
    {33, "Envelope B4"},
    {34, "Envelope B5"},
    {35, "Envelope B6"},
    {36, "Envelope Italy"},
    {37, "Envelope Monarch"},
    {38, "Envelope Personal"},
    {39, "Fanfold US"},
    {40, "Fanfold Std. German"},
    {41, "Fanfold Lgl. German"},
    {42, "ISO B4"},
    {43, "Japanese Postcard"},
    {44, "9X11"},
    {45, "10X11"},
    {46, "15X11"},
    {47, "Envelope Invite"},
    {50, "Letter Extra"},
    {51, "Legal Extra"},
    {52, "Tabloid Extra"},
    {53, "A4 Extra"},
    {54, "Letter Transverse"},
    {55, "A4 Transverse"},
    {56, "Letter Extra Transverse"},
    {57, "A Plus"},
    {58, "B Plus"},
    {59, "Letter Plus"},
    {60, "A4 Plus"},
    {61, "A5 Transverse"},
    {62, "B5 Transverse"},
    {63, "A3 Extra"},
    {64, "A5 Extra"},
    {65, "B5 Extra"},
    {66, "A2"},
    {67, "A3 Transverse"},
    {68, "A3 Extra Transverse"},
    {256, "User"},
};

std::string wholeText(int32_t v) { return std::to_string(v); }

int32_t& rectField(PrintDialogState& s, RectField field) {
  switch (field) {
    case RectField::X:
      return s.docXMm;
    case RectField::Y:
      return s.docYMm;
    case RectField::W:
      return s.docWidthMm;
    case RectField::H:
      return s.docHeightMm;
  }
  return s.docWidthMm;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

bool sheetKnown(int32_t sheetW, int32_t sheetH) { return sheetW > 0 && sheetH > 0; }

}  // namespace

int32_t roundToInt(double value) {
  if (std::isnan(value)) return 0;
  double r = common::roundHalfEven(value);
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(r, lo, hi));
}

int32_t wholeNumber(std::string_view text) { return roundToInt(common::numericValue(text)); }

MmRect fitInSheet(double aspect, int32_t sheetW, int32_t sheetH) {
  if (!(aspect > 0) || !std::isfinite(aspect) || !sheetKnown(sheetW, sheetH)) return {};
  // Rounded down, so that the rectangle never passes the sheet's edge.
  if (double(sheetW) / sheetH <= aspect)
    return {0, 0, sheetW, std::max(1, static_cast<int32_t>(std::floor(sheetW / aspect)))};
  return {0, 0, std::max(1, static_cast<int32_t>(std::floor(sheetH * aspect))), sheetH};
}

std::string paperName(int paperCode) {
  for (const auto& row : kPapers)
    if (row.code == paperCode) return row.name;
  return "Unknown";
}

std::string sheetCaption(int paperCode, int orientation) {
  std::string caption = " Sheet: " + paperName(paperCode);
  if (orientation == kPortrait) caption += ",  Portrait";
  if (orientation == kLandscape) caption += ",  Landscape";
  return caption;
}

std::string& rectText(PrintDialogState& s, RectField field) {
  switch (field) {
    case RectField::X:
      return s.xText;
    case RectField::Y:
      return s.yText;
    case RectField::W:
      return s.widthText;
    case RectField::H:
      return s.heightText;
  }
  return s.widthText;
}

std::string setRectText(PrintDialogState& s, RectField field, std::string text) {
  std::string& t = rectText(s, field);
  t = std::move(text);
  if (!common::leadingNumber(t) && t.find_first_not_of(" \t") != std::string::npos)
    return common::arg(KOLM_TR("kolm", "'%1' is not a number: the box keeps %2 mm."),
                       {common::shortened(t), wholeText(rectField(s, field))});
  bool size = field == RectField::W || field == RectField::H;
  double low = size ? 1 : -kLimitMm;
  // Replacing the text is a further change: the rule runs again on the new text.
  for (;;) {
    double v = common::numericValue(t);
    if (v < low) {
      t = wholeText(static_cast<int32_t>(low));
      continue;
    }
    if (v > kLimitMm) {
      t = wholeText(kLimitMm);
      continue;
    }
    rectField(s, field) = roundToInt(v);
    break;
  }
  if (field == RectField::W) s.scaleText = scaleText(s.scaleBase, s.docWidthMm, s.locale);
  return {};
}

bool sizesDrawable(const PrintDialogState& s) { return s.docWidthMm > 1 && s.docHeightMm > 1; }

bool widthEdited(PrintDialogState& s) {
  if (s.keepProportions)
    setRectText(s, RectField::H, wholeText(roundToInt(s.docWidthMm / double(s.aspectRatio))));
  if (!sizesDrawable(s)) return false;
  updatePreview(s);
  return true;
}

bool heightEdited(PrintDialogState& s) {
  if (s.keepProportions)
    setRectText(s, RectField::W, wholeText(roundToInt(s.docHeightMm * double(s.aspectRatio))));
  if (!sizesDrawable(s)) return false;
  updatePreview(s);
  return true;
}

bool setFixProportions(PrintDialogState& s, bool checked) {
  s.keepProportions = checked;
  if (checked) {
    setRectText(s, RectField::H, wholeText(roundToInt(s.docWidthMm / double(s.aspectRatio))));
    s.scaleLabel = KOLM_TR_NOOP("kolm", "Scala:");
    s.scaleEditable = true;
  } else {
    s.scaleLabel = KOLM_TR_NOOP("kolm", "Scala X:");
    s.scaleEditable = false;
  }
  if (!sizesDrawable(s)) return false;
  updatePreview(s);
  return true;
}

void setCentred(PrintDialogState& s, bool checked) {
  s.centred = checked;
  updatePreview(s);
}

void maximise(PrintDialogState& s) {
  int32_t sw = s.sheetWidthMm, sh = s.sheetHeightMm;
  if (!sheetKnown(sw, sh)) return;
  if (s.keepProportions) {
    float sheetRatio = float(sw) / float(sh);
    float rectRatio = float(s.docWidthMm) / float(s.docHeightMm);
    if (sheetRatio <= rectRatio) {
      setRectText(s, RectField::W, wholeText(sw));
      setRectText(s, RectField::H, wholeText(roundToInt(s.docWidthMm / double(s.aspectRatio))));
      setRectText(s, RectField::X, "0");
    } else {
      setRectText(s, RectField::H, wholeText(sh));
      setRectText(s, RectField::W, wholeText(roundToInt(double(s.aspectRatio) * s.docHeightMm)));
      setRectText(s, RectField::Y, "0");
    }
  } else {
    setRectText(s, RectField::W, wholeText(sw));
    setRectText(s, RectField::H, wholeText(sh));
  }
  if (!s.centred) {
    if (s.docXMm + s.docWidthMm > sw) setRectText(s, RectField::X, wholeText(sw - s.docWidthMm));
    if (s.docYMm + s.docHeightMm > sh) setRectText(s, RectField::Y, wholeText(sh - s.docHeightMm));
  }
  updatePreview(s);
}

void moveToOrigin(PrintDialogState& s) {
  setRectText(s, RectField::X, "0");
  setRectText(s, RectField::Y, "0");
  updatePreview(s);
}

bool isOutOfSheet(const MmRect& r, int32_t sheetW, int32_t sheetH) {
  return r.x < 0 || r.y < 0 || int64_t(r.x) + r.w > sheetW || int64_t(r.y) + r.h > sheetH;
}

void updatePreview(PrintDialogState& s) {
  if (s.centred) {
    setRectText(s, RectField::X, wholeText(roundToInt((s.sheetWidthMm - s.docWidthMm) / 2.0)));
    setRectText(s, RectField::Y, wholeText(roundToInt((s.sheetHeightMm - s.docHeightMm) / 2.0)));
  }
  s.outOfSheet = isOutOfSheet(s.rect(), s.sheetWidthMm, s.sheetHeightMm);
  if (!s.outOfSheet) s.blinkRed = false;
  s.previewed = s.rect();
}

void blinkTick(PrintDialogState& s) {
  if (s.outOfSheet) s.blinkRed = !s.blinkRed;
}

std::string scaleText(double scaleBase, int32_t docW, const LocaleSeparators& locale) {
  if (docW == 0) return {};
  constexpr char kGroup = '\x01';
  std::string text = common::formatPattern(scaleBase / docW, "#,###,##0.##", kGroup);
  std::string out;
  for (char c : text) {
    if (c == kGroup)
      out += locale.thousands;
    else if (c == '.')
      out += locale.decimal;
    else
      out += c;
  }
  return out;
}

std::optional<double> readScale(std::string_view text, const LocaleSeparators& locale) {
  std::string t(text);
  if (!locale.thousands.empty() && locale.thousands != locale.decimal)
    replaceAll(t, locale.thousands, "");
  if (locale.decimal != ".") replaceAll(t, locale.decimal, ".");
  replaceAll(t, ",", ".");
  double s = common::numericValue(t);
  if (!(s > 0)) return std::nullopt;
  return s;
}

bool enterScale(PrintDialogState& s) {
  if (s.scaleText.empty()) return false;
  auto scale = readScale(s.scaleText, s.locale);
  if (!scale) return false;
  double w = s.scaleBase / *scale;
  if (w > kLimitMm) w = kLimitMm;
  double h = w / s.aspectRatio;
  if (h > kLimitMm) {
    h = kLimitMm;
    w = double(s.aspectRatio) * kLimitMm;
  }
  setRectText(s, RectField::W, wholeText(roundToInt(w)));
  setRectText(s, RectField::H, wholeText(roundToInt(h)));
  if (s.docWidthMm < 2 || s.docHeightMm < 2) return false;
  updatePreview(s);
  return true;
}

SmallSheet smallSheetTwips(int32_t sheetW, int32_t sheetH) {
  if (!sheetKnown(sheetW, sheetH)) return {kSmallSheetTwips, kSmallSheetTwips};
  float r = float(sheetW) / float(sheetH);
  if (sheetW <= sheetH) return {roundToInt(kSmallSheetTwips * double(r)), kSmallSheetTwips};
  return {kSmallSheetTwips, roundToInt(kSmallSheetTwips / double(r))};
}

PixelRect previewRect(const MmRect& r, int32_t sheetW, int32_t sheetH, int32_t sw, int32_t sh) {
  if (!sheetKnown(sheetW, sheetH)) return {};
  double kx = double(sw) / sheetW, ky = double(sh) / sheetH;
  return {roundToInt(kx * r.x), roundToInt(ky * r.y), roundToInt(kx * r.w), roundToInt(ky * r.h)};
}

bool exceedsSheet(const MmRect& r, int32_t sheetW, int32_t sheetH) {
  return int64_t(r.x) + r.w > sheetW || int64_t(r.y) + r.h > sheetH;
}

MmRect shrinkToSheet(const MmRect& r, int32_t sheetW, int32_t sheetH) {
  MmRect out = r;
  auto scaleAll = [&out](float k) {
    out = {roundToInt(double(k) * out.x), roundToInt(double(k) * out.y),
           roundToInt(double(k) * out.w), roundToInt(double(k) * out.h)};
  };
  int64_t right = int64_t(out.x) + out.w;
  if (right > sheetW && right > 0) scaleAll(float(sheetW) / float(right));
  int64_t bottom = int64_t(out.y) + out.h;
  if (bottom > sheetH && bottom > 0) scaleAll(float(sheetH) / float(bottom));
  return out;
}

PixelRect mmToPixels(const MmRect& r, int32_t horzRes, int32_t vertRes, int32_t sheetW,
                     int32_t sheetH) {
  if (!sheetKnown(sheetW, sheetH)) return {};
  float kx = float(horzRes) / float(sheetW);
  float ky = float(vertRes) / float(sheetH);
  return {roundToInt(double(kx) * r.x), roundToInt(double(ky) * r.y), roundToInt(double(kx) * r.w),
          roundToInt(double(ky) * r.h)};
}

int32_t stepSpin(std::string_view text, int delta, SpinRange range) {
  int64_t v = int64_t(wholeNumber(text)) + delta;
  return static_cast<int32_t>(std::clamp<int64_t>(v, range.min, range.max));
}

ZoomBox zoomSheet(int32_t innerW, int32_t innerH, int32_t sheetW, int32_t sheetH, int32_t margin) {
  if (!sheetKnown(sheetW, sheetH)) return {};
  double r = double(sheetW) / sheetH;
  double w = innerW - 2.0 * margin;
  double h = w / r;
  if (h > innerH - 2.0 * margin) {
    h = innerH - 2.0 * margin;
    w = h * r;
  }
  int32_t wi = std::max(0, roundToInt(w)), hi = std::max(0, roundToInt(h));
  return {(innerW - wi) / 2, (innerH - hi) / 2, wi, hi};
}

}  // namespace kolm::print
