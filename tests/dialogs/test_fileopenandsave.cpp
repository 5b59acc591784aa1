// The file-name dialog: its prompt in each mode, the name as typed, and the
// browse button's file dialog with the ".ftf" rule of save mode.
#include "GuiTestSupport.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

class FileDialogSeam {
public:
  explicit FileDialogSeam(QString answer) : m_answer(std::move(answer)) {
    SetFileDialogForTesting([this](const FileDialogRequest& request) {
      requests.push_back(request);
      return m_answer;
    });
  }
  ~FileDialogSeam() { SetFileDialogForTesting(nullptr); }
  std::vector<FileDialogRequest> requests;

private:
  QString m_answer;
};

QString EditText(CFileOpenAndSaveDlg& dialog) {
  return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
}

// Runs the dialog modally, browses with `chosen` as the file dialog's answer,
// confirms, and returns what the dialog handed back.
QString BrowseAndConfirm(bool open, const QString& chosen) {
  FileDialogSeam seam(chosen);
  CFileOpenAndSaveDlg dialog(open);
  OnNextDialog<CFileOpenAndSaveDlg>([](CFileOpenAndSaveDlg* d) {
    ClickButton(d, "browseButton");
    ClickButton(d, "idc_1");
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(seam.requests.size(), 1u);
  if (!seam.requests.empty()) {
    EXPECT_EQ(seam.requests[0].open, open);
    EXPECT_EQ(seam.requests[0].filter,
              QStringLiteral("家谱文件--Family Tree Files(*.ftf);;谱书文件（含全部资料）(*.cbk);;"
                             "All Files(*)"));
  }
  return dialog.m_fileName;
}

TEST(FileOpenAndSaveDlg, TemplateAndPromptByMode) {
  CFileOpenAndSaveDlg open(true);
  open.Create();
  EXPECT_EQ(open.windowTitle(), QStringLiteral("输入文件名"));
  EXPECT_EQ(open.findChild<QLabel*>(QStringLiteral("promptLabel"))->text(),
            QStringLiteral("请输入要打开的文件名:"));
  EXPECT_EQ(open.findChild<QAbstractButton*>(QStringLiteral("browseButton"))->text(),
            QStringLiteral("浏览"));
  EXPECT_EQ(open.findChild<QAbstractButton*>(ControlName(2))->text(), QStringLiteral("取消"));
  EXPECT_TRUE(open.findChild<QPushButton*>(ControlName(1))->isDefault());
  EXPECT_TRUE(EditText(open).isEmpty());

  CFileOpenAndSaveDlg save(false);
  save.Create();
  EXPECT_EQ(save.findChild<QLabel*>(QStringLiteral("promptLabel"))->text(),
            QStringLiteral("请输入要保存的文件名:"));
  EXPECT_FALSE(save.m_isOpen);
}

// Like every other window of the program it takes the desktop's font, so a
// larger desktop font makes it larger too.
TEST(FileOpenAndSaveDlg, UsesTheDesktopFont) {
  const QFont saved = QApplication::font();
  QFont large(QStringLiteral("WenQuanYi Micro Hei"), 17);
  QApplication::setFont(large);
  {
    CFileOpenAndSaveDlg dialog(false);
    dialog.Create();
    EXPECT_EQ(dialog.font().pointSize(), 17);
    EXPECT_EQ(dialog.font().family(), large.family());
  }
  QApplication::setFont(saved);
}

TEST(FileOpenAndSaveDlg, TypedNameIsUsedAsTypedWhateverItsLength) {
  const QString longName = QStringLiteral("/tmp/") + QString(400, QLatin1Char('x'));
  for (const QString& typed : {QStringLiteral("家谱"), QStringLiteral("book.FTF"), longName}) {
    CFileOpenAndSaveDlg dialog(false);
    OnNextDialog<CFileOpenAndSaveDlg>([typed](CFileOpenAndSaveDlg* d) {
      TypeInto(d, "fileNameEdit", typed);
      ClickButton(d, "idc_1");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_fileName, typed);
  }
}

TEST(FileOpenAndSaveDlg, CancelReturnsCancel) {
  CFileOpenAndSaveDlg dialog(true);
  OnNextDialog<CFileOpenAndSaveDlg>([](CFileOpenAndSaveDlg* d) {
    TypeInto(d, "fileNameEdit", QStringLiteral("a.ftf"));
    ClickButton(d, "idc_2");
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(FileOpenAndSaveDlg, BrowseInSaveModeAppendsFtfUnlessExactlyThere) {
  EXPECT_EQ(BrowseAndConfirm(false, QStringLiteral("/data/家谱")),
            QStringLiteral("/data/家谱.ftf"));
  EXPECT_EQ(BrowseAndConfirm(false, QStringLiteral("/data/a.ftf")), QStringLiteral("/data/a.ftf"));
  // Case-sensitive: upper-case letters do not count as the extension.
  EXPECT_EQ(BrowseAndConfirm(false, QStringLiteral("/data/A.FTF")),
            QStringLiteral("/data/A.FTF.ftf"));
  // A name shorter than four characters is compared whole.
  EXPECT_EQ(BrowseAndConfirm(false, QStringLiteral("ftf")), QStringLiteral("ftf.ftf"));
  // The book file is chosen by its own ending.
  EXPECT_EQ(BrowseAndConfirm(false, QStringLiteral("/data/a.cbk")), QStringLiteral("/data/a.cbk"));
}

TEST(FileOpenAndSaveDlg, BrowseInOpenModeNeverAppends) {
  EXPECT_EQ(BrowseAndConfirm(true, QStringLiteral("/data/家谱")), QStringLiteral("/data/家谱"));
  EXPECT_EQ(BrowseAndConfirm(true, QStringLiteral("/data/A.FTF")), QStringLiteral("/data/A.FTF"));
}

TEST(FileOpenAndSaveDlg, CancelledBrowseChangesNothing) {
  FileDialogSeam seam{QString()};
  CFileOpenAndSaveDlg dialog(false);
  dialog.Create();
  TypeInto(&dialog, "fileNameEdit", QStringLiteral("typed"));
  ClickButton(&dialog, "browseButton");
  EXPECT_EQ(seam.requests.size(), 1u);
  EXPECT_EQ(EditText(dialog), QStringLiteral("typed"));
  EXPECT_TRUE(dialog.m_fileName.isEmpty());
}

TEST(FileOpenAndSaveDlg, BrowsedNameReplacesTypedText) {
  FileDialogSeam seam{QStringLiteral("/chosen/path")};
  CFileOpenAndSaveDlg dialog(false);
  dialog.Create();
  TypeInto(&dialog, "fileNameEdit", QStringLiteral("typed"));
  ClickButton(&dialog, "browseButton");
  EXPECT_EQ(EditText(dialog), QStringLiteral("/chosen/path.ftf"));
}

}  // namespace
