// What the tests of the member window share: a small clan, the names of the
// record's boxes, and the pictures of the windows for the docs.
#pragma once

#include "model/MemberRecord.h"

#include <QDir>
#include <QString>
#include <QWidget>

namespace recordtest {

// 孔纥 has the sons 孔孟皮 (elder) and 孔丘; 孔丘 has 孔鲤.
inline const char* const kClan =
    "孔纥 1890 1 1 1 end 0 1960 2 2 -1\r\n"
    "孔孟皮 1920 5 5 1 end 1 孔纥\r\n"
    "孔丘 1925 3 3 1 曲阜 1 孔纥\r\n"
    "孔鲤 1950 7 7 0 end 1 孔丘\r\n";

inline QString ObjectNameOf(RecordField field) {
  return QStringLiteral("record%1").arg(static_cast<int>(field));
}

// Optional pictures of the windows (docs/member-window.md): kept as `name`
// in CLANBOOK_SHOT_DIR when it is set.
inline void Shoot(QWidget* widget, const QString& name) {
  if (qEnvironmentVariableIsSet("CLANBOOK_SHOT_DIR"))
    widget->grab().save(QDir(qEnvironmentVariable("CLANBOOK_SHOT_DIR")).filePath(name));
}

}  // namespace recordtest
