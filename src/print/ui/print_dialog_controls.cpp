// The print dialog's controls, made once and laid out by Qt layouts; the small
// sheet inside its square is sized by syncSheet from the sheet's proportions,
// the enlarged one by openZoom.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "print/layout.h"
#include "print/ui/print_dialog.h"

namespace kolm::print::ui {

namespace {

QLabel* label(const QString& text, QWidget* parent, const QString& name = {}) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  // A caption with a mnemonic keeps the room of its whole text.
  if (text.contains('&')) l->setMinimumWidth(l->fontMetrics().horizontalAdvance(text) + 2);
  return l;
}

// A box as wide as `digits` digits in its own font, with the frame and text
// margins its style gives a line edit: a larger font or screen scale widens it.
QLineEdit* numberBox(const QString& name, QWidget* parent, int digits) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  QStyleOptionFrame frame;
  frame.initFrom(e);
  frame.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, e);
  const QFontMetrics metrics = e->fontMetrics();
  const QMargins margins = e->textMargins();
  // 4: the two pixels a line edit keeps between its text and frame on each side.
  const QSize text(
      metrics.horizontalAdvance(QString(digits, u'0')) + margins.left() + margins.right() + 4,
      metrics.height());
  e->setFixedWidth(e->style()->sizeFromContents(QStyle::CT_LineEdit, &frame, text, e).width());
  e->setAlignment(Qt::AlignRight);
  return e;
}

UpDown* upDown(const QString& name, QWidget* parent) {
  auto* u = new UpDown(parent);
  u->setObjectName(name);
  u->setFixedSize(16, 24);
  return u;
}

// A row of millimetres: the caption "NAMELabel", its box "NAMEEdit" and arrows
// "NAMESpin".
QLabel* rectRow(QGroupBox* frame, const QString& name, const QString& caption, QLineEdit*& edit,
                UpDown*& spin) {
  QLabel* l = label(caption, frame, name + "Label");
  edit = numberBox(name + "Edit", frame, 6);
  spin = upDown(name + "Spin", frame);
  l->setBuddy(edit);
  return l;
}

// A frame's rows: per row a caption, its box and arrows, and a control beside.
void gridRows(QGroupBox* frame, std::initializer_list<std::array<QWidget*, 4>> rows) {
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(10, 6, 8, 6);
  grid->setHorizontalSpacing(2);
  int row = 0;
  for (const auto& r : rows) {
    grid->addWidget(r[0], row, 0);
    grid->addWidget(r[1], row, 1);
    grid->addWidget(r[2], row, 2);
    grid->addWidget(r[3], row, 4, Qt::AlignLeft);
    ++row;
  }
  grid->setColumnMinimumWidth(3, 8);
  grid->setColumnStretch(4, 1);
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

void PrintDialog::build() {
  buildPrinterGroup();
  buildSheetGroup();
  buildRectGroups();
  buildScaleCopiesAndButtons();
  buildZoom();
  layOut();
  connectControls();
}

void PrintDialog::buildPrinterGroup() {
  printerGroup_ = new QGroupBox(tr("Printer"), this);
  printerGroup_->setObjectName("printerGroup");
  printerNameLabel_ = label(tr("&Name:"), printerGroup_, "printerNameLabel");
  printerNameLabel_->installEventFilter(this);
  printerCombo_ = new QComboBox(printerGroup_);
  printerCombo_->setObjectName("printerCombo");
  printerNameLabel_->setBuddy(printerCombo_);
  propertiesButton_ = new QPushButton(tr("Properties"), printerGroup_);
  propertiesButton_->setObjectName("propertiesButton");
  auto* row = new QHBoxLayout(printerGroup_);
  row->setContentsMargins(10, 6, 10, 6);
  row->addWidget(printerNameLabel_);
  row->addWidget(printerCombo_, 1);
  row->addSpacing(8);
  row->addWidget(propertiesButton_);
}

// The sheet's size in words and, in a square of its own, the small sheet with
// the preview: their places there follow the sheet's proportions (syncSheet).
void PrintDialog::buildSheetGroup() {
  sheetGroup_ = new QGroupBox(tr("Layout"), this);
  sheetGroup_->setObjectName("sheetGroup");
  QLabel* captions[] = {label(tr("Widtht:"), sheetGroup_, "sheetWidthCaption"),
                        label(tr("Height:"), sheetGroup_, "sheetHeightCaption")};
  sheetWidthLabel_ = label("", sheetGroup_, "sheetWidthLabel");
  sheetHeightLabel_ = label("", sheetGroup_, "sheetHeightLabel");
  QLabel* units[] = {label(tr("[mm]"), sheetGroup_, "sheetWidthUnit"),
                     label(tr("[mm]"), sheetGroup_, "sheetHeightUnit")};
  outOfSheetLabel_ = label(tr("Out of Layout"), sheetGroup_, "outOfSheetLabel");
  outOfSheetLabel_->setAlignment(Qt::AlignCenter);
  outOfSheetLabel_->setFrameShape(QFrame::Box);
  outOfSheetLabel_->setAutoFillBackground(true);
  outOfSheetLabel_->setMargin(3);
  QFont bold = outOfSheetLabel_->font();
  bold.setBold(true);
  outOfSheetLabel_->setFont(bold);
  outOfSheetLabel_->hide();
  blinkTimer_ = new QTimer(this);
  blinkTimer_->setObjectName("blinkTimer");
  blinkTimer_->setInterval(500);
  connect(blinkTimer_, &QTimer::timeout, this, &PrintDialog::blink);

  // Room for the small sheet's long side and its two borders. The sheet, its
  // dark border 3 px inside it and the preview 4 px inside it lie over each
  // other at the square's top left; syncSheet gives each its size from the
  // sheet's proportions.
  sheetArea_ = new QWidget(sheetGroup_);
  sheetArea_->setObjectName("sheetArea");
  const int side = static_cast<int>(std::lround(kSmallSheetTwips / twipsPerPixel_)) + 8;
  sheetArea_->setFixedSize(side, side);
  sheetShape_ = new QFrame(sheetArea_);
  sheetShape_->setObjectName("sheetShape");
  sheetShape_->setFrameShape(QFrame::Box);
  sheetShape_->setStyleSheet(
      "QFrame#sheetShape { background: #8c8c8c; border: 1px solid #404040; }");
  sheetBorder_ = new QFrame(sheetArea_);
  sheetBorder_->setObjectName("sheetBorder");
  sheetBorder_->setStyleSheet("QFrame#sheetBorder { background: #202020; }");
  // The sheet and its border are drawings under the preview: they take no input.
  sheetShape_->setAttribute(Qt::WA_TransparentForMouseEvents);
  sheetBorder_->setAttribute(Qt::WA_TransparentForMouseEvents);
  preview_ = new PreviewArea(sheetArea_);
  preview_->setObjectName("preview");
  connect(preview_, &PreviewArea::clicked, this, &PrintDialog::openZoom);
  auto* sheet = new QGridLayout(sheetArea_);
  sheet->setContentsMargins(0, 0, 0, 0);
  for (auto [w, inset] :
       {std::pair<QWidget*, int>{sheetShape_, 0}, {sheetBorder_, 3}, {preview_, 4}}) {
    auto* place = new QVBoxLayout;
    place->setContentsMargins(inset, inset, 0, 0);
    place->addWidget(w, 0, Qt::AlignLeft | Qt::AlignTop);
    sheet->addLayout(place, 0, 0);
  }
  // "Printing..." in the middle of the preview while the print is made.
  printingLabel_ = new QLabel(tr("Printing..."), preview_);
  printingLabel_->setObjectName("printingLabel");
  printingLabel_->setAutoFillBackground(true);
  printingLabel_->setFrameShape(QFrame::Box);
  printingLabel_->setMargin(3);
  printingLabel_->hide();
  auto* middle = new QGridLayout(preview_);
  middle->setContentsMargins(0, 0, 0, 0);
  middle->addWidget(printingLabel_, 0, 0, Qt::AlignCenter);

  auto* grid = new QGridLayout(sheetGroup_);
  grid->setContentsMargins(10, 6, 10, 6);
  for (int r = 0; r < 2; ++r) {
    grid->addWidget(captions[r], r, 0);
    grid->addWidget(r == 0 ? sheetWidthLabel_ : sheetHeightLabel_, r, 1, Qt::AlignRight);
    grid->addWidget(units[r], r, 2);
  }
  grid->setRowStretch(2, 1);
  grid->addWidget(outOfSheetLabel_, 3, 0, 1, 3);
  grid->setColumnMinimumWidth(3, 8);
  grid->addWidget(sheetArea_, 0, 4, 4, 1);
}

// Margins and dimensions: per row the caption, the box in mm and its arrows,
// and a control beside them.
void PrintDialog::buildRectGroups() {
  marginsGroup_ = new QGroupBox(tr("Margins in mm"), this);
  marginsGroup_->setObjectName("marginsGroup");
  QLabel* leftLabel = rectRow(marginsGroup_, "left", tr("L&eft:"), leftEdit_, leftSpin_);
  QLabel* topLabel = rectRow(marginsGroup_, "top", tr("T&op:"), topEdit_, topSpin_);
  centreCheck_ = new QCheckBox(tr("Center Print"), marginsGroup_);
  centreCheck_->setObjectName("centreCheck");
  zeroMarginsButton_ = new QToolButton(marginsGroup_);
  zeroMarginsButton_->setObjectName("zeroMarginsButton");
  zeroMarginsButton_->setText(QString::fromUtf8("\u21f1"));  // arrow to the corner
  zeroMarginsButton_->setToolTip(tr("Imposta i margini a 0 "));
  gridRows(marginsGroup_, {{leftLabel, leftEdit_, leftSpin_, centreCheck_},
                           {topLabel, topEdit_, topSpin_, zeroMarginsButton_}});

  sizeGroup_ = new QGroupBox(tr("Dimensions in mm"), this);
  sizeGroup_->setObjectName("sizeGroup");
  QLabel* widthLabel = rectRow(sizeGroup_, "width", tr("Width:"), widthEdit_, widthSpin_);
  QLabel* heightLabel = rectRow(sizeGroup_, "height", tr("Height:"), heightEdit_, heightSpin_);
  keepProportionsCheck_ = new QCheckBox(tr("&Fix Dimensions"), sizeGroup_);
  keepProportionsCheck_->setObjectName("keepProportionsCheck");
  keepProportionsCheck_->setChecked(true);
  fillSheetButton_ = new QPushButton(tr("M a x"), sizeGroup_);
  fillSheetButton_->setObjectName("fillSheetButton");
  fillSheetButton_->setToolTip(tr("Usa tutto il foglio "));
  gridRows(sizeGroup_, {{widthLabel, widthEdit_, widthSpin_, keepProportionsCheck_},
                        {heightLabel, heightEdit_, heightSpin_, fillSheetButton_}});
}

void PrintDialog::buildScaleCopiesAndButtons() {
  scaleCaption_ = label(tr("Sca&le:"), this, "scaleCaption");
  scalePrefix_ = label(tr("1 :  "), this, "scalePrefix");
  scaleEdit_ = numberBox("scaleEdit", this, 14);
  scaleCaption_->setBuddy(scaleEdit_);
  scaleOkButton_ = new QToolButton(this);
  scaleOkButton_->setObjectName("scaleOkButton");
  scaleOkButton_->setText(QString::fromUtf8("\u2713"));
  scaleOkButton_->setToolTip(tr("OK o Invio per confermare "));
  copiesLabel_ = label(tr("N. &of copies:"), this, "copiesLabel");
  copiesEdit_ = numberBox("copiesEdit", this, 5);
  copiesSpin_ = upDown("copiesSpin", this);
  copiesLabel_->setBuddy(copiesEdit_);

  chartOnlyCheck_ = new QCheckBox(tr("Chart only"), this);
  chartOnlyCheck_->setObjectName("chartOnlyCheck");
  chartOnlyCheck_->setToolTip(
      tr("The chart alone, drawn as lines and text, under a line that says what it shows"));
  printButton_ = new QPushButton(tr("Print"), this);
  printButton_->setObjectName("printButton");
  printButton_->setDefault(true);
  okButton_ = new QPushButton(tr("&OK"), this);
  okButton_->setObjectName("okButton");
  exitButton_ = new QPushButton(tr("Exit"), this);
  exitButton_->setObjectName("exitButton");
  for (QPushButton* b : {printButton_, okButton_, exitButton_})
    b->setMinimumSize(std::max(112, b->sizeHint().width()), 30);

  printerImage_ = new QLabel(this);
  printerImage_->setObjectName("printerImage");
  printerImage_->setPixmap(printerPicture());
}

// The enlarged preview: a panel laid over the whole dialog when opened.
void PrintDialog::buildZoom() {
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
  // The sheet and the preview over it in the panel's middle (openZoom sizes them).
  auto* middle = new QGridLayout(zoomPanel_);
  middle->setContentsMargins(0, 0, 0, 0);
  middle->addWidget(zoomSheetShape_, 0, 0, Qt::AlignCenter);
  middle->addWidget(zoomPreview_, 0, 0, Qt::AlignCenter);
  zoomPanel_->hide();
}

// The printer over the sheet and, beside it, the margins and dimensions (print
// mode) or the printer's picture (settings mode); then scale and copies, then
// Print or OK, and Exit. What a mode hides takes no room. The zoom panel, when
// opened, lies over all of it a margin inside the dialog's edges.
void PrintDialog::layOut() {
  auto* layers = new QGridLayout(this);
  layers->setContentsMargins(0, 0, 0, 0);
  auto* page = new QVBoxLayout;
  page->setContentsMargins(8, 4, 8, 8);
  layers->addLayout(page, 0, 0);
  auto* zoom = new QVBoxLayout;
  zoom->setContentsMargins(kZoomMargin, kZoomMargin, kZoomMargin, kZoomMargin);
  zoom->addWidget(zoomPanel_);
  layers->addLayout(zoom, 0, 0);
  page->addWidget(printerGroup_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(sheetGroup_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(marginsGroup_);
  right->addWidget(sizeGroup_);
  right->addWidget(printerImage_, 0, Qt::AlignHCenter);
  right->addStretch(1);
  middle->addLayout(right, 1);
  page->addLayout(middle);
  auto* scale = new QHBoxLayout;
  for (QWidget* w :
       std::initializer_list<QWidget*>{scaleCaption_, scalePrefix_, scaleEdit_, scaleOkButton_})
    scale->addWidget(w);
  scale->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{copiesLabel_, copiesEdit_, copiesSpin_})
    scale->addWidget(w);
  scale->addStretch(1);
  page->addLayout(scale);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(chartOnlyCheck_);
  buttons->addStretch(1);
  buttons->addWidget(okButton_);
  buttons->addWidget(printButton_);
  buttons->addSpacing(8);
  buttons->addWidget(exitButton_);
  page->addLayout(buttons);
}

}  // namespace kolm::print::ui
