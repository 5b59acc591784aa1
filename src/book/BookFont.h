// The face the book is set in: a TrueType face (a .ttf, or one face of a
// .ttc) read once, whose metrics the layout measures with and whose glyphs
// the PDF embeds as a subset and the preview draws. TrueType outlines only:
// a subset of them is a matter of leaving glyphs out, where a CFF face (Noto
// Serif CJK) would need its charstrings rewritten.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace book {

class BookFont {
public:
  // The face of `file` whose family name is `family` (any name the face
  // gives itself; the first face when empty). Nothing, and `error` set to a
  // sentence for the user, when the file cannot be read or holds no such
  // TrueType face.
  static std::shared_ptr<const BookFont> Load(const QString& file, const QString& family,
                                              QString* error);
  // The serif (明体) face the book is set in unless told otherwise, found in
  // the usual places of a Debian system; empty when none is installed.
  // DefaultFamily() is the face to take from DefaultFile(): AR PL UMing CN
  // from fonts-arphic-uming, empty (the first face) from the others.
  static QString DefaultFile();
  static QString DefaultFamily();

  ~BookFont();
  BookFont(const BookFont&) = delete;
  BookFont& operator=(const BookFont&) = delete;

  QString Family() const;
  bool Has(char32_t c) const;
  // The horizontal advance of `c` in em (0 when the face lacks it).
  double Advance(char32_t c) const;

  // For the sinks.
  int UnitsPerEm() const;
  std::uint16_t Glyph(char32_t c) const;          // 0 when the face lacks it
  std::uint16_t VerticalGlyph(char32_t c) const;  // its vertical form, else Glyph(c)
  // A TrueType font of this face keeping only `glyphs` (and the parts
  // composite glyphs are made of), every other glyph empty, glyph ids kept.
  QByteArray Subset(const std::vector<std::uint16_t>& glyphs) const;
  // The face alone as a TrueType file, for QRawFont.
  QByteArray FaceBytes() const;

  // For the sinks: a glyph's horizontal advance in em, the number of glyphs,
  // the face's PostScript name, and the top of the em box above the
  // baseline in em (an upright column's glyphs hang from it, so the em box
  // fills the character's cell).
  double GlyphAdvance(std::uint16_t glyph) const;
  int GlyphCount() const;
  QString PostScriptName() const;
  double Ascent() const;

  struct Data;

private:
  explicit BookFont(std::unique_ptr<Data> data);
  std::unique_ptr<Data> m_data;
};

}  // namespace book
