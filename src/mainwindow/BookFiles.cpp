#include "mainwindow/BookFiles.h"

#include "dialogs/CFileOpenAndSaveDlg.h"
#include "document/GenealogyDocument.h"
#include "formats/FormatRegistry.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/FileProblemTexts.h"
#include "mainwindow/LongWork.h"
#include "mainwindow/RecentFiles.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

QString AppCaption() {
  return CClanbookDlg::tr("家谱管理系统");
}

QString NothingToSaveText() {
  return CClanbookDlg::tr("家谱是空的，没有可保存的内容!");
}

// Why a save that was asked to keep the previous version did not; empty when
// it did or there was none.
QString PreviousVersionNotKeptText(const GenealogyDocument::PreviousVersion& previous,
                                   const QString& fileName) {
  using Previous = GenealogyDocument::PreviousVersion;
  switch (previous.outcome) {
    case Previous::kNameTooLong:
      return CClanbookDlg::tr(
                 "家谱已保存，但未能保留上一版本：文件名%1太长，加上“.bak”就超出了文件系统的限制。"
                 "要保留上一版本，请用较短的文件名另存家谱。")
          .arg(QDir::toNativeSeparators(fileName));
    case Previous::kBackupIsFolder:
      return CClanbookDlg::tr("家谱已保存，但未能保留上一版本：%1是一个文件夹。")
          .arg(QDir::toNativeSeparators(previous.backupName));
    case Previous::kNotKept:
      return CClanbookDlg::tr("家谱已保存，但未能把上一版本保留为%1。")
          .arg(QDir::toNativeSeparators(previous.backupName));
    case Previous::kNothingToKeep:
    case Previous::kKept:
      break;
  }
  return {};
}

bool RefusedForAMember(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNameNotStorable:
    case FileProblem::kAddressNotStorable:
    case FileProblem::kNamedEnd:
    case FileProblem::kNamedLikeFather:
    case FileProblem::kRootNamedNoFather:
      return true;
    default:
      return false;
  }
}

// The format of a file the window would take from a drop; none: it takes no
// such file.
const formats::FormatEntry* DroppableFormatOf(const QString& fileName) {
  const formats::FormatEntry* format = formats::FormatOfFile(fileName.toStdString());
  if (!format || !format->reads) return nullptr;
  switch (format->id) {
    case formats::FormatId::kFtf:     // opened
    case formats::FormatId::kCbk:     // opened
    case formats::FormatId::kGedcom:  // imported
    case formats::FormatId::kGedzip:  // imported
      return format;
  }
  return nullptr;
}

bool IsBookFile(const QString& fileName) {
  const formats::FormatEntry* format = formats::FormatOfFile(FilePathOf(fileName).string());
  return format && format->id == formats::FormatId::kCbk;
}

// `fileName` with the end of a book file in place of its own: "a.ftf" is
// "a.cbk", "a" is "a.cbk".
QString BookFileNameOf(const QString& fileName) {
  const QFileInfo info(fileName);
  const QString suffix = info.suffix();
  const QString base =
      suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size() - 1);
  const std::string_view book = formats::FormatOf(formats::FormatId::kCbk).suffix;
  return base + u'.' + QString::fromLatin1(book.data(), static_cast<qsizetype>(book.size()));
}

// The one local file of a drop, when it is of a format the window opens.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile()) return {};
  const QString fileName = url.toLocalFile();
  return DroppableFormatOf(fileName) ? fileName : QString();
}

}  // namespace

BookFiles::BookFiles(GenealogyDocument& document, QWidget& window)
    : m_document(document), m_window(window) {
  // Only Open and New replace the book; a reset alone keeps what was said.
  connect(&m_document, &GenealogyDocument::membersAboutToBeReleased, this,
          [this] { m_bookReplaced = true; });
  connect(&m_document, &GenealogyDocument::reset, this, [this] {
    if (m_bookReplaced) m_noticesGiven.clear();
    m_bookReplaced = false;
  });
  m_window.setAcceptDrops(true);
  m_window.installEventFilter(this);
}

std::optional<QString> BookFiles::AskFileName(QWidget* owner, bool open, const QString& proposed) {
  CFileOpenAndSaveDlg dialog(open, owner);
  dialog.m_fileName = proposed;
  if (dialog.DoModal() == IDCANCEL) return std::nullopt;
  if (dialog.m_fileName.isEmpty()) {
    ShowNotice(CClanbookDlg::tr("文件名不能为空!"));
    return std::nullopt;
  }
  return dialog.m_fileName;
}

// Writes the genealogy; a failure is reported to the user, never passed over.
// A written genealogy is the saved state that undo comes back to.
BookFiles::WriteOutcome BookFiles::Write(const QString& fileName) {
  if (fileName.isEmpty()) {
    ShowNotice(CClanbookDlg::tr("文件无法保存!"));
    return WriteOutcome::Failed;
  }
  // Another program may have put a newer version there since it was opened
  // or saved here; that is not overwritten unasked, nor by a mere Enter.
  if (fileName == m_document.FileName() && m_document.FileChangedOnDisk() &&
      !AskQuestion(&m_window, AppCaption(),
                   CClanbookDlg::tr("文件%1已被其他程序修改，你想覆盖它吗?")
                       .arg(QDir::toNativeSeparators(fileName)),
                   QuestionDefault::No))
    return WriteOutcome::Declined;
  const bool keepPrevious = clanbook_settings::KeepPreviousVersion();
  FileStatus status;
  status.code = kFileCannotWrite;
  status.problem = FileProblem::kWriteFailed;
  GenealogyDocument::PreviousVersion previous;
  GenealogyDocument& document = m_document;
  // The input is held meanwhile: the save reads the genealogy and, to the
  // open .cbk, what changed since.
  if (RunLongWork(&m_window, CClanbookDlg::tr("正在保存家谱…"), false,
                  [&document, &fileName, keepPrevious, &status, &previous](WorkProgress&) {
                    status = document.SaveBook(fileName, keepPrevious, &previous);
                  }) == WorkOutcome::Failed)
    return WriteOutcome::Failed;
  if (!status.Ok()) {
    ShowNotice(SaveFailureText(status, fileName));
    return RefusedForAMember(status.problem) ? WriteOutcome::Refused : WriteOutcome::Failed;
  }
  m_document.MarkSaved(fileName);
  clanbook_settings::AddRecentFile(fileName);
  // Said once: every later save of this book would meet the same obstacle.
  if (const QString text = PreviousVersionNotKeptText(previous, fileName); !text.isEmpty())
    ShowNoticeOnce(text);
  return WriteOutcome::Written;
}

bool BookFiles::AskToSave() {
  // An empty genealogy has nothing a file could keep.
  if (!m_document.IsModified() || !m_document.Root()) return true;
  if (!AskQuestion(&m_window, AppCaption(), CClanbookDlg::tr("该家谱已被修改，你想保存吗?")))
    return true;
  std::optional<QString> name = AskFileName(&m_window, false);
  if (name) name = TargetOf(*name);
  if (!name || Write(*name) != WriteOutcome::Written) return false;
  m_document.SetModified(false);
  return true;
}

bool BookFiles::OfferToSave() {
  return !LongWorkRunning() && AskToSave();
}

void BookFiles::Open() {
  if (!AskToSave()) return;
  const std::optional<QString> name = AskFileName(&m_window, true);
  if (!name) return;
  OpenFile(*name);
}

// The file is read on a worker thread into a genealogy of its own, which
// takes the document's place only when the whole file was read: a failed or
// cancelled Open leaves everything as it was. The old genealogy is gone
// before the birthday reminder holds the window in a modal box.
void BookFiles::OpenFile(const QString& fileName) {
  bool readOnly = false;
  for (;;) {
    GenealogyDocument::OpenedBook loaded;
    FileStatus status;
    status.code = kFileNoMemory;
    status.problem = FileProblem::kNoMemory;
    const WorkOutcome outcome = RunLongWork(
        &m_window, CClanbookDlg::tr("正在打开家谱…"), true,
        [&fileName, &loaded, &status, readOnly](WorkProgress& work) {
          status = GenealogyDocument::ReadBook(
              fileName, loaded, readOnly,
              [&work](std::size_t done, std::size_t total) { return work.Report(done, total); });
        });
    if (outcome != WorkOutcome::Finished) return;
    // Another program edits the book: reading it is harmless, saving over
    // its work is not, so a copy opened here must go elsewhere.
    if (status.problem == FileProblem::kBookInUse && !readOnly) {
      if (!AskQuestion(&m_window, AppCaption(),
                       CClanbookDlg::tr("另一个程序正在使用家谱%1。\n要以只读方式打开它吗？"
                                        "只读的家谱不能保存到原文件，只能另存为其他文件。")
                           .arg(QDir::toNativeSeparators(fileName))))
        return;
      readOnly = true;
      continue;
    }
    if (!status.Ok()) {
      const QString text = LoadFailureText(status);
      if (!text.isEmpty()) ShowNotice(text);
      return;
    }
    m_document.AdoptBook(loaded, fileName);
    loaded.genealogy.Clear();  // the old genealogy
    clanbook_settings::AddRecentFile(fileName);
    emit opened(loaded.poem);
    return;
  }
}

void BookFiles::OpenRecentFile(const QString& fileName) {
  if (!QFileInfo::exists(fileName)) {
    ShowNotice(CClanbookDlg::tr("文件%1已不存在，已从最近打开的文件中删除!")
                   .arg(QDir::toNativeSeparators(fileName)));
    clanbook_settings::RemoveRecentFile(fileName);
    emit recentFilesChanged();
    return;
  }
  if (!AskToSave()) return;
  OpenFile(fileName);
}

void BookFiles::OpenDropped(const QString& fileName) {
  if (const formats::FormatId id = DroppableFormatOf(fileName)->id;
      id == formats::FormatId::kGedcom || id == formats::FormatId::kGedzip) {
    emit gedcomDropped(fileName);
    return;
  }
  if (!AskToSave()) return;
  OpenFile(fileName);
}

void BookFiles::Save() {
  if (!m_document.Root()) {
    ShowNotice(NothingToSaveText());
    return;
  }
  if (m_document.IsReadOnly() && IsBookFile(m_document.FileName())) {
    SaveReadOnly();
    return;
  }
  if (!m_document.FileName().isEmpty()) {
    const std::optional<QString> target = TargetOf(m_document.FileName());
    if (!target) return;
    if (*target != m_document.FileName()) {
      WriteUnder(*target);
      return;
    }
    switch (Write(m_document.FileName())) {
      case WriteOutcome::Written:
        m_document.SetModified(false);
        return;
      case WriteOutcome::Refused:
      case WriteOutcome::Declined:
        return;
      case WriteOutcome::Failed:
        break;  // reported; the user may now choose another name
    }
  }
  if (const std::optional<QString> name = AskFileName(&m_window, false)) SaveUnder(*name);
}

void BookFiles::SaveAs() {
  // Asked before a name, so that nothing changes, not even the file name.
  if (!m_document.Root()) {
    ShowNotice(NothingToSaveText());
    return;
  }
  if (const std::optional<QString> name = AskFileName(&m_window, false)) SaveUnder(*name);
}

void BookFiles::SaveUnder(const QString& fileName) {
  const std::optional<QString> target = TargetOf(fileName);
  if (target) WriteUnder(*target);
}

void BookFiles::WriteUnder(const QString& fileName) {
  m_document.SetFileName(fileName);
  m_document.SetModified(Write(m_document.FileName()) != WriteOutcome::Written);
}

std::optional<QString> BookFiles::TargetOf(const QString& fileName) {
  if (IsBookFile(fileName)) return fileName;
  const QStringList lost = m_document.FieldsFtfWillNotKeep();
  if (lost.isEmpty()) return fileName;
  enum { kAsBook, kAsFtf, kCancel };
  const QStringList choices = {CClanbookDlg::tr("另存为 .cbk"), CClanbookDlg::tr("仍然保存为 .ftf"),
                               CClanbookDlg::tr("取消")};
  const QString text =
      CClanbookDlg::tr(
          "文件%1只能保存姓名、日期、地址等十项内容，家谱中的以下内容将不会保存：\n%2\n\n"
          "建议另存为家谱文件（.cbk），它能保存全部内容。")
          .arg(QDir::toNativeSeparators(fileName), lost.join(CClanbookDlg::tr("、")));
  switch (AskChoice(&m_window, AppCaption(), text, choices, kAsBook)) {
    case kAsBook:
      // The name may be changed to a .ftf again: that is asked anew.
      if (const std::optional<QString> name =
              AskFileName(&m_window, false, BookFileNameOf(fileName)))
        return TargetOf(*name);
      return std::nullopt;
    case kAsFtf:
      return fileName;
    default:
      return std::nullopt;
  }
}

void BookFiles::SaveReadOnly() {
  if (!AskQuestion(
          &m_window, AppCaption(),
          CClanbookDlg::tr("家谱%1是以只读方式打开的，不能保存到原文件。\n要另存为其他文件吗？")
              .arg(QDir::toNativeSeparators(m_document.FileName()))))
    return;
  if (const std::optional<QString> name = AskFileName(&m_window, false)) SaveUnder(*name);
}

void BookFiles::ShowNoticeOnce(const QString& text) {
  if (m_noticesGiven.contains(text)) return;
  m_noticesGiven.insert(text);
  ShowNotice(text);
}

bool BookFiles::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &m_window) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (!LongWorkRunning() && !DroppedFile(drag->mimeData()).isEmpty())
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString fileName = DroppedFile(drop->mimeData());
      if (fileName.isEmpty() || LongWorkRunning()) {
        drop->ignore();
        return true;
      }
      drop->acceptProposedAction();
      // The save prompt and the reading run after the drag has ended, so
      // that the file manager is not held waiting for them.
      QMetaObject::invokeMethod(
          this, [this, fileName] { OpenDropped(fileName); }, Qt::QueuedConnection);
      return true;
    }
    default:
      return false;
  }
}
