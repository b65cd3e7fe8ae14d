#pragma once

#include "platform/result.h"

#include <ostream>
#include <string>

// Replaces file with text atomically: node_exporter reads the folder at any
// moment, never half a file. Temporary files a killed run left are removed
// first (one line on err for those that stay). A Failure (one line, naming
// file) when it cannot be written.
[[nodiscard]] Result<void> WriteMetricsFile(const std::string& file, const std::string& text,
                                            std::ostream& err);

// The metrics file written last time; empty when there is none to read.
std::string PreviousMetrics(const std::string& path);
