#include "book/PdfSyntax.h"

#include <QChar>

#include <charconv>
#include <cmath>

namespace book::pdfsyntax {

// A number as a PDF writes it: at most three decimals, no trailing zeros.
void AppendNumber(QByteArray& out, double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[48];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  if (ec != std::errc()) {
    out.append('0');
    return;
  }
  char* last = end;
  while (last > buffer && last[-1] == '0') --last;
  if (last > buffer && last[-1] == '.') --last;
  if (last - buffer == 2 && buffer[0] == '-' && buffer[1] == '0') {  // -0
    out.append('0');
    return;
  }
  out.append(buffer, last - buffer);
}

// Numbers separated by spaces.
void AppendNumbers(QByteArray& out, std::initializer_list<double> values) {
  bool first = true;
  for (const double value : values) {
    if (!first) out.append(' ');
    first = false;
    AppendNumber(out, value);
  }
}

void AppendHex4(QByteArray& out, std::uint16_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  const char hex[4] = {kDigits[value >> 12], kDigits[(value >> 8) & 15], kDigits[(value >> 4) & 15],
                       kDigits[value & 15]};
  out.append(hex, 4);
}

// A character as UTF-16BE hex digits (a surrogate pair beyond the BMP).
void AppendUtf16Hex(QByteArray& out, char32_t c) {
  if (c >= 0x10000) {
    AppendHex4(out, QChar::highSurrogate(c));
    AppendHex4(out, QChar::lowSurrogate(c));
  } else {
    AppendHex4(out, std::uint16_t(c));
  }
}

// A text string for the outline and the document information: UTF-16BE
// with its byte-order mark, written in hex.
QByteArray TextString(const QString& text) {
  QByteArray out("<FEFF");
  for (const QChar c : text) AppendHex4(out, c.unicode());
  out.append('>');
  return out;
}

// A Flate stream's body: qCompress is a zlib stream behind a 4-byte length.
QByteArray Deflate(const QByteArray& data) {
  return qCompress(data).mid(4);
}

// A PDF name from a font's name: delimiters and unprintables left out.
QByteArray NameOf(const QString& text) {
  QByteArray name;
  for (const char c : text.toLatin1()) {
    if (c <= ' ' || c > '~' || QByteArray("()<>[]{}/%#").contains(c)) continue;
    name.append(c);
  }
  return name.isEmpty() ? QByteArray("BookFace") : name;
}

}  // namespace book::pdfsyntax
