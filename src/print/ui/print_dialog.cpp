#include "print/ui/print_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "print/keys.h"
#include "print/layout.h"
#include "print/ui/bitmap_qt.h"

namespace kolm::print::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Window geometry in pixels.
constexpr int kClientWidth = 580;
constexpr int kPrintModeHeight = 340;
constexpr int kSettingsModeHeight = 250;
constexpr QPoint kSheetAnchor{140, 22};  // top-left of the small sheet inside its frame
constexpr int kZoomMargin = 8;           // 120 twips

void setTextIfChanged(QLineEdit* edit, const std::string& text) {
  QString t = q(text);
  if (edit->text() != t) edit->setText(t);
}

QLabel* label(const QString& text, QWidget* parent, const QRect& geometry,
              const QString& name = {}) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  l->setGeometry(geometry);
  return l;
}

QLineEdit* numberBox(const QString& name, QWidget* parent, const QRect& geometry) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setGeometry(geometry);
  e->setAlignment(Qt::AlignRight);
  return e;
}

UpDown* upDown(const QString& name, QWidget* parent, const QRect& geometry) {
  auto* u = new UpDown(parent);
  u->setObjectName(name);
  u->setGeometry(geometry);
  return u;
}

// The printer shown in settings mode.
QPixmap printerPicture() {
  QPixmap pm(72, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(18, 4, 36, 26));  // paper going in
  p.setBrush(QColor(170, 175, 185));
  p.drawRoundedRect(QRectF(4, 22, 64, 26), 4, 4);  // body
  p.setBrush(QColor(120, 125, 135));
  p.drawRect(QRectF(12, 40, 48, 6));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(16, 44, 40, 16));  // printed sheet
  p.setPen(QPen(QColor(40, 120, 40), 1.5));
  p.drawPolyline(QPolygonF(
      {QPointF(20, 56), QPointF(28, 50), QPointF(36, 54), QPointF(44, 47), QPointF(52, 52)}));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 200, 60));
  p.drawEllipse(QPointF(60, 29), 2.5, 2.5);
  return pm;
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

void PrintDialog::build() {
  // ---- printer ----
  printerGroup_ = new QGroupBox(tr("Printer"), this);
  printerGroup_->setObjectName("printerGroup");
  printerGroup_->setGeometry(8, 4, 564, 58);
  printerNameLabel_ = label(tr("&Name:"), printerGroup_, {12, 26, 56, 20}, "printerNameLabel");
  printerNameLabel_->installEventFilter(this);
  printerCombo_ = new QComboBox(printerGroup_);
  printerCombo_->setObjectName("printerCombo");
  printerCombo_->setGeometry(70, 24, 370, 24);
  printerNameLabel_->setBuddy(printerCombo_);
  propertiesButton_ = new QPushButton(tr("Properties"), printerGroup_);
  propertiesButton_->setObjectName("propertiesButton");
  propertiesButton_->setGeometry(450, 23, 104, 26);

  // ---- sheet ----
  sheetGroup_ = new QGroupBox(tr("Layout"), this);
  sheetGroup_->setObjectName("sheetGroup");
  sheetGroup_->setGeometry(8, 68, 290, 178);
  label(tr("Widtht:"), sheetGroup_, {12, 28, 56, 18}, "sheetWidthCaption");
  sheetWidthLabel_ = label("", sheetGroup_, {70, 28, 34, 18}, "sheetWidthLabel");
  sheetWidthLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label(tr("[mm]"), sheetGroup_, {106, 28, 34, 18}, "sheetWidthUnit");
  label(tr("Height:"), sheetGroup_, {12, 50, 56, 18}, "sheetHeightCaption");
  sheetHeightLabel_ = label("", sheetGroup_, {70, 50, 34, 18}, "sheetHeightLabel");
  sheetHeightLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label(tr("[mm]"), sheetGroup_, {106, 50, 34, 18}, "sheetHeightUnit");

  outOfSheetLabel_ = label(tr("Out of Layout"), sheetGroup_, {12, 132, 116, 22}, "outOfSheetLabel");
  outOfSheetLabel_->setAlignment(Qt::AlignCenter);
  outOfSheetLabel_->setFrameShape(QFrame::Box);
  outOfSheetLabel_->setAutoFillBackground(true);
  QFont bold = outOfSheetLabel_->font();
  bold.setBold(true);
  outOfSheetLabel_->setFont(bold);
  outOfSheetLabel_->hide();
  blinkTimer_ = new QTimer(this);
  blinkTimer_->setObjectName("blinkTimer");
  blinkTimer_->setInterval(500);
  connect(blinkTimer_, &QTimer::timeout, this, &PrintDialog::blink);

  sheetShape_ = new QFrame(sheetGroup_);
  sheetShape_->setObjectName("sheetShape");
  sheetShape_->setFrameShape(QFrame::Box);
  sheetShape_->setStyleSheet(
      "QFrame#sheetShape { background: #8c8c8c; border: 1px solid #404040; }");
  sheetBorder_ = new QFrame(sheetGroup_);
  sheetBorder_->setObjectName("sheetBorder");
  sheetBorder_->setStyleSheet("QFrame#sheetBorder { background: #202020; }");
  // The sheet and its border are drawings under the preview: they take no input.
  sheetShape_->setAttribute(Qt::WA_TransparentForMouseEvents);
  sheetBorder_->setAttribute(Qt::WA_TransparentForMouseEvents);
  preview_ = new PreviewArea(sheetGroup_);
  preview_->setObjectName("preview");
  connect(preview_, &PreviewArea::clicked, this, &PrintDialog::openZoom);
  printingLabel_ = new QLabel(tr("Printing..."), sheetGroup_);
  printingLabel_->setObjectName("printingLabel");
  printingLabel_->setAutoFillBackground(true);
  printingLabel_->setFrameShape(QFrame::Box);
  printingLabel_->setMargin(3);
  printingLabel_->adjustSize();
  printingLabel_->hide();

  // ---- margins ----
  marginsGroup_ = new QGroupBox(tr("Margins in mm"), this);
  marginsGroup_->setObjectName("marginsGroup");
  marginsGroup_->setGeometry(306, 68, 266, 86);
  auto* leftLabel = label(tr("L&eft:"), marginsGroup_, {10, 26, 48, 20}, "leftLabel");
  leftEdit_ = numberBox("leftEdit", marginsGroup_, {58, 24, 58, 24});
  leftSpin_ = upDown("leftSpin", marginsGroup_, {117, 24, 16, 24});
  leftLabel->setBuddy(leftEdit_);
  auto* topLabel = label(tr("T&op:"), marginsGroup_, {10, 54, 48, 20}, "topLabel");
  topEdit_ = numberBox("topEdit", marginsGroup_, {58, 52, 58, 24});
  topSpin_ = upDown("topSpin", marginsGroup_, {117, 52, 16, 24});
  topLabel->setBuddy(topEdit_);
  centreCheck_ = new QCheckBox(tr("Center Print"), marginsGroup_);
  centreCheck_->setObjectName("centreCheck");
  centreCheck_->setGeometry(142, 24, 120, 24);
  zeroMarginsButton_ = new QToolButton(marginsGroup_);
  zeroMarginsButton_->setObjectName("zeroMarginsButton");
  zeroMarginsButton_->setText(QString::fromUtf8("\u21f1"));  // arrow to the corner
  zeroMarginsButton_->setToolTip(tr("Imposta i margini a 0 "));
  zeroMarginsButton_->setGeometry(142, 52, 30, 24);

  // ---- size ----
  sizeGroup_ = new QGroupBox(tr("Dimensions in mm"), this);
  sizeGroup_->setObjectName("sizeGroup");
  sizeGroup_->setGeometry(306, 160, 266, 86);
  auto* widthLabel = label(tr("Width:"), sizeGroup_, {10, 26, 48, 20}, "widthLabel");
  widthEdit_ = numberBox("widthEdit", sizeGroup_, {58, 24, 58, 24});
  widthSpin_ = upDown("widthSpin", sizeGroup_, {117, 24, 16, 24});
  widthLabel->setBuddy(widthEdit_);
  auto* heightLabel = label(tr("Height:"), sizeGroup_, {10, 54, 48, 20}, "heightLabel");
  heightEdit_ = numberBox("heightEdit", sizeGroup_, {58, 52, 58, 24});
  heightSpin_ = upDown("heightSpin", sizeGroup_, {117, 52, 16, 24});
  heightLabel->setBuddy(heightEdit_);
  keepProportionsCheck_ = new QCheckBox(tr("&Fix Dimensions"), sizeGroup_);
  keepProportionsCheck_->setObjectName("keepProportionsCheck");
  keepProportionsCheck_->setGeometry(142, 24, 120, 24);
  keepProportionsCheck_->setChecked(true);
  fillSheetButton_ = new QPushButton(tr("M a x"), sizeGroup_);
  fillSheetButton_->setObjectName("fillSheetButton");
  fillSheetButton_->setToolTip(tr("Usa tutto il foglio "));
  fillSheetButton_->setGeometry(142, 52, 72, 26);

  // ---- scale and copies ----
  scaleCaption_ = label(tr("Sca&le:"), this, {16, 258, 60, 20}, "scaleCaption");
  scalePrefix_ = label(tr("1 :  "), this, {76, 258, 22, 20}, "scalePrefix");
  scaleEdit_ = numberBox("scaleEdit", this, {98, 256, 120, 24});
  scaleCaption_->setBuddy(scaleEdit_);
  scaleOkButton_ = new QToolButton(this);
  scaleOkButton_->setObjectName("scaleOkButton");
  scaleOkButton_->setText(QString::fromUtf8("\u2713"));
  scaleOkButton_->setToolTip(tr("OK o Invio per confermare "));
  scaleOkButton_->setGeometry(220, 256, 28, 24);
  copiesLabel_ = label(tr("N. &of copies:"), this, {330, 258, 100, 20}, "copiesLabel");
  copiesEdit_ = numberBox("copiesEdit", this, {434, 256, 50, 24});
  copiesSpin_ = upDown("copiesSpin", this, {485, 256, 16, 24});
  copiesLabel_->setBuddy(copiesEdit_);

  // ---- buttons ----
  printButton_ = new QPushButton(tr("Print"), this);
  printButton_->setObjectName("printButton");
  printButton_->setGeometry(330, 300, 112, 30);
  printButton_->setDefault(true);
  okButton_ = new QPushButton(tr("&OK"), this);
  okButton_->setObjectName("okButton");
  okButton_->setGeometry(330, 210, 112, 30);
  exitButton_ = new QPushButton(tr("Exit"), this);
  exitButton_->setObjectName("exitButton");
  exitButton_->setGeometry(456, 300, 112, 30);

  printerImage_ = new QLabel(this);
  printerImage_->setObjectName("printerImage");
  printerImage_->setPixmap(printerPicture());
  printerImage_->setGeometry(403, 92, 72, 64);

  // ---- enlarged preview ----
  zoomPanel_ = new QFrame(this);
  zoomPanel_->setObjectName("zoomPanel");
  zoomPanel_->setFrameShape(QFrame::Panel);
  zoomPanel_->setFrameShadow(QFrame::Sunken);
  zoomPanel_->setAutoFillBackground(true);
  zoomPanel_->setToolTip(tr("Exit "));
  zoomPanel_->installEventFilter(this);
  zoomSheetShape_ = new QFrame(zoomPanel_);
  zoomSheetShape_->setObjectName("zoomSheetShape");
  zoomSheetShape_->setStyleSheet(
      "QFrame#zoomSheetShape { background: #8c8c8c; border: 1px solid #404040; }");
  zoomSheetShape_->setAttribute(Qt::WA_TransparentForMouseEvents);
  zoomPreview_ = new PreviewArea(zoomPanel_);
  zoomPreview_->setObjectName("zoomPreview");
  zoomPreview_->setToolTip(tr("Exit "));
  connect(zoomPreview_, &PreviewArea::clicked, this, &PrintDialog::closeZoom);
  zoomPanel_->hide();

  // ---- events ----
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
  connect(copiesEdit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { session_.setCopiesText(text.toStdString()); });
  connect(copiesSpin_, &UpDown::stepped, this, [this](int delta) {
    session_.setCopiesText(
        std::to_string(stepSpin(session_.state.copiesText, delta, kCopiesRange)));
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
  printerImage_->setVisible(!printMode);
  exitButton_->move(456, printMode ? 300 : 210);
  setFixedSize(kClientWidth, printMode ? kPrintModeHeight : kSettingsModeHeight);
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
    if (printerCombo_->currentIndex() != s.printerIndex)
      printerCombo_->setCurrentIndex(s.printerIndex);
  }
  keepProportionsCheck_->setChecked(s.keepProportions);
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
    sheetGroup_->setTitle(q(sheetCaption(s.devMode.dmPaperSize, s.devMode.dmOrientation)));
  SmallSheet sheet = smallSheetTwips(s.sheetWidthMm, s.sheetHeightMm);
  int w = static_cast<int>(std::lround(sheet.w / twipsPerPixel_));
  int h = static_cast<int>(std::lround(sheet.h / twipsPerPixel_));
  QPoint a = kSheetAnchor;
  sheetShape_->setGeometry(a.x(), a.y(), w + 8, h + 8);
  sheetBorder_->setGeometry(a.x() + 3, a.y() + 3, w + 2, h + 2);
  preview_->setGeometry(a.x() + 4, a.y() + 4, w, h);
}

void PrintDialog::syncPreview() {
  const auto& s = session_.state;
  QImage shown;
  if (s.hasSource && !picture_.isNull()) {
    if (s.colourMode == kMonochrome) {
      if (greyPicture_.isNull()) {
        Bitmap24 copy = *s.image;
        GrayScaleDib(copy);
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
  setRectText(session_.state, field, text.toStdString());
  bool corrected = rectText(session_.state, field) != text.toStdString();
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
      Preview(s);
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
        char32_t typed = FilterDecimalKey(c, box, decimal.isEmpty() ? U'.' : decimal[0].unicode());
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
        return !FilterIntegerKey(c, box, minus);
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
  printingLabel_->adjustSize();
  QRect p = preview_->geometry();
  printingLabel_->move(p.x() + (p.width() - printingLabel_->width()) / 2,
                       p.y() + (p.height() - printingLabel_->height()) / 2);
  printingLabel_->show();
  printingLabel_->raise();
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
  zoomPanel_->setGeometry(rect().adjusted(kZoomMargin, kZoomMargin, -kZoomMargin, -kZoomMargin));
  zoomPanel_->show();
  zoomPanel_->raise();
  QRect inner = zoomPanel_->contentsRect();
  ZoomBox box =
      zoomSheet(inner.width(), inner.height(), s.sheetWidthMm, s.sheetHeightMm, kZoomMargin);
  zoomSheetShape_->setGeometry(inner.x() + box.x, inner.y() + box.y, box.w, box.h);
  zoomPreview_->setGeometry(inner.x() + box.x + kZoomMargin, inner.y() + box.y + kZoomMargin,
                            std::max(0, box.w - 2 * kZoomMargin),
                            std::max(0, box.h - 2 * kZoomMargin));
  syncPreview();
}

void PrintDialog::closeZoom() { zoomPanel_->hide(); }

void PrintDialog::savePreview() {
  QImage shot = preview_->grab().toImage();
  QSaveFile file(previewFileName());
  if (file.open(QIODevice::WriteOnly) && shot.save(&file, "BMP")) file.commit();
}

}  // namespace kolm::print::ui
