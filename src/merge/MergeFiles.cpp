// Merging one branch file into a book file from the command line, and the
// report of what was added, changed and left out.
#include "merge/BranchMerge.h"

#include <ostream>
#include <string>
#include <utility>

#include "formats/FtfFormat.h"
#include "formats/io/AtomicFile.h"
#include "merge/BranchExport.h"
#include "model/TextCodec.h"

const char* DescribeConflict(MergeConflict conflict) {
  switch (conflict) {
    case MergeConflict::None:
      return "no conflict";
    case MergeConflict::NameInBook:
      return "another member of the book bears this name";
    case MergeConflict::NameInBranch:
      return "another member brought in from the branch bears this name";
    case MergeConflict::NameNotStorable:
      return "the name cannot be stored (empty, \"end\", a blank in it, or too long)";
    case MergeConflict::AddressNotStorable:
      return "the address cannot be stored (a blank in it, or too long)";
    case MergeConflict::BadBirthDate:
      return "the birth date is no date of the calendar";
    case MergeConflict::BadDeathDate:
      return "the death date is no date of the calendar or comes before the birth";
    case MergeConflict::BornNotAfterFather:
      return "he would be born on or before his father";
    case MergeConflict::ChildNotAfter:
      return "a child of his would be born on or before him";
  }
  return "unknown conflict";
}

namespace {

// A name or an address as the report prints it: a file's text may hold
// control characters, which a terminal would obey.
std::string Shown(std::u16string_view text) {
  return textcodec::Printable(textcodec::ToUtf8(text));
}

std::string DateText(std::int32_t y, std::int32_t m, std::int32_t d) {
  return std::to_string(y) + '-' + std::to_string(m) + '-' + std::to_string(d);
}

// One field of a member's data as the report names and shows it.
std::pair<const char*, std::string> FieldText(MergeField field, const MemberNode& m) {
  switch (field) {
    case kMergeBirth:
      return {"birth date", DateText(m.birthYear, m.birthMonth, m.birthDay)};
    case kMergeMarried:
      return {"married", m.married ? "yes" : "no"};
    case kMergeAddress:
      return {"address", '"' + Shown(m.address) + '"'};
    case kMergeDeath:
      return {"death", m.alive ? "living" : DateText(m.deathYear, m.deathMonth, m.deathDay)};
    case kMergeRecord:
      // The files merged here are .ftf, which keep no record.
      return {"record", ""};
  }
  return {"", ""};
}

// The fields in which the branch differs from the book and the book's value
// stays, one line each; returns how many. Without them a merge that keeps the
// book's data would look as if the branch had brought no news.
std::size_t ReportKept(const MergeRow& row, std::ostream& report) {
  std::size_t kept = 0;
  for (const MergeField field : {kMergeBirth, kMergeMarried, kMergeAddress, kMergeDeath}) {
    if (!(row.fields & field)) continue;
    const auto [name, book] = FieldText(field, *row.book);
    report << Shown(row.book->name) << ": kept the book's " << name << ' ' << book
           << " (the branch has " << FieldText(field, *row.branch).second << ")\n";
    ++kept;
  }
  return kept;
}

}  // namespace

int MergeBranchFiles(const std::filesystem::path& bookFile, const std::filesystem::path& branchFile,
                     const std::filesystem::path& outFile, MergeSide prefer, std::ostream& report,
                     const std::filesystem::path& baseFile) {
  // The members left out as conflicts live on only in the branch (and its
  // base), so neither may be replaced by the result. The book may: the
  // merge is meant to bring the branch back into it.
  if (OutputIsInput(outFile, {branchFile, baseFile})) {
    report << "merge: cannot save " << outFile.string() << ": "
           << DescribeWriteProblem(FileProblem::kTargetIsInput)
           << " (the branch); nothing written\n";
    return kBranchCannotWrite;
  }
  COperationClanbook book;
  COperationClanbook branch;
  COperationClanbook base;
  for (auto [tree, file] : {std::pair{&book, &bookFile}, std::pair{&branch, &branchFile},
                            std::pair{&base, &baseFile}}) {
    if (file->empty()) continue;
    if (const int result = formats::LoadFtf(*file, *tree).code; result != kFileOk) {
      report << "merge: cannot read " << file->string() << ": " << DescribeFileResult(result)
             << '\n';
      return kBranchCannotRead;
    }
  }
  MergePlan plan = PlanMerge(book, branch, prefer, baseFile.empty() ? nullptr : &base);
  if (!plan.Ok()) {
    report << "merge: " << plan.Failure() << "; nothing changed\n";
    return kBranchNotInBook;
  }
  std::size_t conflicts = 0, kept = 0;
  for (std::size_t i = 0; i < plan.RowCount(); ++i) {
    const MergeRow& r = plan.Row(i);
    if (r.kind == MergeRowKind::Change && r.conflict == MergeConflict::None && !r.applies)
      kept += ReportKept(r, report);
    if (r.conflict == MergeConflict::None) continue;
    ++conflicts;
    report << Shown(plan.Name(i)) << ": " << DescribeConflict(r.conflict);
    // Where the namesake stands tells the user which of the two to rename.
    MemberNode* namesake = nullptr;
    if (r.conflict == MergeConflict::NameInBook) namesake = book.FindByName(plan.Name(i));
    if (namesake && namesake->parent)
      report << " (a child of " << Shown(namesake->parent->name) << ')';
    report << (r.kind == MergeRowKind::Change ? "; keeps the book's data\n"
                                              : "; left out with his descendants\n");
  }
  MergeChanges changes = MakeMergeChanges(plan, book);
  ApplyMerge(book, changes);
  std::size_t added = 0;
  for (const MergeSubtree& s : changes.subtrees) added += s.members.size();
  if (const FileStatus saved = formats::SaveFtf(outFile, book); !saved.Ok()) {
    report << "merge: cannot save " << outFile.string() << ": " << DescribeSaveFailure(saved)
           << '\n';
    return kBranchCannotWrite;
  }
  report << "merge: " << added << " members added, " << changes.data.size() << " changed, ";
  if (kept) report << kept << " differences kept from the book, ";
  report << conflicts << " conflicts left out; saved to " << outFile.string() << '\n';
  return kBranchOk;
}
