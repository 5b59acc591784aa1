// The list view's model: rows in the order they were appended, each a member
// (eight cells: name, birth date, married, address, alive, death date, number
// of children, place among the siblings) or a note that a query writes. Cell
// texts are made when the view asks for them, so appending a row costs the
// same for two members as for two million. Rows of members that leave the
// genealogy leave the list; the counts of children and places among siblings
// follow every change.
#pragma once

#include "document/GenealogyDocument.h"
#include "model/COperationClanbook.h"
#include "views/FamilyIndex.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include <unordered_map>
#include <vector>

class MemberListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int kColumnCount = 8;
  // Behind the text of every row.
  static inline const QColor kTextBackground{255, 255, 128};

  // `families` is the tree view's, so a family is walked once for both views.
  explicit MemberListModel(GenealogyDocument& document, FamilyIndex& families,
                           QObject* parent = nullptr);
  ~MemberListModel() override;

  void Clear();
  // Appends a row for every member given (none is passed over), in one
  // insertion: the view takes two million rows appended at once far faster
  // than two million single appends.
  void AppendMembers(const std::vector<const MemberNode*>& members);
  void AppendNote(const QString& text);

  // The member of a row; none for a note row or a row that does not exist.
  const MemberNode* MemberAt(int row) const;
  // The text of one cell, exactly as the view shows it.
  QString CellText(int row, int column) const;
  // The dates of a row in both calendars, whatever the list shows, and the
  // deceased's 享年 under the death date; empty for the other cells.
  QString CellToolTip(int row, int column) const;
  // The user chose another way of showing dates: the date cells are redrawn.
  void DatesShownChanged();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  void RemoveRowsBelow(const MemberNode* member);
  void CountsChanged();
  void MemberChanged(const MemberNode* member);

  FamilyIndex& m_families;
  std::vector<const MemberNode*> m_rows;  // none: a note row, its text in m_notes
  std::unordered_map<int, QString> m_notes;
};
