#pragma once

#include <string>

class CIniFile;
class CIniStore;

// The six identity texts of the information panel, exactly as shown.
struct DrivePanelTexts {
    std::string vendor;   // "メーカ： " + vendor name
    std::string model;    // "モデル： " + model
    std::string series;   // "      (series)", "(series)" or empty
    std::string capacity; // "容量： 1000 GB (931 GiB)"
    std::string serial;   // "S/N： " + serial number
    std::string firmware; // "Firmware Revision： " + firmware revision
    // Not a panel text: HDDINFO::SMART_STATUS, the drive's own verdict as the
    // collector wrote it ("PASSED", "FAILED"); empty when absent. The viewer
    // does not show it; tolvenar-report does.
    std::string verdict;
};

// Reads the identity keys of an opened report store and forms the texts;
// vendorTable names the Seagate series.
DrivePanelTexts ComputeDrivePanel(CIniStore& report, const CIniFile& vendorTable);

// The series line: empty, six spaces and the series in parentheses when it
// has at most 26 bytes, else the series in parentheses alone.
std::string FormatSeriesLine(const char* series);
