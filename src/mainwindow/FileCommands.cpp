// File commands of the main window: New, Open, Save, Save As, Exit and the
// close path, and the save prompt they share.
//
// Unsaved work is never lost without the user's "No": when the user asked to
// save and nothing got written, the command that asked stops there.
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>

#include <optional>

namespace {

QString AppCaption() {
  return CClanbookDlg::tr("家谱管理系统");
}

// Asks for a file name. None when the user cancelled or left the name empty
// (the latter after its message): the asking command then ends.
std::optional<QString> AskFileName(QWidget* owner, bool open) {
  CFileOpenAndSaveDlg dialog(open, owner);
  if (dialog.DoModal() == IDCANCEL) return std::nullopt;
  if (dialog.m_fileName.isEmpty()) {
    ShowNotice(CClanbookDlg::tr("文件名不能为空!"));
    return std::nullopt;
  }
  return dialog.m_fileName;
}

// Writes the genealogy; a failure is reported to the user, never passed over.
// A written genealogy is the saved state that undo comes back to.
bool WriteGenealogy(GenealogyDocument& document, const QString& fileName) {
  if (!fileName.isEmpty() && document.Save(fileName) != kFileCannotWrite) return true;
  ShowNotice(CClanbookDlg::tr("文件无法保存!"));
  return false;
}

// The message with which Open reports a failed load; empty for codes it does not name.
QString LoadFailureText(int result) {
  switch (result) {
    case kFileBadDate:
      return CClanbookDlg::tr("家谱日期数据不合实际!");
    case kFileBadRelation:
      return CClanbookDlg::tr("家谱成员关系有误!");
    case kFileCannotOpen:
      return CClanbookDlg::tr("文件无法打开!");
    case kFileNoMemory:
      return CClanbookDlg::tr("内存不足!");
    case kFileNoRoot:
      return CClanbookDlg::tr("家谱没有根结点!");
    default:
      return {};
  }
}

enum class SavePromptOutcome {
  Proceed,  // nothing to save, the user said No, or the genealogy was written
  Stop,     // the user said Yes and nothing was written
};

SavePromptOutcome AskToSave(CClanbookDlg& window) {
  if (!window.m_modified) return SavePromptOutcome::Proceed;
  if (!AskQuestion(&window, AppCaption(), CClanbookDlg::tr("该家谱已被修改，你想保存吗?")))
    return SavePromptOutcome::Proceed;
  const std::optional<QString> name = AskFileName(&window, false);
  if (!name || !WriteGenealogy(window.m_document, *name)) return SavePromptOutcome::Stop;
  window.m_modified = false;
  return SavePromptOutcome::Proceed;
}

// The document puts the file in place only when the whole of it was read, so
// that a failed Open leaves everything as it was; the old genealogy is gone
// before the birthday reminder holds the window in a modal box.
void OpenFile(CClanbookDlg& window, const QString& fileName) {
  const int result = window.m_document.Load(fileName);
  if (result != kFileOk) {
    const QString text = LoadFailureText(result);
    if (!text.isEmpty()) ShowNotice(text);
    return;
  }
  window.ShowTodaysBirthdays();
  window.EnableMemberButtons(true);
}

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
  if (!m_document.Root()) return;
  if (!m_currentFile.isEmpty()) {
    if (WriteGenealogy(m_document, m_currentFile)) {
      m_modified = false;
      return;
    }
    // Reported above; the user may now choose another name.
  }
  const std::optional<QString> name = AskFileName(this, false);
  if (!name) return;
  m_document.SetFileName(*name);
  m_modified = !WriteGenealogy(m_document, m_currentFile);
}

void CClanbookDlg::OnSaveGenealogyAs() {
  const std::optional<QString> name = AskFileName(this, false);
  if (!name) return;
  m_document.SetFileName(*name);
  m_modified = !WriteGenealogy(m_document, m_currentFile);
}

bool CClanbookDlg::CanClose() {
  if (AskToSave(*this) == SavePromptOutcome::Stop) return false;
  m_modified = false;
  return true;
}

// Exit leaves by the same path as the close box, Esc and Enter, so the
// genealogy is offered for saving exactly once.
void CClanbookDlg::OnExit() {
  EndThroughClosePath(IDOK);
}
