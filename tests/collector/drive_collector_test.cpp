// The scan, read and write rules of one collection, with smartctl replaced by
// canned answers.

#include "collector/device_scan.h"
#include "collector/drive_collector.h"
#include "collector/report_folder.h"
#include "collector/smartctl_source.h"
#include "collector_test_support.h"
#include "report/report_files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

Result<SmartctlRun> Completed(const std::string& output, int status = 0) {
    return SmartctlRun{status, output};
}

Result<SmartctlRun> Unfinished(const std::string& problem) {
    return Failure{problem};
}

std::string ScanOf(const std::vector<std::string>& names) {
    std::string devices;
    for (const std::string& name : names) {
        devices += (devices.empty() ? "" : ",") + std::string(R"({"name":")") + name +
                   R"(","type":"sat","protocol":"ATA"})";
    }
    return R"({"smartctl":{"exit_status":0},"devices":[)" + devices + "]}";
}

std::string DriveJson(const std::string& model) {
    return R"({"smartctl":{"exit_status":0},"model_name":")" + model +
           R"(","ata_smart_attributes":{"table":[{"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":0}}]}})";
}

class CFakeSmartctl : public CSmartctlSource {
public:
    Result<SmartctlRun> Scan() override { return m_scan; }
    Result<SmartctlRun> Read(const ScannedDevice& device) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_vecReads.push_back(device.name + " " + device.type);
        // "name type" answers only that type; "name" answers any.
        auto it = m_mapDrives.find(device.name + " " + device.type);
        if (it == m_mapDrives.end()) {
            it = m_mapDrives.find(device.name);
        }
        return it == m_mapDrives.end() ? Unfinished("unknown device") : it->second;
    }

    Result<SmartctlRun> m_scan = SmartctlRun{};
    std::map<std::string, Result<SmartctlRun>> m_mapDrives;
    std::vector<std::string> m_vecReads;

private:
    std::mutex m_mutex;
};

class DriveCollectorTest : public testing::Test {
protected:
    CollectionResult Collect(bool privileged = true) {
        CReportFolder folder(m_scratch.Path());
        CDriveCollector collector(m_smartctl, folder, privileged);
        return collector.Run();
    }
    std::string Report(int number) const { return ReadText(m_scratch / ReportFileName(number)); }
    bool HasReport(int number) const { return Exists(m_scratch / ReportFileName(number)); }
    void PlantOldReports(std::initializer_list<int> numbers) {
        for (int number : numbers) {
            WriteText(m_scratch / ReportFileName(number), "old " + std::to_string(number));
        }
    }
    std::string Model(int number) const {
        return ParseReportText(Report(number))["HDDINFO::MODEL"];
    }

    CScratchFolder m_scratch;
    CFakeSmartctl m_smartctl;
};

TEST_F(DriveCollectorTest, UnknownUsbBridgeIsReadOnceMoreAsSat) {
    SKIP_WITHOUT_FIXTURES();
    const std::string bridge =
        ReadText(CapturePath("plasma-disks/invalid-cmdline-bad-usb-bridge.json"));
    m_smartctl.m_scan =
        Completed(R"({"smartctl":{"exit_status":0},"devices":[{"name":"/dev/sdb","type":"scsi"},)"
                  R"({"name":"/dev/sdc","type":"sat"},{"name":"/dev/sdd","type":"scsi",)"
                  R"("open_error":"/dev/sdd: Unknown USB bridge [0x152d:0x0578 (0x209)]"}]})");
    m_smartctl.m_mapDrives = {{"/dev/sdb scsi", Completed(bridge, 1)},
                              {"/dev/sdb sat", Completed(DriveJson("USB"))},
                              {"/dev/sdc", Completed(bridge, 1)},
                              {"/dev/sdd sat", Completed(DriveJson("USB at scan"))}};
    const CollectionResult result = Collect();
    EXPECT_EQ(Model(0), "USB");
    EXPECT_EQ(Model(2), "USB at scan");
    // Already read as sat: no second try, and the bridge is the reason given.
    EXPECT_FALSE(HasReport(1));
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_NE(result.messages[0].find("/dev/sdc: /dev/sda: Unknown USB bridge"), std::string::npos)
        << result.messages[0];
    std::sort(m_smartctl.m_vecReads.begin(), m_smartctl.m_vecReads.end());
    EXPECT_EQ(m_smartctl.m_vecReads, (std::vector<std::string>{"/dev/sdb sat", "/dev/sdb scsi",
                                                               "/dev/sdc sat", "/dev/sdd sat"}));
}

TEST_F(DriveCollectorTest, SomeFailedGivesOneLineEachAndKeepsTheirOldReports) {
    PlantOldReports({1});
    m_smartctl.m_scan = Completed(ScanOf({"/dev/sda", "/dev/sdb", "/dev/sdc"}));
    m_smartctl.m_mapDrives = {
        {"/dev/sda", Completed(DriveJson("A"))},
        {"/dev/sdb", Unfinished("smartctl did not finish within the time limit and was ended")},
        {"/dev/sdc", Completed(R"({"smartctl":{"exit_status":1}})", 1)}};
    const CollectionResult result = Collect();
    EXPECT_EQ(result.exitStatus, 1);
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_NE(result.messages[0].find("/dev/sdb"), std::string::npos);
    EXPECT_NE(result.messages[0].find("time limit"), std::string::npos);
    EXPECT_NE(result.messages[1].find("/dev/sdc"), std::string::npos);
    EXPECT_EQ(Model(0), "A");
    EXPECT_EQ(Report(1), "old 1");
    EXPECT_FALSE(HasReport(2));
}

TEST_F(DriveCollectorTest, NoneReadGivesExitTwo) {
    m_smartctl.m_scan = Completed(ScanOf({"/dev/sda", "/dev/sdb"}));
    const CollectionResult result = Collect();
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.messages.size(), 2u);
}

TEST_F(DriveCollectorTest, ScanWithoutDrivesRemovesEveryReport) {
    PlantOldReports({0, 7});
    m_smartctl.m_scan = Completed(R"({"smartctl":{"exit_status":0}})");
    const CollectionResult result = Collect();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_FALSE(HasReport(0));
    EXPECT_FALSE(HasReport(7));
}

TEST_F(DriveCollectorTest, FailedScansLeaveEveryReportUntouched) {
    const Result<SmartctlRun> failedScans[] = {
        Unfinished("smartctl could not be started: No such file or directory"),
        Unfinished("smartctl did not finish within the time limit and was ended"),
        Completed(ScanOf({"/dev/sda"}), 1),
        Completed(R"({"smartctl":{"exit_status":2}})", 0),
        Completed("garbage"),
        Completed(R"({"devices":"sda"})"),
    };
    for (const Result<SmartctlRun>& scan : failedScans) {
        const std::string& label = scan ? scan->output : scan.Problem();
        PlantOldReports({0, 1, 5});
        m_smartctl.m_scan = scan;
        m_smartctl.m_mapDrives = {{"/dev/sda", Completed(DriveJson("A"))}};
        const CollectionResult result = Collect();
        EXPECT_EQ(result.exitStatus, 2) << label;
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_NE(result.messages[0].find("scan failed"), std::string::npos);
        for (int number : {0, 1, 5}) {
            EXPECT_EQ(Report(number), "old " + std::to_string(number)) << label;
        }
    }
}

TEST_F(DriveCollectorTest, NamesThatAreNotDevicePathsAreNeverRead) {
    m_smartctl.m_scan = Completed(
        R"({"devices":[{"name":"/dev/../etc/shadow","type":"sat"},{"name":"-a","type":"sat"},)"
        R"({"name":"/dev/sdb","type":"sat;reboot"},{"name":"/dev/sda","type":"sat"}]})");
    m_smartctl.m_mapDrives = {{"/dev/sda", Completed(DriveJson("A"))}};
    const CollectionResult result = Collect();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.messages.size(), 3u);
    EXPECT_EQ(m_smartctl.m_vecReads, std::vector<std::string>{"/dev/sda sat"});
    EXPECT_EQ(Model(3), "A");
    EXPECT_FALSE(HasReport(0));
}

// A refusal at the scan is the end-to-end test's.
TEST_F(DriveCollectorTest, RefusedDeviceAsAUserNeedsPrivilegesAndTouchesNothing) {
    SKIP_WITHOUT_FIXTURES();
    PlantOldReports({0, 3});
    m_smartctl.m_scan = Completed(ScanOf({"/dev/nvme0"}));
    m_smartctl.m_mapDrives = {
        {"/dev/nvme0",
         Completed(ReadText(CapturePath("smart-prom-next/nvme_xall_error.json")), 2)}};
    const CollectionResult result = Collect(false);
    EXPECT_TRUE(result.needsPrivileges);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(Report(0), "old 0");
    EXPECT_EQ(Report(3), "old 3");
}

TEST_F(DriveCollectorTest, RefusedDeviceAsRootIsAPlainFailure) {
    SKIP_WITHOUT_FIXTURES();
    PlantOldReports({0, 1, 3});
    m_smartctl.m_scan = Completed(ScanOf({"/dev/sda", "/dev/nvme0"}));
    m_smartctl.m_mapDrives = {
        {"/dev/sda", Completed(DriveJson("A"))},
        {"/dev/nvme0",
         Completed(ReadText(CapturePath("smart-prom-next/nvme_xall_error.json")), 2)}};
    const CollectionResult result = Collect(true);
    EXPECT_FALSE(result.needsPrivileges);
    EXPECT_EQ(result.exitStatus, 1);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_NE(result.messages[0].find("Permission denied"), std::string::npos);
    EXPECT_EQ(Model(0), "A");
    EXPECT_EQ(Report(1), "old 1");
    EXPECT_FALSE(HasReport(3));
}

TEST_F(DriveCollectorTest, ReportThatCannotBeWrittenIsAFailure) {
    ASSERT_EQ(mkdir((m_scratch / ReportFileName(0)).c_str(), 0755), 0);
    m_smartctl.m_scan = Completed(ScanOf({"/dev/sda", "/dev/sdb"}));
    m_smartctl.m_mapDrives = {{"/dev/sda", Completed(DriveJson("A"))},
                              {"/dev/sdb", Completed(DriveJson("B"))}};
    const CollectionResult result = Collect();
    EXPECT_EQ(result.exitStatus, 1);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_NE(result.messages[0].find("writing smart_PhysicalDrive0.ini failed"),
              std::string::npos);
    EXPECT_EQ(Model(1), "B");
}

} // namespace
