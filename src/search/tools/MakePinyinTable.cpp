// Turns go-pinyin's pinyin_dict.go (lines such as `0x884C: "xíng,háng,héng",`)
// into the C++ table that src/search/Pinyin.cpp compiles in: every code point
// with its readings without tones, each reading an index into one list of
// syllables.
//
// Tones are dropped because nobody types them in a search box. ü is written
// both as v and as u, the two habits of pinyin keyboards, so 吕 answers "lv"
// and "lu". A character the conversion does not know stops the build rather
// than slipping a wrong syllable into the table.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "MakePinyinTable: %s\n", message.c_str());
  std::exit(1);
}

// Decodes one UTF-8 sequence at `i`, moving `i` past it.
char32_t Decode(const std::string& text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || i + length > text.size()) Fail("invalid UTF-8 in a reading");
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) c = (c << 6) | (byte(i + k) & 0x3F);
  i += length;
  return c;
}

// The toneless letter of one character of a reading; 'V' stands for ü and
// 0 for a combining mark that is dropped.
char Toneless(char32_t c, int line) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c);
  if (c >= 0x300 && c <= 0x36F) return 0;  // a tone written as a combining mark
  switch (c) {
    case U'ā':
    case U'á':
    case U'ǎ':
    case U'à':
      return 'a';
    case U'ē':
    case U'é':
    case U'ě':
    case U'è':
    case U'ê':
    case U'ế':
    case U'ề':
      return 'e';
    case U'ī':
    case U'í':
    case U'ǐ':
    case U'ì':
      return 'i';
    case U'ō':
    case U'ó':
    case U'ǒ':
    case U'ò':
      return 'o';
    case U'ū':
    case U'ú':
    case U'ǔ':
    case U'ù':
      return 'u';
    case U'ü':
    case U'ǖ':
    case U'ǘ':
    case U'ǚ':
    case U'ǜ':
      return 'V';
    case U'ń':
    case U'ň':
    case U'ǹ':
      return 'n';
    case U'ḿ':
      return 'm';
    default:
      Fail("line " + std::to_string(line) + ": no toneless letter known for U+" + [&] {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(c));
        return std::string(buffer);
      }());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: MakePinyinTable pinyin_dict.go output.inc");
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) Fail(std::string("cannot read ") + argv[1]);

  std::map<char32_t, std::vector<std::string>> readings;
  std::set<std::string> syllables;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    const std::size_t hex = line.find("0x");
    const std::size_t open = line.find('"');
    const std::size_t close = line.rfind('"');
    if (hex == std::string::npos || open == std::string::npos || close <= open) continue;
    const char32_t code = static_cast<char32_t>(std::stoul(line.substr(hex + 2), nullptr, 16));
    if (code > 0x10FFFF) Fail("line " + std::to_string(lineNumber) + ": no code point");
    std::vector<std::string>& list = readings[code];
    const std::string text = line.substr(open + 1, close - open - 1);
    std::string plain;
    const auto finish = [&] {
      if (plain.empty()) Fail("line " + std::to_string(lineNumber) + ": empty reading");
      std::vector<std::string> forms;
      if (plain.find('V') == std::string::npos) {
        forms.push_back(plain);
      } else {
        std::string v = plain, u = plain;
        for (char& ch : v) ch = ch == 'V' ? 'v' : ch;
        for (char& ch : u) ch = ch == 'V' ? 'u' : ch;
        forms = {v, u};
      }
      for (const std::string& form : forms) {
        if (form.size() > 6) Fail("line " + std::to_string(lineNumber) + ": reading too long");
        bool seen = false;
        for (const std::string& s : list) seen = seen || s == form;
        if (!seen) list.push_back(form);
        syllables.insert(form);
      }
      plain.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
      const char32_t c = Decode(text, i);
      if (c == ',') {
        finish();
      } else if (const char letter = Toneless(c, lineNumber)) {
        plain.push_back(letter);
      }
    }
    finish();
  }
  if (readings.size() < 20000) Fail(std::string("too few readings in ") + argv[1]);

  std::map<std::string, int> syllableId;
  for (const std::string& s : syllables) syllableId.emplace(s, static_cast<int>(syllableId.size()));

  std::ostringstream out;
  out << "// Generated from " << argv[1] << " by MakePinyinTable; do not edit.\n";
  out << "constexpr std::string_view kSyllables[] = {";
  int column = 0;
  for (const std::string& s : syllables)
    out << (column++ % 12 ? " " : "\n    ") << '"' << s << "\",";
  out << "\n};\n// Sorted code points; the readings of kCodePoints[i] are\n"
         "// kReadings[kFirstReading[i]] up to kReadings[kFirstReading[i + 1]].\n";
  out << "constexpr std::uint32_t kCodePoints[] = {";
  column = 0;
  for (const auto& [code, list] : readings)
    out << (column++ % 10 ? " " : "\n    ") << static_cast<std::uint32_t>(code) << ',';
  out << "\n};\nconstexpr std::uint32_t kFirstReading[] = {";
  column = 0;
  std::size_t first = 0;
  for (const auto& entry : readings) {
    out << (column++ % 10 ? " " : "\n    ") << first << ',';
    first += entry.second.size();
  }
  out << ' ' << first << ",\n};\nconstexpr std::uint16_t kReadings[] = {";
  column = 0;
  for (const auto& entry : readings)
    for (const std::string& s : entry.second)
      out << (column++ % 16 ? " " : "\n    ") << syllableId.at(s) << ',';
  out << "\n};\n";

  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file << out.str();
  if (!file.flush()) Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
