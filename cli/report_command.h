#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of tolvenar-report.
constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1; // a named report is missing or unreadable
constexpr int kExitParseError = 2; // a report has a malformed attribute line
constexpr int kExitUsage = 64;     // unknown option (sysexits' EX_USAGE)

// Runs tolvenar-report with its arguments (without the program name).
// colour: whether failing rows may be drawn in red on out.
int RunReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool colour);
