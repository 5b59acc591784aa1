// GEDCOM lines become people and families (ParseLines), their links are
// resolved (Resolve), and each possible root's line is counted.
#include "formats/gedcom/GedcomParse.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomRecord.h"

namespace gedcom::parse {

namespace {

std::string_view Strip(std::string_view ref) {
  if (ref.size() >= 3 && ref.front() == '@' && ref.back() == '@')
    return ref.substr(1, ref.size() - 2);
  return {};
}

Span Unescape(std::string_view value, Parsed& p) {
  if (value.find("@@") == std::string_view::npos) return p.In(value);
  if (p.v7) return p.In(value.substr(0, 2) == "@@" ? value.substr(1) : value);
  return p.Own(detail::Unescaped(value, false));
}

// A tag of up to four letters as one number: every line is compared with a
// dozen tags, and comparing numbers is much cheaper than comparing text.
constexpr std::uint32_t Code(std::string_view tag) {
  if (tag.size() > 4) return 0;
  std::uint32_t code = 0;
  for (char c : tag) code = (code << 8) | static_cast<unsigned char>(c);
  return code;
}

// PEDI's value in either version's spelling; a second line (兼祧) stays so.
std::uint8_t PedigreeOf(std::string_view value, std::uint8_t was) {
  std::string upper;
  for (char c : value) upper += detail::Upper(c);
  if (was == kSecondLine) return was;
  if (upper == "BIRTH") return kBirth;
  if (upper == "ADOPTED") return kAdopted;
  return was;
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
  // The FAMC whose PEDI the lines below may give, and whether they are in it.
  std::size_t famcOpen = SIZE_MAX;
  bool inPedigree = false;
  bool otherOpen = false;  // a record of another kind with an XREF is open
  // Ends the record open before `at`.
  const auto closeRecord = [&](const char* at) {
    Span* open = record == Record::kIndi                 ? &p.people.back().record
                 : record == Record::kFam                ? &p.families.back().record
                 : record == Record::kHead               ? &p.head
                 : record == Record::kOther && otherOpen ? &p.others.back().record
                                                         : nullptr;
    if (open) open->size = static_cast<std::uint32_t>(at - text.data()) - open->offset;
  };
  p.people.reserve(text.size() / 200);
  while (cur < end) {
    const char* const lineBegin = cur;
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
      const Span begun{static_cast<std::uint32_t>(lineBegin - text.data()), 0};
      if (!seenHead) {
        if (code != Code("HEAD"))
          return {GedcomError::kNotGedcom, lineNo,
                  "the file does not begin with a GEDCOM header (0 HEAD)"};
        seenHead = true;
        record = Record::kHead;
        p.head = begun;
        continue;
      }
      closeRecord(lineBegin);
      otherOpen = false;
      if (code == Code("INDI")) {
        record = Record::kIndi;
        Person& person = p.people.emplace_back();
        person.xref = p.In(xref);
        person.line = static_cast<std::uint32_t>(lineNo);
        person.record = begun;
      } else if (code == Code("FAM")) {
        record = Record::kFam;
        Family& family = p.families.emplace_back();
        family.xref = p.In(xref);
        family.record = begun;
        family.line = static_cast<std::uint32_t>(lineNo);
      } else {
        if (code == Code("TRLR")) seenTrailer = true;
        record = Record::kOther;
        if (!xref.empty()) {
          p.others.push_back({p.In(xref), begun, static_cast<std::uint32_t>(lineNo)});
          otherOpen = true;
        }
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
        std::string more = detail::Unescaped(value, p.v7);
        if (code == Code("CONT")) more.insert(more.begin(), '\n');
        if (p.owned.size() + more.size() >= kOwned)
          return {GedcomError::kNoMemory, lineNo, "the file is too large (2 GB or more)"};
        p.owned += more;
        target->size += static_cast<std::uint32_t>(more.size());
      }
      continue;
    }
    target = nullptr;
    if (level == 1) {
      takeName = takeBirth = takeDeath = takeResidence = false;
      famcOpen = SIZE_MAX;
    }
    if (level <= 2) inPedigree = false;
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
          person.rich |= person.dead;
          person.dead = true;
        } else if (code == Code("RESI") && !person.hasResidence) {
          person.hasResidence = takeResidence = true;
          keep(person.residence);
        } else if (code == Code("ADDR") && person.plainAddress.empty()) {
          keep(person.plainAddress);
        } else if (code == Code("FAMC")) {
          famcOpen = p.famc.size();
          p.famc.push_back({owner, p.In(value)});
        } else if (code == Code("FAMS")) {
          p.fams.push_back({owner, p.In(value)});
        } else if (code != Code("SEX") || value != "M") {
          person.rich = true;
        }
      } else if (level == 2) {
        person.rich |= !((takeName && (code == Code("GIVN") || code == Code("SURN"))) ||
                         ((takeBirth || takeDeath) && code == Code("DATE")) ||
                         (takeResidence && (code == Code("ADDR") || code == Code("PLAC"))));
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
        } else if (famcOpen != SIZE_MAX && code == Code("PEDI")) {
          inPedigree = true;
          p.famc[famcOpen].pedigree = PedigreeOf(value, p.famc[famcOpen].pedigree);
        } else if (famcOpen != SIZE_MAX && code == Code("NOTE") && value == kSecondLineWord) {
          p.famc[famcOpen].pedigree = kSecondLine;
        }
      } else {
        person.rich = true;
      }
      if (level == 3 && inPedigree && tag == "PHRASE" && value == kSecondLineWord) {
        p.famc[famcOpen].pedigree = kSecondLine;
      }
    } else if (record == Record::kFam && level > 1) {
      p.families.back().rich = true;
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
        family.rich |= !value.empty() && value != "Y";
      } else {
        family.rich = true;
      }
    }
  }
  if (!seenHead) return {GedcomError::kNotGedcom, 0, "the file is empty or holds no GEDCOM header"};
  closeRecord(end);
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
  // The families a child is not brought in through: his birth family when
  // he was adopted into another, a second father's (兼祧). Few or none.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> secondary;  // child, family
  {
    std::vector<std::uint32_t> adopted;
    for (const Link& l : p.famc)
      if (l.pedigree == kAdopted) adopted.push_back(l.owner);
    std::sort(adopted.begin(), adopted.end());
    for (const Link& l : p.famc) {
      if (l.pedigree == kSecondLine ||
          (l.pedigree == kBirth && std::binary_search(adopted.begin(), adopted.end(), l.owner)))
        if (const std::uint32_t f = family(l.target); f != kNone)
          secondary.emplace_back(l.owner, f);
    }
    std::sort(secondary.begin(), secondary.end());
  }
  const auto isSecondary = [&](std::uint32_t f, std::uint32_t c) {
    return !secondary.empty() &&
           std::binary_search(secondary.begin(), secondary.end(), std::make_pair(c, f));
  };
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;  // family, child
  pairs.reserve(p.chil.size() + p.famc.size());
  for (const Link& l : p.chil) {
    const std::uint32_t c = person(l.target);
    if (c != kNone && !isSecondary(l.owner, c)) pairs.emplace_back(l.owner, c);
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
      if (f == kNone || listedIn[l.owner] == f || isSecondary(f, l.owner) ||
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

}  // namespace

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

GedcomResult Prepare(std::string_view bytes, Parsed& p) {
  GedcomResult r = ParseLines(bytes, p);
  if (!r) return r;
  if (p.people.empty())
    return {GedcomError::kNoPeople, 0, "the file holds no person (INDI record)"};
  if (p.people.size() >= kNone / 2) return {GedcomError::kNoMemory, 0, "too many people"};
  Resolve(p);
  return {};
}

}  // namespace gedcom::parse
