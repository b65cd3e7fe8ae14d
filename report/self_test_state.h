#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CIniStore;

// One ENTRY_<n> of a report's [SELFTEST] section.
struct SelfTestRecord {
    std::string type;    // short, extended, conveyance, selective, offline, other
    std::string outcome; // ok, aborted, interrupted, failed, running, unknown
    int code = 0;
    std::optional<std::uint64_t> hours;
    std::optional<std::uint64_t> lba; // first failing LBA
    std::string text;
};

// What a report says about the drive's self-tests.
struct SelfTestState {
    bool present = false; // the report has a [SELFTEST] section
    bool running = false;
    std::optional<int> remainingPercent;
    // The collector found tolvenar-self-test.timer enabled (SCHEDULE=enabled).
    bool scheduleEnabled = false;
    std::vector<SelfTestRecord> entries; // newest first
};

// Reads [SELFTEST] of a report. A missing section gives present false; an
// entry that does not have six fields, a known outcome and whole numbers is
// left out; ENTRY_COUNT beyond kMaxSelfTestEntries (what the collector writes at most)
// reads that many.
SelfTestState ReadSelfTestState(CIniStore& report);

// The newest extended test that ran to its end, passed or failed; nullopt
// when the log holds none.
std::optional<SelfTestRecord> LastExtendedSelfTest(const SelfTestState& state);

// The power-on hours since the test, from the drive's power-on hours now:
// no wall clock needed. An ATA log keeps the hours in 16 bits, so a drive
// past 65535 hours is compared modulo 65536. nullopt when the entry has no
// hours or lies ahead of now.
std::optional<std::uint64_t> HoursSince(const SelfTestRecord& test, std::uint64_t powerOnHours);

// The failed test that still stands: the newest failed entry that no newer
// extended test completed without error has since cleared (as smartctl
// itself judges its log); nullopt when there is none.
std::optional<SelfTestRecord> StandingSelfTestFailure(const SelfTestState& state);
