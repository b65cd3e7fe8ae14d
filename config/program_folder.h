#pragma once

#include <string>

// The folder that holds the running executable, links resolved. Every data
// file is looked up there, never in the current directory.
std::string ProgramFolder();

// A name beginning with '/' is used unchanged; any other name, even one with
// slashes, is placed under the program folder.
std::string ResolveInProgramFolder(const std::string& name);

// The folder of the drive reports and the reading history: the program
// folder, unless the build fixes another (an installed package keeps this
// changing data under /var/lib, since /usr may be read-only).
std::string ReportFolder();

// ResolveInProgramFolder for the report folder.
std::string ResolveInReportFolder(const std::string& name);

// Test seam: makes ProgramFolder() and ReportFolder() answer folder (an empty
// text restores the folders of the build).
void SetProgramFolderForTesting(const std::string& folder);
