#include "ui/dialog_units.h"

#include <QFontInfo>
#include <QtTest>

class TestDialogUnits : public QObject {
    Q_OBJECT
private slots:
    void mapRect_data();
    void mapRect();
    void fromFontMetrics_data();
    void fromFontMetrics();
};

void TestDialogUnits::mapRect_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // Each edge is rounded on its own (half away from zero), sizes follow.
    QTest::newRow("drive list, 6x12")
        << 6 << 12 << QRect(4, 17, 105, 105) << QRect(6, 26, 158, 157);
    QTest::newRow("table, 6x12") << 6 << 12 << QRect(115, 7, 339, 283) << QRect(173, 11, 508, 424);
    QTest::newRow("button, 7x13") << 7 << 13 << QRect(4, 276, 99, 14) << QRect(7, 449, 173, 22);
    QTest::newRow("negative") << 6 << 12 << QRect(-3, -1, 2, 2) << QRect(-5, -2, 3, 4);
}

void TestDialogUnits::mapRect() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    const CDialogUnits converter(baseX, baseY);
    QCOMPARE(converter.MapRect(units.x(), units.y(), units.width(), units.height()), pixels);
    QCOMPARE(CDialogUnits::MulDiv(1 << 20, 1 << 20, 1 << 20), 1 << 20); // no 32-bit overflow
    QCOMPARE(CDialogUnits::MulDiv(5, 5, 0), -1);
}

void TestDialogUnits::fromFontMetrics_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    // At 96 dpi. The 52 Latin letters of IPA P Gothic 9 pt are 369 pixels
    // wide, those of the monospaced IPA Gothic 312, of IPA P Gothic 12 pt 492.
    QTest::newRow("IPA P Gothic 9 pt") << "IPAPGothic" << 9 << 7 << 13;
    QTest::newRow("IPA Gothic 9 pt") << "IPAGothic" << 9 << 6 << 13;
    QTest::newRow("IPA P Gothic 12 pt") << "IPAPGothic" << 12 << 9 << 17;
}

void TestDialogUnits::fromFontMetrics() {
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFont font(family);
    font.setPointSize(points);
    QCOMPARE(QFontInfo(font).family(), family); // fonts-ipafont-gothic is installed
    const CDialogUnits units(font);
    QCOMPARE(units.BaseX(), baseX);
    QCOMPARE(units.BaseY(), baseY);
}

QTEST_MAIN(TestDialogUnits)
#include "tst_dialog_units.moc"
