// The 字辈 dialog, driven through its real boxes, buttons and list: what it
// shows, what the check lists, which poems it refuses and what OK hands back.
#include "../model/ModelTestSupport.h"
#include "GuiTestSupport.h"
#include "dialogs/CGenerationPoemDlg.h"
#include "platform/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using modeltest::Add;

// 孔子 (第1世) - 孔昭文, 孔令仪 (2) - 孔宪章, 孔繁星 under 孔昭文 and 孔宪明
// under 孔令仪 (3).
class GenerationPoemDialog : public ::testing::Test {
protected:
  void SetUp() override {
    Add(m_book, u"", u"孔子", 1900);
    Add(m_book, u"孔子", u"孔昭文", 1920);
    Add(m_book, u"孔昭文", u"孔宪章", 1940);
    Add(m_book, u"孔昭文", u"孔繁星", 1945);
    Add(m_book, u"孔子", u"孔令仪", 1925);
    Add(m_book, u"孔令仪", u"孔宪明", 1950);
  }
  void Open() {
    m_dialog.Create();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
  }
  template <class T>
  T* Control(const char* accessibleName) {
    for (T* widget : m_dialog.findChildren<T*>()) {
      if (widget->accessibleName() == QString::fromUtf8(accessibleName)) return widget;
    }
    ADD_FAILURE() << "no control " << accessibleName;
    return nullptr;
  }
  QLineEdit* PoemBox() { return Control<QLineEdit>("字辈："); }
  QSpinBox* FirstGenerationBox() { return Control<QSpinBox>("起始世代："); }
  QLineEdit* SurnameBox() { return Control<QLineEdit>("姓氏："); }
  QListView* List() { return Control<QListView>("不合字辈的成员："); }
  QLabel* Count() { return m_dialog.findChild<QLabel*>("lackingCountLabel"); }
  void Fill(const QString& poem, int first, const QString& surname) {
    TypeInto(&m_dialog, PoemBox()->objectName().toLatin1().constData(), poem);
    QSpinBox* number = FirstGenerationBox();
    number->setFocus();
    number->selectAll();
    TypeKeys(number, QString::number(first));
    TypeInto(&m_dialog, SurnameBox()->objectName().toLatin1().constData(), surname);
  }
  void Click(const char* label) {
    for (auto* button : m_dialog.findChildren<QPushButton*>()) {
      if (button->text() == QString::fromUtf8(label))
        return QTest::mouseClick(button, Qt::LeftButton);
    }
    ADD_FAILURE() << "no button " << label;
  }
  QStringList Rows() {
    QStringList rows;
    for (int row = 0; row < List()->model()->rowCount(); ++row)
      rows << List()->model()->index(row, 0).data().toString();
    return rows;
  }
  MemberNode* Member(std::u16string_view name) {
    MemberNode* found = m_book.FindByName(name);
    return found;
  }

  MessageBoxRecorder m_boxes;
  COperationClanbook m_book;
  CGenerationPoemDlg m_dialog{m_book};
};

TEST_F(GenerationPoemDialog, ShowsThePoemAndTheSurnameReadOffTheBook) {
  // A poem written over lines is shown on one.
  m_dialog.m_poemText = QStringLiteral("宪\n庆");
  m_dialog.m_firstGeneration = 3;
  Open();
  EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("字辈"));
  // Every box is named by its label, as a screen reader finds it.
  for (auto* label : m_dialog.findChildren<QLabel*>()) {
    if (label->buddy()) {
      EXPECT_EQ(label->buddy()->accessibleName(), label->text());
    }
  }
  EXPECT_EQ(PoemBox()->text(), QStringLiteral("宪 庆"));
  EXPECT_EQ(FirstGenerationBox()->value(), 3);
  EXPECT_EQ(FirstGenerationBox()->text(), QStringLiteral("第 3 世"));
  EXPECT_EQ(SurnameBox()->text(), QStringLiteral("孔"));
  EXPECT_EQ(Rows(), QStringList());
  EXPECT_EQ(Count()->text(), QString());

  CGenerationPoemDlg given(m_book);
  given.m_surname = QStringLiteral("孔昭");
  given.Create();
  EXPECT_EQ(given.findChild<QLineEdit*>("surnameEdit")->text(), QStringLiteral("孔昭"));
}

TEST_F(GenerationPoemDialog, CheckListsTheMembersWithoutTheirGenerationsCharacter) {
  const struct Row {
    const char* poem;
    int first;
    const char* surname;
    QStringList rows;
    const char* count;
  } rows[] = {
      {"昭宪",
       2,
       "孔",
       {"孔繁星　第 3 世　应有“宪”字", "孔令仪　第 2 世　应有“昭”字"},
       "共 2 人的名字里没有本世的字辈用字。"},
      {"昭，宪。庆",
       2,
       "孔",
       {"孔繁星　第 3 世　应有“宪”字", "孔令仪　第 2 世　应有“昭”字"},
       "共 2 人的名字里没有本世的字辈用字。"},
      {"子", 1, "孔", {}, "每个成员的名字里都有本世的字辈用字。"},
      {"宪", 3, "孔", {"孔繁星　第 3 世　应有“宪”字"}, "共 1 人的名字里没有本世的字辈用字。"},
      // With 孔昭 taken for the surname, 孔昭文's given name is 文.
      {"昭",
       2,
       "孔昭",
       {"孔昭文　第 2 世　应有“昭”字", "孔令仪　第 2 世　应有“昭”字"},
       "共 2 人的名字里没有本世的字辈用字。"},
  };
  Open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.poem);
    Fill(QString::fromUtf8(row.poem), row.first, QString::fromUtf8(row.surname));
    Click("检查");
    EXPECT_EQ(Rows(), row.rows);
    EXPECT_EQ(Count()->text(), QString::fromUtf8(row.count));
  }
  EXPECT_TRUE(m_boxes.Boxes().empty());
  // A change of any box empties the list: it answered the boxes as they were.
  PoemBox()->setFocus();
  QTest::keyClick(PoemBox(), Qt::Key_Backspace);
  EXPECT_EQ(Rows(), QStringList());
  EXPECT_EQ(Count()->text(), QString());
}

TEST_F(GenerationPoemDialog, ARowDoubleClickedOrEnteredNamesItsMember) {
  Open();
  Fill(QStringLiteral("昭宪"), 2, QStringLiteral("孔"));
  Click("检查");
  QSignalSpy spy(&m_dialog, &CGenerationPoemDlg::memberActivated);
  QListView* list = List();
  list->setFocus();
  list->setCurrentIndex(list->model()->index(1, 0));
  QTest::keyClick(list, Qt::Key_Return);
  // Enter on a row is the row's business, not OK.
  EXPECT_TRUE(m_dialog.isVisible());
  const QRect first = list->visualRect(list->model()->index(0, 0));
  // A double click as the window system delivers it: a click, then the second press.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
  ASSERT_EQ(spy.size(), 2);
  EXPECT_EQ(spy[0].at(0).value<MemberNode*>(), Member(u"孔令仪"));
  EXPECT_EQ(spy[1].at(0).value<MemberNode*>(), Member(u"孔繁星"));
}

TEST_F(GenerationPoemDialog, AMalformedPoemIsRefusedAndTheDialogStaysOpen) {
  const struct Row {
    const char* poem;
    const char* button;
    const char* message;
  } rows[] = {
      {"昭a宪", "确定",
       "字辈里的“a”不是汉字。字辈只能由汉字组成，字与字之间可以用标点或空格隔开。"},
      {"昭宪7", "检查",
       "字辈里的“7”不是汉字。字辈只能由汉字组成，字与字之间可以用标点或空格隔开。"},
      {"，。 ", "确定", "字辈里没有汉字。"},
      {"", "检查", "请先输入字辈。"},
  };
  m_dialog.m_poemText = QStringLiteral("昭");
  m_dialog.m_firstGeneration = 2;
  Open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.poem);
    m_boxes.Clear();
    Fill(QString::fromUtf8(row.poem), 2, QStringLiteral("孔"));
    Click(row.button);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].kind, BoxKind::Notice);
    EXPECT_EQ(m_boxes.Boxes()[0].text, QString::fromUtf8(row.message));
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.focusWidget(), PoemBox());
    EXPECT_EQ(Rows(), QStringList());
  }
  m_boxes.Clear();
  Fill(QStringLiteral("昭"), 2, QString());
  Click("确定");
  ASSERT_EQ(m_boxes.Boxes().size(), 1u);
  EXPECT_EQ(m_boxes.Boxes()[0].text, QStringLiteral("请输入姓氏。"));
  EXPECT_EQ(m_dialog.focusWidget(), SurnameBox());
  EXPECT_TRUE(m_dialog.isVisible());
  EXPECT_EQ(m_dialog.m_poemText, QStringLiteral("昭"));
}

TEST_F(GenerationPoemDialog, OkHandsBackThePoemAndTheSurname) {
  const struct Row {
    const char* poem;
    int first;
    const char* surname;
    const char* text;  // as typed, without the blanks at its ends
  } rows[] = {
      {" 克昌，厥后。永保 其宗 ", 5, " 欧阳 ", "克昌，厥后。永保 其宗"},
      {"𠮷宪", 1, "孔", "𠮷宪"},
      {"  ", 3, "孔", ""},  // an emptied box: the book has no poem
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.poem);
    CGenerationPoemDlg dialog(m_book);
    OnNextDialog<CGenerationPoemDlg>([&row](CGenerationPoemDlg* d) {
      TypeInto(d, "poemEdit", QString::fromUtf8(row.poem));
      auto* first = d->findChild<QSpinBox*>("firstGenerationSpin");
      first->setFocus();
      first->selectAll();
      TypeKeys(first, QString::number(row.first));
      TypeInto(d, "surnameEdit", QString::fromUtf8(row.surname));
      ClickButton(d, "idc_1");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_poemText, QString::fromUtf8(row.text));
    EXPECT_EQ(dialog.m_firstGeneration, row.first);
    EXPECT_EQ(dialog.m_surname, QString::fromUtf8(row.surname).trimmed());
  }
  // A poem written over lines and left as shown stays as it was written.
  CGenerationPoemDlg unchanged(m_book);
  unchanged.m_poemText = QStringLiteral("克昌\n厥后");
  OnNextDialog<CGenerationPoemDlg>([](CGenerationPoemDlg* d) { ClickButton(d, "idc_1"); });
  EXPECT_EQ(unchanged.DoModal(), IDOK);
  EXPECT_EQ(unchanged.m_poemText, QStringLiteral("克昌\n厥后"));
  CGenerationPoemDlg cancelled(m_book);
  cancelled.m_poemText = QStringLiteral("昭");
  cancelled.m_firstGeneration = 2;
  OnNextDialog<CGenerationPoemDlg>([](CGenerationPoemDlg* d) {
    TypeInto(d, "poemEdit", QStringLiteral("宪"));
    TypeInto(d, "surnameEdit", QStringLiteral("欧"));
    ClickButton(d, "idc_2");
  });
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.m_poemText, QStringLiteral("昭"));
  EXPECT_EQ(cancelled.m_surname, QStringLiteral("孔"));
  EXPECT_TRUE(m_boxes.Boxes().empty());
}

}  // namespace
