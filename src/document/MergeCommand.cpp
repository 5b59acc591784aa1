// 修谱: a branch merged back into the genealogy as one step of the history.
#include "document/GenealogyDocument.h"
#include "merge/BranchMerge.h"

#include <QUndoCommand>

#include <cassert>
#include <utility>
#include <vector>

// The branches the merge brought in are made once, on the first redo. Undo
// takes them out and keeps them, redo puts the same members back: commands
// pushed after the merge hold members of those branches (a child added under a
// newcomer, a newcomer deleted), and they must find them again when redone.
// The command releases the branches only when it is dropped while they are out.
class GenealogyDocument::MergeCommand : public QUndoCommand {
public:
  MergeCommand(GenealogyDocument& document, MergeChanges changes, const QString& branchRoot)
      : m_document(document), m_changes(std::move(changes)), m_places(m_changes.subtrees.size()) {
    setText(GenealogyDocument::tr("合并支谱 %1").arg(branchRoot));
  }
  ~MergeCommand() override {
    if (!m_out) return;
    for (MergeSubtree& subtree : m_changes.subtrees)
      COperationClanbook::ReleaseSubtree(std::exchange(subtree.added, nullptr));
  }

  void redo() override {
    COperationClanbook& book = m_document.m_genealogy;
    for (const MergeDataChange& change : m_changes.data) {
      ApplyDataChange(book, change);
      emit m_document.memberChanged(change.member, false);
    }
    if (m_out) {
      for (std::size_t i = 0; i < m_changes.subtrees.size(); ++i)
        m_document.Restore(m_changes.subtrees[i].added, m_places[i]);
    } else {
      for (const SubtreeSlot& slot : PlaceSubtrees(m_changes.subtrees)) {
        MergeSubtree& subtree = m_changes.subtrees[slot.subtree];
        assert(subtree.father && !subtree.members.empty());
        emit m_document.memberAboutToBeAdded(subtree.father, slot.row);
        ApplySubtreeAt(book, m_changes.subtrees, slot);
        emit m_document.memberAdded(subtree.added);
      }
    }
    m_out = false;
    emit m_document.memberConcerned(m_changes.subtrees.empty() ? m_changes.data.front().member
                                                               : m_changes.subtrees.front().added);
  }

  void undo() override {
    COperationClanbook& book = m_document.m_genealogy;
    // Backwards, so that each branch leaves the family as it found it and
    // every place taken is the place the next redo restores into.
    for (std::size_t i = m_changes.subtrees.size(); i-- > 0;)
      m_places[i] = m_document.Take(m_changes.subtrees[i].added);
    m_out = true;
    for (auto change = m_changes.data.rbegin(); change != m_changes.data.rend(); ++change) {
      RevertDataChange(book, *change);
      emit m_document.memberChanged(change->member, false);
    }
    emit m_document.memberConcerned(m_changes.subtrees.empty() ? m_changes.data.front().member
                                                               : m_changes.subtrees.front().father);
  }

private:
  GenealogyDocument& m_document;
  MergeChanges m_changes;
  std::vector<COperationClanbook::SubtreePlace> m_places;  // per added branch, while out
  bool m_out = false;  // the added branches were made and are out of the tree
};

bool GenealogyDocument::MergeBranch(MergeChanges changes, const QString& branchRoot) {
  if (changes.Empty()) return false;
  m_undoStack.push(new MergeCommand(*this, std::move(changes), branchRoot));
  return true;
}
