#include "dialogs/CGenerationPoemDlg.h"

#include "formats/PoemFile.h"
#include "platform/MessageBoxes.h"
#include "ui_generationpoemdlg.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString Character(char32_t c) {
  return QString::fromUcs4(&c, 1);
}

}  // namespace

// The members the last check found, one line each; the text of a line is made
// only when the view paints it, so a list of two million costs their pointers.
class CGenerationPoemDlg::LackingModel : public QAbstractListModel {
public:
  LackingModel(const COperationClanbook& book, QObject* parent)
      : QAbstractListModel(parent), m_book(book) {}

  void Reset(std::vector<MemberNode*> members, GenerationPoem poem) {
    beginResetModel();
    m_members = std::move(members);
    m_poem = std::move(poem);
    endResetModel();
  }

  MemberNode* Member(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return nullptr;
    return m_members[static_cast<std::size_t>(index.row())];
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_members.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const MemberNode* member = Member(index);
    if (!member || role != Qt::DisplayRole) return {};
    const int generation = m_book.GetGeneration(member);
    return CGenerationPoemDlg::tr("%1　第 %2 世　应有“%3”字")
        .arg(QString::fromStdU16String(member->name), QString::number(generation),
             Character(m_poem.CharacterOf(generation)));
  }

private:
  const COperationClanbook& m_book;
  std::vector<MemberNode*> m_members;
  GenerationPoem m_poem;
};

CGenerationPoemDlg::CGenerationPoemDlg(const COperationClanbook& book, QWidget* parent)
    : CDialog(parent),
      m_book(book),
      ui(std::make_unique<Ui::GenerationPoemDlg>()),
      m_lacking(new LackingModel(book, this)) {
  ui->setupUi(this);
  ui->lackingList->setModel(m_lacking);
  ui->lackingList->installEventFilter(this);
  connect(ui->checkButton, &QPushButton::clicked, this, &CGenerationPoemDlg::OnCheck);
  connect(ui->lackingList, &QListView::doubleClicked, this, &CGenerationPoemDlg::Activate);
  // The list answers the boxes as they were at the check; once they change it
  // would answer a question nobody is asking.
  connect(ui->poemEdit, &QLineEdit::textChanged, this, &CGenerationPoemDlg::ForgetCheck);
  connect(ui->firstGenerationSpin, &QSpinBox::valueChanged, this, &CGenerationPoemDlg::ForgetCheck);
  connect(ui->surnameEdit, &QLineEdit::textChanged, this, &CGenerationPoemDlg::ForgetCheck);
}

CGenerationPoemDlg::~CGenerationPoemDlg() = default;

bool CGenerationPoemDlg::OnInitDialog() {
  if (m_surname.isEmpty()) m_surname = QString::fromStdU16String(ClanSurname(m_book));
  return CDialog::OnInitDialog();
}

void CGenerationPoemDlg::DoDataExchange(DataExchange& dx) {
  // The poem is read by ReadPoem, which knows its own rules and messages.
  if (!dx.saveAndValidate()) {
    ui->poemEdit->setText(OneLine(m_poemText));
    ui->firstGenerationSpin->setValue(m_firstGeneration);
  }
  dx.Text(ui->surnameEdit, m_surname);
}

void CGenerationPoemDlg::OnOK() {
  GenerationPoem poem;
  QString surname;
  if (!ReadPoem(poem) || !ReadSurname(surname)) return;
  // A poem written over lines is shown on one; left as shown, it stays as
  // it was written.
  const QString typed = ui->poemEdit->text().trimmed();
  if (typed != OneLine(m_poemText).trimmed()) m_poemText = typed;
  m_firstGeneration = ui->firstGenerationSpin->value();
  m_surname = surname;
  EndDialog(IDOK);
}

QString CGenerationPoemDlg::OneLine(const QString& text) {
  QString line = text;
  return line.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
      .replace(QLatin1Char('\n'), QLatin1Char(' '))
      .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

bool CGenerationPoemDlg::ReadPoem(GenerationPoem& poem) {
  const QString text = ui->poemEdit->text();
  poem = GenerationPoem{ui->firstGenerationSpin->value(), {}};
  if (text.trimmed().isEmpty()) return true;
  // What a poem may hold is one rule for the poem typed here and the one
  // read beside a .ftf; it names the first character it refuses.
  const PoemFileResult read = CheckPoemText(View(text), &poem.characters);
  if (read.status == PoemFileStatus::kOk) return true;
  ShowNotice(read.problem == PoemProblem::kNotIdeograph
                 ? tr("字辈里的“%1”不是汉字。字辈只能由汉字组成，字与字之间可以用标点或空格隔开。")
                       .arg(QString::fromStdString(read.text))
                 : tr("字辈里没有汉字。"));
  ui->poemEdit->setFocus();
  return false;
}

bool CGenerationPoemDlg::ReadSurname(QString& surname) {
  surname = ui->surnameEdit->text().trimmed();
  if (!surname.isEmpty()) return true;
  ShowNotice(tr("请输入姓氏。"));
  ui->surnameEdit->setFocus();
  return false;
}

void CGenerationPoemDlg::OnCheck() {
  GenerationPoem poem;
  QString surname;
  if (!ReadPoem(poem)) return;
  if (poem.characters.empty()) {
    ShowNotice(tr("请先输入字辈。"));
    ui->poemEdit->setFocus();
    return;
  }
  if (!ReadSurname(surname)) return;
  std::vector<MemberNode*> lacking = MembersWithoutGenerationCharacter(m_book, poem, View(surname));
  const std::size_t count = lacking.size();
  m_lacking->Reset(std::move(lacking), std::move(poem));
  if (count == 0) {
    ui->lackingCountLabel->setText(tr("每个成员的名字里都有本世的字辈用字。"));
  } else {
    ui->lackingCountLabel->setText(tr("共 %1 人的名字里没有本世的字辈用字。").arg(count));
    ui->lackingList->setCurrentIndex(m_lacking->index(0));
  }
}

void CGenerationPoemDlg::ForgetCheck() {
  if (m_lacking->rowCount() == 0 && ui->lackingCountLabel->text().isEmpty()) return;
  m_lacking->Reset({}, {});
  ui->lackingCountLabel->clear();
}

void CGenerationPoemDlg::Activate(const QModelIndex& row) {
  if (MemberNode* member = m_lacking->Member(row)) emit memberActivated(member);
}

bool CGenerationPoemDlg::eventFilter(QObject* watched, QEvent* event) {
  // Enter on a row picks its member; without this the list would pass Enter on
  // to the dialog, which takes it for OK.
  if (watched == ui->lackingList && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Activate(ui->lackingList->currentIndex());
      return true;
    }
  }
  return CDialog::eventFilter(watched, event);
}
