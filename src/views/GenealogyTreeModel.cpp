#include "views/GenealogyTreeModel.h"

#include <QString>

GenealogyTreeModel::GenealogyTreeModel(const COperationClanbook& genealogy, QObject* parent)
    : QAbstractItemModel(parent), m_genealogy(genealogy) {}

GenealogyTreeModel::~GenealogyTreeModel() = default;

void GenealogyTreeModel::Rebuild() {
  beginResetModel();
  m_families.Clear();
  endResetModel();
}

MemberNode* GenealogyTreeModel::MemberAt(const QModelIndex& index) {
  return index.isValid() ? static_cast<MemberNode*>(index.internalPointer()) : nullptr;
}

QModelIndex GenealogyTreeModel::IndexOf(const MemberNode* member) const {
  if (!member) return {};
  return createIndex(m_families.RowOf(member), 0, const_cast<MemberNode*>(member));
}

QModelIndex GenealogyTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) {
    MemberNode* root = m_genealogy.GetRootLink();
    return row == 0 && root ? createIndex(0, 0, root) : QModelIndex();
  }
  const auto& children = m_families.ChildrenOf(MemberAt(parent));
  if (row >= static_cast<int>(children.size())) return {};
  return createIndex(row, 0, children[row]);
}

QModelIndex GenealogyTreeModel::parent(const QModelIndex& child) const {
  const MemberNode* member = MemberAt(child);
  if (!member || !member->parent) return {};
  return IndexOf(member->parent);
}

int GenealogyTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return m_genealogy.GetRootLink() ? 1 : 0;
  if (parent.column() != 0) return 0;
  const MemberNode* member = MemberAt(parent);
  return member->firstChild ? static_cast<int>(m_families.ChildrenOf(member).size()) : 0;
}

int GenealogyTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

bool GenealogyTreeModel::hasChildren(const QModelIndex& parent) const {
  // Answered from the member itself, so that drawing an expand button never
  // builds a family's array.
  if (!parent.isValid()) return m_genealogy.GetRootLink() != nullptr;
  return parent.column() == 0 && MemberAt(parent)->firstChild != nullptr;
}

QVariant GenealogyTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return QString::fromStdU16String(MemberAt(index)->name);
  }
  return {};
}
