// Reading and writing the bytes of an sfnt (TrueType) file. The font file is
// input from the disk, so every read is bounds-checked: a read past the end
// of what was given throws SfntMalformed naming the table it was reading,
// which the loader turns into a sentence for the user.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace book::sfnt {

struct SfntMalformed {
  std::string table;  // the table being read, for the user's error
};

constexpr std::uint32_t Tag(const char (&t)[5]) {
  return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16) |
         (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint32_t(std::uint8_t(t[3]));
}

// A bounds-checked window on the bytes of one table (or of the whole file).
class Span {
public:
  Span() = default;
  Span(const char* data, std::uint64_t size, const char* table)
      : m_data(reinterpret_cast<const std::uint8_t*>(data)), m_size(size), m_table(table) {}

  std::uint64_t Size() const { return m_size; }
  const char* Data() const { return reinterpret_cast<const char*>(m_data); }
  const char* Table() const { return m_table; }

  void Need(std::uint64_t offset, std::uint64_t length) const {
    if (offset > m_size || length > m_size - offset) throw SfntMalformed{m_table};
  }
  std::uint8_t U8(std::uint64_t offset) const {
    Need(offset, 1);
    return m_data[offset];
  }
  std::uint16_t U16(std::uint64_t offset) const {
    Need(offset, 2);
    return std::uint16_t((m_data[offset] << 8) | m_data[offset + 1]);
  }
  std::int16_t S16(std::uint64_t offset) const { return std::int16_t(U16(offset)); }
  std::uint32_t U32(std::uint64_t offset) const {
    Need(offset, 4);
    return (std::uint32_t(m_data[offset]) << 24) | (std::uint32_t(m_data[offset + 1]) << 16) |
           (std::uint32_t(m_data[offset + 2]) << 8) | std::uint32_t(m_data[offset + 3]);
  }
  Span Sub(std::uint64_t offset, std::uint64_t length) const {
    Need(offset, length);
    return Span(Data() + offset, length, m_table);
  }
  Span From(std::uint64_t offset) const {
    Need(offset, 0);
    return Span(Data() + offset, m_size - offset, m_table);
  }

private:
  const std::uint8_t* m_data = nullptr;
  std::uint64_t m_size = 0;
  const char* m_table = "";
};

void PutU16(QByteArray& out, std::uint16_t value);
void PutU32(QByteArray& out, std::uint32_t value);
void SetU16(QByteArray& out, int offset, std::uint16_t value);
void SetU32(QByteArray& out, int offset, std::uint32_t value);

// A TrueType file of `tables` (tag, bytes): the directory sorted by tag,
// every table padded to four bytes with its checksum, and the 'head' table's
// checkSumAdjustment made to fit the whole.
QByteArray AssembleSfnt(std::vector<std::pair<std::uint32_t, QByteArray>> tables);

}  // namespace book::sfnt
