// The book's 字辈: read from the file beside the book at Open, changed in its
// dialog, written beside the book (again at a save under a new name), and
// offered as the start of a new child's name.
#pragma once

#include "search/GenerationPoem.h"

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

  // 字辈…: shows the poem in its dialog and keeps what the user changed.
  void Edit();
  // After Open: says why the poem file beside the book was not read, if it was not.
  void ReportUnread();
  // The name the add dialog offers for a child of `father`; empty without a 字辈.
  QString SuggestedNameOfChild(const MemberNode* father) const;
  // The 字辈's characters (the printed book shows them); empty without one.
  QString Characters() const { return QString::fromStdU32String(m_poem.characters); }

signals:
  // A member the dialog's list asked to see.
  void memberActivated(MemberNode* member);

private:
  // After Open or New: the 字辈 is the one beside the book's file, if any.
  void TakePoemOfBook();
  // Writes the 字辈 beside `bookFile`; says so when it cannot (`atSave`: once
  // for a name that cannot take it).
  void WriteBeside(const QString& bookFile, bool atSave);

  GenealogyDocument& m_document;
  QWidget& m_window;
  std::function<void(const QString&)> m_noticeOnce;
  GenerationPoem m_poem;
  QString m_surname;  // as the user corrected it; empty: read off the book
  // The book file the 字辈 was read from or written beside; a save under
  // another name writes it there too.
  QString m_book;
  // The 字辈 changed while it could not be written: the next save writes it.
  bool m_unwritten = false;
  bool m_bookReplaced = false;  // Open or New under way, not a mere reset
  // Why the poem file beside the book just opened was not read; kOk: it was,
  // or there is none, or that was said.
  PoemFileResult m_unread;
};
