#include "notify/viewer_launch.h"

#include "config/program_folder.h"
#include "platform/program_lookup.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

bool StartViewer(const std::string& activationToken, std::string& problem) {
    const std::string program = FindProgram("tolvenar", ProgramFolder(), std::getenv("PATH"));
    if (program.empty()) {
        problem = "the viewer tolvenar is neither in the program folder nor on PATH";
        return false;
    }
    QProcess viewer;
    viewer.setProgram(QString::fromStdString(program));
    if (!activationToken.empty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_ACTIVATION_TOKEN", QString::fromStdString(activationToken));
        viewer.setProcessEnvironment(environment);
    }
    // Detached: the viewer outlives this run, and no zombie is left behind.
    if (!viewer.startDetached()) {
        problem = program + ": " + viewer.errorString().toStdString();
        return false;
    }
    return true;
}
