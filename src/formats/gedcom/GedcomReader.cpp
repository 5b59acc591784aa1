// GEDCOM import: the lines become people and families, one root's line of
// descent becomes the genealogy.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <ostream>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcom {

namespace {

using detail::ParsedDate;

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

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
};

struct Family {
  Span xref;
  Span husbRef, wifeRef;
  std::uint32_t husb = kNone, wife = kNone;
  bool marriage = false;
};

// A pointer line met inside a record, resolved once every record is known.
struct Link {
  std::uint32_t owner;
  Span target;
};

struct Parsed {
  detail::DecodedText text;
  std::string_view base;  // the text as UTF-8
  std::string owned;      // values put together from CONC/CONT lines
  std::vector<Person> people;
  std::vector<Family> families;
  std::vector<Link> famc, fams, chil;  // INDI.FAMC, INDI.FAMS, FAM.CHIL
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

std::string_view Strip(std::string_view ref) {
  if (ref.size() >= 3 && ref.front() == '@' && ref.back() == '@')
    return ref.substr(1, ref.size() - 2);
  return {};
}

// The value of a line with the escape of '@' undone: 7.0 escapes only a
// leading one, 5.5 every "@@".
std::string Unescaped(std::string_view value, bool v7) {
  if (value.find("@@") == std::string_view::npos) return std::string(value);
  if (v7) return std::string(value.substr(0, 2) == "@@" ? value.substr(1) : value);
  std::string s;
  for (std::size_t i = 0; i < value.size(); ++i) {
    s += value[i];
    if (value[i] == '@' && i + 1 < value.size() && value[i + 1] == '@') ++i;
  }
  return s;
}

Span Unescape(std::string_view value, Parsed& p) {
  if (value.find("@@") == std::string_view::npos) return p.In(value);
  if (p.v7) return p.In(value.substr(0, 2) == "@@" ? value.substr(1) : value);
  return p.Own(Unescaped(value, false));
}

// A tag of up to four letters as one number: every line is compared with a
// dozen tags, and comparing numbers is much cheaper than comparing text.
constexpr std::uint32_t Code(std::string_view tag) {
  if (tag.size() > 4) return 0;
  std::uint32_t code = 0;
  for (char c : tag) code = (code << 8) | static_cast<unsigned char>(c);
  return code;
}

GedcomResult ParseLines(std::string_view bytes, Parsed& p) {
  if (GedcomResult r = detail::Decode(bytes, p.text); !r) return r;
  p.v7 = p.text.version.rfind("7.", 0) == 0;
  const std::string_view text = p.text.text;
  if (text.size() >= kOwned)
    return {GedcomError::kNoMemory, 0, "the file is too large (2 GB or more)"};
  p.base = text;
  const char* cur = text.data();
  const char* const end = text.data() + text.size();
  std::size_t lineNo = 0;
  // Context: the record and the tags of levels 1 and 2 above the line.
  enum class Record { kNone, kHead, kIndi, kFam, kOther } record = Record::kNone;
  int depth = -1;  // level of the line before, as taken
  // The value that CONC/CONT lines one level deeper continue.
  Span* target = nullptr;
  int targetLevel = -1;
  bool seenHead = false, seenTrailer = false;
  // Whether the level-1 structure the line is in is the first of its kind.
  bool takeName = false, takeBirth = false, takeDeath = false, takeResidence = false;
  p.people.reserve(text.size() / 200);
  while (cur < end) {
    const char* eol =
        static_cast<const char*>(std::memchr(cur, '\n', static_cast<std::size_t>(end - cur)));
    const char* cr =
        eol ? nullptr
            : static_cast<const char*>(std::memchr(cur, '\r', static_cast<std::size_t>(end - cur)));
    const char* lineEnd = eol ? eol : cr ? cr : end;
    // A line ended by CR alone (old Macintosh files) has no LF before the next.
    if (eol) {
      const char* lone =
          static_cast<const char*>(std::memchr(cur, '\r', static_cast<std::size_t>(eol - cur)));
      if (lone && lone + 1 < eol) lineEnd = lone, eol = nullptr, cr = lone;
    }
    const char* next = lineEnd < end ? lineEnd + 1 : end;
    if (lineEnd > cur && lineEnd[-1] == '\r') --lineEnd;
    ++lineNo;
    const char* s = cur;
    cur = next;
    while (s < lineEnd && (*s == ' ' || *s == '\t')) ++s;
    if (s == lineEnd) continue;
    int level = 0, digits = 0;
    while (s < lineEnd && *s >= '0' && *s <= '9' && digits < 3)
      level = level * 10 + (*s++ - '0'), ++digits;
    if (digits == 0 || s == lineEnd || (*s != ' ' && *s != '\t')) {
      if (!seenHead)
        return {GedcomError::kNotGedcom, lineNo,
                "the file does not begin with a GEDCOM header (0 HEAD)"};
      p.Note(lineNo, GedcomNote::Kind::kNotALine);
      continue;
    }
    while (s < lineEnd && (*s == ' ' || *s == '\t')) ++s;
    std::string_view xref;
    if (s < lineEnd && *s == '@') {
      const char* close = static_cast<const char*>(
          std::memchr(s + 1, '@', static_cast<std::size_t>(lineEnd - s - 1)));
      if (!close) {
        p.Note(lineNo, GedcomNote::Kind::kUnclosedXref);
        continue;
      }
      xref = std::string_view(s + 1, static_cast<std::size_t>(close - s - 1));
      s = close + 1;
      while (s < lineEnd && (*s == ' ' || *s == '\t')) ++s;
    }
    const char* tagEnd = s;
    while (tagEnd < lineEnd && *tagEnd != ' ' && *tagEnd != '\t') ++tagEnd;
    const std::string_view tag(s, static_cast<std::size_t>(tagEnd - s));
    const std::uint32_t code = Code(tag);
    std::string_view value;
    if (tagEnd < lineEnd)
      value = std::string_view(tagEnd + 1, static_cast<std::size_t>(lineEnd - tagEnd - 1));
    if (tag.empty()) {
      p.Note(lineNo, GedcomNote::Kind::kNoTag);
      continue;
    }
    // Levels that jump ahead are taken as one deeper than the line before.
    if (level > depth + 1) level = depth + 1;
    depth = level;
    if (level == 0) {
      target = nullptr;
      if (!seenHead) {
        if (code != Code("HEAD"))
          return {GedcomError::kNotGedcom, lineNo,
                  "the file does not begin with a GEDCOM header (0 HEAD)"};
        seenHead = true;
        record = Record::kHead;
        continue;
      }
      if (code == Code("INDI")) {
        record = Record::kIndi;
        Person& person = p.people.emplace_back();
        person.xref = p.In(xref);
        person.line = static_cast<std::uint32_t>(lineNo);
      } else if (code == Code("FAM")) {
        record = Record::kFam;
        p.families.emplace_back().xref = p.In(xref);
      } else {
        if (code == Code("TRLR")) seenTrailer = true;
        record = Record::kOther;
      }
      continue;
    }
    if (code == Code("CONC") || code == Code("CONT")) {
      if (target && level == targetLevel + 1) {
        // The value continued is always the last one put together, so it
        // grows at the end of the owned text.
        if (!(target->offset & kOwned) ||
            (target->offset & ~kOwned) + target->size != p.owned.size()) {
          const std::string copy(p.View(*target));
          *target = p.Own(copy);
        }
        std::string more = Unescaped(value, p.v7);
        if (code == Code("CONT")) more.insert(more.begin(), '\n');
        if (p.owned.size() + more.size() >= kOwned)
          return {GedcomError::kNoMemory, lineNo, "the file is too large (2 GB or more)"};
        p.owned += more;
        target->size += static_cast<std::uint32_t>(more.size());
      }
      continue;
    }
    target = nullptr;
    if (level == 1) takeName = takeBirth = takeDeath = takeResidence = false;
    if (record == Record::kIndi) {
      Person& person = p.people.back();
      const auto keep = [&](Span& slot) {
        slot = Unescape(value, p);
        target = &slot;
        targetLevel = level;
      };
      const auto owner = static_cast<std::uint32_t>(p.people.size() - 1);
      // Only the first of each structure counts; later ones are alternatives.
      if (level == 1) {
        if (code == Code("NAME") && !person.hasName) {
          person.hasName = takeName = true;
          keep(person.name);
        } else if (code == Code("BIRT") && !person.hasBirth) {
          person.hasBirth = takeBirth = true;
        } else if (code == Code("DEAT")) {
          takeDeath = !person.dead;
          person.dead = true;
        } else if (code == Code("RESI") && !person.hasResidence) {
          person.hasResidence = takeResidence = true;
          keep(person.residence);
        } else if (code == Code("ADDR") && person.plainAddress.empty()) {
          keep(person.plainAddress);
        } else if (code == Code("FAMC")) {
          p.famc.push_back({owner, p.In(value)});
        } else if (code == Code("FAMS")) {
          p.fams.push_back({owner, p.In(value)});
        }
      } else if (level == 2) {
        if (takeName && code == Code("GIVN")) {
          keep(person.givn);
        } else if (takeName && code == Code("SURN")) {
          keep(person.surn);
        } else if (takeBirth && code == Code("DATE")) {
          keep(person.birth);
        } else if (takeDeath && code == Code("DATE")) {
          keep(person.death);
        } else if (takeResidence && code == Code("ADDR")) {
          keep(person.address);
        } else if (takeResidence && code == Code("PLAC")) {
          keep(person.place);
        }
      }
    } else if (record == Record::kFam && level == 1) {
      Family& family = p.families.back();
      if (code == Code("HUSB")) {
        if (family.husbRef.empty()) family.husbRef = p.In(value);
      } else if (code == Code("WIFE")) {
        if (family.wifeRef.empty()) family.wifeRef = p.In(value);
      } else if (code == Code("CHIL")) {
        p.chil.push_back({static_cast<std::uint32_t>(p.families.size() - 1), p.In(value)});
      } else if (code == Code("MARR")) {
        family.marriage = true;
      }
    }
  }
  if (!seenHead) return {GedcomError::kNotGedcom, 0, "the file is empty or holds no GEDCOM header"};
  if (!seenTrailer) p.Note(lineNo, GedcomNote::Kind::kNoTrailer);
  // The guess of the number of people was generous; the tree will need the
  // memory.
  p.people.shrink_to_fit();
  p.families.shrink_to_fit();
  return {};
}

// Resolves the links between people and families.
void Resolve(Parsed& p) {
  XrefTable people(p.people.size()), families(p.families.size());
  for (std::uint32_t i = 0; i < p.people.size(); ++i)
    if (!p.people[i].xref.empty() && people.Insert(p.View(p.people[i].xref), i) != kNone) {
      std::string xref(1, '@');
      xref.append(p.View(p.people[i].xref)).push_back('@');
      p.Note(p.people[i].line, GedcomNote::Kind::kSecondPerson, std::move(xref));
    }
  for (std::uint32_t i = 0; i < p.families.size(); ++i)
    if (!p.families[i].xref.empty()) families.Insert(p.View(p.families[i].xref), i);
  const auto person = [&](Span ref) { return people.Find(Strip(p.View(ref))); };
  const auto family = [&](Span ref) { return families.Find(Strip(p.View(ref))); };
  for (Family& f : p.families) {
    f.husb = person(f.husbRef);
    f.wife = person(f.wifeRef);
  }
  // A link given on one side only still counts: a FAMS names a husband or
  // wife the FAM leaves out, a FAMC a child it does not list.
  for (const Link& l : p.fams) {
    const std::uint32_t f = family(l.target);
    if (f == kNone) continue;
    Family& fam = p.families[f];
    if (fam.husb == l.owner || fam.wife == l.owner) continue;
    if (fam.husb == kNone && fam.husbRef.empty())
      fam.husb = l.owner;
    else if (fam.wife == kNone && fam.wifeRef.empty())
      fam.wife = l.owner;
  }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;  // family, child
  pairs.reserve(p.chil.size() + p.famc.size());
  for (const Link& l : p.chil) {
    const std::uint32_t c = person(l.target);
    if (c != kNone) pairs.emplace_back(l.owner, c);
  }
  {
    // Whether a FAMC is listed by its family already: nearly everybody is
    // listed by one family, the rest (child, family) go to a sorted list.
    std::vector<std::uint32_t> listedIn(p.people.size(), kNone);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> more;
    for (const auto& [f, c] : pairs) {
      if (listedIn[c] == kNone)
        listedIn[c] = f;
      else if (listedIn[c] != f)
        more.emplace_back(c, f);
    }
    std::sort(more.begin(), more.end());
    for (const Link& l : p.famc) {
      const std::uint32_t f = family(l.target);
      if (f == kNone || listedIn[l.owner] == f ||
          std::binary_search(more.begin(), more.end(), std::make_pair(l.owner, f)))
        continue;
      pairs.emplace_back(f, l.owner);
      // A second FAMC to the same family must not list the child twice.
      if (listedIn[l.owner] == kNone)
        listedIn[l.owner] = f;
      else
        more.insert(std::upper_bound(more.begin(), more.end(), std::make_pair(l.owner, f)),
                    std::make_pair(l.owner, f));
    }
  }
  // Counting sort by family keeps each family's children in file order,
  // those named only by a FAMC after the listed ones.
  p.childStart.assign(p.families.size() + 1, 0);
  for (const auto& pr : pairs) ++p.childStart[pr.first + 1];
  for (std::size_t i = 1; i < p.childStart.size(); ++i) p.childStart[i] += p.childStart[i - 1];
  p.children.resize(pairs.size());
  {
    std::vector<std::uint32_t> fill(p.childStart.begin(), p.childStart.end() - 1);
    for (const auto& pr : pairs) p.children[fill[pr.first]++] = pr.second;
  }
  p.headStart.assign(p.people.size() + 1, 0);
  p.married.assign(p.people.size(), 0);
  for (std::uint32_t f = 0; f < p.families.size(); ++f) {
    const Family& fam = p.families[f];
    if (fam.husb != kNone) ++p.headStart[fam.husb + 1];
    const bool married = fam.marriage || (fam.husb != kNone && fam.wife != kNone);
    if (married) {
      if (fam.husb != kNone) p.married[fam.husb] = 1;
      if (fam.wife != kNone) p.married[fam.wife] = 1;
    }
    if (fam.husb != kNone || fam.wife != kNone) {
      for (std::uint32_t k = p.childStart[f]; k < p.childStart[f + 1]; ++k) {
        Person& child = p.people[p.children[k]];
        if (child.parentFamily == kNone) child.parentFamily = f;
      }
    }
  }
  for (std::size_t i = 1; i < p.headStart.size(); ++i) p.headStart[i] += p.headStart[i - 1];
  p.headed.resize(p.headStart.back());
  {
    std::vector<std::uint32_t> fill(p.headStart.begin(), p.headStart.end() - 1);
    for (std::uint32_t f = 0; f < p.families.size(); ++f)
      if (p.families[f].husb != kNone) p.headed[fill[p.families[f].husb]++] = f;
  }
  // The links live on in the tables above; their memory goes to the tree.
  std::vector<Link>().swap(p.famc);
  std::vector<Link>().swap(p.fams);
  std::vector<Link>().swap(p.chil);
}

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

// The size of the line of every person without parents in the file (the
// root candidates), each as WalkLine counts it: everybody reachable through
// the families he and his descendants head, each once. Indexed by person;
// 0 for the others.
//
// One walk per candidate costs the file's size for each of them when many
// share one long line. Instead every person reachable from a candidate is
// visited once, in post-order, and given the number of people below him
// counted with repeats (his own size plus his children's). That number is
// the size of his line exactly when nobody in it can be reached twice: when
// no cycle runs through it and it holds no man with two children whose
// lines both hold someone listed twice as a child of husbands' families (the
// first person two ways down meet is such a one). A candidate whose line
// fails that is walked, but the walk adds the counted number of anyone below
// whom nobody is listed twice, without going further down.
std::vector<std::size_t> RootLineSizes(const Parsed& p) {
  const auto n = static_cast<std::uint32_t>(p.people.size());
  // Each man's children over the families he heads, in one table.
  std::vector<std::uint32_t> start(n + 1, 0), below;
  for (std::uint32_t u = 0; u < n; ++u) {
    std::uint32_t count = 0;
    for (std::uint32_t h = p.headStart[u]; h < p.headStart[u + 1]; ++h)
      count += p.childStart[p.headed[h] + 1] - p.childStart[p.headed[h]];
    start[u + 1] = start[u] + count;
  }
  below.reserve(start[n]);
  std::vector<std::uint8_t> ways(n, 0);  // ways in, counted up to 2
  for (std::uint32_t u = 0; u < n; ++u)
    for (std::uint32_t h = p.headStart[u]; h < p.headStart[u + 1]; ++h)
      for (std::uint32_t k = p.childStart[p.headed[h]]; k < p.childStart[p.headed[h] + 1]; ++k) {
        const std::uint32_t c = p.children[k];
        below.push_back(c);
        if (ways[c] < 2) ++ways[c];
      }

  enum : std::uint8_t {
    kSeen = 1,         // visit begun
    kDone = 2,         // visit ended: the flags below hold
    kCycle = 4,        // a cycle can be reached
    kTwice = 8,        // someone can be reached twice: the count is no size
    kSharedBelow = 16  // someone strictly below has two ways in
  };
  std::vector<std::uint8_t> state(n, 0);
  std::vector<std::uint64_t> counted(n, 0);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // person, next child
  for (std::uint32_t r = 0; r < n; ++r) {
    if (p.people[r].parentFamily != kNone || state[r]) continue;
    state[r] = kSeen;
    stack.emplace_back(r, start[r]);
    while (!stack.empty()) {
      auto& [u, next] = stack.back();
      if (next < start[u + 1]) {
        const std::uint32_t c = below[next++];
        if (!state[c]) {
          state[c] = kSeen;
          stack.emplace_back(c, start[c]);
        }
        continue;
      }
      std::uint64_t count = 1;
      std::uint8_t flags = kDone;
      int sharedChildren = 0;
      for (std::uint32_t e = start[u]; e < start[u + 1]; ++e) {
        const std::uint32_t c = below[e];
        if (!(state[c] & kDone)) {  // on the way down to u: a cycle
          flags |= kCycle;
          continue;
        }
        count += counted[c];
        flags |= state[c] & (kCycle | kTwice);
        if (ways[c] > 1 || (state[c] & kSharedBelow)) {
          flags |= kSharedBelow;
          ++sharedChildren;
        }
      }
      if (sharedChildren > 1) flags |= kTwice;
      state[u] = flags;
      counted[u] = count;
      stack.pop_back();
    }
  }

  std::vector<std::size_t> sizes(n, 0);
  std::vector<std::uint32_t> stamp(n, 0);
  std::uint32_t mark = 0;
  std::vector<std::uint32_t> pending;
  for (std::uint32_t r = 0; r < n; ++r) {
    if (p.people[r].parentFamily != kNone) continue;
    if (!(state[r] & (kCycle | kTwice))) {
      sizes[r] = counted[r];
      continue;
    }
    ++mark;
    std::size_t size = 0;
    stamp[r] = mark;
    pending.assign(1, r);
    while (!pending.empty()) {
      const std::uint32_t u = pending.back();
      pending.pop_back();
      // Nobody below him has a second way in: they are all reached through
      // him alone, and only once.
      if (!(state[u] & (kCycle | kSharedBelow))) {
        size += counted[u];
        continue;
      }
      ++size;
      for (std::uint32_t e = start[u]; e < start[u + 1]; ++e)
        if (stamp[below[e]] != mark) {
          stamp[below[e]] = mark;
          pending.push_back(below[e]);
        }
    }
    sizes[r] = size;
  }
  return sizes;
}

std::u16string RawName(const Parsed& p, const Person& person) {
  std::u16string name;
  if (!person.name.empty()) {
    std::string_view v = p.View(person.name);
    // The slashes only mark the surname.
    std::string joined;
    const std::size_t slashes = static_cast<std::size_t>(std::count(v.begin(), v.end(), '/'));
    for (char c : v)
      if (c != '/' || slashes != 2) joined += c;
    if (slashes != 2) joined = std::string(v);
    name = detail::ToUtf16(joined);
  } else {
    const std::u16string givn = detail::ToUtf16(p.View(person.givn)),
                         surn = detail::ToUtf16(p.View(person.surn));
    if (detail::IsChineseName(surn + givn))
      name = surn + givn;
    else
      name = givn + (givn.empty() || surn.empty() ? u"" : u" ") + surn;
  }
  return name;
}

bool IsChineseUnit(const std::u16string& text, std::size_t i) {
  const char16_t c = text[i];
  if (c >= 0xDC00 && c <= 0xDFFF) return i > 0 && text[i - 1] >= 0xD840 && text[i - 1] <= 0xD8BF;
  return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || c == 0x3007 ||
         (c >= 0xD840 && c <= 0xD8BF);
}

// White space inside becomes "·", none stays at either end, and none stays
// between two Chinese characters (a Chinese name has no blank; "孔 /丘/"
// means 孔丘).
std::u16string Clean(std::u16string_view text, bool dots = true) {
  std::u16string out;
  bool space = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // A NUL goes with the blanks: a book cannot store one.
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
        c == u'\0') {
      space = true;
      continue;
    }
    if (space && !out.empty()) {
      const std::u16string next(text.substr(i, 2));
      if (!(IsChineseUnit(out, out.size() - 1) && IsChineseUnit(next, 0)))
        out += dots ? std::u16string(1, u'\u00B7') : std::u16string(text.substr(i - 1, 1));
    }
    space = false;
    out += c;
  }
  return out;
}

// At most `limit` code units, never half a surrogate pair.
void Cut(std::u16string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t n = limit;
  if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  text.resize(n);
}

std::string DateText(std::int32_t y, std::int32_t m, std::int32_t d) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d", y, m, d);
  return buffer;
}

struct Chosen {
  std::uint32_t root = kNone;
  std::vector<std::uint32_t> order;    // pre-order
  std::vector<std::uint32_t> fathers;  // index into order, kNone for the root
};

std::string XrefText(const Parsed& p, const Person& person) {
  std::string text;
  text.reserve(person.xref.size + 2);
  text += '@';
  text += p.View(person.xref);
  text += '@';
  return text;
}

}  // namespace

std::string NoteText(const GedcomNote& note) {
  const std::string at = "line " + std::to_string(note.line) + ": ";
  switch (note.kind) {
    case GedcomNote::Kind::kNotALine:
      return at + "no GEDCOM line, skipped";
    case GedcomNote::Kind::kUnclosedXref:
      return at + "an XREF without its closing @, skipped";
    case GedcomNote::Kind::kNoTag:
      return at + "a line without a tag, skipped";
    case GedcomNote::Kind::kNoTrailer:
      return at + "the file ends without its trailer (0 TRLR)";
    case GedcomNote::Kind::kSecondPerson:
      return at + "a second INDI " + note.xref + ": its links go to the first";
    case GedcomNote::Kind::kMoreLeftOut:
      return std::to_string(note.line) + " more notes left out";
  }
  return at;
}

ShownValue ShowValue(std::string_view utf8) {
  ShownValue shown;
  std::size_t cut = utf8.size();
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (shown.length == kShownValueLength) cut = i;
    ++shown.length;
  }
  shown.shortened = cut < utf8.size();
  static const char kHex[] = "0123456789ABCDEF";
  const std::string_view kept = utf8.substr(0, cut);
  shown.text.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const auto c = static_cast<unsigned char>(kept[i]);
    if (c == '\n') {
      shown.text += "\\n";
    } else if (c == '\r') {
      shown.text += "\\r";
    } else if (c == '\t') {
      shown.text += "\\t";
    } else if (c == '\\') {
      shown.text += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      shown.text += "\\x";
      shown.text += kHex[c >> 4];
      shown.text += kHex[c & 15];
    } else if (c == 0xC2 && i + 1 < kept.size() &&
               static_cast<unsigned char>(kept[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(kept[i + 1]) <= 0x9F) {
      const auto code = static_cast<unsigned char>(kept[++i]);
      shown.text += "\\u00";
      shown.text += kHex[code >> 4];
      shown.text += kHex[code & 15];
    } else {
      shown.text += static_cast<char>(c);
    }
  }
  return shown;
}

void GedcomImportReport::Write(std::ostream& out) const {
  const auto value = [](const std::string& text) {
    ShownValue shown = ShowValue(text);
    if (shown.shortened)
      shown.text += "\xE2\x80\xA6 (" + std::to_string(shown.length) + " characters)";
    return shown.text;
  };
  out << "GEDCOM " << (version.empty() ? "(no version)" : value(version)) << ", " << encoding
      << ": " << people << " people, " << members << " brought in from root " << value(rootXref)
      << "\n";
  for (const GedcomNote& note : notes) {
    GedcomNote shown = note;
    shown.xref = value(note.xref);
    out << "note\t" << NoteText(shown) << "\n";
  }
  out << changes.size() << " changes\n";
  // One change a line: breaks and tabs inside a value are escaped like every
  // other control character.
  for (const GedcomChange& c : changes)
    out << value(c.xref) << '\t' << c.field << '\t' << value(c.original) << '\t' << value(c.stored)
        << '\n';
}

namespace {

GedcomResult Prepare(std::string_view bytes, Parsed& p) {
  GedcomResult r = ParseLines(bytes, p);
  if (!r) return r;
  if (p.people.empty())
    return {GedcomError::kNoPeople, 0, "the file holds no person (INDI record)"};
  if (p.people.size() >= kNone / 2) return {GedcomError::kNoMemory, 0, "too many people"};
  Resolve(p);
  return {};
}

std::vector<GedcomRootCandidate> Candidates(const Parsed& p) {
  std::vector<GedcomRootCandidate> out;
  const std::vector<std::size_t> sizes = RootLineSizes(p);
  for (std::uint32_t i = 0; i < p.people.size(); ++i) {
    if (p.people[i].parentFamily != kNone) continue;
    GedcomRootCandidate c;
    c.xref = XrefText(p, p.people[i]);
    c.name = textcodec::ToUtf8(Clean(RawName(p, p.people[i])));
    c.members = sizes[i];
    out.push_back(std::move(c));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const GedcomRootCandidate& a, const GedcomRootCandidate& b) {
                     return a.members > b.members;
                   });
  return out;
}

}  // namespace

GedcomResult ListRootCandidates(std::string_view bytes, std::vector<GedcomRootCandidate>& out) {
  try {
    Parsed p;
    if (GedcomResult r = Prepare(bytes, p); !r) return r;
    out = Candidates(p);
    return {};
  } catch (const std::bad_alloc&) {
    return {GedcomError::kNoMemory, 0, "memory ran out"};
  }
}

namespace {

GedcomResult Import(std::string_view bytes, const GedcomImportOptions& options,
                    COperationClanbook& out, GedcomImportReport& report) {
  Parsed p;
  if (GedcomResult r = Prepare(bytes, p); !r) return r;
  report = GedcomImportReport{};
  report.version = p.text.version;
  report.encoding = p.text.encoding;
  report.people = p.people.size();

  // The root: the one asked for, else the candidate with the longest line.
  std::uint32_t root = kNone;
  if (options.rootXref) {
    std::string_view want = *options.rootXref;
    if (want.size() >= 2 && want.front() == '@' && want.back() == '@')
      want = want.substr(1, want.size() - 2);
    for (std::uint32_t i = 0; i < p.people.size() && root == kNone; ++i)
      if (p.View(p.people[i].xref) == want) root = i;
    if (root == kNone)
      return {GedcomError::kUnknownRoot, 0, "no person @" + std::string(want) + "@ in the file"};
  } else {
    const std::vector<std::size_t> sizes = RootLineSizes(p);
    std::size_t best = 0;
    for (std::uint32_t i = 0; i < p.people.size(); ++i) {
      if (p.people[i].parentFamily != kNone) continue;
      if (sizes[i] > best) best = sizes[i], root = i;
    }
    if (root == kNone)
      return {GedcomError::kNoRoot, 0,
              "every person has parents in the file: no one to start from"};
  }
  report.rootXref = XrefText(p, p.people[root]);

  // The members in pre-order, with their fathers.
  std::vector<std::uint32_t> order, father;
  std::vector<std::uint32_t> stamp(p.people.size(), 0), place(p.people.size(), kNone);
  WalkLine(p, root, stamp, 1, [&](std::uint32_t person, std::uint32_t dad) {
    place[person] = static_cast<std::uint32_t>(order.size());
    order.push_back(person);
    father.push_back(dad == kNone ? kNone : place[dad]);
  });
  // What the walks needed goes before the tree is built.
  std::vector<std::uint32_t>().swap(stamp);
  std::vector<std::uint32_t>().swap(place);
  std::vector<std::uint32_t>().swap(p.children);
  std::vector<std::uint32_t>().swap(p.childStart);
  std::vector<std::uint32_t>().swap(p.headed);
  std::vector<std::uint32_t>().swap(p.headStart);
  std::vector<Family>().swap(p.families);
  const std::size_t n = order.size();
  report.members = n;
  auto change = [&](std::uint32_t k, const char* field, std::string original, std::string stored) {
    report.changes.push_back(
        {XrefText(p, p.people[order[k]]), field, std::move(original), std::move(stored)});
  };

  // Names: clean, short enough, unique (the first in pre-order keeps it).
  std::vector<std::u16string> names(n);
  for (std::size_t k = 0; k < n; ++k) {
    const Person& person = p.people[order[k]];
    std::u16string name = Clean(RawName(p, person));
    // Nameless: the XREF, the one thing that tells the person apart.
    if (name.empty()) name = Clean(detail::ToUtf16(p.View(person.xref)));
    if (name.empty()) name = u"?";
    Cut(name, kMaxTextLength);
    names[k] = std::move(name);
  }
  {
    FlatTable<char16_t> used(n + 2);
    used.Insert(u"end", 0);
    used.Insert(u"-1", 0);
    // Every name of the file, so that a suffix never takes a name a later
    // member bears; only needed once a name is found twice.
    std::unique_ptr<FlatTable<char16_t>> taken;
    std::deque<std::u16string> made;
    std::vector<std::pair<std::size_t, const std::u16string*>> renamed;
    for (std::size_t k = 0; k < n; ++k) {
      const std::u16string& name = names[k];
      if (used.Insert(name, 0) == kNone) continue;
      if (!taken) {
        taken = std::make_unique<FlatTable<char16_t>>(n);
        for (const std::u16string& other : names) taken->Insert(other, 0);
      }
      std::u16string candidate;
      for (std::size_t i = 2;; ++i) {
        std::u16string suffix = u"(" + detail::ToUtf16(std::to_string(i)) + u")";
        candidate = name;
        Cut(candidate, kMaxTextLength - suffix.size());
        candidate += suffix;
        if (taken->Find(candidate) == kNone && used.Find(candidate) == kNone) break;
      }
      used.Insert(made.emplace_back(std::move(candidate)), 0);
      renamed.emplace_back(k, &made.back());
    }
    // Only now: the tables hold views of the names.
    for (const auto& [k, name] : renamed) names[k] = *name;
  }
  for (std::size_t k = 0; k < n; ++k) {
    const Person& person = p.people[order[k]];
    const std::string stored = textcodec::ToUtf8(names[k]);
    // The slashes round the surname are GEDCOM's markup, no part of the name.
    // So is a blank between Chinese characters ("孔 /丘/").
    if (stored != textcodec::ToUtf8(Clean(RawName(p, person), false)))
      change(static_cast<std::uint32_t>(k), "name",
             person.name.empty() && (!person.givn.empty() || !person.surn.empty())
                 ? std::string(p.View(person.givn)) + " /" + std::string(p.View(person.surn)) + "/"
                 : std::string(p.View(person.name)),
             stored);
  }

  // Dates: births from the file, estimates from relatives where missing.
  std::vector<ParsedDate> birth(n);
  std::vector<std::uint8_t> known(n, 0);
  for (std::size_t k = 0; k < n; ++k) {
    const Person& person = p.people[order[k]];
    birth[k] = detail::ParseDate(p.View(person.birth));
    known[k] = birth[k].kind != ParsedDate::kNone;
  }
  // From the children, latest member first: the earliest child less 25 years.
  std::vector<std::int64_t> fromChildren(n, INT64_MAX);
  for (std::size_t k = n; k-- > 0;) {
    std::int64_t year = known[k] ? birth[k].year : fromChildren[k];
    if (year != INT64_MAX && father[k] != kNone)
      fromChildren[father[k]] = std::min(fromChildren[father[k]], year - 25);
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (known[k]) continue;
    std::int64_t year;
    if (fromChildren[k] != INT64_MAX)
      year = fromChildren[k];
    else if (father[k] != kNone)
      year = static_cast<std::int64_t>(birth[father[k]].year) + 25;
    else
      year = 1900;  // nothing to go by in the whole line
    year = std::clamp<std::int64_t>(year, INT32_MIN, INT32_MAX);
    birth[k] = ParsedDate{ParsedDate::kEstimated, static_cast<std::int32_t>(year), 1, 1};
  }
  std::vector<std::int64_t>().swap(fromChildren);
  // No child before his father: a child born earlier moves to the day after.
  for (std::size_t k = 0; k < n; ++k) {
    if (father[k] == kNone) continue;
    const ParsedDate& dad = birth[father[k]];
    ParsedDate& d = birth[k];
    const int cmp =
        COperationClanbook::CompareDates(d.year, d.month, d.day, dad.year, dad.month, dad.day);
    if (cmp < 0 || (cmp == 0 && d.kind != ParsedDate::kExact)) {
      std::int32_t y = dad.year, m = dad.month, day = dad.day + 1;
      if (!COperationClanbook::IsValidDate(y, m, day)) {
        day = 1;
        if (++m > 12) {
          m = 1;
          if (y == INT32_MAX) {
            // No later day exists: the same day, which the genealogy accepts.
            m = 12, day = 31;
          } else {
            ++y;
          }
        }
      }
      d = ParsedDate{ParsedDate::kEstimated, y, m, day};
    }
  }
  for (std::size_t k = 0; k < n; ++k) {
    const Person& person = p.people[order[k]];
    if (birth[k].kind != ParsedDate::kExact)
      change(static_cast<std::uint32_t>(k), "birth", std::string(p.View(person.birth)),
             DateText(birth[k].year, birth[k].month, birth[k].day));
  }

  // Everything else, then the tree, family by family.
  COperationClanbook built;
  std::vector<MemberNode*> nodes(n);
  std::vector<std::unique_ptr<MemberNode>> owned(n);  // until the tree takes them
  for (std::size_t k = 0; k < n; ++k) {
    const Person& person = p.people[order[k]];
    owned[k] = std::make_unique<MemberNode>();
    MemberNode* m = nodes[k] = owned[k].get();
    m->name = std::move(names[k]);
    m->birthYear = birth[k].year;
    m->birthMonth = birth[k].month;
    m->birthDay = birth[k].day;
    m->married = p.married[order[k]];
    m->alive = person.dead ? 0 : 1;
    if (person.dead) {
      ParsedDate d = detail::ParseDate(p.View(person.death));
      bool exact = d.kind == ParsedDate::kExact;
      if (d.kind == ParsedDate::kNone)
        d = ParsedDate{ParsedDate::kEstimated, m->birthYear, m->birthMonth, m->birthDay};
      if (COperationClanbook::CompareDates(d.year, d.month, d.day, m->birthYear, m->birthMonth,
                                           m->birthDay) < 0) {
        d = ParsedDate{ParsedDate::kEstimated, m->birthYear, m->birthMonth, m->birthDay};
        exact = false;
      }
      m->deathYear = d.year;
      m->deathMonth = d.month;
      m->deathDay = d.day;
      if (!exact)
        change(static_cast<std::uint32_t>(k), "death", std::string(p.View(person.death)),
               DateText(d.year, d.month, d.day));
    }
    const std::string_view address = p.View(!person.address.empty()     ? person.address
                                            : !person.place.empty()     ? person.place
                                            : !person.residence.empty() ? person.residence
                                                                        : person.plainAddress);
    if (!address.empty()) {
      std::u16string a = Clean(detail::ToUtf16(address));
      Cut(a, kMaxTextLength);
      if (textcodec::ToUtf8(a) != address)
        change(static_cast<std::uint32_t>(k), "address", std::string(address),
               textcodec::ToUtf8(a));
      m->address = std::move(a);
    }
  }
  // Children go in at the head of their family, latest first, so that each
  // insertion is immediate and children born on the same day end up as a
  // .ftf file in this order would load them.
  built.InsertMember(nullptr, owned[0].release());
  {
    std::vector<std::uint32_t> firstChild(n, kNone), nextSibling(n, kNone), lastChild(n, kNone);
    for (std::size_t k = 1; k < n; ++k) {
      const std::uint32_t f = father[k];
      if (lastChild[f] == kNone)
        firstChild[f] = static_cast<std::uint32_t>(k);
      else
        nextSibling[lastChild[f]] = static_cast<std::uint32_t>(k);
      lastChild[f] = static_cast<std::uint32_t>(k);
    }
    std::vector<std::uint32_t> kids;
    for (std::size_t k = 0; k < n; ++k) {
      kids.clear();
      for (std::uint32_t c = firstChild[k]; c != kNone; c = nextSibling[c]) kids.push_back(c);
      if (kids.empty()) continue;
      // Birth order, and within a day the order of the file, as a .ftf keeps
      // its twins. Added youngest first, each newcomer goes before his
      // same-day brothers, which leaves them in the file's order.
      std::stable_sort(kids.begin(), kids.end(), [&](std::uint32_t a, std::uint32_t b) {
        return CompareBirthDates(*nodes[a], *nodes[b]) < 0;
      });
      for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        built.InsertMember(nodes[k], owned[*it].release());
    }
  }
  if (p.skippedNotes) p.notes.push_back({GedcomNote::Kind::kMoreLeftOut, p.skippedNotes, {}});
  report.notes = std::move(p.notes);
  out.Swap(built);
  return {};
}

}  // namespace

GedcomResult ReadGedcom(std::string_view bytes, const GedcomImportOptions& options,
                        COperationClanbook& out, GedcomImportReport& report) {
  try {
    GedcomImportReport fresh;
    GedcomResult r = Import(bytes, options, out, fresh);
    if (r) report = std::move(fresh);
    return r;
  } catch (const std::bad_alloc&) {
    return {GedcomError::kNoMemory, 0, "memory ran out"};
  }
}

}  // namespace gedcom
