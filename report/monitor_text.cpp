#include "report/monitor_text.h"

#include <clocale>
#include <cstdlib>
#include <libintl.h>
#include <vector>

void SetUpMonitorTexts(const std::string& localeFolder) {
    // LC_MESSAGES alone: number formatting and character classes stay "C".
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kTextDomain, localeFolder.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

void SetUpJapaneseTexts(const std::string& localeFolder) {
    // gettext ignores LANGUAGE only under the plain "C" locale; C.UTF-8
    // keeps every other category as the user has it.
    std::setlocale(LC_MESSAGES, "C.UTF-8");
    setenv("LANGUAGE", "ja", 1);
    bindtextdomain(kTextDomain, localeFolder.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

std::string MonitorText(const char* msgid, std::initializer_list<std::string> args) {
    const std::string pattern = dgettext(kTextDomain, msgid);
    const std::vector<std::string> values(args);
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9' && pattern[i + 2] == '}') {
            const std::size_t index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < values.size()) {
                text += values[index];
                i += 2;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}
