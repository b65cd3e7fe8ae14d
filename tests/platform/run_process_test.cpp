#include "platform/run_process.h"
#include "support/temp_folder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

ProcessResult RunScript(const std::string& script, std::chrono::milliseconds limit = 0ms) {
    ProcessRequest request;
    request.arguments = {"/bin/sh", "-c", script};
    request.timeLimit = limit;
    return RunProcess(request);
}

TEST(RunProcess, CollectsOutputAndExitStatus) {
    const ProcessResult result = RunScript("printf 'a\\nb'; echo hidden >&2; exit 3");
    EXPECT_EQ(result.end, ProcessEnd::Exited);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.output, "a\nb");
}

TEST(RunProcess, ArgumentsArePassedAsTheyAreWithoutAShell) {
    ProcessRequest request;
    request.arguments = {"/bin/echo", "$HOME", "a b", ";", "`id`"};
    const ProcessResult result = RunProcess(request);
    EXPECT_EQ(result.output, "$HOME a b ; `id`\n");
}

TEST(RunProcess, EnvironmentIsTheOneGiven) {
    ProcessRequest request;
    request.arguments = {"/usr/bin/env"};
    request.environment = std::vector<std::string>{"ONLY=this"};
    EXPECT_EQ(RunProcess(request).output, "ONLY=this\n");
}

TEST(RunProcess, StandardInputIsEmpty) {
    EXPECT_EQ(RunScript("cat; echo end").output, "end\n");
}

TEST(RunProcess, MissingProgramIsNotStarted) {
    ProcessRequest request;
    request.arguments = {"/nonexistent/smartctl", "--scan-open"};
    const ProcessResult result = RunProcess(request);
    EXPECT_EQ(result.end, ProcessEnd::Failed);
    EXPECT_NE(result.problem.find("could not be started"), std::string::npos) << result.problem;
    EXPECT_EQ(RunProcess(ProcessRequest{}).end, ProcessEnd::Failed);
}

TEST(RunProcess, SignalIsReported) {
    const ProcessResult result = RunScript("kill -TERM $$");
    EXPECT_EQ(result.end, ProcessEnd::Signalled);
    EXPECT_EQ(result.signal, 15);
}

TEST(RunProcess, HangingChildAndWhatItStartedAreEndedAtTheLimit) {
    TempFolder scratch;
    const std::string marker = scratch / "grandchild-survived";
    const auto start = std::chrono::steady_clock::now();
    // The grandchild keeps the output pipe open; it must be ended too.
    const ProcessResult result =
        RunScript("echo partial; (sleep 1; touch '" + marker + "') & sleep 30", 300ms);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.end, ProcessEnd::TimedOut);
    EXPECT_LT(elapsed, 5s);
    std::this_thread::sleep_for(1500ms);
    EXPECT_NE(access(marker.c_str(), F_OK), 0);
}

TEST(RunProcess, ChildThatClosesItsOutputButStaysIsEndedAtTheLimit) {
    const ProcessResult result = RunScript("exec >&-; sleep 30", 300ms);
    EXPECT_EQ(result.end, ProcessEnd::TimedOut);
}

TEST(RunProcess, OutputBeyondTheLimitEndsTheChild) {
    ProcessRequest request;
    request.arguments = {"/bin/sh", "-c", "while :; do echo xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx; done"};
    request.timeLimit = 10s;
    request.maxOutputBytes = 100000;
    const ProcessResult result = RunProcess(request);
    EXPECT_EQ(result.end, ProcessEnd::OutputTooLarge);
    EXPECT_LE(result.output.size(), 100000u);
}

} // namespace
