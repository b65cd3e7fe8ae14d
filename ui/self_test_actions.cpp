#include "ui/self_test_actions.h"

#include "platform/utf8.h"
#include "report/format_grouped.h"
#include "ui/self_test_texts.h"

#include <climits>

namespace {

constexpr std::size_t kMaxLineBytes = 300;
constexpr std::uint64_t kMaxGrouped = static_cast<std::uint64_t>(LLONG_MAX);

std::string FillIn(const char* text, const std::string& value) {
    std::string filled = text;
    const std::size_t at = filled.find("{1}");
    return at == std::string::npos ? filled : filled.replace(at, 3, value);
}

} // namespace

SelfTestMenuEnabling SelfTestMenuFor(const SelfTestState& state, const std::string& serial) {
    SelfTestMenuEnabling menu;
    const bool named = !serial.empty();
    menu.startShort = named && !state.running;
    menu.startLong = menu.startShort;
    menu.abort = named && state.running;
    menu.showLog = state.present;
    return menu;
}

std::vector<std::string> SelfTestArguments(SelfTestAction action, const std::string& serial) {
    const char* kind = action == SelfTestAction::StartShort  ? "short"
                       : action == SelfTestAction::StartLong ? "long"
                                                             : "abort";
    return {"--self-test", kind, "--serial", serial};
}

SelfTestAnswer SelfTestAnswerFor(SelfTestAction action, const SelfTestRun& run) {
    const std::string verb = action == SelfTestAction::Abort ? kVerbAbort : kVerbStart;
    SelfTestAnswer answer;
    if (!run.started) {
        answer.text = FillIn(kNoCollector, verb);
        return answer;
    }
    if (run.timedOut) {
        answer.text = kTimedOut;
    } else {
        // quelmaro's exit statuses of a self-test command.
        switch (run.exitCode) {
        case 0:
            answer.succeeded = true;
            answer.text = action == SelfTestAction::StartShort  ? kStartedShort
                          : action == SelfTestAction::StartLong ? kStartedLong
                                                                : kAborted;
            return answer; // its line names the device, which the user did not ask for
        case 1:
            answer.text = FillIn(kSmartctlFailed, verb);
            break;
        case 2:
            answer.text = FillIn(kNotAuthorized, verb);
            break;
        case 3:
            answer.text = FillIn(kRefused, verb);
            break;
        default:
            answer.text = FillIn(kOddEnd, std::to_string(run.exitCode));
            break;
        }
    }
    const std::string line = LastOutputLine(run.output);
    if (!line.empty()) {
        answer.text += "\n" + line;
    }
    return answer;
}

std::string LastOutputLine(const std::string& output) {
    std::size_t end = output.size();
    while (end > 0) {
        const std::size_t newline = output.rfind('\n', end - 1);
        const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
        std::string line = output.substr(start, end - start);
        for (char& c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                c = ' '; // a carriage return or an escape sequence shows as nothing odd
            }
        }
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos) {
            line = line.substr(first, line.find_last_not_of(' ') - first + 1);
            line = ReplaceInvalidUtf8(line);
            return line.substr(0, Utf8PrefixLength(line.data(), line.size(), kMaxLineBytes));
        }
        if (newline == std::string::npos) {
            break;
        }
        end = newline;
    }
    return std::string();
}

std::string SelfTestProgressText(const SelfTestState& state) {
    if (!state.running) {
        return std::string();
    }
    return state.remainingPercent ? FillIn(kStateRemaining, std::to_string(*state.remainingPercent))
                                  : std::string(kStateRunning);
}

std::vector<std::string> SelfTestRowTexts(int number, const SelfTestRecord& record) {
    return {
        std::to_string(number),
        SelfTestWordText(kSelfTestTypeTexts, record.type),
        SelfTestWordText(kSelfTestOutcomeTexts, record.outcome),
        record.hours
            ? FillIn(kHoursValue, *record.hours <= kMaxGrouped
                                      ? FormatGrouped(static_cast<long long>(*record.hours))
                                      : std::to_string(*record.hours))
            : std::string(),
        record.lba ? std::to_string(*record.lba) : std::string(),
    };
}
