// Save and Save As on real files: where they write, what they refuse, a
// failed or cut-short write, a file changed by another program, and the
// previous version and the 字辈 kept beside the book.
#include "FileCommandsFixture.h"

namespace {

TEST_F(FileCommandsTest, OpenThenSaveWritesTheOpenedFileWithoutAsking) {
  Open(Path("sample.ftf"));
  ASSERT_TRUE(QFile::remove(Path("sample.ftf")));
  window->document().SetModified(true);
  {
    NoDialogExpected none;
    Trigger(*window, ID_SAVE);
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
    Trigger(*window, ID_SAVE);
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
    Trigger(*window, ID_NEW);
    window->document().FileName() = Path("sample.ftf");
    window->document().SetModified(true);
    boxes.Clear();
    {
      NoDialogExpected none;
      Trigger(*window, command);
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
    Trigger(*window, ID_EXIT);
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
  Trigger(*window, ID_SAVE_AS);
  EXPECT_EQ(window->document().FileName(), name);
  EXPECT_EQ(Read(name), kSample);
  ASSERT_TRUE(QFile::remove(name));
  {
    NoDialogExpected none;
    Trigger(*window, ID_SAVE);
  }
  EXPECT_EQ(Read(name), kSample);
}

TEST_F(FileCommandsTest, FailedWritesAreReportedAndNothingIsLost) {
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  // Into a folder that does not exist, and below a regular file.
  for (const QString& name : {Path("missing/book.ftf"), Path("sample.ftf/book.ftf")}) {
    SCOPED_TRACE(name.toStdString());
    boxes.Clear();
    AnswerName(false, name);
    Trigger(*window, ID_SAVE_AS);
    EXPECT_EQ(Texts(), QStringList{kCannotSave});
    EXPECT_TRUE(window->document().IsModified());
  }
  // Save under that name fails again, says so, and offers another name.
  boxes.Clear();
  AnswerName(false, Path("rescued.ftf"));
  Trigger(*window, ID_SAVE);
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
    Trigger(*window, ID_SAVE);
  }
  EXPECT_EQ(Texts(), QStringList{kCannotSave});
  EXPECT_EQ(Read(Path("other.ftf")), "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  EXPECT_TRUE(window->document().IsModified());
  EXPECT_TRUE(Has(u"Cedar"));
  // No half-written file is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"other.ftf", "sample.ftf"}));
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
    Trigger(*window, ID_SAVE_AS);
    EXPECT_EQ(Texts(), QStringList{c.message});
    EXPECT_FALSE(QFile::exists(Path("refused.ftf")));
    EXPECT_TRUE(window->document().IsModified());
    // Another name would not help: Save says it once and asks for none.
    boxes.Clear();
    {
      NoDialogExpected none;
      Trigger(*window, ID_SAVE);
    }
    EXPECT_EQ(Texts(), QStringList{c.message});
  }
  // A target that is no file at all is named.
  NewWindow();
  Open(Path("sample.ftf"));
  boxes.Clear();
  AnswerName(false, dir.path());
  Trigger(*window, ID_SAVE_AS);
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
      Trigger(*window, ID_SAVE);
    }
    EXPECT_EQ(Texts(), QStringList{question});
    // Enter alone keeps the other program's version.
    EXPECT_EQ(boxes.Boxes()[0].byDefault, QuestionDefault::No);
    EXPECT_EQ(Read(Path("sample.ftf")), onDisk);
    EXPECT_TRUE(window->document().IsModified());

    boxes.Clear();
    boxes.QueueAnswer(true);
    Trigger(*window, ID_SAVE);
    EXPECT_EQ(Read(Path("sample.ftf")), kSample);
    EXPECT_FALSE(window->document().IsModified());
    // What was written is what the next save compares with: no question.
    window->document().SetModified(true);
    Trigger(*window, ID_SAVE);
    EXPECT_EQ(Texts(), QStringList{question});
  }
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
  Trigger(*window, ID_SAVE_AS);
  EXPECT_EQ(Read(Path("book.ftf")), kSample);
  EXPECT_EQ(Read(Path("book.ftf.bak")), old);
  // A first save of a new file has no previous version.
  AnswerName(false, Path("fresh.ftf"));
  Trigger(*window, ID_SAVE_AS);
  EXPECT_FALSE(QFile::exists(Path("fresh.ftf.bak")));

  keep->trigger();
  EXPECT_FALSE(keep->isChecked());
  Write("book.ftf", old);
  window->document().FileName() = Path("book.ftf");
  Trigger(*window, ID_SAVE);
  EXPECT_EQ(Read(Path("book.ftf")), kSample);
  EXPECT_EQ(Read(Path("book.ftf.bak")), old);  // untouched: kept from before
  Write("book.ftf.bak", "older");
  Trigger(*window, ID_SAVE);
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
    Trigger(*window, ID_SAVE_AS);
    EXPECT_EQ(Read(Path(c.name)), kSample);
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(Texts(), c.saidAtFirstSave);
    boxes.Clear();
    for (int i = 0; i < 2; ++i) {
      window->document().SetModified(true);
      Trigger(*window, ID_SAVE);
      EXPECT_FALSE(window->document().IsModified());
    }
    EXPECT_EQ(Texts(), QStringList());
    EXPECT_TRUE(QFileInfo(Path("book.ftf.bak")).isDir() == (c.name == QStringLiteral("book.ftf")));

    // The window kept the 字辈: a save under a shorter name keeps it beside the book.
    AnswerName(false, Path("short.ftf"));
    Trigger(*window, ID_SAVE_AS);
    EXPECT_EQ(Read(Path("short.ftf.zibei")), c.poem ? QByteArray("2\n永昌\n") : "<missing>");
    EXPECT_EQ(Texts(), QStringList());
    // Opened again, the book's name is said again at its first save.
    Open(Path(c.name));
    boxes.Clear();
    window->document().SetModified(true);
    Trigger(*window, ID_SAVE);
    EXPECT_EQ(Texts().size(), 1);
  }
}

}  // namespace
