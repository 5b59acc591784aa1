#include "views/MemberListModel.h"

#include "document/DateWords.h"

#include <algorithm>

namespace {
QString YesNo(std::int32_t flag) {
  return flag ? MemberListModel::tr("是") : MemberListModel::tr("否");
}
}  // namespace

MemberListModel::MemberListModel(GenealogyDocument& document, FamilyIndex& families,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_families(families) {
  // The rows hold members of the genealogy being replaced.
  connect(&document, &GenealogyDocument::membersAboutToBeReleased, this, &MemberListModel::Clear);
  connect(&document, &GenealogyDocument::memberAboutToBeRemoved, this,
          &MemberListModel::RemoveRowsBelow);
  connect(&document, &GenealogyDocument::memberAdded, this, &MemberListModel::CountsChanged);
  connect(&document, &GenealogyDocument::memberRemoved, this, &MemberListModel::CountsChanged);
  connect(&document, &GenealogyDocument::rootReplaced, this, &MemberListModel::CountsChanged);
  connect(&document, &GenealogyDocument::memberChanged, this, &MemberListModel::MemberChanged);
}

void MemberListModel::RemoveRowsBelow(const MemberNode* member) {
  if (m_rows.empty()) return;
  // Whether a member is `member` or below it, answered once per member met on
  // the way up, so that a list of every member costs one pass over the tree.
  std::unordered_map<const MemberNode*, bool> below;
  auto isBelow = [&](const MemberNode* m) {
    std::vector<const MemberNode*> path;
    bool answer = false;
    for (; m; m = m->parent) {
      if (m == member) {
        answer = true;
        break;
      }
      if (const auto it = below.find(m); it != below.end()) {
        answer = it->second;
        break;
      }
      path.push_back(m);
    }
    for (const MemberNode* p : path) below.emplace(p, answer);
    return answer;
  };
  std::vector<bool> leaving(m_rows.size());
  bool any = false;
  for (std::size_t row = 0; row < m_rows.size(); ++row)
    if (m_rows[row] && isBelow(m_rows[row])) leaving[row] = any = true;
  if (!any) return;
  // Runs of leaving rows go from the last one up, so that the rows before each
  // run keep their numbers.
  for (int last = static_cast<int>(m_rows.size()) - 1; last >= 0;) {
    if (!leaving[static_cast<std::size_t>(last)]) {
      --last;
      continue;
    }
    int first = last;
    while (first > 0 && leaving[static_cast<std::size_t>(first - 1)]) --first;
    beginRemoveRows({}, first, last);
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
    std::unordered_map<int, QString> notes;
    const int count = last - first + 1;
    for (auto& [row, text] : m_notes)
      notes.emplace(row > last ? row - count : row, std::move(text));
    m_notes.swap(notes);
    endRemoveRows();
    last = first - 1;
  }
}

void MemberListModel::CountsChanged() {
  // A family grew or shrank: children counts and places among siblings of
  // rows anywhere in the list may differ; the view asks again for what it shows.
  if (m_rows.empty()) return;
  emit dataChanged(index(0, 6), index(static_cast<int>(m_rows.size()) - 1, 7), {Qt::DisplayRole});
}

void MemberListModel::MemberChanged(const MemberNode* member) {
  const auto first = std::find(m_rows.begin(), m_rows.end(), member);
  if (first == m_rows.end()) return;
  const auto last = std::find(m_rows.rbegin(), m_rows.rend(), member);
  emit dataChanged(index(static_cast<int>(first - m_rows.begin()), 0),
                   index(static_cast<int>(m_rows.rend() - last) - 1, kColumnCount - 1),
                   {Qt::DisplayRole});
}

MemberListModel::~MemberListModel() = default;

void MemberListModel::Clear() {
  if (m_rows.empty()) return;
  beginResetModel();
  m_rows = {};
  m_notes.clear();
  endResetModel();
}

void MemberListModel::AppendMembers(const std::vector<const MemberNode*>& members) {
  std::vector<const MemberNode*> rows;
  rows.reserve(members.size());
  for (const MemberNode* member : members)
    if (member) rows.push_back(member);
  if (rows.empty()) return;
  const int first = static_cast<int>(m_rows.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  m_rows.insert(m_rows.end(), rows.begin(), rows.end());
  endInsertRows();
}

void MemberListModel::AppendNote(const QString& text) {
  const int row = static_cast<int>(m_rows.size());
  beginInsertRows({}, row, row);
  m_rows.push_back(nullptr);
  m_notes.emplace(row, text);
  endInsertRows();
}

const MemberNode* MemberListModel::MemberAt(int row) const {
  return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[row] : nullptr;
}

QString MemberListModel::CellText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0 || column >= kColumnCount) {
    return {};
  }
  const MemberNode* m = m_rows[row];
  if (!m) {
    if (column != 0) return {};
    const auto it = m_notes.find(row);
    return it == m_notes.end() ? QString() : it->second;
  }
  switch (column) {
    case 0:
      return QString::fromStdU16String(m->name);
    case 1:
      return ShownDate(m->birthYear, m->birthMonth, m->birthDay);
    case 2:
      return YesNo(m->married);
    case 3:
      return QString::fromStdU16String(m->address);
    case 4:
      return YesNo(m->alive);
    case 5:
      return m->alive ? tr("无") : ShownDate(m->deathYear, m->deathMonth, m->deathDay);
    // The number of children and the place among the siblings (1 for the
    // eldest and for the root), from the family arrays rather than a walk
    // of the sibling list for every row shown.
    case 6:
      return QString::number(m->firstChild ? m_families.ChildrenOf(m).size() : 0);
    case 7:
      return QString::number(m_families.RowOf(m) + 1);
  }
  return {};
}

QString MemberListModel::CellToolTip(int row, int column) const {
  const MemberNode* m = MemberAt(row);
  if (!m) return {};
  if (column == 1) return BothDates(m->birthYear, m->birthMonth, m->birthDay);
  if (column != 5 || m->alive) return {};
  // The 享年 of clan books beside the full years, under both calendars' dates.
  const QString age = AgeAtDeathText({m->birthYear, m->birthMonth, m->birthDay},
                                     {m->deathYear, m->deathMonth, m->deathDay});
  const QString date = BothDates(m->deathYear, m->deathMonth, m->deathDay);
  return age.isEmpty() ? date : date + u'\n' + age;
}

void MemberListModel::DatesShownChanged() {
  if (m_rows.empty()) return;
  const int last = static_cast<int>(m_rows.size()) - 1;
  emit dataChanged(index(0, 1), index(last, 1), {Qt::DisplayRole});
  emit dataChanged(index(0, 5), index(last, 5), {Qt::DisplayRole});
}

int MemberListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MemberListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant MemberListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return CellText(index.row(), index.column());
    case Qt::ToolTipRole:
      return CellToolTip(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
      return kTextBackground;
  }
  return {};
}

QVariant MemberListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal)
    return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {
      QT_TR_NOOP("姓名"),   QT_TR_NOOP("出生日期"), QT_TR_NOOP("婚否"),   QT_TR_NOOP("地址"),
      QT_TR_NOOP("健在否"), QT_TR_NOOP("死亡日期"), QT_TR_NOOP("孩子数"), QT_TR_NOOP("排行")};
  if (section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return tr(kHeaders[section]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags MemberListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
