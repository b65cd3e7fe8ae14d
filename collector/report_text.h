#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct ReportKey;

// Longest identity text written into a report, in bytes; the viewer forms its
// texts in 256-byte buffers.
constexpr std::size_t kMaxReportTextBytes = 255;

// Makes a text from the drive safe as an INI value: control characters (C0,
// DEL and C1) become spaces so that a value never breaks its line, invalid
// UTF-8 becomes U+FFFD so that the file stays valid UTF-8 (a file that is not
// is read as Shift-JIS), blanks at both ends are trimmed, and the text is cut
// to kMaxReportTextBytes without splitting a character.
std::string SanitizeReportText(std::string_view text);

// The report's lines: "[SECTION]\n" and "NAME=value\n".
std::string SectionLine(const char* section);
std::string KeyLine(const char* name, const std::string& value);
std::string KeyLine(const ReportKey& key, const std::string& value);
