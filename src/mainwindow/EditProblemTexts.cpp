#include "mainwindow/EditProblemTexts.h"

#include "mainwindow/CClanbookDlg.h"

QString EditProblemText(EditProblem problem, EditKind kind) {
  const bool add = kind == EditKind::Add;
  switch (problem) {
    case EditProblem::kNone:
      return {};
    case EditProblem::kNameEmpty:
      return CClanbookDlg::tr("姓名不能为空!");
    case EditProblem::kBlankInText:
      return CClanbookDlg::tr("姓名和地址中不能含有空白字符!");
    case EditProblem::kNameReserved:
      return CClanbookDlg::tr("姓名不能为end或-1!");
    case EditProblem::kAddressReserved:
      return CClanbookDlg::tr("地址不能为end!");
    // The entry dialogs refuse these before the window sees them; a caller
    // without a dialog still gets the words a save would use.
    case EditProblem::kNameTooLong:
      return CClanbookDlg::tr("姓名超过127个字符!");
    case EditProblem::kAddressTooLong:
      return CClanbookDlg::tr("地址超过127个字符!");
    case EditProblem::kNameNotWellFormed:
      return CClanbookDlg::tr("姓名中有不完整的字符!");
    case EditProblem::kAddressNotWellFormed:
      return CClanbookDlg::tr("地址中有不完整的字符!");
    case EditProblem::kNameTaken:
      return CClanbookDlg::tr("家谱中已有此人!");
    case EditProblem::kBirthDateNotReal:
      return add ? CClanbookDlg::tr("个人信息中的出生日期不合实际!")
                 : CClanbookDlg::tr("此人信息中出生日期不合实际!");
    case EditProblem::kBornBeforeFather:
      return add ? CClanbookDlg::tr("所加入孩子的出生日期比其父亲的出生日期早，不合实际!")
                 : CClanbookDlg::tr("此人的出生日期不能早于或等于其父亲的出生日期!");
    case EditProblem::kBornWithFather:
      return add ? CClanbookDlg::tr("所加入孩子的出生日期与其父亲的出生日期相等，不合实际!")
                 : CClanbookDlg::tr("此人的出生日期不能早于或等于其父亲的出生日期!");
    case EditProblem::kBornAfterOldRoot:
      return CClanbookDlg::tr("新根结点的出生日期不能晚于原根结点的出生日期!");
    case EditProblem::kBornNotBeforeChild:
      return CClanbookDlg::tr("此人的出生日期不能晚于或等于其孩子的出生日期!");
    case EditProblem::kDeathDateNotReal:
      return add ? CClanbookDlg::tr("个人信息中的死亡日期不合实际!")
                 : CClanbookDlg::tr("此人信息中死亡日期不合实际!");
    case EditProblem::kDeathBeforeBirth:
      return add ? CClanbookDlg::tr("此人出生日期不可能比其死亡日期早!")
                 : CClanbookDlg::tr("此人死亡日期不可能比其出生日期早!");
    case EditProblem::kNoMemory:
      return CClanbookDlg::tr("内存不足!");
  }
  return {};
}
