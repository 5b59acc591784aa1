// Find as you type above the tree: the search box and the index it searches,
// both kept up to date with the document's announcements.
//
// The index and the box hold members, so a removal reaches them before
// anything is unlinked (undo and redo included): first the index, then the
// box. After an add, a change or a new root the index, then the box's
// refresh; at a reset the index is built again, then the box starts over.
#pragma once

#include <QObject>

#include <memory>

class GenealogyDocument;
class MemberSearchBar;
class MemberSearchIndex;
class QWidget;

class SearchFollower : public QObject {
  Q_OBJECT
public:
  // The box is a child widget of `window`, for its layout.
  SearchFollower(GenealogyDocument& document, QWidget& window);
  ~SearchFollower() override;

  MemberSearchBar* Bar() const { return m_bar.get(); }

private:
  GenealogyDocument& m_document;
  // The box searches the index: built after it and destroyed before it.
  std::unique_ptr<MemberSearchIndex> m_index;
  std::unique_ptr<MemberSearchBar> m_bar;
};
