#include "dialogs/CAboutDlg.h"

#include "platform/CHyperLink.h"
#include "platform/Shell.h"
#include "platform/Vendor.h"
#include "ui_aboutdlg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

// The logos are resources of this static library: naming its initializer
// keeps the linker from dropping them from a program that uses the dialog.
static void InitAboutResources() {
  Q_INIT_RESOURCE(about);
}

namespace {
const QColor kGreyLine(105, 105, 105);

QString EnglishCreditLine() {
  return CAboutDlg::tr("Designed and made by Morvane Software");
}
}  // namespace

CAboutDlg::CAboutDlg(const QString& webUrl, const QString& productName, const QString& version,
                     const QString& notice, int language, QWidget* parent)
    : CDialog(parent),
      m_productName(productName),
      m_version(version),
      m_webUrl(webUrl),
      m_language(language),
      ui(std::make_unique<Ui::AboutDlg>()) {
  ui->setupUi(this);
  m_webLink = ui->webLink;
  m_titleLink = ui->titleLink;
  m_mailLink = ui->mailLink;
  m_vendorLink = ui->vendorLink;
  m_logo = ui->logoLabel;
  m_okButton = ui->idc_1;
  // The hidden link's template text: the vendor's address, whatever page the
  // caller asks the logo to open.
  m_webLink->setText(VendorWebUrl());

  m_notice = notice.isEmpty() ? DefaultNotice(language) : notice;
  InitAboutResources();
  m_logoPath = language == kLanguageChinese ? QStringLiteral(":/about/about-logo-zh.bmp")
                                            : QStringLiteral(":/about/about-logo-en.bmp");
  m_logo->installEventFilter(this);
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::DefaultNotice(int language) {
  if (language == kLanguageChinese) {
    return tr(
        "版权声明：Morvane家谱制作软件的程序、文档和图标的著作权归 Morvane软件 所有，"
        "受《中华人民共和国著作权法》和有关国际条约的保护。\n"
        "未经 Morvane软件 书面许可，任何单位和个人不得复制、修改、出租、出售或通过网络传播"
        "本软件的全部或任何部分；违者须承担由此引起的全部法律责任，Morvane软件 将依法追究。\n"
        "您用本软件记录的家谱资料归您本人所有。");
  }
  if (language == kLanguageEnglish) {
    return tr("Thank you for keeping your family's history with this program. If you have a "
              "question, run into a problem, or have an idea that would make the program "
              "better, please write to the Morvane support team at %1. Tell us what you "
              "were doing and what you saw; we read every message and answer as soon as we "
              "can.")
        .arg(VendorSupportMailbox());
  }
  return QString();
}

void CAboutDlg::DoDataExchange(DataExchange& dx) {
  m_webLink->Attach();
  m_titleLink->Attach();
  m_mailLink->Attach();
  if (dx.saveAndValidate())
    m_notice = ui->noticeEdit->toPlainText();
  else
    ui->noticeEdit->setPlainText(m_notice);
  m_vendorLink->Attach();
}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  m_logo->setCursor(Qt::PointingHandCursor);

  QPixmap logo;
  if (logo.load(m_logoPath, "BMP")) {
    m_logo->setPixmap(logo);
    m_logo->setFixedSize(logo.size());
  }

  // The product name and version, after the word "About" in the box's language.
  const QString title = QStringLiteral("%1 %2").arg(m_productName, m_version);
  QString caption = QStringLiteral(" %1").arg(title);
  if (m_language == kLanguageChinese) {
    caption = tr("关于 %1").arg(title);
  } else if (m_language == kLanguageEnglish) {
    caption = tr("About %1").arg(title);
    m_vendorLink->setText(EnglishCreditLine());
  }
  setWindowTitle(caption);
  m_titleLink->setText(title);

  for (CHyperLink* line : {m_titleLink, m_vendorLink}) {
    line->SetBold(true);
    line->m_linkColor = line->m_visitedColor = line->m_hoverColor = kGreyLine;
    line->update();
  }

  m_webLink->SetUnderlined(false);
  m_webLink->SetUrl(m_webUrl);

  m_mailLink->SetUnderlined(false);
  m_mailLink->SetUrl(
      QStringLiteral("mailto:%1?subject=%2").arg(VendorSupportMailbox(), m_productName));

  // Without a parent the box would appear in the middle of the screen; it
  // belongs over the window it was opened from.
  if (!parentWidget()) {
    QWidget* owner = QApplication::activeWindow();
    if (owner && owner != this) {
      adjustSize();
      move(owner->frameGeometry().center() - rect().center());
    }
  }
  return true;
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_logo && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // The box has nothing to say when the desktop cannot open the page.
    OpenUrl(m_webUrl);
    return true;
  }
  return CDialog::eventFilter(watched, event);
}
