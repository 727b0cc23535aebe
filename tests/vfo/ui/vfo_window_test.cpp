#include "vfo/ui/vfo_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "common/files.h"
#include "common/prompter.h"
#include "common/ui/about_box.h"
#include "hw/dds.h"
#include "powermeter/ui/power_meter_rig.h"
#include "support/dds_frames.h"
#include "support/ui/widgets.h"

using namespace kolm;
using ::testing::ElementsAre;

using kolm::test::wordFor;

namespace {

// The power meter's rig (the simulated instrument, a fresh folder) with a VFO window.
struct VfoRig : test::Rig {
  VfoRig() : Rig("through") {}
  ~VfoRig() {
    if (vfo) vfo->close();
  }
  void open() {
    vfo = vfo::ui::createVfoWindow(context);
    driven = vfo.data();
    vfo->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(vfo.data()));
  }
  QString workingFrequency() { return get<QLabel>("workingFrequencyLabel")->text(); }
  QString outputFrequency() { return get<QLineEdit>("outputFrequencyEdit")->text(); }
  void enter(const QString& mhz) {
    auto* keyboard = get<QLineEdit>("keyboardEdit");
    keyboard->clear();
    QTest::keyClicks(keyboard, mhz);
    QTest::keyClick(keyboard, Qt::Key_Return);
  }
  void click(const char* name) { get<QPushButton>(name)->click(); }
  // The DDS traffic since the last call.
  std::vector<std::string> fresh() {
    auto all = test::ddsEvents(port->writes);
    std::vector<std::string> out(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return out;
  }

  QPointer<QWidget> vfo;
  size_t seen = 0;
};

}  // namespace

// radio.ini: 145.5 MHz received through IF1 of 10.7 MHz.
TEST(VfoWindow, OpensWithItsSettingsLoadsTheDdsAndItsMenusWork) {
  VfoRig rig;
  ASSERT_TRUE(common::writeFileAtomic(
      "radio.ini",
      "\"145.5\"\r\n\"10.7\"\r\n\"-10.7\"\r\n\"1\"\r\n\"2\"\r\n\"145.5\"\r\n\"145.5\"\r\n"));
  rig.open();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 166", wordFor(156.2)));
  EXPECT_EQ(rig.workingFrequency(), "145.500 000");
  EXPECT_EQ(rig.outputFrequency(), "156.200 000");

  // Parameters opens the shared window modeless; About_VFO its box.
  rig.get<QAction>("parametersAction")->trigger();
  EXPECT_THAT(rig.parameterOwners, ElementsAre(nullptr));
  rig.get<QAction>("aboutVfo")->trigger();
  EXPECT_TRUE(std::ranges::any_of(QApplication::topLevelWidgets(), [](QWidget* top) {
    return top->isVisible() && top->windowTitle() == "About Digital VFO Software";
  }));
  rig.context.aboutBoxes.show(common::ui::AboutKind::Vfo)->close();
  EXPECT_TRUE(rig.prompter.shown.empty());
}

// Each tuning control reaches the DDS and both displays follow.
TEST(VfoWindow, TuningControlsTheWheelAndTheArrowKeysReachTheDds) {
  VfoRig rig;
  rig.open();
  rig.fresh();
  // Typing alone changes nothing; Enter tunes.
  QTest::keyClicks(rig.get<QLineEdit>("keyboardEdit"), "4");
  EXPECT_TRUE(rig.fresh().empty());
  rig.enter("14.2");
  rig.click("stepUp3");    // +1 kHz
  rig.click("stepDown0");  // -1 Hz
  EXPECT_EQ(rig.outputFrequency(), "014.200 999");
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.2), wordFor(14.201), wordFor(14.200999)));

  rig.enter("7.05");
  rig.get<QRadioButton>("rtx2Option")->click();
  EXPECT_EQ(rig.outputFrequency(), "034.100 000");
  rig.fresh();
  auto* if2 = rig.get<QLineEdit>("if2Edit");
  if2->clear();
  QTest::keyClicks(if2, "-10.7");  // an edited IF waits for the next send
  rig.get<QRadioButton>("if2Option")->click();
  EXPECT_EQ(rig.outputFrequency(), "007.300 000");
  rig.get<QRadioButton>("rtxOption")->click();
  rig.get<QRadioButton>("generatorOption")->click();
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(7.3), wordFor(3.65), wordFor(7.05)));
  // Enter in the IF box applies it at once.
  rig.get<QRadioButton>("rtxOption")->click();
  if2->clear();
  QTest::keyClicks(if2, "-3");
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(3.65)));  // the mode's send, old IF
  QTest::keyClick(if2, Qt::Key_Return);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(4.05)));
  EXPECT_EQ(rig.outputFrequency(), "004.050 000");
  rig.get<QRadioButton>("generatorOption")->click();
  rig.fresh();

  rig.enter("100");
  rig.click("stepUp8");  // 200 MHz: held at 160, and said (the engine's rule)
  EXPECT_EQ(rig.workingFrequency(), "160.000 000");
  rig.fresh();
  rig.click("ddsResetButton");  // DDS Reset
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 166", "word 1717986918"));

  // The wheel over a digit tunes by that digit's step, over a step button by its
  // step; Up and Down repeat the last step used.
  rig.enter("7.05");
  auto* label = rig.get<QLabel>("workingFrequencyLabel");
  auto wheel = [](QWidget* w, QPointF at, int notches) {
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  };
  // The digit at the display's centre is the 10 kHz one of "007.050 000".
  wheel(label, QPointF(label->contentsRect().center()), -2);
  EXPECT_EQ(rig.workingFrequency(), "007.030 000");
  wheel(rig.get<QPushButton>("stepUp2"), QPointF(5, 5), 1);  // 100 Hz
  EXPECT_EQ(rig.workingFrequency(), "007.030 100");
  // The arrow keys repeat the last step (100 Hz).
  rig.vfo->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.vfo));
  QTest::keyClick(rig.vfo, Qt::Key_Up);
  EXPECT_EQ(rig.workingFrequency(), "007.030 200");
  QTest::keyClick(rig.vfo, Qt::Key_Down);
  QTest::keyClick(rig.vfo, Qt::Key_Down);
  EXPECT_EQ(rig.workingFrequency(), "007.030 000");
}

// Typed numbers: a comma is the point, a note may follow a blank; a text that
// does not begin with one number tunes nothing, keeps the frequency and the IF
// in use, and says why.
TEST(VfoWindow, ATypedNumberTakesACommaAndNothingElseSlips) {
  VfoRig rig;
  rig.open();
  rig.fresh();
  rig.enter("14,2 MHz");
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.2)));
  auto* keyboard = rig.get<QLineEdit>("keyboardEdit");
  for (const char* bad : {"abc", "14,2MHz", "", "MHz 14", "14.2.1"}) {
    rig.enter(bad);
    EXPECT_TRUE(rig.fresh().empty()) << bad;
    EXPECT_EQ(rig.workingFrequency(), "014.200 000");
    EXPECT_TRUE(keyboard->styleSheet().contains("border")) << bad;
    EXPECT_FALSE(rig.get<QLabel>("statusLine")->text().isEmpty());
  }
  rig.get<QRadioButton>("rtxOption")->click();  // IF1 10: 24.2 MHz
  auto* if1 = rig.get<QLineEdit>("if1Edit");
  if1->setText("1O.7");  // a letter O: the 10 MHz in use stays
  QTest::keyClick(if1, Qt::Key_Return);
  rig.get<QRadioButton>("rtxOption")->click();
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(24.2), wordFor(24.2)));
  EXPECT_TRUE(if1->toolTip().contains("'1O.7' is not a number"));
}

TEST(VfoWindow, MemoriesBandButtonsAndTheClosingSequence) {
  VfoRig rig;
  rig.open();
  rig.enter("14.074");
  QTest::mousePress(rig.get<QPushButton>("bandButton4"), Qt::RightButton);
  auto* list = rig.get<QListWidget>("memoryList");
  for (const char* mhz : {"7.05", "200", "3.5"}) {
    rig.enter(mhz);
    rig.click("addMemoryButton");
  }
  ASSERT_EQ(list->count(), 3);
  // A click on an entry tunes to it; 200 MHz becomes 160.
  rig.fresh();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(2)).center());
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(160)));
  rig.click("deleteMemoryButton");  // Delete: the selected entry (gone from VFO_FreqMem below)
  rig.enter("3.5");
  QTest::keyClicks(rig.get<QLineEdit>("keyboardEdit"), "5");  // typed, not entered: still saved
  rig.fresh();

  // End_Program: the files (their contents are pinned with the engine), then word 0.
  QPointer<QWidget> w = rig.vfo;
  rig.get<QAction>("endProgramAction")->trigger();
  EXPECT_EQ(common::readTextFile("VFO_FreqMem").value_or(""), "3.5\r\n7.05\r\n");
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());

  // After a restart the band button still holds its frequency.
  rig.open();
  EXPECT_EQ(rig.get<QLineEdit>("keyboardEdit")->text(), "3.55");
  rig.fresh();
  QTest::mousePress(rig.get<QPushButton>("bandButton4"), Qt::LeftButton);
  EXPECT_EQ(rig.workingFrequency(), "014.074 000");
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.074)));
  // A button never stored says how to fill it; a click offers to store the
  // working frequency there (Escape leaves it empty, the item fills it).
  auto* empty = rig.get<QPushButton>("bandButton0");
  for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
    EXPECT_TRUE(empty->toolTip().startsWith("Empty: right-click it")) << key;
    QTimer::singleShot(0, [key] {
      QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
      QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(key));
    });
    QTest::mousePress(empty, Qt::LeftButton);
  }
  EXPECT_FALSE(empty->toolTip().startsWith("Empty"));
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.074)));  // stored, and loaded again
  // Clear all asks first.
  rig.prompter.confirms = {true};
  rig.click("clearMemoriesButton");
  EXPECT_EQ(rig.get<QListWidget>("memoryList")->count(), 0);

  // The window's own close box runs the same sequence.
  rig.vfo->close();
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
}
