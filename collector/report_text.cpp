#include "collector/report_text.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at text[pos], or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    unsigned codePoint = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() - pos < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF.
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

bool IsC1Control(std::string_view sequence) {
    return sequence.size() == 2 && static_cast<unsigned char>(sequence[0]) == 0xC2 &&
           static_cast<unsigned char>(sequence[1]) < 0xA0;
}

} // namespace

std::string ReplaceInvalidUtf8(std::string_view text) {
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            valid += kReplacement;
            ++pos;
        } else {
            valid += text.substr(pos, length);
            pos += length;
        }
    }
    return valid;
}

std::string SanitizeReportText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            clean += kReplacement;
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
        std::size_t cut = kMaxReportTextBytes;
        // Step back over continuation bytes to the start of the cut character.
        while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xC0u) == 0x80u) {
            --cut;
        }
        clean.resize(cut);
        clean.erase(clean.find_last_not_of(' ') + 1);
    }
    return clean;
}
