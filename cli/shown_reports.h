#pragma once

#include <ostream>
#include <string>
#include <vector>

// A report to show: the path to read, the name to show, its drive number.
struct ShownReport {
    std::string path;
    std::string shown;
    int driveNumber = -1;
};

// Why path cannot be read as a report, or an empty text when it can.
std::string UnreadableReason(const std::string& path);

// Every report of the program folder.
std::vector<ShownReport> ProgramFolderReports();

// The named reports that can be read; one line on err for each other one.
std::vector<ShownReport> NamedReports(const std::vector<std::string>& named, std::ostream& err,
                                      int& status);
