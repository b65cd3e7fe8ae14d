#include "collector_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

const std::vector<const char*> kCapturesWithReport = {
    "plasma-disks/broken.json",
    "plasma-disks/invalid-vbox.json",
    "plasma-disks/pass-without-status.json",
    "scrutiny/smart-megaraid0.json",
    "scrutiny/smart-scsi.json",
    "smart-prom-next/sat_xall.json",
    "smartctl_exporter/HITACHI_H109060SESUN600G_10.json",
    "smartctl_exporter/SAMSUNG_MZ7WD240HAFV-00003_21.json",
    "smartctl_exporter/SEAGATE_ST373453LC_26.json",
    "smartctl_exporter/ST3500418AS_12.json",
    "smartctl_exporter/WDC_WD20EFRX-68EUZN0_17.json",
    "smartctl_exporter/nvme-null-SAMSUNG_MZWLL3T2HAJQ-00005-nvme0.json",
    "smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json",
    "smartctl_exporter/sat-Micron_5100_Pro___52x0___5300_SSDs-Micron_5300_MTFDDAK1T9TDS-sda.json",
    "smartctl_exporter/sat-Phison_Driven_SSDs-KINGSTON_SA400M8120G-sda.json",
    "smartctl_exporter/sat-Samsung_based_SSDs-SAMSUNG_MZ7LH480HAHQ-00005-sda.json",
    "smartctl_exporter/sat-Seagate_Enterprise_Capacity_3.5_HDD-ST10000NM0016-1TT101-sda.json",
    "smartctl_exporter/sat-Seagate_Exos_X16-ST16000NM001G-2KK103-sda.json",
    "smartctl_exporter/sat-Silicon_Motion_based_SSDs-TS32GMTS400-sda.json",
    "smartctl_exporter/sat-Toshiba_X300-TOSHIBA_HDWE160-sdb.json",
    "smartctl_exporter/sat-Western_Digital_Ultrastar_DC_HC550-WDC__WUH721816ALE6L4-sdx.json",
};

std::string ExpectedRawText(const nlohmann::json& raw) {
    const std::string text = raw.value("string", "");
    const std::size_t end = std::min(text.find_first_not_of("0123456789"), text.size());
    const std::string number = text.substr(0, end);
    const std::string rest = text.substr(end);
    const bool remark = rest.rfind(" (", 0) == 0 && rest.back() == ')';
    // smartctl's durations: "16671h", "4567h+12m", "16671h+22m+05.274s".
    const bool duration =
        rest.rfind('h', 0) == 0 && rest.find_first_not_of("0123456789hms+.") == std::string::npos;
    if (!number.empty() && (rest.empty() || remark || duration)) {
        return number;
    }
    return std::to_string(raw["value"].get<std::uint64_t>());
}

std::string CaptureFolder(const std::string& set) {
    return FixturesFolder() + "/" + set;
}

std::string CapturePath(const std::string& relative) {
    return CaptureFolder() + "/" + relative;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text, bool executable) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    if (executable) {
        chmod(path.c_str(), 0755);
    }
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::map<std::string, std::string> ParseReportText(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        const std::string key = section + "::" + line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        if (!values.emplace(key, value).second) {
            values["DUPLICATE"] += key + " ";
        }
    }
    return values;
}
