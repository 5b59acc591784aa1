// 字辈: the clan's generation poem, where its first character falls, and the
// surname that names are read after; a check lists the members whose given
// name lacks their generation's character. The poem is the book's data: the
// caller makes a change of it a step of the history.
#pragma once

#include "platform/CDialog.h"
#include "search/GenerationPoem.h"

#include <QString>

#include <memory>

namespace Ui {
class GenerationPoemDlg;
}
class QModelIndex;

class CGenerationPoemDlg : public CDialog {
  Q_OBJECT
public:
  // `book` must not change while the dialog is open: the list holds members.
  explicit CGenerationPoemDlg(const COperationClanbook& book, QWidget* parent = nullptr);
  ~CGenerationPoemDlg() override;

  // In: the book's poem as typed and the 世 of its first character. Out,
  // after OK: as the user left them, a poem (CheckPoemText) or an empty text
  // when the user emptied the box, so the book has none.
  QString m_poemText;
  int m_firstGeneration = 1;
  // In: the clan's surname; empty: read off the book. Out, after OK: as the
  // user left it, never empty.
  QString m_surname;

signals:
  // A member of the list was double-clicked or had Enter pressed on him.
  void memberActivated(MemberNode* member);

protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  class LackingModel;

  void OnCheck();
  // Reads the poem box and the first generation; a blank box is no poem. Says
  // what is wrong and puts the cursor in the box when the poem is malformed.
  bool ReadPoem(GenerationPoem& poem);
  // The poem as the box shows it: on one line.
  static QString OneLine(const QString& text);
  bool ReadSurname(QString& surname);
  void Activate(const QModelIndex& row);
  void ForgetCheck();

  const COperationClanbook& m_book;
  std::unique_ptr<Ui::GenerationPoemDlg> ui;
  LackingModel* m_lacking;
};
