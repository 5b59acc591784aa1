#include "model/MemberRecord.h"

#include <array>
#include <cassert>

#include "model/COperationClanbook.h"

namespace {

using Field = RecordField;

template <class Record>
auto& MemberText(Record& record, Field field) {
  switch (field) {
    case Field::kCourtesyName:
      return record.courtesyName;
    case Field::kArtName:
      return record.artName;
    case Field::kRank:
      return record.rank;
    case Field::kBranch:
      return record.branch;
    case Field::kOffice:
      return record.office;
    case Field::kBirthHour:
      return record.birthHour;
    case Field::kBiography:
      return record.biography;
    case Field::kBurialPlace:
      return record.burialPlace;
    case Field::kBurialFacing:
      return record.burialFacing;
    case Field::kHusbandName:
      return record.husbandName;
    case Field::kHusbandPlace:
      return record.husbandPlace;
    case Field::kBirthFather:
      return record.birthFather;
    case Field::kSecondFather:
      return record.secondFather;
    default:
      assert(field == Field::kNote);
      return record.note;
  }
}

template <class Book>
auto& BookText(Book& book, Field field) {
  switch (field) {
    case Field::kBookTitle:
      return book.title;
    case Field::kHallName:
      return book.hallName;
    case Field::kClanSeat:
      return book.clanSeat;
    case Field::kEditors:
      return book.editors;
    case Field::kPreface:
      return book.preface;
    case Field::kRules:
      return book.rules;
    case Field::kPrecepts:
      return book.precepts;
    default:
      assert(field == Field::kGenerationPoem);
      return book.generationPoem;
  }
}

}  // namespace

bool IsMemberTextField(RecordField field) {
  return field >= Field::kCourtesyName && field <= Field::kSecondFather;
}

bool IsBookField(RecordField field) {
  return field >= Field::kBookTitle;
}

std::u16string& MemberRecord::Text(RecordField field) {
  return MemberText(*this, field);
}

const std::u16string& MemberRecord::Text(RecordField field) const {
  return MemberText(*this, field);
}

std::u16string& BookData::Text(RecordField field) {
  return BookText(*this, field);
}

const std::u16string& BookData::Text(RecordField field) const {
  return BookText(*this, field);
}

const MemberRecord& MemberExtra::Record() const {
  static const MemberRecord kEmpty;
  return m_record ? *m_record : kEmpty;
}

void MemberExtra::SetRecord(const MemberRecord& record) {
  if (record.Empty())
    m_record.reset();
  else if (m_record)
    *m_record = record;
  else
    m_record = std::make_unique<MemberRecord>(record);
}

MemberRecord& MemberExtra::EditRecord() {
  if (!m_record) m_record = std::make_unique<MemberRecord>();
  return *m_record;
}

void MemberExtra::Tidy() {
  if (m_record && m_record->Empty()) m_record.reset();
}

namespace {

// A count in Chinese numerals as 排行 writes it: 三, 十, 十二, 二十, 二十一...
std::u16string Numeral(int n) {
  static const char16_t kDigits[] = u"〇一二三四五六七八九";
  if (n < 10) return std::u16string(1, kDigits[n]);
  if (n < 100) {
    std::u16string text;
    if (n / 10 > 1) text += kDigits[n / 10];
    text += u'十';
    if (n % 10) text += kDigits[n % 10];
    return text;
  }
  std::u16string text;
  for (const char c : std::to_string(n)) text += kDigits[c - '0'];
  return text;
}

}  // namespace

std::u16string ProposeRank(const MemberNode* member) {
  if (!member || !member->parent) return {};
  const Sex sex = member->extra.Record().sex;
  int place = 0;
  for (const MemberNode* child = member->parent->firstChild; child; child = child->nextSibling) {
    if (child->extra.Record().sex == sex) ++place;
    if (child == member) break;
  }
  std::u16string rank = place == 1 ? u"长" : place == 2 ? u"次" : Numeral(place);
  rank += sex == Sex::kFemale ? u'女' : u'子';
  return rank;
}

std::vector<RecordField> FieldsBeyondTenFields(const COperationClanbook& genealogy) {
  std::array<bool, kRecordFields> held{};
  const MemberRecord empty;
  std::vector<const MemberNode*> pending;
  if (genealogy.GetRootLink()) pending.push_back(genealogy.GetRootLink());
  while (!pending.empty()) {
    const MemberNode* member = pending.back();
    pending.pop_back();
    if (member->nextSibling) pending.push_back(member->nextSibling);
    if (member->firstChild) pending.push_back(member->firstChild);
    if (!member->extra.HasRecord()) continue;
    const MemberRecord& record = member->extra.Record();
    auto mark = [&held](Field field, bool holds) { held[static_cast<int>(field)] |= holds; };
    mark(Field::kSex, record.sex != empty.sex);
    for (int f = static_cast<int>(Field::kCourtesyName);
         f <= static_cast<int>(Field::kSecondFather); ++f)
      mark(static_cast<Field>(f), !record.Text(static_cast<Field>(f)).empty());
    mark(Field::kMother, record.mother != empty.mother);
    mark(Field::kSpouses, !record.spouses.empty());
    mark(Field::kSources, !record.sources.empty());
    mark(Field::kPhotos, !record.photos.empty());
  }
  const BookData& book = genealogy.Book();
  for (int f = static_cast<int>(Field::kBookTitle); f < kRecordFields; ++f) {
    const auto field = static_cast<Field>(f);
    held[f] = field == Field::kEditionYear ? book.editionYear != 0 : !book.Text(field).empty();
  }
  std::vector<RecordField> fields;
  for (int f = 0; f < kRecordFields; ++f)
    if (held[f]) fields.push_back(static_cast<Field>(f));
  return fields;
}
