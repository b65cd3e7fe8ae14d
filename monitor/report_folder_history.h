#pragma once

#include "history/history_store.h"

#include <string>

// Opens the report folder's history read-only into store. False when it
// cannot be read: problem says why, or is empty when there is no history yet
// (a folder the collector never wrote one into). An open history may leave a
// note in problem (a newer schema, read as far as it can be).
[[nodiscard]] bool OpenReportFolderHistory(CHistoryStore& store, std::string& problem);
