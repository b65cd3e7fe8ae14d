#include "report/self_test_state.h"

#include "config/ini_store.h"
#include "report/report_format.h"

#include <cstdlib>

namespace {

constexpr int kMaxEntries = static_cast<int>(kMaxSelfTestEntries);

bool ParseNumber(const std::string& text, std::optional<std::uint64_t>& number) {
    if (text.empty()) {
        number.reset();
        return true;
    }
    if (text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    number = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool KnownOutcome(const std::string& word) {
    for (const char* known : {kOutcomeOk, kOutcomeAborted, kOutcomeInterrupted, kOutcomeFailed,
                              kOutcomeRunning, kOutcomeUnknown}) {
        if (word == known) {
            return true;
        }
    }
    return false;
}

// type,outcome,code,hours,lba,text: the text is the rest of the line.
std::optional<SelfTestRecord> ParseRecord(const std::string& line) {
    std::string fields[5];
    std::size_t start = 0;
    for (std::string& field : fields) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            return std::nullopt;
        }
        field = line.substr(start, comma - start);
        start = comma + 1;
    }
    SelfTestRecord record;
    record.type = fields[0];
    record.outcome = fields[1];
    std::optional<std::uint64_t> code;
    if (record.type.empty() || !KnownOutcome(record.outcome) || !ParseNumber(fields[2], code) ||
        !code || *code > 255 || !ParseNumber(fields[3], record.hours) ||
        !ParseNumber(fields[4], record.lba)) {
        return std::nullopt;
    }
    record.code = static_cast<int>(*code);
    record.text = line.substr(start);
    return record;
}

} // namespace

SelfTestState ReadSelfTestState(CIniStore& report) {
    SelfTestState state;
    const std::string stateWord = report.GetString(kSelfTestStateKey.Path().c_str(), "");
    if (stateWord.empty()) {
        return state;
    }
    state.present = true;
    state.running = stateWord == kSelfTestRunning;
    state.scheduleEnabled =
        std::string(report.GetString(kSelfTestScheduleKey.Path().c_str(), "")) == kScheduleEnabled;
    if (state.running) {
        const int remaining = report.GetInt(kSelfTestRemainingKey.Path().c_str(), -1);
        if (remaining >= 0 && remaining <= 100) {
            state.remainingPercent = remaining;
        }
    }
    int count = report.GetInt(kSelfTestCountKey.Path().c_str(), 0);
    count = count < 0 ? 0 : count > kMaxEntries ? kMaxEntries : count;
    for (int i = 1; i <= count; ++i) {
        const std::string key =
            ReportKey{kSelfTestSection, kSelfTestEntryKeyPrefix}.Path() + std::to_string(i);
        if (auto record = ParseRecord(report.GetString(key.c_str(), ""))) {
            state.entries.push_back(std::move(*record));
        }
    }
    return state;
}

std::optional<SelfTestRecord> LastExtendedSelfTest(const SelfTestState& state) {
    for (const SelfTestRecord& record : state.entries) {
        if (record.type == kSelfTestExtended &&
            (record.outcome == kOutcomeOk || record.outcome == kOutcomeFailed)) {
            return record;
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> HoursSince(const SelfTestRecord& test, std::uint64_t powerOnHours) {
    constexpr std::uint64_t kAtaHourSpan = 65536;
    if (!test.hours) {
        return std::nullopt;
    }
    if (*test.hours <= powerOnHours) {
        const std::uint64_t since = powerOnHours - *test.hours;
        return *test.hours < kAtaHourSpan && since >= kAtaHourSpan ? since % kAtaHourSpan : since;
    }
    return std::nullopt;
}

std::optional<SelfTestRecord> StandingSelfTestFailure(const SelfTestState& state) {
    for (const SelfTestRecord& record : state.entries) {
        if (record.outcome == kOutcomeFailed) {
            return record;
        }
        if (record.outcome == kOutcomeOk && record.type == kSelfTestExtended) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}
