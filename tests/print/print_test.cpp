// The print dialog: its session with the printers, the layout of the picture on
// the sheet, the keys its fields take and the bitmap it prints.
#include "print/session.h"

#include <gtest/gtest.h>

#include <tuple>

#include "print/bitmap.h"
#include "print/fake_printer.h"
#include "print/keys.h"
#include "print/layout.h"
#include "support/golden.h"

using namespace kolm;
using namespace kolm::print;
using kolm::test::FakePrinterBackend;

namespace {

const std::string kTitle = " Errore in frmStampaFCPB/";

struct Rig {
  FakePrinterBackend backend;
  common::ScriptedPrompter prompter;
  std::vector<Answer> answers;
  std::vector<std::string> questions;
  PrintSession session{backend, prompter, [this](const std::string& text, const std::string& t) {
                         questions.push_back(t + "|" + text);
                         if (answers.empty()) return Answer::Cancel;
                         Answer a = answers.front();
                         answers.erase(answers.begin());
                         return a;
                       }};

  PrintSource chart(int w = 40, int h = 30) {
    return {"chartBox", double(w), [w, h] { return std::optional(Bitmap24::blank(w, h)); }, {}, {}};
  }
  // What a measuring window does: the landscape sheet, then the dialog on it.
  bool open(const std::string& title = "Screen") {
    int32_t w = 0, h = 0;
    session.printableSheet(w, h, kLandscape);
    PrintSource src = chart();
    if (!session.setUp(&src, 0, 0, w, h, 0, title, 500000)) return false;
    session.activate();
    return true;
  }
  std::string lastTitle() const {
    return prompter.shown.empty() ? "" : prompter.shown.back().title;
  }
};

TEST(PrintSession, PrintableSheetGivesTheLandscapeSheetOfTheDefaultPrinterOrSaysWhyNot) {
  Rig r;
  int32_t w = 0, h = 0;
  EXPECT_TRUE(r.session.printableSheet(w, h, kLandscape));
  EXPECT_EQ(std::tuple(w, h, r.session.state.printerName), std::tuple(287, 200, "Laser"));
  w = 0;  // without an orientation the kept one stays
  EXPECT_TRUE(r.session.printableSheet(w, h));
  EXPECT_EQ(w, 287);
  EXPECT_FALSE(r.session.printableSheet(w, h, 3));
  EXPECT_EQ(h, -1);
  EXPECT_EQ(r.prompter.messages(), std::vector<std::string>{"Orientamento errato"});
  EXPECT_EQ(r.lastTitle(), kTitle + "FoglioStampa");

  // Printer failures are reported and the name forgotten.
  r.session.state.printerName = "";
  r.backend.defaultName = "";
  EXPECT_FALSE(r.session.printableSheet(w, h, kLandscape));
  EXPECT_EQ(w, -1);
  EXPECT_EQ(r.prompter.messages().back(), "Stampante di default non specificata.");
  EXPECT_EQ(r.lastTitle(), kTitle + "GetDefPrinterName");
  // No default printer, none chosen: the dialog is not opened.
  PrintSource src = r.chart();
  EXPECT_FALSE(r.session.setUp(&src, 0, 0, 100, 100, 0, "Screen", 500000));
  EXPECT_EQ(r.prompter.messages().size(), 3u);

  r.backend.defaultName = "Laser";
  r.backend.printers[0].accessible = false;
  EXPECT_FALSE(r.session.printableSheet(w, h, kLandscape));
  EXPECT_EQ(r.prompter.messages().back(), "Non posso accedere alla stampante richiesta.\n");
  EXPECT_EQ(r.session.state.printerName, "");

  r.backend.printers[0] = {"Laser"};
  r.backend.printers[0].refusesSettings = true;
  EXPECT_FALSE(r.session.printableSheet(w, h, kLandscape));
  EXPECT_EQ(r.prompter.messages().back(), "DocumentProperties non funziona.\n");
  EXPECT_EQ(r.session.state.printerName, "");
}

TEST(PrintSession, SetUpRefusesBadSizesAndUnreadablePicturesAndFillsTheLayout) {
  Rig r;
  PrintSource src = r.chart();
  EXPECT_FALSE(r.session.setUp(&src, 0, 0, 100, 0, 0, "Screen", 500000));
  EXPECT_EQ(r.prompter.messages(),
            std::vector<std::string>{"Parametri errati.\n\nLa larghezza e l' altezza di stampa\n"
                                     "richieste devono essere > 0.\n\nInvalid procedure call or "
                                     "argument"});
  EXPECT_EQ(r.lastTitle(), kTitle + "StampaFCPB");

  PrintSource broken{"chartBox", 10, [] { return std::optional<Bitmap24>(); }, {}, {}};
  EXPECT_FALSE(r.session.setUp(&broken, 0, 0, 100, 50, 0, "Screen", 500000));
  EXPECT_EQ(
      r.prompter.messages().back(),
      "Si e' verificata una condizione\ninaspettata elaborando l' immagine.\n\nPrinter error");

  // A good call fills the layout from the caller.
  src = r.chart(40, 30);
  ASSERT_TRUE(r.session.setUp(&src, 5, -7, 277, 190, 0, "", 500000));
  const auto& s = r.session.state;
  EXPECT_EQ(std::tuple(s.rect(), s.scaleText, !!s.image),
            std::tuple(MmRect{5, -7, 277, 190}, "500,000", true));
  EXPECT_EQ(r.session.caption(), "  Print of: chartBox");  // no title: the object's name

  // Scale 0: the object's own width is the scale's base.
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 20, 10, 0, "T", 0));
  EXPECT_EQ(r.session.state.scaleText, "2");
  // A second opening starts from the design values of the controls.
  r.session.state.centred = true;
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 20, 10, 0, "T", 0));
  EXPECT_FALSE(r.session.state.centred);

  // No object: printer settings only.
  ASSERT_TRUE(r.session.setUp(nullptr, 0, 0, 0, 0, 0, "", 0));
  EXPECT_FALSE(r.session.state.hasSource);
  EXPECT_EQ(r.session.caption(), "  Printer settings ");
  EXPECT_EQ(r.prompter.shown.size(), 2u);  // the two refusals only
}

TEST(PrintSession, ActivationSelectsTheKeptPrinterAndReadsItsSheet) {
  Rig r;
  ASSERT_TRUE(r.open());
  const auto& s = r.session.state;
  EXPECT_EQ(s.printers, (std::vector<std::string>{"Laser", "Inkjet"}));
  // No copies yet: 1 shown.
  EXPECT_EQ(std::tuple(s.selectedPrinter, s.sheetWidthMm, s.sheetHeightMm, s.copiesText),
            std::tuple("Laser", 287, 200, "1"));

  // Another printer with A3 paper: the rectangle stays, the sheet changes.
  r.backend.printers[1].current.paperCode = 8;
  r.session.state.printerSettings.paperCode = 0;  // let the printer's own paper come back
  r.session.selectPrinter(1);                     // the kept settings carry over
  EXPECT_EQ(
      std::tuple(s.selectedPrinter, s.printerSettings.paperCode, s.printerSettings.orientation),
      std::tuple("Inkjet", 8, kLandscape));
  EXPECT_EQ(std::tuple(s.sheetWidthMm, s.rect()), std::tuple(410, MmRect{0, 0, 287, 200}));

  // A kept name that is no longer installed selects the first entry.
  r.session.state.printerName = "Gone";
  r.session.activate();
  EXPECT_EQ(s.printerIndex, 0);
}

TEST(PrintSession, RequestedOrientationAppliesAtActivationAndExitRestoresThePrinters) {
  Rig r;
  PrintSource src = r.chart();
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 100, 100, kPortrait, "Screen", 500000));
  r.session.activate();
  EXPECT_EQ(r.session.state.sheetWidthMm, 200);
  r.session.cancel();
  EXPECT_EQ(r.session.state.printerSettings.orientation, kPortrait);  // the printer's own
}

TEST(PrintSession, PropertiesDialogSeesTheCopiesAndCanChangeThem) {
  Rig r;
  ASSERT_TRUE(r.open());
  r.session.setCopiesText("3");
  r.backend.propertiesDialog = [](PrinterSettings& dm) {
    dm.copies = 5;
    dm.paperCode = 1;
    dm.colourMode = kMonochrome;
    return true;
  };
  r.session.editPrinterProperties();
  const auto& s = r.session.state;
  ASSERT_EQ(r.backend.propertiesShownWith.size(), 1u);
  EXPECT_EQ(r.backend.propertiesShownWith[0].copies, 3);
  // Copies come from the page loop; Letter, landscape: 287 mm wide no longer fits.
  EXPECT_EQ(
      std::tuple(s.copies, s.printerSettings.copies, s.colourMode, s.sheetWidthMm, s.outOfSheet),
      std::tuple(5, 1, kMonochrome, 269, true));

  // Cancel changes nothing but the copies the printer is asked for.
  PrinterSettings before = s.printerSettings;
  r.backend.propertiesDialog = [](PrinterSettings& dm) {
    dm.paperCode = 8;
    return false;
  };
  r.session.editPrinterProperties();
  EXPECT_EQ(s.printerSettings, before);
  EXPECT_EQ(s.copiesText, "5");

  // Exit puts back the copies and the settings of the activation.
  r.session.cancel();
  EXPECT_EQ(std::tuple(s.copies, s.printerSettings.paperCode, s.printerSettings.colourMode),
            std::tuple(0, 9, kColour));
}

TEST(PrintSession, SecondCallStartsFromWhatTheFirstLeft) {
  Rig r;
  ASSERT_TRUE(r.open());
  r.session.selectPrinter(1);
  r.session.setCopiesText("2");
  ASSERT_TRUE(r.session.print());
  EXPECT_EQ(r.session.state.printerName, "Inkjet");
  EXPECT_FALSE(r.session.state.image);  // released with the dialog

  ASSERT_TRUE(r.open());
  EXPECT_EQ(r.session.state.selectedPrinter, "Inkjet");
  EXPECT_EQ(r.session.state.copiesText, "2");
  // A copies box without a count of 1 or more is refused with its reason, and
  // the dialog stays open with nothing printed; a count prints that many.
  for (const char* typed : {"abc", "", "0", "-2", "0.4", "x3"}) {
    r.session.setCopiesText(typed);
    EXPECT_FALSE(r.session.print()) << typed;
    EXPECT_NE(r.prompter.messages().back().find("copies"), std::string::npos) << typed;
    EXPECT_TRUE(r.session.state.image) << typed;
  }
  EXPECT_EQ(r.backend.jobs.size(), 1u);
  for (auto [typed, copies] : {std::pair{"3", 3}, {"2 copies", 2}, {"0.6", 1}}) {
    r.session.setCopiesText(typed);
    EXPECT_EQ(r.session.copiesProblem(), "") << typed;
    EXPECT_EQ(r.session.state.copies, copies) << typed;
  }
  EXPECT_TRUE(r.session.print());
  EXPECT_EQ(r.backend.jobs.back().copies, 1);

  // OK (settings mode) keeps the chosen printer; Exit does not.
  ASSERT_TRUE(r.session.setUp(nullptr, 0, 0, 0, 0, 0, "", 0));
  r.session.activate();
  r.session.selectPrinter(0);
  r.session.cancel();
  EXPECT_EQ(r.session.state.printerName, "Inkjet");
  r.session.activate();
  r.session.selectPrinter(0);
  r.session.accept();
  EXPECT_EQ(r.session.state.printerName, "Laser");
}

TEST(PrintSession, FitQuestionCancelNoAndYes) {
  Rig r;
  auto tooLarge = [&r] {  // on a sheet of 287 x 200
    ASSERT_TRUE(r.open());
    setRectText(r.session.state, RectField::W, "300");
    setRectText(r.session.state, RectField::H, "200");
  };
  tooLarge();
  r.answers = {Answer::Cancel};
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.questions, std::vector<std::string>{" Errore di Scala|Le dimensioni di stampa "
                                                  "richieste\nsono superiori a quelle del foglio\n"
                                                  "della stampante selezionata.\n\nPosso "
                                                  "cambiare la scala?"});
  EXPECT_TRUE(r.backend.jobs.empty());

  r.answers = {Answer::No};
  EXPECT_TRUE(r.session.print());
  ASSERT_EQ(r.backend.jobs.size(), 1u);
  EXPECT_EQ(r.backend.jobs[0].rect, (PixelRect{0, 0, 300 * 24, 200 * 24}));

  tooLarge();
  r.answers = {Answer::Yes};
  EXPECT_TRUE(r.session.print());
  ASSERT_EQ(r.backend.jobs.size(), 2u);
  // k = 287 / 300: 287 x 191 mm; the dialog's own fields stay as they were.
  EXPECT_EQ(r.backend.jobs[1].rect, (PixelRect{0, 0, 287 * 24, 191 * 24}));
}

TEST(PrintSession, PageFailuresAreReportedWithTheirSteps) {
  Rig r;
  ASSERT_TRUE(r.open());
  using Stop = PageOutput::Stop;
  r.backend.failure = PageOutput{Stop::Page, 1, 1, 1, 0, 1};
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages(),
            std::vector<std::string>{"Stampa interrotta.\nR1 = 1\nR2 = 1\nR3 = 0\nR4 = 1\nLa "
                                     "funzione di Stampa\nha trovato una situazione imprevista."
                                     "\n\nCodice di errore = 482\nPrinter error"});
  EXPECT_EQ(r.lastTitle(), kTitle + "Print_FCPB");

  r.backend.failure = PageOutput{.stop = Stop::StartDoc};
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages().back().substr(0, 20), "Errore di StartDoc.\n");

  // A user who gives up (no file chosen) gets no message.
  r.backend.failure = PageOutput{.stop = Stop::Cancelled};
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages().size(), 2u);

  // The picture is still there for another try after a failed print.
  r.backend.failure.reset();
  EXPECT_TRUE(r.session.print());
  EXPECT_EQ(r.backend.jobs.size(), 1u);
}

TEST(PrintSession, PrintWithoutAUsablePrinterSaysSo) {
  Rig r;
  ASSERT_TRUE(r.open());
  r.backend.printers[1].accessible = false;
  r.session.selectPrinter(1);  // the list's choice cannot be opened
  EXPECT_EQ(r.prompter.messages().back(), "Non posso accedere alla stampante richiesta.\n");
  EXPECT_EQ(r.session.state.selectedPrinter, "");
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages().back().substr(0, 10), "prhDC = 0\n");
  EXPECT_TRUE(r.backend.jobs.empty());
}

// A dialog state opened on a rectangle, as the set-up leaves it.
PrintDialogState opened(int x, int y, int w, int h, int sheetW = 277, int sheetH = 190) {
  PrintDialogState s;
  s.scaleBase = float(double(w) * 500000);
  s.sheetWidthMm = sheetW;
  s.sheetHeightMm = sheetH;
  setRectText(s, RectField::X, std::to_string(x));
  setRectText(s, RectField::Y, std::to_string(y));
  setRectText(s, RectField::W, std::to_string(w));
  setRectText(s, RectField::H, std::to_string(h));
  s.aspectRatio = float(w) / float(h);
  return s;
}

TEST(PrintFields, OutOfRangeTextIsReplacedAndTheFieldRounded) {
  PrintDialogState s;
  int refused = 0;
  for (const auto& c : kolm::test::goldenRows("print_fields.tsv", 4)) {
    const size_t f = std::string("xywh").find(c[0]);
    const std::string problem = setRectText(s, static_cast<RectField>(f), c[1]);
    // A refusal names the text and the millimetres kept.
    if (!problem.empty()) {
      ++refused;
      EXPECT_NE(problem.find("'" + c[1] + "'"), std::string::npos) << problem;
      EXPECT_NE(problem.find(c[3] + " mm"), std::string::npos) << problem;
    }
    const std::string* texts[] = {&s.xText, &s.yText, &s.widthText, &s.heightText};
    const MmRect r = s.rect();
    const int32_t values[] = {r.x, r.y, r.w, r.h};
    EXPECT_EQ(*texts[f], c[2]) << c[1];
    EXPECT_EQ(values[f], std::stoi(c[3])) << c[1];
  }
  EXPECT_EQ(refused, 3);
  // The spin buttons step within the same ranges.
  EXPECT_EQ(stepSpin("5", 1, kCopiesRange), 6);
  EXPECT_EQ(stepSpin("100", 1, kCopiesRange), 100);
  EXPECT_EQ(stepSpin("", 1, kCopiesRange), 1);
  EXPECT_EQ(stepSpin("2", -1, kSizeRange), 2);
  EXPECT_EQ(stepSpin("-2000", -1, kMarginRange), -2000);
  EXPECT_EQ(stepSpin("-5", 1, kMarginRange), -4);
}

TEST(PrintFields, FixedProportionsFollowTheEditedSize) {
  PrintDialogState s = opened(0, 0, 150, 100);
  updatePreview(s);
  // A size of 1 is not drawn: the height round(1 / 1.5) = 1 (after clamping).
  setRectText(s, RectField::W, "1");
  EXPECT_FALSE(widthEdited(s));
  EXPECT_EQ(s.heightText, "1");
  EXPECT_EQ(s.previewed, (MmRect{0, 0, 150, 100}));
  setRectText(s, RectField::W, "150");
  EXPECT_TRUE(widthEdited(s));
  EXPECT_EQ(s.heightText, "100");
  setRectText(s, RectField::H, "75");
  EXPECT_TRUE(heightEdited(s));
  EXPECT_EQ(s.widthText, "112");  // 112.5 rounds to the even 112
  EXPECT_EQ(s.previewed, (MmRect{0, 0, 112, 75}));

  // Free proportions: the other size stays, the scale refers to the width only.
  EXPECT_TRUE(setFixProportions(s, false));
  EXPECT_EQ(std::tuple(s.scaleLabel, s.scaleEditable), std::tuple("Scala X:", false));
  setRectText(s, RectField::W, "200");
  widthEdited(s);
  EXPECT_EQ(s.docHeightMm, 75);
  // Ticking the box again brings the height back to the proportion.
  setFixProportions(s, true);
  EXPECT_EQ(std::tuple(s.heightText, s.scaleLabel, s.scaleEditable),
            std::tuple("133", "Scala:", true));
}

TEST(PrintCentring, MarginsFollowTheSheetAtEveryPreview) {
  PrintDialogState s = opened(5, 5, 190, 100);
  setCentred(s, true);
  EXPECT_EQ(std::tie(s.xText, s.yText), std::tie("44", "45"));  // (277 - 190) / 2 = 43.5 -> 44
  s.sheetWidthMm = 190;
  s.sheetHeightMm = 277;  // another sheet: the next preview centres again
  updatePreview(s);
  EXPECT_EQ(s.previewed, (MmRect{0, 88, 190, 100}));  // (277-100)/2 = 88.5 -> 88
  // Unchecking leaves the margins where they are.
  setCentred(s, false);
  s.sheetWidthMm = 277;
  updatePreview(s);
  EXPECT_EQ(std::pair(s.docXMm, s.docYMm), std::pair(0, 88));
}

TEST(PrintMax, TheNarrowerSideGovernsAndTheRectangleIsPulledBackOntoTheSheet) {
  // A landscape rectangle on a portrait sheet: the width governs, 190 / 1.458.
  PrintDialogState s = opened(30, 40, 277, 190, 190, 277);
  maximise(s);
  EXPECT_EQ(std::tie(s.xText, s.yText, s.widthText, s.heightText),
            std::tie("0", "40", "190", "130"));
  EXPECT_EQ(s.previewed, (MmRect{0, 40, 190, 130}));
  // A square on a wider sheet: the height governs; 250 + 190 > 277 moves it back.
  PrintDialogState w = opened(250, 30, 100, 100);
  maximise(w);
  EXPECT_EQ(w.rect(), (MmRect{87, 0, 190, 190}));
  EXPECT_FALSE(w.outOfSheet);

  // Free proportions fill the sheet; centring wins over the pull-back.
  PrintDialogState f = opened(10, 10, 100, 50);
  setFixProportions(f, false);
  maximise(f);
  EXPECT_EQ(f.rect(), (MmRect{0, 0, 277, 190}));

  PrintDialogState c = opened(10, 10, 100, 100);
  setCentred(c, true);
  maximise(c);
  EXPECT_EQ(c.rect(), (MmRect{44, 0, 190, 190}));  // (277 - 190) / 2 = 43.5 -> 44

  // Margins to 0.
  PrintDialogState o = opened(5, -7, 100, 100);
  moveToOrigin(o);
  EXPECT_EQ(std::tie(o.xText, o.yText), std::tie("0", "0"));
}

TEST(PrintOutOfLayout, IndicationBlinksWhileThePictureLeavesTheSheet) {
  PrintDialogState s = opened(0, 0, 277, 190);
  updatePreview(s);
  EXPECT_FALSE(s.outOfSheet);
  setRectText(s, RectField::X, "10");  // 10 mm past the right edge
  updatePreview(s);
  EXPECT_TRUE(s.outOfSheet);
  blinkTick(s);
  EXPECT_TRUE(s.blinkRed);
  blinkTick(s);
  EXPECT_FALSE(s.blinkRed);
  blinkTick(s);
  setRectText(s, RectField::X, "0");
  updatePreview(s);
  blinkTick(s);  // a late tick changes nothing
  EXPECT_FALSE(s.blinkRed);

  EXPECT_TRUE(isOutOfSheet({-1, 0, 10, 10}, 277, 190));
  EXPECT_TRUE(isOutOfSheet({0, 181, 10, 10}, 277, 190));
  EXPECT_FALSE(isOutOfSheet({0, 180, 277, 10}, 277, 190));
}

TEST(PrintScale, ShownWithGroupingAndEnteredBack) {
  LocaleSeparators en;
  EXPECT_EQ(scaleText(277.0 * 500000, 277, en), "500,000");
  EXPECT_EQ(scaleText(1000, 3, en), "333.33");
  LocaleSeparators it{",", "."};
  EXPECT_EQ(scaleText(1000, 3, it), "333,33");
  EXPECT_EQ(scaleText(1234567.0 * 2, 2, it), "1.234.567");

  // What the field shows reads back as the same number in either locale.
  EXPECT_EQ(readScale("500,000", en), 500000);
  EXPECT_EQ(readScale("500.000", it), 500000);
  EXPECT_EQ(readScale("333,33", it), 333.33);
  EXPECT_EQ(readScale("2.5E+05", en), 250000);
  EXPECT_FALSE(readScale("", en));
  EXPECT_FALSE(readScale("abc", en));
}

TEST(PrintScale, EnteredScaleSetsTheSizeWithinTheLimits) {
  PrintDialogState s = opened(0, 0, 277, 190);
  EXPECT_EQ(s.scaleText, "500,000");
  s.scaleBase = 138.5e6f;
  s.scaleText = "250000";
  EXPECT_TRUE(enterScale(s));
  EXPECT_EQ(std::tie(s.widthText, s.heightText), std::tie("554", "380"));
  EXPECT_EQ(s.scaleText, "250,000");  // refreshed from the new width

  s.scaleText = "1";  // width capped at 2000
  enterScale(s);
  EXPECT_EQ(std::pair(s.docWidthMm, s.docHeightMm), std::pair(2000, 1372));

  PrintDialogState tall = opened(0, 0, 100, 200);
  tall.scaleText = "1";  // the height passes 2000 first
  enterScale(tall);
  EXPECT_EQ(std::pair(tall.docWidthMm, tall.docHeightMm), std::pair(1000, 2000));

  // Empty, zero, negative or unreadable scales change nothing.
  PrintDialogState same = opened(0, 0, 277, 190);
  for (const char* text : {"", "0", "-5", "x"}) {
    same.scaleText = text;
    EXPECT_FALSE(enterScale(same)) << text;
    EXPECT_EQ(same.rect(), (MmRect{0, 0, 277, 190})) << text;
  }
  // A scale so large that the picture would be under 2 mm is set but not drawn.
  same.scaleText = "1E+12";
  EXPECT_FALSE(enterScale(same));
  EXPECT_EQ(same.docWidthMm, 1);
}

TEST(PrintSheet, SmallSheetPaperNamesAndCaption) {
  EXPECT_EQ(smallSheetTwips(210, 297).w, 1347);
  EXPECT_EQ(smallSheetTwips(297, 210).h, 1347);
  EXPECT_EQ(smallSheetTwips(200, 200).w, 1905);
  // A printer that gives no sheet still gets a drawable square.
  EXPECT_EQ(smallSheetTwips(0, 0).w, 1905);
  for (auto [code, name] : {std::pair{47, "Envelope Invite"},
                            {48, "Unknown"},
                            {68, "A3 Extra Transverse"},
                            {69, "Unknown"},
                            {256, "User"},
                            {0, "Unknown"}})
    EXPECT_EQ(paperName(code), name) << code;
  EXPECT_EQ(sheetCaption(9, 1), " Sheet: A4,  Portrait");
  EXPECT_EQ(sheetCaption(48, 2), " Sheet: Unknown,  Landscape");
  EXPECT_EQ(sheetCaption(8, 0), " Sheet: A3");
}

TEST(PrintMapping, PreviewAndPrinterPixels) {
  // A 277 x 190 sheet drawn 127 x 87 pixels.
  EXPECT_EQ(previewRect({0, 0, 277, 190}, 277, 190, 127, 87), (PixelRect{0, 0, 127, 87}));
  EXPECT_EQ(previewRect({10, 20, 100, 50}, 277, 190, 127, 87), (PixelRect{5, 9, 46, 23}));
  EXPECT_EQ(previewRect({10, 20, 100, 50}, 0, 190, 127, 87), PixelRect{});

  // 24 printer pixels per mm across, 23.5 down.
  EXPECT_EQ(mmToPixels({10, 20, 100, 50}, 277 * 24, 190 * 47 / 2, 277, 190),
            (PixelRect{240, 470, 2400, 1175}));
  EXPECT_EQ(mmToPixels({-10, 0, 277, 190}, 6648, 4560, 277, 190), (PixelRect{-240, 0, 6648, 4560}));
  EXPECT_EQ(mmToPixels({0, 0, 10, 10}, 100, 100, 0, 0), PixelRect{});
}

TEST(PrintFitCheck, ShrinksToTheRightEdgeThenToTheBottom) {
  EXPECT_FALSE(exceedsSheet({0, 0, 277, 190}, 277, 190));
  EXPECT_TRUE(exceedsSheet({1, 0, 277, 190}, 277, 190));
  EXPECT_TRUE(exceedsSheet({0, 1, 277, 190}, 277, 190));
  // Off the left or top edge is not caught here.
  EXPECT_FALSE(exceedsSheet({-50, -50, 277, 190}, 277, 190));

  EXPECT_EQ(shrinkToSheet({0, 0, 300, 200}, 277, 190), (MmRect{0, 0, 277, 185}));
  EXPECT_EQ(shrinkToSheet({0, 0, 100, 300}, 277, 190), (MmRect{0, 0, 63, 190}));
  // Both steps: the square first meets the right edge, then the bottom.
  EXPECT_EQ(shrinkToSheet({0, 0, 400, 400}, 277, 190), (MmRect{0, 0, 190, 190}));
  // The margins shrink with the picture.
  EXPECT_EQ(shrinkToSheet({20, 10, 300, 100}, 277, 190), (MmRect{17, 9, 260, 87}));
}

TEST(PrintZoom, SheetBoxKeepsTheSheetProportion) {
  // A landscape sheet in a low area: the height governs.
  ZoomBox wide = zoomSheet(600, 400, 297, 210, 8);
  // Height 584 / 1.414 = 413 would not fit: the height governs.
  EXPECT_EQ(std::tuple(wide.w, wide.h, wide.x, wide.y), std::tuple(543, 384, 28, 8));
  ZoomBox narrow = zoomSheet(600, 800, 297, 210, 8);
  EXPECT_EQ(std::pair(narrow.w, narrow.x), std::pair(584, 8));
}

// Keys and texts are ASCII in the table.
TEST(PrintKeys, WholeNumbersTakeAMinusWhereAllowedTheScaleOneSeparatorAndAnExponent) {
  for (const auto& c : kolm::test::goldenRows("print_keys.tsv", 7)) {
    auto key = [](const std::string& k) { return k == "BS" ? kBackspace : char32_t(k[0]); };
    const std::u32string text(c[2].begin(), c[2].end());
    const KeyContext box{text, std::stoi(c[3]), c[4] == "1"};
    const char32_t typed = c[6] == "dropped" ? 0 : key(c[6]);
    if (c[0] == "integer")
      EXPECT_EQ(filterIntegerKey(key(c[1]), box, c[5] == "minus"), typed != 0) << c[1] << c[2];
    else
      EXPECT_EQ(filterDecimalKey(key(c[1]), box, key(c[5])), typed) << c[1] << " " << c[2];
  }
}

TEST(PrintBitmap, RowsArePaddedToFourBytes) {
  int32_t stride = 0;
  EXPECT_EQ(bitmapBytes(24, 101, 10, &stride), 3040);
  EXPECT_EQ(stride, 304);
  EXPECT_EQ(bitmapBytes(1, 9, 2, &stride), 8);
  EXPECT_EQ(stride, 4);
  EXPECT_EQ(bitmapBytes(8, 5, 2), 16);
  EXPECT_EQ(bitmapBytes(2, 100, 100), 0);
  EXPECT_EQ(bitmapBytes(24, 0, 10), 0);
  Bitmap24 b = Bitmap24::blank(101, 10);
  EXPECT_EQ(std::pair(b.stride, b.bits.size()), std::pair(304, size_t{3040}));
  EXPECT_TRUE(Bitmap24::blank(0, 5).empty());
}

TEST(PrintBitmap, GreyIsTheRoundedMeanOfTheThreeColours) {
  Bitmap24 b = Bitmap24::blank(3, 2);
  auto set = [&](int x, int y, uint8_t blue, uint8_t green, uint8_t red) {
    uint8_t* p = b.row(y) + 3 * x;
    p[0] = blue, p[1] = green, p[2] = red;
  };
  set(0, 0, 10, 11, 12);
  set(1, 0, 0, 0, 1);
  set(2, 0, 1, 2, 2);
  set(2, 1, 255, 255, 254);
  b.bits[9] = 0xAA;  // row padding is left alone
  makeGrey(b);
  auto grey = [&](int x, int y) {
    const uint8_t* p = b.row(y) + 3 * x;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    return int(p[0]);
  };
  EXPECT_EQ(grey(0, 0), 11);
  EXPECT_EQ(grey(1, 0), 0);
  EXPECT_EQ(grey(2, 0), 2);
  EXPECT_EQ(grey(2, 1), 255);
  EXPECT_EQ(b.bits[9], 0xAA);
}

}  // namespace

TEST(PrintLayout, FitInSheetIsTheLargestRectangleOfThePicturesProportionsOnTheSheet) {
  for (int32_t sheetW : {190, 287, 410})
    for (int32_t sheetH : {130, 200, 277})
      for (double aspect : {0.25, 0.7, 1.0, 1.435, 1.5, 3.0, 12.0}) {
        SCOPED_TRACE(std::to_string(sheetW) + " x " + std::to_string(sheetH) + " at " +
                     std::to_string(aspect));
        const MmRect r = fitInSheet(aspect, sheetW, sheetH);
        EXPECT_EQ(std::tuple(r.x, r.y), std::tuple(0, 0));
        EXPECT_TRUE(r.w <= sheetW && r.h <= sheetH && (r.w == sheetW || r.h == sheetH));
        // Whole millimetres: the proportions within one of them.
        EXPECT_NEAR(r.w, r.h * aspect, std::max(1.0, aspect));
      }
  EXPECT_EQ(fitInSheet(1.5, 0, 200), MmRect{});
}

TEST(PrintSession, ChartOnlyPrintsTheChartInItsOwnProportionsAndItsOwnDrawing) {
  Rig r;
  int32_t w = 0, h = 0;
  r.session.printableSheet(w, h, kLandscape);
  const auto windowDrawing = std::make_shared<PageDrawing>();
  auto chart = std::make_shared<PrintSource>(r.chart(300, 100));
  chart->drawing = std::make_shared<PageDrawing>();
  PrintSource window = r.chart(40, 30);
  window.drawing = windowDrawing;
  window.chart = chart;
  ASSERT_TRUE(r.session.setUp(&window, 0, 0, 200, 150, 0, "Screen", 500000));
  r.session.activate();
  EXPECT_TRUE(r.session.state.chartOffered);
  ASSERT_TRUE(r.session.setChartOnly(true));
  EXPECT_EQ(r.session.state.rect(), (MmRect{0, 0, 287, 95}));  // 3:1 across the sheet
  r.session.state.copies = 1;
  ASSERT_TRUE(r.session.print());
  ASSERT_TRUE(r.session.setUp(&window, 0, 0, 200, 150, 0, "Screen", 500000));
  r.session.activate();
  EXPECT_FALSE(r.session.state.chartOnly);  // each opening starts on the window
  ASSERT_TRUE(r.session.print());
  ASSERT_EQ(r.backend.jobs.size(), 2u);
  EXPECT_EQ(r.backend.jobs[0].drawing, chart->drawing.get());
  EXPECT_EQ(std::tuple(r.backend.jobs[0].imageWidth, r.backend.jobs[0].imageHeight),
            std::tuple(300, 100));
  EXPECT_EQ(r.backend.jobs[1].drawing, windowDrawing.get());
  // Without a chart there is nothing to choose.
  PrintSource plain = r.chart();
  ASSERT_TRUE(r.session.setUp(&plain, 0, 0, 200, 150, 0, "Screen", 500000));
  EXPECT_FALSE(r.session.setChartOnly(true));
}
