#include "cli/monitoring_output.h"

#include <sstream>

namespace {

constexpr int kTemperatureId = 194;
constexpr int kPowerOnHoursId = 9;

std::string DriveLabel(const MonitoredDrive& drive, std::size_t index) {
    return "drive" +
           std::to_string(drive.driveNumber >= 0 ? drive.driveNumber : static_cast<int>(index));
}

// Performance data: the temperature and every critical counter of each drive.
std::string PerformanceData(const std::vector<MonitoredDrive>& drives, int temperatureLimit) {
    std::ostringstream data;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        for (const AttributeRow& row : drives[i].report.evaluation.rows) {
            if (row.id == kTemperatureId) {
                data << ' ' << DriveLabel(drives[i], i) << "_temperature=" << row.shownRaw << ';'
                     << temperatureLimit << ";;;";
            } else if (IsCriticalCounter(row.id)) {
                data << ' ' << DriveLabel(drives[i], i) << "_attr" << row.id << '='
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
    if (status == kCheckCritical || status == kCheckWarning) {
        if (others > 1) {
            line += "（ほか " + std::to_string(others - 1) + " 件）";
        }
    }
    out << line << " |" << PerformanceData(drives, temperatureLimit) << '\n';
    return status;
}

void WritePrometheus(std::ostream& out, const std::vector<MonitoredDrive>& drives) {
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const MonitoredDrive& d = drives[i];
        labels.push_back("drive=\"" +
                         std::to_string(d.driveNumber >= 0 ? d.driveNumber : static_cast<int>(i)) +
                         "\",model=\"" + LabelValue(d.identity.model) + "\",serial=\"" +
                         LabelValue(d.identity.serial) + "\"");
    }
    for (std::size_t f = 0; f < std::size(kFamilies); ++f) {
        out << "# HELP " << kFamilies[f].name << ' ' << kFamilies[f].help << '\n'
            << "# TYPE " << kFamilies[f].name << " gauge\n";
        for (std::size_t i = 0; i < drives.size(); ++i) {
            for (const AttributeRow& row : drives[i].report.evaluation.rows) {
                const std::int64_t figures[] = {row.reading.current, row.reading.worst,
                                                row.reading.threshold, row.reading.raw, row.rank};
                out << kFamilies[f].name << '{' << labels[i] << ",id=\"" << row.id << "\"} "
                    << figures[f] << '\n';
            }
        }
    }
    struct DriveFigure {
        const char* name;
        const char* help;
    };
    const DriveFigure driveFigures[] = {
        {"tolvenar_drive_verdict_passed",
         "1 when the drive's own verdict is PASSED, 0 when FAILED (absent when unknown)."},
        {"tolvenar_drive_temperature_celsius", "Temperature of the drive."},
        {"tolvenar_drive_power_on_seconds", "Power-on time of the drive (counted in hours)."},
        {"tolvenar_drive_report_age_seconds", "Seconds since the drive's report was written."},
        {"tolvenar_drive_warnings", "Warnings of the drive by level (1 warning, 2 failing)."},
    };
    for (std::size_t f = 0; f < std::size(driveFigures); ++f) {
        out << "# HELP " << driveFigures[f].name << ' ' << driveFigures[f].help << '\n'
            << "# TYPE " << driveFigures[f].name << " gauge\n";
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
                    std::int64_t count = 0;
                    for (const DriveWarning& w : d.warnings) {
                        count += w.level == level ? 1 : 0;
                    }
                    out << driveFigures[f].name << '{' << labels[i] << ",level=\""
                        << static_cast<int>(level) << "\"} " << count << '\n';
                }
                continue;
            }
            if (figure) {
                out << driveFigures[f].name << '{' << labels[i] << "} " << *figure << '\n';
            }
        }
    }
}
