// Placeholder: the EditCommands family of CClanbookDlg is built in its own file.
#include "CClanbookDlg.h"
int CClanbookDlg::AddMember(CAddInfoDlg&) { return 0; }
void CClanbookDlg::OnAddChild() {}
void CClanbookDlg::OnAddMember() {}
void CClanbookDlg::OnChangeData() {}
void CClanbookDlg::OnDeleteSelected() {}
void CClanbookDlg::OnDeleteMember() {}
void CClanbookDlg::OnModifyMember() {}
void CClanbookDlg::ChangeMember(MemberNode*) {}
void CClanbookDlg::DeleteWithQuestion(MemberNode*, const QString&, bool) {}
