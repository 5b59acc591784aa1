// Find as you type above the tree, the book's 字辈, the keys of the commands a
// user repeats, and the busy cursor while a large family opens.
//
// The search index follows the document's announcements as the views do: a
// removal reaches it and the bar before anything is unlinked (undo and redo
// included), since both hold members that are about to leave.
#include "dialogs/CGenerationPoemDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "search/MemberSearch.h"
#include "views/MemberSearchBar.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// A family this large takes a noticeable time to open: the view lays out
// every child, about 0.4 µs each (100,000 children in 37 ms of processor
// time, bench_mainwindow), so half a million take a fifth of a second, and
// more on a busy machine. Opening it shows the busy cursor.
constexpr int kLargeFamily = 500000;

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

bool SamePoem(const GenerationPoem& a, const GenerationPoem& b) {
  if (a.characters.empty() || b.characters.empty())
    return a.characters.empty() && b.characters.empty();
  return a.firstGeneration == b.firstGeneration && a.characters == b.characters;
}

// The tree view opens a family inside the delivery of the click or key that
// asked for it, so the busy cursor is set before the event is delivered and
// put back when the event loop next runs, once the family is open. Opening
// whole branches ('*') is the tree view's own business.
class ExpansionWatch : public QObject {
public:
  explicit ExpansionWatch(QTreeView* tree) : QObject(tree), m_tree(tree) {
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    QModelIndex index;
    if (event->type() == QEvent::KeyPress && watched == m_tree) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Right && key != Qt::Key_Plus) return false;
      index = m_tree->currentIndex();
    } else if ((event->type() == QEvent::MouseButtonPress ||
                event->type() == QEvent::MouseButtonDblClick) &&
               watched == m_tree->viewport()) {
      index = m_tree->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else {
      return false;
    }
    if (index.isValid() && !m_tree->isExpanded(index) &&
        m_tree->model()->rowCount(index) >= kLargeFamily) {
      auto busy = std::make_shared<BusyCursor>();
      QTimer::singleShot(0, this, [busy] {});
    }
    return false;
  }

private:
  QTreeView* m_tree;
};

}  // namespace

void CClanbookDlg::SetUpFindCommands() {
  FollowDocumentForSearch();
  connect(m_searchBar, &MemberSearchBar::currentMatchChanged, this, &CClanbookDlg::RevealMember);

  m_editMenu->addSeparator();
  AddMenuCommand(m_editMenu, tr("查找成员"), QStringLiteral("findMemberCommand"),
                 [this] { m_searchBar->focusSearch(); }, {QKeySequence(Qt::CTRL | Qt::Key_F)});
  AddMenuCommand(m_editMenu, tr("查找下一个"), QStringLiteral("findNextCommand"),
                 [this] { m_searchBar->findNext(); }, {QKeySequence(Qt::Key_F3)});
  AddMenuCommand(m_editMenu, tr("查找上一个"), QStringLiteral("findPreviousCommand"),
                 [this] { m_searchBar->findPrevious(); }, {QKeySequence(Qt::SHIFT | Qt::Key_F3)});

  // The keys run what the buttons run, on the member selected in the tree;
  // the 家谱 menu's own items ask for a name instead, so each key gets an item
  // of its own beside the matching one, where the menu shows it.
  AddMenuCommand(
      m_bookMenu, tr("增加孩子"), QStringLiteral("addChildCommand"),
      [this] { RunCommand(ID_ADD_CHILD); },
      {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_Return),
       QKeySequence(Qt::CTRL | Qt::Key_Enter)},
      MenuAction(ID_ADD_MEMBER));
  AddMenuCommand(
      m_bookMenu, tr("更改资料"), QStringLiteral("changeDataCommand"),
      [this] { RunCommand(ID_CHANGE_DATA); }, {QKeySequence(Qt::Key_F2)},
      MenuAction(ID_MODIFY_MEMBER));
  AddMenuCommand(
      m_bookMenu, tr("删除该人"), QStringLiteral("deleteSelectedCommand"),
      [this] { RunCommand(ID_DELETE_SELECTED); }, {QKeySequence(Qt::Key_Delete)},
      MenuAction(ID_DELETE_MEMBER));
  m_bookMenu->addSeparator();
  AddMenuCommand(m_bookMenu, tr("字辈…"), QStringLiteral("generationPoemCommand"),
                 [this] { OnGenerationPoem(); });

  new ExpansionWatch(m_treeCtrl);
}

void CClanbookDlg::FollowDocumentForSearch() {
  const GenealogyDocument* document = &m_document;
  connect(document, &GenealogyDocument::memberAboutToBeRemoved, this, [this](MemberNode* member) {
    m_searchIndex->MemberAboutToBeRemoved(member);
    m_searchBar->memberAboutToBeRemoved(member);
  });
  connect(document, &GenealogyDocument::memberRemoved, this, [this] { m_searchBar->refresh(); });
  connect(document, &GenealogyDocument::memberAdded, this, [this](MemberNode* member) {
    m_searchIndex->MemberAdded(member);
    m_searchBar->refresh();
  });
  connect(document, &GenealogyDocument::memberChanged, this, [this](MemberNode* member) {
    m_searchIndex->MemberChanged(member);
    m_searchBar->refresh();
  });
  connect(document, &GenealogyDocument::rootReplaced, this, [this](MemberNode* leaving) {
    if (leaving) {
      // The root above left alone, his son the root again. The announcement
      // before did not say which way the root would change, so the leaving
      // member is struck out now: unlinked and without children, but alive
      // in the history, and the only member that left.
      m_searchIndex->MemberAboutToBeRemoved(leaving);
      m_searchBar->memberAboutToBeRemoved(leaving);
    } else {
      // A new root above the old one: the old one is indexed with his whole line.
      m_searchIndex->MemberAdded(m_document.Root());
    }
    m_searchBar->refresh();
  });
  // Only Open and New replace the book; a reset alone keeps its 字辈.
  connect(document, &GenealogyDocument::membersAboutToBeReleased, this,
          [this] { m_bookReplaced = true; });
  connect(document, &GenealogyDocument::reset, this, [this] {
    m_searchIndex->Rebuild();
    if (m_bookReplaced) {
      TakePoemOfBook();
      m_noticesGiven.clear();
    }
    m_bookReplaced = false;
    m_searchBar->reset();
  });
  connect(document, &GenealogyDocument::saved, this, [this](const QString& fileName) {
    if (m_poemUnwritten || fileName != m_poemBook) WritePoemBeside(fileName, true);
  });
}

void CClanbookDlg::TakePoemOfBook() {
  m_poem = {};
  m_poemSurname.clear();
  m_poemUnwritten = false;
  m_poemBook = m_document.FileName();
  m_poemUnread = {};
  if (m_document.FileName().isEmpty()) return;
  // A poem file that cannot be read leaves the book without a poem; the
  // window says why once the book is in place (ReportUnreadPoem).
  GenerationPoem poem;
  const PoemFileResult read = LoadPoem(FilePathOf(m_document.FileName()), poem);
  if (read.status == PoemFileStatus::kOk)
    m_poem = std::move(poem);
  else if (read.status != PoemFileStatus::kMissing)
    m_poemUnread = read;
}

void CClanbookDlg::ReportUnreadPoem() {
  if (m_poemUnread.status == PoemFileStatus::kOk) return;
  ShowNotice(tr("字辈文件%1读不出来：%2")
                 .arg(PoemFileName(m_document.FileName()), PoemProblemText(m_poemUnread)));
  m_poemUnread = {};
}

void CClanbookDlg::ShowNoticeOnce(const QString& text) {
  if (m_noticesGiven.contains(text)) return;
  m_noticesGiven.insert(text);
  ShowNotice(text);
}

void CClanbookDlg::WritePoemBeside(const QString& bookFile, bool atSave) {
  switch (SavePoem(FilePathOf(bookFile), m_poem)) {
    case PoemSaveResult::kSaved:
      m_poemBook = bookFile;
      m_poemUnwritten = false;
      return;
    case PoemSaveResult::kNameTooLong: {
      // No save under this name can keep it: said once for the saves, and
      // again whenever the user changes the poem. The window keeps the poem
      // for a save under a shorter name.
      m_poemUnwritten = true;
      const QString text =
          tr("字辈无法保存在家谱旁边：文件名%1太长，加上“.zibei”就超出了文件系统的限制。"
             "要保留字辈，请用较短的文件名另存家谱。")
              .arg(QDir::toNativeSeparators(bookFile));
      if (atSave)
        ShowNoticeOnce(text);
      else
        ShowNotice(text);
      return;
    }
    case PoemSaveResult::kFailed:
      m_poemUnwritten = true;
      ShowNotice(tr("字辈无法保存到%1，下次保存家谱时再试。").arg(PoemFileName(bookFile)));
      return;
  }
}

void CClanbookDlg::OnGenerationPoem() {
  if (!m_document.FileName().isEmpty() && !m_poemUnwritten) {
    // The file may have been edited since the book was opened; it is the
    // poem the book has.
    GenerationPoem poem;
    const PoemFileResult read = LoadPoem(FilePathOf(m_document.FileName()), poem);
    if (read.status == PoemFileStatus::kMalformed || read.status == PoemFileStatus::kCannotRead) {
      ShowNotice(tr("字辈文件%1读不出来：%2")
                     .arg(PoemFileName(m_document.FileName()), PoemProblemText(read)));
      poem = {};
    }
    m_poem = std::move(poem);
    m_poemBook = m_document.FileName();
  }
  const GenerationPoem before = m_poem;
  const QString bookSurname = QString::fromStdU16String(ClanSurname(m_document.Genealogy()));

  CGenerationPoemDlg dialog(m_document.Genealogy(), this);
  dialog.m_poem = before;
  dialog.m_surname = m_poemSurname;
  connect(&dialog, &CGenerationPoemDlg::memberActivated, this, &CClanbookDlg::RevealMember);
  if (dialog.DoModal() != IDOK) return;

  // A surname the book gives by itself is not kept: it follows the book.
  m_poemSurname = dialog.m_surname == bookSurname ? QString() : dialog.m_surname;
  // An unchanged poem leaves its file alone, even one that could not be read.
  if (SamePoem(dialog.m_poem, before)) return;
  m_poem = dialog.m_poem;
  if (m_document.FileName().isEmpty()) {
    m_poemUnwritten = true;  // written beside the book at its first save
    return;
  }
  WritePoemBeside(m_document.FileName(), false);
}

QString CClanbookDlg::SuggestedNameOfChild(const MemberNode* father) const {
  if (m_poem.characters.empty() || !father) return {};
  const std::u16string surname = m_poemSurname.isEmpty() ? ClanSurname(m_document.Genealogy())
                                                         : m_poemSurname.toStdU16String();
  return QString::fromStdU16String(
      SuggestedChildName(m_document.Genealogy(), father, m_poem, surname));
}
