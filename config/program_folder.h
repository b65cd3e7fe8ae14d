#pragma once

#include <string>

// The folder that holds the running executable, links resolved. Every data
// and report file is looked up there, never in the current directory.
std::string ProgramFolder();

// A name beginning with '/' is used unchanged; any other name, even one with
// slashes, is placed under the program folder.
std::string ResolveInProgramFolder(const std::string& name);

// Test seam: makes ProgramFolder() answer folder (an empty text restores the
// executable's folder).
void SetProgramFolderForTesting(const std::string& folder);
