// Every menu item and button reaches its command: a button and a menu item
// that share an id do exactly the same, and each id has its own command.
#include "MainWindowTestSupport.h"
#include "platform/Shell.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <map>

namespace {

// What running one command showed: the dialogs that came up (each cancelled at
// once), the message boxes, the addresses opened, and the views afterwards.
struct Effect {
  QStringList dialogs;
  QStringList boxes;
  QStringList urls;
  QStringList list;
  int treeRows = 0;
  bool visible = true;
  bool modified = false;
  bool operator==(const Effect&) const = default;
};

void PrintTo(const Effect& e, std::ostream* os) {
  *os << "dialogs[" << e.dialogs.join(',').toStdString() << "] boxes["
      << e.boxes.join(',').toStdString() << "] urls[" << e.urls.join(',').toStdString() << "] list["
      << e.list.join(',').toStdString() << "] visible " << e.visible;
}

// Cancels every modal dialog other than the main window as soon as it shows.
class ModalCanceller {
public:
  explicit ModalCanceller(QStringList& seen) : m_seen(seen) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* dialog = qobject_cast<QDialog*>(modal);
      if (!dialog || qobject_cast<CClanbookDlg*>(modal) || !dialog->isVisible()) return;
      // The wait for long work holds the input; it is no dialog of the command.
      if (dialog->objectName() == QStringLiteral("fileProgress")) return;
      m_seen << QString::fromLatin1(dialog->metaObject()->className());
      dialog->reject();
    });
    m_timer.start(5);
  }

private:
  QStringList& m_seen;
  QTimer m_timer;
};

class CommandsTest : public ::testing::Test {
protected:
  void SetUp() override { SetTodayForTesting(LocalDate{2023, 6, 15}); }
  void TearDown() override {
    SetTodayForTesting(std::nullopt);
    SetUrlOpenerForTesting(nullptr);
  }

  // A fresh window with a family, a member selected and a row in the list; then
  // `trigger` runs one command in it.
  Effect Run(const std::function<void(CClanbookDlg&)>& trigger) {
    Effect effect;
    MessageBoxRecorder boxes;
    SetUrlOpenerForTesting([&](const QString& url) {
      effect.urls << url;
      return true;
    });
    CClanbookDlg window;
    window.Create();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clan.ftf"));
    WriteFile(path,
              "祖 1900 1 1 1 end 0 1970 5 6 -1\r\n"
              "甲 1920 3 4 1 end 1 祖\r\n"
              "乙 1925 6 15 0 end 1 祖\r\n" +
                  kEndLine);
    window.OpenAtStart(path);
    boxes.Clear();
    window.treeView()->ExpandAllInSteps();
    SelectIndex(window, window.treeModel()->IndexOf(FindMember(window, u"甲")));
    {
      ModalCanceller canceller(effect.dialogs);
      trigger(window);
    }
    for (const RecordedBox& box : boxes.Boxes()) effect.boxes << box.text;
    effect.list = ListNamesOf(window.listView());
    effect.treeRows = window.treeView()->model()->rowCount();
    effect.visible = window.isVisible();
    effect.modified = window.document().IsModified();
    return effect;
  }
  Effect Click(int id) {
    return Run([id](CClanbookDlg& window) {
      auto* button = window.findChild<QPushButton*>(ControlName(id));
      EXPECT_NE(button, nullptr) << id;
      if (button) button->click();
    });
  }
  Effect Choose(int id) {
    return Run([id](CClanbookDlg& window) {
      QAction* action = window.MenuAction(id);
      EXPECT_NE(action, nullptr) << id;
      if (action) action->trigger();
    });
  }
};

TEST_F(CommandsTest, AButtonAndAMenuItemWithOneIdRunOneCommand) {
  for (int id : {32788, 32772, 32773, 32786, 32776, 32777, 32778, 32785}) {
    const Effect byButton = Click(id);
    const Effect byMenu = Choose(id);
    EXPECT_EQ(byButton, byMenu) << id;
    EXPECT_EQ(Run([id](CClanbookDlg& window) { Trigger(window, id); }), byButton) << id;
  }
}

TEST_F(CommandsTest, EachIdReachesItsOwnCommand) {
  const Effect untouched = Run([](CClanbookDlg&) {});
  ASSERT_EQ(untouched.list, QStringList{QStringLiteral("甲")});

  // The dialog that each command opens first.
  const std::map<int, QString> dialogs = {
      {32772, "CFileOpenAndSaveDlg"},  {32786, "CFileOpenAndSaveDlg"}, {32779, "CAddInfoDlg"},
      {32783, "CAddInfoDlg"},          {32784, "CModifyInfoDlg"},      {32780, "CDelInfoDlg"},
      {32776, "CSearchGenerationDlg"}, {32777, "CPersonalInfoDlg"},    {32778, "CRelationsDlg"},
      {1064, "CBirthdayDlg"},          {32775, "CAboutDlg"},           {ID_SYS_ABOUT, "CAboutDlg"}};
  for (const auto& [id, dialog] : dialogs) {
    // The system menu's about entry is no action of the window's own.
    const Effect effect = Run([id](CClanbookDlg& window) {
      if (id == ID_SYS_ABOUT)
        window.OnSysCommand(id);
      else
        Trigger(window, id);
    });
    ASSERT_FALSE(effect.dialogs.isEmpty()) << id;
    EXPECT_EQ(effect.dialogs.front(), dialog) << id;
    EXPECT_TRUE(effect.visible) << id;
    EXPECT_FALSE(effect.modified) << id;
  }

  // Save writes to the file that was opened, without asking.
  const Effect save = Click(32773);
  EXPECT_TRUE(save.dialogs.isEmpty());
  EXPECT_TRUE(save.boxes.isEmpty());

  const Effect sorted = Click(32785);
  EXPECT_EQ(sorted.list, (QStringList{"祖", "甲", "乙"}));
  EXPECT_TRUE(sorted.dialogs.isEmpty());

  const Effect deleteSelected = Click(32782);
  ASSERT_EQ(deleteSelected.boxes.size(), 1);
  EXPECT_TRUE(deleteSelected.boxes[0].contains(QStringLiteral("甲")));

  const Effect newGenealogy = Click(32788);
  ASSERT_FALSE(newGenealogy.boxes.isEmpty());
  EXPECT_EQ(newGenealogy.boxes[0], QStringLiteral("在建立新家谱前,将关闭现有的家谱文件,您确定吗?"));

  const Effect help = Choose(57670);
  ASSERT_EQ(help.urls.size(), 1);
  EXPECT_TRUE(help.urls[0].startsWith(QStringLiteral("http")));
  const Effect feedback = Choose(32791);
  ASSERT_EQ(feedback.urls.size(), 1);
  EXPECT_TRUE(feedback.urls[0].startsWith(QStringLiteral("mailto:")));

  const Effect exit = Choose(32774);
  EXPECT_FALSE(exit.visible);
  EXPECT_TRUE(exit.boxes.isEmpty());

  // An id without a command has no action to run.
  EXPECT_EQ(Run([](CClanbookDlg& window) {
              EXPECT_EQ(window.findChild<QAction*>(CommandName(12345)), nullptr);
            }),
            untouched);
}

TEST_F(CommandsTest, MenuItemsRunWhileTheirButtonsAreDisabled) {
  QStringList dialogs;
  MessageBoxRecorder boxes;
  CClanbookDlg window;
  window.Create();
  ASSERT_FALSE(window.button(32776)->isEnabled());
  {
    ModalCanceller canceller(dialogs);
    window.MenuAction(32776)->trigger();
  }
  EXPECT_EQ(dialogs, QStringList{QStringLiteral("CSearchGenerationDlg")});
}

}  // namespace
