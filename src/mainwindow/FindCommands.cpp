// The menu items of find as you type (SearchFollower keeps the box and its
// index) and of the 字辈 (PoemKeeper), the keys of the commands a user
// repeats, and the busy cursor while a large family opens.
#include "mainwindow/CClanbookDlg.h"
#include "platform/BusyCursor.h"
#include "views/MemberSearchBar.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace {

// A family this large takes a noticeable time to open: the view lays out
// every child, about 0.4 µs each (100,000 children in 37 ms of processor
// time, bench_mainwindow), so half a million take a fifth of a second, and
// more on a busy machine. Opening it shows the busy cursor.
constexpr int kLargeFamily = 500000;

// The tree view opens a family inside the delivery of the click or key that
// asked for it, so the busy cursor is set before the event is delivered and
// put back when the event loop next runs, once the family is open. Opening
// whole branches ('*') is the tree view's own business.
class ExpansionWatch : public QObject {
public:
  explicit ExpansionWatch(QTreeView* tree) : QObject(tree), m_tree(tree) {
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    QModelIndex index;
    if (event->type() == QEvent::KeyPress && watched == m_tree) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Right && key != Qt::Key_Plus) return false;
      index = m_tree->currentIndex();
    } else if ((event->type() == QEvent::MouseButtonPress ||
                event->type() == QEvent::MouseButtonDblClick) &&
               watched == m_tree->viewport()) {
      index = m_tree->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else {
      return false;
    }
    if (index.isValid() && !m_tree->isExpanded(index) &&
        m_tree->model()->rowCount(index) >= kLargeFamily) {
      auto busy = std::make_shared<BusyCursor>();
      QTimer::singleShot(0, this, [busy] {});
    }
    return false;
  }

private:
  QTreeView* m_tree;
};

}  // namespace

void CClanbookDlg::InstallFindCommands() {
  MemberSearchBar* bar = m_search.Bar();
  connect(bar, &MemberSearchBar::currentMatchChanged, this, &CClanbookDlg::RevealMember);

  m_editMenu->addSeparator();
  AddMenuCommand(m_editMenu, tr("查找成员"), QStringLiteral("findMemberCommand"),
                 [bar] { bar->focusSearch(); }, {QKeySequence(Qt::CTRL | Qt::Key_F)});
  AddMenuCommand(m_editMenu, tr("查找下一个"), QStringLiteral("findNextCommand"),
                 [bar] { bar->findNext(); }, {QKeySequence(Qt::Key_F3)});
  AddMenuCommand(m_editMenu, tr("查找上一个"), QStringLiteral("findPreviousCommand"),
                 [bar] { bar->findPrevious(); }, {QKeySequence(Qt::SHIFT | Qt::Key_F3)});

  // The keys run what the buttons run, on the member selected in the tree;
  // the 家谱 menu's own items ask for a name instead, so each key gets an item
  // of its own beside the matching one, where the menu shows it.
  AddMenuCommand(
      m_bookMenu, tr("增加孩子"), QStringLiteral("addChildCommand"),
      [this] { RunCommand(ID_ADD_CHILD); },
      {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_Return),
       QKeySequence(Qt::CTRL | Qt::Key_Enter)},
      MenuAction(ID_ADD_MEMBER));
  AddMenuCommand(
      m_bookMenu, tr("更改资料"), QStringLiteral("changeDataCommand"),
      [this] { RunCommand(ID_CHANGE_DATA); }, {QKeySequence(Qt::Key_F2)},
      MenuAction(ID_MODIFY_MEMBER));
  AddMenuCommand(
      m_bookMenu, tr("删除该人"), QStringLiteral("deleteSelectedCommand"),
      [this] { RunCommand(ID_DELETE_SELECTED); }, {QKeySequence(Qt::Key_Delete)},
      MenuAction(ID_DELETE_MEMBER));
  m_bookMenu->addSeparator();
  AddMenuCommand(m_bookMenu, tr("字辈…"), QStringLiteral("generationPoemCommand"),
                 [this] { m_poem.Edit(); });
  connect(&m_poem, &PoemKeeper::memberActivated, this, &CClanbookDlg::RevealMember);

  new ExpansionWatch(m_treeCtrl.get());
}
