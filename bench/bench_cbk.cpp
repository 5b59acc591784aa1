// The book file (.cbk) on generated clan books. Three benchmarks:
//
//   bench_cbk [MEMBERS]            .ftf against .cbk load of the same book in
//                                  the same run, Save As .cbk, a save of one
//                                  edit, the sizes (default 2,000,000 members)
//   bench_cbk --records [MEMBERS]  every member with a wife, 字, 号 and a
//                                  行传 of 200 characters: open and the worst
//                                  find-as-you-type keystroke (default 200,000)
//   bench_cbk --photos [PICTURES [MB]]  a book with PICTURES pictures of MB
//                                  megabytes each against the same book
//                                  without them: open time and resident
//                                  memory (default 1,000 of 2 MB)
//
// Every load runs in a fresh process of its own (this program again, with
// --open), so that each peak of resident memory belongs to one load alone;
// the loads of the two files alternate, three each, and the best is given.
// Every figure has wall and processor time: the machine may be shared, and
// processor time is what other programs do not inflate. The books go to
// $CLANBOOK_BENCH_DIR (default /tmp/clanbook-bench).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchTimer.h"
#include "ClanGenerator.h"
#include "SearchTyping.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"
#include "search/MemberSearch.h"

namespace {

namespace fs = std::filesystem;
using clanbench::Timer;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_cbk: %s\n", what.c_str());
  std::exit(1);
}

// One timed stretch: wall and processor milliseconds.
struct Time {
  double wallMs = 1e300, cpuMs = 1e300;
  void Best(const Time& other) {
    wallMs = std::min(wallMs, other.wallMs);
    cpuMs = std::min(cpuMs, other.cpuMs);
  }
};

Time Measure(const std::function<bool()>& work) {
  Timer timer;
  if (!work()) Fail("a step failed");
  return {timer.WallMs(), timer.CpuMs()};
}

// What a load in a fresh process reports.
struct Load {
  Time time;
  double peakMiB = 0;
  long members = 0;
  double photoMs = 0;  // showing the last picture, read from the file
};

// --open FILE in this process: opens a .ftf or .cbk and prints what Load holds.
int OpenChild(const fs::path& file) {
  COperationClanbook book;
  std::unique_ptr<formats::CbkBook> held;
  Timer timer;
  const bool ok =
      file.extension() == ".cbk"
          ? formats::CbkBook::Open(file, formats::CbkBook::Access::kReadWrite, book, held).Ok()
          : formats::LoadFtf(file, book).Ok();
  const double wall = timer.WallMs(), cpu = timer.CpuMs();
  if (!ok) return 1;
  const double peak = clanbench::PeakSinceExecMiB();
  // The last picture of the book, as the window reads it when it is shown.
  double photoMs = 0;
  if (held) {
    std::uint32_t last = 0;
    book.VisitPreOrder(last, book.Root(), [](std::uint32_t& id, MemberNode* m) {
      for (const Photo& p : m->extra.Record().photos) id = std::max(id, p.id);
    });
    if (last) {
      std::string bytes;
      Timer read;
      if (!held->ReadPhoto(last, bytes)) return 1;
      photoMs = read.WallMs();
    }
  }
  std::printf("%.3f %.3f %.1f %d %.3f\n", wall, cpu, peak, book.CountMembers(), photoMs);
  return 0;
}

Load OpenInChild(const fs::path& file) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) Fail("pipe");
  const pid_t pid = ::fork();
  if (pid < 0) Fail("fork");
  if (pid == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::execl("/proc/self/exe", "bench_cbk", "--open", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(pipeFds[1]);
  char line[256] = {};
  std::size_t got = 0;
  for (ssize_t n;
       got + 1 < sizeof line && (n = ::read(pipeFds[0], line + got, sizeof line - 1 - got)) > 0;)
    got += static_cast<std::size_t>(n);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  Load load;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(line, "%lf %lf %lf %ld %lf", &load.time.wallMs, &load.time.cpuMs, &load.peakMiB,
                  &load.members, &load.photoMs) != 5)
    Fail("cannot open " + file.string());
  return load;
}

// Three loads of each file, alternating; the best of each.
std::pair<Load, Load> LoadBoth(const fs::path& a, const fs::path& b, int runs = 3) {
  Load bestA, bestB;
  for (int i = 0; i < runs; ++i) {
    for (auto [file, best] : {std::pair{&a, &bestA}, std::pair{&b, &bestB}}) {
      const Load load = OpenInChild(*file);
      best->time.Best(load.time);
      best->peakMiB = std::max(best->peakMiB, load.peakMiB);
      best->members = load.members;
      best->photoMs = i == 0 ? load.photoMs : std::min(best->photoMs, load.photoMs);
    }
  }
  return {bestA, bestB};
}

void PrintRow(const char* what, const Time& t, const char* extra = "") {
  std::printf("| %s | %.3f | %.3f |%s\n", what, t.wallMs / 1000, t.cpuMs / 1000, extra);
}

fs::path GeneratedFtf(std::int64_t members, const std::string& stem) {
  const fs::path ftf = clanbench::BenchDir() / (stem + "-" + std::to_string(members) + ".ftf");
  clanbench::ClanSummary summary;
  std::string error;
  if (!clanbench::WriteClan(clanbench::Balanced(members, 83), ftf, summary, error)) Fail(error);
  return ftf;
}

// --- .ftf against .cbk, Save As, one edit ------------------------------------

int LoadAndSave(std::int64_t members) {
  const fs::path ftf = GeneratedFtf(members, "cbk");
  const fs::path cbk = fs::path(ftf).replace_extension(".cbk");
  Time saveAs;
  {
    COperationClanbook book;
    if (!formats::LoadFtf(ftf, book).Ok()) Fail("cannot load " + ftf.string());
    for (int i = 0; i < 3; ++i)
      saveAs.Best(Measure([&] {
        fs::remove(cbk);
        return formats::CbkBook::SaveAs(cbk, book, nullptr).Ok();
      }));
  }
  const auto [ftfLoad, cbkLoad] = LoadBoth(ftf, cbk);

  // One edit saved to the open book: the address of a member, each time another.
  COperationClanbook open;
  std::unique_ptr<formats::CbkBook> file;
  if (!formats::CbkBook::Open(cbk, formats::CbkBook::Access::kReadWrite, open, file).Ok())
    Fail("cannot open " + cbk.string());
  MemberNode* member = open.Root();
  Time oneEdit, worstEdit{0, 0};
  for (int i = 0; i < 20; ++i) {
    member = member->firstChild ? member->firstChild : open.Root();
    const Time t = Measure([&] {
      MemberData data = *member;
      data.address = data.address == u"甲地" ? u"乙地" : u"甲地";
      open.SetMemberData(member, data);
      BookChanges changes;
      changes.Changed(member);
      return file->SaveChanges(open, changes).Ok() && file->RowsWritten() == 1;
    });
    oneEdit.Best(t);
    worstEdit.wallMs = std::max(worstEdit.wallMs, t.wallMs);
    worstEdit.cpuMs = std::max(worstEdit.cpuMs, t.cpuMs);
  }

  std::printf("# bench_cbk: %ld members over 83 generations\n\n", cbkLoad.members);
  std::printf("| step | wall s | cpu s | peak resident |\n|---|---|---|---|\n");
  char peak[64];
  std::snprintf(peak, sizeof peak, " %.0f MiB |", ftfLoad.peakMiB);
  PrintRow(".ftf load (fresh process, best of 3)", ftfLoad.time, peak);
  std::snprintf(peak, sizeof peak, " %.0f MiB |", cbkLoad.peakMiB);
  PrintRow(".cbk load (fresh process, best of 3)", cbkLoad.time, peak);
  std::printf("| .cbk / .ftf | %.2f x | %.2f x | |\n", cbkLoad.time.wallMs / ftfLoad.time.wallMs,
              cbkLoad.time.cpuMs / ftfLoad.time.cpuMs);
  PrintRow("Save As .cbk (best of 3)", saveAs, " |");
  std::printf("| save of one edit, best / worst of 20 | %.1f / %.1f ms | %.1f / %.1f ms | |\n",
              oneEdit.wallMs, worstEdit.wallMs, oneEdit.cpuMs, worstEdit.cpuMs);
  const double ftfSize = static_cast<double>(fs::file_size(ftf));
  const double cbkSize = static_cast<double>(fs::file_size(cbk));
  std::printf("\n.ftf %.1f MB, .cbk %.1f MB (%.2f x)\n", ftfSize / 1e6, cbkSize / 1e6,
              cbkSize / ftfSize);
  return 0;
}

// --- every member with a record ----------------------------------------------

// Characters a 行传 is written in; the texts are drawn from them by a fixed
// sequence, so that every run makes the same book.
constexpr std::u16string_view kProse =
    u"公讳字号生于卒葬配子女孙曾祖父母兄弟姊妹家世业读书仕官乡里德行孝友义勤俭"
    u"少颖悟长而好学事亲至孝治家有法邻里称之年寿终正寝娶氏继室侧室合葬山向坐";
constexpr std::u16string_view kStyle = u"子文伯仲叔季德明清远山松竹梅兰菊静安和乐天存心";

std::u16string Drawn(std::uint64_t& state, std::u16string_view from, std::size_t length) {
  std::u16string text;
  for (std::size_t i = 0; i < length; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    text += from[(state >> 33) % from.size()];
  }
  return text;
}

// Gives every member a wife, a 字, a 号 and a 行传 of 200 characters.
void GiveRecords(COperationClanbook& book) {
  std::uint64_t state = 2024;
  bool unused = false;
  book.VisitPreOrder(unused, book.Root(), [&state](bool&, MemberNode* m) {
    MemberRecord record;
    record.courtesyName = Drawn(state, kStyle, 2);
    record.artName = Drawn(state, kStyle, 2) + u"居士";
    record.biography = Drawn(state, kProse, 200);
    Spouse wife;
    wife.surname = Drawn(state, u"李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑", 1);
    wife.givenName = Drawn(state, kStyle, 2);
    wife.birthYear = m->birthYear;
    wife.birthMonth = wife.birthDay = 1;
    record.spouses.push_back(wife);
    m->extra.SetRecord(record);
  });
}

int Records(std::int64_t members) {
  const fs::path ftf = GeneratedFtf(members, "records");
  const fs::path cbk = fs::path(ftf).replace_extension(".cbk");
  std::u16string courtesy, art, prose;
  {
    COperationClanbook book;
    if (!formats::LoadFtf(ftf, book).Ok()) Fail("cannot load " + ftf.string());
    GiveRecords(book);
    // The texts of a member in the middle of the book, to be typed.
    MemberNode* m = book.Root();
    for (int i = 0; i < 40 && m->firstChild; ++i) m = m->firstChild;
    courtesy = m->extra.Record().courtesyName;
    art = m->extra.Record().artName;
    prose = m->extra.Record().biography.substr(100, 6);
    fs::remove(cbk);
    if (!formats::CbkBook::SaveAs(cbk, book, nullptr).Ok()) Fail("cannot save " + cbk.string());
  }
  COperationClanbook book;
  std::unique_ptr<formats::CbkBook> file;
  const Time open = Measure([&] {
    return formats::CbkBook::Open(cbk, formats::CbkBook::Access::kReadWrite, book, file).Ok();
  });
  MemberSearchIndex index(book);
  const Time rebuild = Measure([&] {
    index.Rebuild();
    return true;
  });
  std::printf("# bench_cbk --records: %d members, each with a wife, 字, 号 and 行传 of 200\n\n",
              book.CountMembers());
  std::printf("| step | wall s | cpu s |\n|---|---|---|\n");
  PrintRow("open the .cbk", open);
  PrintRow("search index built", rebuild);
  PrintRow("open, with the index", {open.wallMs + rebuild.wallMs, open.cpuMs + rebuild.cpuMs});
  std::printf("\n.cbk %.1f MB, peak resident %.0f MiB\n", fs::file_size(cbk) / 1e6,
              clanbench::PeakMiB());
  clanbench::WorstKeystroke worst;
  const std::vector<std::u16string> typed = {u"wangjianguo", u"王建国", u"w",       u"王",
                                             courtesy,       art,       u"居士",    prose,
                                             u"zhs",         u"乡里",   u"苏州东街"};
  clanbench::TypeAll(index, "book with records", typed, worst);
  std::printf("\nworst keystroke: %.2f ms wall (%s), %.2f ms cpu\n", worst.wallMs,
              worst.where.c_str(), worst.cpuMs);
  return 0;
}

// --- pictures ------------------------------------------------------------------

// Bytes that begin as a PNG and go on at random: never decoded, only kept.
std::shared_ptr<const std::string> Picture(std::mt19937_64& random, std::size_t bytes) {
  auto picture = std::make_shared<std::string>(bytes, '\0');
  for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
    const std::uint64_t word = random();
    std::memcpy(picture->data() + i, &word, 8);
  }
  std::memcpy(picture->data(), "\x89PNG\r\n\x1a\n", 8);
  return picture;
}

int Photos(int pictures, int megabytes) {
  constexpr std::int64_t kMembers = 20'000;
  const fs::path ftf = GeneratedFtf(kMembers, "photos");
  const fs::path plain = clanbench::BenchDir() / "photos-none.cbk";
  const fs::path rich = clanbench::BenchDir() / ("photos-" + std::to_string(pictures) + "x" +
                                                 std::to_string(megabytes) + "MB.cbk");
  {
    COperationClanbook book;
    if (!formats::LoadFtf(ftf, book).Ok()) Fail("cannot load " + ftf.string());
    fs::remove(plain);
    fs::remove(rich);
    if (!formats::CbkBook::SaveAs(plain, book, nullptr).Ok() ||
        !formats::CbkBook::SaveAs(rich, book, nullptr).Ok())
      Fail("cannot save the books");
  }
  {
    // The pictures are added as the window adds them, some at a time, each
    // batch saved: their bytes leave memory with the save.
    COperationClanbook book;
    std::unique_ptr<formats::CbkBook> file;
    if (!formats::CbkBook::Open(rich, formats::CbkBook::Access::kReadWrite, book, file).Ok())
      Fail("cannot open " + rich.string());
    std::vector<MemberNode*> members;
    book.VisitPreOrder(members, book.Root(),
                       [](std::vector<MemberNode*>& out, MemberNode* m) { out.push_back(m); });
    std::mt19937_64 random(7);
    BookChanges changes;
    for (int i = 0; i < pictures; ++i) {
      MemberNode* m = members[static_cast<std::size_t>(i) * members.size() / pictures];
      Photo photo;
      photo.caption = u"像";
      photo.caption += static_cast<char16_t>(u'一' + i % 9);
      photo.bytes = Picture(random, static_cast<std::size_t>(megabytes) << 20);
      m->extra.EditRecord().photos.push_back(photo);
      changes.Changed(m);
      if ((i + 1) % 50 == 0 || i + 1 == pictures)
        if (!file->SaveChanges(book, changes).Ok()) Fail("cannot save the pictures");
    }
  }
  const auto [without, with] = LoadBoth(plain, rich);
  std::printf("# bench_cbk --photos: %ld members; %d pictures of %d MB\n\n", with.members, pictures,
              megabytes);
  std::printf(
      "| book | file | open, wall s | open, cpu s | peak resident |\n|---|---|---|---|---|\n");
  std::printf("| without pictures | %.1f MB | %.3f | %.3f | %.0f MiB |\n",
              fs::file_size(plain) / 1e6, without.time.wallMs / 1000, without.time.cpuMs / 1000,
              without.peakMiB);
  std::printf("| with the pictures | %.1f MB | %.3f | %.3f | %.0f MiB |\n",
              fs::file_size(rich) / 1e6, with.time.wallMs / 1000, with.time.cpuMs / 1000,
              with.peakMiB);
  std::printf("\nshowing one picture reads its %d MB: %.1f ms\n", megabytes, with.photoMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--open") == 0) return OpenChild(argv[2]);
  if (argc > 1 && std::strcmp(argv[1], "--records") == 0)
    return Records(argc > 2 ? std::atoll(argv[2]) : 200'000);
  if (argc > 1 && std::strcmp(argv[1], "--photos") == 0)
    return Photos(argc > 2 ? std::atoi(argv[2]) : 1000, argc > 3 ? std::atoi(argv[3]) : 2);
  return LoadAndSave(argc > 1 ? std::atoll(argv[1]) : 2'000'000);
}
