// Start-up: the application runs the main window modally, ends when it closes,
// and opens a genealogy file named on the command line.
#include "GuiTestSupport.h"
#include "app/CClanbookApp.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"
#include "platform/Today.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

const int kMemberButtonIds[] = {32783, 32782, 32784, 32776, 32785, 32778, 32777, 1064};

struct SeenWindow {
  bool seen = false;
  QString title;
  QString currentFile;
  int treeRows = -1;
  QString rootLabel;
  std::vector<bool> memberButtons;
  bool iconSet = false;
};

// Looks at the main window once it runs (and, with `ready`, once the start-up
// open has happened), then closes it as the close box does.
void InspectAndClose(SeenWindow& seen, std::function<bool(CClanbookDlg*)> ready) {
  OnNextModal(
      [&seen, ready](QWidget* modal) {
        auto* window = qobject_cast<CClanbookDlg*>(modal);
        if (!window || !ready(window)) return false;
        seen.seen = true;
        seen.title = window->windowTitle();
        seen.currentFile = window->document().FileName();
        const QAbstractItemModel* tree = window->treeView()->model();
        seen.treeRows = tree->rowCount();
        if (seen.treeRows > 0) seen.rootLabel = tree->index(0, 0).data().toString();
        for (int id : kMemberButtonIds)
          seen.memberButtons.push_back(window->button(id)->isEnabled());
        seen.iconSet = !window->windowIcon().availableSizes().isEmpty();
        window->close();
        return true;
      },
      "CClanbookDlg");
}

class AppTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetTodayForTesting(LocalDate{2023, 10, 1});
  }
  void TearDown() override {
    EXPECT_EQ(PendingModalHandlers(), 0);
    SetTodayForTesting(std::nullopt);
  }
  QString Write(const char* name, const char* content) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }

  QTemporaryDir dir;
  MessageBoxRecorder boxes;
};

TEST_F(AppTest, RunsTheMainWindowUntilItClosesAndStartsEmpty) {
  SeenWindow seen;
  InspectAndClose(seen, [](CClanbookDlg*) { return true; });
  CClanbookApp app;
  EXPECT_FALSE(app.InitInstance());
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.title, QStringLiteral("Morvane家谱制作软件 4.0"));
  EXPECT_EQ(seen.treeRows, 0);
  EXPECT_TRUE(seen.currentFile.isEmpty());
  EXPECT_EQ(seen.memberButtons, std::vector<bool>(8, false));
  EXPECT_TRUE(seen.iconSet);
  EXPECT_TRUE(boxes.Boxes().empty());
  // The window is gone: nothing is left to run.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().begin(),
                           QApplication::topLevelWidgets().end(),
                           [](QWidget* w) { return qobject_cast<CClanbookDlg*>(w) != nullptr; }));
}

TEST_F(AppTest, AFileNamedAtStartIsOpenedAsOpenDoes) {
  const QString path = Write("家谱.ftf",
                             "祖 1900 10 1 1 end 0 1970 5 6 -1\r\n"
                             "子 1930 1 1 1 end 1 祖\r\n"
                             "end 1999 12 2 1 end 1 end");
  SeenWindow seen;
  InspectAndClose(seen,
                  [](CClanbookDlg* window) { return !window->document().FileName().isEmpty(); });
  CClanbookApp app(path);
  EXPECT_FALSE(app.InitInstance());
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.currentFile, path);
  EXPECT_EQ(seen.treeRows, 1);
  EXPECT_EQ(seen.rootLabel, QStringLiteral("祖"));
  EXPECT_EQ(seen.memberButtons, std::vector<bool>(8, true));
  // Today's birthdays are named, as after Open.
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Information);
  EXPECT_EQ(boxes.Boxes()[0].text,
            QStringLiteral("今天为以下家族成员的生日:  祖  \n详细信息请见以下列表."));
}

TEST_F(AppTest, AFileThatCannotBeOpenedIsReportedAndTheWindowStartsEmpty) {
  const QString missing = dir.filePath(QStringLiteral("missing.ftf"));
  SeenWindow seen;
  InspectAndClose(seen, [this](CClanbookDlg*) { return !boxes.Boxes().empty(); });
  CClanbookApp app(missing);
  EXPECT_FALSE(app.InitInstance());
  ASSERT_TRUE(seen.seen);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Notice);
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("文件无法打开!"));
  EXPECT_EQ(seen.treeRows, 0);
  EXPECT_TRUE(seen.currentFile.isEmpty());
  EXPECT_EQ(seen.memberButtons, std::vector<bool>(8, false));
}

}  // namespace
