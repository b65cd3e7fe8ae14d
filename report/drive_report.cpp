#include "report/drive_report.h"

#include "config/ini_store.h"
#include "config/program_folder.h"
#include "identify/vendor_identification.h"
#include "report/report_files.h"
#include "report/report_format.h"
#include "report/store_evaluation.h"

#include <unistd.h>

std::vector<DriveReportFile> ListDriveReports() {
    std::vector<DriveReportFile> files;
    for (int drive = kFirstDriveNumber; drive <= kLastDriveNumber; ++drive) {
        std::string path = ResolveInReportFolder(ReportFileName(drive));
        if (!path.empty() && access(path.c_str(), F_OK) == 0) {
            files.push_back({drive, std::move(path)});
        }
    }
    return files;
}

std::string ReadDriveModel(const std::string& path) {
    CIniStore report;
    report.Open(path.c_str());
    return report.GetString(kModelKey.Path().c_str(), "");
}

DriveIdentity ReadDriveIdentity(const std::string& path) {
    CIniStore report;
    report.Open(path.c_str());
    DriveIdentity identity;
    identity.model = report.GetString(kModelKey.Path().c_str(), "");
    identity.serial = report.GetString(kSerialKey.Path().c_str(), "");
    return identity;
}

CDriveLoader::CDriveLoader() {
    // A missing or unreadable table leaves it empty: no Seagate series.
    (void)m_vendorTable.Load(ResolveInProgramFolder(kVendorTableFile));
}

DriveReport CDriveLoader::Load(const std::string& path, const std::string& displayName) const {
    DriveReport result;
    result.file = displayName;
    CIniStore report;
    report.Open(path.c_str());
    result.panel = ComputeDrivePanel(report, m_vendorTable);
    CIniStore table;
    table.Open(kAttributeTableFile);
    result.evaluation = EvaluateReportStores(report, table);
    result.temperature = result.evaluation.labels.temperature.value_or("");
    result.powerOnTime = result.evaluation.labels.powerOnTime.value_or("");
    result.selfTest = ReadSelfTestState(report);
    return result;
}
