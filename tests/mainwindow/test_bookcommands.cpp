// 文件 → 导出谱书… in the real window: a book file open, the dialog's
// choices, the preview typeset in the background and paged, the PDF written
// (never over the open book), the pages printed, and the dialog in English.
#include "../book/BookTestBooks.h"
#include "MainWindowTestSupport.h"
#include "app/Translation.h"
#include "book/Flow.h"
#include "dialogs/ExportBookDialog.h"
#include "document/AtomicSaveFile.h"
#include "formats/CbkFormat.h"
#include "mainwindow/LongWork.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The pages of a PDF as pdfinfo counts them.
int PdfPages(const QString& path) {
  QProcess process;
  process.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {path});
  if (!process.waitForFinished(60000)) return 0;
  const QRegularExpressionMatch pages =
      QRegularExpression(QStringLiteral("(?m)^Pages:\\s+(\\d+)"))
          .match(QString::fromLocal8Bit(process.readAllStandardOutput()));
  return pages.hasMatch() ? pages.captured(1).toInt() : 0;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The print dialog a click is about to open is accepted, printing to the
// PDF `file` (no printer here). It is modal inside the export dialog's
// handler, which the queue of modal handlers does not reach.
void PrintToFileWhenAsked(const QString& file) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, file] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    QObject::connect(dialog, qOverload<QPrinter*>(&QPrintDialog::accepted),
                     [file](QPrinter* printer) {
                       printer->setOutputFormat(QPrinter::PdfFormat);
                       printer->setOutputFileName(file);
                     });
    dialog->accept();
  });
  timer->start();
}

// Cancels the wait dialog of the export the next click starts, once it
// shows; the work is held until then.
void CancelExportWhenAsked() {
  SetLongWorkHookForTesting([](WorkProgress& work) {
    while (!work.Cancelled()) QThread::msleep(1);
  });
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != QStringLiteral("fileProgress")) return;
    timer->stop();
    timer->deleteLater();
    ClickButton(modal, "fileProgressCancel");
  });
  timer->start();
}

bool WaitForPreview(ExportBookDialog* dialog) {
  return QTest::qWaitFor([dialog] { return dialog->PreviewFinished(); }, 120000);
}

template <class Box>
Box* Child(QWidget* dialog, const char* name) {
  auto* child = dialog->findChild<Box*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// The first page the outline leads to under `title` (a part of the book).
int PageOfPart(const ExportBookDialog* dialog, const QString& title) {
  const std::vector<book::DrawnPage>& pages = dialog->PreviewPages().Pages();
  for (std::size_t i = 0; i < pages.size(); ++i)
    for (const book::DrawnItem& item : pages[i].items)
      if (item.kind == book::DrawnItem::Kind::kBookmark && item.text == title)
        return static_cast<int>(i);
  return -1;
}

// Pages on to `page` with the dialog's own button.
void GoToPage(ExportBookDialog* dialog, int page) {
  while (dialog->CurrentPage() < page) ClickButton(dialog, "nextPageButton");
}

void KeepShot(QWidget* dialog, const QString& name) {
  if (!qEnvironmentVariableIsSet("CLANBOOK_SHOT_DIR")) return;
  // As large as on a desktop: the offscreen screen would hold it to a third of the page.
  dialog->resize(960, 760);
  dialog->grab().save(QDir(qEnvironmentVariable("CLANBOOK_SHOT_DIR")).filePath(name));
}

class BookCommand : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    COperationClanbook small;
    booktest::MakeSmallBook(small);
    ASSERT_TRUE(formats::WriteBookFile(QFile::encodeName(bookFile).toStdString(), small).Ok());
    SetLongWorkDelayForTesting(0);
    window.Create();
  }
  void TearDown() override {
    SetFileDialogForTesting({});
    SetLongWorkHookForTesting({});
    SetLongWorkDelayForTesting(-1);
    EXPECT_EQ(boxes.unansweredQuestions, 0);
    EXPECT_EQ(PendingModalHandlers(), 0);
  }
  QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  QStringList Notices() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }

  MessageBoxRecorder boxes;
  QTemporaryDir dir;
  const QString bookFile = dir.filePath(QStringLiteral("li.cbk"));
  CClanbookDlg window;
};

TEST_F(BookCommand, ChoicesPreviewExportAndPrintTheBook) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
    GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
  auto* command = window.findChild<QAction*>(QStringLiteral("exportBook"));
  ASSERT_NE(command, nullptr);
  // In the 文件 menu, after 导出图表…; nothing to print before a book is open.
  const QList<QAction*> items = qobject_cast<QMenu*>(command->parent())->actions();
  EXPECT_EQ(items.value(items.indexOf(command) - 1)->objectName(),
            QStringLiteral("idm_exportChart"));
  EXPECT_FALSE(command->isEnabled());
  window.OpenAtStart(bookFile);
  ASSERT_TRUE(command->isEnabled());
  SelectMember(window, FindMember(window, u"李传枝"));
  const QByteArray bookBytes = ReadAll(bookFile);

  int previewed = 0;
  OnNextDialog<ExportBookDialog>([&](ExportBookDialog* d) {
    // Every control is named by its label; the selected member comes first.
    for (QLabel* label : d->findChildren<QLabel*>()) {
      if (label->buddy()) {
        EXPECT_EQ(label->buddy()->accessibleName(), label->text()) << label->text().toStdString();
      }
    }
    auto* from = Child<QLineEdit>(d, "fromEdit");
    EXPECT_EQ(from->text(), QStringLiteral("李传枝"));

    // A name nobody bears is said, and nothing can be exported from it.
    TypeInto(d, "fromEdit", QStringLiteral("王五"));
    ASSERT_TRUE(WaitForPreview(d));
    EXPECT_EQ(d->StatusText(), QStringLiteral("谱中没有名为“王五”的人。"));
    EXPECT_FALSE(Child<QPushButton>(d, "exportButton")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(d, "printButton")->isEnabled());

    // The whole book from the root, 苏式 on A3 with both calendars.
    TypeInto(d, "fromEdit", QString());
    Child<QComboBox>(d, "layoutBox")->setCurrentIndex(1);
    Child<QComboBox>(d, "paperBox")->setCurrentIndex(1);
    Child<QComboBox>(d, "datesBox")->setCurrentIndex(2);
    Child<QCheckBox>(d, "privateLivingCheck")->setChecked(true);
    const book::BookOptions options = d->Options();
    EXPECT_EQ(options.from, nullptr);
    EXPECT_EQ(options.layout, book::TableLayout::kSu);
    EXPECT_EQ(options.paper, book::Paper::kA3);
    EXPECT_EQ(options.dates, book::DateStyle::kBoth);
    EXPECT_FALSE(options.horizontal);
    EXPECT_TRUE(options.privateLiving);
    ASSERT_TRUE(WaitForPreview(d)) << d->StatusText().toStdString();
    previewed = static_cast<int>(d->PreviewPages().Pages().size());
    ASSERT_GT(previewed, 1) << d->StatusText().toStdString();
    EXPECT_EQ(d->CurrentPage(), 0);
    EXPECT_GT(d->PreviewPages().Pages().front().items.size(), 0u);
    ClickButton(d, "nextPageButton");
    EXPECT_EQ(d->CurrentPage(), 1);
    EXPECT_EQ(Child<QLabel>(d, "pageLabel")->text(), QStringLiteral("第2页/共%1页").arg(previewed));
    ClickButton(d, "previousPageButton");
    EXPECT_EQ(d->CurrentPage(), 0);
    EXPECT_FALSE(Child<QPushButton>(d, "previousPageButton")->isEnabled());
    const int tables = PageOfPart(d, book::BookWords::Tables());
    ASSERT_GT(tables, 0);
    GoToPage(d, tables);
    EXPECT_EQ(d->CurrentPage(), tables);
    KeepShot(d, QStringLiteral("book-export.png"));

    // Never over the open book, whatever the name asked for.
    SetFileDialogForTesting([&](const FileDialogRequest& request) {
      EXPECT_FALSE(request.open);
      return bookFile;
    });
    ClickButton(d, "exportButton");
    EXPECT_EQ(Notices(), QStringList{OutputIsBookText(bookFile)});
    boxes.Clear();

    // Cancelled, the export leaves no file and says nothing.
    SetFileDialogForTesting([&](const FileDialogRequest&) { return Path("cancelled.pdf"); });
    CancelExportWhenAsked();
    ClickButton(d, "exportButton");
    SetLongWorkHookForTesting({});
    EXPECT_FALSE(QFileInfo::exists(Path("cancelled.pdf")));
    EXPECT_TRUE(boxes.Boxes().empty());

    // A name without its ending gets .pdf; the PDF has the preview's pages.
    SetFileDialogForTesting([&](const FileDialogRequest&) { return Path("book"); });
    ClickButton(d, "exportButton");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes().front().kind, BoxKind::Information);
    EXPECT_TRUE(boxes.Boxes().front().text.contains(QDir::toNativeSeparators(Path("book.pdf"))));
    EXPECT_EQ(PdfPages(Path("book.pdf")), previewed);
    boxes.Clear();

    PrintToFileWhenAsked(Path("printed.pdf"));
    ClickButton(d, "printButton");
    EXPECT_EQ(PdfPages(Path("printed.pdf")), previewed);
    EXPECT_TRUE(boxes.Boxes().empty());
    ClickButton(d, "idc_2");
  });
  command->trigger();
  EXPECT_GT(previewed, 1);
  EXPECT_EQ(ReadAll(bookFile), bookBytes);
  EXPECT_FALSE(window.document().IsModified());

  // In English the dialog speaks English; the book's names stay its own.
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  OnNextDialog<ExportBookDialog>([&](ExportBookDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Export Clan Book"));
    ASSERT_TRUE(WaitForPreview(d)) << d->StatusText().toStdString();
    EXPECT_EQ(Child<QLabel>(d, "pageLabel")->text(),
              QStringLiteral("Page 1 of %1").arg(d->PreviewPages().Pages().size()));
    GoToPage(d, PageOfPart(d, book::BookWords::Tables()));
    KeepShot(d, QStringLiteral("en/book-export.png"));
    ClickButton(d, "idc_2");
  });
  command->trigger();
}

// A large book: the dialog shows its first pages while the rest is still
// being set, closes at once, its typesetting stopped, and keeps no more pages
// than its limit, the PDF being the way to the whole book.
TEST_F(BookCommand, ALargeBookIsPreviewedInPartAndStoppedAtClose) {
  COperationClanbook large;
  booktest::MakeLargeBook(large, 3000);
  const QString largeFile = Path("large.cbk");
  ASSERT_TRUE(formats::WriteBookFile(QFile::encodeName(largeFile).toStdString(), large).Ok());
  window.OpenAtStart(largeFile);
  QAction* command = window.findChild<QAction*>(QStringLiteral("exportBook"));
  bool stoppedEarly = false;
  OnNextDialog<ExportBookDialog>([&](ExportBookDialog* d) {
    ASSERT_TRUE(QTest::qWaitFor([d] { return d->PreviewPages().Pages().size() > 0; }, 120000));
    stoppedEarly = !d->PreviewFinished();
    EXPECT_EQ(d->CurrentPage(), 0);
    ClickButton(d, "idc_2");
  });
  command->trigger();
  EXPECT_TRUE(stoppedEarly);

  ExportBookDialog::SetPreviewPageLimitForTesting(40);
  OnNextDialog<ExportBookDialog>([&](ExportBookDialog* d) {
    ASSERT_TRUE(WaitForPreview(d));
    EXPECT_EQ(d->PreviewPages().Pages().size(), 40u);
    EXPECT_EQ(d->StatusText(), QStringLiteral("预览只排了前40页；全书请导出为 PDF 再打印。"));
    EXPECT_FALSE(Child<QPushButton>(d, "printButton")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(d, "exportButton")->isEnabled());
    ClickButton(d, "idc_2");
  });
  command->trigger();
  ExportBookDialog::SetPreviewPageLimitForTesting(0);
}

}  // namespace
