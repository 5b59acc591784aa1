#include "formats/FileFormat.h"

#include "formats/io/FileBytes.h"
#include "model/COperationClanbook.h"

namespace formats {

WriteResult FileFormat::Write(const COperationClanbook& genealogy, std::string& out) {
  out.clear();
  WriteResult result = Write(genealogy, [&out](std::string_view piece) {
    out.append(piece);
    return true;
  });
  if (!result.Ok()) std::string().swap(out);
  return result;
}

ReadResult ReadFile(FileFormat& format, const std::filesystem::path& path, COperationClanbook& out,
                    const ReadProgress& progress) {
  out.Clear();
  return fileio::ReadFileBytes(
      path,
      [&format, &out](std::string_view bytes, const ReadProgress& release) {
        return format.Read(bytes, out, release);
      },
      progress);
}

WriteResult WriteFile(FileFormat& format, const COperationClanbook& genealogy,
                      const std::filesystem::path& path) {
  return fileio::WriteFileAtomically(
      path, genealogy, [&](const WriteSink& sink) { return format.Write(genealogy, sink); });
}

}  // namespace formats
