// The about boxes of the launcher and the three instruments: one component,
// four sets of texts. Modeless; opening one that is open brings it forward.
#pragma once

#include <QDialog>
#include <QString>

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

// Shows the box of `kind` (one instance each) and returns it.
QDialog* showAboutBox(AboutKind kind);

// The system-information program of this platform, or empty when there is none.
QString systemInfoProgram();

}  // namespace kolm::common::ui
