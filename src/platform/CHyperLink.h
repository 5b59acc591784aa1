// A static text that acts as a web or mail link: link colours, hover colour,
// pointing-hand cursor, a tool tip with the address, and a click that opens it.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

class CHyperLink : public QLabel {
  Q_OBJECT
public:
  explicit CHyperLink(const QString& text = QString(), QWidget* parent = nullptr);
  ~CHyperLink() override;

  void SetUrl(const QString& url);
  void SetUnderlined(bool underlined);
  void SetBold(bool bold);
  void FitToText();
  QString Url() const { return m_url; }

  QColor m_linkColor{0, 0, 238};
  QColor m_visitedColor{0, 0, 238};
  QColor m_hoverColor{255, 0, 0};
  bool m_overControl = false;
  bool m_visited = false;
  bool m_underline = true;
  bool m_adjustToFit = true;

protected:
  QString m_url;
};
