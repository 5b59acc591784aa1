#include "dialogs/CKinshipDlg.h"

#include "dialogs/KinshipText.h"
#include "model/COperationClanbook.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CKinshipDlg::CKinshipDlg(const COperationClanbook& genealogy, const QString& name, QWidget* parent)
    : CDialog(parent), m_genealogy(genealogy) {
  setWindowTitle(tr("称谓"));
  setObjectName(QStringLiteral("kinship"));

  auto* firstLabel = new QLabel(tr("第一人:"), this);
  m_first = new QLineEdit(name, this);
  m_first->setObjectName(QStringLiteral("kinshipFirst"));
  m_first->setAccessibleName(firstLabel->text());
  firstLabel->setBuddy(m_first);
  auto* secondLabel = new QLabel(tr("第二人:"), this);
  m_second = new QLineEdit(name, this);
  m_second->setObjectName(QStringLiteral("kinshipSecond"));
  m_second->setAccessibleName(secondLabel->text());
  secondLabel->setBuddy(m_second);

  auto* resultLabel = new QLabel(tr("称谓:"), this);
  m_result = new QLabel(this);
  m_result->setObjectName(QStringLiteral("kinshipResult"));
  m_result->setAccessibleName(resultLabel->text());
  m_result->setWordWrap(true);
  m_result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  m_result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const int em = fontMetrics().horizontalAdvance(QChar(0x56FD));
  m_result->setMinimumSize(24 * em, 4 * fontMetrics().lineSpacing());

  auto* close = new QPushButton(tr("关闭"), this);
  close->setObjectName(ControlName(IDOK));
  close->setAccessibleName(close->text());
  close->setDefault(true);

  auto* form = new QFormLayout;
  form->addRow(firstLabel, m_first);
  form->addRow(secondLabel, m_second);
  form->addRow(resultLabel, m_result);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form, 1);
  layout->addLayout(buttons);

  connect(close, &QPushButton::clicked, this, &CKinshipDlg::accept);
  connect(m_first, &QLineEdit::textChanged, this, &CKinshipDlg::Update);
  connect(m_second, &QLineEdit::textChanged, this, &CKinshipDlg::Update);
  Update();
  // The second name is the one to type: the first is usually the selection.
  m_second->setFocus();
  m_second->selectAll();
}

CKinshipDlg::~CKinshipDlg() = default;

QString CKinshipDlg::ResultText() const {
  return m_result->text();
}

const MemberNode* CKinshipDlg::Find(const QString& name) const {
  MemberNode* found = m_genealogy.FindByName(name.toStdU16String());
  return found;
}

void CKinshipDlg::Update() {
  const QString a = m_first->text().trimmed();
  const QString b = m_second->text().trimmed();
  if (a.isEmpty() || b.isEmpty()) {
    m_result->setText(tr("请输入两人的姓名。"));
    return;
  }
  const MemberNode* memberA = Find(a);
  const MemberNode* memberB = Find(b);
  if (!memberA || !memberB) {
    m_result->setText(tr("本家谱中找不到%1!").arg(memberA ? b : a));
    return;
  }
  // The book records no sexes or wives yet: both are men of the book.
  const Kinship there = FindKinship(PersonOf(memberA), PersonOf(memberB));
  const Kinship back = FindKinship(PersonOf(memberB), PersonOf(memberA));
  QStringList lines{KinshipLine(a, b, there)};
  if (there.kind != KinKind::Unrelated) lines << KinshipLine(b, a, back);
  if (const QString path = KinshipPath(a, b, there); !path.isEmpty()) lines << path;
  m_result->setText(lines.join(QLatin1Char('\n')));
}
