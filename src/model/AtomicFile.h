// Replacing a file so that it is never left damaged: the new contents go to a
// temporary file in the same folder, are flushed to the disk, and only then
// take the old file's place by a rename.
#pragma once

#include <filesystem>
#include <string_view>

// True when `target` now holds `data`. On false the old file, if any, is
// exactly as it was and no temporary file is left behind.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view data);
