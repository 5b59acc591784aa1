// Asks for the name of a genealogy file to open or to save, typed or chosen
// with the platform's file dialog.
#pragma once

#include "platform/CDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class FileOpenAndSaveDlg;
}

// The filter of the browse button's file dialog: genealogy files, then every file.
// Made when asked, so that it speaks the language installed at start.
QString GenealogyFileFilter();

class CFileOpenAndSaveDlg : public CDialog {
  Q_OBJECT
public:
  // isOpen true: a file to open; false: a file to save.
  explicit CFileOpenAndSaveDlg(bool isOpen, QWidget* parent = nullptr);
  ~CFileOpenAndSaveDlg() override;

  QString m_fileName;  // no length limit: paths are as long as the system allows
  bool m_isOpen;

  void OnBrowse();

protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;

private:
  std::unique_ptr<Ui::FileOpenAndSaveDlg> ui;
};
