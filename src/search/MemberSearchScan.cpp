// Answering a query from the index: the query compiled for one pass, then
// the snapshot and the journal scanned in the book's order.
#include "search/MemberSearchData.h"

using namespace searchtext;

MemberSearchIndex::Data::Query MemberSearchIndex::Data::Compile(std::u32string text) const {
  Query q;
  q.text = std::move(text);
  for (char32_t c : q.text) {
    const std::uint32_t id = alphabet.Find(c);
    if (id == kNone) {
      q.ids.clear();
      break;
    }
    q.ids.push_back(id);
  }
  q.addressKnown.assign(addressStart.size() / 64 + 1, 0);
  q.addressMatch.assign(q.addressKnown.size(), 0);
  for (std::uint32_t id : q.ids) {
    q.need |= alphabet.Bit(id);
    SetWide(q.wideNeed, id);
  }
  if (!IsPinyinQuery(q.text)) {
    q.hopeless = q.ids.empty();
    return q;
  }
  // A pinyin match begins with the initial of a syllable, a match of Latin
  // text with the same letter.
  q.need = LetterBit(static_cast<char>(q.text[0]));
  q.decided = q.text.size() == 1;
  const std::size_t m = q.letters = q.text.size();
  q.moves.assign(alphabet.Size() * m, 0);
  const std::uint64_t done = std::uint64_t{1} << m;
  for (std::uint32_t id = 0; id < alphabet.Size(); ++id) {
    for (std::uint16_t r : alphabet.Readings(id)) {
      const std::string_view s = PinyinSyllable(r);
      for (std::size_t p = 0; p < m; ++p) {
        const std::size_t common = CommonPrefix(q.text, p, s);
        if (common == 0) continue;
        std::uint64_t& move = q.moves[id * m + p];
        if (p + common == m) move |= done;
        if (common == s.size()) move |= std::uint64_t{1} << (p + common);
        move |= std::uint64_t{1} << (p + 1);
        if (common >= 2 && HasDoubleInitial(s)) move |= std::uint64_t{1} << (p + 2);
      }
    }
  }
  return q;
}

bool MemberSearchIndex::Data::AddressMatches(std::uint32_t address, Query& q) const {
  if (address == 0 || q.ids.empty()) return false;
  const std::uint64_t bit = std::uint64_t{1} << (address & 63);
  std::uint64_t& known = q.addressKnown[address >> 6];
  std::uint64_t& match = q.addressMatch[address >> 6];
  if (!(known & bit)) {
    known |= bit;
    if ((addressSignature[address] & q.need) == q.need && MayHold(address, q) &&
        ContainsRun(AddressText(address), q.ids))
      match |= bit;
  }
  return match & bit;
}

bool MemberSearchIndex::Data::NameMatches(std::span<const std::uint32_t> name,
                                          const Query& q) const {
  if (!q.ids.empty() && ContainsRun(name, q.ids)) return true;
  if (q.letters == 0) return false;
  // States are the numbers of letters matched so far; each character may also
  // start a new run, and the full count means a match.
  const std::size_t m = q.letters;
  const std::uint64_t done = std::uint64_t{1} << m;
  std::uint64_t active = 0;
  for (std::uint32_t id : name) {
    const std::uint64_t* move = q.moves.data() + static_cast<std::size_t>(id) * m;
    std::uint64_t next = move[0];
    for (std::uint64_t a = active; a; a &= a - 1) next |= move[std::countr_zero(a)];
    if (next & done) return true;
    active = next;
  }
  return false;
}

bool MemberSearchIndex::Data::Matches(std::uint32_t ref, Query& q) const {
  if (ref < Size()) {
    if (q.decided) return (signature[ref] & q.need) == q.need;
    if (AddressMatches(addressOf[ref], q)) return true;
    return (signature[ref] & q.need) == q.need && SnapshotNameMatches(ref, q);
  }
  const Entry& entry = journal[ref - Size()];
  return AddressMatches(entry.address, q) || NameMatches(entry.name, q);
}

std::vector<std::uint32_t> MemberSearchIndex::Data::Scan(Query& q) const {
  // Every address is met, so all are matched at once, in order.
  if (!q.ids.empty())
    for (std::uint32_t number = 1; number < addressStart.size() - 1; ++number)
      if ((addressSignature[number] & q.need) == q.need && MayHold(number, q) &&
          ContainsRun(AddressText(number), q.ids))
        q.addressMatch[number >> 6] |= std::uint64_t{1} << (number & 63);
  std::fill(q.addressKnown.begin(), q.addressKnown.end(), ~std::uint64_t{0});
  std::vector<std::uint32_t> refs;
  if (q.hopeless) return refs;
  const auto n = static_cast<std::uint32_t>(Size());
  std::size_t j = 0;
  const auto journalUpTo = [&](std::uint32_t pos) {
    for (; j < journal.size() && journal[j].anchor <= pos; ++j) {
      const auto ref = static_cast<std::uint32_t>(n + j);
      if (Matches(ref, q)) refs.push_back(ref);
    }
  };
  // Matches() spelt out for the snapshot, with every address already
  // decided: most members are passed over without a call.
  const std::uint64_t need = q.need;
  for (std::uint32_t pos = 0; pos < n; ++pos) {
    if (j < journal.size()) journalUpTo(pos);
    if (Struck(pos)) continue;
    const bool hasBits = (signature[pos] & need) == need;
    if (q.decided) {
      if (hasBits) refs.push_back(pos);
      continue;
    }
    const std::uint32_t address = addressOf[pos];
    if ((q.addressMatch[address >> 6] >> (address & 63)) & 1) {
      refs.push_back(pos);
    } else if (hasBits && SnapshotNameMatches(pos, q)) {
      refs.push_back(pos);
    }
  }
  journalUpTo(n);
  return refs;
}
