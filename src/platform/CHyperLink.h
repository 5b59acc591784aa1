// A static text that acts as a web or mail link: link colours, hover colour,
// pointing-hand cursor, a tool tip with the address, and a click that opens it.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

class CHyperLink : public QLabel {
  Q_OBJECT
public:
  // A link whose address, until SetUrl says otherwise, is its own text.
  explicit CHyperLink(const QString& text = QString(), QWidget* parent = nullptr);
  // For Designer forms, which set the text after construction: the form's
  // owner calls Attach() once the text is there.
  explicit CHyperLink(QWidget* parent);
  ~CHyperLink() override;

  // Takes on the control's current text: it becomes the address when none is
  // set, the text shows the address when the control has none, and the font
  // gets the underline setting. The first call only; later calls do nothing.
  void Attach();

  // A non-empty address turns the tool tip and the hand cursor on. An empty
  // one makes the control plain black text that ignores clicks.
  void SetUrl(const QString& url);
  void SetUnderlined(bool underlined);
  void SetBold(bool bold);
  // Resizes the control to the extent of its text. Horizontally a centred
  // label keeps its centre, a right-aligned one its right edge, any other its
  // left edge; vertically a label centred with Qt::AlignVCenter keeps its
  // centre, any other its top edge. Inside a layout the size hint follows the
  // text and the layout places the control.
  void FitToText();
  QString Url() const { return m_url; }

  // The colour the text is drawn in now: hover, else visited, else link.
  QColor CurrentColor() const;
  // The extent of the text in the link's font.
  QSize TextExtent() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  QColor m_linkColor{0, 0, 238};
  QColor m_visitedColor{0, 0, 238};
  QColor m_hoverColor{255, 0, 0};
  bool m_overControl = false;
  bool m_visited = false;
  bool m_underline = true;
  bool m_adjustToFit = true;

protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

  QString m_url;
  // What the text is drawn with.
  QFont m_font;
  // The description SetUnderlined, SetBold and an empty SetUrl rebuild m_font
  // from: the desktop's default font, not underlined until SetUnderlined says so.
  QFont m_logFont;

private:
  void RebuildFont();
  void UpdateCursor();

  bool m_attached = false;
};
