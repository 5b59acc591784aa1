// The help menu's commands and the vendor's link, run on the real main window.
#include "GuiTestSupport.h"
#include "UrlSeam.h"
#include "dialogs/CAboutDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/CHyperLink.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Chooses the item `text` of the menu bar's 帮助 menu, as a user does.
void ChooseHelpItem(CClanbookDlg& window, const QString& text) {
  const QList<QAction*> menus = window.menuBar()->actions();
  for (QAction* menu : menus) {
    auto* popup = menu->menu();
    if (menu->text() != QStringLiteral("帮助") || !popup) continue;
    const QList<QAction*> items = popup->actions();
    for (QAction* item : items) {
      if (item->text() == text) {
        item->trigger();
        return;
      }
    }
  }
  ADD_FAILURE() << "no item " << text.toStdString() << " in the 帮助 menu";
}

class HelpCommandsTest : public ::testing::Test {
protected:
  void SetUp() override { window.Create(); }
  void TearDown() override {
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(PendingModalHandlers(), 0);
  }
  // Answers the about box that the next command opens; returns what it showed.
  struct AboutSeen {
    QString caption;
    QString notice;
    bool seen = false;
  };
  void ExpectAboutBox(AboutSeen& seen) {
    OnNextDialog<CAboutDlg>([&seen](CAboutDlg* box) {
      seen.seen = true;
      seen.caption = box->windowTitle();
      seen.notice = box->findChild<QPlainTextEdit*>(QStringLiteral("noticeEdit"))->toPlainText();
      ClickButton(box, "idc_1");
    });
  }

  MessageBoxRecorder boxes;
  UrlSeam shell;
  CClanbookDlg window;
};

TEST_F(HelpCommandsTest, HelpOpensTheHelpPageAndTheHomePageItemAFeedbackMail) {
  ChooseHelpItem(window, QStringLiteral("帮助"));
  ChooseHelpItem(window, QStringLiteral("官方主页"));
  const std::vector<QString> expected{
      QStringLiteral("http://www.morvane.example/article.php?article_id=6"),
      QStringLiteral("mailto:feedback@morvane.example?subject=Morvane家谱制作软件反馈")};
  EXPECT_EQ(shell.opened, expected);
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(HelpCommandsTest, ShellFailuresAreIgnored) {
  SetUrlOpenerForTesting([](const QString&) { return false; });
  window.RunCommand(ID_HELP);
  window.RunCommand(ID_FEEDBACK);
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(HelpCommandsTest, AboutFromTheMenuAndTheSystemCommandIsTheSameBox) {
  AboutSeen fromMenu, fromSystem, fromSystemLowBits;
  ExpectAboutBox(fromMenu);
  ChooseHelpItem(window, QStringLiteral("关于"));
  ExpectAboutBox(fromSystem);
  window.OnSysCommand(16);
  // The platform uses the low four bits of a system command for itself.
  ExpectAboutBox(fromSystemLowBits);
  window.OnSysCommand(16 | 0x3);

  ASSERT_TRUE(fromMenu.seen && fromSystem.seen && fromSystemLowBits.seen);
  EXPECT_EQ(fromMenu.caption, QStringLiteral("关于 Morvane家谱制作软件  4.0"));
  EXPECT_EQ(fromMenu.notice, CAboutDlg::DefaultNotice(2052));
  for (const AboutSeen* other : {&fromSystem, &fromSystemLowBits}) {
    EXPECT_EQ(other->caption, fromMenu.caption);
    EXPECT_EQ(other->notice, fromMenu.notice);
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(window.document().IsModified());
}

TEST_F(HelpCommandsTest, CommandsLeaveAModifiedFlagAsItWas) {
  window.document().SetModified(true);
  window.RunCommand(ID_HELP);
  window.RunCommand(ID_FEEDBACK);
  AboutSeen about;
  ExpectAboutBox(about);
  window.RunCommand(ID_ABOUT);
  EXPECT_TRUE(about.seen);
  EXPECT_TRUE(window.document().IsModified());
}

TEST_F(HelpCommandsTest, VendorLinkIsBoldUnderlinedAndOpensTheWebPage) {
  auto* link = window.findChild<CHyperLink*>(ControlName(1067));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->text(), QStringLiteral("Morvane软件:http://www.morvane.example"));
  EXPECT_EQ(link->Url(), QStringLiteral("http://www.morvane.example"));
  EXPECT_EQ(link->toolTip(), QStringLiteral("http://www.morvane.example"));
  EXPECT_TRUE(link->font().bold());
  EXPECT_TRUE(link->font().underline());
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(shell.opened, std::vector<QString>{QStringLiteral("http://www.morvane.example")});
  EXPECT_TRUE(link->m_visited);
  EXPECT_FALSE(window.document().IsModified());
}

}  // namespace
