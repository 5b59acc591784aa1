// Deleting members with their descendants, by selection ("删除该人") and by
// name ("删除个人").
#include "dialogs/CDelInfoDlg.h"
#include "test_edit_fixture.h"

namespace {

const QString kHasChildren =
    QStringLiteral("还有孩子,如果你删除了他,其孩子也一并被删除。你确实想删除此人及其孩子吗？");

class EditDelete : public EditFixture {
protected:
  void DeleteByName(const QString& name) {
    OnNextDialog<CDelInfoDlg>([name](CDelInfoDlg* d) {
      TypeInto(d, "nameEdit", name);
      ClickButton(d, "idc_1");
    });
    window.RunCommand(ID_DELETE_MEMBER);
  }
};

TEST_F(EditDelete, SelectedMemberWithoutChildrenNoThenYes) {
  LoadFamily();
  const QStringList before = ModelLines();
  Select(QStringLiteral("乙"));
  boxes.QueueAnswer(false);
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("你确实想删除乙吗？")});
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);  // the selected member's row

  boxes.Clear();
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("你确实想删除乙吗？")});
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲", "    丙"}));
  ExpectEditDone();
}

TEST_F(EditDelete, SelectedMemberTakesItsDescendants) {
  LoadFamily();
  Select(QStringLiteral("甲"));
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("甲") + kHasChildren});
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  乙"}));
  EXPECT_EQ(Find(QStringLiteral("丙")), nullptr);
  ExpectEditDone();
}

TEST_F(EditDelete, DeletingTheRootEmptiesTheGenealogy) {
  LoadFamily();
  Select(QStringLiteral("祖"));
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(window.document().Genealogy().GetRootLink(), nullptr);
  EXPECT_TRUE(TreeLines().isEmpty());
  ExpectEditDone();
}

TEST_F(EditDelete, SelectedMemberIsDeletedEvenWhenAnotherBearsItsName) {
  LoadRecords(
      "祖 1900 1 1 1 end 1 -1\r\n"
      "甲 1920 1 1 1 end 1 祖\r\n"
      "乙 1925 1 1 1 end 1 祖\r\n"
      "甲 1950 1 1 1 end 1 乙\r\n");
  Select(window.document().Genealogy().GetRootLink()->firstChild->nextSibling->firstChild);
  boxes.QueueAnswer(true);
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  甲", "  乙"}));
  ExpectEditDone();
}

TEST_F(EditDelete, ButtonNeedsASelectionAndAGenealogy) {
  window.EnableMemberButtons(true);
  ClickButton(&window, "idc_32782");
  EXPECT_TRUE(boxes.Boxes().empty());

  LoadFamily();
  const QStringList before = ModelLines();
  ClickButton(&window, "idc_32782");
  EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("请先在家谱树中选择一个成员!")});
  EXPECT_TRUE(Questions().isEmpty());
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(EditDelete, MenuAsksWithTheHalfWidthMark) {
  LoadFamily();
  FillList();
  const QStringList before = ModelLines();
  boxes.QueueAnswer(false);
  DeleteByName(QStringLiteral("丙"));
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("你确实想删除丙吗?")});
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);

  boxes.Clear();
  boxes.QueueAnswer(true);
  DeleteByName(QStringLiteral("甲"));
  EXPECT_EQ(Questions(), QStringList{QStringLiteral("甲") + kHasChildren});
  EXPECT_EQ(TreeLines(), (QStringList{"祖", "  乙"}));
  ExpectEditDone();
}

TEST_F(EditDelete, MenuReportsAnUnknownNameEvenWithoutAGenealogy) {
  DeleteByName(QStringLiteral("无名"));
  EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("本家谱中找不到无名!")});

  LoadFamily();
  FillList();
  const QStringList before = ModelLines();
  boxes.Clear();
  DeleteByName(QStringLiteral("甲 "));
  EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("本家谱中找不到甲 !")});
  EXPECT_TRUE(Questions().isEmpty());
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(ListRows(), 1);
}

TEST_F(EditDelete, MenuCancelDoesNothing) {
  LoadFamily();
  const QStringList before = ModelLines();
  OnNextDialog<CDelInfoDlg>([](CDelInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("甲"));
    ClickButton(d, "idc_2");
  });
  window.RunCommand(ID_DELETE_MEMBER);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ModelLines(), before);
  EXPECT_FALSE(window.document().IsModified());
}

}  // namespace
