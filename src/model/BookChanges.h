// What changed in a book since it was read from its .cbk file or last saved
// there: the members whose rows are to be written again, and the rows of
// members that left the tree. The document keeps it from its own
// announcements of every change (GenealogyDocument), and the .cbk save writes
// exactly these rows (formats/cbk/CbkBook.h), so that saving one edit to a
// large book costs one row, not the book.
#pragma once

#include <cstdint>
#include <unordered_set>

struct MemberNode;

class BookChanges {
public:
  // The member's own row is to be written again: his data or record changed,
  // or his place (his father or the brother before him).
  void Changed(MemberNode* member) {
    if (member) m_rows.insert(member);
  }
  // `top` and everything below him have just entered the tree (added, or put
  // back); the brother after him now follows him.
  void Entered(MemberNode* top);
  // `top` and everything below him are about to leave the tree, still in
  // place: their rows go, and the brother after him gets another elder.
  void Leaving(MemberNode* top);
  // `member` entered the tree alone, above the members there (a new root).
  void EnteredAlone(MemberNode* member);
  // `member` left the tree alone, already unlinked (the root put above
  // another, taken off again).
  void Left(MemberNode* member);
  void BookDataChanged() { m_book = true; }
  // Changed behind the document's back: the whole book is to be written.
  void Everything() { m_everything = true; }

  bool Empty() const { return m_rows.empty() && m_removed.empty() && !m_book && !m_everything; }
  void Clear();

  const std::unordered_set<MemberNode*>& Rows() const { return m_rows; }
  const std::unordered_set<std::uint32_t>& Removed() const { return m_removed; }
  bool Book() const { return m_book; }
  bool WholeBook() const { return m_everything; }

private:
  // Only members in the tree: a member that leaves is struck out, so none
  // that the history later releases is ever held here.
  std::unordered_set<MemberNode*> m_rows;
  std::unordered_set<std::uint32_t> m_removed;
  bool m_book = false;
  bool m_everything = false;
};
