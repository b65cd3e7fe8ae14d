// Hostile report, attribute-table and vendor-table files read through the
// core as the viewer reads them: every one ends with a defined result.
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "config/text_encoding.h"
#include "hostile/hostile_files.h"
#include "hostile/unprivileged.h"
#include "identify/vendor_identification.h"
#include "platform/utf8.h"
#include "report/drive_report.h"
#include "report/report_files.h"
#include "report/store_evaluation.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kReportName[] = "smart_PhysicalDrive0.ini";

struct Outcome {
    DrivePanelTexts panel;
    ReportEvaluation evaluation;
};

// What a drive selection computes: the panel texts, then the table.
Outcome ReadLikeTheViewer() {
    DriveReport drive = CDriveLoader().Load(kReportName, kReportName);
    return {std::move(drive.panel), std::move(drive.evaluation)};
}

std::string DataFile(const char* name) {
    return std::string(TOLVENAR_SOURCE_DIR) + "/data/" + name;
}

class HostileCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Open to others, so that only a file's own mode can keep "nobody" out.
        chmod(m_folder.Path().c_str(), 0755);
        SetProgramFolderForTesting(m_folder.Path());
        for (const char* name : {kAttributeTableFile, kVendorTableFile}) {
            std::filesystem::copy_file(DataFile(name), m_folder.Path() + "/" + name);
        }
    }
    void TearDown() override { SetProgramFolderForTesting(""); }

    std::string PathOf(const char* name) const { return m_folder.Path() + "/" + name; }

    bool Make(HostileKind kind, const char* name) {
        std::string why;
        const bool made = MakeHostileFile(kind, PathOf(name), why);
        EXPECT_TRUE(made) << why;
        return made;
    }

    TempFolder m_folder;
};

void ExpectReadable(const Outcome& outcome, const HostileCase& c) {
    if (c.model != nullptr) {
        EXPECT_EQ(outcome.panel.model, std::string("モデル： ") + c.model) << c.name;
    }
    EXPECT_EQ(outcome.panel.capacity, "容量： 2000 GB (1,863 GiB)") << c.name;
    ASSERT_EQ(outcome.evaluation.rows.size(), static_cast<std::size_t>(c.rows)) << c.name;
    EXPECT_FALSE(outcome.evaluation.parseError) << c.name;
    EXPECT_EQ(outcome.evaluation.rows[0].rank, 1) << c.name; // attribute 5: 1 below 5
    EXPECT_EQ(outcome.evaluation.labels.temperature, "温度： 34 ℃") << c.name;
}

void ExpectMissing(const Outcome& outcome, const char* name) {
    EXPECT_EQ(outcome.panel.vendor, "メーカ： Unknown Vendor") << name;
    EXPECT_EQ(outcome.panel.model, "モデル： ") << name;
    EXPECT_EQ(outcome.panel.capacity, "容量： -1 GB (-1 GiB)") << name;
    EXPECT_TRUE(outcome.evaluation.rows.empty()) << name;
    EXPECT_FALSE(outcome.evaluation.parseError) << name;
    EXPECT_FALSE(outcome.evaluation.labels.temperature.has_value()) << name;
}

TEST_F(HostileCoreTest, EveryHostileReportReadsAsMissingOrAsItsReport) {
    for (const HostileCase& c : HostileCases()) {
        if (c.kind == HostileKind::Unreadable && geteuid() == 0) {
            continue; // root reads it; see the test below
        }
        if (!Make(c.kind, kReportName)) {
            continue;
        }
        const Outcome outcome = ReadLikeTheViewer();
        for (const std::string* text : {&outcome.panel.vendor, &outcome.panel.model,
                                        &outcome.panel.serial, &outcome.panel.firmware}) {
            EXPECT_TRUE(IsValidUtf8(*text)) << c.name;
        }
        if (c.readable) {
            ExpectReadable(outcome, c);
        } else {
            ExpectMissing(outcome, c.name);
        }
        std::filesystem::remove_all(PathOf(kReportName));
    }
}

TEST_F(HostileCoreTest, AMegabyteModelIsCutToWholeCharactersWithinTheValueLimit) {
    ASSERT_TRUE(Make(HostileKind::MegabyteLine, kReportName));
    CIniStore report;
    report.Open(kReportName);
    const std::string model = report.GetString("HDDINFO::MODEL", "");
    EXPECT_EQ(model.size(), 4u + 339u * 3u); // "WDC " and 339 three-byte characters
    EXPECT_TRUE(IsValidUtf8(model));
    EXPECT_EQ(model.rfind("WDC 温温", 0), 0u);
}

TEST_F(HostileCoreTest, UnreadableReportReadsAsMissingForAnOrdinaryUser) {
    ASSERT_TRUE(Make(HostileKind::Unreadable, kReportName));
    m_folder.Write("readable.ini", "[HDDINFO]\nMODEL=WDC WD20EFRX\n");
    chmod(PathOf("readable.ini").c_str(), 0644);
    std::string why;
    // The readable control proves the user can reach the folder at all, so
    // that only the mode keeps the other file from being read.
    const UnprivilegedOutcome outcome = CheckUnprivileged(
        [] {
            CIniStore readable;
            readable.Open("readable.ini");
            if (std::string(readable.GetString("HDDINFO::MODEL", "")) != "WDC WD20EFRX") {
                return false;
            }
            const Outcome unreadable = ReadLikeTheViewer();
            return unreadable.panel.model == "モデル： " && unreadable.evaluation.rows.empty() &&
                   unreadable.panel.capacity == "容量： -1 GB (-1 GiB)";
        },
        why);
    if (outcome == UnprivilegedOutcome::CannotDrop) {
        GTEST_SKIP() << why;
    }
    EXPECT_EQ(outcome, UnprivilegedOutcome::Holds) << why;
}

TEST_F(HostileCoreTest, HostileAttributeTableLeavesRowsWithoutDescriptions) {
    m_folder.Write(kReportName,
                   std::string("[HDDINFO]\nMODEL=WDC WD20EFRX\n") + kHostileReportBody);
    for (const HostileCase& c : HostileCases()) {
        std::filesystem::remove_all(PathOf(kAttributeTableFile));
        if (!Make(c.kind, kAttributeTableFile)) {
            continue;
        }
        const Outcome outcome = ReadLikeTheViewer();
        ASSERT_EQ(outcome.evaluation.rows.size(), 3u) << c.name;
        for (const AttributeRow& row : outcome.evaluation.rows) {
            EXPECT_EQ(row.columns[1], "？？？") << c.name;
            EXPECT_TRUE(IsValidUtf8(row.columns[2])) << c.name;
        }
        EXPECT_EQ(outcome.evaluation.rows[1].columns[2], "43,210 ") << c.name;
    }
}

TEST_F(HostileCoreTest, HostileVendorTableLeavesSeagateWithoutASeries) {
    m_folder.Write(kReportName, "[HDDINFO]\nMODEL=ST2000DM008-2FR102\n");
    for (const HostileCase& c : HostileCases()) {
        std::filesystem::remove_all(PathOf(kVendorTableFile));
        if (!Make(c.kind, kVendorTableFile)) {
            continue;
        }
        const Outcome outcome = ReadLikeTheViewer();
        EXPECT_EQ(outcome.panel.vendor, "メーカ： Seagate") << c.name;
        EXPECT_EQ(outcome.panel.series, "") << c.name;
    }
}

} // namespace
