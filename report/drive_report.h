#pragma once

#include "config/ini_file.h"
#include "report/attribute_evaluation.h"
#include "report/drive_panel.h"
#include "report/report_format.h"
#include "report/self_test_state.h"

#include <string>
#include <vector>

// A report file found in the program folder.
struct DriveReportFile {
    int driveNumber;
    std::string path;
};

// The reports of drive numbers kFirstDriveNumber to kLastDriveNumber that
// exist in the program folder, in drive-number order: what the viewer lists
// and what tolvenar-report shows when no report is named.
std::vector<DriveReportFile> ListDriveReports();

// The model text of a report, as the drive list shows it.
std::string ReadDriveModel(const std::string& path);

// The model and serial number of a report.
DriveIdentity ReadDriveIdentity(const std::string& path);

// Everything the viewer shows for one report: the panel texts and the
// evaluated attribute rows.
struct DriveReport {
    std::string file;
    DrivePanelTexts panel;
    std::string temperature; // empty when the report has no attribute 194
    std::string powerOnTime; // empty when the report has no attribute 9
    ReportEvaluation evaluation;
    SelfTestState selfTest; // the report's [SELFTEST] section
};

// Loads drives with the vendor table of the program folder, read once when
// the loader is made.
class CDriveLoader {
public:
    CDriveLoader();

    // Reads the report at path (resolved like every store name) with the
    // attribute table of the program folder, in the viewer's order: the
    // panel texts first, then the attribute evaluation.
    DriveReport Load(const std::string& path, const std::string& displayName) const;

private:
    CIniFile m_vendorTable;
};
