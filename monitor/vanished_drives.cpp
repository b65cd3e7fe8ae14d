#include "monitor/vanished_drives.h"

#include <algorithm>

Result<std::vector<VanishedDrive>> FindVanishedDrives(const CHistoryStore& history,
                                                      const std::vector<DriveIdentity>& present,
                                                      std::int64_t now,
                                                      std::int64_t vanishedAfter) {
    auto known = history.KnownDrives();
    if (!known) {
        return Failure{known.Problem()};
    }
    std::vector<VanishedDrive> vanished;
    for (const KnownDrive& drive : known.Value()) {
        if (drive.lastSeen >= now - vanishedAfter &&
            std::find(present.begin(), present.end(), drive.drive) == present.end()) {
            vanished.push_back({drive.drive, drive.lastSeen});
        }
    }
    return vanished;
}

std::vector<DriveWarning> VanishedWarnings(const std::vector<VanishedDrive>& vanished) {
    std::vector<DriveWarning> warnings;
    for (const VanishedDrive& drive : vanished) {
        warnings.push_back(
            VanishedWarning({drive.drive.model, drive.drive.serial}, drive.lastSeen));
    }
    return warnings;
}
