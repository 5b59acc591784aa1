#include "dialogs/CGedcomRootDlg.h"

#include "model/TextCodec.h"

#include "platform/MessageBoxes.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

// A model rather than table items: a file with a hundred thousand wives from
// outside the family offers a hundred thousand candidates.
class RootCandidateModel : public QAbstractTableModel {
public:
  enum Column { kName, kXref, kMembers, kColumns };

  RootCandidateModel(const std::vector<gedcom::GedcomRootCandidate>& candidates, QObject* parent)
      : QAbstractTableModel(parent), m_candidates(candidates) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_candidates.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kColumns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const gedcom::GedcomRootCandidate& c = m_candidates[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == kMembers)
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
      // A name or XREF of the file with a control character in it (a
      // careless or hostile file) shows the character as an escape.
      case kName:
        return QString::fromStdString(textcodec::Printable(c.name));
      case kXref:
        return QString::fromStdString(textcodec::Printable(c.xref));
      case kMembers:
        return QString::number(c.members);
      default:
        return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
      case kName:
        return CGedcomRootDlg::tr("姓名");
      case kXref:
        return CGedcomRootDlg::tr("编号");
      case kMembers:
        return CGedcomRootDlg::tr("导入人数");
      default:
        return {};
    }
  }

private:
  const std::vector<gedcom::GedcomRootCandidate>& m_candidates;
};

CGedcomRootDlg::CGedcomRootDlg(const std::vector<gedcom::GedcomRootCandidate>& candidates,
                               QWidget* parent)
    : CDialog(parent), m_candidates(candidates) {
  setWindowTitle(tr("导入GEDCOM：选择始祖"));
  setObjectName(QStringLiteral("gedcomRoot"));
  // Walked backwards so that of a name borne twice the first, larger line wins.
  for (int i = static_cast<int>(candidates.size()) - 1; i >= 0; --i)
    m_firstRowOfName[QString::fromStdString(candidates[static_cast<std::size_t>(i)].name)] = i;

  const QString listText =
      tr("文件中有 %1 人没有父母，家谱将从所选的人开始导入他的一支。").arg(candidates.size());
  auto* listLabel = new QLabel(tr("始祖候选人:"), this);
  auto* explanation = new QLabel(listText, this);
  explanation->setWordWrap(true);
  m_model = new RootCandidateModel(candidates, this);
  m_view = new QTableView(this);
  m_view->setObjectName(QStringLiteral("candidates"));
  m_view->setAccessibleName(listLabel->text());
  listLabel->setBuddy(m_view);
  m_view->setModel(m_model);
  m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_view->setSelectionMode(QAbstractItemView::SingleSelection);
  m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_view->setWordWrap(false);
  m_view->verticalHeader()->hide();
  m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
  const int em = m_view->fontMetrics().horizontalAdvance(QChar(0x56FD));
  m_view->horizontalHeader()->resizeSection(RootCandidateModel::kName, 12 * em);
  m_view->horizontalHeader()->resizeSection(RootCandidateModel::kXref, 7 * em);
  m_view->horizontalHeader()->setStretchLastSection(true);

  auto* nameLabel = new QLabel(tr("始祖姓名:"), this);
  m_name = new QLineEdit(this);
  m_name->setObjectName(QStringLiteral("rootName"));
  m_name->setAccessibleName(nameLabel->text());
  nameLabel->setBuddy(m_name);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(m_name, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addWidget(listLabel);
  layout->addWidget(m_view, 1);
  layout->addLayout(nameRow);
  layout->addLayout(OkCancelRow(tr("导入"), tr("取消")));

  connect(m_name, &QLineEdit::textEdited, this, &CGedcomRootDlg::NameEdited);
  connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CGedcomRootDlg::RowChosen);
  connect(m_view, &QTableView::doubleClicked, this, &CGedcomRootDlg::accept);
  if (!candidates.empty()) m_view->selectRow(0);
  resize(32 * em, 22 * em);
}

CGedcomRootDlg::~CGedcomRootDlg() = default;

int CGedcomRootDlg::SelectedRow() const {
  const QModelIndexList rows = m_view->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CGedcomRootDlg::RowChosen() {
  if (m_quiet) return;
  const int row = SelectedRow();
  if (row >= 0) m_name->setText(QString::fromStdString(m_candidates[std::size_t(row)].name));
}

void CGedcomRootDlg::NameEdited(const QString& name) {
  m_quiet = true;
  const auto it = m_firstRowOfName.constFind(name.trimmed());
  if (it != m_firstRowOfName.constEnd()) {
    m_view->selectRow(*it);
    m_view->scrollTo(m_model->index(*it, 0));
  } else {
    m_view->clearSelection();
  }
  m_quiet = false;
}

void CGedcomRootDlg::OnOK() {
  const QString name = m_name->text().trimmed();
  int row = SelectedRow();
  // A name borne by several candidates: the one selected, else the largest line.
  if (row < 0 || QString::fromStdString(m_candidates[std::size_t(row)].name) != name) {
    const auto it = m_firstRowOfName.constFind(name);
    row = it == m_firstRowOfName.constEnd() ? -1 : *it;
  }
  if (row < 0) {
    ShowNotice(name.isEmpty() ? tr("请选择或输入始祖的姓名!")
                              : tr("候选人中没有%1，请从列表中选择!").arg(name));
    m_name->setFocus();
    return;
  }
  m_rootXref = m_candidates[std::size_t(row)].xref;
  EndDialog(IDOK);
}
