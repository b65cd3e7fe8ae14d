#pragma once

#include "history/history_store.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// --history --json: one object per stored reading and line, oldest first:
// {"model","serial","time","id","value","worst","threshold","raw"}.
void WriteHistoryJson(std::ostream& out, const DriveIdentity& drive,
                      const std::vector<HistoryPoint>& points);

// --history: a readable summary of one drive: when it was recorded, and each
// attribute whose raw value or value changed, from what to what and when
// (the date of the last change, local time). descriptions: the attribute
// descriptions by id, as the viewer shows them. Then the self-tests the
// history kept, newest first, each with the date it was first read.
void WriteHistoryText(std::ostream& out, const std::string& shown, const DriveIdentity& drive,
                      const std::vector<HistoryPoint>& points, std::optional<std::int64_t> lastSeen,
                      const std::map<int, std::string>& descriptions,
                      const std::vector<StoredSelfTest>& selfTests);
