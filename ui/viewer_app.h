#pragma once

#include <QApplication>
#include <QIcon>

// The application: runs the main dialog modally and ends when it closes.
class CViewerApp : public QApplication {
    Q_OBJECT
public:
    CViewerApp(int& argc, char** argv);

    // Runs the main dialog; the result is the program's exit status.
    int InitInstance();

    static QIcon ProgramIcon();
};
