#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

} // namespace

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
        if (!IsContinuationByte(text[pos + i])) {
            return 0;
        }
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3Fu);
    }
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    // Report texts are mostly ASCII: eight bytes at a time where no byte has
    // its high bit set.
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (bytes.size() - pos >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + pos, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                pos += 8;
                continue;
            }
        }
        const std::size_t length = Utf8SequenceLength(bytes, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

char32_t DecodeUtf8Sequence(std::string_view sequence) {
    if (sequence.empty()) {
        return 0;
    }
    static constexpr unsigned kLeadMask[] = {0, 0x7Fu, 0x1Fu, 0x0Fu, 0x07u};
    const std::size_t length = sequence.size() < 4 ? sequence.size() : 4;
    char32_t code = static_cast<unsigned char>(sequence[0]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
    }
    return code;
}

std::string ReplaceInvalidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) {
        return std::string(text);
    }
    // Valid runs are copied whole, each invalid byte replaced by one mark.
    std::string valid;
    valid.reserve(text.size() + 16);
    std::size_t copied = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            valid.append(text.substr(copied, pos - copied));
            valid += kUtf8Replacement;
            copied = ++pos;
        } else {
            pos += length;
        }
    }
    valid.append(text.substr(copied));
    return valid;
}

std::size_t Utf8PrefixLength(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) {
        return length;
    }
    // Find the lead byte of the last character kept; when its sequence does
    // not fit in the limit, cut before it. Only the kept bytes are looked at,
    // so this also works on a buffer whose byte at the limit is overwritten.
    std::size_t start = limit;
    for (int back = 0; back < 4 && start > 0 && IsContinuationByte(text[start - 1]); ++back) {
        --start;
    }
    if (start == 0) {
        return limit; // not UTF-8 at all: cut where asked
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    std::size_t need = 1;
    if ((lead & 0xE0u) == 0xC0u) {
        need = 2;
    } else if ((lead & 0xF0u) == 0xE0u) {
        need = 3;
    } else if ((lead & 0xF8u) == 0xF0u) {
        need = 4;
    }
    return limit - (start - 1) < need ? start - 1 : limit;
}
