// tolvenar_history_bench: years of hourly collector runs into a fresh history
// database, against the history's budgets: the database's size, the time of
// one run's insert, the query behind one attribute's chart, and the queries
// the warnings and the viewer's tooltips make per drive.
//
//   tolvenar_history_bench [YEARS [DRIVES [FOLDER]]]   (default 10 16 $TMPDIR)
//
// When FOLDER holds drive reports (smart_PhysicalDrive<N>.ini), drive N is
// named after report N's model and serial number and the database is kept
// there as history.sqlite, so that the programs can be timed against it.
//
// Each drive has 24 attributes; every hour its temperature (194) changes,
// its power-on hours (9) and the LBAs written and read (241, 242) grow, and
// about every six weeks a reallocated (5) and a pending (197) sector appear.
#include "history/history_store.h"
#include "report/drive_report.h"
#include "report/report_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
constexpr int kSteadyIds[] = {1, 3, 4, 7, 10, 12, 183, 184, 187, 188, 189, 190, 195, 198, 199, 240};

std::vector<DriveReading> Run(const std::vector<DriveIdentity>& keys, std::int64_t hour) {
    std::vector<DriveReading> readings;
    for (std::size_t d = 0; d < keys.size(); ++d) {
        DriveReading reading;
        reading.drive = keys[d];
        for (int id : kSteadyIds) {
            reading.attributes.push_back({id, 100, 100, 10, 0});
        }
        const std::int64_t sectors = hour / 1000;
        reading.attributes.push_back({5, 100, 100, 36, sectors});
        reading.attributes.push_back({9, 90, 90, 0, 10000 + hour});
        reading.attributes.push_back(
            {194, 60, 40, 0, 30 + (hour * 7 + static_cast<std::int64_t>(d)) % 15});
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

// Drive d is report d's drive when the folder has that report.
std::vector<DriveIdentity> DriveKeys(int drives, const std::string& folder, bool& named) {
    std::vector<DriveIdentity> keys;
    named = false;
    for (int d = 0; d < drives; ++d) {
        const std::string report = folder + "/" + ReportFileName(d);
        const DriveIdentity identity =
            access(report.c_str(), R_OK) == 0 ? ReadDriveIdentity(report) : DriveIdentity();
        named = named || !identity.serial.empty();
        keys.push_back(identity.serial.empty()
                           ? DriveIdentity{"BENCH MODEL " + std::to_string(d % 4),
                                           "SERIAL" + std::to_string(d)}
                           : DriveIdentity{identity.model, identity.serial});
    }
    return keys;
}

// The collector's clock in the simulation: the time of the run it records.
class CSimulatedClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return m_now; }
    void Set(std::int64_t now) { m_now = now; }

private:
    std::int64_t m_now = 0;
};

// Median milliseconds of 20 calls of query.
template <typename Query> double MedianMs(Query query) {
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        const auto before = Clock::now();
        query();
        ms.push_back(Ms(Clock::now() - before));
    }
    return Percentile(ms, 0.5);
}

} // namespace

int main(int argc, char** argv) {
    const double years = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int drives = argc > 2 ? std::atoi(argv[2]) : 16;
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = argc > 3 ? argv[3] : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    bool named = false;
    const std::vector<DriveIdentity> keys = DriveKeys(drives, folder, named);
    const std::string path =
        named ? folder + "/" + kHistoryFileName
              : folder + "/tolvenar-history-bench-" + std::to_string(getpid()) + ".sqlite";
    const std::int64_t runs = static_cast<std::int64_t>(years * 365.25 * 24);
    // Ending about now, so that the programs timed against it see a current
    // history; starting at a UTC midnight, so that each day's first run thins.
    const std::int64_t start = time(nullptr) / kDay * kDay - (runs / 24 + 1) * kDay;

    CSimulatedClock clock;
    CHistoryStore store(clock);
    if (const auto opened = store.Open(path, CHistoryStore::Access::Write); !opened) {
        std::fprintf(stderr, "%s\n", opened.Problem().c_str());
        return 1;
    }
    std::vector<double> insertMs;
    std::vector<double> thinningMs; // the first run of each day also thins
    insertMs.reserve(static_cast<std::size_t>(runs));
    for (std::int64_t hour = 0; hour < runs; ++hour) {
        const std::vector<DriveReading> run = Run(keys, hour);
        clock.Set(start + hour * kHour);
        const auto before = Clock::now();
        if (const auto recorded = store.RecordRun(start + hour * kHour, run); !recorded) {
            std::fprintf(stderr, "run %lld: %s\n", static_cast<long long>(hour),
                         recorded.Problem().c_str());
            return 1;
        }
        (hour % 24 == 0 ? thinningMs : insertMs).push_back(Ms(Clock::now() - before));
    }
    std::vector<double> chartMs;
    std::size_t points = 0;
    for (int i = 0; i < 20; ++i) {
        const auto before = Clock::now();
        points = store.Readings(keys[0], 194).Value().size();
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
    // What a warning needs per drive: the raw value before the current one
    // of each attribute, once from the whole series and once from the index.
    const std::vector<HistoryPoint> all = store.Readings(keys[0]).Value();
    std::vector<int> ids;
    for (const HistoryPoint& point : all) {
        if (std::find(ids.begin(), ids.end(), point.sample.id) == ids.end()) {
            ids.push_back(point.sample.id);
        }
    }
    const double scanMs = MedianMs([&] {
        const std::vector<HistoryPoint> series = store.Readings(keys[0]).Value();
        // As the warnings once did: the newest sample of id with another raw value.
        for (int id : ids) {
            const auto found = std::find_if(series.rbegin(), series.rend(), [id](const auto& p) {
                return p.sample.id == id && p.sample.raw != -1;
            });
            (void)found;
        }
    });
    const double indexMs = MedianMs([&] {
        for (int id : ids) {
            (void)store.LastRawOtherThan(keys[0], id, -1);
        }
    });
    const double changesMs = MedianMs([&] { (void)store.LastRawChanges(keys[0]); });
    std::printf("previous raw, %zu ids  whole series %.2f ms (%zu samples), indexed %.3f ms\n",
                ids.size(), scanMs, all.size(), indexMs);
    std::printf("last raw changes      %.3f ms per drive (viewer tooltips)\n", changesMs);
    if (named) {
        std::printf("kept                  %s\n", path.c_str());
    } else {
        unlink(path.c_str());
    }
    return 0;
}
