#pragma once

#include "report/attribute_evaluation.h"
#include "report/drive_panel.h"

#include <string>

// Everything the viewer shows for one report: the eight panel texts and the
// evaluated attribute rows.
struct DriveReport {
    std::string file;
    DrivePanelTexts panel;
    std::string temperature; // empty when the report has no attribute 194
    std::string powerOnTime; // empty when the report has no attribute 9
    ReportEvaluation evaluation;
};

// Reads the report at path (resolved like every store name) with the
// attribute table of the program folder, in the viewer's order: the panel
// texts first, then the attribute evaluation.
DriveReport LoadDriveReport(const std::string& path, const std::string& displayName);
