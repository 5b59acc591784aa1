// File commands of the main window: New, Exit and the close path, the
// menu items of the book's file (BookFiles does the work), and where the
// window stood last time.
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/LongWork.h"
#include "mainwindow/RecentFiles.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

}  // namespace

void CClanbookDlg::OnNewGenealogy() {
  if (button(ID_ADD_CHILD)->isEnabled() &&
      !AskQuestion(this, tr("家谱管理系统"), tr("在建立新家谱前,将关闭现有的家谱文件,您确定吗?")))
    return;
  if (!m_files.AskToSave()) return;
  // The new genealogy has no file yet: its first Save must ask for a name
  // rather than overwrite the file that was open before.
  m_document.New();
  EnableMemberButtons(true);
  OnAddChild();
}

void CClanbookDlg::OpenAtStart(const QString& fileName) {
  m_files.OpenFile(fileName);
}

// Exit leaves by the same path as the close box, Esc and Enter, so the
// genealogy is offered for saving exactly once.
void CClanbookDlg::OnExit() {
  EndThroughClosePath(IDOK);
}

void CClanbookDlg::EndThroughClosePath(int result) {
  // A second way out while the save prompt of the first is open must not ask again.
  if (m_closing) return;
  m_closing = true;
  // False keeps the window open: the user chose to save and nothing was written.
  const bool canClose = m_files.OfferToSave();
  m_closing = false;
  if (!canClose) return;
  m_document.SetModified(false);
  SaveWindowState();
  EndDialog(result);
}

void CClanbookDlg::InstallFileCommands() {
  const std::pair<int, QKeySequence> keys[] = {
      {ID_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
      {ID_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
      {ID_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},
      {ID_SAVE_AS, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
  };
  for (const auto& [id, key] : keys) {
    QAction* action = m_actions.at(id);
    action->setShortcut(key);
    // Also the window's own, so that the keys work wherever the focus is.
    addAction(action);
  }

  QAction* exit = m_actions.at(ID_EXIT);
  m_recentMenu = new QMenu(tr("最近打开的文件"), m_fileMenu);
  m_recentMenu->setObjectName(QStringLiteral("recentFilesMenu"));
  m_recentMenu->menuAction()->setObjectName(QStringLiteral("recentFiles"));
  m_fileMenu->insertMenu(exit, m_recentMenu);
  // Another window of the program may have changed the list meanwhile.
  connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { RebuildRecentFilesMenu(); });
  connect(&m_files, &BookFiles::recentFilesChanged, this, [this] { RebuildRecentFilesMenu(); });
  RebuildRecentFilesMenu();

  QAction* keep = AddMenuCommand(
      m_fileMenu, tr("保存时保留上一版本"), QStringLiteral("keepPreviousVersion"), [] {}, {}, exit);
  keep->setCheckable(true);
  keep->setChecked(clanbook_settings::KeepPreviousVersion());
  connect(keep, &QAction::toggled, this,
          [](bool checked) { clanbook_settings::SetKeepPreviousVersion(checked); });
  m_fileMenu->insertSeparator(exit);

  // After an Open the window greets the book: today's birthdays, the buttons,
  // and why its 字辈 could not be read.
  connect(&m_files, &BookFiles::opened, this, [this](const PoemFileResult& poem) {
    ShowTodaysBirthdays();
    EnableMemberButtons(true);
    m_poem.ReportUnread(poem);
  });
  connect(&m_files, &BookFiles::gedcomDropped, this,
          [this](const QString& fileName) { ImportGedcom(fileName); });
}

void CClanbookDlg::RebuildRecentFilesMenu() {
  m_recentMenu->clear();
  const QStringList files = clanbook_settings::RecentFiles();
  if (files.isEmpty()) m_recentMenu->addAction(tr("（无）"))->setEnabled(false);
  for (int i = 0; i < files.size(); ++i) {
    const QString fileName = files[i];
    QAction* action = m_recentMenu->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(fileName)));
    action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
    action->setData(fileName);
    connect(action, &QAction::triggered, this,
            [this, fileName] { m_files.OpenRecentFile(fileName); });
  }
}

void CClanbookDlg::RestoreWindowState() {
  const QByteArray geometry = clanbook_settings::Open()->value(kGeometryKey).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void CClanbookDlg::SaveWindowState() const {
  clanbook_settings::Open()->setValue(kGeometryKey, saveGeometry());
}
