#include "support/temp_folder.h"
#include "ui/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

// After reaping, not even a zombie holds the id.
bool ProcessGone(pid_t pid) {
    return kill(pid, 0) == -1 && errno == ESRCH;
}

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (access(path.c_str(), F_OK) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(CChildProcess, ExitCodesAndOneProcessPerObject) {
    const struct {
        const char* script;
        int code;
    } cases[] = {{"exit 0", 0}, {"exit 2", 2}, {"kill -KILL $$", 128 + SIGKILL}};
    for (const auto& c : cases) {
        CChildProcess child;
        ASSERT_TRUE(child.Start("/bin/sh", {"-c", c.script}).HasValue());
        EXPECT_FALSE(child.Start("/bin/sh", {"-c", "exit 0"}).HasValue());
        int exitCode = -42;
        ASSERT_TRUE(child.Wait(&exitCode, CChildProcess::kInfinite)) << c.script;
        EXPECT_EQ(exitCode, c.code) << c.script;
        exitCode = -42;
        EXPECT_TRUE(child.GetExitCode(&exitCode)); // asked again, same answer
        EXPECT_EQ(exitCode, c.code) << c.script;
    }
}

TEST(CChildProcess, MissingProgramDoesNotStart) {
    CChildProcess child;
    EXPECT_FALSE(child.Start("/nonexistent/quelmaro", {"-uf"}).HasValue());
    EXPECT_FALSE(child.IsStarted());
    EXPECT_FALSE(child.Wait(nullptr, CChildProcess::kInfinite));
    EXPECT_FALSE(child.GetExitCode(nullptr));
}

TEST(CChildProcess, StoppedChildIsEndedAndReaped) {
    enum How { kTerminate, kDestructor };
    const struct {
        const char* name;
        const char* script; // READY marks the moment the script has set itself up
        How how;
        int code;
    } cases[] = {
        {"TERM", "READY; exec sleep 30", kTerminate, 128 + SIGTERM},
        // An ignored signal stays ignored across exec, so sleep ignores TERM too.
        {"TERM ignored, then KILL", "trap '' TERM; READY; exec sleep 30", kTerminate,
         128 + SIGKILL},
        {"by the destructor", "READY; exec sleep 30", kDestructor, 0},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string ready = folder / "ready";
        std::string script = c.script;
        script.replace(script.find("READY"), 5, ": > \"$0\"");
        pid_t pid = 0;
        {
            CChildProcess child;
            ASSERT_TRUE(child.Start("/bin/sh", {"-c", script, ready}).HasValue());
            pid = child.ProcessId();
            ASSERT_TRUE(WaitForFile(ready)) << c.name;
            EXPECT_FALSE(child.Wait(nullptr, 20)) << c.name;
            if (c.how == kTerminate) {
                child.Terminate(200);
                int exitCode = 0;
                ASSERT_TRUE(child.GetExitCode(&exitCode)) << c.name;
                EXPECT_EQ(exitCode, c.code) << c.name;
            }
        }
        EXPECT_TRUE(ProcessGone(pid)) << c.name;
    }
}

} // namespace

TEST(CChildProcess, CapturesBothStreamsAndKeepsTheTail) {
    const struct {
        const char* script;
        std::string output;
    } cases[] = {
        {"echo out; echo err >&2", "out\nerr\n"},
        // More than a pipe holds: drained while it runs, only the end kept.
        {"head -c 100000 /dev/zero | tr '\\0' a; echo END",
         std::string(CChildProcess::kMaxOutputBytes - 4, 'a') + "END\n"},
    };
    for (const auto& c : cases) {
        CChildProcess child;
        ASSERT_TRUE(child.StartCapturing("/bin/sh", {"-c", c.script}).HasValue());
        for (int i = 0; i < 1000 && !child.GetExitCode(nullptr); ++i) {
            child.DrainOutput();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        child.DrainOutput();
        EXPECT_EQ(child.Output(), c.output) << c.script;
    }
}
