// GEDCOM export: one INDI per member, one FAM per father or married member and
// per wife, a wife and a daughter's husband as people of their own.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "formats/gedcom/GedcomLines.h"
#include "formats/gedcom/GedcomParse.h"
#include "formats/gedcom/GedcomWriterSink.h"
#include "model/TextCodec.h"

namespace gedcom {

namespace detail {

namespace {

class Writer : LineWriter {
public:
  Writer(GedcomVersion version, const Sink& sink, const MediaWriter& media)
      : LineWriter(version), m_sink(sink), m_media(media) {}

  void Header(const BookData& book, bool extensions) {
    // 7.0 asks for the byte-order mark, and readers that also know older
    // versions (Gramps 5.1) take a 7.0 file without it for another encoding
    // than UTF-8. 5.5.1 files stay as they were: their CHAR says UTF-8.
    if (m_version == GedcomVersion::v7_0) m_buffer += "\xEF\xBB\xBF";
    Line("0 HEAD");
    if (m_version == GedcomVersion::v7_0) {
      Line("1 GEDC");
      Line("2 VERS 7.0");
      // 7.0 lets a file use an extension tag only once its header says what
      // the tag means.
      if (extensions) {
        Line("1 SCHMA");
        for (std::string_view tag :
             {kHourTag, kFacingTag, kBiographyTag, kBookTag, kPoemGenerationTag})
          Schema(tag);
        for (const BookTag& t : kBookTags) Schema(t.tag);
      }
      Line("1 SOUR Clanbook");
    } else {
      Line("1 SOUR Clanbook");
      Line("1 SUBM @U1@");
      Line("1 GEDC");
      Line("2 VERS 5.5.1");
      Line("2 FORM LINEAGE-LINKED");
      Line("1 CHAR UTF-8");
    }
    if (!book.Empty()) {
      Tagged("1 ", kBookTag, {});
      for (const BookTag& t : kBookTags) {
        const auto field = static_cast<RecordField>(t.field);
        if (field == RecordField::kEditionYear) {
          if (book.editionYear) Tagged("2 ", t.tag, Ascii(std::to_string(book.editionYear)));
        } else if (!book.Text(field).empty()) {
          Tagged("2 ", t.tag, book.Text(field));
          if (field == RecordField::kGenerationPoem && book.poemFirstGeneration != 1)
            Tagged("3 ", kPoemGenerationTag, Ascii(std::to_string(book.poemFirstGeneration)));
        }
      }
    }
    if (m_version == GedcomVersion::v5_5_1) {
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
    if (const std::size_t n = SurnameLength(root->name, {}); n > 0)
      m_clan = std::u16string_view(root->name).substr(0, n);
    NumberNamedFathers(root);
    struct Pending {
      const MemberNode* member;
      std::uint64_t id;
      std::uint64_t childOf;  // the family the member is a child in; 0: none
    };
    std::vector<Pending> stack{{root, 1, 0}};
    std::uint64_t nextId = 2;
    std::vector<std::uint64_t> children;
    std::vector<std::uint64_t> families;
    while (!stack.empty()) {
      const Pending p = stack.back();
      stack.pop_back();
      const MemberNode* m = p.member;
      const Shape shape = ShapeOf(*m);
      const std::uint64_t first = m_nextFamily;
      m_nextFamily += shape.Count();
      // Children are numbered when their father is written, so the FAM can
      // name them before their INDIs come.
      children.clear();
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) children.push_back(nextId++);
      Individual(*m, p.id, p.childOf, shape, first);
      std::uint64_t family = first;
      if (shape.asWife) {
        const MemberRecord& r = m->extra.Record();
        Xref("0 @F", family, "@ FAM");
        if (!r.husbandName.empty() || !r.husbandPlace.empty()) Xref("1 HUSB @H", ++m_husbands, "@");
        Xref("1 WIFE @I", p.id, "@");
        if (m->married) Line("1 MARR Y");
        if (m_husbands && (!r.husbandName.empty() || !r.husbandPlace.empty())) Husband(r, family);
      }
      if (shape.plain) {
        Xref("0 @F", family, "@ FAM");
        Xref("1 HUSB @I", p.id, "@");
        if (m->married && shape.wives == 0) Line("1 MARR Y");
        std::size_t k = 0;
        for (const MemberNode* c = m->firstChild; c; c = c->nextSibling, ++k)
          if (MotherOf(*c, shape.wives) < 0) Xref("1 CHIL @I", children[k], "@");
        ++family;
      }
      const auto& spouses = m->extra.Record().spouses;
      for (std::size_t w = 0; w < shape.wives; ++w, ++family) {
        const std::uint64_t wife = ++m_wives;
        Xref("0 @F", family, "@ FAM");
        Xref("1 HUSB @I", p.id, "@");
        Xref("1 WIFE @W", wife, "@");
        Line("1 MARR Y");
        m_buffer += "2 TYPE ";
        m_buffer += kSpouseTitleWords[static_cast<int>(spouses[w].title) % kSpouseTitles];
        m_buffer += "\r\n";
        std::size_t k = 0;
        for (const MemberNode* c = m->firstChild; c; c = c->nextSibling, ++k)
          if (MotherOf(*c, shape.wives) == static_cast<int>(w)) Xref("1 CHIL @I", children[k], "@");
        Wife(spouses[w], wife, family);
      }
      const std::size_t mark = stack.size();
      std::size_t k = 0;
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling, ++k) {
        const int mother = MotherOf(*c, shape.wives);
        const std::uint64_t childOf =
            mother < 0 ? first + (shape.asWife ? 1 : 0)
                       : first + (shape.plain ? 1 : 0) + static_cast<std::uint64_t>(mother);
        stack.push_back({c, children[k], childOf});
      }
      std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
      if (m_buffer.size() >= (1u << 20)) m_sink(m_buffer, false);
    }
  }

private:
  // The families a member heads or is the wife in, in the order written:
  // a daughter's (as the wife of her husband), then the one of the children
  // whose mother is not named (or of a man without wives), then one for
  // each wife.
  struct Shape {
    bool asWife = false;
    bool plain = false;
    std::size_t wives = 0;
    std::uint64_t Count() const { return (asWife ? 1 : 0) + (plain ? 1 : 0) + wives; }
  };

  Shape ShapeOf(const MemberNode& m) const {
    Shape shape;
    const MemberRecord& r = m.extra.Record();
    // A daughter's children belong to her husband's line; a woman with
    // children in the book heads her family all the same, so that the
    // children come back.
    if (r.sex == Sex::kFemale && !m.firstChild) {
      shape.asWife = m.married || !r.husbandName.empty() || !r.husbandPlace.empty();
      return shape;
    }
    shape.wives = r.spouses.size();
    bool unnamed = false;
    for (const MemberNode* c = m.firstChild; c; c = c->nextSibling)
      unnamed = unnamed || MotherOf(*c, shape.wives) < 0;
    shape.plain = unnamed || (shape.wives == 0 && (m.married || m_namedFathers.count(&m) != 0));
    return shape;
  }

  static int MotherOf(const MemberNode& child, std::size_t wives) {
    const std::int32_t mother = child.extra.Record().mother;
    return mother >= 0 && static_cast<std::size_t>(mother) < wives ? mother : -1;
  }

  // The members named as someone's 生父 or 兼祧 father get a family that
  // the son's FAMC names; numbered in advance, since a son may come before
  // his birth father in the walk.
  void NumberNamedFathers(const MemberNode* root) {
    std::unordered_set<std::u16string> named;
    Walk(root, [&](const MemberNode* m) {
      if (!m->extra.HasRecord()) return;
      const MemberRecord& r = m->extra.Record();
      for (const std::u16string* name : {&r.birthFather, &r.secondFather})
        if (!name->empty()) named.insert(*name);
    });
    if (named.empty()) return;
    std::vector<const MemberNode*> bearers;
    Walk(root, [&](const MemberNode* m) {
      if (named.erase(m->name)) {
        m_namedFathers.emplace(m, 0);
        bearers.push_back(m);
      }
    });
    // The same numbering as Members gives, for the bearers' first family.
    std::uint64_t next = 1;
    Walk(root, [&](const MemberNode* m) {
      const Shape shape = ShapeOf(*m);
      if (auto it = m_namedFathers.find(m); it != m_namedFathers.end() && shape.Count() > 0)
        it->second = next + (shape.asWife ? 1 : 0);
      next += shape.Count();
    });
    for (const MemberNode* m : bearers) m_fatherFamilies.emplace(m->name, m_namedFathers[m]);
  }

  template <class Visit>
  static void Walk(const MemberNode* root, Visit&& visit) {
    std::vector<const MemberNode*> pending{root};
    while (!pending.empty()) {
      const MemberNode* m = pending.back();
      pending.pop_back();
      visit(m);
      const std::size_t mark = pending.size();
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) pending.push_back(c);
      std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
    }
  }

  void Individual(const MemberNode& m, std::uint64_t id, std::uint64_t childOf, const Shape& shape,
                  std::uint64_t first) {
    Xref("0 @I", id, "@ INDI");
    Name(m.name, m_clan);
    const bool record = m.extra.HasRecord();
    const MemberRecord& r = m.extra.Record();
    if (!r.courtesyName.empty()) OtherName(r.courtesyName, kCourtesyWord);
    if (!r.artName.empty()) OtherName(r.artName, kArtWord);
    if (record || shape.Count() > 0) Line(r.sex == Sex::kFemale ? "1 SEX F" : "1 SEX M");
    Line("1 BIRT");
    Date(m.birthYear, m.birthMonth, m.birthDay);
    if (!r.birthHour.empty()) {
      // 7.0 gives the hour of a date a place of its own, as hh:mm; a 时辰
      // (子时) is no such time.
      if (m_version == GedcomVersion::v7_0 && IsClockTime(r.birthHour))
        Value("3 TIME ", r.birthHour);
      else
        Tagged("2 ", kHourTag, r.birthHour);
    }
    if (m.alive == 0) {
      Line("1 DEAT");
      Date(m.deathYear, m.deathMonth, m.deathDay);
    }
    Burial(r.burialPlace, r.burialFacing);
    if (!m.address.empty()) {
      // 7.0 gives every attribute a text payload; 5.5.1 has none for RESI.
      if (m_version == GedcomVersion::v7_0)
        Value("1 RESI ", m.address);
      else
        Line("1 RESI");
      Value("2 ADDR ", m.address);
    }
    if (!r.office.empty()) Value("1 OCCU ", r.office);
    Fact(r.rank, kRankWord);
    Fact(r.branch, kBranchWord);
    if (childOf) {
      Xref("1 FAMC @F", childOf, "@");
      if (!r.birthFather.empty())
        Line(m_version == GedcomVersion::v7_0 ? "2 PEDI ADOPTED" : "2 PEDI adopted");
    }
    if (!r.birthFather.empty()) {
      if (const std::uint64_t f = FatherFamily(r.birthFather, childOf)) {
        Xref("1 FAMC @F", f, "@");
        Line(m_version == GedcomVersion::v7_0 ? "2 PEDI BIRTH" : "2 PEDI birth");
      } else {
        Fact(r.birthFather, kBirthFatherWord);
      }
    }
    if (!r.secondFather.empty()) {
      if (const std::uint64_t f = FatherFamily(r.secondFather, childOf)) {
        Xref("1 FAMC @F", f, "@");
        // 5.5.1 has no word of its own for a second line: ADOPTED is its
        // nearest, and the note says which.
        if (m_version == GedcomVersion::v7_0) {
          Line("2 PEDI OTHER");
          Words("3 PHRASE ", parse::kSecondLineWord);
        } else {
          Line("2 PEDI adopted");
          Words("2 NOTE ", parse::kSecondLineWord);
        }
      } else {
        Fact(r.secondFather, parse::kSecondLineWord);
      }
    }
    for (std::uint64_t f = first; f < first + shape.Count(); ++f) Xref("1 FAMS @F", f, "@");
    if (!r.biography.empty()) {
      Value("1 NOTE ", r.biography);
      Tagged("2 ", kBiographyTag, u"Y");
    }
    if (!r.note.empty()) Value("1 NOTE ", r.note);
    // The records the links point to come after the whole INDI.
    std::vector<std::pair<std::uint64_t, const Source*>> sources;
    Sources(r.sources, sources);
    std::vector<Picture> pictures;
    Pictures(m, r.photos, pictures);
    for (const auto& [number, source] : sources) {
      Xref("0 @S", number, "@ SOUR");
      if (!source->title.empty()) Value("1 TITL ", source->title);
    }
    for (const Picture& picture : pictures) {
      Xref("0 @O", picture.number, "@ OBJE");
      Value("1 FILE ", ToUtf16(picture.file));
      if (!picture.kind.empty()) Words("2 FORM ", PictureForm(picture.kind, m_version));
      if (!picture.photo->caption.empty()) Value("2 TITL ", picture.photo->caption);
    }
  }

  // A wife as a person of her own, her father as the husband of her
  // parents' family.
  void Wife(const Spouse& s, std::uint64_t id, std::uint64_t family) {
    Xref("0 @W", id, "@ INDI");
    if (!s.surname.empty() || !s.givenName.empty()) {
      m_buffer += "1 NAME ";
      Text(s.givenName, true);
      m_buffer += " /";
      Text(s.surname, false);
      m_buffer += "/\r\n";
      if (!s.givenName.empty()) Value("2 GIVN ", s.givenName);
      if (!s.surname.empty()) Value("2 SURN ", s.surname);
    }
    Line("1 SEX F");
    if (s.birthYear || s.birthMonth || s.birthDay) {
      Line("1 BIRT");
      Date(s.birthYear, s.birthMonth, s.birthDay);
    }
    if (s.alive == 0) {
      if (s.deathYear || s.deathMonth || s.deathDay) {
        Line("1 DEAT");
        Date(s.deathYear, s.deathMonth, s.deathDay);
      } else {
        Line("1 DEAT Y");
      }
    }
    Burial(s.burial, {});
    Fact(s.origin, kOriginWord);
    if (!s.note.empty()) Value("1 NOTE ", s.note);
    if (!s.father.empty()) Xref("1 FAMC @FW", id, "@");
    Xref("1 FAMS @F", family, "@");
    if (!s.father.empty()) {
      Xref("0 @FW", id, "@ FAM");
      Xref("1 HUSB @WF", id, "@");
      Xref("1 CHIL @W", id, "@");
      Xref("0 @WF", id, "@ INDI");
      Name(s.father, {});
      Line("1 SEX M");
      Xref("1 FAMS @FW", id, "@");
    }
  }

  // A daughter's husband (适): his name and where he is from.
  void Husband(const MemberRecord& r, std::uint64_t family) {
    Xref("0 @H", m_husbands, "@ INDI");
    if (!r.husbandName.empty()) Name(r.husbandName, {});
    Line("1 SEX M");
    Fact(r.husbandPlace, kOriginWord);
    Xref("1 FAMS @F", family, "@");
  }

  void Name(std::u16string_view name, std::u16string_view clan) {
    const std::size_t surname = SurnameLength(name, clan);
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
  }

  // A 字 or 号: a NAME of its own, typed. 5.5.1 takes a type of the user's
  // words; 7.0 has a closed list, OTHER with a phrase.
  void OtherName(std::u16string_view name, std::string_view word) {
    Value("1 NAME ", name);
    if (m_version == GedcomVersion::v7_0) {
      Line("2 TYPE OTHER");
      Words("3 PHRASE ", word);
    } else {
      Words("2 TYPE ", word);
    }
  }

  void Fact(std::u16string_view value, std::string_view type) {
    if (value.empty()) return;
    Value("1 FACT ", value);
    Words("2 TYPE ", type);
  }

  void Burial(std::u16string_view place, std::u16string_view facing) {
    if (place.empty() && facing.empty()) return;
    Line("1 BURI");
    if (!place.empty()) Value("2 PLAC ", place);
    if (!facing.empty()) Tagged("2 ", kFacingTag, facing);
  }

  struct Picture {
    std::uint64_t number;
    const Photo* photo;
    std::string file, kind;
  };

  // The links to the sources; `fresh` gets those met for the first time.
  void Sources(const std::vector<Source>& sources,
               std::vector<std::pair<std::uint64_t, const Source*>>& fresh) {
    for (const Source& source : sources) {
      auto [it, added] = m_sources.emplace(source.title, m_sources.size() + 1);
      Xref("1 SOUR @S", it->second, "@");
      if (!source.detail.empty()) Value("2 PAGE ", source.detail);
      if (added) fresh.emplace_back(it->second, &source);
    }
  }

  void Pictures(const MemberNode& member, const std::vector<Photo>& photos,
                std::vector<Picture>& written) {
    std::size_t position = 0;
    for (const Photo& photo : photos) {
      std::string file, kind;
      const std::size_t number = m_pictures + 1;
      ++position;
      if (m_media) {
        if (!m_media(MediaItem{member, photo, position, number}, file, kind)) continue;
      } else {
        if (!photo.bytes) continue;
        kind = PictureKind(*photo.bytes);
        file = "media/" + std::to_string(number) + "." + (kind.empty() ? "bin" : kind);
      }
      ++m_pictures;
      Xref("1 OBJE @O", number, "@");
      written.push_back({number, &photo, std::move(file), std::move(kind)});
    }
  }

  // The family of the member named `name` as a father; 0 when there is none
  // or it is the family he stands in (a name that says nothing new, which
  // as a second link would take him out of his own family).
  std::uint64_t FatherFamily(const std::u16string& name, std::uint64_t childOf) const {
    const auto it = m_fatherFamilies.find(name);
    return it == m_fatherFamilies.end() || it->second == childOf ? 0 : it->second;
  }

  static bool IsClockTime(std::u16string_view t) {
    const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    return t.size() == 5 && digit(t[0]) && digit(t[1]) && t[2] == u':' && digit(t[3]) &&
           digit(t[4]) && (t[0] - u'0') * 10 + (t[1] - u'0') < 24 && t[3] < u'6';
  }

  const Sink& m_sink;
  const MediaWriter& m_media;
  std::u16string_view m_clan;
  std::uint64_t m_nextFamily = 1, m_wives = 0, m_husbands = 0;
  std::size_t m_pictures = 0;
  std::unordered_map<std::u16string, std::uint64_t> m_sources;  // title: its record
  // Members named as fathers, each with his first family (0: none yet).
  std::unordered_map<const MemberNode*, std::uint64_t> m_namedFathers;
  std::unordered_map<std::u16string, std::uint64_t> m_fatherFamilies;
};

// Whether the book holds anything that needs an extension tag.
bool NeedsExtensions(const COperationClanbook& genealogy) {
  if (!genealogy.Book().Empty()) return true;
  bool needed = false;
  genealogy.VisitPreOrder(needed, genealogy.Root(), [](bool& n, const MemberNode* m) {
    const MemberRecord& r = m->extra.Record();
    n = n || !r.birthHour.empty() || !r.burialFacing.empty() || !r.biography.empty();
  });
  return needed;
}

}  // namespace

void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, const Sink& sink,
                 const MediaWriter& media) {
  Writer writer(version, sink, media);
  writer.Header(genealogy.Book(), version == GedcomVersion::v7_0 && NeedsExtensions(genealogy));
  writer.Members(genealogy.Root());
  writer.Trailer();
}

}  // namespace detail

void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, std::string& out,
                 const MediaWriter& media) {
  const detail::Sink sink = [&out](std::string& piece, bool) {
    if (out.empty())
      out.swap(piece);
    else
      out += piece;
    piece.clear();
    return true;
  };
  detail::WriteGedcom(genealogy, version, sink, media);
}

}  // namespace gedcom
