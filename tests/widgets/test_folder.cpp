#include "test_folder.h"

#include "config/program_folder.h"

#include <QDir>
#include <QFile>

CTestFolder::CTestFolder() {
    SetProgramFolderForTesting(m_dir.path().toStdString());
}

CTestFolder::~CTestFolder() {
    SetProgramFolderForTesting(std::string());
}

void CTestFolder::WriteFile(const QString& name, const QByteArray& content) const {
    QFile file(m_dir.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(content);
    }
}

QByteArray CTestFolder::ReadFile(const QString& name) const {
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void CTestFolder::WriteReport(int drive, const QByteArray& model, const QByteArray& smarts,
                              const QByteArray& hddinfo) const {
    QByteArray text = "[HDDINFO]\nMODEL=" + model + "\n" + hddinfo + "[SMARTS]\n" + smarts;
    WriteFile(QStringLiteral("smart_PhysicalDrive%1.ini").arg(drive), text);
}

void CTestFolder::WriteCollector(const QByteArray& body) const {
    const QString path = m_dir.filePath(QStringLiteral("quelmaro"));
    WriteFile(QStringLiteral("quelmaro"),
              "#!/bin/sh\ncd \"$(dirname \"$0\")\" || exit 1\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void CTestFolder::WriteCountingCollector() const {
    WriteCollector("echo \"run $*\" >> runs.log");
}

int CTestFolder::CollectorRuns() const {
    return static_cast<int>(ReadFile(QStringLiteral("runs.log")).count('\n'));
}

void CTestFolder::WriteAttributeTable() const {
    WriteFile(QStringLiteral("attr_table.ini"),
              "[ATTR_TABLE]\n"
              "NAME_1=Read Error Rate\n"
              "NAME_5=Reallocated Sectors Count\nUNIT_5=sectors\n"
              "NAME_9=Power-On Hours\nUNIT_9=h\n"
              "NAME_194=Temperature\nUNIT_194=°C\nSIZE_194=short\n");
}

CPathOverride::CPathOverride(const QByteArray& path)
    : m_old(qgetenv("PATH")), m_bHadOld(qEnvironmentVariableIsSet("PATH")) {
    qputenv("PATH", path);
}

CPathOverride::~CPathOverride() {
    if (m_bHadOld) {
        qputenv("PATH", m_old);
    } else {
        qunsetenv("PATH");
    }
}
