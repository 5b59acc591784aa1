#include "formats/FtfFormat.h"

#include "formats/ftf/FtfCodec.h"

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

WriteResult SaveFtf(const std::filesystem::path& path, const COperationClanbook& genealogy) {
  FtfFormat format;
  return WriteFile(format, genealogy, path);
}

}  // namespace formats
