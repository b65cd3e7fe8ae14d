#include "ui/viewer_app.h"

#include <QtTest>

class TestViewerApp : public QObject {
    Q_OBJECT
private slots:
    void captionsStayUnadorned();
};

void TestViewerApp::captionsStayUnadorned() {
    // Qt appends a display name, once set, to the caption of every window.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("tolvenar"));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("tolvenar"));
}

int main(int argc, char** argv) {
    CViewerApp app(argc, argv);
    TestViewerApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewer_app.moc"
