#include "book/SfntData.h"

#include <algorithm>

namespace book::sfnt {

void PutU16(QByteArray& out, std::uint16_t value) {
  out.append(char(value >> 8));
  out.append(char(value & 0xff));
}

void PutU32(QByteArray& out, std::uint32_t value) {
  PutU16(out, std::uint16_t(value >> 16));
  PutU16(out, std::uint16_t(value & 0xffff));
}

void SetU16(QByteArray& out, int offset, std::uint16_t value) {
  out[offset] = char(value >> 8);
  out[offset + 1] = char(value & 0xff);
}

void SetU32(QByteArray& out, int offset, std::uint32_t value) {
  SetU16(out, offset, std::uint16_t(value >> 16));
  SetU16(out, offset + 2, std::uint16_t(value & 0xffff));
}

namespace {

std::uint32_t Checksum(const char* data, qsizetype length) {
  std::uint32_t sum = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  qsizetype i = 0;
  for (; i + 4 <= length; i += 4)
    sum += (std::uint32_t(bytes[i]) << 24) | (std::uint32_t(bytes[i + 1]) << 16) |
           (std::uint32_t(bytes[i + 2]) << 8) | std::uint32_t(bytes[i + 3]);
  std::uint32_t last = 0;
  for (int shift = 24; i < length; ++i, shift -= 8) last |= std::uint32_t(bytes[i]) << shift;
  return sum + last;
}

}  // namespace

QByteArray AssembleSfnt(std::vector<std::pair<std::uint32_t, QByteArray>> tables) {
  std::sort(tables.begin(), tables.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  const auto count = std::uint16_t(tables.size());
  std::uint16_t entrySelector = 0;
  while ((2u << entrySelector) <= count) ++entrySelector;
  const std::uint16_t searchRange = std::uint16_t(16u << entrySelector);

  QByteArray out;
  PutU32(out, 0x00010000);
  PutU16(out, count);
  PutU16(out, searchRange);
  PutU16(out, entrySelector);
  PutU16(out, std::uint16_t(count * 16 - searchRange));
  const int directory = int(out.size());
  out.append(QByteArray(count * 16, '\0'));

  int headOffset = -1;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    auto& [tag, bytes] = tables[i];
    if (tag == Tag("head")) {
      if (bytes.size() >= 12) SetU32(bytes, 8, 0);  // summed as zero, set below
      headOffset = int(out.size());
    }
    const int entry = directory + int(i) * 16;
    SetU32(out, entry, tag);
    SetU32(out, entry + 4, Checksum(bytes.constData(), bytes.size()));
    SetU32(out, entry + 8, std::uint32_t(out.size()));
    SetU32(out, entry + 12, std::uint32_t(bytes.size()));
    out.append(bytes);
    while (out.size() % 4) out.append('\0');
  }
  if (headOffset >= 0 && out.size() >= headOffset + 12)
    SetU32(out, headOffset + 8, 0xB1B0AFBAu - Checksum(out.constData(), out.size()));
  return out;
}

}  // namespace book::sfnt
