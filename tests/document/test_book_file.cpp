// The document and its .cbk: every edit, undo and redo is saved as the rows
// it changed, and the file then reads as the book in memory; each change of
// a record is one command named after the member and the field.
#include "DocumentTestSupport.h"
#include "formats/cbk/CbkBook.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

// Every member's record, after the ten fields StateOf gives, and the book's data.
std::string WholeStateOf(const GenealogyDocument& document) {
  QStringList lines = StateOf(document, kClanNames);
  const COperationClanbook& tree = document.Genealogy();
  tree.VisitPreOrder(lines, tree.Root(), [&document](QStringList& out, MemberNode* m) {
    const MemberRecord& r = m->extra.Record();
    QString line = QString::fromStdU16String(m->name) +
                   QStringLiteral(": %1 %2").arg(static_cast<int>(r.sex)).arg(r.mother);
    for (int f = static_cast<int>(RecordField::kCourtesyName);
         f <= static_cast<int>(RecordField::kSecondFather); ++f)
      line += u'|' + QString::fromStdU16String(r.Text(static_cast<RecordField>(f)));
    for (const Spouse& s : r.spouses)
      line += QStringLiteral(" 配%1%2%3")
                  .arg(static_cast<int>(s.title))
                  .arg(QString::fromStdU16String(s.surname), QString::fromStdU16String(s.origin));
    for (const Source& s : r.sources)
      line += QStringLiteral(" 源") + QString::fromStdU16String(s.title);
    for (const Photo& p : r.photos)
      line += QStringLiteral(" 照%1:%2")
                  .arg(QString::fromStdU16String(p.caption),
                       QString::number(document.PhotoBytes(p).size()));
    out << line;
  });
  const BookData& book = tree.Book();
  lines << QString::fromStdU16String(book.title + u"|" + book.preface + u"|" +
                                     book.generationPoem) +
               QString::number(book.editionYear) + u'|' + QString::number(book.poemFirstGeneration);
  return lines.join(u'\n').toStdString();
}

QByteArray Png(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

class BookFile : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    path_ = folder_.filePath(QStringLiteral("clan.cbk"));
    FillClan(document_);
    ASSERT_TRUE(document_.SaveBook(path_, false).Ok());
    document_.MarkSaved(path_);
    document_.SetFileName(path_);
  }
  // Saves, then reads the file afresh (read-only: this document holds the
  // lock) and compares it with the document.
  void SaveAndCompare(const char* step) {
    SCOPED_TRACE(step);
    if (!document_.Root()) {
      EXPECT_EQ(document_.SaveBook(path_, false).problem, FileProblem::kNothingToSave);
      return;
    }
    const FileStatus saved = document_.SaveBook(path_, false);
    ASSERT_TRUE(saved.Ok()) << static_cast<int>(saved.problem);
    document_.MarkSaved(path_);
    GenealogyDocument::OpenedBook opened;
    ASSERT_TRUE(GenealogyDocument::ReadBook(path_, opened, true).Ok());
    GenealogyDocument again;
    again.AdoptBook(opened, path_);
    EXPECT_EQ(WholeStateOf(again), WholeStateOf(document_));
  }

  QTemporaryDir folder_;
  QString path_;
  GenealogyDocument document_;
};

// The undo tests' sequences of edits, each saved after every step, undone
// step by step and redone, each state saved.
TEST_F(BookFile, EveryEditUndoAndRedoIsSavedAsItsRows) {
  for (const EditSequence& sequence : EditSequences()) {
    SCOPED_TRACE(sequence.label);
    FillClan(document_);
    ASSERT_TRUE(document_.SaveBook(path_, false).Ok());
    for (const Edit& edit : sequence.edits) {
      edit.apply(document_);
      SaveAndCompare("edit");
      // An edit writes the rows it touched, not the book: at most the
      // clan's eight members and their neighbours when the root goes.
      EXPECT_LE(document_.RowsLastSaved(), 10);
    }
    while (document_.UndoStack()->canUndo()) {
      document_.UndoStack()->undo();
      SaveAndCompare("undo");
    }
    while (document_.UndoStack()->canRedo()) {
      document_.UndoStack()->redo();
      SaveAndCompare("redo");
    }
  }
}

// Records point at members by name (生父, 兼祧): a rename takes them along in
// the same step, and its undo brings them back.
TEST_F(BookFile, RecordsNamingARenamedMemberFollowHim) {
  MemberNode* bing = FindIn(document_, QStringLiteral("丙"));
  MemberNode* ji = FindIn(document_, QStringLiteral("己"));
  ASSERT_TRUE(document_.ChangeRecordText(bing, RecordField::kBirthFather, QStringLiteral("乙")));
  ASSERT_TRUE(document_.ChangeRecordText(ji, RecordField::kSecondFather, QStringLiteral("乙")));
  ASSERT_TRUE(document_.ChangeRecordText(ji, RecordField::kBirthFather, QStringLiteral("外人")));
  SaveAndCompare("named");
  const int steps = document_.UndoStack()->count();
  Change(QStringLiteral("乙"), QStringLiteral("乙新")).apply(document_);
  EXPECT_EQ(document_.UndoStack()->count(), steps + 1);
  EXPECT_EQ(bing->extra.Record().birthFather, u"乙新");
  EXPECT_EQ(ji->extra.Record().secondFather, u"乙新");
  EXPECT_EQ(ji->extra.Record().birthFather, u"外人");
  SaveAndCompare("renamed");
  document_.UndoStack()->undo();
  EXPECT_EQ(bing->extra.Record().birthFather, u"乙");
  EXPECT_EQ(ji->extra.Record().secondFather, u"乙");
  SaveAndCompare("undone");
}

TEST_F(BookFile, EachChangeOfARecordIsOneNamedCommand) {
  MemberNode* jia = FindIn(document_, QStringLiteral("甲"));
  MemberNode* bing = FindIn(document_, QStringLiteral("丙"));
  MemberNode* ding = FindIn(document_, QStringLiteral("丁"));
  Spouse wang;
  wang.surname = u"王";
  wang.origin = u"太原";
  Spouse li = wang;
  li.surname = u"李";
  li.title = SpouseTitle::kJiPei;
  const struct {
    const char* label;
    std::function<bool(GenealogyDocument&)> change;
    const char* text;
    bool again = false;  // the same change again is another change (a second wife)
  } rows[] = {
      {"字",
       [&](GenealogyDocument& d) {
         return d.ChangeRecordText(jia, RecordField::kCourtesyName, QStringLiteral("仲尼"));
       },
       "更改 甲 的 字"},
      {"行传",
       [&](GenealogyDocument& d) {
         return d.ChangeRecordText(jia, RecordField::kBiography, QStringLiteral("一段。\n二段。"));
       },
       "更改 甲 的 行传"},
      {"葬向",
       [&](GenealogyDocument& d) {
         return d.ChangeRecordText(jia, RecordField::kBurialFacing, QStringLiteral("坐北朝南"));
       },
       "更改 甲 的 葬向"},
      {"性别", [&](GenealogyDocument& d) { return d.ChangeSex(ding, Sex::kFemale); },
       "更改 丁 的 性别"},
      {"适",
       [&](GenealogyDocument& d) {
         return d.ChangeRecordText(ding, RecordField::kHusbandName, QStringLiteral("张三"));
       },
       "更改 丁 的 丈夫"},
      {"first wife", [&](GenealogyDocument& d) { return d.AddSpouse(jia, wang); }, "增加 甲 的配偶",
       true},
      {"生母", [&](GenealogyDocument& d) { return d.ChangeMother(bing, 0); }, "更改 丙 的 生母"},
      // 丙's mother moves to the second place with her.
      {"a wife before her", [&](GenealogyDocument& d) { return d.AddSpouse(jia, li, 0); },
       "增加 甲 的配偶", true},
      {"the first wife removed", [&](GenealogyDocument& d) { return d.RemoveSpouse(jia, 0); },
       "删除 甲 的配偶", true},
      {"来源",
       [&](GenealogyDocument& d) {
         return d.ChangeSources(jia, {{u"旧谱", u"卷三"}});
       },
       "更改 甲 的 来源"},
      {"照片",
       [&](GenealogyDocument& d) {
         return d.AddPhoto(jia, QStringLiteral("像"), Png(4, 3)) ==
                GenealogyDocument::PhotoProblem::kNone;
       },
       "增加 甲 的照片", true},
      {"caption",
       [&](GenealogyDocument& d) { return d.ChangePhotoCaption(jia, 0, QStringLiteral("遗像")); },
       "更改 甲 的 照片"},
      {"谱名",
       [&](GenealogyDocument& d) {
         return d.ChangeBookText(RecordField::kBookTitle, QStringLiteral("某氏宗谱"));
       },
       "更改谱书的 谱名"},
      {"year", [&](GenealogyDocument& d) { return d.ChangeEditionYear(1930); },
       "更改谱书的 修谱年份"},
      {"字辈",
       [&](GenealogyDocument& d) {
         return d.ChangeGenerationPoem(QStringLiteral("克昌厥后，永保其宗。"), 3);
       },
       "更改谱书的 字辈"},
      // Its 世 alone is a change of the book's data, saved as one.
      {"字辈's 世",
       [&](GenealogyDocument& d) {
         return d.ChangeGenerationPoem(QStringLiteral("克昌厥后，永保其宗。"), 5);
       },
       "更改谱书的 字辈"},
      {"photo removed", [&](GenealogyDocument& d) { return d.RemovePhoto(jia, 0); },
       "删除 甲 的照片", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string before = WholeStateOf(document_);
    const int commands = document_.UndoStack()->count();
    ASSERT_TRUE(row.change(document_));
    EXPECT_EQ(document_.UndoStack()->count(), commands + 1);
    EXPECT_EQ(document_.UndoStack()->undoText(), QString::fromUtf8(row.text));
    const std::string after = WholeStateOf(document_);
    EXPECT_NE(after, before);
    if (!row.again) {
      EXPECT_FALSE(row.change(document_)) << "the same change again changes nothing";
    }
    SaveAndCompare("done");
    document_.UndoStack()->undo();
    EXPECT_EQ(WholeStateOf(document_), before);
    SaveAndCompare("undone");
    document_.UndoStack()->redo();
    EXPECT_EQ(WholeStateOf(document_), after);
    SaveAndCompare("redone");
  }
  // The wife added before 王 was removed: 丙's mother is 王 again, first.
  EXPECT_EQ(bing->extra.Record().mother, 0);
  ASSERT_EQ(jia->extra.Record().spouses.size(), 1u);
  EXPECT_EQ(jia->extra.Record().spouses[0].surname, u"王");
  // What .ftf would drop, in the field's words.
  EXPECT_EQ(document_.FieldsFtfWillNotKeep(),
            QStringList({QStringLiteral("性别"), QStringLiteral("字"), QStringLiteral("行传"),
                         QStringLiteral("葬向"), QStringLiteral("丈夫"), QStringLiteral("生母"),
                         QStringLiteral("配偶"), QStringLiteral("来源"), QStringLiteral("谱名"),
                         QStringLiteral("修谱年份")}));
}

// A picture saved, its member deleted and the deletion saved (the rows go),
// then undone and saved again: the picture is back, bytes and all.
TEST_F(BookFile, ADeletedMembersPicturesComeBackWithHim) {
  MemberNode* bing = FindIn(document_, QStringLiteral("丙"));
  ASSERT_EQ(document_.AddPhoto(bing, QStringLiteral("像"), Png(5, 5)),
            GenealogyDocument::PhotoProblem::kNone);
  SaveAndCompare("picture");
  const std::string withPicture = WholeStateOf(document_);
  document_.DeleteMember(FindIn(document_, QStringLiteral("甲")));
  SaveAndCompare("deleted");
  document_.UndoStack()->undo();
  SaveAndCompare("undone");
  EXPECT_EQ(WholeStateOf(document_), withPicture);
}

TEST_F(BookFile, RefusesWhatIsNoPictureOrTooLarge) {
  MemberNode* jia = FindIn(document_, QStringLiteral("甲"));
  using P = GenealogyDocument::PhotoProblem;
  EXPECT_EQ(document_.AddPhoto(jia, {}, QByteArray("not a picture")), P::kNotAPicture);
  EXPECT_EQ(document_.AddPhoto(jia, {}, QByteArray()), P::kNotAPicture);
  // A header that says 120 million pixels: refused before any is decoded.
  EXPECT_EQ(document_.AddPhoto(jia, {}, QByteArray("P4\n20000 6000\n")), P::kTooManyPixels);
  EXPECT_EQ(document_.AddPhoto(jia, {}, QByteArray(GenealogyDocument::kMaxPhotoBytes + 1, 'x')),
            P::kTooManyBytes);
  EXPECT_EQ(document_.UndoStack()->count(), 0);
  EXPECT_FALSE(jia->extra.HasRecord());
}

// A second program's open of the book finds it in use; read-only it opens,
// and its save is refused with a reason the user reads.
TEST_F(BookFile, ABookOpenHereIsReadOnlyElsewhere) {
  GenealogyDocument::OpenedBook opened;
  const FileStatus refused = GenealogyDocument::ReadBook(path_, opened, false);
  EXPECT_EQ(refused.problem, FileProblem::kBookInUse);
  EXPECT_FALSE(GenealogyDocument::BookProblemText(refused.problem).isEmpty());
  ASSERT_TRUE(GenealogyDocument::ReadBook(path_, opened, true).Ok());
  GenealogyDocument other;
  other.AdoptBook(opened, path_);
  EXPECT_TRUE(other.IsReadOnly());
  other.ChangeRecordText(FindIn(other, QStringLiteral("甲")), RecordField::kNote,
                         QStringLiteral("注"));
  EXPECT_EQ(other.SaveBook(path_, false).problem, FileProblem::kBookReadOnly);
  // Saved under another name it is its own again.
  const QString copy = folder_.filePath(QStringLiteral("copy.cbk"));
  ASSERT_TRUE(other.SaveBook(copy, false).Ok());
  EXPECT_FALSE(other.IsReadOnly());
}

}  // namespace
