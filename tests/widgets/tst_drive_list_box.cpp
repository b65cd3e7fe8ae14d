#include "ui/drive_list_box.h"

#include <QMimeData>
#include <QtTest>

namespace {

// The list asks for no drops, so Qt delivers none; a drop can only be handed
// to it directly.
class CDropTarget : public CDriveListBox {
public:
    using CDriveListBox::dropEvent;
};

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
    void sortedCaseInsensitively_data();
    void sortedCaseInsensitively();
    void itemDataAndSelection();
    void droppedFilesAreAdded();
    void droppedFilesStopAtANonLocalEntry();
    void acceptsNoDrops();
};

void TestDriveListBox::sortedCaseInsensitively_data() {
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("letters") << QStringList{"b", "C", "a"} << QStringList{"a", "b", "C"};
    QTest::newRow("case ignored") << QStringList{"WDC", "st2000", "Hitachi", "samsung"}
                                  << QStringList{"Hitachi", "samsung", "st2000", "WDC"};
    QTest::newRow("equal texts keep order")
        << QStringList{"x", "X", "x"} << QStringList{"x", "X", "x"};
    QTest::newRow("empty first") << QStringList{"a", ""} << QStringList{"", "a"};
}

void TestDriveListBox::sortedCaseInsensitively() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    CDriveListBox list;
    for (const QString& text : added) {
        const int index = list.AddString(text);
        QCOMPARE(list.GetText(index), text);
    }
    QCOMPARE(Texts(list), listed);
}

void TestDriveListBox::itemDataAndSelection() {
    CDriveListBox list;
    const int zeta = list.AddString("ZETA");
    list.SetItemData(zeta, 0);
    const int alpha = list.AddString("alpha");
    list.SetItemData(alpha, 3);
    QCOMPARE(list.GetItemData(0), 3);
    QCOMPARE(list.GetItemData(1), 0);
    QCOMPARE(list.GetItemData(2), -1);
    QCOMPARE(list.GetItemData(-1), -1);
    QCOMPARE(list.GetCurSel(), -1);
    // A current entry is not yet a selected one.
    list.setCurrentRow(1, QItemSelectionModel::NoUpdate);
    QCOMPARE(list.GetCurSel(), -1);
    list.setCurrentRow(1);
    QCOMPARE(list.GetCurSel(), 1);
    list.DeleteString(1);
    QCOMPARE(list.GetCurSel(), -1);
    QCOMPARE(list.GetCount(), 1);
}

void TestDriveListBox::droppedFilesAreAdded() {
    CDropTarget list;
    list.SetItemData(list.AddString("Model M"), 5);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/b/report.ini"), QUrl::fromLocalFile("/srv/a.ini")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    list.dropEvent(&drop);
    QCOMPARE(Texts(list), (QStringList{"/srv/a.ini", "/tmp/b/report.ini", "Model M"}));
    QCOMPARE(list.GetItemData(0), 0);
    QCOMPARE(list.GetItemData(1), 0);
    QCOMPARE(list.GetItemData(2), 5);
}

void TestDriveListBox::droppedFilesStopAtANonLocalEntry() {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/a.ini"), QUrl("https://example.org/b.ini"),
                  QUrl::fromLocalFile("/c.ini")});
    std::vector<std::string> names{"earlier"};
    QCOMPARE(GetDroppedFiles(data, names), -1);
    QCOMPARE(names, (std::vector<std::string>{"earlier", "/a.ini"}));

    QMimeData good;
    good.setUrls({QUrl::fromLocalFile("/a.ini"), QUrl::fromLocalFile("/d/ü.ini")});
    std::vector<std::string> more;
    QCOMPARE(GetDroppedFiles(good, more), 2);
    QCOMPARE(more[1], std::string("/d/ü.ini"));

    QMimeData none;
    std::vector<std::string> empty;
    QCOMPARE(GetDroppedFiles(none, empty), 0);

    // Names read before a failure still reach the list.
    CDropTarget list;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    list.dropEvent(&drop);
    QCOMPARE(Texts(list), QStringList{"/a.ini"});
}

void TestDriveListBox::acceptsNoDrops() {
    CDriveListBox list;
    QVERIFY(!list.acceptDrops());
    QVERIFY(!list.viewport()->acceptDrops());
}

QTEST_MAIN(TestDriveListBox)
#include "tst_drive_list_box.moc"
