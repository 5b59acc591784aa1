// The book file (.cbk) in the window: opened by every way a .ftf is, saved
// change by change, offered read-only while another program holds it, and
// the question before a .ftf would drop what only a .cbk keeps.
#include "FileCommandsFixture.h"

#include "document/GenealogyDocument.h"

namespace {

const QString kCannotOpen = QStringLiteral("文件无法打开!");

class FileCbkTest : public FileCommandsTest {
protected:
  // sample.ftf saved as `name`, a .cbk; the window holds it open.
  void MakeBook(const QString& name) {
    Open(Path("sample.ftf"));
    AnswerName(false, Path(name));
    Trigger(*window, ID_SAVE_AS);
    ASSERT_EQ(window->document().FileName(), Path(name));
    ASSERT_FALSE(window->document().IsModified());
  }
  bool Note(const char16_t* member, const QString& text) {
    return window->document().ChangeRecordText(Find(member), RecordField::kNote, text);
  }
  QString NoteOf(const char16_t* member) const {
    return QString::fromStdU16String(Find(member)->extra.Record().Text(RecordField::kNote));
  }
  MemberNode* Find(const char16_t* name) const { return FindMember(*window, name); }
};

// Opened, edited, saved in place (only what changed), and read again by the
// next run from the command line, a drop and the recent files.
TEST_F(FileCbkTest, ABookIsOpenedEditedSavedAndReopened) {
  MakeBook("book.cbk");
  NewWindow();
  Open(Path("book.cbk"));
  ASSERT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("book.cbk"));
  EXPECT_FALSE(window->document().IsReadOnly());
  ASSERT_TRUE(Note(u"Birch", QStringLiteral("迁居河畔")));

  boxes.Clear();
  Trigger(*window, ID_SAVE);
  EXPECT_TRUE(Texts().isEmpty());  // a .cbk keeps the note: nothing to ask
  EXPECT_FALSE(window->document().IsModified());
  // One member's record changed: a few rows, not the whole book again.
  EXPECT_GT(window->document().RowsLastSaved(), 0);
  EXPECT_LT(window->document().RowsLastSaved(), 3);

  NewWindow();  // the last window lets go of the book
  window->OpenAtStart(Path("book.cbk"));
  ASSERT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(NoteOf(u"Birch"), QStringLiteral("迁居河畔"));

  // A .cbk dragged from the file manager is taken like a .ftf.
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("book.cbk"))});
  QDragEnterEvent enter(window->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(clanbook_settings::RecentFiles().first(),
            QFileInfo(Path("book.cbk")).absoluteFilePath());
}

// What is no book, or a book this program cannot read, is refused with the
// format's reason and leaves the open book as it was.
TEST_F(FileCbkTest, ARefusedBookLeavesTheWindowAsItWas) {
  Write("notabook.cbk", "Alder 1901 2 3 1 end 0 1970 5 6 -1");
  Open(Path("sample.ftf"));
  boxes.Clear();
  Open(Path("notabook.cbk"));
  EXPECT_EQ(Texts(), QStringList{kCannotOpen + u'\n' +
                                 GenealogyDocument::BookProblemText(FileProblem::kNotABook)});
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
}

// Another program holds the book: asked, it opens read-only; Save then says
// why it cannot and offers Save As, which keeps the edit in a file of its own.
TEST_F(FileCbkTest, ABookInUseOpensReadOnlyAndSavesElsewhere) {
  MakeBook("shared.cbk");
  const QByteArray before = Read(Path("shared.cbk"));
  auto other = std::move(window);  // the other program, holding the book
  NewWindow();

  boxes.Clear();
  boxes.QueueAnswer(false);
  Open(Path("shared.cbk"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Question);
  EXPECT_TRUE(boxes.Boxes()[0].text.contains(QDir::toNativeSeparators(Path("shared.cbk"))));
  EXPECT_TRUE(TreeLabels().isEmpty());  // No: nothing opened

  boxes.Clear();
  boxes.QueueAnswer(true);
  Open(Path("shared.cbk"));
  ASSERT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(window->document().IsReadOnly());
  ASSERT_TRUE(Note(u"Cedar", QStringLiteral("抄本")));

  // Save refuses; declining Save As leaves the edit unsaved, and the book untouched.
  boxes.Clear();
  boxes.QueueAnswer(false);
  Trigger(*window, ID_SAVE);
  EXPECT_EQ(Texts().size(), 1);
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_EQ(Read(Path("shared.cbk")), before);

  boxes.Clear();
  boxes.QueueAnswer(true);
  AnswerName(false, Path("copy.cbk"));
  Trigger(*window, ID_SAVE);
  EXPECT_EQ(Texts().size(), 1);
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_FALSE(window->document().IsReadOnly());
  EXPECT_EQ(window->document().FileName(), Path("copy.cbk"));
  EXPECT_EQ(Read(Path("shared.cbk")), before);

  other.reset();
  NewWindow();
  window->OpenAtStart(Path("copy.cbk"));
  EXPECT_EQ(NoteOf(u"Cedar"), QStringLiteral("抄本"));
}

// A save to .ftf of a book with a note asks first; each answer does what it
// says, and the question names what the .ftf would drop.
TEST_F(FileCbkTest, SavingAsFtfWhatItCannotKeepAsksFirst) {
  enum { kAsBook, kAsFtf, kCancel };
  struct Row {
    int answer;
    QString written;  // the file the book is in afterwards; none: nothing written
  };
  const Row rows[] = {
      {kAsBook, QStringLiteral("sample.cbk")},
      {kAsFtf, QStringLiteral("sample.ftf")},
      {kCancel, QString()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    Write("sample.ftf", kSample);
    QFile::remove(Path("sample.cbk"));
    NewWindow();
    Open(Path("sample.ftf"));
    ASSERT_TRUE(Note(u"Alder", QStringLiteral("始迁祖")));

    boxes.Clear();
    boxes.QueueChoice(row.answer);
    if (row.answer == kAsBook) {
      // The same name with the book's end is proposed.
      OnNextDialog<CFileOpenAndSaveDlg>([this](CFileOpenAndSaveDlg* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), Path("sample.cbk"));
        ClickButton(dialog, "idc_1");
      });
    }
    const GenealogyDocument::FileStamp ftfBefore = GenealogyDocument::StampOf(Path("sample.ftf"));
    Trigger(*window, ID_SAVE);
    ASSERT_FALSE(boxes.Boxes().empty());
    const RecordedBox& question = boxes.Boxes().front();
    EXPECT_EQ(question.kind, BoxKind::Choice);
    EXPECT_EQ(question.choices,
              (QStringList{QStringLiteral("另存为 .cbk"), QStringLiteral("仍然保存为 .ftf"),
                           QStringLiteral("取消")}));
    EXPECT_EQ(question.defaultChoice, kAsBook);
    EXPECT_TRUE(question.text.contains(GenealogyDocument::FieldName(RecordField::kNote)));

    EXPECT_EQ(window->document().IsModified(), row.written.isEmpty());
    EXPECT_EQ(window->document().FileName(),
              row.written.isEmpty() ? Path("sample.ftf") : Path(row.written));
    EXPECT_EQ(QFileInfo::exists(Path("sample.cbk")), row.answer == kAsBook);
    // Only "save as .ftf anyway" writes the .ftf.
    EXPECT_EQ(GenealogyDocument::StampOf(Path("sample.ftf")) != ftfBefore, row.answer == kAsFtf);
  }
}

}  // namespace
