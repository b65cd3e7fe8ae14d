#pragma once

#include <string>
#include <vector>

// True for a regular file that may be executed.
bool IsExecutableFile(const std::string& path);

// The absolute folders of a PATH value (may be null), in order. Empty and
// relative entries are left out: they would make the current directory count.
std::vector<std::string> AbsoluteSearchFolders(const char* searchPath);

// The full path of the first executable file called name in folders (only
// absolute folders are looked in); empty when there is none, or when name is
// empty or holds a slash.
std::string FindProgramIn(const std::string& name, const std::vector<std::string>& folders);

// The viewer's lookup: programFolder first, then the absolute folders of
// searchPath (a PATH value, may be null).
std::string FindProgram(const std::string& name, const std::string& programFolder,
                        const char* searchPath);
