#pragma once

#include "history/history_store.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Tooltip texts of the viewer, in local time.

// Per attribute id of changes, when its raw value last changed and from
// what, e.g. "生の値 304 → 312（2026-11-30 に変化）".
std::map<int, std::string> RawChangeTips(const std::vector<RawChange>& changes);

// "レポート作成: 2026-12-07 14:00" for a report written at time.
std::string ReportWrittenTip(std::int64_t time);
