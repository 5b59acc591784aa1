// The genealogy file (.ftf): reading and writing records, Load and Save.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "model/AtomicFile.h"
#include "model/COperationClanbook.h"
#include "model/FtfReader.h"
#include "model/NameIndex.h"
#include "model/TextCodec.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
}

constexpr std::string_view kEndLine = "end 1999 12 2 1 end 1 end";
constexpr std::u16string_view kEnd = u"end";
constexpr std::u16string_view kNoFather = u"-1";

// Reads the whole file. kFileOk, or kFileCannotOpen; std::bad_alloc when the
// file does not fit in memory, with the file closed again.
int ReadWholeFile(const std::filesystem::path& fileName, std::string& bytes) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer.
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return kFileCannotOpen;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  // Only a regular file: a device or a pipe could be read without end.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return kFileCannotOpen;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return kFileCannotOpen;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return kFileOk;
}

// Where the loader appends a father's next child. Every children list that the
// loader builds stays in ascending birth order, so a newcomer born after the
// last child belongs at the end, and one born on the last child's day belongs
// before the run of children born that day. Knowing the last child and the
// start of that run spares a walk along the list for a file written in order,
// however many children a father has.
struct TailHint {
  MemberNode* father = nullptr;  // none: free slot
  MemberNode* last = nullptr;
  MemberNode* runStart = nullptr;   // first of the children born on last's day
  MemberNode* beforeRun = nullptr;  // the child before runStart, or none
};

class TailHints {
public:
  TailHint& For(MemberNode* father) {
    if ((m_size + 1) * 2 > m_slots.size()) Grow();
    TailHint* slot = Probe(father);
    if (!slot->father) {
      slot->father = father;
      ++m_size;
    }
    return *slot;
  }

private:
  TailHint* Probe(MemberNode* father) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = (reinterpret_cast<std::uintptr_t>(father) >> 4) * 0x9E3779B97F4A7C15ull >> 20;
    for (i &= mask; m_slots[i].father && m_slots[i].father != father; i = (i + 1) & mask) {
    }
    return &m_slots[i];
  }
  void Grow() {
    std::vector<TailHint> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? 64 : old.size() * 2, TailHint{});
    for (const TailHint& h : old)
      if (h.father) *Probe(h.father) = h;
  }

  std::vector<TailHint> m_slots;
  std::size_t m_size = 0;
};

// Links `child` (born no earlier than `father`) among the father's children
// exactly where InsertInBirthOrder would.
void LinkChild(MemberNode* father, MemberNode* child, TailHint& hint) {
  child->parent = father;
  child->firstChild = nullptr;
  child->nextSibling = nullptr;
  if (!father->firstChild) {
    father->firstChild = child;
    hint.last = hint.runStart = child;
    hint.beforeRun = nullptr;
    return;
  }
  const int againstLast = CompareBirthDates(*hint.last, *child);
  if (againstLast < 0) {  // born after every child: appended
    hint.last->nextSibling = child;
    hint.beforeRun = hint.last;
    hint.last = hint.runStart = child;
    return;
  }
  if (againstLast == 0) {  // before all the children born on that day
    child->nextSibling = hint.runStart;
    if (hint.beforeRun)
      hint.beforeRun->nextSibling = child;
    else
      father->firstChild = child;
    hint.runStart = child;
    return;
  }
  // Born before the last child: the walk of InsertInBirthOrder.
  MemberNode* previous = nullptr;
  MemberNode* next = father->firstChild;
  while (CompareBirthDates(*next, *child) < 0) {
    previous = next;
    next = next->nextSibling;
  }
  child->nextSibling = next;
  if (previous)
    previous->nextSibling = child;
  else
    father->firstChild = child;
  if (next == hint.runStart) hint.beforeRun = child;
}

}  // namespace

bool FtfReader::NextWord(std::string_view& word) {
  const std::size_t n = m_text.size();
  std::size_t pos = m_pos;
  while (pos < n && IsSpace(m_text[pos])) ++pos;
  if (pos == n) {
    m_pos = pos;
    if (m_error == kFileOk) m_error = m_anyWord ? kFileBadRelation : kFileNoRoot;
    return false;
  }
  const std::size_t start = pos;
  while (pos < n && !IsSpace(m_text[pos])) ++pos;
  m_pos = pos;
  m_anyWord = true;
  word = m_text.substr(start, pos - start);
  return true;
}

bool FtfReader::ReadText(std::u16string& out) {
  std::string_view word;
  if (!NextWord(word)) return false;
  switch (textcodec::DecodeUtf8(word, out, kMaxTextLength)) {
    case textcodec::Decoded::kText:
      return true;
    case textcodec::Decoded::kTooLong:
      m_error = kFileBadDate;
      return false;
    case textcodec::Decoded::kMalformed:
      // Only a text that was not checked before can hold a malformed word.
      m_error = kNotUtf8;
      return false;
  }
  return false;
}

bool FtfReader::RestIsUtf8() const {
  return !m_checkUtf8 || textcodec::IsUtf8(m_text.substr(m_pos));
}

bool FtfReader::ReadNumber(std::int32_t& out) {
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
  for (; p != end && digits; ++p) {
    if (*p < '0' || *p > '9' || value > std::int64_t{INT32_MAX} + 1) digits = false;
    value = value * 10 + (*p - '0');
  }
  if (negative) value = -value;
  if (!digits || value < INT32_MIN || value > INT32_MAX) {
    m_error = m_checkUtf8 && !textcodec::IsUtf8(word) ? kNotUtf8 : kFileBadDate;
    return false;
  }
  out = static_cast<std::int32_t>(value);
  return true;
}

int COperationClanbook::ReadMember(FtfReader& in, MemberNode* member, std::u16string& father) {
  if (!in.ReadText(member->name) || !in.ReadNumber(member->birthYear) ||
      !in.ReadNumber(member->birthMonth) || !in.ReadNumber(member->birthDay) ||
      !in.ReadNumber(member->married) || !in.ReadText(member->address) ||
      !in.ReadNumber(member->alive))
    return 0;
  if (member->address == kEnd) member->address.clear();
  if (member->alive == 0 &&
      (!in.ReadNumber(member->deathYear) || !in.ReadNumber(member->deathMonth) ||
       !in.ReadNumber(member->deathDay)))
    return 0;
  if (!in.ReadText(father)) return 0;
  if (!IsValidDate(member->birthYear, member->birthMonth, member->birthDay)) return 0;
  if (member->alive != 0) return 1;
  // A child who died on the day of birth is accepted: the entry commands take
  // such a member, and refusing it here would lock the whole file.
  return CompareDates(member->birthYear, member->birthMonth, member->birthDay, member->deathYear,
                      member->deathMonth, member->deathDay) <= 0 &&
                 IsValidDate(member->deathYear, member->deathMonth, member->deathDay)
             ? 1
             : 0;
}

namespace {

char* WriteNumber(char* out, std::int32_t value) {
  return std::to_chars(out, out + 11, value).ptr;  // "-2147483648" is the longest
}

char* WriteText(char* out, std::u16string_view text) {
  if (text.size() <= kMaxTextLength) return textcodec::WriteUtf8(out, text);
  // Longer than the file allows: Save refuses such a member; this visitor on
  // its own writes the first kMaxTextLength code units.
  return textcodec::WriteUtf8(out, text.substr(0, kMaxTextLength));
}

}  // namespace

void COperationClanbook::WriteMember(std::string& out, const MemberNode* member) {
  if (!member) return;
  // Three texts of 127 code units at 3 bytes each, eight numbers of 11
  // characters, the blanks and the line break.
  char record[3 * 3 * kMaxTextLength + 8 * 11 + 16];
  char* p = WriteText(record, member->name);
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
    p = WriteText(p, member->address);
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
    p = WriteText(p, member->parent->name);
  } else {
    std::memcpy(p, "-1", 2);
    p += 2;
  }
  *p++ = '\r';
  *p++ = '\n';
  out.append(record, p);
}

int COperationClanbook::Save(const std::filesystem::path& fileName) const {
  try {
    AtomicFileWriter file;
    if (!file.Open(fileName)) return kFileCannotWrite;
    // The text goes out in pieces of about a megabyte, so that a large
    // genealogy needs no second copy of itself in memory.
    constexpr std::size_t kPiece = 1 << 20;
    std::string text;
    text.reserve(kPiece + 4096);
    // A root name that begins with U+FEFF would be taken for a byte-order mark
    // when the file is read again and come back one character shorter; a real
    // mark in front keeps it. Every other file is written without one.
    if (m_root && !m_root->name.empty() && m_root->name.front() == u'\uFEFF')
      text.append("\xEF\xBB\xBF");
    bool ok = true;
    VisitPreOrder(text, m_root, [&ok, &file](std::string& out, MemberNode* member) {
      // A record that would not read back as written (a blank in a name, an
      // empty name, a later member named "end" or like its father, or a root
      // named "-1" like its own father field, which the reader takes for the
      // end of the file) is never written: the old file stays and the failure
      // is reported instead of losing members later.
      if (!ok) return;
      const bool endsTheFile = member->parent
                                   ? member->name == kEnd || member->name == member->parent->name
                                   : member->name == kNoFather;
      if (!IsStorableName(member->name) || !IsStorableAddress(member->address) || endsTheFile) {
        ok = false;
        return;
      }
      WriteMember(out, member);
      if (out.size() >= kPiece) {
        ok = file.Write(out);
        out.clear();
      }
    });
    if (!ok) return kFileCannotWrite;
    text.append(kEndLine);
    return file.Write(text) && file.Commit() ? kFileOk : kFileCannotWrite;
  } catch (const std::bad_alloc&) {
    return kFileCannotWrite;
  }
}

int COperationClanbook::Load(const std::filesystem::path& fileName) {
  Clear();
  try {
    std::string bytes;
    if (int result = ReadWholeFile(fileName, bytes); result != kFileOk) return result;
    const std::string_view all = bytes;
    std::string converted;
    // UTF-16 with its byte-order mark.
    if (all.starts_with("\xFF\xFE") || all.starts_with("\xFE\xFF")) {
      if (!textcodec::Utf16ToUtf8(all.substr(2), all[0] == '\xFE', converted))
        return kFileCannotOpen;
      std::string().swap(bytes);
      return LoadText(converted, false);
    }
    // UTF-8, checked word by word as it is read.
    const bool bom = all.starts_with("\xEF\xBB\xBF");
    const int result = LoadText(bom ? all.substr(3) : all, true);
    if (result != FtfReader::kNotUtf8) return result;
    // Not UTF-8 after all: older Windows programs wrote GB18030 (or its
    // subsets GBK and GB2312) without any mark.
    if (bom || !textcodec::Gb18030ToUtf8(all, converted)) return kFileCannotOpen;
    std::string().swap(bytes);
    return LoadText(converted, false);
  } catch (const std::bad_alloc&) {
    // A member read but not yet linked is released by its owner; all linked
    // members go with the tree.
    Clear();
    return kFileNoMemory;
  }
}

namespace {

// The loader reads the root alike in both of its ways: kFileOk with the root
// in `root`, or the result of the load.
int ReadRoot(FtfReader& in, std::u16string& father, MemberNode*& root) {
  auto member = std::make_unique<MemberNode>();
  const int plausible = COperationClanbook::ReadMember(in, member.get(), father);
  if (in.Error() != kFileOk) return in.Error();
  if (plausible == 0) return kFileBadDate;
  if (member->name == father) return kFileNoRoot;
  root = member.release();
  return kFileOk;
}

// The in-order load's answer that the general load must decide.
constexpr int kLoadAnyOrder = 2;

}  // namespace

int COperationClanbook::LoadText(std::string_view text, bool checkUtf8) {
  FtfReader in(text, checkUtf8);
  int result = LoadInOrder(in);
  if (result == kLoadAnyOrder) {
    Clear();
    in = FtfReader(text, checkUtf8);
    result = LoadAnyOrder(in);
  }
  // The whole file must be text whatever the reader stopped at, so that the
  // result does not depend on where the bytes that are no UTF-8 lie.
  if (result != FtfReader::kNotUtf8 && !in.RestIsUtf8()) result = FtfReader::kNotUtf8;
  if (result != kFileOk) Clear();
  return result;
}

int COperationClanbook::LoadInOrder(FtfReader& in) {
  // A file written in pre-order (every file this program writes) names as each
  // member's father one of the members on the way from the root down to the
  // member read before it. Keeping that way on a stack finds the father among
  // a few members at hand, with the place for his next child, and touches
  // neither the index nor anything far away in memory; the index is built in
  // one pass at the end. A file that leaves that way, holds a name twice, or
  // fails in any manner is read again by LoadAnyOrder, which decides the
  // result exactly as the specified search from the root does.
  std::u16string father;
  father.reserve(kMaxTextLength);
  MemberNode* root = nullptr;
  if (const int result = ReadRoot(in, father, root); result != kFileOk) return result;
  root->parent = root->firstChild = root->nextSibling = nullptr;
  m_root = root;

  struct Step {
    MemberNode* member;
    TailHint hint;
  };
  std::vector<Step> way{{root, {}}};
  std::vector<MemberNode*> members{root};
  for (;;) {
    auto member = std::make_unique<MemberNode>();
    const int plausible = ReadMember(in, member.get(), father);
    if (in.Error() != kFileOk) return kLoadAnyOrder;
    if (member->name == father || member->name == kEnd)
      return m_index->AddAllUnique(members) ? kFileOk : kLoadAnyOrder;
    std::size_t at = way.size();
    while (at > 0 && way[at - 1].member->name != father) --at;
    if (plausible == 0 || at == 0 || CompareBirthDates(*member, *way[at - 1].member) < 0)
      return kLoadAnyOrder;
    way.resize(at);
    members.push_back(member.get());
    way.push_back(Step{member.get(), {}});
    Step& step = way[at - 1];
    LinkChild(step.member, member.release(), step.hint);
  }
}

int COperationClanbook::LoadAnyOrder(FtfReader& in) {
  std::u16string father;
  father.reserve(kMaxTextLength);
  MemberNode* root = nullptr;
  if (const int result = ReadRoot(in, father, root); result != kFileOk) return result;
  root->parent = root->firstChild = root->nextSibling = nullptr;
  m_root = root;
  m_index->Add(root, true);

  TailHints hints;
  for (;;) {
    auto member = std::make_unique<MemberNode>();
    const int plausible = ReadMember(in, member.get(), father);
    int failure = in.Error();
    if (failure == kFileOk) {
      if (member->name == father || member->name == kEnd) return kFileOk;
      MemberNode* found = nullptr;
      if (plausible == 0) {
        failure = kFileBadDate;
      } else {
        FindByName(m_root, found, father);
        if (!found)
          failure = kFileBadRelation;
        else if (CompareBirthDates(*member, *found) < 0)
          failure = kFileBadDate;
      }
      if (failure == kFileOk) {
        TailHint& hint = hints.For(found);
        m_index->Add(member.get(), false);
        LinkChild(found, member.release(), hint);
        continue;
      }
    }
    Clear();
    return failure;
  }
}
