#pragma once

#include <ostream>
#include <string>

// --forget: the drives with this serial number leave the history.
int Forget(const std::string& serial, std::ostream& out, std::ostream& err);
