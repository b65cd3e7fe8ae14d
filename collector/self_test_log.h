#pragma once

#include "report/report_format.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// How a logged self-test ended, in the words of the [SELFTEST] section.
enum class SelfTestOutcome {
    Passed,      // completed without error
    Aborted,     // stopped by the host (or a new command, a format, a sanitize)
    Interrupted, // ended by a reset or a power loss
    Failed,      // any failure the drive recorded
    Running,     // the entry of a test still in progress
    Unknown,     // a result code this program does not know
};

// One entry of a drive's self-test log.
struct SelfTestEntry {
    std::string type; // short, extended, conveyance, selective, offline, other
    SelfTestOutcome outcome = SelfTestOutcome::Unknown;
    int code = 0;                       // the result as the drive gave it
    std::optional<std::uint64_t> hours; // power-on hours when it ended
    std::optional<std::uint64_t> lba;   // first failing LBA, when the drive names one
    std::string text;                   // smartctl's words for the result, clean
};

struct SelfTestLog {
    std::string protocol; // ATA, NVMe or SCSI
    bool inProgress = false;
    std::optional<int> remainingPercent; // only while in progress
    std::vector<SelfTestEntry> entries;  // newest first
    // Whether tolvenar-self-test.timer is enabled, as the collector found it;
    // unknown for a converted capture.
    std::optional<bool> scheduleEnabled;
};

// The self-test state and log of a parsed `smartctl --json -a` capture:
// ATA from ata_smart_data.self_test.status and ata_smart_self_test_log
// (extended, else standard), NVMe from nvme_self_test_log, SCSI from
// scsi_self_test_0, 1, ... nullopt when the capture has none of them. Entries
// without a usable type or result are left out; a missing hour or LBA stays
// unknown. Never throws.
std::optional<SelfTestLog> ReadSelfTestLog(const nlohmann::json& capture);

// The word an outcome has in the report: ok, aborted, interrupted, failed,
// running, unknown.
const char* SelfTestOutcomeWord(SelfTestOutcome outcome);

// The [SELFTEST] section, blank line first: PROTOCOL, STATE (idle or
// running), REMAINING_PERCENT while running, SCHEDULE (enabled or disabled,
// when known), ENTRY_COUNT and
// ENTRY_<n>=type,outcome,code,hours,lba,text from 1 (newest); an unknown hour
// or LBA is an empty field. The text comes last, so commas in it do no harm.
std::string FormatSelfTestSection(const SelfTestLog& log);
