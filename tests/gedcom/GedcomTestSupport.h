// Helpers shared by the GEDCOM tests: building members, a scratch folder and
// the tree as text.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomDetail.h"
#include "model/TextCodec.h"

namespace gedcomtest {

inline MemberNode* Add(COperationClanbook& tree, MemberNode* father, std::u16string name, int year,
                       int month = 1, int day = 1) {
  auto* m = new MemberNode;
  m->name = std::move(name);
  m->birthYear = year;
  m->birthMonth = month;
  m->birthDay = day;
  tree.InsertMember(father, m);
  return m;
}

inline std::string U8(std::u16string_view text) {
  return textcodec::ToUtf8(text);
}

// One member's data: name, dates, flags, address.
inline std::string Dump(const MemberNode& m) {
  std::string text = U8(m.name) + " " + std::to_string(m.birthYear) + "-" +
                     std::to_string(m.birthMonth) + "-" + std::to_string(m.birthDay) + " m" +
                     std::to_string(m.married) + " a" + std::to_string(m.alive);
  if (!m.alive)
    text += " d" + std::to_string(m.deathYear) + "-" + std::to_string(m.deathMonth) + "-" +
            std::to_string(m.deathDay);
  if (!m.address.empty()) text += " @" + U8(m.address);
  return text;
}

// The tree in pre-order, one member a line with the names of the children.
inline std::string Dump(const COperationClanbook& tree) {
  std::string out;
  tree.VisitPreOrder(out, tree.Root(), [](std::string& text, MemberNode* m) {
    text += Dump(*m) + " [";
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
      text += U8(c->name) + (c->nextSibling ? " " : "");
    text += "]\n";
  });
  return out;
}

class ScratchFolder : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              (std::string("clanbook-gedcom-") + info->test_suite_name() + "-" + info->name() +
               "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Write(const std::string& bytes, const char* name) {
    const std::filesystem::path p = folder_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path folder_;
};

}  // namespace gedcomtest
