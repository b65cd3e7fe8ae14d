#include "controls/arrow_header_ctrl.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

const QColor kFace(200, 200, 200);
const QColor kLight(0, 255, 0);
const QColor kDark(0, 0, 255);

} // namespace

// Renders a header whose first section is the worked example: 100 x 17
// pixels at the left edge.
class TestArrowHeaderCtrl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nothingOwnerDrawnBeforeSorting();
    void sortedColumnsStayOwnerDrawn();
    void arrowPixels_data();
    void arrowPixels();
    void unsortedSectionIsDrawnByQt();
    void pressedSectionShiftsTitle();

private:
    QImage Render();

    QStandardItemModel* m_model = nullptr;
    CArrowHeaderCtrl* m_header = nullptr;
};

void TestArrowHeaderCtrl::init() {
    m_model = new QStandardItemModel(0, 3);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("ID"), QStringLiteral("概要"), QStringLiteral("値")});
    m_header = new CArrowHeaderCtrl;
    m_header->setModel(m_model);
    m_header->setSectionsClickable(true);
    m_header->setStretchLastSection(false);
    m_header->setMinimumSectionSize(1);
    for (int i = 0; i < 3; ++i) {
        m_header->resizeSection(i, 100);
    }
    QPalette palette = m_header->palette();
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Light, kLight);
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::ButtonText, Qt::black);
    m_header->setPalette(palette);
    m_header->setFixedSize(300, 17);
}

void TestArrowHeaderCtrl::cleanup() {
    delete m_header;
    delete m_model;
}

QImage TestArrowHeaderCtrl::Render() {
    return m_header->grab().toImage();
}

void TestArrowHeaderCtrl::nothingOwnerDrawnBeforeSorting() {
    QCOMPARE(m_header->ArrowColumn(), -1);
    QVERIFY(m_header->IsArrowAscending());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!m_header->IsOwnerDrawn(i));
    }
}

void TestArrowHeaderCtrl::sortedColumnsStayOwnerDrawn() {
    m_header->MarkSortColumn(1, true);
    m_header->MarkSortColumn(2, false);
    QVERIFY(!m_header->IsOwnerDrawn(0));
    QVERIFY(m_header->IsOwnerDrawn(1));
    QVERIFY(m_header->IsOwnerDrawn(2));
    QCOMPARE(m_header->ArrowColumn(), 2);
    QVERIFY(!m_header->IsArrowAscending());

    // The earlier column keeps its inset title but loses the arrow.
    const QRect rect(100, 0, 100, 17);
    const HeaderItemDrawing former = m_header->ComputeDrawing(rect, 1);
    QVERIFY(former.lines.empty());
    QVERIFY((former.titleRect == HeaderRect{104, 0, 196, 17}));
    QCOMPARE(m_header->ComputeDrawing(QRect(200, 0, 100, 17), 2).lines.size(), std::size_t{2});
}

void TestArrowHeaderCtrl::arrowPixels_data() {
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    // Each segment covers its start but not its end pixel.
    QTest::newRow("up: apex") << true << QPoint(92, 4) << kLight;
    QTest::newRow("up: right edge end") << true << QPoint(96, 12) << kLight;
    QTest::newRow("up: base") << true << QPoint(88, 12) << kLight;
    QTest::newRow("up: shadow start over base") << true << QPoint(87, 12) << kDark;
    QTest::newRow("up: base end left out") << true << QPoint(86, 12) << kFace;
    QTest::newRow("up: shadow end left out") << true << QPoint(92, 3) << kFace;
    QTest::newRow("up: inside") << true << QPoint(92, 10) << kFace;
    QTest::newRow("down: right edge start") << false << QPoint(95, 4) << kLight;
    QTest::newRow("down: right edge end left out") << false << QPoint(91, 13) << kFace;
    QTest::newRow("down: shadow start") << false << QPoint(90, 13) << kDark;
    QTest::newRow("down: top") << false << QPoint(94, 4) << kDark;
    QTest::newRow("down: left corner") << false << QPoint(87, 4) << kDark;
    QTest::newRow("right of the arrow") << false << QPoint(98, 8) << kFace;
}

void TestArrowHeaderCtrl::arrowPixels() {
    QFETCH(bool, ascending);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    m_header->MarkSortColumn(0, ascending);
    const QImage image = Render();
    QCOMPARE(image.pixelColor(pixel), colour);
}

void TestArrowHeaderCtrl::unsortedSectionIsDrawnByQt() {
    m_header->MarkSortColumn(0, true);
    const QImage image = Render();
    // Qt's own style draws the other sections; they hold no arrow colours.
    for (int x = 100; x < 300; ++x) {
        for (int y = 0; y < 17; ++y) {
            const QColor c = image.pixelColor(x, y);
            QVERIFY2(c != kLight && c != kDark, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
}

void TestArrowHeaderCtrl::pressedSectionShiftsTitle() {
    m_header->MarkSortColumn(1, true);
    m_header->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_header));
    const QRect rect(100, 0, 100, 17);
    QTest::mousePress(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
    const HeaderItemDrawing pressed = m_header->ComputeDrawing(rect, 1);
    QVERIFY((pressed.titleRect == HeaderRect{105, 2, 185, 17}));
    QTest::mouseRelease(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
    const HeaderItemDrawing released = m_header->ComputeDrawing(rect, 1);
    QVERIFY((released.titleRect == HeaderRect{104, 0, 184, 17}));
    // The other section was never pressed.
    QTest::mousePress(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
    QVERIFY(
        (m_header->ComputeDrawing(QRect(0, 0, 100, 17), 0).titleRect == HeaderRect{4, 0, 96, 17}));
    QTest::mouseRelease(m_header->viewport(), Qt::LeftButton, {}, QPoint(150, 8));
}

QTEST_MAIN(TestArrowHeaderCtrl)
#include "tst_arrow_header_ctrl.moc"
