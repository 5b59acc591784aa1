// The tree view of the genealogy: a QTreeView that draws the lines of a clan
// book's tree, keeps its name column wide enough for every name it has shown,
// and opens whole branches in bounded steps.
//
// QTreeView lays out its open items with one nested call per open generation,
// so a line of some 40,000 open generations overflows the stack; and its own
// expand-all stores every descendant at once, which on a book of millions
// freezes the window for seconds. This view therefore never lets an item below
// kMaxOpenDepth generations open, and opens branches (the * key and the
// Expand*InSteps functions) breadth first, a bounded number of rows per turn of
// the event loop, up to a bounded number of rows in all. QTreeView's
// expandAll, expandRecursively and expandToDepth are not virtual and know no
// limits: the view's own have names of their own, so that no call reaches
// Qt's by mistake.
#pragma once

#include <QFontMetrics>
#include <QPersistentModelIndex>
#include <QString>
#include <QTimer>
#include <QTreeView>

#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class GenealogyTreeView : public QTreeView {
  Q_OBJECT
public:
  // Items of this generation (the top item is 0) and deeper stay closed:
  // about a tenth of the depth that exhausts a default stack, so that the
  // layout stays safe in sanitizer builds and from deep call chains too.
  static constexpr int kMaxOpenDepth = 2000;

  struct ExpansionLimits {
    int rowsPerStep = 20000;  // rows visited or shown before the event loop runs again
    int maxRows = 100000;     // rows one expansion may bring into view
    int maxDepth = kMaxOpenDepth;
  };

  explicit GenealogyTreeView(QWidget* parent = nullptr);
  ~GenealogyTreeView() override;

  void setModel(QAbstractItemModel* model) override;
  void reset() override;

  // In steps, within the limits; they return after the first step.
  void ExpandAllInSteps();
  void ExpandBranchInSteps(const QModelIndex& index, int depth = -1);
  void ExpandToDepthInSteps(int depth);

  bool IsExpanding() const { return m_stepTimer.isActive(); }
  void StopExpanding();
  const ExpansionLimits& Limits() const { return m_limits; }
  void SetLimits(const ExpansionLimits& limits) { m_limits = limits; }

signals:
  // Why an expansion stopped short; the view also beeps and shows it by the item.
  void expansionStopped(const QString& text);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  int sizeHintForColumn(int column) const override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
  void changeEvent(QEvent* event) override;

private:
  struct Branch {
    QModelIndex parent;  // whose children are to be opened next
    int level;           // the parent's generation; -1 for the invisible root
    int depthLeft;       // generations that may still open below it; -1 for all
  };

  void StartExpanding(const QModelIndex& start, int depth);
  void RunStep();
  void FinishExpanding(const QString& notice);
  void Notify(const QString& text);
  void OnExpanded(const QModelIndex& index);
  QString DepthNotice() const;
  // The generation of `index`, counting no further than `limit`.
  int LevelOf(const QModelIndex& index, int limit) const;

  // Widens the name column for the children of `parent`, of generation `level`,
  // rows first to last.
  void MeasureRows(const QModelIndex& parent, int level, int first, int last);
  void ApplyWidth();
  int TextEstimate(const QString& text, const QFontMetrics& metrics);
  int WidthNeeded(const QModelIndex& index, int level, int estimate);

  ExpansionLimits m_limits;
  QTimer m_stepTimer;
  std::deque<Branch> m_branches;
  int m_nextRow = 0;  // in the family of m_branches.front()
  qint64 m_rowsShown = 0;
  bool m_depthCut = false;
  bool m_inStep = false;

  // The widest name shown so far, with the generation it was shown at.
  int m_widest = 0;
  QPersistentModelIndex m_widestIndex;
  int m_widestLevel = 0;
  // Advances of single characters in the view's font, summed to rank the
  // names of a family without laying out each one.
  std::vector<int> m_advances;
  std::unordered_map<char32_t, int> m_astralAdvances;

  // The items that were open in each subtree taken out of the model, by the
  // item at its top (internal pointers: a member keeps his address while an
  // undo can bring him back), opened again when that item comes back. Only
  // items reached from the live model are ever looked up in it.
  using OpenItems = std::unordered_set<const void*>;
  void RememberOpen(const QModelIndex& top);
  void OpenAgain(const QModelIndex& top, const OpenItems& open);
  std::unordered_map<const void*, OpenItems> m_openWhenBack;

  std::vector<QMetaObject::Connection> m_modelConnections;
};
