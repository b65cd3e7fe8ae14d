#include "report/report_files.h"

#include "config/format_bounded.h"

std::string ReportFileName(int driveNumber) {
    char name[256];
    FormatBounded(name, sizeof name, "%s%d.ini", kReportFilePrefix, driveNumber);
    return name;
}
