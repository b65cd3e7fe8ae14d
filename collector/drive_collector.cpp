#include "collector/drive_collector.h"

#include "collector/capture_reading.h"
#include "collector/device_scan.h"
#include "collector/parallel_for.h"
#include "collector/report_folder.h"
#include "collector/report_text.h"
#include "collector/self_test_schedule.h"
#include "collector/smartctl_messages.h"
#include "collector/smartctl_source.h"
#include "report/report_files.h"

#include <algorithm>
#include <ctime>
#include <optional>

namespace {

// Why a scanned device is not read at all, or nullopt when it can be.
std::optional<std::string> ReasonNotToRead(const ScannedDevice& device, std::size_t number) {
    if (number > static_cast<std::size_t>(kLastDriveNumber)) {
        return "more drives than report numbers (0 to " + std::to_string(kLastDriveNumber) + ")";
    }
    // The scan may already have found the bridge unknown: that drive is read
    // as sat (below) like one whose read says so.
    if (!device.openError.empty() && !IsUnknownUsbBridgeText(device.openError)) {
        return device.openError;
    }
    if (!IsDevicePath(device.name)) {
        return std::string("the scan's name does not look like a device path");
    }
    if (!device.type.empty() && !IsDeviceType(device.type)) {
        return "the scan's device type \"" + SanitizeReportText(device.type) +
               "\" is not one smartctl uses";
    }
    return std::nullopt;
}

CaptureReading ReadOnce(CSmartctlSource& source, const ScannedDevice& device) {
    const Result<SmartctlRun> run = source.Read(device);
    if (!run) {
        CaptureReading failed;
        failed.problem = run.Problem();
        return failed;
    }
    return ReadCapture(run->output, run->exitStatus);
}

// smartctl does not know every USB bridge; for one it does not know it
// suggests "-d sat", which most enclosures pass through. One more try with
// that fixed type and the same checked device name, never with anything else.
constexpr char kUsbBridgeRetryType[] = "sat";

CaptureReading ReadDevice(CSmartctlSource& source, const ScannedDevice& device) {
    ScannedDevice asSat = device;
    asSat.type = kUsbBridgeRetryType;
    if (IsUnknownUsbBridgeText(device.openError)) {
        return ReadOnce(source, asSat);
    }
    CaptureReading reading = ReadOnce(source, device);
    if (reading.outcome == CaptureOutcome::Failed && device.type != kUsbBridgeRetryType &&
        reading.unknownUsbBridge) {
        reading = ReadOnce(source, asSat);
    }
    return reading;
}

std::string DeviceLabel(const ScannedDevice& device, std::size_t number) {
    std::string name = SanitizeReportText(device.name);
    if (name.empty()) {
        name = "(unnamed)";
    }
    return "drive " + std::to_string(number) + " " + name;
}

} // namespace

CDriveCollector::CDriveCollector(CSmartctlSource& source, CReportFolder& folder, bool privileged)
    : m_source(source), m_folder(folder), m_bPrivileged(privileged),
      m_scheduleEnabled(SelfTestTimerEnabled()) {}

std::optional<std::vector<ScannedDevice>> CDriveCollector::ScanDevices(CollectionResult& result) {
    const Result<SmartctlRun> scanRun = m_source.Scan();
    std::string problem = scanRun.Problem();
    if (scanRun && (scanRun->exitStatus & kSmartctlNoDataBits) != 0) {
        problem =
            "smartctl --scan-open ended with exit status " + std::to_string(scanRun->exitStatus);
    } else if (scanRun) {
        Result<DeviceScan> scan = ParseDeviceScan(scanRun->output);
        if (scan) {
            return std::move(scan.Value().devices);
        }
        problem = scan.Problem();
    }
    result.messages.push_back("the drive scan failed, every report is left as it was: " + problem);
    return std::nullopt;
}

std::vector<CaptureReading>
CDriveCollector::ReadDevices(const std::vector<ScannedDevice>& devices) {
    std::vector<CaptureReading> readings(devices.size());
    std::vector<std::size_t> toRead;
    for (std::size_t number = 0; number < devices.size(); ++number) {
        if (auto reason = ReasonNotToRead(devices[number], number)) {
            readings[number].problem = *reason;
        } else {
            toRead.push_back(number);
        }
    }
    // Privileged, each report is written as soon as its drive is read, so
    // that a run ended early still leaves what it has. Unprivileged, nothing
    // is written until it is known that no device refused us.
    ParallelFor(toRead.size(), kMaxParallelReads, [&](std::size_t index) {
        const std::size_t number = toRead[index];
        readings[number] = ReadDevice(m_source, devices[number]);
        if (m_bPrivileged) {
            WriteReading(number, readings[number]);
        }
    });
    return readings;
}

void CDriveCollector::WriteReading(std::size_t number, CaptureReading& reading) {
    const int driveNumber = static_cast<int>(number);
    if (reading.outcome != CaptureOutcome::Report) {
        return;
    }
    if (reading.report.selfTest) {
        reading.report.selfTest->scheduleEnabled = m_scheduleEnabled;
    }
    const Result<void> written = m_folder.WriteReport(driveNumber, FormatReportIni(reading.report));
    reading.written = written.HasValue();
    if (!written) {
        reading.outcome = CaptureOutcome::Failed;
        reading.problem =
            "writing " + ReportFileName(driveNumber) + " failed: " + written.Problem();
    }
}

int CDriveCollector::Summarise(const std::vector<ScannedDevice>& devices,
                               const std::vector<CaptureReading>& readings,
                               CollectionResult& result) {
    std::size_t good = 0;
    for (std::size_t number = 0; number < readings.size(); ++number) {
        const CaptureReading& reading = readings[number];
        if (reading.outcome == CaptureOutcome::Report ||
            reading.outcome == CaptureOutcome::LowPowerMode) {
            ++good;
        } else {
            result.messages.push_back(DeviceLabel(devices[number], number) + ": " +
                                      reading.problem);
        }
    }
    return good == devices.size() ? 0 : (good == 0 ? 2 : 1);
}

CollectionResult CDriveCollector::Run() {
    CollectionResult result;
    const std::optional<std::vector<ScannedDevice>> devices = ScanDevices(result);
    if (!devices) {
        return result;
    }
    const auto refusedAtScan = [](const ScannedDevice& d) {
        return IsPermissionDeniedText(d.openError);
    };
    if (!m_bPrivileged && std::any_of(devices->begin(), devices->end(), refusedAtScan)) {
        result.needsPrivileges = true;
        return result;
    }

    std::vector<CaptureReading> readings = ReadDevices(*devices);
    const auto refused = [](const CaptureReading& r) {
        return r.outcome == CaptureOutcome::PermissionDenied;
    };
    if (!m_bPrivileged) {
        if (std::any_of(readings.begin(), readings.end(), refused)) {
            result.needsPrivileges = true;
            return result;
        }
        for (std::size_t number = 0; number < readings.size(); ++number) {
            WriteReading(number, readings[number]);
        }
    }

    result.exitStatus = Summarise(*devices, readings, result);
    const std::int64_t now = std::time(nullptr);
    for (CaptureReading& reading : readings) {
        if (reading.written) {
            result.written.emplace_back(now, std::move(reading.report));
        }
    }
    if (const Result<void> removed = m_folder.RemoveReportsFrom(static_cast<int>(devices->size()));
        !removed) {
        result.messages.push_back(removed.Problem());
    }
    return result;
}
