#pragma once

#include "report/self_test_state.h"

#include <optional>
#include <string>
#include <vector>

// What the drive list's menu does with a drive's self-tests, apart from Qt.

enum class SelfTestAction { StartShort, StartLong, Abort };

// Which entries of the drive list's menu can be chosen for a drive.
struct SelfTestMenuEnabling {
    bool startShort = false;
    bool startLong = false;
    bool abort = false;
    bool showLog = false;
};

// From the drive's report: a test is started only on a drive with a serial
// number (quelmaro finds the drive by it) and none running; aborted only
// while one runs; the log shown when the report has one.
SelfTestMenuEnabling SelfTestMenuFor(const SelfTestState& state, const std::string& serial);

// quelmaro's arguments for the action, one by one: --self-test
// short|long|abort --serial S. Nothing else reaches the root run.
std::vector<std::string> SelfTestArguments(SelfTestAction action, const std::string& serial);

// How a quelmaro run ended, as the viewer saw it.
struct SelfTestRun {
    bool started = false;  // false: no quelmaro to run
    bool timedOut = false; // ended by the viewer at its bound
    int exitCode = 0;      // when it ended by itself
    std::string output;    // its standard output and error
};

// The message for the user: a sentence, then quelmaro's own last line when
// it gave one. succeeded: the test was started or aborted.
struct SelfTestAnswer {
    bool succeeded = false;
    std::string text;
};
SelfTestAnswer SelfTestAnswerFor(SelfTestAction action, const SelfTestRun& run);

// The last line of a program's output that holds more than blanks, repaired
// to valid UTF-8 and cut to at most 300 bytes; empty when there is none.
std::string LastOutputLine(const std::string& output);

// "自己診断中（残り 70%）" while a test runs, "自己診断中" when its
// progress is unknown, empty when none runs.
std::string SelfTestProgressText(const SelfTestState& state);

// The log window's five texts of entry number (1: the newest).
std::vector<std::string> SelfTestRowTexts(int number, const SelfTestRecord& record);
