// The three kinds of message box the program shows, and the seam through which
// tests see every box and answer every question without a modal loop.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QWidget;

enum class BoxKind { Notice, Question, Information, Choice };

// The answer a question gives when the user only presses Enter or Space.
enum class QuestionDefault { Yes, No };

struct RecordedBox {
  BoxKind kind;
  QString title;
  QString text;
  QuestionDefault byDefault = QuestionDefault::Yes;  // questions only
  QStringList choices;                               // a choice's buttons, in order
  int defaultChoice = 0;
};

// The program's title: the base name of the program file ("clanbook").
QString ApplicationTitle();

// OK button, exclamation icon, the program's title as caption.
void ShowNotice(const QString& text);
// Yes and No, exclamation icon, owned by `owner`. True for Yes. A question
// whose Yes gives something up defaults to No.
bool AskQuestion(QWidget* owner, const QString& title, const QString& text,
                 QuestionDefault byDefault = QuestionDefault::Yes);
// OK button, information icon, owned by `owner`.
void ShowInformation(QWidget* owner, const QString& title, const QString& text);
// A question with a button for each of `choices` (their texts, also their
// accessible names), the last one the escape; the index of the one pressed.
int AskChoice(QWidget* owner, const QString& title, const QString& text, const QStringList& choices,
              int defaultChoice);

// While one of these lives, boxes are recorded instead of shown. Questions take
// their answers from the queue; a question with an empty queue is answered No
// and counted in unansweredQuestions, so a test notices it.
class MessageBoxRecorder {
public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void QueueAnswer(bool yes);
  // The answer to the next choice (the index of its button). A choice with
  // none queued takes its last button, the escape, and is unanswered.
  void QueueChoice(int index);
  const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
  void Clear() { m_boxes.clear(); }
  int unansweredQuestions = 0;
  // Called as each box is recorded, before a question is answered.
  std::function<void(const RecordedBox&)> onBox;

private:
  friend bool RecordBox(BoxKind, const QString&, const QString&, bool*, QuestionDefault);
  friend int AskChoice(QWidget*, const QString&, const QString&, const QStringList&, int);
  std::vector<RecordedBox> m_boxes;
  std::deque<bool> m_answers;
  std::deque<int> m_choices;
  MessageBoxRecorder* m_previous;  // recorders nest; the innermost records
};
