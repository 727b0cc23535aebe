// The print dialog's session with the printers: opening on a sheet, choosing a
// printer and its settings, the questions and failures of a print.
#include "print/session.h"

#include <gtest/gtest.h>

#include <tuple>

#include "print/bitmap.h"
#include "print/fake_printer.h"
#include "print/layout.h"

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

}  // namespace

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
