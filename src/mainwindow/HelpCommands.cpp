// Placeholder: the HelpCommands family of CClanbookDlg is built in its own file.
#include "CClanbookDlg.h"
void CClanbookDlg::OnAbout() {}
void CClanbookDlg::OnHelpPage() {}
void CClanbookDlg::OnFeedbackMail() {}
void CClanbookDlg::OnSysCommand(int) {}
