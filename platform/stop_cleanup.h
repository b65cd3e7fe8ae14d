#pragma once

#include <mutex>
#include <string>
#include <sys/types.h>

// What a program that is told to stop (SIGTERM, SIGINT, SIGHUP) must not
// leave behind: the process groups of the children it started and the
// temporary files it is writing. CProcess and WriteFileAtomically register
// them; EndOnStopSignals turns a stop signal into ending every registered
// group, removing every registered file and exiting.
//
// A registration and the action it stands for happen under one lock (a
// spawn and its group, a rename and its file), so that a stop sees either
// both or neither.
class CStopCleanup {
public:
    static std::unique_lock<std::mutex> Lock();

    // Each with the lock held.
    static void AddProcessGroup(pid_t group);
    static void RemoveProcessGroup(pid_t group);
    static void AddTemporaryFile(int folderFd, const std::string& name);
    static void RemoveTemporaryFile(int folderFd, const std::string& name);

    // From now on SIGTERM, SIGINT and SIGHUP end every registered group
    // (SIGKILL), remove every registered file, say so in one line on
    // standard error (prefix: the program's name) and exit with exitStatus.
    // Call before starting any thread: the signals are blocked in every
    // thread and taken by a watcher thread of their own.
    static void EndOnStopSignals(const char* prefix, int exitStatus);
};
