#include "config/text_encoding.h"

#include "platform/utf8.h"

#include <cerrno>
#include <iconv.h>

std::string DecodeCp932(std::string_view bytes) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter on this system: keep ASCII, mark everything else.
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                out += kUtf8Replacement;
            }
        }
        return out;
    }
    out.reserve(bytes.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char chunk[4096];
    while (inLeft > 0) {
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (result != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (error == E2BIG) {
            continue;
        }
        // An invalid or truncated sequence: mark it and go on after its first byte.
        out += kUtf8Replacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

std::string ToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return DecodeCp932(bytes);
}
