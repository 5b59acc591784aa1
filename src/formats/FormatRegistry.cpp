#include "formats/FormatRegistry.h"

#include "formats/CbkFormat.h"
#include "formats/FtfFormat.h"
#include "formats/gedcom/GedcomFormat.h"
#include "formats/gedcom/GedzipFormat.h"

namespace formats {

namespace {

// docs/gedcom.md: an export imported again from the same root gives back the
// book it was made of.
constexpr FormatEntry kFormats[] = {
    {FormatId::kFtf, "ftf", true, true, true},
    // Every field of the whole record too (MemberRecord.h), which .ftf drops.
    {FormatId::kCbk, "cbk", true, true, true},
    {FormatId::kGedcom, "ged", true, true, true},
    // GEDCOM 7.0 with the pictures in one ZIP archive.
    {FormatId::kGedzip, "gdz", true, true, true},
};

bool EndsWithSuffix(std::string_view name, std::string_view suffix) {
  if (name.size() <= suffix.size() || name[name.size() - suffix.size() - 1] != '.') return false;
  const std::string_view end = name.substr(name.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const char c = end[i] >= 'A' && end[i] <= 'Z' ? static_cast<char>(end[i] - 'A' + 'a') : end[i];
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

std::span<const FormatEntry> Formats() {
  return kFormats;
}

const FormatEntry* FormatOfFile(std::string_view fileName) {
  for (const FormatEntry& format : kFormats)
    if (EndsWithSuffix(fileName, format.suffix)) return &format;
  return nullptr;
}

const FormatEntry& FormatOf(FormatId id) {
  for (const FormatEntry& format : kFormats)
    if (format.id == id) return format;
  return kFormats[0];  // every id has its entry
}

std::string NamePatterns(FormatId id, bool upperCaseToo) {
  const std::string_view suffix = FormatOf(id).suffix;
  std::string patterns = "*." + std::string(suffix);
  if (upperCaseToo) {
    patterns += " *.";
    for (const char c : suffix)
      patterns += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return patterns;
}

std::unique_ptr<FileFormat> MakeFormat(FormatId id) {
  switch (id) {
    case FormatId::kFtf:
      return std::make_unique<FtfFormat>();
    case FormatId::kCbk:
      return std::make_unique<CbkFormat>();
    case FormatId::kGedcom:
      return std::make_unique<GedcomFormat>();
    case FormatId::kGedzip:
      return std::make_unique<GedzipFormat>();
  }
  return nullptr;
}

}  // namespace formats
