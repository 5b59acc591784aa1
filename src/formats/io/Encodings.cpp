#include "formats/io/Encodings.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "model/TextCodec.h"

namespace textcodec {

bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char16_t {
    return static_cast<char16_t>(bigEndian ? (std::uint32_t{p[2 * i]} << 8) | p[2 * i + 1]
                                           : (std::uint32_t{p[2 * i + 1]} << 8) | p[2 * i]);
  };
  auto high = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
  auto low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
  out.clear();
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i < n; ++i) {
    char16_t units[2] = {unit(i), 0};
    std::size_t count = 1;
    if (high(units[0]) && i + 1 < n && low(unit(i + 1))) {
      units[1] = unit(++i);
      count = 2;
    } else if (high(units[0]) || low(units[0])) {
      return false;
    }
    char encoded[8];
    out.append(encoded, WriteUtf8(encoded, std::u16string_view(units, count)));
  }
  return true;
}

bool Gb18030ToUtf8(std::string_view bytes, std::string& out) {
  out.clear();
  // Four UTF-8 bytes at most for each GB18030 character of two or four bytes,
  // three for a two-byte one: twice the input is always enough. Allocated
  // before the converter is opened, so that running out of memory leaves
  // nothing open.
  out.resize(bytes.size() * 2 + 16);
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  struct Closer {
    iconv_t cd;
    ~Closer() { iconv_close(cd); }
  } closer{cd};
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  bool ok = true;
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
        continue;
      }
      ok = false;  // EILSEQ or a truncated character at the end (EINVAL)
      break;
    }
  }
  if (!ok) return false;
  out.resize(static_cast<std::size_t>(outPtr - out.data()));
  return true;
}

}  // namespace textcodec
