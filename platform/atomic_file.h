#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

// Replaces the file name in the folder open as folderFd by content, so that a
// reader sees either the old file or the whole new one: the content goes into
// a new temporary file in the same folder (created with O_CREAT | O_EXCL |
// O_NOFOLLOW, so an existing file or a planted link is never written
// through), is flushed to the disk, and the temporary file is renamed over
// name. A link at name is itself replaced, never followed. The file is
// readable by everyone (0644), whatever the umask, so that a report written
// as root can be read by the viewer. A Failure (one line) when it fails; the
// temporary file is then removed and name is left as it was.
[[nodiscard]] Result<void> WriteFileAtomically(int folderFd, const std::string& name,
                                               std::string_view content);

// A temporary file of WriteFileAtomically for name is called
// "." + name + kTemporaryInfix + a unique tail; a run that was killed may
// leave one behind.
inline constexpr char kTemporaryInfix[] = ".tmp-";

// Removes the temporary files for name in the folder that a killed writer
// left behind: regular files only (never a link), owned by this user, whose
// writer (the process named in the tail) is gone or that are older than
// kStaleTemporaryAgeSeconds. A writer at work keeps its file. A Failure (one
// line) for the files that could not be removed.
inline constexpr long kStaleTemporaryAgeSeconds = 3600;
[[nodiscard]] Result<void> RemoveStaleTemporaries(int folderFd, const std::string& name);
