#include "dialogs/CMergeReviewDlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using Section = MergeReviewModel::Section;

namespace {

constexpr Section kSections[] = {Section::Added, Section::Changed, Section::BookOnly,
                                 Section::Conflicts};

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(text);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CMergeReviewDlg::CMergeReviewDlg(MergePlan& plan, const COperationClanbook& book,
                                 const COperationClanbook& branch, QWidget* parent)
    : CDialog(parent), m_review(plan, book), m_branch(branch) {
  setWindowTitle(tr("修谱：核对支谱"));
  setObjectName(QStringLiteral("mergeReview"));

  for (const MergeRow& r : plan.Rows())
    if (r.kind == MergeRowKind::Add && r.up == kNoRow) m_added += r.members;

  m_summary = new QLabel(this);
  m_summary->setObjectName(QStringLiteral("summary"));
  m_summary->setWordWrap(true);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("sections"));
  const QString names[] = {tr("新增"), tr("不同"), tr("仅在家谱"), tr("冲突")};
  for (std::size_t i = 0; i < std::size(kSections); ++i) {
    auto* model = new MergeReviewModel(m_review, kSections[i], this);
    auto* view = new QTableView(m_tabs);
    view->setObjectName(names[i]);
    view->setAccessibleName(names[i]);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::SelectedClicked);
    view->setWordWrap(false);
    // Rows of one height and columns sized from their headers: nothing
    // measures the rows, so a list of 200,000 opens at once.
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    QHeaderView* header = view->horizontalHeader();
    header->setStretchLastSection(true);
    const QFontMetrics metrics(header->font());
    const int em = metrics.horizontalAdvance(QChar(0x56FD));
    for (int c = 0; c < model->columnCount(); ++c) {
      const QString title = model->headerData(c, Qt::Horizontal).toString();
      header->resizeSection(c, std::max(metrics.horizontalAdvance(title), 5 * em) + 2 * em);
    }
    // A reason is a sentence: its column gets the room of one.
    if (kSections[i] == Section::Conflicts)
      header->resizeSection(MergeReviewModel::kConflictReason, 24 * em);
    m_tabs->addTab(view, names[i]);
    m_models[i] = model;
    m_views[i] = view;
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CMergeReviewDlg::Refresh);
  }

  m_allBranch = Button(tr("全部取支谱"), "allBranch", this);
  m_allBook = Button(tr("全部取家谱"), "allBook", this);
  m_rename = Button(tr("改名…"), "rename", this);
  m_ok = Button(tr("合并"), "idc_1", this);
  m_ok->setDefault(true);
  QPushButton* cancel = Button(tr("取消"), "idc_2", this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_allBranch);
  buttons->addWidget(m_allBook);
  buttons->addWidget(m_rename);
  buttons->addStretch();
  buttons->addWidget(m_ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_summary);
  layout->addWidget(m_tabs, 1);
  layout->addLayout(buttons);

  connect(m_allBranch, &QPushButton::clicked, this,
          [this] { m_review.SetAllChoices(MergeSide::Branch); });
  connect(m_allBook, &QPushButton::clicked, this,
          [this] { m_review.SetAllChoices(MergeSide::Book); });
  connect(m_rename, &QPushButton::clicked, this, &CMergeReviewDlg::RenameCurrent);
  connect(m_ok, &QPushButton::clicked, this, &CMergeReviewDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CMergeReviewDlg::reject);
  connect(m_tabs, &QTabWidget::currentChanged, this, &CMergeReviewDlg::Refresh);
  connect(&m_review, &MergeReview::changed, this, &CMergeReviewDlg::Refresh);
  // The conflicts first when there are any: nothing else needs the user.
  if (m_review.Conflicts() > 0) m_tabs->setCurrentIndex(3);
  Refresh();
  resize(980, 560);
}

CMergeReviewDlg::~CMergeReviewDlg() = default;

MergeReviewModel& CMergeReviewDlg::Model(Section section) {
  return *m_models[static_cast<std::size_t>(section)];
}

QTableView& CMergeReviewDlg::View(Section section) {
  return *m_views[static_cast<std::size_t>(section)];
}

QTableView* CMergeReviewDlg::CurrentView() const {
  return qobject_cast<QTableView*>(m_tabs->currentWidget());
}

void CMergeReviewDlg::Refresh() {
  const MergePlan& plan = m_review.Plan();
  if (!plan.Ok()) {
    const MemberNode* root = m_branch.Root();
    m_summary->setText(
        root ? tr("家谱中没有支谱的始祖%1，无法合并。").arg(QString::fromStdU16String(root->name))
             : tr("支谱中没有成员，无法合并。"));
  } else if (plan.NothingToDo()) {
    m_summary->setText(tr("支谱与家谱没有差别，无需合并。"));
  } else {
    m_summary->setText(
        tr("支谱（始祖%1）并回家谱：新增 %2 人，%3 人的数据不同，%4 处冲突。冲突的成员不并入；"
           "新增成员同名时可改名后并入。")
            .arg(QString::fromStdU16String(m_branch.Root()->name))
            .arg(m_added)
            .arg(Model(Section::Changed).rowCount())
            .arg(m_review.Conflicts()));
  }
  const QString titles[] = {tr("新增（%1）").arg(Model(Section::Added).rowCount()),
                            tr("不同（%1）").arg(Model(Section::Changed).rowCount()),
                            tr("仅在家谱（%1）").arg(Model(Section::BookOnly).rowCount()),
                            tr("冲突（%1）").arg(m_review.Conflicts())};
  for (int i = 0; i < m_tabs->count(); ++i) m_tabs->setTabText(i, titles[i]);

  const bool changes = Model(Section::Changed).rowCount() > 0;
  m_allBranch->setEnabled(changes);
  m_allBook->setEnabled(changes);
  QTableView* view = CurrentView();
  const auto* model = view ? static_cast<const MergeReviewModel*>(view->model()) : nullptr;
  m_rename->setEnabled(model && model->CanRename(view->currentIndex().row()));
  m_ok->setEnabled(m_review.Applying() > 0);
}

void CMergeReviewDlg::RenameCurrent() {
  QTableView* view = CurrentView();
  if (!view) return;
  const auto* model = static_cast<const MergeReviewModel*>(view->model());
  const int row = view->currentIndex().row();
  if (!model->CanRename(row)) return;
  const QModelIndex name = model->index(row, MergeReviewModel::kAddName);
  view->setCurrentIndex(name);
  view->setFocus();
  view->edit(name);
}

void CMergeReviewDlg::OnOK() {
  if (m_review.Applying() > 0) EndDialog(IDOK);
}
