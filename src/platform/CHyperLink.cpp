#include "platform/CHyperLink.h"

#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

CHyperLink::CHyperLink(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_logFont(QApplication::font()) {
  // A static control draws from its top-left corner unless told otherwise;
  // QLabel's default vertical centring would read as the centre-image style.
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Attach();
}

CHyperLink::CHyperLink(QWidget* parent) : QLabel(parent), m_logFont(QApplication::font()) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

CHyperLink::~CHyperLink() = default;

void CHyperLink::Attach() {
  if (m_attached) return;
  m_attached = true;
  if (m_url.isEmpty()) m_url = text();
  if (text().isEmpty()) setText(m_url);
  m_font = font();
  m_font.setUnderline(m_underline);
  setFont(m_font);
  // The tool tip waits for SetUrl: a text that merely looks like an address
  // gets none.
  FitToText();
  UpdateCursor();
}

void CHyperLink::SetUrl(const QString& url) {
  m_url = url;
  if (!url.isEmpty()) {
    FitToText();
    setToolTip(url);
  } else {
    m_linkColor = m_visitedColor = m_hoverColor = QColor(0, 0, 0);
    RebuildFont();
    setToolTip(QString());
  }
  FitToText();
  UpdateCursor();
  update();
}

void CHyperLink::SetUnderlined(bool underlined) {
  m_underline = underlined;
  m_logFont.setUnderline(underlined);
  RebuildFont();
  repaint();
}

void CHyperLink::SetBold(bool bold) {
  m_logFont.setWeight(bold ? QFont::Bold : QFont::Normal);
  RebuildFont();
  FitToText();
}

QSize CHyperLink::TextExtent() const {
  const QFontMetrics metrics(m_font);
  return {metrics.horizontalAdvance(text()), metrics.height()};
}

QSize CHyperLink::sizeHint() const {
  return TextExtent();
}

QSize CHyperLink::minimumSizeHint() const {
  return TextExtent();
}

void CHyperLink::FitToText() {
  if (!m_adjustToFit) return;
  // A layout asks for the size hint again; a free-standing control is moved here.
  updateGeometry();
  const QRect old = geometry();
  const QSize extent = TextExtent();
  int left = old.x(), top = old.y();
  int right = left + old.width(), bottom = top + old.height();

  if (alignment() & Qt::AlignVCenter) {
    const int shrink = (old.height() - extent.height()) / 2;
    top += shrink;
    bottom -= shrink;
  } else {
    bottom = top + extent.height();
  }

  if (alignment() & Qt::AlignHCenter) {
    const int shrink = (old.width() - extent.width()) / 2;
    left += shrink;
    right -= shrink;
  } else if (alignment() & Qt::AlignRight) {
    left = right - extent.width();
  } else {
    right = left + extent.width();
  }
  setGeometry(left, top, right - left, bottom - top);
}

QColor CHyperLink::CurrentColor() const {
  if (m_overControl) return m_hoverColor;
  if (m_visited) return m_visitedColor;
  return m_linkColor;
}

void CHyperLink::paintEvent(QPaintEvent*) {
  // No background fill: the dialog shows through, as behind any static text.
  QPainter painter(this);
  painter.setFont(m_font);
  painter.setPen(CurrentColor());
  painter.drawText(contentsRect(), Qt::TextSingleLine | alignment(), text());
}

void CHyperLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  m_overControl = true;
  repaint();
}

void CHyperLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  m_overControl = false;
  repaint();
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_url.isEmpty()) {
    QLabel::mousePressEvent(event);
    return;
  }
  event->accept();
  // The desktop's handler or the failure box may run an event loop in which
  // the dialog holding this control closes.
  const QPointer<CHyperLink> self(this);
  const bool opened = OpenUrl(m_url);
  if (!self) return;
  m_visited = opened;
  if (!opened) {
    Beep();
    ShowNotice(tr("Unable to open hyperlink:\n\n"));
    return;
  }
  update();
}

void CHyperLink::RebuildFont() {
  m_font = m_logFont;
  setFont(m_font);
}

void CHyperLink::UpdateCursor() {
  if (m_url.isEmpty())
    unsetCursor();
  else
    setCursor(Qt::PointingHandCursor);
}
