#pragma once

#include "cli/report_options.h"
#include "cli/shown_reports.h"

#include <ostream>
#include <vector>

// --check and --prometheus: every report with its warnings, judged against
// the history; the drives the history misses; the collection's state.
int Monitor(const std::vector<ShownReport>& reports, const ReportOptions& options,
            std::ostream& out, std::ostream& err, int status);
