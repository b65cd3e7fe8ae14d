#include "collector/collector_options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Mode = CollectorOptions::Mode;

struct GoodCase {
    std::vector<std::string> arguments;
    Mode mode;
    std::string outFolder;
    std::string smartctl;
    std::vector<std::string> files;
    int seconds;
    bool noElevate;
};

TEST(CollectorOptions, AcceptedCommandLines) {
    const GoodCase cases[] = {
        {{"-uf"}, Mode::ReadDrives, "", "", {}, 60, false},
        {{"-uf", "--out", "/tmp/r", "--smartctl", "/opt/smartctl", "--timeout", "2"},
         Mode::ReadDrives,
         "/tmp/r",
         "/opt/smartctl",
         {},
         2,
         false},
        {{"--out", "d", "-uf", "--no-elevate"}, Mode::ReadDrives, "d", "", {}, 60, true},
        {{"--from-json", "a.json", "b.json"},
         Mode::ConvertFiles,
         "",
         "",
         {"a.json", "b.json"},
         60,
         false},
        {{"--from-json", "a.json", "--out", "o", "--timeout", "3600"},
         Mode::ConvertFiles,
         "o",
         "",
         {"a.json"},
         3600,
         false},
        {{"--help"}, Mode::Help, "", "", {}, 60, false},
        {{"-uf", "-h"}, Mode::Help, "", "", {}, 60, false},
    };
    for (const GoodCase& c : cases) {
        const Result<CollectorOptions> parsed = ParseCollectorOptions(c.arguments);
        ASSERT_TRUE(parsed) << c.arguments[0] << ": " << parsed.Problem();
        const CollectorOptions& options = parsed.Value();
        EXPECT_EQ(options.mode, c.mode);
        EXPECT_EQ(options.outFolder, c.outFolder);
        EXPECT_EQ(options.smartctl, c.smartctl);
        EXPECT_EQ(options.captureFiles, c.files);
        EXPECT_EQ(options.timeLimitSeconds, c.seconds);
        EXPECT_EQ(options.noElevate, c.noElevate);
    }
}

struct BadCase {
    std::vector<std::string> arguments;
    const char* problemPart;
};

TEST(CollectorOptions, RefusedCommandLines) {
    const BadCase cases[] = {
        {{}, "nothing to do"},
        {{"--out", "d"}, "nothing to do"},
        {{"-u"}, "unknown option \"-u\""},
        {{"-uf", "--verbose"}, "unknown option"},
        {{"-uf", "--out=d"}, "unknown option"},
        {{"-uf", "extra"}, "unexpected argument"},
        {{"-uf", "--from-json", "a.json"}, "cannot be used together"},
        {{"--from-json"}, "at least one file"},
        {{"--from-json", "--out", "d"}, "at least one file"},
        {{"-uf", "--out"}, "--out needs a value"},
        {{"-uf", "--smartctl", ""}, "--smartctl needs a value"},
        {{"-uf", "--timeout", "0"}, "--timeout"},
        {{"-uf", "--timeout", "3601"}, "--timeout"},
        {{"-uf", "--timeout", "-5"}, "--timeout"},
        {{"-uf", "--timeout", "2s"}, "--timeout"},
        {{"-uf", "--timeout", "99999999999999999999"}, "--timeout"},
    };
    for (const BadCase& c : cases) {
        const Result<CollectorOptions> parsed = ParseCollectorOptions(c.arguments);
        EXPECT_FALSE(parsed);
        EXPECT_NE(parsed.Problem().find(c.problemPart), std::string::npos) << parsed.Problem();
    }
}

} // namespace
