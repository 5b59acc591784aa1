// Conversions between the UTF-16 text of the model and UTF-8.
//
// The writer produces UTF-8. Text must be well-formed: a lone surrogate (half of
// a UTF-16 pair without its other half) has no UTF-8 form, so Save refuses a
// genealogy that holds one and the reader refuses a file that holds one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textcodec {

// Writes `text` as UTF-8 at `out` (a lone surrogate as U+FFFD), which has room
// for 3 bytes per code unit; returns the end of what was written.
char* WriteUtf8(char* out, std::u16string_view text);
// `text` as a UTF-8 string (a lone surrogate as U+FFFD).
std::string ToUtf8(std::u16string_view text);
// The same, clearing `plain` when the text holds a code unit below U+0021 (a
// blank or a control character) or a lone surrogate: a writer that must
// refuse such text learns in the same pass that it holds none.
char* WriteUtf8(char* out, std::u16string_view text, bool& plain);

// Whether `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// UTF-8 text as it may go to a terminal or a report: a terminal obeys the
// control characters a careless or hostile file may hold (ESC ] 0; retitles
// the window), so they are written as escapes: \n, \r, \t, \\ and \xHH for the
// other C0 characters and DEL, \uHHHH for C1 (U+0080 to U+009F).
std::string Printable(std::string_view utf8);

enum class Decoded { kText, kTooLong, kMalformed };

// Decodes UTF-8 into `out`, replacing its text. kTooLong when the text is
// well-formed but holds more than `maxUnits` UTF-16 code units, kMalformed when
// it is no UTF-8; `out` is unspecified then.
Decoded DecodeUtf8(std::string_view bytes, std::u16string& out, std::size_t maxUnits);

// Whether `text` is well-formed UTF-16 (every surrogate in a pair).
bool IsWellFormed(std::u16string_view text);

}  // namespace textcodec
