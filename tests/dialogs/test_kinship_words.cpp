// The kinship words of the interface: under Chinese the calendar layer's
// term, under English words of the English kinship system, built from the
// same relation (the relations are given directly: the words depend on
// nothing else).
#include "app/Translation.h"
#include "calendar/KinshipTerms.h"
#include "dialogs/KinshipText.h"

#include <gtest/gtest.h>

namespace {

Kinship Relation(KinKind kind, int up, int down, bool elder = false, KinSex sex = KinSex::Male,
                 bool wife = false) {
  Kinship k;
  k.kind = kind;
  k.up = up;
  k.down = down;
  k.elder = elder;
  k.sex = sex;
  k.wife = wife;
  return k;
}

struct Row {
  Kinship kinship;
  const char* english;
};

TEST(KinshipWords, EnglishNamesEachRelationInItsOwnSystem) {
  const KinKind up = KinKind::Ancestor, down = KinKind::Descendant, side = KinKind::Collateral;
  const KinSex f = KinSex::Female;
  const Row rows[] = {
      {Relation(up, 1, 0), "father"},
      {Relation(up, 2, 0), "grandfather"},
      {Relation(up, 3, 0), "great-grandfather"},
      {Relation(up, 4, 0), "2× great-grandfather"},
      {Relation(up, 12, 0), "10× great-grandfather"},
      {Relation(up, 1, 0, false, f, true), "mother"},
      {Relation(up, 12, 0, false, f, true), "10× great-grandmother"},
      {Relation(down, 0, 1), "son"},
      {Relation(down, 0, 1, false, f), "daughter"},
      {Relation(down, 0, 1, false, f, true), "daughter-in-law"},
      {Relation(down, 0, 2, false, f), "granddaughter"},
      {Relation(down, 0, 12), "10× great-grandson"},
      {Relation(side, 1, 1, true), "elder brother"},
      {Relation(side, 1, 1, false, f), "younger sister"},
      {Relation(side, 1, 1, true, f, true), "elder brother's wife"},
      {Relation(side, 2, 1, true), "father's elder brother"},
      {Relation(side, 2, 1, false), "father's younger brother"},
      {Relation(side, 2, 1, false, f), "father's sister"},
      {Relation(side, 2, 1, true, f, true), "wife of father's elder brother"},
      {Relation(side, 3, 1, false), "grandfather's younger brother"},
      {Relation(side, 1, 2), "brother's son"},
      {Relation(side, 1, 3, false, f), "brother's granddaughter"},
      {Relation(side, 2, 2, true), "paternal cousin (elder)"},
      {Relation(side, 2, 2, false, f, true), "paternal cousin's wife (younger)"},
      {Relation(side, 3, 3, true), "second cousin (elder)"},
      {Relation(side, 6, 6, false), "5th cousin (younger)"},
      {Relation(side, 22, 22, false), "21st cousin (younger)"},
      {Relation(side, 12, 12, false), "11th cousin (younger)"},
      {Relation(side, 3, 2, true), "first cousin once removed (senior generation, elder side)"},
      {Relation(side, 2, 4), "first cousin twice removed (junior generation)"},
      {Relation(side, 3, 7), "second cousin 4 times removed (junior generation)"},
      {Relation(KinKind::Wife, 0, 0, false, f, true), "wife"},
  };
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  for (const Row& row : rows)
    EXPECT_EQ(KinshipWords(row.kinship).toStdString(), row.english)
        << row.kinship.up << "/" << row.kinship.down;
}

TEST(KinshipWords, ChineseIsTheCalendarLayersTerm) {
  const Kinship k = Relation(KinKind::Collateral, 3, 2, true);
  EXPECT_EQ(KinshipWords(k), QString::fromStdU16String(KinshipTerm(k)));
  EXPECT_EQ(KinshipWords(k), QStringLiteral("堂伯"));
  EXPECT_EQ(KinshipLine(QStringLiteral("甲"), QStringLiteral("乙"), k),
            QStringLiteral("甲 称 乙 为 堂伯"));
}

}  // namespace
