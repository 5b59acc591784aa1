// What the window remembers between runs, in the user's settings: the files
// opened or saved last, whether a save keeps the previous version, and where
// the window stood.
#pragma once

#include <QStringList>

#include <memory>

class QSettings;

namespace clanbook_settings {

inline constexpr int kMaxRecentFiles = 8;

// The user's settings of the program (~/.config/clanbook/clanbook.conf).
std::unique_ptr<QSettings> Open();

// Most recent first, at most kMaxRecentFiles, each once.
QStringList RecentFiles();
void AddRecentFile(const QString& fileName);
void RemoveRecentFile(const QString& fileName);

// On unless the user turned it off.
bool KeepPreviousVersion();
void SetKeepPreviousVersion(bool keep);

}  // namespace clanbook_settings
