// The vendor's addresses and the texts built from them, kept in one place so
// that the main window, the about box and the help commands agree. The domain
// is a reserved example domain: nothing here reaches a real site by accident.
#pragma once

#include <QCoreApplication>
#include <QString>

inline QString VendorWebUrl() {
  return QStringLiteral("http://www.morvane.example");
}
inline QString VendorHelpUrl() {
  return VendorWebUrl() + QStringLiteral("/article.php?article_id=6");
}
inline QString VendorFeedbackMailbox() {
  return QStringLiteral("feedback@morvane.example");
}
inline QString VendorSupportMailbox() {
  return QStringLiteral("support@morvane.example");
}

// The main window's link: the vendor's name and its web address.
inline QString VendorLinkText() {
  return QCoreApplication::translate("Vendor", "Morvane软件:%1").arg(VendorWebUrl());
}

// A new mail to the feedback mailbox, subject filled in.
inline QString VendorFeedbackMailUrl() {
  return QStringLiteral("mailto:%1?subject=%2")
      .arg(VendorFeedbackMailbox(),
           QCoreApplication::translate("Vendor", "Morvane家谱制作软件反馈"));
}
