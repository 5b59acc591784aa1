#include "formats/gedcom/GedcomLines.h"

#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcom::detail {

void LineWriter::Schema(std::string_view tag) {
  m_buffer += "2 TAG ";
  m_buffer += tag;
  m_buffer += ' ';
  m_buffer += kSchemaBase;
  m_buffer += tag.substr(1);
  m_buffer += "\r\n";
}

void LineWriter::Tagged(std::string_view level, std::string_view tag, std::u16string_view value) {
  std::string prefix(level);
  prefix += tag;
  prefix += ' ';
  Value(prefix, value);
}

void LineWriter::Words(std::string_view prefix, std::string_view words) {
  m_buffer += prefix;
  m_buffer += words;
  m_buffer += "\r\n";
}

void LineWriter::Date(std::int32_t y, std::int32_t m, std::int32_t d) {
  m_buffer += "2 DATE ";
  m_buffer += FormatDate(y, m, d, m_version);
  m_buffer += "\r\n";
}

void LineWriter::Line(std::string_view text) {
  m_buffer += text;
  m_buffer += "\r\n";
}

void LineWriter::Xref(std::string_view before, std::uint64_t id, std::string_view after) {
  m_buffer += before;
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  do {
    *--p = static_cast<char>('0' + id % 10);
    id /= 10;
  } while (id);
  m_buffer.append(p, end);
  m_buffer += after;
  m_buffer += "\r\n";
}

void LineWriter::Value(std::string_view prefix, std::u16string_view text) {
  const char level = prefix[0];
  if (text.empty()) {
    Line(prefix.substr(0, prefix.size() - 1));
    return;
  }
  std::size_t start = 0;
  bool first = true;
  while (true) {
    std::size_t end = start;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
    if (first) {
      m_buffer += prefix;
    } else {
      m_buffer += static_cast<char>(level + 1);
      m_buffer += " CONT ";
    }
    Text(text.substr(start, end - start), true);
    m_buffer += "\r\n";
    if (end == text.size()) break;
    if (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
    start = end + 1;
    first = false;
  }
}

void LineWriter::Text(std::u16string_view text, bool lineStart) {
  const std::size_t old = m_buffer.size();
  m_buffer.resize(old + text.size() * 3);
  char* end = textcodec::WriteUtf8(m_buffer.data() + old, text);
  m_buffer.resize(static_cast<std::size_t>(end - m_buffer.data()));
  if (m_buffer.find('@', old) == std::string::npos) return;
  std::string escaped;
  for (std::size_t i = old; i < m_buffer.size(); ++i) {
    const char c = m_buffer[i];
    escaped += c;
    if (c == '@' && (m_version == GedcomVersion::v5_5_1 || (lineStart && i == old))) escaped += '@';
  }
  m_buffer.resize(old);
  m_buffer += escaped;
}

}  // namespace gedcom::detail
