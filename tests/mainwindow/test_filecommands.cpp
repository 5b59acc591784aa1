// File commands of the main window on real files: New, Open, Save, Save As,
// Exit and every way of closing the window, with the save prompt between them.
#include "MainWindowTestSupport.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "mainwindow/LongWork.h"
#include "mainwindow/RecentFiles.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

const QByteArray kSample =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "end 1999 12 2 1 end 1 end";
const QStringList kSampleNames = {"Alder", "Birch", "Cedar"};

const QString kModifiedQuestion = QStringLiteral("该家谱已被修改，你想保存吗?");
const QString kNewQuestion = QStringLiteral("在建立新家谱前,将关闭现有的家谱文件,您确定吗?");
const QString kCannotSave = QStringLiteral("文件无法保存!");
const QString kEmptyName = QStringLiteral("文件名不能为空!");
const QString kRootQuestion = QStringLiteral("确实要置此结点为根结点吗？");
const QString kNothingToSave = QStringLiteral("家谱是空的，没有可保存的内容!");

// Answers the next file-name dialog; checks that it asks in the expected mode.
void AnswerName(bool open, const QString& name) {
  OnNextDialog<CFileOpenAndSaveDlg>([open, name](CFileOpenAndSaveDlg* dialog) {
    EXPECT_EQ(dialog->m_isOpen, open);
    TypeInto(dialog, "fileNameEdit", name);
    ClickButton(dialog, "idc_1");
  });
}

void CancelName(bool open) {
  OnNextDialog<CFileOpenAndSaveDlg>([open](CFileOpenAndSaveDlg* dialog) {
    EXPECT_EQ(dialog->m_isOpen, open);
    ClickButton(dialog, "idc_2");
  });
}

// While it lives, any modal dialog that comes up is a failure; it is closed so
// the test goes on.
class NoDialogExpected {
public:
  NoDialogExpected() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      // The wait for long work holds the input while a slow machine saves;
      // it asks nothing.
      if (modal && modal->objectName() != QLatin1String("fileProgress")) {
        m_seen << QString::fromLatin1(modal->metaObject()->className());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      }
    });
    m_timer.start(10);
  }
  ~NoDialogExpected() { EXPECT_TRUE(m_seen.isEmpty()) << m_seen.join(", ").toStdString(); }

private:
  QTimer m_timer;
  QStringList m_seen;
};

// Writes to files fail beyond `bytes` while it lives (EFBIG instead of a signal).
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }

private:
  rlimit m_old{};
  void (*m_oldHandler)(int) = nullptr;
};

class FileCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // The settings of the tests, never the user's.
    ASSERT_TRUE(clanbook_settings::Open()->fileName().startsWith(QDir::tempPath()));
    clanbook_settings::Open()->clear();
    SetTodayForTesting(LocalDate{2024, 6, 15});
    NewWindow();
    Write("sample.ftf", kSample);
  }
  void TearDown() override {
    SetLongWorkDelayForTesting(-1);
    SetLongWorkHookForTesting({});
    SetTodayForTesting(std::nullopt);
    EXPECT_EQ(PendingModalHandlers(), 0);
    EXPECT_EQ(boxes.unansweredQuestions, 0);
  }

  void NewWindow() {
    window = std::make_unique<CClanbookDlg>();
    window->Create();
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) { WriteFile(Path(name), bytes); }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  QStringList Texts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }
  // The tree view's labels in pre-order, without indent.
  QStringList TreeLabels() const { return TreeLinesOf(window->treeView(), 0); }
  bool MemberButtonsEnabled() const { return window->button(ID_ADD_CHILD)->isEnabled(); }
  bool Has(const char16_t* name) const { return FindMember(*window, name) != nullptr; }
  void Open(const QString& path) {
    AnswerName(true, path);
    window->RunCommand(ID_OPEN);
  }
  // Runs New on a window with nothing to save and enters a root named `root`.
  void NewWithRoot(const QString& root) {
    OnNextDialog<CAddInfoDlg>([root](CAddInfoDlg* dialog) {
      TypeInto(dialog, "nameEdit", root);
      ClickButton(dialog, "idc_1");
      if (dialog->isVisible()) {  // refused: the test must not hang on it
        ADD_FAILURE() << "the root was refused";
        ClickButton(dialog, "idc_2");
      }
    });
    boxes.QueueAnswer(true);  // the add dialog's question: make it the root
    window->RunCommand(ID_NEW);
  }

  MessageBoxRecorder boxes;
  QTemporaryDir dir;
  std::unique_ptr<CClanbookDlg> window;
};

TEST_F(FileCommandsTest, OpenShowsTheGenealogyAndTodaysBirthdays) {
  SetTodayForTesting(LocalDate{2024, 12, 24});
  window->AddNoteRow(QStringLiteral("old row"));
  Open(Path("sample.ftf"));
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(MemberButtonsEnabled());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("注意："));
  EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"Cedar"});
}

TEST_F(FileCommandsTest, EachFailedOpenIsReportedAndChangesNothing) {
  Write("date.ftf", "Oak 1990 2 30 0 end 1 -1\r\n" + kEndLine);
  Write("father.ftf", "Oak 1900 1 1 0 end 1 -1\r\nElm 1950 1 1 0 end 1 Nobody\r\n" + kEndLine);
  Write("noroot.ftf", kEndLine);
  Open(Path("sample.ftf"));
  struct Case {
    QString file;
    QString message;
  };
  const Case cases[] = {
      {"date.ftf", QStringLiteral("家谱日期数据不合实际!")},
      {"father.ftf", QStringLiteral("家谱成员关系有误!")},
      {"missing.ftf", QStringLiteral("文件无法打开!")},
      {"noroot.ftf", QStringLiteral("家谱没有根结点!")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    window->ClearList();
    window->AddNoteRow(QStringLiteral("kept"));
    window->document().SetModified(false);
    boxes.Clear();
    Open(Path(c.file));
    EXPECT_EQ(Texts(), QStringList{c.message});
    EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
    EXPECT_TRUE(Has(u"Birch"));
    EXPECT_EQ(TreeLabels(), kSampleNames);
    EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"kept"});
    EXPECT_TRUE(MemberButtonsEnabled());
    EXPECT_FALSE(window->document().IsModified());
  }
  // The names still shown are still there: selecting one shows its row.
  boxes.Clear();
  const QModelIndex alder = window->treeView()->model()->index(0, 0);
  window->treeView()->setCurrentIndex(alder);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"Alder"});
}

TEST_F(FileCommandsTest, FailedOpenBeforeAnyGenealogyLeavesTheWindowEmpty) {
  Open(Path("missing.ftf"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("文件无法打开!")});
  EXPECT_TRUE(window->document().FileName().isEmpty());
  EXPECT_TRUE(TreeLabels().isEmpty());
  EXPECT_FALSE(MemberButtonsEnabled());
}

TEST_F(FileCommandsTest, OpenWithCancelledOrEmptyNameChangesNothing) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  boxes.QueueAnswer(false);
  CancelName(true);
  window->RunCommand(ID_OPEN);
  boxes.QueueAnswer(false);
  AnswerName(true, QString());
  window->RunCommand(ID_OPEN);
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kModifiedQuestion, kEmptyName}));
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  // The changes are still unsaved: a later exit must still offer to save them.
  EXPECT_TRUE(window->document().IsModified());
}

TEST_F(FileCommandsTest, NoToTheSavePromptOfOpenStillOpens) {
  Write("other.ftf", "Oak 1950 1 1 0 北京 1 -1\r\n" + kEndLine);
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  boxes.QueueAnswer(false);
  Open(Path("other.ftf"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Question);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("家谱管理系统"));
  EXPECT_EQ(boxes.Boxes()[0].text, kModifiedQuestion);
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
}

TEST_F(FileCommandsTest, YesWithoutAWriteStopsOpen) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  boxes.QueueAnswer(true);
  CancelName(false);  // the save name; no open name is asked for afterwards
  {
    NoDialogExpected none;
    window->RunCommand(ID_OPEN);
  }
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(TreeLabels(), kSampleNames);
}

TEST_F(FileCommandsTest, YesWithAnEmptyNameStopsNewAndOpen) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  boxes.Clear();
  boxes.QueueAnswer(true);  // start anew
  boxes.QueueAnswer(true);  // save the changes
  AnswerName(false, QString());
  {
    NoDialogExpected none;  // no add dialog: New stopped
    window->RunCommand(ID_NEW);
  }
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kModifiedQuestion, kEmptyName}));

  boxes.Clear();
  boxes.QueueAnswer(true);
  AnswerName(false, QString());
  {
    NoDialogExpected none;  // no name asked for the file to open
    window->RunCommand(ID_OPEN);
  }
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kEmptyName}));
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(Has(u"Cedar"));
}

TEST_F(FileCommandsTest, OpenThenSaveWritesTheOpenedFileWithoutAsking) {
  Open(Path("sample.ftf"));
  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  window->document().SetModified(true);
  {
    NoDialogExpected none;
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_TRUE(boxes.Boxes().empty());
}

// An empty genealogy has nothing a file could keep: neither Save nor Save As
// asks for a name or writes anything, whatever file was open; they say so.
TEST_F(FileCommandsTest, SaveOnAnEmptyGenealogyDoesNothing) {
  window->document().SetModified(true);
  {
    NoDialogExpected none;
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Texts(), QStringList{kNothingToSave});
  EXPECT_TRUE(window->document().FileName().isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files) == QStringList{"sample.ftf"});
}

TEST_F(FileCommandsTest, SaveAsOfAnEmptyGenealogyWritesNothingAndSaysSo) {
  for (const int command : {ID_SAVE_AS, ID_SAVE}) {
    SCOPED_TRACE(command);
    NewWindow();
    Open(Path("sample.ftf"));
    // A new genealogy whose root entry was cancelled, its old file still at hand.
    boxes.Clear();
    boxes.QueueAnswer(true);
    OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) { ClickButton(dialog, "idc_2"); });
    window->RunCommand(ID_NEW);
    window->document().FileName() = Path("sample.ftf");
    window->document().SetModified(true);
    boxes.Clear();
    {
      NoDialogExpected none;
      window->RunCommand(command);
    }
    EXPECT_EQ(Texts(), QStringList{kNothingToSave});
    EXPECT_EQ(Read(Path("sample.ftf")), kSample);
    EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
    EXPECT_TRUE(window->document().IsModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"sample.ftf"});
  }
  // Nor does leaving the window ask to save what cannot be saved.
  boxes.Clear();
  {
    NoDialogExpected none;
    window->RunCommand(ID_EXIT);
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(FileCommandsTest, SaveAsKeepsTheNameAsTypedWhateverItsLength) {
  // Deeper than the 127 characters a fixed field would hold.
  QString folder = dir.path();
  for (int i = 0; i < 4; ++i) folder += QStringLiteral("/") + QString(60, QChar(u'目'));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString name = folder + QStringLiteral("/家谱");  // no extension added
  Open(Path("sample.ftf"));
  AnswerName(false, name);
  window->RunCommand(ID_SAVE_AS);
  EXPECT_EQ(window->document().FileName(), name);
  EXPECT_EQ(Read(name), kSample);
  ASSERT_TRUE(QFile::remove(name));
  {
    NoDialogExpected none;
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Read(name), kSample);
}

TEST_F(FileCommandsTest, NewBeforeAnyGenealogyAsksNothingAndEntersTheRoot) {
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) {
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fatherNameEdit"))->text(),
              QStringLiteral("-1"));
    ClickButton(dialog, "idc_2");
  });
  window->RunCommand(ID_NEW);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(MemberButtonsEnabled());
  EXPECT_EQ(window->document().Genealogy().GetRootLink(), nullptr);
  EXPECT_FALSE(window->document().IsModified());

  NewWindow();
  NewWithRoot(QStringLiteral("始祖"));
  EXPECT_EQ(TreeLabels(), QStringList{QStringLiteral("始祖")});
  EXPECT_TRUE(window->document().IsModified());
}

TEST_F(FileCommandsTest, NewAfterOpenAsksFirstAndForgetsTheOpenedFile) {
  Open(Path("sample.ftf"));
  window->AddNoteRow(QStringLiteral("kept"));
  boxes.QueueAnswer(false);
  {
    NoDialogExpected none;
    window->RunCommand(ID_NEW);
  }
  EXPECT_EQ(Texts(), QStringList{kNewQuestion});
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"kept"});
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));

  boxes.Clear();
  boxes.QueueAnswer(true);
  NewWithRoot(QStringLiteral("Root"));
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kRootQuestion}));
  EXPECT_TRUE(window->document().FileName().isEmpty());
  EXPECT_EQ(TreeLabels(), QStringList{"Root"});
  // The old rows are gone; the root the add selects shows his own, as after every add.
  EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"Root"});
  // The first Save of the new genealogy asks for a name; the opened file stays.
  AnswerName(false, Path("new.ftf"));
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
  EXPECT_TRUE(Read(Path("new.ftf")).startsWith("Root "));
  EXPECT_EQ(window->document().FileName(), Path("new.ftf"));
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(FileCommandsTest, NewWithUnsavedChangesSavesOrStops) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  boxes.QueueAnswer(true);  // start anew
  boxes.QueueAnswer(true);  // save the changes
  CancelName(false);
  window->RunCommand(ID_NEW);
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kModifiedQuestion}));
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));

  boxes.QueueAnswer(true);
  boxes.QueueAnswer(true);
  AnswerName(false, Path("kept.ftf"));
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) { ClickButton(dialog, "idc_2"); });
  window->RunCommand(ID_NEW);
  EXPECT_EQ(Read(Path("kept.ftf")), kSample);
  EXPECT_EQ(window->document().Genealogy().GetRootLink(), nullptr);
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(FileCommandsTest, FailedWritesAreReportedAndNothingIsLost) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  // Into a folder that does not exist, and below a regular file.
  for (const QString& name : {Path("missing/book.ftf"), Path("sample.ftf/book.ftf")}) {
    SCOPED_TRACE(name.toStdString());
    boxes.Clear();
    AnswerName(false, name);
    window->RunCommand(ID_SAVE_AS);
    EXPECT_EQ(Texts(), QStringList{kCannotSave});
    EXPECT_TRUE(window->document().IsModified());
  }
  // Save under that name fails again, says so, and offers another name.
  boxes.Clear();
  AnswerName(false, Path("rescued.ftf"));
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Texts(), QStringList{kCannotSave});
  EXPECT_EQ(Read(Path("rescued.ftf")), kSample);
  EXPECT_EQ(window->document().FileName(), Path("rescued.ftf"));
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(FileCommandsTest, WriteCutShortByAFullDiskKeepsTheOldFile) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Open(Path("sample.ftf"));
  window->document().FileName() = Path("other.ftf");
  window->document().SetModified(true);
  CancelName(false);
  {
    FileSizeLimit limit(16);
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Texts(), QStringList{kCannotSave});
  EXPECT_EQ(Read(Path("other.ftf")), "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_TRUE(Has(u"Cedar"));
  // No half-written file is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"other.ftf", "sample.ftf"}));
}

TEST_F(FileCommandsTest, OpenAtStartIsASuccessfulOpenOrAReportedFailure) {
  SetTodayForTesting(LocalDate{2024, 10, 1});
  window->OpenAtStart(Path("sample.ftf"));
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(ListNamesOf(window->listView()), QStringList{"Birch"});
  EXPECT_TRUE(MemberButtonsEnabled());
  EXPECT_FALSE(window->document().IsModified());

  NewWindow();
  boxes.Clear();
  Write("noroot.ftf", kEndLine);
  window->OpenAtStart(Path("noroot.ftf"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("家谱没有根结点!")});
  EXPECT_TRUE(window->document().FileName().isEmpty());
  EXPECT_TRUE(TreeLabels().isEmpty());
  EXPECT_FALSE(MemberButtonsEnabled());
}

TEST_F(FileCommandsTest, EachLoadFailureSaysWhatAndWhere) {
  const QByteArray root = "Oak 1900 1 1 0 end 1 -1\r\n";
  struct Case {
    const char* what;
    QByteArray bytes;
    QString message;
  };
  const Case cases[] = {
      {"death before birth", "Oak 1900 1 1 0 end 0 1890 1 1 -1\r\n" + kEndLine,
       QStringLiteral("家谱日期数据不合实际!\n第1行：Oak的死亡日期不合实际!")},
      {"born before the father", root + "Elm 1890 1 1 0 end 1 Oak\r\n" + kEndLine,
       QStringLiteral("家谱日期数据不合实际!\n第2行：Elm生于父亲之前!")},
      {"not a number", root + "Elm 19x0 1 1 0 end 1 Oak\r\n" + kEndLine,
       QStringLiteral("家谱文件格式有误!\n第2行：此处应为整数!")},
      {"number outside 32 bits", root + "Elm 99999999999 1 1 0 end 1 Oak\r\n" + kEndLine,
       QStringLiteral("家谱文件格式有误!\n第2行：数字太大!")},
      {"word too long", root + "\r\n" + QByteArray(128, 'x') + " 1930 1 1 0 end 1 Oak",
       QStringLiteral("家谱文件格式有误!\n第3行：姓名或地址超过127个字符!")},
      {"cut inside a record", root + "Elm 1950 1",
       QStringLiteral("家谱文件不完整!\n第2行之后缺少数据!")},
      {"empty file", "", QStringLiteral("家谱没有根结点!\n文件是空的!")},
      {"UTF-16 without mark", QByteArray("O\0a\0k\0 \0", 8),
       QStringLiteral("文件无法打开!\n这不是一个文本文件!")},
      {"Latin-1 byte in a UTF-8 book",
       root + "Elm 1950 1 1 0 M\xFCnchen 1 \xE6\xA9\xA1\r\n" + kEndLine,
       QStringLiteral("文件无法打开!\n第2行有无法识别的字符!")},
  };
  Open(Path("sample.ftf"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("bad.ftf", c.bytes);
    boxes.Clear();
    Open(Path("bad.ftf"));
    EXPECT_EQ(Texts(), QStringList{c.message});
    EXPECT_EQ(TreeLabels(), kSampleNames);
    EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  }
}

// A member the file cannot hold refuses the whole save, names the member and
// says why; nothing is written.
TEST_F(FileCommandsTest, SaveRefusedByAMemberNamesItAndWhy) {
  struct Case {
    const char16_t* root;
    const char16_t* child;
    const char16_t* address;  // the child's
    QString message;
  };
  const std::u16string tooLong(128, u'长');
  const Case cases[] = {
      {u"王 大", u"甲", u"", QStringLiteral("文件无法保存!\n王 大：姓名中不能有空格或换行!")},
      {u"王", tooLong.c_str(), u"",
       QStringLiteral("文件无法保存!\n%1：姓名超过127个字符!")
           .arg(QString::fromStdU16String(tooLong))},
      {u"王", u"甲", u"北 京", QStringLiteral("文件无法保存!\n甲：地址中不能有空格或换行!")},
      {u"王", u"end", u"", QStringLiteral("文件无法保存!\nend：只有根结点可以叫“end”!")},
      {u"王", u"王", u"", QStringLiteral("文件无法保存!\n王：不能与父亲同名!")},
      {u"-1", u"甲", u"", QStringLiteral("文件无法保存!\n-1：根结点不能叫“-1”!")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromStdU16String(c.root).toStdString());
    NewWindow();
    // The document refuses such members as edits: they come as from
    // elsewhere, the tree changed behind its back.
    COperationClanbook& tree = window->document().Genealogy();
    auto* root = new MemberNode;
    root->name = c.root;
    root->birthYear = 1900;
    root->birthMonth = root->birthDay = 1;
    tree.InsertMember(nullptr, root);
    auto* child = new MemberNode;
    static_cast<MemberData&>(*child) = *root;
    child->name = c.child;
    child->address = c.address;
    child->birthYear = 1930;
    tree.InsertMember(root, child);
    window->document().NotifyReset();
    window->document().SetModified(true);
    boxes.Clear();
    AnswerName(false, Path("refused.ftf"));
    window->RunCommand(ID_SAVE_AS);
    EXPECT_EQ(Texts(), QStringList{c.message});
    EXPECT_FALSE(QFile::exists(Path("refused.ftf")));
    EXPECT_TRUE(window->document().IsModified());
    // Another name would not help: Save says it once and asks for none.
    boxes.Clear();
    {
      NoDialogExpected none;
      window->RunCommand(ID_SAVE);
    }
    EXPECT_EQ(Texts(), QStringList{c.message});
  }
  // A target that is no file at all is named.
  NewWindow();
  Open(Path("sample.ftf"));
  boxes.Clear();
  AnswerName(false, dir.path());
  window->RunCommand(ID_SAVE_AS);
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("文件无法保存!\n%1不是一个普通文件!")
                                     .arg(QDir::toNativeSeparators(dir.path()))});
}

// Another program replaced the opened file: Save asks before writing over it,
// and No writes nothing.
TEST_F(FileCommandsTest, SaveAsksBeforeOverwritingAFileChangedOnDisk) {
  const QByteArray other = "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine;
  const QString question = QStringLiteral("文件%1已被其他程序修改，你想覆盖它吗?")
                               .arg(QDir::toNativeSeparators(Path("sample.ftf")));
  struct Case {
    const char* what;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"other contents", [&] { Write("sample.ftf", other); }},
      {"same size, later time",
       [&] {
         QFile file(Path("sample.ftf"));
         ASSERT_TRUE(file.open(QIODevice::ReadWrite));
         ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                      QFileDevice::FileModificationTime));
       }},
      {"replaced by another file of the same bytes",
       [&] {
         Write("copy.ftf", kSample);
         ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
         ASSERT_TRUE(QFile::rename(Path("copy.ftf"), Path("sample.ftf")));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("sample.ftf", kSample);
    NewWindow();
    Open(Path("sample.ftf"));
    c.change();
    const QByteArray onDisk = Read(Path("sample.ftf"));
    window->document().SetModified(true);
    boxes.Clear();
    boxes.QueueAnswer(false);
    {
      NoDialogExpected none;  // No: neither written nor another name asked
      window->RunCommand(ID_SAVE);
    }
    EXPECT_EQ(Texts(), QStringList{question});
    // Enter alone keeps the other program's version.
    EXPECT_EQ(boxes.Boxes()[0].byDefault, QuestionDefault::No);
    EXPECT_EQ(Read(Path("sample.ftf")), onDisk);
    EXPECT_TRUE(window->document().IsModified());

    boxes.Clear();
    boxes.QueueAnswer(true);
    window->RunCommand(ID_SAVE);
    EXPECT_EQ(Read(Path("sample.ftf")), kSample);
    EXPECT_FALSE(window->document().IsModified());
    // What was written is what the next save compares with: no question.
    window->document().SetModified(true);
    window->RunCommand(ID_SAVE);
    EXPECT_EQ(Texts(), QStringList{question});
  }
}

// Reading and writing happen on a worker thread; after the delay a modal
// dialog says so, and Open can be cancelled without any change.
class FileProgressTest : public FileCommandsTest {
protected:
  void SetUp() override {
    FileCommandsTest::SetUp();
    SetLongWorkDelayForTesting(0);
    // The worker waits until the test has seen the dialog and let it go on.
    SetLongWorkHookForTesting([this](WorkProgress& work) {
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!release.load() && !work.Cancelled() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
  }
  // Checks the dialog, then cancels it or lets the work go on.
  void AnswerProgress(const QString& label, bool cancellable, bool cancel) {
    OnNextModal(
        [this, label, cancellable, cancel](QWidget* modal) {
          if (modal->objectName() != QStringLiteral("fileProgress")) return false;
          EXPECT_EQ(modal->windowModality(), Qt::ApplicationModal);
          auto* bar = modal->findChild<QProgressBar*>();
          EXPECT_TRUE(bar && bar->accessibleName() == label);
          auto* text = modal->findChild<QLabel*>();
          EXPECT_TRUE(text && text->text() == label);
          auto* button = modal->findChild<QPushButton*>(QStringLiteral("fileProgressCancel"));
          EXPECT_EQ(button != nullptr, cancellable);
          if (!cancellable) {  // Esc and the close box stop nothing that cannot stop
            QTest::keyClick(modal, Qt::Key_Escape);
            modal->close();
            EXPECT_TRUE(modal->isVisible());
          }
          if (cancel && button)
            button->click();
          else
            release = true;
          return true;
        },
        "file progress dialog");
  }
  std::atomic<bool> release{false};
};

TEST_F(FileProgressTest, OpenShowsProgressAndCancelChangesNothing) {
  const QString label = QStringLiteral("正在打开家谱…");
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  AnswerName(true, Path("sample.ftf"));
  AnswerProgress(label, true, false);
  window->RunCommand(ID_OPEN);
  EXPECT_EQ(TreeLabels(), kSampleNames);

  release = false;
  boxes.Clear();
  AnswerName(true, Path("other.ftf"));
  AnswerProgress(label, true, true);
  window->RunCommand(ID_OPEN);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(Has(u"Cedar"));
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(FileProgressTest, SaveShowsProgressThatCannotBeStopped) {
  release = true;
  Open(Path("sample.ftf"));
  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  release = false;
  window->document().SetModified(true);
  AnswerProgress(QStringLiteral("正在保存家谱…"), false, false);
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_TRUE(boxes.Boxes().empty());
}

// What the work throws reaches the user as one notice; the program goes on
// and the book is as it was.
TEST_F(FileProgressTest, AThrowingWorkEndsInANoticeAndChangesNothing) {
  release = true;
  Open(Path("sample.ftf"));
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  SetLongWorkHookForTesting([](WorkProgress&) { throw std::runtime_error("disk on fire"); });
  const QStringList notice{QStringLiteral("工作未能完成：disk on fire")};

  boxes.Clear();
  AnswerName(true, Path("other.ftf"));
  window->RunCommand(ID_OPEN);
  EXPECT_EQ(Texts(), notice);
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));

  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  window->document().SetModified(true);
  boxes.Clear();
  CancelName(false);  // as after any failed save, another name is offered
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Texts(), notice);
  EXPECT_FALSE(QFile::exists(Path("sample.ftf")));
  EXPECT_TRUE(window->document().IsModified());
}

// Opens the 最近打开的文件 menu as a click would and gives its file items.
QStringList RecentItems(CClanbookDlg& window, QMenu** menu = nullptr) {
  auto* recent = window.findChild<QMenu*>(QStringLiteral("recentFilesMenu"));
  EXPECT_NE(recent, nullptr);
  if (!recent) return {};
  EXPECT_EQ(recent->title(), QStringLiteral("最近打开的文件"));
  emit recent->aboutToShow();
  if (menu) *menu = recent;
  QStringList items;
  for (QAction* action : recent->actions()) {
    if (action->data().isValid()) items << action->data().toString();
  }
  return items;
}

TEST_F(FileCommandsTest, RecentFilesKeepTheLastEightAndOpenThem) {
  EXPECT_TRUE(RecentItems(*window).isEmpty());
  QStringList expected;
  for (int i = 0; i < 10; ++i) {
    const QString name = QStringLiteral("book%1.ftf").arg(i);
    Write(name, kSample);
    Open(Path(name));
    expected.prepend(QFileInfo(Path(name)).absoluteFilePath());
  }
  Open(Path("book7.ftf"));  // again: moves to the top, not listed twice
  expected.removeAll(QFileInfo(Path("book7.ftf")).absoluteFilePath());
  expected.prepend(QFileInfo(Path("book7.ftf")).absoluteFilePath());
  expected.resize(8);
  AnswerName(false, Path("saved.ftf"));  // a file saved under a new name is one too
  window->RunCommand(ID_SAVE_AS);
  expected.prepend(QFileInfo(Path("saved.ftf")).absoluteFilePath());
  expected.resize(8);
  EXPECT_EQ(RecentItems(*window), expected);

  // Remembered by the next run's window.
  NewWindow();
  QMenu* menu = nullptr;
  ASSERT_EQ(RecentItems(*window, &menu), expected);
  window->document().SetModified(false);
  QAction* fourth = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->objectName() == QStringLiteral("recentFile4")) fourth = action;
  }
  ASSERT_NE(fourth, nullptr);
  EXPECT_EQ(fourth->data().toString(), expected[3]);
  Write(QFileInfo(expected[3]).fileName(), "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  fourth->trigger();
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_EQ(RecentItems(*window).first(), expected[3]);

  // A file that is gone is said so and leaves the list; nothing else changes.
  const QString gone = RecentItems(*window, &menu).last();
  ASSERT_TRUE(QFile::remove(gone));
  boxes.Clear();
  menu->actions().last()->trigger();
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("文件%1已不存在，已从最近打开的文件中删除!")
                                     .arg(QDir::toNativeSeparators(gone))});
  EXPECT_FALSE(RecentItems(*window).contains(gone));
  EXPECT_EQ(RecentItems(*window).size(), 7);
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
}

TEST_F(FileCommandsTest, RecentFileOffersToSaveFirst) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Open(Path("other.ftf"));
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  QMenu* menu = nullptr;
  RecentItems(*window, &menu);
  boxes.Clear();
  boxes.QueueAnswer(true);
  CancelName(false);  // Yes, then no name: stays
  menu->actions().at(1)->trigger();
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), kSampleNames);
  boxes.QueueAnswer(false);
  menu->actions().at(1)->trigger();
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
}

TEST_F(FileCommandsTest, FileCommandsHaveTheirShortcuts) {
  const std::pair<int, QKeySequence> cases[] = {
      {ID_NEW, QKeySequence(QStringLiteral("Ctrl+N"))},
      {ID_OPEN, QKeySequence(QStringLiteral("Ctrl+O"))},
      {ID_SAVE, QKeySequence(QStringLiteral("Ctrl+S"))},
      {ID_SAVE_AS, QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
  };
  for (const auto& [id, key] : cases) {
    SCOPED_TRACE(id);
    ASSERT_NE(window->MenuAction(id), nullptr);
    EXPECT_EQ(window->MenuAction(id)->shortcut(), key);
    EXPECT_TRUE(window->actions().contains(window->MenuAction(id)));
  }
  // The keys work wherever the focus is.
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->treeView()->setFocus();
  CancelName(true);
  QTest::keyClick(window->treeView(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(PendingModalHandlers(), 0);
}

// A .ftf dragged from the file manager opens, after the save prompt; other
// files are not taken.
TEST_F(FileCommandsTest, DroppedFileOpensAfterTheSavePrompt) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Write("notes.txt", "hello");
  Open(Path("sample.ftf"));
  auto drag = [this](const QString& name, QEvent::Type type) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path(name))});
    const QPoint centre = window->rect().center();
    if (type == QEvent::DragEnter) {
      QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(window.get(), &enter);
      return enter.isAccepted();
    }
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QApplication::processEvents();
    return drop.isAccepted();
  };
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_FALSE(drag("notes.txt", QEvent::DragEnter));
  EXPECT_FALSE(drag("notes.txt", QEvent::Drop));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(drag("other.ftf", QEvent::DragEnter));

  window->document().SetModified(true);
  boxes.Clear();
  boxes.QueueAnswer(false);
  EXPECT_TRUE(drag("other.ftf", QEvent::Drop));
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_EQ(window->document().FileName(), Path("other.ftf"));
}

// Each save keeps the file's previous contents as NAME.bak beside it, unless
// the user turned that off.
TEST_F(FileCommandsTest, SaveKeepsThePreviousVersionUnlessTurnedOff) {
  const QByteArray old = "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine;
  Write("book.ftf", old);
  Open(Path("sample.ftf"));
  auto* keep = window->findChild<QAction*>(QStringLiteral("keepPreviousVersion"));
  ASSERT_NE(keep, nullptr);
  EXPECT_EQ(keep->text(), QStringLiteral("保存时保留上一版本"));
  EXPECT_TRUE(keep->isCheckable());
  EXPECT_TRUE(keep->isChecked());

  AnswerName(false, Path("book.ftf"));
  window->RunCommand(ID_SAVE_AS);
  EXPECT_EQ(Read(Path("book.ftf")), kSample);
  EXPECT_EQ(Read(Path("book.ftf.bak")), old);
  // A first save of a new file has no previous version.
  AnswerName(false, Path("fresh.ftf"));
  window->RunCommand(ID_SAVE_AS);
  EXPECT_FALSE(QFile::exists(Path("fresh.ftf.bak")));

  keep->trigger();
  EXPECT_FALSE(keep->isChecked());
  Write("book.ftf", old);
  window->document().FileName() = Path("book.ftf");
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Read(Path("book.ftf")), kSample);
  EXPECT_EQ(Read(Path("book.ftf.bak")), old);  // untouched: kept from before
  Write("book.ftf.bak", "older");
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Read(Path("book.ftf.bak")), "older");
  NewWindow();  // remembered
  EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("keepPreviousVersion"))->isChecked());
  EXPECT_TRUE(boxes.Boxes().empty());
}

// What a save cannot keep beside the book, because of the book's name or of
// what is in the way, is said once, and not again at every later save; a
// book without a 字辈 has none to fail to keep.
TEST_F(FileCommandsTest, WhatASaveCannotKeepBesideTheBookIsSaidOnce) {
  const QString longName = QString(251, u'f') + QStringLiteral(".ftf");  // 255 bytes
  const auto bakTooLong = [this](const QString& name) {
    return QStringLiteral(
               "家谱已保存，但未能保留上一版本：文件名%1太长，加上“.bak”就超出了文件系统的限制。"
               "要保留上一版本，请用较短的文件名另存家谱。")
        .arg(QDir::toNativeSeparators(Path(name)));
  };
  const auto poemTooLong = [this](const QString& name) {
    return QStringLiteral(
               "字辈无法保存在家谱旁边：文件名%1太长，加上“.zibei”就超出了文件系统的限制。"
               "要保留字辈，请用较短的文件名另存家谱。")
        .arg(QDir::toNativeSeparators(Path(name)));
  };
  const struct Case {
    const char* what;
    QString name;
    bool poem;
    QStringList saidAtFirstSave;
  } cases[] = {
      {"NAME.bak is a folder",
       QStringLiteral("book.ftf"),
       false,
       {QStringLiteral("家谱已保存，但未能保留上一版本：%1是一个文件夹。")
            .arg(QDir::toNativeSeparators(Path("book.ftf.bak")))}},
      {"a 255-byte name, no 字辈", longName, false, {bakTooLong(longName)}},
      {"a 255-byte name and a 字辈", longName, true, {poemTooLong(longName), bakTooLong(longName)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(dir.path()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(dir.path()));
    Write("sample.ftf", kSample);
    if (c.poem) Write("sample.ftf.zibei", "2\n永昌\n");
    Write(c.name, "an older version");
    if (c.name == QStringLiteral("book.ftf")) {
      ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("book.ftf.bak")));
    }
    NewWindow();
    Open(Path("sample.ftf"));
    boxes.Clear();

    AnswerName(false, Path(c.name));
    window->RunCommand(ID_SAVE_AS);
    EXPECT_EQ(Read(Path(c.name)), kSample);
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(Texts(), c.saidAtFirstSave);
    boxes.Clear();
    for (int i = 0; i < 2; ++i) {
      window->document().SetModified(true);
      window->RunCommand(ID_SAVE);
      EXPECT_FALSE(window->document().IsModified());
    }
    EXPECT_EQ(Texts(), QStringList());
    EXPECT_TRUE(QFileInfo(Path("book.ftf.bak")).isDir() == (c.name == QStringLiteral("book.ftf")));

    // The window kept the 字辈: a save under a shorter name keeps it beside the book.
    AnswerName(false, Path("short.ftf"));
    window->RunCommand(ID_SAVE_AS);
    EXPECT_EQ(Read(Path("short.ftf.zibei")), c.poem ? QByteArray("2\n永昌\n") : "<missing>");
    EXPECT_EQ(Texts(), QStringList());
    // Opened again, the book's name is said again at its first save.
    Open(Path(c.name));
    boxes.Clear();
    window->document().SetModified(true);
    window->RunCommand(ID_SAVE);
    EXPECT_EQ(Texts().size(), 1);
  }
}

TEST_F(FileCommandsTest, WindowComesBackWhereItWas) {
  window->show();
  window->setGeometry(40, 50, window->width() + 37, window->height() + 23);
  const QRect where = window->geometry();
  window->RunCommand(ID_EXIT);
  ASSERT_FALSE(window->isVisible());
  NewWindow();
  window->show();
  EXPECT_EQ(window->geometry(), where);
}

// Every way out of the window: Exit, Esc, Enter and the close box.
class ClosePathTest : public FileCommandsTest, public ::testing::WithParamInterface<int> {
protected:
  void Leave() {
    switch (GetParam()) {
      case 0:
        window->RunCommand(ID_EXIT);
        break;
      case 1:
        QTest::keyClick(window.get(), Qt::Key_Escape);
        break;
      case 2:  // no button has the focus
        window->treeView()->setFocus();
        QTest::keyClick(window->treeView(), Qt::Key_Return);
        break;
      default:
        window->close();
        break;
    }
  }
  void OpenModified() {
    NewWindow();
    Open(Path("sample.ftf"));
    window->document().SetModified(true);
    boxes.Clear();
  }
};

TEST_P(ClosePathTest, OffersToSaveAndNeverLosesWorkWithoutNo) {
  {  // nothing to save: no question
    NoDialogExpected none;
    Leave();
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_FALSE(window->isVisible());

  OpenModified();  // No: the changes go
  boxes.QueueAnswer(false);
  Leave();
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_FALSE(window->isVisible());

  OpenModified();  // Yes and a name: written, then the window ends
  boxes.QueueAnswer(true);
  AnswerName(false, Path("saved.ftf"));
  Leave();
  EXPECT_EQ(Read(Path("saved.ftf")), kSample);
  EXPECT_FALSE(window->isVisible());

  OpenModified();  // Yes, then no name: asked once, the window stays
  boxes.QueueAnswer(true);
  CancelName(false);
  Leave();
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->document().IsModified());

  OpenModified();  // Yes, then an empty name: said so, the window stays
  boxes.QueueAnswer(true);
  AnswerName(false, QString());
  Leave();
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kEmptyName}));
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->document().IsModified());

  OpenModified();  // Yes, and the write fails: said so, the window stays
  boxes.QueueAnswer(true);
  AnswerName(false, Path("missing/saved.ftf"));
  Leave();
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kCannotSave}));
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_TRUE(Has(u"Alder"));
}

std::string WayName(const ::testing::TestParamInfo<int>& info) {
  static const char* const names[] = {"Exit", "Esc", "Enter", "CloseBox"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, ClosePathTest, ::testing::Values(0, 1, 2, 3), WayName);

}  // namespace
