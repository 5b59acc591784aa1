// How the PDF writer spells what it writes: numbers, hex, text strings,
// names and compressed stream bodies.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>

namespace book::pdfsyntax {

// A number as a PDF writes it: at most three decimals, no trailing zeros.
void AppendNumber(QByteArray& out, double value);
// Numbers separated by spaces.
void AppendNumbers(QByteArray& out, std::initializer_list<double> values);
void AppendHex4(QByteArray& out, std::uint16_t value);
// A character as UTF-16BE hex digits (a surrogate pair beyond the BMP).
void AppendUtf16Hex(QByteArray& out, char32_t c);
// A text string for the outline and the document information: UTF-16BE
// with its byte-order mark, written in hex.
QByteArray TextString(const QString& text);
// A Flate stream's body: qCompress is a zlib stream behind a 4-byte length.
QByteArray Deflate(const QByteArray& data);
// A PDF name from a font's name: delimiters and unprintables left out.
QByteArray NameOf(const QString& text);

}  // namespace book::pdfsyntax
