#include "ui/viewer_app.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cstdlib>

class TestViewerApp : public QObject {
    Q_OBJECT
private slots:
    void captionsStayUnadorned();
    void qtTranslations_data();
    void qtTranslations();
    void standardDialogsSpeakJapanese();
};

void TestViewerApp::captionsStayUnadorned() {
    // Qt appends a display name, once set, to the caption of every window.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("tolvenar"));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("tolvenar"));
}

void TestViewerApp::qtTranslations_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Japanese") << QLocale(QLocale::Japanese, QLocale::Japan) << true << "キャンセル";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << true << "Abbrechen";
    QTest::newRow("C") << QLocale::c() << false << "";
}

void TestViewerApp::qtTranslations() {
    QFETCH(QLocale, locale);
    QFETCH(bool, loaded);
    QFETCH(QString, cancel);
    QTranslator translator;
    QCOMPARE(CViewerApp::LoadQtTranslations(translator, locale), loaded);
    QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), cancel);
}

// main() starts the application under a Japanese locale.
void TestViewerApp::standardDialogsSpeakJapanese() {
    QFileDialog chooser(nullptr, QStringLiteral("開く"), QString(),
                        QStringLiteral("INIファイル(*.ini)"));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel* fileName = chooser.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    QVERIFY(fileName != nullptr);
    QCOMPARE(fileName->text(), QStringLiteral("ファイル名(&N):"));
    const QDialogButtonBox* buttons = chooser.findChild<QDialogButtonBox*>();
    QVERIFY(buttons != nullptr);
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("開く(&O)"));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

    QMessageBox box(QMessageBox::Critical, QString(), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

int main(int argc, char** argv) {
    // The locale comes from the environment, as for a user's session.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
        unsetenv(name);
    }
    setenv("LANG", "ja_JP.UTF-8", 1);
    CViewerApp app(argc, argv);
    TestViewerApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewer_app.moc"
