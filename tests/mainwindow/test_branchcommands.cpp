// 修谱 in the real window: 导出支谱… writes the selected member's branch as a
// book of its own, 合并支谱… brings a branch back through the review as one
// edit that undo takes back whole, the tree following row by row.
#include "../merge/MergeTestSupport.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CMergeReviewDlg.h"
#include "formats/FtfFormat.h"
#include "formats/gedcom/Gedcom.h"
#include "merge/BranchMerge.h"
#include "test_edit_fixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <unistd.h>

#include <functional>
#include <memory>

namespace {

const QString kNoSelection = QStringLiteral("请先在家谱树中选择一个成员!");
const QString kNothingToDo = QStringLiteral("支谱与家谱没有差别，无需合并。");

using BranchEdit = std::function<void(COperationClanbook&)>;

// 祖 with 甲 (北京; 丙 上海, 丁) and 乙 (己).
class BranchCommands : public EditFixture {
protected:
  void SetUp() override {
    EditFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    LoadBook();
  }
  void LoadBook() {
    LoadRecords(
        "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
        "甲 1920 3 4 1 北京 1 祖\r\n"
        "丙 1950 7 8 0 上海 1 甲\r\n"
        "丁 1955 2 2 0 end 1 甲\r\n"
        "乙 1925 1 1 0 end 1 祖\r\n"
        "己 1952 1 1 0 end 1 乙\r\n");
  }

  QString File(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  QList<QAction*> MenuItems(const QString& menu) const {
    for (QAction* title : window.menuBar()->actions())
      if (title->text() == menu) return title->menu()->actions();
    return {};
  }
  // The menu command named `objectName` in the menu titled `menu`.
  QAction* Command(const QString& menu, const char* objectName) {
    for (QAction* action : MenuItems(menu))
      if (action->objectName() == QLatin1String(objectName)) return action;
    ADD_FAILURE() << "no command " << objectName << " in " << menu.toStdString();
    return nullptr;
  }
  void Trigger(const QString& menu, const char* objectName) {
    QAction* action = Command(menu, objectName);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
  }
  static void AnswerFileName(bool open, const QString& name) {
    OnNextDialog<CFileOpenAndSaveDlg>([open, name](CFileOpenAndSaveDlg* dialog) {
      EXPECT_EQ(dialog->m_isOpen, open);
      TypeInto(dialog, "fileNameEdit", name);
      ClickButton(dialog, "idc_1");
    });
  }
  void Export(const QString& file) {
    AnswerFileName(false, file);
    Trigger(QStringLiteral("家谱"), "exportBranch");
  }
  // 合并支谱… of `file`; `review`, when given, answers the review window.
  void Merge(const QString& file, std::function<void(CMergeReviewDlg*)> review = {}) {
    AnswerFileName(true, file);
    if (review) OnNextDialog<CMergeReviewDlg>(std::move(review));
    Trigger(QStringLiteral("文件"), "mergeBranch");
  }
  // Writes the branch of `top` as the book has it, edited by `edit`.
  void WriteBranch(const QString& file, const char16_t* top, const BranchEdit& edit) {
    COperationClanbook branch;
    ExtractBranch(window.document().Genealogy(), Find(QString::fromUtf16(top)), branch);
    if (edit) edit(branch);
    ASSERT_EQ(formats::SaveFtf(file.toStdU16String(), branch).code, kFileOk);
  }
  QStringList BoxTexts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }
  // The line of ModelLines for `name`, without its indent.
  QString DataOf(const QString& name) {
    for (const QString& line : ModelLines())
      if (line.trimmed().startsWith(name + u' ')) return line.trimmed();
    return {};
  }

  QTemporaryDir dir;
};

TEST_F(BranchCommands, CommandsAreNamedItemsOfTheirMenus) {
  const QList<QAction*> file = MenuItems(QStringLiteral("文件"));
  QAction* merge = Command(QStringLiteral("文件"), "mergeBranch");
  ASSERT_NE(merge, nullptr);
  EXPECT_EQ(merge->text(), QStringLiteral("合并支谱…"));
  // Before 退出, so that leaving stays the last item.
  const qsizetype at = file.indexOf(merge);
  ASSERT_GE(at, 0);
  EXPECT_LT(at, file.indexOf(window.MenuAction(ID_EXIT)));
  QAction* exportBranch = Command(QStringLiteral("家谱"), "exportBranch");
  ASSERT_NE(exportBranch, nullptr);
  EXPECT_EQ(exportBranch->text(), QStringLiteral("导出支谱…"));
}

TEST_F(BranchCommands, ExportWritesTheSelectedBranchAndLeavesTheBookAsItWas) {
  const QString branchFile = File("甲.ftf");
  const QString bookFile = File("clan.ftf");
  ASSERT_EQ(window.document().Save(bookFile), kFileOk);
  window.document().SetFileName(bookFile);
  QFile saved(bookFile);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bookBytes = saved.readAll();
  const QStringList book = ModelLines();
  // Another name of the book's own file, which no comparison of names finds.
  const QString hardLink = File("clan-link.ftf");
  ASSERT_EQ(
      ::link(QFile::encodeName(bookFile).constData(), QFile::encodeName(hardLink).constData()), 0);
  const QString nowhere = File("无此文件夹/甲.ftf");
  const struct {
    const char* label;
    const char16_t* selected;  // none: nothing selected
    QString target;            // empty: no file dialog expected
    QString box;               // the one message expected
    bool written;
  } rows[] = {
      {"nothing selected", nullptr, {}, kNoSelection, false},
      {"over the open book's own file", u"甲", bookFile,
       QStringLiteral("支谱不能保存到正在编辑的家谱文件%1中!").arg(bookFile), false},
      {"over a hard link to the open book's file", u"甲", hardLink,
       QStringLiteral("支谱不能保存到正在编辑的家谱文件%1中!").arg(hardLink), false},
      {"into a folder that does not exist", u"甲", nowhere,
       QStringLiteral("文件%1无法保存：它所在的文件夹不存在!").arg(nowhere), false},
      {"a member and his descendants", u"甲", branchFile,
       QStringLiteral("甲及其后代共 3 人已导出为支谱%1。").arg(branchFile), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    boxes.Clear();
    QFile::remove(branchFile);
    if (row.selected)
      Select(QString::fromUtf16(row.selected));
    else
      window.treeView()->selectionModel()->clearSelection();
    if (row.target.isEmpty())
      Trigger(QStringLiteral("家谱"), "exportBranch");
    else
      Export(row.target);
    EXPECT_EQ(BoxTexts(), QStringList{row.box});
    EXPECT_EQ(ModelLines(), book);
    EXPECT_FALSE(window.document().IsModified());
    EXPECT_EQ(window.document().UndoStack()->count(), 0);
    EXPECT_EQ(QFile::exists(branchFile), row.written);
    QFile again(bookFile);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bookBytes);
  }
  // The file holds the branch with 甲 as its root, every field as in the book.
  COperationClanbook written;
  ASSERT_EQ(formats::LoadFtf(branchFile.toStdU16String(), written).code, kFileOk);
  COperationClanbook expected;
  ExtractBranch(window.document().Genealogy(), Find(QStringLiteral("甲")), expected);
  EXPECT_EQ(mergetest::Dump(written), mergetest::Dump(expected));
  EXPECT_EQ(written.GetRootLink()->name, u"甲");
}

// Branches that change nothing: the one message, no history, nothing modified.
TEST_F(BranchCommands, MergesThatChangeNothing) {
  const QString file = File("branch.ftf");
  const QStringList book = ModelLines();
  const struct {
    const char* label;
    std::function<void()> prepare;
    bool review;  // the review comes up and is cancelled
    BoxKind kind;
    QString box;  // empty: none
  } rows[] = {
      {"exported through the menu, merged back unchanged",
       [&] {
         Select(QStringLiteral("甲"));
         Export(file);
         boxes.Clear();
       },
       false, BoxKind::Information, kNothingToDo},
      {"its root is no member of the book",
       [&] {
         WriteBranch(file, u"甲", [](COperationClanbook& b) {
           MemberNode data = *b.GetRootLink();
           data.name = u"外人";
           b.UpdateMemberData(b.GetRootLink(), data);
           modeltest::Add(b, u"丙", u"庚", 1980);
         });
       },
       false, BoxKind::Notice,
       QStringLiteral("家谱中没有支谱的始祖外人，无法合并，家谱未作改动。")},
      {"no genealogy file", [&] { WriteFile(file, "this is no genealogy"); }, false,
       BoxKind::Notice, QStringLiteral("支谱文件%1无法读取，家谱未作改动。").arg(file)},
      {"the review cancelled",
       [&] {
         WriteBranch(file, u"甲", [](COperationClanbook& b) {
           modeltest::Add(b, u"丙", u"庚", 1980);
           mergetest::EditMember(b, u"丁", [](MemberNode& m) { m.address = u"洛阳"; });
         });
       },
       true,
       BoxKind::Notice,
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    QFile::remove(file);
    row.prepare();
    boxes.Clear();
    if (row.review)
      Merge(file, [](CMergeReviewDlg* review) {
        EXPECT_GT(review->Review().Applying(), 0u);
        ClickButton(review, "idc_2");
      });
    else
      Merge(file);
    if (row.box.isEmpty()) {
      EXPECT_TRUE(boxes.Boxes().empty());
    } else {
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].kind, row.kind);
      EXPECT_EQ(boxes.Boxes()[0].text, row.box);
    }
    EXPECT_EQ(ModelLines(), book);
    EXPECT_EQ(TreeLines(), ModelLines(false));
    EXPECT_EQ(window.document().UndoStack()->count(), 0);
    EXPECT_FALSE(window.document().IsModified());
  }
}

// A branch kept in GEDCOM comes back through the import: exported unchanged,
// it has nothing to merge.
TEST_F(BranchCommands, AGedcomBranchIsReadThroughTheImport) {
  const QString file = File("branch.ged");
  COperationClanbook branch;
  ExtractBranch(window.document().Genealogy(), Find(QStringLiteral("甲")), branch);
  std::string ged;
  gedcom::WriteGedcom(branch, gedcom::GedcomVersion::v7_0, ged);
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(ged.data(), static_cast<qint64>(ged.size()));
  out.close();
  const QStringList book = ModelLines();
  boxes.Clear();
  Merge(file);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNothingToDo);
  EXPECT_EQ(ModelLines(), book);
}

// A merge carried out from the review: the tree and its view show the result
// without a reset (open families stay open), 撤销 takes the whole merge back
// and 重做 brings it again.
TEST_F(BranchCommands, MergeIsOneEditThatUndoAndRedoTakeWhole) {
  const QString file = File("branch.ftf");
  const struct {
    const char* label;
    BranchEdit edit;
    std::function<void(CMergeReviewDlg*)> review;  // before 合并
    QStringList tree;                              // ModelLines(false) after
    QStringList data;                              // DataOf lines after
  } rows[] = {
      {"additions: a first and a middle child, a branch under a childless member",
       [](COperationClanbook& b) {
         modeltest::Add(b, u"甲", u"子", 1930);
         modeltest::Add(b, u"甲", u"丑", 1952);
         modeltest::Add(b, u"丁", u"寅", 1980);
         modeltest::Add(b, u"寅", u"卯", 2005);
       },
       [](CMergeReviewDlg* d) { EXPECT_EQ(d->Review().Conflicts(), 0u); },
       {"祖", "  甲", "    子", "    丙", "    丑", "    丁", "      寅", "        卯", "  乙",
        "    己"},
       {"寅 1980-1-1 married=0 address= alive=1"}},
      {"changed fields taken from the branch",
       [](COperationClanbook& b) {
         mergetest::EditMember(b, u"丙", [](MemberNode& m) {
           m.address = u"洛阳";
           m.alive = 0;
           m.deathYear = 2001;
           m.deathMonth = 2;
           m.deathDay = 3;
         });
       },
       {},
       {"祖", "  甲", "    丙", "    丁", "  乙", "    己"},
       {"丙 1950-7-8 married=0 address=洛阳 alive=0 died 2001-2-3"}},
      {"a newcomer named like a member of another family left out",
       [](COperationClanbook& b) {
         modeltest::Add(b, u"丙", u"己", 1980);
         modeltest::Add(b, u"丙", u"辛", 1981);
       },
       [](CMergeReviewDlg* d) {
         EXPECT_EQ(d->Review().Conflicts(), 1u);
         EXPECT_EQ(d->findChild<QTabWidget*>()->tabText(3), QStringLiteral("冲突（1）"));
       },
       {"祖", "  甲", "    丙", "      辛", "    丁", "  乙", "    己"},
       {"己 1952-1-1 married=0 address= alive=1"}},
  };
  QAbstractItemModelTester tester(window.treeModel(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_NO_FATAL_FAILURE(LoadBook());
    const QStringList before = ModelLines();
    WriteBranch(file, u"甲", row.edit);
    // Families the user opened stay open: the tree follows row by row.
    window.treeView()->ExpandAllInSteps();
    QSignalSpy resets(window.treeModel(), &QAbstractItemModel::modelReset);
    boxes.Clear();
    Merge(file, [&row](CMergeReviewDlg* review) {
      if (row.review) row.review(review);
      ClickButton(review, "idc_1");
    });
    EXPECT_TRUE(boxes.Boxes().empty());
    const QStringList after = ModelLines();
    EXPECT_EQ(ModelLines(false), row.tree);
    for (const QString& line : row.data) EXPECT_EQ(DataOf(line.section(u' ', 0, 0)), line);
    EXPECT_TRUE(window.document().IsModified());
    EXPECT_EQ(window.document().UndoStack()->count(), 1);
    EXPECT_EQ(window.MenuAction(ID_UNDO)->text(), QStringLiteral("撤销 合并支谱 甲"));

    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(TreeLines(), ModelLines(false));
      EXPECT_TRUE(
          window.treeView()->isExpanded(window.treeModel()->IndexOf(Find(QStringLiteral("乙")))));
      window.MenuAction(ID_UNDO)->trigger();
      EXPECT_EQ(ModelLines(), before);
      EXPECT_EQ(TreeLines(), ModelLines(false));
      EXPECT_FALSE(window.document().IsModified());
      EXPECT_EQ(window.MenuAction(ID_REDO)->text(), QStringLiteral("重做 合并支谱 甲"));
      window.MenuAction(ID_REDO)->trigger();
      EXPECT_EQ(ModelLines(), after);
    }
    EXPECT_EQ(TreeLines(), ModelLines(false));
    EXPECT_EQ(resets.count(), 0);
  }
}

}  // namespace
