#include "formats/FileFormat.h"

#include "model/AtomicFile.h"
#include "model/COperationClanbook.h"
#include "model/FileBytes.h"

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
  return ftf::ReadFileBytes(
      path,
      [&format, &out](std::string_view bytes, const ReadProgress& release) {
        return format.Read(bytes, out, release);
      },
      progress);
}

WriteResult WriteFile(FileFormat& format, const COperationClanbook& genealogy,
                      const std::filesystem::path& path) {
  WriteResult result;
  result.code = kFileCannotWrite;
  // Nothing to save never touches the disk, whatever the target holds.
  if (!genealogy.GetRootLink()) {
    result.problem = FileProblem::kNothingToSave;
    return result;
  }
  AtomicFileWriter file;
  if (!file.Open(path)) {
    result.problem = file.Problem();
    return result;
  }
  result = format.Write(genealogy, [&file](std::string_view piece) { return file.Write(piece); });
  if (result.problem == FileProblem::kWriteFailed && file.Problem() != FileProblem::kNone)
    result.problem = file.Problem();
  if (!result.Ok()) return result;  // the writer removes its temporary file
  if (!file.Commit()) {
    result.code = kFileCannotWrite;
    result.problem = file.Problem();
  }
  return result;
}

}  // namespace formats
