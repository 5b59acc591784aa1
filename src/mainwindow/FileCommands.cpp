// Placeholder: the FileCommands family of CClanbookDlg is built in its own file.
#include "CClanbookDlg.h"
void CClanbookDlg::PromptSave() {}
void CClanbookDlg::OnNewGenealogy() {}
void CClanbookDlg::OnOpenGenealogy() {}
void CClanbookDlg::OnSaveGenealogy() {}
void CClanbookDlg::OnSaveGenealogyAs() {}
void CClanbookDlg::OnExit() {}
bool CClanbookDlg::CanClose() { return true; }
void CClanbookDlg::OpenAtStart(const QString&) {}
