// 文件 → 导出谱书…: the choices of the printed book (from whom, which tables,
// vertical or horizontal, which paper and dates, the living kept private) and
// a preview of its pages, typeset in the background so that the window goes
// on painting whatever the size of the book; a new choice starts it again.
// 导出… writes the PDF as the window runs long work, 打印… replays the
// previewed pages onto a printer.
#pragma once

#include "book/BookOptions.h"
#include "book/PageRecorder.h"
#include "platform/CDialog.h"

#include <QFutureWatcher>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class COperationClanbook;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace book {
class BookFont;
}

// One page of the preview, drawn through the book's own painter sink, the
// page scaled to fit the widget.
class BookPageView : public QWidget {
  Q_OBJECT
public:
  explicit BookPageView(QWidget* parent = nullptr);
  // Shows page `index` of `pages` in `font`; none: an empty view.
  void Show(const book::PageRecorder* pages, int index, std::shared_ptr<const book::BookFont> font);
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  const book::PageRecorder* m_pages = nullptr;
  int m_index = -1;
  std::shared_ptr<const book::BookFont> m_font;
};

class ExportBookDialog : public CDialog {
  Q_OBJECT
public:
  // Reports pages done of `total` (0: not known yet); false once the user
  // asked to stop.
  using Progress = std::function<bool(int done, int total)>;
  // Runs `work` as the window runs work that takes seconds (a wait dialog
  // holding the input, with Cancel); false when it was stopped or failed.
  using LongWork =
      std::function<bool(const QString& label, const std::function<void(const Progress&)>& work)>;

  // `initial` gives the first choices (its `from`: the member preselected)
  // and what the dialog does not ask (the 字辈 beside the book, the face).
  // `bookFile` is the open book's file, which the PDF may never replace.
  // The genealogy must outlive the dialog and stay unchanged while it is open
  // (the dialog is modal). Without `longWork` the export runs in place.
  ExportBookDialog(const COperationClanbook& genealogy, const QString& bookFile,
                   const book::BookOptions& initial, LongWork longWork = {},
                   QWidget* parent = nullptr);
  ~ExportBookDialog() override;

  // The book as the boxes ask for it; `from` stays empty for an unknown name.
  book::BookOptions Options() const;
  // The pages typeset so far, the page shown, and whether the typesetting
  // has ended (the preview keeps the first 2000 pages of a longer book).
  const book::PageRecorder& PreviewPages() const { return m_pages; }
  int CurrentPage() const { return m_current; }
  bool PreviewFinished() const;
  // What the line under the preview says.
  QString StatusText() const;

  // For tests: the preview stops after `pages` pages (0: the usual limit).
  static void SetPreviewPageLimitForTesting(int pages);

  // Asks for a file and writes the PDF there; 导出… does this.
  void ExportPdf();
  // Asks for a printer and prints the pages; 打印… does this.
  void PrintPages();

  // One typesetting of the preview, shared with the worker running it.
  struct Job;

signals:
  // The typesetting of the preview has ended (whole, or with an error).
  void previewFinished();

protected:
  void OnOK() override;
  void OnCancel() override;

private:
  // A choice changed: the preview starts again once the choices rest.
  void ChoicesChanged();
  void StartPreview();
  // Stops the running typesetting and waits for it.
  void StopPreview();
  // Takes the pages the background has finished since last time.
  void TakePages();
  void PreviewEnded();
  void ShowPage(int index);
  void UpdateControls();
  // The start member's name is no member's: the sentence saying so, else empty.
  QString UnknownStartText() const;

  const COperationClanbook& m_genealogy;
  QString m_bookFile;
  book::BookOptions m_initial;
  LongWork m_longWork;

  QLineEdit* m_from = nullptr;
  QComboBox* m_layout = nullptr;
  QComboBox* m_direction = nullptr;
  QComboBox* m_paper = nullptr;
  QComboBox* m_dates = nullptr;
  QCheckBox* m_privateLiving = nullptr;
  BookPageView* m_view = nullptr;
  QLabel* m_pageLabel = nullptr;
  QLabel* m_status = nullptr;
  QPushButton* m_previous = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_export = nullptr;
  QPushButton* m_print = nullptr;

  // The choices rest for a moment before the book is typeset again, so that
  // paging through a box's choices starts one typesetting, not one each.
  QTimer m_restart;
  std::shared_ptr<Job> m_job;
  QFutureWatcher<void> m_watcher;
  book::PageRecorder m_pages;
  std::shared_ptr<const book::BookFont> m_font;
  int m_current = -1;
  bool m_finished = false;
  bool m_truncated = false;  // the book is longer than the preview keeps
  // The typesetting under way was stopped for new choices: start again once it has ended.
  bool m_restartWanted = false;
  QString m_error;
};
