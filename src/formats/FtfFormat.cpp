#include "formats/FtfFormat.h"

#include <algorithm>

#include "formats/PoemFile.h"
#include "formats/ftf/FtfCodec.h"
#include "model/COperationClanbook.h"

namespace formats {

ReadResult FtfFormat::Read(std::string_view bytes, COperationClanbook& out,
                           const ReadProgress& progress) {
  return ftf::Read(bytes, out, progress);
}

WriteResult FtfFormat::Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  return ftf::Write(genealogy, sink);
}

WriteResult FtfFormat::CheckWritable(const COperationClanbook& genealogy) {
  return ftf::CheckWritable(genealogy);
}

ReadResult LoadFtf(const std::filesystem::path& path, COperationClanbook& out,
                   const ReadProgress& progress) {
  FtfFormat format;
  return ReadFile(format, path, out, progress);
}

ReadResult LoadFtfBook(const std::filesystem::path& path, COperationClanbook& out,
                       const ReadProgress& progress, PoemFileResult* poem) {
  if (poem) *poem = NoPoemFile();
  const ReadResult read = LoadFtf(path, out, progress);
  if (read.Ok()) {
    const PoemFileResult loaded = LoadPoem(path, out.Book());
    if (poem) *poem = loaded;
  }
  return read;
}

WriteResult SaveFtf(const std::filesystem::path& path, const COperationClanbook& genealogy) {
  FtfFormat format;
  return WriteFile(format, genealogy, path);
}

std::vector<RecordField> FieldsFtfDoesNotKeep(const COperationClanbook& genealogy) {
  std::vector<RecordField> fields = FieldsBeyondTenFields(genealogy);
  // A 字辈 the poem file cannot hold (no poem as CheckPoemText has it) is
  // one more thing lost.
  if (CheckPoemText(genealogy.Book().generationPoem).status == PoemFileStatus::kOk)
    std::erase(fields, RecordField::kGenerationPoem);
  return fields;
}

}  // namespace formats
