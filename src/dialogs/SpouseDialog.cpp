#include "dialogs/SpouseDialog.h"

#include "calendar/ChineseDateParser.h"
#include "dialogs/ChineseDateEntry.h"
#include "document/DateWords.h"
#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <optional>
#include <tuple>

namespace {

QString DateText(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (year == 0 && month == 0 && day == 0) return {};
  return IsoDate({year, month, day});
}

}  // namespace

SpouseDialog::SpouseDialog(const Spouse& spouse, QWidget* parent)
    : CDialog(parent), m_spouse(spouse) {
  setWindowTitle(tr("配偶"));
  setObjectName(QStringLiteral("spouseDialog"));
  m_form = new QFormLayout;

  auto* titleLabel = new QLabel(tr("称:"), this);
  m_title = new QComboBox(this);
  m_title->setObjectName(QStringLiteral("spouseTitle"));
  m_title->setAccessibleName(titleLabel->text());
  for (int i = 0; i < kSpouseTitles; ++i)
    m_title->addItem(spouse_text::Title(static_cast<SpouseTitle>(i)));
  m_title->setCurrentIndex(static_cast<int>(spouse.title));
  titleLabel->setBuddy(m_title);
  m_form->addRow(titleLabel, m_title);

  m_surname = AddLine(tr("姓:"), "spouseSurname", spouse.surname);
  m_givenName = AddLine(tr("名:"), "spouseGivenName", spouse.givenName);
  m_origin = AddLine(tr("籍贯:"), "spouseOrigin", spouse.origin);
  m_father = AddLine(tr("父亲:"), "spouseFather", spouse.father);
  m_father->setPlaceholderText(tr("如 王公某某"));
  m_birth = AddLine(tr("出生日期:"), "spouseBirth", {});
  m_birth->setText(DateText(spouse.birthYear, spouse.birthMonth, spouse.birthDay));
  m_birth->setPlaceholderText(tr("如 1890-3-5 或 光绪十六年二月十五"));
  m_alive = new QCheckBox(tr("健在"), this);
  m_alive->setObjectName(QStringLiteral("spouseAlive"));
  m_alive->setAccessibleName(m_alive->text());
  m_alive->setChecked(spouse.alive != 0);
  m_form->addRow(QString(), m_alive);
  m_death = AddLine(tr("去世日期:"), "spouseDeath", {});
  m_death->setText(DateText(spouse.deathYear, spouse.deathMonth, spouse.deathDay));
  m_death->setPlaceholderText(m_birth->placeholderText());
  m_burial = AddLine(tr("葬地:"), "spouseBurial", spouse.burial);
  m_note = AddLine(tr("备注:"), "spouseNote", spouse.note);
  // The living have no death date.
  const auto followAlive = [this] { m_death->setEnabled(!m_alive->isChecked()); };
  connect(m_alive, &QCheckBox::toggled, this, followAlive);
  followAlive();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(m_form);
  layout->addLayout(OkCancelRow(tr("确定"), tr("取消")));
  m_surname->setFocus();
}

SpouseDialog::~SpouseDialog() = default;

QLineEdit* SpouseDialog::AddLine(const QString& label, const char* name,
                                 const std::u16string& text) {
  auto* caption = new QLabel(label, this);
  auto* box = new QLineEdit(QString::fromStdU16String(text), this);
  box->setObjectName(QString::fromLatin1(name));
  box->setAccessibleName(label);
  caption->setBuddy(box);
  m_form->addRow(caption, box);
  return box;
}

bool SpouseDialog::ReadDate(QLineEdit* box, std::int32_t& year, std::int32_t& month,
                            std::int32_t& day) {
  const QString text = box->text().trimmed();
  year = month = day = 0;
  if (text.isEmpty()) return true;
  const ParsedDate parsed = ParseDate(text.toStdU16String());
  std::optional<GregorianDate> date;
  if (parsed.problem == DateProblem::None) {
    date = parsed.candidates.front();
  } else if (parsed.problem == DateProblem::Ambiguous) {
    QStringList choices;
    for (const GregorianDate& candidate : parsed.candidates) choices << FullDateLine(candidate);
    const int chosen = AskWhichDate(this, tr("“%1”是哪一天？").arg(text), choices);
    if (chosen >= 0 && chosen < static_cast<int>(parsed.candidates.size()))
      date = parsed.candidates[static_cast<std::size_t>(chosen)];
  } else {
    ShowNotice(DateProblemText(parsed.problem, text));
  }
  if (!date) {
    box->setFocus();
    return false;
  }
  year = date->year;
  month = date->month;
  day = date->day;
  return true;
}

void SpouseDialog::OnOK() {
  Spouse entered;
  entered.title = static_cast<SpouseTitle>(m_title->currentIndex());
  entered.surname = m_surname->text().trimmed().toStdU16String();
  entered.givenName = m_givenName->text().trimmed().toStdU16String();
  entered.origin = m_origin->text().trimmed().toStdU16String();
  entered.father = m_father->text().trimmed().toStdU16String();
  entered.burial = m_burial->text().trimmed().toStdU16String();
  entered.note = m_note->text().trimmed().toStdU16String();
  entered.alive = m_alive->isChecked() ? 1 : 0;
  if (entered.surname.empty() && entered.givenName.empty()) {
    ShowNotice(tr("请输入配偶的姓或名!"));
    m_surname->setFocus();
    return;
  }
  if (!ReadDate(m_birth, entered.birthYear, entered.birthMonth, entered.birthDay)) return;
  if (!entered.alive && !ReadDate(m_death, entered.deathYear, entered.deathMonth, entered.deathDay))
    return;
  if (entered.deathYear != 0 && entered.birthYear != 0 &&
      std::tie(entered.deathYear, entered.deathMonth, entered.deathDay) <
          std::tie(entered.birthYear, entered.birthMonth, entered.birthDay)) {
    ShowNotice(tr("去世日期早于出生日期!"));
    m_death->setFocus();
    return;
  }
  m_spouse = entered;
  EndDialog(IDOK);
}
