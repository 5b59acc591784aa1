// The lines of a GEDCOM file as the writer puts them down: levels, tags,
// cross-references, dates, and text as UTF-8 with CONT lines for its breaks
// and '@' escaped as each version asks. What goes into the records is the
// writer's (GedcomWriter.cpp); how a line is spelled is this class's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/gedcom/Gedcom.h"

namespace gedcom::detail {

class LineWriter {
protected:
  explicit LineWriter(GedcomVersion version) : m_version(version) {}

  static std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
  }

  void Schema(std::string_view tag);
  // "<level> <tag> <value>", an extension tag.
  void Tagged(std::string_view level, std::string_view tag, std::u16string_view value);
  // A line of the program's own words (UTF-8, no '@', no break).
  void Words(std::string_view prefix, std::string_view words);
  void Date(std::int32_t y, std::int32_t m, std::int32_t d);
  void Line(std::string_view text);
  void Xref(std::string_view before, std::uint64_t id, std::string_view after);
  // `prefix` is "<level> <TAG> "; a line break in the text continues on CONT
  // lines one level deeper.
  void Value(std::string_view prefix, std::u16string_view text);
  // Text as UTF-8, with the escape of '@' each version asks for: 7.0 doubles
  // only a leading one, 5.5.1 every one.
  void Text(std::u16string_view text, bool lineStart);

  GedcomVersion m_version;
  std::string m_buffer;  // what is written and not yet handed to the sink
};

}  // namespace gedcom::detail
