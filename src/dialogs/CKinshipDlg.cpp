#include "dialogs/CKinshipDlg.h"

#include "dialogs/KinshipText.h"
#include "model/COperationClanbook.h"

#include <QCheckBox>
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
  const auto wifeBox = [this](const QString& label, const char* name) {
    auto* box = new QCheckBox(label, this);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label);
    connect(box, &QCheckBox::toggled, this, &CKinshipDlg::Update);
    return box;
  };
  m_firstWife = wifeBox(tr("指第一人之妻"), "kinshipFirstWife");
  m_secondWife = wifeBox(tr("指第二人之妻"), "kinshipSecondWife");

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
  form->addRow(QString(), m_firstWife);
  form->addRow(secondLabel, m_second);
  form->addRow(QString(), m_secondWife);
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
  // A wife is asked about by her husband's name; a daughter of the book is
  // married out and has no wife.
  const auto person = [](const MemberNode* member, QCheckBox* wifeBox, const QString& name,
                         QString& shown) {
    KinPerson p = PersonOf(member);
    wifeBox->setEnabled(p.sex == KinSex::Male);
    p.wife = wifeBox->isEnabled() && wifeBox->isChecked();
    shown = KinshipPersonName(name, p);
    return p;
  };
  QString shownA, shownB;
  const KinPerson personA = person(memberA, m_firstWife, a, shownA);
  const KinPerson personB = person(memberB, m_secondWife, b, shownB);
  const Kinship there = FindKinship(personA, personB);
  const Kinship back = FindKinship(personB, personA);
  QStringList lines{KinshipLine(shownA, shownB, there)};
  if (there.kind != KinKind::Unrelated) lines << KinshipLine(shownB, shownA, back);
  if (const QString path = KinshipPath(a, b, there); !path.isEmpty()) lines << path;
  m_result->setText(lines.join(QLatin1Char('\n')));
}
