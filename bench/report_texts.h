#pragma once

#include <string>

// Report and attribute-table contents for the benchmarks: every attribute id
// from 1 to 255 present, the largest evaluation a report can ask for.
std::string FullReportText(int driveNumber);
std::string FullAttributeTableText();
