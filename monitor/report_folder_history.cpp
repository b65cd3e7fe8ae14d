#include "monitor/report_folder_history.h"

#include "config/program_folder.h"

Result<void> OpenReportFolderHistory(CHistoryStore& store) {
    return store.Open(ResolveInReportFolder(kHistoryFileName), CHistoryStore::Access::Read);
}
