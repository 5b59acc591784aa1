// What the add dialog needs from its owner: the dialog calls AddMember from its
// own OK and stays open unless the member was added. Declared here so that the
// dialogs never include the main window.
#pragma once

class CAddInfoDlg;

class IMemberAdder {
public:
  virtual ~IMemberAdder() = default;
  // 1 when the member was added; anything else keeps the dialog open.
  virtual int AddMember(CAddInfoDlg& dialog) = 0;
};
