#include "ui/viewer_app.h"

int main(int argc, char** argv) {
    CViewerApp app(argc, argv);
    return app.InitInstance();
}
