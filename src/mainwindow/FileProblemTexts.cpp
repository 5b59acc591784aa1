#include "mainwindow/FileProblemTexts.h"

#include "document/AtomicSaveFile.h"
#include "document/GenealogyDocument.h"
#include "mainwindow/CClanbookDlg.h"

#include <QDir>

namespace {

QString Member(const FileStatus& status) {
  return QString::fromStdU16String(status.detail);
}

QString Line(const FileStatus& status) {
  return QString::number(status.line);
}

// Why a name or an address could not be stored.
QString TextReason(TextProblem problem, bool isName) {
  switch (problem) {
    case TextProblem::kEmpty:
      return isName ? CClanbookDlg::tr("姓名不能为空!") : CClanbookDlg::tr("地址不能为空!");
    case TextProblem::kTooLong:
      return isName ? CClanbookDlg::tr("姓名超过127个字符!")
                    : CClanbookDlg::tr("地址超过127个字符!");
    case TextProblem::kBlank:
      return isName ? CClanbookDlg::tr("姓名中不能有空格或换行!")
                    : CClanbookDlg::tr("地址中不能有空格或换行!");
    case TextProblem::kLoneSurrogate:
      return isName ? CClanbookDlg::tr("姓名中有不完整的字符!")
                    : CClanbookDlg::tr("地址中有不完整的字符!");
    case TextProblem::kNone:
      break;
  }
  return isName ? CClanbookDlg::tr("姓名无法保存!") : CClanbookDlg::tr("地址无法保存!");
}

}  // namespace

QString LoadFailureText(const FileStatus& status) {
  const QString cannotOpen = CClanbookDlg::tr("文件无法打开!");
  const QString badDate = CClanbookDlg::tr("家谱日期数据不合实际!");
  const QString badFormat = CClanbookDlg::tr("家谱文件格式有误!");
  switch (status.problem) {
    case FileProblem::kNone:
    case FileProblem::kCancelled:
      return {};
    case FileProblem::kCannotOpen:
      return cannotOpen;
    case FileProblem::kNoMemory:
      return CClanbookDlg::tr("内存不足!");
    case FileProblem::kNotText:
      return cannotOpen + u'\n' + CClanbookDlg::tr("这不是一个文本文件!");
    case FileProblem::kBadUtf8:
    case FileProblem::kBadUtf16:
    case FileProblem::kBadLegacyText:
      return cannotOpen + u'\n' +
             (status.line ? CClanbookDlg::tr("第%1行有无法识别的字符!").arg(Line(status))
                          : CClanbookDlg::tr("文件中有无法识别的字符!"));
    case FileProblem::kRootEndsFile:
      return CClanbookDlg::tr("家谱没有根结点!");
    case FileProblem::kEmpty:
      return CClanbookDlg::tr("家谱没有根结点!") + u'\n' + CClanbookDlg::tr("文件是空的!");
    case FileProblem::kNotANumber:
      return badFormat + u'\n' + CClanbookDlg::tr("第%1行：此处应为整数!").arg(Line(status));
    case FileProblem::kNumberTooLarge:
      return badFormat + u'\n' + CClanbookDlg::tr("第%1行：数字太大!").arg(Line(status));
    case FileProblem::kWordTooLong:
      return badFormat + u'\n' +
             CClanbookDlg::tr("第%1行：姓名或地址超过127个字符!").arg(Line(status));
    case FileProblem::kMissingField:
      return CClanbookDlg::tr("家谱文件不完整!") + u'\n' +
             CClanbookDlg::tr("第%1行之后缺少数据!").arg(Line(status));
    case FileProblem::kBadBirthDate:
      return badDate;
    case FileProblem::kBadDeathDate:
      return badDate + u'\n' +
             CClanbookDlg::tr("第%1行：%2的死亡日期不合实际!").arg(Line(status), Member(status));
    case FileProblem::kBornBeforeFather:
      return badDate + u'\n' +
             CClanbookDlg::tr("第%1行：%2生于父亲之前!").arg(Line(status), Member(status));
    case FileProblem::kUnknownFather:
      return CClanbookDlg::tr("家谱成员关系有误!");
    case FileProblem::kNotABook:
    case FileProblem::kDamagedBook:
    case FileProblem::kForeignBook:
    case FileProblem::kNewerBook:
    case FileProblem::kBookInUse:
    case FileProblem::kDamagedArchive:
    case FileProblem::kUnsafeArchive:
    case FileProblem::kUnsupportedArchive:
    case FileProblem::kNoGedcomInArchive:
      return cannotOpen + u'\n' + GenealogyDocument::BookProblemText(status.problem);
    default:
      break;
  }
  // A kind that belongs to writing cannot come from a read; said by its code.
  switch (status.code) {
    case kFileBadDate:
      return badDate;
    case kFileBadRelation:
      return CClanbookDlg::tr("家谱成员关系有误!");
    case kFileNoMemory:
      return CClanbookDlg::tr("内存不足!");
    case kFileNoRoot:
      return CClanbookDlg::tr("家谱没有根结点!");
    default:
      return cannotOpen;
  }
}

QString SaveFailureText(const FileStatus& status, const QString& fileName) {
  const QString cannotSave = CClanbookDlg::tr("文件无法保存!");
  const QString member = Member(status);
  switch (status.problem) {
    case FileProblem::kNothingToSave:
      return CClanbookDlg::tr("家谱是空的，没有可保存的内容!");
    case FileProblem::kTargetIsFolder:
    case FileProblem::kTargetNotRegular:
      return cannotSave + u'\n' +
             CClanbookDlg::tr("%1不是一个普通文件!").arg(QDir::toNativeSeparators(fileName));
    case FileProblem::kOwnerNotKept:
      return cannotSave + u'\n' + CClanbookDlg::tr("该文件属于其他用户，请另存为自己的文件!");
    case FileProblem::kNameNotStorable:
      return cannotSave + u'\n' +
             CClanbookDlg::tr("%1：%2").arg(member, TextReason(status.text, true));
    case FileProblem::kAddressNotStorable:
      return cannotSave + u'\n' +
             CClanbookDlg::tr("%1：%2").arg(member, TextReason(status.text, false));
    case FileProblem::kNamedEnd:
      return cannotSave + u'\n' + CClanbookDlg::tr("%1：只有根结点可以叫“end”!").arg(member);
    case FileProblem::kNamedLikeFather:
      return cannotSave + u'\n' + CClanbookDlg::tr("%1：不能与父亲同名!").arg(member);
    case FileProblem::kRootNamedNoFather:
      return cannotSave + u'\n' + CClanbookDlg::tr("%1：根结点不能叫“-1”!").arg(member);
    case FileProblem::kBookInUse:
      return cannotSave + u'\n' +
             CClanbookDlg::tr("另一个程序正在使用%1!").arg(QDir::toNativeSeparators(fileName));
    case FileProblem::kBookReadOnly:
      return cannotSave + u'\n' + GenealogyDocument::BookProblemText(status.problem);
    default:
      // Not writable, a failed write or a full disk: the message the user
      // has always seen.
      return cannotSave;
  }
}

QString ExportFailureText(const FileStatus& status, const QString& fileName) {
  switch (status.problem) {
    case FileProblem::kNothingToSave:
    case FileProblem::kNameNotStorable:
    case FileProblem::kAddressNotStorable:
    case FileProblem::kNamedEnd:
    case FileProblem::kNamedLikeFather:
    case FileProblem::kRootNamedNoFather:
      return SaveFailureText(status, fileName);
    default:
      return CClanbookDlg::tr("文件%1无法保存：%2!")
          .arg(QDir::toNativeSeparators(fileName), WriteProblemReason(status.problem));
  }
}
