#include "print/ui/frm_stampa_fcpb.h"

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

frmStampaFCPB::frmStampaFCPB(PrintSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("frmStampaFCPB");
  setWindowTitle(tr("Print Diagrams"));
  setModal(true);
  twipsPerPixel_ = 1440.0 / std::max(1, logicalDpiX());
  build();
}

void frmStampaFCPB::build() {
  // ---- printer ----
  zFrame1_ = new QGroupBox(tr("Printer"), this);
  zFrame1_->setObjectName("zFrame1");
  zFrame1_->setGeometry(8, 4, 564, 58);
  zLabel1_ = label(tr("&Name:"), zFrame1_, {12, 26, 56, 20}, "zLabel1");
  zLabel1_->installEventFilter(this);
  cboPrinterNames_ = new QComboBox(zFrame1_);
  cboPrinterNames_->setObjectName("cboPrinterNames");
  cboPrinterNames_->setGeometry(70, 24, 370, 24);
  zLabel1_->setBuddy(cboPrinterNames_);
  cmdProprieta_ = new QPushButton(tr("Properties"), zFrame1_);
  cmdProprieta_->setObjectName("cmdProprieta");
  cmdProprieta_->setGeometry(450, 23, 104, 26);

  // ---- sheet ----
  fraFoglio_ = new QGroupBox(tr("Layout"), this);
  fraFoglio_->setObjectName("fraFoglio");
  fraFoglio_->setGeometry(8, 68, 290, 178);
  label(tr("Widtht:"), fraFoglio_, {12, 28, 56, 18}, "zLabel3");
  lblFgW_ = label("", fraFoglio_, {70, 28, 34, 18}, "lblFgW");
  lblFgW_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label(tr("[mm]"), fraFoglio_, {106, 28, 34, 18}, "zLabel5");
  label(tr("Height:"), fraFoglio_, {12, 50, 56, 18}, "zLabel4");
  lblFgH_ = label("", fraFoglio_, {70, 50, 34, 18}, "lblFgH");
  lblFgH_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label(tr("[mm]"), fraFoglio_, {106, 50, 34, 18}, "zLabel6");

  lblFuoriFoglio_ = label(tr("Out of Layout"), fraFoglio_, {12, 132, 116, 22}, "lblFuoriFoglio");
  lblFuoriFoglio_->setAlignment(Qt::AlignCenter);
  lblFuoriFoglio_->setFrameShape(QFrame::Box);
  lblFuoriFoglio_->setAutoFillBackground(true);
  QFont bold = lblFuoriFoglio_->font();
  bold.setBold(true);
  lblFuoriFoglio_->setFont(bold);
  lblFuoriFoglio_->hide();
  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setInterval(500);
  connect(Timer1_, &QTimer::timeout, this, &frmStampaFCPB::blink);

  shpFoglio_ = new QFrame(fraFoglio_);
  shpFoglio_->setObjectName("shpFoglio");
  shpFoglio_->setFrameShape(QFrame::Box);
  shpFoglio_->setStyleSheet("QFrame#shpFoglio { background: #8c8c8c; border: 1px solid #404040; }");
  shpBordo_ = new QFrame(fraFoglio_);
  shpBordo_->setObjectName("shpBordo");
  shpBordo_->setStyleSheet("QFrame#shpBordo { background: #202020; }");
  // The sheet and its border are drawings under the preview: they take no input.
  shpFoglio_->setAttribute(Qt::WA_TransparentForMouseEvents);
  shpBordo_->setAttribute(Qt::WA_TransparentForMouseEvents);
  picPreview_ = new PreviewArea(fraFoglio_);
  picPreview_->setObjectName("picPreview");
  connect(picPreview_, &PreviewArea::clicked, this, &frmStampaFCPB::Zoom);
  lblStampaInCorso_ = new QLabel(tr("Printing..."), fraFoglio_);
  lblStampaInCorso_->setObjectName("lblStampaInCorso");
  lblStampaInCorso_->setAutoFillBackground(true);
  lblStampaInCorso_->setFrameShape(QFrame::Box);
  lblStampaInCorso_->setMargin(3);
  lblStampaInCorso_->adjustSize();
  lblStampaInCorso_->hide();

  // ---- margins ----
  zFrame2_ = new QGroupBox(tr("Margins in mm"), this);
  zFrame2_->setObjectName("zFrame2");
  zFrame2_->setGeometry(306, 68, 266, 86);
  auto* zLabel7 = label(tr("L&eft:"), zFrame2_, {10, 26, 48, 20}, "zLabel7");
  txtPrX_ = numberBox("txtPrX", zFrame2_, {58, 24, 58, 24});
  updPrX_ = upDown("updPrX", zFrame2_, {117, 24, 16, 24});
  zLabel7->setBuddy(txtPrX_);
  auto* zLabel9 = label(tr("T&op:"), zFrame2_, {10, 54, 48, 20}, "zLabel9");
  txtPrY_ = numberBox("txtPrY", zFrame2_, {58, 52, 58, 24});
  updPrY_ = upDown("updPrY", zFrame2_, {117, 52, 16, 24});
  zLabel9->setBuddy(txtPrY_);
  chkCentro_ = new QCheckBox(tr("Center Print"), zFrame2_);
  chkCentro_->setObjectName("chkCentro");
  chkCentro_->setGeometry(142, 24, 120, 24);
  cmdOrigine_ = new QToolButton(zFrame2_);
  cmdOrigine_->setObjectName("cmdOrigine");
  cmdOrigine_->setText(QString::fromUtf8("\u21f1"));  // arrow to the corner
  cmdOrigine_->setToolTip(tr("Imposta i margini a 0 "));
  cmdOrigine_->setGeometry(142, 52, 30, 24);

  // ---- size ----
  zFrame3_ = new QGroupBox(tr("Dimensions in mm"), this);
  zFrame3_->setObjectName("zFrame3");
  zFrame3_->setGeometry(306, 160, 266, 86);
  auto* zLabel8 = label(tr("Width:"), zFrame3_, {10, 26, 48, 20}, "zLabel8");
  txtPrW_ = numberBox("txtPrW", zFrame3_, {58, 24, 58, 24});
  updPrW_ = upDown("updPrW", zFrame3_, {117, 24, 16, 24});
  zLabel8->setBuddy(txtPrW_);
  auto* zLabel2 = label(tr("Height:"), zFrame3_, {10, 54, 48, 20}, "zLabel2");
  txtPrH_ = numberBox("txtPrH", zFrame3_, {58, 52, 58, 24});
  updPrH_ = upDown("updPrH", zFrame3_, {117, 52, 16, 24});
  zLabel2->setBuddy(txtPrH_);
  chkProporzioni_ = new QCheckBox(tr("&Fix Dimensions"), zFrame3_);
  chkProporzioni_->setObjectName("chkProporzioni");
  chkProporzioni_->setGeometry(142, 24, 120, 24);
  chkProporzioni_->setChecked(true);
  cmdMax_ = new QPushButton(tr("M a x"), zFrame3_);
  cmdMax_->setObjectName("cmdMax");
  cmdMax_->setToolTip(tr("Usa tutto il foglio "));
  cmdMax_->setGeometry(142, 52, 72, 26);

  // ---- scale and copies ----
  lblLblScala_ = label(tr("Sca&le:"), this, {16, 258, 60, 20}, "lblLblScala");
  lblPScala_ = label(tr("1 :  "), this, {76, 258, 22, 20}, "lblPScala");
  txtScala_ = numberBox("txtScala", this, {98, 256, 120, 24});
  lblLblScala_->setBuddy(txtScala_);
  cmdScalaOK_ = new QToolButton(this);
  cmdScalaOK_->setObjectName("cmdScalaOK");
  cmdScalaOK_->setText(QString::fromUtf8("\u2713"));
  cmdScalaOK_->setToolTip(tr("OK o Invio per confermare "));
  cmdScalaOK_->setGeometry(220, 256, 28, 24);
  lblLblNCopie_ = label(tr("N. &of copies:"), this, {330, 258, 100, 20}, "lblLblNCopie");
  txtNCopies_ = numberBox("txtNCopies", this, {434, 256, 50, 24});
  updNCopies_ = upDown("updNCopies", this, {485, 256, 16, 24});
  lblLblNCopie_->setBuddy(txtNCopies_);

  // ---- buttons ----
  cmdStampa_ = new QPushButton(tr("Print"), this);
  cmdStampa_->setObjectName("cmdStampa");
  cmdStampa_->setGeometry(330, 300, 112, 30);
  cmdStampa_->setDefault(true);
  cmdOK_ = new QPushButton(tr("&OK"), this);
  cmdOK_->setObjectName("cmdOK");
  cmdOK_->setGeometry(330, 210, 112, 30);
  cmdChiudi_ = new QPushButton(tr("Exit"), this);
  cmdChiudi_->setObjectName("cmdChiudi");
  cmdChiudi_->setGeometry(456, 300, 112, 30);

  imgPrinter_ = new QLabel(this);
  imgPrinter_->setObjectName("imgPrinter");
  imgPrinter_->setPixmap(printerPicture());
  imgPrinter_->setGeometry(403, 92, 72, 64);

  // ---- enlarged preview ----
  picZoom_ = new QFrame(this);
  picZoom_->setObjectName("picZoom");
  picZoom_->setFrameShape(QFrame::Panel);
  picZoom_->setFrameShadow(QFrame::Sunken);
  picZoom_->setAutoFillBackground(true);
  picZoom_->setToolTip(tr("Exit "));
  picZoom_->installEventFilter(this);
  shpFoglioZoom_ = new QFrame(picZoom_);
  shpFoglioZoom_->setObjectName("shpFoglioZoom");
  shpFoglioZoom_->setStyleSheet(
      "QFrame#shpFoglioZoom { background: #8c8c8c; border: 1px solid #404040; }");
  shpFoglioZoom_->setAttribute(Qt::WA_TransparentForMouseEvents);
  picPreviewZoom_ = new PreviewArea(picZoom_);
  picPreviewZoom_->setObjectName("picPreviewZoom");
  picPreviewZoom_->setToolTip(tr("Exit "));
  connect(picPreviewZoom_, &PreviewArea::clicked, this, &frmStampaFCPB::closeZoom);
  picZoom_->hide();

  // ---- events ----
  connect(cboPrinterNames_, &QComboBox::activated, this, [this](int index) {
    session_.selectPrinter(index);
    sync();
  });
  connect(cmdProprieta_, &QPushButton::clicked, this, [this] {
    session_.editPrinterProperties();
    sync();
  });
  struct RectBox {
    QLineEdit* edit;
    UpDown* spin;
    RectField field;
  };
  for (const RectBox& b :
       {RectBox{txtPrX_, updPrX_, RectField::X}, RectBox{txtPrY_, updPrY_, RectField::Y},
        RectBox{txtPrW_, updPrW_, RectField::W}, RectBox{txtPrH_, updPrH_, RectField::H}}) {
    b.edit->installEventFilter(this);
    RectField field = b.field;
    connect(b.edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { rectEdited(field, text); });
    connect(b.spin, &UpDown::stepped, this,
            [this, field](int delta) { rectStepped(field, delta); });
  }
  connect(chkProporzioni_, &QCheckBox::clicked, this, [this](bool checked) {
    setFixProportions(session_.state, checked);
    sync();
  });
  connect(chkCentro_, &QCheckBox::clicked, this, [this](bool checked) {
    setCentred(session_.state, checked);
    sync();
  });
  connect(cmdMax_, &QPushButton::clicked, this, [this] {
    maximise(session_.state);
    sync();
  });
  connect(cmdOrigine_, &QToolButton::clicked, this, [this] {
    moveToOrigin(session_.state);
    sync();
  });
  txtScala_->installEventFilter(this);
  connect(txtScala_, &QLineEdit::textEdited, this,
          [this](const QString& text) { session_.state.scaleText = text.toStdString(); });
  connect(cmdScalaOK_, &QToolButton::clicked, this, &frmStampaFCPB::scaleEntered);
  txtNCopies_->installEventFilter(this);
  connect(txtNCopies_, &QLineEdit::textEdited, this,
          [this](const QString& text) { session_.setCopiesText(text.toStdString()); });
  connect(updNCopies_, &UpDown::stepped, this, [this](int delta) {
    session_.setCopiesText(
        std::to_string(stepSpin(session_.state.copiesText, delta, kCopiesRange)));
    sync();
  });
  connect(cmdStampa_, &QPushButton::clicked, this, &frmStampaFCPB::cmdStampa_Click);
  connect(cmdOK_, &QPushButton::clicked, this, &frmStampaFCPB::cmdOK_Click);
  connect(cmdChiudi_, &QPushButton::clicked, this, &frmStampaFCPB::cmdChiudi_Click);
}

void frmStampaFCPB::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
  }
}

void frmStampaFCPB::sizeWindow() {
  bool printMode = session_.state.HasSource;
  for (QWidget* w :
       std::initializer_list<QWidget*>{cmdStampa_, lblLblScala_, lblPScala_, txtScala_, cmdScalaOK_,
                                       lblLblNCopie_, txtNCopies_, updNCopies_, zFrame2_, zFrame3_})
    w->setVisible(printMode);
  cmdOK_->setVisible(!printMode);
  imgPrinter_->setVisible(!printMode);
  cmdChiudi_->move(456, printMode ? 300 : 210);
  setFixedSize(kClientWidth, printMode ? kPrintModeHeight : kSettingsModeHeight);
}

void frmStampaFCPB::Form_Activate() {
  sizeWindow();
  if (QScreen* screen = this->screen()) {
    QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  session_.activate();
  {
    QSignalBlocker block(cboPrinterNames_);
    cboPrinterNames_->clear();
    for (const auto& name : session_.state.printers) cboPrinterNames_->addItem(q(name));
  }
  picture_ = session_.state.image ? imageView(*session_.state.image) : QImage();
  greyPicture_ = QImage();
  picPreview_->setToolTip(session_.state.HasSource ? tr(" Print Preview ") : QString());
  setWindowTitle(q(session_.caption()));
  sync();
  if (session_.state.HasSource)
    cmdStampa_->setFocus();
  else
    cmdOK_->setFocus();
}

void frmStampaFCPB::sync() {
  const auto& s = session_.state;
  {
    QSignalBlocker b1(txtPrX_), b2(txtPrY_), b3(txtPrW_), b4(txtPrH_), b5(txtScala_),
        b6(txtNCopies_), b7(cboPrinterNames_);
    setTextIfChanged(txtPrX_, s.xText);
    setTextIfChanged(txtPrY_, s.yText);
    setTextIfChanged(txtPrW_, s.widthText);
    setTextIfChanged(txtPrH_, s.heightText);
    setTextIfChanged(txtScala_, s.scaleText);
    setTextIfChanged(txtNCopies_, s.copiesText);
    if (cboPrinterNames_->currentIndex() != s.printerIndex)
      cboPrinterNames_->setCurrentIndex(s.printerIndex);
  }
  chkProporzioni_->setChecked(s.keepProportions);
  chkCentro_->setChecked(s.centred);
  for (QWidget* w :
       std::initializer_list<QWidget*>{txtPrX_, txtPrY_, updPrX_, updPrY_, cmdOrigine_})
    w->setEnabled(!s.centred);
  lblLblScala_->setText(QCoreApplication::translate("kolm", s.scaleLabel.c_str()));
  txtScala_->setEnabled(s.scaleEditable);
  syncSheet();
  syncPreview();
}

void frmStampaFCPB::syncSheet() {
  const auto& s = session_.state;
  lblFgW_->setText(QString::number(s.SheetW_mm));
  lblFgH_->setText(QString::number(s.SheetH_mm));
  if (s.printerIndex >= 0)
    fraFoglio_->setTitle(q(sheetCaption(s.devMode.dmPaperSize, s.devMode.dmOrientation)));
  SmallSheet sheet = smallSheetTwips(s.SheetW_mm, s.SheetH_mm);
  int w = static_cast<int>(std::lround(sheet.w / twipsPerPixel_));
  int h = static_cast<int>(std::lround(sheet.h / twipsPerPixel_));
  QPoint a = kSheetAnchor;
  shpFoglio_->setGeometry(a.x(), a.y(), w + 8, h + 8);
  shpBordo_->setGeometry(a.x() + 3, a.y() + 3, w + 2, h + 2);
  picPreview_->setGeometry(a.x() + 4, a.y() + 4, w, h);
}

void frmStampaFCPB::syncPreview() {
  const auto& s = session_.state;
  QImage shown;
  if (s.HasSource && !picture_.isNull()) {
    if (s.ColorMode == kMonochrome) {
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
    PixelRect r = previewRect(s.previewed, s.SheetW_mm, s.SheetH_mm, area->width(), area->height());
    return QRect(r.x, r.y, r.w, r.h);
  };
  picPreview_->setPicture(shown);
  picPreview_->setTarget(mapped(picPreview_));
  if (zoomShown()) {
    picPreviewZoom_->setPicture(shown);
    picPreviewZoom_->setTarget(mapped(picPreviewZoom_));
  }
  lblFuoriFoglio_->setVisible(s.outOfSheet);
  if (s.outOfSheet && !Timer1_->isActive()) Timer1_->start();
  if (!s.outOfSheet) Timer1_->stop();
  QPalette pal = lblFuoriFoglio_->palette();
  pal.setColor(QPalette::Window,
               s.blinkRed ? QColor(255, 0, 0) : palette().color(QPalette::Button));
  lblFuoriFoglio_->setPalette(pal);
}

void frmStampaFCPB::blink() {
  blinkTick(session_.state);
  syncPreview();
}

void frmStampaFCPB::rectEdited(RectField field, const QString& text) {
  setRectText(session_.state, field, text.toStdString());
  bool corrected = rectText(session_.state, field) != text.toStdString();
  afterRectEdit(field);
  sync();
  // A corrected number is selected, so that typing goes on over it.
  if (corrected) rectEdit(field)->selectAll();
}

QLineEdit* frmStampaFCPB::rectEdit(RectField field) const {
  switch (field) {
    case RectField::X:
      return txtPrX_;
    case RectField::Y:
      return txtPrY_;
    case RectField::W:
      return txtPrW_;
    case RectField::H:
      return txtPrH_;
  }
  return txtPrW_;
}

void frmStampaFCPB::rectStepped(RectField field, int delta) {
  auto& s = session_.state;
  SpinRange range = (field == RectField::W || field == RectField::H) ? kSizeRange : kMarginRange;
  setRectText(s, field, std::to_string(stepSpin(rectText(s, field), delta, range)));
  afterRectEdit(field);
  sync();
}

void frmStampaFCPB::afterRectEdit(RectField field) {
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

void frmStampaFCPB::scaleEntered() {
  session_.state.scaleText = txtScala_->text().toStdString();
  enterScale(session_.state);
  sync();
}

bool frmStampaFCPB::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == txtScala_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
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
      if (edit == txtScala_) {
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
      bool minus = edit == txtPrX_ || edit == txtPrY_;
      if (edit == txtPrX_ || edit == txtPrY_ || edit == txtPrW_ || edit == txtPrH_ ||
          edit == txtNCopies_)
        return !FilterIntegerKey(c, box, minus);
    }
  } else if (event->type() == QEvent::FocusOut && watched == txtScala_) {
    scaleEntered();
  } else if (event->type() == QEvent::MouseButtonDblClick && watched == zLabel1_) {
    savePreview();
    return true;
  } else if (event->type() == QEvent::MouseButtonRelease && watched == picZoom_) {
    closeZoom();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void frmStampaFCPB::cmdStampa_Click() {
  // "Printing..." in the middle of the preview, shown before the print starts.
  lblStampaInCorso_->adjustSize();
  QRect p = picPreview_->geometry();
  lblStampaInCorso_->move(p.x() + (p.width() - lblStampaInCorso_->width()) / 2,
                          p.y() + (p.height() - lblStampaInCorso_->height()) / 2);
  lblStampaInCorso_->show();
  lblStampaInCorso_->raise();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool printed = session_.print();
  QApplication::restoreOverrideCursor();
  if (printed) {
    closing_ = true;
    QDialog::done(QDialog::Accepted);
    return;
  }
  lblStampaInCorso_->hide();
  sync();
}

void frmStampaFCPB::cmdOK_Click() {
  session_.accept();
  closing_ = true;
  QDialog::done(QDialog::Accepted);
}

void frmStampaFCPB::cmdChiudi_Click() {
  session_.cancel();
  closing_ = true;
  QDialog::done(QDialog::Rejected);
}

void frmStampaFCPB::done(int result) {
  // Esc or the window's close box leave the dialog as Exit does.
  if (!closing_) {
    session_.cancel();
    closing_ = true;
  }
  Timer1_->stop();
  QDialog::done(result);
}

bool frmStampaFCPB::zoomShown() const { return picZoom_->isVisible(); }

void frmStampaFCPB::Zoom() {
  const auto& s = session_.state;
  if (!s.HasSource) return;
  picZoom_->setGeometry(rect().adjusted(kZoomMargin, kZoomMargin, -kZoomMargin, -kZoomMargin));
  picZoom_->show();
  picZoom_->raise();
  QRect inner = picZoom_->contentsRect();
  ZoomBox box = zoomSheet(inner.width(), inner.height(), s.SheetW_mm, s.SheetH_mm, kZoomMargin);
  shpFoglioZoom_->setGeometry(inner.x() + box.x, inner.y() + box.y, box.w, box.h);
  picPreviewZoom_->setGeometry(inner.x() + box.x + kZoomMargin, inner.y() + box.y + kZoomMargin,
                               std::max(0, box.w - 2 * kZoomMargin),
                               std::max(0, box.h - 2 * kZoomMargin));
  syncPreview();
}

void frmStampaFCPB::closeZoom() { picZoom_->hide(); }

void frmStampaFCPB::savePreview() {
  QImage shot = picPreview_->grab().toImage();
  QSaveFile file(previewFileName());
  if (file.open(QIODevice::WriteOnly) && shot.save(&file, "BMP")) file.commit();
}

}  // namespace kolm::print::ui
