// GEDCOM commands of the file menu on real files, driven through the menu
// items: export in either version and back, import with the choice of the
// root and its report, and every way an import can end without changing the
// open genealogy.
#include "MainWindowTestSupport.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CGedcomRootDlg.h"
#include "dialogs/CImportReportDlg.h"
#include "formats/CbkFormat.h"
#include "formats/FtfFormat.h"
#include "formats/gedcom/Gedcom.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>

namespace {

const QByteArray kSample =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "Cypress 1962 3 4 1 end 0 2001 7 8 Birch\r\n";
const QStringList kSampleNames = {"Alder", "Birch", "Cedar", "Cypress"};

// 孔纥's line of three, his wife's line of one, and the Smiths' line of two.
const QByteArray kFamilies =
    "0 HEAD\r\n1 GEDC\r\n2 VERS 5.5.1\r\n1 CHAR UTF-8\r\n"
    "0 @I1@ INDI\r\n1 NAME 孔 /纥/\r\n1 BIRT\r\n2 DATE ABT 600 B.C.\r\n1 FAMS @F1@\r\n"
    "0 @I2@ INDI\r\n1 NAME 颜徵在\r\n1 FAMS @F1@\r\n"
    "0 @I3@ INDI\r\n1 NAME 孔丘\r\n1 BIRT\r\n2 DATE 28 SEP 551 B.C.\r\n1 FAMC @F1@\r\n"
    "1 FAMS @F2@\r\n"
    "0 @I4@ INDI\r\n1 NAME 孔鲤\r\n1 BIRT\r\n2 DATE 532 B.C.\r\n1 FAMC @F2@\r\n"
    "0 @I5@ INDI\r\n1 NAME John /Smith/\r\n1 BIRT\r\n2 DATE 3 MAR 1801\r\n1 FAMS @F3@\r\n"
    "0 @I6@ INDI\r\n1 NAME Jack /Smith/\r\n1 FAMC @F3@\r\n"
    "0 @F1@ FAM\r\n1 HUSB @I1@\r\n1 WIFE @I2@\r\n1 CHIL @I3@\r\n"
    "0 @F2@ FAM\r\n1 HUSB @I3@\r\n1 CHIL @I4@\r\n"
    "0 @F3@ FAM\r\n1 HUSB @I5@\r\n1 CHIL @I6@\r\n"
    "0 TRLR\r\n";

const QString kModifiedQuestion = QStringLiteral("该家谱已被修改，你想保存吗?");

// The file dialog's answers in order, and what each request asked for.
struct FileDialogScript {
  struct Answer {
    QString path;     // empty: cancelled
    int filter = -1;  // index among the request's filters; -1: left as offered
  };
  std::deque<Answer> answers;
  std::vector<FileDialogRequest> requests;
  std::vector<int> boxesBefore;  // message boxes already shown when it came up
};

class GedcomCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetTodayForTesting(LocalDate{2024, 6, 15});
    window = std::make_unique<CClanbookDlg>();
    window->Create();
    SetFileDialogForTesting([this](const FileDialogRequest& request) {
      script.requests.push_back(request);
      script.boxesBefore.push_back(static_cast<int>(boxes.Boxes().size()));
      if (script.answers.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return QString();
      }
      const FileDialogScript::Answer answer = script.answers.front();
      script.answers.pop_front();
      if (answer.filter >= 0 && request.selectedFilter)
        *request.selectedFilter = request.filter.split(QStringLiteral(";;")).at(answer.filter);
      return answer.path;
    });
    WriteFile(Path("sample.ftf"), kSample + kEndLine);
    WriteFile(Path("families.ged"), kFamilies);
  }
  void TearDown() override {
    SetFileDialogForTesting(nullptr);
    SetTodayForTesting(std::nullopt);
    EXPECT_TRUE(script.answers.empty());
    EXPECT_EQ(PendingModalHandlers(), 0);
    EXPECT_EQ(boxes.unansweredQuestions, 0);
  }

  QString Path(const QString& name) const { return dir.filePath(name); }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  QStringList Texts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }
  QStringList TreeLabels() const { return TreeLinesOf(window->treeView(), 0); }
  void OpenSample() {
    ASSERT_EQ(window->document().Load(Path("sample.ftf")), kFileOk);
    window->EnableMemberButtons(true);
  }
  QAction* FileMenuItem(const char* objectName) const {
    for (QAction* menu : window->menuBar()->actions())
      if (menu->menu() && menu->text() == QStringLiteral("文件"))
        for (QAction* item : menu->menu()->actions())
          if (item->objectName() == QLatin1String(objectName)) return item;
    return nullptr;
  }
  void TriggerFileItem(const char* objectName) {
    QAction* item = FileMenuItem(objectName);
    ASSERT_NE(item, nullptr) << objectName;
    item->trigger();
  }
  // The .ftf bytes a genealogy saves to.
  QByteArray Saved(const COperationClanbook& genealogy, const QString& name) {
    const QString path = Path(name);
    EXPECT_EQ(formats::SaveFtf(path.toStdU16String(), genealogy).code, kFileOk);
    return Read(path);
  }
  // Answers the chooser with the row of `xref` (empty: as offered, or cancel).
  static void AnswerChooser(const std::string& xref, bool cancel = false) {
    OnNextDialog<CGedcomRootDlg>([xref, cancel](CGedcomRootDlg* dialog) {
      if (cancel) {
        ClickButton(dialog, "idc_2");
        return;
      }
      QTableView* view = dialog->CandidateView();
      for (int row = 0; !xref.empty() && row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, 1).data().toString() == QString::fromStdString(xref))
          view->selectRow(row);
      ClickButton(dialog, "idc_1");
    });
  }
  // Checks the report shown against the library's for the same file and root.
  static void ExpectReport(const QByteArray& bytes, const std::string& xref) {
    OnNextDialog<CImportReportDlg>([bytes, xref](CImportReportDlg* dialog) {
      COperationClanbook expected;
      gedcom::GedcomImportReport report;
      gedcom::GedcomImportOptions options;
      options.rootXref = xref;
      EXPECT_TRUE(gedcom::ReadGedcom(bytes.toStdString(), options, expected, report));
      const QTableView* view = dialog->ChangeView();
      const int rows = view ? view->model()->rowCount() : 0;
      EXPECT_EQ(rows, static_cast<int>(report.changes.size()));
      for (int row = 0; row < rows && row < static_cast<int>(report.changes.size()); ++row) {
        const gedcom::GedcomChange& change = report.changes[static_cast<std::size_t>(row)];
        EXPECT_EQ(view->model()->index(row, 0).data().toString(),
                  QString::fromStdString(change.xref));
        EXPECT_EQ(view->model()->index(row, 3).data().toString(),
                  QString::fromStdString(change.stored));
      }
      ClickButton(dialog, "idc_1");
    });
  }
  // The open genealogy is still the sample, as it was opened.
  void ExpectSampleUntouched() {
    EXPECT_EQ(TreeLabels(), kSampleNames);
    EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
  }

  MessageBoxRecorder boxes;
  QTemporaryDir dir;
  FileDialogScript script;
  std::unique_ptr<CClanbookDlg> window;
};

TEST_F(GedcomCommandsTest, BothCommandsStandInTheFileMenuBeforeExit) {
  for (QAction* menu : window->menuBar()->actions()) {
    if (menu->text() != QStringLiteral("文件")) continue;
    const QList<QAction*> items = menu->menu()->actions();
    const qsizetype exit = items.indexOf(window->MenuAction(ID_EXIT));
    const qsizetype import = items.indexOf(FileMenuItem("gedcomImport"));
    const qsizetype exportItem = items.indexOf(FileMenuItem("gedcomExport"));
    ASSERT_GE(import, 0);
    ASSERT_GE(exportItem, 0);
    EXPECT_LT(import, exit);
    EXPECT_LT(exportItem, exit);
    EXPECT_EQ(items[import]->text(), QStringLiteral("导入GEDCOM…"));
    EXPECT_EQ(items[exportItem]->text(), QStringLiteral("导出GEDCOM…"));
    return;
  }
  ADD_FAILURE() << "no 文件 menu";
}

TEST_F(GedcomCommandsTest, ExportWritesWhatTheLibraryReadsBackAsTheSameGenealogy) {
  OpenSample();
  struct Case {
    const char* what;
    FileDialogScript::Answer answer;
    QString written;
    QByteArray version;
  };
  const Case cases[] = {
      {"as offered", {Path("offered.ged"), -1}, Path("offered.ged"), "2 VERS 7.0\r\n"},
      {"7.0 chosen", {Path("seven.ged"), 0}, Path("seven.ged"), "2 VERS 7.0\r\n"},
      {"5.5.1 chosen", {Path("five.ged"), 1}, Path("five.ged"), "2 VERS 5.5.1\r\n"},
      {"a name without .ged", {Path("plain"), 1}, Path("plain.ged"), "2 VERS 5.5.1\r\n"},
  };
  const QByteArray original = Saved(window->document().Genealogy(), "original.ftf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.Clear();
    script.answers.push_back(c.answer);
    TriggerFileItem("gedcomExport");
    EXPECT_TRUE(Texts().isEmpty());
    ASSERT_FALSE(script.requests.empty());
    EXPECT_FALSE(script.requests.back().open);
    EXPECT_EQ(script.requests.back().filter,
              QStringLiteral("GEDCOM 7.0 (*.ged);;GEDCOM 5.5.1 (*.ged);;GEDZIP：GEDCOM 7.0 与照片 "
                             "(*.gdz)"));
    const QByteArray bytes = Read(c.written);
    EXPECT_TRUE(bytes.contains(c.version));
    COperationClanbook back;
    gedcom::GedcomImportReport report;
    gedcom::GedcomImportOptions options;
    options.rootXref = "@I1@";
    ASSERT_TRUE(gedcom::ReadGedcom(bytes.toStdString(), options, back, report));
    EXPECT_EQ(Saved(back, "back.ftf"), original);
  }
  // Exporting is no edit.
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_EQ(window->document().FileName(), Path("sample.ftf"));
}

TEST_F(GedcomCommandsTest, ExportAsksBeforeReplacingTheFileItAddedTheSuffixTo) {
  OpenSample();
  WriteFile(Path("kept.ged"), "old");
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace);
    boxes.Clear();
    boxes.QueueAnswer(replace);
    script.answers.push_back({Path("kept"), -1});
    TriggerFileItem("gedcomExport");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Question);
    EXPECT_EQ(Read(Path("kept.ged"))
                  .startsWith("\xEF\xBB\xBF"
                              "0 HEAD"),
              replace);
  }
}

TEST_F(GedcomCommandsTest, ExportOfNothingOrToNowhereWritesNothing) {
  // No genealogy: a notice, and no file is asked for.
  TriggerFileItem("gedcomExport");
  EXPECT_EQ(Texts().size(), 1);
  EXPECT_TRUE(script.requests.empty());

  OpenSample();
  boxes.Clear();
  const QString nowhere = Path("no/such/folder/out.ged");
  script.answers.push_back({nowhere, -1});
  TriggerFileItem("gedcomExport");
  ASSERT_EQ(Texts().size(), 1);
  EXPECT_TRUE(Texts()[0].contains(nowhere)) << Texts()[0].toStdString();
  EXPECT_FALSE(QFile::exists(nowhere));

  boxes.Clear();
  script.answers.push_back({QString(), -1});  // cancelled
  TriggerFileItem("gedcomExport");
  EXPECT_TRUE(Texts().isEmpty());
}

// The export never takes the place of the open book, by any of its names, and
// a target it cannot write is named with the reason.
TEST_F(GedcomCommandsTest, ExportRefusesTheBookAndSaysWhyATargetFails) {
  OpenSample();
  const QByteArray book = QFile::encodeName(Path("sample.ftf"));
  ASSERT_EQ(::symlink(book.constData(), QFile::encodeName(Path("linked.ged")).constData()), 0);
  ASSERT_EQ(::link(book.constData(), QFile::encodeName(Path("hard.ged")).constData()), 0);
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("adir.ged")));
  const QString isBook = QStringLiteral("%1 是正在编辑的家谱文件，导出的内容不能保存到它里面!");
  const QString cannot = QStringLiteral("GEDCOM文件%1无法保存：%2!");
  const struct {
    QString target;
    QString notice;
  } rows[] = {
      {Path("linked.ged"), isBook.arg(Path("linked.ged"))},
      {Path("hard.ged"), isBook.arg(Path("hard.ged"))},
      {Path("adir.ged"), cannot.arg(Path("adir.ged"), QStringLiteral("它是一个文件夹"))},
      {Path("none/out.ged"),
       cannot.arg(Path("none/out.ged"), QStringLiteral("它所在的文件夹不存在"))},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.target.toStdString());
    boxes.Clear();
    script.answers.push_back({row.target, -1});
    TriggerFileItem("gedcomExport");
    EXPECT_EQ(Texts(), QStringList{row.notice});
    EXPECT_EQ(Read(Path("sample.ftf")), kSample + kEndLine);
  }
}

TEST_F(GedcomCommandsTest, ImportReplacesTheGenealogyWithTheChosenLine) {
  struct Case {
    const char* what;
    std::string choice;  // the chooser's row; empty: as offered
    std::string root;    // the XREF the import starts from
    QStringList tree;
  };
  const Case cases[] = {
      {"the largest line, as offered", "", "@I1@", {"孔纥", "孔丘", "孔鲤"}},
      {"another line", "@I5@", "@I5@", {"John·Smith", "Jack·Smith"}},
      {"a wife's line of one", "@I2@", "@I2@", {"颜徵在"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSample();
    boxes.Clear();
    script.answers.push_back({Path("families.ged"), -1});
    AnswerChooser(c.choice);
    ExpectReport(kFamilies, c.root);
    TriggerFileItem("gedcomImport");
    EXPECT_EQ(script.requests.back().filter,
              QStringLiteral("GEDCOM文件 (*.ged *.GED *.gdz *.GDZ);;All Files(*)"));
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_EQ(TreeLabels(), c.tree);
    EXPECT_TRUE(window->document().FileName().isEmpty());
    EXPECT_TRUE(window->document().IsModified());
    EXPECT_TRUE(window->button(ID_ADD_CHILD)->isEnabled());
    EXPECT_FALSE(window->document().UndoStack()->canUndo());
  }
  // It belongs to no file: the first Save asks for a name.
  const QString saved = Path("imported.ftf");
  OnNextDialog<CFileOpenAndSaveDlg>([saved](CFileOpenAndSaveDlg* dialog) {
    EXPECT_FALSE(dialog->m_isOpen);
    TypeInto(dialog, "fileNameEdit", saved);
    ClickButton(dialog, "idc_1");
  });
  Trigger(*window, ID_SAVE);
  EXPECT_EQ(window->document().FileName(), saved);
  EXPECT_FALSE(window->document().IsModified());
  EXPECT_TRUE(Read(saved).startsWith("颜徵在 "));
}

TEST_F(GedcomCommandsTest, AFailedOrCancelledImportChangesNothing) {
  WriteFile(Path("hello.ged"), "hello\r\n0 HEAD\r\n");
  WriteFile(Path("nobody.ged"), "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n0 TRLR\r\n");
  ASSERT_TRUE(QDir().mkpath(Path("folder.ged")));
  struct Case {
    const char* what;
    QString file;             // empty: the file dialog is cancelled
    bool chooser;             // the chooser comes up and is cancelled
    QStringList mustContain;  // in the one notice; none: no box at all
  };
  const Case cases[] = {
      {"not GEDCOM", Path("hello.ged"), false, {Path("hello.ged"), "第 1 行", "GEDCOM"}},
      {"nobody in it", Path("nobody.ged"), false, {Path("nobody.ged"), "INDI"}},
      {"no such file", Path("missing.ged"), false, {"文件无法打开!"}},
      {"a folder", Path("folder.ged"), false, {"文件无法打开!"}},
      {"the file dialog cancelled", QString(), false, {}},
      {"the chooser cancelled", Path("families.ged"), true, {}},
  };
  OpenSample();
  for (const bool modified : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      SCOPED_TRACE(modified);
      window->document().SetModified(modified);
      boxes.Clear();
      if (modified) boxes.QueueAnswer(false);  // the save prompt: not now
      script.answers.push_back({c.file, -1});
      if (c.chooser) AnswerChooser({}, true);
      TriggerFileItem("gedcomImport");
      QStringList notices = Texts();
      if (modified) {
        ASSERT_FALSE(notices.isEmpty());
        EXPECT_EQ(notices.takeFirst(), kModifiedQuestion);
      }
      if (c.mustContain.isEmpty()) {
        EXPECT_TRUE(notices.isEmpty()) << notices.join('|').toStdString();
      } else {
        ASSERT_EQ(notices.size(), 1);
        for (const QString& part : c.mustContain)
          EXPECT_TRUE(notices[0].contains(part)) << notices[0].toStdString();
      }
      ExpectSampleUntouched();
      // Unsaved changes stay unsaved: a later exit still offers to save them.
      EXPECT_EQ(static_cast<bool>(window->document().IsModified()), modified);
    }
  }
}

// The save prompt answered No and the import given up: the history still
// knows which state is the one on disk.
TEST_F(GedcomCommandsTest, AGivenUpImportLeavesTheSavedPointOfTheHistory) {
  OpenSample();
  MemberNode* leaf = window->document().Genealogy().Root();
  while (leaf->firstChild) leaf = leaf->firstChild;
  window->document().DeleteMember(leaf);
  ASSERT_TRUE(window->document().IsModified());
  boxes.QueueAnswer(false);
  script.answers.push_back({QString(), -1});
  TriggerFileItem("gedcomImport");
  EXPECT_TRUE(window->document().IsModified());
  window->document().UndoStack()->undo();
  EXPECT_FALSE(window->document().IsModified());
  ExpectSampleUntouched();
}

TEST_F(GedcomCommandsTest, TheSavePromptComesFirst) {
  OpenSample();
  window->document().SetModified(true);
  // Yes, then no name given: nothing was saved, so nothing is imported and no
  // GEDCOM file is asked for.
  boxes.QueueAnswer(true);
  OnNextDialog<CFileOpenAndSaveDlg>(
      [](CFileOpenAndSaveDlg* dialog) { ClickButton(dialog, "idc_2"); });
  TriggerFileItem("gedcomImport");
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_TRUE(script.requests.empty());
  EXPECT_TRUE(window->document().IsModified());
  ExpectSampleUntouched();

  // No: the import goes on, after the question.
  boxes.Clear();
  boxes.QueueAnswer(false);
  script.answers.push_back({Path("families.ged"), -1});
  AnswerChooser({});
  ExpectReport(kFamilies, "@I1@");
  TriggerFileItem("gedcomImport");
  ASSERT_EQ(script.boxesBefore.size(), 1u);
  EXPECT_EQ(script.boxesBefore[0], 1);
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), (QStringList{"孔纥", "孔丘", "孔鲤"}));
  EXPECT_TRUE(window->document().IsModified());
}

// A .ged dropped on the window is imported as the menu command imports it:
// the save prompt, the chooser, the report.
// A GEDZIP goes out through the export's third filter (or a name ending
// .gdz) and comes back through the import, the archive read as the library
// reads it; a damaged one is refused with its reason and changes nothing.
TEST_F(GedcomCommandsTest, AGedzipGoesOutAndComesBackThroughTheWindow) {
  OpenSample();
  const QByteArray original = Saved(window->document().Genealogy(), "original.ftf");
  for (const auto& [answer, written] :
       {std::pair{FileDialogScript::Answer{Path("chosen"), 2}, Path("chosen.gdz")},
        std::pair{FileDialogScript::Answer{Path("typed.gdz"), 0}, Path("typed.gdz")}}) {
    SCOPED_TRACE(written.toStdString());
    boxes.Clear();
    script.answers.push_back(answer);
    TriggerFileItem("gedcomExport");
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_TRUE(Read(written).startsWith("PK\x03\x04"));
    COperationClanbook back;
    ASSERT_TRUE(formats::ReadBookFile(written.toStdU16String(), back).Ok());
    EXPECT_EQ(Saved(back, "back.ftf"), original);
  }
  boxes.Clear();
  script.answers.push_back({Path("typed.gdz"), -1});
  AnswerChooser({});
  OnNextDialog<CImportReportDlg>([](CImportReportDlg* dialog) { ClickButton(dialog, "idc_1"); });
  TriggerFileItem("gedcomImport");
  EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'\n').toStdString();
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(window->document().FileName().isEmpty());

  OpenSample();
  boxes.Clear();
  WriteFile(Path("broken.gdz"), "PK\x03\x04 cut short");
  script.answers.push_back({Path("broken.gdz"), -1});
  TriggerFileItem("gedcomImport");
  ASSERT_EQ(Texts().size(), 1);
  EXPECT_TRUE(Texts()[0].contains(Path("broken.gdz"))) << Texts()[0].toStdString();
  EXPECT_TRUE(Texts()[0].contains(QStringLiteral("ZIP"))) << Texts()[0].toStdString();
  ExpectSampleUntouched();
}

TEST_F(GedcomCommandsTest, ADroppedGedcomFileIsImported) {
  OpenSample();
  window->document().SetModified(true);
  boxes.Clear();
  boxes.QueueAnswer(false);  // the save prompt: not now
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("families.ged"))});
  const QPointF centre = window->rect().center();
  QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  // The import runs once the drop has ended.
  AnswerChooser("@I5@");
  ExpectReport(kFamilies, "@I5@");
  QApplication::processEvents();
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), (QStringList{"John·Smith", "Jack·Smith"}));
  EXPECT_TRUE(window->document().FileName().isEmpty());
}

}  // namespace
