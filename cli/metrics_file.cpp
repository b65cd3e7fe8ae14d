#include "cli/metrics_file.h"

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// node_exporter reads the folder at any moment: never half a file.
bool WriteMetricsFile(const std::string& file, const std::string& text, std::ostream& err) {
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string problem = folderFd < 0 ? std::strerror(errno) : "";
    if (folderFd >= 0 && !name.empty()) {
        // What a killed run of ours left; never a writer's that is still at work.
        if (const Result<void> removed = RemoveStaleTemporaries(folderFd, name); !removed) {
            err << "tolvenar-report: " << removed.Problem() << "\n";
        }
    }
    bool written = false;
    if (folderFd >= 0 && !name.empty()) {
        const Result<void> write = WriteFileAtomically(folderFd, name, text);
        written = write.HasValue();
        problem = write.Problem();
    }
    if (folderFd >= 0) {
        close(folderFd);
    }
    if (!written) {
        err << "tolvenar-report: " << file << ": " << (name.empty() ? "no file name" : problem)
            << "\n";
    }
    return written;
}

// The metrics file written last time; empty when there is none to read.
std::string PreviousMetrics(const std::string& path) {
    // Far beyond the metrics of a thousand drives.
    constexpr std::size_t kMaxMetricsBytes = 16u * 1024u * 1024u;
    if (path.empty()) {
        return std::string();
    }
    // Not through a symbolic link: the file is ours, replaced as a whole.
    const Result<std::string> text = ReadRegularFileAt(AT_FDCWD, path, kMaxMetricsBytes);
    return text ? *text : std::string();
}
