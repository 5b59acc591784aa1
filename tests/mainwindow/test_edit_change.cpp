// Changing a member through the real modify dialog: from the selection
// ("更改资料") and by name ("修改个人信息").
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "test_edit_fixture.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

QString BoxText(QWidget* d, const char* name) {
  return d->findChild<QLineEdit*>(name)->text();
}
bool BoxEnabled(QWidget* d, const char* name) {
  return d->findChild<QLineEdit*>(name)->isEnabled();
}
bool Checked(QWidget* d, const char* name) {
  return d->findChild<QCheckBox*>(name)->isChecked();
}
void Type(QWidget* d, const char* name, const QString& text) {
  TypeInto(d, name, text);
}
void Click(QWidget* d, const char* name) {
  ClickButton(d, name);
}
// `date` is "birth" or "death": the year, month and day boxes of that date.
void TypeDate(QWidget* d, const QString& date, int year, int month, int day) {
  Type(d, (date + "YearEdit").toLatin1().constData(), QString::number(year));
  Type(d, (date + "MonthEdit").toLatin1().constData(), QString::number(month));
  Type(d, (date + "DayEdit").toLatin1().constData(), QString::number(day));
}

class EditChange : public EditFixture {
protected:
  // Runs "更改资料" on `name` with `edit` applied to the dialog before OK.
  void Change(const QString& name, std::function<void(CModifyInfoDlg*)> edit) {
    Select(name);
    FillList();
    OnNextDialog<CModifyInfoDlg>([edit](CModifyInfoDlg* d) {
      edit(d);
      Click(d, "idc_1");
      EXPECT_FALSE(d->isVisible());
    });
    ClickButton(&window, "idc_32784");
  }
};

TEST_F(EditChange, DialogOpensWithTheMembersDataAndUnchangedOkKeepsIt) {
  LoadFamily();
  const QStringList before = ModelLines();
  Change(QStringLiteral("祖"), [](CModifyInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "nameEdit"), QStringLiteral("祖"));
    EXPECT_EQ(BoxText(d, "addressEdit"), QString());
    EXPECT_TRUE(Checked(d, "marriedCheck"));
    EXPECT_FALSE(Checked(d, "aliveCheck"));
    EXPECT_EQ(BoxText(d, "birthYearEdit"), "1900");
    EXPECT_EQ(BoxText(d, "birthMonthEdit"), "1");
    EXPECT_EQ(BoxText(d, "birthDayEdit"), "1");
    EXPECT_EQ(BoxText(d, "deathYearEdit"), "1970");
    EXPECT_EQ(BoxText(d, "deathMonthEdit"), "5");
    EXPECT_EQ(BoxText(d, "deathDayEdit"), "6");
    for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"})
      EXPECT_TRUE(BoxEnabled(d, id)) << id;
  });
  EXPECT_EQ(ModelLines(), before);
  ExpectEditDone();

  Change(QStringLiteral("甲"), [](CModifyInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "nameEdit"), QStringLiteral("甲"));
    EXPECT_EQ(BoxText(d, "addressEdit"), QStringLiteral("北京"));
    EXPECT_TRUE(Checked(d, "marriedCheck"));
    EXPECT_TRUE(Checked(d, "aliveCheck"));
    EXPECT_EQ(BoxText(d, "birthYearEdit"), "1920");
    for (const char* id : {"deathYearEdit", "deathMonthEdit", "deathDayEdit"}) {
      EXPECT_EQ(BoxText(d, id), "0");
      EXPECT_FALSE(BoxEnabled(d, id)) << id;
    }
  });
  EXPECT_EQ(ModelLines(), before);
  ExpectEditDone();
}

TEST_F(EditChange, EveryRefusalLeavesTheGenealogyAsItWas) {
  LoadFamily();
  const QStringList before = ModelLines();
  struct Case {
    std::function<void(CModifyInfoDlg*)> edit;
    const char* notice;
  } cases[] = {
      {[](CModifyInfoDlg* d) { Type(d, "nameEdit", QStringLiteral("乙")); }, "家谱中已有此人!"},
      {[](CModifyInfoDlg* d) { Type(d, "nameEdit", QString()); }, "姓名不能为空!"},
      {[](CModifyInfoDlg* d) { Type(d, "nameEdit", QStringLiteral("甲 甲")); },
       "姓名和地址中不能含有空白字符!"},
      {[](CModifyInfoDlg* d) { Type(d, "addressEdit", QStringLiteral("北\u3000京")); },
       "姓名和地址中不能含有空白字符!"},
      {[](CModifyInfoDlg* d) { Type(d, "nameEdit", QStringLiteral("end")); }, "姓名不能为end或-1!"},
      {[](CModifyInfoDlg* d) { Type(d, "nameEdit", QStringLiteral("-1")); }, "姓名不能为end或-1!"},
      {[](CModifyInfoDlg* d) { Type(d, "addressEdit", QStringLiteral("end")); }, "地址不能为end!"},
      // The text tests come before the duplicate test.
      {[](CModifyInfoDlg* d) {
         Type(d, "nameEdit", QStringLiteral("乙"));
         Type(d, "addressEdit", QStringLiteral("end"));
       },
       "地址不能为end!"},
      {[](CModifyInfoDlg* d) {
         Click(d, "aliveCheck");
         TypeDate(d, "death", 1970, 2, 30);
       },
       "此人信息中死亡日期不合实际!"},
      {[](CModifyInfoDlg* d) {
         Click(d, "aliveCheck");
         TypeDate(d, "death", 1920, 3, 3);
       },
       "此人死亡日期不可能比其出生日期早!"},
      {[](CModifyInfoDlg* d) { TypeDate(d, "birth", 1921, 2, 29); }, "此人信息中出生日期不合实际!"},
      {[](CModifyInfoDlg* d) { TypeDate(d, "birth", 1900, 1, 1); },
       "此人的出生日期不能早于或等于其父亲的出生日期!"},
      {[](CModifyInfoDlg* d) { TypeDate(d, "birth", 1899, 12, 31); },
       "此人的出生日期不能早于或等于其父亲的出生日期!"},
      {[](CModifyInfoDlg* d) { TypeDate(d, "birth", 1950, 7, 8); },
       "此人的出生日期不能晚于或等于其孩子的出生日期!"},
      // The specified death-date tests come before the new birth-date tests.
      {[](CModifyInfoDlg* d) {
         TypeDate(d, "birth", 1950, 7, 8);
         Click(d, "aliveCheck");
         TypeDate(d, "death", 1950, 7, 7);
       },
       "此人死亡日期不可能比其出生日期早!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    boxes.Clear();
    Change(QStringLiteral("甲"), c.edit);
    EXPECT_EQ(NoticeTexts(), QStringList{QString::fromUtf8(c.notice)});
    EXPECT_EQ(ModelLines(), before);
    EXPECT_FALSE(window.document().IsModified());
    EXPECT_EQ(ListRows(), 1);
  }
}

TEST_F(EditChange, AcceptedChangeIsStoredAndKeepsTheSiblingPlace) {
  LoadFamily();
  Change(QStringLiteral("甲"), [](CModifyInfoDlg* d) {
    Type(d, "nameEdit", QStringLiteral("甲乙"));
    Type(d, "addressEdit", QStringLiteral("南京"));
    Click(d, "marriedCheck");
    TypeDate(d, "birth", 1930, 1, 1);  // after 乙 (1925), still before 丙 (1950)
    Click(d, "aliveCheck");
    TypeDate(d, "death", 1930, 1, 1);  // died on the day of birth
  });
  EXPECT_TRUE(NoticeTexts().isEmpty());
  EXPECT_EQ(ModelLines().filter(QStringLiteral("甲乙")),
            QStringList{QStringLiteral("  甲乙 1930-1-1 married=0 address=南京 alive=0 died "
                                       "1930-1-1")});
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲乙", "    丙", "  乙"}));
  ExpectEditDone();
}

TEST_F(EditChange, NowAliveKeepsTheOldDeathDateUntested) {
  LoadFamily();
  Change(QStringLiteral("祖"), [](CModifyInfoDlg* d) {
    TypeDate(d, "death", 1970, 13, 1);
    Click(d, "aliveCheck");
  });
  EXPECT_TRUE(NoticeTexts().isEmpty());
  const MemberNode* root = Find(QStringLiteral("祖"));
  EXPECT_EQ(root->alive, 1);
  EXPECT_EQ(root->deathMonth, 5);
  ExpectEditDone();
}

TEST_F(EditChange, UnchangedBirthDateEqualToTheFathersIsNotJudgedAgain) {
  // The file accepts a son born on his father's birthday.
  LoadRecords(
      "祖 1900 1 1 1 end 1 -1\r\n"
      "甲 1900 1 1 1 end 1 祖\r\n");
  Change(QStringLiteral("甲"),
         [](CModifyInfoDlg* d) { Type(d, "addressEdit", QStringLiteral("杭州")); });
  EXPECT_TRUE(NoticeTexts().isEmpty());
  EXPECT_EQ(Find(QStringLiteral("甲"))->address, u"杭州");
  ExpectEditDone();
}

TEST_F(EditChange, SelectedMemberIsChangedEvenWhenAnotherBearsItsName) {
  LoadRecords(
      "祖 1900 1 1 1 end 1 -1\r\n"
      "甲 1920 1 1 1 end 1 祖\r\n"
      "乙 1925 1 1 1 end 1 祖\r\n"
      "甲 1950 1 1 1 end 1 乙\r\n");
  MemberNode* second =
      window.document().Genealogy().GetRootLink()->firstChild->nextSibling->firstChild;
  Select(second);
  OnNextDialog<CModifyInfoDlg>([](CModifyInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "birthYearEdit"), "1950");
    Type(d, "addressEdit", QStringLiteral("成都"));
    Click(d, "idc_1");
  });
  ClickButton(&window, "idc_32784");
  EXPECT_TRUE(NoticeTexts().isEmpty());
  EXPECT_EQ(second->address, u"成都");
  EXPECT_EQ(Find(QStringLiteral("甲"))->address, u"");
  ExpectEditDone();
}

TEST_F(EditChange, NothingSelectedOrNothingThere) {
  window.EnableMemberButtons(true);
  ClickButton(&window, "idc_32784");  // empty genealogy: silently nothing
  EXPECT_TRUE(boxes.Boxes().empty());

  LoadFamily();
  ClickButton(&window, "idc_32784");
  EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("请先在家谱树中选择一个成员!")});
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(EditChange, CancelChangesNothing) {
  LoadFamily();
  const QStringList before = ModelLines();
  Select(QStringLiteral("甲"));
  FillList();
  OnNextDialog<CModifyInfoDlg>([](CModifyInfoDlg* d) {
    Type(d, "nameEdit", QStringLiteral("新名"));
    Click(d, "idc_2");
  });
  ClickButton(&window, "idc_32784");
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);
}

TEST_F(EditChange, MenuItemAsksForTheNameAndChangesThatMember) {
  LoadFamily();
  OnNextDialog<CModifyNameDlg>([](CModifyNameDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("丙"));
    ClickButton(d, "idc_1");
  });
  OnNextDialog<CModifyInfoDlg>([](CModifyInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "nameEdit"), QStringLiteral("丙"));
    EXPECT_EQ(BoxText(d, "addressEdit"), QStringLiteral("上海"));
    EXPECT_EQ(BoxText(d, "birthYearEdit"), "1950");
    Type(d, "nameEdit", QStringLiteral("丙丁"));
    Click(d, "idc_1");
  });
  window.RunCommand(ID_MODIFY_MEMBER);
  EXPECT_TRUE(NoticeTexts().isEmpty());
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲", "    丙丁", "  乙"}));
  ExpectEditDone();
}

TEST_F(EditChange, MenuItemReportsAnUnknownNameAndCancelDoesNothing) {
  LoadFamily();
  const QStringList before = ModelLines();
  OnNextDialog<CModifyNameDlg>([](CModifyNameDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("无名"));
    ClickButton(d, "idc_1");
  });
  window.RunCommand(ID_MODIFY_MEMBER);
  EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("本家谱中找不到无名!")});

  boxes.Clear();
  OnNextDialog<CModifyNameDlg>([](CModifyNameDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("甲"));
    ClickButton(d, "idc_2");
  });
  window.RunCommand(ID_MODIFY_MEMBER);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
}

}  // namespace
