// New, and every way out of the window (Exit, Esc, Enter, the close box)
// with the save prompt before it; where the window stood last time.
#include "FileCommandsFixture.h"

namespace {

TEST_F(FileCommandsTest, NewBeforeAnyGenealogyAsksNothingAndEntersTheRoot) {
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) {
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fatherNameEdit"))->text(),
              QStringLiteral("-1"));
    ClickButton(dialog, "idc_2");
  });
  Trigger(*window, ID_NEW);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(MemberButtonsEnabled());
  EXPECT_EQ(window->document().Genealogy().Root(), nullptr);
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
    Trigger(*window, ID_NEW);
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
  Trigger(*window, ID_SAVE);
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
  Trigger(*window, ID_NEW);
  EXPECT_EQ(Texts(), (QStringList{kNewQuestion, kModifiedQuestion}));
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));

  boxes.QueueAnswer(true);
  boxes.QueueAnswer(true);
  AnswerName(false, Path("kept.ftf"));
  OnNextDialog<CAddInfoDlg>([](CAddInfoDlg* dialog) { ClickButton(dialog, "idc_2"); });
  Trigger(*window, ID_NEW);
  EXPECT_EQ(Read(Path("kept.ftf")), kSample);
  EXPECT_EQ(window->document().Genealogy().Root(), nullptr);
  EXPECT_FALSE(window->document().IsModified());
}

TEST_F(FileCommandsTest, WindowComesBackWhereItWas) {
  window->show();
  window->setGeometry(40, 50, window->width() + 37, window->height() + 23);
  const QRect where = window->geometry();
  Trigger(*window, ID_EXIT);
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
        Trigger(*window, ID_EXIT);
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
