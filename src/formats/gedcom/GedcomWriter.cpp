// GEDCOM export: one INDI per member, one FAM per father or married member.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "formats/gedcom/GedcomWriterSink.h"
#include "model/TextCodec.h"

namespace gedcom {

namespace detail {

namespace {

class Writer {
public:
  Writer(GedcomVersion version, const Sink& sink) : m_version(version), m_sink(sink) {}

  void Header() {
    // 7.0 asks for the byte-order mark, and readers that also know older
    // versions (Gramps 5.1) take a 7.0 file without it for another encoding
    // than UTF-8. 5.5.1 files stay as they were: their CHAR says UTF-8.
    if (m_version == GedcomVersion::v7_0) m_buffer += "\xEF\xBB\xBF";
    Line("0 HEAD");
    if (m_version == GedcomVersion::v7_0) {
      Line("1 GEDC");
      Line("2 VERS 7.0");
      Line("1 SOUR Clanbook");
    } else {
      Line("1 SOUR Clanbook");
      Line("1 SUBM @U1@");
      Line("1 GEDC");
      Line("2 VERS 5.5.1");
      Line("2 FORM LINEAGE-LINKED");
      Line("1 CHAR UTF-8");
      Line("0 @U1@ SUBM");
      Line("1 NAME Clanbook");
    }
  }

  void Trailer() {
    Line("0 TRLR");
    m_sink(m_buffer, true);
  }

  void Members(const MemberNode* root) {
    if (!root) return;
    // The clan's surname, which every member born into it carries.
    std::u16string_view clan;
    if (const std::size_t n = SurnameLength(root->name, {}); n > 0)
      clan = std::u16string_view(root->name).substr(0, n);
    struct Pending {
      const MemberNode* member;
      std::uint64_t id;
      std::uint64_t childOf;  // the family the member is a child in; 0: none
    };
    std::vector<Pending> stack{{root, 1, 0}};
    std::uint64_t nextId = 2, nextFamily = 1;
    std::vector<std::uint64_t> children;
    while (!stack.empty()) {
      const Pending p = stack.back();
      stack.pop_back();
      const MemberNode* m = p.member;
      const bool father = m->firstChild != nullptr;
      const std::uint64_t family = father || m->married ? nextFamily++ : 0;
      Individual(*m, p.id, clan, p.childOf, family);
      if (!family) continue;
      // Children are numbered when their father is written, so the FAM can
      // name them before their INDIs come.
      children.clear();
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) children.push_back(nextId++);
      Xref("0 @F", family, "@ FAM");
      Xref("1 HUSB @I", p.id, "@");
      if (m->married) Line("1 MARR Y");
      for (std::uint64_t c : children) Xref("1 CHIL @I", c, "@");
      const std::size_t mark = stack.size();
      std::size_t k = 0;
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
        stack.push_back({c, children[k++], family});
      std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
      if (m_buffer.size() >= (1u << 20)) m_sink(m_buffer, false);
    }
  }

private:
  void Individual(const MemberNode& m, std::uint64_t id, std::u16string_view clan,
                  std::uint64_t childOf, std::uint64_t family) {
    Xref("0 @I", id, "@ INDI");
    const std::size_t surname = SurnameLength(m.name, clan);
    const std::u16string_view name = m.name;
    if (surname > 0) {
      m_buffer += "1 NAME /";
      Text(name.substr(0, surname), false);
      m_buffer += '/';
      Text(name.substr(surname), false);
      m_buffer += "\r\n";
      Value("2 GIVN ", name.substr(surname));
      Value("2 SURN ", name.substr(0, surname));
    } else {
      Value("1 NAME ", name);
      Value("2 GIVN ", name);
    }
    if (family) Line("1 SEX M");
    Line("1 BIRT");
    Date(m.birthYear, m.birthMonth, m.birthDay);
    if (m.alive == 0) {
      Line("1 DEAT");
      Date(m.deathYear, m.deathMonth, m.deathDay);
    }
    if (!m.address.empty()) {
      // 7.0 gives every attribute a text payload; 5.5.1 has none for RESI.
      if (m_version == GedcomVersion::v7_0)
        Value("1 RESI ", m.address);
      else
        Line("1 RESI");
      Value("2 ADDR ", m.address);
    }
    if (childOf) Xref("1 FAMC @F", childOf, "@");
    if (family) Xref("1 FAMS @F", family, "@");
  }

  void Date(std::int32_t y, std::int32_t m, std::int32_t d) {
    m_buffer += "2 DATE ";
    m_buffer += FormatDate(y, m, d, m_version);
    m_buffer += "\r\n";
  }

  void Line(std::string_view text) {
    m_buffer += text;
    m_buffer += "\r\n";
  }

  void Xref(std::string_view before, std::uint64_t id, std::string_view after) {
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

  // `prefix` is "<level> <TAG> "; a line break in the text continues on CONT
  // lines one level deeper.
  void Value(std::string_view prefix, std::u16string_view text) {
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

  // Text as UTF-8, with the escape of '@' each version asks for: 7.0 doubles
  // only a leading one, 5.5.1 every one.
  void Text(std::u16string_view text, bool lineStart) {
    const std::size_t old = m_buffer.size();
    m_buffer.resize(old + text.size() * 3);
    char* end = textcodec::WriteUtf8(m_buffer.data() + old, text);
    m_buffer.resize(static_cast<std::size_t>(end - m_buffer.data()));
    if (m_buffer.find('@', old) == std::string::npos) return;
    std::string escaped;
    for (std::size_t i = old; i < m_buffer.size(); ++i) {
      const char c = m_buffer[i];
      escaped += c;
      if (c == '@' && (m_version == GedcomVersion::v5_5_1 || (lineStart && i == old)))
        escaped += '@';
    }
    m_buffer.resize(old);
    m_buffer += escaped;
  }

  GedcomVersion m_version;
  const Sink& m_sink;
  std::string m_buffer;
};

}  // namespace

void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, const Sink& sink) {
  Writer writer(version, sink);
  writer.Header();
  writer.Members(genealogy.Root());
  writer.Trailer();
}

}  // namespace detail

void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, std::string& out) {
  const detail::Sink sink = [&out](std::string& piece, bool) {
    if (out.empty())
      out.swap(piece);
    else
      out += piece;
    piece.clear();
    return true;
  };
  detail::WriteGedcom(genealogy, version, sink);
}

}  // namespace gedcom
