// The viewer's refresh and selection over hostile report files, offscreen:
// each ends with the drive listed and its table filled or empty, never a
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
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("model"); // a prefix when the model is cut
    QTest::addColumn<int>("rows");
    for (const HostileCase& c : HostileCases()) {
        const QString model = QString::fromUtf8(c.model != nullptr ? c.model : "WDC 温温温");
        QTest::newRow(c.name) << c.kind << c.readable << model << c.rows;
    }
}

void TestHostileReports::refreshAndSelection() {
    QFETCH(HostileKind, kind);
    QFETCH(bool, readable);
    QFETCH(QString, model);
    QFETCH(int, rows);
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
        const QString listed = dlg.m_lstDrives.GetText(row);
        QVERIFY2(readable ? listed.startsWith(model) : listed.isEmpty(), qPrintable(listed));
        QVERIFY(listed.toUtf8().size() <= 1023);

        dlg.m_lstDrives.setCurrentRow(row);
        QCOMPARE(dlg.m_lvAttributes.RowCount(), readable ? rows : 0);
        if (readable) {
            QCOMPARE(dlg.m_lvAttributes.RowText(0, 0), QStringLiteral("5"));
            QCOMPARE(dlg.m_lvAttributes.RowRank(0), 1u);
        }
        dlg.m_lstDrives.setCurrentRow(RowOf(dlg.m_lstDrives, 1));
        QCOMPARE(dlg.m_lvAttributes.RowCount(), 1);
    }
    QVERIFY(errors.isEmpty());
}

QTEST_MAIN(TestHostileReports)
#include "tst_hostile_reports.moc"
