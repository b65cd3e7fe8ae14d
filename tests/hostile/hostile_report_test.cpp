// tolvenar-report run as a program over hostile files, named and found in
// its program folder: it must end, with its documented status, and never
// hang on a FIFO or crash.
#include "hostile/hostile_files.h"
#include "hostile/run_program.h"
#include "hostile/unprivileged.h"
#include "identify/vendor_identification.h"
#include "report/report_files.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Far beyond what any of these runs needs: only a hang reaches it.
constexpr int kHangSeconds = 60;
constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kCannotDropUser = 125; // from RunProgram's child

const char* UnreadableReason(HostileKind kind) {
    switch (kind) {
    case HostileKind::HundredMegabytes:
        return "larger than 16 MiB";
    case HostileKind::Unreadable:
        return "Permission denied";
    default:
        return "not a regular file";
    }
}

// The files the program cannot read as a report: how it ends for each is its
// own; what is read from the others is the core's test.
std::vector<HostileCase> UnreadableCases() {
    std::vector<HostileCase> cases;
    for (const HostileCase& c : HostileCases()) {
        if (!c.readable) {
            cases.push_back(c);
        }
    }
    return cases;
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(nlohmann::json::parse(line)); // throws on invalid JSON or UTF-8
    }
    return lines;
}

// A program folder of its own: a copy of the binary (its folder is where the
// executable really lies) with the shipped data files, open to "nobody".
class HostileReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(m_folder.Path().c_str(), 0755);
        for (const char* name : {"tolvenar-report", kAttributeTableFile, kVendorTableFile}) {
            std::filesystem::copy_file(std::string(TOLVENAR_BIN_DIR) + "/" + name,
                                       m_folder.Path() + "/" + name);
        }
    }

    std::string PathOf(const std::string& name) const { return m_folder.Path() + "/" + name; }

    // Root reads files of any mode: then the program runs as "nobody", so
    // that a mode-000 file is what it is for every other user.
    ProgramResult Run(const std::vector<std::string>& args, bool unprivileged) {
        std::vector<std::string> argv{PathOf("tolvenar-report")};
        argv.insert(argv.end(), args.begin(), args.end());
        const uid_t user =
            unprivileged && geteuid() == 0 ? UnprivilegedUser() : static_cast<uid_t>(-1);
        ProgramResult result = RunProgram(argv, m_folder.Path(), kHangSeconds, user);
        EXPECT_TRUE(result.finished) << "still running after " << kHangSeconds << " s";
        EXPECT_EQ(result.signal, 0) << result.err;
        return result;
    }

    void Make(HostileKind kind, const std::string& name) {
        std::filesystem::remove_all(PathOf(name));
        std::string why;
        ASSERT_TRUE(MakeHostileFile(kind, PathOf(name), why)) << why;
    }

    TempFolder m_folder;
};

TEST_F(HostileReportTest, NamedHostileReportsEndWithTheirStatus) {
    std::string skipped;
    for (const HostileCase& c : UnreadableCases()) {
        Make(c.kind, "hostile.ini");
        const ProgramResult result =
            Run({"--json", "hostile.ini"}, c.kind == HostileKind::Unreadable);
        if (result.status == kCannotDropUser) {
            skipped = std::string(c.name) + ": running as root, and the user cannot be changed";
            continue;
        }
        EXPECT_EQ(result.status, kExitUnreadable) << c.name;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_NE(result.err.find(std::string("hostile.ini: ") + UnreadableReason(c.kind)),
                  std::string::npos)
            << c.name << ": " << result.err;
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << skipped;
    }
}

TEST_F(HostileReportTest, FolderModeListsEveryReportAndNeverBlocksOnAFifo) {
    // The FIFO is drive 0, the first file looked at.
    const std::vector<HostileCase> cases = UnreadableCases();
    for (std::size_t n = 0; n < cases.size(); ++n) {
        Make(cases[n].kind, ReportFileName(static_cast<int>(n)));
    }
    ASSERT_EQ(cases[0].kind, HostileKind::Fifo);
    ProgramResult result = Run({"--json"}, true);
    // Where root cannot become another user, it reads the mode-000 report.
    bool rootReadsAll = false;
    if (result.status == kCannotDropUser) {
        result = Run({"--json"}, false);
        rootReadsAll = true;
    }
    // Listed by existence like the viewer's drive list; a file that cannot
    // be read shows the panel of a missing report.
    EXPECT_EQ(result.status, kExitOk) << result.err;
    std::vector<nlohmann::json> lines;
    ASSERT_NO_THROW(lines = JsonLines(result.out));
    ASSERT_EQ(lines.size(), cases.size());
    for (std::size_t n = 0; n < cases.size(); ++n) {
        const nlohmann::json& report = lines[n];
        const HostileCase& c = cases[n];
        EXPECT_EQ(report["file"], PathOf(ReportFileName(static_cast<int>(n)))) << c.name;
        if (!(rootReadsAll && c.kind == HostileKind::Unreadable)) {
            EXPECT_EQ(report["panel"]["model"], "モデル： ") << c.name;
            EXPECT_EQ(report["panel"]["capacity"], "容量： -1 GB (-1 GiB)") << c.name;
            EXPECT_TRUE(report["rows"].empty()) << c.name;
        }
    }
    // The readable table output goes through the same files without trouble.
    EXPECT_EQ(Run({}, !rootReadsAll).status, kExitOk);
}

TEST_F(HostileReportTest, HostileAttributeTableStillShowsTheReport) {
    m_folder.Write(ReportFileName(0),
                   std::string("[HDDINFO]\nMODEL=WDC WD20EFRX\n") + kHostileReportBody);
    for (HostileKind kind : {HostileKind::Fifo, HostileKind::LinkToDevZero, HostileKind::Directory,
                             HostileKind::HundredMegabytes}) {
        Make(kind, kAttributeTableFile);
        const ProgramResult result = Run({"--json"}, false);
        EXPECT_EQ(result.status, kExitOk) << result.err;
        std::vector<nlohmann::json> lines;
        ASSERT_NO_THROW(lines = JsonLines(result.out));
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_EQ(lines[0]["rows"].size(), 3u);
        EXPECT_EQ(lines[0]["rows"][0]["columns"][1], "？？？");
    }
}

TEST_F(HostileReportTest, FileNamesThatAreNotUtf8StillGiveJson) {
    const std::string name = "bad\xFF\xFE.ini";
    m_folder.Write(name, std::string("[HDDINFO]\nMODEL=WDC WD20EFRX\n") + kHostileReportBody);
    const ProgramResult result = Run({"--json", name}, false);
    EXPECT_EQ(result.status, kExitOk) << result.err;
    std::vector<nlohmann::json> lines;
    ASSERT_NO_THROW(lines = JsonLines(result.out));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["file"], "bad\xEF\xBF\xBD\xEF\xBF\xBD.ini");
}

} // namespace
