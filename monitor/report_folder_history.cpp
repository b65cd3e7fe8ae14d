#include "monitor/report_folder_history.h"

#include "config/program_folder.h"

#include <unistd.h>

bool OpenReportFolderHistory(CHistoryStore& store, std::string& problem) {
    const std::string path = ResolveInReportFolder(kHistoryFileName);
    if (store.Open(path, CHistoryStore::Access::Read, problem)) {
        return true;
    }
    if (access(path.c_str(), F_OK) != 0) {
        problem.clear(); // no history yet
    }
    return false;
}
