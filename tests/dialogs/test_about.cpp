// The about box as the main window opens it, and in its other languages.
#include "GuiTestSupport.h"
#include "UrlSeam.h"
#include "dialogs/CAboutDlg.h"
#include "platform/CHyperLink.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kProduct = QStringLiteral("Morvane家谱制作软件 ");
const QString kVersion = QStringLiteral("4.0");
const QString kWebUrl = QStringLiteral("http://www.morvane.example");

template <class T>
T* Control(QWidget* dialog, const char* name) {
  auto* control = dialog->findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

QString NoticeShown(CAboutDlg& about) {
  return Control<QPlainTextEdit>(&about, "noticeEdit")->toPlainText();
}

TEST(AboutDlg, ChineseBoxAsTheMainWindowOpensIt) {
  CAboutDlg about(kWebUrl, kProduct, kVersion, QString(), 2052, nullptr);
  about.Create();
  // The product name ends in a blank of its own, so two stand before the version.
  EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Morvane家谱制作软件  4.0"));
  auto* title = Control<CHyperLink>(&about, "titleLink");
  EXPECT_EQ(title->text(), QStringLiteral("Morvane家谱制作软件  4.0"));

  auto* vendor = Control<CHyperLink>(&about, "vendorLink");
  for (CHyperLink* line : {title, vendor}) {
    EXPECT_TRUE(line->font().bold());
    EXPECT_FALSE(line->font().underline());
    for (const QColor& colour : {line->m_linkColor, line->m_visitedColor, line->m_hoverColor})
      EXPECT_EQ(colour, QColor(105, 105, 105));
    // The line has grown to its text.
    EXPECT_GE(line->sizeHint().width(), line->TextExtent().width());
  }
  EXPECT_FALSE(vendor->text().isEmpty());

  auto* notice = Control<QPlainTextEdit>(&about, "noticeEdit");
  EXPECT_TRUE(notice->isReadOnly());
  EXPECT_EQ(notice->toPlainText(), CAboutDlg::DefaultNotice(2052));
  EXPECT_TRUE(notice->toPlainText().contains(QStringLiteral("著作权")));
}

TEST(AboutDlg, NoticeAndCaptionFollowTheLanguage) {
  CAboutDlg chinese(kWebUrl, kProduct, kVersion, QString(), 2052);
  CAboutDlg english(kWebUrl, kProduct, kVersion, QString(), 1033);
  CAboutDlg japanese(kWebUrl, kProduct, kVersion, QString(), 1041);
  CAboutDlg given(kWebUrl, kProduct, kVersion, QStringLiteral("一段\n自己的说明"), 1033);
  for (CAboutDlg* box : {&chinese, &english, &japanese, &given}) box->Create();

  EXPECT_EQ(english.windowTitle(), QStringLiteral("About Morvane家谱制作软件  4.0"));
  EXPECT_TRUE(NoticeShown(english).contains(QStringLiteral("support@morvane.example")));
  EXPECT_NE(NoticeShown(english), NoticeShown(chinese));
  // English replaces the credit line; the mail line keeps its text.
  EXPECT_NE(Control<CHyperLink>(&english, "vendorLink")->text(),
            Control<CHyperLink>(&chinese, "vendorLink")->text());
  EXPECT_TRUE(Control<CHyperLink>(&english, "vendorLink")->font().bold());
  EXPECT_EQ(Control<CHyperLink>(&english, "mailLink")->text(),
            QStringLiteral("Morvane出品 必属精品"));

  // A language without a caption word or notice of its own.
  EXPECT_EQ(japanese.windowTitle(), QStringLiteral(" Morvane家谱制作软件  4.0"));
  EXPECT_TRUE(NoticeShown(japanese).isEmpty());
  EXPECT_EQ(Control<CHyperLink>(&japanese, "vendorLink")->text(),
            Control<CHyperLink>(&chinese, "vendorLink")->text());

  EXPECT_EQ(NoticeShown(given), QStringLiteral("一段\n自己的说明"));
}

TEST(AboutDlg, MailLineStartsAMailToSupportWithTheProductAsSubject) {
  UrlSeam shell;
  CAboutDlg about(kWebUrl, kProduct, kVersion, QString(), 2052);
  about.Create();
  auto* mail = Control<CHyperLink>(&about, "mailLink");
  const QString address =
      QStringLiteral("mailto:support@morvane.example?subject=Morvane家谱制作软件 ");
  EXPECT_EQ(mail->text(), QStringLiteral("Morvane出品 必属精品"));
  EXPECT_EQ(mail->Url(), address);
  EXPECT_EQ(mail->toolTip(), address);
  EXPECT_FALSE(mail->font().underline());
  EXPECT_EQ(mail->m_linkColor, QColor(0, 0, 238));
  EXPECT_EQ(mail->m_hoverColor, QColor(255, 0, 0));
  QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(shell.opened, std::vector<QString>{address});
}

TEST(AboutDlg, LogoIsDecodedInMemoryAndOpensTheWebPage) {
  UrlSeam shell;
  MessageBoxRecorder boxes;
  const QString regDat = QDir(QCoreApplication::applicationDirPath()).filePath("reg.dat");
  const bool hadRegDat = QFile::exists(regDat);
  const QString page = QStringLiteral("http://www.example.org/page");

  CAboutDlg chinese(page, kProduct, kVersion, QString(), 2052);
  CAboutDlg english(page, kProduct, kVersion, QString(), 1033);
  chinese.Create();
  english.Create();
  auto* logo = Control<QLabel>(&chinese, "logoLabel");
  const QPixmap picture = logo->pixmap();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(200, 73));
  EXPECT_EQ(logo->size(), QSize(200, 73));
  EXPECT_NE(picture.toImage(), Control<QLabel>(&english, "logoLabel")->pixmap().toImage());
  if (!hadRegDat) {
    EXPECT_FALSE(QFile::exists(regDat));
  }

  // The hidden link carries the page; only the logo leads there.
  auto* web = Control<CHyperLink>(&chinese, "webLink");
  EXPECT_TRUE(web->isHidden());
  EXPECT_EQ(web->Url(), page);
  EXPECT_FALSE(web->font().underline());

  QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(100, 30));
  EXPECT_EQ(shell.opened, std::vector<QString>{page});
  EXPECT_EQ(logo->cursor().shape(), Qt::PointingHandCursor);

  // A page that cannot be opened is not reported by the box.
  SetUrlOpenerForTesting([](const QString&) { return false; });
  QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(100, 30));
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(AboutDlg, OkClosesTheModalBox) {
  CAboutDlg about(kWebUrl, kProduct, kVersion, QString(), 2052);
  QString captionSeen;
  OnNextDialog<CAboutDlg>([&](CAboutDlg* box) {
    captionSeen = box->windowTitle();
    ClickButton(box, "idc_1");
  });
  EXPECT_EQ(about.DoModal(), IDOK);
  EXPECT_EQ(captionSeen, QStringLiteral("关于 Morvane家谱制作软件  4.0"));
  EXPECT_EQ(PendingModalHandlers(), 0);
}

}  // namespace
