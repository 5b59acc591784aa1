// A member's whole record beyond the ten fields the tree has always held:
// sex, 字 and 号, 排行, burial, 行传, wives, sources and pictures, and the
// book's own data (谱名, 堂号, 字辈...). Most members of a large book have
// none of it, so a member carries one pointer to his record, none while it is
// empty, and the number of his row in a .cbk file (formats/cbk/): a book
// without these fields grows by 16 bytes a member and nothing more.
//
// Standard C++ only, like the rest of the model.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct MemberNode;
class COperationClanbook;

enum class Sex : std::uint8_t { kMale = 0, kFemale = 1 };

// How a wife stands in the book: 配 (first wife), 继配 (married after the
// first died), 娶 (a wife named without rank), 侧室 (a concubine).
enum class SpouseTitle : std::uint8_t { kPei = 0, kJiPei = 1, kQu = 2, kCeShi = 3 };
inline constexpr int kSpouseTitles = 4;

struct Spouse {
  SpouseTitle title = SpouseTitle::kPei;
  std::u16string surname;                                    // printed as 某氏
  std::u16string givenName;                                  // often unknown
  std::u16string origin;                                     // 籍贯
  std::u16string father;                                     // 王公某某
  std::int32_t birthYear = 0, birthMonth = 0, birthDay = 0;  // 0 0 0: unknown
  std::int32_t alive = 0;                                    // nonzero: 健在
  std::int32_t deathYear = 0, deathMonth = 0, deathDay = 0;
  std::u16string burial;
  std::u16string note;
  bool operator==(const Spouse&) const = default;
};

struct Source {
  std::u16string title;
  std::u16string detail;  // page or entry
  bool operator==(const Source&) const = default;
};

// A picture kept inside the book. Once the book is saved its bytes stay in
// the file and are read when the picture is shown (`id` names its row); a
// picture added since the last save holds its bytes until then.
struct Photo {
  std::uint32_t id = 0;  // 0: not in the book's file yet
  std::u16string caption;
  std::shared_ptr<const std::string> bytes;  // none once saved
  // Equal when they are the same picture with the same caption.
  bool operator==(const Photo& other) const {
    return id == other.id && caption == other.caption &&
           (id != 0 || bytes == other.bytes || (bytes && other.bytes && *bytes == *other.bytes));
  }
};

// Every field of a record and of the book's data, for commands, the words
// that name them and the list of what a file format cannot keep.
enum class RecordField : std::uint8_t {
  kSex,
  kCourtesyName,  // 字
  kArtName,       // 号
  kRank,          // 排行
  kBranch,        // 房支
  kOffice,        // 功名/职务
  kBirthHour,     // 生时
  kBiography,     // 行传
  kBurialPlace,   // 葬地
  kBurialFacing,  // 葬向
  kNote,          // 备注
  kHusbandName,   // 适: the husband of a daughter
  kHusbandPlace,
  kBirthFather,   // 生父 of a member who continues another's line
  kSecondFather,  // 兼祧
  kMother,        // 生母: which of the father's wives
  kSpouses,
  kSources,
  kPhotos,
  // The book's own data.
  kBookTitle,  // 谱名
  kHallName,   // 堂号
  kClanSeat,   // 郡望
  kEditionYear,
  kEditors,
  kPreface,         // 谱序
  kRules,           // 凡例
  kPrecepts,        // 家训
  kGenerationPoem,  // 字辈
};
inline constexpr int kRecordFields = static_cast<int>(RecordField::kGenerationPoem) + 1;

// Whether the field is a text field of a member's record (TextField works).
bool IsMemberTextField(RecordField field);
// Whether the field belongs to the book rather than to a member.
bool IsBookField(RecordField field);

struct MemberRecord {
  Sex sex = Sex::kMale;
  std::u16string courtesyName, artName, rank, branch, office, birthHour, biography, burialPlace,
      burialFacing, note, husbandName, husbandPlace;
  // The birth father and a second father by name, as the .ftf names a father.
  std::u16string birthFather, secondFather;
  std::int32_t mother = -1;  // index among the father's spouses; -1: not said
  std::vector<Spouse> spouses;
  std::vector<Source> sources;
  std::vector<Photo> photos;

  bool operator==(const MemberRecord&) const = default;
  bool Empty() const { return *this == MemberRecord(); }
  // The text field `field` (IsMemberTextField), to read and to set.
  std::u16string& Text(RecordField field);
  const std::u16string& Text(RecordField field) const;
};

// The largest 世 a 字辈 may start at: no clan counts a million generations,
// and the bound keeps every sum of generations within an int.
inline constexpr std::int32_t kMaxPoemFirstGeneration = 1000000;

// The book's data, kept with the tree.
struct BookData {
  // The 字辈 is kept as typed: its characters, one a generation, with the
  // spaces and punctuation the user put between them.
  std::u16string title, hallName, clanSeat, editors, preface, rules, precepts, generationPoem;
  std::int32_t editionYear = 0;          // 0: not said
  std::int32_t poemFirstGeneration = 1;  // the 世 of the 字辈's first character
  bool operator==(const BookData&) const = default;
  bool Empty() const { return *this == BookData(); }
  std::u16string& Text(RecordField field);  // a book field other than kEditionYear
  const std::u16string& Text(RecordField field) const;
};

// What a member carries beyond his ten fields. Copying a member copies his
// record but not his row: a copy is a new member for every file.
class MemberExtra {
public:
  MemberExtra() = default;
  MemberExtra(const MemberExtra& other)
      : m_record(other.m_record ? std::make_unique<MemberRecord>(*other.m_record) : nullptr) {}
  MemberExtra& operator=(const MemberExtra& other) {
    if (this != &other) SetRecord(other.m_record ? *other.m_record : MemberRecord());
    return *this;
  }
  MemberExtra(MemberExtra&&) noexcept = default;
  MemberExtra& operator=(MemberExtra&&) noexcept = default;

  // The record; an empty one when there is none.
  const MemberRecord& Record() const;
  bool HasRecord() const { return m_record != nullptr; }
  // Sets the record; an empty one is held as none.
  void SetRecord(const MemberRecord& record);
  // The record to change in place (made when there was none); call Tidy after.
  MemberRecord& EditRecord();
  void Tidy();

  // The member's row in the .cbk file the book was read from or last saved
  // to; 0: none yet.
  std::uint32_t row = 0;

private:
  std::unique_ptr<MemberRecord> m_record;
};

// The 排行 a member is proposed: 长子, 次子, 三子... among his brothers, or
// 长女, 次女... among his sisters, counted in the order of birth (the order of
// the family in the tree). Empty for the root.
std::u16string ProposeRank(const MemberNode* member);

// The fields that hold something anywhere in the book (a daughter's sex, a
// 字, a wife, the 谱名...), in the order of RecordField: what a file that
// keeps only the ten fields (.ftf) would drop. Empty when the book holds
// nothing else.
std::vector<RecordField> FieldsBeyondTenFields(const COperationClanbook& genealogy);
