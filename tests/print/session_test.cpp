#include "print/session.h"

#include <gtest/gtest.h>

#include "print/fake_printer.h"

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
    return {"Pc1", double(w), [w, h] { return std::optional(Bitmap24::blank(w, h)); }};
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
  EXPECT_EQ(w, 287);
  EXPECT_EQ(h, 200);
  EXPECT_EQ(r.session.state.PrinterName, "Laser");
  EXPECT_EQ(r.session.state.devMode.dmOrientation, kLandscape);
  // Without an orientation the kept one stays.
  EXPECT_TRUE(r.session.printableSheet(w, h));
  EXPECT_EQ(w, 287);
  EXPECT_TRUE(r.prompter.shown.empty());

  EXPECT_FALSE(r.session.printableSheet(w, h, 3));
  EXPECT_EQ(h, -1);
  ASSERT_EQ(r.prompter.messages(), std::vector<std::string>{"Orientamento errato"});
  EXPECT_EQ(r.lastTitle(), kTitle + "FoglioStampa");

  // Printer failures are reported and the name forgotten.
  r.session.state.PrinterName = "";
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
  EXPECT_EQ(r.session.state.PrinterName, "");

  r.backend.printers[0] = {"Laser"};
  r.backend.printers[0].refusesSettings = true;
  EXPECT_FALSE(r.session.printableSheet(w, h, kLandscape));
  EXPECT_EQ(r.prompter.messages().back(), "DocumentProperties non funziona.\n");
  EXPECT_EQ(r.session.state.PrinterName, "");
}

TEST(PrintSession, SetUpRefusesBadSizesAndUnreadablePicturesAndFillsTheLayout) {
  Rig r;
  PrintSource src = r.chart();
  EXPECT_FALSE(r.session.setUp(&src, 0, 0, 100, 0, 0, "Screen", 500000));
  ASSERT_EQ(r.prompter.messages().size(), 1u);
  EXPECT_EQ(r.prompter.messages()[0],
            "Parametri errati.\n\nLa larghezza e l' altezza di stampa\nrichieste devono essere > "
            "0.\n\nInvalid procedure call or argument");
  EXPECT_EQ(r.lastTitle(), kTitle + "StampaFCPB");

  PrintSource broken{"Pc1", 10, [] { return std::optional<Bitmap24>(); }};
  EXPECT_FALSE(r.session.setUp(&broken, 0, 0, 100, 50, 0, "Screen", 500000));
  EXPECT_EQ(
      r.prompter.messages().back(),
      "Si e' verificata una condizione\ninaspettata elaborando l' immagine.\n\nPrinter error");

  // A good call fills the layout from the caller.
  src = r.chart(40, 30);
  ASSERT_TRUE(r.session.setUp(&src, 5, -7, 277, 190, 0, "", 500000));
  const auto& s = r.session.state;
  EXPECT_EQ(s.rect(), (MmRect{5, -7, 277, 190}));
  EXPECT_EQ(s.scaleText, "500,000");
  EXPECT_EQ(s.DocTitle, "Pc1");  // no title: the object's name
  EXPECT_EQ(r.session.caption(), "  Print of: Pc1");
  EXPECT_TRUE(s.image);

  // Scale 0: the object's own width is the scale's base.
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 20, 10, 0, "T", 0));
  EXPECT_EQ(r.session.state.scaleText, "2");
  // A second opening starts from the design values of the controls.
  r.session.state.centred = true;
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 20, 10, 0, "T", 0));
  EXPECT_FALSE(r.session.state.centred);

  // No object: printer settings only.
  ASSERT_TRUE(r.session.setUp(nullptr, 0, 0, 0, 0, 0, "", 0));
  EXPECT_FALSE(r.session.state.HasSource);
  EXPECT_EQ(r.session.caption(), "  Printer settings ");
  EXPECT_EQ(r.prompter.shown.size(), 2u);  // the two refusals only
}

TEST(PrintSession, ActivationSelectsTheKeptPrinterAndReadsItsSheet) {
  Rig r;
  ASSERT_TRUE(r.open());
  const auto& s = r.session.state;
  EXPECT_EQ(s.printers, (std::vector<std::string>{"Laser", "Inkjet"}));
  EXPECT_EQ(s.printerIndex, 0);
  EXPECT_EQ(s.SelectedPrinter, "Laser");
  EXPECT_EQ(s.SheetW_mm, 287);
  EXPECT_EQ(s.SheetH_mm, 200);
  EXPECT_EQ(s.copiesText, "1");  // no copies yet: 1 shown

  // Another printer with A3 paper: the rectangle stays, the sheet changes.
  r.backend.printers[1].current.dmPaperSize = 8;
  r.session.state.devMode.dmPaperSize = 0;  // let the printer's own paper come back
  r.session.selectPrinter(1);
  EXPECT_EQ(s.SelectedPrinter, "Inkjet");
  EXPECT_EQ(s.devMode.dmPaperSize, 8);
  EXPECT_EQ(s.devMode.dmOrientation, kLandscape);  // the kept settings carry over
  EXPECT_EQ(s.SheetW_mm, 410);
  EXPECT_EQ(s.rect(), (MmRect{0, 0, 287, 200}));

  // A kept name that is no longer installed selects the first entry.
  r.session.state.PrinterName = "Gone";
  r.session.activate();
  EXPECT_EQ(s.printerIndex, 0);
}

TEST(PrintSession, RequestedOrientationAppliesAtActivation) {
  Rig r;
  PrintSource src = r.chart();
  ASSERT_TRUE(r.session.setUp(&src, 0, 0, 100, 100, kPortrait, "Screen", 500000));
  r.session.activate();
  EXPECT_EQ(r.session.state.SheetW_mm, 200);
  // Exit restores the settings found at activation.
  r.session.cancel();
  EXPECT_EQ(r.session.state.devMode.dmOrientation, kPortrait);  // the printer's own
}

TEST(PrintSession, PropertiesDialogSeesTheCopiesAndCanChangeThem) {
  Rig r;
  ASSERT_TRUE(r.open());
  r.session.setCopiesText("3");
  r.backend.propertiesDialog = [](DevMode& dm) {
    dm.dmCopies = 5;
    dm.dmPaperSize = 1;
    dm.dmColor = kMonochrome;
    return true;
  };
  r.session.editPrinterProperties();
  const auto& s = r.session.state;
  ASSERT_EQ(r.backend.propertiesShownWith.size(), 1u);
  EXPECT_EQ(r.backend.propertiesShownWith[0].dmCopies, 3);
  EXPECT_EQ(s.Copies, 5);
  EXPECT_EQ(s.devMode.dmCopies, 1);  // copies come from the page loop
  EXPECT_EQ(s.ColorMode, kMonochrome);
  EXPECT_EQ(s.SheetW_mm, 269);  // Letter, landscape
  EXPECT_TRUE(s.outOfSheet);    // 287 mm wide no longer fits

  // Cancel changes nothing but the copies the printer is asked for.
  DevMode before = s.devMode;
  r.backend.propertiesDialog = [](DevMode& dm) {
    dm.dmPaperSize = 8;
    return false;
  };
  r.session.editPrinterProperties();
  EXPECT_EQ(s.devMode, before);
  EXPECT_EQ(s.copiesText, "5");

  // Exit puts back the copies and the settings of the activation.
  r.session.cancel();
  EXPECT_EQ(s.Copies, 0);
  EXPECT_EQ(s.devMode.dmPaperSize, 9);
  EXPECT_EQ(s.devMode.dmColor, kColour);
}

TEST(PrintSession, SecondCallStartsFromWhatTheFirstLeft) {
  Rig r;
  ASSERT_TRUE(r.open());
  r.session.selectPrinter(1);
  r.session.setCopiesText("2");
  ASSERT_TRUE(r.session.print());
  EXPECT_EQ(r.session.state.PrinterName, "Inkjet");
  EXPECT_FALSE(r.session.state.image);  // released with the dialog

  ASSERT_TRUE(r.open());
  EXPECT_EQ(r.session.state.SelectedPrinter, "Inkjet");
  EXPECT_EQ(r.session.state.copiesText, "2");
  // No copies: nothing printed, and the dialog closes.
  r.session.setCopiesText("0");
  EXPECT_TRUE(r.session.print());
  EXPECT_EQ(r.backend.jobs.size(), 1u);

  // OK (settings mode) keeps the chosen printer; Exit does not.
  ASSERT_TRUE(r.session.setUp(nullptr, 0, 0, 0, 0, 0, "", 0));
  r.session.activate();
  r.session.selectPrinter(0);
  r.session.cancel();
  EXPECT_EQ(r.session.state.PrinterName, "Inkjet");
  r.session.activate();
  r.session.selectPrinter(0);
  r.session.accept();
  EXPECT_EQ(r.session.state.PrinterName, "Laser");
}

TEST(PrintSession, FitQuestionCancelNoAndYes) {
  Rig r;
  ASSERT_TRUE(r.open());
  setRectText(r.session.state, RectField::W, "300");  // sheet 287 x 200
  setRectText(r.session.state, RectField::H, "200");

  r.answers = {Answer::Cancel};
  EXPECT_FALSE(r.session.print());
  ASSERT_EQ(r.questions.size(), 1u);
  EXPECT_EQ(r.questions[0],
            " Errore di Scala|Le dimensioni di stampa richieste\nsono superiori a quelle del "
            "foglio\ndella stampante selezionata.\n\nPosso cambiare la scala?");
  EXPECT_TRUE(r.backend.jobs.empty());

  r.answers = {Answer::No};
  EXPECT_TRUE(r.session.print());
  ASSERT_EQ(r.backend.jobs.size(), 1u);
  EXPECT_EQ(r.backend.jobs[0].rect, (PixelRect{0, 0, 300 * 24, 200 * 24}));

  ASSERT_TRUE(r.open());
  setRectText(r.session.state, RectField::W, "300");
  setRectText(r.session.state, RectField::H, "200");
  r.answers = {Answer::Yes};
  EXPECT_TRUE(r.session.print());
  ASSERT_EQ(r.backend.jobs.size(), 2u);
  // k = 287 / 300: 287 x 191 mm; the dialog's own fields stay as they were.
  EXPECT_EQ(r.backend.jobs[1].rect, (PixelRect{0, 0, 287 * 24, 191 * 24}));
}

TEST(PrintSession, PageFailuresAreReportedWithTheirSteps) {
  Rig r;
  ASSERT_TRUE(r.open());
  PageOutput page;
  page.stop = PageOutput::Stop::Page;
  page.copiesDone = 1;
  page.r1 = 1, page.r2 = 1, page.r3 = 0, page.r4 = 1;
  r.backend.failure = page;
  EXPECT_FALSE(r.session.print());
  ASSERT_EQ(r.prompter.messages().size(), 1u);
  EXPECT_EQ(r.prompter.messages()[0],
            "Stampa interrotta.\nR1 = 1\nR2 = 1\nR3 = 0\nR4 = 1\nLa funzione di Stampa\nha "
            "trovato una situazione imprevista.\n\nCodice di errore = 482\nPrinter error");
  EXPECT_EQ(r.lastTitle(), kTitle + "Print_FCPB");

  PageOutput start;
  start.stop = PageOutput::Stop::StartDoc;
  r.backend.failure = start;
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages().back().substr(0, 20), "Errore di StartDoc.\n");

  // A user who gives up (no file chosen) gets no message.
  PageOutput cancelled;
  cancelled.stop = PageOutput::Stop::Cancelled;
  r.backend.failure = cancelled;
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
  EXPECT_EQ(r.session.state.SelectedPrinter, "");
  EXPECT_FALSE(r.session.print());
  EXPECT_EQ(r.prompter.messages().back().substr(0, 10), "prhDC = 0\n");
  EXPECT_TRUE(r.backend.jobs.empty());
}

}  // namespace
