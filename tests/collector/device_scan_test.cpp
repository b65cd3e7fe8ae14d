#include "collector/device_scan.h"
#include "collector_test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(DeviceScan, RealScanOutputs) {
    SKIP_WITHOUT_FIXTURES();
    const auto scsi = ParseDeviceScan(ReadText(CapturePath("smart-prom-next/scsi_scan.json")));
    ASSERT_TRUE(scsi) << scsi.Problem();
    ASSERT_EQ(scsi->devices.size(), 1u);
    EXPECT_EQ(scsi->devices[0].name, "/dev/sda");
    EXPECT_EQ(scsi->devices[0].type, "scsi");
    EXPECT_EQ(scsi->devices[0].openError, "");

    const auto refused =
        ParseDeviceScan(ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    ASSERT_TRUE(refused) << refused.Problem();
    ASSERT_EQ(refused->devices.size(), 1u);
    EXPECT_EQ(refused->devices[0].type, "nvme");
    EXPECT_EQ(refused->devices[0].openError, "Permission denied");
}

TEST(DeviceScan, ScanWithoutDevicesFoundNone) {
    const auto scan = ParseDeviceScan(R"({"smartctl":{"exit_status":0}})");
    ASSERT_TRUE(scan);
    EXPECT_TRUE(scan->devices.empty());
}

TEST(DeviceScan, FailedScans) {
    const char* const outputs[] = {
        "",
        "not json",
        R"([])",
        R"({"smartctl":{"exit_status":1}})",
        R"({"smartctl":{"exit_status":2},"devices":[]})",
        R"({"smartctl":{"exit_status":"0"},"devices":[]})",
        R"({"devices":{"name":"/dev/sda"}})",
    };
    for (const char* output : outputs) {
        const auto scan = ParseDeviceScan(output);
        EXPECT_FALSE(scan) << output;
        EXPECT_FALSE(scan.Problem().empty()) << output;
    }
}

TEST(DeviceScan, OddEntriesKeepTheirPlace) {
    const auto scan = ParseDeviceScan(
        R"({"devices":[7,{"name":"/dev/sdb","type":"sat","open_error":"No such\ndevice"},{"type":3}]})");
    ASSERT_TRUE(scan) << scan.Problem();
    ASSERT_EQ(scan->devices.size(), 3u);
    EXPECT_FALSE(scan->devices[0].openError.empty());
    EXPECT_EQ(scan->devices[1].openError, "No such device");
    EXPECT_EQ(scan->devices[2].name, "");
    EXPECT_EQ(scan->devices[2].type, "");
}

TEST(DeviceScan, DevicePaths) {
    const struct {
        const char* name;
        bool ok;
    } cases[] = {
        {"/dev/sda", true},
        {"/dev/nvme0", true},
        {"/dev/bus/0", true},
        {"/dev/disk/by-id/ata-ST3500418AS_9VM1:2", true},
        {"/dev/sg+1", true},
        {"/dev/", false},
        {"sda", false},
        {"-d", false},
        {"/dev/../etc/shadow", false},
        {"/dev/sda/..", false},
        {"/dev/sd a", false},
        {"/dev/sda;reboot", false},
        {"/dev/sda$(id)", false},
        {"/dev/sda\n", false},
        {"/devx/sda", false},
        {"/dev/s..da", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDevicePath(c.name), c.ok) << c.name;
    }
    EXPECT_TRUE(IsDevicePath("/dev/" + std::string(250, 'a')));
    EXPECT_FALSE(IsDevicePath("/dev/" + std::string(251, 'a')));
}

TEST(DeviceScan, DeviceTypes) {
    const struct {
        const char* type;
        bool ok;
    } cases[] = {
        {"sat", true},     {"nvme", true},       {"megaraid,3", true}, {"areca,1/2", true},
        {"sat,12", true},  {"usbjmicron", true}, {"", false},          {"-a", false},
        {"sat;id", false}, {"sat id", false},    {"sat\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDeviceType(c.type), c.ok) << c.type;
    }
}

} // namespace
