// The writer hands its text over in pieces of about a megabyte, so that an
// export to a file never holds the whole text in memory.
#pragma once

#include <functional>
#include <string>

#include "formats/gedcom/Gedcom.h"

namespace gedcom::detail {

// Takes `piece` (and may take its buffer); `last` after the trailer.
using Sink = std::function<bool(std::string& piece, bool last)>;

void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, const Sink& sink,
                 const MediaWriter& media = {});

}  // namespace gedcom::detail
