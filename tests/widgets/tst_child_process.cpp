#include "ui/child_process.h"
#include "ui/program_lookup.h"

#include <QtTest>
#include <cerrno>
#include <csignal>

namespace {

// After reaping, not even a zombie holds the id.
bool ProcessGone(pid_t pid) {
    return kill(pid, 0) == -1 && errno == ESRCH;
}

void WriteScript(const QString& path, bool executable = true) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                        (executable ? QFile::ExeOwner : QFile::Permissions()));
}

} // namespace

class TestChildProcess : public QObject {
    Q_OBJECT
private slots:
    void missingProgramDoesNotStart();
    void exitCodes_data();
    void exitCodes();
    void argumentsArriveUnchanged();
    void stoppingAChild_data();
    void stoppingAChild();
    void findProgram_data();
    void findProgram();
};

void TestChildProcess::missingProgramDoesNotStart() {
    CChildProcess child;
    QVERIFY(!child.Start("/nonexistent/quelmaro", {"-uf"}));
    QVERIFY(!child.IsStarted());
    QVERIFY(!child.Wait(nullptr, CChildProcess::kInfinite));
    QVERIFY(!child.GetExitCode(nullptr));
}

void TestChildProcess::exitCodes_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("code");
    QTest::newRow("success") << "exit 0" << 0;
    QTest::newRow("failure") << "exit 2" << 2;
    QTest::newRow("killed") << "kill -KILL $$" << 128 + SIGKILL;
}

void TestChildProcess::exitCodes() {
    QFETCH(QString, script);
    QFETCH(int, code);
    CChildProcess child;
    QVERIFY(child.Start("/bin/sh", {"-c", script.toStdString()}));
    QVERIFY(!child.Start("/bin/sh", {"-c", "exit 0"})); // one process per object
    int exitCode = -42;
    QVERIFY(child.Wait(&exitCode, CChildProcess::kInfinite));
    QCOMPARE(exitCode, code);
    exitCode = -42;
    QVERIFY(child.GetExitCode(&exitCode)); // asked again, same answer
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

void TestChildProcess::stoppingAChild_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("how"); // 0 Terminate, 1 destructor
    QTest::addColumn<int>("code");
    QTest::newRow("TERM") << "READY; exec sleep 30" << 0 << 128 + SIGTERM;
    // An ignored signal stays ignored across exec, so sleep ignores TERM too.
    QTest::newRow("TERM ignored, then KILL")
        << "trap '' TERM; READY; exec sleep 30" << 0 << 128 + SIGKILL;
    QTest::newRow("by the destructor") << "READY; exec sleep 30" << 1 << 0;
}

void TestChildProcess::stoppingAChild() {
    QFETCH(QString, script);
    QFETCH(int, how);
    QFETCH(int, code);
    QTemporaryDir dir;
    const QString ready = dir.filePath("ready");
    pid_t pid = 0;
    {
        CChildProcess child;
        // READY marks the moment the script has set itself up.
        script.replace("READY", ": > \"$0\"");
        QVERIFY(child.Start("/bin/sh", {"-c", script.toStdString(), ready.toStdString()}));
        pid = child.ProcessId();
        QTRY_VERIFY(QFile::exists(ready));
        QVERIFY(!child.Wait(nullptr, 20));
        if (how == 0) {
            child.Terminate(200);
            int exitCode = 0;
            QVERIFY(child.GetExitCode(&exitCode));
            QCOMPARE(exitCode, code);
        }
    }
    QVERIFY(ProcessGone(pid));
}

void TestChildProcess::findProgram_data() {
    QTest::addColumn<QString>("layout"); // executables to create; -x: not executable, /: a folder
    QTest::addColumn<QString>("path");   // PATH, @ for the temporary folder
    QTest::addColumn<QString>("found");
    QTest::newRow("program folder first") << "prog,path1"
                                          << "@/path1"
                                          << "prog/quelmaro";
    QTest::newRow("then PATH in order") << "path0,path1"
                                        << "@/path0:@/path1"
                                        << "path0/quelmaro";
    QTest::newRow("not executable") << "prog-x,path1"
                                    << "@/path1"
                                    << "path1/quelmaro";
    QTest::newRow("a folder") << "prog/,path1"
                              << "@/path1"
                              << "path1/quelmaro";
    QTest::newRow("empty entries") << "path1"
                                   << "::@/path1:"
                                   << "path1/quelmaro";
    // Empty, "." and relative entries would name the current directory.
    QTest::newRow("never the current directory") << "cwd,cwd-sub"
                                                 << ":.:sub:./sub"
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
    QDir root(dir.path());
    for (const char* sub : {"prog", "path0", "path1", "cwd", "cwd/sub"}) {
        QVERIFY(root.mkpath(sub));
    }
    for (QString part : layout.split(',', Qt::SkipEmptyParts)) {
        part.replace("-sub", "/sub");
        if (part.endsWith('/')) {
            QVERIFY(root.mkpath(part + "quelmaro"));
        } else {
            const bool executable = !part.endsWith("-x");
            WriteScript(dir.filePath(part.remove("-x") + "/quelmaro"), executable);
        }
    }
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.filePath("cwd")));
    const QByteArray searchPath = QString(path).replace('@', dir.path()).toUtf8();
    const std::string result =
        FindProgram("quelmaro", dir.filePath("prog").toStdString(),
                    path == QLatin1String("<unset>") ? nullptr : searchPath.constData());
    QDir::setCurrent(previous);
    QCOMPARE(QString::fromStdString(result), found.isEmpty() ? QString() : dir.filePath(found));
}

QTEST_MAIN(TestChildProcess)
#include "tst_child_process.moc"
