#include "book/LifeRecordText.h"

#include "book/LifeRecord.h"

namespace book {

namespace {

bool Invisible(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x200B || c == 0xFEFF || c == kNameJoiner;
}

bool Latin(char32_t c) {
  return c > 0x20 && c < 0x3000;
}

}  // namespace

QString Clean(const QString& text) {
  QString out;
  out.reserve(text.size());
  bool gap = false;  // a line break or tab stood here
  char32_t last = 0;
  for (const char32_t c : text.toUcs4()) {
    if (Invisible(c)) {
      gap = gap || c == u'\n' || c == u'\r' || c == u'\t' || c == 0x0B || c == 0x0C;
      continue;
    }
    if (gap && Latin(last) && Latin(c)) out += u' ';
    gap = false;
    out += QString::fromUcs4(&c, 1);
    last = c;
  }
  return out;
}

QString Clean(const std::u16string& text) {
  return Clean(QString::fromStdU16String(text));
}

QString Joined(const QString& name) {
  QString out;
  out.reserve(name.size() * 2);
  for (qsizetype i = 0; i < name.size(); ++i) {
    const QChar c = name.at(i);
    if (c == QChar(kNameJoiner)) continue;
    if (!out.isEmpty() && !c.isLowSurrogate()) out += QChar(kNameJoiner);
    out += c;
  }
  return out;
}

bool InChinese() {
  return LifeRecord::tr("汉字",
                        "How this language writes the printed book: 汉字 for Chinese words and "
                        "numerals; anything else for its own words and Arabic digits") ==
         QStringView(u"汉字");
}

}  // namespace book
