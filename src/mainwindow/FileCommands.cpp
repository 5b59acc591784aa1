// File commands of the main window: New, Open, Save, Save As, Exit and the
// close path, and the save prompt they share; the recent files, files dropped
// on the window, and what the window remembers between runs.
//
// Unsaved work is never lost without the user's "No": when the user asked to
// save and nothing got written, the command that asked stops there.
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "formats/FormatRegistry.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/FileProblemTexts.h"
#include "mainwindow/LongWork.h"
#include "mainwindow/RecentFiles.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <optional>

namespace {

QString AppCaption() {
  return CClanbookDlg::tr("家谱管理系统");
}

QString NothingToSaveText() {
  return CClanbookDlg::tr("家谱是空的，没有可保存的内容!");
}

enum class WriteOutcome {
  Written,
  Failed,    // said so to the user; another file name may do
  Refused,   // said so: a member the file cannot hold, whatever its name
  Declined,  // the user would not overwrite a file another program changed
};

// Why a save that was asked to keep the previous version did not; empty when
// it did or there was none.
QString PreviousVersionNotKeptText(const GenealogyDocument::PreviousVersion& previous,
                                   const QString& fileName) {
  using Previous = GenealogyDocument::PreviousVersion;
  switch (previous.outcome) {
    case Previous::kNameTooLong:
      return CClanbookDlg::tr(
                 "家谱已保存，但未能保留上一版本：文件名%1太长，加上“.bak”就超出了文件系统的限制。"
                 "要保留上一版本，请用较短的文件名另存家谱。")
          .arg(QDir::toNativeSeparators(fileName));
    case Previous::kBackupIsFolder:
      return CClanbookDlg::tr("家谱已保存，但未能保留上一版本：%1是一个文件夹。")
          .arg(QDir::toNativeSeparators(previous.backupName));
    case Previous::kNotKept:
      return CClanbookDlg::tr("家谱已保存，但未能把上一版本保留为%1。")
          .arg(QDir::toNativeSeparators(previous.backupName));
    case Previous::kNothingToKeep:
    case Previous::kKept:
      break;
  }
  return {};
}

bool RefusedForAMember(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNameNotStorable:
    case FileProblem::kAddressNotStorable:
    case FileProblem::kNamedEnd:
    case FileProblem::kNamedLikeFather:
    case FileProblem::kRootNamedNoFather:
      return true;
    default:
      return false;
  }
}

// Writes the genealogy; a failure is reported to the user, never passed over.
// A written genealogy is the saved state that undo comes back to.
WriteOutcome WriteGenealogy(CClanbookDlg& window, const QString& fileName) {
  GenealogyDocument& document = window.document();
  if (fileName.isEmpty()) {
    ShowNotice(CClanbookDlg::tr("文件无法保存!"));
    return WriteOutcome::Failed;
  }
  // Another program may have put a newer version there since it was opened
  // or saved here; that is not overwritten unasked, nor by a mere Enter.
  if (fileName == document.FileName() && document.FileChangedOnDisk() &&
      !AskQuestion(&window, AppCaption(),
                   CClanbookDlg::tr("文件%1已被其他程序修改，你想覆盖它吗?")
                       .arg(QDir::toNativeSeparators(fileName)),
                   QuestionDefault::No))
    return WriteOutcome::Declined;
  const bool keepPrevious = clanbook_settings::KeepPreviousVersion();
  FileStatus status;
  status.code = kFileCannotWrite;
  status.problem = FileProblem::kWriteFailed;
  GenealogyDocument::PreviousVersion previous;
  if (RunLongWork(&window, CClanbookDlg::tr("正在保存家谱…"), false,
                  [&document, &fileName, keepPrevious, &status, &previous](WorkProgress&) {
                    status = GenealogyDocument::WriteGenealogy(document.Genealogy(), fileName,
                                                               keepPrevious, &previous);
                  }) == WorkOutcome::Failed)
    return WriteOutcome::Failed;
  if (!status.Ok()) {
    ShowNotice(SaveFailureText(status, fileName));
    return RefusedForAMember(status.problem) ? WriteOutcome::Refused : WriteOutcome::Failed;
  }
  document.MarkSaved(fileName);
  clanbook_settings::AddRecentFile(fileName);
  // Said once: every later save of this book would meet the same obstacle.
  if (const QString text = PreviousVersionNotKeptText(previous, fileName); !text.isEmpty())
    window.ShowNoticeOnce(text);
  return WriteOutcome::Written;
}

enum class SavePromptOutcome {
  Proceed,  // nothing to save, the user said No, or the genealogy was written
  Stop,     // the user said Yes and nothing was written
};

SavePromptOutcome AskToSave(CClanbookDlg& window) {
  // An empty genealogy has nothing a file could keep.
  if (!window.document().IsModified() || !window.document().Root())
    return SavePromptOutcome::Proceed;
  if (!AskQuestion(&window, AppCaption(), CClanbookDlg::tr("该家谱已被修改，你想保存吗?")))
    return SavePromptOutcome::Proceed;
  const std::optional<QString> name = CClanbookDlg::AskFileName(&window, false);
  if (!name || WriteGenealogy(window, *name) != WriteOutcome::Written)
    return SavePromptOutcome::Stop;
  window.document().SetModified(false);
  return SavePromptOutcome::Proceed;
}

// The file is read on a worker thread into a genealogy of its own, which
// takes the document's place only when the whole file was read: a failed or
// cancelled Open leaves everything as it was. The old genealogy is gone
// before the birthday reminder holds the window in a modal box.
void OpenFile(CClanbookDlg& window, const QString& fileName) {
  COperationClanbook loaded;
  FileStatus status;
  status.code = kFileNoMemory;
  status.problem = FileProblem::kNoMemory;
  const WorkOutcome outcome = RunLongWork(
      &window, CClanbookDlg::tr("正在打开家谱…"), true,
      [&fileName, &loaded, &status](WorkProgress& work) {
        status = GenealogyDocument::ReadGenealogy(
            fileName, loaded,
            [&work](std::size_t done, std::size_t total) { return work.Report(done, total); });
      });
  if (outcome != WorkOutcome::Finished) return;
  if (!status.Ok()) {
    const QString text = LoadFailureText(status);
    if (!text.isEmpty()) ShowNotice(text);
    return;
  }
  window.document().Adopt(loaded, fileName);
  loaded.Clear();  // the old genealogy
  clanbook_settings::AddRecentFile(fileName);
  window.ShowTodaysBirthdays();
  window.EnableMemberButtons(true);
  window.ReportUnreadPoem();
}

// What a drop of a file of the registered format does with it; none: the
// window takes no such file.
using DropOpener = void (CClanbookDlg::*)(const QString&);
DropOpener DroppableFormatOf(const QString& fileName) {
  const formats::FormatEntry* format = formats::FormatOfFile(fileName.toStdString());
  if (!format || !format->reads) return nullptr;
  switch (format->id) {
    case formats::FormatId::kFtf:
      return &CClanbookDlg::OpenDroppedFile;
    case formats::FormatId::kGedcom:
      return &CClanbookDlg::ImportGedcom;
    case formats::FormatId::kCbk:  // opened through the document's ReadBook, not yet here
      break;
  }
  return nullptr;
}

// The one local file of a drop, when it is of a format the window opens.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile()) return {};
  const QString fileName = url.toLocalFile();
  return DroppableFormatOf(fileName) ? fileName : QString();
}

// Lets the window take files dragged from the file manager without a
// handler of its own for every drag event.
class FileDropFilter : public QObject {
public:
  explicit FileDropFilter(CClanbookDlg& window) : QObject(&window), m_window(window) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &m_window) return false;
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!LongWorkRunning() && !DroppedFile(drag->mimeData()).isEmpty())
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString fileName = DroppedFile(drop->mimeData());
        if (fileName.isEmpty() || LongWorkRunning()) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // The save prompt and the reading run after the drag has ended, so
        // that the file manager is not held waiting for them.
        QMetaObject::invokeMethod(
            &m_window,
            [window = &m_window, fileName] { (window->*DroppableFormatOf(fileName))(fileName); },
            Qt::QueuedConnection);
        return true;
      }
      default:
        return false;
    }
  }

private:
  CClanbookDlg& m_window;
};

const QString kGeometryKey = QStringLiteral("window/geometry");

}  // namespace

void CClanbookDlg::PromptSave() {
  AskToSave(*this);
}

void CClanbookDlg::OnNewGenealogy() {
  if (button(ID_ADD_CHILD)->isEnabled() &&
      !AskQuestion(this, AppCaption(), tr("在建立新家谱前,将关闭现有的家谱文件,您确定吗?")))
    return;
  if (AskToSave(*this) == SavePromptOutcome::Stop) return;
  // The new genealogy has no file yet: its first Save must ask for a name
  // rather than overwrite the file that was open before.
  m_document.New();
  EnableMemberButtons(true);
  OnAddChild();
}

void CClanbookDlg::OnOpenGenealogy() {
  if (AskToSave(*this) == SavePromptOutcome::Stop) return;
  const std::optional<QString> name = AskFileName(this, true);
  if (!name) return;
  OpenFile(*this, *name);
}

void CClanbookDlg::OpenAtStart(const QString& fileName) {
  OpenFile(*this, fileName);
}

void CClanbookDlg::OnSaveGenealogy() {
  if (!m_document.Root()) {
    ShowNotice(NothingToSaveText());
    return;
  }
  if (!m_document.FileName().isEmpty()) {
    switch (WriteGenealogy(*this, m_document.FileName())) {
      case WriteOutcome::Written:
        m_document.SetModified(false);
        return;
      case WriteOutcome::Refused:
      case WriteOutcome::Declined:
        return;
      case WriteOutcome::Failed:
        break;  // reported; the user may now choose another name
    }
  }
  const std::optional<QString> name = AskFileName(this, false);
  if (!name) return;
  m_document.SetFileName(*name);
  m_document.SetModified(WriteGenealogy(*this, m_document.FileName()) != WriteOutcome::Written);
}

void CClanbookDlg::OnSaveGenealogyAs() {
  // Asked before a name, so that nothing changes, not even the file name.
  if (!m_document.Root()) {
    ShowNotice(NothingToSaveText());
    return;
  }
  const std::optional<QString> name = AskFileName(this, false);
  if (!name) return;
  m_document.SetFileName(*name);
  m_document.SetModified(WriteGenealogy(*this, m_document.FileName()) != WriteOutcome::Written);
}

bool CClanbookDlg::OfferToSave() {
  // Not while a file is being read or written: the work holds the genealogy.
  return !LongWorkRunning() && AskToSave(*this) == SavePromptOutcome::Proceed;
}

bool CClanbookDlg::CanClose() {
  if (!OfferToSave()) return false;
  m_document.SetModified(false);
  return true;
}

// Exit leaves by the same path as the close box, Esc and Enter, so the
// genealogy is offered for saving exactly once.
void CClanbookDlg::OnExit() {
  EndThroughClosePath(IDOK);
}

// --- file comforts ---

void CClanbookDlg::InitFileCommands() {
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
  RebuildRecentFilesMenu();

  QAction* keep = AddMenuCommand(
      m_fileMenu, tr("保存时保留上一版本"), QStringLiteral("keepPreviousVersion"), [] {}, {}, exit);
  keep->setCheckable(true);
  keep->setChecked(clanbook_settings::KeepPreviousVersion());
  connect(keep, &QAction::toggled, this,
          [](bool checked) { clanbook_settings::SetKeepPreviousVersion(checked); });
  m_fileMenu->insertSeparator(exit);

  setAcceptDrops(true);
  installEventFilter(new FileDropFilter(*this));
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
    connect(action, &QAction::triggered, this, [this, fileName] { OpenRecentFile(fileName); });
  }
}

void CClanbookDlg::OpenRecentFile(const QString& fileName) {
  if (!QFileInfo::exists(fileName)) {
    ShowNotice(
        tr("文件%1已不存在，已从最近打开的文件中删除!").arg(QDir::toNativeSeparators(fileName)));
    clanbook_settings::RemoveRecentFile(fileName);
    RebuildRecentFilesMenu();
    return;
  }
  if (AskToSave(*this) == SavePromptOutcome::Stop) return;
  OpenFile(*this, fileName);
}

void CClanbookDlg::OpenDroppedFile(const QString& fileName) {
  if (AskToSave(*this) == SavePromptOutcome::Stop) return;
  OpenFile(*this, fileName);
}

void CClanbookDlg::RestoreWindowState() {
  const QByteArray geometry = clanbook_settings::Open()->value(kGeometryKey).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void CClanbookDlg::SaveWindowState() const {
  clanbook_settings::Open()->setValue(kGeometryKey, saveGeometry());
}

std::optional<QString> CClanbookDlg::AskFileName(QWidget* owner, bool open) {
  CFileOpenAndSaveDlg dialog(open, owner);
  if (dialog.DoModal() == IDCANCEL) return std::nullopt;
  if (dialog.m_fileName.isEmpty()) {
    ShowNotice(tr("文件名不能为空!"));
    return std::nullopt;
  }
  return dialog.m_fileName;
}
