#pragma once

#include "platform/result.h"

#include <string>

// Brings the viewer to the front: a viewer of this session that owns
// org.tolvenar.tolvenar on the session bus is asked to raise itself
// (org.freedesktop.Application.Activate); else it is started as the menu
// entry does: the program "tolvenar" of the program folder, else the first
// on the absolute folders of PATH, never one of the current directory, and
// without a shell. It runs on its own (not a child that this program waits
// for). activationToken, when not empty, is handed on (the platform data
// "activation-token", or XDG_ACTIVATION_TOKEN) so that the desktop lets its
// window come to the front. A Failure (one line) when it cannot be started.
[[nodiscard]] Result<void> OpenViewer(const std::string& activationToken);
