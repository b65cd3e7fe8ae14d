#pragma once

#include "monitor/drive_warning_loader.h"

#include <QIcon>
#include <string>

// The state of a drive as the drive list's icon shows it, from the warning
// rules that tolvenar-report --check and the notifier use.
enum class DriveState {
    NoData,  // the report cannot be read, its attribute lines are malformed, or
             // it holds neither an attribute nor the drive's own verdict
    Fine,    // no warning
    Warning, // a warning, none failing
    Failing, // a failing attribute or the drive's own FAILED verdict
};

// The drive list entry's role that holds its DriveState as an int.
inline constexpr int kDriveStateRole = Qt::UserRole + 2;

// The state of a loaded drive; readable: whether its report file could be read.
DriveState DriveStateOf(const WarnedDrive& drive, bool readable);

// Whether the report at path is a regular file that can be read.
bool IsReadableReport(const std::string& path);

// The icon of a state: the icon theme's, else one drawn here, so that every
// desktop shows the four states apart.
QIcon DriveStateIcon(DriveState state);

// The drawn icon of a state, whatever the theme holds.
QIcon DrawnDriveStateIcon(DriveState state);
