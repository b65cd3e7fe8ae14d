#include "report/report_files.h"

#include "config/format_bounded.h"

std::string ReportFileName(int driveNumber) {
    char name[256];
    FormatBounded(name, sizeof name, "%s%d.ini", kReportFilePrefix, driveNumber);
    return name;
}

std::optional<int> DriveNumberOfReportFile(std::string_view name) {
    constexpr std::string_view prefix = kReportFilePrefix;
    if (name.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    int number = 0;
    std::size_t digits = 0;
    for (std::size_t i = prefix.size(); i < name.size() && digits < 5; ++i, ++digits) {
        if (name[i] < '0' || name[i] > '9') {
            break;
        }
        number = number * 10 + (name[i] - '0');
    }
    // Leading zeros, signs and trailing text all fail the round trip.
    if (digits == 0 || number < kFirstDriveNumber || number > kLastDriveNumber ||
        ReportFileName(number) != name) {
        return std::nullopt;
    }
    return number;
}
