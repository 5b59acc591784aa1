// The find-as-you-type box above the tree. It keeps only the answer of the
// index (pointers in pre-order) and a position in it, so a keystroke costs one
// Find and no walk of the tree, however many members match.
#pragma once

#include <QString>
#include <QWidget>

#include <cstddef>
#include <vector>

class QLabel;
class QLineEdit;
class MemberSearchIndex;
struct MemberNode;

class MemberSearchBar : public QWidget {
  Q_OBJECT
public:
  // `index` must outlive the bar; whoever edits the tree keeps it told.
  explicit MemberSearchBar(MemberSearchIndex& index, QWidget* parent = nullptr);

  QString query() const;
  std::size_t matchCount() const { return m_matches.size(); }
  // The match the bar points at, or none. After an edit moved the position
  // (see refresh) it is the member the next findNext() will show.
  MemberNode* currentMatch() const;

public slots:
  // Ctrl+F: puts the cursor in the box with its text selected.
  void focusSearch();
  // Enter / F3 and Shift+Enter / Shift+F3, wrapping at either end.
  void findNext();
  void findPrevious();
  // Esc: empties the box.
  void clear();
  // After an edit of the tree has been told to the index: runs the query
  // again and keeps the position on the same member when he still matches,
  // else on the nearest match after where he stood. The tree's selection is
  // the user's while he edits, so nothing is announced; the next findNext()
  // shows the new position.
  void refresh();
  // Before a member and everything below him are unlinked. Until the next
  // refresh() the bar's answer holds freed members, so the bar keeps where it
  // stood by a member that stays.
  void memberAboutToBeRemoved(const MemberNode* member);
  // After Open or New (and the index's Rebuild): the old members are gone;
  // runs the query again from its first match and announces it.
  void reset();

signals:
  // The match to select and reveal in the tree; none when the box is empty or
  // nothing matches.
  void currentMatchChanged(MemberNode* member);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Search();
  void Step(int direction);
  void Announce();
  void ShowCount();
  void EnsureFresh();

  MemberSearchIndex& m_index;
  QLineEdit* m_box;
  QLabel* m_count;
  std::vector<MemberNode*> m_matches;
  std::size_t m_current = 0;  // meaningful while m_matches is not empty
  // Whether m_current is the match last announced; false after an edit took
  // the announced member away, so that findNext() shows the one that took
  // his place instead of passing over it.
  bool m_shown = false;
  // The member at m_current, kept alive through removals by
  // memberAboutToBeRemoved: refresh() finds the position again by him. None
  // means past the last member of the tree.
  const MemberNode* m_anchor = nullptr;
  // Members were removed since the last Find, so m_matches may hold freed ones.
  bool m_stale = false;
};
