#pragma once

#include "support/fixtures_folder.h"
#include "support/temp_folder.h"

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// A fresh folder for one test inside the build tree, where the fake
// programs the tests write may be executed.
class CScratchFolder : public TempFolder {
public:
    CScratchFolder() : TempFolder(COLLECTOR_TEST_SCRATCH_DIR) {}
};

// A set of real smartctl captures in the fixtures folder: "smartctl" (the
// captures most tests use), "smartctl-set1", "smartctl-set2".
std::string CaptureFolder(const std::string& set = "smartctl");
std::string CapturePath(const std::string& relative);

// The captures (relative to CaptureFolder) that hold a drive and so give a report.
extern const std::vector<const char*> kCapturesWithReport;

// The raw field of an ATA attribute as smartctl decoded it: the leading
// number of raw.string when that is a number, a number with a remark in
// parentheses or a duration, else raw.value.
std::string ExpectedRawText(const nlohmann::json& raw);

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text, bool executable = false);
bool Exists(const std::string& path);

// The values of a report's text by "SECTION::KEY", read the plain way (the
// viewer's reader is tested with the core); repeated keys are an error the
// test reports, so they are collected under "DUPLICATE".
std::map<std::string, std::string> ParseReportText(const std::string& text);
