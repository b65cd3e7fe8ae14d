#include "hostile/hostile_files.h"

#include "config/ini_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

const char kHostileReportBody[] = "SERIAL_NUMBER=WD-HOSTILE\n"
                                  "FIRMWARE_REVISION=82.00A82\n"
                                  "SIZE_GB=2000\n"
                                  "SIZE_GIB=1863\n"
                                  "[SMARTS]\n"
                                  "ATTR_5=1,1,5,2048,0\n"
                                  "ATTR_9=90,90,0,43210,0\n"
                                  "ATTR_194=118,100,0,34,0\n";

namespace {

constexpr long long kHundredMegabytes = 100LL * 1000 * 1000;

std::string Report(const std::string& modelLine) {
    return "[HDDINFO]\n" + modelLine + "\n" + kHostileReportBody;
}

// A model of 1 MB of three-byte characters; the store cuts it to whole
// characters within 1023 bytes: "WDC " and 339 of them.
std::string MegabyteModel() {
    std::string model = "WDC ";
    while (model.size() < 1000 * 1000) {
        model += "温";
    }
    return model;
}

std::string Contents(HostileKind kind) {
    switch (kind) {
    case HostileKind::HundredMegabytes:
    case HostileKind::Unreadable:
        return Report("MODEL=WDC WD20EFRX");
    case HostileKind::MegabyteLine:
        return Report("MODEL=" + MegabyteModel());
    case HostileKind::NulBytes:
        return std::string(4096, '\0') + "\n" +
               Report(std::string("MODEL=WDC WD20\0EFRX hidden", 26));
    case HostileKind::InvalidUtf8:
        // 0xC3 0x28 is no UTF-8; as CP932 it is a half-width katakana and "(".
        return Report("MODEL=WDC \xC3\x28");
    case HostileKind::InvalidShiftJis:
        // A lead byte with a bad trail byte, and bytes CP932 leaves undefined.
        return Report("MODEL=WDC \x81\x20\xFD\xFE\xFF");
    case HostileKind::FiveThousandSections: {
        std::string text;
        for (int i = 0; i < 5000; ++i) {
            text += "[SECTION_" + std::to_string(i) + "]\nKEY=" + std::to_string(i) + "\n";
        }
        return text + Report("MODEL=WDC WD20EFRX");
    }
    case HostileKind::RepeatedSectionsAtLimit: {
        // Before the report, so that every lookup of the report's keys has
        // these sections in front of it.
        const std::string report = Report("MODEL=WDC WD20EFRX");
        std::string text;
        text.reserve(CIniFile::kMaxFileSize);
        while (text.size() + 10 + report.size() <= CIniFile::kMaxFileSize) {
            text += "[PADDING]\n";
        }
        return text + report;
    }
    default:
        return std::string();
    }
}

} // namespace

const std::vector<HostileCase>& HostileCases() {
    static const std::vector<HostileCase> cases = {
        {HostileKind::Fifo, "fifo", false, "", 0},
        {HostileKind::LinkToDevZero, "link to /dev/zero", false, "", 0},
        {HostileKind::Directory, "directory", false, "", 0},
        {HostileKind::HundredMegabytes, "100 MB file", false, "", 0},
        {HostileKind::Unreadable, "mode 000", false, "", 0},
        {HostileKind::MegabyteLine, "1 MB line", true, nullptr, 3},
        {HostileKind::NulBytes, "NUL bytes", true, "WDC WD20", 3},
        {HostileKind::InvalidUtf8, "invalid UTF-8", true, "WDC \xEF\xBE\x83(", 3},
        {HostileKind::InvalidShiftJis, "invalid Shift-JIS", true,
         "WDC \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 3},
        {HostileKind::FiveThousandSections, "5,000 sections", true, "WDC WD20EFRX", 3},
        {HostileKind::RepeatedSectionsAtLimit, "16 MiB of repeated sections", true, "WDC WD20EFRX",
         3},
    };
    return cases;
}

bool MakeHostileFile(HostileKind kind, const std::string& path, std::string& why) {
    unlink(path.c_str());
    switch (kind) {
    case HostileKind::Fifo:
        if (mkfifo(path.c_str(), 0644) != 0) {
            why = std::string("mkfifo: ") + std::strerror(errno);
            return false;
        }
        return true;
    case HostileKind::LinkToDevZero:
        if (symlink("/dev/zero", path.c_str()) != 0) {
            why = std::string("symlink: ") + std::strerror(errno);
            return false;
        }
        return true;
    case HostileKind::Directory:
        if (mkdir(path.c_str(), 0755) != 0) {
            why = std::string("mkdir: ") + std::strerror(errno);
            return false;
        }
        return true;
    default:
        break;
    }
    {
        std::ofstream out(path, std::ios::binary);
        out << Contents(kind);
        if (!out) {
            why = "cannot write " + path;
            return false;
        }
    }
    // Sparse padding: 100 MB on paper, no disk space taken.
    if (kind == HostileKind::HundredMegabytes && truncate(path.c_str(), kHundredMegabytes) != 0) {
        why = std::string("truncate: ") + std::strerror(errno);
        return false;
    }
    if (kind == HostileKind::Unreadable && chmod(path.c_str(), 0) != 0) {
        why = std::string("chmod: ") + std::strerror(errno);
        return false;
    }
    return true;
}
