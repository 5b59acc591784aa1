#include "dialogs/ExportBookDialog.h"

#include "book/BookExport.h"
#include "book/BookFont.h"
#include "book/Flow.h"
#include "book/PainterSink.h"
#include "document/AtomicSaveFile.h"
#include "model/COperationClanbook.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

using book::BookOptions;
using book::PageRecorder;

namespace {

// Long enough to page through a box's choices with the keyboard, short
// enough that the preview seems to follow each choice.
constexpr int kRestAfterChoiceMs = 250;

// The preview keeps every page it shows in memory: a book of a hundred
// thousand members would hold gigabytes. Past this many pages it stops; the
// PDF, written as a stream, always holds the whole book.
constexpr int kPreviewPageLimit = 2000;
int g_previewPageLimit = kPreviewPageLimit;

template <class Enum>
Enum DataOf(const QComboBox* box) {
  return static_cast<Enum>(box->currentData().toInt());
}

}  // namespace

// One typesetting of the preview. The worker hands each finished page over
// as a recorder of its own, so that the window shows the first pages of a
// long book while the rest is still being set.
struct ExportBookDialog::Job {
  std::atomic<bool> stop{false};
  std::atomic<bool> truncated{false};  // stopped at the preview's limit
  QMutex mutex;
  std::vector<std::unique_ptr<PageRecorder>> ready;  // under `mutex`
  std::shared_ptr<const book::BookFont> font;        // under `mutex`
  bool announced = false;                            // under `mutex`: a take is on its way
  // Written by the worker before it ends, read once it has.
  int pageCount = -1;
  QString error;
};

namespace {

class PageHandOver : public book::PageSink {
public:
  PageHandOver(std::function<void()> announce, std::shared_ptr<ExportBookDialog::Job> job)
      : m_announce(std::move(announce)), m_job(std::move(job)) {}

  void BeginPage(QSizeF size) override {
    m_page = std::make_unique<PageRecorder>();
    m_page->BeginPage(size);
  }
  void VerticalText(const QString& text, QPointF topCentre, double size) override {
    Page().VerticalText(text, topCentre, size);
  }
  void HorizontalText(const QString& text, QPointF origin, double size) override {
    Page().HorizontalText(text, origin, size);
  }
  void TurnedText(const QString& text, QPointF topCentre, double size) override {
    Page().TurnedText(text, topCentre, size);
  }
  void Line(QPointF from, QPointF to, double width) override { Page().Line(from, to, width); }
  void Box(const QRectF& rect, double width) override { Page().Box(rect, width); }
  void Bookmark(const QString& title, int level) override { Page().Bookmark(title, level); }
  void EndPage() override {
    Page().EndPage();
    const QMutexLocker lock(&m_job->mutex);
    m_job->ready.push_back(std::move(m_page));
    if (!std::exchange(m_job->announced, true)) m_announce();
  }

private:
  // A drawing outside a page still reaches the preview, on a page of its
  // own, as the recorder keeps it.
  PageRecorder& Page() {
    if (!m_page) m_page = std::make_unique<PageRecorder>();
    return *m_page;
  }

  std::function<void()> m_announce;
  std::shared_ptr<ExportBookDialog::Job> m_job;
  std::unique_ptr<PageRecorder> m_page;
};

}  // namespace

BookPageView::BookPageView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pageView"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BookPageView::Show(const PageRecorder* pages, int index,
                        std::shared_ptr<const book::BookFont> font) {
  m_pages = pages;
  m_index = index;
  m_font = std::move(font);
  update();
}

QSize BookPageView::sizeHint() const {
  const int line = fontMetrics().lineSpacing();
  return {34 * line, 46 * line};
}

void BookPageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Mid));
  if (!m_pages || !m_font || m_index < 0 || m_index >= static_cast<int>(m_pages->Pages().size()))
    return;
  const QSizeF page = m_pages->Pages()[static_cast<std::size_t>(m_index)].size;
  if (page.isEmpty()) return;
  constexpr double kMargin = 6;
  const double scale =
      std::min((width() - 2 * kMargin) / page.width(), (height() - 2 * kMargin) / page.height());
  if (scale <= 0) return;
  const QSizeF shown = page * scale;
  const QPointF origin((width() - shown.width()) / 2, (height() - shown.height()) / 2);
  painter.fillRect(QRectF(origin, shown), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(origin);
  painter.scale(scale, scale);
  book::PainterSink sink(painter, m_font);
  m_pages->Replay(m_index, sink);
}

ExportBookDialog::ExportBookDialog(const COperationClanbook& genealogy, const QString& bookFile,
                                   const BookOptions& initial, LongWork longWork, QWidget* parent)
    : CDialog(parent),
      m_genealogy(genealogy),
      m_bookFile(bookFile),
      m_initial(initial),
      m_longWork(std::move(longWork)) {
  setWindowTitle(tr("导出谱书"));
  setObjectName(QStringLiteral("exportBook"));

  auto* form = new QFormLayout;
  auto addRow = [this, form](const QString& text, QWidget* box, const char* name) {
    auto* label = new QLabel(text, this);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label->text());
    label->setBuddy(box);
    form->addRow(label, box);
  };
  const QString start =
      initial.from ? QString::fromStdU16String(initial.from->name) : initial.fromName;
  m_from = new QLineEdit(start, this);
  m_from->setPlaceholderText(tr("空：从始祖起"));
  addRow(tr("起始成员:"), m_from, "fromEdit");

  // Each box holds its choices with the value each stands for.
  auto choiceBox = [this, &addRow](const QString& label, const char* name,
                                   std::initializer_list<std::pair<QString, int>> items,
                                   int selected) {
    auto* box = new QComboBox(this);
    for (const auto& [text, value] : items) box->addItem(text, value);
    box->setCurrentIndex(std::max(0, box->findData(selected)));
    addRow(label, box, name);
    return box;
  };
  using book::DateStyle;
  using book::Paper;
  using book::TableLayout;
  m_layout = choiceBox(tr("世系图样式:"), "layoutBox",
                       {{tr("欧式"), int(TableLayout::kOuyang)},
                        {tr("苏式"), int(TableLayout::kSu)},
                        {tr("吊线图"), int(TableLayout::kPagoda)}},
                       int(initial.layout));
  m_direction = choiceBox(tr("排版:"), "directionBox", {{tr("竖排"), 0}, {tr("横排"), 1}},
                          initial.horizontal ? 1 : 0);
  m_paper = choiceBox(tr("纸张:"), "paperBox",
                      {{tr("A4"), int(Paper::kA4)},
                       {tr("A3"), int(Paper::kA3)},
                       {tr("A3 对折（筒子页）"), int(Paper::kA3Folded)}},
                      int(initial.paper));
  m_dates = choiceBox(tr("日期:"), "datesBox",
                      {{tr("农历"), int(DateStyle::kLunar)},
                       {tr("公历"), int(DateStyle::kGregorian)},
                       {tr("两者"), int(DateStyle::kBoth)}},
                      int(initial.dates));

  m_privateLiving = new QCheckBox(tr("隐去在世者的生卒与地点"), this);
  m_privateLiving->setObjectName(QStringLiteral("privateLivingCheck"));
  m_privateLiving->setAccessibleName(m_privateLiving->text());
  m_privateLiving->setChecked(initial.privateLiving);
  form->addRow(m_privateLiving);

  auto makeButton = [this](const QString& text, const QString& name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAccessibleName(button->text());
    button->setAutoDefault(false);
    return button;
  };
  m_view = new BookPageView(this);
  m_view->setAccessibleName(tr("预览"));
  m_previous = makeButton(tr("上一页"), QStringLiteral("previousPageButton"));
  m_next = makeButton(tr("下一页"), QStringLiteral("nextPageButton"));
  m_pageLabel = new QLabel(this);
  m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
  m_pageLabel->setAlignment(Qt::AlignCenter);
  m_status = new QLabel(tr("正在排版…"), this);
  m_status->setObjectName(QStringLiteral("previewStatus"));
  m_status->setWordWrap(true);
  m_export = makeButton(tr("导出…"), QStringLiteral("exportButton"));
  m_print = makeButton(tr("打印…"), QStringLiteral("printButton"));
  QPushButton* close = makeButton(tr("关闭"), ControlName(IDCANCEL));

  auto* paging = new QHBoxLayout;
  paging->addWidget(m_previous);
  paging->addWidget(m_pageLabel, 1);
  paging->addWidget(m_next);
  auto* preview = new QVBoxLayout;
  preview->addWidget(m_view, 1);
  preview->addLayout(paging);
  auto* choices = new QVBoxLayout;
  choices->addLayout(form);
  choices->addWidget(m_status);
  choices->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(choices);
  top->addLayout(preview, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_export);
  buttons->addWidget(m_print);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(buttons);

  m_restart.setSingleShot(true);
  m_restart.setInterval(kRestAfterChoiceMs);
  connect(&m_restart, &QTimer::timeout, this, &ExportBookDialog::StartPreview);
  connect(&m_watcher, &QFutureWatcher<void>::finished, this, &ExportBookDialog::PreviewEnded);
  connect(m_from, &QLineEdit::textChanged, this, &ExportBookDialog::ChoicesChanged);
  for (QComboBox* box : {m_layout, m_direction, m_paper, m_dates})
    connect(box, &QComboBox::currentIndexChanged, this, &ExportBookDialog::ChoicesChanged);
  connect(m_privateLiving, &QCheckBox::toggled, this, &ExportBookDialog::ChoicesChanged);
  connect(m_previous, &QPushButton::clicked, this, [this] { ShowPage(m_current - 1); });
  connect(m_next, &QPushButton::clicked, this, [this] { ShowPage(m_current + 1); });
  connect(m_export, &QPushButton::clicked, this, &ExportBookDialog::ExportPdf);
  connect(m_print, &QPushButton::clicked, this, &ExportBookDialog::PrintPages);
  connect(close, &QPushButton::clicked, this, &ExportBookDialog::reject);

  UpdateControls();
  ChoicesChanged();
}

ExportBookDialog::~ExportBookDialog() {
  StopPreview();
}

BookOptions ExportBookDialog::Options() const {
  BookOptions options = m_initial;
  options.fromName = m_from->text().trimmed();
  options.from = options.fromName.isEmpty()
                     ? nullptr
                     : m_genealogy.FindByName(options.fromName.toStdU16String());
  options.layout = DataOf<book::TableLayout>(m_layout);
  options.horizontal = m_direction->currentData().toInt() != 0;
  options.paper = DataOf<book::Paper>(m_paper);
  options.dates = DataOf<book::DateStyle>(m_dates);
  options.privateLiving = m_privateLiving->isChecked();
  return options;
}

bool ExportBookDialog::PreviewFinished() const {
  return m_finished;
}

QString ExportBookDialog::StatusText() const {
  return m_status->text();
}

QString ExportBookDialog::UnknownStartText() const {
  const QString name = m_from->text().trimmed();
  if (name.isEmpty() || m_genealogy.FindByName(name.toStdU16String())) return {};
  return book::BookWords::NoMember(name);
}

void ExportBookDialog::ChoicesChanged() {
  // The pages shown are no longer those of the choices: the typesetting
  // under way stops now, and nothing is printed until the new one has ended.
  if (m_job) m_job->stop = true;
  m_finished = false;
  m_truncated = false;
  m_error.clear();
  m_restart.start();
  UpdateControls();
}

void ExportBookDialog::StartPreview() {
  m_restart.stop();
  if (m_job && m_watcher.isRunning()) {
    // The typesetting under way stops at its next page; the new one starts
    // when it has (PreviewEnded), so that two never compete for the processor.
    m_job->stop = true;
    m_restartWanted = true;
    return;
  }
  m_pages = PageRecorder();
  m_current = -1;
  m_finished = false;
  m_truncated = false;
  m_error.clear();
  m_job.reset();
  m_view->Show(nullptr, -1, nullptr);

  // What the typesetting would refuse, said before it starts, in its words.
  m_error = UnknownStartText();
  if (m_error.isEmpty() && !m_genealogy.Root()) m_error = book::BookWords::EmptyBook();
  const QString fontFile =
      m_initial.fontFile.isEmpty() ? book::BookFont::DefaultFile() : m_initial.fontFile;
  if (m_error.isEmpty() && !m_font && (fontFile.isEmpty() || !QFileInfo::exists(fontFile)))
    m_error = book::BookWords::NoFont(fontFile);
  if (!m_error.isEmpty()) {
    m_finished = true;
    UpdateControls();
    emit previewFinished();
    return;
  }

  auto job = std::make_shared<Job>();
  job->font = m_font;
  m_job = job;
  const QString fontFamily =
      m_initial.fontFile.isEmpty() ? book::BookFont::DefaultFamily() : m_initial.fontFamily;
  const BookOptions options = Options();
  auto announce = [this, job] {
    QMetaObject::invokeMethod(
        this,
        [this, job] {
          if (job == m_job) TakePages();
        },
        Qt::QueuedConnection);
  };
  m_watcher.setFuture(QtConcurrent::run([genealogy = &m_genealogy, options, job, announce, fontFile,
                                         fontFamily, limit = g_previewPageLimit] {
    std::shared_ptr<const book::BookFont> font = job->font;
    if (!font) {
      font = book::BookFont::Load(fontFile, fontFamily, &job->error);
      if (!font) return;
      const QMutexLocker lock(&job->mutex);
      job->font = font;
    }
    PageHandOver sink(announce, job);
    job->pageCount =
        book::TypesetBook(*genealogy, options, *font, sink, &job->error, [&job, limit](int done) {
          if (done >= limit) job->truncated = true;
          return !job->stop && !job->truncated;
        });
  }));
  UpdateControls();
}

void ExportBookDialog::StopPreview() {
  m_restart.stop();
  m_restartWanted = false;
  if (!m_job) return;
  m_job->stop = true;
  m_watcher.waitForFinished();
}

void ExportBookDialog::TakePages() {
  std::vector<std::unique_ptr<PageRecorder>> ready;
  {
    const QMutexLocker lock(&m_job->mutex);
    ready.swap(m_job->ready);
    m_job->announced = false;
    if (!m_font) m_font = m_job->font;
  }
  for (const std::unique_ptr<PageRecorder>& page : ready)
    for (int i = 0; i < static_cast<int>(page->Pages().size()); ++i) page->Replay(i, m_pages);
  if (m_current < 0 && !m_pages.Pages().empty())
    ShowPage(0);
  else
    UpdateControls();
}

void ExportBookDialog::PreviewEnded() {
  if (!m_job) return;
  if (m_job->stop) {
    // Stopped for new choices, or by the close, which starts nothing.
    if (std::exchange(m_restartWanted, false)) StartPreview();
    return;
  }
  TakePages();
  {
    const QMutexLocker lock(&m_job->mutex);
    if (!m_font) m_font = m_job->font;
  }
  m_finished = true;
  m_truncated = m_job->truncated;
  if (m_job->pageCount < 0 && !m_truncated) m_error = m_job->error;
  UpdateControls();
  emit previewFinished();
}

void ExportBookDialog::ShowPage(int index) {
  const int count = static_cast<int>(m_pages.Pages().size());
  if (index < 0 || index >= count) return;
  m_current = index;
  m_view->Show(&m_pages, m_current, m_font);
  UpdateControls();
}

void ExportBookDialog::UpdateControls() {
  const int count = static_cast<int>(m_pages.Pages().size());
  m_pageLabel->setText(count > 0 ? tr("第%1页/共%2页").arg(m_current + 1).arg(count) : QString());
  m_previous->setEnabled(m_current > 0);
  m_next->setEnabled(m_current + 1 < count);
  const bool whole = m_finished && !m_truncated && m_error.isEmpty() && count > 0;
  m_print->setEnabled(whole);
  m_export->setEnabled(UnknownStartText().isEmpty() && m_genealogy.Root());
  if (!m_error.isEmpty())
    m_status->setText(m_error);
  else if (m_finished && m_truncated)
    m_status->setText(tr("预览只排了前%1页；全书请导出为 PDF 再打印。").arg(count));
  else if (m_finished)
    m_status->setText(tr("排版完毕，共%1页。").arg(count));
  else
    m_status->setText(tr("正在排版…"));
}

void ExportBookDialog::OnOK() {
  // Enter in a box shows its choice at once rather than ending the dialog.
  StartPreview();
}

void ExportBookDialog::OnCancel() {
  StopPreview();
  CDialog::OnCancel();
}

void ExportBookDialog::ExportPdf() {
  if (const QString unknown = UnknownStartText(); !unknown.isEmpty()) {
    ShowNotice(unknown);
    return;
  }
  QString path = RunFileDialog(this, FileDialogRequest{false, tr("PDF 文件 (*.pdf)")});
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  if (OutputIsInput(path, {m_bookFile})) {
    ShowNotice(OutputIsBookText(path));
    return;
  }
  const BookOptions options = Options();
  // The preview of the same choices knows how many pages there will be.
  const int total = m_finished && !m_truncated && m_error.isEmpty() && !m_restart.isActive()
                        ? static_cast<int>(m_pages.Pages().size())
                        : 0;
  QString error;
  bool written = false;
  const auto work = [&](const Progress& progress) {
    written = book::WriteBookPdf(m_genealogy, options, path, &error,
                                 [&progress, total](int done) { return progress(done, total); });
  };
  if (m_longWork) {
    if (!m_longWork(tr("正在导出谱书…"), work)) return;  // stopped: nothing was replaced
  } else {
    work([](int, int) { return true; });
  }
  if (!written) {
    ShowNotice(error);
    return;
  }
  ShowInformation(this, windowTitle(), tr("谱书已导出到 %1。").arg(QDir::toNativeSeparators(path)));
}

void ExportBookDialog::PrintPages() {
  const std::vector<book::DrawnPage>& pages = m_pages.Pages();
  if (!m_finished || m_truncated || !m_error.isEmpty() || pages.empty() || !m_font) return;
  const QSizeF first = pages.front().size;
  QPrinter printer(QPrinter::HighResolution);
  // The paper of the book's pages, with no margins of the printer's: the
  // pages carry their own.
  printer.setPageLayout(QPageLayout(
      QPageSize(
          QSizeF(std::min(first.width(), first.height()), std::max(first.width(), first.height())),
          QPageSize::Point),
      first.width() > first.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(0, 0, 0, 0)));
  printer.setDocName(windowTitle());
  printer.setFromTo(1, static_cast<int>(pages.size()));
  QPrintDialog dialog(&printer, this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange);
  if (dialog.exec() != QDialog::Accepted) return;
  int from = 0;
  int to = static_cast<int>(pages.size()) - 1;
  if (printer.printRange() == QPrinter::PageRange) {
    from = std::clamp(printer.fromPage() - 1, 0, to);
    to = std::clamp(printer.toPage() - 1, from, to);
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    ShowNotice(tr("无法打印谱书。"));
    return;
  }
  // One sink for every page: it makes the face ready once per size.
  book::PainterSink sink(painter, m_font);
  for (int i = from; i <= to; ++i) {
    if (i > from && !printer.newPage()) {
      ShowNotice(tr("无法打印谱书。"));
      return;
    }
    const QSizeF page = pages[static_cast<std::size_t>(i)].size;
    const QRectF paper = printer.pageRect(QPrinter::DevicePixel);
    if (page.isEmpty()) continue;
    const double scale = std::min(paper.width() / page.width(), paper.height() / page.height());
    painter.save();
    painter.translate((paper.width() - page.width() * scale) / 2,
                      (paper.height() - page.height() * scale) / 2);
    painter.scale(scale, scale);
    m_pages.Replay(i, sink);
    painter.restore();
  }
  painter.end();
}

void ExportBookDialog::SetPreviewPageLimitForTesting(int pages) {
  g_previewPageLimit = pages > 0 ? pages : kPreviewPageLimit;
}
