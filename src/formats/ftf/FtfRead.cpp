// The .ftf reader: the encoding of the file, the records, and their fields;
// the tree is built by the model's TreeLoader.
#include <iconv.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include "formats/ftf/FtfCodec.h"
#include "formats/ftf/FtfLimits.h"
#include "formats/ftf/FtfReader.h"
#include "model/COperationClanbook.h"
#include "model/TextCodec.h"
#include "model/TreeLoader.h"

using ftf::CountLines;
using ftf::kEnd;
using ftf::kPiece;

namespace {

// A record after its name, which the reader reads on its own so as to start
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

// Reads the records one after the other and hands them to the tree.
class RecordReader {
public:
  RecordReader(COperationClanbook& tree, FtfReader& in, const ReadProgress& progress,
               std::size_t total)
      // Files this program writes hold one record a line, of some tens of bytes.
      : m_loader(tree, total / 48 + 16), m_in(in), m_progress(progress), m_total(total) {}

  FileStatus Run();
  // Whether the first record was read whole: a file whose first record does
  // not parse is no genealogy in any encoding.
  bool RootRead() const { return m_rootRead; }

private:
  FileStatus ReadOne(std::unique_ptr<MemberNode>& member, bool& plausible, std::uint32_t& hash);
  FileStatus DateFailure(const MemberNode& m) const {
    const bool birth = COperationClanbook::IsValidDate(m.birthYear, m.birthMonth, m.birthDay);
    return Failure(kFileBadDate, birth ? FileProblem::kBadDeathDate : FileProblem::kBadBirthDate,
                   m_in.RecordLine(), m.name);
  }

  TreeLoader m_loader;
  FtfReader& m_in;
  const ReadProgress& m_progress;
  std::size_t m_total;
  std::size_t m_nextReport = kPiece;
  std::u16string m_father;
  bool m_rootRead = false;
};

FileStatus RecordReader::ReadOne(std::unique_ptr<MemberNode>& member, bool& plausible,
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
    hash = TreeLoader::Hash(member->name);
    m_loader.Prefetch(hash);
    plausible = ReadFieldsAfterName(m_in, member.get(), m_father) != 0;
  }
  if (m_in.Error() != kFileOk) return Failure(m_in.Error(), m_in.Problem(), m_in.Line());
  return {};
}

FileStatus RecordReader::Run() {
  m_father.reserve(kMaxTextLength);
  std::unique_ptr<MemberNode> member;
  bool plausible = false;
  std::uint32_t hash = 0;
  if (FileStatus s = ReadOne(member, plausible, hash); !s.Ok()) return s;
  m_rootRead = true;
  if (!plausible) return DateFailure(*member);
  if (member->name == m_father)
    return Failure(kFileNoRoot, FileProblem::kRootEndsFile, m_in.RecordLine(), member->name);
  m_loader.SetRoot(std::move(member), hash);
  for (;;) {
    FileStatus s = ReadOne(member, plausible, hash);
    if (!s.Ok() || member->name == m_father || member->name == kEnd) {
      m_loader.Finish();
      return s;
    }
    if (!plausible) return DateFailure(*member);
    switch (m_loader.Add(member, hash, m_father)) {
      case TreeLoader::Added::kAdded:
        break;
      case TreeLoader::Added::kUnknownFather:
        return Failure(kFileBadRelation, FileProblem::kUnknownFather, m_in.RecordLine(), m_father);
      case TreeLoader::Added::kBornBeforeFather:
        return Failure(kFileBadDate, FileProblem::kBornBeforeFather, m_in.RecordLine(),
                       member->name);
    }
  }
}

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
  RecordReader loader(out, in, progress, total);
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
