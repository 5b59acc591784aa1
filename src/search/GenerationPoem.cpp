#include "search/GenerationPoem.h"

#include <algorithm>
#include <utility>

#include "formats/PoemFile.h"

namespace {

std::u16string Utf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  c -= 0x10000;
  return {static_cast<char16_t>(0xD800 | (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
}

}  // namespace

char32_t GenerationPoem::CharacterOf(int generation) const {
  const long long index = static_cast<long long>(generation) - firstGeneration;
  if (index < 0 || index >= static_cast<long long>(characters.size())) return 0;
  return characters[static_cast<std::size_t>(index)];
}

std::u16string ClanSurname(const COperationClanbook& book) {
  const MemberNode* root = book.Root();
  if (!root || root->name.empty()) return {};
  // Two code units may be one character outside the Basic Multilingual Plane.
  const auto firstLength = [](std::u16string_view name) -> std::size_t {
    return name.size() >= 2 && name[0] >= 0xD800 && name[0] < 0xDC00 ? 2 : 1;
  };
  const std::u16string_view name = root->name;
  std::size_t length = firstLength(name);
  std::size_t shared = std::min(name.size() - 1, length + firstLength(name.substr(length)));
  if (!root->firstChild) shared = length;
  for (const MemberNode* child = root->firstChild; child && shared > length;
       child = child->nextSibling) {
    const std::u16string_view other = child->name;
    if (other.size() <= shared || other.substr(0, shared) != name.substr(0, shared))
      shared = length;
  }
  return std::u16string(name.substr(0, std::max(shared, length)));
}

std::u16string_view GivenName(std::u16string_view name, std::u16string_view clanSurname) {
  if (!clanSurname.empty() && name.size() > clanSurname.size() && name.starts_with(clanSurname))
    return name.substr(clanSurname.size());
  if (name.empty()) return name;
  const bool pair = name.size() >= 2 && name[0] >= 0xD800 && name[0] < 0xDC00;
  return name.substr(pair ? 2 : 1);
}

std::vector<MemberNode*> MembersWithoutGenerationCharacter(const COperationClanbook& book,
                                                           const GenerationPoem& poem,
                                                           std::u16string_view clanSurname) {
  std::vector<MemberNode*> out;
  if (poem.characters.empty()) return out;
  std::vector<std::u16string> wanted;
  for (char32_t c : poem.characters) wanted.push_back(Utf16(c));
  const long long last = static_cast<long long>(poem.firstGeneration) + wanted.size() - 1;
  // Siblings wait on the stack with their generation while the children are
  // walked; below the poem's last generation nothing is checked, so the walk
  // does not go there.
  std::vector<std::pair<MemberNode*, int>> later;
  if (book.Root()) later.emplace_back(book.Root(), 1);
  while (!later.empty()) {
    auto [member, generation] = later.back();
    later.pop_back();
    while (member) {
      if (member->nextSibling) later.emplace_back(member->nextSibling, generation);
      if (generation >= poem.firstGeneration) {
        const std::u16string& character = wanted[generation - poem.firstGeneration];
        if (GivenName(member->name, clanSurname).find(character) == std::u16string_view::npos)
          out.push_back(member);
      }
      if (generation >= last) break;
      member = member->firstChild;
      ++generation;
    }
  }
  return out;
}

std::u16string SuggestedChildName(const COperationClanbook& book, const MemberNode* father,
                                  const GenerationPoem& poem, std::u16string_view clanSurname) {
  const std::u16string_view name = father->name;
  std::u16string out(name.substr(0, name.size() - GivenName(name, clanSurname).size()));
  if (const char32_t c = poem.CharacterOf(book.GetGeneration(father) + 1)) out += Utf16(c);
  return out;
}

GenerationPoem PoemOf(const BookData& book) {
  GenerationPoem poem;
  // The bound keeps the sums of generations within an int; every reader
  // refuses a 世 beyond it.
  if (book.poemFirstGeneration < 1 || book.poemFirstGeneration > kMaxPoemFirstGeneration ||
      CheckPoemText(book.generationPoem, &poem.characters).status != PoemFileStatus::kOk)
    return {};
  poem.firstGeneration = book.poemFirstGeneration;
  return poem;
}
