// The book's 字辈 in the window: the book's data holds it (a .ftf is read
// with the poem file beside it), its dialog changes it as one step of the
// history, a save to a .ftf writes it beside the book, and it is offered as
// the start of a new child's name.
#pragma once

#include "formats/PoemFile.h"

#include <QObject>
#include <QString>

#include <functional>

class GenealogyDocument;
struct MemberNode;
class QWidget;

class PoemKeeper : public QObject {
  Q_OBJECT
public:
  // `noticeOnce` says a text once per book (BookFiles::ShowNoticeOnce).
  PoemKeeper(GenealogyDocument& document, QWidget& window,
             std::function<void(const QString&)> noticeOnce);

  // 字辈…: shows the book's poem in its dialog, over `parent` (the window
  // when none); a change is one command of the history.
  void Edit(QWidget* parent = nullptr);
  // After Open: says why the poem file beside the book was not read, if it
  // was not (`read`: what reading it gave).
  void ReportUnread(const PoemFileResult& read);
  // The name the add dialog offers for a child of `father`; empty without a 字辈.
  QString SuggestedNameOfChild(const MemberNode* father) const;

  // Why the poem file beside `bookFile` was not read, as the window says it
  // (and the command line, which converts the book without it).
  static QString UnreadText(const QString& bookFile, const PoemFileResult& read);

signals:
  // A member the dialog's list asked to see.
  void memberActivated(MemberNode* member);

private:
  // After Open or New: the poem file beside the book, if it is a .ftf,
  // holds the book's poem.
  void TakePoemOfBook();
  // Writes the 字辈 beside the .ftf `bookFile`; says so when it cannot (once
  // a book for a name that cannot take it).
  void WriteBeside(const QString& bookFile);

  GenealogyDocument& m_document;
  QWidget& m_window;
  std::function<void(const QString&)> m_noticeOnce;
  QString m_surname;  // as the user corrected it; empty: read off the book
  // The .ftf whose poem file holds `m_written` (its poem fields): a save
  // there writes the poem file only when the poem changed, so that one that
  // could not be read is left as it is unless the user gives a poem.
  QString m_beside;
  BookData m_written;
  bool m_bookReplaced = false;  // Open or New under way, not a mere reset
};
