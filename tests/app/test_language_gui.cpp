// The program in each of its languages, as a user sees it: under English no
// Chinese character on any button, label, menu item, caption, tip or column
// header of the main window and of every window its commands open; under
// Chinese exactly the texts the program is written with.
#include "../mainwindow/MainWindowTestSupport.h"
#include "../merge/MergeTestSupport.h"
#include "GuiTestSupport.h"
#include "UrlSeam.h"
#include "app/CommandLine.h"
#include "app/Translation.h"
#include "charts/ChartWindow.h"
#include "charts/Statistics.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CBirthdayDlg.h"
#include "dialogs/CDelInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CGedcomRootDlg.h"
#include "dialogs/CGenerationPoemDlg.h"
#include "dialogs/CImportReportDlg.h"
#include "dialogs/CKinshipDlg.h"
#include "dialogs/CMergeReviewDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "dialogs/ExportBookDialog.h"
#include "mainwindow/CClanbookDlg.h"
#include "merge/BranchMerge.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

bool HasChinese(const QString& text) {
  for (QChar c : text)
    if ((c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF) ||
        (c.unicode() >= 0x3000 && c.unicode() <= 0x303F) ||
        (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
      return true;
  return false;
}

// The genealogy the window holds while its commands run. Its names are the
// user's data and stay Chinese in any language.
const QByteArray kRecords =
    "张大 1900 1 1 1 end 0 1970 5 5 -1\r\n"
    "张二 1925 3 3 1 end 1 张大\r\n"
    "张三 1950 7 7 0 end 1 张二\r\n";
const QStringList kMemberNames = {QStringLiteral("张大"), QStringLiteral("张二"),
                                  QStringLiteral("张三")};

// Chinese that is data, not interface, and so is left as it is under English:
// the members' names, and the example generation poem in the poem box, which
// shows what the user types there (a generation poem is Chinese characters),
// and likewise the examples of Chinese dates beside the date boxes.
// The product's name is not among them: in English it is "Clanbook".
QStringList DataTexts() {
  return kMemberNames +
         QStringList{QStringLiteral("克昌厥后，永保其宗"), QStringLiteral("光绪十六年闰二月十五"),
                     QStringLiteral("光绪十六年二月十五"), QStringLiteral("庚寅年二月十五")};
}

bool HasInterfaceChinese(QString text) {
  for (const QString& data : DataTexts()) text.remove(data);
  return HasChinese(text);
}

// A part Qt builds into its own widgets (a tab bar's scroll buttons), worded
// by Qt's catalogue rather than the program's.
bool IsQtsPart(const QWidget* widget) {
  return qobject_cast<const QTabBar*>(widget->parentWidget()) != nullptr;
}

// Every text a user reads or hears in a window: its caption, and each
// button's, label's, group's, box's, column's and menu item's text, tip and
// accessible name.
QStringList TextsOf(QWidget* window) {
  QStringList texts{QStringLiteral("caption: ") + window->windowTitle()};
  for (auto* button : window->findChildren<QAbstractButton*>())
    if (!IsQtsPart(button))
      texts << QStringLiteral("button %1: %2").arg(button->objectName(), button->text());
  for (auto* label : window->findChildren<QLabel*>())
    texts << QStringLiteral("label %1: %2").arg(label->objectName(), label->text());
  for (auto* group : window->findChildren<QGroupBox*>())
    texts << QStringLiteral("group %1: %2").arg(group->objectName(), group->title());
  for (auto* text : window->findChildren<QPlainTextEdit*>())
    texts << QStringLiteral("text %1: %2").arg(text->objectName(), text->toPlainText());
  for (auto* box : window->findChildren<QLineEdit*>())
    texts << QStringLiteral("placeholder %1: %2").arg(box->objectName(), box->placeholderText());
  for (auto* box : window->findChildren<QComboBox*>())
    for (int i = 0; i < box->count(); ++i)
      texts << QStringLiteral("choice %1: %2").arg(box->objectName(), box->itemText(i));
  for (auto* box : window->findChildren<QSpinBox*>())
    texts << QStringLiteral("number %1: %2|%3|%4")
                 .arg(box->objectName(), box->prefix(), box->suffix(), box->specialValueText());
  for (auto* tabs : window->findChildren<QTabBar*>())
    for (int i = 0; i < tabs->count(); ++i)
      texts << QStringLiteral("tab %1: %2").arg(tabs->objectName(), tabs->tabText(i));
  for (auto* view : window->findChildren<QAbstractItemView*>()) {
    const QAbstractItemModel* model = view->model();
    for (int i = 0; model && i < model->columnCount(); ++i)
      texts << QStringLiteral("column %1: %2")
                   .arg(view->objectName(), model->headerData(i, Qt::Horizontal).toString());
  }
  for (auto* action : window->findChildren<QAction*>())
    texts << QStringLiteral("menu item %1: %2|%3")
                 .arg(action->objectName(), action->text(), action->toolTip());
  for (auto* widget : window->findChildren<QWidget*>()) {
    if (IsQtsPart(widget)) continue;
    if (!widget->accessibleName().isEmpty())
      texts << QStringLiteral("accessible name %1: %2")
                   .arg(widget->objectName(), widget->accessibleName());
    if (!widget->toolTip().isEmpty())
      texts << QStringLiteral("tip %1: %2").arg(widget->objectName(), widget->toolTip());
    if (!widget->isWindow() && !widget->windowTitle().isEmpty())
      texts << QStringLiteral("title %1: %2").arg(widget->objectName(), widget->windowTitle());
  }
  return texts;
}

// The texts that do not fit in their widgets as laid out: a label or button
// narrower than its text needs, a group or column narrower than its title.
QStringList ClippedTexts(QWidget* window) {
  QStringList clipped;
  auto report = [&](QWidget* widget, const QString& text, int needed) {
    if (widget->isVisible() && widget->width() < needed)
      clipped << QStringLiteral("%1 \"%2\": %3 < %4")
                     .arg(widget->objectName(), text, QString::number(widget->width()),
                          QString::number(needed));
  };
  for (auto* label : window->findChildren<QLabel*>())
    if (!label->wordWrap() && !label->text().isEmpty())
      report(label, label->text(), label->sizeHint().width());
  for (auto* button : window->findChildren<QAbstractButton*>())
    if (!button->text().isEmpty()) report(button, button->text(), button->sizeHint().width());
  for (auto* group : window->findChildren<QGroupBox*>())
    report(group, group->title(), group->fontMetrics().horizontalAdvance(group->title()));
  for (auto* header : window->findChildren<QHeaderView*>()) {
    if (header->orientation() != Qt::Horizontal || header->isHidden()) continue;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int i = 0; i < header->count(); ++i) {
      const QString text = header->model()->headerData(i, Qt::Horizontal).toString();
      const int needed = header->fontMetrics().horizontalAdvance(text) + 2 * margin;
      if (header->sectionSize(i) < needed)
        clipped << QStringLiteral("column \"%1\": %2 < %3")
                       .arg(text, QString::number(header->sectionSize(i)), QString::number(needed));
    }
  }
  return clipped;
}

class NoAdder : public IMemberAdder {
public:
  int AddMember(CAddInfoDlg&) override { return 0; }
};

// The windows of the dialog and chart layers, opened as their commands open
// them. What a caller puts in (a member's name, the product name) is left out:
// it is the caller's text, not the window's.
struct WindowRow {
  const char* name;
  std::function<std::unique_ptr<QWidget>()> open;
};
NoAdder g_adder;
template <class Dialog, class... Args>
std::unique_ptr<QWidget> CreateDialog(Args&&... args) {
  auto dialog = std::make_unique<Dialog>(std::forward<Args>(args)...);
  dialog->Create();
  return dialog;
}
template <class Window>
std::unique_ptr<QWidget> ShowWindow() {
  auto window = std::make_unique<Window>();
  window->show();
  return window;
}
const WindowRow kWindows[] = {
    {"add", [] { return CreateDialog<CAddInfoDlg>(&g_adder); }},
    {"modify", [] { return CreateDialog<CModifyInfoDlg>(); }},
    {"delete", [] { return CreateDialog<CDelInfoDlg>(); }},
    {"personal", [] { return CreateDialog<CPersonalInfoDlg>(); }},
    {"relations", [] { return CreateDialog<CRelationsDlg>(); }},
    {"generation", [] { return CreateDialog<CSearchGenerationDlg>(); }},
    {"kinship",
     [] {
       static const COperationClanbook book;
       return CreateDialog<CKinshipDlg>(book, QString());
     }},
    {"birthday", [] { return CreateDialog<CBirthdayDlg>(); }},
    {"modify name", [] { return CreateDialog<CModifyNameDlg>(); }},
    {"open", [] { return CreateDialog<CFileOpenAndSaveDlg>(true); }},
    {"save", [] { return CreateDialog<CFileOpenAndSaveDlg>(false); }},
    {"generation poem",
     [] {
       static const COperationClanbook book;
       return CreateDialog<CGenerationPoemDlg>(book);
     }},
    {"about",
     [] {
       return CreateDialog<CAboutDlg>(QStringLiteral("http://www.morvane.example"),
                                      QStringLiteral("Clanbook"), QStringLiteral("4.0"), QString(),
                                      kLanguageChinese);
     }},
    {"GEDCOM root",
     [] {
       static const std::vector<gedcom::GedcomRootCandidate> candidates = {{"@I1@", "张大", 3},
                                                                           {"@I9@", "张二", 1}};
       return CreateDialog<CGedcomRootDlg>(candidates);
     }},
    {"GEDCOM report",
     [] {
       static gedcom::GedcomImportReport report;
       report.version = "7.0";
       report.encoding = "UTF-8";
       report.rootXref = "@I1@";
       report.people = report.members = 3;
       report.changes = {{"@I3@", "address", "end", ""}};
       report.notes = {{gedcom::GedcomNote::Kind::kSecondPerson, 12, "@I2@"}};
       return CreateDialog<CImportReportDlg>(report);
     }},
    {"merge review",
     [] {
       // 张二's branch comes back with a son the genealogy lacks.
       static COperationClanbook book, branch;
       static MergePlan plan;
       if (!book.Root()) {
         mergetest::Add(book, u"", u"张大", 1900);
         mergetest::Add(book, u"张大", u"张二", 1925);
         ExtractBranch(book, mergetest::Find(book, u"张二"), branch);
         mergetest::Add(branch, u"张二", u"张三", 1950);
         plan = PlanMerge(book, branch, MergeSide::Branch);
       }
       return CreateDialog<CMergeReviewDlg>(plan, book, branch);
     }},
    {"export book",
     [] {
       static const COperationClanbook book;
       return CreateDialog<ExportBookDialog>(book, QString(), book::BookOptions());
     }},
    {"chart", [] { return ShowWindow<ChartWindow>(); }},
    {"statistics", [] { return ShowWindow<StatisticsWindow>(); }},
};

QStringList OpenedTexts(const WindowRow& row) {
  std::unique_ptr<QWidget> window = row.open();
  QStringList texts = TextsOf(window.get());
  window->close();
  return texts;
}

// What a user meets while working in the main window: the window itself, each
// window its menu items and buttons open (read, then cancelled or closed), and
// each message box they show.
struct Encounter {
  QString where;
  QStringList texts;
  bool qtsOwn = false;  // a dialog of Qt's (print, preview), worded by Qt's catalogue
};
bool IsQtsOwn(const QWidget* window) {
  return window->metaObject()->className()[0] == 'Q';
}
std::vector<Encounter> WalkMainWindow() {
  std::vector<Encounter> met;
  MessageBoxRecorder boxes;  // questions answered No: nothing is deleted or lost
  UrlSeam urls;
  SetFileDialogForTesting([](const FileDialogRequest&) { return QString(); });
  CClanbookDlg window;
  window.Create();
  LoadRecords(window, kRecords);
  met.push_back({QStringLiteral("main window"), TextsOf(&window)});

  QString command;
  int modalsOfCommand = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == &window) return;
    met.push_back({command + QStringLiteral(" → ") + modal->metaObject()->className(),
                   TextsOf(modal), IsQtsOwn(modal)});
    // A command that keeps reopening its dialog would never end.
    if (++modalsOfCommand > 5) ADD_FAILURE() << "dialogs keep opening: " << command.toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  });
  poll.start(10);

  auto run = [&](const QString& name, const std::function<void()>& trigger) {
    command = name;
    modalsOfCommand = 0;
    boxes.Clear();
    // A command may have started a new genealogy; the next one finds the old again.
    if (!FindMember(window, u"张大")) LoadRecords(window, kRecords);
    window.EnableMemberButtons(true);
    SelectMember(window, FindMember(window, u"张大"));
    const QList<QWidget*> before = QApplication::topLevelWidgets();
    trigger();
    for (QWidget* opened : QApplication::topLevelWidgets()) {
      if (before.contains(opened) || !opened->isVisible()) continue;
      met.push_back({name + QStringLiteral(" → ") + opened->metaObject()->className(),
                     TextsOf(opened), IsQtsOwn(opened)});
      opened->close();
    }
    for (const RecordedBox& box : boxes.Boxes())
      met.push_back({name + QStringLiteral(" → message"), {box.title, box.text}});
  };
  // Taken before any runs, so that what a command opens is not run too.
  const QList<QAction*> actions = window.findChildren<QAction*>();
  const QList<QAbstractButton*> buttons = window.findChildren<QAbstractButton*>();
  for (QAction* action : actions) {
    // Exit ends the window; a menu's own item only opens the menu; a check
    // item opens nothing and would change a setting.
    if (action->menu() || action->isSeparator() || !action->isEnabled() || action->isCheckable() ||
        action->data() == QVariant(int(ID_EXIT)))
      continue;
    run(QStringLiteral("menu item ") + action->text(), [action] { action->trigger(); });
  }
  for (QAbstractButton* button : buttons) {
    if (!button->isEnabled() || !button->isVisible()) continue;
    run(QStringLiteral("button ") + button->text(), [button] { button->click(); });
  }
  poll.stop();
  SetFileDialogForTesting(nullptr);
  window.close();
  return met;
}

struct CatalogueEntry {
  QString context, source, translation;
  bool unfinished = false;
};
std::vector<CatalogueEntry> ReadCatalogue() {
  QFile file(QStringLiteral(CLANBOOK_SOURCE_DIR "/translations/clanbook_en.ts"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(file.readAll());
  std::vector<CatalogueEntry> entries;
  QString context, source;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") {
      context = xml.readElementText();
    } else if (xml.name() == u"source") {
      source = xml.readElementText();
    } else if (xml.name() == u"translation") {
      const bool unfinished = xml.attributes().value(QStringLiteral("type")) == u"unfinished";
      entries.push_back({context, source, xml.readElementText(), unfinished});
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " line " << xml.lineNumber();
  return entries;
}

// What `after` shows differently from `before`, item by item; empty when the
// two are the same.
QStringList Changed(const QStringList& before, const QStringList& after) {
  QStringList changed;
  for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i) {
    const QString was = before.value(i), is = after.value(i);
    if (was != is) changed << was + QStringLiteral(" → ") + is;
  }
  return changed;
}

class LanguageGuiTest : public ::testing::Test {
protected:
  MessageBoxRecorder boxes;
};

TEST_F(LanguageGuiTest, UnderEnglishTheDialogsShowNoChinese) {
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  for (const WindowRow& row : kWindows) {
    SCOPED_TRACE(row.name);
    for (const QString& text : OpenedTexts(row))
      EXPECT_FALSE(HasInterfaceChinese(text)) << text.toStdString();
  }
}

TEST_F(LanguageGuiTest, TheAboutBoxIsTheOneOfTheInterfacesLanguage) {
  for (const UiLanguage language : {UiLanguage::Chinese, UiLanguage::English}) {
    const Translation translation(language);
    CClanbookDlg window;
    window.Create();
    QString notice;
    OnNextDialog<CAboutDlg>([&notice](CAboutDlg* box) {
      notice = box->findChild<QPlainTextEdit*>(QStringLiteral("noticeEdit"))->toPlainText();
      ClickButton(box, "idc_1");
    });
    window.findChild<QAction*>(QStringLiteral("idm_32775"))->trigger();
    EXPECT_EQ(notice, CAboutDlg::DefaultNotice(language == UiLanguage::Chinese ? kLanguageChinese
                                                                               : kLanguageEnglish));
    window.close();
  }
}

// Each window as it opens holds its texts whole in either language: its
// layouts grow with the words.
TEST_F(LanguageGuiTest, InEitherLanguageNoTextIsClipped) {
  for (const UiLanguage language : {UiLanguage::Chinese, UiLanguage::English}) {
    const Translation translation(language);
    SCOPED_TRACE(LanguageName(language).toStdString());
    for (const WindowRow& row : kWindows) {
      SCOPED_TRACE(row.name);
      std::unique_ptr<QWidget> window = row.open();
      EXPECT_EQ(ClippedTexts(window.get()), QStringList());
      window->close();
    }
    CClanbookDlg window;
    window.Create();
    LoadRecords(window, kRecords);
    EXPECT_EQ(ClippedTexts(&window), QStringList());
    window.close();
  }
}

TEST_F(LanguageGuiTest, UnderEnglishTheMainWindowShowsEveryTranslatedText) {
  // As `clanbook --lang en` starts it.
  const StartRequest request =
      CommandLine(Conversions())
          .Parse({QStringLiteral("clanbook"), QStringLiteral("--lang"), QStringLiteral("en")});
  ASSERT_EQ(request.language, UiLanguage::English);
  const Translation english(*request.language);
  QStringList pending;
  const std::vector<Encounter> met = WalkMainWindow();
  // The walk reached the commands' windows, not only the main window.
  EXPECT_GT(met.size(), std::size_t{10});
  for (const Encounter& encounter : met)
    for (const QString& text : encounter.texts)
      if (HasInterfaceChinese(text)) pending << encounter.where + QStringLiteral(": ") + text;
  RecordProperty("main_window_texts_awaiting_english", static_cast<int>(pending.size()));
  EXPECT_EQ(pending.size(), 0) << "awaiting English:\n"
                               << pending.join(QLatin1Char('\n')).toStdString();
}

TEST_F(LanguageGuiTest, UnderChineseEveryTextIsTheProgramsOwn) {
  std::vector<QStringList> untranslated;
  for (const WindowRow& row : kWindows) untranslated.push_back(OpenedTexts(row));
  const std::vector<Encounter> walked = WalkMainWindow();
  const Translation chinese(UiLanguage::Chinese);
  for (size_t i = 0; i < std::size(kWindows); ++i) {
    SCOPED_TRACE(kWindows[i].name);
    const QStringList texts = OpenedTexts(kWindows[i]);
    EXPECT_EQ(Changed(untranslated[i], texts), QStringList());
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), HasChinese));
  }
  const std::vector<Encounter> met = WalkMainWindow();
  ASSERT_EQ(met.size(), walked.size());
  for (size_t i = 0; i < met.size(); ++i) {
    SCOPED_TRACE(met[i].where.toStdString());
    EXPECT_EQ(met[i].where, walked[i].where);
    if (met[i].qtsOwn) continue;
    EXPECT_EQ(Changed(walked[i].texts, met[i].texts), QStringList());
    EXPECT_TRUE(std::any_of(met[i].texts.begin(), met[i].texts.end(), HasChinese));
  }
}

// Every text of the program has English words, and they keep what the code
// and the keyboard rely on: each %n placeholder, and the accelerator of a
// text that has one.
TEST(EnglishCatalogue, EveryTextIsTranslatedKeepingPlaceholdersAndAccelerators) {
  const std::vector<CatalogueEntry> entries = ReadCatalogue();
  ASSERT_FALSE(entries.empty());
  static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
  auto placeholders = [](const QString& text) {
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text)) found << match.captured();
    found.sort();
    found.removeDuplicates();
    return found;
  };
  auto hasAccelerator = [](const QString& text) {
    return text.contains(QRegularExpression(QStringLiteral("&[^&\\s]")));
  };
  QStringList faults;
  for (const CatalogueEntry& entry : entries) {
    const QString where =
        entry.context + QStringLiteral(" \"") + entry.source + QStringLiteral("\"");
    if (entry.unfinished || entry.translation.isEmpty())
      faults << QStringLiteral("untranslated: ") + where;
    else if (HasInterfaceChinese(entry.translation))
      faults << QStringLiteral("Chinese in the English: ") + where;
    else if (placeholders(entry.source) != placeholders(entry.translation))
      faults << QStringLiteral("placeholders differ: ") + where;
    else if (hasAccelerator(entry.source) != hasAccelerator(entry.translation))
      faults << QStringLiteral("accelerator differs: ") + where;
  }
  EXPECT_EQ(faults.size(), 0) << faults.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
