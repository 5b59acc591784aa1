// Export of a branch, and the messages the command-line functions share.
#include "merge/BranchExport.h"

#include <ostream>
#include <utility>
#include <vector>

#include "formats/FtfFormat.h"
#include "formats/io/AtomicFile.h"
#include "model/TextCodec.h"

namespace {

MemberNode* CopyData(const MemberNode& source) {
  auto* copy = new MemberNode;
  static_cast<MemberData&>(*copy) = source;
  return copy;
}

}  // namespace

void ExtractBranch(const COperationClanbook& /*book*/, const MemberNode* top,
                   COperationClanbook& out) {
  out.Clear();
  if (!top) return;
  MemberNode* root = CopyData(*top);
  out.InsertMember(nullptr, root);
  // A whole family is inserted before the next one, and youngest first: each
  // newcomer then goes in front of the list at once, twins keep their order,
  // and no family is walked (going back to an earlier father between two of
  // his children would walk his list every time).
  std::vector<std::pair<const MemberNode*, MemberNode*>> fathers{{top, root}};
  std::vector<const MemberNode*> children;
  while (!fathers.empty()) {
    auto [source, copy] = fathers.back();
    fathers.pop_back();
    children.clear();
    for (const MemberNode* c = source->firstChild; c; c = c->nextSibling) children.push_back(c);
    for (auto c = children.rbegin(); c != children.rend(); ++c) {
      MemberNode* childCopy = CopyData(**c);
      out.InsertMember(copy, childCopy);
      if ((*c)->firstChild) fathers.emplace_back(*c, childCopy);
    }
  }
}

const char* DescribeFileResult(int result) {
  switch (result) {
    case kFileOk:
      return "done";
    case kFileBadDate:
      return "a record holds an impossible date or cannot be read";
    case kFileBadRelation:
      return "a record names a father who is not in the file";
    case kFileCannotWrite:
      return "the file cannot be written";
    case kFileCannotOpen:
      return "the file cannot be opened";
    case kFileNoMemory:
      return "not enough memory";
    case kFileNoRoot:
      return "the file holds no members";
    default:
      return "unknown failure";
  }
}

std::string DescribeSaveFailure(const FileStatus& status) {
  // A member the file cannot hold is the book's fault, not the target's.
  if (status.problem == FileProblem::kNameNotStorable ||
      status.problem == FileProblem::kAddressNotStorable ||
      status.problem == FileProblem::kNamedEnd || status.problem == FileProblem::kNamedLikeFather ||
      status.problem == FileProblem::kRootNamedNoFather)
    return std::string(DescribeFileResult(status.code)) + " (" + textcodec::ToUtf8(status.detail) +
           ")";
  return DescribeWriteProblem(status.problem);
}

int ExportBranchFile(const std::filesystem::path& in, std::string_view name,
                     const std::filesystem::path& out, std::ostream& messages) {
  std::u16string wanted;
  if (textcodec::DecodeUtf8(name, wanted, kMaxTextLength) != textcodec::Decoded::kText ||
      wanted.empty()) {
    messages << "export: the name \"" << textcodec::Printable(name)
             << "\" is no UTF-8 text of 1 to 127 characters\n";
    return kBranchBadName;
  }
  // The branch is a part of the book: written over the book it would be all
  // that is left of it.
  if (OutputIsInput(out, {in})) {
    messages << "export: cannot save " << out.string() << ": "
             << DescribeWriteProblem(FileProblem::kTargetIsInput) << "; nothing written\n";
    return kBranchCannotWrite;
  }
  COperationClanbook book;
  if (const int result = formats::LoadFtf(in, book).code; result != kFileOk) {
    messages << "export: cannot read " << in.string() << ": " << DescribeFileResult(result) << '\n';
    return kBranchCannotRead;
  }
  MemberNode* top = book.FindByName(wanted);
  if (!top) {
    messages << "export: nobody in " << in.string() << " is called " << textcodec::Printable(name)
             << '\n';
    return kBranchNotFound;
  }
  COperationClanbook branch;
  ExtractBranch(book, top, branch);
  book.Clear();  // two books of two million members need not stay side by side
  if (const FileStatus saved = formats::SaveFtf(out, branch); !saved.Ok()) {
    messages << "export: cannot save " << out.string() << ": " << DescribeSaveFailure(saved)
             << '\n';
    return kBranchCannotWrite;
  }
  int count = branch.CountMembers();
  messages << "export: " << textcodec::Printable(name) << " and " << count - 1
           << " descendants saved to " << out.string() << '\n';
  return kBranchOk;
}
