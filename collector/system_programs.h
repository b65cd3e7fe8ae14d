#pragma once

#include <string>

// Finds a helper program (smartctl, pkexec). A name with a slash is used as
// it is. Any other name is looked for in the system folders first (/usr/sbin
// first: Debian puts smartctl there, where a user's PATH does not look), then
// in the absolute folders of PATH, never in the current directory. Empty
// when no executable file of that name is found.
std::string LocateProgram(const std::string& name);
