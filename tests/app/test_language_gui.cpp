// The program in each of its languages, as a user sees it: under English no
// Chinese character on any button, label, menu item or caption; under Chinese
// exactly the texts the program is written with.
#include "GuiTestSupport.h"
#include "app/CommandLine.h"
#include "app/Translation.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CBirthdayDlg.h"
#include "dialogs/CDelInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
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

// Every text a user reads or hears in a window: its caption, and each
// button's, label's, group's and menu item's text and accessible name.
QStringList TextsOf(QWidget* window) {
  QStringList texts{QStringLiteral("caption: ") + window->windowTitle()};
  for (auto* button : window->findChildren<QAbstractButton*>())
    texts << QStringLiteral("button %1: %2").arg(button->objectName(), button->text());
  for (auto* label : window->findChildren<QLabel*>())
    texts << QStringLiteral("label %1: %2").arg(label->objectName(), label->text());
  for (auto* group : window->findChildren<QGroupBox*>())
    texts << QStringLiteral("group %1: %2").arg(group->objectName(), group->title());
  for (auto* text : window->findChildren<QPlainTextEdit*>())
    texts << QStringLiteral("text %1: %2").arg(text->objectName(), text->toPlainText());
  for (auto* action : window->findChildren<QAction*>())
    texts << QStringLiteral("menu item %1: %2").arg(action->objectName(), action->text());
  for (auto* widget : window->findChildren<QWidget*>())
    if (!widget->accessibleName().isEmpty())
      texts << QStringLiteral("accessible name %1: %2")
                   .arg(widget->objectName(), widget->accessibleName());
  return texts;
}

class NoAdder : public IMemberAdder {
public:
  int AddMember(CAddInfoDlg&) override { return 0; }
};

// The dialogs of the dialog layer, opened as their commands open them. What a
// caller puts in (a member's name, the product name) is left out: it is the
// caller's text, not the dialog's.
struct DialogRow {
  const char* name;
  std::function<std::unique_ptr<CDialog>()> make;
};
NoAdder g_adder;
const DialogRow kDialogs[] = {
    {"add", [] { return std::make_unique<CAddInfoDlg>(&g_adder); }},
    {"modify", [] { return std::make_unique<CModifyInfoDlg>(); }},
    {"delete", [] { return std::make_unique<CDelInfoDlg>(); }},
    {"personal", [] { return std::make_unique<CPersonalInfoDlg>(); }},
    {"relations", [] { return std::make_unique<CRelationsDlg>(); }},
    {"generation", [] { return std::make_unique<CSearchGenerationDlg>(); }},
    {"birthday", [] { return std::make_unique<CBirthdayDlg>(); }},
    {"modify name", [] { return std::make_unique<CModifyNameDlg>(); }},
    {"open", [] { return std::make_unique<CFileOpenAndSaveDlg>(true); }},
    {"save", [] { return std::make_unique<CFileOpenAndSaveDlg>(false); }},
    {"about",
     [] {
       return std::make_unique<CAboutDlg>(QStringLiteral("http://www.morvane.example"),
                                          QStringLiteral("Clanbook"), QStringLiteral("4.0"),
                                          QString(), kLanguageChinese);
     }},
};

QStringList OpenedTexts(const DialogRow& row) {
  std::unique_ptr<CDialog> dialog = row.make();
  dialog->Create();
  QStringList texts = TextsOf(dialog.get());
  dialog->close();
  return texts;
}

// The Chinese texts the English catalogue translates in `context` (a class's
// tr() context). A Chinese text on the screen that is among them was not passed
// through the catalogue: a fault. One that is not waits for its English words
// (the main window's, for now).
QSet<QString> TranslatedSources(const QString& context) {
  QFile file(QStringLiteral(CLANBOOK_SOURCE_DIR "/translations/clanbook_en.ts"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QSet<QString> sources;
  QString source, current;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == u"name") {
      current = xml.readElementText();
    } else if (xml.name() == u"source") {
      source = xml.readElementText();
    } else if (xml.name() == u"translation") {
      const bool unfinished = xml.attributes().value(QStringLiteral("type")) == u"unfinished";
      const QString text = xml.readElementText();
      if (current == context && !unfinished && !text.isEmpty()) sources.insert(source);
    }
  }
  return sources;
}

class LanguageGuiTest : public ::testing::Test {
protected:
  MessageBoxRecorder boxes;
};

TEST_F(LanguageGuiTest, UnderEnglishTheDialogsShowNoChinese) {
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  for (const DialogRow& row : kDialogs) {
    SCOPED_TRACE(row.name);
    for (const QString& text : OpenedTexts(row))
      EXPECT_FALSE(HasChinese(text)) << text.toStdString();
  }
}

TEST_F(LanguageGuiTest, UnderEnglishTheMainWindowShowsEveryTranslatedText) {
  // As `clanbook --lang en` starts it.
  const StartRequest request =
      CommandLine(Conversions())
          .Parse({QStringLiteral("clanbook"), QStringLiteral("--lang"), QStringLiteral("en")});
  ASSERT_EQ(request.language, UiLanguage::English);
  const Translation english(*request.language);
  CClanbookDlg window;
  const QSet<QString> translated =
      TranslatedSources(QString::fromLatin1(window.metaObject()->className()));
  window.Create();
  QStringList pending;
  for (auto* action : window.findChildren<QAction*>()) {
    if (!HasChinese(action->text())) continue;
    EXPECT_FALSE(translated.contains(action->text()))
        << "untranslated: " << action->text().toStdString();
    pending << action->text();
  }
  for (auto* button : window.findChildren<QAbstractButton*>()) {
    if (!HasChinese(button->text())) continue;
    EXPECT_FALSE(translated.contains(button->text()))
        << "untranslated: " << button->text().toStdString();
    pending << button->text();
  }
  // Pending: the main window's menu items and buttons until the catalogue has
  // English words for them. Listed in the test's output, so that none is
  // forgotten; the count falls to 0 when they are all translated.
  RecordProperty("main_window_texts_awaiting_english", static_cast<int>(pending.size()));
  if (!pending.isEmpty())
    std::printf("main window texts awaiting English: %s\n",
                qPrintable(pending.join(QStringLiteral(" | "))));
  window.close();
}

TEST_F(LanguageGuiTest, UnderChineseEveryTextIsTheProgramsOwn) {
  std::vector<QStringList> untranslated;
  for (const DialogRow& row : kDialogs) untranslated.push_back(OpenedTexts(row));
  QStringList windowTexts;
  {
    CClanbookDlg window;
    window.Create();
    windowTexts = TextsOf(&window);
    window.close();
  }
  const Translation chinese(UiLanguage::Chinese);
  for (size_t i = 0; i < std::size(kDialogs); ++i) {
    SCOPED_TRACE(kDialogs[i].name);
    const QStringList texts = OpenedTexts(kDialogs[i]);
    EXPECT_EQ(texts, untranslated[i]);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), HasChinese));
  }
  CClanbookDlg window;
  window.Create();
  EXPECT_EQ(TextsOf(&window), windowTexts);
  window.close();
}

}  // namespace
