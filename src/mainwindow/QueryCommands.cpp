// Placeholder: the QueryCommands family of CClanbookDlg is built in its own file.
#include "CClanbookDlg.h"
void CClanbookDlg::OnPersonalInfo() {}
void CClanbookDlg::OnGenerationInfo() {}
void CClanbookDlg::OnRelations() {}
void CClanbookDlg::OnSortByBirth() {}
void CClanbookDlg::OnFindBirthday() {}
