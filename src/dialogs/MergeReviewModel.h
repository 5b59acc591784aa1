// The review of a merge plan before anything changes: the plan's rows split
// into four lists (added, differing, only in the book, in conflict), each a
// table over a vector of plan rows, so a branch of 200,000 members opens
// with one pass over the rows and every cell is read when a view asks for it.
//
// The review edits the plan itself (choices and renames, each followed by
// Recheck). A caller that cancels the review throws the plan away and plans
// afresh when the user asks again: a rename cannot be taken back exactly (a
// renamed row claims its name after the rows not renamed).
#pragma once

#include "merge/BranchMerge.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

// The plan under review and the book it was made for; every change to the
// plan made by the review goes through here, so that all four lists follow.
class MergeReview : public QObject {
  Q_OBJECT
public:
  MergeReview(MergePlan& plan, const COperationClanbook& book, QObject* parent = nullptr);

  const MergePlan& Plan() const { return m_plan; }
  const COperationClanbook& Book() const { return m_book; }

  // Each returns false, changing nothing, when the row is of another kind.
  bool SetChoice(std::uint32_t row, MergeSide side);
  bool Rename(std::uint32_t row, const QString& name);
  void SetAllChoices(MergeSide side);

  // Rows that apply, and rows in conflict, as the plan now stands.
  std::size_t Applying() const { return m_applying; }
  std::size_t Conflicts() const { return m_conflicts; }

  // Why a row cannot be merged as it stands; empty when it can.
  QString Reason(std::uint32_t row) const;
  // What the merge does with the row as it now stands.
  QString Outcome(std::uint32_t row) const;

signals:
  // The plan rows whose cells may show something else (ascending); `all`:
  // every row of every list may have changed.
  void changed(const std::vector<std::uint32_t>& rows, bool all);
  void nameChanged(std::uint32_t row);

private:
  void Recheck(std::vector<std::uint32_t> touched, bool all);
  void Count();

  MergePlan& m_plan;
  const COperationClanbook& m_book;
  std::size_t m_applying = 0;
  std::size_t m_conflicts = 0;
};

class MergeReviewModel : public QAbstractTableModel {
  Q_OBJECT
public:
  enum class Section { Added, Changed, BookOnly, Conflicts };
  // The columns of each section, from 0.
  enum AddedColumn { kAddName, kAddFather, kAddBirth, kAddMembers, kAddOutcome, kAddColumns };
  enum ChangedColumn {
    kChangeName,
    kChangeChoice,  // checked: the branch's data
    kChangeBirthBook,
    kChangeBirthBranch,
    kChangeMarriedBook,
    kChangeMarriedBranch,
    kChangeAddressBook,
    kChangeAddressBranch,
    kChangeDeathBook,
    kChangeDeathBranch,
    kChangeRecordBook,  // the record's fields that differ, as each side has them
    kChangeRecordBranch,
    kChangeOutcome,
    kChangeColumns
  };
  enum BookOnlyColumn { kBookName, kBookFather, kBookBirth, kBookMembers, kBookColumns };
  enum ConflictColumn {
    kConflictName,
    kConflictKind,
    kConflictReason,
    kConflictOutcome,
    kConflictColumns
  };

  MergeReviewModel(MergeReview& review, Section section, QObject* parent = nullptr);

  Section GetSection() const { return m_section; }
  // The plan row behind a row of the list; kNoRow when there is none.
  std::uint32_t PlanRow(int row) const;
  // The row of the list that shows a plan row; -1 when it is not listed.
  int RowOf(std::uint32_t planRow) const;
  // Whether the name cell of the row can be edited (a member to be added).
  bool CanRename(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  bool Lists(const MergeRow& row) const;
  bool Holds(const QModelIndex& index) const;
  QString Text(const MergeRow& row, std::uint32_t planRow, int column) const;
  QString FatherName(const MergeRow& row) const;
  void OnChanged(const std::vector<std::uint32_t>& rows, bool all);
  void OnNameChanged(std::uint32_t planRow);

  MergeReview& m_review;
  const Section m_section;
  std::vector<std::uint32_t> m_rows;  // plan rows, ascending
};
