// The two member entry dialogs driven as a user drives them: keys typed into
// the real boxes, the real check boxes and buttons clicked.
#include "GuiTestSupport.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "platform/MessageBoxes.h"
#include "platform/Today.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace {

const QString kNoInteger = QStringLiteral("请输入一个整数。");

QLineEdit* Box(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(name);
}
QCheckBox* CheckBox(QWidget* dialog, const char* name) {
  return dialog->findChild<QCheckBox*>(name);
}
QString Name(const char* name) {
  return QString::fromLatin1(name);
}
void Click(QWidget* dialog, const char* name) {
  ClickButton(dialog, name);
}
void Type(QWidget* dialog, const char* name, const QString& text) {
  TypeInto(dialog, name, text);
}

// Shows the dialog as DoModal would, but without a modal loop, and waits until
// it is the active window so that focus is where the user would find it.
void Open(CDialog& dialog) {
  dialog.Create();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// What the add dialog handed to its owner at each press of OK.
struct Seen {
  QString name, father, address;
  int birthYear, birthMonth, birthDay, married, alive, deathYear, deathMonth, deathDay;
};

class FakeAdder : public IMemberAdder {
public:
  int answer = 0;
  std::vector<Seen> calls;
  int AddMember(CAddInfoDlg& d) override {
    const MemberData& m = d.m_data;
    calls.push_back({QString::fromStdU16String(m.name), d.m_fatherName,
                     QString::fromStdU16String(m.address), m.birthYear, m.birthMonth, m.birthDay,
                     m.married, m.alive, m.deathYear, m.deathMonth, m.deathDay});
    return answer;
  }
};

// Widgets in the order Tab visits them, starting at `first`.
std::vector<QString> TabCycle(QWidget* first, int count) {
  std::vector<QString> names;
  QWidget* w = first;
  for (int i = 0; i < count; ++i) {
    names.push_back(w->objectName());
    do {
      w = w->nextInFocusChain();
    } while (!(w->focusPolicy() & Qt::TabFocus));
  }
  return names;
}

class AddInfoDlgTest : public ::testing::Test {
protected:
  void SetUp() override { SetTodayForTesting(LocalDate{2024, 2, 29}); }
  void TearDown() override { SetTodayForTesting(std::nullopt); }
  FakeAdder adder;
  MessageBoxRecorder boxes;
};

TEST_F(AddInfoDlgTest, OpensWithTodayAndTheTemplate) {
  CAddInfoDlg dialog(&adder);
  dialog.m_fatherName = QStringLiteral("张三");
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加信息表"));
  ASSERT_NE(dialog.findChild<QGroupBox*>(), nullptr);
  EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("添加信息"));
  EXPECT_EQ(Box(&dialog, "birthYearEdit")->text(), "2024");
  EXPECT_EQ(Box(&dialog, "birthMonthEdit")->text(), "2");
  EXPECT_EQ(Box(&dialog, "birthDayEdit")->text(), "29");
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"}) {
    EXPECT_EQ(Box(&dialog, id)->text(), "0") << id;
    EXPECT_FALSE(Box(&dialog, id)->isEnabled()) << id;
  }
  EXPECT_TRUE(CheckBox(&dialog, "aliveCheck")->isChecked());
  EXPECT_EQ(CheckBox(&dialog, "aliveCheck")->text(), QStringLiteral("健在否"));
  EXPECT_FALSE(CheckBox(&dialog, "marriedCheck")->isChecked());
  EXPECT_EQ(CheckBox(&dialog, "marriedCheck")->text(), QStringLiteral("婚否"));
  EXPECT_EQ(Box(&dialog, "nameEdit")->text(), "");
  EXPECT_EQ(Box(&dialog, "addressEdit")->text(), "");
  EXPECT_EQ(Box(&dialog, "fatherNameEdit")->text(), QStringLiteral("张三"));
  EXPECT_EQ(Box(&dialog, "nameEdit")->accessibleName(), QStringLiteral("姓名："));
  EXPECT_EQ(Box(&dialog, "fatherNameEdit")->accessibleName(), QStringLiteral("父亲姓名："));
  EXPECT_EQ(Box(&dialog, "addressEdit")->accessibleName(), QStringLiteral("地址："));
  auto* ok = dialog.findChild<QPushButton*>(Name("idc_1"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->text(), QStringLiteral("确定"));
  EXPECT_EQ(dialog.findChild<QPushButton*>(Name("idc_2"))->text(), QStringLiteral("取消"));
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "nameEdit"));
  // The template's order, each date followed by its box for a date in Chinese words.
  const std::vector<QString> expected{
      Name("nameEdit"),      Name("fatherNameEdit"), Name("birthYearEdit"),  Name("birthMonthEdit"),
      Name("birthDayEdit"),  Name("birthDateEdit"),  Name("addressEdit"),    Name("aliveCheck"),
      Name("marriedCheck"),  Name("deathYearEdit"),  Name("deathMonthEdit"), Name("deathDayEdit"),
      Name("deathDateEdit"), Name("idc_1"),          Name("idc_2"),          Name("nameEdit")};
  EXPECT_EQ(TabCycle(Box(&dialog, "nameEdit"), 16), expected);
  // Labels in the template's order are all there.
  QStringList labels;
  for (auto* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"姓名：", "父亲姓名：", "  ( -1表示根节点 )", "出生日期：", "地址：",
                           "死亡日期：", "年", "月", "日"})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
}

TEST_F(AddInfoDlgTest, DatePartsThatCannotBeReadShowMinusOne) {
  SetTodayForTesting(LocalDate{-1, -1, -1});
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  EXPECT_EQ(Box(&dialog, "birthYearEdit")->text(), "-1");
  EXPECT_EQ(Box(&dialog, "birthMonthEdit")->text(), "-1");
  EXPECT_EQ(Box(&dialog, "birthDayEdit")->text(), "-1");
}

TEST_F(AddInfoDlgTest, AliveBoxTogglesTheDeathBoxesAndKeepsTheirValues) {
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  Click(&dialog, "aliveCheck");
  EXPECT_TRUE(dialog.m_deathDateEnabled);
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_TRUE(Box(&dialog, id)->isEnabled()) << id;
  Type(&dialog, "deathYearEdit", "1990");
  Click(&dialog, "aliveCheck");
  EXPECT_FALSE(dialog.m_deathDateEnabled);
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_FALSE(Box(&dialog, id)->isEnabled()) << id;
  EXPECT_EQ(Box(&dialog, "deathYearEdit")->text(), "1990");
}

TEST_F(AddInfoDlgTest, RefusedAddKeepsTheDialogOpenAndOkAgainCloses) {
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  Type(&dialog, "nameEdit", QStringLiteral("李四"));
  Type(&dialog, "fatherNameEdit", QStringLiteral("无人"));
  Type(&dialog, "addressEdit", QStringLiteral("北京"));
  Type(&dialog, "birthYearEdit", " 1990abc");
  Click(&dialog, "marriedCheck");
  Click(&dialog, "aliveCheck");
  Type(&dialog, "deathYearEdit", "2050");
  Type(&dialog, "deathMonthEdit", "3");
  Type(&dialog, "deathDayEdit", "4");
  adder.answer = 0;
  Click(&dialog, "idc_1");
  ASSERT_EQ(adder.calls.size(), 1u);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Box(&dialog, "fatherNameEdit")->text(), QStringLiteral("无人"));
  const Seen& seen = adder.calls[0];
  EXPECT_EQ(seen.name, QStringLiteral("李四"));
  EXPECT_EQ(seen.father, QStringLiteral("无人"));
  EXPECT_EQ(seen.address, QStringLiteral("北京"));
  EXPECT_EQ(seen.birthYear, 1990);
  EXPECT_EQ(seen.birthMonth, 2);
  EXPECT_EQ(seen.birthDay, 29);
  EXPECT_EQ(seen.married, 1);
  EXPECT_EQ(seen.alive, 0);
  EXPECT_EQ(seen.deathYear, 2050);
  EXPECT_EQ(seen.deathMonth, 3);
  EXPECT_EQ(seen.deathDay, 4);

  Type(&dialog, "fatherNameEdit", QStringLiteral("张三"));
  adder.answer = 1;
  Click(&dialog, "idc_1");
  ASSERT_EQ(adder.calls.size(), 2u);
  EXPECT_EQ(adder.calls[1].father, QStringLiteral("张三"));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AddInfoDlgTest, ExchangeFailureStopsAtTheBoxAndSkipsTheOwner) {
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  Type(&dialog, "nameEdit", QStringLiteral("王五"));
  Type(&dialog, "addressEdit", QStringLiteral("上海"));
  Type(&dialog, "birthDayEdit", "7");
  Type(&dialog, "birthMonthEdit", "x1");  // a letter first: no number
  Type(&dialog, "birthYearEdit", "1980");
  Click(&dialog, "marriedCheck");
  Click(&dialog, "idc_1");
  EXPECT_TRUE(adder.calls.empty());
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoInteger);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Notice);
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "birthMonthEdit"));
  // Read before the month: alive, married, address, birth day.
  EXPECT_EQ(dialog.m_data.married, 1);
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.address), QStringLiteral("上海"));
  EXPECT_EQ(dialog.m_data.birthDay, 7);
  // Read after it: untouched.
  EXPECT_EQ(dialog.m_data.birthMonth, 2);
  EXPECT_EQ(dialog.m_data.birthYear, 2024);
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QString());
}

TEST_F(AddInfoDlgTest, EmptiedDeathBoxIsRefusedEvenWhenDisabledAgain) {
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  Type(&dialog, "nameEdit", QStringLiteral("赵六"));
  Click(&dialog, "aliveCheck");
  Type(&dialog, "deathDayEdit", "");
  Click(&dialog, "aliveCheck");
  Click(&dialog, "idc_1");
  EXPECT_TRUE(adder.calls.empty());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoInteger);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AddInfoDlgTest, TextBoxesStopAt127Characters) {
  CAddInfoDlg dialog(&adder);
  Open(dialog);
  const QString longText(128, QChar(u'甲'));
  for (const char* id : {"nameEdit", "fatherNameEdit", "addressEdit"}) {
    Type(&dialog, id, longText);
    EXPECT_EQ(Box(&dialog, id)->text().size(), 127) << id;
  }
}

TEST_F(AddInfoDlgTest, CancelClosesWithoutReadingOrAdding) {
  CAddInfoDlg dialog(&adder);
  int result = 0;
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("钱七"));
    TypeInto(d, "birthMonthEdit", "");
    ClickButton(d, "idc_2");
  });
  result = dialog.DoModal();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(adder.calls.empty());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QString());
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST_F(AddInfoDlgTest, DoModalReturnsOkAfterASuccessfulAdd) {
  CAddInfoDlg dialog(&adder);
  adder.answer = 1;
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("孙八"));
    ClickButton(d, "idc_1");
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(adder.calls.size(), 1u);
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QStringLiteral("孙八"));
}

class ModifyInfoDlgTest : public ::testing::Test {
protected:
  MessageBoxRecorder boxes;
};

TEST_F(ModifyInfoDlgTest, OpensWithWhatTheCallerSetAndTheTemplate) {
  CModifyInfoDlg dialog;
  dialog.m_data.name = u"张三";
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("修改信息"));
  EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("个人修改信息"));
  EXPECT_EQ(Box(&dialog, "nameEdit")->text(), QStringLiteral("张三"));
  EXPECT_EQ(Box(&dialog, "addressEdit")->text(), "");
  for (const char* id : {"birthYearEdit", "birthMonthEdit", "birthDayEdit", "deathYearEdit",
                         "deathMonthEdit", "deathDayEdit"})
    EXPECT_EQ(Box(&dialog, id)->text(), "0");
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_FALSE(Box(&dialog, id)->isEnabled());
  EXPECT_TRUE(CheckBox(&dialog, "aliveCheck")->isChecked());
  EXPECT_EQ(CheckBox(&dialog, "aliveCheck")->text(), QStringLiteral("现在健在否"));
  EXPECT_FALSE(CheckBox(&dialog, "marriedCheck")->isChecked());
  EXPECT_EQ(CheckBox(&dialog, "marriedCheck")->text(), QStringLiteral("现在婚否"));
  EXPECT_EQ(Box(&dialog, "nameEdit")->accessibleName(), QStringLiteral("修改后姓名:"));
  EXPECT_EQ(Box(&dialog, "addressEdit")->accessibleName(), QStringLiteral("修改后地址:"));
  EXPECT_TRUE(dialog.findChild<QPushButton*>(Name("idc_1"))->isDefault());
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "nameEdit"));
  const std::vector<QString> expected{
      Name("nameEdit"),      Name("addressEdit"),    Name("aliveCheck"),    Name("marriedCheck"),
      Name("deathYearEdit"), Name("deathMonthEdit"), Name("deathDayEdit"),  Name("deathDateEdit"),
      Name("idc_1"),         Name("idc_2"),          Name("birthYearEdit"), Name("birthMonthEdit"),
      Name("birthDayEdit"),  Name("birthDateEdit"),  Name("nameEdit")};
  EXPECT_EQ(TabCycle(Box(&dialog, "nameEdit"), 15), expected);
}

TEST_F(ModifyInfoDlgTest, DeceasedMemberOpensWithTheDeathBoxesOnAndTheToggleFollows) {
  CModifyInfoDlg dialog;
  dialog.m_data.alive = 0;
  dialog.m_data.deathYear = 1970;
  dialog.m_data.deathMonth = 5;
  dialog.m_data.deathDay = 6;
  Open(dialog);
  EXPECT_FALSE(CheckBox(&dialog, "aliveCheck")->isChecked());
  EXPECT_TRUE(dialog.m_deathDateEnabled);
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_TRUE(Box(&dialog, id)->isEnabled()) << id;
  EXPECT_EQ(Box(&dialog, "deathYearEdit")->text(), "1970");
  Click(&dialog, "aliveCheck");  // now alive: the death date means nothing
  EXPECT_FALSE(dialog.m_deathDateEnabled);
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_FALSE(Box(&dialog, id)->isEnabled()) << id;
  Click(&dialog, "aliveCheck");
  for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
    EXPECT_TRUE(Box(&dialog, id)->isEnabled()) << id;
}

TEST_F(ModifyInfoDlgTest, OkReadsEveryBoxAndLeavesTheOldNameAlone) {
  CModifyInfoDlg dialog;
  dialog.m_oldName = QStringLiteral("旧名");
  Open(dialog);
  Type(&dialog, "nameEdit", QStringLiteral("新名"));
  Type(&dialog, "addressEdit", QStringLiteral("广州"));
  Type(&dialog, "birthYearEdit", "1950");
  Type(&dialog, "birthMonthEdit", "3");
  Type(&dialog, "birthDayEdit", "7");
  Click(&dialog, "marriedCheck");
  Click(&dialog, "aliveCheck");
  Type(&dialog, "deathYearEdit", "1998");
  Type(&dialog, "deathMonthEdit", "12");
  Type(&dialog, "deathDayEdit", "1");
  Click(&dialog, "idc_1");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), IDOK);
  EXPECT_EQ(dialog.m_oldName, QStringLiteral("旧名"));
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QStringLiteral("新名"));
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.address), QStringLiteral("广州"));
  EXPECT_EQ(dialog.m_data.married, 1);
  EXPECT_EQ(dialog.m_data.alive, 0);
  EXPECT_EQ(dialog.m_data.birthYear, 1950);
  EXPECT_EQ(dialog.m_data.birthMonth, 3);
  EXPECT_EQ(dialog.m_data.birthDay, 7);
  EXPECT_EQ(dialog.m_data.deathYear, 1998);
  EXPECT_EQ(dialog.m_data.deathMonth, 12);
  EXPECT_EQ(dialog.m_data.deathDay, 1);
}

TEST_F(ModifyInfoDlgTest, ExchangeFailureStopsAtTheBirthMonth) {
  CModifyInfoDlg dialog;
  Open(dialog);
  Type(&dialog, "nameEdit", QStringLiteral("新名"));
  Type(&dialog, "addressEdit", QStringLiteral("广州"));
  Type(&dialog, "birthDayEdit", "9");
  Type(&dialog, "birthMonthEdit", "");
  Type(&dialog, "birthYearEdit", "1950");
  Click(&dialog, "marriedCheck");
  Click(&dialog, "idc_1");
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoInteger);
  EXPECT_EQ(dialog.focusWidget(), Box(&dialog, "birthMonthEdit"));
  EXPECT_EQ(dialog.m_data.married, 1);
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QStringLiteral("新名"));
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.address), QStringLiteral("广州"));
  EXPECT_EQ(dialog.m_data.birthDay, 9);
  EXPECT_EQ(dialog.m_data.birthYear, 0);
}

TEST_F(ModifyInfoDlgTest, CancelKeepsTheMembers) {
  CModifyInfoDlg dialog;
  dialog.m_data.name = u"张三";
  OnNextDialog<CModifyInfoDlg>([](CModifyInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("别名"));
    TypeInto(d, "birthYearEdit", "1999");
    ClickButton(d, "idc_2");
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(QString::fromStdU16String(dialog.m_data.name), QStringLiteral("张三"));
  EXPECT_EQ(dialog.m_data.birthYear, 0);
  EXPECT_EQ(PendingModalHandlers(), 0);
}

// Both member dialogs alike: the alive box and the death date, and the texts
// a genealogy file cannot carry. Each row opens one of the two dialogs.
struct MemberDialogKind {
  const char* name;
  std::function<std::unique_ptr<CDialog>(IMemberAdder*)> make;
};
const MemberDialogKind kMemberDialogs[] = {
    {"add", [](IMemberAdder* adder) { return std::make_unique<CAddInfoDlg>(adder); }},
    {"modify", [](IMemberAdder*) { return std::make_unique<CModifyInfoDlg>(); }},
};

class MemberDialogsTest : public ::testing::Test {
protected:
  void SetUp() override { SetTodayForTesting(LocalDate{2024, 2, 29}); }
  void TearDown() override { SetTodayForTesting(std::nullopt); }
  FakeAdder adder;
  MessageBoxRecorder boxes;
};

TEST_F(MemberDialogsTest, TheDeathDateFollowsTheAliveBoxWhateverTogglesIt) {
  // A screen reader toggles through the accessibility interface, and the
  // keyboard's space bar, neither of which is a mouse click.
  struct Way {
    const char* how;
    std::function<void(QCheckBox*)> toggle;
  };
  const Way ways[] = {
      {"accessible toggle",
       [](QCheckBox* box) {
         QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
         ASSERT_NE(accessible, nullptr);
         ASSERT_NE(accessible->actionInterface(), nullptr);
         accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
       }},
      {"space bar",
       [](QCheckBox* box) {
         box->setFocus();
         QTest::keyClick(box, Qt::Key_Space);
       }},
      {"mouse", [](QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton); }},
  };
  for (const MemberDialogKind& kind : kMemberDialogs) {
    for (const Way& way : ways) {
      SCOPED_TRACE(std::string(kind.name) + ", " + way.how);
      std::unique_ptr<CDialog> dialog = kind.make(&adder);
      Open(*dialog);
      QCheckBox* alive = CheckBox(dialog.get(), "aliveCheck");
      for (bool checked : {false, true}) {
        way.toggle(alive);
        ASSERT_EQ(alive->isChecked(), checked);
        for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
          EXPECT_EQ(Box(dialog.get(), id)->isEnabled(), !checked) << id;
      }
    }
  }
}

TEST_F(MemberDialogsTest, TextsTheFileCannotCarryAreRefusedBeforeAnythingIsRead) {
  const QString high(QChar(0xD840)), low(QChar(0xDC00));
  struct Case {
    const char* what;
    bool inName;
    QString text;
    const char* notice;
  };
  const Case cases[] = {
      {"lone first half in the name", true, QStringLiteral("张") + high,
       "姓名中含有无法保存的字符!"},
      {"lone second half in the name", true, low + QStringLiteral("张"),
       "姓名中含有无法保存的字符!"},
      {"halves in the wrong order", true, low + high, "姓名中含有无法保存的字符!"},
      {"lone half in the address", false, QStringLiteral("北京") + high,
       "地址中含有无法保存的字符!"},
  };
  for (const MemberDialogKind& kind : kMemberDialogs) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(kind.name) + ", " + c.what);
      boxes.Clear();
      adder.calls.clear();
      adder.answer = 1;
      std::unique_ptr<CDialog> dialog = kind.make(&adder);
      Open(*dialog);
      QLineEdit* name = Box(dialog.get(), "nameEdit");
      name->setText(QStringLiteral("李四"));
      QLineEdit* target = c.inName ? name : Box(dialog.get(), "addressEdit");
      // As a paste or an input method would put it there.
      target->setText(c.text);
      Type(dialog.get(), "birthMonthEdit", "3");
      Click(dialog.get(), "idc_1");
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Notice);
      EXPECT_EQ(boxes.Boxes()[0].text, QString::fromUtf8(c.notice));
      EXPECT_TRUE(dialog->isVisible());
      EXPECT_EQ(dialog->focusWidget(), target);
      EXPECT_TRUE(adder.calls.empty());
      // Nothing was read: the month typed before OK is not in the member yet.
      const int month = std::string_view(kind.name) == "add"
                            ? static_cast<CAddInfoDlg*>(dialog.get())->m_data.birthMonth
                            : static_cast<CModifyInfoDlg*>(dialog.get())->m_data.birthMonth;
      EXPECT_NE(month, 3);
      // Corrected, the same OK goes through.
      target->setText(c.inName ? QStringLiteral("李四") : QStringLiteral("北京"));
      Click(dialog.get(), "idc_1");
      EXPECT_FALSE(dialog->isVisible());
      EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
  }
}

// The half character of old: 63 characters outside the Basic Multilingual
// Plane fill the name box, and the 64th typed leaves a name that can be added.
TEST_F(MemberDialogsTest, AFullNameBoxOfWideCharactersIsAccepted) {
  const QString wide = QStringLiteral("\U00020000");
  adder.answer = 1;
  for (const MemberDialogKind& kind : kMemberDialogs) {
    SCOPED_TRACE(kind.name);
    std::unique_ptr<CDialog> dialog = kind.make(&adder);
    Open(*dialog);
    Type(dialog.get(), "nameEdit", wide.repeated(64));
    EXPECT_EQ(Box(dialog.get(), "nameEdit")->text(), wide.repeated(63));
    Click(dialog.get(), "idc_1");
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(dialog->isVisible());
  }
  ASSERT_EQ(adder.calls.size(), 1u);
  EXPECT_EQ(adder.calls[0].name, wide.repeated(63));
}

}  // namespace
