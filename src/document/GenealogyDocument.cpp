#include "document/GenealogyDocument.h"

#include "formats/CbkFormat.h"
#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "formats/io/AtomicFile.h"
#include "formats/io/PreviousVersion.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QUndoCommand>

#include <cassert>
#include <filesystem>
#include <new>
#include <string>

namespace {

// Where FileNameOf keeps a byte that is no UTF-8.
constexpr char16_t kEscapeFirst = 0xDC80;
constexpr char16_t kEscapeLast = 0xDCFF;

bool IsEscapedByte(QChar c, const QString& text, qsizetype i) {
  // A low surrogate after a high one is half of a real character.
  return c.unicode() >= kEscapeFirst && c.unicode() <= kEscapeLast &&
         (i == 0 || !text[i - 1].isHighSurrogate());
}

// The length of the UTF-8 sequence at `bytes[i]`; 0 when it is none (a stray
// byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
qsizetype Utf8Length(const QByteArray& bytes, qsizetype i) {
  const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  qsizetype length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (qsizetype k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return length;
}

}  // namespace

std::filesystem::path FilePathOf(const QString& fileName) {
  qsizetype escaped = 0;
  while (escaped < fileName.size() && !IsEscapedByte(fileName[escaped], fileName, escaped))
    ++escaped;
  if (escaped == fileName.size())
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
  std::string bytes;
  qsizetype from = 0;
  for (qsizetype i = 0; i <= fileName.size(); ++i) {
    if (i < fileName.size() && !IsEscapedByte(fileName[i], fileName, i)) continue;
    bytes += QFile::encodeName(fileName.mid(from, i - from)).toStdString();
    if (i < fileName.size()) bytes.push_back(static_cast<char>(fileName[i].unicode() - 0xDC00));
    from = i + 1;
  }
  return std::filesystem::path(bytes);
}

QString FileNameOf(const QByteArray& bytes) {
  QString name;
  qsizetype from = 0;
  for (qsizetype i = 0; i < bytes.size();) {
    if (const qsizetype length = Utf8Length(bytes, i)) {
      i += length;
      continue;
    }
    name += QString::fromUtf8(bytes.mid(from, i - from));
    name += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
    from = ++i;
  }
  return name + QString::fromUtf8(bytes.mid(from));
}

namespace {

QString NameOf(const MemberData& data) {
  return QString::fromStdU16String(data.name);
}

}  // namespace

// Adding a member: the member leaves the tree again on undo, and belongs to the
// command while it is out.
class GenealogyDocument::AddCommand : public QUndoCommand {
public:
  AddCommand(GenealogyDocument& document, MemberNode* father, MemberNode* member)
      : m_document(document), m_father(father), m_member(member) {
    setText(father ? GenealogyDocument::tr("增加孩子 %1").arg(NameOf(*member))
                   : GenealogyDocument::tr("设为根结点 %1").arg(NameOf(*member)));
  }
  ~AddCommand() override {
    if (m_owned) COperationClanbook::ReleaseSubtree(m_member);
  }
  void redo() override {
    if (m_father)
      m_document.InsertChild(m_father, m_member);
    else
      m_document.InsertRootAbove(m_member);
    m_owned = false;
    emit m_document.memberConcerned(m_member);
  }
  void undo() override {
    // Undone in the order done, the member has no children of its own here.
    assert(!m_father ? !m_member->parent : m_member->parent == m_father);
    MemberNode* shown = m_father ? m_father : m_member->firstChild;
    if (!m_father && m_member->firstChild)
      m_document.TakeRootAbove(m_member);
    else
      m_document.Take(m_member);
    m_owned = true;
    emit m_document.memberConcerned(shown);
  }

private:
  GenealogyDocument& m_document;
  MemberNode* const m_father;
  MemberNode* const m_member;
  bool m_owned = true;
};

class GenealogyDocument::ChangeCommand : public QUndoCommand {
public:
  ChangeCommand(GenealogyDocument& document, MemberNode* member, const MemberData& data)
      : m_document(document), m_member(member), m_before(*member), m_after(data) {
    setText(
        m_before.name == m_after.name
            ? GenealogyDocument::tr("更改资料 %1").arg(NameOf(m_before))
            : GenealogyDocument::tr("更改姓名 %1 为 %2").arg(NameOf(m_before), NameOf(m_after)));
    if (m_before.name != m_after.name) FindNamers();
  }
  void redo() override {
    Apply(m_after);
    for (Namer& n : m_namers) n.Name(m_document, m_before.name, m_after.name);
  }
  void undo() override {
    for (Namer& n : m_namers) n.Name(m_document, m_after.name, m_before.name);
    Apply(m_before);
  }

private:
  // A member whose record names the renamed one as his 生父 or 兼祧 father:
  // names are how records point at members, so they follow the rename.
  struct Namer {
    MemberNode* member;
    bool birthFather, secondFather;
    void Name(GenealogyDocument& document, const std::u16string& from,
              const std::u16string& to) const {
      MemberRecord record = member->extra.Record();
      if (birthFather && record.birthFather == from) record.birthFather = to;
      if (secondFather && record.secondFather == from) record.secondFather = to;
      document.SetRecord(member, record,
                         birthFather ? RecordField::kBirthFather : RecordField::kSecondFather);
    }
  };
  // One walk of the book, at the rename; the common member without a record
  // costs a pointer test.
  void FindNamers() {
    const COperationClanbook& tree = m_document.Genealogy();
    tree.VisitPreOrder(m_namers, tree.Root(), [this](std::vector<Namer>& out, MemberNode* m) {
      if (!m->extra.HasRecord()) return;
      const MemberRecord& r = m->extra.Record();
      const bool birth = r.birthFather == m_before.name;
      const bool second = r.secondFather == m_before.name;
      if (birth || second) out.push_back({m, birth, second});
    });
  }
  void Apply(const MemberData& data) {
    m_document.SetData(m_member, data);
    emit m_document.memberConcerned(m_member);
  }

  GenealogyDocument& m_document;
  MemberNode* const m_member;
  const MemberData m_before;
  const MemberData m_after;
  std::vector<Namer> m_namers;
};

// Deleting a member with its descendants: they are taken out, not released, so
// that undo puts them back at the same place; the command releases them only
// if it is dropped while they are out.
class GenealogyDocument::DeleteCommand : public QUndoCommand {
public:
  DeleteCommand(GenealogyDocument& document, MemberNode* member)
      : m_document(document), m_member(member) {
    setText(GenealogyDocument::tr("删除 %1").arg(NameOf(*member)));
  }
  ~DeleteCommand() override {
    if (m_owned) COperationClanbook::ReleaseSubtree(m_member);
  }
  void redo() override {
    m_place = m_document.Take(m_member);
    m_owned = true;
    emit m_document.memberConcerned(m_place.parent);
  }
  void undo() override {
    m_document.Restore(m_member, m_place);
    m_owned = false;
    emit m_document.memberConcerned(m_member);
  }

private:
  GenealogyDocument& m_document;
  MemberNode* const m_member;
  COperationClanbook::SubtreePlace m_place;
  bool m_owned = false;
};

GenealogyDocument::GenealogyDocument(QObject* parent) : QObject(parent) {
  m_undoStack.setUndoLimit(0);  // as deep as memory allows
  connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this] { UpdateModified(); });
  // What changed since the last save to the .cbk, from the same
  // announcements the views follow: whatever changes the tree says so. Only
  // while a .cbk is held: any other save writes the whole book, and keeping
  // count would make an edit of a large .ftf book walk what it touches.
  connect(this, &GenealogyDocument::memberAdded, this, [this](MemberNode* member) {
    if (m_book) m_changes.Entered(member);
  });
  connect(this, &GenealogyDocument::memberAboutToBeRemoved, this, [this](MemberNode* member) {
    if (!m_book) return;
    m_changes.Leaving(member);
    m_genealogy.VisitPreOrder(*this, member->firstChild,
                              [](GenealogyDocument& d, MemberNode* m) { d.HoldPhotoBytes(m); });
    HoldPhotoBytes(member);
  });
  connect(this, &GenealogyDocument::memberChanged, this, [this](MemberNode* member) {
    if (m_book) m_changes.Changed(member);
  });
  connect(this, &GenealogyDocument::rootReplaced, this, [this](MemberNode* leaving) {
    if (!m_book) return;
    MemberNode* root = m_genealogy.Root();
    if (leaving) {
      m_changes.Left(leaving);
      m_changes.Changed(root);  // the root again, without a father
    } else {
      m_changes.EnteredAlone(root);
      m_changes.Changed(root->firstChild);  // the old root, now his son
    }
  });
  connect(this, &GenealogyDocument::bookDataChanged, this, [this] {
    if (m_book) m_changes.BookDataChanged();
  });
}

GenealogyDocument::OpenedBook::OpenedBook() = default;
GenealogyDocument::OpenedBook::~OpenedBook() = default;

GenealogyDocument::~GenealogyDocument() {
  // The commands release what they hold before the tree goes.
  m_undoStack.blockSignals(true);
  m_undoStack.clear();
}

bool GenealogyDocument::IsModified() const {
  return m_forcedModified || !m_undoStack.isClean();
}

void GenealogyDocument::SetModified(bool modified) {
  m_forcedModified = modified;
  if (!modified) m_undoStack.setClean();
  UpdateModified();
}

void GenealogyDocument::UpdateModified() {
  const bool modified = IsModified();
  if (modified == m_lastModified) return;
  m_lastModified = modified;
  emit modifiedChanged(modified);
}

void GenealogyDocument::StartOver() {
  m_undoStack.clear();
  m_undoStack.setClean();
}

int GenealogyDocument::Load(const QString& fileName) {
  OpenedBook loaded;
  const FileStatus status = ReadBook(fileName, loaded, false);
  if (!status.Ok()) return status.code;
  AdoptBook(loaded, fileName);
  // The old genealogy goes here, once the views have let go of it.
  return status.code;
}

int GenealogyDocument::Save(const QString& fileName) {
  const FileStatus status = SaveBook(fileName, false);
  if (status.Ok()) MarkSaved(fileName);
  return status.code;
}

namespace {

bool IsBookFile(const QString& fileName) {
  const formats::FormatEntry* entry = formats::FormatOfFile(FilePathOf(fileName).string());
  return entry && entry->id == formats::FormatId::kCbk;
}

}  // namespace

GenealogyDocument::FileStamp GenealogyDocument::StampOf(const QString& fileName) {
  const fileio::FileStamp stamp =
      fileName.isEmpty() ? fileio::FileStamp() : fileio::StampOf(FilePathOf(fileName));
  return FileStamp{stamp.exists, stamp.size, stamp.modifiedNs, stamp.inode};
}

FileStatus GenealogyDocument::ReadGenealogy(const QString& fileName, COperationClanbook& out,
                                            const ReadProgress& progress, PoemFileResult* poem) {
  // A .cbk read here is closed again: its pictures stay in it.
  if (IsBookFile(fileName)) return formats::ReadBookFile(FilePathOf(fileName), out, progress, poem);
  return formats::LoadFtfBook(FilePathOf(fileName), out, progress, poem);
}

QString GenealogyDocument::BackupName(const QString& fileName) {
  return fileName + QStringLiteral(".bak");
}

namespace {

GenealogyDocument::PreviousVersion::Outcome OutcomeOf(fileio::Kept kept) {
  using P = GenealogyDocument::PreviousVersion;
  switch (kept) {
    case fileio::Kept::kNothingToKeep:
      return P::kNothingToKeep;
    case fileio::Kept::kKept:
      return P::kKept;
    case fileio::Kept::kNameTooLong:
      return P::kNameTooLong;
    case fileio::Kept::kBackupIsFolder:
      return P::kBackupIsFolder;
    case fileio::Kept::kNotKept:
      return P::kNotKept;
  }
  return P::kNotKept;
}

}  // namespace

FileStatus GenealogyDocument::WriteGenealogy(const COperationClanbook& genealogy,
                                             const QString& fileName, bool keepPrevious,
                                             PreviousVersion* previous) {
  formats::FtfFormat format;
  std::filesystem::path backup;
  fileio::PreviousVersion kept;
  if (keepPrevious && genealogy.Root()) {
    // A save that is refused up front costs no copy of a large file.
    if (const FileStatus check = formats::FtfFormat::CheckWritable(genealogy); !check.Ok())
      return check;
    // Saving through a link replaces the file it refers to: the previous
    // version is kept beside that file.
    const std::filesystem::path target = SaveTargetOf(FilePathOf(fileName));
    backup = FilePathOf(BackupName(QFile::decodeName(target.c_str())));
    kept.Hold(target, backup);
  }
  const FileStatus status = formats::WriteFile(format, genealogy, FilePathOf(fileName));
  const fileio::Kept outcome = kept.Settle(status.Ok());
  if (previous) {
    previous->outcome = OutcomeOf(outcome);
    previous->backupName = backup.empty() ? QString() : QFile::decodeName(backup.c_str());
  }
  return status;
}

void GenealogyDocument::ReplaceAll(COperationClanbook& incoming, const QString& fileName,
                                   bool modified, std::unique_ptr<formats::CbkBook> file) {
  emit membersAboutToBeReleased();
  emit aboutToReset();
  m_genealogy.Swap(incoming);
  m_book = std::move(file);
  m_changes.Clear();
  StartOver();
  m_fileName = fileName;
  m_fileStamp = StampOf(fileName);
  m_stampedName = fileName;
  m_forcedModified = modified;
  emit reset();
  UpdateModified();
}

void GenealogyDocument::Adopt(COperationClanbook& loaded, const QString& fileName) {
  ReplaceAll(loaded, fileName, false);
}

void GenealogyDocument::MarkSaved(const QString& fileName) {
  if (fileName == m_fileName) {
    m_fileStamp = StampOf(fileName);
    m_stampedName = fileName;
  }
  SetModified(false);
  emit saved(fileName);
}

bool GenealogyDocument::FileChangedOnDisk() const {
  if (m_fileName != m_stampedName || !m_fileStamp.exists) return false;
  const FileStamp now = StampOf(m_fileName);
  return now.exists && now != m_fileStamp;
}

void GenealogyDocument::New() {
  COperationClanbook empty;
  ReplaceAll(empty, QString(), false);
  // The old genealogy goes here, once the views have let go of it.
}

void GenealogyDocument::NotifyReset() {
  // Whatever was unsaved stays unsaved, though it can no longer be undone.
  const bool modified = IsModified();
  emit aboutToReset();
  StartOver();
  m_forcedModified = modified;
  m_changes.Everything();
  emit reset();
  UpdateModified();
}

void GenealogyDocument::Replace(COperationClanbook&& genealogy) {
  COperationClanbook incoming;
  incoming.Swap(genealogy);
  ReplaceAll(incoming, QString(), true);
  // The old genealogy goes here, once the views have let go of it.
}

EditProblem GenealogyDocument::AddMember(MemberNode* father, const MemberData& data) {
  if (EditProblem problem = CheckNewMember(m_genealogy, father, data);
      problem != EditProblem::kNone)
    return problem;
  auto* member = new (std::nothrow) MemberNode;
  if (!member) return EditProblem::kNoMemory;
  static_cast<MemberData&>(*member) = data;
  m_undoStack.push(new AddCommand(*this, father, member));
  return EditProblem::kNone;
}

EditProblem GenealogyDocument::ChangeMember(MemberNode* member, const MemberData& data) {
  if (EditProblem problem = CheckChange(*member, data); problem != EditProblem::kNone)
    return problem;
  m_undoStack.push(new ChangeCommand(*this, member, data));
  return EditProblem::kNone;
}

void GenealogyDocument::DeleteMember(MemberNode* member) {
  m_undoStack.push(new DeleteCommand(*this, member));
}

void GenealogyDocument::InsertChild(MemberNode* father, MemberNode* member) {
  const int row = m_genealogy.PlaceOfNewChild(father, *member);
  emit memberAboutToBeAdded(father, row);
  m_genealogy.InsertMember(father, member);
  assert(m_genealogy.GetSiblingPosition(member) == row + 1);
  emit memberAdded(member);
}

void GenealogyDocument::InsertRootAbove(MemberNode* member) {
  if (!m_genealogy.Root()) {
    emit memberAboutToBeAdded(nullptr, 0);
    m_genealogy.InsertMember(nullptr, member);
    emit memberAdded(member);
    return;
  }
  emit rootAboutToBeReplaced();
  m_genealogy.InsertMember(nullptr, member);
  emit rootReplaced(nullptr);
}

void GenealogyDocument::TakeRootAbove(MemberNode* root) {
  assert(root == m_genealogy.Root());
  emit rootAboutToBeReplaced();
  m_genealogy.TakeRootAbove();
  emit rootReplaced(root);
}

COperationClanbook::SubtreePlace GenealogyDocument::Take(MemberNode* member) {
  emit memberAboutToBeRemoved(member);
  const COperationClanbook::SubtreePlace place = m_genealogy.TakeSubtree(member);
  emit memberRemoved(member);
  return place;
}

void GenealogyDocument::Restore(MemberNode* member, const COperationClanbook::SubtreePlace& place) {
  const int row = place.elder ? m_genealogy.GetSiblingPosition(place.elder) : 0;
  emit memberAboutToBeAdded(place.parent, row);
  m_genealogy.RestoreSubtree(member, place);
  emit memberAdded(member);
}

void GenealogyDocument::SetData(MemberNode* member, const MemberData& data) {
  const bool renamed = member->name != data.name;
  m_genealogy.SetMemberData(member, data);
  emit memberChanged(member, renamed);
}

FileStatus GenealogyDocument::ReadBook(const QString& fileName, OpenedBook& out, bool readOnly,
                                       const ReadProgress& progress) {
  out.file.reset();
  if (!IsBookFile(fileName)) return ReadGenealogy(fileName, out.genealogy, progress, &out.poem);
  return formats::CbkBook::Open(
      FilePathOf(fileName),
      readOnly ? formats::CbkBook::Access::kReadOnly : formats::CbkBook::Access::kReadWrite,
      out.genealogy, out.file, progress);
}

void GenealogyDocument::AdoptBook(OpenedBook& book, const QString& fileName) {
  ReplaceAll(book.genealogy, fileName, false, std::move(book.file));
}

FileStatus GenealogyDocument::SaveBook(const QString& fileName, bool keepPrevious,
                                       PreviousVersion* previous) {
  if (previous) *previous = PreviousVersion();
  if (!IsBookFile(fileName)) return WriteGenealogy(m_genealogy, fileName, keepPrevious, previous);
  const std::filesystem::path path = FilePathOf(fileName);
  if (m_book && OutputIsInput(path, {m_book->Path()}))
    return m_book->SaveChanges(m_genealogy, m_changes);
  // A whole new file, which the book then holds; the pictures come from
  // the file held so far.
  std::filesystem::path backup;
  fileio::PreviousVersion kept;
  if (keepPrevious && m_genealogy.Root()) {
    const std::filesystem::path target = SaveTargetOf(path);
    backup = FilePathOf(BackupName(QFile::decodeName(target.c_str())));
    kept.Hold(target, backup);
  }
  std::unique_ptr<formats::CbkBook> opened;
  const FileStatus status = formats::CbkBook::SaveAs(path, m_genealogy, m_book.get(), &opened);
  const fileio::Kept outcome = kept.Settle(status.Ok());
  if (previous) {
    previous->outcome = OutcomeOf(outcome);
    previous->backupName = backup.empty() ? QString() : QFile::decodeName(backup.c_str());
  }
  if (status.Ok()) {
    m_book = std::move(opened);
    m_changes.Clear();
  }
  return status;
}

bool GenealogyDocument::IsReadOnly() const {
  return m_book && m_book->ReadOnly();
}

qint64 GenealogyDocument::RowsLastSaved() const {
  return m_book ? m_book->RowsWritten() : 0;
}
