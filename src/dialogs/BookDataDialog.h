// 家谱 → 谱书资料…: the book's own data (谱名, 堂号, 郡望, the year of this
// edition, its editors, 谱序, 凡例, 家训 and the 字辈), edited together; the
// caller makes what changed one step of the history.
#pragma once

#include "model/MemberRecord.h"
#include "platform/CDialog.h"

#include <map>

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

protected:
  void OnOK() override;

private:
  BookData m_data;
  std::map<RecordField, QLineEdit*> m_lines;
  std::map<RecordField, QPlainTextEdit*> m_texts;
  QSpinBox* m_year = nullptr;
};
