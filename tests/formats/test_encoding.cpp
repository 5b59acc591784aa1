// Encodings of the genealogy file: UTF-8 is written; UTF-8, UTF-16 and
// GB18030 are read; names come back code unit for code unit.
#include <gtest/gtest.h>
#include <iconv.h>

#include <random>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"
#include "formats/ftf/FtfCodec.h"

using namespace modeltest;

namespace {

// The records of a small clan book; 𠮷 lies outside the Basic Multilingual
// Plane (a surrogate pair in UTF-16, four bytes in UTF-8 and in GB18030).
const char kRecords[] =
    "孔丘 -551 9 28 1 鲁国曲阜 0 -479 4 11 -1\r\n"
    "孔鲤 -532 1 1 1 end 0 -483 1 1 孔丘\r\n"
    "𠮷野 -504 2 29 0 €街 1 孔鲤\r\n"
    "end 1999 12 2 1 end 1 end";

std::string Utf16(const std::string& utf8, bool bigEndian) {
  std::u16string units;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::uint32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += static_cast<std::size_t>(n);
    if (cp >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(cp));
    }
  }
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

std::string Gb18030(const std::string& utf8) {
  iconv_t cd = iconv_open("GB18030", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(utf8.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = out.data();
  EXPECT_NE(iconv(cd, &in, &inLeft, &o, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

class EncodingTest : public TempFolderTest {
protected:
  int LoadBytes(const std::string& bytes) { return ftf::Read(bytes, tree_, {}).code; }
  void ExpectClanBook() {
    const MemberNode* root = tree_.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, u"孔丘");
    EXPECT_EQ(root->address, u"鲁国曲阜");
    ASSERT_NE(root->firstChild, nullptr);
    const MemberNode* grandchild = root->firstChild->firstChild;
    ASSERT_NE(grandchild, nullptr);
    EXPECT_EQ(grandchild->name, u"\U00020BB7野");
    EXPECT_EQ(grandchild->name.size(), 3u);
    EXPECT_EQ(grandchild->address, u"€街");
  }
  COperationClanbook tree_;
};

TEST_F(EncodingTest, EveryAcceptedEncodingReadsTheSameClanBook) {
  const std::string utf8 = kRecords;
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"UTF-8", utf8},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + utf8},
      {"UTF-16 LE", Utf16(utf8, false)},
      {"UTF-16 BE", Utf16(utf8, true)},
      {"GB18030", Gb18030(utf8)},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    ASSERT_EQ(LoadBytes(f.bytes), kFileOk);
    ExpectClanBook();
    // Whatever was read, UTF-8 without byte-order mark is written.
    const auto out = folder_ / "out.ftf";
    ASSERT_EQ(formats::SaveFtf(out, tree_).code, kFileOk);
    EXPECT_EQ(Read(out), utf8);
  }
}

TEST_F(EncodingTest, KnownBytesOfOlderChineseEncodings) {
  // 孔丘 in GBK (a subset of GB18030), 𠮷 in GB18030's four-byte form.
  ASSERT_EQ(LoadBytes("\xBF\xD7\xC7\xF0 1900 1 1 0 end 1 -1\r\n"
                      "\x95\x34\xB2\x35 1930 1 1 0 end 1 \xBF\xD7\xC7\xF0\r\n"
                      "end 1999 12 2 1 end 1 end"),
            kFileOk);
  EXPECT_EQ(tree_.Root()->name, u"孔丘");
  EXPECT_EQ(tree_.Root()->firstChild->name, u"\U00020BB7");
  // UTF-16 LE bytes of 孔丘 and 𠮷, written out by hand.
  const char utf16[] =
      "\xFF\xFE\x54\x5B\x18\x4E 1 1 1 0 \x42\xD8\xB7\xDF 1 -1 end 1 1 1 1 end 1 end";
  std::string bytes(utf16, 6);
  for (const char* p = utf16 + 6; *p; ++p) {
    if (p[0] == '\x42' && p[1] == '\xD8') {  // the surrogate pair, already two units
      bytes.append(p, 4);
      p += 3;
      continue;
    }
    bytes += *p;
    bytes += '\0';
  }
  ASSERT_EQ(LoadBytes(bytes), kFileOk);
  EXPECT_EQ(tree_.Root()->name, u"孔丘");
  EXPECT_EQ(tree_.Root()->address, u"\U00020BB7");
}

TEST_F(EncodingTest, BytesThatAreNoTextCannotBeOpened) {
  const std::string utf8 = kRecords;
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"invalid in UTF-8 and in GB18030",
       "R 1900 1 1 0 \xFF\x80\xFF 1 -1\r\nend 1999 12 2 1 end 1 end"},
      {"invalid after a UTF-8 byte-order mark",
       "\xEF\xBB\xBFR 1900 1 1 0 \xC3\x28 1 -1\r\nend 1999 12 2 1 end 1 end"},
      {"GB18030 character cut at the end", Gb18030(utf8) + "\x81"},
      {"UTF-16 of odd length", Utf16(utf8, false) + "x"},
      {"UTF-16 lone surrogate", Utf16("R 1900 1 1 0 end 1 -1 ", false) +
                                    std::string("\x00\xD8", 2) +
                                    Utf16(" end 1999 12 2 1 end 1 end", false).substr(2)},
      {"invalid bytes after the end line", utf8 + "\xFF"},
      {"UTF-8 encoded surrogate",
       "R 1900 1 1 0 \xED\xA0\x80 1 -1\r\nend 1999 12 2 1 end 1 end\xFF"},
  };
  for (const auto& f : files) {
    ASSERT_EQ(LoadBytes(kRecords), kFileOk);
    EXPECT_EQ(LoadBytes(f.bytes), kFileCannotOpen) << f.name;
    EXPECT_EQ(tree_.Root(), nullptr) << f.name;
  }
}

TEST_F(EncodingTest, LengthIsCountedInUtf16CodeUnits) {
  // 63 pairs and one more unit make 127 code units; 64 pairs make 128.
  std::string pairs;
  for (int i = 0; i < 63; ++i) pairs += "𠮷";
  ASSERT_EQ(LoadBytes(pairs + "孔 1900 1 1 0 end 1 -1\nend 1999 12 2 1 end 1 end"), kFileOk);
  EXPECT_EQ(tree_.Root()->name.size(), 127u);
  EXPECT_EQ(LoadBytes(pairs + "𠮷 1900 1 1 0 end 1 -1\nend 1999 12 2 1 end 1 end"), kFileBadDate);
  std::string chinese;
  for (int i = 0; i < 127; ++i) chinese += "街";
  ASSERT_EQ(LoadBytes("R 1900 1 1 0 " + chinese + " 1 -1\nend 1999 12 2 1 end 1 end"), kFileOk);
  EXPECT_EQ(LoadBytes("R 1900 1 1 0 " + chinese + "街 1 -1\nend 1999 12 2 1 end 1 end"),
            kFileBadDate);
  // The same limit holds for the other encodings.
  EXPECT_EQ(LoadBytes(Gb18030("R 1900 1 1 0 " + chinese + "街 1 -1\nend 1999 12 2 1 end 1 end")),
            kFileBadDate);
  EXPECT_EQ(
      LoadBytes(Utf16("R 1900 1 1 0 " + chinese + "街 1 -1\nend 1999 12 2 1 end 1 end", true)),
      kFileBadDate);
}

TEST_F(EncodingTest, RandomTextComesBackCodeUnitForCodeUnit) {
  std::mt19937 random(77);
  auto text = [&](std::size_t length) {
    std::u16string s;
    while (s.size() < length) {
      const unsigned kind = random() % 5;
      if (kind == 0 && s.size() + 2 <= length) {
        const std::uint32_t cp = 0x10000 + random() % 0xFFFFF;
        s.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        s.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
      } else {
        char16_t c;
        do {
          c = kind == 1 ? static_cast<char16_t>(0x21 + random() % 0x5E)
                        : static_cast<char16_t>(0x80 + random() % 0xFF80);
        } while ((c >= 0xD800 && c <= 0xDFFF) || c == 0x85 || c == 0xA0);
        s.push_back(c);
      }
    }
    return s;
  };
  std::vector<std::u16string> names;
  Add(tree_, u"", text(127), 1900);
  names.push_back(tree_.Root()->name);
  for (int i = 0; i < 300; ++i) {
    MemberNode* father = tree_.FindByName(names[random() % names.size()]);
    std::u16string name = text(1 + random() % 127);
    if (name == u"end") continue;
    MemberNode* m = Make(name, 1950 + i);
    m->address = random() % 4 ? text(1 + random() % 127) : u"";
    MemberNode* known = tree_.FindByName(name);
    if (known || name == father->name) {
      delete m;
      continue;
    }
    tree_.InsertMember(father, m);
    names.push_back(name);
  }
  const std::string before = Shape(tree_);
  std::vector<std::u16string> addresses;
  for (const MemberNode* m : PreOrder(tree_)) addresses.push_back(m->address);
  const auto file = folder_ / "random.ftf";
  ASSERT_EQ(formats::SaveFtf(file, tree_).code, kFileOk);
  ASSERT_EQ(formats::LoadFtf(file, tree_).code, kFileOk);
  EXPECT_EQ(Shape(tree_), before);
  std::vector<std::u16string> after;
  for (const MemberNode* m : PreOrder(tree_)) after.push_back(m->address);
  EXPECT_EQ(after, addresses);
}

}  // namespace
