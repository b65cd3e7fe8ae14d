#include "platform/executable_path.h"

#include <climits>
#include <cstdlib>

std::string ExecutablePath() {
    char* resolved = realpath("/proc/self/exe", nullptr);
    if (resolved == nullptr) {
        return {};
    }
    std::string path = resolved;
    std::free(resolved);
    return path;
}

std::string ExecutableFolder() {
    const std::string path = ExecutablePath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}
