// The analyzer's matching network window: for the sweep point nearest a
// frequency (the active marker's when one is placed), the L networks that show
// it as a chosen resistance, each with its parts, the nearest E12 or E24 parts,
// the SWR those give at the point and where the SWR they give along the
// measured trace rises through 2. A point of unknown reactance sign gives both
// sets, each row saying which sign it assumes. Each network is said in words
// beside a small schematic, its parts with their units; the command line gives
// the same figures as key=value pairs (analyzer/matching.h).
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "analyzer/matching.h"
#include "analyzer/measurement.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kolm::analyzer::ui {

class MatchingWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MatchingWindow(QWidget* parent);
  // The trace the networks are worked out on, and the frequency to use when
  // the box is left as it is (the active marker's, or none).
  void showTrace(std::shared_ptr<const TraceValues> trace, std::optional<double> markerMHz);
  QTableWidget* table() const { return table_; }
  QLabel* pointLine() const { return point_; }
  // The networks the table shows, one per row.
  const MatchPoint& solutions() const { return solutions_; }

 private:
  void recompute();
  std::shared_ptr<const TraceValues> trace_;
  std::optional<double> markerMHz_;
  MatchPoint solutions_;
  QLineEdit* frequency_ = nullptr;
  QLineEdit* target_ = nullptr;
  QComboBox* series_ = nullptr;
  QLabel* point_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace kolm::analyzer::ui
