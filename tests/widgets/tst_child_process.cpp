#include "ui/child_process.h"
#include "ui/program_lookup.h"
#include "ui/repainting_wait.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

bool ProcessGone(pid_t pid) {
    return kill(pid, 0) == -1 && errno == ESRCH;
}

void WriteExecutable(const QString& path, bool executable = true) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        permissions |= QFile::ExeOwner;
    }
    QFile::setPermissions(path, permissions);
}

} // namespace

class TestChildProcess : public QObject {
    Q_OBJECT
private slots:
    void missingProgramDoesNotStart();
    void exitCodes_data();
    void exitCodes();
    void argumentsArriveUnchanged();
    void startsOnlyOnce();
    void waitTimesOutThenTerminates();
    void ignoredTermIsFollowedByKill();
    void destructorEndsAndReapsTheChild();
    void findProgram_data();
    void findProgram();
    void neverTheCurrentDirectory();
    void repaintingWaitEndsWithTheChild();
    void repaintingWaitStopsAtTheBound();
};

void TestChildProcess::missingProgramDoesNotStart() {
    CChildProcess child;
    QVERIFY(!child.Start("/nonexistent/quelmaro", {"-uf"}));
    QVERIFY(!child.IsStarted());
    QVERIFY(!child.Wait(nullptr, CChildProcess::kInfinite));
    QVERIFY(!child.GetExitCode(nullptr));
    QVERIFY(!child.Start("", {}));
}

void TestChildProcess::exitCodes_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("code");
    QTest::newRow("success") << "exit 0" << 0;
    QTest::newRow("failure") << "exit 2" << 2;
    QTest::newRow("killed by TERM") << "kill -TERM $$" << 128 + SIGTERM;
    QTest::newRow("killed by KILL") << "kill -KILL $$" << 128 + SIGKILL;
}

void TestChildProcess::exitCodes() {
    QFETCH(QString, script);
    QFETCH(int, code);
    CChildProcess child;
    QVERIFY(child.Start("/bin/sh", {"-c", script.toStdString()}));
    int exitCode = -42;
    QVERIFY(child.Wait(&exitCode, CChildProcess::kInfinite));
    QCOMPARE(exitCode, code);
    // Asking again gives the same answer.
    exitCode = -42;
    QVERIFY(child.GetExitCode(&exitCode));
    QCOMPARE(exitCode, code);
}

void TestChildProcess::argumentsArriveUnchanged() {
    QTemporaryDir dir;
    const QString out = dir.filePath("args");
    CChildProcess child;
    QVERIFY(child.Start("/bin/sh", {"-c", "printf '%s\\n' \"$@\" > \"$0\"", out.toStdString(),
                                    "a b", "$(touch x)", ";", "-uf"}));
    QVERIFY(child.Wait(nullptr, CChildProcess::kInfinite));
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a b\n$(touch x)\n;\n-uf\n"));
    QVERIFY(!QFile::exists(dir.filePath("x")));
}

void TestChildProcess::startsOnlyOnce() {
    CChildProcess child;
    QVERIFY(child.Start("/bin/sh", {"-c", "exit 0"}));
    const pid_t first = child.ProcessId();
    QVERIFY(!child.Start("/bin/sh", {"-c", "exit 0"}));
    QCOMPARE(child.ProcessId(), first);
    QVERIFY(child.Wait(nullptr, CChildProcess::kInfinite));
}

void TestChildProcess::waitTimesOutThenTerminates() {
    CChildProcess child;
    QVERIFY(child.Start("/bin/sleep", {"30"}));
    QVERIFY(!child.Wait(nullptr, 20));
    QVERIFY(!child.GetExitCode(nullptr));
    child.Terminate(5000);
    int exitCode = 0;
    QVERIFY(child.GetExitCode(&exitCode));
    QCOMPARE(exitCode, 128 + SIGTERM);
    QVERIFY(ProcessGone(child.ProcessId()));
}

void TestChildProcess::ignoredTermIsFollowedByKill() {
    QTemporaryDir dir;
    const QString ready = dir.filePath("ready");
    CChildProcess child;
    // Ignored signals stay ignored across exec, so sleep ignores TERM too.
    QVERIFY(child.Start("/bin/sh",
                        {"-c", "trap '' TERM; : > \"$0\"; exec sleep 30", ready.toStdString()}));
    QTRY_VERIFY(QFile::exists(ready));
    child.Terminate(100);
    int exitCode = 0;
    QVERIFY(child.GetExitCode(&exitCode));
    QCOMPARE(exitCode, 128 + SIGKILL);
    QVERIFY(ProcessGone(child.ProcessId()));
}

void TestChildProcess::destructorEndsAndReapsTheChild() {
    pid_t pid = 0;
    {
        CChildProcess child;
        QVERIFY(child.Start("/bin/sleep", {"30"}));
        pid = child.ProcessId();
        QVERIFY(!ProcessGone(pid));
    }
    // Not even a zombie is left: the id is free again.
    QVERIFY(ProcessGone(pid));
}

void TestChildProcess::findProgram_data() {
    QTest::addColumn<QString>("layout"); // which candidates exist
    QTest::addColumn<QString>("path");   // PATH, with @ standing for the temporary folder
    QTest::addColumn<QString>("found");  // relative to the temporary folder, or empty
    QTest::newRow("program folder first") << "prog,path1"
                                          << "@/path1"
                                          << "prog/quelmaro";
    QTest::newRow("then PATH") << "path1"
                               << "@/path0:@/path1"
                               << "path1/quelmaro";
    QTest::newRow("first PATH entry wins") << "path0,path1"
                                           << "@/path0:@/path1"
                                           << "path0/quelmaro";
    QTest::newRow("not executable skipped") << "prog-noexec,path1"
                                            << "@/path1"
                                            << "path1/quelmaro";
    QTest::newRow("directory skipped") << "prog-dir,path1"
                                       << "@/path1"
                                       << "path1/quelmaro";
    QTest::newRow("empty entries") << "path1"
                                   << "::@/path1:"
                                   << "path1/quelmaro";
    QTest::newRow("nothing") << ""
                             << "@/path0"
                             << "";
    QTest::newRow("no PATH") << ""
                             << "<unset>"
                             << "";
}

void TestChildProcess::findProgram() {
    QFETCH(QString, layout);
    QFETCH(QString, path);
    QFETCH(QString, found);
    QTemporaryDir dir;
    for (const char* sub : {"prog", "path0", "path1"}) {
        QVERIFY(QDir(dir.path()).mkdir(sub));
    }
    for (const QString& part : layout.split(',', Qt::SkipEmptyParts)) {
        if (part == QLatin1String("prog-noexec")) {
            WriteExecutable(dir.filePath("prog/quelmaro"), false);
        } else if (part == QLatin1String("prog-dir")) {
            QVERIFY(QDir(dir.path()).mkpath("prog/quelmaro"));
        } else {
            WriteExecutable(dir.filePath(part + "/quelmaro"));
        }
    }
    const std::string programFolder = dir.filePath("prog").toStdString();
    const QByteArray searchPath = path.replace('@', dir.path()).toUtf8();
    const std::string result =
        FindProgram("quelmaro", programFolder,
                    path == QLatin1String("<unset>") ? nullptr : searchPath.constData());
    QCOMPARE(QString::fromStdString(result), found.isEmpty() ? QString() : dir.filePath(found));
}

void TestChildProcess::neverTheCurrentDirectory() {
    QTemporaryDir dir;
    WriteExecutable(dir.filePath("quelmaro"));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    WriteExecutable(dir.filePath("sub/quelmaro"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    // Empty, "." and relative entries all name the current directory or
    // something below it.
    const std::string found = FindProgram("quelmaro", "", ":.:sub:./sub");
    const std::string relativeFolder = FindProgram("quelmaro", ".", nullptr);
    QDir::setCurrent(previous);
    QCOMPARE(QString::fromStdString(found), QString());
    QCOMPARE(QString::fromStdString(relativeFolder), QString());
    QCOMPARE(QString::fromStdString(FindProgram("sub/quelmaro", dir.path().toStdString(), nullptr)),
             QString());
}

void TestChildProcess::repaintingWaitEndsWithTheChild() {
    QTemporaryDir dir;
    const QString go = dir.filePath("go");
    CChildProcess child;
    QVERIFY(child.Start(
        "/bin/sh", {"-c", "while [ ! -e \"$0\" ]; do sleep 0.02; done; exit 5", go.toStdString()}));
    // Timers keep running during the wait; the cursor shows that we are busy.
    Qt::CursorShape during = Qt::ArrowCursor;
    QTimer::singleShot(0, [&] {
        if (QGuiApplication::overrideCursor() != nullptr) {
            during = QGuiApplication::overrideCursor()->shape();
        }
        QFile(go).open(QIODevice::WriteOnly);
    });
    QVERIFY(WaitWhileRepainting(child, std::chrono::seconds(60), std::chrono::seconds(1)));
    QCOMPARE(during, Qt::WaitCursor);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    int exitCode = 0;
    QVERIFY(child.GetExitCode(&exitCode));
    QCOMPARE(exitCode, 5);
}

void TestChildProcess::repaintingWaitStopsAtTheBound() {
    CChildProcess child;
    QVERIFY(child.Start("/bin/sleep", {"30"}));
    QVERIFY(!WaitWhileRepainting(child, std::chrono::milliseconds(50), std::chrono::seconds(5)));
    int exitCode = 0;
    QVERIFY(child.GetExitCode(&exitCode));
    QCOMPARE(exitCode, 128 + SIGTERM);
    QVERIFY(ProcessGone(child.ProcessId()));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(TestChildProcess)
#include "tst_child_process.moc"
