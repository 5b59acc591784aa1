// GEDCOM text: the encodings a file declares or shows, decoded to UTF-8.
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "formats/io/Encodings.h"
#include "model/TextCodec.h"

namespace gedcom::detail {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
  char buffer[4];
  char* end = buffer;
  if (cp < 0x80) {
    *end++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *end++ = static_cast<char>(0xC0 | (cp >> 6));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *end++ = static_cast<char>(0xE0 | (cp >> 12));
    *end++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *end++ = static_cast<char>(0xF0 | (cp >> 18));
    *end++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *end++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *end++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  for (const char* b = buffer; b != end; ++b) out.push_back(*b);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One line of the header, read from bytes in any ASCII-compatible encoding.
struct RawLine {
  int level = -1;
  std::string_view tag, value;
};

RawLine ParseRawLine(std::string_view line) {
  RawLine r;
  line = Trim(line);
  std::size_t i = 0;
  int level = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i < 3)
    level = level * 10 + (line[i++] - '0');
  if (i == 0 || i >= line.size() || line[i] != ' ') return r;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '@') {
    const std::size_t close = line.find("@ ", i + 1);
    if (close == std::string_view::npos) return r;
    i = close + 2;
  }
  const std::size_t space = line.find(' ', i);
  r.tag = line.substr(i, space == std::string_view::npos ? std::string_view::npos : space - i);
  r.value = space == std::string_view::npos ? std::string_view() : Trim(line.substr(space + 1));
  r.level = level;
  return r;
}

// The declared character set and version, from the header of a file in an
// ASCII-compatible encoding.
void ReadHeader(std::string_view bytes, std::string& charset, std::string& version) {
  bytes = bytes.substr(0, std::min<std::size_t>(bytes.size(), 1 << 20));
  std::string_view level1;
  bool first = true;
  while (!bytes.empty()) {
    std::size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) end = bytes.size();
    const RawLine line = ParseRawLine(bytes.substr(0, end));
    bytes.remove_prefix(std::min(bytes.size(), end + 1));
    if (line.level < 0) continue;
    if (line.level == 0 && !first) return;
    first = false;
    if (line.level == 1) {
      level1 = line.tag;
      if (line.tag == "CHAR") charset = std::string(line.value);
    } else if (line.level == 2 && level1 == "GEDC" && line.tag == "VERS") {
      version = std::string(line.value);
    }
  }
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
  static constexpr std::uint16_t kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) {
    if (c < 0x80)
      out.push_back(static_cast<char>(c));
    else if (c < 0xA0)
      AppendCodePoint(out, kHigh[c - 0x80]);
    else
      AppendCodePoint(out, c);
  }
  return out;
}

std::string AnselToUtf8(std::string_view bytes) {
  // Special letters and signs 0xA1-0xCF; 0 marks an unassigned byte.
  static constexpr std::uint16_t kSpecial[0x2F] = {
      0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, 0x00B7, 0x266D, 0x00AE,  // A1-AA
      0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,      0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE,  // AB-B4
      0x00E6, 0x0153, 0x02BA, 0x0131, 0x00A3, 0x00F0, 0,      0x01A1, 0x01B0, 0x25A1,  // B5-BE
      0x25A0, 0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, 0x20AC,  // BF-C8
      0,      0,      0,      0,      0x0065, 0x006F, 0x00DF};                         // C9-CF
  // Combining marks 0xE0-0xFE.
  static constexpr std::uint16_t kCombining[0x1F] = {
      0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, 0x0308, 0x030C, 0x030A,
      0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, 0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333,
      0x0332, 0x0326, 0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313};
  struct Compose {
    std::uint16_t mark;
    std::uint16_t letter;
    std::uint16_t composed;
  };
  static constexpr Compose kCompose[] = {
#include "formats/gedcom/AnselCompose.inc"
  };
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  std::uint16_t marks[8];
  int pending = 0;
  for (unsigned char c : bytes) {
    if (c >= 0xE0 && c <= 0xFE && kCombining[c - 0xE0] != 0) {
      if (pending < 8) marks[pending++] = kCombining[c - 0xE0];
      continue;
    }
    std::uint32_t base;
    if (c < 0x80)
      base = c;
    else if (c >= 0xA1 && c <= 0xCF && kSpecial[c - 0xA1] != 0)
      base = kSpecial[c - 0xA1];
    else
      base = 0xFFFD;
    // A mark before a line break has nothing to sit on: it stands alone.
    if (pending > 0 && (c == '\r' || c == '\n')) {
      for (int i = 0; i < pending; ++i) AppendCodePoint(out, marks[i]);
      pending = 0;
    }
    int used = 0;
    if (pending > 0 && base < 0x80) {
      const Compose key{marks[0], static_cast<std::uint16_t>(base), 0};
      const auto* found = std::lower_bound(
          std::begin(kCompose), std::end(kCompose), key, [](const Compose& a, const Compose& b) {
            return a.mark != b.mark ? a.mark < b.mark : a.letter < b.letter;
          });
      if (found != std::end(kCompose) && found->mark == key.mark && found->letter == key.letter) {
        base = found->composed;
        used = 1;
      }
    }
    AppendCodePoint(out, base);
    for (int i = used; i < pending; ++i) AppendCodePoint(out, marks[i]);
    pending = 0;
  }
  for (int i = 0; i < pending; ++i) AppendCodePoint(out, marks[i]);
  return out;
}

GedcomResult Decode(std::string_view bytes, DecodedText& out) {
  out = DecodedText{};
  auto fail = [](std::string detail) {
    return GedcomResult{GedcomError::kNotText, 0, std::move(detail)};
  };
  std::string charset;
  const auto u = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool utf16 = false, bigEndian = false;
  std::string_view body = bytes;
  if (bytes.size() >= 3 && u(0) == 0xEF && u(1) == 0xBB && u(2) == 0xBF) {
    body.remove_prefix(3);
    out.encoding = "UTF-8";
  } else if (bytes.size() >= 2 &&
             ((u(0) == 0xFF && u(1) == 0xFE) || (u(0) == 0xFE && u(1) == 0xFF))) {
    utf16 = true;
    bigEndian = u(0) == 0xFE;
    body.remove_prefix(2);
  } else if (bytes.size() >= 2 && ((u(0) == '0' && u(1) == 0) || (u(0) == 0 && u(1) == '0'))) {
    // UTF-16 without its mark still starts with "0 HEAD".
    utf16 = true;
    bigEndian = u(0) == 0;
  }
  if (utf16) {
    out.encoding = bigEndian ? "UTF-16BE" : "UTF-16LE";
    if (!textcodec::Utf16ToUtf8(body, bigEndian, out.storage))
      return fail("the file is no well-formed " + out.encoding + " text");
    std::string_view text = out.storage;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    out.text = text;
    ReadHeader(out.text, charset, out.version);
    return {};
  }
  ReadHeader(body, charset, out.version);
  std::string upper;
  for (char c : charset) upper.push_back(Upper(c));
  const bool isUtf8 = textcodec::IsUtf8(body);
  if (!out.encoding.empty() || upper == "UTF-8" || upper == "UTF8" || upper == "UNICODE" ||
      out.version.rfind("7.", 0) == 0) {
    // A byte-order mark, a declaration or version 7 (always UTF-8) settle it.
    if (!isUtf8) return fail("the file declares UTF-8 but holds bytes that are no UTF-8");
    out.encoding = "UTF-8";
    out.text = body;
    return {};
  }
  if (upper == "GB2312" || upper == "GBK" || upper == "GB18030" || upper == "CP936") {
    if (!textcodec::Gb18030ToUtf8(body, out.storage))
      return fail("the file declares " + charset + " but holds bytes that are no GB18030");
    out.encoding = "GB18030";
    out.text = out.storage;
    return {};
  }
  if (upper == "ANSEL" || (upper.empty() && !isUtf8)) {
    // ANSEL is the default of GEDCOM 5.5; but a file without a declaration
    // whose bytes are all UTF-8 is far more likely UTF-8.
    out.storage = AnselToUtf8(body);
    out.encoding = "ANSEL";
    out.text = out.storage;
    return {};
  }
  if (isUtf8) {
    // ASCII is UTF-8; so is a file that says ANSI but holds only UTF-8.
    out.encoding = "UTF-8";
    out.text = body;
    return {};
  }
  out.storage = Windows1252ToUtf8(body);
  out.encoding = "Windows-1252";
  out.text = out.storage;
  return {};
}

std::u16string ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    std::uint32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
    bool ok = extra > 0 && c <= 0xF4;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + static_cast<std::size_t>(k) >= n) {
        ok = false;
        break;
      }
      const unsigned char t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    static constexpr std::uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace gedcom::detail
