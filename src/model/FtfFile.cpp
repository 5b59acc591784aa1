// The genealogy file (.ftf): reading and writing records, Load and Save.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <new>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "COperationClanbook.h"
#include "FtfReader.h"
#include "NameIndex.h"
#include "TextCodec.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
}

constexpr std::string_view kEndLine = "end 1999 12 2 1 end 1 end";
constexpr std::u16string_view kEnd = u"end";

int CompareBirth(const MemberNode* a, const MemberNode* b) {
  return COperationClanbook::CompareDates(a->birthYear, a->birthMonth, a->birthDay, b->birthYear,
                                          b->birthMonth, b->birthDay);
}

// Reads the whole file. kFileOk, or kFileCannotOpen.
int ReadWholeFile(const std::filesystem::path& fileName, std::string& bytes) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kFileCannotOpen;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return kFileCannotOpen;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
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
void LinkChild(MemberNode* father, MemberNode* child, TailHints& hints) {
  child->parent = father;
  child->firstChild = nullptr;
  child->nextSibling = nullptr;
  TailHint& hint = hints.For(father);
  if (!father->firstChild) {
    father->firstChild = child;
    hint.last = hint.runStart = child;
    hint.beforeRun = nullptr;
    return;
  }
  const int againstLast = CompareBirth(hint.last, child);
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
  while (CompareBirth(next, child) < 0) {
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
  // A UTF-8 word of more than four bytes per allowed code unit is too long
  // without decoding it.
  if (word.size() > 4 * kMaxTextLength || !textcodec::DecodeUtf8(word, out, kMaxTextLength)) {
    m_error = kFileBadDate;
    return false;
  }
  return true;
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
    m_error = kFileBadDate;
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

void AppendNumber(std::string& out, std::int32_t value) {
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  out.append(buffer, end);
}

}  // namespace

void COperationClanbook::WriteMember(std::string& out, const MemberNode* member) {
  if (!member) return;
  textcodec::AppendUtf8(out, member->name);
  for (std::int32_t value :
       {member->birthYear, member->birthMonth, member->birthDay, member->married}) {
    out.push_back(' ');
    AppendNumber(out, value);
  }
  out.push_back(' ');
  if (member->address.empty())
    out.append("end");
  else
    textcodec::AppendUtf8(out, member->address);
  out.push_back(' ');
  AppendNumber(out, member->alive);
  if (member->alive == 0) {
    for (std::int32_t value : {member->deathYear, member->deathMonth, member->deathDay}) {
      out.push_back(' ');
      AppendNumber(out, value);
    }
  }
  out.push_back(' ');
  if (member->parent)
    textcodec::AppendUtf8(out, member->parent->name);
  else
    out.append("-1");
  out.append("\r\n");
}

int COperationClanbook::Save(const std::filesystem::path& fileName) const {
  try {
    std::string text;
    bool storable = true;
    VisitPreOrder(text, m_root, [&storable](std::string& out, MemberNode* member) {
      // A record that would not read back as written (a blank in a name, an
      // empty name, a later member named "end" or after its father, which the
      // reader takes for the end of the file) is never written: the old file
      // stays and the failure is reported instead of losing members later.
      if (!storable) return;
      if (!IsStorableName(member->name) || !IsStorableAddress(member->address) ||
          (member->parent && (member->name == kEnd || member->name == member->parent->name))) {
        storable = false;
        return;
      }
      WriteMember(out, member);
    });
    if (!storable) return kFileCannotWrite;
    text.append(kEndLine);
    return WriteFileAtomically(fileName, text) ? kFileOk : kFileCannotWrite;
  } catch (const std::bad_alloc&) {
    return kFileCannotWrite;
  }
}

int COperationClanbook::Load(const std::filesystem::path& fileName) {
  Clear();
  try {
    std::string bytes;
    if (int result = ReadWholeFile(fileName, bytes); result != kFileOk) return result;
    std::string converted;
    std::string_view text;
    if (!textcodec::DecodeFile(bytes, converted, text)) return kFileCannotOpen;
    return LoadText(text);
  } catch (const std::bad_alloc&) {
    Clear();
    return kFileNoMemory;
  }
}

int COperationClanbook::LoadText(std::string_view text) {
  FtfReader in(text);
  std::u16string father;
  father.reserve(kMaxTextLength);

  auto* root = new (std::nothrow) MemberNode;
  if (!root) return kFileNoMemory;
  int plausible = ReadMember(in, root, father);
  if (in.Error() != kFileOk || plausible == 0 || root->name == father) {
    const int result = in.Error() != kFileOk ? in.Error()
                       : plausible == 0      ? kFileBadDate
                                             : kFileNoRoot;
    delete root;
    return result;
  }
  root->parent = root->firstChild = root->nextSibling = nullptr;
  m_root = root;
  m_index->Add(root, true);

  TailHints hints;
  for (;;) {
    auto* member = new (std::nothrow) MemberNode;
    if (!member) {
      Clear();
      return kFileNoMemory;
    }
    plausible = ReadMember(in, member, father);
    int failure = in.Error();
    if (failure == kFileOk) {
      if (member->name == father || member->name == kEnd) {
        delete member;
        return kFileOk;
      }
      MemberNode* found = nullptr;
      if (plausible == 0) {
        failure = kFileBadDate;
      } else {
        FindByName(m_root, found, father);
        if (!found)
          failure = kFileBadRelation;
        else if (CompareBirth(member, found) < 0)
          failure = kFileBadDate;
      }
      if (failure == kFileOk) {
        LinkChild(found, member, hints);
        m_index->Add(member, false);
        continue;
      }
    }
    delete member;
    Clear();
    return failure;
  }
}
