// The viewer's refresh and selection over report files it cannot read,
// offscreen: each ends with the drive listed and its table empty, never a
// hang on a FIFO or device, never a crash and never a message box.
#include "hostile/hostile_files.h"
#include "test_folder.h"
#include "ui/dialog_units.h"
#include "ui/viewer_dlg.h"

#include <QtTest>
#include <unistd.h>

Q_DECLARE_METATYPE(HostileKind)

namespace {

int RowOf(const CDriveListBox& list, int drive) {
    for (int i = 0; i < list.GetCount(); ++i) {
        if (list.GetItemData(i) == drive) {
            return i;
        }
    }
    return -1;
}

} // namespace

class TestHostileReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(DialogFont()); }
    void refreshAndSelection_data();
    void refreshAndSelection();
};

void TestHostileReports::refreshAndSelection_data() {
    QTest::addColumn<HostileKind>("kind");
    // The files the viewer cannot read as a report: what is read from the
    // others is the core's test.
    for (const HostileCase& c : HostileCases()) {
        if (!c.readable) {
            QTest::newRow(c.name) << c.kind;
        }
    }
}

void TestHostileReports::refreshAndSelection() {
    QFETCH(HostileKind, kind);
    if (kind == HostileKind::Unreadable && geteuid() == 0) {
        // The viewer runs in this process, which cannot give up root and
        // come back; root reads files of any mode.
        QSKIP("running as root, who reads a mode-000 file; the test as_nobody covers it");
    }
    CTestFolder folder;
    folder.WriteCollector("exit 0");
    folder.WriteAttributeTable();
    folder.WriteReport(1, "Plain drive", "ATTR_9=90,90,0,100,0\n");
    std::string why;
    QVERIFY2(
        MakeHostileFile(kind, (folder.Path() + "/smart_PhysicalDrive0.ini").toStdString(), why),
        why.c_str());

    QStringList errors;
    CViewerDlg dlg;
    dlg.SetErrorBox([&errors](const QString& text) { errors << text; });
    dlg.OnInitDialog();
    dlg.show();
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            dlg.Refresh(); // the button, over the same files
        }
        // Listed by existence; a report that cannot be read has no model.
        QCOMPARE(dlg.m_lstDrives.GetCount(), 2);
        const int row = RowOf(dlg.m_lstDrives, 0);
        QVERIFY(row >= 0);
        QCOMPARE(dlg.m_lstDrives.GetText(row), QString());

        dlg.m_lstDrives.setCurrentRow(row);
        QCOMPARE(dlg.m_lvAttributes.RowCount(), 0);
        dlg.m_lstDrives.setCurrentRow(RowOf(dlg.m_lstDrives, 1));
        QCOMPARE(dlg.m_lvAttributes.RowCount(), 1);
    }
    QVERIFY(errors.isEmpty());
}

QTEST_MAIN(TestHostileReports)
#include "tst_hostile_reports.moc"
