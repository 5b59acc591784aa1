// What the sinks draw of a run of text: each character that takes a cell or
// an advance, one code point at a time. Format characters (the word joiner
// that keeps a name whole, zero-width spaces, a byte-order mark) and control
// characters draw nothing and take no place, so the PDF and the preview skip
// them alike.
#pragma once

#include <QString>

namespace book {

template <class Visit>
void ForEachDrawnCharacter(const QString& text, Visit&& visit) {
  const qsizetype length = text.size();
  for (qsizetype i = 0; i < length; ++i) {
    char32_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < length && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Other_Format || category == QChar::Other_Control) continue;
    visit(c);
  }
}

}  // namespace book
