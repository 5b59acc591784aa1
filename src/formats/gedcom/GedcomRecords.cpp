#include "formats/gedcom/GedcomRecords.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include "formats/gedcom/GedcomRecord.h"
#include "model/TextCodec.h"

namespace gedcom {

namespace detail {

const BookTag kBookTags[9] = {
    {"_TITLE", static_cast<int>(RecordField::kBookTitle)},
    {"_HALL", static_cast<int>(RecordField::kHallName)},
    {"_SEAT", static_cast<int>(RecordField::kClanSeat)},
    {"_YEAR", static_cast<int>(RecordField::kEditionYear)},
    {"_EDITORS", static_cast<int>(RecordField::kEditors)},
    {"_PREFACE", static_cast<int>(RecordField::kPreface)},
    {"_RULES", static_cast<int>(RecordField::kRules)},
    {"_PRECEPTS", static_cast<int>(RecordField::kPrecepts)},
    {"_POEM", static_cast<int>(RecordField::kGenerationPoem)},
};

std::string_view PictureKind(std::string_view b) {
  const auto starts = [&](std::string_view head, std::size_t at = 0) {
    return b.size() >= at + head.size() && b.substr(at, head.size()) == head;
  };
  if (starts("\xFF\xD8\xFF")) return "jpg";
  if (starts("\x89PNG\r\n\x1A\n")) return "png";
  if (starts("GIF87a") || starts("GIF89a")) return "gif";
  if (starts("BM") && b.size() > 26) return "bmp";
  if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4))) return "tif";
  if (starts("RIFF") && starts("WEBP", 8)) return "webp";
  return {};
}

std::string PictureForm(std::string_view kind, GedcomVersion version) {
  if (version == GedcomVersion::v5_5_1) return std::string(kind);
  if (kind == "jpg") return "image/jpeg";
  if (kind == "tif") return "image/tiff";
  return "image/" + std::string(kind);
}

std::string PictureFileName(std::string_view folder, std::size_t number, std::string_view kind) {
  return std::string(folder) + "/" + std::to_string(number) + "." +
         std::string(kind.empty() ? "bin" : kind);
}

}  // namespace detail

namespace records {

namespace {

using detail::Structure;
using parse::kNone;
using parse::Parsed;

// Tags that keep records in order rather than say anything about a person.
bool Bookkeeping(std::string_view tag) {
  return tag == "CHAN" || tag == "_UID" || tag == "UID" || tag == "RIN" || tag == "REFN" ||
         tag == "EXID" || tag == "CREA" || tag == "SUBM" || tag == "AFN" || tag == "RFN";
}

std::u16string U16(std::string_view utf8) {
  return detail::ToUtf16(utf8);
}

// A name without the slashes that mark its surname.
std::u16string Unslashed(std::string_view value) {
  std::string joined;
  const auto slashes = std::count(value.begin(), value.end(), '/');
  for (char c : value)
    if (c != '/' || slashes != 2) joined += c;
  std::size_t a = joined.find_first_not_of(' '), b = joined.find_last_not_of(' ');
  return a == std::string::npos ? std::u16string() : U16(joined.substr(a, b - a + 1));
}

// The type of a NAME: 5.5.1's TYPE, or 7.0's PHRASE of TYPE OTHER.
std::string_view NameType(const Structure& name) {
  const Structure* type = name.Find("TYPE");
  if (!type) return {};
  if (const Structure* phrase = type->Find("PHRASE")) return phrase->value;
  return type->value;
}

// A date of a wife: unknown parts stay 0, as the book keeps them. Only a
// date exactly as the export writes it is taken; else the estimate, said.
bool WifeDate(std::string_view value, GedcomVersion version, std::int32_t& y, std::int32_t& m,
              std::int32_t& d) {
  const detail::ParsedDate date = detail::ParseDate(value);
  if (date.kind == detail::ParsedDate::kNone) return false;
  y = date.year, m = date.month, d = date.day;
  if (date.kind == detail::ParsedDate::kExact) return true;
  for (const auto& [mm, dd] : {std::pair{0, 0}, std::pair{date.month, 0}})
    if (detail::FormatDate(date.year, mm, dd, version) == value) {
      m = mm, d = dd;
      return true;
    }
  return false;
}

class Reader {
public:
  Reader(const Parsed& p, const GedcomImportOptions& options, std::vector<GedcomDropped>& dropped)
      : m_p(p),
        m_options(options),
        m_dropped(dropped),
        m_version(p.v7 ? GedcomVersion::v7_0 : GedcomVersion::v5_5_1) {}

  Structure Record(parse::Span span, std::uint32_t line) const {
    return detail::ReadRecord(m_p.View(span), m_p.v7, line);
  }

  void Drop(const std::string& xref, const Structure& s, std::string fact) {
    std::string value = s.pointer.empty() ? s.value : s.pointer;
    m_dropped.push_back({xref, s.line, std::move(fact), std::move(value)});
  }
  // Every substructure of `s` but those `kept` names, reported under `path`.
  void DropRest(const std::string& xref, const Structure& s, const std::string& path,
                std::initializer_list<std::string_view> kept) {
    for (const Structure& c : s.children) {
      bool keep = Bookkeeping(c.tag);
      for (std::string_view k : kept) keep = keep || c.tag == k;
      if (!keep) Drop(xref, c, path + "." + c.tag);
    }
  }

  // A NOTE's text: its own, or the NOTE record it points to.
  std::u16string NoteText(const Structure& note) {
    if (note.pointer.empty()) return U16(note.value);
    if (const parse::OtherRecord* r = Other(note.pointer))
      return U16(Record(r->record, r->line).value);
    return {};
  }

  const parse::OtherRecord* Other(std::string_view pointer) {
    if (!m_others) {
      m_others = std::make_unique<parse::XrefTable>(m_p.others.size());
      for (std::uint32_t i = 0; i < m_p.others.size(); ++i)
        m_others->Insert(m_p.View(m_p.others[i].xref), i);
    }
    const std::uint32_t i = m_others->Find(pointer.substr(1, pointer.size() - 2));
    return i == kNone ? nullptr : &m_p.others[i];
  }

  std::uint32_t Family(std::string_view pointer) {
    if (pointer.size() < 3) return kNone;
    if (!m_families) {
      m_families = std::make_unique<parse::XrefTable>(m_p.families.size());
      for (std::uint32_t i = 0; i < m_p.families.size(); ++i)
        m_families->Insert(m_p.View(m_p.families[i].xref), i);
    }
    return m_families->Find(pointer.substr(1, pointer.size() - 2));
  }

  void AddNote(std::u16string& to, std::u16string text) {
    if (text.empty()) return;
    if (!to.empty()) to += u"\n\n";
    to += text;
  }

  void ReadSource(const std::string& xref, const Structure& s, std::vector<::Source>& out) {
    ::Source source;
    if (!s.pointer.empty()) {
      if (const parse::OtherRecord* r = Other(s.pointer)) {
        const Structure record = Record(r->record, r->line);
        source.title = U16(record.Value("TITL"));
      }
    } else {
      source.title = U16(s.value);
    }
    source.detail = U16(s.Value("PAGE"));
    DropRest(xref, s, "SOUR", {"PAGE"});
    out.push_back(std::move(source));
  }

  // A picture: kept when its file is found and is a picture, else named.
  void Picture(const std::string& xref, const Structure& s, std::vector<Photo>& out) {
    Structure owned;
    const Structure* object = &s;
    if (!s.pointer.empty()) {
      const parse::OtherRecord* r = Other(s.pointer);
      if (!r) return Drop(xref, s, "OBJE");
      owned = Record(r->record, r->line);
      object = &owned;
    }
    const Structure* file = object->Find("FILE");
    if (!file) return Drop(xref, s, "OBJE");
    std::u16string caption = U16(file->Value("TITL"));
    if (caption.empty()) caption = U16(object->Value("TITL"));
    std::shared_ptr<const std::string> bytes;
    if (m_options.mediaReader) {
      bytes = m_options.mediaReader(file->value);
    } else if (std::string read; Load(file->value, read)) {
      bytes = std::make_shared<const std::string>(std::move(read));
    }
    if (!bytes || detail::PictureKind(*bytes).empty()) {
      m_dropped.push_back({xref, file->line, "OBJE.FILE", file->value});
      return;
    }
    Photo photo;
    photo.caption = std::move(caption);
    photo.bytes = std::move(bytes);
    out.push_back(std::move(photo));
  }

  bool Load(std::string reference, std::string& bytes) const {
    if (!m_options.mediaFolder || reference.empty()) return false;
    if (reference.rfind("file://", 0) == 0) reference.erase(0, 7);
    for (char& c : reference)
      if (c == '\\') c = '/';
    std::filesystem::path path(
        std::u8string(reinterpret_cast<const char8_t*>(reference.data()), reference.size()));
    if (path.is_relative()) path = *m_options.mediaFolder / path;
    std::error_code error;
    // A .ged moved with its pictures to another computer still names the
    // folders of the first: the picture beside the .ged will do.
    if (!std::filesystem::is_regular_file(path, error))
      path = *m_options.mediaFolder / path.filename();
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const auto size = std::filesystem::file_size(path, error);
    // A picture of more than this is no portrait: named, not read.
    if (error || size > detail::kMaxPictureBytes) return false;
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(size)));
  }

  // A member's own record; `fathers` gets his 生父 and 兼祧 father when they
  // are people of the file.
  void Member(std::uint32_t k, const parse::Person& person, MemberRecord& r,
              std::vector<Records::FatherRef>& fathers) {
    const std::string xref = Xref(person);
    const Structure record = Record(person.record, person.line);
    bool name = false, birth = false, death = false, residence = false, burial = false,
         office = false;
    for (const Structure& s : record.children) {
      const std::string& tag = s.tag;
      if (tag == "NAME") {
        if (!name) {
          name = true;
          DropRest(xref, s, "NAME", {"GIVN", "SURN"});
          continue;
        }
        const std::string_view type = NameType(s);
        std::u16string* slot = type == detail::kCourtesyWord ? &r.courtesyName
                               : type == detail::kArtWord    ? &r.artName
                                                             : nullptr;
        if (slot && slot->empty())
          *slot = Unslashed(s.value);
        else
          Drop(xref, s, "NAME");
      } else if (tag == "SEX") {
        if (s.value == "F")
          r.sex = Sex::kFemale;
        else if (s.value != "M")
          Drop(xref, s, "SEX");
      } else if (tag == "BIRT" && !birth) {
        birth = true;
        if (const Structure* date = s.Find("DATE"))
          if (const Structure* time = date->Find("TIME")) r.birthHour = U16(time->value);
        if (const Structure* hour = s.Find(detail::kHourTag)) r.birthHour = U16(hour->value);
        DropRest(xref, s, "BIRT", {"DATE", detail::kHourTag});
      } else if (tag == "DEAT" && !death) {
        death = true;
        DropRest(xref, s, "DEAT", {"DATE"});
      } else if (tag == "BURI" && !burial) {
        burial = true;
        r.burialPlace = U16(s.Value("PLAC"));
        r.burialFacing = U16(s.Value(detail::kFacingTag));
        DropRest(xref, s, "BURI", {"PLAC", detail::kFacingTag});
      } else if (tag == "RESI" && !residence) {
        residence = true;
        DropRest(xref, s, "RESI", {"ADDR", "PLAC"});
      } else if (tag == "ADDR") {
        // The address when the record has no residence.
      } else if (tag == "OCCU" && !office) {
        office = true;
        r.office = U16(s.value);
        DropRest(xref, s, "OCCU", {});
      } else if (tag == "FACT") {
        const std::string_view type = s.Value("TYPE");
        std::u16string* slot = type == detail::kRankWord          ? &r.rank
                               : type == detail::kBranchWord      ? &r.branch
                               : type == detail::kBirthFatherWord ? &r.birthFather
                               : type == parse::kSecondLineWord   ? &r.secondFather
                                                                  : nullptr;
        if (slot && slot->empty())
          *slot = U16(s.value);
        else
          Drop(xref, s, "FACT");
      } else if (tag == "FAMC") {
        Pedigree(k, s, fathers);
      } else if (tag == "FAMS") {
      } else if (tag == "NOTE") {
        if (s.Find(detail::kBiographyTag) && r.biography.empty())
          r.biography = NoteText(s);
        else
          AddNote(r.note, NoteText(s));
      } else if (tag == "SOUR") {
        ReadSource(xref, s, r.sources);
      } else if (tag == "OBJE") {
        Picture(xref, s, r.photos);
      } else if (!Bookkeeping(tag)) {
        Drop(xref, s, tag);
      }
    }
  }

  // A FAMC beside the family he stands in: his birth father's, or a second
  // father's (兼祧).
  void Pedigree(std::uint32_t k, const Structure& famc, std::vector<Records::FatherRef>& fathers) {
    const Structure* pedi = famc.Find("PEDI");
    if (!pedi) return;
    std::string upper;
    for (char c : pedi->value) upper += detail::Upper(c);
    const bool second = pedi->Value("PHRASE") == parse::kSecondLineWord ||
                        famc.Value("NOTE") == parse::kSecondLineWord;
    if (upper != "BIRTH" && !second) return;
    const std::uint32_t f = Family(famc.pointer);
    if (f == kNone || m_p.families[f].husb == kNone) return;
    if (!second && !m_adopted) return;
    fathers.push_back({k, m_p.families[f].husb, second});
  }

  // A wife from her own record and the family's MARR TYPE.
  Spouse Wife(const parse::Person& wife, const parse::Family& family) {
    Spouse s;
    const std::string xref = Xref(wife);
    if (family.rich) {
      const Structure record = Record(family.record, family.line);
      if (const Structure* marriage = record.Find("MARR")) {
        const std::string_view type = marriage->Value("TYPE");
        for (int t = 0; t < kSpouseTitles; ++t)
          if (type == detail::kSpouseTitleWords[t]) s.title = static_cast<SpouseTitle>(t);
      }
    }
    const Structure record = Record(wife.record, wife.line);
    s.alive = 1;
    bool name = false;
    for (const Structure& c : record.children) {
      const std::string& tag = c.tag;
      if (tag == "NAME" && !name) {
        name = true;
        if (c.Find("SURN") || c.Find("GIVN")) {
          s.surname = U16(c.Value("SURN"));
          s.givenName = U16(c.Value("GIVN"));
        } else {
          const std::size_t a = c.value.find('/'), b = c.value.find('/', a + 1);
          if (a != std::string::npos && b != std::string::npos) {
            s.surname = Unslashed(c.value.substr(a, b - a + 1));
            s.givenName = Unslashed(c.value.substr(0, a) + c.value.substr(b + 1));
          } else {
            s.givenName = Unslashed(c.value);
          }
        }
        DropRest(xref, c, "NAME", {"GIVN", "SURN"});
      } else if (tag == "SEX") {
      } else if (tag == "BIRT" && !s.birthYear && !s.birthMonth && !s.birthDay) {
        if (const Structure* date = c.Find("DATE"))
          if (!WifeDate(date->value, m_version, s.birthYear, s.birthMonth, s.birthDay))
            Drop(xref, *date, "BIRT.DATE");
        DropRest(xref, c, "BIRT", {"DATE"});
      } else if (tag == "DEAT" && s.alive) {
        s.alive = 0;
        if (const Structure* date = c.Find("DATE"))
          if (!WifeDate(date->value, m_version, s.deathYear, s.deathMonth, s.deathDay))
            Drop(xref, *date, "DEAT.DATE");
        DropRest(xref, c, "DEAT", {"DATE"});
      } else if (tag == "BURI" && s.burial.empty()) {
        s.burial = U16(c.Value("PLAC"));
        DropRest(xref, c, "BURI", {"PLAC"});
      } else if (tag == "FACT" && c.Value("TYPE") == detail::kOriginWord && s.origin.empty()) {
        s.origin = U16(c.value);
      } else if (tag == "NOTE") {
        AddNote(s.note, NoteText(c));
      } else if (tag == "FAMC" && s.father.empty()) {
        const std::uint32_t f = Family(c.pointer);
        if (f != kNone && m_p.families[f].husb != kNone)
          s.father = PersonName(m_p, m_p.people[m_p.families[f].husb]);
      } else if (tag == "FAMS") {
      } else if (!Bookkeeping(tag)) {
        Drop(xref, c, tag);
      }
    }
    return s;
  }

  // A daughter's husband: his name and where he is from.
  void Husband(const parse::Person& husband, MemberRecord& r) {
    const std::string xref = Xref(husband);
    r.husbandName = PersonName(m_p, husband);
    const Structure record = Record(husband.record, husband.line);
    for (const Structure& c : record.children) {
      if (c.tag == "FACT" && c.Value("TYPE") == detail::kOriginWord && r.husbandPlace.empty())
        r.husbandPlace = U16(c.value);
      else if (c.tag != "NAME" && c.tag != "SEX" && c.tag != "FAMS" && c.tag != "FAMC" &&
               !Bookkeeping(c.tag))
        Drop(xref, c, c.tag);
    }
  }

  // What a family of a member says beyond its links, MARR and its TYPE.
  void FamilyFacts(const parse::Family& family) {
    if (!family.rich) return;
    const std::string xref = "@" + std::string(m_p.View(family.xref)) + "@";
    const Structure record = Record(family.record, family.line);
    for (const Structure& c : record.children) {
      if (c.tag == "MARR")
        DropRest(xref, c, "MARR", {"TYPE"});
      else if (c.tag != "HUSB" && c.tag != "WIFE" && c.tag != "CHIL" && !Bookkeeping(c.tag))
        Drop(xref, c, c.tag);
    }
  }

  void Book(BookData& book) {
    if (m_p.head.empty()) return;
    const Structure head = Record(m_p.head, 1);
    const Structure* data = head.Find(detail::kBookTag);
    if (!data) return;
    for (const detail::BookTag& t : detail::kBookTags) {
      const Structure* s = data->Find(t.tag);
      if (!s) continue;
      const auto field = static_cast<RecordField>(t.field);
      if (field == RecordField::kEditionYear)
        book.editionYear = static_cast<std::int32_t>(std::strtol(s->value.c_str(), nullptr, 10));
      else
        book.Text(field) = U16(s->value);
      if (field == RecordField::kGenerationPoem) PoemGeneration(*s, book);
    }
  }

  // The 世 of the 字辈's first character; one that is no 世 is reported and
  // the poem starts at 第1世.
  void PoemGeneration(const Structure& poem, BookData& book) {
    const Structure* generation = poem.Find(detail::kPoemGenerationTag);
    if (!generation) return;
    const std::string& value = generation->value;
    int first = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), first);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || first < 1 ||
        first > kMaxPoemFirstGeneration) {
      Drop("HEAD", *generation,
           std::string(detail::kBookTag) + "." + std::string(poem.tag) + "." +
               std::string(detail::kPoemGenerationTag));
      return;
    }
    book.poemFirstGeneration = first;
  }

  std::string Xref(const parse::Person& person) const {
    return "@" + std::string(m_p.View(person.xref)) + "@";
  }

  void SetAdopted(bool adopted) { m_adopted = adopted; }

private:
  const Parsed& m_p;
  const GedcomImportOptions& m_options;
  std::vector<GedcomDropped>& m_dropped;
  GedcomVersion m_version;
  std::unique_ptr<parse::XrefTable> m_others, m_families;
  bool m_adopted = false;  // the member read has a FAMC with PEDI ADOPTED
};

bool HasAdoptedFamily(const Structure& record) {
  for (const Structure& s : record.children)
    if (s.tag == "FAMC")
      if (const Structure* pedi = s.Find("PEDI")) {
        std::string upper;
        for (char c : pedi->value) upper += detail::Upper(c);
        if (upper == "ADOPTED" && !s.Find("NOTE") && !pedi->Find("PHRASE")) return true;
      }
  return false;
}

}  // namespace

Records Read(const Parsed& p, const GedcomImportOptions& options,
             const std::vector<std::uint32_t>& order, const std::vector<std::uint32_t>& father,
             const std::vector<std::uint32_t>& place, std::vector<GedcomDropped>& dropped) {
  Records out;
  const std::size_t n = order.size();
  out.members.resize(n);
  Reader reader(p, options, dropped);
  const auto record = [&](std::size_t k) -> MemberRecord& {
    if (!out.members[k]) out.members[k] = std::make_unique<MemberRecord>();
    return *out.members[k];
  };
  reader.Book(out.book);
  // The families each woman of the line is the wife in, looked for only
  // when the line holds a daughter.
  std::vector<std::uint32_t> wifeIn;
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint32_t i = order[k];
    const parse::Person& person = p.people[i];
    if (person.rich) {
      MemberRecord& r = record(k);
      reader.SetAdopted(HasAdoptedFamily(reader.Record(person.record, person.line)));
      reader.Member(static_cast<std::uint32_t>(k), person, r, out.fathers);
    }
    // Wives, in the order of the families he heads; each child to the
    // family that lists him, his mother that family's wife.
    int wives = 0;
    for (std::uint32_t h = p.headStart[i]; h < p.headStart[i + 1]; ++h) {
      const parse::Family& family = p.families[p.headed[h]];
      reader.FamilyFacts(family);
      if (family.wife == kNone) continue;
      record(k).spouses.push_back(reader.Wife(p.people[family.wife], family));
      for (std::uint32_t c = p.childStart[p.headed[h]]; c < p.childStart[p.headed[h] + 1]; ++c) {
        const std::uint32_t child = place[p.children[c]];
        if (child != kNone && father[child] == k &&
            (!out.members[child] || out.members[child]->mother < 0))
          record(child).mother = wives;
      }
      ++wives;
    }
    if (out.members[k] && out.members[k]->sex == Sex::kFemale) {
      if (wifeIn.empty()) {
        wifeIn.assign(p.people.size(), kNone);
        for (std::uint32_t f = 0; f < p.families.size(); ++f)
          if (p.families[f].wife != kNone && wifeIn[p.families[f].wife] == kNone)
            wifeIn[p.families[f].wife] = f;
      }
      if (const std::uint32_t f = wifeIn[i]; f != kNone) {
        if (p.families[f].husb != kNone) reader.Husband(p.people[p.families[f].husb], record(k));
        reader.FamilyFacts(p.families[f]);
      }
    }
  }
  return out;
}

}  // namespace records

}  // namespace gedcom
