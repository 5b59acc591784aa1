#include "views/MemberListModel.h"

namespace {
QString YesNo(std::int32_t flag) {
  return flag ? QStringLiteral("是") : QStringLiteral("否");
}
}  // namespace

MemberListModel::MemberListModel(FamilyIndex& families, QObject* parent)
    : QAbstractTableModel(parent), m_families(families) {}

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

QString MemberListModel::FormatDate(int year, int month, int day) {
  return QStringLiteral("%1--%2--%3").arg(year).arg(month).arg(day);
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
      return FormatDate(m->birthYear, m->birthMonth, m->birthDay);
    case 2:
      return YesNo(m->married);
    case 3:
      return QString::fromStdU16String(m->address);
    case 4:
      return YesNo(m->alive);
    case 5:
      return m->alive ? QStringLiteral("无") : FormatDate(m->deathYear, m->deathMonth, m->deathDay);
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
  static const char16_t* const kHeaders[kColumnCount] = {
      u"姓名", u"出生日期", u"婚否", u"地址", u"健在否", u"死亡日期", u"孩子数", u"排行"};
  if (section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf16(kHeaders[section]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags MemberListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
