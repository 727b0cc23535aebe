#include "common/ui/about_box.h"

#include <QCoreApplication>

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <map>

namespace kolm::common::ui {

AboutTexts aboutTexts(AboutKind kind) {
  switch (kind) {
    case AboutKind::Kolm:
      return {
          "kolmAboutBox",
          QCoreApplication::translate("kolm", "Main  connecting VFO+PowerMeter+Antenna-Analyzer"),
          QCoreApplication::translate("kolm", "Calling Menu of KOLM PROGRAMME"),
          QCoreApplication::translate("kolm", "Exit")};
    case AboutKind::Vfo:
      return {"vfoAboutBox", QCoreApplication::translate("kolm", "About Digital VFO Software"),
              QCoreApplication::translate("kolm", "DIGITAL VFO FROM 0 TO 160 mHz"),
              QCoreApplication::translate("kolm", "Exit")};
    case AboutKind::PowerMeter:
      return {"powerMeterAboutBox",
              QCoreApplication::translate("kolm", "About Power Meter Software"),
              QCoreApplication::translate("kolm", "Power Meter from 0 to 160 MHz +20 -80 Dbm"), ""};
    case AboutKind::AntennaAnalyzer:
      return {"analyzerAboutBox",
              QCoreApplication::translate("kolm", "About Antenna Analyzer Software"),
              QCoreApplication::translate("kolm", "ANTENNA ANALYZER FROM 0 TO 160 mHz"),
              QCoreApplication::translate("kolm", "Exit")};
  }
  return {};
}

QString versionLine() { return QString("Kolm") + " " + " Version : " + KOLM_VERSION; }

QString systemInfoProgram() {
  for (const char* name :
       {"hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager", "msinfo32"}) {
    QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty()) return path;
  }
  return {};
}

namespace {

QPixmap drawLogo() {
  QPixmap pm(64, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(20, 30, 50));
  p.setPen(QPen(QColor(80, 220, 255), 2));
  p.drawEllipse(QRectF(4, 4, 56, 56));
  QFont f("Lucida Console");
  f.setStyleHint(QFont::Monospace);
  f.setPixelSize(30);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(4, 4, 56, 56), Qt::AlignCenter, "K");
  return pm;
}

class AboutBox : public QDialog {
 public:
  explicit AboutBox(const AboutTexts& texts) {
    setObjectName(texts.objectName);
    setWindowTitle(texts.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* logo = new QLabel(this);
    logo->setObjectName("logo");
    logo->setPixmap(drawLogo());
    auto* title = new QLabel(texts.title, this);
    title->setObjectName("titleLabel");
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 3);
    tf.setBold(true);
    title->setFont(tf);
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName("versionLabel");
    auto* disclaimer = new QLabel(
        QCoreApplication::translate("kolm", "( Pay attention Programme  on Beta Test !!)"), this);
    disclaimer->setObjectName("disclaimerLabel");
    auto* authorsLabel = new QLabel(QCoreApplication::translate("kolm", "Kolm developers"), this);
    authorsLabel->setObjectName("authorsLabel");
    auto* line = new QFrame(this);
    line->setObjectName("separatorLine");
    line->setFrameShape(QFrame::HLine);
    auto* ok = new QPushButton(QCoreApplication::translate("kolm", "OK"), this);
    ok->setObjectName("okButton");
    if (!texts.okTip.isEmpty()) ok->setToolTip(texts.okTip);
    auto* sysInfo = new QPushButton(QCoreApplication::translate("kolm", "&System Info..."), this);
    sysInfo->setObjectName("systemInfoButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, [this] { showSystemInfo(); });

    auto* top = new QHBoxLayout;
    top->addWidget(logo, 0, Qt::AlignTop);
    auto* texts_ = new QVBoxLayout;
    texts_->addWidget(title);
    texts_->addWidget(version);
    texts_->addWidget(disclaimer);
    top->addLayout(texts_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(authorsLabel, 1, Qt::AlignBottom);
    bottom->addLayout(buttons);
    layout->addLayout(bottom);
  }

  void showSystemInfo() {
    QString program = systemInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {})) {
      QMessageBox box(this);
      box.setWindowTitle("Kolm");
      box.setText(QCoreApplication::translate("kolm", "System Infos nto availlable now."));
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
    }
  }
};

}  // namespace

QDialog* AboutBoxes::show(AboutKind kind) {
  QPointer<QDialog>& box = open_[kind];
  if (!box) box = new AboutBox(aboutTexts(kind));
  box->show();
  box->raise();
  box->activateWindow();
  return box;
}

}  // namespace kolm::common::ui
