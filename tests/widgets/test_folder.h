#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary program folder for one test: reports, an attribute table and
// a fake collector go in, and the core reads from it while it lives.
class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    QString Path() const { return m_dir.path(); }
    void WriteFile(const QString& name, const QByteArray& content) const;
    QByteArray ReadFile(const QString& name) const;

    // smart_PhysicalDrive<drive>.ini with the model and further lines.
    void WriteReport(int drive, const QByteArray& model, const QByteArray& smarts = {},
                     const QByteArray& hddinfo = {}) const;
    // An executable shell script named quelmaro; it runs in this folder.
    void WriteCollector(const QByteArray& body) const;
    // A collector that only notes each run (with its arguments) in runs.log.
    void WriteCountingCollector() const;
    int CollectorRuns() const;
    void WriteAttributeTable() const;

private:
    QTemporaryDir m_dir;
};

// Sets PATH for the life of the object, so that no real collector is found.
class CPathOverride {
public:
    explicit CPathOverride(const QByteArray& path);
    ~CPathOverride();
    CPathOverride(const CPathOverride&) = delete;
    CPathOverride& operator=(const CPathOverride&) = delete;

private:
    QByteArray m_old;
    bool m_bHadOld;
};
