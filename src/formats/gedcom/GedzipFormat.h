// GEDZIP, GEDCOM 7.0's archive (.gdz): a ZIP holding gedcom.ged at its root
// and the pictures it names, each FILE a path inside the archive. Written
// as the .ged of 7.0 with every picture of the book in media/; read as a .ged
// is, the pictures taken from the archive (never from the file system: an
// archive is never unpacked).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "formats/FileFormat.h"
#include "formats/gedcom/GedcomFormat.h"

namespace formats {

// The bytes of a picture the book does not hold (read from the .cbk it
// came from); false when they cannot be read.
using PhotoReader = std::function<bool(const Photo& photo, std::string& bytes)>;

class GedzipFormat final : public FileFormat {
public:
  // The line of options.rootXref (none: the largest), the pictures from the
  // archive. An archive that cannot be read gives kFileCannotOpen with its
  // problem (kDamagedArchive, kUnsafeArchive, kUnsupportedArchive,
  // kNoGedcomInArchive), the same for a picture the GEDCOM names whose bytes
  // in the archive are damaged; a gedcom.ged that is no GEDCOM fails as a
  // .ged does, Result() saying why.
  ReadResult Read(std::string_view bytes, COperationClanbook& out,
                  const ReadProgress& progress) override;
  // GEDCOM 7.0 streamed into gedcom.ged, then each picture as media/N.png
  // (.jpg, ...). A picture that is not held and that `photos` cannot read is
  // left out, told to `leftOut`; the archive is written all the same.
  WriteResult Write(const COperationClanbook& genealogy, const WriteSink& sink) override;
  using FileFormat::Write;

  gedcom::GedcomImportOptions options;  // its media folder and reader are not used
  PhotoReader photos;
  gedcom::PictureLeftOut leftOut;

  const gedcom::GedcomImportReport& Report() const { return m_gedcom.Report(); }
  const gedcom::GedcomResult& Result() const { return m_gedcom.Result(); }

private:
  GedcomFormat m_gedcom{gedcom::GedcomVersion::v7_0};
};

// The text of gedcom.ged in a GEDZIP `archive`, for the chooser of the root;
// kNone or why not (as Read).
FileProblem GedzipText(std::string_view archive, std::string& text);

// In English, for the command line: why an archive was refused.
const char* DescribeArchiveProblem(FileProblem problem);

}  // namespace formats
