// The book file (.cbk) against the .ftf on one generated clan book, in one
// run: load of each, Save As .cbk, a save of one edit to the open .cbk,
// and the files' sizes.
//
//   bench_cbk [MEMBERS]        default 2,000,000 members over 83 generations
//
// Each timing is the best of three; the one-edit save the best of twenty
// (each a different member). The books go to $CLANBOOK_BENCH_DIR (default
// /tmp/clanbook-bench).
#include "ClanGenerator.h"
#include "formats/FtfFormat.h"
#include "formats/cbk/CbkBook.h"
#include "model/BookChanges.h"
#include "model/COperationClanbook.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

double Seconds(const std::function<bool()>& work, int runs) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
      std::fprintf(stderr, "bench_cbk: a step failed\n");
      std::exit(1);
    }
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t members = argc > 1 ? std::atoll(argv[1]) : 2'000'000;
  const fs::path ftf = clanbench::BenchDir() / ("cbk-" + std::to_string(members) + ".ftf");
  const fs::path cbk = clanbench::BenchDir() / ("cbk-" + std::to_string(members) + ".cbk");
  clanbench::ClanSummary summary;
  std::string error;
  if (!clanbench::WriteClan(clanbench::Balanced(members, 83), ftf, summary, error)) {
    std::fprintf(stderr, "bench_cbk: %s\n", error.c_str());
    return 1;
  }
  const double ftfLoad = Seconds(
      [&] {
        COperationClanbook book;
        return formats::LoadFtf(ftf, book).Ok();
      },
      3);
  COperationClanbook book;
  if (!formats::LoadFtf(ftf, book).Ok()) return 1;
  const double saveAs = Seconds(
      [&] {
        fs::remove(cbk);
        return formats::CbkBook::SaveAs(cbk, book, nullptr).Ok();
      },
      3);
  const double cbkLoad = Seconds(
      [&] {
        COperationClanbook loaded;
        std::unique_ptr<formats::CbkBook> file;
        return formats::CbkBook::Open(cbk, formats::CbkBook::Access::kReadWrite, loaded, file).Ok();
      },
      3);
  COperationClanbook open;
  std::unique_ptr<formats::CbkBook> file;
  if (!formats::CbkBook::Open(cbk, formats::CbkBook::Access::kReadWrite, open, file).Ok()) return 1;
  MemberNode* member = open.GetRootLink();
  const double oneEdit = Seconds(
      [&] {
        member = member->firstChild ? member->firstChild : open.GetRootLink();
        MemberData data = *member;
        data.address = data.address == u"甲地" ? u"乙地" : u"甲地";
        open.SetMemberData(member, data);
        BookChanges changes;
        changes.Changed(member);
        return file->SaveChanges(open, changes).Ok() && file->RowsWritten() == 1;
      },
      20);
  std::printf("members            %lld\n", static_cast<long long>(summary.members));
  std::printf(".ftf load          %.3f s\n", ftfLoad);
  std::printf(".cbk load          %.3f s  (%.2f x .ftf)\n", cbkLoad, cbkLoad / ftfLoad);
  std::printf("Save As .cbk       %.3f s\n", saveAs);
  std::printf("one-edit save      %.1f ms\n", oneEdit * 1000);
  const double ftfSize = static_cast<double>(fs::file_size(ftf));
  const double cbkSize = static_cast<double>(fs::file_size(cbk));
  std::printf(".ftf size          %.1f MB\n", ftfSize / 1e6);
  std::printf(".cbk size          %.1f MB  (%.2f x .ftf)\n", cbkSize / 1e6, cbkSize / ftfSize);
  std::printf("member node        %zu bytes (record and row: %zu)\n", sizeof(MemberNode),
              sizeof(MemberExtra));
  return 0;
}
