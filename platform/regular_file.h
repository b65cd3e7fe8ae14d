#pragma once

#include "platform/result.h"

#include <cstddef>
#include <string>

// What a missing file reads as: most callers need the file, a state file
// that was never written is simply empty.
enum class MissingFile { Fails, ReadsEmpty };

// The whole content of a regular file of at most maxBytes bytes. Anything
// else fails with one line saying why ("not a regular file", "larger than N
// bytes", or the system's reason), without waiting on a FIFO or acting on a
// device: the type is checked before the file is opened, and again after.
[[nodiscard]] Result<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes);

// The same for name in the open folder folderFd (AT_FDCWD: the working
// folder); a symbolic link at name is refused, not followed.
[[nodiscard]] Result<std::string> ReadRegularFileAt(int folderFd, const std::string& name,
                                                    std::size_t maxBytes,
                                                    MissingFile missing = MissingFile::Fails);
