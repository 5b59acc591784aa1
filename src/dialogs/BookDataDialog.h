// 家谱 → 谱书资料…: the book's own data (谱名, 堂号, 郡望, the year of this
// edition, its editors, 谱序, 凡例 and 家训), edited together; the caller
// makes what changed one step of the history. The 字辈 is shown, and changed
// by the one command that checks it (家谱 → 字辈…), through a button here.
#pragma once

#include "model/MemberRecord.h"
#include "platform/CDialog.h"

#include <map>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

class BookDataDialog : public CDialog {
  Q_OBJECT
public:
  explicit BookDataDialog(const BookData& data, QWidget* parent = nullptr);
  ~BookDataDialog() override;

  // The data as entered, once OK has been accepted.
  const BookData& Entered() const { return m_data; }
  // Shows the 字辈 of `data`, as the 字辈 command left it, and takes it into
  // what is entered.
  void ShowPoem(const BookData& data);

signals:
  // The 字辈… button: the caller runs the 字辈 command, then ShowPoem.
  void poemRequested();

protected:
  void OnOK() override;

private:
  BookData m_data;
  std::map<RecordField, QLineEdit*> m_lines;
  std::map<RecordField, QPlainTextEdit*> m_texts;
  QSpinBox* m_year = nullptr;
  QLineEdit* m_poem = nullptr;
  QLabel* m_poemStart = nullptr;
};
