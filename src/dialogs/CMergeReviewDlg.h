// 修谱: the review of a branch coming back into the book, before anything
// changes. Four lists (新增 / 不同 / 仅在家谱 / 冲突); the user picks whose data
// each member in both keeps and renames newcomers whose names clash.
//
// The dialog edits the plan and never the book. On 合并 (IDOK) the caller makes
// the changes from the plan (MakeMergeChanges) and carries them out as one
// undoable step; on 取消 the caller discards the plan, which the review may
// have changed (see MergeReviewModel.h).
#pragma once

#include "dialogs/MergeReviewModel.h"
#include "platform/CDialog.h"

#include <array>

class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

class CMergeReviewDlg : public CDialog {
  Q_OBJECT
public:
  // `plan` was made from `book` and `branch`; all three outlive the dialog.
  CMergeReviewDlg(MergePlan& plan, const COperationClanbook& book, const COperationClanbook& branch,
                  QWidget* parent = nullptr);
  ~CMergeReviewDlg() override;

  MergeReview& Review() { return m_review; }
  MergeReviewModel& Model(MergeReviewModel::Section section);
  QTableView& View(MergeReviewModel::Section section);

protected:
  void OnOK() override;

private:
  void Refresh();  // the summary, the tab titles and which buttons work
  void RenameCurrent();
  QTableView* CurrentView() const;

  MergeReview m_review;
  const COperationClanbook& m_branch;
  std::array<MergeReviewModel*, 4> m_models{};
  std::array<QTableView*, 4> m_views{};
  QLabel* m_summary = nullptr;
  QTabWidget* m_tabs = nullptr;
  QPushButton* m_allBranch = nullptr;
  QPushButton* m_allBook = nullptr;
  QPushButton* m_rename = nullptr;
  QPushButton* m_ok = nullptr;
  std::size_t m_added = 0;  // members the branch brings in, conflicts or not
};
