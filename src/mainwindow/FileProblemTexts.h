// What the window says when a genealogy file cannot be read or written: the
// message the user has always seen for the kind of failure, and under it,
// where that alone would leave the user guessing, the line at fault, the
// member concerned and why.
#pragma once

#include "model/FileStatus.h"

#include <QString>

// Empty when there is nothing to say (the user cancelled).
QString LoadFailureText(const FileStatus& status);
QString SaveFailureText(const FileStatus& status, const QString& fileName);
// An export's failure: a member the file cannot hold as a save says it, the
// target's fault with its reason (a folder, no such folder, read-only...).
QString ExportFailureText(const FileStatus& status, const QString& fileName);
