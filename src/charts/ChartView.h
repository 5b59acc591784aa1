// A scrolling, zooming view of a chart that paints only the part on screen:
// the chart answers which boxes meet a rectangle, so a paint costs what is
// visible, not what the book holds.
#pragma once

#include "charts/Chart.h"

#include <QAbstractScrollArea>

class ChartView : public QAbstractScrollArea {
  Q_OBJECT
public:
  static constexpr double kMinZoom = 0.05;
  static constexpr double kMaxZoom = 4;

  explicit ChartView(QWidget* parent = nullptr);

  // The chart shown; not owned, none for an empty view. Scrolls to the top
  // left unless `keepPosition` (the same chart laid out again after an edit).
  void SetScene(const ChartScene* scene, bool keepPosition = false);
  const ChartScene* Scene() const { return m_scene; }

  double Zoom() const { return m_zoom; }
  // Zooms keeping the chart point under `anchor` (viewport coordinates) still;
  // without an anchor, the middle of the viewport.
  void SetZoom(double zoom, QPointF anchor = QPointF(-1, -1));
  void ZoomIn() { SetZoom(m_zoom * 1.25); }
  void ZoomOut() { SetZoom(m_zoom / 1.25); }

  // Scrolls so that the chart point `point` is at the viewport's top left.
  void ScrollTo(QPointF point);
  // The chart point under a viewport point.
  QPointF ToChart(QPointF viewportPoint) const;
  QPointF ToViewport(QPointF chartPoint) const;

signals:
  void memberActivated(MemberNode* member);
  void zoomChanged(double zoom);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  void UpdateScrollBars();

  const ChartScene* m_scene = nullptr;
  double m_zoom = 1;
};
