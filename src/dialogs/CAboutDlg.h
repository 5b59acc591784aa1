// The about box: product name and version, the vendor's logo (a click opens
// the vendor's web page), a line that starts a mail to the vendor's support
// team, and a notice text, in Chinese (language 2052) or English (1033).
#pragma once

#include "platform/CDialog.h"

#include <QByteArray>
#include <QString>

#include <memory>

class CHyperLink;
class QLabel;
class QPushButton;

namespace Ui {
class AboutDlg;
}

inline constexpr int kLanguageChinese = 2052;
inline constexpr int kLanguageEnglish = 1033;

class CAboutDlg : public CDialog {
  Q_OBJECT
public:
  // An empty `notice` stands for the vendor's notice in `language`.
  CAboutDlg(const QString& webUrl, const QString& productName, const QString& version,
            const QString& notice, int language, QWidget* parent = nullptr);
  ~CAboutDlg() override;

  // The vendor's notice for a language id; empty for languages without one.
  static QString DefaultNotice(int language);

  QString m_productName;
  QString m_version;
  QString m_webUrl;
  int m_language;
  CHyperLink* m_webLink = nullptr;     // 1006, never shown: the logo stands for it
  CHyperLink* m_titleLink = nullptr;   // 1004
  CHyperLink* m_mailLink = nullptr;    // 1013
  CHyperLink* m_vendorLink = nullptr;  // 7008
  QLabel* m_logo = nullptr;            // 7009
  QPushButton* m_okButton = nullptr;   // 1
  QString m_notice;
  // The logo picture as base64 text; decoded in memory when the box opens.
  QString m_logoPath;

protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  std::unique_ptr<Ui::AboutDlg> ui;
};
