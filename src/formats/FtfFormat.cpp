#include "formats/FtfFormat.h"

#include "model/FtfCodec.h"

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

}  // namespace formats
