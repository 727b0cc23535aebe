// The about boxes of the launcher and the three instruments: one component,
// four sets of texts. Modeless; opening one that is open brings it forward.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <map>

namespace kolm::common::ui {

enum class AboutKind { Kolm, Vfo, PowerMeter, AntennaAnalyzer };

struct AboutTexts {
  QString objectName;
  QString caption;
  QString title;
  QString okTip;
};

AboutTexts aboutTexts(AboutKind kind);

// "Kolm  Version : 1.0.9"
QString versionLine();

// The open boxes: one of each kind.
class AboutBoxes {
 public:
  // Shows the box of `kind` (brought forward when it is open) and returns it.
  QDialog* show(AboutKind kind);

 private:
  std::map<AboutKind, QPointer<QDialog>> open_;
};

// The system-information program of this platform, or empty when there is none.
QString systemInfoProgram();

}  // namespace kolm::common::ui
