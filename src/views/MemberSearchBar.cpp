#include "views/MemberSearchBar.h"

#include "search/MemberSearch.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

namespace {

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

std::size_t Depth(const MemberNode* member) {
  std::size_t depth = 0;
  for (; member->parent; member = member->parent) ++depth;
  return depth;
}

// Whether `first` comes before `second` among siblings. Both lists are walked
// at once, so a family of 200,000 children costs the distance between the two
// or the rest of the list after the later one, whichever is shorter.
bool SiblingBefore(const MemberNode* first, const MemberNode* second) {
  const MemberNode* fromFirst = first->nextSibling;
  const MemberNode* fromSecond = second->nextSibling;
  for (;;) {
    if (fromFirst == second || !fromSecond) return true;
    if (fromSecond == first || !fromFirst) return false;
    fromFirst = fromFirst->nextSibling;
    fromSecond = fromSecond->nextSibling;
  }
}

// Pre-order between two members of one tree, by their lines up to where they
// meet: a few dozen steps in a clan book, and never a walk of the tree.
bool PreOrderBefore(const MemberNode* a, const MemberNode* b) {
  if (a == b) return false;
  std::size_t depthA = Depth(a);
  std::size_t depthB = Depth(b);
  const MemberNode* x = a;
  const MemberNode* y = b;
  for (; depthA > depthB; --depthA) x = x->parent;
  for (; depthB > depthA; --depthB) y = y->parent;
  // One is an ancestor of the other, and an ancestor comes first.
  if (x == y) return x == a;
  while (x->parent != y->parent) {
    x = x->parent;
    y = y->parent;
  }
  return SiblingBefore(x, y);
}

// The first member after `member` and everything below him in pre-order; none
// when he ends the tree.
const MemberNode* AfterSubtree(const MemberNode* member) {
  for (; member; member = member->parent) {
    if (member->nextSibling) return member->nextSibling;
  }
  return nullptr;
}

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The keys the box answers itself, so that a shortcut of the window does not
// take them while the cursor is in the box.
bool IsSearchKey(const QKeyEvent* key) {
  return IsEnter(key) || key->key() == Qt::Key_F3 || key->key() == Qt::Key_Escape;
}

}  // namespace

MemberSearchBar::MemberSearchBar(MemberSearchIndex& index, QWidget* parent)
    : QWidget(parent), m_index(index), m_box(new QLineEdit(this)), m_count(new QLabel(this)) {
  m_box->setObjectName(QStringLiteral("searchBox"));
  m_box->setPlaceholderText(tr("查找成员"));
  m_box->setAccessibleName(tr("查找成员"));
  m_box->setToolTip(tr("按姓名、地址、字号、行传或姓名的拼音查找；回车或 F3 到下一个，Shift+回车到上一个"));
  m_box->installEventFilter(this);
  m_count->setObjectName(QStringLiteral("matchCount"));
  // An empty count still takes its line, so the tree below does not jump as
  // the first letter is typed.
  m_count->setMinimumHeight(m_count->fontMetrics().height());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(m_box);
  layout->addWidget(m_count);
  setFocusProxy(m_box);

  connect(m_box, &QLineEdit::textChanged, this, &MemberSearchBar::Search);
}

QString MemberSearchBar::query() const {
  return m_box->text();
}

MemberNode* MemberSearchBar::currentMatch() const {
  // After a removal the answer may hold freed members until refresh().
  if (m_stale || m_matches.empty()) return nullptr;
  return m_matches[m_current];
}

void MemberSearchBar::focusSearch() {
  m_box->setFocus(Qt::ShortcutFocusReason);
  m_box->selectAll();
}

void MemberSearchBar::findNext() {
  Step(1);
}

void MemberSearchBar::findPrevious() {
  Step(-1);
}

void MemberSearchBar::clear() {
  m_box->clear();
}

void MemberSearchBar::Search() {
  m_stale = false;
  m_matches = m_index.Find(View(m_box->text()));
  m_current = 0;
  m_anchor = m_matches.empty() ? nullptr : m_matches.front();
  m_shown = !m_matches.empty();
  Announce();
}

void MemberSearchBar::Step(int direction) {
  EnsureFresh();
  if (m_matches.empty()) return;
  const std::size_t count = m_matches.size();
  // A position not yet shown is the next match already.
  if (m_shown || direction < 0) m_current = (m_current + count + direction) % count;
  m_shown = true;
  m_anchor = m_matches[m_current];
  Announce();
}

void MemberSearchBar::Announce() {
  ShowCount();
  emit currentMatchChanged(currentMatch());
}

void MemberSearchBar::ShowCount() {
  const QString count = QString::number(m_matches.size());
  if (m_box->text().trimmed().isEmpty()) {
    m_count->clear();
  } else if (m_matches.empty()) {
    m_count->setText(tr("没有找到"));
  } else if (m_shown) {
    m_count->setText(tr("找到 %1 人，这是第 %2 人").arg(count, QString::number(m_current + 1)));
  } else {
    m_count->setText(tr("找到 %1 人").arg(count));
  }
}

void MemberSearchBar::refresh() {
  m_stale = false;
  std::vector<MemberNode*> fresh = m_index.Find(View(m_box->text()));
  std::size_t position = 0;
  if (m_anchor && !fresh.empty()) {
    position = static_cast<std::size_t>(
        std::lower_bound(fresh.begin(), fresh.end(), m_anchor, PreOrderBefore) - fresh.begin());
    // Nothing after him: round to the first, as findNext() would.
    if (position == fresh.size()) position = 0;
  }
  m_shown = m_shown && !fresh.empty() && fresh[position] == m_anchor;
  m_matches = std::move(fresh);
  m_current = position;
  m_anchor = m_matches.empty() ? nullptr : m_matches[position];
  ShowCount();
}

void MemberSearchBar::memberAboutToBeRemoved(const MemberNode* member) {
  m_stale = true;
  for (const MemberNode* line = m_anchor; line; line = line->parent) {
    if (line == member) {
      m_anchor = AfterSubtree(member);
      m_shown = false;
      return;
    }
  }
}

void MemberSearchBar::reset() {
  m_anchor = nullptr;
  Search();
}

void MemberSearchBar::EnsureFresh() {
  if (m_stale) refresh();
}

bool MemberSearchBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_box) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsSearchKey(key) && !(key->key() == Qt::Key_Escape && m_box->text().isEmpty())) {
      event->accept();
      return true;
    }
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    if (IsEnter(key) || key->key() == Qt::Key_F3) {
      Step(shift ? -1 : 1);
      return true;
    }
    // An empty box lets Esc through, to whatever the window does with it.
    if (key->key() == Qt::Key_Escape && !m_box->text().isEmpty()) {
      clear();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
