// 家谱 → 称谓…: two names, and what each of the two calls the other, with
// the ancestor they share. The answer follows the names as they are typed.
// Either person may be a member's wife (伯母, 婶婶, 嫂子): a box under each
// name says so, since a wife is asked about by her husband's name.
#pragma once

#include "calendar/Kinship.h"
#include "platform/CDialog.h"

#include <QString>

class COperationClanbook;
class QCheckBox;
class QLabel;
class QLineEdit;

class CKinshipDlg : public CDialog {
  Q_OBJECT
public:
  // Both boxes start with `name` (the member selected in the tree, or empty).
  // The genealogy must outlive the dialog and stay unchanged while it is open.
  CKinshipDlg(const COperationClanbook& genealogy, const QString& name, QWidget* parent = nullptr);
  ~CKinshipDlg() override;

  // What the dialog shows below the names.
  QString ResultText() const;

private:
  void Update();
  const MemberNode* Find(const QString& name) const;

  const COperationClanbook& m_genealogy;
  QLineEdit* m_first = nullptr;
  QLineEdit* m_second = nullptr;
  QCheckBox* m_firstWife = nullptr;
  QCheckBox* m_secondWife = nullptr;
  QLabel* m_result = nullptr;
};
