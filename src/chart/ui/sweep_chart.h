// The chart area of the swept instruments. It paints from its state in layers:
// grid, labels and axis units, reference curves, memory traces and live traces
// (memory under or over the live ones, dashed), the legend and a note, then the
// cursor line and the rubber band. The grid and the traces are cached, so a
// mouse move repaints only the top two layers. Every trace is painted in a
// colour that stands out from the background (chart::legibleColour).
//
// The chart also keeps what both instruments share about looking at a
// measurement: the cursor (held at its frequency: when the data, the view or
// the size change, cursorChanged is sent again so readouts are recomputed) and
// the zoom history (back, forward, whole span; Backspace, Shift+Backspace, the
// right-click menu, Ctrl + wheel about the pointer). A view chosen here comes
// back to the window through viewRequested; the window applies it. With a
// band zoom set, a left drag draws the zoom rectangle and its release zooms the
// window's view by the zoom rule; a double click returns to the whole span, or
// to the view the window's own reset gives (setResetView).
// Markers (up to four, numbered) stand at their frequencies whatever the data
// or the view: Ctrl+click places one, a left drag near one moves it, Delete
// removes the active one. Each reads every named trace at its frequency; a
// delta line shows one marker's readings minus another's. They are painted over
// the traces with their readout box (top left), on the screen and in pictures.
// A trace with three or more points per pixel column is drawn as one vertical
// run per column (the rows its line covers there); shorter ones as a polyline
// whose points are reduced per pixel column to first, lowest, highest and last.
// Its interval band likewise: one run per column, or the outline filled.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class QAction;
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "chart/chart.h"
#include "chart/label_room.h"
#include "chart/markers.h"
#include "chart/marks.h"

namespace kolm::chart::ui {

QColor toQColor(const Rgb& rgb);
Rgb toRgb(const QColor& colour);
// A colour of the 16-colour palette by number.
QColor paletteQColor(int index);

// The values of a trace, shared and never changed once handed over: traces
// that stand on the same frequencies, or a redraw that hands the chart arrays
// it keeps, copy nothing. Reads like the vector it holds.
template <class T>
class Series {
 public:
  using value_type = T;
  using const_iterator = typename std::vector<T>::const_iterator;
  using iterator = const_iterator;

  Series() = default;
  Series(std::vector<T> values)  // NOLINT(google-explicit-constructor): a vector is a series
      : shared_(std::make_shared<const std::vector<T>>(std::move(values))) {}
  Series(std::initializer_list<T> values) : Series(std::vector<T>(values)) {}
  explicit Series(std::shared_ptr<const std::vector<T>> shared) : shared_(std::move(shared)) {}

  const std::vector<T>& values() const { return shared_ ? *shared_ : none(); }
  size_t size() const { return values().size(); }
  bool empty() const { return values().empty(); }
  const T* data() const { return values().data(); }
  const T& operator[](size_t i) const { return values()[i]; }
  const T& front() const { return values().front(); }
  const T& back() const { return values().back(); }
  const_iterator begin() const { return values().begin(); }
  const_iterator end() const { return values().end(); }
  bool operator==(const Series& other) const { return values() == other.values(); }

 private:
  static const std::vector<T>& none() {
    static const std::vector<T> none;
    return none;
  }
  std::shared_ptr<const std::vector<T>> shared_;
};

// One curve: value i at x[i] when x is given, otherwise evenly from start
// (first value) to stop (last value). Drawn on the chart's scale, or on its own
// vertical scale when `vertical` is set (the analyzer's quantities).
//
// `marks` (empty, or one per value) says which values are not plain
// measurements. Every marked point is drawn the same way, for both
// instruments: the line into, through and out of it is dashed in the trace's
// colour taken halfway to grey; an infinite value (an open) sits just inside
// the edge of the area it runs to and a NaN (invalid) is left out.
struct Trace {
  Series<float> y;
  Series<double> x;
  double start = 0;
  double stop = 0;
  QColor colour = Qt::blue;
  std::optional<VerticalScale> vertical;
  std::vector<Mark> marks;
  // Whether a bound reaching beyond a search (at most, for a minimum) may be the
  // extreme a marker search lands on (chart::extremeIndex).
  bool boundsAreExtremes = false;
  // The legend's name for it; a trace without one is left out of the legend.
  QString name;
  // Memory traces are dashed, so they are told apart from live ones.
  bool dashed = false;
  // An interval band around the trace (chart/band.h): at each point the
  // lowest and highest value it may have, shaded in a pale tint of its colour
  // beneath it. Drawn when both edges have a value for every point.
  Series<float> bandLow, bandHigh;
  // How marker readouts write its values: unit, number pattern, the unit of a
  // difference (the unit when empty: dBm values differ in dB) and the words of
  // flagged readings.
  std::string unit;
  std::string pattern = "0.0";
  std::string deltaUnit;
  const MarkWords* words = &defaultMarkWords();
  // When set, how a marker line writes the trace's reading at x instead
  // (the analyzer adds a reading's interval and the reactance's sign).
  std::function<std::string(double x, const Reading& reading)> describe;
};

// The colour of marked stretches of a trace of `colour` on `background`.
QColor flaggedColour(const QColor& colour, const QColor& background);

class SweepChart : public QWidget {
  Q_OBJECT
 public:
  explicit SweepChart(QWidget* parent = nullptr);

  // The user scale: grid, labels, reference curves, rubber band and the mouse's
  // user units follow it.
  void setScale(const ChartScale& scale);
  const ChartScale& scale() const { return scale_; }
  void setGrid(GridSpec grid);
  const GridSpec& grid() const { return grid_; }

  void setReferenceTraces(std::vector<Trace> traces);
  void setMemoryTraces(std::vector<Trace> traces);
  void setTraces(std::vector<Trace> traces);
  const std::vector<Trace>& referenceTraces() const { return reference_; }
  const std::vector<Trace>& memoryTraces() const { return memory_; }
  const std::vector<Trace>& traces() const { return traces_; }
  // The analyzer draws its memory traces over the live ones; the power meter
  // under them (the default).
  void setMemoryOnTop(bool onTop);

  // A vertical cursor line at x (user units), or none.
  void setCursorLine(std::optional<double> x);
  std::optional<double> cursorLine() const { return cursorX_; }
  // Whether the cursor is painted as a line (the analyzer draws its own).
  void setCursorLineShown(bool shown);
  // The cursor at (x, y) in user units: the line moves there and cursorChanged
  // follows at once. The chart's own mouse moves set it too.
  void setCursorAt(double x, double y);
  // The cursor in user units (the height read on the current scale), if any.
  std::optional<QPointF> cursorPosition() const;

  // Lines the legend adds under the traces' names, in the labels' colour:
  // what holds for the traces as a whole (the analyzer's readings left
  // uncorrected, and where). None by default.
  void setLegendNotes(QStringList notes);
  const QStringList& legendNotes() const { return legendNotes_; }

  // A line of text over the chart (a demonstration measurement says so), or none.
  void setNote(const QString& note);
  QString note() const { return note_; }

  // ---- zoom history ----
  // New data: the history restarts at `home`.
  void setHomeView(const View& home);
  // A view chosen by the window (rubber band, typed boxes): recorded, then sent
  // back through viewRequested.
  void pushView(const View& view);
  void zoomBack();
  void zoomForward();
  // The double-click reset: the home view, as a new entry; with a reset of the
  // window's own, that reset instead.
  void resetZoom();
  // The double-click reset as the window has it (it pushes the view itself,
  // or says why it cannot), and the caption of its item on the right-click menu.
  void setResetView(std::function<void()> reset, const QString& caption);
  // The rule a Ctrl + wheel zoom keeps: the policy and the trace it counts
  // points on.
  void setZoomRule(const ZoomPolicy& policy, double traceStart, double traceStop, double points);
  // The colour a trace is painted in on the current background.
  QColor paintedColour(const Trace& trace) const;
  // The zoom rectangle, or none.
  void setRubberBand(std::optional<ZoomRect> rect);
  // The rubber-band zoom and the double-click reset, on the view `shownView`
  // gives (the window's).
  void setBandZoom(std::function<View()> shownView);
  // The band in user units, as the left button drives it: pressed at (x, y),
  // dragged, released (a rectangle the rule accepts becomes the next view).
  void pressBand(double x, double y);
  void dragBand(double x, double y);
  void releaseBand();

  // Background, label (foreground) and grid colours.
  void setColours(const QColor& background, const QColor& foreground, const QColor& grid);
  QColor background() const { return background_; }
  QColor foreground() const { return foreground_; }
  // On by default; off draws every point (for comparison).
  void setDecimation(bool on);

  // Paints every layer without caches into `size` pixels: for printing, the
  // print preview and saved pictures.
  void paintChart(QPainter& painter, const QSize& size) const;
  // Rebuilds the cached picture now (a redraw after new data); the next paint
  // only copies it.
  void redrawContent();

  // ---- markers ----
  const MarkerSet& markers() const { return markers_; }
  std::optional<int> addMarker(double x);
  bool moveMarker(int number, double x);
  bool removeMarker(int number);
  void clearMarkers();
  void setActiveMarker(int number);
  void setMarkerDelta(std::optional<std::pair<int, int>> fromTo);
  // The trace (an index into traces()) the extreme searches look at.
  void setMarkerTrace(int index) { markerTrace_ = index; }
  // Places a new marker on the largest or smallest plain reading of the marker
  // trace within the view (with four placed, moves the active one there; one
  // standing there already becomes the active one). False when there is none
  // (every point there flagged, or no trace).
  bool markerToExtreme(Extreme which);
  // What a marker's line adds after its frequency (the analyzer: the interval
  // of a frequency its analysis found, where the marker stands on one); none
  // by default.
  void setMarkerFrequencyNote(std::function<std::string(double x)> note);
  // The readout box's lines: one per marker, then the delta.
  QStringList markerReadout() const;
  // Where the markers' readout and the note are drawn on a chart of `size`.
  Box readoutBox(const QSize& size) const;
  std::optional<Box> noteBox(const QSize& size) const {
    return noteBox(size, legendBox(size, labelRoom(size)));
  }

  PixelMap pixelMap() const { return PixelMap(scale_, width(), height()); }
  // User units of a point of the widget; empty without a usable scale.
  std::optional<QPointF> toUser(const QPointF& pixel) const;

 signals:
  // The cursor moved, or what lies under it changed: readouts are due.
  void cursorChanged(double x, double y);
  // The zoom history chose a view: the window shows it.
  void viewRequested(const kolm::chart::View& view);
  // A marker was placed, moved or removed, or the delta changed.
  void markersChanged();
  // Files were dropped on the chart (with setAcceptDrops: the stored traces).
  void filesDropped(const QStringList& paths);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // A word the chart writes itself, where it stands (its box in pixels) and how.
  struct ChartLabel {
    QString text;
    QRectF box;
    QColor colour;
    bool bold = false;
  };
  // The grid's labels and the axes' units.
  std::vector<ChartLabel> gridLabels(const QSize& size) const;
  // The scales of the quantities drawn on vertical scales other than the chart's
  // own: a column of values per scale at the right edge, in the trace's colour.
  std::vector<ChartLabel> ownScaleColumns(const QSize& size,
                                          const std::vector<ChartLabel>& grid) const;
  // The boxes of both, which what is drawn over the chart keeps clear of.
  std::vector<Box> labelRoom(const QSize& size) const;
  static std::vector<Box> labelRoom(const std::vector<ChartLabel>& grid,
                                    const std::vector<ChartLabel>& columns);
  void paintLabel(QPainter& painter, const ChartLabel& label) const;
  void paintGrid(QPainter& painter, const QSize& size) const;
  void paintTraces(QPainter& painter, const QSize& size) const;
  void paintTrace(QPainter& painter, const PixelMap& map, const Trace& trace) const;
  void paintBand(QPainter& painter, const PixelMap& map, const Trace& trace,
                 const QColor& colour) const;
  // Where the legend goes, clear of `room` (nothing when no trace is named
  // and there are no notes), and its drawing there.
  std::optional<Box> legendBox(const QSize& size, const std::vector<Box>& room) const;
  std::vector<const Trace*> namedTraces() const;
  void paintLegend(QPainter& painter, const Box& place) const;
  // Where the chart's note goes (nothing without one): centred under the top
  // labels, below the legend where the two would meet.
  std::optional<Box> noteBox(const QSize& size, const std::optional<Box>& legend) const;
  void paintSamples(QPainter& painter, const PixelMap& map, const TraceSamples& samples,
                    const QPen& pen, bool columns, bool dashedColumns) const;
  void paintMarkers(QPainter& painter, const QSize& size) const;
  QStringList readoutLines(int chartWidth) const;
  const Trace* markerTrace() const;
  // A press that places or grabs a marker; true when it did.
  bool markerPress(QMouseEvent* event);
  void markersEdited();
  void invalidateGrid();
  void invalidateContent();
  void scheduleReadout();
  void requestView(const View& view);
  void updateZoomActions();
  // A picture of the chart's size: a 32-bit image in the format and at the
  // resolution of the screen's pixmaps.
  QImage makePicture() const;

  ChartScale scale_{0, 0, 1, -1};
  GridSpec grid_;
  std::vector<Trace> reference_, memory_, traces_;
  bool memoryOnTop_ = false;
  std::optional<double> cursorX_;
  QColor cursorColour_{255, 255, 255};
  bool cursorLineShown_ = true;
  double cursorYFraction_ = 0;  // the cursor's height as a fraction of the chart's
  bool cursorSet_ = false;
  bool readoutPending_ = false;
  QString note_;
  QStringList legendNotes_;
  ZoomHistory history_;
  ZoomPolicy zoomPolicy_;
  double ruleStart_ = 0, ruleStop_ = 0, rulePoints_ = 0;
  QAction* backAction_ = nullptr;
  QAction* forwardAction_ = nullptr;
  QAction* wholeAction_ = nullptr;
  std::optional<ZoomRect> band_;
  RubberBand rubber_;
  std::function<View()> shownView_;
  std::function<void()> resetView_;
  QColor background_{0, 0, 0};
  QColor foreground_{192, 192, 192};
  QColor gridColour_{255, 0, 0};
  bool decimate_ = true;
  MarkerSet markers_;
  std::function<std::string(double x)> markerFrequencyNote_;
  int markerTrace_ = 0;
  std::optional<int> dragged_;  // the marker being dragged

  QImage gridCache_;
  QImage contentCache_;
  // Where a painting of the traces writes dense columns straight into the
  // picture's pixels (null: through the painter), and its bytes a row.
  mutable uchar* columnBits_ = nullptr;
  mutable qsizetype columnStride_ = 0;
  bool gridDirty_ = true;
  bool contentDirty_ = true;
  mutable std::vector<PixelPoint> pixels_;
  mutable std::vector<QPointF> points_;
  mutable std::vector<ColumnRun> runs_;
  mutable ColumnScratch columnScratch_;
  mutable std::vector<QLine> lines_;
  mutable std::vector<QRect> rects_;
  // The pixel columns of the x arrays that the traces of one paintTraces
  // share (the analyzer's quantities share their frequencies): worked out
  // once a painting, not once a trace.
  struct PixelXs {
    const double* x = nullptr;
    size_t count = 0;
    std::vector<double> pixels;
  };
  mutable std::vector<PixelXs> pixelXs_;
  mutable size_t pixelXsUsed_ = 0;
  const double* pixelXOf(const PixelMap& map, const double* x, size_t count) const;
  mutable std::vector<MarkRun> markRuns_;
};

}  // namespace kolm::chart::ui
