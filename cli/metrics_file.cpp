#include "cli/metrics_file.h"

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// node_exporter reads the folder at any moment: never half a file.
Result<void> WriteMetricsFile(const std::string& file, const std::string& text, std::ostream& err) {
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty()) {
        return Failure{file + ": no file name"};
    }
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return Failure{file + ": " + std::strerror(errno)};
    }
    // What a killed run of ours left; never a writer's that is still at work.
    if (const Result<void> removed = RemoveStaleTemporaries(folderFd, name); !removed) {
        err << "tolvenar-report: " << removed.Problem() << "\n";
    }
    const Result<void> written = WriteFileAtomically(folderFd, name, text);
    close(folderFd);
    if (!written) {
        return Failure{file + ": " + written.Problem()};
    }
    return {};
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
