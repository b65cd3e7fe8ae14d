#include "cli/monitoring_output.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int kTemperatureId = 194;
constexpr int kPowerOnHoursId = 9;

// The number of the drive's report, or its place when the report's name has none.
std::string DriveNumber(const MonitoredDrive& drive, std::size_t index) {
    return std::to_string(drive.driveNumber >= 0 ? drive.driveNumber : static_cast<int>(index));
}

// Performance data: the temperature and every critical counter of each drive.
std::string PerformanceData(const std::vector<MonitoredDrive>& drives, int temperatureLimit) {
    std::ostringstream data;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        for (const AttributeRow& row : drives[i].report.evaluation.rows) {
            if (row.id == kTemperatureId) {
                data << " drive" << DriveNumber(drives[i], i) << "_temperature=" << row.shownRaw
                     << ';' << temperatureLimit << ";;;";
            } else if (IsCriticalCounter(row.id)) {
                data << " drive" << DriveNumber(drives[i], i) << "_attr" << row.id << '='
                     << row.reading.raw << "c;1;;0;";
            }
        }
    }
    return data.str();
}

// A label value: backslash, quote and line end escaped.
std::string LabelValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

struct Family {
    const char* name;
    const char* help;
};

const Family kFamilies[] = {
    {"tolvenar_attribute_value", "Current normalised value of a S.M.A.R.T. attribute."},
    {"tolvenar_attribute_worst", "Worst normalised value of a S.M.A.R.T. attribute."},
    {"tolvenar_attribute_threshold", "Failure threshold of a S.M.A.R.T. attribute."},
    {"tolvenar_attribute_raw", "Raw value of a S.M.A.R.T. attribute as smartctl decodes it."},
    {"tolvenar_attribute_failing", "1 when the current value lies below the threshold."},
};

const Family kDriveFamilies[] = {
    {"tolvenar_drive_verdict_passed",
     "1 when the drive's own verdict is PASSED, 0 when FAILED (absent when unknown)."},
    {"tolvenar_drive_temperature_celsius", "Temperature of the drive."},
    {"tolvenar_drive_power_on_seconds", "Power-on time of the drive (counted in hours)."},
    {"tolvenar_drive_report_age_seconds", "Seconds since the drive's report was written."},
    {"tolvenar_drive_warnings", "Warnings of the drive by level (1 warning, 2 failing)."},
};

void WriteFamilyHeader(std::ostream& out, const Family& family) {
    out << "# HELP " << family.name << ' ' << family.help << '\n'
        << "# TYPE " << family.name << " gauge\n";
}

} // namespace

int WriteCheck(std::ostream& out, const std::vector<MonitoredDrive>& drives,
               const std::string& unknown, int temperatureLimit) {
    std::vector<const DriveWarning*> failing;
    std::vector<const DriveWarning*> warning;
    for (const MonitoredDrive& drive : drives) {
        for (const DriveWarning& w : drive.warnings) {
            (w.level == WarningLevel::Failing ? failing : warning).push_back(&w);
        }
    }
    int status = kCheckOk;
    std::string line;
    if (!unknown.empty()) {
        status = kCheckUnknown;
        line = "UNKNOWN: " + unknown;
    } else if (!failing.empty()) {
        status = kCheckCritical;
        line = "CRITICAL: " + failing.front()->text;
    } else if (!warning.empty()) {
        status = kCheckWarning;
        line = "WARNING: " + warning.front()->text;
    } else {
        line = "OK: " + std::to_string(drives.size()) + " drives";
    }
    const std::size_t others = failing.size() + warning.size();
    if (unknown.empty() && others > 1) {
        line += "（ほか " + std::to_string(others - 1) + " 件）";
    }
    out << line << " |" << PerformanceData(drives, temperatureLimit) << '\n';
    return status;
}

void WritePrometheus(std::ostream& out, const std::vector<MonitoredDrive>& drives) {
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        labels.push_back("drive=\"" + DriveNumber(drives[i], i) + "\",model=\"" +
                         LabelValue(drives[i].identity.model) + "\",serial=\"" +
                         LabelValue(drives[i].identity.serial) + "\"");
    }
    for (std::size_t f = 0; f < std::size(kFamilies); ++f) {
        WriteFamilyHeader(out, kFamilies[f]);
        for (std::size_t i = 0; i < drives.size(); ++i) {
            for (const AttributeRow& row : drives[i].report.evaluation.rows) {
                const std::int64_t figures[] = {row.reading.current, row.reading.worst,
                                                row.reading.threshold, row.reading.raw, row.rank};
                out << kFamilies[f].name << '{' << labels[i] << ",id=\"" << row.id << "\"} "
                    << figures[f] << '\n';
            }
        }
    }
    for (std::size_t f = 0; f < std::size(kDriveFamilies); ++f) {
        WriteFamilyHeader(out, kDriveFamilies[f]);
        for (std::size_t i = 0; i < drives.size(); ++i) {
            const MonitoredDrive& d = drives[i];
            std::optional<std::int64_t> figure;
            if (f == 0 && !d.report.panel.verdict.empty()) {
                figure = d.report.panel.verdict == "PASSED" ? 1 : 0;
            }
            for (const AttributeRow& row : d.report.evaluation.rows) {
                if (f == 1 && row.id == kTemperatureId) {
                    figure = row.shownRaw;
                } else if (f == 2 && row.id == kPowerOnHoursId) {
                    figure = row.shownRaw * 3600;
                }
            }
            if (f == 3 && d.reportAge >= 0) {
                figure = d.reportAge;
            }
            if (f == 4) {
                for (const WarningLevel level : {WarningLevel::Warning, WarningLevel::Failing}) {
                    const auto count =
                        std::count_if(d.warnings.begin(), d.warnings.end(),
                                      [level](const DriveWarning& w) { return w.level == level; });
                    out << kDriveFamilies[f].name << '{' << labels[i] << ",level=\""
                        << static_cast<int>(level) << "\"} " << count << '\n';
                }
                continue;
            }
            if (figure) {
                out << kDriveFamilies[f].name << '{' << labels[i] << "} " << *figure << '\n';
            }
        }
    }
}
