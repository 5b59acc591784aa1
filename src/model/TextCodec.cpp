#include "model/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace textcodec {

namespace {

bool IsHighSurrogate(std::uint32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Writes one code point as UTF-8 (one to four bytes); returns the end.
char* WriteCodePoint(char* out, std::uint32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace

char* WriteUtf8(char* out, std::u16string_view text, bool& plain) {
  const std::size_t n = text.size();
  bool clean = true;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t u = text[i];
    // Chinese characters first: they are most of a genealogy's text.
    if (u >= 0x800 && !IsHighSurrogate(u) && !IsLowSurrogate(u)) {
      out[0] = static_cast<char>(0xE0 | (u >> 12));
      out[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out[2] = static_cast<char>(0x80 | (u & 0x3F));
      out += 3;
      continue;
    }
    if (u < 0x80) {
      clean &= u > 0x20;
      *out++ = static_cast<char>(u);
      continue;
    }
    if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      clean = false;
      u = 0xFFFD;
    }
    out = WriteCodePoint(out, u);
  }
  plain = plain && clean;
  return out;
}

char* WriteUtf8(char* out, std::u16string_view text) {
  bool plain = true;
  return WriteUtf8(out, text, plain);
}

std::string ToUtf8(std::u16string_view text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<std::size_t>(WriteUtf8(out.data(), text) - out.data()));
  return out;
}

bool IsWellFormed(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
      ++i;
    else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
      return false;
  }
  return true;
}

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Most of a genealogy file is digits and blanks: skip ASCII eight at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080ull) break;
      p += 8;
    }
    if (p >= end) break;
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int length;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (end - p < length) return false;
    for (int k = 1; k < length; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[k] & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond U+10FFFF are refused.
    if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    p += length;
  }
  return true;
}

namespace {

// Decodes into [to, limit), which must hold min(bytes, maxUnits) units, and
// sets `to` past the last unit written.
Decoded DecodeUtf8Into(std::string_view bytes, char16_t*& to, char16_t* const limit) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  Decoded result = Decoded::kText;
  while (p < end) {
    const unsigned char c = *p;
    std::uint32_t cp;
    if (c < 0x80) {
      cp = c;
      p += 1;
    } else if (c >= 0xE0 && c <= 0xEF && end - p >= 3) {  // most Chinese characters
      const unsigned char b1 = p[1], b2 = p[2];
      if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80 || (c == 0xE0 && b1 < 0xA0) ||
          (c == 0xED && b1 >= 0xA0)) {
        result = Decoded::kMalformed;
        break;
      }
      cp = ((c & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      p += 3;
    } else if (c >= 0xC2 && c <= 0xDF && end - p >= 2) {
      if ((p[1] & 0xC0) != 0x80) {
        result = Decoded::kMalformed;
        break;
      }
      cp = ((c & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      p += 2;
    } else if (c >= 0xF0 && c <= 0xF4 && end - p >= 4) {
      if ((p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80 || (p[3] & 0xC0) != 0x80) {
        result = Decoded::kMalformed;
        break;
      }
      cp = ((c & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
      if (cp < 0x10000 || cp > 0x10FFFF) {
        result = Decoded::kMalformed;
        break;
      }
      p += 4;
    } else {
      result = Decoded::kMalformed;
      break;
    }
    const std::size_t units = cp < 0x10000 ? 1 : 2;
    if (static_cast<std::size_t>(limit - to) < units) {
      // Too long only if the rest is text at all.
      result = IsUtf8(bytes.substr(static_cast<std::size_t>(
                   p - reinterpret_cast<const unsigned char*>(bytes.data()))))
                   ? Decoded::kTooLong
                   : Decoded::kMalformed;
      break;
    }
    if (units == 1) {
      *to++ = static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      *to++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *to++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
  }
  return result;
}

}  // namespace

Decoded DecodeUtf8(std::string_view bytes, std::u16string& out, std::size_t maxUnits) {
  // No character takes fewer bytes than code units: room for every unit up
  // to the limit at once, instead of a test of the capacity for each. A
  // short text (a name) goes through the stack, so that one that fits in
  // the string itself takes no memory from the heap.
  const std::size_t room = std::min(bytes.size(), maxUnits);
  constexpr std::size_t kShort = 64;
  if (room <= kShort) {
    char16_t units[kShort];
    char16_t* to = units;
    const Decoded result = DecodeUtf8Into(bytes, to, units + room);
    out.assign(units, static_cast<std::size_t>(to - units));
    return result;
  }
  out.resize(room);
  char16_t* to = out.data();
  const Decoded result = DecodeUtf8Into(bytes, to, out.data() + room);
  out.resize(static_cast<std::size_t>(to - out.data()));
  return result;
}

std::string Printable(std::string_view utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == '\n') {
      text += "\\n";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c == '\t') {
      text += "\\t";
    } else if (c == '\\') {
      text += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    } else if (c == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      const auto code = static_cast<unsigned char>(utf8[++i]);
      text += "\\u00";
      text += kHex[code >> 4];
      text += kHex[code & 15];
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

}  // namespace textcodec
