// The chart commands of the real main window: the 世系图 and statistics
// windows opened from the menu and following edits, undo, Open and New;
// export, print and preview of the selected member's chart.
#include "charts/ChartExport.h"
#include "charts/ChartWindow.h"
#include "charts/PagodaChart.h"
#include "charts/Statistics.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "platform/Shell.h"
#include "test_edit_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <tuple>

namespace {

const QString kNothingToChart = QStringLiteral("家谱是空的，没有可画的世系图。");
const QString kNothingToCount = QStringLiteral("家谱是空的，没有可统计的成员。");

class ChartCommands : public EditFixture {
protected:
  void TearDown() override {
    SetFileDialogForTesting({});
    EditFixture::TearDown();
  }
  void Trigger(const char* name) {
    QAction* action = window.findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
  }
  const BuiltChart* Chart() const {
    return window.chartWindow() ? window.chartWindow()->chart() : nullptr;
  }
  // The members the chart holds; their pointers only, never followed.
  std::set<const MemberNode*> ChartMembers() const {
    std::set<const MemberNode*> members;
    if (!Chart()) return members;
    for (const PagodaNode& node :
         dynamic_cast<const PagodaChart&>(Chart()->Scene()).Layout().Nodes())
      members.insert(node.member);
    return members;
  }
  // What the tree view shows below `from` (none: all of it), `depth` generations deep.
  std::set<const MemberNode*> TreeMembers(const MemberNode* from = nullptr,
                                          int depth = 1000) const {
    std::set<const MemberNode*> members;
    const QAbstractItemModel* model = window.treeModel();
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& index, int left) {
      if (index.isValid()) members.insert(GenealogyTreeModel::MemberAt(index));
      if (left == 0) return;
      for (int row = 0; row < model->rowCount(index); ++row)
        walk(model->index(row, 0, index), left - 1);
    };
    walk(from ? window.treeModel()->IndexOf(from) : QModelIndex(), from ? depth - 1 : depth);
    return members;
  }
  // Between a change and its refresh the chart holds nothing that left the tree.
  void ExpectChartInTree() const {
    const std::set<const MemberNode*> tree = TreeMembers();
    for (const MemberNode* member : ChartMembers()) EXPECT_TRUE(tree.count(member));
  }
  // After the refresh: the start member's generations exactly as the tree shows them.
  void ExpectChartFollowsTree() {
    QCoreApplication::processEvents();
    ASSERT_NE(Chart(), nullptr);
    ASSERT_TRUE(TreeMembers().count(Chart()->Start()));
    EXPECT_EQ(ChartMembers(), TreeMembers(Chart()->Start(), Chart()->Options().generations));
    EXPECT_EQ(window.statisticsWindow()->view()->Statistics().members,
              static_cast<std::int64_t>(TreeMembers().size()));
  }
  void AddChildOf(const char* father, const char* name) {
    Select(QString::fromUtf8(father));
    OnNextDialog<CAddInfoDlg>([name](CAddInfoDlg* d) {
      TypeInto(d, "nameEdit", QString::fromUtf8(name));
      ClickButton(d, "idc_1");
    });
    window.RunCommand(ID_ADD_CHILD);
  }
};

TEST_F(ChartCommands, MenuItemsStandInTheirMenus) {
  const struct {
    const char* menu;
    const char* text;
    const char* name;
  } rows[] = {
      {"家谱", "世系图…", "idm_lineageChart"},        {"家谱", "统计信息…", "idm_statistics"},
      {"文件", "导出图表…", "idm_exportChart"},       {"文件", "打印…", "idm_printChart"},
      {"文件", "打印预览…", "idm_printPreviewChart"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QMenu* menu = nullptr;
    for (QAction* title : window.menuBar()->actions())
      if (title->text() == QString::fromUtf8(row.menu)) menu = title->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    const auto item = std::find_if(items.begin(), items.end(), [&](QAction* a) {
      return a->objectName() == QLatin1String(row.name);
    });
    ASSERT_NE(item, items.end());
    EXPECT_EQ((*item)->text(), QString::fromUtf8(row.text));
    if (menu->title() == QStringLiteral("文件")) {  // before 退出, which stays last
      EXPECT_LT(items.indexOf(*item), items.indexOf(window.MenuAction(ID_EXIT)));
    }
  }
}

TEST_F(ChartCommands, AnEmptyBookHasNothingToChart) {
  SetFileDialogForTesting([](const FileDialogRequest&) {
    ADD_FAILURE() << "a file dialog for an empty book";
    return QString();
  });
  for (const bool afterNew : {false, true}) {
    SCOPED_TRACE(afterNew ? "after New" : "at start");
    if (afterNew) {
      OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) { ClickButton(d, "idc_2"); });
      window.RunCommand(ID_NEW);
    }
    boxes.Clear();
    for (const char* name : {"idm_lineageChart", "idm_exportChart", "idm_printChart",
                             "idm_printPreviewChart", "idm_statistics"})
      Trigger(name);
    EXPECT_EQ(NoticeTexts(), (QStringList{kNothingToChart, kNothingToChart, kNothingToChart,
                                          kNothingToChart, kNothingToCount}));
    EXPECT_EQ(window.chartWindow(), nullptr);
    EXPECT_EQ(window.statisticsWindow(), nullptr);
  }
}

TEST_F(ChartCommands, ChartStartsFromTheSelectionAndIsReused) {
  // Two members named 丙: the chart is the selected one's.
  LoadRecords(
      "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n甲 1920 3 4 1 北京 1 祖\r\n丙 1950 7 8 0 上海 1 甲\r\n"
      "乙 1925 1 1 0 end 1 祖\r\n丙 1951 1 1 0 end 1 乙\r\n");
  MemberNode* otherBing = Find(QStringLiteral("乙"))->firstChild;
  ASSERT_NE(otherBing, Find(QStringLiteral("丙")));
  ChartWindow* first = nullptr;
  for (MemberNode* selected : {static_cast<MemberNode*>(nullptr), Find(QStringLiteral("甲")),
                               otherBing, Find(QStringLiteral("丙")), Find(QStringLiteral("祖"))}) {
    SCOPED_TRACE(selected ? QString::fromStdU16String(selected->name).toStdString() : "none");
    if (selected) Select(selected);
    Trigger("idm_lineageChart");
    ASSERT_NE(Chart(), nullptr);
    EXPECT_EQ(Chart()->Start(), selected ? selected : window.document().Genealogy().GetRootLink());
    EXPECT_EQ(Chart()->Options().generations, 5);
    EXPECT_TRUE(window.chartWindow()->isVisible());
    if (!first) first = window.chartWindow();
    EXPECT_EQ(window.chartWindow(), first);
  }
}

TEST_F(ChartCommands, ChartAndStatisticsFollowEditsUndoAndRedo) {
  LoadFamily();
  Trigger("idm_statistics");
  Trigger("idm_lineageChart");
  const struct {
    const char* what;
    std::function<void()> step;
  } steps[] = {
      {"add", [&] { AddChildOf("甲", "丁"); }},
      {"delete",
       [&] {
         Select(QStringLiteral("甲"));
         boxes.QueueAnswer(true);
         window.RunCommand(ID_DELETE_SELECTED);
       }},
      {"undo delete", [&] { window.MenuAction(ID_UNDO)->trigger(); }},
      {"undo add", [&] { window.MenuAction(ID_UNDO)->trigger(); }},
      {"redo add", [&] { window.MenuAction(ID_REDO)->trigger(); }},
      {"new root",
       [&] {
         OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) {
           TypeInto(d, "nameEdit", QStringLiteral("始"));
           TypeInto(d, "fatherNameEdit", QStringLiteral("-1"));
           TypeInto(d, "birthYearEdit", QStringLiteral("1880"));
           ClickButton(d, "idc_1");
         });
         boxes.QueueAnswer(true);
         window.RunCommand(ID_ADD_MEMBER);
       }},
      {"chart from the new root", [&] { Trigger("idm_lineageChart"); }},
      {"undo new root", [&] { window.MenuAction(ID_UNDO)->trigger(); }},
      // Adding after the undo drops the new root for good.
      {"add after undo", [&] { AddChildOf("乙", "戊"); }},
      {"chart from 甲",
       [&] {
         Select(QStringLiteral("甲"));
         Trigger("idm_lineageChart");
       }},
      {"rename 甲",
       [&] {
         Select(QStringLiteral("甲"));
         OnNextDialog<CModifyInfoDlg>([](CModifyInfoDlg* d) {
           TypeInto(d, "nameEdit", QStringLiteral("申"));
           ClickButton(d, "idc_1");
         });
         window.RunCommand(ID_CHANGE_DATA);
       }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.step();
    ExpectChartInTree();
    ExpectChartFollowsTree();
  }
  EXPECT_TRUE(TreeMembers().count(Find(QStringLiteral("戊"))));
  EXPECT_EQ(Chart()->Start(), Find(QStringLiteral("申")));
}

TEST_F(ChartCommands, ChartLetsGoOfTheBookAcrossOpenAndNew) {
  QTemporaryDir dir;
  const QString other = dir.filePath(QStringLiteral("other.ftf"));
  WriteFile(other, "林 1800 1 1 1 end 0 1870 1 1 -1\r\n森 1830 1 1 1 end 1 林\r\n" + kEndLine);
  LoadFamily();
  Select(QStringLiteral("甲"));
  Trigger("idm_statistics");
  Trigger("idm_lineageChart");
  window.chartWindow()->resize(600, 400);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.chartWindow()));

  OnNextDialog<CFileOpenAndSaveDlg>([&](CFileOpenAndSaveDlg* d) {
    TypeInto(d, "fileNameEdit", other);
    ClickButton(d, "idc_1");
  });
  window.RunCommand(ID_OPEN);
  // The old members are released: whatever paints now must not see them.
  EXPECT_EQ(Chart(), nullptr);
  window.chartWindow()->grab();
  ExpectChartFollowsTree();
  EXPECT_EQ(Chart()->Start(),
            window.document().Genealogy().GetRootLink());  // the new book from its root

  boxes.QueueAnswer(true);  // close the book for a new one
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    QCoreApplication::processEvents();
    window.chartWindow()->grab();
    EXPECT_EQ(Chart(), nullptr);
    ClickButton(d, "idc_2");
  });
  window.RunCommand(ID_NEW);
  EXPECT_EQ(window.statisticsWindow()->view()->Statistics().members, 0);
}

TEST_F(ChartCommands, ClickingABoxSelectsItsMemberInTheTree) {
  LoadFamily();
  Trigger("idm_lineageChart");
  ChartWindow* chartWindow = window.chartWindow();
  chartWindow->resize(900, 600);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(chartWindow));
  const PagodaLayout& layout = dynamic_cast<const PagodaChart&>(Chart()->Scene()).Layout();
  for (int node = static_cast<int>(layout.Nodes().size()) - 1; node >= 0; --node) {
    const MemberNode* member = layout.Nodes()[node].member;
    SCOPED_TRACE(QString::fromStdU16String(member->name).toStdString());
    const QPointF centre = layout.BoxRect(node).center();
    chartWindow->view()->ScrollTo(centre - QPointF(100, 100));
    QTest::mouseClick(chartWindow->view()->viewport(), Qt::LeftButton, {},
                      chartWindow->view()->ToViewport(centre).toPoint());
    EXPECT_EQ(window.SelectedMember(), member);
    EXPECT_EQ(ListNamesOf(window.listView()), QStringList{QString::fromStdU16String(member->name)});
  }
}

TEST_F(ChartCommands, ExportWritesTheChartOfTheSelectedMember) {
  LoadFamily();
  Select(QStringLiteral("甲"));
  QTemporaryDir dir;
  const struct {
    QString answer;  // what the file dialog returns
    QString written;
    QString notice;
  } rows[] = {
      {dir.filePath("chart"), dir.filePath("chart.pdf"), {}},
      {dir.filePath("chart.svg"), dir.filePath("chart.svg"), {}},
      {{}, {}, {}},
      {dir.filePath("missing/chart.pdf"), {}, QStringLiteral("无法写入文件“%1”。")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.answer.toStdString());
    boxes.Clear();
    SetFileDialogForTesting([&](const FileDialogRequest& request) {
      EXPECT_FALSE(request.open);
      return row.answer;
    });
    Trigger("idm_exportChart");
    EXPECT_EQ(NoticeTexts(),
              row.notice.isEmpty() ? QStringList() : QStringList{row.notice.arg(row.answer)});
    if (row.written.isEmpty()) continue;
    QFile file(row.written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (row.written.endsWith(".pdf"))
      EXPECT_TRUE(bytes.startsWith("%PDF-"));
    else  // the text of 甲's line, not his brother's
      EXPECT_EQ(std::make_tuple(bytes.contains("甲"), bytes.contains("丙"), bytes.contains("乙")),
                std::make_tuple(true, true, false));
  }
}

// A chart never takes the place of the open book, under any of its names,
// nor of something that is no file; the chart window's own export and the
// statistics picture refuse the book alike.
TEST_F(ChartCommands, ExportNeverReplacesTheBookOrWhatIsNoFile) {
  LoadFamily();
  QTemporaryDir dir;
  const QString book = dir.filePath("clan.ftf");
  ASSERT_EQ(window.document().Save(book), kFileOk);
  window.document().SetFileName(book);
  QFile original(book);
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray bookBytes = original.readAll();
  const QByteArray bookPath = QFile::encodeName(book);
  ASSERT_EQ(::symlink(bookPath.constData(), QFile::encodeName(dir.filePath("linked.pdf"))), 0);
  ASSERT_EQ(::link(bookPath.constData(), QFile::encodeName(dir.filePath("hard.svg"))), 0);
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.pdf")).constData(), 0600), 0);
  const QString isBook = QStringLiteral("%1 是正在编辑的家谱文件，导出的内容不能保存到它里面!");
  const struct {
    const char* label;
    const char* command;  // in the main window, the chart window or the statistics window
    QString answer;
    QString notice;
  } rows[] = {
      {"a link to the book", "idm_exportChart", dir.filePath("linked.pdf"),
       isBook.arg(dir.filePath("linked.pdf"))},
      {"a hard link to the book", "idm_exportChart", dir.filePath("hard.svg"),
       isBook.arg(dir.filePath("hard.svg"))},
      {"a named pipe", "idm_exportChart", dir.filePath("pipe.pdf"),
       QStringLiteral("无法写入文件“%1”：它不是普通文件（而是设备、管道或套接字）。")
           .arg(dir.filePath("pipe.pdf"))},
      {"the chart window's export", "actionExportChart", dir.filePath("hard.svg"),
       isBook.arg(dir.filePath("hard.svg"))},
      {"the statistics picture", "actionExportStatistics", dir.filePath("hard.svg"),
       isBook.arg(dir.filePath("hard.svg"))},
  };
  Trigger("idm_lineageChart");
  Trigger("idm_statistics");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    boxes.Clear();
    SetFileDialogForTesting([&](const FileDialogRequest&) { return row.answer; });
    QAction* action = window.findChild<QAction*>(QLatin1String(row.command));
    if (!action && window.chartWindow())
      action = window.chartWindow()->findChild<QAction*>(QLatin1String(row.command));
    if (!action && window.statisticsWindow())
      action = window.statisticsWindow()->findChild<QAction*>(QLatin1String(row.command));
    ASSERT_NE(action, nullptr) << row.command;
    action->trigger();
    EXPECT_EQ(NoticeTexts(), QStringList{row.notice});
    QFile again(book);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bookBytes);
  }
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(dir.filePath("pipe.pdf")).constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(ChartCommands, PrintAndPreviewPageTheSelectedMembersChart) {
  LoadFamily();
  Select(QStringLiteral("甲"));
  ChartOptions options;
  options.from = Find(QStringLiteral("甲"));
  const std::unique_ptr<BuiltChart> expected =
      BuiltChart::Build(window.document().Genealogy(), options, nullptr);
  ASSERT_NE(expected, nullptr);

  OnNextDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
    auto* preview = d->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    preview->updatePreview();
    EXPECT_EQ(preview->pageCount(), expected->Pages().PageCount());
    EXPECT_EQ(preview->orientation(), expected->Pages().PageOrientation());
    d->reject();
  });
  Trigger("idm_printPreviewChart");

  QTemporaryDir dir;
  const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
  OnNextDialog<QPrintDialog>([&](QPrintDialog* d) {
    // No printer here: once the dialog has set the printer up, it prints to a file.
    QObject::connect(d, qOverload<QPrinter*>(&QPrintDialog::accepted), [&](QPrinter* printer) {
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(printed);
    });
    d->accept();
  });
  Trigger("idm_printChart");
  QFile file(printed);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
}

}  // namespace
