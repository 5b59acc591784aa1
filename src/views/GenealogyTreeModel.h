// The tree view's model: a view onto the genealogy itself, one item per member
// under its father's item, children in the genealogy's sibling order. An index
// carries the member it stands for, so the member behind an item never has to
// be looked up by its label.
#pragma once

#include "model/COperationClanbook.h"
#include "views/FamilyIndex.h"

#include <QAbstractItemModel>

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
  // The families shown, dropped at every rebuild; the list view counts
  // children and places among siblings from them as well.
  FamilyIndex& Families() const { return m_families; }
  // The index of `member`, which must belong to the genealogy; invalid for none.
  QModelIndex IndexOf(const MemberNode* member) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  const COperationClanbook& m_genealogy;
  mutable FamilyIndex m_families;
};
