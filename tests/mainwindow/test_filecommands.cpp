// File commands of the main window on real files: New, Open, Save, Save As,
// Exit and every way of closing the window, with the save prompt between them.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "MainWindowTestSupport.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <memory>

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

// Answers the next file-name dialog; checks that it asks in the expected mode.
void AnswerName(bool open, const QString& name) {
  OnNextDialog<CFileOpenAndSaveDlg>([open, name](CFileOpenAndSaveDlg* dialog) {
    EXPECT_EQ(dialog->m_isOpen, open);
    TypeInto(dialog, "idc_1001", name);
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
      if (QWidget* modal = QApplication::activeModalWidget()) {
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
    SetTodayForTesting(LocalDate{2024, 6, 15});
    NewWindow();
    Write("sample.ftf", kSample);
  }
  void TearDown() override {
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
  QStringList TreeLabels() const { return TreeLinesOf(window->m_treeCtrl, 0); }
  bool MemberButtonsEnabled() const { return window->button(ID_ADD_CHILD)->isEnabled(); }
  bool Has(const char16_t* name) const { return FindMember(*window, name) != nullptr; }
  void Open(const QString& path) {
    AnswerName(true, path);
    window->RunCommand(ID_OPEN);
  }
  // Runs New on a window with nothing to save and enters a root named `root`.
  void NewWithRoot(const QString& root) {
    OnNextDialog<CAddInfoDlg>([root](CAddInfoDlg* dialog) {
      TypeInto(dialog, "idc_1011", root);
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
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));
  EXPECT_FALSE(window->m_modified);
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(MemberButtonsEnabled());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("注意："));
  EXPECT_EQ(ListNamesOf(window->m_listCtrl), QStringList{"Cedar"});
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
    window->m_modified = false;
    boxes.Clear();
    Open(Path(c.file));
    EXPECT_EQ(Texts(), QStringList{c.message});
    EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));
    EXPECT_TRUE(Has(u"Birch"));
    EXPECT_EQ(TreeLabels(), kSampleNames);
    EXPECT_EQ(ListNamesOf(window->m_listCtrl), QStringList{"kept"});
    EXPECT_TRUE(MemberButtonsEnabled());
    EXPECT_FALSE(window->m_modified);
  }
  // The names still shown are still there: selecting one shows its row.
  boxes.Clear();
  const QModelIndex alder = window->m_treeCtrl->model()->index(0, 0);
  window->m_treeCtrl->setCurrentIndex(alder);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(ListNamesOf(window->m_listCtrl), QStringList{"Alder"});
}

TEST_F(FileCommandsTest, FailedOpenBeforeAnyGenealogyLeavesTheWindowEmpty) {
  Open(Path("missing.ftf"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("文件无法打开!")});
  EXPECT_TRUE(window->m_currentFile.isEmpty());
  EXPECT_TRUE(TreeLabels().isEmpty());
  EXPECT_FALSE(MemberButtonsEnabled());
}

TEST_F(FileCommandsTest, OpenWithCancelledOrEmptyNameChangesNothing) {
  Open(Path("sample.ftf"));
  window->m_modified = true;
  boxes.QueueAnswer(false);
  CancelName(true);
  window->RunCommand(ID_OPEN);
  boxes.QueueAnswer(false);
  AnswerName(true, QString());
  window->RunCommand(ID_OPEN);
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kModifiedQuestion, kEmptyName}));
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  // The changes are still unsaved: a later exit must still offer to save them.
  EXPECT_TRUE(window->m_modified);
}

TEST_F(FileCommandsTest, NoToTheSavePromptOfOpenStillOpens) {
  Write("other.ftf", "Oak 1950 1 1 0 北京 1 -1\r\n" + kEndLine);
  Open(Path("sample.ftf"));
  window->m_modified = true;
  boxes.QueueAnswer(false);
  Open(Path("other.ftf"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Question);
  EXPECT_EQ(boxes.Boxes()[0].title, QStringLiteral("家谱管理系统"));
  EXPECT_EQ(boxes.Boxes()[0].text, kModifiedQuestion);
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_FALSE(window->m_modified);
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
}

TEST_F(FileCommandsTest, YesWithoutAWriteStopsOpen) {
  Open(Path("sample.ftf"));
  window->m_modified = true;
  boxes.QueueAnswer(true);
  CancelName(false);  // the save name; no open name is asked for afterwards
  {
    NoDialogExpected none;
    window->RunCommand(ID_OPEN);
  }
  EXPECT_TRUE(window->m_modified);
  EXPECT_EQ(TreeLabels(), kSampleNames);
}

TEST_F(FileCommandsTest, YesWithAnEmptyNameStopsNewAndOpen) {
  Open(Path("sample.ftf"));
  window->m_modified = true;
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
  EXPECT_TRUE(window->m_modified);
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(Has(u"Cedar"));
}

TEST_F(FileCommandsTest, OpenThenSaveWritesTheOpenedFileWithoutAsking) {
  Open(Path("sample.ftf"));
  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  window->m_modified = true;
  {
    NoDialogExpected none;
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
  EXPECT_FALSE(window->m_modified);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FileCommandsTest, SaveOnAnEmptyGenealogyDoesNothing) {
  window->m_modified = true;
  {
    NoDialogExpected none;
    window->RunCommand(ID_SAVE);
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(window->m_currentFile.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files) == QStringList{"sample.ftf"});
}

TEST_F(FileCommandsTest, SaveAsOfAnEmptyGenealogyWritesOnlyTheEndLine) {
  AnswerName(false, Path("empty.ftf"));
  window->RunCommand(ID_SAVE_AS);
  EXPECT_EQ(Read(Path("empty.ftf")), kEndLine);
  EXPECT_EQ(window->m_currentFile, Path("empty.ftf"));
  EXPECT_FALSE(window->m_modified);
  EXPECT_TRUE(boxes.Boxes().empty());
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
  EXPECT_EQ(window->m_currentFile, name);
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
    EXPECT_EQ(dialog->findChild<QLineEdit*>(ControlName(1018))->text(), QStringLiteral("-1"));
    ClickButton(dialog, "idc_2");
  });
  window->RunCommand(ID_NEW);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(MemberButtonsEnabled());
  EXPECT_EQ(window->m_genealogy.GetRootLink(), nullptr);
  EXPECT_FALSE(window->m_modified);

  NewWindow();
  NewWithRoot(QStringLiteral("始祖"));
  EXPECT_EQ(TreeLabels(), QStringList{QStringLiteral("始祖")});
  EXPECT_TRUE(window->m_modified);
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
  EXPECT_EQ(ListNamesOf(window->m_listCtrl), QStringList{"kept"});
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));

  boxes.Clear();
  boxes.QueueAnswer(true);
  NewWithRoot(QStringLiteral("Root"));
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kRootQuestion}));
  EXPECT_TRUE(window->m_currentFile.isEmpty());
  EXPECT_EQ(TreeLabels(), QStringList{"Root"});
  EXPECT_TRUE(window->m_listCtrl->model()->rowCount() == 0);
  // The first Save of the new genealogy asks for a name; the opened file stays.
  AnswerName(false, Path("new.ftf"));
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Read(Path("sample.ftf")), kSample);
  EXPECT_TRUE(Read(Path("new.ftf")).startsWith("Root "));
  EXPECT_EQ(window->m_currentFile, Path("new.ftf"));
  EXPECT_FALSE(window->m_modified);
}

TEST_F(FileCommandsTest, NewWithUnsavedChangesSavesOrStops) {
  Open(Path("sample.ftf"));
  window->m_modified = true;
  boxes.QueueAnswer(true);  // start anew
  boxes.QueueAnswer(true);  // save the changes
  CancelName(false);
  window->RunCommand(ID_NEW);
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kModifiedQuestion}));
  EXPECT_TRUE(window->m_modified);
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));

  boxes.QueueAnswer(true);
  boxes.QueueAnswer(true);
  AnswerName(false, Path("kept.ftf"));
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) { ClickButton(dialog, "idc_2"); });
  window->RunCommand(ID_NEW);
  EXPECT_EQ(Read(Path("kept.ftf")), kSample);
  EXPECT_EQ(window->m_genealogy.GetRootLink(), nullptr);
  EXPECT_FALSE(window->m_modified);
}

TEST_F(FileCommandsTest, FailedWritesAreReportedAndNothingIsLost) {
  Open(Path("sample.ftf"));
  window->m_modified = true;
  // Into a folder that does not exist, and below a regular file.
  for (const QString& name : {Path("missing/book.ftf"), Path("sample.ftf/book.ftf")}) {
    SCOPED_TRACE(name.toStdString());
    boxes.Clear();
    AnswerName(false, name);
    window->RunCommand(ID_SAVE_AS);
    EXPECT_EQ(Texts(), QStringList{kCannotSave});
    EXPECT_TRUE(window->m_modified);
  }
  // Save under that name fails again, says so, and offers another name.
  boxes.Clear();
  AnswerName(false, Path("rescued.ftf"));
  window->RunCommand(ID_SAVE);
  EXPECT_EQ(Texts(), QStringList{kCannotSave});
  EXPECT_EQ(Read(Path("rescued.ftf")), kSample);
  EXPECT_EQ(window->m_currentFile, Path("rescued.ftf"));
  EXPECT_FALSE(window->m_modified);
}

TEST_F(FileCommandsTest, WriteCutShortByAFullDiskKeepsTheOldFile) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Open(Path("sample.ftf"));
  window->m_currentFile = Path("other.ftf");
  window->m_modified = true;
  CancelName(false);
  {
    FileSizeLimit limit(16);
    window->RunCommand(ID_SAVE);
  }
  EXPECT_EQ(Texts(), QStringList{kCannotSave});
  EXPECT_EQ(Read(Path("other.ftf")), "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  EXPECT_TRUE(window->m_modified);
  EXPECT_TRUE(Has(u"Cedar"));
  // No half-written file is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"other.ftf", "sample.ftf"}));
}

TEST_F(FileCommandsTest, OpenAtStartIsASuccessfulOpenOrAReportedFailure) {
  SetTodayForTesting(LocalDate{2024, 10, 1});
  window->OpenAtStart(Path("sample.ftf"));
  EXPECT_EQ(window->m_currentFile, Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(ListNamesOf(window->m_listCtrl), QStringList{"Birch"});
  EXPECT_TRUE(MemberButtonsEnabled());
  EXPECT_FALSE(window->m_modified);

  NewWindow();
  boxes.Clear();
  Write("noroot.ftf", kEndLine);
  window->OpenAtStart(Path("noroot.ftf"));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("家谱没有根结点!")});
  EXPECT_TRUE(window->m_currentFile.isEmpty());
  EXPECT_TRUE(TreeLabels().isEmpty());
  EXPECT_FALSE(MemberButtonsEnabled());
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
        window->m_treeCtrl->setFocus();
        QTest::keyClick(window->m_treeCtrl, Qt::Key_Return);
        break;
      default:
        window->close();
        break;
    }
  }
  void OpenModified() {
    NewWindow();
    Open(Path("sample.ftf"));
    window->m_modified = true;
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
  EXPECT_TRUE(window->m_modified);

  OpenModified();  // Yes, then an empty name: said so, the window stays
  boxes.QueueAnswer(true);
  AnswerName(false, QString());
  Leave();
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kEmptyName}));
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->m_modified);

  OpenModified();  // Yes, and the write fails: said so, the window stays
  boxes.QueueAnswer(true);
  AnswerName(false, Path("missing/saved.ftf"));
  Leave();
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kCannotSave}));
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->m_modified);
  EXPECT_TRUE(Has(u"Alder"));
}

std::string WayName(const ::testing::TestParamInfo<int>& info) {
  static const char* const names[] = {"Exit", "Esc", "Enter", "CloseBox"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, ClosePathTest, ::testing::Values(0, 1, 2, 3), WayName);

}  // namespace
