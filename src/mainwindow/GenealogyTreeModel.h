// The tree view's model: a view onto the genealogy itself, one item per member
// under its father's item, children in the genealogy's sibling order. An index
// carries the member it stands for, so the member behind an item never has to
// be looked up by its label.
#pragma once

#include "COperationClanbook.h"

#include <QAbstractItemModel>

#include <unordered_map>
#include <vector>

class GenealogyTreeModel : public QAbstractItemModel {
  Q_OBJECT
public:
  explicit GenealogyTreeModel(const COperationClanbook& genealogy, QObject* parent = nullptr);
  ~GenealogyTreeModel() override;

  // Shows the genealogy as it is now: every item collapsed, nothing selected.
  // Must follow every change of the tree before the event loop runs again,
  // since the model holds the members it has shown.
  void Rebuild();

  static MemberNode* MemberAt(const QModelIndex& index);
  // The index of `member`, which must belong to the genealogy; invalid for none.
  QModelIndex IndexOf(const MemberNode* member) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  // The children of `father` as an array, built when first asked: walking the
  // sibling list to find row n would make a large family quadratic to show.
  const std::vector<MemberNode*>& ChildrenOf(const MemberNode* father) const;
  int RowOf(const MemberNode* member) const;

  const COperationClanbook& m_genealogy;
  mutable std::unordered_map<const MemberNode*, std::vector<MemberNode*>> m_children;
  mutable std::unordered_map<const MemberNode*, int> m_rows;
};
