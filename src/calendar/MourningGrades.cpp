#include "calendar/MourningGrades.h"

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

#include <algorithm>

namespace {

using G = MourningGrade;

struct PlaceRow {
  int generation;
  int collateral;
  bool female;
  const char16_t* term;
  G grade;
  G marriedOut;
  G wife;
};

// The Qing chart, row by row. Where it tells the eldest son (长子, 嫡孙)
// from the others, the others' grade stands: the book does not know which
// son carries the line.
constexpr PlaceRow kPlaces[] = {
    {4, 0, false, u"高祖父母", G::ZiCuiThree, G::ZiCuiThree, G::ZiCuiThree},
    {3, 0, false, u"曾祖父母", G::ZiCuiFive, G::ZiCuiFive, G::ZiCuiFive},
    {3, 1, false, u"族曾祖父母", G::SiMa, G::SiMa, G::SiMa},
    {3, 1, true, u"族曾祖姑", G::SiMa, G::None, G::None},
    {2, 0, false, u"祖父母", G::ZiCuiYear, G::ZiCuiYear, G::ZiCuiYear},
    {2, 1, false, u"伯叔祖父母", G::XiaoGong, G::XiaoGong, G::XiaoGong},
    {2, 2, false, u"族伯叔祖父母", G::SiMa, G::SiMa, G::SiMa},
    {2, 1, true, u"祖姑", G::XiaoGong, G::SiMa, G::None},
    {2, 2, true, u"族祖姑", G::SiMa, G::None, G::None},
    {1, 0, false, u"父母", G::ZhanCui, G::ZhanCui, G::ZhanCui},
    {1, 1, false, u"伯叔父母", G::ZiCuiYear, G::ZiCuiYear, G::ZiCuiYear},
    {1, 2, false, u"堂伯叔父母", G::XiaoGong, G::XiaoGong, G::XiaoGong},
    {1, 3, false, u"族伯叔父母", G::SiMa, G::SiMa, G::SiMa},
    {1, 1, true, u"姑", G::ZiCuiYear, G::DaGong, G::None},
    {1, 2, true, u"堂姑", G::XiaoGong, G::SiMa, G::None},
    {1, 3, true, u"族姑", G::SiMa, G::None, G::None},
    {0, 0, false, u"己身", G::None, G::None, G::ZiCuiStaff},
    {0, 1, false, u"兄弟", G::ZiCuiYear, G::ZiCuiYear, G::XiaoGong},
    {0, 2, false, u"堂兄弟", G::DaGong, G::DaGong, G::SiMa},
    {0, 3, false, u"再从兄弟", G::XiaoGong, G::XiaoGong, G::None},
    {0, 4, false, u"族兄弟", G::SiMa, G::SiMa, G::None},
    {0, 1, true, u"姊妹", G::ZiCuiYear, G::DaGong, G::None},
    {0, 2, true, u"堂姊妹", G::DaGong, G::XiaoGong, G::None},
    {0, 3, true, u"再从姊妹", G::XiaoGong, G::SiMa, G::None},
    {0, 4, true, u"族姊妹", G::SiMa, G::None, G::None},
    {-1, 0, false, u"子", G::ZiCuiYear, G::ZiCuiYear, G::DaGong},
    {-1, 1, false, u"侄", G::ZiCuiYear, G::ZiCuiYear, G::DaGong},
    {-1, 2, false, u"堂侄", G::XiaoGong, G::XiaoGong, G::SiMa},
    {-1, 3, false, u"再从侄", G::SiMa, G::SiMa, G::None},
    {-1, 0, true, u"女", G::ZiCuiYear, G::DaGong, G::None},
    {-1, 1, true, u"侄女", G::ZiCuiYear, G::DaGong, G::None},
    {-1, 2, true, u"堂侄女", G::XiaoGong, G::SiMa, G::None},
    {-1, 3, true, u"再从侄女", G::SiMa, G::None, G::None},
    {-2, 0, false, u"孙", G::DaGong, G::DaGong, G::SiMa},
    {-2, 1, false, u"侄孙", G::XiaoGong, G::XiaoGong, G::SiMa},
    {-2, 2, false, u"堂侄孙", G::SiMa, G::SiMa, G::None},
    {-2, 0, true, u"孙女", G::DaGong, G::XiaoGong, G::None},
    {-2, 1, true, u"侄孙女", G::XiaoGong, G::SiMa, G::None},
    {-2, 2, true, u"堂侄孙女", G::SiMa, G::None, G::None},
    {-3, 0, false, u"曾孙", G::SiMa, G::SiMa, G::None},
    {-3, 1, false, u"曾侄孙", G::SiMa, G::SiMa, G::None},
    {-3, 0, true, u"曾孙女", G::SiMa, G::None, G::None},
    {-3, 1, true, u"曾侄孙女", G::SiMa, G::None, G::None},
    {-4, 0, false, u"玄孙", G::SiMa, G::SiMa, G::None},
    {-4, 0, true, u"玄孙女", G::SiMa, G::None, G::None},
};

constexpr int kReach = 4;  // 高祖 above, 玄孙 below

// Puts `person` into his place and his wives right after him in the order
// of his record (配, 继配 …): a wife shares her husband's place. A member
// without a record costs the test for one.
void PlaceWithWives(std::vector<MourningCell>& cells, const KinPerson& person,
                    const Kinship& kinship) {
  const std::optional<MourningPlace> place = MourningPlaceOf(kinship);
  if (!place) return;
  const auto cell = std::find_if(cells.begin(), cells.end(),
                                 [&](const MourningCell& c) { return c.place == *place; });
  if (cell == cells.end()) return;
  cell->people.push_back(person);
  if (!person.member->extra.HasRecord()) return;
  // A daughter of the book is married out: whatever her record lists, she
  // has no wives.
  const MemberRecord& record = person.member->extra.Record();
  if (record.sex == Sex::kFemale) return;
  for (std::size_t i = 0; i < record.spouses.size(); ++i)
    cell->people.push_back(KinPerson{person.member, KinSex::Male, true});
}

}  // namespace

std::optional<MourningPlace> MourningPlaceOf(const Kinship& k) {
  if (k.kind == KinKind::Unrelated || k.kind == KinKind::Husband) return std::nullopt;
  // Up to the shared ancestor and down from him: the relative stands
  // up − down generations above, on the line of the nearer of the two.
  if (k.up > kReach || k.down > kReach) return std::nullopt;
  MourningPlace place;
  place.generation = k.up - k.down;
  place.collateral = std::min(k.up, k.down);
  // A wife stands in her husband's place; a woman of the clan on the women's
  // side, where only those below have a place on the direct line (女, 孙女).
  place.female = k.sex == KinSex::Female && !k.wife;
  if (place.female && place.collateral == 0 && place.generation >= 0) return std::nullopt;
  return place;
}

std::vector<MourningCell> MourningPlaces() {
  std::vector<MourningCell> cells;
  cells.reserve(std::size(kPlaces));
  for (const PlaceRow& row : kPlaces) {
    MourningCell cell;
    cell.place = {row.generation, row.collateral, row.female};
    cell.term = row.term;
    cell.grade = row.grade;
    cell.marriedOut = row.marriedOut;
    cell.wife = row.wife;
    cells.push_back(std::move(cell));
  }
  return cells;
}

bool PlaceRelative(std::vector<MourningCell>& cells, const KinPerson& person,
                   const Kinship& kinship) {
  const std::optional<MourningPlace> place = MourningPlaceOf(kinship);
  if (!place) return false;
  const auto cell = std::find_if(cells.begin(), cells.end(),
                                 [&](const MourningCell& c) { return c.place == *place; });
  if (cell == cells.end()) return false;
  cell->people.push_back(person);
  return true;
}

std::vector<MourningCell> MourningChart(const MemberNode* self) {
  std::vector<MourningCell> cells = MourningPlaces();
  if (!self) return cells;
  // The direct line up: ancestors[u] stands u generations above.
  const MemberNode* ancestors[kReach + 1] = {self};
  int top = 0;
  while (top < kReach && ancestors[top]->parent) {
    ancestors[top + 1] = ancestors[top]->parent;
    ++top;
  }
  Kinship k;
  k.kind = KinKind::Self;
  k.ancestor = self;
  PlaceWithWives(cells, PersonOf(self), k);
  std::vector<const MemberNode*> level;
  std::vector<const MemberNode*> next;
  for (int up = 0; up <= top; ++up) {
    const MemberNode* shared = ancestors[up];
    if (up > 0) {
      k = Kinship{};
      k.kind = KinKind::Ancestor;
      k.up = up;
      k.ancestor = shared;
      PlaceWithWives(cells, KinPerson{shared}, k);
    }
    // Down the other branches of this ancestor, a generation at a time, so
    // that each cell gets its people branch by branch in birth order.
    level.clear();
    for (const MemberNode* child = shared->firstChild; child; child = child->nextSibling)
      if (up == 0 || child != ancestors[up - 1]) level.push_back(child);
    for (int down = 1; down <= kReach && !level.empty(); ++down) {
      k = Kinship{};
      k.kind = up == 0 ? KinKind::Descendant : KinKind::Collateral;
      k.up = up;
      k.down = down;
      k.ancestor = shared;
      next.clear();
      for (const MemberNode* member : level) {
        // A daughter of the clan goes to the women's side of her place.
        const KinPerson person = PersonOf(member);
        k.sex = person.sex;
        PlaceWithWives(cells, person, k);
        if (down < kReach)
          for (const MemberNode* child = member->firstChild; child; child = child->nextSibling)
            next.push_back(child);
      }
      level.swap(next);
    }
  }
  return cells;
}
