// The crystal batch: crystals measured one after another with the power meter's
// crystal meter (one click each), tabulated, kept as CSV and matched into groups
// for ladder filters. It belongs to the power meter window and sweeps with it.
#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "common/prompter.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_limits.h"

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kolm::powermeter::ui {

class PowerMeterWindow;

class CrystalBatchWindow : public QWidget {
  Q_OBJECT
 public:
  CrystalBatchWindow(PowerMeterWindow& meter, common::Prompter& prompter);

  const std::vector<CrystalRow>& rows() const { return rows_; }
  const std::vector<CrystalGroup>& groups() const { return groups_; }
  // Measures the crystal in the fixture and adds it with the label typed.
  void measure();
  // Finds the groups with the size and tolerances set.
  void match();
  // Sorts every crystal against the limits typed (pass, fail, indeterminate);
  // with no limit typed, the verdicts are cleared. False, said, for limits
  // that cannot be taken.
  bool sort();
  bool save();
  void open();
  // The load box shows the load the power meter gives Fl at.
  void showLoad();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The next crystal's label, Measure, Repeat and the load for Fl.
  QHBoxLayout* buildMeasureRow();
  // The group size and tolerances, and Match.
  QGroupBox* buildMatching();
  // The limits' boxes, and Sort.
  QGroupBox* buildSorting();
  // One more pass of the crystal in the fixture (`passes_` holds the earlier).
  bool startPass();
  void measured();
  void removeSelected();
  void showRows();
  void showGroups();
  void showLoadColumn();
  void judge(CrystalRow& row) const;
  // Every crystal judged again; a changed verdict leaves the batch unsaved.
  // True when one changed.
  bool judgeAll();
  void setStatus(const QString& text);
  void updateButtons();

  PowerMeterWindow& meter_;
  common::Prompter& prompter_;
  std::vector<CrystalRow> rows_;
  std::vector<CrystalGroup> groups_;
  bool saved_ = true;
  bool measuring_ = false;
  std::vector<CrystalParameters> passes_;
  std::string measuringLabel_;

  QLineEdit* label_ = nullptr;
  QPushButton* measure_ = nullptr;
  QSpinBox* repeat_ = nullptr;
  QLineEdit* load_ = nullptr;
  QTableWidget* table_ = nullptr;
  QSpinBox* size_ = nullptr;
  QDoubleSpinBox* toleranceHz_ = nullptr;
  QCheckBox* useR_ = nullptr;
  QDoubleSpinBox* rTolerancePct_ = nullptr;
  QListWidget* groupList_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* matchWarning_ = nullptr;
  QLineEdit* fsMin_ = nullptr;
  QLineEdit* fsMax_ = nullptr;
  QLineEdit* rMax_ = nullptr;
  QLineEdit* qMin_ = nullptr;
  std::optional<CrystalLimits> limits_;
};

}  // namespace kolm::powermeter::ui
