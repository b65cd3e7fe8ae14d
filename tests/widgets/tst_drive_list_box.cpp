#include "ui/drive_list_box.h"

#include <QMimeData>
#include <QtTest>

namespace {

QStringList Texts(const CDriveListBox& list) {
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << list.GetText(i);
    }
    return texts;
}

} // namespace

class TestDriveListBox : public QObject {
    Q_OBJECT
private slots:
    void selectionAndItemData();
    void droppedFiles_data();
    void droppedFiles();
};

void TestDriveListBox::selectionAndItemData() {
    CDriveListBox list;
    list.SetItemData(list.AddString("ZETA"), 0);
    list.SetItemData(list.AddString("alpha"), 3);
    QCOMPARE(list.GetItemData(0), 3);
    QCOMPARE(list.GetItemData(2), -1);
    QCOMPARE(list.GetItemData(-1), -1);
    list.setCurrentRow(1, QItemSelectionModel::NoUpdate); // current, not selected
    QCOMPARE(list.GetCurSel(), -1);
    list.setCurrentRow(1);
    QCOMPARE(list.GetCurSel(), 1);
    // Qt would select a neighbour; a deleted selection leaves none.
    list.DeleteString(1);
    QCOMPARE(list.GetCurSel(), -1);
    QCOMPARE(Texts(list), QStringList{"alpha"});
}

void TestDriveListBox::droppedFiles_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two files") << QList<QUrl>{QUrl::fromLocalFile("/tmp/b/report.ini"),
                                              QUrl::fromLocalFile("/srv/ü.ini")}
                               << 3 << QStringList{"earlier", "/tmp/b/report.ini", "/srv/ü.ini"};
    // Names read before a failure still count.
    QTest::newRow("stops at a remote entry")
        << QList<QUrl>{QUrl::fromLocalFile("/a.ini"), QUrl("https://example.org/b.ini"),
                       QUrl::fromLocalFile("/c.ini")}
        << -1 << QStringList{"earlier", "/a.ini"};
    QTest::newRow("nothing") << QList<QUrl>{} << 1 << QStringList{"earlier"};
}

void TestDriveListBox::droppedFiles() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(int, result);
    QFETCH(QStringList, names);
    QMimeData data;
    data.setUrls(urls);
    std::vector<std::string> held{"earlier"};
    QCOMPARE(GetDroppedFiles(data, held), result);
    QStringList heldNames;
    for (const std::string& name : held) {
        heldNames << QString::fromStdString(name);
    }
    QCOMPARE(heldNames, names);
    // The list itself refuses drops: Qt never hands it one.
    QVERIFY(!CDriveListBox().acceptDrops());
}

QTEST_MAIN(TestDriveListBox)
#include "tst_drive_list_box.moc"
