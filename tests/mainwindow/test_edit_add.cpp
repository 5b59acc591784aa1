// Adding members through the real add dialog of the real main window: every
// refusal with its text while the dialog stays open, the root question, the
// order of brothers and sisters, and the father taken from the selection.
#include "dialogs/CAddInfoDlg.h"
#include "test_edit_fixture.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

// What the user types into the add dialog; a field left as none keeps what
// the box holds.
struct Entry {
  const char* name = nullptr;
  const char* father = nullptr;
  const char* address = nullptr;
  int birthYear = 0, birthMonth = 0, birthDay = 0;  // 0: leave today's date
  bool dead = false;
  int deathYear = 0, deathMonth = 0, deathDay = 0;
};

void Fill(CAddInfoDlg* d, const Entry& e) {
  if (e.name) TypeInto(d, "nameEdit", QString::fromUtf8(e.name));
  if (e.father) TypeInto(d, "fatherNameEdit", QString::fromUtf8(e.father));
  if (e.address) TypeInto(d, "addressEdit", QString::fromUtf8(e.address));
  if (e.birthYear) {
    TypeInto(d, "birthYearEdit", QString::number(e.birthYear));
    TypeInto(d, "birthMonthEdit", QString::number(e.birthMonth));
    TypeInto(d, "birthDayEdit", QString::number(e.birthDay));
  }
  auto* alive = d->findChild<QCheckBox*>(QStringLiteral("aliveCheck"));
  if (alive->isChecked() == e.dead) ClickButton(d, "aliveCheck");
  if (e.dead) {
    TypeInto(d, "deathYearEdit", QString::number(e.deathYear));
    TypeInto(d, "deathMonthEdit", QString::number(e.deathMonth));
    TypeInto(d, "deathDayEdit", QString::number(e.deathDay));
  }
}

QString BoxText(QWidget* d, const char* name) {
  return d->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
}

class EditAdd : public EditFixture {};

TEST_F(EditAdd, EveryRefusalKeepsTheDialogOpenAndChangesNothing) {
  LoadFamily();
  FillList();
  const QStringList before = ModelLines();
  struct Case {
    Entry entry;
    const char* notice;
  } cases[] = {
      // Order of the tests: the empty name before the unknown father.
      {{"", "无名"}, "姓名不能为空!"},
      {{"张 三", "甲"}, "姓名和地址中不能含有空白字符!"},
      {{"张\u3000三", "甲"}, "姓名和地址中不能含有空白字符!"},
      {{"丁", "甲", "北 京"}, "姓名和地址中不能含有空白字符!"},
      {{"end", "甲", ""}, "姓名不能为end或-1!"},
      {{"-1", "甲"}, "姓名不能为end或-1!"},
      {{"丁", "甲", "end"}, "地址不能为end!"},
      {{"乙", "甲", ""}, "家谱中已有此人!"},
      // A name equal to the father's is a duplicate, found before the father.
      {{"甲", "甲"}, "家谱中已有此人!"},
      {{"丁", "无名"}, "父亲结点没找到!"},
      {{"丁", " -1"}, "父亲结点没找到!"},
      // The calendar test comes before the comparison with the father.
      {{"丁", "甲", nullptr, 1900, 2, 29}, "个人信息中的出生日期不合实际!"},
      {{"丁", "甲", nullptr, 1920, 3, 3}, "所加入孩子的出生日期比其父亲的出生日期早，不合实际!"},
      {{"丁", "甲", nullptr, 1920, 3, 4}, "所加入孩子的出生日期与其父亲的出生日期相等，不合实际!"},
      {{"丁", "甲", nullptr, 1990, 1, 1, true, 2000, 2, 30}, "个人信息中的死亡日期不合实际!"},
      {{"丁", "甲", nullptr, 1990, 1, 1, true, 1989, 12, 31}, "此人出生日期不可能比其死亡日期早!"},
  };
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.notice);
      boxes.Clear();
      Fill(d, c.entry);
      ClickButton(d, "idc_1");
      EXPECT_EQ(NoticeTexts(), QStringList{QString::fromUtf8(c.notice)});
      EXPECT_TRUE(Questions().isEmpty());
      EXPECT_TRUE(d->isVisible());
      EXPECT_EQ(BoxText(d, "nameEdit"), QString::fromUtf8(c.entry.name));
      EXPECT_EQ(BoxText(d, "fatherNameEdit"), QString::fromUtf8(c.entry.father));
    }
    ClickButton(d, "idc_2");
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);
}

TEST_F(EditAdd, CorrectedEntryIsAddedAndClosesTheDialog) {
  LoadFamily();
  FillList();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    // From the menu the father field starts empty.
    EXPECT_EQ(BoxText(d, "fatherNameEdit"), QString());
    Fill(d, {"丁", "甲", "西安", 1920, 3, 4, true, 1920, 3, 4});
    ClickButton(d, "idc_1");
    EXPECT_TRUE(d->isVisible());
    // Born a day after the father and dead on the day of birth: accepted.
    TypeInto(d, "birthDayEdit", "5");
    TypeInto(d, "deathDayEdit", "5");
    ClickButton(d, "idc_1");
    EXPECT_FALSE(d->isVisible());
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_EQ(NoticeTexts(),
            QStringList{QStringLiteral("所加入孩子的出生日期与其父亲的出生日期相等，不合实际!")});
  ExpectEditDone();
  const MemberNode* added = Find(QStringLiteral("丁"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->parent, Find(QStringLiteral("甲")));
  EXPECT_EQ(
      ModelLines().filter(QStringLiteral("丁")),
      QStringList{QStringLiteral("    丁 1920-3-5 married=0 address=西安 alive=0 died 1920-3-5")});
}

TEST_F(EditAdd, DeathDateOfTheLivingIsNeitherTestedNorStored) {
  LoadFamily();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    Fill(d, {"丁", "乙", nullptr, 1960, 6, 6, true, 2000, 13, 40});
    ClickButton(d, "aliveCheck");  // alive again: the boxes keep 2000 13 40
    ClickButton(d, "marriedCheck");
    ClickButton(d, "idc_1");
    EXPECT_FALSE(d->isVisible());
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_TRUE(NoticeTexts().isEmpty());
  const MemberNode* added = Find(QStringLiteral("丁"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->alive, 1);
  EXPECT_EQ(added->married, 1);
  EXPECT_EQ(added->deathYear, 0);
  EXPECT_EQ(added->deathMonth, 0);
  EXPECT_EQ(added->deathDay, 0);
  ExpectEditDone();
}

TEST_F(EditAdd, ChildrenStandInBirthOrderAndTheYoungestTwinFirst) {
  LoadFamily();
  const Entry entries[] = {
      {"戊", "祖", nullptr, 1922, 1, 1},
      {"己", "祖", nullptr, 1925, 1, 1},  // twin of 乙
      {"庚", "祖", nullptr, 1910, 1, 1},
      {"辛", "祖", nullptr, 1930, 1, 1},
  };
  for (const Entry& entry : entries) {
    OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
      Fill(d, entry);
      ClickButton(d, "idc_1");
    });
    window.RunCommand(ID_ADD_MEMBER);
  }
  EXPECT_TRUE(NoticeTexts().isEmpty());
  EXPECT_EQ(TreeLines(),
            (QStringList{"祖", "  庚", "  甲", "    丙", "  戊", "  己", "  乙", "  辛"}));
  ExpectEditDone();
}

TEST_F(EditAdd, RootQuestionNoKeepsTheDialogAndOkAsksAgain) {
  LoadFamily();
  FillList();
  const QStringList before = ModelLines();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    Fill(d, {"始", "-1", nullptr, 1880, 2, 2});
    boxes.QueueAnswer(false);
    ClickButton(d, "idc_1");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(Questions(), QStringList{QStringLiteral("确实要置此结点为根结点吗？")});
    EXPECT_TRUE(NoticeTexts().isEmpty());
    EXPECT_EQ(ModelLines(), before);
    EXPECT_FALSE(window.document().IsModified());
    boxes.Clear();
    boxes.QueueAnswer(true);
    ClickButton(d, "idc_1");
    EXPECT_EQ(Questions(), QStringList{QStringLiteral("确实要置此结点为根结点吗？")});
    EXPECT_FALSE(d->isVisible());
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_EQ(TreeLines(), (QStringList{"始", "  祖", "    甲", "      丙", "    乙"}));
  const MemberNode* root = window.document().Genealogy().GetRootLink();
  EXPECT_EQ(root, Find(QStringLiteral("始")));
  EXPECT_EQ(root->firstChild, Find(QStringLiteral("祖")));
  EXPECT_EQ(root->firstChild->nextSibling, nullptr);
  ExpectEditDone();
}

TEST_F(EditAdd, NewRootBornAfterTheOldRootIsRefused) {
  LoadFamily();
  const QStringList before = ModelLines();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    Fill(d, {"始", "-1", nullptr, 1900, 1, 2});
    boxes.QueueAnswer(true);
    ClickButton(d, "idc_1");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(NoticeTexts(),
              QStringList{QStringLiteral("新根结点的出生日期不能晚于原根结点的出生日期!")});
    // Born on the old root's birthday: the file still opens, so it is taken.
    TypeInto(d, "birthDayEdit", "1");
    boxes.QueueAnswer(true);
    ClickButton(d, "idc_1");
    EXPECT_FALSE(d->isVisible());
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_EQ(window.document().Genealogy().GetRootLink(), Find(QStringLiteral("始")));
  ExpectEditDone();
}

TEST_F(EditAdd, EmptyGenealogyFillsMinusOneAndStillAsks) {
  window.EnableMemberButtons(true);
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "fatherNameEdit"), QStringLiteral("-1"));
    EXPECT_EQ(BoxText(d, "birthYearEdit"), QStringLiteral("2024"));
    TypeInto(d, "nameEdit", QStringLiteral("祖"));
    boxes.QueueAnswer(true);
    ClickButton(d, "idc_1");
    EXPECT_FALSE(d->isVisible());
  });
  ClickButton(&window, "idc_32783");
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("确实要置此结点为根结点吗？")});
  EXPECT_EQ(TreeLines(), QStringList{"祖"});
  ExpectEditDone();
}

TEST_F(EditAdd, MenuAddsTheFirstRootWhileTheButtonsAreDisabled) {
  ASSERT_FALSE(window.button(ID_ADD_CHILD)->isEnabled());
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    Fill(d, {"祖", "-1"});
    boxes.QueueAnswer(true);
    ClickButton(d, "idc_1");
  });
  window.RunCommand(ID_ADD_MEMBER);
  EXPECT_EQ(TreeLines(), QStringList{"祖"});
  ExpectEditDone();
}

TEST_F(EditAdd, AddChildTakesTheSelectedMemberItself) {
  // Two members named 甲: the elder son of 祖, and a grandson under 乙.
  LoadRecords(
      "祖 1900 1 1 1 end 1 -1\r\n"
      "甲 1920 1 1 1 end 1 祖\r\n"
      "乙 1925 1 1 1 end 1 祖\r\n"
      "甲 1950 1 1 1 end 1 乙\r\n");
  const MemberNode* second =
      window.document().Genealogy().GetRootLink()->firstChild->nextSibling->firstChild;
  Select(second);
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "fatherNameEdit"), QStringLiteral("甲"));
    Fill(d, {"丁", nullptr, nullptr, 1940, 1, 1});
    ClickButton(d, "idc_1");
    // Born before the selected 甲 (1950), though after the other one (1920).
    EXPECT_EQ(NoticeTexts(),
              QStringList{QStringLiteral("所加入孩子的出生日期比其父亲的出生日期早，不合实际!")});
    TypeInto(d, "birthYearEdit", "1975");
    ClickButton(d, "idc_1");
  });
  ClickButton(&window, "idc_32783");
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲", "  乙", "    甲", "      丁"}));
  ExpectEditDone();
}

TEST_F(EditAdd, AddChildWithoutSelectionLeavesTheFatherEmpty) {
  LoadFamily();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "fatherNameEdit"), QString());
    ClickButton(d, "idc_2");
  });
  ClickButton(&window, "idc_32783");
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(EditAdd, AddChildPrefillsTheSelectedName) {
  LoadFamily();
  Select(QStringLiteral("乙"));
  FillList();
  const QStringList before = ModelLines();
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    EXPECT_EQ(BoxText(d, "fatherNameEdit"), QStringLiteral("乙"));
    TypeInto(d, "nameEdit", QStringLiteral("丁"));
    ClickButton(d, "idc_2");
  });
  ClickButton(&window, "idc_32783");
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);
}

}  // namespace
