#include "ui/dialog_units.h"

#include <QtTest>

class TestDialogUnits : public QObject {
    Q_OBJECT
private slots:
    void mulDiv_data();
    void mulDiv();
    void mapRect_data();
    void mapRect();
    void fontFamiliesInOrder();
    void baseUnitsFromTheFont();
};

void TestDialogUnits::mulDiv_data() {
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("result");
    QTest::newRow("exact") << 8 << 6 << 4 << 12;
    QTest::newRow("half rounds up") << 17 << 12 << 8 << 26; // 25.5
    QTest::newRow("below half") << 1 << 5 << 4 << 1;        // 1.25
    QTest::newRow("above half") << 3 << 5 << 4 << 4;        // 3.75
    QTest::newRow("negative half away from zero") << -17 << 12 << 8 << -26;
    QTest::newRow("no 32-bit overflow") << 100000 << 100000 << 100000 << 100000;
    QTest::newRow("division by zero") << 5 << 5 << 0 << -1;
}

void TestDialogUnits::mulDiv() {
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, result);
    QCOMPARE(CDialogUnits::MulDiv(a, b, c), result);
}

void TestDialogUnits::mapRect_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // Edges are rounded one by one, so sizes follow from rounded edges.
    QTest::newRow("drive list, 6x12")
        << 6 << 12 << QRect(4, 17, 105, 105) << QRect(6, 26, 158, 157);
    QTest::newRow("table, 6x12") << 6 << 12 << QRect(115, 7, 339, 283) << QRect(173, 11, 508, 424);
    QTest::newRow("button, 7x13") << 7 << 13 << QRect(4, 276, 99, 14) << QRect(7, 449, 173, 22);
    QTest::newRow("origin") << 6 << 12 << QRect(0, 0, 4, 8) << QRect(0, 0, 6, 12);
}

void TestDialogUnits::mapRect() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    const CDialogUnits converter(baseX, baseY);
    QCOMPARE(converter.MapRect(units.x(), units.y(), units.width(), units.height()), pixels);
}

void TestDialogUnits::fontFamiliesInOrder() {
    const QFont font = DialogFont();
    QCOMPARE(font.families(),
             (QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                          QStringLiteral("sans-serif")}));
    QCOMPARE(font.pointSize(), 9);
}

void TestDialogUnits::baseUnitsFromTheFont() {
    const QFont font = DialogFont();
    const QFontMetrics metrics(font);
    const CDialogUnits units(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QVERIFY(qAbs(units.BaseX() * 52 - letters) <= 26);
    QCOMPARE(units.BaseY(), metrics.height());
    QCOMPARE(units.MapSize(459, 297), QSize(CDialogUnits::MulDiv(459, units.BaseX(), 4),
                                            CDialogUnits::MulDiv(297, units.BaseY(), 8)));
}

QTEST_MAIN(TestDialogUnits)
#include "tst_dialog_units.moc"
