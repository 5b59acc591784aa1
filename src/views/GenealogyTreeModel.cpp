#include "views/GenealogyTreeModel.h"

#include <QString>

#include <cassert>

GenealogyTreeModel::GenealogyTreeModel(GenealogyDocument& document, QObject* parent)
    : QAbstractItemModel(parent), m_genealogy(document.Genealogy()) {
  connect(&document, &GenealogyDocument::aboutToReset, this, [this] { beginResetModel(); });
  connect(&document, &GenealogyDocument::reset, this, [this] {
    m_families.Clear();
    endResetModel();
  });
  connect(&document, &GenealogyDocument::memberAboutToBeAdded, this,
          &GenealogyTreeModel::OnAboutToBeAdded);
  connect(&document, &GenealogyDocument::memberAdded, this, &GenealogyTreeModel::OnAdded);
  connect(&document, &GenealogyDocument::memberAboutToBeRemoved, this,
          &GenealogyTreeModel::OnAboutToBeRemoved);
  connect(&document, &GenealogyDocument::memberRemoved, this, &GenealogyTreeModel::OnRemoved);
  connect(&document, &GenealogyDocument::rootAboutToBeReplaced, this,
          [this] { emit layoutAboutToBeChanged(); });
  connect(&document, &GenealogyDocument::rootReplaced, this, &GenealogyTreeModel::OnRootReplaced);
  connect(&document, &GenealogyDocument::memberChanged, this, &GenealogyTreeModel::OnChanged);
}

GenealogyTreeModel::~GenealogyTreeModel() = default;

void GenealogyTreeModel::OnAboutToBeAdded(const MemberNode* father, int row) {
  assert(father || !m_genealogy.Root());
  assert(!father || row <= static_cast<int>(m_families.ChildrenOf(father).size()));
  m_pendingFather = father;
  m_pendingRow = row;
  beginInsertRows(IndexOf(father), row, row);
}

void GenealogyTreeModel::OnAdded(MemberNode* member) {
  assert(member->parent == m_pendingFather);
  if (m_pendingFather) m_families.Inserted(m_pendingFather, m_pendingRow, member);
  endInsertRows();
}

void GenealogyTreeModel::OnAboutToBeRemoved(MemberNode* member) {
  m_pendingFather = member->parent;
  m_pendingRow = m_families.RowOf(member);
  beginRemoveRows(IndexOf(member->parent), m_pendingRow, m_pendingRow);
}

void GenealogyTreeModel::OnRemoved(MemberNode* member) {
  assert(!member->parent);
  m_families.Removed(m_pendingFather, m_pendingRow, member);
  endRemoveRows();
}

void GenealogyTreeModel::OnRootReplaced(MemberNode* leaving) {
  // The old root keeps row 0 and its own pointer under a new root, so every
  // index the view holds stays right; only one that points at a root that has
  // left must go.
  if (leaving) {
    m_families.Forget(leaving);
    const QModelIndexList held = persistentIndexList();
    for (const QModelIndex& index : held)
      if (MemberAt(index) == leaving) changePersistentIndex(index, {});
  }
  emit layoutChanged();
}

void GenealogyTreeModel::OnChanged(MemberNode* member) {
  const QModelIndex index = IndexOf(member);
  emit dataChanged(index, index, {Qt::DisplayRole});
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
    MemberNode* root = m_genealogy.Root();
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
  if (!parent.isValid()) return m_genealogy.Root() ? 1 : 0;
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
  if (!parent.isValid()) return m_genealogy.Root() != nullptr;
  return parent.column() == 0 && MemberAt(parent)->firstChild != nullptr;
}

QVariant GenealogyTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return QString::fromStdU16String(MemberAt(index)->name);
  }
  return {};
}
