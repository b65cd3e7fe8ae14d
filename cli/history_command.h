#pragma once

#include "cli/shown_reports.h"

#include <ostream>
#include <vector>

// --history: each drive once, however many reports name it.
int ShowHistory(const std::vector<ShownReport>& reports, bool json, std::ostream& out,
                std::ostream& err, int status);
