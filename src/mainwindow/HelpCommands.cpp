// The commands that lead away from the genealogy: the about box, the help
// page and the feedback mail. None of them touches the genealogy, the views
// or m_document.IsModified().
#include "dialogs/CAboutDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/Shell.h"
#include "platform/Vendor.h"

void CClanbookDlg::OnAbout() {
  // The box, its logo and its notice speak the interface's language; the
  // catalogue says which, as Qt's own catalogues tell the layout direction.
  const int language =
      tr("2052", "language id of the about box: 2052 Chinese, 1033 English").toInt();
  CAboutDlg about(VendorWebUrl(), tr("Morvane家谱制作软件 "), QStringLiteral("4.0"), QString(),
                  language, nullptr);
  about.DoModal();
}

// Neither command has anything to say when the desktop cannot open the address.
void CClanbookDlg::OnHelpPage() {
  OpenUrl(VendorHelpUrl());
}

void CClanbookDlg::OnFeedbackMail() {
  OpenUrl(VendorFeedbackMailUrl());
}

// The window managers of Linux desktops offer no way to add an entry to a
// window's system menu, so the about entry is not there; the Help menu opens
// the same box, and a system command routed here still does.
void CClanbookDlg::OnSysCommand(int id) {
  if ((id & ~0xF) == ID_SYS_ABOUT) OnAbout();
}
