// The .ftf codec: bytes to a genealogy and a genealogy to bytes, with the
// reasons of every refusal. FtfFormat (formats/FtfFormat.h) offers it as a
// FileFormat and reads and writes files with it.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "model/FileStatus.h"

class COperationClanbook;

namespace ftf {

// Fills `out`, which must be empty, from the bytes of a file: UTF-8 with or
// without byte-order mark, UTF-16 with one, or GB18030 for a file that is
// legacy text as a whole. On any failure `out` is left empty. `progress`, if
// set, is called about every megabyte; the read never goes back to bytes
// before the last `done` it reported, except for a file that turns out to be
// in a legacy encoding, which is read again from its start.
FileStatus Read(std::string_view bytes, COperationClanbook& out, const ReadProgress& progress);

// Receives the file's bytes in pieces of about a megabyte; false stops.
using WriteSink = ::WriteSink;

// Writes the genealogy, UTF-8 with CR LF, pre-order. A member that would not
// read back as written stops the write with the member and the reason; the
// pieces given to the sink so far must then be dropped (the atomic save
// does). A sink failure gives kWriteFailed, an empty genealogy kNothingToSave.
FileStatus Write(const COperationClanbook& genealogy, const WriteSink& sink);

// What Write would refuse, checked without writing: kNone, or the first member
// in pre-order that cannot be written, with the reason.
FileStatus CheckWritable(const COperationClanbook& genealogy);

}  // namespace ftf
