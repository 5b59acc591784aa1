#include "mainwindow/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace clanbook_settings {

namespace {

const QString kRecentKey = QStringLiteral("files/recent");
const QString kKeepPreviousKey = QStringLiteral("files/keepPreviousVersion");

// The same file under two spellings ("a/../b.ftf", "./b.ftf") is one entry.
QString Canonical(const QString& fileName) {
  return QFileInfo(fileName).absoluteFilePath();
}

void Store(const QStringList& files) {
  Open()->setValue(kRecentKey, files);
}

}  // namespace

std::unique_ptr<QSettings> Open() {
  // Named here rather than through the application's names, so that the
  // window finds its settings whoever created it.
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("clanbook"), QStringLiteral("clanbook"));
}

QStringList RecentFiles() {
  QStringList files = Open()->value(kRecentKey).toStringList();
  files.removeAll(QString());
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  return files;
}

void AddRecentFile(const QString& fileName) {
  const QString file = Canonical(fileName);
  QStringList files = RecentFiles();
  files.removeAll(file);
  files.prepend(file);
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  Store(files);
}

void RemoveRecentFile(const QString& fileName) {
  QStringList files = RecentFiles();
  files.removeAll(fileName);
  files.removeAll(Canonical(fileName));
  Store(files);
}

bool KeepPreviousVersion() {
  return Open()->value(kKeepPreviousKey, true).toBool();
}

void SetKeepPreviousVersion(bool keep) {
  Open()->setValue(kKeepPreviousKey, keep);
}

}  // namespace clanbook_settings
