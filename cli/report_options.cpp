#include "cli/report_options.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool ParseLimit(const std::string& text, int& limit) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    limit = std::atoi(text.c_str());
    return true;
}

// A duration: seconds, or a number with s, m, h or d.
bool ParseDuration(const std::string& text, std::int64_t& seconds) {
    const std::size_t length = std::min(text.find_first_not_of("0123456789"), text.size());
    if (length == 0 || length > 9 || text.size() - length > 1) {
        return false;
    }
    const std::int64_t number = std::atoll(text.substr(0, length).c_str());
    const char unit = length == text.size() ? 's' : text[length];
    const std::pair<char, std::int64_t> units[] = {{'s', 1}, {'m', 60}, {'h', 3600}, {'d', 86400}};
    for (const auto& [letter, factor] : units) {
        if (unit == letter) {
            seconds = number * factor;
            return true;
        }
    }
    return false;
}

} // namespace

ReportOptions ParseOptions(const std::vector<std::string>& args) {
    ReportOptions options;
    const std::pair<const char*, bool ReportOptions::*> flags[] = {
        {"--json", &ReportOptions::json},
        {"--history", &ReportOptions::history},
        {"--check", &ReportOptions::check},
        {"--prometheus", &ReportOptions::prometheus},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto flag = std::find_if(std::begin(flags), std::end(flags),
                                       [&arg](const auto& f) { return arg == f.first; });
        if (arg == "--") {
            options.named.insert(options.named.end(), args.begin() + i + 1, args.end());
            break;
        } else if (flag != std::end(flags)) {
            options.*(flag->second) = true;
        } else if (arg == "--out" || arg == "--temperature-limit" || arg == "--max-age" ||
                   arg == "--vanished-after" || arg == "--collection-result" || arg == "--forget" ||
                   arg == "--extended-test-age") {
            if (++i == args.size()) {
                options.unknownOption = arg + " without a value";
                return options;
            }
            const std::string& value = args[i];
            bool valid = !value.empty();
            if (arg == "--out") {
                options.outFile = value;
            } else if (arg == "--temperature-limit") {
                valid = ParseLimit(value, options.temperatureLimit);
            } else if (arg == "--extended-test-age") {
                valid = ParseLimit(value, options.extendedTestAge) && options.extendedTestAge > 0;
            } else if (arg == "--max-age") {
                valid = ParseDuration(value, options.maxAge);
            } else if (arg == "--vanished-after") {
                valid = ParseDuration(value, options.vanishedAfter);
            } else if (arg == "--collection-result") {
                options.collectionResult = value;
            } else {
                options.forget = value;
            }
            if (!valid) {
                options.unknownOption = arg + " " + (value.empty() ? "without a value" : value);
                return options;
            }
        } else if (arg == "--version") {
            options.version = true;
            return options;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        } else if (arg.size() > 1 && arg[0] == '-') {
            options.unknownOption = arg;
            return options;
        } else {
            options.named.push_back(arg);
        }
    }
    return options;
}
