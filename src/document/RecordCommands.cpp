// The commands that change a member's whole record and the book's data:
// each change one command that keeps the records before and after, named
// after the member and the field. Then what the window asks of the record
// kept in a book file: what a .ftf would not keep, a picture's bytes, and
// the words for the book file's problems.
#include "document/GenealogyDocument.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"

#include <QBuffer>
#include <QImageReader>
#include <QUndoCommand>

#include <utility>

namespace {

QString NameOf(const MemberNode* member) {
  return QString::fromStdU16String(member->name);
}

}  // namespace

class GenealogyDocument::RecordCommand : public QUndoCommand {
public:
  RecordCommand(GenealogyDocument& document, std::vector<RecordChange> changes, RecordField field,
                const QString& text)
      : m_document(document), m_field(field) {
    setText(text);
    for (RecordChange& change : changes)
      m_entries.push_back({change.member, change.member->extra.Record(), std::move(change.after)});
  }
  void redo() override {
    for (const Entry& entry : m_entries) m_document.SetRecord(entry.member, entry.after, m_field);
    emit m_document.memberConcerned(m_entries.front().member);
  }
  void undo() override {
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry)
      m_document.SetRecord(entry->member, entry->before, m_field);
    emit m_document.memberConcerned(m_entries.front().member);
  }

private:
  struct Entry {
    MemberNode* member;
    MemberRecord before;
    MemberRecord after;
  };
  GenealogyDocument& m_document;
  const RecordField m_field;
  std::vector<Entry> m_entries;
};

class GenealogyDocument::BookCommand : public QUndoCommand {
public:
  BookCommand(GenealogyDocument& document, BookData after, RecordField field)
      : m_document(document),
        m_field(field),
        m_before(document.m_genealogy.Book()),
        m_after(std::move(after)) {
    setText(GenealogyDocument::tr("更改谱书的 %1").arg(FieldName(field)));
  }
  void redo() override { Apply(m_after); }
  void undo() override { Apply(m_before); }

private:
  void Apply(const BookData& data) {
    m_document.m_genealogy.Book() = data;
    emit m_document.bookDataChanged(m_field);
  }
  GenealogyDocument& m_document;
  const RecordField m_field;
  const BookData m_before;
  const BookData m_after;
};

void GenealogyDocument::SetRecord(MemberNode* member, const MemberRecord& record,
                                  RecordField field) {
  member->extra.SetRecord(record);
  emit recordChanged(member, field);
  emit memberChanged(member, false);
}

bool GenealogyDocument::PushRecordChange(std::vector<RecordChange> changes, RecordField field,
                                         const QString& text) {
  bool changing = false;
  for (const RecordChange& change : changes)
    changing |= !(change.member->extra.Record() == change.after);
  if (!changing) return false;
  m_undoStack.push(new RecordCommand(*this, std::move(changes), field, text));
  return true;
}

namespace {

QString ChangeText(const MemberNode* member, RecordField field) {
  return GenealogyDocument::tr("更改 %1 的 %2")
      .arg(NameOf(member), GenealogyDocument::FieldName(field));
}

}  // namespace

bool GenealogyDocument::ChangeRecordText(MemberNode* member, RecordField field,
                                         const QString& text) {
  if (!member || !IsMemberTextField(field)) return false;
  MemberRecord after = member->extra.Record();
  after.Text(field) = text.toStdU16String();
  return PushRecordChange({{member, std::move(after)}}, field, ChangeText(member, field));
}

bool GenealogyDocument::ChangeSex(MemberNode* member, Sex sex) {
  if (!member) return false;
  MemberRecord after = member->extra.Record();
  after.sex = sex;
  return PushRecordChange({{member, std::move(after)}}, RecordField::kSex,
                          ChangeText(member, RecordField::kSex));
}

bool GenealogyDocument::ChangeMother(MemberNode* member, int index) {
  if (!member || !member->parent || index < -1 ||
      index >= static_cast<int>(member->parent->extra.Record().spouses.size()))
    return false;
  MemberRecord after = member->extra.Record();
  after.mother = index;
  return PushRecordChange({{member, std::move(after)}}, RecordField::kMother,
                          ChangeText(member, RecordField::kMother));
}

bool GenealogyDocument::ChangeSources(MemberNode* member, const std::vector<Source>& sources) {
  if (!member) return false;
  MemberRecord after = member->extra.Record();
  after.sources = sources;
  return PushRecordChange({{member, std::move(after)}}, RecordField::kSources,
                          ChangeText(member, RecordField::kSources));
}

std::vector<GenealogyDocument::RecordChange> GenealogyDocument::MothersFollow(
    MemberNode* father, const std::vector<int>& mapping) {
  std::vector<RecordChange> changes;
  for (MemberNode* child = father->firstChild; child; child = child->nextSibling) {
    const int mother = child->extra.Record().mother;
    if (mother < 0 || mother >= static_cast<int>(mapping.size()) || mapping[mother] == mother)
      continue;
    MemberRecord after = child->extra.Record();
    after.mother = mapping[mother];
    changes.push_back({child, std::move(after)});
  }
  return changes;
}

bool GenealogyDocument::AddSpouse(MemberNode* member, const Spouse& spouse, int index) {
  if (!member) return false;
  MemberRecord after = member->extra.Record();
  const int count = static_cast<int>(after.spouses.size());
  if (index < 0) index = count;
  if (index > count) return false;
  after.spouses.insert(after.spouses.begin() + index, spouse);
  std::vector<int> mapping(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) mapping[static_cast<std::size_t>(i)] = i < index ? i : i + 1;
  std::vector<RecordChange> changes{{member, std::move(after)}};
  for (RecordChange& child : MothersFollow(member, mapping)) changes.push_back(std::move(child));
  return PushRecordChange(std::move(changes), RecordField::kSpouses,
                          tr("增加 %1 的配偶").arg(NameOf(member)));
}

bool GenealogyDocument::ChangeSpouse(MemberNode* member, int index, const Spouse& spouse) {
  if (!member || index < 0 || index >= static_cast<int>(member->extra.Record().spouses.size()))
    return false;
  MemberRecord after = member->extra.Record();
  after.spouses[static_cast<std::size_t>(index)] = spouse;
  return PushRecordChange({{member, std::move(after)}}, RecordField::kSpouses,
                          ChangeText(member, RecordField::kSpouses));
}

bool GenealogyDocument::RemoveSpouse(MemberNode* member, int index) {
  if (!member || index < 0 || index >= static_cast<int>(member->extra.Record().spouses.size()))
    return false;
  MemberRecord after = member->extra.Record();
  const int count = static_cast<int>(after.spouses.size());
  after.spouses.erase(after.spouses.begin() + index);
  std::vector<int> mapping(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    mapping[static_cast<std::size_t>(i)] = i < index ? i : i == index ? -1 : i - 1;
  std::vector<RecordChange> changes{{member, std::move(after)}};
  for (RecordChange& child : MothersFollow(member, mapping)) changes.push_back(std::move(child));
  return PushRecordChange(std::move(changes), RecordField::kSpouses,
                          tr("删除 %1 的配偶").arg(NameOf(member)));
}

GenealogyDocument::PhotoProblem GenealogyDocument::AddPhoto(MemberNode* member,
                                                            const QString& caption,
                                                            const QByteArray& bytes) {
  if (bytes.size() > kMaxPhotoBytes) return PhotoProblem::kTooManyBytes;
  // Only the header is read: a picture is decoded when it is shown.
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!reader.canRead() || !size.isValid()) return PhotoProblem::kNotAPicture;
  if (qint64(size.width()) * size.height() > kMaxPhotoPixels) return PhotoProblem::kTooManyPixels;
  if (!member) return PhotoProblem::kNotAPicture;
  MemberRecord after = member->extra.Record();
  Photo photo;
  photo.caption = caption.toStdU16String();
  photo.bytes = std::make_shared<const std::string>(bytes.constData(),
                                                    static_cast<std::size_t>(bytes.size()));
  after.photos.push_back(std::move(photo));
  PushRecordChange({{member, std::move(after)}}, RecordField::kPhotos,
                   tr("增加 %1 的照片").arg(NameOf(member)));
  return PhotoProblem::kNone;
}

bool GenealogyDocument::ChangePhotoCaption(MemberNode* member, int index, const QString& caption) {
  if (!member || index < 0 || index >= static_cast<int>(member->extra.Record().photos.size()))
    return false;
  MemberRecord after = member->extra.Record();
  after.photos[static_cast<std::size_t>(index)].caption = caption.toStdU16String();
  return PushRecordChange({{member, std::move(after)}}, RecordField::kPhotos,
                          ChangeText(member, RecordField::kPhotos));
}

bool GenealogyDocument::RemovePhoto(MemberNode* member, int index) {
  if (!member || index < 0 || index >= static_cast<int>(member->extra.Record().photos.size()))
    return false;
  // Undone after a save, the picture comes back from its bytes: the save
  // drops its row from the file.
  HoldPhotoBytes(member);
  MemberRecord after = member->extra.Record();
  after.photos.erase(after.photos.begin() + index);
  return PushRecordChange({{member, std::move(after)}}, RecordField::kPhotos,
                          tr("删除 %1 的照片").arg(NameOf(member)));
}

bool GenealogyDocument::ChangeBookText(RecordField field, const QString& text) {
  // The 字辈 changes with its 世 (ChangeGenerationPoem).
  if (!IsBookField(field) || field == RecordField::kEditionYear ||
      field == RecordField::kGenerationPoem)
    return false;
  BookData after = m_genealogy.Book();
  after.Text(field) = text.toStdU16String();
  if (after == m_genealogy.Book()) return false;
  m_undoStack.push(new BookCommand(*this, std::move(after), field));
  return true;
}

bool GenealogyDocument::ChangeGenerationPoem(const QString& text, int firstGeneration) {
  if (firstGeneration < 1 || firstGeneration > kMaxPoemFirstGeneration) return false;
  BookData after = m_genealogy.Book();
  after.generationPoem = text.toStdU16String();
  after.poemFirstGeneration = after.generationPoem.empty() ? 1 : firstGeneration;
  if (after == m_genealogy.Book()) return false;
  m_undoStack.push(new BookCommand(*this, std::move(after), RecordField::kGenerationPoem));
  return true;
}

bool GenealogyDocument::ChangeEditionYear(int year) {
  BookData after = m_genealogy.Book();
  after.editionYear = year;
  if (after == m_genealogy.Book()) return false;
  m_undoStack.push(new BookCommand(*this, std::move(after), RecordField::kEditionYear));
  return true;
}

void GenealogyDocument::HoldPhotoBytes(MemberNode* member) {
  if (!m_book || !member->extra.HasRecord()) return;
  for (Photo& photo : member->extra.EditRecord().photos) {
    if (photo.bytes || !photo.id) continue;
    std::string bytes;
    if (m_book->ReadPhoto(photo.id, bytes))
      photo.bytes = std::make_shared<const std::string>(std::move(bytes));
  }
}

QString GenealogyDocument::ProposedRank(const MemberNode* member) {
  return QString::fromStdU16String(::ProposeRank(member));
}

QString GenealogyDocument::FieldName(RecordField field) {
  switch (field) {
    case RecordField::kSex:
      return tr("性别");
    case RecordField::kCourtesyName:
      return tr("字");
    case RecordField::kArtName:
      return tr("号");
    case RecordField::kRank:
      return tr("排行");
    case RecordField::kBranch:
      return tr("房支");
    case RecordField::kOffice:
      return tr("功名/职务");
    case RecordField::kBirthHour:
      return tr("生时");
    case RecordField::kBiography:
      return tr("行传");
    case RecordField::kBurialPlace:
      return tr("葬地");
    case RecordField::kBurialFacing:
      return tr("葬向");
    case RecordField::kNote:
      return tr("备注");
    case RecordField::kHusbandName:
      return tr("丈夫");
    case RecordField::kHusbandPlace:
      return tr("丈夫籍贯");
    case RecordField::kBirthFather:
      return tr("生父");
    case RecordField::kSecondFather:
      return tr("兼祧");
    case RecordField::kMother:
      return tr("生母");
    case RecordField::kSpouses:
      return tr("配偶");
    case RecordField::kSources:
      return tr("来源");
    case RecordField::kPhotos:
      return tr("照片");
    case RecordField::kBookTitle:
      return tr("谱名");
    case RecordField::kHallName:
      return tr("堂号");
    case RecordField::kClanSeat:
      return tr("郡望");
    case RecordField::kEditionYear:
      return tr("修谱年份");
    case RecordField::kEditors:
      return tr("编修");
    case RecordField::kPreface:
      return tr("谱序");
    case RecordField::kRules:
      return tr("凡例");
    case RecordField::kPrecepts:
      return tr("家训");
    case RecordField::kGenerationPoem:
      return tr("字辈");
  }
  return {};
}

QStringList GenealogyDocument::FieldsFtfWillNotKeep() const {
  QStringList names;
  for (const RecordField field : formats::FieldsFtfDoesNotKeep(m_genealogy))
    names << FieldName(field);
  return names;
}

QByteArray GenealogyDocument::PhotoBytes(const Photo& photo) const {
  if (photo.bytes)
    return QByteArray(photo.bytes->data(), static_cast<qsizetype>(photo.bytes->size()));
  std::string bytes;
  if (!photo.id || !m_book || !m_book->ReadPhoto(photo.id, bytes)) return {};
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString GenealogyDocument::BookProblemText(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNotABook:
      return tr("这不是家谱文件（.cbk）：文件是空的，或不是 SQLite 数据库");
    case FileProblem::kDamagedBook:
      return tr("家谱文件已损坏或不完整");
    case FileProblem::kForeignBook:
      return tr("这是其他程序的 SQLite 数据库，不是家谱文件");
    case FileProblem::kNewerBook:
      return tr("该家谱文件由更新版本的本程序保存，请升级后再打开");
    case FileProblem::kBookInUse:
      return tr("另一个程序正在使用该家谱，只能以只读方式打开");
    case FileProblem::kBookReadOnly:
      return tr("该家谱以只读方式打开，请另存为其他文件");
    case FileProblem::kDamagedArchive:
      return tr("这不是 ZIP 压缩包，或压缩包不完整、已损坏");
    case FileProblem::kUnsafeArchive:
      return tr("压缩包中有指向包外的文件名、过多的文件或过大的文件");
    case FileProblem::kUnsupportedArchive:
      return tr("压缩包已加密、分卷，或不是用 deflate 压缩的");
    case FileProblem::kNoGedcomInArchive:
      return tr("压缩包根目录下没有 gedcom.ged");
    default:
      return {};
  }
}
