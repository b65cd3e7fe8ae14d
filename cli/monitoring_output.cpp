#include "cli/monitoring_output.h"

#include "config/ini_store.h"
#include "report/monitor_text.h"
#include "report/report_format.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// Performance data: the temperature and every critical counter of each
// drive. Ranges as the plugin guidelines read them: "N" warns above N.
std::string PerformanceData(const std::vector<MonitoredDrive>& drives, int temperatureLimit) {
    const std::string hot =
        temperatureLimit > 0 ? std::to_string(temperatureLimit - 1) : std::string("~:-1");
    std::ostringstream data;
    std::vector<std::string> used;
    for (const MonitoredDrive& drive : drives) {
        // Two drives whose serials end alike: the later one gets a suffix,
        // so that no two series share a label.
        std::string label = PerfDataLabel(drive);
        const std::string base = label;
        for (int n = 2; std::find(used.begin(), used.end(), label) != used.end(); ++n) {
            label = base + "_" + std::to_string(n);
        }
        used.push_back(label);
        for (const AttributeRow& row : drive.report.evaluation.rows) {
            if (row.id == kTemperatureId) {
                data << ' ' << label << "_temperature=" << row.shownRaw << ';' << hot << ";;;";
            } else if (IsCriticalCounter(row.id)) {
                data << ' ' << label << "_attr" << row.id << '=' << row.reading.raw << ";0;;0;";
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

std::string IdentityLabels(const std::string& model, const std::string& serial) {
    return "model=\"" + LabelValue(model) + "\",serial=\"" + LabelValue(serial) + "\"";
}

void WriteFamilyHeader(std::ostream& out, const char* name, const char* help) {
    out << "# HELP " << name << ' ' << help << '\n' << "# TYPE " << name << " gauge\n";
}

struct AttributeFamily {
    const char* name;
    const char* help;
    std::int64_t (*figure)(const AttributeRow&);
};

const AttributeFamily kAttributeFamilies[] = {
    {"tolvenar_attribute_value", "Current normalised value of a S.M.A.R.T. attribute.",
     [](const AttributeRow& r) -> std::int64_t { return r.reading.current; }},
    {"tolvenar_attribute_worst", "Worst normalised value of a S.M.A.R.T. attribute.",
     [](const AttributeRow& r) -> std::int64_t { return r.reading.worst; }},
    {"tolvenar_attribute_threshold", "Failure threshold of a S.M.A.R.T. attribute.",
     [](const AttributeRow& r) -> std::int64_t { return r.reading.threshold; }},
    {"tolvenar_attribute_raw",
     "Raw value of a S.M.A.R.T. attribute as smartctl decodes it (a gauge: it can fall).",
     [](const AttributeRow& r) -> std::int64_t { return r.reading.raw; }},
    {"tolvenar_attribute_failing", "1 when the current value lies below the threshold.",
     [](const AttributeRow& r) -> std::int64_t { return r.rank; }},
};

std::optional<std::int64_t> RowFigure(const MonitoredDrive& drive, int id, bool shown) {
    for (const AttributeRow& row : drive.report.evaluation.rows) {
        if (row.id == id) {
            return shown ? row.shownRaw : row.reading.raw;
        }
    }
    return std::nullopt;
}

// The drive's newest log entry that is not a test still running.
const SelfTestRecord* NewestEnded(const SelfTestState& state) {
    for (const SelfTestRecord& entry : state.entries) {
        if (entry.outcome != "running") {
            return &entry;
        }
    }
    return nullptr;
}

void WriteSelfTestFamilies(std::ostream& out, const std::vector<MonitoredDrive>& drives,
                           const std::vector<std::string>& labels) {
    WriteFamilyHeader(out, "tolvenar_self_test_last_passed",
                      "0 while a failed self-test stands (no newer extended test has passed "
                      "since), as --check judges it; else 1. Absent when the drive's log is "
                      "empty.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (!drives[i].report.selfTest.entries.empty()) {
            out << "tolvenar_self_test_last_passed{" << labels[i] << "} "
                << (StandingSelfTestFailure(drives[i].report.selfTest) ? 0 : 1) << '\n';
        }
    }
    WriteFamilyHeader(out, "tolvenar_self_test_last_result_code",
                      "Result code of the drive's newest ended self-test as the drive gives it "
                      "(ATA: the status byte, 0 without error; NVMe and SCSI: the result, 0 "
                      "without error), labelled by the test's type.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (const SelfTestRecord* newest = NewestEnded(drives[i].report.selfTest)) {
            out << "tolvenar_self_test_last_result_code{" << labels[i] << ",type=\""
                << LabelValue(newest->type) << "\"} " << newest->code << '\n';
        }
    }
    WriteFamilyHeader(out, "tolvenar_self_test_last_completed_timestamp_seconds",
                      "When the history first read the drive's newest self-test that ran to its "
                      "end, passed or failed: up to one collection interval after it ended (the "
                      "drive's log dates tests only in power-on hours). Absent until the "
                      "history holds it.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].lastSelfTestSeen) {
            out << "tolvenar_self_test_last_completed_timestamp_seconds{" << labels[i] << "} "
                << *drives[i].lastSelfTestSeen << '\n';
        }
    }
}

} // namespace

DriveInfo ReadDriveInfo(const std::string& path) {
    CIniStore report;
    report.Open(path.c_str());
    DriveInfo info;
    info.wwn = report.GetString(kWwnKey.Path().c_str(), "");
    info.device = report.GetString(kDeviceKey.Path().c_str(), "");
    info.firmware = report.GetString(kFirmwareKey.Path().c_str(), "");
    const int gigabytes = report.GetInt(kSizeGbKey.Path().c_str(), -1);
    if (gigabytes >= 0) {
        info.capacityBytes = static_cast<std::int64_t>(gigabytes) * 1000000000;
    }
    return info;
}

std::string DriveSerialLabel(const MonitoredDrive& drive) {
    if (!drive.identity.serial.empty()) {
        return drive.identity.serial;
    }
    return drive.info.wwn.empty() ? drive.reportName : drive.info.wwn;
}

std::string PerfDataLabel(const MonitoredDrive& drive) {
    std::string letters;
    for (char c : DriveSerialLabel(drive)) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            letters += c;
        }
    }
    return letters.size() > 8 ? letters.substr(letters.size() - 8) : letters;
}

int WriteCheck(std::ostream& out, const MonitoringState& state, const CheckSettings& settings) {
    std::vector<std::string> failing;
    std::vector<std::string> warning;
    for (const MonitoredDrive& drive : state.drives) {
        for (const DriveWarning& w : drive.warnings) {
            (w.level == WarningLevel::Failing ? failing : warning).push_back(w.text);
        }
    }
    for (const DriveWarning& w : VanishedWarnings(state.vanished)) {
        warning.push_back(w.text);
    }
    std::int64_t newest = -1;
    for (const MonitoredDrive& drive : state.drives) {
        newest = std::max(newest, drive.readingTime);
    }
    if (newest >= 0 && state.now - newest > settings.maxAge) {
        warning.insert(warning.begin(), StaleText(state.now - newest, settings.maxAge));
    }
    // Worst first, in the order monitoring systems rank states: a drive
    // known to fail is not hidden behind a part that cannot be told.
    std::vector<std::string> problems = failing;
    problems.insert(problems.end(), state.unknown.begin(), state.unknown.end());
    problems.insert(problems.end(), warning.begin(), warning.end());

    int status = kCheckOk;
    std::string line;
    if (!failing.empty()) {
        status = kCheckCritical;
        line = "CRITICAL: ";
    } else if (!state.unknown.empty()) {
        status = kCheckUnknown;
        line = "UNKNOWN: ";
    } else if (!warning.empty()) {
        status = kCheckWarning;
        line = "WARNING: ";
    }
    if (problems.empty()) {
        line = "OK: " + std::to_string(state.drives.size()) + " drives";
    } else {
        line += problems.front();
        if (problems.size() > 1) {
            line += MonitorText(" (and {1} more)", {std::to_string(problems.size() - 1)});
        }
    }
    out << line << " |" << PerformanceData(state.drives, settings.temperatureLimit) << '\n';
    // Long output: every problem on a line of its own, the first included.
    if (problems.size() > 1) {
        for (const std::string& problem : problems) {
            out << problem << '\n';
        }
    }
    return status;
}

void WritePrometheus(std::ostream& out, const MonitoringState& state) {
    std::vector<std::string> labels;
    for (const MonitoredDrive& drive : state.drives) {
        labels.push_back(IdentityLabels(drive.identity.model, DriveSerialLabel(drive)));
    }
    const auto& drives = state.drives;

    WriteFamilyHeader(out, "tolvenar_drive_info",
                      "Identity of a drive whose report is present (always 1).");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const DriveInfo& info = drives[i].info;
        out << "tolvenar_drive_info{" << labels[i] << ",wwn=\"" << LabelValue(info.wwn)
            << "\",device=\"" << LabelValue(info.device) << "\",firmware=\""
            << LabelValue(info.firmware) << "\",capacity_bytes=\""
            << (info.capacityBytes ? std::to_string(*info.capacityBytes) : std::string())
            << "\"} 1\n";
    }
    WriteFamilyHeader(out, "tolvenar_drive_present",
                      "1 when the drive has a report, 0 when the history read it lately "
                      "and it has none (vanished).");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        out << "tolvenar_drive_present{" << labels[i] << "} 1\n";
    }
    for (const VanishedDrive& v : state.vanished) {
        out << "tolvenar_drive_present{" << IdentityLabels(v.drive.model, v.drive.serial)
            << "} 0\n";
    }
    WriteFamilyHeader(out, "tolvenar_drive_reading_timestamp_seconds",
                      "When the drive was last read (a vanished drive: by the history).");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].readingTime >= 0) {
            out << "tolvenar_drive_reading_timestamp_seconds{" << labels[i] << "} "
                << drives[i].readingTime << '\n';
        }
    }
    for (const VanishedDrive& v : state.vanished) {
        out << "tolvenar_drive_reading_timestamp_seconds{"
            << IdentityLabels(v.drive.model, v.drive.serial) << "} " << v.lastSeen << '\n';
    }
    WriteFamilyHeader(out, "tolvenar_drive_report_error",
                      "1 when the drive's report is malformed or cannot be read.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        out << "tolvenar_drive_report_error{" << labels[i] << "} "
            << (drives[i].reportError ? 1 : 0) << '\n';
    }

    for (const AttributeFamily& family : kAttributeFamilies) {
        WriteFamilyHeader(out, family.name, family.help);
        for (std::size_t i = 0; i < drives.size(); ++i) {
            for (const AttributeRow& row : drives[i].report.evaluation.rows) {
                out << family.name << '{' << labels[i] << ",id=\"" << row.id << "\"} "
                    << family.figure(row) << '\n';
            }
        }
    }
    const struct {
        const char* name;
        const char* help;
        std::optional<std::int64_t> (CounterGrowth::*change)() const;
    } growthFamilies[] = {
        {"tolvenar_attribute_raw_change_24h",
         "Change of a critical counter's raw value over the last 24 h, from the history "
         "(since first seen when that is later); negative when it fell.",
         &CounterGrowth::ChangeOverDay},
        {"tolvenar_attribute_raw_change_since_first_seen",
         "Change of a critical counter's raw value since the history first read the drive.",
         &CounterGrowth::ChangeSinceFirstSeen},
    };
    for (const auto& family : growthFamilies) {
        WriteFamilyHeader(out, family.name, family.help);
        for (std::size_t i = 0; i < drives.size(); ++i) {
            for (const CounterGrowth& growth : drives[i].growth) {
                if (const auto change = (growth.*family.change)()) {
                    out << family.name << '{' << labels[i] << ",id=\"" << growth.id << "\"} "
                        << *change << '\n';
                }
            }
        }
    }

    WriteFamilyHeader(out, "tolvenar_drive_verdict_passed",
                      "1 when the drive's own verdict is PASSED, 0 when FAILED (absent when "
                      "unknown).");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const std::string& verdict = drives[i].report.panel.verdict;
        if (!verdict.empty()) {
            out << "tolvenar_drive_verdict_passed{" << labels[i] << "} "
                << (verdict == kVerdictPassed ? 1 : 0) << '\n';
        }
    }
    WriteFamilyHeader(out, "tolvenar_drive_temperature_celsius", "Temperature of the drive.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (const auto degrees = RowFigure(drives[i], kTemperatureId, true)) {
            out << "tolvenar_drive_temperature_celsius{" << labels[i] << "} " << *degrees << '\n';
        }
    }
    WriteFamilyHeader(out, "tolvenar_drive_power_on_seconds",
                      "Power-on time of the drive (counted in hours).");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (const auto hours = RowFigure(drives[i], kPowerOnHoursId, true)) {
            out << "tolvenar_drive_power_on_seconds{" << labels[i] << "} " << *hours * 3600 << '\n';
        }
    }
    WriteFamilyHeader(out, "tolvenar_drive_warnings",
                      "Warnings of the drive by level (1 warning, 2 failing), as --check "
                      "counts them.");
    for (std::size_t i = 0; i < drives.size(); ++i) {
        for (const WarningLevel level : {WarningLevel::Warning, WarningLevel::Failing}) {
            const auto count =
                std::count_if(drives[i].warnings.begin(), drives[i].warnings.end(),
                              [level](const DriveWarning& w) { return w.level == level; });
            out << "tolvenar_drive_warnings{" << labels[i] << ",level=\"" << static_cast<int>(level)
                << "\"} " << count << '\n';
        }
    }

    WriteSelfTestFamilies(out, drives, labels);

    if (state.collection.lastRunSucceeded) {
        WriteFamilyHeader(out, "tolvenar_collection_last_run_success",
                          "1 when the last collection run succeeded, 0 when it failed.");
        out << "tolvenar_collection_last_run_success "
            << (*state.collection.lastRunSucceeded ? 1 : 0) << '\n';
    }
    if (state.collection.lastSuccess) {
        WriteFamilyHeader(out, "tolvenar_collection_last_success_timestamp_seconds",
                          "When the last successful collection run ended.");
        out << "tolvenar_collection_last_success_timestamp_seconds "
            << *state.collection.lastSuccess << '\n';
    }
}

std::optional<std::int64_t> ReadLastSuccess(const std::string& metrics) {
    const std::string name = "\ntolvenar_collection_last_success_timestamp_seconds ";
    const std::size_t at = ("\n" + metrics).find(name);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const std::string rest = metrics.substr(at + name.size() - 1);
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 19 &&
           std::isdigit(static_cast<unsigned char>(rest[digits]))) {
        ++digits;
    }
    if (digits == 0 || (digits < rest.size() && rest[digits] != '\n')) {
        return std::nullopt;
    }
    return std::stoll(rest.substr(0, digits));
}
