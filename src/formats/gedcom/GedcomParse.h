// The GEDCOM file read into people and families, the links between them
// resolved, and the size of each possible root's line: the part of the
// import that knows GEDCOM lines, shared by the listing of root candidates
// and the import itself (GedcomReader.cpp).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"

namespace gedcom::parse {

using detail::ParsedDate;

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// How a file says that a FAMC is a second father's family (兼祧): 7.0's
// PEDI OTHER with this PHRASE, 5.5.1's FAMC with this NOTE.
inline constexpr std::string_view kSecondLineWord = "\xE5\x85\xBC\xE7\xA5\xA7";

// Open addressing from a key (an XREF without its '@', or a name) to a
// number; the full hash is kept so that probes rarely compare text.
template <class Char>
class FlatTable {
public:
  using Key = std::basic_string_view<Char>;
  explicit FlatTable(std::size_t expected) {
    std::size_t size = 16;
    while (size < expected * 2) size <<= 1;
    m_slots.assign(size, Slot{});
  }
  // Returns the number already stored under `key`, or stores `value` and
  // returns kNone.
  std::uint32_t Insert(Key key, std::uint32_t value) {
    const std::uint64_t h = Hash(key);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      Slot& s = m_slots[i];
      if (s.value == kNone) {
        s = Slot{key, h, value};
        if (++m_used * 2 > m_slots.size()) Grow();
        return kNone;
      }
      if (s.hash == h && s.key == key) return s.value;
    }
  }
  std::uint32_t Find(Key key) const {
    const std::uint64_t h = Hash(key);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const Slot& s = m_slots[i];
      if (s.value == kNone) return kNone;
      if (s.hash == h && s.key == key) return s.value;
    }
  }

private:
  struct Slot {
    Key key;
    std::uint64_t hash = 0;
    std::uint32_t value = kNone;
  };
  static std::uint64_t Hash(Key key) {
    std::uint64_t h = 0xCBF29CE484222325ull ^ key.size();
    for (Char c : key) h = (h ^ static_cast<std::uint64_t>(c)) * 0x100000001B3ull;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
  }
  void Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& s : old) {
      if (s.value == kNone) continue;
      std::size_t i = s.hash & mask;
      while (m_slots[i].value != kNone) i = (i + 1) & mask;
      m_slots[i] = s;
    }
  }
  std::vector<Slot> m_slots;
  std::size_t m_used = 0;
};

using XrefTable = FlatTable<char>;

// A value of the file: a piece of its text or, with kOwned set, of the text
// put together from CONC/CONT lines. Half the size of a string_view: a file of
// two million people holds ten of them per person.
constexpr std::uint32_t kOwned = 0x80000000u;
struct Span {
  std::uint32_t offset = 0, size = 0;
  bool empty() const { return size == 0; }
};

struct Person {
  Span xref;  // without the '@'
  std::uint32_t line = 0;
  Span name, givn, surn;
  Span birth, death;
  Span address, place, residence, plainAddress;
  bool hasName = false, hasBirth = false, dead = false, hasResidence = false;
  std::uint32_t parentFamily = kNone;  // the first family with a father or mother
  Span record;                         // the record's lines, read again for a member
  // The record holds more than the lines read here (a second NAME, a SEX
  // other than M, a burial, a note...): a member's is read again whole.
  bool rich = false;
};

struct Family {
  Span xref;
  Span husbRef, wifeRef;
  std::uint32_t husb = kNone, wife = kNone;
  bool marriage = false;
  bool rich = false;  // more than HUSB, WIFE, CHIL and a bare MARR
  Span record;
  std::uint32_t line = 0;
};

// A record of another kind with an XREF (NOTE, SOUR, OBJE...), which a
// member's record may point to.
struct OtherRecord {
  Span xref;
  Span record;
  std::uint32_t line = 0;
};

// A pointer line met inside a record, resolved once every record is known.
struct Link {
  std::uint32_t owner;
  Span target;
  // For INDI.FAMC: the child belongs to another family in the line of
  // descent (PEDI BIRTH beside an adopted family, or 兼祧: a second father's
  // family); docs/gedcom.md, Adoption.
  std::uint8_t pedigree = 0;
};
enum Pedigree : std::uint8_t { kPlain = 0, kBirth = 1, kAdopted = 2, kSecondLine = 3 };

struct Parsed {
  detail::DecodedText text;
  std::string_view base;  // the text as UTF-8
  std::string owned;      // values put together from CONC/CONT lines
  std::vector<Person> people;
  std::vector<Family> families;
  std::vector<Link> famc, fams, chil;  // INDI.FAMC, INDI.FAMS, FAM.CHIL
  std::vector<OtherRecord> others;
  Span head;  // the header's lines
  std::vector<GedcomNote> notes;
  std::size_t skippedNotes = 0;
  bool v7 = false;

  // Resolved: children of each family in order, families each person heads.
  std::vector<std::uint32_t> childStart, children;  // CSR by family
  std::vector<std::uint32_t> headStart, headed;     // CSR by person: families as HUSB
  std::vector<std::uint8_t> married;                // by person

  std::string_view View(Span s) const {
    return (s.offset & kOwned) ? std::string_view(owned).substr(s.offset & ~kOwned, s.size)
                               : base.substr(s.offset, s.size);
  }
  // A piece of the text as a span.
  Span In(std::string_view v) const {
    if (v.empty()) return {};  // may point nowhere
    return {static_cast<std::uint32_t>(v.data() - base.data()),
            static_cast<std::uint32_t>(v.size())};
  }
  Span Own(std::string_view v) {
    const Span s{kOwned | static_cast<std::uint32_t>(owned.size()),
                 static_cast<std::uint32_t>(v.size())};
    owned += v;
    return s;
  }

  void Note(std::size_t line, GedcomNote::Kind kind, std::string xref = {}) {
    if (notes.size() < 200)
      notes.push_back({kind, line, std::move(xref)});
    else
      ++skippedNotes;
  }
};

// The file parsed and its links resolved; kNoPeople for a file without a
// person.
GedcomResult Prepare(std::string_view bytes, Parsed& p);

// The line of `root` in pre-order: each person once, at the first place.
// `stamp` marks who is taken; `mark` must differ from every earlier walk's.
template <class Visit>
void WalkLine(const Parsed& p, std::uint32_t root, std::vector<std::uint32_t>& stamp,
              std::uint32_t mark, Visit&& visit) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> stack{{root, kNone}};  // person, father
  stamp[root] = mark;
  std::vector<std::uint32_t> kids;
  while (!stack.empty()) {
    const auto [person, father] = stack.back();
    stack.pop_back();
    visit(person, father);
    kids.clear();
    for (std::uint32_t h = p.headStart[person]; h < p.headStart[person + 1]; ++h) {
      const std::uint32_t f = p.headed[h];
      for (std::uint32_t k = p.childStart[f]; k < p.childStart[f + 1]; ++k) {
        const std::uint32_t c = p.children[k];
        if (stamp[c] == mark) continue;
        stamp[c] = mark;
        kids.push_back(c);
      }
    }
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, person);
  }
}

// For every person, the number of members an import from him would bring in.
std::vector<std::size_t> RootLineSizes(const Parsed& p);

}  // namespace gedcom::parse
