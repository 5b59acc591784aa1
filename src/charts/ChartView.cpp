#include "charts/ChartView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

ChartView::ChartView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  // Every paint covers the whole exposed rectangle itself.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void ChartView::SetScene(const ChartScene* scene, bool keepPosition) {
  const QPoint position(horizontalScrollBar()->value(), verticalScrollBar()->value());
  m_scene = scene;
  if (!scene && keepPosition) {
    // Between the old chart and its new layout: the bars keep their place.
    viewport()->update();
    return;
  }
  UpdateScrollBars();
  horizontalScrollBar()->setValue(keepPosition ? position.x() : 0);
  verticalScrollBar()->setValue(keepPosition ? position.y() : 0);
  viewport()->update();
}

QPointF ChartView::ToChart(QPointF viewportPoint) const {
  const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QPointF origin = m_scene ? m_scene->Bounds().topLeft() : QPointF();
  return (viewportPoint + scroll) / m_zoom + origin;
}

QPointF ChartView::ToViewport(QPointF chartPoint) const {
  const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QPointF origin = m_scene ? m_scene->Bounds().topLeft() : QPointF();
  return (chartPoint - origin) * m_zoom - scroll;
}

void ChartView::UpdateScrollBars() {
  const QSizeF size = m_scene ? m_scene->Bounds().size() * m_zoom : QSizeF();
  const QSize view = viewport()->size();
  constexpr double kLimit = std::numeric_limits<int>::max() / 2;
  const int width = static_cast<int>(std::min(std::ceil(size.width()), kLimit));
  const int height = static_cast<int>(std::min(std::ceil(size.height()), kLimit));
  horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
  verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setPageStep(view.height());
  horizontalScrollBar()->setSingleStep(24);
  verticalScrollBar()->setSingleStep(24);
}

void ChartView::SetZoom(double zoom, QPointF anchor) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (zoom == m_zoom) return;
  if (anchor.x() < 0) anchor = QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0);
  const QPointF fixed = ToChart(anchor);
  m_zoom = zoom;
  UpdateScrollBars();
  const QPointF origin = m_scene ? m_scene->Bounds().topLeft() : QPointF();
  const QPointF scroll = (fixed - origin) * m_zoom - anchor;
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
  viewport()->update();
  emit zoomChanged(m_zoom);
}

void ChartView::ScrollTo(QPointF point) {
  const QPointF origin = m_scene ? m_scene->Bounds().topLeft() : QPointF();
  const QPointF scroll = (point - origin) * m_zoom;
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
}

void ChartView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().base());
  if (!m_scene) return;
  const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QPointF origin = m_scene->Bounds().topLeft();
  painter.translate(-scroll);
  painter.scale(m_zoom, m_zoom);
  painter.translate(-origin);
  const QRectF exposed(ToChart(event->rect().topLeft()),
                       QSizeF(event->rect().size()) / m_zoom + QSizeF(1, 1));
  painter.setClipRect(exposed);
  m_scene->Paint(painter, exposed, m_zoom);
}

void ChartView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void ChartView::scrollContentsBy(int, int) {
  viewport()->update();
}

void ChartView::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    const double steps = event->angleDelta().y() / 120.0;
    SetZoom(m_zoom * std::pow(1.25, steps), event->position());
    event->accept();
    return;
  }
  QAbstractScrollArea::wheelEvent(event);
}

void ChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && m_scene) {
    if (MemberNode* member = m_scene->MemberAt(ToChart(event->position()))) {
      emit memberActivated(member);
      event->accept();
      return;
    }
  }
  QAbstractScrollArea::mousePressEvent(event);
}
