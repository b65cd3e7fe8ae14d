#include "collector/system_programs.h"

#include "platform/program_lookup.h"

#include <cstdlib>

std::string LocateProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::vector<std::string> folders = {"/usr/sbin", "/usr/local/sbin", "/sbin",
                                        "/usr/bin",  "/usr/local/bin",  "/bin"};
    const std::vector<std::string> path = AbsoluteSearchFolders(std::getenv("PATH"));
    folders.insert(folders.end(), path.begin(), path.end());
    return FindProgramIn(name, folders);
}
