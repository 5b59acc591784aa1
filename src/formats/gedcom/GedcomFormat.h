// GEDCOM as a FileFormat: the import's options go in before Read, its report
// and the reason of a refusal come out after; Write exports in the version
// given. The free functions of Gedcom.h remain for the root candidates and
// for callers that need the import's own result.
#pragma once

#include "formats/FileFormat.h"
#include "formats/gedcom/Gedcom.h"

namespace formats {

class GedcomFormat final : public FileFormat {
public:
  explicit GedcomFormat(gedcom::GedcomVersion version = gedcom::GedcomVersion::v5_5_1)
      : m_version(version) {}

  // Brings in the line of options.rootXref (none: the largest line). A file
  // that is no GEDCOM gives kFileCannotOpen; Result() says why.
  ReadResult Read(std::string_view bytes, COperationClanbook& out,
                  const ReadProgress& progress) override;
  WriteResult Write(const COperationClanbook& genealogy, const WriteSink& sink) override;
  using FileFormat::Write;

  gedcom::GedcomImportOptions options;
  // Where an export's pictures go (Gedcom.h); none: those held are named.
  gedcom::MediaWriter media;
  const gedcom::GedcomImportReport& Report() const { return m_report; }
  const gedcom::GedcomResult& Result() const { return m_result; }

private:
  gedcom::GedcomVersion m_version;
  gedcom::GedcomImportReport m_report;
  gedcom::GedcomResult m_result;
};

}  // namespace formats
