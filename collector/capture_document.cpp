#include "collector/capture_document.h"

#include "collector/report_text.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deepest nesting of arrays and objects, counted outside strings; stops
// counting once limit is passed.
int NestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) {
                break;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

std::optional<nlohmann::json> ParseCaptureDocument(std::string_view text, std::string& problem) {
    if (text.size() > kMaxCaptureBytes) {
        problem = "the output is larger than " + std::to_string(kMaxCaptureBytes) + " bytes";
        return std::nullopt;
    }
    if (NestingDepth(text, kMaxCaptureDepth) > kMaxCaptureDepth) {
        problem = "the output is nested too deeply to be smartctl's";
        return std::nullopt;
    }
    // smartctl copies a drive's identity bytes into its strings as they are;
    // the JSON parser refuses the whole capture for one byte that is not
    // UTF-8, so such bytes become U+FFFD first, as in any report text.
    const std::string valid = ReplaceInvalidUtf8(text);
    nlohmann::json document = nlohmann::json::parse(valid.begin(), valid.end(), nullptr, false);
    if (document.is_discarded()) {
        problem = "the output is not valid JSON";
        return std::nullopt;
    }
    return document;
}

bool ReadCaptureFile(const std::string& path, std::string& text, std::string& problem) {
    // Opening a device node can act on the device (a tape rewinds): look at
    // the type first, and again at the opened file in case it was swapped.
    struct stat named {};
    if (stat(path.c_str(), &named) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(named.st_mode)) {
        problem = "not a regular file";
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    if (!ok) {
        problem = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        problem = "not a regular file";
        ok = false;
    } else if (static_cast<std::uint64_t>(info.st_size) > kMaxCaptureBytes) {
        problem = "larger than " + std::to_string(kMaxCaptureBytes) + " bytes";
        ok = false;
    }
    text.clear();
    char buffer[65536];
    while (ok) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            problem = std::strerror(errno);
            ok = false;
        } else if (got == 0) {
            break;
        } else if (text.size() + static_cast<std::size_t>(got) > kMaxCaptureBytes) {
            // The file grew while being read.
            problem = "larger than " + std::to_string(kMaxCaptureBytes) + " bytes";
            ok = false;
        } else {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return ok;
}
