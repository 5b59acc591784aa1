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
#include "formats/gedcom/GedcomParse.h"
#include "formats/gedcom/GedcomRecords.h"
#include "model/TextCodec.h"

namespace gedcom {

namespace {

using namespace parse;

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

std::u16string records::PersonName(const Parsed& p, const Person& person) {
  return Clean(RawName(p, person));
}

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
  shown.text = textcodec::Printable(utf8.substr(0, cut));
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
  out << dropped.size() << (dropped.size() == 1 ? " fact" : " facts")
      << " with no place in the book\n";
  for (const GedcomDropped& d : dropped)
    out << value(d.xref) << "\tline " << d.line << '\t' << d.fact << '\t' << value(d.value) << '\n';
}

namespace {

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
  // The whole records, while the families' tables are still there.
  records::Records extra = records::Read(p, options, order, father, place, report.dropped);
  struct NamedFather {
    std::uint32_t member, father;  // father: a member, or kNone
    std::u16string name;           // when he is none
    bool second;
  };
  std::vector<NamedFather> namedFathers;
  for (const records::Records::FatherRef& ref : extra.fathers)
    namedFathers.push_back({ref.member, place[ref.person],
                            place[ref.person] == kNone
                                ? records::PersonName(p, p.people[ref.person])
                                : std::u16string(),
                            ref.second});
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
    if (name.empty()) name.assign(1, u'?');
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
        // Built by appending: GCC 12 at -O3 warns falsely about u"(" + a temporary.
        std::u16string suffix(1, u'(');
        suffix += detail::ToUtf16(std::to_string(i));
        suffix += u')';
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
  for (const NamedFather& f : namedFathers) {
    MemberRecord& r = *extra.members[f.member];
    (f.second ? r.secondFather : r.birthFather) = f.father == kNone ? f.name : names[f.father];
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
    if (extra.members[k]) m->extra.SetRecord(*extra.members[k]);
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
  built.Book() = std::move(extra.book);
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
