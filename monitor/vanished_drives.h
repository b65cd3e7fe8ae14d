#pragma once

#include "history/history_store.h"
#include "report/drive_warnings.h"

#include <cstdint>
#include <vector>

// A drive dead enough to stop answering leaves no report: the history is
// what still remembers it.
struct VanishedDrive {
    DriveIdentity drive;
    std::int64_t lastSeen = 0;
};

inline constexpr std::int64_t kDefaultVanishedAfterSeconds = 7 * 86400;

// The drives the history read during the vanishedAfter seconds before now
// that are not among present, oldest first.
Result<std::vector<VanishedDrive>> FindVanishedDrives(const CHistoryStore& history,
                                                      const std::vector<DriveIdentity>& present,
                                                      std::int64_t now, std::int64_t vanishedAfter);

// The warning each vanished drive gives, through the same rules as a
// report's warnings (for tolvenar-report --check and tolvenar-notify).
std::vector<DriveWarning> VanishedWarnings(const std::vector<VanishedDrive>& vanished);
