#include "collector/report_text.h"

#include "platform/utf8.h"
#include "report/report_format.h"

namespace {

bool IsC1Control(std::string_view sequence) {
    return sequence.size() == 2 && static_cast<unsigned char>(sequence[0]) == 0xC2 &&
           static_cast<unsigned char>(sequence[1]) < 0xA0;
}

} // namespace

std::string SanitizeReportText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            clean += kUtf8Replacement;
            ++pos;
            continue;
        }
        const std::string_view sequence = text.substr(pos, length);
        const auto first = static_cast<unsigned char>(sequence[0]);
        if ((length == 1 && (first < 0x20 || first == 0x7F)) || IsC1Control(sequence)) {
            clean += ' ';
        } else {
            clean += sequence;
        }
        pos += length;
    }

    const auto begin = clean.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return {};
    }
    clean = clean.substr(begin, clean.find_last_not_of(' ') - begin + 1);

    if (clean.size() > kMaxReportTextBytes) {
        clean.resize(Utf8PrefixLength(clean.data(), clean.size(), kMaxReportTextBytes));
        clean.erase(clean.find_last_not_of(' ') + 1);
    }
    return clean;
}

std::string SectionLine(const char* section) {
    return std::string("[") + section + "]\n";
}

std::string KeyLine(const char* name, const std::string& value) {
    return std::string(name) + "=" + value + "\n";
}

std::string KeyLine(const ReportKey& key, const std::string& value) {
    return KeyLine(key.name, value);
}
