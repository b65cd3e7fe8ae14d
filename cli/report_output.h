#pragma once

#include "report/drive_report.h"

#include <ostream>
#include <string>
#include <string_view>

// One JSON object on one line:
// {"file","panel":{vendor,model,series,capacity,serial,firmware,temperature,power_on},
//  "rows":[{"columns":[5 texts],"rank":n}],"parse_error_id":id|null,
//  "verdict":"PASSED"|"FAILED"|null} (the report's SMART_STATUS as written)
void WriteJson(std::ostream& out, const DriveReport& report);

// A readable block: the panel texts, the drive's own verdict when the report
// has one ("ドライブの判定： FAILED"), then the table with failing rows marked
// by "!" (and drawn in red when colour is true).
void WriteText(std::ostream& out, const DriveReport& report, bool colour);

// text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);
