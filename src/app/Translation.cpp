#include "app/Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace {
// The program's catalogues: an installed folder first, so that a packager's or
// translator's newer file wins, then the copy compiled into the program.
QStringList ProgramCatalogueFolders() {
  const QString installed = QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("../share/clanbook/translations"));
  return {QDir::cleanPath(installed), QStringLiteral(":/i18n")};
}

// Qt's catalogue for Chinese: the desktop's own Chinese (Traditional on a
// Taiwanese desktop, say) when it is Chinese, else Simplified.
QLocale QtLocaleFor(UiLanguage language) {
  if (language == UiLanguage::English) return QLocale(QLocale::English, QLocale::UnitedStates);
  const QLocale desktop = QLocale::system();
  if (desktop.language() == QLocale::Chinese) return desktop;
  return QLocale(QLocale::Chinese, QLocale::China);
}
}  // namespace

UiLanguage LanguageForLocale(const QLocale& locale) {
  switch (locale.language()) {
    case QLocale::Chinese:
    case QLocale::C:
    case QLocale::AnyLanguage:
      return UiLanguage::Chinese;
    default:
      return UiLanguage::English;
  }
}

UiLanguage DesktopLanguage() {
  return LanguageForLocale(QLocale::system());
}

QString LanguageName(UiLanguage language) {
  return language == UiLanguage::Chinese ? QStringLiteral("zh") : QStringLiteral("en");
}

std::optional<UiLanguage> LanguageFromName(const QString& name) {
  for (UiLanguage language : {UiLanguage::Chinese, UiLanguage::English})
    if (name == LanguageName(language)) return language;
  return std::nullopt;
}

Translation::Translation(UiLanguage language) : m_language(language) {
  m_qtLoaded = m_qt.load(QtLocaleFor(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (m_qtLoaded) QCoreApplication::installTranslator(&m_qt);
  if (language == UiLanguage::Chinese) {
    m_programLoaded = true;
    return;
  }
  for (const QString& folder : ProgramCatalogueFolders()) {
    if (m_program.load(QStringLiteral("clanbook_%1").arg(LanguageName(language)), folder)) {
      m_programLoaded = true;
      break;
    }
  }
  // Installed after Qt's, so that it is asked first.
  if (m_programLoaded) QCoreApplication::installTranslator(&m_program);
}

Translation::~Translation() {
  QCoreApplication::removeTranslator(&m_program);
  QCoreApplication::removeTranslator(&m_qt);
}
