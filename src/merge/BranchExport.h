// A branch of a clan book as a book of its own: a member with all his
// descendants, the member as the root.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "model/COperationClanbook.h"
#include "model/FileStatus.h"

// Exit codes of the command-line functions of the branch engine.
enum BranchExitCode : int {
  kBranchOk = 0,
  kBranchCannotRead = 1,   // a book or branch file failed to load
  kBranchNotFound = 2,     // no member bears the name asked for
  kBranchNotInBook = 3,    // the branch's root is no member of the book
  kBranchCannotWrite = 4,  // the result could not be saved
  kBranchBadName = 5,      // the name given is no UTF-8 text of at most 127 code units
};

// Replaces `out` with a deep copy of `top` (a member of `book`) and all his
// descendants, `top` as the root. Children keep their order.
void ExtractBranch(const COperationClanbook& book, const MemberNode* top, COperationClanbook& out);

// Loads `in`, extracts the branch of the member called `name` (UTF-8) and saves
// it to `out` (atomically). Tells `messages` what it did or why it failed. An
// `out` that is `in` itself (by any name) is refused before anything is read.
int ExportBranchFile(const std::filesystem::path& in, std::string_view name,
                     const std::filesystem::path& out, std::ostream& messages);

// What the command-line functions print for a load or save result.
const char* DescribeFileResult(int result);
// Why a save failed: the target's fault ("it is a folder") or the member's.
std::string DescribeSaveFailure(const FileStatus& status);
