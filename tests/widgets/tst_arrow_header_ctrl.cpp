#include "controls/arrow_header_ctrl.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

const QColor kFace(200, 200, 200);
const QColor kLight(0, 255, 0);
const QColor kDark(0, 0, 255);

} // namespace

// A header whose first section is the worked example: 100 x 17 pixels at the
// left edge, with colours that tell the pens apart.
class TestArrowHeaderCtrl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { delete m_header; }
    void sortedColumnsStayOwnerDrawn();
    void arrowPixels_data();
    void arrowPixels();
    void pressedSectionShiftsTitle();
    void narrowSortedColumnKeepsATitle_data();
    void narrowSortedColumnKeepsATitle();

private:
    QStandardItemModel m_model{0, 3};
    CArrowHeaderCtrl* m_header = nullptr;
};

void TestArrowHeaderCtrl::init() {
    m_header = new CArrowHeaderCtrl;
    m_header->setModel(&m_model);
    m_header->setSectionsClickable(true);
    m_header->setStretchLastSection(false);
    for (int i = 0; i < 3; ++i) {
        m_header->resizeSection(i, 100);
    }
    QPalette palette = m_header->palette();
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Light, kLight);
    palette.setColor(QPalette::Dark, kDark);
    m_header->setPalette(palette);
    m_header->setFixedSize(300, 17);
}

void TestArrowHeaderCtrl::sortedColumnsStayOwnerDrawn() {
    QCOMPARE(m_header->ArrowColumn(), -1);
    QVERIFY(!m_header->IsOwnerDrawn(0) && !m_header->IsOwnerDrawn(1));
    m_header->MarkSortColumn(1, true);
    m_header->MarkSortColumn(2, false);
    QVERIFY(!m_header->IsOwnerDrawn(0));
    QVERIFY(m_header->IsOwnerDrawn(1) && m_header->IsOwnerDrawn(2));
    QCOMPARE(m_header->ArrowColumn(), 2);
    QVERIFY(!m_header->IsArrowAscending());
    // The earlier column keeps its inset title but no arrow.
    const HeaderItemDrawing former = m_header->ComputeDrawing(QRect(100, 0, 100, 17), 1);
    QVERIFY(former.lines.empty());
    QVERIFY((former.titleRect == HeaderRect{104, 0, 196, 17}));
    // Qt draws the never sorted section: no arrow colours there.
    const QImage image = m_header->grab().toImage();
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 17; ++y) {
            QVERIFY(image.pixelColor(x, y) != kLight && image.pixelColor(x, y) != kDark);
        }
    }
}

void TestArrowHeaderCtrl::arrowPixels_data() {
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    // Each segment covers its start pixel but not its end pixel.
    QTest::newRow("up: apex") << true << QPoint(92, 4) << kLight;
    QTest::newRow("up: base starts at the corner") << true << QPoint(96, 12) << kLight;
    QTest::newRow("up: shadow starts over the base") << true << QPoint(87, 12) << kDark;
    QTest::newRow("up: base end left out") << true << QPoint(86, 12) << kFace;
    QTest::newRow("up: shadow end left out") << true << QPoint(92, 3) << kFace;
    QTest::newRow("down: right edge") << false << QPoint(95, 4) << kLight;
    QTest::newRow("down: right edge end left out") << false << QPoint(91, 13) << kFace;
    QTest::newRow("down: top") << false << QPoint(94, 4) << kDark;
}

void TestArrowHeaderCtrl::arrowPixels() {
    QFETCH(bool, ascending);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    m_header->MarkSortColumn(0, ascending);
    QCOMPARE(m_header->grab().toImage().pixelColor(pixel), colour);
}

void TestArrowHeaderCtrl::pressedSectionShiftsTitle() {
    m_header->MarkSortColumn(1, true);
    m_header->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_header));
    const QRect rect(100, 0, 100, 17);
    QTest::mousePress(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
    QVERIFY((m_header->ComputeDrawing(rect, 1).titleRect == HeaderRect{105, 2, 185, 17}));
    QVERIFY(
        (m_header->ComputeDrawing(QRect(0, 0, 100, 17), 0).titleRect == HeaderRect{4, 0, 96, 17}));
    QTest::mouseRelease(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
    QVERIFY((m_header->ComputeDrawing(rect, 1).titleRect == HeaderRect{104, 0, 184, 17}));
}

void TestArrowHeaderCtrl::narrowSortedColumnKeepsATitle_data() {
    QTest::addColumn<bool>("sorted");
    QTest::newRow("sorted") << true;
    QTest::newRow("sorted before") << false;
}

// The attribute table's ID column: 28 pixels, so a sorted one leaves its
// title 8 pixels (4 to 12), in which not even a full-width "…" fits.
void TestArrowHeaderCtrl::narrowSortedColumnKeepsATitle() {
    QFETCH(bool, sorted);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    m_header->setFont(font);
    m_model.setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("概要")});
    m_header->resizeSection(0, 28);
    m_header->MarkSortColumn(0, true);
    if (!sorted) {
        m_header->MarkSortColumn(1, true);
    }
    const QImage image = m_header->grab().toImage();
    const int titleEnd = sorted ? 12 : 24;
    int inked = 0;
    for (int x = 0; x < 28; ++x) {
        for (int y = 0; y < 17; ++y) {
            const QColor colour = image.pixelColor(x, y);
            if (colour == kFace || colour == kLight || colour == kDark) {
                continue;
            }
            QVERIFY2(x >= 4 && x < titleEnd,
                     qPrintable(QStringLiteral("title ink at %1,%2").arg(x).arg(y)));
            ++inked;
        }
    }
    QVERIFY(inked > 0);
}

QTEST_MAIN(TestArrowHeaderCtrl)
#include "tst_arrow_header_ctrl.moc"
