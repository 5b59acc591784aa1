// 本宗九族五服图: the mourning grades (五服) of a man's own clan, the nine
// generations from 高祖 to 玄孙 with the collateral lines beside them, after
// the chart of the Qing code (《大清律例》 本宗九族五服正服之图). For one
// member of the book, every place of the chart and the relatives who fill it.
// docs/kinship.md has the table and its sources.
#pragma once

#include "calendar/Kinship.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class MourningGrade : std::uint8_t {
  None,        // 无服
  ZhanCui,     // 斩衰三年
  ZiCuiStaff,  // 齐衰杖期
  ZiCuiYear,   // 齐衰不杖期 (期年)
  ZiCuiFive,   // 齐衰五月
  ZiCuiThree,  // 齐衰三月
  DaGong,      // 大功九月
  XiaoGong,    // 小功五月
  SiMa,        // 缌麻三月
};

// A place of the chart. `generation` counts up from 己身 (below: negative);
// `collateral` is the line: 0 the direct one, 1 brothers' (伯叔, 兄弟, 侄),
// 2 first cousins' (堂), 3 second cousins' (再从), 4 third cousins' (族).
// Places lie where generation and line together reach no further than the
// shared 高祖 and no lower than 玄孙: |generation| + collateral <= 4. The
// women born in the clan (姑, 姊妹, 女 …) have the same places on the other
// side of the chart; wives share their husbands' places.
struct MourningPlace {
  int generation = 0;
  int collateral = 0;
  bool female = false;
  bool operator==(const MourningPlace&) const = default;
};

struct MourningCell {
  MourningPlace place;
  std::u16string term;  // 伯叔父母, 堂兄弟, 族曾祖姑 …
  // A man's grade; a woman's while unmarried (在室).
  MourningGrade grade = MourningGrade::None;
  // A woman married out of the clan (出嫁); a man's: the same as `grade`.
  MourningGrade marriedOut = MourningGrade::None;
  // A man's place: what his wife is mourned with (兄弟妻 小功), where the
  // chart gives none, None. A woman's place: None.
  MourningGrade wife = MourningGrade::None;
  // Who fill the place, in the order of the lines below the shared ancestor
  // (elder branches first) and within a family by birth: the members, each
  // man followed by his wives in the order of his record (a wife is
  // KinPerson{husband, Male, true}; the n-th wife after a man is his n-th
  // spouse). Wives fill the men's places only.
  std::vector<KinPerson> people;
};

// The place of a relative `kinship` describes (as FindKinship finds it, from
// the member the chart is for): none for the unrelated and for those beyond
// the five grades. A wife takes her husband's place.
std::optional<MourningPlace> MourningPlaceOf(const Kinship& kinship);

// Every place of the chart, each once, empty: rows from 高祖 down to 玄孙,
// each row the men's places from the direct line outwards, then the women's.
std::vector<MourningCell> MourningPlaces();

// Puts `person` into the cell of `kinship`'s place; false (nothing changes)
// when that place is not on the chart.
bool PlaceRelative(std::vector<MourningCell>& cells, const KinPerson& person,
                   const Kinship& kinship);

// The chart of `self` (none: every place empty) with the members of the book
// and their wives in their places: self's wives in 己身, the ancestors' with
// the ancestors (母, 祖母 …), every other man's with him. Walks up at most
// four generations and from each ancestor down at most four: costs the
// relatives within the five grades and their wives, never the whole book.
std::vector<MourningCell> MourningChart(const MemberNode* self);
