#pragma once

#include <string>

// The full path of the program called name: in programFolder first, then in
// the directories of searchPath (a PATH value, may be null). Only absolute
// directories are searched, so an empty entry, "." or any relative entry
// never makes the current directory count. Empty when nothing is found.
std::string FindProgram(const std::string& name, const std::string& programFolder,
                        const char* searchPath);

// True for a regular file that may be executed.
bool IsExecutableFile(const std::string& path);
