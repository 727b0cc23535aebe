#include "print/ui/print_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

#include "common/ui/qt_text.h"
#include "print/keys.h"
#include "print/layout.h"
#include "print/ui/bitmap_qt.h"

namespace kolm::print::ui {

namespace {

using common::ui::q;

// The dialog's least size in pixels, per mode.
constexpr int kClientWidth = 580;
constexpr int kPrintModeHeight = 340;
constexpr int kSettingsModeHeight = 250;

void setTextIfChanged(QLineEdit* edit, const std::string& text) {
  QString t = q(text);
  if (edit->text() != t) edit->setText(t);
}

// A refused text keeps a red frame and says why in its tooltip until an
// accepted one is typed.
void showPrintRefusal(QLineEdit* box, const std::string& problem) {
  box->setStyleSheet(problem.empty() ? QString() : "QLineEdit { border: 2px solid #d00000; }");
  box->setToolTip(q(problem));
}

}  // namespace

PrintDialog::PrintDialog(PrintSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("printDialog");
  setWindowTitle(tr("Print Diagrams"));
  setModal(true);
  twipsPerPixel_ = 1440.0 / std::max(1, logicalDpiX());
  build();
}

void PrintDialog::connectControls() {
  connect(printerCombo_, &QComboBox::activated, this, [this](int index) {
    session_.selectPrinter(index);
    sync();
  });
  connect(propertiesButton_, &QPushButton::clicked, this, [this] {
    session_.editPrinterProperties();
    sync();
  });
  struct RectBox {
    QLineEdit* edit;
    UpDown* spin;
    RectField field;
  };
  for (const RectBox& b :
       {RectBox{leftEdit_, leftSpin_, RectField::X}, RectBox{topEdit_, topSpin_, RectField::Y},
        RectBox{widthEdit_, widthSpin_, RectField::W},
        RectBox{heightEdit_, heightSpin_, RectField::H}}) {
    b.edit->installEventFilter(this);
    RectField field = b.field;
    connect(b.edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { rectEdited(field, text); });
    connect(b.spin, &UpDown::stepped, this,
            [this, field](int delta) { rectStepped(field, delta); });
  }
  connect(keepProportionsCheck_, &QCheckBox::clicked, this, [this](bool checked) {
    setFixProportions(session_.state, checked);
    sync();
  });
  connect(centreCheck_, &QCheckBox::clicked, this, [this](bool checked) {
    setCentred(session_.state, checked);
    sync();
  });
  connect(fillSheetButton_, &QPushButton::clicked, this, [this] {
    maximise(session_.state);
    sync();
  });
  connect(zeroMarginsButton_, &QToolButton::clicked, this, [this] {
    moveToOrigin(session_.state);
    sync();
  });
  scaleEdit_->installEventFilter(this);
  connect(scaleEdit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { session_.state.scaleText = text.toStdString(); });
  connect(scaleOkButton_, &QToolButton::clicked, this, &PrintDialog::scaleEntered);
  copiesEdit_->installEventFilter(this);
  connect(copiesEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    session_.setCopiesText(text.toStdString());
    showPrintRefusal(copiesEdit_, session_.copiesProblem());
  });
  connect(copiesSpin_, &UpDown::stepped, this, [this](int delta) {
    session_.setCopiesText(
        std::to_string(stepSpin(session_.state.copiesText, delta, kCopiesRange)));
    sync();
  });
  connect(chartOnlyCheck_, &QCheckBox::clicked, this, [this](bool checked) {
    if (session_.setChartOnly(checked)) {
      picture_ = imageView(*session_.state.image);
      greyPicture_ = QImage();
    }
    sync();
  });
  connect(printButton_, &QPushButton::clicked, this, &PrintDialog::printPicture);
  connect(okButton_, &QPushButton::clicked, this, &PrintDialog::acceptSettings);
  connect(exitButton_, &QPushButton::clicked, this, &PrintDialog::exitDialog);
}

void PrintDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    activate();
  }
}

void PrintDialog::sizeWindow() {
  bool printMode = session_.state.hasSource;
  for (QWidget* w : std::initializer_list<QWidget*>{
           printButton_, scaleCaption_, scalePrefix_, scaleEdit_, scaleOkButton_, copiesLabel_,
           copiesEdit_, copiesSpin_, marginsGroup_, sizeGroup_})
    w->setVisible(printMode);
  okButton_->setVisible(!printMode);
  chartOnlyCheck_->setVisible(printMode && session_.state.chartOffered);
  printerImage_->setVisible(!printMode);
  // At least the size the dialog is drawn at, more where its texts need it.
  layout()->activate();
  setFixedSize(layout()->totalSizeHint().expandedTo(
      QSize(kClientWidth, printMode ? kPrintModeHeight : kSettingsModeHeight)));
}

void PrintDialog::activate() {
  sizeWindow();
  if (QScreen* screen = this->screen()) {
    QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  session_.activate();
  {
    QSignalBlocker block(printerCombo_);
    printerCombo_->clear();
    for (const auto& name : session_.state.printers) printerCombo_->addItem(q(name));
  }
  picture_ = session_.state.image ? imageView(*session_.state.image) : QImage();
  greyPicture_ = QImage();
  preview_->setToolTip(session_.state.hasSource ? tr(" Print Preview ") : QString());
  setWindowTitle(q(session_.caption()));
  sync();
  if (session_.state.hasSource)
    printButton_->setFocus();
  else
    okButton_->setFocus();
}

void PrintDialog::sync() {
  const auto& s = session_.state;
  {
    QSignalBlocker b1(leftEdit_), b2(topEdit_), b3(widthEdit_), b4(heightEdit_), b5(scaleEdit_),
        b6(copiesEdit_), b7(printerCombo_);
    setTextIfChanged(leftEdit_, s.xText);
    setTextIfChanged(topEdit_, s.yText);
    setTextIfChanged(widthEdit_, s.widthText);
    setTextIfChanged(heightEdit_, s.heightText);
    setTextIfChanged(scaleEdit_, s.scaleText);
    setTextIfChanged(copiesEdit_, s.copiesText);
    showPrintRefusal(copiesEdit_, session_.copiesProblem());
    if (printerCombo_->currentIndex() != s.printerIndex)
      printerCombo_->setCurrentIndex(s.printerIndex);
  }
  keepProportionsCheck_->setChecked(s.keepProportions);
  chartOnlyCheck_->setChecked(s.chartOnly);
  centreCheck_->setChecked(s.centred);
  for (QWidget* w : std::initializer_list<QWidget*>{leftEdit_, topEdit_, leftSpin_, topSpin_,
                                                    zeroMarginsButton_})
    w->setEnabled(!s.centred);
  scaleCaption_->setText(QCoreApplication::translate("kolm", s.scaleLabel.c_str()));
  scaleEdit_->setEnabled(s.scaleEditable);
  syncSheet();
  syncPreview();
}

void PrintDialog::syncSheet() {
  const auto& s = session_.state;
  sheetWidthLabel_->setText(QString::number(s.sheetWidthMm));
  sheetHeightLabel_->setText(QString::number(s.sheetHeightMm));
  if (s.printerIndex >= 0)
    sheetGroup_->setTitle(
        q(sheetCaption(s.printerSettings.paperCode, s.printerSettings.orientation)));
  SmallSheet sheet = smallSheetTwips(s.sheetWidthMm, s.sheetHeightMm);
  int w = static_cast<int>(std::lround(sheet.w / twipsPerPixel_));
  int h = static_cast<int>(std::lround(sheet.h / twipsPerPixel_));
  sheetShape_->setFixedSize(w + 8, h + 8);
  sheetBorder_->setFixedSize(w + 2, h + 2);
  preview_->setFixedSize(w, h);
}

void PrintDialog::syncPreview() {
  const auto& s = session_.state;
  QImage shown;
  if (s.hasSource && !picture_.isNull()) {
    if (s.colourMode == kMonochrome) {
      if (greyPicture_.isNull()) {
        Bitmap24 copy = *s.image;
        makeGrey(copy);
        greyPicture_ = imageView(copy).copy();
      }
      shown = greyPicture_;
    } else {
      shown = picture_;
    }
  }
  auto mapped = [&s](const QWidget* area) {
    PixelRect r =
        previewRect(s.previewed, s.sheetWidthMm, s.sheetHeightMm, area->width(), area->height());
    return QRect(r.x, r.y, r.w, r.h);
  };
  preview_->setPicture(shown);
  preview_->setTarget(mapped(preview_));
  if (zoomShown()) {
    zoomPreview_->setPicture(shown);
    zoomPreview_->setTarget(mapped(zoomPreview_));
  }
  outOfSheetLabel_->setVisible(s.outOfSheet);
  if (s.outOfSheet && !blinkTimer_->isActive()) blinkTimer_->start();
  if (!s.outOfSheet) blinkTimer_->stop();
  QPalette pal = outOfSheetLabel_->palette();
  pal.setColor(QPalette::Window,
               s.blinkRed ? QColor(255, 0, 0) : palette().color(QPalette::Button));
  outOfSheetLabel_->setPalette(pal);
}

void PrintDialog::blink() {
  blinkTick(session_.state);
  syncPreview();
}

void PrintDialog::rectEdited(RectField field, const QString& text) {
  const std::string problem = setRectText(session_.state, field, text.toStdString());
  bool corrected = rectText(session_.state, field) != text.toStdString();
  // The field keeps its number while its box shows the refusal.
  showPrintRefusal(rectEdit(field), problem);
  afterRectEdit(field);
  sync();
  // A corrected number is selected, so that typing goes on over it.
  if (corrected) rectEdit(field)->selectAll();
}

QLineEdit* PrintDialog::rectEdit(RectField field) const {
  switch (field) {
    case RectField::X:
      return leftEdit_;
    case RectField::Y:
      return topEdit_;
    case RectField::W:
      return widthEdit_;
    case RectField::H:
      return heightEdit_;
  }
  return widthEdit_;
}

void PrintDialog::rectStepped(RectField field, int delta) {
  auto& s = session_.state;
  SpinRange range = (field == RectField::W || field == RectField::H) ? kSizeRange : kMarginRange;
  setRectText(s, field, std::to_string(stepSpin(rectText(s, field), delta, range)));
  afterRectEdit(field);
  sync();
}

void PrintDialog::afterRectEdit(RectField field) {
  auto& s = session_.state;
  switch (field) {
    case RectField::W:
      widthEdited(s);
      break;
    case RectField::H:
      heightEdited(s);
      break;
    case RectField::X:
    case RectField::Y:
      updatePreview(s);
      break;
  }
}

void PrintDialog::scaleEntered() {
  session_.state.scaleText = scaleEdit_->text().toStdString();
  enterScale(session_.state);
  sync();
}

bool PrintDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == scaleEdit_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      scaleEntered();
      return true;  // the key is swallowed
    }
    QString text = key->text();
    if (edit && text.size() == 1 && (text[0].unicode() >= 0x20 || text[0].unicode() == 8) &&
        text[0].unicode() != 0x7f) {
      std::u32string content = edit->text().toStdU32String();
      KeyContext box{content, edit->cursorPosition(),
                     edit->hasSelectedText() && edit->selectedText() == edit->text()};
      char32_t c = text[0].unicode();
      if (edit == scaleEdit_) {
        QString decimal = QLocale().decimalPoint();
        char32_t typed = filterDecimalKey(c, box, decimal.isEmpty() ? U'.' : decimal[0].unicode());
        if (typed == 0) return true;
        if (typed != c) {  // taken in upper case
          edit->insert(QString(QChar(static_cast<char16_t>(typed))));
          session_.state.scaleText = edit->text().toStdString();
          return true;
        }
        return false;
      }
      bool minus = edit == leftEdit_ || edit == topEdit_;
      if (edit == leftEdit_ || edit == topEdit_ || edit == widthEdit_ || edit == heightEdit_ ||
          edit == copiesEdit_)
        return !filterIntegerKey(c, box, minus);
    }
  } else if (event->type() == QEvent::FocusOut && watched == scaleEdit_) {
    scaleEntered();
  } else if (event->type() == QEvent::MouseButtonDblClick && watched == printerNameLabel_) {
    savePreview();
    return true;
  } else if (event->type() == QEvent::MouseButtonRelease && watched == zoomPanel_) {
    closeZoom();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void PrintDialog::printPicture() {
  // "Printing..." in the middle of the preview, shown before the print starts.
  printingLabel_->show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool printed = session_.print();
  QApplication::restoreOverrideCursor();
  if (printed) {
    closing_ = true;
    QDialog::done(QDialog::Accepted);
    return;
  }
  printingLabel_->hide();
  sync();
}

void PrintDialog::acceptSettings() {
  session_.accept();
  closing_ = true;
  QDialog::done(QDialog::Accepted);
}

void PrintDialog::exitDialog() {
  session_.cancel();
  closing_ = true;
  QDialog::done(QDialog::Rejected);
}

void PrintDialog::done(int result) {
  // Esc or the window's close box leave the dialog as Exit does.
  if (!closing_) {
    session_.cancel();
    closing_ = true;
  }
  blinkTimer_->stop();
  QDialog::done(result);
}

bool PrintDialog::zoomShown() const { return zoomPanel_->isVisible(); }

void PrintDialog::openZoom() {
  const auto& s = session_.state;
  if (!s.hasSource) return;
  // The panel over the whole dialog; the sheet in the middle of it, in the
  // sheet's proportions, the preview a margin inside the sheet.
  zoomPanel_->show();
  zoomPanel_->raise();
  layout()->activate();
  QRect inner = zoomPanel_->contentsRect();
  ZoomBox box =
      zoomSheet(inner.width(), inner.height(), s.sheetWidthMm, s.sheetHeightMm, kZoomMargin);
  zoomSheetShape_->setFixedSize(box.w, box.h);
  zoomPreview_->setFixedSize(std::max(0, box.w - 2 * kZoomMargin),
                             std::max(0, box.h - 2 * kZoomMargin));
  zoomPanel_->layout()->activate();
  syncPreview();
}

void PrintDialog::closeZoom() { zoomPanel_->hide(); }

void PrintDialog::savePreview() {
  QImage shot = preview_->grab().toImage();
  QSaveFile file(previewFileName());
  if (file.open(QIODevice::WriteOnly) && shot.save(&file, "BMP")) file.commit();
}

}  // namespace kolm::print::ui
