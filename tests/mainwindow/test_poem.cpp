// The book's 字辈 in the real window: read with a .ftf from beside it,
// changed by the 家谱 menu's item as one step of the history, written beside
// a .ftf at its save, offered in the name of a new child, and its check's
// members shown in the tree.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CGenerationPoemDlg.h"
#include "search/GenerationPoem.h"
#include "test_edit_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include <sys/stat.h>

#include <filesystem>

namespace {

// 王祖 (第1世) has the sons 王永甲 and 王乙; 王永甲 has the son 王丙.
const QByteArray kClan =
    "王祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
    "王永甲 1920 3 4 1 北京 1 王祖\r\n"
    "王丙 1950 7 8 0 上海 1 王永甲\r\n"
    "王乙 1925 1 1 0 end 1 王祖\r\n";

class PoemTest : public EditFixture {
protected:
  void SetUp() override {
    EditFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    book = dir.filePath(QStringLiteral("clan.ftf"));
    poemFile = book + QStringLiteral(".zibei");
  }
  void Open(const QByteArray* poemText) {
    ASSERT_NO_FATAL_FAILURE(WriteFile(book, kClan + kEndLine));
    if (poemText) {
      ASSERT_NO_FATAL_FAILURE(WriteFile(poemFile, *poemText));
    }
    window.OpenAtStart(book);
    ASSERT_NE(window.document().Genealogy().Root(), nullptr);
  }
  const BookData& Book() { return window.document().Genealogy().Book(); }
  QAction* PoemCommand() const {
    return window.findChild<QAction*>(QStringLiteral("generationPoemCommand"));
  }
  // Opens the 字辈 dialog from its menu item; `answer` sees the boxes as they
  // came up and closes the dialog.
  void OpenPoemDialog(const std::function<void(CGenerationPoemDlg*)>& answer) {
    OnNextDialog<CGenerationPoemDlg>(answer);
    ASSERT_NE(PoemCommand(), nullptr);
    PoemCommand()->trigger();
  }
  static QString PoemBox(CGenerationPoemDlg* d) {
    return d->findChild<QLineEdit*>(QStringLiteral("poemEdit"))->text();
  }
  QByteArray PoemFileBytes() const {
    QFile file(poemFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
  }
  // The name the add dialog offers for a child of the selected member.
  QString OfferedName(const QString& father) {
    Select(father);
    QString offered;
    OnNextDialog<CAddInfoDlg>([&offered](CAddInfoDlg* d) {
      offered = d->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text();
      ClickButton(d, "idc_2");
    });
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    window.treeView()->setFocus();
    QTest::keyClick(window.treeView(), Qt::Key_Insert);
    return offered;
  }

  QTemporaryDir dir;
  QString book, poemFile;
};

TEST_F(PoemTest, OpenReadsThePoemBesideTheBookAndTheCommandChangesItAsOneStep) {
  const QByteArray poem = "2\n永昌\n";
  ASSERT_NO_FATAL_FAILURE(Open(&poem));
  EXPECT_EQ(PoemCommand()->text(), QStringLiteral("字辈…"));
  // Read into the book's data as the book's own: no step, nothing to save.
  EXPECT_EQ(Book().generationPoem, u"永昌");
  EXPECT_EQ(Book().poemFirstGeneration, 2);
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_EQ(window.document().UndoStack()->count(), 0);
  // 王永甲's son is of 第3世, whose character is 昌.
  EXPECT_EQ(OfferedName(QStringLiteral("王永甲")), QStringLiteral("王昌"));
  EXPECT_EQ(OfferedName(QStringLiteral("王丙")), QStringLiteral("王"));  // beyond the poem

  QString shown;
  int first = 0;
  OpenPoemDialog([&](CGenerationPoemDlg* d) {
    shown = PoemBox(d);
    first = d->findChild<QSpinBox*>(QStringLiteral("firstGenerationSpin"))->value();
    TypeInto(d, "poemEdit", QStringLiteral("永昌，盛"));
    ClickButton(d, "idc_1");
  });
  EXPECT_EQ(shown, QStringLiteral("永昌"));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(Book().generationPoem, u"永昌，盛");
  EXPECT_TRUE(window.document().IsModified());
  EXPECT_EQ(window.document().UndoStack()->undoText(), QStringLiteral("更改谱书的 字辈"));
  EXPECT_EQ(PoemFileBytes(), poem) << "written at the save, not before";
  EXPECT_EQ(OfferedName(QStringLiteral("王丙")), QStringLiteral("王盛"));

  Trigger(window, ID_SAVE);
  EXPECT_EQ(PoemFileBytes(), QByteArray("2\n永昌，盛\n"));
  window.MenuAction(ID_UNDO)->trigger();
  EXPECT_EQ(Book().generationPoem, u"永昌");
  EXPECT_EQ(OfferedName(QStringLiteral("王丙")), QStringLiteral("王"));
  Trigger(window, ID_SAVE);
  EXPECT_EQ(PoemFileBytes(), poem);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PoemTest, AMalformedFileIsReportedAtOpenAndLeftAloneUnlessTheUserGivesAPoem) {
  const QByteArray malformed = "2\n永x昌\n";
  const struct {
    const char* label;
    const char* typed;  // none: OK as the dialog came up
    QByteArray file;
  } rows[] = {{"OK unchanged", nullptr, malformed}, {"a poem typed", "永昌", "1\n永昌\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    boxes.Clear();
    ASSERT_NO_FATAL_FAILURE(Open(&malformed));
    ASSERT_EQ(NoticeTexts().size(), 1);
    EXPECT_TRUE(NoticeTexts()[0].startsWith(QStringLiteral("字辈文件")));
    EXPECT_TRUE(NoticeTexts()[0].contains(QStringLiteral("clan.ftf.zibei")));
    EXPECT_TRUE(Book().Empty());
    EXPECT_EQ(OfferedName(QStringLiteral("王永甲")), QString());  // no poem, no offer
    boxes.Clear();
    QString shown = QStringLiteral("(not shown)");
    OpenPoemDialog([&](CGenerationPoemDlg* d) {
      shown = PoemBox(d);
      if (row.typed) TypeInto(d, "poemEdit", QString::fromUtf8(row.typed));
      ClickButton(d, "idc_1");
    });
    EXPECT_EQ(shown, QString());
    window.document().SetModified(true);
    Trigger(window, ID_SAVE);
    EXPECT_FALSE(window.document().IsModified());
    EXPECT_EQ(PoemFileBytes(), row.file);
    EXPECT_TRUE(boxes.Boxes().empty());
  }
}

// A .cbk keeps its own 字辈 and reads none beside it; its Save As .ftf,
// though the poem is all it holds beyond the ten fields, asks nothing, since
// the poem file beside the .ftf keeps it.
TEST_F(PoemTest, ABookFileKeepsItsOwnPoemAndGoesToAFtfWithItUnasked) {
  const QByteArray poem = "2\n永昌\n";
  ASSERT_NO_FATAL_FAILURE(Open(&poem));
  const QString cbk = dir.filePath(QStringLiteral("clan.cbk"));
  const QString ftf = dir.filePath(QStringLiteral("again.ftf"));
  for (const QString& name : {cbk, ftf}) {
    OnNextDialog<CFileOpenAndSaveDlg>([name](CFileOpenAndSaveDlg* d) {
      TypeInto(d, "fileNameEdit", name);
      ClickButton(d, "idc_1");
    });
    Trigger(window, ID_SAVE_AS);
    EXPECT_FALSE(window.document().IsModified()) << name.toStdString();
    if (name == cbk) {
      EXPECT_FALSE(QFile::exists(cbk + QStringLiteral(".zibei")));
      ASSERT_NO_FATAL_FAILURE(WriteFile(cbk + QStringLiteral(".zibei"), "1\n文\n"));
      window.OpenAtStart(book);  // lets go of the .cbk
      window.OpenAtStart(cbk);
      EXPECT_EQ(Book().generationPoem, u"永昌");
      EXPECT_EQ(Book().poemFirstGeneration, 2);
    }
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  QFile written(ftf + QStringLiteral(".zibei"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), poem);
}

// A poem file that is no regular file of a poem's size neither stops the book
// from opening nor holds the window: the book opens without a poem and the
// window says why, and a save leaves the thing in the poem file's place alone.
TEST_F(PoemTest, ABookOpensWhateverIsInThePoemFilesPlace) {
  const struct Row {
    const char* label;
    std::function<void(const QString&)> make;  // puts it in the poem file's place
    QString why;
  } rows[] = {
      {"a folder", [](const QString& file) { ASSERT_TRUE(QDir().mkdir(file)); },
       QStringLiteral("这是一个文件夹，不是文件。")},
      {"a link to /dev/zero",
       [](const QString& file) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), file)); },
       QStringLiteral("这不是普通文件，而是管道、设备之类，不能当作字辈文件读取。")},
      {"a pipe nobody writes",
       [](const QString& file) {
         ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
       },
       QStringLiteral("这不是普通文件，而是管道、设备之类，不能当作字辈文件读取。")},
      {"a megabyte of line feeds",
       [](const QString& file) {
         QFile big(file);
         ASSERT_TRUE(big.open(QIODevice::WriteOnly));
         ASSERT_EQ(big.write(QByteArray(1 << 20, '\n')), 1 << 20);
       },
       QStringLiteral("文件大于 64 KB，字辈文件不会这么大。")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    QDir(poemFile).removeRecursively();
    QFile::remove(poemFile);
    ASSERT_NO_FATAL_FAILURE(row.make(poemFile));
    const QFileInfo before(poemFile);
    boxes.Clear();
    ASSERT_NO_FATAL_FAILURE(Open(nullptr));
    EXPECT_EQ(NoticeTexts(), QStringList{QStringLiteral("字辈文件%1读不出来：%2")
                                             .arg(QDir::toNativeSeparators(poemFile), row.why)});
    EXPECT_EQ(OfferedName(QStringLiteral("王永甲")), QString());  // no poem, no offer

    boxes.Clear();
    window.document().SetModified(true);
    Trigger(window, ID_SAVE);
    EXPECT_FALSE(window.document().IsModified());
    EXPECT_TRUE(boxes.Boxes().empty());
    const QFileInfo after(poemFile);
    EXPECT_EQ(after.isDir(), before.isDir());
    EXPECT_EQ(after.isSymLink(), before.isSymLink());
    EXPECT_EQ(after.size(), before.size());
  }
}

TEST_F(PoemTest, ANewBookKeepsItsPoemUntilItsFirstSave) {
  ASSERT_NO_FATAL_FAILURE(Open(nullptr));
  // New asks nothing of an unmodified book, then offers the root's dialog.
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("李祖"));
    TypeInto(d, "birthYearEdit", QStringLiteral("1900"));
    TypeInto(d, "birthMonthEdit", QStringLiteral("1"));
    TypeInto(d, "birthDayEdit", QStringLiteral("1"));
    ClickButton(d, "idc_1");
  });
  boxes.QueueAnswer(true);  // close the open book
  boxes.QueueAnswer(true);  // the new member is the root
  Trigger(window, ID_NEW);
  ASSERT_NE(Find(QStringLiteral("李祖")), nullptr);
  OpenPoemDialog([](CGenerationPoemDlg* d) {
    EXPECT_EQ(PoemBox(d), QString());
    TypeInto(d, "poemEdit", QStringLiteral("文"));
    d->findChild<QSpinBox*>(QStringLiteral("firstGenerationSpin"))->setValue(2);
    ClickButton(d, "idc_1");
  });
  EXPECT_EQ(OfferedName(QStringLiteral("李祖")), QStringLiteral("李文"));

  const QString saved = dir.filePath(QStringLiteral("new.ftf"));
  OnNextDialog<CFileOpenAndSaveDlg>([saved](CFileOpenAndSaveDlg* d) {
    TypeInto(d, "fileNameEdit", saved);
    ClickButton(d, "idc_1");
  });
  Trigger(window, ID_SAVE);
  QFile written(saved + QStringLiteral(".zibei"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), QByteArray("2\n文\n"));
  // The book opened before keeps no poem of the new one.
  EXPECT_FALSE(QFile::exists(poemFile));
}

TEST_F(PoemTest, AMemberPickedFromTheCheckIsSelectedInTheTree) {
  const QByteArray poem = "2\n永昌\n";
  ASSERT_NO_FATAL_FAILURE(Open(&poem));
  window.treeView()->collapseAll();
  OpenPoemDialog([this](CGenerationPoemDlg* d) {
    ClickButton(d, "checkButton");
    auto* list = d->findChild<QListView*>(QStringLiteral("lackingList"));
    // In pre-order: 王丙 (第3世) lacks 昌, then 王乙 (第2世) lacks 永.
    ASSERT_EQ(list->model()->rowCount(), 2);
    list->setCurrentIndex(list->model()->index(1, 0));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(window.SelectedMember(), Find(QStringLiteral("王乙")));
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    const MemberNode* son = Find(QStringLiteral("王丙"));
    EXPECT_EQ(window.SelectedMember(), son);
    EXPECT_TRUE(window.treeView()->isExpanded(window.treeModel()->IndexOf(son->parent)));
    ClickButton(d, "idc_2");
  });
}

}  // namespace
