#pragma once

// The report file smart_PhysicalDrive<N>.ini: the names, ids and lines that
// the collector writes and every reader reads, in one place. Header only and
// free of every other part of the program, so that the history, below the
// rest of report/, shares it too.

#include <cstddef>
#include <cstdint>
#include <string>

// One key of a report: its section and its name.
struct ReportKey {
    const char* section;
    const char* name;
    // "SECTION::NAME", the key path CIniStore reads.
    std::string Path() const { return std::string(section) + "::" + name; }
};

inline constexpr char kInfoSection[] = "HDDINFO";
inline constexpr char kAttributeSection[] = "SMARTS";
inline constexpr char kSelfTestSection[] = "SELFTEST";

// [HDDINFO]. SIZE_GB and SIZE_GIB are missing when the capacity is unknown;
// SMART_STATUS, WWN and DEVICE when the collector does not know them.
inline constexpr ReportKey kModelKey{kInfoSection, "MODEL"};
inline constexpr ReportKey kSerialKey{kInfoSection, "SERIAL_NUMBER"};
inline constexpr ReportKey kFirmwareKey{kInfoSection, "FIRMWARE_REVISION"};
inline constexpr ReportKey kSizeGbKey{kInfoSection, "SIZE_GB"};
inline constexpr ReportKey kSizeGibKey{kInfoSection, "SIZE_GIB"};
inline constexpr ReportKey kWwnKey{kInfoSection, "WWN"};
inline constexpr ReportKey kDeviceKey{kInfoSection, "DEVICE"};
inline constexpr ReportKey kVerdictKey{kInfoSection, "SMART_STATUS"};
// The words of SMART_STATUS.
inline constexpr char kVerdictPassed[] = "PASSED";
inline constexpr char kVerdictFailed[] = "FAILED";

// [SMARTS]: ATTR_<id>=current,worst,threshold,raw,auxiliary for ids 1 to 255.
inline constexpr char kAttributeKeyPrefix[] = "ATTR_";
inline constexpr int kFirstAttributeId = 1;
inline constexpr int kLastAttributeId = 255;
inline constexpr int kAttributeFieldCount = 5;

// Attribute ids with a meaning of their own. NVMe and SCSI drives have no
// ATA attributes: the collector maps their health data onto these ids.
inline constexpr int kStartStopCountId = 4;
inline constexpr int kReallocatedSectorsId = 5; // SCSI: the grown defect list
inline constexpr int kPowerOnHoursId = 9;
inline constexpr int kPowerCyclesId = 12;
// SCSI's uncorrected read, write and verify errors, on ids no ATA drive uses.
inline constexpr int kUncorrectedReadsId = 19;
inline constexpr int kUncorrectedWritesId = 20;
inline constexpr int kUncorrectedVerifiesId = 21;
inline constexpr int kReportedUncorrectId = 187; // NVMe: media errors
inline constexpr int kUnsafeShutdownsId = 192;
inline constexpr int kLoadCyclesId = 193;
inline constexpr int kTemperatureId = 194;
inline constexpr int kReallocationEventsId = 196;
inline constexpr int kPendingSectorsId = 197;
inline constexpr int kOfflineUncorrectableId = 198;
inline constexpr int kAvailableSpareId = 232; // NVMe
inline constexpr int kPercentageUsedId = 233; // NVMe and SCSI: 100 - endurance used
// Used by no ATA drive: every drive's own verdict (smartctl's overall
// assessment, NVMe critical warnings).
inline constexpr int kVerdictId = 255;

// One ATTR_<id> line.
struct AttributeReading {
    int id = 0;
    int current = 0;
    int worst = 0;
    int threshold = 0;
    // smartctl's decoding of the raw bytes, signed 64-bit: counters such as
    // the total written sectors pass 2^32.
    std::int64_t raw = 0;
    // Bits 32-47 of the raw bytes (attribute 194 on most drives: the highest
    // temperature).
    std::uint16_t auxiliary = 0;
};

// What tells a drive from every other: model and serial number (the drive
// number changes with the scan).
struct DriveIdentity {
    std::string model;
    std::string serial;
    bool operator==(const DriveIdentity& other) const {
        return model == other.model && serial == other.serial;
    }
};

// [SELFTEST]: PROTOCOL, STATE, REMAINING_PERCENT (only while running),
// SCHEDULE (whether the scheduled tests' timer is enabled; absent when the
// collector could not tell), ENTRY_COUNT and ENTRY_<n>=type,outcome,code,hours,lba,text from 1
// (newest).
inline constexpr ReportKey kSelfTestProtocolKey{kSelfTestSection, "PROTOCOL"};
inline constexpr ReportKey kSelfTestStateKey{kSelfTestSection, "STATE"};
inline constexpr ReportKey kSelfTestRemainingKey{kSelfTestSection, "REMAINING_PERCENT"};
inline constexpr ReportKey kSelfTestScheduleKey{kSelfTestSection, "SCHEDULE"};
inline constexpr char kScheduleEnabled[] = "enabled";
inline constexpr char kScheduleDisabled[] = "disabled";
inline constexpr ReportKey kSelfTestCountKey{kSelfTestSection, "ENTRY_COUNT"};
inline constexpr char kSelfTestEntryKeyPrefix[] = "ENTRY_";
// ATA drives keep 21 entries in their standard log; the extended log may
// hold thousands, of which only the newest are worth a report.
inline constexpr std::size_t kMaxSelfTestEntries = 21;

// The words of STATE, of an entry's type and of its outcome.
inline constexpr char kSelfTestIdle[] = "idle";
inline constexpr char kSelfTestRunning[] = "running";
inline constexpr char kSelfTestShort[] = "short";
inline constexpr char kSelfTestExtended[] = "extended";
inline constexpr char kOutcomeOk[] = "ok";
inline constexpr char kOutcomeAborted[] = "aborted";
inline constexpr char kOutcomeInterrupted[] = "interrupted";
inline constexpr char kOutcomeFailed[] = "failed";
inline constexpr const char* kOutcomeRunning = kSelfTestRunning;
inline constexpr char kOutcomeUnknown[] = "unknown";
