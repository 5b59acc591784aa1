#include "formats/gedcom/GedcomFormat.h"

#include <new>

#include "formats/gedcom/GedcomWriterSink.h"

namespace formats {

ReadResult GedcomFormat::Read(std::string_view bytes, COperationClanbook& out,
                              const ReadProgress&) {
  m_report = {};
  m_result = gedcom::ReadGedcom(bytes, options, out, m_report);
  if (m_result) return {};
  out.Clear();
  if (m_result.error == gedcom::GedcomError::kNoMemory)
    return Failure(kFileNoMemory, FileProblem::kNoMemory, m_result.line);
  return Failure(kFileCannotOpen,
                 m_result.error == gedcom::GedcomError::kNotText ? FileProblem::kNotText
                                                                 : FileProblem::kCannotOpen,
                 m_result.line);
}

WriteResult GedcomFormat::Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  try {
    bool ok = true;
    gedcom::detail::WriteGedcom(
        genealogy, m_version,
        [&](std::string& piece, bool) {
          ok = ok && sink(piece);
          piece.clear();
          return ok;
        },
        media);
    return ok ? WriteResult{} : Failure(kFileCannotWrite, FileProblem::kWriteFailed);
  } catch (const std::bad_alloc&) {
    return Failure(kFileCannotWrite, FileProblem::kNoMemory);
  }
}

}  // namespace formats
