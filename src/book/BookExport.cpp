#include "book/BookExport.h"

#include "book/BookFont.h"
#include "book/Flow.h"
#include "book/PdfSink.h"
#include "document/AtomicSaveFile.h"

#include <QFileInfo>

#include <memory>

namespace book {

bool WriteBookPdf(const COperationClanbook& genealogy, const BookOptions& options,
                  const QString& file, QString* error,
                  const std::function<bool(int pagesDone)>& keepGoing) {
  const auto fail = [&](const QString& message) {
    if (error) *error = message;
    return false;
  };
  const QString fontFile = options.fontFile.isEmpty() ? BookFont::DefaultFile() : options.fontFile;
  const QString family = options.fontFamily.isEmpty() && options.fontFile.isEmpty()
                             ? BookFont::DefaultFamily()
                             : options.fontFamily;
  if (fontFile.isEmpty() || !QFileInfo::exists(fontFile)) return fail(BookWords::NoFont(fontFile));
  QString fontError;
  const std::shared_ptr<const BookFont> font = BookFont::Load(fontFile, family, &fontError);
  if (!font) return fail(fontError.isEmpty() ? BookWords::NoFont(fontFile) : fontError);
  // Written beside the target and put in its place whole: a failed or
  // stopped export leaves whatever file was there.
  AtomicSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly))
    return fail(BookWords::CannotWrite(file, WriteProblemReason(out.problem())));
  {
    PdfSink pdf(out, font, BookTitle(genealogy));
    if (TypesetBook(genealogy, options, *font, pdf, error, keepGoing) < 0) return false;
    QString pdfError;
    if (!pdf.Finish(&pdfError)) return fail(pdfError);
  }
  if (!out.commit()) return fail(BookWords::CannotWrite(file, WriteProblemReason(out.problem())));
  return true;
}

}  // namespace book
