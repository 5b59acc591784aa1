#include "formats/gedcom/GedcomRecord.h"

#include <utility>

namespace gedcom::detail {

std::string Unescaped(std::string_view value, bool v7) {
  if (value.find("@@") == std::string_view::npos) return std::string(value);
  if (v7) return std::string(value.substr(0, 2) == "@@" ? value.substr(1) : value);
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    out += value[i];
    if (value[i] == '@' && i + 1 < value.size() && value[i + 1] == '@') ++i;
  }
  return out;
}

const Structure* Structure::Find(std::string_view wanted) const {
  for (const Structure& child : children)
    if (child.tag == wanted) return &child;
  return nullptr;
}

std::string_view Structure::Value(std::string_view wanted) const {
  const Structure* child = Find(wanted);
  return child ? std::string_view(child->value) : std::string_view();
}

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

Structure ReadRecord(std::string_view text, bool v7, std::size_t firstLine) {
  Structure root;
  // The open structures, one per level: a record is small, so a path of
  // pointers into the tree is rebuilt only when a child is added.
  std::vector<Structure*> path;
  int depth = -1;
  std::size_t line = firstLine;
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string_view l = text.substr(pos, end - pos);
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    pos = end + 1;
    const std::size_t lineNo = line++;
    std::size_t i = 0;
    while (i < l.size() && Blank(l[i])) ++i;
    int level = 0, digits = 0;
    while (i < l.size() && l[i] >= '0' && l[i] <= '9' && digits < 3)
      level = level * 10 + (l[i++] - '0'), ++digits;
    if (digits == 0 || i == l.size() || !Blank(l[i])) continue;
    while (i < l.size() && Blank(l[i])) ++i;
    std::string_view xref;
    if (i < l.size() && l[i] == '@') {
      const std::size_t close = l.find('@', i + 1);
      if (close == std::string_view::npos) continue;
      xref = l.substr(i, close - i + 1);
      i = close + 1;
      while (i < l.size() && Blank(l[i])) ++i;
    }
    std::size_t tagEnd = i;
    while (tagEnd < l.size() && !Blank(l[tagEnd])) ++tagEnd;
    const std::string_view tag = l.substr(i, tagEnd - i);
    if (tag.empty()) continue;
    const std::string_view value = tagEnd < l.size() ? l.substr(tagEnd + 1) : std::string_view();
    if (first) {
      root.tag = std::string(tag);
      root.pointer = std::string(xref);
      root.value = Unescaped(value, v7);
      root.line = lineNo;
      path.assign(1, &root);
      depth = 0;
      first = false;
      continue;
    }
    if (level < 1) level = 1;
    if (level > depth + 1) level = depth + 1;
    if (tag == "CONC" || tag == "CONT") {
      if (level == depth + 1) {
        Structure* target = path[static_cast<std::size_t>(level - 1)];
        if (tag == "CONT") target->value += '\n';
        target->value += Unescaped(value, v7);
      }
      continue;
    }
    Structure* parent = path[static_cast<std::size_t>(level - 1)];
    Structure& child = parent->children.emplace_back();
    child.tag = std::string(tag);
    child.line = lineNo;
    if (value.size() >= 3 && value.front() == '@' && value.back() == '@' && value[1] != '@' &&
        value.find('@', 1) == value.size() - 1)
      child.pointer = std::string(value);
    else
      child.value = Unescaped(value, v7);
    path.resize(static_cast<std::size_t>(level));
    path.push_back(&child);
    depth = level;
  }
  return root;
}

}  // namespace gedcom::detail
