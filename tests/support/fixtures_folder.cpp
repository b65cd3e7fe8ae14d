#include "support/fixtures_folder.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

std::string NamedFolder() {
    const char* named = std::getenv("TOLVENAR_FIXTURES");
    return named != nullptr && *named != '\0' ? named : TOLVENAR_FIXTURES_DIR;
}

} // namespace

std::string FixturesFolder() {
    const std::string folder = NamedFolder();
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? folder : "";
}

std::string FixturesMissing() {
    return "no real smartctl captures: " + NamedFolder() +
           " is not there (set TOLVENAR_FIXTURES to their folder)";
}
