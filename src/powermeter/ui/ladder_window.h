// The ladder filter: a crystal ladder filter designed from crystals of a batch
// (the batch window's or a batch file's), its parts as designed and as E12 and
// E24 values, its predicted response, and that response put in the power
// meter's memory over a sweep of the built filter, to compare with it.
#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "common/prompter.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/ladder_filter.h"
#include "powermeter/ladder_spread.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace kolm::powermeter::ui {

class PowerMeterWindow;

class LadderWindow : public QWidget {
  Q_OBJECT
 public:
  LadderWindow(PowerMeterWindow& meter, common::Prompter& prompter);

  const std::optional<LadderDesign>& design() const { return design_; }
  // How far the prediction of the parts `index` (0 as designed, 1 E12, 2 E24)
  // may be off, the crystals being known only within their intervals.
  const LadderSpread& spread(int index) const { return spread_[index]; }
  // The crystals of the batch window, or of a batch file.
  void takeBatchWindow();
  void openBatch();
  // Designs the filter from the group or the members given.
  void makeDesign();
  // The power meter's span set around the filter and the predicted levels of
  // the parts chosen put in its memory.
  void showOnPowerMeter();
  bool saveDesign();

 private:
  // Where the crystals come from: a batch, and a group of it or crystals named.
  QGroupBox* buildCrystals();
  // The bandwidth, shape and termination asked for.
  QGroupBox* buildFilter();
  void setRows(std::vector<CrystalRow> rows, const QString& source);
  const LadderNetwork& chosenNetwork() const;
  const LadderResponse& chosenPrediction() const;
  void showDesign();

  PowerMeterWindow& meter_;
  common::Prompter& prompter_;
  std::vector<CrystalRow> rows_;
  std::optional<LadderDesign> design_;
  // The crystals' half-widths in the network's order (shorter when one is
  // not known), and how far each prediction (as designed, E12, E24) may be off.
  std::vector<CrystalSpread> spreads_;
  LadderSpread spread_[3];

  QLabel* source_ = nullptr;
  QSpinBox* group_ = nullptr;
  QLineEdit* members_ = nullptr;
  QDoubleSpinBox* bandwidth_ = nullptr;
  QComboBox* shape_ = nullptr;
  QDoubleSpinBox* ripple_ = nullptr;
  QCheckBox* useTermination_ = nullptr;
  QDoubleSpinBox* termination_ = nullptr;
  QComboBox* parts_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace kolm::powermeter::ui
