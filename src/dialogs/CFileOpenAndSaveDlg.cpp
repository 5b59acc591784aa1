#include "dialogs/CFileOpenAndSaveDlg.h"

#include "formats/FormatRegistry.h"
#include "platform/Shell.h"
#include "ui_fileopenandsavedlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

QString GenealogyFileFilter() {
  // Windows' "*.*" means every file; on this platform that is "*", since "*.*"
  // would hide the names without a dot. The patterns are the registry's; the
  // book file that keeps the whole record comes second, so that the first
  // filter stays the one it always was.
  return CFileOpenAndSaveDlg::tr(
             "家谱文件--Family Tree Files(%1);;谱书文件（含全部资料）(%2);;All Files(*)")
      .arg(QString::fromStdString(formats::NamePatterns(formats::FormatId::kFtf)),
           QString::fromStdString(formats::NamePatterns(formats::FormatId::kCbk)));
}

CFileOpenAndSaveDlg::CFileOpenAndSaveDlg(bool isOpen, QWidget* parent)
    : CDialog(parent), m_isOpen(isOpen), ui(std::make_unique<Ui::FileOpenAndSaveDlg>()) {
  ui->setupUi(this);
  // A full path can be far longer than the line edit's default limit.
  ui->fileNameEdit->setMaxLength(std::numeric_limits<int>::max());
  connect(ui->browseButton, &QPushButton::clicked, this, &CFileOpenAndSaveDlg::OnBrowse);
}

CFileOpenAndSaveDlg::~CFileOpenAndSaveDlg() = default;

void CFileOpenAndSaveDlg::DoDataExchange(DataExchange& dx) {
  // Not DataExchange::Text: that one caps the text at the member-field limit.
  if (dx.saveAndValidate())
    m_fileName = ui->fileNameEdit->text();
  else
    ui->fileNameEdit->setText(m_fileName);
}

bool CFileOpenAndSaveDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const QString prompt = m_isOpen ? tr("请输入要打开的文件名:") : tr("请输入要保存的文件名:");
  ui->promptLabel->setText(prompt);
  ui->fileNameEdit->setAccessibleName(prompt);
  return true;
}

void CFileOpenAndSaveDlg::OnBrowse() {
  FileDialogRequest request;
  request.open = m_isOpen;
  request.filter = GenealogyFileFilter();
  const QString chosen = RunFileDialog(this, request);
  if (chosen.isEmpty()) return;
  m_fileName = chosen;
  // Case-sensitive on purpose: "NAME.FTF" becomes "NAME.FTF.ftf". A name
  // ending .cbk asks for the book file and is kept.
  if (!m_isOpen && !m_fileName.endsWith(QStringLiteral(".ftf"), Qt::CaseSensitive) &&
      !m_fileName.endsWith(QStringLiteral(".cbk"), Qt::CaseSensitive))
    m_fileName += QStringLiteral(".ftf");
  ui->fileNameEdit->setText(m_fileName);
}
