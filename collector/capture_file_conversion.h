#pragma once

#include "collector/drive_collector.h"

#include <string>
#include <vector>

class CReportFolder;

// quelmaro --from-json: converts saved `smartctl --json -a` captures into the
// reports of drive numbers 0, 1, ... in the order of files. A capture that
// gives no report (unreadable, not JSON, no drive, no data) leaves the report
// of its number as it was and gives one message; no other report is removed.
CollectionResult ConvertCaptureFiles(const std::vector<std::string>& files, CReportFolder& folder);
