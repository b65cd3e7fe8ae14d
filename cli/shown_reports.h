#pragma once

#include "platform/result.h"

#include <ostream>
#include <string>
#include <vector>

// A report to show: the path to read, the name to show, its drive number.
struct ShownReport {
    std::string path;
    std::string shown;
    int driveNumber = -1;
};

// Whether path can be read as a report: a Failure saying why not.
[[nodiscard]] Result<void> CheckReadableReport(const std::string& path);

// Every report of the program folder.
std::vector<ShownReport> ProgramFolderReports();

// The named reports that can be read; one line on err for each other one.
std::vector<ShownReport> NamedReports(const std::vector<std::string>& named, std::ostream& err,
                                      int& status);
