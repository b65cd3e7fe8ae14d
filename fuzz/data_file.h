#pragma once

#include <string>

// The bytes of a file of the source tree's data folder (the shipped tables),
// read once by the fuzz targets that evaluate against them; an unreadable
// file stops the run, as no finding would mean anything without it.
std::string ReadDataFile(const std::string& name);
