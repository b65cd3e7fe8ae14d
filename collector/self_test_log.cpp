#include "collector/self_test_log.h"

#include "collector/json_access.h"
#include "collector/report_text.h"

namespace {

const nlohmann::json* Path(const nlohmann::json* value, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        value = JsonMember(value, key);
    }
    return value;
}

std::optional<int> SmallCode(const nlohmann::json* value) {
    const auto code = JsonInt32(value);
    if (!code || *code < 0 || *code > 255) {
        return std::nullopt;
    }
    return *code;
}

// The ATA self-test subcommand; 0x80 marks the captive form of the same test.
std::string AtaType(int value) {
    switch (value & 0x7F) {
    case 0:
        return "offline";
    case 1:
        return kSelfTestShort;
    case 2:
        return kSelfTestExtended;
    case 3:
        return "conveyance";
    case 4:
        return "selective";
    default:
        return "other";
    }
}

// The upper four bits of an ATA self-test status: 0 without error, 1 aborted
// by the host, 2 interrupted by a reset, 3 to 8 the drive's failures, 15 in
// progress; 9 to 14 are reserved.
SelfTestOutcome AtaOutcome(int status) {
    const int high = status >> 4;
    if (high == 0) {
        return SelfTestOutcome::Passed;
    }
    if (high == 1) {
        return SelfTestOutcome::Aborted;
    }
    if (high == 2) {
        return SelfTestOutcome::Interrupted;
    }
    if (high >= 3 && high <= 8) {
        return SelfTestOutcome::Failed;
    }
    return high == 15 ? SelfTestOutcome::Running : SelfTestOutcome::Unknown;
}

// NVMe's result code (low four bits): 0 without error; 1 aborted by a
// self-test command, 3 by a namespace removal, 4 by a format, 9 by a
// sanitize; 2 by a controller reset; 5 a fatal error, 6 and 7 failed
// segments; 8 aborted for a reason the drive does not know; 15 an unused entry.
SelfTestOutcome NvmeOutcome(int result) {
    switch (result & 0x0F) {
    case 0:
        return SelfTestOutcome::Passed;
    case 1:
    case 3:
    case 4:
    case 9:
        return SelfTestOutcome::Aborted;
    case 2:
        return SelfTestOutcome::Interrupted;
    case 5:
    case 6:
    case 7:
        return SelfTestOutcome::Failed;
    default:
        return SelfTestOutcome::Unknown;
    }
}

// SCSI's self-test results: 0 completed, 1 aborted by the host, 2 aborted by
// other means (a reset), 3 an unknown error, 4 to 7 a failed segment, 15 in progress.
SelfTestOutcome ScsiOutcome(int result) {
    if (result == 0) {
        return SelfTestOutcome::Passed;
    }
    if (result == 1) {
        return SelfTestOutcome::Aborted;
    }
    if (result == 2) {
        return SelfTestOutcome::Interrupted;
    }
    if (result >= 3 && result <= 7) {
        return SelfTestOutcome::Failed;
    }
    return result == 15 ? SelfTestOutcome::Running : SelfTestOutcome::Unknown;
}

void AddEntry(SelfTestLog& log, SelfTestEntry entry) {
    if (log.entries.size() < kMaxSelfTestEntries) {
        log.entries.push_back(std::move(entry));
    }
}

std::optional<SelfTestLog> ReadAta(const nlohmann::json& capture) {
    const nlohmann::json* status = Path(&capture, {"ata_smart_data", "self_test", "status"});
    const nlohmann::json* logs = JsonMember(&capture, "ata_smart_self_test_log");
    if (status == nullptr && logs == nullptr) {
        return std::nullopt;
    }
    SelfTestLog log;
    log.protocol = "ATA";
    if (const auto value = SmallCode(JsonMember(status, "value"))) {
        log.inProgress = AtaOutcome(*value) == SelfTestOutcome::Running;
        if (log.inProgress) {
            // The low four bits count the remaining tenths.
            log.remainingPercent =
                JsonInt32(JsonMember(status, "remaining_percent")).value_or((*value & 0x0F) * 10);
        }
    }
    // The extended log holds the same entries as the standard one and more.
    const nlohmann::json* table = Path(logs, {"extended", "table"});
    if (table == nullptr || !table->is_array()) {
        table = Path(logs, {"standard", "table"});
    }
    if (table != nullptr && table->is_array()) {
        for (const nlohmann::json& item : *table) {
            const auto type = SmallCode(Path(&item, {"type", "value"}));
            const auto result = SmallCode(Path(&item, {"status", "value"}));
            if (!type || !result) {
                continue;
            }
            SelfTestEntry entry;
            entry.type = AtaType(*type);
            entry.code = *result;
            entry.outcome = AtaOutcome(*result);
            entry.hours = JsonUnsigned(JsonMember(&item, "lifetime_hours"));
            entry.lba = JsonUnsigned(JsonMember(&item, "lba"));
            entry.text = SanitizeReportText(JsonText(Path(&item, {"status", "string"})));
            AddEntry(log, std::move(entry));
        }
    }
    return log;
}

std::optional<SelfTestLog> ReadNvme(const nlohmann::json& capture) {
    const nlohmann::json* nvme = JsonMember(&capture, "nvme_self_test_log");
    if (nvme == nullptr || !nvme->is_object()) {
        return std::nullopt;
    }
    SelfTestLog log;
    log.protocol = "NVMe";
    const auto operation = SmallCode(Path(nvme, {"current_self_test_operation", "value"}));
    log.inProgress = operation.value_or(0) != 0;
    if (log.inProgress) {
        const auto done = JsonInt32(JsonMember(nvme, "current_self_test_completion_percent"));
        if (done && *done >= 0 && *done <= 100) {
            log.remainingPercent = 100 - *done;
        }
    }
    const nlohmann::json* table = JsonMember(nvme, "table");
    if (table != nullptr && table->is_array()) {
        for (const nlohmann::json& item : *table) {
            const auto type = SmallCode(Path(&item, {"self_test_code", "value"}));
            const auto result = SmallCode(Path(&item, {"self_test_result", "value"}));
            if (!type || !result || (*result & 0x0F) == 0x0F) {
                continue;
            }
            SelfTestEntry entry;
            entry.type = *type == 1 ? kSelfTestShort : *type == 2 ? kSelfTestExtended : "other";
            entry.code = *result;
            entry.outcome = NvmeOutcome(*result);
            entry.hours = JsonUnsigned(JsonMember(&item, "power_on_hours"));
            entry.lba = JsonUnsigned(JsonMember(&item, "lba"));
            entry.text = SanitizeReportText(JsonText(Path(&item, {"self_test_result", "string"})));
            AddEntry(log, std::move(entry));
        }
    }
    return log;
}

// A SCSI drive keeps 20 results, smartctl names them scsi_self_test_0 (newest) to _19.
constexpr int kScsiLogSize = 20;

std::optional<SelfTestLog> ReadScsi(const nlohmann::json& capture) {
    SelfTestLog log;
    log.protocol = "SCSI";
    bool any = false;
    for (int i = 0; i < kScsiLogSize; ++i) {
        const std::string key = "scsi_self_test_" + std::to_string(i);
        const nlohmann::json* item = JsonMember(&capture, key.c_str());
        if (item == nullptr) {
            break;
        }
        any = true;
        const auto code = SmallCode(Path(item, {"code", "value"}));
        const auto result = SmallCode(Path(item, {"result", "value"}));
        if (!code || !result) {
            continue;
        }
        SelfTestEntry entry;
        entry.type = (*code == 1 || *code == 5)   ? kSelfTestShort
                     : (*code == 2 || *code == 6) ? kSelfTestExtended
                                                  : "other";
        entry.code = *result;
        entry.outcome = ScsiOutcome(*result);
        entry.hours = JsonUnsigned(Path(item, {"power_on_time", "hours"}));
        entry.lba = JsonUnsigned(Path(item, {"lba_first_failure", "value"}));
        entry.text = SanitizeReportText(JsonText(Path(item, {"result", "string"})));
        if (i == 0 && entry.outcome == SelfTestOutcome::Running) {
            log.inProgress = true;
        }
        AddEntry(log, std::move(entry));
    }
    if (!any) {
        return std::nullopt;
    }
    return log;
}

std::string Number(const std::optional<std::uint64_t>& value) {
    return value ? std::to_string(*value) : std::string();
}

} // namespace

std::optional<SelfTestLog> ReadSelfTestLog(const nlohmann::json& capture) {
    if (!capture.is_object()) {
        return std::nullopt;
    }
    if (auto log = ReadNvme(capture)) {
        return log;
    }
    if (auto log = ReadAta(capture)) {
        return log;
    }
    return ReadScsi(capture);
}

const char* SelfTestOutcomeWord(SelfTestOutcome outcome) {
    switch (outcome) {
    case SelfTestOutcome::Passed:
        return kOutcomeOk;
    case SelfTestOutcome::Aborted:
        return kOutcomeAborted;
    case SelfTestOutcome::Interrupted:
        return kOutcomeInterrupted;
    case SelfTestOutcome::Failed:
        return kOutcomeFailed;
    case SelfTestOutcome::Running:
        return kOutcomeRunning;
    case SelfTestOutcome::Unknown:
        break;
    }
    return kOutcomeUnknown;
}

std::string FormatSelfTestSection(const SelfTestLog& log) {
    std::string text = "\n" + SectionLine(kSelfTestSection);
    text += KeyLine(kSelfTestProtocolKey, log.protocol);
    text += KeyLine(kSelfTestStateKey, log.inProgress ? kSelfTestRunning : kSelfTestIdle);
    if (log.inProgress && log.remainingPercent) {
        text += KeyLine(kSelfTestRemainingKey, std::to_string(*log.remainingPercent));
    }
    if (log.scheduleEnabled) {
        text += KeyLine(kSelfTestScheduleKey,
                        *log.scheduleEnabled ? kScheduleEnabled : kScheduleDisabled);
    }
    text += KeyLine(kSelfTestCountKey, std::to_string(log.entries.size()));
    for (std::size_t i = 0; i < log.entries.size(); ++i) {
        const SelfTestEntry& entry = log.entries[i];
        const std::string name = kSelfTestEntryKeyPrefix + std::to_string(i + 1);
        text += KeyLine(name.c_str(), entry.type + "," + SelfTestOutcomeWord(entry.outcome) + "," +
                                          std::to_string(entry.code) + "," + Number(entry.hours) +
                                          "," + Number(entry.lba) + "," + entry.text);
    }
    return text;
}
