// Open on real files: what it shows, every way it fails without a change, the
// save prompt before it, the file named at start, and its progress.
#include "FileCommandsFixture.h"

namespace {

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
  Trigger(*window, ID_OPEN);
  boxes.QueueAnswer(false);
  AnswerName(true, QString());
  Trigger(*window, ID_OPEN);
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
    Trigger(*window, ID_OPEN);
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
    Trigger(*window, ID_NEW);
  }
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kModifiedQuestion, kEmptyName}));

  boxes.Clear();
  boxes.QueueAnswer(true);
  AnswerName(false, QString());
  {
    NoDialogExpected none;  // no name asked for the file to open
    Trigger(*window, ID_OPEN);
  }
  EXPECT_EQ(Texts(), (QStringList{kModifiedQuestion, kEmptyName}));
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(Has(u"Cedar"));
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
  Trigger(*window, ID_OPEN);
  EXPECT_EQ(TreeLabels(), kSampleNames);

  release = false;
  boxes.Clear();
  AnswerName(true, Path("other.ftf"));
  AnswerProgress(label, true, true);
  Trigger(*window, ID_OPEN);
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
  Trigger(*window, ID_SAVE);
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
  Trigger(*window, ID_OPEN);
  EXPECT_EQ(Texts(), notice);
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));

  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  window->document().SetModified(true);
  boxes.Clear();
  CancelName(false);  // as after any failed save, another name is offered
  Trigger(*window, ID_SAVE);
  EXPECT_EQ(Texts(), notice);
  EXPECT_FALSE(QFile::exists(Path("sample.ftf")));
  EXPECT_TRUE(window->document().IsModified());
}

}  // namespace
