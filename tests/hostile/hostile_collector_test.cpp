// quelmaro --from-json run as a program over hostile capture files: it must
// end with its documented status, write a sound report or none, and never
// hang on a FIFO or device, nor crash.
#include "hostile/hostile_files.h"
#include "hostile/run_program.h"
#include "hostile/unprivileged.h"
#include "report/report_files.h"
#include "support/fixtures_folder.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kHangSeconds = 60;
constexpr int kCannotDropUser = 125; // from RunProgram's child

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string GoodCapture() {
    return ReadFile(FixturesFolder() + "/smartctl/smartctl_exporter/WDC_WD20EFRX-68EUZN0_17.json");
}

std::string Capture(const std::string& members) {
    return R"({"smartctl":{"exit_status":0},)" + members + "}";
}

// A capture of our own for the lock tests, which need any readable drive
// and must not depend on the shared captures being there.
std::string SmallCapture() {
    return Capture(R"("model_name":"TOLVENAR TEST HDD","serial_number":"LOCK-1",)"
                   R"("ata_smart_attributes":{"table":[{"id":5,"value":100,"worst":100,)"
                   R"("thresh":10,"raw":{"value":0}}]})");
}

std::string Repeated(const std::string& text, std::size_t bytes) {
    std::string repeated = "WDC ";
    while (repeated.size() + text.size() <= bytes) {
        repeated += text;
    }
    return repeated;
}

// A model of 1 MB of three-byte characters, cut to whole characters within
// the 255 bytes of a report text.
const std::string kMegabyteModel = Repeated("温", 1000 * 1000);
const std::string kCutModel = "MODEL=" + Repeated("温", 255) + "\n";

// 5,000 attribute entries: ids past 255 and repeats are left out.
std::string FiveThousandAttributes() {
    std::string table;
    for (int i = 0; i < 5000; ++i) {
        table += (i == 0 ? "" : ",") + std::string(R"({"id":)") + std::to_string(i % 300 + 1) +
                 R"(,"value":)" + std::to_string(i % 200) +
                 R"(,"worst":1,"thresh":0,"raw":{"value":)" + std::to_string(i) + "}}";
    }
    return Capture(R"("model_name":"M","ata_smart_attributes":{"table":[)" + table + "]}");
}

struct ContentCase {
    const char* name;
    std::string capture;
    int status;         // quelmaro's exit status
    const char* reason; // in the message on standard error; nullptr: a report is written
    std::vector<std::string> expected; // texts the report must hold
};

std::vector<ContentCase> ContentCases() {
    const std::string good = GoodCapture();
    return {
        {"truncated JSON", good.substr(0, good.size() / 2), 2, "the output is not valid JSON", {}},
        {"empty file", "", 2, "the output is not valid JSON", {}},
        {"array, not an object",
         "[" + good + "]",
         2,
         "the capture is not a smartctl JSON object",
         {}},
        {"a bare number",
         "18446744073709551616",
         2,
         "the capture is not a smartctl JSON object",
         {}},
        {"numbers beyond 64 bits",
         Capture(
             R"("model_name":"M","user_capacity":{"bytes":340282366920938463463374607431768211456},)"
             R"("ata_smart_attributes":{"table":[)"
             R"({"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":36893488147419103232}},)"
             R"({"id":9,"value":99999999999999999999,"raw":{"value":1}},)"
             R"({"id":12,"value":100,"worst":-18446744073709551617,"thresh":0}]})"),
         0,
         nullptr,
         {"FIRMWARE_REVISION=\n\n[SMARTS]\nATTR_5=100,100,10,0,0\nATTR_12=100,100,0,0,0\n"}},
        {"1 MB model",
         Capture(R"("model_name":")" + kMegabyteModel + "\""),
         0,
         nullptr,
         {kCutModel}},
        {"NUL bytes",
         std::string("{\"model_name\":\"WDC\0WD20\"}", 23),
         2,
         "the output is not valid JSON",
         {}},
        {"escaped NUL",
         Capture(R"("model_name":"WDC\u0000WD20")"),
         0,
         nullptr,
         {"MODEL=WDC WD20\n"}},
        {"invalid UTF-8",
         Capture("\"model_name\":\"WDC \xC3\x28\""),
         0,
         nullptr,
         {"MODEL=WDC \xEF\xBF\xBD(\n"}},
        {"invalid Shift-JIS",
         Capture("\"model_name\":\"WDC \x81\x20\xFD\""),
         0,
         nullptr,
         {"MODEL=WDC \xEF\xBF\xBD \xEF\xBF\xBD\n"}},
        {"lone surrogate",
         Capture(R"("model_name":"WDC \ud800")"),
         2,
         "the output is not valid JSON",
         {}},
        {"5,000 attributes",
         FiveThousandAttributes(),
         0,
         nullptr,
         {"[SMARTS]\nATTR_1=0,1,0,0,0\n", "ATTR_254=53,1,0,253,0\nATTR_255=54,1,0,254,0\n"}},
    };
}

class HostileCollectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(m_folder.Path().c_str(), 0755);
        std::filesystem::copy_file(std::string(TOLVENAR_BIN_DIR) + "/quelmaro", PathOf("quelmaro"));
        std::filesystem::create_directory(PathOf("out"));
        chmod(PathOf("out").c_str(), 0777);
    }

    std::string PathOf(const std::string& name) const { return m_folder.Path() + "/" + name; }
    std::string Report() const { return PathOf("out/" + ReportFileName(0)); }

    ProgramResult Convert(const std::string& capture, bool unprivileged = false) {
        std::filesystem::remove(Report());
        const uid_t user =
            unprivileged && geteuid() == 0 ? UnprivilegedUser() : static_cast<uid_t>(-1);
        ProgramResult result =
            RunProgram({PathOf("quelmaro"), "--from-json", capture, "--out", PathOf("out")},
                       m_folder.Path(), kHangSeconds, user);
        EXPECT_TRUE(result.finished) << "still running after " << kHangSeconds << " s";
        EXPECT_EQ(result.signal, 0) << result.err;
        return result;
    }

    TempFolder m_folder;
};

TEST_F(HostileCollectorTest, CaptureContentsGiveASoundReportOrNone) {
    SKIP_WITHOUT_FIXTURES();
    for (const ContentCase& c : ContentCases()) {
        const std::string capture = m_folder.Write("capture.json", c.capture);
        const ProgramResult result = Convert(capture);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err;
        if (c.reason != nullptr) {
            EXPECT_EQ(result.err, "quelmaro: " + capture + ": " + c.reason + "\n")
                << c.name << " (status " << result.status << ")";
            EXPECT_FALSE(std::filesystem::exists(Report())) << c.name;
            continue;
        }
        EXPECT_EQ(result.err, "") << c.name;
        const std::string report = ReadFile(Report());
        for (const std::string& expected : c.expected) {
            EXPECT_NE(report.find(expected), std::string::npos) << c.name << ":\n" << report;
        }
        // Every line stays one short INI line whatever the capture held.
        std::istringstream lines(report);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 255u + 18u) << c.name;
            EXPECT_EQ(line.find('\0'), std::string::npos) << c.name;
        }
    }
}

TEST_F(HostileCollectorTest, CapturesThatAreNoRegularFileAreRefusedWithoutBlocking) {
    struct FileCase {
        HostileKind kind;
        const char* reason;
    };
    const FileCase cases[] = {
        {HostileKind::Fifo, "not a regular file"},
        {HostileKind::LinkToDevZero, "not a regular file"},
        {HostileKind::Directory, "not a regular file"},
        {HostileKind::HundredMegabytes, "larger than 8388608 bytes"},
        {HostileKind::Unreadable, "Permission denied"},
    };
    std::string skipped;
    for (const FileCase& c : cases) {
        const std::string capture = PathOf("capture.json");
        std::filesystem::remove_all(capture);
        std::string why;
        ASSERT_TRUE(MakeHostileFile(c.kind, capture, why)) << why;
        const ProgramResult result = Convert(capture, c.kind == HostileKind::Unreadable);
        if (result.status == kCannotDropUser) {
            skipped = "mode 000: running as root, and the user cannot be changed";
            continue;
        }
        EXPECT_EQ(result.status, 2) << c.reason;
        EXPECT_EQ(result.err, "quelmaro: " + capture + ": " + c.reason + "\n");
        EXPECT_FALSE(std::filesystem::exists(Report())) << c.reason;
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << skipped;
    }
}

// Runs quelmaro from its own folder (the test folder, root's and not
// writable by others, as the package's is) with the umask given.
ProgramResult RunInOwnFolder(const std::string& folder, const std::vector<std::string>& arguments,
                             mode_t mask, uid_t user = static_cast<uid_t>(-1)) {
    std::vector<std::string> argv = {folder + "/quelmaro"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const mode_t previous = umask(mask);
    ProgramResult result = RunProgram(argv, folder, kHangSeconds, user);
    umask(previous);
    return result;
}

// flock works on a read-only descriptor: a lock file that another user can
// open lets that user hold up every run. Whatever the umask, and whatever
// mode an older version left, root's run leaves it to root alone.
TEST_F(HostileCollectorTest, LockFileCannotBeOpenedByAnotherUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to be another user than the one who tries";
    }
    const std::string lock = PathOf(".quelmaro.lock");
    const std::string capture = m_folder.Write("capture.json", SmallCapture());
    const struct {
        const char* name;
        mode_t umask;
        int oldMode; // of a lock file there before the run; -1 none
    } cases[] = {{"umask 022", 022, -1}, {"umask 077", 077, -1}, {"an old 0644 lock", 022, 0644}};
    for (const auto& c : cases) {
        std::filesystem::remove(lock);
        if (c.oldMode >= 0) {
            m_folder.Write(".quelmaro.lock", "");
            chmod(lock.c_str(), static_cast<mode_t>(c.oldMode));
        }
        const ProgramResult run =
            RunInOwnFolder(m_folder.Path(), {"--from-json", capture}, c.umask);
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
        struct stat info {};
        ASSERT_EQ(lstat(lock.c_str(), &info), 0) << c.name;
        EXPECT_EQ(info.st_mode & 07777, 0600u) << c.name;
        EXPECT_EQ(info.st_uid, 0u) << c.name;
        std::string why;
        const UnprivilegedOutcome outcome = CheckUnprivileged(
            [&lock] { return open(lock.c_str(), O_RDONLY) < 0 && errno == EACCES; }, why);
        if (outcome == UnprivilegedOutcome::CannotDrop) {
            GTEST_SKIP() << why;
        }
        EXPECT_EQ(outcome, UnprivilegedOutcome::Holds) << c.name << " " << why;
    }
}

// Putting the lock file's mode right must never reach another file: a hard
// link planted at its name is refused, and its target keeps its mode.
TEST_F(HostileCollectorTest, HardLinkAtTheLockFileKeepsItsTargetsMode) {
    const std::string target = m_folder.Write("someones-file", "secret\n");
    chmod(target.c_str(), 0644);
    ASSERT_EQ(link(target.c_str(), PathOf(".quelmaro.lock").c_str()), 0);
    const ProgramResult run = RunInOwnFolder(
        m_folder.Path(), {"--from-json", m_folder.Write("capture.json", SmallCapture())}, 022);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not the empty file this program makes"), std::string::npos) << run.err;
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// A first run through pkexec under umask 077 leaves a lock file no user may
// open; a user's run in that folder, which it cannot write anyway, still gets
// as far as asking for root.
TEST_F(HostileCollectorTest, UsersRunAfterAPrivateLockFileStillAsksForRoot) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to be another user than the one who tries";
    }
    const std::string capture = m_folder.Write("capture.json", SmallCapture());
    ASSERT_EQ(RunInOwnFolder(m_folder.Path(), {"--from-json", capture}, 077).status, 0);
    // A scan as a user gets it: the device exists but cannot be opened.
    const std::string scan = m_folder.Write(
        "scan.json", R"({"smartctl":{"exit_status":0},"devices":[{"name":"/dev/nvme0",)"
                     R"("info_name":"/dev/nvme0","type":"nvme","protocol":"NVMe",)"
                     R"("open_error":"Permission denied"}]})");
    const std::string smartctl = m_folder.Write("smartctl", "#!/bin/sh\ncat " + scan + "\n");
    const std::string pkexec = m_folder.Write("pkexec", "#!/bin/sh\nprintf '%s\\n' \"$@\"\n");
    for (const std::string& path : {scan, smartctl, pkexec}) {
        chmod(path.c_str(), 0755);
    }
    setenv("QUELMARO_PKEXEC", pkexec.c_str(), 1);
    const ProgramResult run =
        RunInOwnFolder(m_folder.Path(), {"-uf", "--smartctl", smartctl}, 077, UnprivilegedUser());
    unsetenv("QUELMARO_PKEXEC");
    if (run.status == kCannotDropUser) {
        GTEST_SKIP() << "running as root, and the user cannot be changed";
    }
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, PathOf("quelmaro") + "\n-uf\n--no-elevate\n--timeout\n60\n");
}

} // namespace
