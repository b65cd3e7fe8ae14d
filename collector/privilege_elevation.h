#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

struct CollectorOptions;

// pkexec, found like any helper program. In a build with tests, the
// environment variable QUELMARO_PKEXEC, when set, names it instead; set but
// empty, it means that there is none (the tests use both, never the real
// pkexec).
std::string LocatePkexec();

// True when running as root. In a build with tests, QUELMARO_ASSUME_USER set
// to a non-empty text makes a run as root behave as a user's run (the tests
// may run as root).
bool RunningPrivileged();

// The command that runs this collector once more as root: pkexec, the
// collector's own path, -uf --no-elevate and the time limit; nothing that
// names a program, a file or a folder. Never a shell.
std::vector<std::string> ElevatedCommand(const std::string& pkexec, const std::string& self,
                                         const CollectorOptions& options);

// Runs the command with our standard streams (pkexec may ask for a password)
// and no time limit. The collector's own exit status 0 to highestOwnStatus
// (2, or 3 for a self-test command); anything else (pkexec refused or was
// cancelled: 126, 127) is a Failure (one line).
[[nodiscard]] Result<int> RunElevated(const std::vector<std::string>& command,
                                      int highestOwnStatus = 2);
