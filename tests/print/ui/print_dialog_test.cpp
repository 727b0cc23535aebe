#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "print/fake_printer.h"
#include "print/ui/frm_stampa_fcpb.h"
#include "print/ui/preview_area.h"
#include "print/ui/printer_properties.h"
#include "print/ui/qt_printer_backend.h"
#include "print/ui/stampa.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

using namespace kolm;
using namespace kolm::print;
using kolm::print::ui::frmStampaFCPB;
using kolm::print::ui::PrintService;
using kolm::test::FakePrinterBackend;

namespace {

// Something that looks like a sweep chart: black, a red grid, a green trace.
class ChartLike : public QWidget {
 public:
  ChartLike() {
    setObjectName("Pc1");
    resize(420, 280);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(255, 0, 0));
    for (int x = 0; x <= width(); x += width() / 10) p.drawLine(x, 0, x, height());
    for (int y = 0; y <= height(); y += height() / 8) p.drawLine(0, y, width(), y);
    p.setPen(QPen(QColor(0, 255, 0), 2));
    QPolygonF trace;
    for (int x = 0; x < width(); ++x) {
      double f = (x - width() / 2.0) / 18.0;
      trace << QPointF(x, height() * (0.85 - 0.7 / (1 + f * f)));
    }
    p.drawPolyline(trace);
  }
};

using kolm::test::child;

void clickUp(QWidget& dlg, const char* upDownName, int times = 1) {
  auto* spin = child<QWidget>(dlg, upDownName);
  auto* up = spin->findChild<QToolButton*>("up");
  for (int i = 0; i < times; ++i) QTest::mouseClick(up, Qt::LeftButton);
}

// With KOLM_PRINT_SHOTS set to a folder, the tests leave pictures of the dialog there.
void saveShot(QWidget& w, const QString& name) {
  if (!qEnvironmentVariableIsSet("KOLM_PRINT_SHOTS")) return;
  QTest::qWait(30);
  w.grab().save(qEnvironmentVariable("KOLM_PRINT_SHOTS") + "/" + name + ".png");
}

// Select everything in the box and type over it.
void retype(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// The scale field follows the user's locale; these tests read it in English.
struct EnglishLocale {
  EnglishLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  ~EnglishLocale() { QLocale::setDefault(QLocale::system()); }
};

struct Rig {
  EnglishLocale english;
  common::ScriptedPrompter prompter;
  FakePrinterBackend* backend;
  std::vector<Answer> answers;
  int questions = 0;
  std::unique_ptr<PrintService> service;
  ChartLike chart;
  int dialogsRun = 0;

  Rig() {
    auto b = std::make_unique<FakePrinterBackend>();
    backend = b.get();
    service = std::make_unique<PrintService>(std::move(b), prompter,
                                             [this](const std::string&, const std::string&) {
                                               ++questions;
                                               if (answers.empty()) return Answer::Cancel;
                                               Answer a = answers.front();
                                               answers.erase(answers.begin());
                                               return a;
                                             });
    chart.show();
  }
  // The windows' print command, with `drive` doing what the user does in the dialog.
  void print(std::function<void(frmStampaFCPB&)> drive) {
    service->runModal = [this, drive](frmStampaFCPB& dlg) {
      ++dialogsRun;
      dlg.show();
      drive(dlg);
      if (dlg.isVisible()) dlg.reject();
    };
    service->printWindow(&chart, "Screen");
  }
};

TEST(PrintDialog, OpensOnTheLandscapeSheetWithThePictureInThePreview) {
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    EXPECT_EQ(dlg.windowTitle(), "  Print of: Screen");
    auto* list = child<QComboBox>(dlg, "cboPrinterNames");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText(), "Laser");
    EXPECT_EQ(child<QLabel>(dlg, "lblFgW")->text(), "287");
    EXPECT_EQ(child<QLabel>(dlg, "lblFgH")->text(), "200");
    EXPECT_EQ(child<QGroupBox>(dlg, "fraFoglio")->title(), " Sheet: A4,  Landscape");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtPrW")->text(), "287");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtPrH")->text(), "200");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtScala")->text(), "500,000");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtNCopies")->text(), "1");
    EXPECT_TRUE(child<QPushButton>(dlg, "cmdStampa")->isVisible());
    EXPECT_FALSE(child<QPushButton>(dlg, "cmdOK")->isVisible());
    EXPECT_FALSE(child<QLabel>(dlg, "lblFuoriFoglio")->isVisible());
    // The small sheet: 1905 x 1328 twips at 15 twips a pixel, the picture over all of it.
    auto* preview = child<ui::PreviewArea>(dlg, "picPreview");
    EXPECT_EQ(preview->size(), QSize(127, 89));
    EXPECT_EQ(preview->target(), QRect(0, 0, 127, 89));
    EXPECT_EQ(preview->toolTip(), " Print Preview ");
    QImage shot = preview->grab().toImage();
    QColor inside = shot.pixelColor(20, 15);  // the chart's black, not the white paper
    EXPECT_LT(inside.red() + inside.green() + inside.blue(), 60);

    if (qEnvironmentVariableIsSet("KOLM_PRINT_SHOTS")) {
      retype(child<QLineEdit>(dlg, "txtPrW"), "250");
      child<QCheckBox>(dlg, "chkCentro")->click();
      saveShot(dlg, "print-dialog");
      child<QCheckBox>(dlg, "chkCentro")->click();
      retype(child<QLineEdit>(dlg, "txtPrX"), "60");
      saveShot(dlg, "print-out-of-layout");
      QTest::mouseClick(preview, Qt::LeftButton);
      saveShot(dlg, "print-zoom");
    }
  });
  EXPECT_EQ(rig.dialogsRun, 1);
  EXPECT_TRUE(rig.prompter.shown.empty());
}

TEST(PrintDialog, TypingKeepsNumbersInRangeAndInProportion) {
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    auto* w = child<QLineEdit>(dlg, "txtPrW");
    auto* h = child<QLineEdit>(dlg, "txtPrH");
    auto* x = child<QLineEdit>(dlg, "txtPrX");
    retype(w, "1x4-3.5");  // letters, minus and point are dropped
    EXPECT_EQ(w->text(), "1435");
    EXPECT_EQ(h->text(), "1000");  // 1435 / (287 / 200)
    EXPECT_EQ(child<QLineEdit>(dlg, "txtScala")->text(), "100,000");
    // Clearing a size puts 1 back, selected, so typing replaces it.
    w->selectAll();
    QTest::keyClick(w, Qt::Key_Backspace);
    EXPECT_EQ(w->text(), "1");
    QTest::keyClicks(w, "150");
    EXPECT_EQ(w->text(), "150");
    EXPECT_EQ(h->text(), "105");
    retype(h, "100");
    EXPECT_EQ(w->text(), "143");
    // A margin takes a minus at its start.
    retype(x, "5");
    x->setCursorPosition(0);
    QTest::keyClick(x, Qt::Key_Minus);
    EXPECT_EQ(x->text(), "-5");
    EXPECT_TRUE(child<QLabel>(dlg, "lblFuoriFoglio")->isVisible());
    EXPECT_TRUE(child<QTimer>(dlg, "Timer1")->isActive());
    // Margins to 0 puts the picture back on the sheet and stops the blinking.
    QTest::mouseClick(child<QToolButton>(dlg, "cmdOrigine"), Qt::LeftButton);
    EXPECT_EQ(x->text(), "0");
    EXPECT_FALSE(child<QLabel>(dlg, "lblFuoriFoglio")->isVisible());
    EXPECT_FALSE(child<QTimer>(dlg, "Timer1")->isActive());

    // A scale typed in the field sets the size on Enter.
    auto* scale = child<QLineEdit>(dlg, "txtScala");
    retype(scale, "1e6");
    EXPECT_EQ(scale->text(), "1E6");
    QTest::keyClick(scale, Qt::Key_Return);
    EXPECT_EQ(w->text(), "144");  // 143.5 from 1,000,000
    EXPECT_EQ(h->text(), "100");
    EXPECT_EQ(scale->text(), "996,527.78");

    // Centring disables the margins; Max fills the sheet's height.
    child<QCheckBox>(dlg, "chkCentro")->click();
    EXPECT_FALSE(x->isEnabled());
    EXPECT_FALSE(child<QToolButton>(dlg, "cmdOrigine")->isEnabled());
    QTest::mouseClick(child<QPushButton>(dlg, "cmdMax"), Qt::LeftButton);
    EXPECT_EQ(w->text(), "287");
    EXPECT_EQ(h->text(), "200");
    // Free proportions: the scale is the width's only.
    child<QCheckBox>(dlg, "chkProporzioni")->click();
    EXPECT_EQ(child<QLabel>(dlg, "lblLblScala")->text(), "Scala X:");
    EXPECT_FALSE(scale->isEnabled());
    clickUp(dlg, "updPrW", 3);
    EXPECT_EQ(w->text(), "290");
    EXPECT_EQ(h->text(), "200");
  });
}

TEST(PrintDialog, PrintSendsOnePicturePerCopyInPrinterPixels) {
  Rig rig;
  bool closedByPrint = false;
  rig.print([&](frmStampaFCPB& dlg) {
    child<QCheckBox>(dlg, "chkProporzioni")->click();
    retype(child<QLineEdit>(dlg, "txtPrX"), "10");
    retype(child<QLineEdit>(dlg, "txtPrY"), "5");
    retype(child<QLineEdit>(dlg, "txtPrW"), "100");
    retype(child<QLineEdit>(dlg, "txtPrH"), "50");
    clickUp(dlg, "updNCopies", 2);
    EXPECT_EQ(child<QLineEdit>(dlg, "txtNCopies")->text(), "3");
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
    closedByPrint = !dlg.isVisible() && dlg.result() == QDialog::Accepted;
  });
  EXPECT_TRUE(closedByPrint);
  ASSERT_EQ(rig.backend->jobs.size(), 1u);
  const auto& job = rig.backend->jobs[0];
  EXPECT_EQ(job.copies, 3);
  EXPECT_EQ(job.rect, (PixelRect{240, 120, 2400, 1200}));
  EXPECT_EQ(job.title, "Screen");
  EXPECT_EQ(job.imageWidth, rig.chart.width());
  EXPECT_EQ(job.imageHeight, rig.chart.height());
  EXPECT_EQ(rig.questions, 0);
  // The copies are kept for the next print.
  EXPECT_EQ(rig.service->session().state.Copies, 3);
}

TEST(PrintDialog, CancelledFitQuestionKeepsTheDialogOpen) {
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    retype(child<QLineEdit>(dlg, "txtPrX"), "20");
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
    EXPECT_EQ(rig.questions, 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(child<QLabel>(dlg, "lblStampaInCorso")->isVisible());
    rig.answers = {Answer::Yes};
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
  });
  ASSERT_EQ(rig.backend->jobs.size(), 1u);
  // 307 mm wide on a 287 mm sheet: everything times 287/307.
  EXPECT_EQ(rig.backend->jobs[0].rect, (PixelRect{19 * 24, 0, 268 * 24, 187 * 24}));
}

TEST(PrintDialog, OrientationChangedInThePropertiesRereadsTheSheet) {
  Rig rig;
  rig.backend->propertiesDialog = [](DevMode& dm) {
    dm.dmOrientation = kPortrait;
    dm.dmCopies = 4;
    return true;
  };
  rig.print([&](frmStampaFCPB& dlg) {
    int queries = rig.backend->sheetQueries;
    QTest::mouseClick(child<QPushButton>(dlg, "cmdProprieta"), Qt::LeftButton);
    EXPECT_GT(rig.backend->sheetQueries, queries);
    EXPECT_EQ(child<QLabel>(dlg, "lblFgW")->text(), "200");
    EXPECT_EQ(child<QLabel>(dlg, "lblFgH")->text(), "287");
    EXPECT_EQ(child<QGroupBox>(dlg, "fraFoglio")->title(), " Sheet: A4,  Portrait");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtNCopies")->text(), "4");
    EXPECT_EQ(child<ui::PreviewArea>(dlg, "picPreview")->size(), QSize(89, 127));
    // 287 mm wide no longer fits a portrait sheet.
    EXPECT_TRUE(child<QLabel>(dlg, "lblFuoriFoglio")->isVisible());

    // Another printer from the list reads its own sheet.
    auto* list = child<QComboBox>(dlg, "cboPrinterNames");
    rig.backend->printers[1].current.dmPaperSize = 8;
    rig.service->session().state.devMode.dmPaperSize = 0;
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(child<QLabel>(dlg, "lblFgW")->text(), "287");
    EXPECT_EQ(child<QLabel>(dlg, "lblFgH")->text(), "410");
    EXPECT_FALSE(child<QLabel>(dlg, "lblFuoriFoglio")->isVisible());
    // Exit undoes the settings and the copies.
    QTest::mouseClick(child<QPushButton>(dlg, "cmdChiudi"), Qt::LeftButton);
  });
  const auto& s = rig.service->session().state;
  EXPECT_EQ(s.devMode.dmOrientation, kLandscape);
  EXPECT_EQ(s.Copies, 0);
  EXPECT_EQ(s.PrinterName, "Laser");
  EXPECT_TRUE(rig.backend->jobs.empty());
}

TEST(PrintDialog, MonochromePrinterGreysOnlyThePreview) {
  Rig rig;
  rig.backend->printers[0].current.dmColor = kMonochrome;
  rig.print([&](frmStampaFCPB& dlg) {
    QImage shot = child<ui::PreviewArea>(dlg, "picPreview")->grab().toImage();
    bool sawGrey = false;
    for (int x = 0; x < shot.width(); ++x) {
      QColor c = shot.pixelColor(x, shot.height() / 2);
      EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x;
      sawGrey = sawGrey || (c.red() > 20 && c.red() < 235);
    }
    EXPECT_TRUE(sawGrey);
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
  });
  ASSERT_EQ(rig.backend->jobs.size(), 1u);
  EXPECT_EQ(rig.backend->jobs[0].devMode.dmColor, kMonochrome);
}

TEST(PrintDialog, EnlargedPreviewOpensAndClosesOnAClick) {
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    QTest::mouseClick(child<ui::PreviewArea>(dlg, "picPreview"), Qt::LeftButton);
    EXPECT_TRUE(dlg.zoomShown());
    auto* big = child<ui::PreviewArea>(dlg, "picPreviewZoom");
    EXPECT_GT(big->width(), 300);
    EXPECT_EQ(big->target(), QRect(QPoint(0, 0), big->size()));
    QTest::mouseClick(big, Qt::LeftButton);
    EXPECT_FALSE(dlg.zoomShown());
  });
}

TEST(PrintDialog, DoubleClickOnTheNameLabelSavesThePreview) {
  kolm::test::InTempDir dir;
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    QTest::mouseDClick(child<QLabel>(dlg, "zLabel1"), Qt::LeftButton);
  });
  QImage saved(frmStampaFCPB::previewFileName(), "BMP");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(127, 89));
  EXPECT_TRUE(rig.prompter.shown.empty());
}

TEST(PrintDialog, SettingsModeOnlyChoosesThePrinter) {
  Rig rig;
  rig.service->runModal = [&](frmStampaFCPB& dlg) {
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "  Printer settings ");
    EXPECT_TRUE(child<QPushButton>(dlg, "cmdOK")->isVisible());
    EXPECT_FALSE(child<QPushButton>(dlg, "cmdStampa")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(dlg, "txtNCopies")->isVisible());
    EXPECT_TRUE(child<QLabel>(dlg, "imgPrinter")->isVisible());
    saveShot(dlg, "print-settings");
    auto* preview = child<ui::PreviewArea>(dlg, "picPreview");
    EXPECT_EQ(preview->toolTip(), "");
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_FALSE(dlg.zoomShown());
    auto* list = child<QComboBox>(dlg, "cboPrinterNames");
    list->setCurrentIndex(1);
    emit list->activated(1);
    QTest::mouseClick(child<QPushButton>(dlg, "cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
  };
  EXPECT_TRUE(rig.service->StampaFCPB(nullptr, 0, 0, 0, 0, 0, "", 0));
  EXPECT_EQ(rig.service->session().state.PrinterName, "Inkjet");
}

TEST(PrintDialog, FailedSetUpShowsItsMessageAndNoDialog) {
  Rig rig;
  rig.service->runModal = [&](frmStampaFCPB&) { ++rig.dialogsRun; };
  EXPECT_FALSE(rig.service->StampaFCPB(&rig.chart, 0, 0, 100, 0, 0, "Screen", 500000));
  ASSERT_EQ(rig.prompter.shown.size(), 1u);
  EXPECT_EQ(rig.prompter.shown[0].title, " Errore in frmStampaFCPB/StampaFCPB");
  EXPECT_EQ(rig.prompter.shown[0].text.substr(0, 17), "Parametri errati.");

  // A widget with no size has no picture to take.
  QWidget empty;
  empty.resize(0, 0);
  EXPECT_FALSE(rig.service->StampaFCPB(&empty, 0, 0, 100, 50, 0, "Screen", 500000));
  ASSERT_EQ(rig.prompter.shown.size(), 3u);
  EXPECT_EQ(rig.prompter.shown[1].title, " Errore in frmStampaFCPB/Legge_PictureBox");
  EXPECT_EQ(rig.prompter.shown[2].text.substr(0, 31), "Si e' verificata una condizione");

  // No printer at all: the windows' print command stops after the printer's message.
  rig.backend->defaultName = "";
  rig.service->session().state.PrinterName = "";
  rig.service->printWindow(&rig.chart, "Screen");
  EXPECT_EQ(rig.prompter.shown.back().text, "Stampante di default non specificata.");
  EXPECT_EQ(rig.prompter.shown.size(), 4u);
  EXPECT_EQ(rig.dialogsRun, 0);
}

TEST(PrintDialog, EscapeLeavesAsExitDoes) {
  Rig rig;
  rig.print([&](frmStampaFCPB& dlg) {
    clickUp(dlg, "updNCopies", 4);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
  });
  EXPECT_EQ(rig.service->session().state.Copies, 0);
  EXPECT_TRUE(rig.backend->jobs.empty());
}

// ---- the Qt printing system's file printer ----

TEST(QtPrinting, WindowsPrintCommandIsOneCall) {
  common::ScriptedPrompter prompter;
  PrintService& service = PrintService::instance();
  EXPECT_EQ(&service, &PrintService::instance());
  ChartLike chart;
  chart.show();
  QString title;
  bool sawWindowPrompter = false;
  service.runModal = [&](frmStampaFCPB& dlg) {
    dlg.show();
    title = dlg.windowTitle();
    sawWindowPrompter = &service.session().prompter() == &prompter;
    QTest::mouseClick(child<QPushButton>(dlg, "cmdChiudi"), Qt::LeftButton);  // never prints
  };
  ui::printWindow(prompter, &chart, "Screen");
  service.runModal = nullptr;
  EXPECT_EQ(title, "  Print of: Screen");
  EXPECT_TRUE(sawWindowPrompter);
  EXPECT_NE(&service.session().prompter(), &prompter);  // not kept after the call
  EXPECT_TRUE(prompter.shown.empty());
}

TEST(QtPrinting, PropertiesDialogShowsAndReturnsTheSettings) {
  DevMode dm{kLandscape, 9, 3, kColour};
  ui::PrinterPropertiesDialog dialog("Print to PDF file", dm, ui::pdfPapers(), true);
  auto* paper = child<QComboBox>(dialog, "paper");
  EXPECT_EQ(paper->currentText(), "A4");
  EXPECT_TRUE(child<QRadioButton>(dialog, "landscape")->isChecked());
  EXPECT_TRUE(child<QRadioButton>(dialog, "colour")->isChecked());
  EXPECT_EQ(child<QSpinBox>(dialog, "copies")->value(), 3);
  EXPECT_EQ(dialog.settings(), dm);
  saveShot(dialog, "print-properties");

  paper->setCurrentIndex(paper->findData(1));  // Letter
  child<QRadioButton>(dialog, "portrait")->setChecked(true);
  child<QRadioButton>(dialog, "grey")->setChecked(true);
  child<QSpinBox>(dialog, "copies")->setValue(5);
  EXPECT_EQ(dialog.settings(), (DevMode{kPortrait, 1, 5, kMonochrome}));

  // A printer without colour, and a paper not in its list, kept as it is.
  ui::PrinterPropertiesDialog mono("Mono", DevMode{kPortrait, 66, 1, kColour},
                                   {QPageSize(QPageSize::A4)}, false);
  EXPECT_TRUE(child<QRadioButton>(mono, "grey")->isChecked());
  EXPECT_FALSE(child<QRadioButton>(mono, "colour")->isEnabled());
  EXPECT_EQ(mono.settings().dmPaperSize, 66);
  EXPECT_EQ(mono.settings().dmColor, kMonochrome);
}

int pdfPages(const QByteArray& pdf) {
  return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
             pdf.count("/Type /Page "));
}

TEST(QtPrinting, FilePrinterGivesThePaperOfTheSettings) {
  ui::QtPrinterBackend backend(nullptr);
  auto names = backend.printerNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), ui::kPdfPrinterName);
  DevMode dm;
  dm.dmPaperSize = 9;
  dm.dmOrientation = kLandscape;
  ASSERT_EQ(backend.openPrinter(ui::kPdfPrinterName, dm), OpenResult::Ok);
  EXPECT_EQ(dm.dmPaperSize, 9);
  EXPECT_EQ(dm.dmCopies, 1);
  EXPECT_EQ(dm.dmColor, kColour);
  auto sheet = backend.sheetSize(ui::kPdfPrinterName, dm);
  ASSERT_TRUE(sheet);
  // A4 less 10 pt margins: 289.9 x 202.9 mm; 1200 pixels an inch.
  EXPECT_EQ(sheet->widthMm, 290);
  EXPECT_EQ(sheet->heightMm, 203);
  EXPECT_NEAR(sheet->widthPx, 289.94 / 25.4 * 1200, 2);
  dm.dmPaperSize = 8;
  dm.dmOrientation = kPortrait;
  EXPECT_EQ(backend.sheetSize(ui::kPdfPrinterName, dm)->heightMm, 413);
  DevMode unknown;
  EXPECT_EQ(backend.openPrinter("No such printer here", unknown), OpenResult::NoAccess);
}

TEST(QtPrinting, DialogPrintsTheChartIntoAPdfFile) {
  kolm::test::TempDir dir;
  QString path = QString::fromStdString((dir.path() / "chart").string());
  common::ScriptedPrompter prompter;
  prompter.files.push_back(path.toStdString());  // no extension: ".pdf" is added
  auto qtBackend = std::make_unique<ui::QtPrinterBackend>(nullptr);
  ui::QtPrinterBackend* raw = qtBackend.get();
  PrintService service(std::move(qtBackend), prompter,
                       [](const std::string&, const std::string&) { return Answer::Cancel; });
  raw->setPdfFileChooser([&prompter] { return prompter.saveFileName("Print to PDF file", ""); });
  // Never a real printer from a test.
  service.session().state.PrinterName = ui::kPdfPrinterName;
  ChartLike chart;
  chart.show();
  service.runModal = [&](frmStampaFCPB& dlg) {
    dlg.show();
    EXPECT_EQ(child<QComboBox>(dlg, "cboPrinterNames")->currentText(), ui::kPdfPrinterName);
    EXPECT_EQ(child<QLabel>(dlg, "lblFgW")->text(), "290");
    retype(child<QLineEdit>(dlg, "txtPrW"), "220");
    child<QCheckBox>(dlg, "chkCentro")->click();
    retype(child<QLineEdit>(dlg, "txtNCopies"), "2");
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
  };
  // The window is told where the PDF went (its status line says so).
  EXPECT_EQ(service.printWindow(&chart, "Screen"), path + ".pdf");
  EXPECT_TRUE(prompter.messages().empty());

  QFile pdf(path + ".pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  EXPECT_EQ(pdfPages(bytes), 2);  // one page per copy
  // Landscape A4 pages.
  QRegularExpression media(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
  auto m = media.match(QString::fromLatin1(bytes));
  ASSERT_TRUE(m.hasMatch());
  EXPECT_NEAR(m.captured(1).toDouble(), 841.9, 1);
  EXPECT_NEAR(m.captured(2).toDouble(), 595.3, 1);
  EXPECT_TRUE(bytes.contains("/Subtype /Image"));
  EXPECT_TRUE(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files) ==
              QStringList{"chart.pdf"});  // nothing left over from the atomic write
  if (qEnvironmentVariableIsSet("KOLM_PRINT_SHOTS"))
    QFile::copy(path + ".pdf", qEnvironmentVariable("KOLM_PRINT_SHOTS") + "/print.pdf");
}

TEST(QtPrinting, NoFileChosenGivesUpWithoutAMessage) {
  common::ScriptedPrompter prompter;
  auto qtBackend = std::make_unique<ui::QtPrinterBackend>([] { return std::string(); });
  PrintService service(std::move(qtBackend), prompter,
                       [](const std::string&, const std::string&) { return Answer::Cancel; });
  service.session().state.PrinterName = ui::kPdfPrinterName;
  ChartLike chart;
  bool stayedOpen = false;
  service.runModal = [&](frmStampaFCPB& dlg) {
    dlg.show();
    QTest::mouseClick(child<QPushButton>(dlg, "cmdStampa"), Qt::LeftButton);
    stayedOpen = dlg.isVisible();
    dlg.reject();
  };
  EXPECT_EQ(service.printWindow(&chart, "Screen"), "");  // nothing written
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(prompter.messages().empty());
}

}  // namespace
