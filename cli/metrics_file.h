#pragma once

#include <ostream>
#include <string>

// node_exporter reads the folder at any moment: never half a file.
bool WriteMetricsFile(const std::string& file, const std::string& text, std::ostream& err);

// The metrics file written last time; empty when there is none to read.
std::string PreviousMetrics(const std::string& path);
