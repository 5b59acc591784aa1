#include "mainwindow/PoemKeeper.h"

#include "dialogs/CGenerationPoemDlg.h"
#include "document/GenealogyDocument.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"

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
          .arg(kMaxFirstGeneration)
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

QString UnreadText(const QString& bookFile, const PoemFileResult& read) {
  return CClanbookDlg::tr("字辈文件%1读不出来：%2")
      .arg(PoemFileName(bookFile), PoemProblemText(read));
}

bool SamePoem(const GenerationPoem& a, const GenerationPoem& b) {
  if (a.characters.empty() || b.characters.empty())
    return a.characters.empty() && b.characters.empty();
  return a.firstGeneration == b.firstGeneration && a.characters == b.characters;
}

}  // namespace

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
    if (m_unwritten || fileName != m_book) WriteBeside(fileName, true);
  });
}

void PoemKeeper::TakePoemOfBook() {
  m_poem = {};
  m_surname.clear();
  m_unwritten = false;
  m_book = m_document.FileName();
  m_unread = {};
  if (m_document.FileName().isEmpty()) return;
  // A poem file that cannot be read leaves the book without a poem; the
  // window says why once the book is in place (ReportUnread).
  GenerationPoem poem;
  const PoemFileResult read = LoadPoem(FilePathOf(m_document.FileName()), poem);
  if (read.status == PoemFileStatus::kOk)
    m_poem = std::move(poem);
  else if (read.status != PoemFileStatus::kMissing)
    m_unread = read;
}

void PoemKeeper::ReportUnread() {
  if (m_unread.status == PoemFileStatus::kOk) return;
  ShowNotice(UnreadText(m_document.FileName(), m_unread));
  m_unread = {};
}

void PoemKeeper::WriteBeside(const QString& bookFile, bool atSave) {
  switch (SavePoem(FilePathOf(bookFile), m_poem)) {
    case PoemSaveResult::kSaved:
      m_book = bookFile;
      m_unwritten = false;
      return;
    case PoemSaveResult::kNameTooLong: {
      // No save under this name can keep it: said once for the saves, and
      // again whenever the user changes the poem. The poem is kept for a
      // save under a shorter name.
      m_unwritten = true;
      const QString text =
          CClanbookDlg::tr(
              "字辈无法保存在家谱旁边：文件名%1太长，加上“.zibei”就超出了文件系统的限制。"
              "要保留字辈，请用较短的文件名另存家谱。")
              .arg(QDir::toNativeSeparators(bookFile));
      if (atSave)
        m_noticeOnce(text);
      else
        ShowNotice(text);
      return;
    }
    case PoemSaveResult::kFailed:
      m_unwritten = true;
      ShowNotice(
          CClanbookDlg::tr("字辈无法保存到%1，下次保存家谱时再试。").arg(PoemFileName(bookFile)));
      return;
  }
}

void PoemKeeper::Edit() {
  if (!m_document.FileName().isEmpty() && !m_unwritten) {
    // The file may have been edited since the book was opened; it is the
    // poem the book has.
    GenerationPoem poem;
    const PoemFileResult read = LoadPoem(FilePathOf(m_document.FileName()), poem);
    if (read.status == PoemFileStatus::kMalformed || read.status == PoemFileStatus::kCannotRead) {
      ShowNotice(UnreadText(m_document.FileName(), read));
      poem = {};
    }
    m_poem = std::move(poem);
    m_book = m_document.FileName();
  }
  const GenerationPoem before = m_poem;
  const QString bookSurname = QString::fromStdU16String(ClanSurname(m_document.Genealogy()));

  CGenerationPoemDlg dialog(m_document.Genealogy(), &m_window);
  dialog.m_poem = before;
  dialog.m_surname = m_surname;
  connect(&dialog, &CGenerationPoemDlg::memberActivated, this, &PoemKeeper::memberActivated);
  if (dialog.DoModal() != IDOK) return;

  // A surname the book gives by itself is not kept: it follows the book.
  m_surname = dialog.m_surname == bookSurname ? QString() : dialog.m_surname;
  // An unchanged poem leaves its file alone, even one that could not be read.
  if (SamePoem(dialog.m_poem, before)) return;
  m_poem = dialog.m_poem;
  if (m_document.FileName().isEmpty()) {
    m_unwritten = true;  // written beside the book at its first save
    return;
  }
  WriteBeside(m_document.FileName(), false);
}

QString PoemKeeper::SuggestedNameOfChild(const MemberNode* father) const {
  if (m_poem.characters.empty() || !father) return {};
  const std::u16string surname =
      m_surname.isEmpty() ? ClanSurname(m_document.Genealogy()) : m_surname.toStdU16String();
  return QString::fromStdU16String(
      SuggestedChildName(m_document.Genealogy(), father, m_poem, surname));
}
