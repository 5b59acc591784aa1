// The three kinds of message box, shown for real and through the test seam.
#include "GuiTestSupport.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct SeenBox {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  QStringList buttons;
  QString defaultButton;
  QWidget* owner = nullptr;
};

// Answers the next real message box by clicking the button with `answer`'s role.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
  OnNextDialog<QMessageBox>([&seen, answer](QMessageBox* box) {
    seen.icon = box->icon();
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    seen.owner = box->parentWidget();
    box->button(answer)->click();
  });
}

TEST(MessageBoxesTest, ApplicationTitleIsTheProgramFileBaseName) {
  // This test program's file is ".../platform_test_messageboxes".
  EXPECT_TRUE(ApplicationTitle().endsWith(QStringLiteral("test_messageboxes")))
      << ApplicationTitle().toStdString();
  EXPECT_FALSE(ApplicationTitle().contains(u'/'));
}

TEST(MessageBoxesTest, NoticeHasOkExclamationAndTheProgramTitle) {
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Ok);
  ShowNotice(QStringLiteral("文件名不能为空!"));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.title, ApplicationTitle());
  EXPECT_EQ(seen.text, QStringLiteral("文件名不能为空!"));
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST(MessageBoxesTest, QuestionIsYesNoWithExclamationOwnedByTheWindow) {
  QWidget owner;
  owner.show();
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Yes);
  EXPECT_TRUE(AskQuestion(&owner, QStringLiteral("警告"), QStringLiteral("真的要删除吗?")));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.title, QStringLiteral("警告"));
  EXPECT_EQ(seen.text, QStringLiteral("真的要删除吗?"));
  EXPECT_EQ(seen.owner, &owner);
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_TRUE(seen.buttons.contains(QStringLiteral("是(&Y)")));
  EXPECT_TRUE(seen.buttons.contains(QStringLiteral("否(&N)")));

  EXPECT_EQ(seen.defaultButton, QStringLiteral("是(&Y)"));

  AnswerNextBox(seen, QMessageBox::No);
  EXPECT_FALSE(AskQuestion(&owner, QStringLiteral("警告"), QStringLiteral("真的要删除吗?")));
  EXPECT_EQ(PendingModalHandlers(), 0);
}

// A question whose Yes gives something up leaves Enter to No.
TEST(MessageBoxesTest, AQuestionMayDefaultToNo) {
  QWidget owner;
  owner.show();
  SeenBox seen;
  bool answer = true;
  OnNextDialog<QMessageBox>([&seen](QMessageBox* box) {
    seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    QTest::keyClick(box, Qt::Key_Return);
  });
  answer =
      AskQuestion(&owner, QStringLiteral("警告"), QStringLiteral("覆盖吗?"), QuestionDefault::No);
  EXPECT_EQ(seen.defaultButton, QStringLiteral("否(&N)"));
  EXPECT_FALSE(answer);
  EXPECT_EQ(PendingModalHandlers(), 0);

  // The recorder notes the default; the answer still comes from the queue.
  MessageBoxRecorder recorder;
  recorder.QueueAnswer(true);
  EXPECT_TRUE(
      AskQuestion(nullptr, QStringLiteral("警告"), QStringLiteral("q"), QuestionDefault::No));
  EXPECT_FALSE(AskQuestion(nullptr, QStringLiteral("警告"), QStringLiteral("q")));
  ASSERT_EQ(recorder.Boxes().size(), 2u);
  EXPECT_EQ(recorder.Boxes()[0].byDefault, QuestionDefault::No);
  EXPECT_EQ(recorder.Boxes()[1].byDefault, QuestionDefault::Yes);
  EXPECT_EQ(recorder.unansweredQuestions, 1);
}

TEST(MessageBoxesTest, InformationHasOkAndTheInformationIcon) {
  QWidget owner;
  owner.show();
  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Ok);
  ShowInformation(&owner, QStringLiteral("注意："), QStringLiteral("今天"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.title, QStringLiteral("注意："));
  EXPECT_EQ(seen.owner, &owner);
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
}

TEST(MessageBoxesTest, TextIsShownAsItStandsEvenWhenItLooksLikeMarkup) {
  // A member may bear a name like "<b>甲</b>"; the relation text around it
  // keeps its line breaks only as plain text.
  const QString text = QStringLiteral("<b>甲</b>在家谱中的位置: <b>甲</b>\n乙在家谱中的位置: 乙");
  Qt::TextFormat format = Qt::AutoText;
  QString labelText;
  OnNextDialog<QMessageBox>([&](QMessageBox* box) {
    format = box->textFormat();
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
      labelText = label->text();
    box->button(QMessageBox::Ok)->click();
  });
  ShowNotice(text);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(labelText, text);
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST(MessageBoxesTest, ATextTooLongForTheScreenScrollsInsideTheBox) {
  QWidget owner;
  owner.show();
  QString text = QStringLiteral("今天为以下家族成员的生日:");
  for (int i = 0; i < 5000; ++i) text += QStringLiteral("  成员%1  ").arg(i);
  QString shown;
  QSize size;
  OnNextDialog<QDialog>([&](QDialog* box) {
    auto* view = box->findChild<QPlainTextEdit*>();
    if (view) shown = view->toPlainText();
    size = box->size();
    box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ShowInformation(&owner, QStringLiteral("注意："), text);
  EXPECT_EQ(shown, text);
  const QSize screen = owner.screen()->availableSize();
  EXPECT_LE(size.height(), screen.height());
  EXPECT_LE(size.width(), screen.width());
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST(MessageBoxRecorderTest, RecordsEveryBoxAndAnswersFromTheQueue) {
  MessageBoxRecorder recorder;
  std::vector<BoxKind> announced;
  recorder.onBox = [&](const RecordedBox& box) { announced.push_back(box.kind); };
  recorder.QueueAnswer(true);
  recorder.QueueAnswer(false);

  ShowNotice(QStringLiteral("内存不足!"));
  EXPECT_TRUE(AskQuestion(nullptr, QStringLiteral("家谱管理系统"), QStringLiteral("q1")));
  EXPECT_FALSE(AskQuestion(nullptr, QStringLiteral("警告"), QStringLiteral("q2")));
  EXPECT_EQ(recorder.unansweredQuestions, 0);
  // An empty queue answers No and counts the question.
  EXPECT_FALSE(AskQuestion(nullptr, QStringLiteral("警告"), QStringLiteral("q3")));
  EXPECT_EQ(recorder.unansweredQuestions, 1);
  ShowInformation(nullptr, QStringLiteral("查找结果："), QStringLiteral("info"));

  const auto& boxes = recorder.Boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0].kind, BoxKind::Notice);
  EXPECT_EQ(boxes[0].title, ApplicationTitle());
  EXPECT_EQ(boxes[0].text, QStringLiteral("内存不足!"));
  EXPECT_EQ(boxes[1].kind, BoxKind::Question);
  EXPECT_EQ(boxes[1].title, QStringLiteral("家谱管理系统"));
  EXPECT_EQ(boxes[3].text, QStringLiteral("q3"));
  EXPECT_EQ(boxes[4].kind, BoxKind::Information);
  EXPECT_EQ(boxes[4].title, QStringLiteral("查找结果："));
  EXPECT_EQ(announced.size(), 5u);
  // Nothing was shown: no modal window came up.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MessageBoxRecorderTest, InnermostRecorderRecordsAndTheOuterOneResumes) {
  MessageBoxRecorder outer;
  {
    MessageBoxRecorder inner;
    ShowNotice(QStringLiteral("inner"));
    EXPECT_EQ(inner.Boxes().size(), 1u);
  }
  ShowNotice(QStringLiteral("outer"));
  ASSERT_EQ(outer.Boxes().size(), 1u);
  EXPECT_EQ(outer.Boxes()[0].text, QStringLiteral("outer"));
}

// A choice shows a button for each answer, named for the screen reader as it
// reads, the default where the caller put it, Escape on the last; the
// recorder answers it from its own queue and counts one it had no answer for.
TEST(MessageBoxesTest, ChoiceHasItsButtonsItsDefaultAndEscape) {
  QWidget owner;
  const QStringList choices = {QStringLiteral("另存为 .cbk"), QStringLiteral("仍然保存为 .ftf"),
                               QStringLiteral("取消")};
  struct Row {
    int press;  // -1: Escape
    int expected;
  };
  for (const Row row : {Row{1, 1}, Row{-1, 2}}) {
    QStringList names;
    QString byDefault;
    OnNextDialog<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* button : box->buttons()) names << button->accessibleName();
      byDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
      if (row.press < 0)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        box->buttons()[row.press]->click();
    });
    EXPECT_EQ(AskChoice(&owner, QStringLiteral("家谱"), QStringLiteral("?"), choices, 0),
              row.expected);
    EXPECT_EQ(names, choices);
    EXPECT_EQ(byDefault, choices[0]);
    EXPECT_EQ(PendingModalHandlers(), 0);
  }

  MessageBoxRecorder recorder;
  recorder.QueueChoice(1);
  EXPECT_EQ(AskChoice(&owner, QStringLiteral("家谱"), QStringLiteral("?"), choices, 0), 1);
  EXPECT_EQ(AskChoice(&owner, QStringLiteral("家谱"), QStringLiteral("?"), choices, 0), 2);
  EXPECT_EQ(recorder.unansweredQuestions, 1);
  ASSERT_EQ(recorder.Boxes().size(), 2u);
  EXPECT_EQ(recorder.Boxes()[0].kind, BoxKind::Choice);
  EXPECT_EQ(recorder.Boxes()[0].choices, choices);
}

}  // namespace
