#include "dialogs/MemberRecordWindow.h"

#include "dialogs/GivenOutSons.h"
#include "dialogs/SpouseDialog.h"
#include "document/DateWords.h"
#include "document/GenealogyDocument.h"
#include "platform/CDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QBuffer>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The ten fields as the window shows them, read-only.
enum SeedField {
  kSeedName,
  kSeedFather,
  kSeedBirth,
  kSeedDeath,
  kSeedMarried,
  kSeedAddress,
  kSeedGivenOut,  // the sons he gave out to continue another's line
};

QString Text(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// "字:", "Courtesy name:": the field's name begins a label.
QString LabelOf(RecordField field) {
  QString name = GenealogyDocument::FieldName(field);
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return MemberRecordWindow::tr("%1:").arg(name);
}

QString ObjectNameOf(RecordField field) {
  return QStringLiteral("record%1").arg(static_cast<int>(field));
}

void SetCell(QTableWidget* table, int row, int column, const QString& text) {
  if (QTableWidgetItem* item = table->item(row, column)) {
    if (item->text() != text) item->setText(text);
    return;
  }
  table->setItem(row, column, new QTableWidgetItem(text));
}

}  // namespace

MemberRecordWindow::MemberRecordWindow(GenealogyDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document) {
  setObjectName(QStringLiteral("memberRecord"));
  m_heading = new QLabel(this);
  m_heading->setObjectName(QStringLiteral("recordHeading"));
  QFont headingFont = m_heading->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
  m_heading->setFont(headingFont);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("recordTabs"));
  BuildGeneralTab(m_tabs);
  BuildSpouseTab(m_tabs);
  BuildLifeTab(m_tabs);
  BuildBurialTab(m_tabs);
  BuildPhotoTab(m_tabs);
  BuildSourceTab(m_tabs);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_heading);
  layout->addWidget(m_tabs, 1);
  connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
    if (m_photosStale) RefreshPhotos();
  });

  // The document's state, whatever changed it.
  connect(&m_document, &GenealogyDocument::memberChanged, this,
          [this](MemberNode* member, bool renamed) {
            // His father's wives are the choices of his 生母.
            if (m_member && (member == m_member || member == m_member->parent)) Refresh();
            // The sons given out are named with their new fathers: found
            // again only for a rename, not at every change of his record.
            if (renamed) RefreshGivenOut();
          });
  // Another member's record names him as 生父, or no longer does.
  connect(&m_document, &GenealogyDocument::recordChanged, this,
          [this](MemberNode* member, RecordField field) {
            if (m_member && member != m_member && field == RecordField::kBirthFather)
              RefreshGivenOut();
          });
  connect(&m_document, &GenealogyDocument::memberAboutToBeRemoved, this,
          [this](MemberNode* leaving) { DropIfBelow(leaving); });
  connect(&m_document, &GenealogyDocument::rootReplaced, this, [this](MemberNode* leaving) {
    if (leaving && leaving == m_member) SetMember(nullptr);
  });
  // Another book, or the history that holds members dropped.
  connect(&m_document, &GenealogyDocument::membersAboutToBeReleased, this,
          [this] { SetMember(nullptr); });
  connect(&m_document, &GenealogyDocument::aboutToReset, this, [this] { SetMember(nullptr); });
  // A brother or sister added or removed changes the 排行 proposed; nothing
  // else of the window, which an import or a merge of many must not redraw
  // member by member.
  connect(&m_document, &GenealogyDocument::memberAdded, this, [this](MemberNode* member) {
    if (m_member && member->parent == m_member->parent) ShowProposedRank();
  });
  connect(&m_document, &GenealogyDocument::memberRemoved, this, [this] {
    if (m_member) ShowProposedRank();
  });

  const int em = fontMetrics().horizontalAdvance(QChar(0x56FD));
  resize(std::max(48 * em, kShownPhotoSide + 3 * kThumbnailSide), 30 * fontMetrics().lineSpacing());
  Refresh();
}

MemberRecordWindow::~MemberRecordWindow() = default;

QLineEdit* MemberRecordWindow::AddTextBox(QWidget* page, QFormLayout* form, RecordField field) {
  auto* label = new QLabel(LabelOf(field), page);
  auto* box = new QLineEdit(page);
  box->setObjectName(ObjectNameOf(field));
  box->setAccessibleName(label->text());
  label->setBuddy(box);
  form->addRow(label, box);
  m_lines[field] = box;
  if (field == RecordField::kBirthFather || field == RecordField::kSecondFather) {
    connect(box, &QLineEdit::editingFinished, this,
            [this, field, box] { CommitFatherName(field, box); });
  } else {
    connect(box, &QLineEdit::editingFinished, this,
            [this, field, box] { CommitText(field, box->text().trimmed()); });
  }
  return box;
}

QPlainTextEdit* MemberRecordWindow::AddParagraphs(QWidget* page, QFormLayout* form,
                                                  RecordField field) {
  auto* label = new QLabel(LabelOf(field), page);
  auto* box = new QPlainTextEdit(page);
  box->setObjectName(ObjectNameOf(field));
  box->setAccessibleName(label->text());
  box->setTabChangesFocus(true);
  label->setBuddy(box);
  form->addRow(label, box);
  // A paragraph box has no end of editing of its own: leaving it is one.
  box->installEventFilter(this);
  m_paragraphs[field] = box;
  return box;
}

QPushButton* MemberRecordWindow::AddButton(QWidget* page, const QString& text, const char* name) {
  auto* button = new QPushButton(text, page);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(text);
  button->setAutoDefault(false);
  return button;
}

void MemberRecordWindow::BuildGeneralTab(QTabWidget* tabs) {
  auto* page = new QWidget(tabs);
  auto* columns = new QHBoxLayout(page);
  auto* form = new QFormLayout;
  columns->addLayout(form, 3);

  auto* sexLabel = new QLabel(LabelOf(RecordField::kSex), page);
  m_sex = new QComboBox(page);
  m_sex->setObjectName(ObjectNameOf(RecordField::kSex));
  m_sex->setAccessibleName(sexLabel->text());
  m_sex->addItems({tr("男"), tr("女")});
  sexLabel->setBuddy(m_sex);
  form->addRow(sexLabel, m_sex);
  connect(m_sex, &QComboBox::activated, this, [this](int index) {
    if (m_member) m_document.ChangeSex(m_member, index == 1 ? Sex::kFemale : Sex::kMale);
  });

  AddTextBox(page, form, RecordField::kCourtesyName);
  AddTextBox(page, form, RecordField::kArtName);
  // The 排行 the order of birth gives stands in the empty box; the button
  // takes it.
  auto* rankLabel = new QLabel(LabelOf(RecordField::kRank), page);
  auto* rank = new QLineEdit(page);
  rank->setObjectName(ObjectNameOf(RecordField::kRank));
  rank->setAccessibleName(rankLabel->text());
  rankLabel->setBuddy(rank);
  m_lines[RecordField::kRank] = rank;
  connect(rank, &QLineEdit::editingFinished, this,
          [this, rank] { CommitText(RecordField::kRank, rank->text().trimmed()); });
  m_proposeRank = AddButton(page, tr("按出生排行"), "proposeRank");
  connect(m_proposeRank, &QPushButton::clicked, this, &MemberRecordWindow::ProposeRank);
  auto* rankRow = new QHBoxLayout;
  rankRow->addWidget(rank, 1);
  rankRow->addWidget(m_proposeRank);
  form->addRow(rankLabel, rankRow);

  AddTextBox(page, form, RecordField::kBranch);
  AddTextBox(page, form, RecordField::kOffice);
  AddTextBox(page, form, RecordField::kBirthHour)->setPlaceholderText(tr("时辰（子…亥）或 hh:mm"));
  AddTextBox(page, form, RecordField::kBirthFather)->setPlaceholderText(tr("出继者的生父姓名"));
  AddTextBox(page, form, RecordField::kSecondFather)->setPlaceholderText(tr("兼祧之父姓名"));

  auto* motherLabel = new QLabel(LabelOf(RecordField::kMother), page);
  m_mother = new QComboBox(page);
  m_mother->setObjectName(ObjectNameOf(RecordField::kMother));
  m_mother->setAccessibleName(motherLabel->text());
  motherLabel->setBuddy(m_mother);
  form->addRow(motherLabel, m_mother);
  connect(m_mother, &QComboBox::activated, this, [this](int index) {
    if (m_member) m_document.ChangeMother(m_member, index - 1);
  });

  // 适: whom a daughter married.
  m_husband = new QGroupBox(tr("适"), page);
  m_husband->setObjectName(QStringLiteral("husband"));
  m_husband->setAccessibleName(m_husband->title());
  auto* husbandForm = new QFormLayout(m_husband);
  AddTextBox(m_husband, husbandForm, RecordField::kHusbandName);
  AddTextBox(m_husband, husbandForm, RecordField::kHusbandPlace);
  form->addRow(m_husband);

  // The ten fields of the tree, edited with 修改成员.
  auto* seed = new QGroupBox(tr("谱中记载"), page);
  seed->setObjectName(QStringLiteral("seedFields"));
  seed->setAccessibleName(seed->title());
  auto* seedForm = new QFormLayout(seed);
  const std::pair<SeedField, QString> seedRows[] = {
      {kSeedName, tr("姓名:")},        {kSeedFather, tr("父亲:")},  {kSeedBirth, tr("出生日期:")},
      {kSeedDeath, tr("去世日期:")},   {kSeedMarried, tr("婚否:")}, {kSeedAddress, tr("地址:")},
      {kSeedGivenOut, tr("出继之子:")}};
  for (const auto& [key, text] : seedRows) {
    auto* label = new QLabel(text, seed);
    auto* value = new QLabel(seed);
    value->setObjectName(QStringLiteral("seed%1").arg(static_cast<int>(key)));
    value->setAccessibleName(text);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    seedForm->addRow(label, value);
    m_seed[key] = value;
  }
  columns->addWidget(seed, 2, Qt::AlignTop);
  tabs->addTab(page, tr("基本"));
}

void MemberRecordWindow::BuildSpouseTab(QTabWidget* tabs) {
  auto* page = new QWidget(tabs);
  auto* layout = new QVBoxLayout(page);
  m_spouses = new QTableWidget(0, 9, page);
  m_spouses->setObjectName(QStringLiteral("spouses"));
  m_spouses->setAccessibleName(tr("配偶"));
  m_spouses->setHorizontalHeaderLabels({tr("称"), tr("姓"), tr("名"), tr("籍贯"), tr("父亲"),
                                        tr("出生日期"), tr("去世日期"), tr("葬地"), tr("备注")});
  m_spouses->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_spouses->setSelectionMode(QAbstractItemView::SingleSelection);
  m_spouses->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_spouses->verticalHeader()->hide();
  m_spouses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_spouses->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(m_spouses, 1);
  m_addSpouse = AddButton(page, tr("增加配偶…"), "addSpouse");
  m_changeSpouse = AddButton(page, tr("修改配偶…"), "changeSpouse");
  m_removeSpouse = AddButton(page, tr("删除配偶"), "removeSpouse");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_addSpouse);
  buttons->addWidget(m_changeSpouse);
  buttons->addWidget(m_removeSpouse);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(m_addSpouse, &QPushButton::clicked, this, &MemberRecordWindow::AddSpouse);
  connect(m_changeSpouse, &QPushButton::clicked, this, &MemberRecordWindow::ChangeSpouse);
  connect(m_removeSpouse, &QPushButton::clicked, this, &MemberRecordWindow::RemoveSpouse);
  connect(m_spouses, &QTableWidget::cellDoubleClicked, this, &MemberRecordWindow::ChangeSpouse);
  connect(m_spouses, &QTableWidget::itemSelectionChanged, this,
          &MemberRecordWindow::EnableControls);
  tabs->addTab(page, tr("配偶"));
}

void MemberRecordWindow::BuildLifeTab(QTabWidget* tabs) {
  auto* page = new QWidget(tabs);
  auto* form = new QFormLayout(page);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  AddParagraphs(page, form, RecordField::kBiography)
      ->setPlaceholderText(tr("家人为他所写的生平，可分段。"));
  AddParagraphs(page, form, RecordField::kNote)->setMaximumHeight(6 * fontMetrics().lineSpacing());
  tabs->addTab(page, tr("生平"));
}

void MemberRecordWindow::BuildBurialTab(QTabWidget* tabs) {
  auto* page = new QWidget(tabs);
  auto* form = new QFormLayout(page);
  AddTextBox(page, form, RecordField::kBurialPlace);
  AddTextBox(page, form, RecordField::kBurialFacing)->setPlaceholderText(tr("如 坐北朝南"));
  tabs->addTab(page, tr("墓葬"));
}

void MemberRecordWindow::BuildSourceTab(QTabWidget* tabs) {
  auto* page = new QWidget(tabs);
  auto* layout = new QVBoxLayout(page);
  m_sources = new QTableWidget(0, 2, page);
  m_sources->setObjectName(QStringLiteral("sources"));
  m_sources->setAccessibleName(tr("来源"));
  m_sources->setHorizontalHeaderLabels({tr("题名"), tr("页码或细节")});
  m_sources->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_sources->setSelectionMode(QAbstractItemView::SingleSelection);
  m_sources->verticalHeader()->hide();
  m_sources->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  layout->addWidget(m_sources, 1);
  // A cell changed in place is a change of the sources.
  connect(m_sources, &QTableWidget::itemChanged, this, [this] {
    if (!m_refreshing) CommitSources();
  });
  connect(m_sources, &QTableWidget::itemSelectionChanged, this,
          &MemberRecordWindow::EnableControls);

  auto* form = new QFormLayout;
  auto* titleLabel = new QLabel(tr("题名:"), page);
  m_sourceTitle = new QLineEdit(page);
  m_sourceTitle->setObjectName(QStringLiteral("sourceTitle"));
  m_sourceTitle->setAccessibleName(titleLabel->text());
  titleLabel->setBuddy(m_sourceTitle);
  form->addRow(titleLabel, m_sourceTitle);
  auto* detailLabel = new QLabel(tr("页码或细节:"), page);
  m_sourceDetail = new QLineEdit(page);
  m_sourceDetail->setObjectName(QStringLiteral("sourceDetail"));
  m_sourceDetail->setAccessibleName(detailLabel->text());
  detailLabel->setBuddy(m_sourceDetail);
  form->addRow(detailLabel, m_sourceDetail);
  layout->addLayout(form);
  m_addSource = AddButton(page, tr("增加来源"), "addSource");
  m_removeSource = AddButton(page, tr("删除来源"), "removeSource");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_addSource);
  buttons->addWidget(m_removeSource);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(m_addSource, &QPushButton::clicked, this, &MemberRecordWindow::AddSource);
  connect(m_removeSource, &QPushButton::clicked, this, &MemberRecordWindow::RemoveSource);
  tabs->addTab(page, tr("来源"));
}

void MemberRecordWindow::SetMember(MemberNode* member) {
  if (member == m_member) return;
  m_member = member;
  Refresh();
  // One walk of the book, when he is shown, rather than at every change of
  // his record.
  RefreshGivenOut();
}

void MemberRecordWindow::DropIfBelow(const MemberNode* top) {
  for (const MemberNode* above = m_member; above; above = above->parent) {
    if (above == top) {
      SetMember(nullptr);
      return;
    }
  }
}

void MemberRecordWindow::Refresh() {
  m_refreshing = true;
  const MemberRecord empty;
  const MemberRecord& record = m_member ? m_member->extra.Record() : empty;
  setWindowTitle(m_member ? tr("成员资料 - %1").arg(Text(m_member->name)) : tr("成员资料"));
  m_heading->setText(m_member ? Text(m_member->name) : tr("未选择成员"));

  for (const auto& [field, box] : m_lines) {
    const QString text = Text(record.Text(field));
    if (box->text() != text) box->setText(text);
  }
  for (const auto& [field, box] : m_paragraphs) {
    const QString text = Text(record.Text(field));
    if (box->toPlainText() != text) box->setPlainText(text);
  }
  m_sex->setCurrentIndex(record.sex == Sex::kFemale ? 1 : 0);
  ShowProposedRank();

  m_mother->clear();
  m_mother->addItem(tr("未填"));
  if (m_member && m_member->parent) {
    const std::vector<Spouse>& wives = m_member->parent->extra.Record().spouses;
    for (const Spouse& wife : wives)
      m_mother->addItem(spouse_text::Title(wife.title) + QLatin1Char(' ') +
                        spouse_text::Name(wife));
  }
  m_mother->setCurrentIndex(record.mother + 1 < m_mother->count() ? record.mother + 1 : 0);

  if (m_member) {
    m_seed[kSeedName]->setText(Text(m_member->name));
    m_seed[kSeedFather]->setText(m_member->parent ? Text(m_member->parent->name) : tr("（始祖）"));
    m_seed[kSeedBirth]->setText(
        BothDates(m_member->birthYear, m_member->birthMonth, m_member->birthDay));
    m_seed[kSeedDeath]->setText(
        m_member->alive ? tr("健在")
                        : BothDates(m_member->deathYear, m_member->deathMonth, m_member->deathDay));
    m_seed[kSeedMarried]->setText(m_member->married ? tr("已婚") : tr("未婚"));
    m_seed[kSeedAddress]->setText(Text(m_member->address));
  } else {
    for (const auto& [key, label] : m_seed) label->clear();
  }
  RefreshSpouses();
  RefreshSources();
  m_refreshing = false;
  m_photosStale = true;
  RefreshPhotos();
  EnableControls();
}

void MemberRecordWindow::RefreshGivenOut() {
  if (!m_member) return;
  QStringList sons;
  for (const MemberNode* son : GivenOutSons(m_document.Genealogy(), *m_member))
    sons << tr("%1（出继%2）").arg(Text(son->name), Text(son->parent->name));
  m_seed[kSeedGivenOut]->setText(sons.isEmpty() ? tr("无") : sons.join(tr("、")));
}

void MemberRecordWindow::ShowProposedRank() {
  const QString proposed = m_member ? GenealogyDocument::ProposedRank(m_member) : QString();
  m_lines[RecordField::kRank]->setPlaceholderText(proposed);
  m_proposeRank->setEnabled(!proposed.isEmpty());
}

void MemberRecordWindow::RefreshSpouses() {
  const int selected = m_spouses->currentRow();
  const std::vector<Spouse> none;
  const std::vector<Spouse>& wives = m_member ? m_member->extra.Record().spouses : none;
  m_spouses->setRowCount(static_cast<int>(wives.size()));
  for (int row = 0; row < static_cast<int>(wives.size()); ++row) {
    const Spouse& wife = wives[static_cast<std::size_t>(row)];
    const QString cells[] = {
        spouse_text::Title(wife.title),
        spouse_text::Clan(wife),
        Text(wife.givenName),
        Text(wife.origin),
        Text(wife.father),
        spouse_text::Date(wife.birthYear, wife.birthMonth, wife.birthDay),
        wife.alive ? tr("健在") : spouse_text::Date(wife.deathYear, wife.deathMonth, wife.deathDay),
        Text(wife.burial),
        Text(wife.note)};
    for (int column = 0; column < 9; ++column) SetCell(m_spouses, row, column, cells[column]);
  }
  if (selected >= 0 && selected < m_spouses->rowCount()) m_spouses->selectRow(selected);
}

void MemberRecordWindow::RefreshSources() {
  // Filling the cells is no edit of them.
  const QSignalBlocker quiet(m_sources);
  const std::vector<Source> none;
  const std::vector<Source>& sources = m_member ? m_member->extra.Record().sources : none;
  m_sources->setRowCount(static_cast<int>(sources.size()));
  for (int row = 0; row < static_cast<int>(sources.size()); ++row) {
    const Source& source = sources[static_cast<std::size_t>(row)];
    // In place: the cell being edited may be the one that told of the change.
    SetCell(m_sources, row, 0, Text(source.title));
    SetCell(m_sources, row, 1, Text(source.detail));
  }
}

void MemberRecordWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshPhotos();
}

void MemberRecordWindow::EnableControls() {
  const bool any = m_member != nullptr;
  for (int i = 0; i < m_tabs->count(); ++i) m_tabs->widget(i)->setEnabled(any);
  m_proposeRank->setEnabled(any && !m_lines[RecordField::kRank]->placeholderText().isEmpty());
  m_mother->setEnabled(any && m_mother->count() > 1);
  // 适 is a daughter's; a son's is shown only when something stands there.
  const MemberRecord empty;
  const MemberRecord& record = any ? m_member->extra.Record() : empty;
  m_husband->setEnabled(record.sex == Sex::kFemale || !record.husbandName.empty() ||
                        !record.husbandPlace.empty());
  m_changeSpouse->setEnabled(m_spouses->currentRow() >= 0 &&
                             !m_spouses->selectionModel()->selectedRows().isEmpty());
  m_removeSpouse->setEnabled(m_changeSpouse->isEnabled());
  m_removePhoto->setEnabled(m_photos->currentRow() >= 0);
  m_caption->setEnabled(m_photos->currentRow() >= 0);
  m_removeSource->setEnabled(!m_sources->selectionModel()->selectedRows().isEmpty());
}

bool MemberRecordWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    for (const auto& [field, box] : m_paragraphs)
      if (box == watched) CommitText(field, box->toPlainText());
  }
  return QWidget::eventFilter(watched, event);
}

void MemberRecordWindow::CommitText(RecordField field, const QString& text) {
  if (m_member && !m_refreshing) m_document.ChangeRecordText(m_member, field, text);
}

void MemberRecordWindow::CommitFatherName(RecordField field, QLineEdit* box) {
  if (!m_member || m_refreshing) return;
  const QString name = box->text().trimmed();
  if (name == Text(m_member->extra.Record().Text(field))) return;
  if (!name.isEmpty()) {
    const COperationClanbook& book = m_document.Genealogy();
    MemberNode* found = book.FindByName(name.toStdU16String());
    QString problem;
    if (!found)
      problem = tr("本家谱中找不到%1!").arg(name);
    else if (found == m_member || found == m_member->parent)
      problem = tr("%1不能是%2的%3!")
                    .arg(name, Text(m_member->name), GenealogyDocument::FieldName(field));
    if (!problem.isEmpty()) {
      // Refused: the box shows the record again.
      box->setText(Text(m_member->extra.Record().Text(field)));
      ShowNotice(problem);
      return;
    }
  }
  m_document.ChangeRecordText(m_member, field, name);
}

void MemberRecordWindow::ProposeRank() {
  if (!m_member) return;
  const QString proposed = GenealogyDocument::ProposedRank(m_member);
  m_lines[RecordField::kRank]->setText(proposed);
  CommitText(RecordField::kRank, proposed);
}

void MemberRecordWindow::AddSpouse() {
  if (!m_member) return;
  SpouseDialog dialog({}, this);
  if (dialog.DoModal() != IDOK || !m_member) return;
  m_document.AddSpouse(m_member, dialog.Entered());
  m_spouses->selectRow(m_spouses->rowCount() - 1);
}

void MemberRecordWindow::ChangeSpouse() {
  const int row = m_spouses->currentRow();
  if (!m_member || row < 0 || row >= static_cast<int>(m_member->extra.Record().spouses.size()))
    return;
  SpouseDialog dialog(m_member->extra.Record().spouses[static_cast<std::size_t>(row)], this);
  if (dialog.DoModal() != IDOK || !m_member) return;
  m_document.ChangeSpouse(m_member, row, dialog.Entered());
}

void MemberRecordWindow::RemoveSpouse() {
  const int row = m_spouses->currentRow();
  if (m_member && row >= 0) m_document.RemoveSpouse(m_member, row);
}

void MemberRecordWindow::AddSource() {
  if (!m_member) return;
  const QString title = m_sourceTitle->text().trimmed();
  if (title.isEmpty()) {
    ShowNotice(tr("请输入来源的题名!"));
    m_sourceTitle->setFocus();
    return;
  }
  std::vector<Source> sources = m_member->extra.Record().sources;
  sources.push_back({title.toStdU16String(), m_sourceDetail->text().trimmed().toStdU16String()});
  if (m_document.ChangeSources(m_member, sources)) {
    m_sourceTitle->clear();
    m_sourceDetail->clear();
  }
}

void MemberRecordWindow::RemoveSource() {
  const QModelIndexList rows = m_sources->selectionModel()->selectedRows();
  if (!m_member || rows.isEmpty()) return;
  std::vector<Source> sources = m_member->extra.Record().sources;
  const int row = rows.first().row();
  if (row >= static_cast<int>(sources.size())) return;
  sources.erase(sources.begin() + row);
  m_document.ChangeSources(m_member, sources);
}

void MemberRecordWindow::CommitSources() {
  if (!m_member) return;
  std::vector<Source> sources;
  for (int row = 0; row < m_sources->rowCount(); ++row) {
    const auto cell = [this, row](int column) {
      const QTableWidgetItem* item = m_sources->item(row, column);
      return item ? item->text().trimmed().toStdU16String() : std::u16string();
    };
    sources.push_back({cell(0), cell(1)});
  }
  if (!m_document.ChangeSources(m_member, sources)) RefreshSources();
}
