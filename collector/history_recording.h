#pragma once

#include "collector/smart_report.h"
#include "platform/result.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Adds the reports a run wrote to the history in folder (history.sqlite),
// one recorded run per distinct time, oldest first. Called with the folder
// locked, after the reports are in place: the history never stops a
// collection. A Failure (one line) says why the history was not written.
[[nodiscard]] Result<void>
RecordHistory(const std::string& folder,
              const std::vector<std::pair<std::int64_t, SmartReport>>& written);
