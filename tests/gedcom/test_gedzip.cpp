// GEDZIP (.gdz): the whole-record book goes .cbk -> .gdz -> .cbk unchanged,
// pictures' bytes included, by every route; the archive is one that unzip
// and Python's zipfile (Gramps's reader) open; archives made to harm
// (names outside the archive, a bomb, lying sizes and CRCs, a cut
// directory, no gedcom.ged, encryption) are refused with their problem,
// nothing imported and nothing written.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>

#include "../formats/WholeBook.h"
#include "GedcomTestSupport.h"
#include "formats/CbkFormat.h"
#include "formats/FormatRegistry.h"
#include "formats/cbk/CbkBook.h"
#include "formats/gedcom/GedzipFormat.h"
#include "formats/io/Zip.h"

using namespace gedcomtest;
using namespace wholebook;

namespace {

namespace fs = std::filesystem;

// ---- A ZIP written by hand, so that every field can lie ---------------------

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& bytes) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, bytes.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

struct RawEntry {
  RawEntry(std::string n, std::string b, bool d = false)
      : name(std::move(n)), bytes(std::move(b)), deflated(d) {}
  std::string name;
  std::string bytes;  // what the entry holds
  bool deflated = false;
  std::uint16_t flags = 0x0800;
  std::uint16_t method = 0xFFFF;            // 0xFFFF: 8 when deflated, else 0
  std::optional<std::uint32_t> crc;         // a lie, when given
  std::optional<std::uint64_t> size;        // a lie, when given (ZIP64 past 4 GiB)
  std::optional<std::uint32_t> packedSize;  // a lie, when given
};

std::string Archive(const std::vector<RawEntry>& entries) {
  std::string out, directory;
  for (const RawEntry& e : entries) {
    const std::string packed = e.deflated ? RawDeflate(e.bytes) : e.bytes;
    const std::uint32_t crc = e.crc.value_or(static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(e.bytes.data()), static_cast<uInt>(e.bytes.size()))));
    const std::uint64_t size = e.size.value_or(e.bytes.size());
    const bool zip64 = size >= 0xFFFFFFFFu;
    const std::uint32_t packedSize =
        e.packedSize.value_or(static_cast<std::uint32_t>(packed.size()));
    const std::uint16_t method = e.method != 0xFFFF ? e.method : e.deflated ? 8 : 0;
    std::string extra;
    if (zip64) {
      Put16(extra, 1);
      Put16(extra, 8);
      Put32(extra, static_cast<std::uint32_t>(size));
      Put32(extra, static_cast<std::uint32_t>(size >> 32));
    }
    const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    Put32(out, 0x04034b50);
    for (const std::uint32_t v : {20u, std::uint32_t{e.flags}, std::uint32_t{method}, 0u, 0x21u})
      Put16(out, v);
    Put32(out, crc);
    Put32(out, packedSize);
    Put32(out, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size));
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, 0);
    out += e.name + packed;
    Put32(directory, 0x02014b50);
    for (const std::uint32_t v :
         {0x031Eu, 20u, std::uint32_t{e.flags}, std::uint32_t{method}, 0u, 0x21u})
      Put16(directory, v);
    Put32(directory, crc);
    Put32(directory, packedSize);
    Put32(directory, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size));
    for (const std::size_t v :
         {e.name.size(), extra.size(), std::size_t{0}, std::size_t{0}, std::size_t{0}})
      Put16(directory, static_cast<std::uint32_t>(v));
    Put32(directory, 0);
    Put32(directory, offset);
    directory += e.name + extra;
  }
  const std::uint32_t at = static_cast<std::uint32_t>(out.size());
  out += directory;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put32(out, static_cast<std::uint32_t>(directory.size()));
  Put32(out, at);
  Put16(out, 0);
  return out;
}

const std::string kOneMember =
    "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n0 @I1@ INDI\r\n1 NAME /孔/丘\r\n1 BIRT\r\n"
    "2 DATE 1 JAN 1900\r\n1 OBJE @O1@\r\n0 @O1@ OBJE\r\n1 FILE media/1.png\r\n0 TRLR\r\n";

class Gedzip : public ScratchFolder {
protected:
  // The whole-record book saved as a .cbk, its pictures in the file only.
  fs::path FilledBook(std::string& expected) {
    COperationClanbook original;
    FillBook(original);
    expected = DumpAll(original);
    const fs::path first = folder_ / "first.cbk";
    EXPECT_TRUE(formats::CbkBook::SaveAs(first, original, nullptr).Ok());
    return first;
  }
  std::string DumpCbk(const fs::path& path) {
    COperationClanbook back;
    std::unique_ptr<formats::CbkBook> file;
    EXPECT_TRUE(formats::CbkBook::Open(path, formats::CbkBook::Access::kReadOnly, back, file).Ok());
    return DumpAll(back, file.get());
  }
};

// ---- The whole record out and back ------------------------------------------

enum class Route { kRegistry, kCommandLine };

class GedzipWholeRecord : public Gedzip, public ::testing::WithParamInterface<Route> {};

TEST_P(GedzipWholeRecord, FilledBookComesBackWithItsPictures) {
  std::string expected;
  const fs::path first = FilledBook(expected);
  const fs::path gdz = folder_ / "book.gdz";
  const fs::path second = folder_ / "second.cbk";
  if (GetParam() == Route::kRegistry) {  // --convert
    COperationClanbook read;
    ASSERT_TRUE(formats::ReadBookFile(first, read).Ok());
    ASSERT_TRUE(formats::WriteBookFile(gdz, read, first).Ok());
    COperationClanbook imported;
    ASSERT_TRUE(formats::ReadBookFile(gdz, imported).Ok());
    ASSERT_TRUE(formats::WriteBookFile(second, imported).Ok());
  } else {
    std::ostringstream messages, report;
    // The version asked does not matter: a GEDZIP is 7.0.
    ASSERT_EQ(gedcom::ExportGedcomFile(first, gdz, gedcom::GedcomVersion::v5_5_1, messages), 0)
        << messages.str();
    ASSERT_EQ(gedcom::ImportGedcomFile(gdz, second, std::string("@I1@"), report), 0)
        << report.str();
    EXPECT_NE(report.str().find("\n0 changes\n0 facts with no place in the book\n"),
              std::string::npos)
        << report.str();
  }
  EXPECT_EQ(DumpCbk(second), expected);
  // Everything is in the archive: no folder of pictures beside it.
  EXPECT_EQ(Listing(), "book.gdz first.cbk second.cbk");

  const std::string bytes = Read(gdz);
  zip::ZipReader archive;
  ASSERT_EQ(archive.Open(bytes), FileProblem::kNone);
  std::vector<std::string> names;
  for (const zip::ZipEntry& e : archive.Entries()) {
    names.push_back(e.name);
    EXPECT_TRUE(e.flags & 0x0800) << e.name << ": names are flagged UTF-8";
  }
  EXPECT_EQ(names, (std::vector<std::string>{"gedcom.ged", "media/1.png", "media/2.jpg"}));
  std::string text, png;
  ASSERT_EQ(archive.Extract(archive.Entries()[0], 1 << 20, text), FileProblem::kNone);
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF"
                       "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n",
                       0),
            0u);
  EXPECT_NE(text.find("1 FILE media/1.png\r\n2 FORM image/png\r\n"), std::string::npos);
  ASSERT_EQ(archive.Extract(archive.Entries()[1], 1 << 20, png), FileProblem::kNone);
  EXPECT_EQ(png, kPng);
}

INSTANTIATE_TEST_SUITE_P(Routes, GedzipWholeRecord,
                         ::testing::Values(Route::kRegistry, Route::kCommandLine));

// Other readers: Info-ZIP's unzip tests every CRC and lists gedcom.ged at the
// root; Python's zipfile (what Gramps reads archives with) finds it too.
TEST_F(Gedzip, OtherZipReadersOpenTheArchive) {
  std::string expected;
  const fs::path first = FilledBook(expected);
  COperationClanbook read;
  ASSERT_TRUE(formats::ReadBookFile(first, read).Ok());
  const fs::path gdz = folder_ / "book.gdz";
  ASSERT_TRUE(formats::WriteBookFile(gdz, read, first).Ok());
  const std::string quoted = "'" + gdz.string() + "'";
  bool anyReader = false;
  if (std::system("unzip -v >/dev/null 2>&1") == 0) {
    anyReader = true;
    EXPECT_EQ(std::system(("unzip -tq " + quoted + " >/dev/null").c_str()), 0);
    const fs::path listing = folder_ / "listing.txt";
    ASSERT_EQ(std::system(("unzip -Z1 " + quoted + " >'" + listing.string() + "'").c_str()), 0);
    EXPECT_EQ(Read(listing), "gedcom.ged\nmedia/1.png\nmedia/2.jpg\n");
  }
  if (std::system("python3 -c 'import zipfile' >/dev/null 2>&1") == 0) {
    anyReader = true;
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "assert z.testzip() is None\n"
        "assert z.read('gedcom.ged').startswith(b'\\xef\\xbb\\xbf0 HEAD')\n"
        "assert len(z.read('media/2.jpg')) == " +
        std::to_string(kJpeg.size()) + "\n";
    const fs::path file = folder_ / "check.py";
    std::ofstream(file) << script;
    EXPECT_EQ(std::system(("python3 '" + file.string() + "' " + quoted).c_str()), 0);
  }
  if (!anyReader) GTEST_SKIP() << "neither unzip nor python3 is installed";
}

// More than 65,535 entries take the ZIP64 end records, which unzip and the
// reader follow.
TEST_F(Gedzip, ManyEntriesTakeZip64) {
  std::string bytes;
  zip::ZipWriter writer([&bytes](std::string_view piece) {
    bytes.append(piece);
    return true;
  });
  constexpr std::size_t kCount = 70000;
  for (std::size_t i = 0; i < kCount; ++i)
    ASSERT_TRUE(writer.AddWhole("media/" + std::to_string(i) + ".bin", std::to_string(i), false));
  ASSERT_TRUE(writer.Finish());
  EXPECT_NE(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
  zip::ZipReader reader;
  ASSERT_EQ(reader.Open(bytes), FileProblem::kNone);
  ASSERT_EQ(reader.Entries().size(), kCount);
  std::string last;
  ASSERT_EQ(reader.Extract(*reader.Find("media/69999.bin"), 100, last), FileProblem::kNone);
  EXPECT_EQ(last, "69999");
  // A cap on entries refuses it unread.
  EXPECT_EQ(reader.Open(bytes, 1000), FileProblem::kUnsafeArchive);
  if (std::system("unzip -v >/dev/null 2>&1") == 0) {
    const fs::path path = Write(bytes, "many.zip");
    EXPECT_EQ(std::system(("unzip -tq '" + path.string() + "' >/dev/null").c_str()), 0);
  }
}

// ---- Archives made to harm --------------------------------------------------

struct Hostile {
  const char* what;
  std::function<std::string()> archive;
  FileProblem problem;
};

void PrintTo(const Hostile& row, std::ostream* out) {
  *out << row.what;
}

const std::string kPicture = kPng + std::string(300, 'p');

std::string WithPicture(RawEntry picture) {
  return Archive({{"gedcom.ged", kOneMember, true}, picture});
}

const Hostile kHostile[] = {
    {"a name that climbs out",
     [] {
       return WithPicture({"../media/1.png", kPicture});
     },
     FileProblem::kUnsafeArchive},
    {"a name that climbs out midway",
     [] {
       return WithPicture({"media/../../1.png", kPicture});
     },
     FileProblem::kUnsafeArchive},
    {"an absolute name",
     [] {
       return WithPicture({"/tmp/1.png", kPicture});
     },
     FileProblem::kUnsafeArchive},
    {"a backslash",
     [] {
       return WithPicture({"media\\1.png", kPicture});
     },
     FileProblem::kUnsafeArchive},
    {"a drive",
     [] {
       return WithPicture({"C:media/1.png", kPicture});
     },
     FileProblem::kUnsafeArchive},
    {"a bomb that says so: gedcom.ged of 5 GiB",
     [] {
       RawEntry e{"gedcom.ged", std::string(1 << 20, '0'), true};
       e.size = std::uint64_t{5} << 30;
       return Archive({e});
     },
     FileProblem::kUnsafeArchive},
    {"a bomb that lies: a megabyte of zeros said to be 1,000 bytes",
     [] {
       RawEntry e{"gedcom.ged", kOneMember + std::string(1 << 20, '0'), true};
       e.size = 1000;
       return Archive({e});
     },
     FileProblem::kDamagedArchive},
    {"fewer bytes than said",
     [] {
       RawEntry e{"gedcom.ged", kOneMember, true};
       e.size = kOneMember.size() + 10;
       return Archive({e});
     },
     FileProblem::kDamagedArchive},
    {"a bad CRC",
     [] {
       RawEntry e{"gedcom.ged", kOneMember, true};
       e.crc = 12345;
       return Archive({e});
     },
     FileProblem::kDamagedArchive},
    {"a bad CRC on a picture the GEDCOM names",
     [] {
       RawEntry picture{"media/1.png", kPicture};
       picture.crc = 1;
       return WithPicture(picture);
     },
     FileProblem::kDamagedArchive},
    {"a stored entry whose size lies",
     [] {
       RawEntry e{"gedcom.ged", kOneMember};
       e.size = kOneMember.size() - 5;
       return Archive({e});
     },
     FileProblem::kDamagedArchive},
    {"a stored entry longer than the archive",
     [] {
       RawEntry e{"gedcom.ged", kOneMember};
       e.size = e.packedSize = 1 << 20;
       return Archive({e});
     },
     FileProblem::kDamagedArchive},
    {"a truncated central directory",
     [] {
       std::string bytes = WithPicture({"media/1.png", kPicture});
       const std::size_t directory = bytes.find(std::string("PK\x01\x02", 4));
       return bytes.substr(0, directory + 30);
     },
     FileProblem::kDamagedArchive},
    {"an archive cut short",
     [] {
       const std::string bytes = WithPicture({"media/1.png", kPicture});
       return bytes.substr(0, bytes.size() / 2);
     },
     FileProblem::kDamagedArchive},
    {"no archive at all", [] { return kOneMember; }, FileProblem::kDamagedArchive},
    {"an empty file", [] { return std::string(); }, FileProblem::kDamagedArchive},
    {"no gedcom.ged",
     [] {
       return Archive({{"media/1.png", kPicture}});
     },
     FileProblem::kNoGedcomInArchive},
    {"gedcom.ged only in a folder",
     [] {
       return Archive({{"book/gedcom.ged", kOneMember}});
     },
     FileProblem::kNoGedcomInArchive},
    {"two entries named gedcom.ged",
     [] {
       return Archive({{"gedcom.ged", kOneMember}, {"gedcom.ged", kOneMember}});
     },
     FileProblem::kDamagedArchive},
    {"an encrypted gedcom.ged",
     [] {
       RawEntry e{"gedcom.ged", kOneMember};
       e.flags |= 1;
       return Archive({e});
     },
     FileProblem::kUnsupportedArchive},
    {"gedcom.ged in bzip2",
     [] {
       RawEntry e{"gedcom.ged", kOneMember};
       e.method = 12;
       return Archive({e});
     },
     FileProblem::kUnsupportedArchive},
};

class GedzipHostile : public Gedzip, public ::testing::WithParamInterface<Hostile> {};

TEST_P(GedzipHostile, IsRefusedWithItsProblemAndNothingWritten) {
  const fs::path gdz = Write(GetParam().archive(), "hostile.gdz");
  const fs::path out = folder_ / "out.cbk";
  COperationClanbook book;
  wholebook::AddMember(book, nullptr, u"旧", 1900);
  const FileStatus read = formats::ReadBookFile(gdz, book);
  EXPECT_EQ(read.problem, GetParam().problem);
  EXPECT_EQ(book.Root(), nullptr) << "a refused archive left members behind";
  // The command line: exit 1, the reason said, no output.
  std::ostringstream report;
  EXPECT_EQ(gedcom::ImportGedcomFile(gdz, out, std::nullopt, report), 1);
  EXPECT_NE(report.str().find(formats::DescribeArchiveProblem(GetParam().problem)),
            std::string::npos)
      << report.str();
  EXPECT_EQ(Listing(), "hostile.gdz");
  EXPECT_FALSE(fs::exists(folder_.parent_path() / "media" / "1.png"));
  EXPECT_FALSE(fs::exists(folder_ / "media"));
}

INSTANTIATE_TEST_SUITE_P(Archives, GedzipHostile, ::testing::ValuesIn(kHostile),
                         [](const ::testing::TestParamInfo<Hostile>& info) {
                           return "row" + std::to_string(info.index);
                         });

// A FILE names an entry by its path in the archive, escaped as a URI or not;
// a reference that leaves the archive names nothing, even where a file of
// that name lies beside it, and a picture too large is named, not read.
TEST_F(Gedzip, FileReferencesNameEntriesOfTheArchiveOnly) {
  struct Row {
    const char* file;
    std::vector<RawEntry> media;
    bool kept;
  };
  const Row rows[] = {
      {"media/1.png", {{"media/1.png", kPicture}}, true},
      {"./media/1.png", {{"media/1.png", kPicture, true}}, true},
      {"media/my%20photo.png", {{"media/my photo.png", kPicture}}, true},
      {"媒体/像.png", {{"媒体/像.png", kPicture}}, true},
      {"../beside.png", {}, false},
      {"beside.png", {}, false},
      {"/etc/passwd", {}, false},
      {"media/big.bmp", {{"media/big.bmp", "BM" + std::string((64 << 20) + 1, 'b'), true}}, false},
  };
  Write(kPicture, "beside.png");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::string text = kOneMember;
    text.replace(text.find("media/1.png"), 11, row.file);
    std::vector<RawEntry> entries{{"gedcom.ged", text, true}};
    entries.insert(entries.end(), row.media.begin(), row.media.end());
    const std::string archive = Archive(entries);
    COperationClanbook book;
    formats::GedzipFormat format;
    ASSERT_TRUE(format.Read(archive, book, {}).Ok());
    const std::vector<Photo>& photos = book.Root()->extra.Record().photos;
    if (row.kept) {
      ASSERT_EQ(photos.size(), 1u);
      EXPECT_EQ(*photos[0].bytes, kPicture);
    } else {
      EXPECT_TRUE(photos.empty());
      ASSERT_EQ(format.Report().dropped.size(), 1u);
      EXPECT_EQ(format.Report().dropped[0].fact, "OBJE.FILE");
      EXPECT_EQ(format.Report().dropped[0].value, row.file);
    }
  }
}

// A gedcom.ged that is no GEDCOM fails as a .ged does, saying why.
TEST_F(Gedzip, AGedcomThatIsNoGedcomFailsAsADotGedDoes) {
  const fs::path gdz =
      Write(Archive({{"gedcom.ged", "hello, this is no GEDCOM\r\n", true}}), "text.gdz");
  std::ostringstream report;
  EXPECT_EQ(gedcom::ImportGedcomFile(gdz, folder_ / "out.cbk", std::nullopt, report), 1);
  EXPECT_NE(report.str().find(gdz.string() + ":1: "), std::string::npos) << report.str();
  COperationClanbook book;
  EXPECT_EQ(formats::ReadBookFile(gdz, book).problem, FileProblem::kCannotOpen);
}

// A failed export leaves the older archive as it was; an output that is the
// input is refused before anything is read; a picture that cannot be read is
// left out and said.
TEST_F(Gedzip, AFailedExportLeavesTheOldArchive) {
  std::string expected;
  const fs::path first = FilledBook(expected);
  const fs::path gdz = Write("older archive", "book.gdz");
  COperationClanbook empty;
  EXPECT_EQ(formats::WriteBookFile(gdz, empty, first).problem, FileProblem::kNothingToSave);
  std::ostringstream messages;
  EXPECT_EQ(gedcom::ExportGedcomFile(gdz, gdz, gedcom::GedcomVersion::v7_0, messages), 2);
  EXPECT_EQ(Read(gdz), "older archive");
  // Pictures only in a .cbk that is not given: left out and said, so the
  // export fails, though the rest of the book is written.
  COperationClanbook read;
  ASSERT_TRUE(formats::ReadBookFile(first, read).Ok());
  // Each is told as its member's own: numbers of the file would repeat, as
  // the next picture written takes the number the one left out did not.
  std::vector<std::pair<std::u16string, std::size_t>> leftOut;
  const auto tell = [&](const gedcom::MediaItem& item) {
    leftOut.emplace_back(item.member.name, item.position);
  };
  EXPECT_EQ(gedcom::WriteGedzipBook(read, gdz, nullptr, tell).problem, FileProblem::kWriteFailed);
  const std::u16string owner = read.Root()->name;
  EXPECT_EQ(leftOut, (decltype(leftOut){{owner, 1}, {owner, 2}}));
  // A write the sink refuses midway leaves nothing whole.
  formats::GedzipFormat format;
  std::size_t given = 0;
  EXPECT_FALSE(
      format.Write(read, [&](std::string_view piece) { return (given += piece.size()) < 200; })
          .Ok());
}

}  // namespace

namespace {

// The fuzzer's seeds: each archive imports or is refused with a problem,
// and leaves nothing behind when refused.
TEST(GedzipCorpus, EveryArchiveImportsOrSaysWhy) {
  const fs::path corpus = fs::path(CLANBOOK_SOURCE_DIR) / "fuzz/corpus-gedzip";
  std::size_t imported = 0, files = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    COperationClanbook book;
    const FileStatus read = formats::ReadBookFile(entry.path(), book);
    if (read.Ok()) {
      ++imported;
      EXPECT_NE(book.Root(), nullptr);
    } else {
      EXPECT_NE(read.problem, FileProblem::kNone);
      EXPECT_EQ(book.Root(), nullptr);
    }
  }
  EXPECT_GT(files, imported);
  EXPECT_GT(imported, 0u);
}

}  // namespace
