#include "mainwindow/PoemKeeper.h"

#include "dialogs/CGenerationPoemDlg.h"
#include "document/GenealogyDocument.h"
#include "formats/FormatRegistry.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"
#include "search/GenerationPoem.h"

#include <QDir>
#include <QFile>

#include <utility>

namespace {

QString PoemFileName(const QString& bookFile) {
  return QDir::toNativeSeparators(QFile::decodeName(PoemFileFor(FilePathOf(bookFile)).c_str()));
}

QString PoemProblemText(const PoemFileResult& read) {
  const QString text = QString::fromStdString(read.text);
  switch (read.problem) {
    case PoemProblem::kLineCount:
      return CClanbookDlg::tr(
                 "字辈文件应有两行：第一行是第一个字所在的世，第二行是字辈诗；此文件有 %1 行。")
          .arg(read.number);
    case PoemProblem::kFirstLine:
      return CClanbookDlg::tr("第一行应是 1 到 %1 之间的整数（字辈第一个字所在的世），而不是“%2”。")
          .arg(kMaxPoemFirstGeneration)
          .arg(text);
    case PoemProblem::kNotUtf8:
      return CClanbookDlg::tr("第二行不是有效的 UTF-8 文本。");
    case PoemProblem::kNotIdeograph:
      return CClanbookDlg::tr(
                 "第二行第 %1 个字符“%2”不是汉字，字辈诗只能由汉字组成（可用标点分隔）。")
          .arg(read.number)
          .arg(text);
    case PoemProblem::kNoCharacters:
      return CClanbookDlg::tr("第二行没有字辈用字。");
    case PoemProblem::kCannotRead:
      return CClanbookDlg::tr("无法读取字辈文件 %1。").arg(QDir::toNativeSeparators(text));
    case PoemProblem::kFolder:
      return CClanbookDlg::tr("这是一个文件夹，不是文件。");
    case PoemProblem::kNotRegular:
      return CClanbookDlg::tr("这不是普通文件，而是管道、设备之类，不能当作字辈文件读取。");
    case PoemProblem::kTooLarge:
      return CClanbookDlg::tr("文件大于 %1 KB，字辈文件不会这么大。").arg(read.number / 1024);
    case PoemProblem::kNone:
      break;
  }
  return {};
}

// A .cbk keeps its 字辈 itself; any other name is saved as a .ftf.
bool KeepsItsOwnPoem(const QString& bookFile) {
  const formats::FormatEntry* entry = formats::FormatOfFile(FilePathOf(bookFile).string());
  return entry && entry->id == formats::FormatId::kCbk;
}

}  // namespace

QString PoemKeeper::UnreadText(const QString& bookFile, const PoemFileResult& read) {
  return CClanbookDlg::tr("字辈文件%1读不出来：%2")
      .arg(PoemFileName(bookFile), PoemProblemText(read));
}

PoemKeeper::PoemKeeper(GenealogyDocument& document, QWidget& window,
                       std::function<void(const QString&)> noticeOnce)
    : m_document(document), m_window(window), m_noticeOnce(std::move(noticeOnce)) {
  // Only Open and New replace the book; a reset alone keeps its 字辈.
  connect(&m_document, &GenealogyDocument::membersAboutToBeReleased, this,
          [this] { m_bookReplaced = true; });
  connect(&m_document, &GenealogyDocument::reset, this, [this] {
    if (m_bookReplaced) TakePoemOfBook();
    m_bookReplaced = false;
  });
  connect(&m_document, &GenealogyDocument::saved, this, [this](const QString& fileName) {
    if (KeepsItsOwnPoem(fileName)) return;
    if (fileName != m_beside || !SamePoem(m_written, m_document.Genealogy().Book()))
      WriteBeside(fileName);
  });
}

void PoemKeeper::TakePoemOfBook() {
  m_surname.clear();
  // A .ftf was read with its poem file: the book's poem is what that file
  // holds, or none when it could not be read (ReportUnread says why).
  const QString& file = m_document.FileName();
  m_beside = file.isEmpty() || KeepsItsOwnPoem(file) ? QString() : file;
  m_written = m_document.Genealogy().Book();
}

void PoemKeeper::ReportUnread(const PoemFileResult& read) {
  if (read.status != PoemFileStatus::kMalformed && read.status != PoemFileStatus::kCannotRead)
    return;
  ShowNotice(UnreadText(m_document.FileName(), read));
}

void PoemKeeper::WriteBeside(const QString& bookFile) {
  const BookData& book = m_document.Genealogy().Book();
  switch (SavePoem(FilePathOf(bookFile), book)) {
    case PoemSaveResult::kSaved:
      m_beside = bookFile;
      m_written = book;
      return;
    case PoemSaveResult::kNameTooLong:
      // No save under this name can keep it: said once for the saves. The
      // poem is kept for a save under a shorter name.
      m_noticeOnce(CClanbookDlg::tr(
                       "字辈无法保存在家谱旁边：文件名%1太长，加上“.zibei”就超出了文件系统的限制。"
                       "要保留字辈，请用较短的文件名另存家谱。")
                       .arg(QDir::toNativeSeparators(bookFile)));
      return;
    case PoemSaveResult::kFailed:
      ShowNotice(
          CClanbookDlg::tr("字辈无法保存到%1，下次保存家谱时再试。").arg(PoemFileName(bookFile)));
      return;
  }
}

void PoemKeeper::Edit(QWidget* parent) {
  const BookData& book = m_document.Genealogy().Book();
  const QString bookSurname = QString::fromStdU16String(ClanSurname(m_document.Genealogy()));

  CGenerationPoemDlg dialog(m_document.Genealogy(), parent ? parent : &m_window);
  dialog.m_poemText = QString::fromStdU16String(book.generationPoem);
  dialog.m_firstGeneration = book.poemFirstGeneration;
  dialog.m_surname = m_surname;
  connect(&dialog, &CGenerationPoemDlg::memberActivated, this, &PoemKeeper::memberActivated);
  if (dialog.DoModal() != IDOK) return;

  // A surname the book gives by itself is not kept: it follows the book.
  m_surname = dialog.m_surname == bookSurname ? QString() : dialog.m_surname;
  m_document.ChangeGenerationPoem(dialog.m_poemText, dialog.m_firstGeneration);
}

QString PoemKeeper::SuggestedNameOfChild(const MemberNode* father) const {
  const GenerationPoem poem = PoemOf(m_document.Genealogy().Book());
  if (poem.characters.empty() || !father) return {};
  const std::u16string surname =
      m_surname.isEmpty() ? ClanSurname(m_document.Genealogy()) : m_surname.toStdU16String();
  return QString::fromStdU16String(
      SuggestedChildName(m_document.Genealogy(), father, poem, surname));
}
