// The small dialogs that ask a command for a name, two names, a generation or
// a day, driven through their real boxes and buttons.
#include "GuiTestSupport.h"
#include "dialogs/CBirthdayDlg.h"
#include "dialogs/CDelInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "platform/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kNoInteger = QStringLiteral("请输入一个整数。");

QLineEdit* Box(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(name);
}
void Click(QWidget* dialog, const char* name) {
  ClickButton(dialog, name);
}
void Type(QWidget* dialog, const char* name, const QString& text) {
  TypeInto(dialog, name, text);
}
void Open(CDialog& dialog) {
  dialog.Create();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}
QStringList Labels(QWidget* dialog) {
  QStringList texts;
  for (auto* label : dialog->findChildren<QLabel*>()) texts << label->text();
  texts.sort();
  return texts;
}
// The names of the tab stops, from the focused widget round to it again.
std::vector<QString> TabCycle(QWidget* dialog) {
  std::vector<QString> names;
  QWidget* first = dialog->focusWidget();
  QWidget* w = first;
  do {
    if (w->focusPolicy() & Qt::TabFocus) names.push_back(w->objectName());
    w = w->nextInFocusChain();
  } while (w != first);
  return names;
}
std::vector<QString> Names(std::initializer_list<const char*> objectNames) {
  return {objectNames.begin(), objectNames.end()};
}
void ExpectButtons(QWidget* dialog) {
  auto* ok = dialog->findChild<QPushButton*>(ControlName(1));
  auto* cancel = dialog->findChild<QPushButton*>(ControlName(2));
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), QStringLiteral("确定"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
  EXPECT_FALSE(cancel->isDefault());
}

class QueryDialogs : public ::testing::Test {
protected:
  MessageBoxRecorder boxes;
};

TEST_F(QueryDialogs, NameDialogsShowTheirTemplatesAndReadTheName) {
  CDelInfoDlg del;
  CPersonalInfoDlg personal;
  CModifyNameDlg modify;
  struct Case {
    CDialog* dialog;
    QString* name;
    const char* caption;
    const char* label;
  } cases[] = {
      {&del, &del.m_name, "删除信息表", "输入要删除的人的名字："},
      {&personal, &personal.m_name, "按姓名查询个人信息", "请输入要查询名字:"},
      {&modify, &modify.m_name, "修改个人信息", "输入要修改的人的名字："},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    Open(*c.dialog);
    EXPECT_EQ(c.dialog->windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_EQ(Labels(c.dialog), QStringList{QString::fromUtf8(c.label)});
    EXPECT_EQ(Box(c.dialog, "nameEdit")->accessibleName(), QString::fromUtf8(c.label));
    ExpectButtons(c.dialog);
    EXPECT_EQ(TabCycle(c.dialog), Names({"nameEdit", "idc_1", "idc_2"}));
    Type(c.dialog, "nameEdit", QString(128, QChar(u'名')));
    EXPECT_EQ(Box(c.dialog, "nameEdit")->text().size(), 127);
    Type(c.dialog, "nameEdit", QStringLiteral("张 三"));
    Click(c.dialog, "idc_1");
    EXPECT_EQ(c.dialog->result(), IDOK);
    EXPECT_FALSE(c.dialog->isVisible());
    EXPECT_EQ(*c.name, QStringLiteral("张 三"));
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(QueryDialogs, EmptyNameIsTheCommandsBusiness) {
  CDelInfoDlg dialog;
  OnNextDialog<CDelInfoDlg>([](CDelInfoDlg* d) { ClickButton(d, "idc_1"); });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_name, QString());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(QueryDialogs, CancelLeavesTheInitialValues) {
  CPersonalInfoDlg personal;
  OnNextDialog<CPersonalInfoDlg>([](CPersonalInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("李四"));
    ClickButton(d, "idc_2");
  });
  EXPECT_EQ(personal.DoModal(), IDCANCEL);
  EXPECT_EQ(personal.m_name, QString());

  CBirthdayDlg birthday;
  OnNextDialog<CBirthdayDlg>([](CBirthdayDlg* d) {
    TypeInto(d, "birthMonthEdit", "5");
    TypeInto(d, "birthDayEdit", "6");
    ClickButton(d, "idc_2");
  });
  EXPECT_EQ(birthday.DoModal(), IDCANCEL);
  EXPECT_EQ(birthday.m_month, 0);
  EXPECT_EQ(birthday.m_day, 0);
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST_F(QueryDialogs, RelationsDialogReadsBothNames) {
  CRelationsDlg dialog;
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("两人关系比较"));
  EXPECT_EQ(Labels(&dialog),
            (QStringList{QStringLiteral("第一人姓名:"), QStringLiteral("第二人姓名:"),
                         QStringLiteral("请输入两人姓名:")}));
  EXPECT_EQ(Box(&dialog, "firstNameEdit")->accessibleName(), QStringLiteral("第一人姓名:"));
  EXPECT_EQ(Box(&dialog, "secondNameEdit")->accessibleName(), QStringLiteral("第二人姓名:"));
  ExpectButtons(&dialog);
  EXPECT_EQ(TabCycle(&dialog), Names({"firstNameEdit", "secondNameEdit", "idc_1", "idc_2"}));
  Type(&dialog, "firstNameEdit", QStringLiteral("甲"));
  Type(&dialog, "secondNameEdit", QStringLiteral("乙"));
  Click(&dialog, "idc_1");
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_EQ(dialog.m_firstName, QStringLiteral("甲"));
  EXPECT_EQ(dialog.m_secondName, QStringLiteral("乙"));
}

TEST_F(QueryDialogs, GenerationDialogReadsAnIntegerOrStaysOpen) {
  CSearchGenerationDlg dialog;
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("查询一代人信息"));
  EXPECT_EQ(Labels(&dialog), (QStringList{QStringLiteral("代的信息"), QStringLiteral("要查询第")}));
  EXPECT_EQ(Box(&dialog, "generationEdit")->text(), "0");
  ExpectButtons(&dialog);
  EXPECT_EQ(TabCycle(&dialog), Names({"generationEdit", "idc_1", "idc_2"}));
  Type(&dialog, "generationEdit", "abc");
  Click(&dialog, "idc_1");
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoInteger);
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "generationEdit"));
  EXPECT_EQ(dialog.m_generation, 0);
  Type(&dialog, "generationEdit", " -3代");
  Click(&dialog, "idc_1");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.m_generation, -3);
}

TEST_F(QueryDialogs, GenerationUntouchedIsZero) {
  CSearchGenerationDlg dialog;
  OnNextDialog<CSearchGenerationDlg>([](CSearchGenerationDlg* d) { ClickButton(d, "idc_1"); });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_generation, 0);
}

TEST_F(QueryDialogs, BirthdayDialogReadsTheDayBeforeTheMonth) {
  CBirthdayDlg dialog;
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("按照生日查找"));
  EXPECT_EQ(Labels(&dialog), (QStringList{QStringLiteral("日"), QStringLiteral("月"),
                                          QStringLiteral("请输入查询的生日:")}));
  EXPECT_EQ(Box(&dialog, "birthMonthEdit")->text(), "0");
  EXPECT_EQ(Box(&dialog, "birthDayEdit")->text(), "0");
  EXPECT_EQ(Box(&dialog, "birthMonthEdit")->accessibleName(), QStringLiteral("月"));
  EXPECT_EQ(Box(&dialog, "birthDayEdit")->accessibleName(), QStringLiteral("日"));
  ExpectButtons(&dialog);
  EXPECT_EQ(TabCycle(&dialog), Names({"birthMonthEdit", "birthDayEdit", "idc_1", "idc_2"}));
  Type(&dialog, "birthDayEdit", "31");
  Type(&dialog, "birthMonthEdit", "");
  Click(&dialog, "idc_1");
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoInteger);
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "birthMonthEdit"));
  EXPECT_EQ(dialog.m_day, 31);
  EXPECT_EQ(dialog.m_month, 0);
  Type(&dialog, "birthMonthEdit", "13");
  Click(&dialog, "idc_1");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.m_month, 13);
}

}  // namespace
