// The genealogy file (.ftf): the word reader, the one loader, the writer, and
// Load and Save on top of them.
#include <fcntl.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/FileBytes.h"
#include "model/FtfCodec.h"
#include "model/FtfReader.h"
#include "model/NameIndex.h"
#include "model/TextCodec.h"
#include "model/ZeroedArray.h"

namespace {

constexpr auto kSpaces = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {' ', '\n', '\r', '\t', '\v', '\f'}) table[c] = true;
  return table;
}();

bool IsSpace(char c) {
  return kSpaces[static_cast<unsigned char>(c)];
}

constexpr std::string_view kEndLine = "end 1999 12 2 1 end 1 end";
constexpr std::u16string_view kEnd = u"end";
constexpr std::u16string_view kNoFather = u"-1";
// Decoded text comes in pieces of this size, progress is told this often.
constexpr std::size_t kPiece = 1 << 20;
// A word of 127 code units takes at most 508 bytes; a longer one is refused
// without being gathered whole, however long it is.
constexpr std::size_t kMaxWordBytes = 4096;

std::size_t CountLines(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

void FtfReader::Fail(int code, FileProblem problem, std::size_t line) {
  if (m_error != kFileOk) return;
  m_error = code;
  m_problem = problem;
  m_errorLine = line;
}

bool FtfReader::Refill() {
  if (!m_source || m_error != kFileOk) return false;
  std::string next(m_text.substr(m_pos));
  next.reserve(next.size() + 2 * kPiece + 16);
  if (!m_source->Next(next)) {
    // Nothing more: the piece at hand stays as it is.
    if (m_source->Failure() != FileProblem::kNone)
      Fail(kFileCannotOpen, m_source->Failure(), m_line + CountLines(next));
    return false;
  }
  m_buffer.swap(next);
  m_text = m_buffer;
  m_pos = 0;
  return true;
}

void FtfReader::SkipBlanks() {
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  while (pos < n && IsSpace(m_text[pos])) {
    m_line += m_text[pos] == '\n';
    ++pos;
  }
  m_pos = pos;
}

void FtfReader::TookWord(std::size_t end) {
  m_pos = end;
  m_anyWord = true;
  m_wordLine = m_line;
  if (m_recordPending) {
    m_recordLine = m_line;
    m_recordPending = false;
  }
}

bool FtfReader::NextWord(std::string_view& word) {
  for (;;) {
    SkipBlanks();
    const std::size_t n = m_text.size();
    const std::size_t pos = m_pos;
    if (pos == n) {
      if (Refill()) continue;
      if (m_anyWord)
        Fail(kFileBadRelation, FileProblem::kMissingField, m_wordLine);
      else
        Fail(kFileNoRoot, FileProblem::kEmpty, 0);
      return false;
    }
    std::size_t end = pos;
    while (end < n && !IsSpace(m_text[end])) ++end;
    // The word may go on in the next piece.
    if (end == n && m_source && end - pos <= kMaxWordBytes && Refill()) continue;
    if (m_error != kFileOk) return false;
    TookWord(end);
    word = m_text.substr(pos, end - pos);
    return true;
  }
}

bool FtfReader::ReadTextAtHand(std::u16string& out) {
  SkipBlanks();
  const auto* text = reinterpret_cast<const unsigned char*>(m_text.data());
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  char16_t units[kMaxTextLength];
  std::size_t count = 0;
  // ASCII and the three-byte characters that Chinese text is made of.
  while (pos < n && count < kMaxTextLength) {
    const unsigned char c = text[pos];
    if (c < 0x80) {
      if (kSpaces[c]) break;
      units[count++] = c;
      ++pos;
      continue;
    }
    if (c < 0xE0 || c > 0xEF || n - pos < 3) return false;
    const unsigned char b1 = text[pos + 1], b2 = text[pos + 2];
    if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80 || (c == 0xE0 && b1 < 0xA0) ||
        (c == 0xED && b1 >= 0xA0))
      return false;
    units[count++] =
        static_cast<char16_t>(((c & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu));
    pos += 3;
  }
  if (pos == m_pos || pos == n || !kSpaces[text[pos]]) return false;
  TookWord(pos);
  out.assign(units, count);
  return true;
}

bool FtfReader::ReadNumberAtHand(std::int32_t& out) {
  SkipBlanks();
  const char* text = m_text.data();
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  const bool negative = pos < n && text[pos] == '-';
  pos += negative;
  // Nine digits at most: always within 32 bits.
  const std::size_t digitsEnd = std::min(n, pos + 9);
  std::int32_t value = 0;
  const std::size_t first = pos;
  for (; pos < digitsEnd && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    value = value * 10 + (text[pos] - '0');
  if (pos == first || pos == n || !IsSpace(text[pos])) return false;
  TookWord(pos);
  out = negative ? -value : value;
  return true;
}

bool FtfReader::ReadText(std::u16string& out) {
  if (ReadTextAtHand(out)) return true;
  std::string_view word;
  if (!NextWord(word)) return false;
  switch (textcodec::DecodeUtf8(word, out, kMaxTextLength)) {
    case textcodec::Decoded::kText:
      return true;
    case textcodec::Decoded::kTooLong:
      Fail(kFileBadDate, FileProblem::kWordTooLong, m_wordLine);
      return false;
    case textcodec::Decoded::kMalformed:
      // Decoders give well-formed text: only the file's own bytes get here.
      Fail(m_source ? kFileCannotOpen : kNotUtf8, FileProblem::kBadUtf8, m_wordLine);
      return false;
  }
  return false;
}

bool FtfReader::ReadNumber(std::int32_t& out) {
  if (ReadNumberAtHand(out)) return true;
  std::string_view word;
  if (!NextWord(word)) return false;
  const char* p = word.data();
  const char* end = p + word.size();
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  std::int64_t value = 0;
  bool digits = p != end;
  bool inRange = true;
  for (; p != end && digits; ++p) {
    if (*p < '0' || *p > '9') digits = false;
    if (value <= std::int64_t{INT32_MAX} + 1) value = value * 10 + (*p - '0');
  }
  if (negative) value = -value;
  inRange = value >= INT32_MIN && value <= INT32_MAX;
  if (digits && inRange) {
    out = static_cast<std::int32_t>(value);
    return true;
  }
  if (!m_source && !textcodec::IsUtf8(word))
    Fail(kNotUtf8, FileProblem::kBadUtf8, m_wordLine);
  else if (word.find('\0') != std::string_view::npos)
    Fail(kFileCannotOpen, FileProblem::kNotText, m_wordLine);
  else
    Fail(kFileBadDate, digits ? FileProblem::kNumberTooLarge : FileProblem::kNotANumber,
         m_wordLine);
  return false;
}

namespace {

// ReadMember after the name, which the loader reads on its own so as to start
// fetching what the name needs from memory while the other fields are read.
int ReadFieldsAfterName(FtfReader& in, MemberNode* member, std::u16string& father) {
  using C = COperationClanbook;
  if (!in.ReadNumber(member->birthYear) || !in.ReadNumber(member->birthMonth) ||
      !in.ReadNumber(member->birthDay) || !in.ReadNumber(member->married) ||
      !in.ReadText(member->address) || !in.ReadNumber(member->alive))
    return 0;
  if (member->address == kEnd) member->address.clear();
  if (member->alive == 0 &&
      (!in.ReadNumber(member->deathYear) || !in.ReadNumber(member->deathMonth) ||
       !in.ReadNumber(member->deathDay)))
    return 0;
  if (!in.ReadText(father)) return 0;
  if (!C::IsValidDate(member->birthYear, member->birthMonth, member->birthDay)) return 0;
  if (member->alive != 0) return 1;
  // A child who died on the day of birth is accepted: the entry commands take
  // such a member, and refusing it here would lock the whole file.
  return C::CompareDates(member->birthYear, member->birthMonth, member->birthDay, member->deathYear,
                         member->deathMonth, member->deathDay) <= 0 &&
                 C::IsValidDate(member->deathYear, member->deathMonth, member->deathDay)
             ? 1
             : 0;
}

}  // namespace

int COperationClanbook::ReadMember(FtfReader& in, MemberNode* member, std::u16string& father) {
  if (!in.ReadText(member->name)) return 0;
  return ReadFieldsAfterName(in, member, father);
}

// Builds the tree record by record. The father named in a record is the first
// member in pre-order that bears the name when the record is read, exactly as
// the search from the root would find him. The index keeps that first bearer
// for every name as the load goes: adding a member never changes the order of
// the members already there, so the first bearer changes only when a newcomer
// comes before him.
//
// The way from the root to the last member in pre-order is kept on a stack,
// each step marked when it is the first bearer of its name. A file in
// pre-order (every file this program writes) names as father a member near
// the top of the way and appends each newcomer at its end: he comes last in
// pre-order, his father's last child is the next step of the way, and neither
// a search nor a comparison is needed. A member placed elsewhere is compared
// in pre-order with the first bearer of his name by walking up from both.
class FtfLoader {
public:
  FtfLoader(COperationClanbook& tree, FtfReader& in, const ReadProgress& progress,
            std::size_t total)
      : m_tree(tree), m_in(in), m_progress(progress), m_total(total) {}

  FileStatus Run();
  // Whether the first record was read whole: a file whose first record does
  // not parse is no genealogy in any encoding.
  bool RootRead() const { return m_rootRead; }

private:
  struct Step {
    MemberNode* member;
    bool first;  // the first bearer of his name
  };
  // A member linked but not yet in the index.
  struct Pending {
    MemberNode* member = nullptr;
    std::uint32_t hash = 0;
    bool last = false;  // he was placed at the end of the way
  };
  // Members whose names are surely new wait here for the index, their slots
  // fetched into the cache meanwhile, and go in together: the cache misses of
  // the index overlap instead of costing one after another.
  static constexpr std::size_t kQueued = 32;

  FileStatus ReadOne(std::unique_ptr<MemberNode>& member, bool& plausible, std::uint32_t& hash);
  MemberNode* FindFather(std::size_t& at);
  bool Link(MemberNode* member, MemberNode* father, std::size_t at);
  // Puts a child read from the file after `last`, the latest born of his
  // father's children (none: he has none), when he was not born earlier, and
  // says so; otherwise puts him at his place in birth order (Place).
  bool AppendAfter(MemberNode* father, MemberNode* last, MemberNode* member);
  // A child born before his father's latest born: after the last child born
  // on or before his day. A family is walked until its walks have cost
  // kWalkBudget steps; from then on its children are found by date.
  void Place(MemberNode* father, MemberNode* member);
  void Index(const Pending& pending);
  void Enter(const Pending& pending);
  void Flush();
  bool MaybeSeen(std::uint32_t hash) const {
    const std::uint32_t bit = (hash >> 5) & m_seenMask;
    return (m_seen[bit >> 6] >> (bit & 63)) & 1;
  }
  void MarkSeen(std::uint32_t hash) {
    const std::uint32_t bit = (hash >> 5) & m_seenMask;
    m_seen[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }
  std::size_t WayPosition(const MemberNode* member) const;
  static bool Precedes(const MemberNode* a, const MemberNode* b);

  COperationClanbook& m_tree;
  FtfReader& m_in;
  const ReadProgress& m_progress;
  std::size_t m_total;
  std::size_t m_nextReport = kPiece;
  std::u16string m_father;
  std::vector<Step> m_way;
  bool m_rootRead = false;
  // One bit per hash of the names seen: a clear bit proves a name new.
  ZeroedArray<std::uint64_t> m_seen;
  std::uint32_t m_seenMask = 0;
  Pending m_queue[kQueued];
  std::size_t m_queued = 0;
  // The last child of each father the loader met off the way.
  std::unordered_map<MemberNode*, MemberNode*> m_lastChild;
  // Children listed out of birth order (two runs of one large family
  // interleaved) would each walk half the list: quadratic. A family whose
  // walks grow long keeps, for each birth date among its children, the last
  // child born on it, so that a newcomer's place is one lookup; the list
  // itself and every order the loader gives stay exactly as the walk makes
  // them.
  static constexpr std::size_t kWalkBudget = 4096;
  struct DatedFamily {
    std::size_t walked = 0;
    bool indexed = false;
    std::map<std::int64_t, MemberNode*> lastBornOn;
  };
  std::unordered_map<MemberNode*, DatedFamily> m_dated;
};

namespace {

constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

}  // namespace

FileStatus FtfLoader::ReadOne(std::unique_ptr<MemberNode>& member, bool& plausible,
                              std::uint32_t& hash) {
  if (m_progress && m_in.Consumed() >= m_nextReport) {
    m_nextReport = m_in.Consumed() + kPiece;
    if (!m_progress(m_in.Consumed(), m_total))
      return Failure(kFileCannotOpen, FileProblem::kCancelled, 0);
  }
  member = std::make_unique<MemberNode>();
  m_in.StartRecord();
  plausible = false;
  if (m_in.ReadText(member->name)) {
    hash = NameIndex::Hash(member->name);
    if (!m_seen.empty()) {
      __builtin_prefetch(&m_seen[((hash >> 5) & m_seenMask) >> 6]);
      m_tree.m_index->Prefetch(hash);
    }
    plausible = ReadFieldsAfterName(m_in, member.get(), m_father) != 0;
  }
  if (m_in.Error() != kFileOk) return Failure(m_in.Error(), m_in.Problem(), m_in.Line());
  return {};
}

bool FtfLoader::Precedes(const MemberNode* a, const MemberNode* b) {
  auto depth = [](const MemberNode* m) {
    std::size_t d = 0;
    for (; m->parent; m = m->parent) ++d;
    return d;
  };
  std::size_t da = depth(a), db = depth(b);
  for (; da > db; --da) a = a->parent;
  if (a == b) return false;  // b is an ancestor of a
  for (; db > da; --db) b = b->parent;
  if (a == b) return true;
  while (a->parent != b->parent) {
    a = a->parent;
    b = b->parent;
  }
  for (const MemberNode* c = a->parent->firstChild; c; c = c->nextSibling) {
    if (c == a) return true;
    if (c == b) return false;
  }
  return false;
}

std::size_t FtfLoader::WayPosition(const MemberNode* member) const {
  // Every step of the way but the root is the last child of the one before.
  if (member->nextSibling) return kNowhere;
  std::size_t depth = 0;
  for (const MemberNode* m = member->parent; m; m = m->parent) ++depth;
  return depth < m_way.size() && m_way[depth].member == member ? depth : kNowhere;
}

MemberNode* FtfLoader::FindFather(std::size_t& at) {
  // Near the top of the way first: there a file in pre-order names the father.
  constexpr std::size_t kNear = 16;
  const std::size_t n = m_way.size();
  for (std::size_t k = n; k > 0 && n - k < kNear; --k) {
    const Step& step = m_way[k - 1];
    if (step.member->name != m_father) continue;
    if (!step.first) break;  // an earlier bearer of the name is the father
    at = k - 1;
    return step.member;
  }
  Flush();
  NameIndex::Entry* entry = m_tree.m_index->Find(m_father);
  if (!entry) return nullptr;
  at = WayPosition(entry->representative);
  return entry->representative;
}

namespace {

// A valid date as one number that compares as the date does.
std::int64_t DateKey(const MemberNode& m) {
  return std::int64_t{m.birthYear} * 512 + m.birthMonth * 32 + m.birthDay;
}

}  // namespace

bool FtfLoader::AppendAfter(MemberNode* father, MemberNode* last, MemberNode* member) {
  if (last && CompareBirthDates(*last, *member) > 0) {
    Place(father, member);
    return false;
  }
  (last ? last->nextSibling : father->firstChild) = member;
  if (!m_dated.empty())
    if (auto it = m_dated.find(father); it != m_dated.end() && it->second.indexed) {
      auto& dates = it->second.lastBornOn;
      dates.insert_or_assign(dates.end(), DateKey(*member), member);
    }
  return true;
}

void FtfLoader::Place(MemberNode* father, MemberNode* member) {
  DatedFamily& family = m_dated[father];
  const std::int64_t key = DateKey(*member);
  if (!family.indexed) {
    family.walked += COperationClanbook::InsertAmong(father->firstChild, member, true);
    if (family.walked < kWalkBudget) return;
    // The list is in birth order: the last child of each date comes last.
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling)
      family.lastBornOn.insert_or_assign(family.lastBornOn.end(), DateKey(*c), c);
    family.indexed = true;
    return;
  }
  auto after = family.lastBornOn.upper_bound(key);
  if (after == family.lastBornOn.begin()) {
    member->nextSibling = father->firstChild;
    father->firstChild = member;
  } else {
    MemberNode* elder = std::prev(after)->second;
    member->nextSibling = elder->nextSibling;
    elder->nextSibling = member;
  }
  family.lastBornOn.insert_or_assign(after, key, member);
}

bool FtfLoader::Link(MemberNode* member, MemberNode* father, std::size_t at) {
  member->parent = father;
  member->firstChild = member->nextSibling = nullptr;
  if (at != kNowhere) {
    if (!AppendAfter(father, at + 1 < m_way.size() ? m_way[at + 1].member : nullptr, member))
      return false;
    m_way.resize(at + 1);
    m_way.push_back(Step{member, false});
    return true;
  }
  // A father off the way: his last child is remembered from the first time
  // on, so that families filled in turn (a file out of pre-order) need no
  // walk along their lists. Every list the loader builds is in birth order,
  // so the last child is the latest born.
  auto [it, added] = m_lastChild.try_emplace(father, nullptr);
  MemberNode*& last = it->second;
  if (added)
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling) last = c;
  if (AppendAfter(father, last, member)) last = member;
  return false;
}

void FtfLoader::Flush() {
  NameIndex& index = *m_tree.m_index;
  for (std::size_t i = 0; i < m_queued; ++i) index.AddNew(m_queue[i].member, m_queue[i].hash);
  m_queued = 0;
}

void FtfLoader::Enter(const Pending& pending) {
  if (!MaybeSeen(pending.hash)) {
    MarkSeen(pending.hash);
    if (pending.last) m_way.back().first = true;
    if (m_queued == kQueued) Flush();
    m_queue[m_queued++] = pending;
    return;
  }
  Flush();
  Index(pending);
}

void FtfLoader::Index(const Pending& pending) {
  MemberNode* member = pending.member;
  NameIndex& index = *m_tree.m_index;
  NameIndex::Entry* entry = index.Find(member->name, pending.hash);
  if (!entry) {
    index.AddNew(member, pending.hash);
    if (pending.last) m_way.back().first = true;
    return;
  }
  ++entry->count;
  if (pending.last || !Precedes(member, entry->representative)) return;
  // The newcomer comes before the first bearer so far.
  if (std::size_t at = WayPosition(entry->representative); at != kNowhere) m_way[at].first = false;
  entry->representative = member;
}

FileStatus FtfLoader::Run() {
  m_father.reserve(kMaxTextLength);
  std::unique_ptr<MemberNode> member;
  bool plausible = false;
  std::uint32_t hash = 0;
  if (FileStatus s = ReadOne(member, plausible, hash); !s.Ok()) return s;
  auto dateFailure = [this](const MemberNode& m) {
    const bool birth = COperationClanbook::IsValidDate(m.birthYear, m.birthMonth, m.birthDay);
    return Failure(kFileBadDate, birth ? FileProblem::kBadDeathDate : FileProblem::kBadBirthDate,
                   m_in.RecordLine(), m.name);
  };
  m_rootRead = true;
  if (!plausible) return dateFailure(*member);
  if (member->name == m_father)
    return Failure(kFileNoRoot, FileProblem::kRootEndsFile, m_in.RecordLine(), member->name);
  MemberNode* root = member.release();
  root->parent = root->firstChild = root->nextSibling = nullptr;
  m_tree.m_root = root;
  NameIndex& index = *m_tree.m_index;
  // Files this program writes hold one record a line, of some tens of bytes.
  index.Reserve(m_total / 48 + 16);
  const std::uint32_t rootHash = hash;
  index.AddNew(root, rootHash);
  m_way.assign(1, Step{root, true});
  // About 16 bits a name: one name in sixteen, or fewer, is looked up in the
  // index only because its bit was set by another.
  std::size_t bits = 1 << 12;
  while (bits < (m_total / 48 + 16) * 16 && bits < (std::size_t{1} << 32)) bits *= 2;
  m_seen = ZeroedArray<std::uint64_t>(bits / 64);
  m_seenMask = static_cast<std::uint32_t>(bits - 1);
  MarkSeen(rootHash);

  for (;;) {
    FileStatus s = ReadOne(member, plausible, hash);
    if (!s.Ok() || member->name == m_father || member->name == kEnd) {
      Flush();
      return s;
    }
    if (!plausible) return dateFailure(*member);
    std::size_t at = kNowhere;
    MemberNode* father = FindFather(at);
    if (!father)
      return Failure(kFileBadRelation, FileProblem::kUnknownFather, m_in.RecordLine(), m_father);
    if (CompareBirthDates(*member, *father) < 0)
      return Failure(kFileBadDate, FileProblem::kBornBeforeFather, m_in.RecordLine(), member->name);
    MemberNode* linked = member.release();
    const bool last = Link(linked, father, at);
    Enter(Pending{linked, hash, last});
  }
}

namespace {

// Decodes a file in another encoding piece by piece through iconv.
class IconvSource : public FtfSource {
public:
  IconvSource(const char* encoding, std::string_view bytes, std::size_t offset,
              FileProblem onFailure)
      : m_cd(::iconv_open("UTF-8", encoding)),
        m_in(bytes),
        m_offset(offset),
        m_onFailure(onFailure) {}
  ~IconvSource() override {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(m_cd);
  }
  IconvSource(const IconvSource&) = delete;
  IconvSource& operator=(const IconvSource&) = delete;

  bool Next(std::string& out) override {
    if (m_failure != FileProblem::kNone || m_pos == m_in.size()) return false;
    if (m_cd == reinterpret_cast<iconv_t>(-1)) {
      m_failure = m_onFailure;
      return false;
    }
    const std::size_t chunk = std::min(kPiece, m_in.size() - m_pos);
    const std::size_t old = out.size();
    // Neither GB18030 nor UTF-16 takes more than twice its bytes in UTF-8.
    out.resize(old + 2 * chunk + 16);
    char* in = const_cast<char*>(m_in.data() + m_pos);
    std::size_t inLeft = chunk;
    char* to = out.data() + old;
    std::size_t toLeft = out.size() - old;
    const std::size_t r = ::iconv(m_cd, &in, &inLeft, &to, &toLeft);
    const int error = errno;
    out.resize(static_cast<std::size_t>(to - out.data()));
    m_pos += chunk - inLeft;
    // A character cut by the end of the piece is finished by the next one.
    if (r == static_cast<std::size_t>(-1) &&
        !(error == EINVAL && m_pos + inLeft < m_in.size() && inLeft < chunk)) {
      m_failure = m_onFailure;
      return false;
    }
    return true;
  }
  FileProblem Failure() const override { return m_failure; }
  std::size_t Consumed() const override { return m_offset + m_pos; }

private:
  iconv_t m_cd;
  std::string_view m_in;
  std::size_t m_offset;
  std::size_t m_pos = 0;
  FileProblem m_onFailure;
  FileProblem m_failure = FileProblem::kNone;
};

// Whether bytes that are not UTF-8 throughout are still meant as UTF-8: at
// least as many of their runs of non-ASCII bytes (a name, an address) are
// well-formed UTF-8 as are not. In GB18030 text a run is UTF-8 only now and
// then by chance, while a stray byte in a UTF-8 file spoils only its own run.
// `firstBad` is set to the start of the first run that is no UTF-8.
bool MeantAsUtf8(std::string_view text, std::size_t& firstBad) {
  const std::size_t n = text.size();
  std::size_t good = 0, bad = 0;
  firstBad = std::string_view::npos;
  for (std::size_t i = 0; i < n;) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < n && static_cast<unsigned char>(text[end]) >= 0x80) ++end;
    if (textcodec::IsUtf8(text.substr(i, end - i))) {
      ++good;
    } else {
      if (firstBad == std::string_view::npos) firstBad = i;
      ++bad;
    }
    i = end;
  }
  return good > 0 && good >= bad;
}

FileStatus LoadWith(FtfReader& in, COperationClanbook& out, const ReadProgress& progress,
                    std::size_t total, bool* rootRead = nullptr) {
  FtfLoader loader(out, in, progress, total);
  FileStatus status = loader.Run();
  if (rootRead) *rootRead = loader.RootRead();
  if (!status.Ok()) out.Clear();
  return status;
}

}  // namespace

namespace ftf {

FileStatus Read(std::string_view bytes, COperationClanbook& out, const ReadProgress& progress) {
  out.Clear();
  try {
    // UTF-16 with its byte-order mark.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
      IconvSource source(bytes[0] == '\xFE' ? "UTF-16BE" : "UTF-16LE", bytes.substr(2), 2,
                         FileProblem::kBadUtf16);
      FtfReader in(source);
      return LoadWith(in, out, progress, bytes.size());
    }
    // NUL bytes in text mean UTF-16 without its mark, or no text at all.
    if (bytes.substr(0, 4096).find('\0') != std::string_view::npos)
      return Failure(kFileCannotOpen, FileProblem::kNotText, 0);
    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    const std::string_view text = bom ? bytes.substr(3) : bytes;
    FileStatus status;
    bool rootRead = false;
    {
      FtfReader in(text);
      status = LoadWith(in, out, progress, bytes.size(), &rootRead);
      // The whole file must be text whatever the reader stopped at, so that
      // the result does not depend on where bytes that are no UTF-8 lie.
      const bool undecided =
          status.code == FtfReader::kNotUtf8 || (status.Ok() && !textcodec::IsUtf8(in.Rest()));
      if (!undecided) return status;
    }
    out.Clear();
    // A file with a UTF-8 mark or with UTF-8 characters is UTF-8 with some bad
    // bytes, never to be read in another encoding: its names would come out
    // garbled without a word. A file whose first record already failed is
    // judged by its first megabyte, so that a large file that is no genealogy
    // is refused without a pass over all of it.
    std::size_t firstBad = 0;
    auto badUtf8 = [&] {
      MeantAsUtf8(text, firstBad);
      return Failure(kFileCannotOpen, FileProblem::kBadUtf8,
                     CountLines(text.substr(0, firstBad)) + 1);
    };
    if (bom || MeantAsUtf8(rootRead ? text : text.substr(0, kPiece), firstBad)) return badUtf8();
    // Older Windows programs wrote GB18030 (or its subsets GBK and GB2312)
    // without any mark.
    IconvSource source("GB18030", bytes, 0, FileProblem::kBadLegacyText);
    FtfReader in(source);
    status = LoadWith(in, out, progress, bytes.size());
    if (!rootRead && status.Ok() && MeantAsUtf8(text, firstBad)) {
      out.Clear();
      return badUtf8();
    }
    return status;
  } catch (const std::bad_alloc&) {
    // A member read but not yet linked is released by its owner; all linked
    // members go with the tree.
    out.Clear();
    return Failure(kFileNoMemory, FileProblem::kNoMemory, 0);
  }
}

}  // namespace ftf

namespace {

char* WriteNumber(char* out, std::int32_t value) {
  return std::to_chars(out, out + 11, value).ptr;  // "-2147483648" is the longest
}

char* WriteText(char* out, std::u16string_view text, bool& plain) {
  if (text.size() <= kMaxTextLength) return textcodec::WriteUtf8(out, text, plain);
  // Longer than the file allows: Save refuses such a member; this visitor on
  // its own writes the first kMaxTextLength code units.
  return textcodec::WriteUtf8(out, text.substr(0, kMaxTextLength), plain);
}

// Three texts of 127 code units at 3 bytes each, eight numbers of 11
// characters, the blanks and the line break.
constexpr std::size_t kMaxRecordBytes = 3 * 3 * kMaxTextLength + 8 * 11 + 16;

// Writes the member's record at `p`, which has room for kMaxRecordBytes;
// clears `plain` when a text holds what WhyNotStorable looks for.
char* WriteRecord(char* p, const MemberNode* member, bool& plain) {
  p = WriteText(p, member->name, plain);
  for (std::int32_t value :
       {member->birthYear, member->birthMonth, member->birthDay, member->married}) {
    *p++ = ' ';
    p = WriteNumber(p, value);
  }
  *p++ = ' ';
  if (member->address.empty()) {
    std::memcpy(p, "end", 3);
    p += 3;
  } else {
    p = WriteText(p, member->address, plain);
  }
  *p++ = ' ';
  p = WriteNumber(p, member->alive);
  if (member->alive == 0) {
    for (std::int32_t value : {member->deathYear, member->deathMonth, member->deathDay}) {
      *p++ = ' ';
      p = WriteNumber(p, value);
    }
  }
  *p++ = ' ';
  if (member->parent) {
    p = WriteText(p, member->parent->name, plain);
  } else {
    std::memcpy(p, "-1", 2);
    p += 2;
  }
  *p++ = '\r';
  *p++ = '\n';
  return p;
}

}  // namespace

void COperationClanbook::WriteMember(std::string& out, const MemberNode* member) {
  if (!member) return;
  char record[kMaxRecordBytes];
  bool plain = true;
  out.append(record, WriteRecord(record, member, plain));
}

namespace {

// Why the member's record would not read back as written, or kNone. `plain`:
// writing the record found no text with a blank, a control character or a
// lone surrogate, so that only the cheap checks are left.
FileStatus MemberProblem(const MemberNode* member, bool plain = false) {
  const std::u16string_view name = member->name;
  if (plain && !name.empty() && name.size() <= kMaxTextLength &&
      member->address.size() <= kMaxTextLength &&
      (member->parent ? name != kEnd && name != member->parent->name : name != kNoFather))
    return {};
  FileStatus status;
  status.code = kFileCannotWrite;
  status.detail = member->name;
  if (TextProblem t = WhyNotStorable(member->name, true); t != TextProblem::kNone) {
    status.problem = FileProblem::kNameNotStorable;
    status.text = t;
  } else if (t = WhyNotStorable(member->address, false); t != TextProblem::kNone) {
    status.problem = FileProblem::kAddressNotStorable;
    status.text = t;
  } else if (!member->parent) {
    // The root's own father field is "-1": a root of that name reads as the
    // end of the file.
    if (member->name == kNoFather) status.problem = FileProblem::kRootNamedNoFather;
  } else if (member->name == kEnd) {
    status.problem = FileProblem::kNamedEnd;
  } else if (member->name == member->parent->name) {
    status.problem = FileProblem::kNamedLikeFather;
  }
  if (status.problem == FileProblem::kNone) return {};
  return status;
}

}  // namespace

namespace ftf {

FileStatus Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  const MemberNode* root = genealogy.GetRootLink();
  if (!root) return Failure(kFileCannotWrite, FileProblem::kNothingToSave, 0);
  try {
    // The text goes out in pieces of about a megabyte, so that a large
    // genealogy needs no second copy of itself in memory. Records are written
    // straight into the piece.
    struct Piece {
      std::unique_ptr<char[]> bytes{new char[kPiece + kMaxRecordBytes]};
      char* end = bytes.get();
      FileStatus status;
      std::string_view Text() const {
        return {bytes.get(), static_cast<std::size_t>(end - bytes.get())};
      }
    } piece;
    // A root name that begins with U+FEFF would be taken for a byte-order mark
    // when the file is read again and come back one character shorter; a real
    // mark in front keeps it. Every other file is written without one.
    if (!root->name.empty() && root->name.front() == u'\uFEFF') {
      std::memcpy(piece.end, "\xEF\xBB\xBF", 3);
      piece.end += 3;
    }
    genealogy.VisitPreOrder(
        piece, genealogy.GetRootLink(), [&sink](Piece& out, MemberNode* member) {
          if (!out.status.Ok()) return;
          bool plain = true;
          char* end = WriteRecord(out.end, member, plain);
          if (FileStatus s = MemberProblem(member, plain); !s.Ok()) {
            out.status = std::move(s);
            return;
          }
          out.end = end;
          if (out.Text().size() >= kPiece) {
            if (!sink(out.Text()))
              out.status = Failure(kFileCannotWrite, FileProblem::kWriteFailed, 0);
            out.end = out.bytes.get();
          }
        });
    if (!piece.status.Ok()) return piece.status;
    // The piece has room for a record after it, enough for the end line.
    std::memcpy(piece.end, kEndLine.data(), kEndLine.size());
    piece.end += kEndLine.size();
    if (!sink(piece.Text())) return Failure(kFileCannotWrite, FileProblem::kWriteFailed, 0);
    return {};
  } catch (const std::bad_alloc&) {
    return Failure(kFileCannotWrite, FileProblem::kNoMemory, 0);
  }
}

FileStatus CheckWritable(const COperationClanbook& genealogy) {
  if (!genealogy.GetRootLink()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave, 0);
  FileStatus status;
  genealogy.VisitPreOrder(status, genealogy.GetRootLink(), [](FileStatus& s, MemberNode* m) {
    if (s.Ok()) s = MemberProblem(m);
  });
  return status;
}

FileStatus LoadFile(const std::filesystem::path& path, COperationClanbook& out,
                    const ReadProgress& progress) {
  out.Clear();
  return ReadFileBytes(
      path,
      [&out](std::string_view bytes, const ReadProgress& release) {
        return Read(bytes, out, release);
      },
      progress);
}

FileStatus SaveFile(const std::filesystem::path& path, const COperationClanbook& genealogy) {
  return WriteFileAtomically(
      path, genealogy, [&genealogy](const WriteSink& sink) { return Write(genealogy, sink); });
}

}  // namespace ftf

int COperationClanbook::Save(const std::filesystem::path& fileName) const {
  return ftf::SaveFile(fileName, *this).code;
}

int COperationClanbook::Load(const std::filesystem::path& fileName) {
  return ftf::LoadFile(fileName, *this).code;
}
