#include "collector/collector_options.h"

#include "config/program_folder.h"

#include <cstdlib>

namespace {

bool ParseSeconds(const std::string& text, int& seconds) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return false;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < 1 || value > kMaxTimeLimitSeconds) {
        return false;
    }
    seconds = static_cast<int>(value);
    return true;
}

} // namespace

Result<CollectorOptions> ParseCollectorOptions(const std::vector<std::string>& arguments) {
    CollectorOptions options;
    bool readDrives = false;
    bool convertFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.mode = CollectorOptions::Mode::Help;
            return options;
        } else if (argument == "--version") {
            options.mode = CollectorOptions::Mode::Version;
            return options;
        } else if (argument == "-uf") {
            readDrives = true;
        } else if (argument == "--from-json") {
            convertFiles = true;
            while (i + 1 < arguments.size() && !arguments[i + 1].empty() &&
                   arguments[i + 1][0] != '-') {
                options.captureFiles.push_back(arguments[++i]);
            }
            if (options.captureFiles.empty()) {
                return Failure{"--from-json needs at least one file"};
            }
        } else if (argument == "--out" || argument == "--smartctl" || argument == "--timeout") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                return Failure{argument + " needs a value"};
            }
            const std::string& value = arguments[++i];
            if (argument == "--out") {
                options.outFolder = value;
            } else if (argument == "--smartctl") {
                options.smartctl = value;
            } else if (!ParseSeconds(value, options.timeLimitSeconds)) {
                return Failure{"--timeout needs whole seconds from 1 to " +
                               std::to_string(kMaxTimeLimitSeconds) + ", not \"" + value + "\""};
            }
        } else if (argument == "--no-elevate") {
            options.noElevate = true;
        } else if (!argument.empty() && argument[0] == '-') {
            return Failure{"unknown option \"" + argument + "\""};
        } else {
            return Failure{"unexpected argument \"" + argument + "\""};
        }
    }
    if (readDrives == convertFiles) {
        return Failure{readDrives ? "-uf and --from-json cannot be used together"
                                  : "nothing to do: give -uf or --from-json"};
    }
    options.mode =
        readDrives ? CollectorOptions::Mode::ReadDrives : CollectorOptions::Mode::ConvertFiles;
    return options;
}

std::string CollectorUsage() {
    return "Usage: quelmaro -uf [--out DIR] [--smartctl PATH] [--timeout SECONDS]\n"
           "       quelmaro --from-json FILE... [--out DIR]\n"
           "       quelmaro --self-test short|long --serial SERIAL\n"
           "       quelmaro --abort --serial SERIAL\n"
           "       quelmaro --help\n"
           "\n"
           "Reads the S.M.A.R.T. data of every drive with smartctl and writes one report\n"
           "smart_PhysicalDrive<N>.ini per drive (N from 0 in scan order) into the\n"
           "report folder, where the viewer tolvenar reads them:\n"
           "  " +
           ReportFolder() +
           "\n"
           "\n"
           "  -uf                 read every drive; needs root, asked for through pkexec\n"
           "  --out DIR           write the reports into DIR instead\n"
           "  --smartctl PATH     the smartctl to run (default: the system's)\n"
           "  --timeout SECONDS   time limit of each smartctl run (default 60)\n"
           "  --from-json FILE... convert saved `smartctl --json -a` output instead of\n"
           "                      reading drives; reports numbered 0, 1, ... in order\n"
           "  --self-test KIND    start the drive's short or long self-test; the drive\n"
           "                      is found by --serial; needs root, asked for through\n"
           "                      pkexec (exit status 3: the drive refuses it)\n"
           "  --abort             abort the self-test running on the drive of --serial\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Exit status: 0 every drive read, 1 some failed, 2 none could be read.\n";
}
