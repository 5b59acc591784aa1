// 家谱 → 称谓…: the dialog opens on the selected member, answers both ways
// as the second name is typed, names a member it cannot find, and speaks the
// language of the interface.
#include "MainWindowTestSupport.h"
#include "app/Translation.h"
#include "dialogs/CKinshipDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// 张大 has the sons 张二 (elder) and 张四; 张二 has 张三.
const QByteArray kClan =
    "张大 1900 1 1 1 end 1 -1\r\n"
    "张二 1925 3 3 1 end 1 张大\r\n"
    "张三 1950 7 7 0 end 1 张二\r\n"
    "张四 1928 8 8 1 end 1 张大\r\n";

struct Seen {
  QString first, second, firstName, secondName, initial, withSecond, unknown, title;
  QString withWife;  // the second person's wife
};

// With CLANBOOK_SHOT_DIR set, the dialog as answered is kept there as
// `shot` (the pictures of docs/kinship.md).
Seen RunKinship(CClanbookDlg& window, const QString& shot) {
  Seen seen;
  OnNextDialog<CKinshipDlg>([&seen, shot](CKinshipDlg* d) {
    auto* first = d->findChild<QLineEdit*>(QStringLiteral("kinshipFirst"));
    auto* second = d->findChild<QLineEdit*>(QStringLiteral("kinshipSecond"));
    seen.first = first->text();
    seen.second = second->text();
    seen.firstName = first->accessibleName();
    seen.secondName = second->accessibleName();
    seen.title = d->windowTitle();
    seen.initial = d->ResultText();
    TypeInto(d, "kinshipSecond", QStringLiteral("张四"));
    seen.withSecond = d->ResultText();
    auto* wife = d->findChild<QCheckBox*>(QStringLiteral("kinshipSecondWife"));
    wife->setChecked(true);
    seen.withWife = d->ResultText();
    wife->setChecked(false);
    if (qEnvironmentVariableIsSet("CLANBOOK_SHOT_DIR"))
      d->grab().save(QDir(qEnvironmentVariable("CLANBOOK_SHOT_DIR")).filePath(shot));
    TypeInto(d, "kinshipSecond", QStringLiteral("张五"));
    seen.unknown = d->ResultText();
    ClickButton(d, "idc_1");
  });
  window.findChild<QAction*>(QStringLiteral("kinshipCommand"))->trigger();
  return seen;
}

TEST(KinshipCommand, AnswersBothWaysForTheSelectedMemberInEitherLanguage) {
  MessageBoxRecorder boxes;
  CClanbookDlg window;
  window.Create();
  LoadRecords(window, kClan);
  SelectMember(window, FindMember(window, u"张三"));
  // In the 家谱 menu right after 确定两人关系.
  auto* command = window.findChild<QAction*>(QStringLiteral("kinshipCommand"));
  const QList<QAction*> items = qobject_cast<QMenu*>(command->parent())->actions();
  ASSERT_GT(items.indexOf(command), 0);
  EXPECT_EQ(items[items.indexOf(command) - 1], window.MenuAction(ID_RELATIONS));

  const Seen chinese = RunKinship(window, QStringLiteral("kinship.png"));
  EXPECT_EQ(chinese.title, QStringLiteral("称谓"));
  EXPECT_EQ(chinese.first, QStringLiteral("张三"));
  EXPECT_EQ(chinese.second, QStringLiteral("张三"));
  EXPECT_EQ(chinese.firstName, QStringLiteral("第一人:"));
  EXPECT_EQ(chinese.secondName, QStringLiteral("第二人:"));
  EXPECT_EQ(chinese.initial, QStringLiteral("张三 称 张三 为 本人\n张三 称 张三 为 本人"));
  EXPECT_EQ(chinese.withSecond, QStringLiteral("张三 称 张四 为 叔叔\n"
                                               "张四 称 张三 为 侄子\n"
                                               "共同祖先：张大（张三上溯2代，张四上溯1代）"));
  EXPECT_EQ(chinese.withWife, QStringLiteral("张三 称 张四之妻 为 婶婶\n"
                                             "张四之妻 称 张三 为 侄子\n"
                                             "共同祖先：张大（张三上溯2代，张四上溯1代）"));
  EXPECT_EQ(chinese.unknown, QStringLiteral("本家谱中找不到张五!"));

  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  const Seen translated = RunKinship(window, QStringLiteral("en/kinship.png"));
  EXPECT_EQ(translated.title, QStringLiteral("Kinship Terms"));
  EXPECT_EQ(translated.firstName, QStringLiteral("First person:"));
  EXPECT_EQ(translated.withSecond,
            QStringLiteral("张四 is 张三's father's younger brother\n"
                           "张三 is 张四's brother's son\n"
                           "Common ancestor: 张大 (2 generations above 张三, 1 above 张四)"));
  EXPECT_EQ(translated.unknown, QStringLiteral("张五 is not in this genealogy."));
  // A query: the book is as it was.
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(PendingModalHandlers(), 0);
}

}  // namespace
