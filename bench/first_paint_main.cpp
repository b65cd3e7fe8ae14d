// tolvenar_first_paint: the viewer as the program starts it (the same
// application object and main dialog), ended the moment its first paint is
// done, so that its start-up time and peak memory can be measured from
// outside. Only for benchmarking; it never stays open.
#include "bench/first_paint_watch.h"
#include "ui/viewer_app.h"

int main(int argc, char** argv) {
    CViewerApp app(argc, argv);
    CFirstPaintWatch watch;
    app.installEventFilter(&watch);
    return app.InitInstance();
}
