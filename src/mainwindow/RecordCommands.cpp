// 家谱 → 成员资料… (Ctrl+I, or a double-click on a member in the tree or the
// list) and 家谱 → 谱书资料…. The member window stays open beside the main
// window and follows the tree's selection; the book data is changed as one
// step of the history, however many of its fields the dialog changed.
#include "dialogs/BookDataDialog.h"
#include "dialogs/MemberRecordWindow.h"
#include "mainwindow/CClanbookDlg.h"
#include "views/GenealogyTreeModel.h"
#include "views/MemberListModel.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QUndoStack>

namespace {

// Every field of the book's data the dialog edits, in its order; the 字辈
// has a command of its own, which the dialog runs.
constexpr RecordField kBookFields[] = {RecordField::kBookTitle, RecordField::kHallName,
                                       RecordField::kClanSeat,  RecordField::kEditionYear,
                                       RecordField::kEditors,   RecordField::kPreface,
                                       RecordField::kRules,     RecordField::kPrecepts};

// The member window, made when first asked for; it lives as long as the main
// window and is hidden, not destroyed, when closed.
MemberRecordWindow* RecordWindowOf(CClanbookDlg* window, GenealogyDocument& document) {
  auto* record = window->findChild<MemberRecordWindow*>();
  if (!record) {
    record = new MemberRecordWindow(document, window);
    // Undo and redo work from the member window as from the main window.
    record->addAction(window->MenuAction(ID_UNDO));
    record->addAction(window->MenuAction(ID_REDO));
  }
  return record;
}

void ShowRecordOf(CClanbookDlg* window, GenealogyDocument& document, MemberNode* member) {
  MemberRecordWindow* record = RecordWindowOf(window, document);
  record->SetMember(member);
  record->show();
  record->raise();
  record->activateWindow();
}

}  // namespace

void CClanbookDlg::InstallRecordCommands() {
  // Right after 修改个人信息, whatever other commands stand after it.
  const QList<QAction*> items = m_bookMenu->actions();
  const qsizetype modify = items.indexOf(MenuAction(ID_MODIFY_MEMBER));
  QAction* next = modify >= 0 ? items.value(modify + 1) : nullptr;
  AddMenuCommand(
      m_bookMenu, tr("成员资料…"), QStringLiteral("memberRecordCommand"),
      [this] { ShowRecordOf(this, m_document, SelectedMember()); },
      {QKeySequence(Qt::CTRL | Qt::Key_I)}, next);
  AddMenuCommand(
      m_bookMenu, tr("谱书资料…"), QStringLiteral("bookDataCommand"),
      [this] {
        BookDataDialog dialog(m_document.Genealogy().Book(), this);
        // The 字辈… button is the 字辈 command: its change is a step of its own.
        connect(&dialog, &BookDataDialog::poemRequested, this, [this, &dialog] {
          m_poem.Edit(&dialog);
          dialog.ShowPoem(m_document.Genealogy().Book());
        });
        if (dialog.DoModal() != IDOK) return;
        const BookData entered = dialog.Entered();
        if (entered == m_document.Genealogy().Book()) return;
        // One step of the history, whichever fields changed.
        QUndoStack* history = m_document.UndoStack();
        history->beginMacro(tr("更改谱书资料"));
        for (const RecordField field : kBookFields) {
          if (field == RecordField::kEditionYear)
            m_document.ChangeEditionYear(entered.editionYear);
          else
            m_document.ChangeBookText(field, QString::fromStdU16String(entered.Text(field)));
        }
        history->endMacro();
      },
      {}, next);

  // The window, once open, shows whom the tree selects.
  connect(m_treeCtrl->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    auto* record = findChild<MemberRecordWindow*>();
    if (MemberNode* member = SelectedMember(); record && member) record->SetMember(member);
  });
  // A double-click opens the member's record rather than his family, which
  // the branch marks open and close.
  m_treeCtrl->setExpandsOnDoubleClick(false);
  connect(m_treeCtrl.get(), &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    if (MemberNode* member = GenealogyTreeModel::MemberAt(index))
      ShowRecordOf(this, m_document, member);
  });
  // The list shows members the tree may not have opened: the window shows
  // the one double-clicked, and the list keeps its rows.
  connect(m_listCtrl.get(), &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const MemberNode* member = m_listModel->MemberAt(index.row());
    if (!member) return;
    if (MemberNode* shown = GenealogyTreeModel::MemberAt(m_treeModel->IndexOf(member)))
      ShowRecordOf(this, m_document, shown);
  });
}
