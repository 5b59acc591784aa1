// 家谱 → 五服图…: the window opens on the selected member with the names in
// their places (the places above the root empty) and the wives under their
// husbands, a click on a name draws that relative's chart, 导出… writes the
// SVG, in either language.
#include "MainWindowTestSupport.h"
#include "app/Translation.h"
#include "charts/ChartView.h"
#include "charts/MourningChart.h"
#include "model/MemberRecord.h"
#include "platform/Shell.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// 张甲 is the root; 张三 stands three below him, so his 高祖 is missing.
const QByteArray kClan =
    "张甲 1850 1 1 1 end 1 -1\r\n"
    "张乙 1875 1 1 1 end 1 张甲\r\n"
    "张叔祖 1880 1 1 1 end 1 张甲\r\n"
    "张丙 1900 1 1 1 end 1 张乙\r\n"
    "张伯 1895 1 1 1 end 1 张乙\r\n"
    "张堂 1922 1 1 1 end 1 张伯\r\n"
    "张三 1925 1 1 1 end 1 张丙\r\n"
    "张大哥 1920 1 1 1 end 1 张丙\r\n"
    "张小 1950 1 1 1 end 1 张三\r\n";

// Wives as a .cbk keeps them, in their husbands' records.
void Marry(CClanbookDlg& window, std::u16string_view husband,
           std::initializer_list<std::pair<const char16_t*, const char16_t*>> wives) {
  MemberRecord& record = FindMember(window, husband)->extra.EditRecord();
  for (const auto& [surname, given] : wives) {
    Spouse wife;
    wife.title = record.spouses.empty() ? SpouseTitle::kPei : SpouseTitle::kJiPei;
    wife.surname = surname;
    wife.givenName = given;
    record.spouses.push_back(wife);
  }
}

struct Seen {
  QString title, chartTitle;
  QStringList self, father, brothers, uncles, cousins, sons, greatGrandfathers;
  QRectF selfBox, fatherBox, brotherBox, sisterBox, topBox;
  bool topEmpty = false;
  QString afterClick;  // whose chart a click on the brother's name draws
  QString svg;
  QByteArray pdfStart, pngStart;
  QString badSuffix;  // what exporting to .txt says
};

Seen RunMourning(CClanbookDlg& window, const QString& shot, const QString& svgPath) {
  Seen seen;
  OnNextDialog<MourningChartDialog>([&seen, shot, svgPath](MourningChartDialog* d) {
    seen.title = d->windowTitle();
    const MourningScene& scene = d->scene();
    seen.chartTitle = scene.Title();
    seen.self = scene.NamesIn({0, 0});
    seen.father = scene.NamesIn({1, 0});
    seen.brothers = scene.NamesIn({0, 1});
    seen.uncles = scene.NamesIn({1, 1});
    seen.cousins = scene.NamesIn({0, 2});
    seen.sons = scene.NamesIn({-1, 0});
    seen.greatGrandfathers = scene.NamesIn({3, 0});
    seen.selfBox = scene.BoxOf({0, 0});
    seen.fatherBox = scene.BoxOf({1, 0});
    seen.brotherBox = scene.BoxOf({0, 1});
    seen.sisterBox = scene.BoxOf({0, 1, true});
    seen.topBox = scene.BoxOf({4, 0});
    seen.topEmpty = scene.NamesIn({4, 0}).isEmpty();
    if (qEnvironmentVariableIsSet("CLANBOOK_SHOT_DIR"))
      d->grab().save(QDir(qEnvironmentVariable("CLANBOOK_SHOT_DIR")).filePath(shot));

    SetFileDialogForTesting([svgPath](const FileDialogRequest&) { return svgPath; });
    ClickButton(d, "mourningExport");
    SetFileDialogForTesting(nullptr);
    QFile file(svgPath);
    if (file.open(QIODevice::ReadOnly)) seen.svg = QString::fromUtf8(file.readAll());
    // PDF and PNG take the same writer.
    QString error;
    for (const char* suffix : {".pdf", ".png"}) {
      const QString path = svgPath + QString::fromLatin1(suffix);
      EXPECT_TRUE(d->exportTo(path, &error)) << error.toStdString();
      QFile written(path);
      if (written.open(QIODevice::ReadOnly))
        (suffix[2] == 'd' ? seen.pdfStart : seen.pngStart) = written.read(4);
    }
    EXPECT_FALSE(d->exportTo(svgPath + QStringLiteral(".txt"), &seen.badSuffix));

    // Click the brother's name where the view shows it.
    const QRectF box = seen.brotherBox;
    for (double y = box.top(); y < box.bottom(); y += 2) {
      const QPointF point(box.center().x(), y);
      const MemberNode* member = scene.MemberAt(point);
      if (!member || member->name != u"张大哥") continue;
      d->view()->ScrollTo(point - QPointF(20, 20));
      QTest::mouseClick(d->view()->viewport(), Qt::LeftButton, {},
                        d->view()->ToViewport(point).toPoint());
      break;
    }
    seen.afterClick = ChartText::Name(d->scene().Self());
    ClickButton(d, "mourningClose");
  });
  window.findChild<QAction*>(QStringLiteral("mourningChartCommand"))->trigger();
  return seen;
}

bool WellFormed(const QString& xml) {
  QXmlStreamReader reader(xml);
  while (!reader.atEnd()) reader.readNext();
  return !reader.hasError();
}

TEST(MourningCommand, DrawsTheChartOfTheSelectedMemberAndExportsItInEitherLanguage) {
  MessageBoxRecorder boxes;
  CClanbookDlg window;
  window.Create();
  LoadRecords(window, kClan);
  Marry(window, u"张丙", {{u"王", u""}, {u"李", u"秀英"}});
  Marry(window, u"张大哥", {{u"陈", u""}});
  Marry(window, u"张三", {{u"赵", u""}});
  Marry(window, u"张甲", {{u"孙", u""}});
  Marry(window, u"张堂", {{u"吴", u""}});
  SelectMember(window, FindMember(window, u"张三"));
  // In the 家谱 menu right after 称谓….
  auto* command = window.findChild<QAction*>(QStringLiteral("mourningChartCommand"));
  ASSERT_NE(command, nullptr);
  const QList<QAction*> items = qobject_cast<QMenu*>(command->parent())->actions();
  ASSERT_GT(items.indexOf(command), 0);
  EXPECT_EQ(items[items.indexOf(command) - 1]->objectName(), QStringLiteral("kinshipCommand"));
  QTemporaryDir dir;

  const Seen chinese = RunMourning(window, QStringLiteral("wufu.png"), dir.filePath("zh.svg"));
  EXPECT_EQ(chinese.title, QStringLiteral("五服图"));
  EXPECT_EQ(chinese.chartTitle, QStringLiteral("张三 本宗九族五服图"));
  // Each wife on a line of her own right under her husband, as the member
  // window names her.
  EXPECT_EQ(chinese.self, (QStringList{QStringLiteral("张三"), QStringLiteral("赵氏")}));
  EXPECT_EQ(chinese.father, (QStringList{QStringLiteral("张丙"), QStringLiteral("王氏"),
                                         QStringLiteral("李氏 秀英")}));
  EXPECT_EQ(chinese.brothers, (QStringList{QStringLiteral("张大哥"), QStringLiteral("陈氏")}));
  EXPECT_EQ(chinese.uncles, QStringList{QStringLiteral("张伯")});
  EXPECT_EQ(chinese.cousins, (QStringList{QStringLiteral("张堂"), QStringLiteral("吴氏")}));
  EXPECT_EQ(chinese.sons, QStringList{QStringLiteral("张小")});
  EXPECT_EQ(chinese.greatGrandfathers,
            (QStringList{QStringLiteral("张甲"), QStringLiteral("孙氏")}));
  // The father above 己身, the brothers' line to the right, the sisters' to
  // the left, each a box of its own; the 高祖 keeps his box, empty.
  EXPECT_DOUBLE_EQ(chinese.fatherBox.left(), chinese.selfBox.left());
  EXPECT_LT(chinese.fatherBox.bottom(), chinese.selfBox.top());
  EXPECT_DOUBLE_EQ(chinese.brotherBox.top(), chinese.selfBox.top());
  EXPECT_GT(chinese.brotherBox.left(), chinese.selfBox.right());
  EXPECT_LT(chinese.sisterBox.right(), chinese.selfBox.left());
  EXPECT_FALSE(chinese.topBox.isEmpty());
  EXPECT_TRUE(chinese.topEmpty);
  EXPECT_EQ(chinese.afterClick, QStringLiteral("张大哥"));
  ASSERT_FALSE(chinese.svg.isEmpty());
  EXPECT_TRUE(WellFormed(chinese.svg));
  EXPECT_EQ(chinese.pdfStart, QByteArray("%PDF"));
  EXPECT_EQ(chinese.pngStart, QByteArray("\x89PNG"));
  EXPECT_TRUE(chinese.badSuffix.contains(QStringLiteral(".pdf")))
      << chinese.badSuffix.toStdString();
  for (const char* text :
       {"张三", "张大哥", "张堂", "伯叔父母", "斩衰三年", "族兄弟", "李氏 秀英", "妻：小功五月"})
    EXPECT_TRUE(chinese.svg.contains(QString::fromUtf8(text))) << text;

  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  const Seen translated =
      RunMourning(window, QStringLiteral("en/wufu.png"), dir.filePath("en.svg"));
  EXPECT_EQ(translated.title, QStringLiteral("Mourning Grades"));
  EXPECT_EQ(translated.brothers, (QStringList{QStringLiteral("张大哥"), QStringLiteral("née 陈")}));
  EXPECT_TRUE(WellFormed(translated.svg));
  for (const char* text : {"张大哥", "Father's brothers", "Untrimmed sackcloth", "Third cousins",
                           "Fine hemp (3 months)"})
    EXPECT_TRUE(translated.svg.contains(QString::fromUtf8(text))) << text;
  EXPECT_FALSE(translated.svg.contains(QStringLiteral("伯叔父母")));
  // A query: the book is as it was.
  EXPECT_FALSE(window.document().IsModified());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(PendingModalHandlers(), 0);
}

}  // namespace
