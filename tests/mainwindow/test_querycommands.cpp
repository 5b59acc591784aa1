// Query commands of the main window, driven through their real dialogs on
// genealogies opened from real files.
#include "MainWindowTestSupport.h"
#include "dialogs/CBirthdayDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"

#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

// R has the sons F (elder) and G; F has A, G has H. A and H were born on 29 February.
const QByteArray kFamily =
    "R 1900 1 1 1 end 1 -1\r\n"
    "F 1930 5 5 1 end 1 R\r\n"
    "A 1960 2 29 0 end 1 F\r\n"
    "G 1935 3 3 0 end 1 R\r\n"
    "H 1964 2 29 0 end 1 G\r\n" +
    kEndLine;

const QString kBeyond = QStringLiteral("你输入的数字超出了家谱中的最大代，家谱还没续到此代!");
const QString kNotPositive = QStringLiteral("输入的数必须大于0!");
const QString kSorted = QStringLiteral("排序后结果请见下部列表。");

class QueryCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetTodayForTesting(LocalDate{2024, 7, 7});  // nobody's birthday
    window = std::make_unique<CClanbookDlg>();
    window->Create();
    // What the list showed when each box came up: the order of message and rows.
    boxes.onBox = [this](const RecordedBox&) {
      rowsAtBox << ListNamesOf(window->listView()).join(',');
    };
  }
  void TearDown() override {
    SetTodayForTesting(std::nullopt);
    EXPECT_EQ(PendingModalHandlers(), 0);
  }
  void Load(const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("book.ftf"));
    ASSERT_NO_FATAL_FAILURE(WriteFile(path, bytes));
    window->OpenAtStart(path);
    ASSERT_NE(window->document().Genealogy().GetRootLink(), nullptr);
    boxes.Clear();
    rowsAtBox.clear();
  }
  QStringList Texts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }
  QStringList Rows() const { return ListNamesOf(window->listView()); }
  void Reset(const QString& row = QStringLiteral("old")) {
    boxes.Clear();
    rowsAtBox.clear();
    window->ClearList();
    if (!row.isEmpty()) window->AddNoteRow(row);
  }

  void LookUp(const QString& name) {
    OnNextDialog<CPersonalInfoDlg>([name](CPersonalInfoDlg* d) {
      TypeInto(d, "nameEdit", name);
      ClickButton(d, "idc_1");
    });
    window->RunCommand(ID_PERSONAL_INFO);
  }
  void Generation(const QString& number) {
    OnNextDialog<CSearchGenerationDlg>([number](CSearchGenerationDlg* d) {
      TypeInto(d, "generationEdit", number);
      ClickButton(d, "idc_1");
    });
    window->RunCommand(ID_GENERATION);
  }
  void Relation(const QString& first, const QString& second) {
    OnNextDialog<CRelationsDlg>([first, second](CRelationsDlg* d) {
      TypeInto(d, "firstNameEdit", first);
      TypeInto(d, "secondNameEdit", second);
      ClickButton(d, "idc_1");
    });
    window->RunCommand(ID_RELATIONS);
  }
  void Birthday(const QString& month, const QString& day) {
    OnNextDialog<CBirthdayDlg>([month, day](CBirthdayDlg* d) {
      TypeInto(d, "birthMonthEdit", month);
      TypeInto(d, "birthDayEdit", day);
      ClickButton(d, "idc_1");
    });
    window->RunCommand(ID_FIND_BIRTHDAY);
  }

  MessageBoxRecorder boxes;
  QStringList rowsAtBox;
  QTemporaryDir dir;
  std::unique_ptr<CClanbookDlg> window;
};

TEST_F(QueryCommandsTest, LookUpShowsTheMemberItsFatherAndEldestChildAfterTheMessage) {
  Load(kFamily);
  Reset();
  LookUp(QStringLiteral("R"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("R的信息请见下部列表.")});
  EXPECT_EQ(rowsAtBox, QStringList{"old"});
  EXPECT_EQ(Rows(), (QStringList{"R", "  ", QStringLiteral("R的长子:"), "F"}));
  // A note row carries its text in the first column only.
  const QAbstractItemModel* model = window->listView()->model();
  for (int column = 1; column < model->columnCount(); ++column)
    EXPECT_TRUE(model->index(2, column).data().toString().isEmpty());

  Reset();
  LookUp(QStringLiteral("F"));
  EXPECT_EQ(Rows(), (QStringList{"F", "  ", QStringLiteral("F的父亲:"), "R", "  ",
                                 QStringLiteral("F的长子:"), "A"}));
  Reset();
  LookUp(QStringLiteral("H"));
  EXPECT_EQ(Rows(), (QStringList{"H", "  ", QStringLiteral("H的父亲:"), "G"}));

  Reset();
  LookUp(QStringLiteral("r"));  // names are case-sensitive
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("没找到此人!")});
  EXPECT_EQ(Rows(), QStringList{"old"});
}

TEST_F(QueryCommandsTest, LookUpOfALoneMemberListsItsRowAlone) {
  Load("独 1950 1 1 0 北京 1 -1\r\n" + kEndLine);
  Reset();
  LookUp(QStringLiteral("独"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("独的信息请见下部列表.")});
  EXPECT_EQ(Rows(), QStringList{QStringLiteral("独")});
}

TEST_F(QueryCommandsTest, GenerationListsItsMembersThenSpeaks) {
  Load(kFamily);
  Reset();
  Generation(QStringLiteral("1"));
  EXPECT_EQ(Rows(), QStringList{"R"});
  Reset();
  Generation(QStringLiteral("3"));
  EXPECT_EQ(Rows(), (QStringList{"A", "H"}));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("该代所有成员的信息请见下部列表.")});
  EXPECT_EQ(rowsAtBox, QStringList{"A,H"});

  Reset();
  Generation(QStringLiteral("4"));
  EXPECT_EQ(Texts(), QStringList{kBeyond});
  EXPECT_TRUE(Rows().isEmpty());

  for (const QString& number : {QStringLiteral("0"), QStringLiteral("-3")}) {
    Reset();
    Generation(number);
    EXPECT_EQ(Texts(), QStringList{kNotPositive});
    EXPECT_EQ(Rows(), QStringList{"old"});
  }
}

TEST_F(QueryCommandsTest, RelationShowsBothLinesAndTheSentence) {
  Load(kFamily);
  Reset();
  Relation(QStringLiteral("A"), QStringLiteral("G"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("A在家谱中的位置: A->F->R\n"
                                                "G在家谱中的位置: G -> R\n\n"
                                                "A在第3代，G在第2代，A是G的晚辈.\n\n"
                                                "A 称 G 为 叔叔\n"
                                                "G 称 A 为 侄子")});
  EXPECT_EQ(Rows(), QStringList{"old"});  // the list is not touched

  Reset();
  Relation(QStringLiteral("R"), QStringLiteral("H"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("R在家谱中的位置: R\n"
                                                "H在家谱中的位置: H -> G -> R\n\n"
                                                "R在第1代，H在第3代，R是H的长辈.\n\n"
                                                "R 称 H 为 孙子\n"
                                                "H 称 R 为 祖父")});
  Reset();
  Relation(QStringLiteral("H"), QStringLiteral("R"));
  EXPECT_TRUE(Texts().value(0).contains(QStringLiteral("H在第3代，R在第1代，H是R的晚辈.\n\n")));

  Reset();
  Relation(QStringLiteral("A"), QStringLiteral("A"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("A在家谱中的位置: A->F->R\n"
                                                "A在家谱中的位置: A -> F -> R\n\n"
                                                "A与A同在第3代.\n\n"
                                                "A 称 A 为 本人\n"
                                                "A 称 A 为 本人")});
}

TEST_F(QueryCommandsTest, RelationNamesTheMissingMember) {
  Load(kFamily);
  Reset();
  Relation(QStringLiteral("Z"), QStringLiteral("Y"));
  Relation(QStringLiteral("A"), QStringLiteral("Y"));
  Relation(QStringLiteral("Z"), QStringLiteral("A"));
  EXPECT_EQ(Texts(),
            (QStringList{QStringLiteral("本家谱中找不到Z!"), QStringLiteral("本家谱中找不到Y!"),
                         QStringLiteral("本家谱中找不到Z!")}));
  EXPECT_EQ(Rows(), QStringList{"old"});
}

TEST_F(QueryCommandsTest, SortOrdersByBirthWithSameDayMembersInTheSortsOwnOrder) {
  // Pre-order R, X, A, C, Y, B; A and C share a birthday and keep the file's
  // order among the siblings. The sort is not stable: C ends ahead of A.
  Load(
      "R 1900 1 1 0 end 1 -1\r\n"
      "X 1950 1 1 0 end 1 R\r\n"
      "A 1990 1 1 0 end 1 X\r\n"
      "C 1990 1 1 0 end 1 X\r\n"
      "Y 1960 1 1 0 end 1 R\r\n"
      "B 1980 1 1 0 end 1 Y\r\n" +
      kEndLine);
  Reset();
  window->RunCommand(ID_SORT_BY_BIRTH);
  EXPECT_EQ(Rows(), (QStringList{"R", "X", "Y", "B", "C", "A"}));
  EXPECT_EQ(Texts(), QStringList{kSorted});
  EXPECT_EQ(rowsAtBox, QStringList{"R,X,Y,B,C,A"});
}

TEST_F(QueryCommandsTest, BirthdaySearchNamesEveryMatchThenLists) {
  Load(kFamily);
  Reset();
  Birthday(QStringLiteral("2"), QStringLiteral("29"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Information);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("查找结果："));
  EXPECT_EQ(boxes.Boxes()[0].text,
            QStringLiteral("该天为以下家族成员的生日:  A    H  \n详细信息请见以下列表."));
  EXPECT_EQ(rowsAtBox, QStringList{"old"});
  EXPECT_EQ(Rows(), (QStringList{"A", "H"}));

  Reset();
  Birthday(QStringLiteral("13"), QStringLiteral("1"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("没有找到生日为该天的家族成员!")});
  EXPECT_TRUE(Rows().isEmpty());
}

TEST_F(QueryCommandsTest, BirthdaySearchKeepsEveryMatchBeyondTwentyNine) {
  QByteArray file = "P0 1900 3 15 0 end 1 -1\r\n";
  QString expected = QStringLiteral("该天为以下家族成员的生日:  P0  ");
  QStringList rows{"P0"};
  for (int i = 1; i <= 40; ++i) {
    file +=
        "P" + QByteArray::number(i) + " " + QByteArray::number(1900 + i) + " 3 15 0 end 1 P0\r\n";
    expected += QStringLiteral("  P%1  ").arg(i);
    rows << QStringLiteral("P%1").arg(i);
  }
  Load(file + kEndLine);
  Reset();
  Birthday(QStringLiteral("3"), QStringLiteral("15"));
  EXPECT_EQ(Texts(), QStringList{expected + QStringLiteral("\n详细信息请见以下列表.")});
  EXPECT_EQ(Rows(), rows);
}

TEST_F(QueryCommandsTest, BeforeAnyGenealogyEveryQueryAnswersAsForAnEmptyOne) {
  LookUp(QStringLiteral("R"));
  Generation(QStringLiteral("1"));
  Relation(QStringLiteral("R"), QStringLiteral("R"));
  Birthday(QStringLiteral("1"), QStringLiteral("1"));
  window->RunCommand(ID_SORT_BY_BIRTH);
  EXPECT_EQ(Texts(),
            (QStringList{QStringLiteral("没找到此人!"), kBeyond, QStringLiteral("本家谱中找不到R!"),
                         QStringLiteral("没有找到生日为该天的家族成员!"), kSorted}));
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(QueryCommandsTest, NoQueryMarksTheGenealogyModifiedOrMovesTheSelection) {
  Load(kFamily);
  const QAbstractItemModel* tree = window->treeView()->model();
  const QModelIndex g = tree->index(1, 0, tree->index(0, 0));
  ASSERT_EQ(g.data().toString(), QStringLiteral("G"));
  window->treeView()->setCurrentIndex(g);
  const QModelIndexList selected = window->treeView()->selectionModel()->selectedIndexes();
  ASSERT_EQ(selected.size(), 1);

  LookUp(QStringLiteral("A"));
  Generation(QStringLiteral("2"));
  Relation(QStringLiteral("A"), QStringLiteral("H"));
  window->RunCommand(ID_SORT_BY_BIRTH);
  Birthday(QStringLiteral("2"), QStringLiteral("29"));
  EXPECT_EQ(boxes.Boxes().size(), 5u);
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_EQ(window->treeView()->currentIndex(), g);
  EXPECT_EQ(window->treeView()->selectionModel()->selectedIndexes(), selected);
}

}  // namespace
