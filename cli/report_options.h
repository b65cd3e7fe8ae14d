#pragma once

#include "cli/monitoring_output.h"
#include "monitor/vanished_drives.h"
#include "report/drive_warnings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What tolvenar-report was asked to do.
struct ReportOptions {
    bool json = false;
    bool history = false;
    bool check = false;
    bool prometheus = false;
    std::string outFile;
    int temperatureLimit = WarningSettings{}.temperatureLimit;
    int extendedTestAge = WarningSettings{}.extendedTestAgeDays;
    std::int64_t maxAge = CheckSettings{}.maxAge;
    std::int64_t vanishedAfter = kDefaultVanishedAfterSeconds;
    std::optional<std::string> collectionResult;
    std::optional<std::string> forget;
    bool help = false;
    bool version = false;
    std::string unknownOption; // the first one, when there is one
    std::vector<std::string> named;
};

// The options in args; parsing stops at --help, --version and the first
// unknown or invalid option.
ReportOptions ParseOptions(const std::vector<std::string>& args);
