// tolvenar_history_bench: years of hourly collector runs into a fresh history
// database, against the history's budgets: the database's size, the time of
// one run's insert, and the query behind one attribute's chart.
//
//   tolvenar_history_bench [YEARS [DRIVES [FOLDER]]]   (default 10 16 $TMPDIR)
//
// Each drive has 24 attributes; every hour its temperature (194) changes,
// its power-on hours (9) and the LBAs written and read (241, 242) grow, and
// about every six weeks a reallocated (5) and a pending (197) sector appear.
#include "history/history_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t kHour = 3600;
constexpr int kSteadyIds[] = {1, 3, 4, 7, 10, 12, 183, 184, 187, 188, 189, 190, 195, 198, 199, 240};

std::vector<DriveReading> Run(int drives, std::int64_t hour) {
    std::vector<DriveReading> readings;
    for (int d = 0; d < drives; ++d) {
        DriveReading reading;
        reading.drive = {"BENCH MODEL " + std::to_string(d % 4), "SERIAL" + std::to_string(d)};
        for (int id : kSteadyIds) {
            reading.attributes.push_back({id, 100, 100, 10, 0});
        }
        const std::int64_t sectors = hour / 1000;
        reading.attributes.push_back({5, 100, 100, 36, sectors});
        reading.attributes.push_back({9, 90, 90, 0, 10000 + hour});
        reading.attributes.push_back({194, 60, 40, 0, 30 + (hour * 7 + d) % 15});
        reading.attributes.push_back({197, 100, 100, 0, sectors / 2});
        reading.attributes.push_back({241, 100, 100, 0, 5'000'000'000LL + hour * 40'000});
        reading.attributes.push_back({242, 100, 100, 0, 9'000'000'000LL + hour * 90'000});
        readings.push_back(std::move(reading));
    }
    return readings;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    const double years = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int drives = argc > 2 ? std::atoi(argv[2]) : 16;
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = argc > 3 ? argv[3] : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    const std::string path =
        folder + "/tolvenar-history-bench-" + std::to_string(getpid()) + ".sqlite";
    const std::int64_t runs = static_cast<std::int64_t>(years * 365.25 * 24);
    const std::int64_t start = 1'577'836'800; // 2020-01-01 UTC

    CHistoryStore store;
    std::string problem;
    if (!store.Open(path, CHistoryStore::Access::Write, problem)) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    std::vector<double> insertMs;
    std::vector<double> thinningMs; // the first run of each day also thins
    insertMs.reserve(static_cast<std::size_t>(runs));
    for (std::int64_t hour = 0; hour < runs; ++hour) {
        const std::vector<DriveReading> run = Run(drives, hour);
        const auto before = Clock::now();
        if (!store.RecordRun(start + hour * kHour, run, problem)) {
            std::fprintf(stderr, "run %lld: %s\n", static_cast<long long>(hour), problem.c_str());
            return 1;
        }
        (hour % 24 == 0 ? thinningMs : insertMs).push_back(Ms(Clock::now() - before));
    }
    std::vector<double> chartMs;
    std::size_t points = 0;
    for (int i = 0; i < 20; ++i) {
        const auto before = Clock::now();
        points = store.Readings({"BENCH MODEL 0", "SERIAL0"}, 194).size();
        chartMs.push_back(Ms(Clock::now() - before));
    }
    struct stat info {};
    stat(path.c_str(), &info);
    std::printf("runs                  %lld (%.1f years, %d drives)\n",
                static_cast<long long>(runs), years, drives);
    std::printf("database              %.1f MB           budget 50 MB\n",
                static_cast<double>(info.st_size) / 1e6);
    std::printf("run insert            median %.2f ms, p99 %.2f ms, max %.2f ms   budget 20 ms\n",
                Percentile(insertMs, 0.5), Percentile(insertMs, 0.99),
                *std::max_element(insertMs.begin(), insertMs.end()));
    std::printf("run insert that thins median %.2f ms, p99 %.2f ms, max %.2f ms (%zu runs)\n",
                Percentile(thinningMs, 0.5), Percentile(thinningMs, 0.99),
                *std::max_element(thinningMs.begin(), thinningMs.end()), thinningMs.size());
    std::printf("chart query (194)     median %.2f ms, max %.2f ms (%zu points)   budget 50 ms\n",
                Percentile(chartMs, 0.5), *std::max_element(chartMs.begin(), chartMs.end()),
                points);
    unlink(path.c_str());
    return 0;
}
