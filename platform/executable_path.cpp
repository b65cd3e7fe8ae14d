#include "platform/executable_path.h"

#include <filesystem>

std::string ExecutablePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::canonical("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string ExecutableFolder() {
    // An empty path has an empty parent: no folder rather than the current one.
    return std::filesystem::path(ExecutablePath()).parent_path().string();
}
