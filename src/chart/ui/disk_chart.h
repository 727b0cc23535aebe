// The Smith chart or the polar chart of a one-port's reflection (chart/smith.h):
// its grid, the memory traces (dashed) under the live ones, every marked point
// drawn as the sweep charts draw theirs (dimmed and dashed), both candidates
// of points whose reactance sign is unknown, numbered markers with their
// readout box, a legend that says how unknown signs are drawn, and the zoom: a
// left drag zooms to the rectangle, the wheel about the pointer, a double click
// shows the whole disk again. The cursor's Γ is sent as it moves.
#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "chart/smith.h"

namespace kolm::chart::ui {

struct DiskTraceView {
  DiskTrace trace;
  QColor colour;
  QString name;  // in the legend
  bool dashed = false;
};

struct DiskMarker {
  int number = 0;
  Gamma at;
};

class DiskChart : public QWidget {
  Q_OBJECT
 public:
  explicit DiskChart(QWidget* parent = nullptr);
  void setKind(DiskKind kind);
  DiskKind kind() const { return kind_; }
  void setTraces(std::vector<DiskTraceView> live, std::vector<DiskTraceView> memory);
  const std::vector<DiskTraceView>& liveTraces() const { return live_; }
  const std::vector<DiskTraceView>& memoryTraces() const { return memory_; }
  void setMarkers(std::vector<DiskMarker> markers, QStringList readout);
  const QStringList& markerReadout() const { return readout_; }
  void setView(const DiskView& view);
  const DiskView& view() const { return view_; }
  DiskMap map() const { return mapFor(size(), fontMetrics()); }
  QColor background() const { return background_; }
  QColor foreground() const { return foreground_; }
  // Every layer into `size` pixels: the screen, printing and pictures.
  void paintChart(QPainter& painter, const QSize& size) const;

 signals:
  void cursorMoved(kolm::chart::Gamma at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QStringList legend() const;
  // A trace's colour as it stands out from the background.
  QColor shownColour(const QColor& colour) const;
  DiskMap mapFor(const QSize& size, const QFontMetrics& fm) const;
  void paintTrace(QPainter& p, const DiskMap& map, const DiskTraceView& t, DiskPoints which) const;
  // The legend below the disk, each trace's name in its colour, and the
  // markers' readout box at the top left.
  void paintLegend(QPainter& p, const QSize& size, const QFontMetrics& fm) const;
  DiskKind kind_ = DiskKind::Smith;
  DiskView view_;
  DiskGrid grid_;
  std::vector<DiskTraceView> live_, memory_;
  std::vector<DiskMarker> markers_;
  QStringList readout_;
  QColor background_{0, 0, 0}, foreground_{255, 255, 255}, gridColour_{128, 0, 0};
  std::optional<QPointF> pressed_, dragged_;
  mutable DiskPolyline scratch_;
};

}  // namespace kolm::chart::ui
