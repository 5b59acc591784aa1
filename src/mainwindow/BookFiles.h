// The book's file, beside the document: Open, Save and Save As, the save
// prompt before the book is replaced or the window closes, the recent files,
// files dropped on the window, and what a save says about the previous
// version it keeps. The window builds the menu items and buttons and calls
// these; BookFiles asks the user through the window it is given.
//
// Unsaved work is never lost without the user's "No": when the user asked to
// save and nothing got written, the command that asked stops there.
#pragma once

#include "formats/PoemFile.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

class GenealogyDocument;
class QWidget;

class BookFiles : public QObject {
  Q_OBJECT
public:
  // `window` owns the dialogs and message boxes and takes the dropped files.
  BookFiles(GenealogyDocument& document, QWidget& window);

  // Asks for a file name in the file commands' dialog, `proposed` filled in.
  // None when the user cancelled or left the name empty (the latter after
  // its message).
  static std::optional<QString> AskFileName(QWidget* owner, bool open,
                                            const QString& proposed = {});

  // The save prompt: offers to save a modified genealogy before it is
  // replaced. Whether the user may go on (nothing to save, "No", or saved);
  // the modified flag is left as the answer makes it.
  bool AskToSave();
  // The same, and never while a file is being read or written: the work
  // holds the genealogy.
  bool OfferToSave();

  // Open: the save prompt, a name, then the file.
  void Open();
  // Reads `fileName` in place of the book, or says why it cannot. A .cbk
  // that another program holds open is offered read-only.
  void OpenFile(const QString& fileName);
  // A file of the 最近打开的文件 menu, as Open does; a file that is gone is
  // said so and leaves the list.
  void OpenRecentFile(const QString& fileName);
  void Save();
  void SaveAs();

  // Shows `text` unless it was shown since the book was opened or begun: for
  // what every save of the book would say again.
  void ShowNoticeOnce(const QString& text);

signals:
  // A book read from a file took the document's place; `poem` is what
  // reading the poem file beside a .ftf gave (kMissing for a .cbk).
  void opened(const PoemFileResult& poem);
  // The recent files changed other than by a save or an Open.
  void recentFilesChanged();
  // A GEDCOM file was dropped on the window: the import takes it.
  void gedcomDropped(const QString& fileName);

protected:
  // The window's drag and drop of files from the file manager.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  enum class WriteOutcome {
    Written,
    Failed,    // said so to the user; another file name may do
    Refused,   // said so: a member the file cannot hold, whatever its name
    Declined,  // the user would not overwrite a file another program changed
  };
  WriteOutcome Write(const QString& fileName);
  // Save and Save As once a name is given: asked about a .ftf first.
  void SaveUnder(const QString& fileName);
  // The book written to `fileName`, its file from now on.
  void WriteUnder(const QString& fileName);
  // The file a save to `fileName` goes to: itself, or when it is a .ftf that
  // would drop fields the book holds, the .cbk the user chose instead. None:
  // the user cancelled, nothing is to be written.
  std::optional<QString> TargetOf(const QString& fileName);
  // Save to a book opened read-only: said so, and Save As offered.
  void SaveReadOnly();
  void OpenDropped(const QString& fileName);

  GenealogyDocument& m_document;
  QWidget& m_window;
  QSet<QString> m_noticesGiven;  // by ShowNoticeOnce, since the book was opened
  bool m_bookReplaced = false;   // Open or New under way, not a mere reset
};
