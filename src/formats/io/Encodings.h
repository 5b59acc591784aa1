// The encodings older files come in, decoded to UTF-8 whole: UTF-16 with a
// byte-order mark, and GB18030 (which covers GBK and GB2312), which older
// Windows programs wrote without any mark. The .ftf reader decodes the same
// encodings piece by piece (formats/ftf/FtfRead.cpp); GEDCOM files are small
// enough to be decoded whole.
#pragma once

#include <string>
#include <string_view>

namespace textcodec {

// UTF-16 (without its byte-order mark) to UTF-8. False for an odd length or a
// lone surrogate.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out);

// GB18030 to UTF-8 through iconv. False for bytes that are no GB18030 text.
bool Gb18030ToUtf8(std::string_view bytes, std::string& out);

}  // namespace textcodec
