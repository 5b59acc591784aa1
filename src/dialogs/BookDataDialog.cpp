#include "dialogs/BookDataDialog.h"

#include "document/GenealogyDocument.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The short fields on one page, the long texts each on a page of its own.
constexpr RecordField kLines[] = {RecordField::kBookTitle, RecordField::kHallName,
                                  RecordField::kClanSeat, RecordField::kEditors};
constexpr RecordField kTexts[] = {RecordField::kPreface, RecordField::kRules,
                                  RecordField::kPrecepts};

// "谱名", "Book title": the field's name as it begins a label or a tab.
QString TitleOf(RecordField field) {
  QString name = GenealogyDocument::FieldName(field);
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return name;
}

QString LabelOf(RecordField field) {
  return BookDataDialog::tr("%1:").arg(TitleOf(field));
}

QString ObjectNameOf(RecordField field) {
  return QStringLiteral("book%1").arg(static_cast<int>(field));
}

}  // namespace

BookDataDialog::BookDataDialog(const BookData& data, QWidget* parent)
    : CDialog(parent), m_data(data) {
  setWindowTitle(tr("谱书资料"));
  setObjectName(QStringLiteral("bookData"));
  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("bookDataTabs"));

  auto* general = new QWidget(tabs);
  auto* form = new QFormLayout(general);
  for (const RecordField field : kLines) {
    auto* label = new QLabel(LabelOf(field), general);
    auto* box = new QLineEdit(QString::fromStdU16String(data.Text(field)), general);
    box->setObjectName(ObjectNameOf(field));
    box->setAccessibleName(label->text());
    label->setBuddy(box);
    form->addRow(label, box);
    m_lines[field] = box;
    if (field == RecordField::kClanSeat) {
      auto* yearLabel = new QLabel(LabelOf(RecordField::kEditionYear), general);
      m_year = new QSpinBox(general);
      m_year->setObjectName(ObjectNameOf(RecordField::kEditionYear));
      m_year->setAccessibleName(yearLabel->text());
      m_year->setRange(0, 9999);
      m_year->setSpecialValueText(tr("未填"));
      m_year->setValue(data.editionYear);
      yearLabel->setBuddy(m_year);
      form->addRow(yearLabel, m_year);
    }
  }
  // The 字辈, read-only: its one editor is the 字辈 command, which checks it.
  auto* poemLabel = new QLabel(LabelOf(RecordField::kGenerationPoem), general);
  m_poem = new QLineEdit(general);
  m_poem->setObjectName(ObjectNameOf(RecordField::kGenerationPoem));
  m_poem->setAccessibleName(poemLabel->text());
  m_poem->setReadOnly(true);
  poemLabel->setBuddy(m_poem);
  m_poemStart = new QLabel(general);
  m_poemStart->setObjectName(QStringLiteral("bookPoemFirstGeneration"));
  auto* poemButton = new QPushButton(tr("字辈…"), general);
  poemButton->setObjectName(QStringLiteral("bookPoemButton"));
  poemButton->setAccessibleName(poemButton->text());
  poemButton->setAutoDefault(false);
  connect(poemButton, &QPushButton::clicked, this, &BookDataDialog::poemRequested);
  auto* poemRow = new QHBoxLayout;
  poemRow->addWidget(m_poem, 1);
  poemRow->addWidget(m_poemStart);
  poemRow->addWidget(poemButton);
  form->addRow(poemLabel, poemRow);
  ShowPoem(data);
  tabs->addTab(general, tr("谱书"));
  for (const RecordField field : kTexts) {
    auto* page = new QWidget(tabs);
    auto* pageLayout = new QVBoxLayout(page);
    auto* label = new QLabel(LabelOf(field), page);
    auto* box = new QPlainTextEdit(QString::fromStdU16String(data.Text(field)), page);
    box->setObjectName(ObjectNameOf(field));
    box->setAccessibleName(label->text());
    label->setBuddy(box);
    pageLayout->addWidget(label);
    pageLayout->addWidget(box, 1);
    m_texts[field] = box;
    tabs->addTab(page, TitleOf(field));
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs, 1);
  layout->addLayout(OkCancelRow(tr("确定"), tr("取消")));
  const int em = fontMetrics().horizontalAdvance(QChar(0x56FD));
  resize(44 * em, 22 * fontMetrics().lineSpacing());
}

BookDataDialog::~BookDataDialog() = default;

void BookDataDialog::ShowPoem(const BookData& data) {
  m_data.generationPoem = data.generationPoem;
  m_data.poemFirstGeneration = data.poemFirstGeneration;
  // A poem written over lines is shown on one.
  QString poem = QString::fromStdU16String(data.generationPoem);
  m_poem->setText(poem.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                      .replace(QLatin1Char('\n'), QLatin1Char(' '))
                      .replace(QLatin1Char('\r'), QLatin1Char(' ')));
  m_poem->setCursorPosition(0);
  m_poemStart->setText(
      data.generationPoem.empty() ? QString() : tr("自第 %1 世起").arg(data.poemFirstGeneration));
}

void BookDataDialog::OnOK() {
  for (const auto& [field, box] : m_lines)
    m_data.Text(field) = box->text().trimmed().toStdU16String();
  for (const auto& [field, box] : m_texts) m_data.Text(field) = box->toPlainText().toStdU16String();
  m_data.editionYear = m_year->value();
  EndDialog(IDOK);
}
