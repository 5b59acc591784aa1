// 文件 → 导出谱书…: the whole book as a printed 谱书 (PDF or printer), with
// its choices and a preview in ExportBookDialog. The dialog is modal, so the
// book cannot change under the typesetting; the PDF is written as the window
// runs all long work, with Cancel.
#include "book/BookOptions.h"
#include "dialogs/ExportBookDialog.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/LongWork.h"

#include <QAction>
#include <QMenu>

void CClanbookDlg::InstallBookCommands() {
  // Right after 导出图表…, whatever other commands stand after it.
  const QList<QAction*> items = m_fileMenu->actions();
  QAction* chart = findChild<QAction*>(QStringLiteral("idm_exportChart"));
  const qsizetype at = items.indexOf(chart);
  QAction* next = at >= 0 ? items.value(at + 1) : MenuAction(ID_EXIT);
  QAction* command = AddMenuCommand(
      m_fileMenu, tr("导出谱书…"), QStringLiteral("exportBook"), [this] { OnExportBook(); }, {},
      next);
  // A book is open while the genealogy has a root.
  const auto follow = [this, command] { command->setEnabled(m_document.Root() != nullptr); };
  follow();
  connect(&m_document, &GenealogyDocument::reset, this, follow);
  connect(&m_document, &GenealogyDocument::memberAdded, this, follow);
  connect(&m_document, &GenealogyDocument::memberRemoved, this, follow);
  connect(&m_document, &GenealogyDocument::rootReplaced, this, follow);
}

void CClanbookDlg::OnExportBook() {
  if (!m_document.Root()) return;
  book::BookOptions initial;
  initial.from = SelectedMember();
  const auto longWork = [this](const QString& label,
                               const std::function<void(const ExportBookDialog::Progress&)>& work) {
    return RunLongWork(this, label, true, [&work](WorkProgress& progress) {
             work([&progress](int done, int total) {
               return progress.Report(static_cast<std::size_t>(std::max(done, 0)),
                                      static_cast<std::size_t>(std::max(total, 0)));
             });
           }) == WorkOutcome::Finished;
  };
  ExportBookDialog dialog(m_document.Genealogy(), m_document.FileName(), initial, longWork, this);
  dialog.DoModal();
}
