#pragma once

#include "platform/result.h"
#include "report/drive_warnings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A warning the user has been told about, with the value they were told.
// Model, serial, kind and attribute id name the warning across runs.
struct NotifiedWarning {
    std::string model;
    std::string serial;
    WarningKind kind = WarningKind::Counter;
    int attributeId = 0;
    // Unknown when the state file held no usable number (out of range, not a
    // number): the warning counts as told, and the next value is kept.
    std::optional<std::int64_t> value = 0;

    bool SameWarning(const NotifiedWarning& other) const {
        return model == other.model && serial == other.serial && kind == other.kind &&
               attributeId == other.attributeId;
    }
};

// The notification a drive's warnings were last shown in, as the server
// numbered it: a new or worse warning replaces it instead of adding one.
struct DriveBubble {
    std::string model;
    std::string serial;
    std::uint32_t id = 0;
};

struct NotifiedState {
    std::vector<NotifiedWarning> warnings;
    std::vector<DriveBubble> bubbles;
    // The notification server that numbered the bubbles (see
    // CNotificationSink::ServerInstance): another one may have given their
    // numbers to other programs' notifications.
    std::string server;
};

// The state file, "notified.json" in the state folder:
// {"version":1,"warnings":[{"model":…,"serial":…,"kind":"counter",
//   "attribute":197,"value":8}, …],"bubbles":[{"model":…,"serial":…,"id":12}],
//  "server":"…"} ("bubbles" and "server" may be missing: files of earlier
// versions have none).
inline constexpr char kNotifiedStateFile[] = "notified.json";

// The state file's text; false when it is damaged (not that JSON, another
// version, an entry missing a field), state then empty.
[[nodiscard]] bool ParseNotifiedState(const std::string& text, NotifiedState& state);
std::string FormatNotifiedState(const NotifiedState& state);

// $XDG_STATE_HOME/tolvenar (an unset, empty or relative XDG_STATE_HOME means
// ~/.local/state), created (mode 0700) when missing. A Failure (one line)
// when it cannot be named or made.
[[nodiscard]] Result<std::string> NotifyStateFolder();
