// Asks for the names of the two members whose relation is wanted.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class RelationsDlg;
}

class CRelationsDlg : public CDialog {
  Q_OBJECT
public:
  explicit CRelationsDlg(QWidget* parent = nullptr);
  ~CRelationsDlg() override;

  QString m_firstName;
  QString m_secondName;

protected:
  void DoDataExchange(DataExchange& dx) override;

private:
  std::unique_ptr<Ui::RelationsDlg> ui;
};
