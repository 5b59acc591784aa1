// The two dialogs of a GEDCOM import: the chooser of the root, driven by
// clicks and typed names, and the report of the changes, shown and saved.
#include "GuiTestSupport.h"
#include "dialogs/CGedcomRootDlg.h"
#include "dialogs/CImportReportDlg.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

namespace {

// Every label names the control it stands for, and every button is named by
// its text, for screen readers.
void ExpectAccessibleNames(QWidget* dialog) {
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    if (label->buddy()) {
      EXPECT_EQ(label->buddy()->accessibleName(), label->text());
    }
  }
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    EXPECT_EQ(button->accessibleName(), button->text());
}

QString Cell(const QTableView* view, int row, int column) {
  return view->model()->index(row, column).data().toString();
}

void ClickRow(QTableView* view, int row) {
  const QRect rect = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

const std::vector<gedcom::GedcomRootCandidate> kCandidates = {
    {"@I1@", "孔纥", 5},
    {"@I7@", "颜徵在", 1},
    {"@I9@", "John Smith", 1},
    {"@I12@", "孔纥", 1},  // another man of the same name, a shorter line
};

struct RootCase {
  const char* what;
  std::function<void(CGedcomRootDlg&)> act;
  std::string expected;  // empty: refused, the dialog stays open
};

TEST(GedcomRootDlgTest, ListsTheCandidatesInTheirOrder) {
  CGedcomRootDlg dialog(kCandidates);
  dialog.Create();
  const QTableView* view = dialog.CandidateView();
  ASSERT_EQ(view->model()->rowCount(), static_cast<int>(kCandidates.size()));
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    const auto& c = kCandidates[static_cast<std::size_t>(row)];
    EXPECT_EQ(Cell(view, row, 0), QString::fromStdString(c.name));
    EXPECT_EQ(Cell(view, row, 1), QString::fromStdString(c.xref));
    EXPECT_EQ(Cell(view, row, 2), QString::number(c.members));
  }
  // The largest line is offered.
  EXPECT_EQ(dialog.NameEdit()->text(), QString::fromStdString(kCandidates[0].name));
  ExpectAccessibleNames(&dialog);
}

TEST(GedcomRootDlgTest, ShowsControlCharactersOfTheFileEscaped) {
  const std::vector<gedcom::GedcomRootCandidate> hostile = {
      {"@I1\x1B@", "孔\x1B]0;pwned\x07纥", 2}};
  CGedcomRootDlg dialog(hostile);
  dialog.Create();
  EXPECT_EQ(Cell(dialog.CandidateView(), 0, 0), QStringLiteral("孔\\x1B]0;pwned\\x07纥"));
  EXPECT_EQ(Cell(dialog.CandidateView(), 0, 1), QStringLiteral("@I1\\x1B@"));
}

TEST(GedcomRootDlgTest, TakesTheRootClickedOrNamed) {
  const RootCase cases[] = {
      {"the default", [](CGedcomRootDlg&) {}, "@I1@"},
      {"a click", [](CGedcomRootDlg& d) { ClickRow(d.CandidateView(), 2); }, "@I9@"},
      {"a name typed", [](CGedcomRootDlg& d) { TypeInto(&d, "rootName", "颜徵在"); }, "@I7@"},
      {"a Latin name with blanks",
       [](CGedcomRootDlg& d) { TypeInto(&d, "rootName", " John Smith "); }, "@I9@"},
      {"the smaller line of a shared name, clicked",
       [](CGedcomRootDlg& d) { ClickRow(d.CandidateView(), 3); }, "@I12@"},
      {"a shared name typed after another click",
       [](CGedcomRootDlg& d) {
         ClickRow(d.CandidateView(), 2);
         TypeInto(&d, "rootName", "孔纥");
       },
       "@I1@"},
      {"a name nobody bears", [](CGedcomRootDlg& d) { TypeInto(&d, "rootName", "Nobody"); }, ""},
      {"no name", [](CGedcomRootDlg& d) { TypeInto(&d, "rootName", ""); }, ""},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.what);
    MessageBoxRecorder boxes;
    CGedcomRootDlg dialog(kCandidates);
    dialog.Create();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    c.act(dialog);
    ClickButton(&dialog, "idc_1");
    if (c.expected.empty()) {
      EXPECT_TRUE(dialog.isVisible());
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Notice);
      EXPECT_TRUE(dialog.m_rootXref.empty());
    } else {
      EXPECT_FALSE(dialog.isVisible());
      EXPECT_EQ(dialog.result(), IDOK);
      EXPECT_EQ(dialog.m_rootXref, c.expected);
      EXPECT_TRUE(boxes.Boxes().empty());
    }
  }
}

TEST(GedcomRootDlgTest, TypingANameSelectsItsRow) {
  CGedcomRootDlg dialog(kCandidates);
  dialog.Create();
  TypeInto(&dialog, "rootName", "John Smith");
  QModelIndexList rows = dialog.CandidateView()->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0].row(), 2);
  TypeInto(&dialog, "rootName", "John");
  EXPECT_TRUE(dialog.CandidateView()->selectionModel()->selectedRows().isEmpty());
}

class ImportReportDlgTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    report.version = "5.5.1";
    report.encoding = "UTF-8";
    report.rootXref = "@I1@";
    report.people = 4;
    report.members = 3;
    report.changes = {{"@I1@", "name", "孔 /纥/ Jr", "孔纥·Jr"},
                      {"@I1@", "birth", "ABT 600 B.C.", "-599-01-01"},
                      {"@I3@", "birth", "", "-525-01-01"},
                      {"@I2@", "address", "曲阜 鲁国", "曲阜·鲁国"}};
    report.notes = {{gedcom::GedcomNote::Kind::kNotALine, 12, {}}};
    report.dropped = {{"@I2@", 30, "BIRT.PLAC", "无锡"}, {"@F1@", 41, "MARR", ""}};
  }
  void TearDown() override { SetFileDialogForTesting(nullptr); }
  std::string Text() const {
    std::ostringstream out;
    report.Write(out);
    return out.str();
  }

  MessageBoxRecorder boxes;
  QTemporaryDir dir;
  gedcom::GedcomImportReport report;
};

TEST_F(ImportReportDlgTest, ShowsEveryChangeAndTheNotes) {
  CImportReportDlg dialog(report);
  dialog.Create();
  const QTableView* view = dialog.ChangeView();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->model()->rowCount(), static_cast<int>(report.changes.size()));
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    const gedcom::GedcomChange& c = report.changes[static_cast<std::size_t>(row)];
    EXPECT_EQ(Cell(view, row, 0), QString::fromStdString(c.xref));
    EXPECT_EQ(Cell(view, row, 1), CImportReportDlg::FieldText(c.field));
    EXPECT_EQ(Cell(view, row, 2),
              c.original.empty() ? QStringLiteral("（无）") : QString::fromStdString(c.original));
    EXPECT_EQ(Cell(view, row, 3), QString::fromStdString(c.stored));
  }
  EXPECT_EQ(CImportReportDlg::FieldText("name"), QStringLiteral("姓名"));
  EXPECT_EQ(CImportReportDlg::FieldText("death"), QStringLiteral("去世日期"));
  const QString summary = dialog.Summary()->text();
  EXPECT_TRUE(summary.contains(QStringLiteral("修改了 4 处"))) << summary.toStdString();
  EXPECT_TRUE(summary.contains(QStringLiteral("导入 3 人"))) << summary.toStdString();
  ASSERT_NE(dialog.NotesView(), nullptr);
  EXPECT_EQ(dialog.NotesView()->toPlainText(), QStringLiteral("第 12 行：不是GEDCOM行，已跳过"));
  ASSERT_NE(dialog.DroppedView(), nullptr);
  EXPECT_EQ(dialog.DroppedView()->toPlainText(),
            QStringLiteral("@I2@ 第 30 行：BIRT.PLAC “无锡”\n@F1@ 第 41 行：MARR"));
  ExpectAccessibleNames(&dialog);
  ClickButton(&dialog, "idc_1");
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ImportReportDlgTest, AnEmptyReportSaysNothingNeededChanging) {
  report.changes.clear();
  report.notes.clear();
  report.dropped.clear();
  CImportReportDlg dialog(report);
  dialog.Create();
  EXPECT_EQ(dialog.ChangeView(), nullptr);
  EXPECT_EQ(dialog.NotesView(), nullptr);
  EXPECT_EQ(dialog.DroppedView(), nullptr);
  EXPECT_TRUE(dialog.Summary()->text().contains(QStringLiteral("无需修改")));
}

TEST_F(ImportReportDlgTest, SavesTheReportAsText) {
  struct Case {
    const char* what;
    QString answer;  // the file dialog's
    bool written;
    int notices;
  };
  const Case cases[] = {
      {"a file chosen", dir.filePath("report.txt"), true, 0},
      {"a folder that does not exist", dir.filePath("no/such/report.txt"), false, 1},
      {"the file dialog cancelled", QString(), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.Clear();
    bool asked = false;
    SetFileDialogForTesting([&](const FileDialogRequest& request) {
      asked = true;
      EXPECT_FALSE(request.open);
      return c.answer;
    });
    CImportReportDlg dialog(report);
    dialog.Create();
    ClickButton(&dialog, "saveReport");
    EXPECT_TRUE(asked);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(static_cast<int>(boxes.Boxes().size()), c.notices);
    QFile file(c.answer);
    ASSERT_EQ(file.exists(), c.written);
    if (c.written) {
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll().toStdString(), Text());
    }
  }

  // The GEDCOM file the report is about is never replaced by it, under any name.
  const QString source = dir.filePath("family.ged");
  {
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0 HEAD\r\n0 TRLR\r\n");
  }
  const QString link = dir.filePath("family-report.txt");
  ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()), 0);
  for (const QString& answer : {source, link}) {
    SCOPED_TRACE(answer.toStdString());
    boxes.Clear();
    SetFileDialogForTesting([&](const FileDialogRequest&) { return answer; });
    CImportReportDlg dialog(report);
    dialog.SetSourceFile(source);
    dialog.Create();
    ClickButton(&dialog, "saveReport");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(answer)) << boxes.Boxes()[0].text.toStdString();
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("0 HEAD\r\n0 TRLR\r\n"));
  }
}

// What the file holds reaches the dialog as the text report shows it:
// control characters escaped, a long value shortened with its length.
TEST_F(ImportReportDlgTest, ShowsControlCharactersEscapedAndLongValuesShortened) {
  report.rootXref = "@I1\x1B@";
  report.changes = {
      {"@I1\x1B@", "name", "\x1B]0;pwned\x07" + std::string(200, 'x'), "\x1B]0;pwned\x07"}};
  report.notes = {{gedcom::GedcomNote::Kind::kSecondPerson, 7, "@I1\x1B@"}};
  report.dropped = {{"@I1@", 9, "BIRT.PLAC", "\x1B]0;pwned\x07"}};
  CImportReportDlg dialog(report);
  dialog.Create();
  const QTableView* view = dialog.ChangeView();
  ASSERT_NE(view, nullptr);
  const QStringList shown = {dialog.Summary()->text(),
                             dialog.NotesView()->toPlainText(),
                             dialog.DroppedView()->toPlainText(),
                             Cell(view, 0, 0),
                             Cell(view, 0, 2),
                             Cell(view, 0, 3)};
  for (const QString& text : shown) {
    SCOPED_TRACE(text.toStdString());
    for (const QChar c : text)
      EXPECT_TRUE(c == u'\n' || c.category() != QChar::Other_Control) << int(c.unicode());
  }
  EXPECT_TRUE(dialog.Summary()->text().contains(QStringLiteral("@I1\\x1B@")));
  EXPECT_TRUE(dialog.NotesView()->toPlainText().contains(QStringLiteral("@I1\\x1B@")));
  EXPECT_EQ(Cell(view, 0, 3), QStringLiteral("\\x1B]0;pwned\\x07"));
  EXPECT_EQ(Cell(view, 0, 2), QStringLiteral("\\x1B]0;pwned\\x07") + QString(70, u'x') +
                                  QStringLiteral("…（共 210 个字符）"));
}

}  // namespace
