// Find-as-you-type over the genealogy: a query typed into a search box matches
// a member when it is part of his name, part of his address, or the pinyin of
// a run of characters of his name (rule in docs/search.md). Results come in
// pre-order, so that "next" and "previous" follow the tree.
//
// The index is a snapshot of the tree in pre-order taken when the book is
// opened (flat arrays, scanned per keystroke), plus a small journal of the
// edits made since: removed members are struck out of the snapshot, added and
// changed members kept beside it, each placed after the snapshot member it
// follows in pre-order. Removals and insertions never reorder the members that
// stay, so the snapshot's order stays right; when the journal grows large the
// next query takes a new snapshot.
//
// One thread: the one that edits the tree and tells the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/COperationClanbook.h"

// The plain statement of the matching rule for one member, without an index:
// what every answer of MemberSearchIndex must agree with.
bool MemberMatchesQuery(const MemberNode& member, std::u16string_view query);

class MemberSearchIndex {
public:
  // Follows `book`, which must outlive the index. Nothing is read before the
  // first Rebuild or Find.
  explicit MemberSearchIndex(const COperationClanbook& book);
  ~MemberSearchIndex();
  MemberSearchIndex(const MemberSearchIndex&) = delete;
  MemberSearchIndex& operator=(const MemberSearchIndex&) = delete;

  // Takes a new snapshot of the whole tree: after Open, New or Load.
  void Rebuild();

  // Edits, told as the document announces them. A member added (with whatever
  // hangs below it, as when a deletion is undone) is told once it is linked
  // into the tree; a member to be removed with his descendants before he is
  // unlinked; a changed member after his data changed.
  void MemberAdded(const MemberNode* member);
  void MemberAboutToBeRemoved(const MemberNode* member);
  void MemberChanged(const MemberNode* member);

  // The members that match `query`, in pre-order; none for a blank query.
  // Valid until the next edit of the tree. A query that extends the one
  // before (typing on) is answered from the previous answer.
  std::vector<MemberNode*> Find(std::u16string_view query);

  // Members in the snapshot and in the journal, and the bytes the index holds.
  std::size_t SnapshotSize() const;
  std::size_t JournalSize() const;
  std::size_t MemoryBytes() const;

private:
  struct Data;
  const COperationClanbook& m_book;
  std::unique_ptr<Data> m_data;
};
