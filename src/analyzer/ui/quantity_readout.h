// A quantity's readout over its button in the analyzer's charts frame.
#pragma once

#include <QLineEdit>
#include <functional>

namespace kolm::analyzer::ui {

// As wide as its text, never narrower than its button (`leastWidth`), and no
// wider than the cell the charts' frame gives it. Its width asks nothing of the
// frame's columns. Where the whole text does not fit, it shows the same
// reading with fewer digits (its interval rounded outward again), or as many
// of its words as fit followed by "…": never a number cut short.
class QuantityReadout : public QLineEdit {
 public:
  QuantityReadout(std::function<int()> leastWidth, QWidget* parent);

  // The reading's whole text and the same with fewer digits.
  void setTexts(const QString& whole, const QString& coarse);
  const QString& wholeText() const { return whole_; }
  const QString& coarseText() const { return coarse_; }
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fit();

  std::function<int()> leastWidth_;
  QString whole_, coarse_;
};

}  // namespace kolm::analyzer::ui
