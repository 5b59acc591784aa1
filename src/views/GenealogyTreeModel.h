// The tree view's model: a view onto the genealogy itself, one item per member
// under its father's item, children in the genealogy's sibling order. An index
// carries the member it stands for, so the member behind an item never has to
// be looked up by its label. It follows the document's announcements row by
// row, so the view keeps its expanded families through edits, undo and redo;
// only a new or opened genealogy resets it.
#pragma once

#include "document/GenealogyDocument.h"
#include "model/COperationClanbook.h"
#include "views/FamilyIndex.h"

#include <QAbstractItemModel>

class GenealogyTreeModel : public QAbstractItemModel {
  Q_OBJECT
public:
  explicit GenealogyTreeModel(GenealogyDocument& document, QObject* parent = nullptr);
  ~GenealogyTreeModel() override;

  static MemberNode* MemberAt(const QModelIndex& index);
  // The families shown, dropped at every reset; the list view counts
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
  void OnAboutToBeAdded(const MemberNode* father, int row);
  void OnAdded(MemberNode* member);
  void OnAboutToBeRemoved(MemberNode* member);
  void OnRemoved(MemberNode* member);
  void OnRootReplaced(MemberNode* leaving);
  void OnChanged(MemberNode* member);

  const COperationClanbook& m_genealogy;
  // The change announced and not yet done: the family and row it concerns.
  const MemberNode* m_pendingFather = nullptr;
  int m_pendingRow = 0;
  mutable FamilyIndex m_families;
};
