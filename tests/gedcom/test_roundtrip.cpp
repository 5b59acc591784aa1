// A saved genealogy exported to GEDCOM and imported again saves to the same
// bytes.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

#include "GedcomTestSupport.h"
#include "formats/FtfFormat.h"

using namespace gedcomtest;

namespace {

const std::u16string kGiven = u"丘伯仲叔季文武德明华𠀋𠀍";
const std::u16string kNames[] = {u"John",    u"Marie-Claire", u"Ødegård", u"Zoë",
                                 u"O'Brien", u"@home",        u"a@b",     u"Jean·Paul"};

// A random clan book that exercises every mapping: B.C. dates, children born
// on the same day as each other, deceased members (some on the day of birth),
// addresses, compound and clan surnames, names that are no Chinese names.
void Build(COperationClanbook& tree, std::mt19937& random, int members, std::u16string rootName) {
  std::vector<MemberNode*> all;
  all.push_back(Add(tree, nullptr, rootName, -600 + static_cast<int>(random() % 200), 9, 28));
  for (int i = 1; i < members; ++i) {
    MemberNode* father = all[random() % all.size()];
    std::u16string name;
    switch (random() % 5) {
      case 0:
        name =
            kNames[random() % std::size(kNames)] + u"" + gedcom::detail::ToUtf16(std::to_string(i));
        break;
      case 1:
        name =
            u"欧阳" + kGiven.substr(random() % 10, 1) + gedcom::detail::ToUtf16(std::to_string(i));
        break;
      default:
        name = rootName.substr(0, rootName.size() - 1) + kGiven.substr(random() % 10, 1) +
               kGiven.substr(10 + 2 * (random() % 2), 2) +
               gedcom::detail::ToUtf16(std::to_string(i));
    }
    // Children of one father are often born on the same day; some on his.
    int year = father->birthYear + static_cast<int>(random() % 3) * 20;
    int month = 1 + static_cast<int>(random() % 2), day = 1 + static_cast<int>(random() % 2);
    if (COperationClanbook::CompareDates(year, month, day, father->birthYear, father->birthMonth,
                                         father->birthDay) < 0) {
      year = father->birthYear;
      month = father->birthMonth;
      day = father->birthDay;
    }
    MemberNode* m = Add(tree, father, name, year, month, day);
    m->married = static_cast<int>(random() % 2);
    if (random() % 2) m->address = u"地址" + gedcom::detail::ToUtf16(std::to_string(random() % 50));
    if (random() % 7 == 0)
      m->address = u"Main·Street·" + gedcom::detail::ToUtf16(std::to_string(i));
    m->alive = static_cast<int>(random() % 2);
    if (!m->alive) {
      m->deathYear = year + static_cast<int>(random() % 3) * 30;
      m->deathMonth = m->deathYear == year ? month : 1 + static_cast<int>(random() % 12);
      m->deathDay = m->deathYear == year ? day : 1 + static_cast<int>(random() % 28);
    }
    all.push_back(m);
  }
}

class GedcomRoundTrip
    : public ScratchFolder,
      public ::testing::WithParamInterface<std::tuple<gedcom::GedcomVersion, int>> {};

TEST_P(GedcomRoundTrip, SavedBookComesBackByteForByte) {
  const auto [version, seed] = GetParam();
  std::mt19937 random(static_cast<unsigned>(seed));
  const std::u16string roots[] = {u"孔丘", u"司马懿", u"Adam"};
  COperationClanbook original;
  Build(original, random, 300, roots[seed % 3]);
  const auto first = folder_ / "first.ftf";
  ASSERT_EQ(formats::SaveFtf(first, original).code, kFileOk);
  // The book as it is on disk, exported the way the command line does.
  std::ostringstream messages;
  const auto ged = folder_ / "book.ged";
  ASSERT_EQ(gedcom::ExportGedcomFile(first, ged, version, messages), 0) << messages.str();
  const auto second = folder_ / "second.ftf";
  std::ostringstream report;
  ASSERT_EQ(gedcom::ImportGedcomFile(ged, second, std::string("@I1@"), report), 0) << report.str();
  EXPECT_EQ(Read(second), Read(first)) << report.str();
  // Nothing had to be made up, so the report lists no change.
  EXPECT_NE(report.str().find("\n0 changes\n"), std::string::npos) << report.str();
  // The export is a function of the genealogy alone.
  const auto again = folder_ / "again.ged";
  ASSERT_EQ(gedcom::ExportGedcomFile(second, again, version, messages), 0);
  COperationClanbook loaded;
  ASSERT_EQ(formats::LoadFtf(second, loaded).code, kFileOk);
  std::string text;
  gedcom::WriteGedcom(loaded, version, text);
  EXPECT_EQ(Read(again), text);
}

INSTANTIATE_TEST_SUITE_P(Books, GedcomRoundTrip,
                         ::testing::Combine(::testing::Values(gedcom::GedcomVersion::v7_0,
                                                              gedcom::GedcomVersion::v5_5_1),
                                            ::testing::Range(1, 7)));

}  // namespace
