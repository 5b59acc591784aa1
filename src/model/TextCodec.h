// Conversions between the UTF-16 text of the model and the bytes of a file.
//
// The writer produces UTF-8. Text must be well-formed: a lone surrogate (half of
// a UTF-16 pair without its other half) has no UTF-8 form, so Save refuses a
// genealogy that holds one and the reader refuses a file that holds one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textcodec {

// Appends `text` to `out` as UTF-8 (a lone surrogate as U+FFFD).
void AppendUtf8(std::string& out, std::u16string_view text);

// Whether `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// Decodes well-formed UTF-8 (as IsUtf8 accepts) into `out`, replacing its text.
// Returns false, leaving `out` unspecified, when more than `maxUnits` UTF-16
// code units would result.
bool DecodeUtf8(std::string_view bytes, std::u16string& out, std::size_t maxUnits);

// Whether `text` is well-formed UTF-16 (every surrogate in a pair).
bool IsWellFormed(std::u16string_view text);

// UTF-16 (without its byte-order mark) to UTF-8. False for an odd length or a
// lone surrogate.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out);

// GB18030 (which covers GBK and GB2312) to UTF-8 through iconv. False for
// bytes that are no GB18030 text.
bool Gb18030ToUtf8(std::string_view bytes, std::string& out);

// Brings the bytes of a genealogy file to UTF-8: UTF-8 with or without
// byte-order mark, UTF-16 LE or BE with byte-order mark, otherwise GB18030.
// Returns a view of the UTF-8 text (into `bytes` or into `storage`), or false
// when the bytes decode to no text.
bool DecodeFile(std::string_view bytes, std::string& storage, std::string_view& text);

}  // namespace textcodec
