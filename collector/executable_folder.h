#pragma once

#include <string>

// The running executable, links resolved (/proc/self/exe); empty when it
// cannot be told.
std::string ExecutablePath();

// The folder holding it: the collector's own folder, where the viewer looks
// for the reports. Empty when it cannot be told.
std::string ExecutableFolder();
