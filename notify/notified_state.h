#pragma once

#include "report/drive_warnings.h"

#include <cstdint>
#include <string>
#include <vector>

// A warning the user has been told about, with the value they were told.
// Model, serial, kind and attribute id name the warning across runs.
struct NotifiedWarning {
    std::string model;
    std::string serial;
    WarningKind kind = WarningKind::Counter;
    int attributeId = 0;
    std::int64_t value = 0;

    bool SameWarning(const NotifiedWarning& other) const {
        return model == other.model && serial == other.serial && kind == other.kind &&
               attributeId == other.attributeId;
    }
};

// The state file, "notified.json" in the state folder:
// {"version":1,"warnings":[{"model":…,"serial":…,"kind":"counter",
//   "attribute":197,"value":8}, …]}
inline constexpr char kNotifiedStateFile[] = "notified.json";

// The entries of a state file's text; false when the text is damaged (not
// that JSON, another version, an entry missing a field), entries then empty.
[[nodiscard]] bool ParseNotifiedState(const std::string& text,
                                      std::vector<NotifiedWarning>& entries);
std::string FormatNotifiedState(const std::vector<NotifiedWarning>& entries);

// $XDG_STATE_HOME/tolvenar (an unset, empty or relative XDG_STATE_HOME means
// ~/.local/state), created (mode 0700) when missing. Empty with problem set
// (one line) when it cannot be named or made.
std::string NotifyStateFolder(std::string& problem);
