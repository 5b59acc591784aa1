// The open genealogy as a document: it owns the tree, the name of its file,
// whether it was changed since it was opened or saved, and the history of its
// edits. Every edit goes through here as an undoable command, and every change
// is announced before and after it happens, so that views follow the tree row
// by row instead of rebuilding themselves.
#pragma once

#include "formats/PoemFile.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"
#include "model/EditRules.h"
#include "model/FileStatus.h"
#include "model/MemberRecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <memory>
#include <vector>

struct MergeChanges;  // merge/BranchMerge.h
namespace formats {
class CbkBook;  // formats/cbk/CbkBook.h
}

// A file name as the interface holds it, as the file system takes it.
// Bytes that are no UTF-8 are held as the lone surrogates U+DC80 to U+DCFF
// (FileNameOf) and come back as the bytes they were.
std::filesystem::path FilePathOf(const QString& fileName);
// The bytes of a file name as given (a command-line argument) as a QString
// that FilePathOf turns back into the same bytes, UTF-8 or not: Qt's own
// decoding puts U+FFFD in place of every stray byte, and a file written under
// the name it gives would be another file.
QString FileNameOf(const QByteArray& bytes);

class GenealogyDocument : public QObject {
  Q_OBJECT
public:
  explicit GenealogyDocument(QObject* parent = nullptr);
  ~GenealogyDocument() override;

  // Readers may walk and search it; changes go through the commands below, or
  // through NotifyReset after the whole tree was replaced.
  COperationClanbook& Genealogy() { return m_genealogy; }
  const COperationClanbook& Genealogy() const { return m_genealogy; }
  MemberNode* Root() const { return m_genealogy.Root(); }
  QUndoStack* UndoStack() { return &m_undoStack; }

  // The name alone, nothing hangs on it: it may be set in place.
  QString& FileName() { return m_fileName; }
  const QString& FileName() const { return m_fileName; }
  void SetFileName(const QString& fileName) { m_fileName = fileName; }

  // Modified: an edit was made or undone since the last open, new or save, or
  // the document was marked so. Undoing or redoing back to that state clears it.
  bool IsModified() const;
  // False: the present state becomes the saved one. True: modified until the
  // next save, whatever is undone.
  void SetModified(bool modified);

  // --- the whole genealogy at once; Load, New and NotifyReset clear the history ---
  // Reads `fileName` into a fresh genealogy and puts it in place only when the
  // whole file was read; a failure leaves the document as it was. Returns the
  // result of COperationClanbook::Load.
  int Load(const QString& fileName);
  // Writes the genealogy; on success the present state is the saved one.
  // Returns the result of COperationClanbook::Save.
  int Save(const QString& fileName);
  // An empty genealogy without a file.
  void New();

  // --- files, in steps that let the slow part run on another thread ---
  // What tells one version of a file from another: replaced by another
  // program, it has another size, time of change or inode.
  struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(const QString& fileName);
  // Reads `fileName` into `out`, emptied first and left empty on failure.
  // A .ftf (any name but a .cbk's) comes with the 字辈 of the poem file
  // beside it; `poem` learns what reading that file gave. Touches no
  // document, so it may run on any thread.
  static FileStatus ReadGenealogy(const QString& fileName, COperationClanbook& out,
                                  const ReadProgress& progress = {},
                                  PoemFileResult* poem = nullptr);
  // What became of the previous version a save was asked to keep.
  struct PreviousVersion {
    enum Outcome {
      kNothingToKeep,  // not asked, no file there yet, or the save failed
      kKept,
      kNameTooLong,  // the file system takes no name as long as the backup's
      kBackupIsFolder,
      kNotKept,  // no hard link and no room for a copy, no permission...
    };
    Outcome outcome = kNothingToKeep;
    QString backupName;  // where it was kept, or would have been
  };
  // Writes `genealogy` through the atomic save. With `keepPrevious`, the
  // file's present contents first become BackupName(fileName), so that one
  // bad save is one step from undone; `previous` learns whether they did.
  // Touches no document; the genealogy must not change meanwhile.
  static FileStatus WriteGenealogy(const COperationClanbook& genealogy, const QString& fileName,
                                   bool keepPrevious, PreviousVersion* previous = nullptr);
  static QString BackupName(const QString& fileName);
  // Puts a genealogy that ReadGenealogy read from `fileName` in place of the
  // present one; `loaded` receives the old one, for the caller to drop.
  void Adopt(COperationClanbook& loaded, const QString& fileName);
  // WriteGenealogy wrote the genealogy to `fileName`: the present state is
  // the saved one, and when that is the document's file, what it holds now
  // is what later saves compare with.
  void MarkSaved(const QString& fileName);
  // The document's file is no longer what was opened or last saved here:
  // another program changed or replaced it. A file that is gone is not.
  bool FileChangedOnDisk() const;
  // The genealogy was replaced or changed behind the document's back: views
  // start over and the history, which no longer fits, is dropped.
  void NotifyReset();

  // --- the book file (.cbk) held open, and any format by its name ---
  // A book read on any thread, with its .cbk held open when it is one.
  struct OpenedBook {
    OpenedBook();
    ~OpenedBook();
    COperationClanbook genealogy;
    std::unique_ptr<formats::CbkBook> file;
    // What the poem file beside a .ftf gave; kMissing for a .cbk, which
    // keeps its own 字辈.
    PoemFileResult poem = NoPoemFile();
  };
  // Reads `fileName` in the format its name marks (.cbk; anything else as
  // .ftf, as always). A .cbk is held open and locked against other programs
  // (kBookInUse when another has it open); `readOnly` opens it without the
  // lock, and a save to it is then refused (kBookReadOnly). Touches no
  // document, so it may run on any thread.
  static FileStatus ReadBook(const QString& fileName, OpenedBook& out, bool readOnly,
                             const ReadProgress& progress = {});
  // Puts a book ReadBook read in place of the present one, its file with it.
  void AdoptBook(OpenedBook& book, const QString& fileName);
  // Saves the book to `fileName` in the format its name marks. To the .cbk
  // the book was read from or last saved to, only what changed since is
  // written, in one transaction (no previous version is kept then); to any
  // other .cbk the whole book, which that file then holds open. Call
  // MarkSaved after; the window runs it with the input held, since it reads
  // the genealogy and what changed.
  FileStatus SaveBook(const QString& fileName, bool keepPrevious,
                      PreviousVersion* previous = nullptr);
  // Why a .cbk or a .gdz archive was refused, in the user's language ("另一个程序正在使用该
  //家谱"); empty for a problem that is no book file's own.
  static QString BookProblemText(FileProblem problem);
  // Whether the .cbk was opened read-only (another program has it open).
  bool IsReadOnly() const;
  // Rows the last save to the held .cbk wrote; -1 after a whole file.
  qint64 RowsLastSaved() const;
  // The fields the book holds that .ftf cannot keep, each named in the
  // user's language, for the question before a save to .ftf; empty when
  // .ftf keeps everything. A 字辈 is kept beside it (formats/PoemFile.h).
  QStringList FieldsFtfWillNotKeep() const;

  // --- a genealogy made elsewhere (an import) ---
  // Puts `genealogy` in place of the open one, as Load does, but it belongs to
  // no file yet: the name is cleared and the document is modified, so that
  // the first Save asks for a name and nothing leaves unsaved without a
  // question. `genealogy` is left empty.
  void Replace(COperationClanbook&& genealogy);

  // --- edits, each pushed on the undo stack ---
  // An edit that breaks a rule of the book (model/EditRules.h) is refused:
  // nothing is pushed or changed, and the problem is returned; kNone when
  // the edit was made.
  // Adds a member with `data` under `father` in birth order; father none: the
  // new root, the old root becoming its only child. kNoMemory when there is no
  // memory for the member.
  EditProblem AddMember(MemberNode* father, const MemberData& data);
  // Gives `member` the data; a new name goes through the name index.
  EditProblem ChangeMember(MemberNode* member, const MemberData& data);
  // Removes `member` with all its descendants; they live on in the history
  // until the command that removed them is dropped.
  void DeleteMember(MemberNode* member);

  // --- the whole record, field by field, each change one command ---
  // Each command is named after the member and the field ("更改 孔丘 的 字"),
  // announces recordChanged and memberChanged, and is refused (false, nothing
  // pushed) when it changes nothing or names no such wife or picture.
  bool ChangeRecordText(MemberNode* member, RecordField field, const QString& text);
  bool ChangeSex(MemberNode* member, Sex sex);
  // `index` among the father's wives; -1: not said.
  bool ChangeMother(MemberNode* member, int index);
  bool ChangeSources(MemberNode* member, const std::vector<Source>& sources);
  // A wife added at `index` (-1: after the others); the children's 生母
  // follow their mothers.
  bool AddSpouse(MemberNode* member, const Spouse& spouse, int index = -1);
  bool ChangeSpouse(MemberNode* member, int index, const Spouse& spouse);
  bool RemoveSpouse(MemberNode* member, int index);
  enum class PhotoProblem { kNone, kNotAPicture, kTooManyBytes, kTooManyPixels };
  // Adds a picture after the others (the first is the portrait); refused
  // unless it is a picture Qt reads of at most kMaxPhotoBytes and
  // kMaxPhotoPixels. Its bytes are held until the book is saved.
  PhotoProblem AddPhoto(MemberNode* member, const QString& caption, const QByteArray& bytes);
  bool ChangePhotoCaption(MemberNode* member, int index, const QString& caption);
  bool RemovePhoto(MemberNode* member, int index);
  static constexpr qint64 kMaxPhotoBytes = 64 << 20;
  static constexpr qint64 kMaxPhotoPixels = 100'000'000;
  // The bytes of a picture: held, or read from the book's file; empty when
  // neither has them.
  QByteArray PhotoBytes(const Photo& photo) const;
  // The book's data: one field (a book field of RecordField) at a time.
  bool ChangeBookText(RecordField field, const QString& text);
  bool ChangeEditionYear(int year);
  // The 字辈 as typed and the 世 of its first character, one command
  // ("更改谱书的 字辈"); the caller has checked the text (CheckPoemText). An
  // empty text is no poem, from 第1世; a 世 beyond 1 to
  // kMaxPoemFirstGeneration is refused.
  bool ChangeGenerationPoem(const QString& text, int firstGeneration);
  // The field's name in the user's language: 字, 行传, 谱名...
  static QString FieldName(RecordField field);
  // The 排行 proposed for `member` (model/MemberRecord.h).
  static QString ProposedRank(const MemberNode* member);

  // --- 修谱: a branch merged back, one step of the history ---
  // Carries out `changes` (made by MakeMergeChanges from a plan of this
  // genealogy) as one undoable command named after `branchRoot`; each added
  // branch and each changed member is announced on its own. False, and nothing
  // pushed, when there is nothing to change.
  bool MergeBranch(MergeChanges changes, const QString& branchRoot);

signals:
  // A child is about to enter `father`'s family at `row` (father none, row 0:
  // the first root of an empty tree); then it has.
  void memberAboutToBeAdded(const MemberNode* father, int row);
  void memberAdded(MemberNode* member);
  // `member` is about to leave with its descendants, still in its place; then
  // it has left, with no father and no sibling, and is not released.
  void memberAboutToBeRemoved(MemberNode* member);
  void memberRemoved(MemberNode* member);
  // A new root is about to go above the old one, or the root above is about to
  // leave its only child as the root again; then it has.
  void rootAboutToBeReplaced();
  void rootReplaced(MemberNode* leaving);
  // The data of `member` changed; its name too when `renamed`.
  void memberChanged(MemberNode* member, bool renamed);
  // The whole genealogy is about to be shown anew; then it can be. Before an
  // open or a new genealogy, membersAboutToBeReleased comes first: whoever
  // holds members lets go of them there.
  void membersAboutToBeReleased();
  void aboutToReset();
  void reset();
  // The member an edit, undo or redo concerns, for the views to show; none
  // when the tree is left empty.
  void memberConcerned(MemberNode* member);
  void modifiedChanged(bool modified);
  // The genealogy was written to `fileName`: what belongs beside the book
  // (its 字辈) can follow it there.
  void saved(const QString& fileName);
  // A field of the member's record changed (memberChanged follows), or one
  // of the book's data.
  void recordChanged(MemberNode* member, RecordField field);
  void bookDataChanged(RecordField field);

private:
  class RecordCommand;
  class BookCommand;
  class AddCommand;
  class ChangeCommand;
  class DeleteCommand;
  class MergeCommand;

  // The changes the commands are made of, each announced to the views.
  void InsertChild(MemberNode* father, MemberNode* member);
  void InsertRootAbove(MemberNode* member);
  void TakeRootAbove(MemberNode* root);
  COperationClanbook::SubtreePlace Take(MemberNode* member);
  void Restore(MemberNode* member, const COperationClanbook::SubtreePlace& place);
  void SetData(MemberNode* member, const MemberData& data);
  void SetRecord(MemberNode* member, const MemberRecord& record, RecordField field);
  // Reads the member's saved pictures into memory: a member or a picture
  // about to leave loses its rows at the next save, and comes back (undo)
  // from what it holds.
  void HoldPhotoBytes(MemberNode* member);
  // Pushes the change of one member's record as a command named `text`;
  // `others` are the members whose records change with it (children whose
  // 生母 moves with a wife). False when nothing changes.
  struct RecordChange {
    MemberNode* member;
    MemberRecord after;
  };
  bool PushRecordChange(std::vector<RecordChange> changes, RecordField field, const QString& text);
  // The changes of the children's 生母 when the wives of `father` move:
  // `mapping[i]` is where wife i goes (-1: removed).
  std::vector<RecordChange> MothersFollow(MemberNode* father, const std::vector<int>& mapping);
  // Drops the history, which may hold members of the genealogy being replaced.
  void StartOver();
  // Puts `incoming` in place of the genealogy (the old one goes into it) with
  // the views told, the history cleared and the file name set.
  // `file`: the .cbk it was read from, held open from now on.
  void ReplaceAll(COperationClanbook& incoming, const QString& fileName, bool modified,
                  std::unique_ptr<formats::CbkBook> file = nullptr);
  void UpdateModified();

  COperationClanbook m_genealogy;
  QUndoStack m_undoStack;
  QString m_fileName;
  bool m_forcedModified = false;
  bool m_lastModified = false;
  // The file as it was opened or last saved here, and its name then: the
  // name may be changed in place since.
  FileStamp m_fileStamp;
  QString m_stampedName;
  // The .cbk the book was read from or last saved to, held open (its
  // pictures are read from it), and what changed since: kept from the
  // document's own announcements.
  std::unique_ptr<formats::CbkBook> m_book;
  BookChanges m_changes;
};
