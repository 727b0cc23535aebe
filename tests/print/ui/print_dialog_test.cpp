#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
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
#include <QToolButton>

#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/analyzer_window.h"
#include "analyzer/ui/smith_window.h"
#include "common/prompter.h"
#include "hw/instrument.h"
#include "powermeter/ui/power_meter_window.h"
#include "print/fake_printer.h"
#include "print/layout.h"
#include "print/ui/preview_area.h"
#include "print/ui/print_dialog.h"
#include "print/ui/print_service.h"
#include "print/ui/printer_properties.h"
#include "print/ui/qt_printer_backend.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

using namespace kolm;
using namespace kolm::print;
using kolm::print::ui::PrintDialog;
using kolm::print::ui::PrintService;
using kolm::test::child;
using kolm::test::FakePrinterBackend;

namespace {

// Something that looks like a sweep chart: black with a green trace across.
class ChartLike : public QWidget {
 public:
  ChartLike() {
    setObjectName("chart");
    resize(420, 280);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.fillRect(0, height() / 2 - 20, width(), 40, QColor(0, 255, 0));
  }
};

void clickUp(QWidget& dlg, const char* upDownName, int times = 1) {
  auto* up = child<QWidget>(dlg, upDownName)->findChild<QToolButton*>("up");
  for (int i = 0; i < times; ++i) QTest::mouseClick(up, Qt::LeftButton);
}

void click(QWidget& dlg, const char* button) {
  QTest::mouseClick(child<QAbstractButton>(dlg, button), Qt::LeftButton);
}

// Select everything in the box and type over it.
QLineEdit* retype(QWidget& dlg, const char* box, const QString& text) {
  auto* edit = child<QLineEdit>(dlg, box);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
  return edit;
}

QString label(QWidget& dlg, const char* name) { return child<QLabel>(dlg, name)->text(); }

// The scale field follows the user's locale; these tests read it in English.
struct EnglishLocale {
  EnglishLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  ~EnglishLocale() { QLocale::setDefault(QLocale::system()); }
};

struct Rig {
  EnglishLocale english;
  common::ScriptedPrompter prompter;
  FakePrinterBackend* backend;
  int questions = 0;
  std::unique_ptr<PrintService> service;
  ChartLike chart;
  int dialogsRun = 0;

  Rig() {
    auto b = std::make_unique<FakePrinterBackend>();
    backend = b.get();
    service = std::make_unique<PrintService>(std::move(b), prompter,
                                             [this](const std::string&, const std::string&) {
                                               ++questions;  // and cancelled
                                               return Answer::Cancel;
                                             });
    chart.show();
  }
  // The windows' print command, with `drive` doing what the user does in the dialog.
  void print(std::function<void(PrintDialog&)> drive) {
    service->runModal = [this, drive](PrintDialog& dlg) {
      ++dialogsRun;
      dlg.show();
      drive(dlg);
      if (dlg.isVisible()) dlg.reject();
    };
    service->printWindow(&chart, "Screen");
  }
};

TEST(PrintDialog, OpensOnTheLandscapeSheetAndEachControlReachesItsRule) {
  kolm::test::InTempDir dir;
  Rig rig;
  rig.print([&](PrintDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), "  Print of: Screen");
    EXPECT_EQ(child<QGroupBox>(dlg, "sheetGroup")->title(), " Sheet: A4,  Landscape");
    EXPECT_EQ(child<QLineEdit>(dlg, "scaleEdit")->text(), "500,000");
    // The small sheet: 1905 x 1328 twips at 15 twips a pixel, the picture in its
    // own proportions (3:2) over its width.
    auto* preview = child<ui::PreviewArea>(dlg, "preview");
    EXPECT_EQ(preview->target(), QRect(0, 0, 127, 85));
    QColor inside = preview->grab().toImage().pixelColor(20, 15);  // black, not white paper
    EXPECT_LT(inside.red() + inside.green() + inside.blue(), 60);
    // A click zooms the preview, another closes it; a double-click on the name saves it.
    // The sheet at the top left of its square, its border and the preview 3 and
    // 4 px inside it; enlarged, the preview 8 px inside the sheet in the panel's middle.
    const QRect sheet = child<QWidget>(dlg, "sheetShape")->geometry();
    EXPECT_EQ(sheet.topLeft(), QPoint(0, 0));
    EXPECT_EQ(child<QWidget>(dlg, "sheetBorder")->geometry(), sheet.adjusted(3, 3, -3, -3));
    EXPECT_EQ(preview->geometry(), sheet.adjusted(4, 4, -4, -4));
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(dlg.zoomShown());
    const QRect zoomSheet = child<QWidget>(dlg, "zoomSheetShape")->geometry();
    EXPECT_EQ(child<QWidget>(dlg, "zoomPreview")->geometry(), zoomSheet.adjusted(8, 8, -8, -8));
    EXPECT_LE((zoomSheet.center() - child<QFrame>(dlg, "zoomPanel")->contentsRect().center())
                  .manhattanLength(),
              2);
    QTest::mouseClick(child<ui::PreviewArea>(dlg, "zoomPreview"), Qt::LeftButton);
    EXPECT_FALSE(dlg.zoomShown());
    QTest::mouseDClick(child<QLabel>(dlg, "printerNameLabel"), Qt::LeftButton);
    EXPECT_EQ(QImage(PrintDialog::previewFileName(), "BMP").size(), QSize(127, 89));

    // Each control reaches its rule (the rules' values are pinned by the layout tests).
    QLineEdit* w = retype(dlg, "widthEdit", "1x4-3.5");  // letters, minus and point are dropped
    auto* h = child<QLineEdit>(dlg, "heightEdit");
    EXPECT_EQ(w->text(), "1435");
    EXPECT_EQ(h->text(), "955");  // in proportion: 287 x 191 at the start
    retype(dlg, "widthEdit", "150");
    // A margin takes a minus at its start; off the sheet the warning blinks.
    QLineEdit* x = retype(dlg, "leftEdit", "5");
    x->setCursorPosition(0);
    QTest::keyClick(x, Qt::Key_Minus);
    EXPECT_EQ(x->text(), "-5");
    EXPECT_TRUE(child<QLabel>(dlg, "outOfSheetLabel")->isVisible());
    click(dlg, "zeroMarginsButton");
    EXPECT_EQ(x->text(), "0");
    EXPECT_FALSE(child<QLabel>(dlg, "outOfSheetLabel")->isVisible());
    // A scale typed in the field sets the size on Enter.
    QLineEdit* scale = retype(dlg, "scaleEdit", "1e6");
    QTest::keyClick(scale, Qt::Key_Return);
    EXPECT_EQ(w->text(), "144");
    // Centring disables the margins; Max fills the sheet.
    child<QCheckBox>(dlg, "centreCheck")->click();
    EXPECT_FALSE(x->isEnabled());
    click(dlg, "fillSheetButton");
    EXPECT_EQ(w->text(), "287");
    // Free proportions: the scale is the width's only, and a step leaves the height.
    child<QCheckBox>(dlg, "keepProportionsCheck")->click();
    EXPECT_FALSE(scale->isEnabled());
    clickUp(dlg, "widthSpin", 3);
    EXPECT_EQ(h->text(), "191");
  });
  EXPECT_EQ(rig.dialogsRun, 1);
  EXPECT_TRUE(rig.prompter.shown.empty());
}

TEST(PrintDialog, PrintSendsOnePicturePerCopyInPrinterPixels) {
  Rig rig;
  bool closedByPrint = false;
  rig.print([&](PrintDialog& dlg) {
    // Out of the sheet: a cancelled fit question keeps the dialog open.
    retype(dlg, "leftEdit", "20");
    click(dlg, "printButton");
    EXPECT_EQ(rig.questions, 1);
    EXPECT_TRUE(dlg.isVisible());
    child<QCheckBox>(dlg, "keepProportionsCheck")->click();
    retype(dlg, "leftEdit", "10");
    retype(dlg, "topEdit", "5");
    retype(dlg, "widthEdit", "100");
    retype(dlg, "heightEdit", "50");
    // Letters are not taken; no count of copies at all is framed, said why at
    // Print, and nothing printed.
    QLineEdit* copies = retype(dlg, "copiesEdit", "abc");
    EXPECT_EQ(copies->text(), "1");
    QTest::keyClick(copies, Qt::Key_Backspace);
    click(dlg, "printButton");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(copies->styleSheet().contains("border"));
    EXPECT_EQ(rig.prompter.messages().back(), "Type the number of copies: 1 or more.");
    retype(dlg, "copiesEdit", "1");
    EXPECT_TRUE(copies->styleSheet().isEmpty());
    clickUp(dlg, "copiesSpin", 2);
    click(dlg, "printButton");
    closedByPrint = !dlg.isVisible() && dlg.result() == QDialog::Accepted;
  });
  EXPECT_TRUE(closedByPrint);
  ASSERT_EQ(rig.backend->jobs.size(), 1u);
  const auto& job = rig.backend->jobs[0];
  EXPECT_EQ(job.copies, 3);
  EXPECT_EQ(job.rect, (PixelRect{240, 120, 2400, 1200}));
}

TEST(PrintDialog, PropertiesAndAnotherPrinterRereadTheSheetAndEscapeUndoes) {
  Rig rig;
  rig.backend->propertiesDialog = [](PrinterSettings& dm) {
    dm.orientation = kPortrait;
    dm.copies = 4;
    dm.colourMode = kMonochrome;
    return true;
  };
  rig.print([&](PrintDialog& dlg) {
    click(dlg, "propertiesButton");
    EXPECT_EQ(label(dlg, "sheetWidthLabel"), "200");
    EXPECT_EQ(child<QLineEdit>(dlg, "copiesEdit")->text(), "4");
    // A monochrome printer: the preview shows the picture in grey.
    auto* preview = child<ui::PreviewArea>(dlg, "preview");
    const QImage shot = preview->grab().toImage();
    const int y = preview->target().center().y();  // across the green band
    for (int x = 0; x < std::min(preview->target().right(), shot.width()); ++x) {
      const QColor c = shot.pixelColor(x, y);
      ASSERT_TRUE(c.red() == c.green() && c.green() == c.blue() && c.red() > 20 && c.red() < 235)
          << x;
    }
    auto* list = child<QComboBox>(dlg, "printerCombo");
    rig.backend->printers[1].current.paperCode = 8;
    rig.service->session().state.printerSettings.paperCode = 0;
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(label(dlg, "sheetHeightLabel"), "410");
    QTest::keyClick(&dlg, Qt::Key_Escape);  // leaves as Exit does
    EXPECT_FALSE(dlg.isVisible());
  });
  EXPECT_EQ(rig.service->session().state.copies, 0);
  EXPECT_TRUE(rig.backend->jobs.empty());
}

TEST(PrintDialog, SettingsModeOnlyChoosesThePrinter) {
  Rig rig;
  rig.service->runModal = [&](PrintDialog& dlg) {
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "  Printer settings ");
    auto* list = child<QComboBox>(dlg, "printerCombo");
    list->setCurrentIndex(1);
    emit list->activated(1);
    click(dlg, "okButton");
    EXPECT_FALSE(dlg.isVisible());
  };
  EXPECT_TRUE(rig.service->openDialog(nullptr, 0, 0, 0, 0, 0, "", 0));
  EXPECT_EQ(rig.service->session().state.printerName, "Inkjet");
}

// The printer's own failures are the session's; here the picture cannot be taken.
TEST(PrintDialog, FailedSetUpShowsItsMessageAndNoDialog) {
  Rig rig;
  rig.service->runModal = [&](PrintDialog&) { ++rig.dialogsRun; };
  // A widget with no size has no picture to take.
  QWidget empty;
  empty.resize(0, 0);
  EXPECT_FALSE(rig.service->openDialog(&empty, 0, 0, 100, 50, 0, "Screen", 500000));
  ASSERT_EQ(rig.prompter.shown.size(), 2u);  // the picture's, then the set-up's
  EXPECT_EQ(rig.prompter.shown[0].title, " Errore in frmStampaFCPB/Legge_PictureBox");
  EXPECT_EQ(rig.dialogsRun, 0);
}

// ---- the Qt printing system's file printer ----

TEST(QtPrinting, PropertiesDialogShowsAndReturnsTheSettings) {
  PrinterSettings dm{kLandscape, 9, 3, kColour};
  ui::PrinterPropertiesDialog dialog("Print to PDF file", dm, ui::pdfPapers(), true);
  auto* paper = child<QComboBox>(dialog, "paper");
  EXPECT_EQ(paper->currentText(), "A4");
  paper->setCurrentIndex(paper->findData(1));  // Letter
  child<QRadioButton>(dialog, "portrait")->setChecked(true);
  child<QRadioButton>(dialog, "grey")->setChecked(true);
  child<QSpinBox>(dialog, "copies")->setValue(5);
  EXPECT_EQ(dialog.settings(), (PrinterSettings{kPortrait, 1, 5, kMonochrome}));

  // A printer without colour, and a paper not in its list, kept as it is.
  ui::PrinterPropertiesDialog mono("Mono", PrinterSettings{kPortrait, 66, 1, kColour},
                                   {QPageSize(QPageSize::A4)}, false);
  EXPECT_FALSE(child<QRadioButton>(mono, "colour")->isEnabled());
  EXPECT_EQ(mono.settings(), (PrinterSettings{kPortrait, 66, 1, kMonochrome}));
}

TEST(QtPrinting, DialogPrintsTheChartIntoAPdfFile) {
  kolm::test::TempDir dir;
  std::string chosen;  // none at first: Print gives up without a message
  common::ScriptedPrompter prompter;
  PrintService service(std::make_unique<ui::QtPrinterBackend>([&chosen] { return chosen; }),
                       prompter,
                       [](const std::string&, const std::string&) { return Answer::Cancel; });
  service.session().state.printerName = ui::kPdfPrinterName;  // never a real printer
  ChartLike chart;
  chart.show();
  bool stayedOpen = false;
  service.runModal = [&](PrintDialog& dlg) {
    dlg.show();
    click(dlg, "printButton");
    stayedOpen = dlg.isVisible();
    dlg.reject();
  };
  EXPECT_EQ(service.printWindow(&chart, "Screen"), "");
  EXPECT_TRUE(stayedOpen);

  chosen = (dir.path() / "chart").string();  // ".pdf" is added
  const QString path = QString::fromStdString(chosen);
  service.runModal = [&](PrintDialog& dlg) {
    dlg.show();
    EXPECT_EQ(label(dlg, "sheetWidthLabel"), "290");  // A4 less 10 pt margins: 289.9 x 202.9 mm
    retype(dlg, "widthEdit", "220");
    child<QCheckBox>(dlg, "centreCheck")->click();
    retype(dlg, "copiesEdit", "2");
    click(dlg, "printButton");
    EXPECT_FALSE(dlg.isVisible());
  };
  // The window is told where the PDF went (its status line says so).
  EXPECT_EQ(service.printWindow(&chart, "Screen"), path + ".pdf");
  EXPECT_TRUE(prompter.messages().empty());

  QFile pdf(path + ".pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  QByteArray bytes = pdf.readAll();
  EXPECT_EQ(bytes.count("/MediaBox"), 2);  // one page per copy
  // Landscape A4 pages.
  QRegularExpression media(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
  auto m = media.match(QString::fromLatin1(bytes));
  ASSERT_TRUE(m.hasMatch());
  EXPECT_NEAR(m.captured(1).toDouble(), 841.9, 1);
  EXPECT_TRUE(bytes.contains("/Subtype /Image"));
  EXPECT_TRUE(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files) ==
              QStringList{"chart.pdf"});  // nothing left over from the atomic write
}

// A pixel of the plot away from grid lines and traces.
QColor plotColour(QWidget* window) {
  const QImage shot = window->findChild<QWidget*>("chart")->grab().toImage();
  return shot.pixelColor(shot.width() / 2 + 3, shot.height() / 2 + 3);
}

// The images of a PDF file: width and height of each.
std::vector<QSize> pdfImages(const QString& path) {
  QFile pdf(path);
  if (!pdf.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromLatin1(pdf.readAll());
  std::vector<QSize> images;
  QRegularExpression image(R"(/Subtype /Image\s*/Width (\d+)\s*/Height (\d+))");
  for (auto it = image.globalMatch(text); it.hasNext();) {
    const auto m = it.next();
    images.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
  }
  return images;
}

// The chart alone goes as lines and text, no picture in the file; a window as
// one picture with as many pixels as the sheet's own (300 an inch) give it.
void expectPicturesInFile(PrintService& service, const MmRect& rect, const QString& file,
                          bool chartOnly) {
  const std::vector<QSize> images = pdfImages(file);
  if (chartOnly) {
    EXPECT_TRUE(images.empty()) << images.size() << " pictures in the chart's page";
    return;
  }
  const auto sheet =
      service.backend().sheetSize(ui::kPdfPrinterName, service.session().state.printerSettings);
  ASSERT_TRUE(sheet);
  const PixelRect px =
      mmToPixels(rect, sheet->widthPx, sheet->heightPx, sheet->widthMm, sheet->heightMm);
  EXPECT_NEAR(px.w, rect.w * 300 / 25.4, rect.w * 300 / 25.4 / 100);
  EXPECT_EQ(images, std::vector<QSize>{QSize(px.w, px.h)});
}

// Each chart printed to the file printer: the measuring windows hand
// themselves to the dialog under the title "Screen", repainted for paper (and
// back on black after), the dialog speaking through the window's prompter for
// the call only; the window at the sheet's own pixels, and "Chart only" as
// lines and text (no picture in the file) in the chart's proportions under its
// title line.
TEST(WindowPrint, EachWindowGoesAsScreenAtTheSheetsPixelsOrChartOnlyAsVector) {
  test::InTempDir dir;
  hw::Instrument instrument;
  instrument.params = {20, 20, 400, hw::kLpt1, "sim"};
  instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  common::ScriptedPrompter prompter, servicePrompter;
  QString file;
  PrintService service(
      std::make_unique<ui::QtPrinterBackend>([&file] { return file.toStdString(); }),
      servicePrompter, [](const std::string&, const std::string&) { return Answer::No; });
  service.session().state.printerName = ui::kPdfPrinterName;
  hw::ui::UiContext context{instrument, prompter, common::SettingsFolder(dir.path())};
  context.printWindow = [&service](common::Prompter& p, QWidget* window, const QString& title,
                                   const common::ui::PrintChart* chart) {
    return print::ui::printWindow(service, p, window, title, chart);
  };
  QWidget* meter = powermeter::ui::createPowerMeterWindow(context);
  auto* vna =
      static_cast<analyzer::ui::AnalyzerWindow*>(analyzer::ui::createAnalyzerWindow(context));
  vna->showSmithChart();
  struct Case {
    const char* name;
    QWidget* window;
    std::function<void()> print;
  } cases[] = {
      {"power meter", meter, [&] { meter->findChild<QAction*>("printScreenAction")->trigger(); }},
      {"analyzer", vna, [&] { vna->findChild<QAction*>("printScreenAction")->trigger(); }},
      {"smith", vna->smithWindow(), [&] { click(*vna->smithWindow(), "print"); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.window->resize(900, 640);
    c.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(c.window));
    for (bool chartOnly : {false, true}) {
      file = QString::fromStdString((dir.path() / (std::string(c.name) + ".pdf")).string());
      MmRect rect;
      QSize picture;
      QString title;
      bool windowPrompter = false;
      QColor duringPrint;
      service.runModal = [&](PrintDialog& dlg) {
        dlg.show();
        title = dlg.windowTitle();
        windowPrompter = &service.session().prompter() == &prompter;
        if (c.window != vna->smithWindow()) duringPrint = plotColour(c.window);
        auto* check = child<QCheckBox>(dlg, "chartOnlyCheck");
        ASSERT_TRUE(check->isVisible());
        if (chartOnly) check->click();
        rect = service.session().state.rect();
        picture =
            QSize(service.session().state.image->width, service.session().state.image->height);
        click(dlg, "printButton");
      };
      c.print();
      ASSERT_TRUE(QFile::exists(file));
      EXPECT_TRUE(windowPrompter);
      EXPECT_NE(&service.session().prompter(), &prompter);
      if (c.window != vna->smithWindow()) {
        EXPECT_EQ(title, "  Print of: Screen");
        EXPECT_NE(duringPrint, QColor(Qt::black));
        EXPECT_EQ(plotColour(c.window), QColor(Qt::black));
        EXPECT_EQ(c.window->findChild<QLineEdit*>("fileNameEdit")->text(), "Screen");
      }
      // The picture in its own proportions on the sheet (whole mm: within 1 %).
      EXPECT_NEAR(double(rect.w) / rect.h, double(picture.width()) / picture.height(),
                  0.01 * rect.w / rect.h);
      expectPicturesInFile(service, rect, file, chartOnly);
      QFile::remove(file);
    }
  }
  vna->close();
  meter->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // before their context
}

}  // namespace

// (English, "500,000": the dialog tests.)
TEST(PrintDialog, TheScaleIsGroupedAsTheLocaleGroupsNumbers) {
  for (const auto& [locale, scale] :
       {std::pair(QLocale(QLocale::German), "500.000"), std::pair(QLocale::c(), "500000")}) {
    SCOPED_TRACE(locale.name().toStdString());
    QLocale::setDefault(locale);
    common::ScriptedPrompter prompter;
    PrintService service(std::make_unique<FakePrinterBackend>(), prompter,
                         [](const std::string&, const std::string&) { return Answer::Cancel; });
    EXPECT_EQ(scaleText(500000.0 * 210, 210, service.session().state.locale), scale);
  }
  QLocale::setDefault(QLocale::system());
}
