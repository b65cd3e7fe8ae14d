#pragma once

#include "history/history_store.h"

// Opens the report folder's history read-only into store. A Failure of kind
// Missing when the collector never wrote one there, which callers treat as
// "no history yet"; any other Failure says why it cannot be read. An open
// history may leave a line in store.Note() (a newer schema, read as far as
// it can be).
[[nodiscard]] Result<void> OpenReportFolderHistory(CHistoryStore& store);
