#include "model/EditRules.h"

#include "model/FileStatus.h"

namespace {

bool HasBlank(std::u16string_view text) {
  for (char16_t c : text)
    if (IsBlankUnit(c)) return true;
  return false;
}

int CompareBirth(const MemberData& a, const MemberData& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

// What a save would refuse that the checks before did not catch: a NUL, a
// text too long, half a surrogate pair.
EditProblem Unstorable(std::u16string_view text, bool isName) {
  switch (WhyNotStorable(text, isName)) {
    case TextProblem::kNone:
      return EditProblem::kNone;
    case TextProblem::kEmpty:
      return EditProblem::kNameEmpty;
    case TextProblem::kBlank:
      return EditProblem::kBlankInText;
    case TextProblem::kTooLong:
      return isName ? EditProblem::kNameTooLong : EditProblem::kAddressTooLong;
    case TextProblem::kLoneSurrogate:
      return isName ? EditProblem::kNameNotWellFormed : EditProblem::kAddressNotWellFormed;
  }
  return EditProblem::kNone;
}

EditProblem CheckDeath(const MemberData& data) {
  if (data.alive != 0) return EditProblem::kNone;
  if (!COperationClanbook::IsValidDate(data.deathYear, data.deathMonth, data.deathDay))
    return EditProblem::kDeathDateNotReal;
  if (COperationClanbook::CompareDates(data.birthYear, data.birthMonth, data.birthDay,
                                       data.deathYear, data.deathMonth, data.deathDay) == 1)
    return EditProblem::kDeathBeforeBirth;
  return EditProblem::kNone;
}

}  // namespace

bool IsBlankUnit(char16_t c) {
  if (c < 0x80) return c == u' ' || (c >= 0x09 && c <= 0x0D);
  return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

EditProblem CheckTexts(std::u16string_view name, std::u16string_view address) {
  if (name.empty()) return EditProblem::kNameEmpty;
  if (HasBlank(name) || HasBlank(address)) return EditProblem::kBlankInText;
  if (name == u"end" || name == u"-1") return EditProblem::kNameReserved;
  if (address == u"end") return EditProblem::kAddressReserved;
  if (EditProblem p = Unstorable(name, true); p != EditProblem::kNone) return p;
  return Unstorable(address, false);
}

EditProblem CheckNameAndAddress(const COperationClanbook& book, const MemberData& data,
                                const MemberNode* self) {
  if (EditProblem p = CheckTexts(data.name, data.address); p != EditProblem::kNone) return p;
  if (self && self->name == data.name) return EditProblem::kNone;
  MemberNode* bearer = book.FindByName(data.name);
  return bearer ? EditProblem::kNameTaken : EditProblem::kNone;
}

EditProblem CheckNewMember(const COperationClanbook& book, const MemberNode* father,
                           const MemberData& data) {
  if (EditProblem p = CheckTexts(data.name, data.address); p != EditProblem::kNone) return p;
  if (!COperationClanbook::IsValidDate(data.birthYear, data.birthMonth, data.birthDay))
    return EditProblem::kBirthDateNotReal;
  if (father) {
    const int order = CompareBirth(data, *father);
    if (order < 0) return EditProblem::kBornBeforeFather;
    if (order == 0) return EditProblem::kBornWithFather;
  } else if (const MemberNode* oldRoot = book.Root(); oldRoot && CompareBirth(data, *oldRoot) > 0) {
    // The old root becomes the new root's child; born before his father, he
    // would make the saved file impossible to open.
    return EditProblem::kBornAfterOldRoot;
  }
  return CheckDeath(data);
}

EditProblem CheckChange(const MemberNode& member, const MemberData& data) {
  if (EditProblem p = CheckTexts(data.name, data.address); p != EditProblem::kNone) return p;
  if (EditProblem p = CheckDeath(data); p != EditProblem::kNone) return p;
  if (CompareBirth(data, member) == 0) return EditProblem::kNone;
  if (!COperationClanbook::IsValidDate(data.birthYear, data.birthMonth, data.birthDay))
    return EditProblem::kBirthDateNotReal;
  if (member.parent) {
    const int order = CompareBirth(data, *member.parent);
    if (order < 0) return EditProblem::kBornBeforeFather;
    if (order == 0) return EditProblem::kBornWithFather;
  }
  for (const MemberNode* child = member.firstChild; child; child = child->nextSibling)
    if (CompareBirth(data, *child) >= 0) return EditProblem::kBornNotBeforeChild;
  return EditProblem::kNone;
}

MemberData EnteredData(const MemberData& before, const MemberData& entered) {
  MemberData data = entered;
  if (entered.alive != 0) {
    data.deathYear = before.deathYear;
    data.deathMonth = before.deathMonth;
    data.deathDay = before.deathDay;
  }
  return data;
}
