// The language the program speaks, and the translators that make it speak it:
// the program's own catalogue and Qt's, for its dialogs and buttons.
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

#include <optional>

enum class UiLanguage { Chinese, English };

// The language for a desktop locale: Chinese for any Chinese locale and for a
// locale that names no language (C, POSIX, unknown); English for any other.
UiLanguage LanguageForLocale(const QLocale& locale);
// The desktop's language, from LC_ALL, LC_MESSAGES, LANG and LANGUAGE as Qt reads them.
UiLanguage DesktopLanguage();
// "zh" or "en": what --lang takes, and what names the catalogue clanbook_<name>.qm.
QString LanguageName(UiLanguage language);
// The language `name` names; nothing for anything else.
std::optional<UiLanguage> LanguageFromName(const QString& name);

// Installs the translators for a language into the running application for as
// long as it lives. Chinese is the language the program is written in, so it
// needs Qt's catalogue only; any other language needs the program's catalogue
// clanbook_<name>.qm too.
class Translation {
public:
  explicit Translation(UiLanguage language);
  ~Translation();
  Translation(const Translation&) = delete;
  Translation& operator=(const Translation&) = delete;

  UiLanguage language() const { return m_language; }
  // Whether the program's catalogue was found; always true for Chinese.
  bool programCatalogueLoaded() const { return m_programLoaded; }
  // Whether Qt's catalogue for the language was found.
  bool qtCatalogueLoaded() const { return m_qtLoaded; }

private:
  UiLanguage m_language;
  QTranslator m_program;
  QTranslator m_qt;
  bool m_programLoaded = false;
  bool m_qtLoaded = false;
};
