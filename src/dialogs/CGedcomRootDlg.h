// Before a GEDCOM import: whose line comes in. A GEDCOM file may hold many
// people without parents (every wife from outside the family is one); the
// genealogy starts from one of them. The dialog lists them with the size of
// the line each would bring in, largest first, and takes a click or a typed name.
#pragma once

#include "formats/gedcom/Gedcom.h"
#include "platform/CDialog.h"

#include <QHash>
#include <QString>

#include <string>
#include <vector>

class QLineEdit;
class QTableView;
class RootCandidateModel;

class CGedcomRootDlg : public CDialog {
  Q_OBJECT
public:
  // `candidates` as ListRootCandidates gives them; they outlive the dialog.
  explicit CGedcomRootDlg(const std::vector<gedcom::GedcomRootCandidate>& candidates,
                          QWidget* parent = nullptr);
  ~CGedcomRootDlg() override;

  // After OK: the XREF of the chosen root.
  std::string m_rootXref;

  QTableView* CandidateView() const { return m_view; }
  QLineEdit* NameEdit() const { return m_name; }

protected:
  void OnOK() override;

private:
  void NameEdited(const QString& name);
  void RowChosen();
  int SelectedRow() const;

  const std::vector<gedcom::GedcomRootCandidate>& m_candidates;
  QHash<QString, int> m_firstRowOfName;  // a name borne twice: the larger line
  RootCandidateModel* m_model = nullptr;
  QTableView* m_view = nullptr;
  QLineEdit* m_name = nullptr;
  bool m_quiet = false;  // the name box follows the table, not the other way round
};
