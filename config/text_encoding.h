#pragma once

#include <string>
#include <string_view>

// Decodes Shift-JIS (Windows code page 932) into UTF-8. Bytes that do not
// form a character become U+FFFD, so nothing is dropped silently.
std::string DecodeCp932(std::string_view bytes);

// Report files from Windows collectors are CP932, ours UTF-8: a text that is
// valid UTF-8 is taken as it is, any other is decoded from CP932.
std::string ToUtf8(std::string_view bytes);
