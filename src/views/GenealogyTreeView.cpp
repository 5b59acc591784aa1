#include "views/GenealogyTreeView.h"

#include "platform/Shell.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <algorithm>

namespace {

// The grey of a classic tree's dotted lines, readable on light and dark bases.
const QColor kLineColor{128, 128, 128};

}  // namespace

GenealogyTreeView::GenealogyTreeView(QWidget* parent) : QTreeView(parent) {
  m_stepTimer.setSingleShot(true);
  m_stepTimer.setInterval(0);
  connect(&m_stepTimer, &QTimer::timeout, this, &GenealogyTreeView::RunStep);
  connect(this, &QTreeView::expanded, this, &GenealogyTreeView::OnExpanded);
  // Closing a family while its branch is being opened means the user wants
  // less of it, not the rest.
  connect(this, &QTreeView::collapsed, this, [this] {
    if (!m_inStep) StopExpanding();
  });
  // Lines at the root need the root's branch column; the name column is kept
  // wide by sizeHintForColumn, which only ResizeToContents consults on its own.
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Qt lays out a thousand names around the visible ones at every change of
  // the rows; the names out of sight are measured by MeasureRows instead.
  header()->setResizeContentsPrecision(0);
}

GenealogyTreeView::~GenealogyTreeView() = default;

void GenealogyTreeView::setModel(QAbstractItemModel* model) {
  StopExpanding();
  for (const QMetaObject::Connection& connection : m_modelConnections) disconnect(connection);
  m_modelConnections.clear();
  QTreeView::setModel(model);
  if (!model) return;
  // The branches waiting to be opened are plain indexes: any change of the
  // model's shape ends the expansion before they could go stale.
  const auto stop = [this] { StopExpanding(); };
  m_modelConnections = {
      connect(model, &QAbstractItemModel::modelAboutToBeReset, this, stop),
      connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, stop),
      connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, stop),
      connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, stop),
  };
}

void GenealogyTreeView::reset() {
  StopExpanding();
  m_widest = 0;
  m_widestIndex = QPersistentModelIndex();
  m_openWhenBack.clear();
  QTreeView::reset();
}

void GenealogyTreeView::ExpandAllInSteps() {
  StartExpanding(rootIndex(), -1);
}

void GenealogyTreeView::ExpandBranchInSteps(const QModelIndex& index, int depth) {
  if (depth < -1) return;
  StartExpanding(index, depth);
}

void GenealogyTreeView::ExpandToDepthInSteps(int depth) {
  collapseAll();
  // The top items are generation 0, so generations up to `depth` open.
  StartExpanding(rootIndex(), std::max(depth + 1, 0));
}

void GenealogyTreeView::StopExpanding() {
  FinishExpanding({});
}

void GenealogyTreeView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex current = currentIndex();
  if (event->key() == Qt::Key_Asterisk && current.isValid() && itemsExpandable()) {
    StartExpanding(current.siblingAtColumn(0), -1);
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void GenealogyTreeView::StartExpanding(const QModelIndex& start, int depth) {
  StopExpanding();
  QAbstractItemModel* model = this->model();
  if (!model) return;
  m_rowsShown = 0;
  m_depthCut = false;
  int level = -1;
  if (start.isValid() && start != rootIndex()) {
    level = LevelOf(start, m_limits.maxDepth);
    if (level >= m_limits.maxDepth) {
      Notify(DepthNotice());
      return;
    }
    // The item itself opens as a click would open it, however large its family.
    if (!isExpanded(start) && model->hasChildren(start)) {
      m_rowsShown += model->rowCount(start);
      expand(start);
    }
    if (depth == 0) return;
  }
  m_branches.push_back({start, level, depth});
  RunStep();
}

void GenealogyTreeView::RunStep() {
  QAbstractItemModel* model = this->model();
  if (!model) return;
  m_inStep = true;
  bool opened = false;
  int work = 0;
  QString notice;
  while (!m_branches.empty() && work < m_limits.rowsPerStep && notice.isEmpty()) {
    const Branch branch = m_branches.front();
    const int rows = model->rowCount(branch.parent);
    while (m_nextRow < rows && work < m_limits.rowsPerStep) {
      const QModelIndex child = model->index(m_nextRow, 0, branch.parent);
      ++work;
      if (branch.depthLeft == 0 || !model->hasChildren(child)) {
        ++m_nextRow;
        continue;
      }
      const int level = branch.level + 1;
      if (level >= m_limits.maxDepth) {
        m_depthCut = true;
        ++m_nextRow;
        continue;
      }
      if (!isExpanded(child)) {
        const int family = model->rowCount(child);
        if (m_rowsShown + family > m_limits.maxRows) {
          notice = tr("一次最多展开 %1 人，其余的家庭仍然收起。").arg(m_limits.maxRows);
          break;
        }
        if (!opened) {
          // While a layout is pending, expand() only records the item: the
          // families of a step are laid out together, once, below.
          scheduleDelayedItemsLayout();
          opened = true;
        }
        expand(child);
        MeasureRows(child, level + 1, 0, family - 1);
        m_rowsShown += family;
        work += family;
      }
      ++m_nextRow;
      const int depthLeft = branch.depthLeft < 0 ? -1 : branch.depthLeft - 1;
      if (depthLeft != 0) m_branches.push_back({child, level, depthLeft});
    }
    if (notice.isEmpty() && m_nextRow >= rows) {
      m_branches.pop_front();
      m_nextRow = 0;
    }
  }
  if (opened) executeDelayedItemsLayout();
  m_inStep = false;
  ApplyWidth();
  if (!notice.isEmpty()) {
    FinishExpanding(notice);
  } else if (m_branches.empty()) {
    FinishExpanding(m_depthCut ? DepthNotice() : QString());
  } else {
    m_stepTimer.start();
  }
}

void GenealogyTreeView::FinishExpanding(const QString& notice) {
  m_stepTimer.stop();
  m_branches.clear();
  m_nextRow = 0;
  if (!notice.isEmpty()) Notify(notice);
}

void GenealogyTreeView::Notify(const QString& text) {
  Beep();
  const QModelIndex current = currentIndex();
  const QPoint at =
      current.isValid() ? visualRect(current).bottomLeft() : viewport()->rect().center();
  QToolTip::showText(viewport()->mapToGlobal(at), text, viewport());
  emit expansionStopped(text);
}

QString GenealogyTreeView::DepthNotice() const {
  return tr("第 %1 代及以后的成员不能在树中展开。").arg(m_limits.maxDepth + 1);
}

void GenealogyTreeView::OnExpanded(const QModelIndex& index) {
  // A step measures the families it opens itself, knowing their generation.
  if (m_inStep || !model()) return;
  const int level = LevelOf(index, m_limits.maxDepth);
  if (level >= m_limits.maxDepth) {
    // Closed once QTreeView has finished opening it: closing from inside its
    // expansion would pull items from under its feet.
    QMetaObject::invokeMethod(
        this,
        [this, item = QPersistentModelIndex(index)] {
          if (item.isValid()) collapse(item);
        },
        Qt::QueuedConnection);
    Notify(DepthNotice());
    return;
  }
  MeasureRows(index, level + 1, 0, model()->rowCount(index) - 1);
  ApplyWidth();
}

int GenealogyTreeView::LevelOf(const QModelIndex& index, int limit) const {
  int level = -1;
  for (QModelIndex item = index; item.isValid() && item != rootIndex(); item = item.parent()) {
    if (++level >= limit) return limit;
  }
  return level;
}

void GenealogyTreeView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QTreeView::rowsInserted(parent, start, end);
  if (parent == rootIndex() || isExpanded(parent)) {
    MeasureRows(parent, LevelOf(parent, m_limits.maxDepth) + 1, start, end);
    ApplyWidth();
  }
  if (m_openWhenBack.empty()) return;
  for (int row = start; row <= end; ++row) {
    const QModelIndex item = model()->index(row, 0, parent);
    const auto it = m_openWhenBack.find(item.internalPointer());
    if (it == m_openWhenBack.end()) continue;
    const OpenItems open = std::move(it->second);
    m_openWhenBack.erase(it);
    OpenAgain(item, open);
  }
}

void GenealogyTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  StopExpanding();
  for (int row = start; row <= end; ++row) RememberOpen(model()->index(row, 0, parent));
  QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void GenealogyTreeView::RememberOpen(const QModelIndex& top) {
  if (!isExpanded(top)) return;
  // Subtrees taken out and never brought back are forgotten in bulk.
  constexpr std::size_t kRemembered = 256;
  if (m_openWhenBack.size() >= kRemembered) m_openWhenBack.clear();
  OpenItems& open = m_openWhenBack[top.internalPointer()];
  // Only open items have children on view: the walk stays within what was shown.
  std::vector<QModelIndex> pending{top};
  while (!pending.empty()) {
    const QModelIndex item = pending.back();
    pending.pop_back();
    open.insert(item.internalPointer());
    const int rows = model()->rowCount(item);
    for (int row = 0; row < rows; ++row) {
      const QModelIndex child = model()->index(row, 0, item);
      if (isExpanded(child)) pending.push_back(child);
    }
  }
}

void GenealogyTreeView::OpenAgain(const QModelIndex& top, const OpenItems& open) {
  std::vector<QModelIndex> pending{top};
  while (!pending.empty()) {
    const QModelIndex item = pending.back();
    pending.pop_back();
    if (!open.contains(item.internalPointer())) continue;
    expand(item);
    const int rows = model()->rowCount(item);
    for (int row = 0; row < rows; ++row) pending.push_back(model()->index(row, 0, item));
  }
}

void GenealogyTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                    const QList<int>& roles) {
  QTreeView::dataChanged(topLeft, bottomRight, roles);
  if (!topLeft.isValid() || topLeft.column() != 0) return;
  if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)) return;
  const QModelIndex parent = topLeft.parent();
  if (parent == rootIndex() || isExpanded(parent)) {
    MeasureRows(parent, LevelOf(parent, m_limits.maxDepth) + 1, topLeft.row(), bottomRight.row());
    ApplyWidth();
  }
}

void GenealogyTreeView::changeEvent(QEvent* event) {
  QTreeView::changeEvent(event);
  if (event->type() != QEvent::FontChange && event->type() != QEvent::StyleChange) return;
  // The widths measured so far are in the old font; the widest name is
  // measured again, the others are not kept.
  m_advances.clear();
  m_astralAdvances.clear();
  if (!m_widestIndex.isValid()) return;
  const QFontMetrics metrics(font());
  m_widest = WidthNeeded(m_widestIndex, m_widestLevel,
                         TextEstimate(m_widestIndex.data().toString(), metrics));
  ApplyWidth();
}

void GenealogyTreeView::MeasureRows(const QModelIndex& parent, int level, int first, int last) {
  const QAbstractItemModel* model = this->model();
  if (!model || first > last) return;
  // Ranking by summed character advances costs a table look-up per character;
  // laying out every name of a family of a million would stall the expansion.
  const QFontMetrics metrics(font());
  int bestEstimate = -1;
  int bestRow = -1;
  for (int row = first; row <= last; ++row) {
    const int estimate = TextEstimate(model->index(row, 0, parent).data().toString(), metrics);
    if (estimate > bestEstimate) {
      bestEstimate = estimate;
      bestRow = row;
    }
  }
  if (bestRow < 0) return;
  const QModelIndex best = model->index(bestRow, 0, parent);
  const int needed = WidthNeeded(best, level, bestEstimate);
  if (needed <= m_widest) return;
  m_widest = needed;
  m_widestIndex = best;
  m_widestLevel = level;
}

void GenealogyTreeView::ApplyWidth() {
  // Asking the header for a width runs any pending layout of the items: never
  // done in the middle of a step, whose layout waits for its end.
  if (m_widest > 0 && columnWidth(0) < m_widest) setColumnWidth(0, m_widest);
}

int GenealogyTreeView::TextEstimate(const QString& text, const QFontMetrics& metrics) {
  if (m_advances.empty()) m_advances.assign(0x10000, -1);
  int width = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar unit = text.at(i);
    if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      const char32_t code = QChar::surrogateToUcs4(unit, text.at(i + 1));
      auto [it, inserted] = m_astralAdvances.try_emplace(code, 0);
      if (inserted) it->second = metrics.horizontalAdvance(text.mid(i, 2));
      width += it->second;
      ++i;
      continue;
    }
    int& advance = m_advances[unit.unicode()];
    if (advance < 0) advance = metrics.horizontalAdvance(unit);
    width += advance;
  }
  return width;
}

int GenealogyTreeView::WidthNeeded(const QModelIndex& index, int level, int estimate) {
  // What QTreeView itself asks for a row it measures: the delegate's hint
  // beside the row's indentation, and more where the estimate came out wider
  // than the laid-out text.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const int hint = itemDelegateForIndex(index)->sizeHint(option, index).width();
  const int exact = QFontMetrics(option.font).horizontalAdvance(index.data().toString());
  const int columns = level + (rootIsDecorated() ? 1 : 0);
  return indentation() * columns + hint + std::max(0, estimate - exact);
}

int GenealogyTreeView::sizeHintForColumn(int column) const {
  // QTreeView samples rows near the visible ones only; a long name further
  // down a large family would otherwise be cut short once scrolled to.
  const int sampled = QTreeView::sizeHintForColumn(column);
  return column == 0 && m_widest > 0 ? std::max(sampled, m_widest) : sampled;
}

void GenealogyTreeView::drawBranches(QPainter* painter, const QRect& rect,
                                     const QModelIndex& index) const {
  const int indent = indentation();
  const QAbstractItemModel* model = this->model();
  if (indent <= 0 || !model) return;
  // One column per generation down to the item's own, which holds its button.
  const int columns = rect.width() / indent;
  if (columns <= 0) return;
  const bool reverse = isRightToLeft();
  const auto column = [&](int c) {
    return QRect(reverse ? rect.right() + 1 - (c + 1) * indent : rect.left() + c * indent,
                 rect.top(), indent, rect.height());
  };
  const QRect visible = viewport()->rect();
  const int middle = rect.top() + rect.height() / 2;

  painter->save();
  // The dots keep their place in the tree as it scrolls, as a dotted pen's
  // dashes restarting at every row would not.
  painter->setBrushOrigin(-horizontalOffset(), -verticalOffset());
  const QBrush dots(kLineColor, Qt::Dense4Pattern);
  const auto vertical = [&](int x, int top, int bottom) {
    if (bottom >= top) painter->fillRect(QRect(x, top, 1, bottom - top + 1), dots);
  };

  const QModelIndex parent = index.parent();
  const QRect own = column(columns - 1);
  const int centre = own.left() + indent / 2;
  if (parent != rootIndex() || index.row() > 0) vertical(centre, rect.top(), middle);
  if (index.row() < model->rowCount(parent) - 1) vertical(centre, middle, rect.bottom());
  const int stubLeft = reverse ? own.left() : centre;
  const int stubRight = reverse ? centre : own.right();
  painter->fillRect(QRect(stubLeft, middle, stubRight - stubLeft + 1, 1), dots);

  // Each ancestor with younger brothers still to come carries its line past
  // this row; only the columns on screen are looked up.
  QModelIndex ancestor = parent;
  for (int c = columns - 2; c >= 0 && ancestor.isValid(); --c) {
    const QRect cell = column(c);
    if (reverse ? cell.left() > visible.right() : cell.right() < visible.left()) break;
    const QModelIndex above = ancestor.parent();
    if (ancestor.row() < model->rowCount(above) - 1) {
      vertical(cell.left() + indent / 2, rect.top(), rect.bottom());
    }
    ancestor = above;
  }

  if (model->hasChildren(index)) {
    const int size = std::min(std::max(9, (fontMetrics().height() / 2) | 1), (indent - 2) | 1);
    const QRect box(centre - size / 2, middle - size / 2, size, size);
    painter->fillRect(box, palette().color(QPalette::Base));
    painter->setPen(kLineColor);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    const QColor sign = palette().color(QPalette::Text);
    painter->fillRect(QRect(box.left() + 2, middle, size - 4, 1), sign);
    if (!isExpanded(index)) painter->fillRect(QRect(centre, box.top() + 2, 1, size - 4), sign);
  }
  painter->restore();
}
