// A small sheet of paper showing where the kept picture lands: the picture is
// stretched into the mapped rectangle and clipped by the sheet.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

namespace kolm::print::ui {

class PreviewArea : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewArea(QWidget* parent = nullptr);
  // The picture (shared, not copied) and where it goes, in this widget's pixels.
  void setPicture(const QImage& picture);
  void setTarget(const QRect& target);
  QRect target() const { return target_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  QImage scaled_;  // the picture at the target's size, made when either changes
  QRect target_;
};

// Two small arrow buttons bound to the text box beside them; each click steps by 1.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

 signals:
  void stepped(int delta);
};

}  // namespace kolm::print::ui
