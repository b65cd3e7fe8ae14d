#include "collector/capture_file_conversion.h"

#include "collector/capture_document.h"
#include "collector/capture_reading.h"
#include "collector/report_folder.h"
#include "platform/regular_file.h"
#include "report/report_files.h"

namespace {

// Why a capture gave no report, for outcomes that carry no problem text.
std::string NoReportReason(const CaptureReading& reading) {
    switch (reading.outcome) {
    case CaptureOutcome::LowPowerMode:
        return "smartctl left the drive in a low-power mode; the capture holds no data";
    case CaptureOutcome::PermissionDenied:
        return "smartctl could not open the device: " + reading.problem;
    default:
        return reading.problem;
    }
}

} // namespace

CollectionResult ConvertCaptureFiles(const std::vector<std::string>& files, CReportFolder& folder) {
    CollectionResult result;
    std::size_t written = 0;
    for (std::size_t number = 0; number < files.size(); ++number) {
        const std::string& file = files[number];
        const int driveNumber = static_cast<int>(number);
        const Result<std::string> text = number > static_cast<std::size_t>(kLastDriveNumber)
                                             ? Failure{"more captures than report numbers (0 to " +
                                                       std::to_string(kLastDriveNumber) + ")"}
                                             : ReadRegularFile(file, kMaxCaptureBytes);
        std::string problem = text.Problem();
        if (text) {
            const CaptureReading reading = ReadCapture(*text, 0);
            if (reading.outcome != CaptureOutcome::Report) {
                problem = NoReportReason(reading);
            } else if (const Result<void> report =
                           folder.WriteReport(driveNumber, FormatReportIni(reading.report));
                       report) {
                ++written;
                // Only a capture that says when it was made joins the history.
                if (reading.localTime) {
                    result.written.emplace_back(*reading.localTime, reading.report);
                }
                continue;
            } else {
                problem = "writing " + ReportFileName(driveNumber) + " failed: " + report.Problem();
            }
        }
        result.messages.push_back(file + ": " + problem);
    }
    result.exitStatus = written == files.size() ? 0 : (written == 0 ? 2 : 1);
    return result;
}
