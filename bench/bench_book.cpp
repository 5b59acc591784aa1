// The printed book of a generated clan, timed:
//
//   QT_QPA_PLATFORM=offscreen bench_book [MEMBERS [OUT.pdf]]
//   QT_QPA_PLATFORM=offscreen bench_book --horizontal|--folded MEMBERS [OUT.pdf]
//
// (default 20000 members, each with a wife, a 字 and a 行传 of a hundred
// characters). It writes the whole PDF as the export does (WriteBookPdf) and
// then sets the book once more into a PDF with the pages timed as they go,
// for the rate of the 世系录 alone and the resident memory every so many
// pages (flat once the first pages are out: the book is streamed). Each
// figure is "name value [detail]".
#include "../tests/book/BookTestBooks.h"
#include "BenchTimer.h"
#include "book/BookExport.h"
#include "book/BookFont.h"
#include "book/Flow.h"
#include "book/PdfSink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace {

using clanbench::PeakMiB;
using clanbench::ResidentMiB;

// Passes everything on, noting when the 世系录 begins and ends.
class TimedSink : public book::PageSink {
public:
  explicit TimedSink(book::PageSink& out) : m_out(out) { m_timer.start(); }
  void BeginPage(QSizeF size) override {
    ++m_pages;
    if (m_pages % 500 == 0) std::printf("resident_at_page %d %.1f MiB\n", m_pages, ResidentMiB());
    m_out.BeginPage(size);
  }
  void VerticalText(const QString& t, QPointF p, double s) override { m_out.VerticalText(t, p, s); }
  void HorizontalText(const QString& t, QPointF p, double s) override {
    m_out.HorizontalText(t, p, s);
  }
  void TurnedText(const QString& t, QPointF p, double s) override { m_out.TurnedText(t, p, s); }
  void Line(QPointF a, QPointF b, double w) override { m_out.Line(a, b, w); }
  void Box(const QRectF& r, double w) override { m_out.Box(r, w); }
  void Bookmark(const QString& title, int level) override {
    if (level == 0 && title == book::BookWords::Records()) {
      m_recordsFrom = m_pages;
      m_recordsStart = m_timer.nsecsElapsed();
    } else if (level == 0 && title == book::BookWords::Index()) {
      m_recordsTo = m_pages;
      m_recordsEnd = m_timer.nsecsElapsed();
    }
    m_out.Bookmark(title, level);
  }
  void EndPage() override { m_out.EndPage(); }

  double RecordsRate() const {
    const double seconds = (m_recordsEnd - m_recordsStart) / 1e9;
    return seconds > 0 ? (m_recordsTo - m_recordsFrom) / seconds : 0;
  }
  int RecordPages() const { return m_recordsTo - m_recordsFrom; }

private:
  book::PageSink& m_out;
  QElapsedTimer m_timer;
  int m_pages = 0;
  int m_recordsFrom = 0, m_recordsTo = 0;
  qint64 m_recordsStart = 0, m_recordsEnd = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  book::BookOptions options;
  if (!args.isEmpty() && args.front() == QStringLiteral("--horizontal")) {
    options.horizontal = true;
    args.removeFirst();
  } else if (!args.isEmpty() && args.front() == QStringLiteral("--folded")) {
    options.paper = book::Paper::kA3Folded;
    args.removeFirst();
  }
  const int members = args.isEmpty() ? 20000 : args[0].toInt();
  const QString out = args.size() > 1 ? args[1] : QStringLiteral("/tmp/bench_book.pdf");
  if (members < 1) {
    std::fprintf(stderr, "bench_book: MEMBERS must be a positive number\n");
    return 2;
  }
  QElapsedTimer timer;
  timer.start();
  COperationClanbook genealogy;
  booktest::MakeLargeBook(genealogy, members);
  std::printf("generate %.3f s, %d members, %.1f MiB resident\n", timer.nsecsElapsed() / 1e9,
              genealogy.CountMembers(), ResidentMiB());

  timer.restart();
  int pages = 0;
  QString error;
  const bool written = book::WriteBookPdf(genealogy, options, out, &error, [&](int done) {
    pages = done;
    return true;
  });
  const double seconds = timer.nsecsElapsed() / 1e9;
  if (!written) {
    std::fprintf(stderr, "bench_book: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  ++pages;  // the last page is never followed by a question
  std::printf("write_book_pdf %.3f s, %d pages, %.1f pages/s, %.1f MiB file, peak %.1f MiB\n",
              seconds, pages, pages / seconds, QFileInfo(out).size() / (1024.0 * 1024.0),
              PeakMiB());

  // Once more, timed page by page.
  const auto font =
      book::BookFont::Load(book::BookFont::DefaultFile(), book::BookFont::DefaultFamily(), &error);
  QFile file(out + QStringLiteral(".again"));
  if (!font || !file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "bench_book: cannot set the book again\n");
    return 1;
  }
  {
    book::PdfSink pdf(file, font, QStringLiteral("bench"));
    TimedSink timed(pdf);
    book::TypesetBook(genealogy, options, *font, timed, &error);
    pdf.Finish(&error);
    std::printf("records %.1f pages/s over %d pages\n", timed.RecordsRate(), timed.RecordPages());
  }
  file.remove();
  std::printf("peak_resident %.1f MiB\n", PeakMiB());
  return 0;
}
