#pragma once

#include <string>

// The running executable, links resolved (/proc/self/exe); empty when it
// cannot be told.
std::string ExecutablePath();

// The folder holding it: each program's own folder, where its data files and
// the reports live. Empty when it cannot be told (no /proc): then nothing is
// found rather than files being read from the current directory.
std::string ExecutableFolder();
