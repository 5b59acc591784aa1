// The whole printed book: 封面, 谱序/凡例/家训 and the 字辈, 目录, the 世系图
// tables, the 世系录 (one 行传 a member, by 世) and the name index, each part
// on a new page, set page after page into a sink.
#pragma once

#include "book/BookOptions.h"
#include "book/PageSink.h"

#include <QString>

#include <functional>

class COperationClanbook;

namespace book {

class BookFont;

// Typesets the book of `genealogy` into `sink`; on A3-folded paper the sink
// gets the A3 sheets, two pages each. Returns the number of pages,
// or -1 with a sentence for the user in `error` (no such member, an empty
// book, or `keepGoing` said stop; it is asked with the pages done so far).
int TypesetBook(const COperationClanbook& genealogy, const BookOptions& options,
                const BookFont& font, PageSink& sink, QString* error,
                const std::function<bool(int pagesDone)>& keepGoing = {});

// Typesets the book into the PDF `file`, which is replaced only once it is
// whole. False with a sentence for the user when it could not be.
bool WriteBookPdf(const COperationClanbook& genealogy, const BookOptions& options,
                  const QString& file, QString* error,
                  const std::function<bool(int pagesDone)>& keepGoing = {});

}  // namespace book
