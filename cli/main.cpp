#include "cli/report_command.h"
#include "config/program_folder.h"
#include "report/monitor_text.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    SetUpMonitorTexts(ResolveInProgramFolder("locale"));
    const bool colour = isatty(STDOUT_FILENO) == 1 && std::getenv("NO_COLOR") == nullptr;
    return RunReportCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                            colour);
}
