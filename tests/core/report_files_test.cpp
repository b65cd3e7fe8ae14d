#include "report/report_files.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

// Only the names the collector writes have a drive number.
TEST(DriveNumberOfReportFile, TakesExactlyTheNamesOfDrivesZeroTo1049) {
    const struct {
        const char* name;
        std::optional<int> number;
    } cases[] = {
        {"smart_PhysicalDrive0.ini", 0},
        {"smart_PhysicalDrive7.ini", 7},
        {"smart_PhysicalDrive1049.ini", 1049},
        {"smart_PhysicalDrive1050.ini", std::nullopt},
        {"smart_PhysicalDrive7.ini.bak", std::nullopt},
        {"smart_PhysicalDrive7.inix", std::nullopt},
        {"smart_PhysicalDrive07.ini", std::nullopt},
        {"smart_PhysicalDrive-1.ini", std::nullopt},
        {"smart_PhysicalDrive+1.ini", std::nullopt},
        {"smart_PhysicalDrive 1.ini", std::nullopt},
        {"smart_PhysicalDrive.ini", std::nullopt},
        {"smart_PhysicalDrive99999999999.ini", std::nullopt},
        {"Smart_PhysicalDrive1.ini", std::nullopt},
        {"x_smart_PhysicalDrive1.ini", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DriveNumberOfReportFile(c.name), c.number) << c.name;
    }
}

} // namespace
